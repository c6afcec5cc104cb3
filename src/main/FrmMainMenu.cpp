#include "main/FrmMainMenu.h"

#include <memory>

#include "app/Configuracion.h"
#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "main/FrmMain.h"
#include "app/FrmPresentacion.h"
#include "app/FrmSelContab.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Usuarios.h"
#include "ledger/FrmCentroCostos.h"
#include "ledger/FrmKardex.h"
#include "ledger/FrmPlan.h"
#include "ledger/FrmTablas.h"
#include "budget/FrmAsientosPptal.h"
#include "budget/FrmAuxiliaresPpto.h"
#include "budget/FrmExplOrdenServ.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/FrmInformePptal.h"
#include "budget/FrmArticulos.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmExplOrdSum.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmRegPptal.h"
#include "budget/FrmExpCertDisp.h"
#include "budget/FrmExplRegPptal.h"
#include "budget/FrmPlanPpto.h"
#include "budget/FrmAudPpto.h"
#include "payments/FrmAsientoProgramado.h"
#include "payments/FrmExplOrdPago.h"
#include "payments/FrmOrdenPago.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmBorrarAsiento.h"
#include "ledger/FrmCierreAnio.h"
#include "ledger/FrmRenombrar.h"
#include "ledger/FrmRenumerar.h"
#include "ledger/FrmVerImp.h"
#include "ledger/FrmBuscar.h"
#include "ledger/FrmCambioMasivoCta.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/os/Files.h"
#include "platform/os/Launch.h"
#include "reports/FrmBalances.h"
#include "reports/FrmDatosInforme.h"
#include "reports/FrmExogena.h"
#include "reports/FrmInfComp.h"
#include "reports/FrmInfSop.h"
#include "reports/FrmLibroAuxiliar.h"
#include "reports/FrmLibros.h"
#include "reports/FrmMovimientos.h"
#include "payments/FrmConfAsientosProg.h"
#include "payments/FrmInfPpto.h"
#include "payments/FrmInfPptoTri.h"
#include "payments/FrmSaldosRubros.h"
#include "payments/FrmBuscarPpto.h"
#include "payments/FrmReintegros.h"
#include "shared/general/MyException.h"
#include "shared/general/Utiles.h"

TMenuPrincipal* MenuPrincipal = nullptr;

namespace {

// Protocolo de apertura: dueño la ventana principal, puntero global, miembros, modal y
// borrado al volver.
template <class T>
void Abrir(T*& global, TComponent* owner, const std::function<void(T*)>& preparar = {}) {
  global = new T(owner);
  std::unique_ptr<T> f(global);
  if (preparar) preparar(f.get());
  f->ShowModal();
}

TMenuItem* Item(TComponent* owner, TMenuItem* padre, const char* nombre, const char* texto,
                TNotifyEvent clic = {}, const char* sugerencia = "") {
  auto* m = Make<TMenuItem>(owner, nombre);
  m->Caption = texto;
  m->Hint = sugerencia;
  m->OnClick = std::move(clic);
  padre->Add(m);
  return m;
}

}  // namespace

bool PuertaAdministrador(bool aUtilizar) {
  if (EsAdministrador(Login)) return true;
  Application->MessageBox(aUtilizar ? kSoloAdminUtilizar : kSoloAdminUsar, "Error",
                          MB_OK | MB_ICONSTOP);
  return false;
}

bool PuertaBorrar() {
  if (Permisos.GetPermisoBorrar()) return true;
  Application->MessageBox("No tiene permisos para borrar.", "Error", MB_OK | MB_ICONSTOP);
  return false;
}

void AperturaProtegida(const std::function<void()>& aAbrir) {
  try {
    aAbrir();
  } catch (MyException& e) {
    Application->MessageBox(e.Mensaje(), "Error", MB_OK | MB_ICONSTOP);
  } catch (Exception& e) {
    Application->ShowException(&e);
  }
}

void FuncionNoDisponible() { ShowMessage(kNoDisponible); }

void AbrirAyuda(const AnsiString& aPagina) {
  AnsiString ruta = PathOrigen + "/help/" + (aPagina.IsEmpty() ? AnsiString("index.html") : aPagina);
  AnsiString error;
  if (!tv::os::OpenHelpPage(ruta, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + ruta + ": " + error);
}

void ConstruirMenuPrincipal(TFrmMain* aForm) {
  MenuPrincipal = new TMenuPrincipal(aForm);
  // El selector del arranque abre el editor de la lista cuando una ruta falla.
  if (!AbrirEditorContabs) AbrirEditorContabs = AbrirEditorDeContabs;
}

TMenuPrincipal::TMenuPrincipal(TFrmMain* aForm) : TComponent(aForm), Form(aForm) {
  Name = "MenuPrincipal";
  TMenuItem* raiz = Form->MainMenu1->Items;
  auto clic = [this](void (TMenuPrincipal::*m)(TObject*)) {
    return TNotifyEvent([this, m](TObject* s) { (this->*m)(s); });
  };
  using M = TMenuPrincipal;
  TFrmMain* f = Form;

  Contabilidad1 = Item(f, raiz, "Contabilidad1", "Contabilidad");
  Abrir1 = Item(f, Contabilidad1, "Abrir1", "Abrir", clic(&M::Abrir1Click));
  Borrar1 = Item(f, Contabilidad1, "Borrar1", "Borrar", clic(&M::Borrar1Click));
  N1 = Item(f, Contabilidad1, "N1", "-");
  Salir1 = Item(f, Contabilidad1, "Salir1", "Salir", clic(&M::Salir1Click));

  Movcontable1 = Item(f, raiz, "Movcontable1", "Mov. contable");
  Documentos1 = Item(f, Movcontable1, "Documentos1", "Asientos manuales", clic(&M::Documentos1Click));
  Asientosautomticos1 = Item(f, Movcontable1, "Asientosautomticos1", "Asientos programados",
                             clic(&M::Asientosautomticos1Click));
  VerImprimir1 = Item(f, Movcontable1, "VerImprimir1", "Ver/Imprimir", clic(&M::VerImprimir1Click));
  Renumerar1 = Item(f, Movcontable1, "Renumerar1", "Renumerar", clic(&M::Renumerar1Click));
  Renombrar1 = Item(f, Movcontable1, "Renombrar1", "Renombrar", clic(&M::Renombrar1Click));
  Asiento1 = Item(f, Movcontable1, "Asiento1", "Borrar", clic(&M::Asiento1Click));
  CierreAoi1 = Item(f, Movcontable1, "CierreAoi1", "Cierre Año", clic(&M::CierreAoi1Click));

  Presupuestal1 = Item(f, raiz, "Presupuestal1", "Presupuesto");
  AdicioReduccin1 = Item(f, Presupuestal1, "AdicioReduccin1", "Asientos", clic(&M::AdicioReduccin1Click),
                         "Realizar apropiación, adiciones, traslados etc.");
  Certificadodisponibilidad1 =
      Item(f, Presupuestal1, "Certificadodisponibilidad1", "Certificado disponibilidad: crear y modicar",
           clic(&M::Certificadodisponibilidad1Click));
  Registropresupuestal1 =
      Item(f, Presupuestal1, "Registropresupuestal1", "Registro presupuestal: crear y modificar",
           clic(&M::Registropresupuestal1Click),
           "Crear o corregir registros presupuestales y Ordenes de servicio o suministro");
  Ordenesdeservicio1 = Item(f, Presupuestal1, "Ordenesdeservicio1", "Orden prestación de servicio",
                            clic(&M::Ordenesdeservicio1Click));
  Ordenesdeservicio1->Visible = false;  // se llega desde el registro y los exploradores
  Ordensuministro1 =
      Item(f, Presupuestal1, "Ordensuministro1", "Orden suministro", clic(&M::Ordensuministro1Click));
  Ordensuministro1->Visible = false;
  Ordendepago1 = Item(f, Presupuestal1, "Ordendepago1", "Orden de pago", clic(&M::Ordendepago1Click));
  Comprobantedepago1 = Item(f, Presupuestal1, "Comprobantedepago1", "Comprobante de pago",
                            clic(&M::Comprobantedepago1Click));
  Reintegros1 = Item(f, Presupuestal1, "Reintegros1", "Reintegros", clic(&M::Reintegros1Click));

  Exploradores1 = Item(f, raiz, "Exploradores1", "Exploradores");
  Certificadosdedisponibilidad1 =
      Item(f, Exploradores1, "Certificadosdedisponibilidad1", "Certificados de disponibilidad",
           clic(&M::Certificadosdedisponibilidad1Click));
  Registrospresupuestales1 = Item(f, Exploradores1, "Registrospresupuestales1", "Registros presupuestales",
                                  clic(&M::Registrospresupuestales1Click));
  rdenesdepago1 = Item(f, Exploradores1, "rdenesdepago1", "Órdenes de pago", clic(&M::rdenesdepago1Click));
  Ordenesdeservicio2 = Item(f, Exploradores1, "Ordenesdeservicio2", "Órdenes de servicio",
                            clic(&M::Ordenesdeservicio2Click));
  rdenesdesuministro1 = Item(f, Exploradores1, "rdenesdesuministro1", "Órdenes de suministro",
                             clic(&M::rdenesdesuministro1Click));

  Consultas1 = Item(f, raiz, "Consultas1", "Consultas");
  N5 = Item(f, Consultas1, "N5", "CONTABLES");
  N5->Enabled = false;
  Saldo1 = Item(f, Consultas1, "Saldo1", "Auxiliares", clic(&M::Saldo1Click));
  Movimiento1 = Item(f, Consultas1, "Movimiento1", "Movimiento", clic(&M::Movimiento1Click));
  Kardex1 = Item(f, Consultas1, "Kardex1", "Kardex", clic(&M::Kardex1Click));
  Terceros1 = Item(f, Consultas1, "Terceros1", "Terceros");
  UnaCuenta1 = Item(f, Terceros1, "UnaCuenta1", "Terceros  una Cuenta", clic(&M::UnaCuenta1Click));
  Todas1 = Item(f, Terceros1, "Todas1", "Saldos de todos los terceros en una  Cuenta", clic(&M::Todas1Click));
  MovimientoGeneral1 = Item(f, Terceros1, "MovimientoGeneral1", "Movimiento general de un tercero",
                            clic(&M::MovimientoGeneral1Click));
  CentrosdeCosto1 = Item(f, Consultas1, "CentrosdeCosto1", "Centros de Costo", clic(&M::CentrosdeCosto1Click));
  Comprobantes = Item(f, Consultas1, "Comprobantes", "Documentos", clic(&M::ComprobantesClick));
  Documentos2 = Item(f, Consultas1, "Documentos2", "Soportes", clic(&M::Documentos2Click));
  N2 = Item(f, Consultas1, "N2", "-");
  PRESUPUESTO2 = Item(f, Consultas1, "PRESUPUESTO2", "PRESUPUESTALES");
  PRESUPUESTO2->Enabled = false;
  Informesdepresupuesto1 = Item(f, Consultas1, "Informesdepresupuesto1", "Movimiento rubros",
                                clic(&M::Informesdepresupuesto1Click));
  Saldorubros1 = Item(f, Consultas1, "Saldorubros1", "Saldo rubros", clic(&M::Saldorubros1Click));

  Informes1 = Item(f, raiz, "Informes1", "Informes");
  BalancedePrueba1 = Item(f, Informes1, "BalancedePrueba1", "Con acumulación en cuentas",
                          clic(&M::BalancedePrueba1Click));
  MayoryBalance1 = Item(f, Informes1, "MayoryBalance1", "Mayor y Balance", clic(&M::MayoryBalance1Click));
  CajaDiario1 = Item(f, Informes1, "CajaDiario1", "Caja Diario", clic(&M::CajaDiario1Click));
  PyG1 = Item(f, Informes1, "PyG1", "P y G", clic(&M::PyG1Click));
  BalanceGeneral1 = Item(f, Informes1, "BalanceGeneral1", "Balance General", clic(&M::BalanceGeneral1Click));
  Libroauxiliar1 = Item(f, Informes1, "Libroauxiliar1", "Libro auxiliar", clic(&M::Libroauxiliar1Click));
  Presupuestoportrimeste1 = Item(f, Informes1, "Presupuestoportrimeste1", "Presupuesto por trimestre",
                                 clic(&M::Presupuestoportrimeste1Click));
  Presupuestoenconstruccin1 = Item(f, Informes1, "Presupuestoenconstruccin1", "Presupuesto mas completo",
                                   clic(&M::Presupuestoenconstruccin1Click));
  Resumenpresupuestal1 = Item(f, Informes1, "Resumenpresupuestal1", "Resumen presupuestal",
                              clic(&M::Resumenpresupuestal1Click));
  Exgena1 = Item(f, Informes1, "Exgena1", "Exógena", clic(&M::Exgena1Click));

  Datos1 = Item(f, raiz, "Datos1", "Datos");
  Plan1 = Item(f, Datos1, "Plan1", "Plan", clic(&M::Plan1Click));
  Documentos3 = Item(f, Datos1, "Documentos3", "Comprobantes", clic(&M::Documentos3Click));
  Soporte1 = Item(f, Datos1, "Soporte1", "Soportes", clic(&M::Soporte1Click));
  Terceros2 = Item(f, Datos1, "Terceros2", "Terceros", clic(&M::Terceros2Click));
  CentrodeCostos1 = Item(f, Datos1, "CentrodeCostos1", "Centro de Costos", clic(&M::CentrodeCostos1Click));
  PlanPresupuesto1 = Item(f, Datos1, "PlanPresupuesto1", "Rubros presupuestales",
                          clic(&M::PlanPresupuesto1Click));
  Artculos1 = Item(f, Datos1, "Artculos1", "Artículos", clic(&M::Artculos1Click));

  Herramientas1 = Item(f, raiz, "Herramientas1", "Herramientas");
  RepararInformacin1 = Item(f, Herramientas1, "RepararInformacin1", "Reparar Información",
                            clic(&M::RepararInformacin1Click));
  Cambiomasivodeunacuenta1 =
      Item(f, Herramientas1, "Cambiomasivodeunacuenta1", "Cambio masivo de una cuenta en el movimiento",
           clic(&M::Cambiomasivodeunacuenta1Click), "Cambio en el movimiento contable una cuenta por otra");
  Buscarregistro1 = Item(f, Herramientas1, "Buscarregistro1", "Buscar un asiento contable",
                         clic(&M::Buscarregistro1Click), "Buscar un renglón en los asientos digitados");
  Buscarenlainformacinpresupuestal1 =
      Item(f, Herramientas1, "Buscarenlainformacinpresupuestal1", "Buscar en la información presupuestal",
           clic(&M::Buscarenlainformacinpresupuestal1Click));
  N3 = Item(f, Herramientas1, "N3", "-");
  adicionarUsuarios = Item(f, Herramientas1, "adicionarUsuarios", "Adicionar usuarios",
                           clic(&M::adicionarUsuariosClick));
  ModificarUsuarios1 = Item(f, Herramientas1, "ModificarUsuarios1", "Modificar Usuarios",
                            clic(&M::ModificarUsuarios1Click));
  BorrarUsuarios1 =
      Item(f, Herramientas1, "BorrarUsuarios1", "Borrar Usuarios", clic(&M::BorrarUsuarios1Click));
  N4 = Item(f, Herramientas1, "N4", "-");
  Autordeunasiento1 = Item(f, Herramientas1, "Autordeunasiento1", "Autor de un asiento");
  Entradadeusuarios1 = Item(f, Herramientas1, "Entradadeusuarios1", "Entrada de usuarios");
  N6 = Item(f, Herramientas1, "N6", "-");
  Presupuesto1 = Item(f, Herramientas1, "Presupuesto1", "Auditoría Presupuesto", clic(&M::Presupuesto1Click),
                      "Cheque la consistencia del movimiento presupuestal");

  Configuracin1 = Item(f, raiz, "Configuracin1", "Configuración");
  Contraseas1 = Item(f, Configuracin1, "Contraseas1", "Opciones", clic(&M::Contraseas1Click));
  Asientosprogramados1 = Item(f, Configuracin1, "Asientosprogramados1", "Asientos programados",
                              clic(&M::Asientosprogramados1Click));
  CuentasEspeciales1 = Item(f, Configuracin1, "CuentasEspeciales1", "Cuentas Especiales",
                            clic(&M::CuentasEspeciales1Click));

  Ayuda1 = Item(f, raiz, "Ayuda1", "Ayuda");
  Indice1 = Item(f, Ayuda1, "Indice1", "Indice", clic(&M::Indice1Click));
  Acercade1 = Item(f, Ayuda1, "Acercade1", "Acerca de..", clic(&M::Acercade1Click));

  // Botones de la barra, de izquierda a derecha.
  struct Boton {
    TSpeedButton** boton;
    const char* nombre;
    const char* texto;
    const char* sugerencia;
    void (M::*clic)(TObject*);
    const char* dibujo;
  };
  const Boton botones[] = {
      {&SpeedButton4, "SpeedButton4", "As", "Asiento contable manual", &M::SpeedButton4Click, "btn_asiento.bmp"},
      {&SpeedButton6, "SpeedButton6", "Te", "Terceros", &M::SpeedButton6Click, "btn_terceros.bmp"},
      {&SpeedButton1, "SpeedButton1", "Bu", "Buscar en asientos contables", &M::SpeedButton1Click,
       "btn_buscar.bmp"},
      {&SpeedButton2, "SpeedButton2", "CD", "Explorar certificados de disponibilidad",
       &M::SpeedButton2Click, "btn_certificados.bmp"},
      {&SpeedButton5, "SpeedButton5", "Sa", "Salir", &M::SpeedButton5Click, "btn_salir.bmp"},
  };
  // Los dibujos vienen en la carpeta "images" del programa; sin ellos, un texto corto.
  AnsiString imagenes = GetExeDir() + "/images/";
  int left = 2;
  for (const Boton& b : botones) {
    auto* sb = Make<TSpeedButton>(Form->Panel1, b.nombre);
    if (FileExists(imagenes + b.dibujo))
      sb->Glyph->LoadFromFile(imagenes + b.dibujo);
    else
      sb->Caption = b.texto;
    sb->Hint = b.sugerencia;
    sb->ShowHint = true;
    sb->Flat = true;
    sb->SetBounds(left, 1, 25, 25);
    sb->OnClick = clic(b.clic);
    *b.boton = sb;
    left += 26;
  }

  Form->ShowHint = true;
  Form->KeyPreview = true;
  Form->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

// ---- Contabilidad ----------------------------------------------------------------------

void TMenuPrincipal::Abrir1Click(TObject*) {
  Abrir(FrmCambiarContabilidad, Form);
  // "data.ini" sigue a la contabilidad abierta cuando la instalación lo guarda en ella.
  if (!Form->archivoIni.IsEmpty()) Form->archivoIni = ArchivoIniSesion();
  // El estado muestra la contabilidad abierta en cuanto la ventana se vuelve a pintar.
  Form->FormPaint(Form);
  Form->Invalidate();
}

void TMenuPrincipal::Borrar1Click(TObject*) { Abrir(FrmBorrarContabilida, Form); }
void TMenuPrincipal::Salir1Click(TObject*) { Form->Close(); }

// ---- Mov. contable ---------------------------------------------------------------------

void TMenuPrincipal::Documentos1Click(TObject*) { Abrir(FrmPreAsientos, Form); }
void TMenuPrincipal::Asientosautomticos1Click(TObject*) {
  AperturaProtegida([this] { Abrir<TFrmAsientoProgramado>(FrmAsientoProgramado, Form, [](auto* f) { f->filtered = false; }); });
}
void TMenuPrincipal::VerImprimir1Click(TObject*) { Abrir(FrmVerImp, Form); }
void TMenuPrincipal::Renumerar1Click(TObject*) { Abrir(FrmRenumerar, Form); }
void TMenuPrincipal::Renombrar1Click(TObject*) { Abrir(FrmRenombrar, Form); }
void TMenuPrincipal::Asiento1Click(TObject*) {
  if (PuertaBorrar()) Abrir(FrmBorrarAsiento, Form);
}
void TMenuPrincipal::CierreAoi1Click(TObject*) {
  Abrir(FrmCierreAnio, Form);
  // El cierre deja abierto el año nuevo: "data.ini" y el estado lo siguen.
  if (!Form->archivoIni.IsEmpty()) Form->archivoIni = ArchivoIniSesion();
  Form->FormPaint(Form);
  Form->Invalidate();
}

// ---- Presupuesto -----------------------------------------------------------------------

void TMenuPrincipal::AdicioReduccin1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmAsientosPptal, Form); });
}
void TMenuPrincipal::Certificadodisponibilidad1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmCertDisp, Form); });
}
void TMenuPrincipal::Registropresupuestal1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmRegPptal, Form); });
}
void TMenuPrincipal::Ordenesdeservicio1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmOrdenServicios, Form); });
}
void TMenuPrincipal::Ordensuministro1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmOrdenSuministro, Form); });
}
void TMenuPrincipal::Ordendepago1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmOrdenPago, Form); });
}
void TMenuPrincipal::Comprobantedepago1Click(TObject*) {
  AperturaProtegida([this] { Abrir<TFrmAsientoProgramado>(FrmAsientoProgramado, Form, [](auto* f) { f->filtered = true; }); });
}
void TMenuPrincipal::Reintegros1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmReintegros, Form); });
}

// ---- Exploradores ----------------------------------------------------------------------

void TMenuPrincipal::Certificadosdedisponibilidad1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmExpCertDisp, Form); });
}
void TMenuPrincipal::Registrospresupuestales1Click(TObject*) {
  AperturaProtegida([this] {
    Abrir<TfrmExplRegPptal>(frmExplRegPptal, Form, [](auto* f) {
      f->filtrado = false;
      f->setIcd(0);
    });
  });
}
void TMenuPrincipal::rdenesdepago1Click(TObject*) {
  AperturaProtegida([this] {
    Abrir<TfrmExplOrdPago>(frmExplOrdPago, Form, [](auto* f) {
      f->filtrado = false;
      f->setIrp(0);
    });
  });
}
void TMenuPrincipal::Ordenesdeservicio2Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmExplOrdenServ, Form); });
}
void TMenuPrincipal::rdenesdesuministro1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmExplOrdSum, Form); });
}

// ---- Consultas -------------------------------------------------------------------------

void TMenuPrincipal::Saldo1Click(TObject*) { Abrir(FrmAuxiliares, Form); }
void TMenuPrincipal::Movimiento1Click(TObject*) { Abrir(FrmMovimientos, Form); }
void TMenuPrincipal::Kardex1Click(TObject*) { Abrir(FrmKardex, Form); }
void TMenuPrincipal::UnaCuenta1Click(TObject*) { Abrir(FrmTercUnaCta, Form); }
void TMenuPrincipal::Todas1Click(TObject*) { Abrir(FrmTercMovUnaCta, Form); }
void TMenuPrincipal::MovimientoGeneral1Click(TObject*) { Abrir(FrmTercTodasCtas, Form); }
void TMenuPrincipal::CentrosdeCosto1Click(TObject*) { Abrir(FrmCentroCostos, Form); }
void TMenuPrincipal::ComprobantesClick(TObject*) { Abrir(FrmInfComp, Form); }
void TMenuPrincipal::Documentos2Click(TObject*) { Abrir(FrmInfSop, Form); }
void TMenuPrincipal::Informesdepresupuesto1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmAuxiliaresPpto, Form); });
}
void TMenuPrincipal::Saldorubros1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmSaldosRubros, Form); });
}

// ---- Informes --------------------------------------------------------------------------

void TMenuPrincipal::BalancedePrueba1Click(TObject*) {
  Abrir<TFrmBalances>(FrmBalances, Form, [](TFrmBalances* f) {
    f->Caption = "Con acumulación en cuentas";
    f->Llamado = 2;
  });
}
void TMenuPrincipal::MayoryBalance1Click(TObject*) {
  Abrir<TFrmBalances>(FrmBalances, Form, [](TFrmBalances* f) {
    f->Caption = "Mayor y Balance";
    f->Llamado = 5;
  });
}
void TMenuPrincipal::CajaDiario1Click(TObject*) {
  Abrir<TFrmBalances>(FrmBalances, Form, [](TFrmBalances* f) {
    f->Caption = "Caja Diario";
    f->Llamado = 4;
    f->RGComprobante->Visible = true;
  });
}
void TMenuPrincipal::PyG1Click(TObject*) { Abrir(FrmDatosInforme, Form); }
void TMenuPrincipal::BalanceGeneral1Click(TObject*) { Abrir(FrmDatosInforme, Form); }
void TMenuPrincipal::Libroauxiliar1Click(TObject*) { Abrir(frmLibroAuxiliar, Form); }
void TMenuPrincipal::Presupuestoportrimeste1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmInfPptoTri, Form); });
}
void TMenuPrincipal::Presupuestoenconstruccin1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmInfPpto, Form); });
}
void TMenuPrincipal::Resumenpresupuestal1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmInformePptal, Form); });
}
void TMenuPrincipal::Exgena1Click(TObject*) { Abrir(frmExogena, Form); }

// ---- Datos -----------------------------------------------------------------------------

void TMenuPrincipal::Plan1Click(TObject*) {
  if (PuertaAdministrador(false)) Abrir(FrmPlan, Form);
}
void TMenuPrincipal::Documentos3Click(TObject*) {
  if (PuertaAdministrador(false))
    Abrir<TFrmTablas>(FrmTablas, Form, [](TFrmTablas* f) { f->Tabla = Documentos; });
}
void TMenuPrincipal::Soporte1Click(TObject*) {
  if (PuertaAdministrador(false))
    Abrir<TFrmTablas>(FrmTablas, Form, [](TFrmTablas* f) { f->Tabla = Soportes; });
}
void TMenuPrincipal::Terceros2Click(TObject*) {
  Abrir<TFrmTablas>(FrmTablas, Form, [](TFrmTablas* f) { f->Tabla = Terceros; });
}
void TMenuPrincipal::CentrodeCostos1Click(TObject*) {
  if (PuertaAdministrador(false))
    Abrir<TFrmTablas>(FrmTablas, Form, [](TFrmTablas* f) { f->Tabla = CentCost; });
}
void TMenuPrincipal::PlanPresupuesto1Click(TObject*) {
  if (PuertaAdministrador(false)) AperturaProtegida([this] { Abrir(frmPlanPpto, Form); });
}
void TMenuPrincipal::Artculos1Click(TObject*) { AperturaProtegida([this] { Abrir(frmArticulos, Form); }); }

// ---- Herramientas ----------------------------------------------------------------------

void TMenuPrincipal::RepararInformacin1Click(TObject*) {
  RepararYReabrir(Form, PathCont, false);
}

void TMenuPrincipal::Cambiomasivodeunacuenta1Click(TObject*) { Abrir(frmCambioMasivoCta, Form); }
void TMenuPrincipal::Buscarregistro1Click(TObject*) { Abrir(frmBuscar, Form); }
void TMenuPrincipal::Buscarenlainformacinpresupuestal1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmBuscarPpto, Form); });
}

void TMenuPrincipal::adicionarUsuariosClick(TObject*) {
  if (!PuertaAdministrador(true)) return;
  AperturaProtegida([this] { Abrir(FrmAddPermisos, Form); });
}

void TMenuPrincipal::ModificarUsuarios1Click(TObject*) {
  if (!PuertaAdministrador(true)) return;
  AperturaProtegida([this] { Abrir(FrmModiPermisos, Form); });
}

void TMenuPrincipal::BorrarUsuarios1Click(TObject*) {
  if (!PuertaAdministrador(true)) return;
  AperturaProtegida([this] { Abrir(FrmBorrarPermiso, Form); });
}

void TMenuPrincipal::Presupuesto1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmAudPpto, Form); });
}

// ---- Configuración ---------------------------------------------------------------------

void TMenuPrincipal::Contraseas1Click(TObject*) {
  if (PuertaAdministrador(false)) Abrir(frmConfigContab, Form);
}
void TMenuPrincipal::Asientosprogramados1Click(TObject*) {
  AperturaProtegida([this] { Abrir(frmConfAsientosProg, Form); });
}
void TMenuPrincipal::CuentasEspeciales1Click(TObject*) { Abrir(FrmCuentasEsp, Form); }

// ---- Ayuda -----------------------------------------------------------------------------

void TMenuPrincipal::Indice1Click(TObject*) { AbrirAyuda(""); }

void TMenuPrincipal::Acercade1Click(TObject*) {
  Abrir<TFrmPresentacion>(FrmPresentacion, Form, [](TFrmPresentacion* p) { p->Duracion = 5000; });
}

// ---- botones ---------------------------------------------------------------------------

void TMenuPrincipal::SpeedButton4Click(TObject* s) { Documentos1Click(s); }
void TMenuPrincipal::SpeedButton6Click(TObject* s) { Terceros2Click(s); }
void TMenuPrincipal::SpeedButton1Click(TObject* s) { Buscarregistro1Click(s); }
void TMenuPrincipal::SpeedButton2Click(TObject* s) { Certificadosdedisponibilidad1Click(s); }
void TMenuPrincipal::SpeedButton5Click(TObject* s) { Salir1Click(s); }

void TMenuPrincipal::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F1) AbrirAyuda("introduccion.html");
}
