#include <filesystem>
#include <fstream>

#include "support/Instalacion.h"
#include "main/Arranque.h"
#include "app/Configuracion.h"
#include "main/FrmMain.h"
#include "main/FrmMainMenu.h"
#include "budget/FrmExplRegPptal.h"
#include "payments/FrmExplOrdPago.h"
#include "platform/db/DBTables.h"
#include "app/FrmPresentacion.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "app/DataModule.h"
#include "shared/general/MyException.h"

using admin::Instalacion;

namespace {

class MenuPrincipalTest : public Instalacion {
 protected:
  void SetUp() override {
    Instalacion::SetUp();
    if (HasFatalFailure()) return;
    ui->onModal("TFrmPresentacion").timers();
    ui->onModal("TFrmSelContab").click("BtnAbrir");
    FrmMain = new TFrmMain(nullptr);
    // La ventana principal prepara la sesión antes del módulo de datos: se reabren sus tablas.
    DM->InitTablas(PathCont);
    ASSERT_TRUE(DM->TablasAbiertas());
    ASSERT_NE(MenuPrincipal, nullptr);
    ui->takeMessages();
  }
  void TearDown() override {
    delete FrmMain;
    FrmMain = nullptr;
    Instalacion::TearDown();
  }
  TMenuItem* Item(const char* nombre) {
    auto* m = dynamic_cast<TMenuItem*>(FrmMain->FindComponent(nombre));
    EXPECT_NE(m, nullptr) << nombre;
    return m;
  }
  // Hace clic y devuelve el texto del último mensaje ("" si no hubo).
  AnsiString Clic(const char* nombre) {
    ui->takeMessages();
    Item(nombre)->UserClick();
    return ui->lastMessage();
  }
};

TEST_F(MenuPrincipalTest, ComprobantesProgramadosDesdeSusDosEntradas) {
  Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, nAstoProg, descDocu) values (1, 'Nota', 'NC'), "
                   "(2, 'Pago', 'CE')");
  DM->tblAsientosProgCfg->Refresh();
  auto lista = [](TForm& f) {
    auto* cb = static_cast<TComboBox*>(f.FindControl("cbAsientosProg"));
    return cb->Items->Text().str();
  };
  ui->onModal("TFrmAsientoProgramado").run([&](TForm& f) { EXPECT_EQ(lista(f), "1:Nota\n2:Pago\n"); }).click("&Salir");
  EXPECT_EQ(Clic("Asientosautomticos1"), "");
  ui->onModal("TFrmAsientoProgramado").run([&](TForm& f) { EXPECT_EQ(lista(f), "2:Pago\n"); }).click("&Salir");
  EXPECT_EQ(Clic("Comprobantedepago1"), "");
  EXPECT_FALSE(DM->tblAsientosProgCfg->Filtered);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, OrdenDePagoDevuelveTodasLasPlantillas) {
  ui->onModal("TfrmOrdenPago").run([](TForm&) { EXPECT_TRUE(DM->tblAsientosProgCfg->Filtered); }).click("&Salir");
  Clic("Ordendepago1");
  EXPECT_FALSE(DM->tblAsientosProgCfg->Filtered);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, ExploradorDeOrdenesDePagoConTodas) {
  Ejecutar(libros, "insert into mvtOrdenPago (iop, IRP, valor) values (1, 1, 10), (2, 2, 20)");
  ui->onModal("TfrmExplOrdPago")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TfrmExplOrdPago&>(f).QueryOrdPago->RecordCount, 2); })
      .click("&Salir");
  Clic("rdenesdepago1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, ConfiguracionDeAsientosProgramados) {
  ui->onModal("TfrmConfAsientosProg").click("&Salir");
  EXPECT_EQ(Clic("Asientosprogramados1"), "");
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace

TEST_F(MenuPrincipalTest, MenusYOpcionesConSusTextos) {
  std::vector<std::string> barra;
  TMenuItem* raiz = FrmMain->MainMenu1->Items;
  for (int i = 0; i < raiz->Count(); ++i) barra.push_back(raiz->Items(i)->Caption.str());
  EXPECT_EQ(barra, (std::vector<std::string>{"Contabilidad", "Mov. contable", "Presupuesto", "Exploradores",
                                             "Consultas", "Informes", "Datos", "Herramientas",
                                             "Configuración", "Ayuda"}));
  struct Caso { const char* nombre; const char* texto; const char* sugerencia; };
  for (Caso c : {
           Caso{"Abrir1", "Abrir", ""}, Caso{"Borrar1", "Borrar", ""}, Caso{"Salir1", "Salir", ""},
           Caso{"Documentos1", "Asientos manuales", ""}, Caso{"Asiento1", "Borrar", ""},
           Caso{"CierreAoi1", "Cierre Año", ""},
           Caso{"AdicioReduccin1", "Asientos", "Realizar apropiación, adiciones, traslados etc."},
           Caso{"Certificadodisponibilidad1", "Certificado disponibilidad: crear y modicar", ""},
           Caso{"Registropresupuestal1", "Registro presupuestal: crear y modificar",
                "Crear o corregir registros presupuestales y Ordenes de servicio o suministro"},
           Caso{"rdenesdepago1", "Órdenes de pago", ""},
           Caso{"UnaCuenta1", "Terceros  una Cuenta", ""},
           Caso{"Todas1", "Saldos de todos los terceros en una  Cuenta", ""},
           Caso{"Comprobantes", "Documentos", ""}, Caso{"Documentos2", "Soportes", ""},
           Caso{"BalancedePrueba1", "Con acumulación en cuentas", ""}, Caso{"Exgena1", "Exógena", ""},
           Caso{"Artculos1", "Artículos", ""},
           Caso{"Cambiomasivodeunacuenta1", "Cambio masivo de una cuenta en el movimiento",
                "Cambio en el movimiento contable una cuenta por otra"},
           Caso{"Buscarregistro1", "Buscar un asiento contable", "Buscar un renglón en los asientos digitados"},
           Caso{"Presupuesto1", "Auditoría Presupuesto", "Cheque la consistencia del movimiento presupuestal"},
           Caso{"Contraseas1", "Opciones", ""}, Caso{"Acercade1", "Acerca de..", ""}}) {
    TMenuItem* m = Item(c.nombre);
    if (!m) continue;
    EXPECT_EQ(m->Caption, c.texto) << c.nombre;
    EXPECT_EQ(m->Hint, c.sugerencia) << c.nombre;
  }
  EXPECT_FALSE(Item("N5")->Enabled);
  EXPECT_FALSE(Item("PRESUPUESTO2")->Enabled);
  // Las dos órdenes se alcanzan por el registro y los exploradores.
  EXPECT_FALSE(Item("Ordenesdeservicio1")->Visible);
  EXPECT_FALSE(Item("Ordensuministro1")->Visible);
  EXPECT_EQ(FrmMain->WindowState, wsMaximized);
}

TEST_F(MenuPrincipalTest, BotonesDeLaBarra) {
  std::vector<std::string> nombres, sugerencias;
  for (int i = 0; i < FrmMain->Panel1->ControlCount(); ++i) {
    TControl* c = FrmMain->Panel1->Controls(i);
    nombres.push_back(c->Name.str());
    sugerencias.push_back(c->Hint.str());
    EXPECT_EQ(c->Width, 25);
  }
  EXPECT_EQ(nombres, (std::vector<std::string>{"SpeedButton4", "SpeedButton6", "SpeedButton1", "SpeedButton2",
                                               "SpeedButton5"}));
  EXPECT_EQ(sugerencias, (std::vector<std::string>{"Asiento contable manual", "Terceros",
                                                   "Buscar en asientos contables",
                                                   "Explorar certificados de disponibilidad", "Salir"}));
  EXPECT_EQ(FrmMain->Panel1->Height, 28);
}

TEST_F(MenuPrincipalTest, PuertaDelAdministradorConSusDosTextos) {
  Login = "ana";
  struct Caso { const char* nombre; const char* texto; };
  for (Caso c : {Caso{"Plan1", kSoloAdminUsar}, Caso{"Documentos3", kSoloAdminUsar},
                 Caso{"Soporte1", kSoloAdminUsar}, Caso{"CentrodeCostos1", kSoloAdminUsar},
                 Caso{"PlanPresupuesto1", kSoloAdminUsar}, Caso{"Contraseas1", kSoloAdminUsar},
                 Caso{"adicionarUsuarios", kSoloAdminUtilizar}, Caso{"ModificarUsuarios1", kSoloAdminUtilizar},
                 Caso{"BorrarUsuarios1", kSoloAdminUtilizar}}) {
    EXPECT_EQ(Clic(c.nombre), c.texto) << c.nombre;
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].Caption, "Error");
    EXPECT_EQ(ui->messages()[0].Icon, MsgIcon::Error);
  }
  // Terceros no tiene puerta, ni en el menú ni en su botón.
  ui->onModal("TFrmTablas").click("&Cerrar");
  ui->onModal("TFrmTablas").click("&Cerrar");
  EXPECT_EQ(Clic("Terceros2"), "");
  MenuPrincipal->SpeedButton6->Click();
  EXPECT_EQ(ui->lastMessage(), "");
  const size_t formas = ui->formsShown().size();
  // Las funciones aún no construidas avisan sin abrir nada.
  FuncionNoDisponible();
  EXPECT_EQ(ui->lastMessage(), kNoDisponible);
  EXPECT_EQ(ui->formsShown().size(), formas);
}

TEST_F(MenuPrincipalTest, AdministradorEnOtrasMayusculasPasaLaPuerta) {
  Login = "GestorDeLibro";
  ui->onModal("TfrmConfigContab").click("Salir");
  Clic("Contraseas1");
  ui->onModal("TFrmAddPermisos").click("&Cancelar");
  Clic("adicionarUsuarios");
  ui->onModal("TFrmModiPermisos").click("&Cancelar");
  Clic("ModificarUsuarios1");
  ui->onModal("TFrmBorrarPermiso").click("&Cancelar");
  Clic("BorrarUsuarios1");
  ui->onModal("TFrmCuentasEsp").click("Cancelar");
  Clic("CuentasEspeciales1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, AsientosManualesAbreElPeriodoYElEditor) {
  // El menú y su botón abren el diálogo de periodo; "Aceptar" abre el editor con el mes escogido.
  ui->onModal("TFrmAsientos")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TForm&>(f).FindControl("CBMes")->Enabled, false); })
      .click("&Salir");
  ui->onModal("TFrmPreAsientos").pick("EdMes", "Abril").click("Aceptar");
  Clic("Documentos1");
  ui->onModal("TFrmPreAsientos").click("Salir");
  MenuPrincipal->SpeedButton4->Click();
  EXPECT_EQ(ui->unused(), "");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(MenuPrincipalTest, BorrarAsientoPideElPermiso) {
  Permisos.BBorrar = false;
  EXPECT_EQ(Clic("Asiento1"), "No tiene permisos para borrar.");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  Permisos.BBorrar = true;
  ui->onModal("TFrmBorrarAsiento").click("Salir");
  Clic("Asiento1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, OpcionesDelPresupuestoAbrenSusFormularios) {
  ui->onModal("TfrmPlanPpto").click("&Cerrar");
  Clic("PlanPresupuesto1");
  ui->onModal("TfrmAsientosPptal").click("&Cancelar");
  Clic("AdicioReduccin1");
  ui->onModal("TfrmCertDisp").click("&Salir");
  Clic("Certificadodisponibilidad1");
  ui->onModal("TfrmRegPptal").click("&Salir");
  Clic("Registropresupuestal1");
  ui->onModal("TfrmExpCertDisp").click("&Salir");
  Clic("Certificadosdedisponibilidad1");
  ui->onModal("TfrmExpCertDisp").click("&Salir");
  MenuPrincipal->SpeedButton2->Click();
  ui->onModal("TfrmExplRegPptal").run([](TForm& f) {
    EXPECT_FALSE(static_cast<TfrmExplRegPptal&>(f).filtrado);
  }).click("&Salir");
  Clic("Registrospresupuestales1");
  ui->onModal("TfrmAudPpto").click("&Mostrar").click("&Cancelar");
  Clic("Presupuesto1");
  ui->onModal("TfrmAuxiliaresPpto").click("&Cancelar");
  Clic("Informesdepresupuesto1");
  ui->onModal("TfrmExplOrdenServ").click("&Salir");
  Clic("Ordenesdeservicio2");
  // Opción oculta del menú Presupuesto.
  ui->onModal("TfrmOrdenServicios").click("&Salir");
  MenuPrincipal->Ordenesdeservicio1->Click();
  ui->onModal("TfrmOrdenSuministro").click("&Salir");
  MenuPrincipal->Ordensuministro1->Click();
  ui->onModal("TfrmExplOrdSum").click("&Salir");
  Clic("rdenesdesuministro1");
  ui->onModal("TfrmInformePptal").click("&Cancelar");
  Clic("Resumenpresupuestal1");
  ui->onModal("TfrmArticulos").close();
  Clic("Artculos1");
  ui->onModal("TfrmInfPpto").click("&Cancelar");
  Clic("Presupuestoenconstruccin1");
  ui->onModal("TfrmInfPptoTri").click("&Cancelar");
  Clic("Presupuestoportrimeste1");
  ui->onModal("TfrmSaldosRubros").click("&Cancelar");
  Clic("Saldorubros1");
  ui->onModal("TfrmBuscarPpto").click("&Cancelar");
  Clic("Buscarenlainformacinpresupuestal1");
  ui->onModal("TfrmReintegros").click("&Salir");
  Clic("Reintegros1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, AperturaProtegidaMuestraYSigue) {
  AperturaProtegida([] { throw MyException("Sin certificados", 0, "prueba"); });
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text, "Sin certificados");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  AperturaProtegida([] { throw Exception("Tabla bloqueada"); });
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[1].Kind, MsgKind::Exception);
  EXPECT_EQ(ui->messages()[1].Text, "Tabla bloqueada.");
}

TEST_F(MenuPrincipalTest, ExcepcionQueEscapaDeUnaOpcionSeMuestraComoError) {
  InstalarCuadroDeExcepciones();
  auto* item = Make<TMenuItem>(FrmMain, "Prueba1");
  FrmMain->MainMenu1->Items->Add(item);
  item->OnClick = [](TObject*) { throw MyException("Funcion round(): parámetro 'valor' muy grande.", 0, "", ""); };
  item->UserClick();
  item->OnClick = [](TObject*) { throw Exception("Tabla bloqueada"); };
  item->UserClick();
  Application->OnException = nullptr;
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[0].Text, "Funcion round(): parámetro 'valor' muy grande.");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(ui->messages()[1].Kind, MsgKind::Exception);
  EXPECT_EQ(ui->messages()[1].Text, "Tabla bloqueada.");
}

TEST_F(MenuPrincipalTest, EstadoTrasCambiarDeContabilidad) {
  FrmMain->FormPaint(FrmMain);
  EXPECT_EQ(FrmMain->StatusBar1->SimpleText, "Contabilidad actual: Ejemplo, año: 2026");
  std::string otra = OtraContabilidad("Otra", 2025);
  // Instalación que guarda "data.ini" en cada contabilidad.
  Ejecutar(dir, "UPDATE cfgOV SET usoPropio=0");
  std::filesystem::copy_file(dir + "/data.ini", otra + "/data.ini");
  ui->onModal("TFrmCambiarContabilidad").row("DBGrid1", 1).click("Cambiar");
  ui->onModal("TFrmClave").set("EdPassword", "clave").click("&Aceptar");
  Clic("Abrir1");
  EXPECT_EQ(FrmMain->StatusBar1->SimpleText, "Contabilidad actual: Otra, año: 2025");
  EXPECT_EQ(FrmMain->archivoIni, (otra + "/data.ini").c_str());
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, AyudaIndiceYF1) {
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/index.html") << "<html></html>";
  std::ofstream(dir + "/help/introduccion.html") << "<html></html>";
  Clic("Indice1");
  Word f1 = VK_F1, f2 = VK_F2;
  MenuPrincipal->FormKeyDown(FrmMain, f2, {});
  MenuPrincipal->FormKeyDown(FrmMain, f1, {});
  ASSERT_EQ(ui->launches().size(), 2u);
  EXPECT_GT(ui->launches()[0].target.Pos("/help/index.html"), 0);
  EXPECT_GT(ui->launches()[1].target.Pos("/help/introduccion.html"), 0);
  EXPECT_TRUE(FrmMain->KeyPreview);
  std::filesystem::remove(dir + "/help/index.html");
  EXPECT_GT(Clic("Indice1").Pos("index.html"), 0);
}

TEST_F(MenuPrincipalTest, AcercaDeDuraCincoSegundos) {
  ui->onModal("TFrmPresentacion")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmPresentacion&>(f).Duracion, 5000); })
      .timers();
  Clic("Acercade1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, ReparacionDesdeElMenuReabreLasTablas) {
  ui->onModal("TRepairDialog").click("Iniciar reparación");
  Clic("RepararInformacin1");
  EXPECT_TRUE(DM->TablasAbiertas());
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, SalirCierraLaVentanaYGuardaLaSesion) {
  MenuPrincipal->SpeedButton5->Click();
  TIniFile ini((dir + "/data.ini").c_str());
  EXPECT_EQ(ini.ReadString("ACTION", "LastCont", ""), "Contabilidad actual: Ejemplo, año: 2026");
  EXPECT_TRUE(ini.ReadBool("ACTION", "Exit", false));
}

TEST_F(MenuPrincipalTest, InformesDeBalancesAbrenSuVentana) {
  struct Caso {
    const char* item;
    const char* forma;
    const char* titulo;
  };
  for (Caso c : {Caso{"BalancedePrueba1", "TFrmBalances", "Con acumulación en cuentas"},
                 Caso{"MayoryBalance1", "TFrmBalances", "Mayor y Balance"},
                 Caso{"CajaDiario1", "TFrmBalances", "Caja Diario"},
                 Caso{"PyG1", "TFrmDatosInforme", "Datos Informe"},
                 Caso{"BalanceGeneral1", "TFrmDatosInforme", "Datos Informe"}}) {
    std::string titulo;
    ui->onModal(c.forma).run([&titulo](TForm& f) { titulo = f.Caption.str(); }).close();
    EXPECT_EQ(Clic(c.item), "") << c.item;
    EXPECT_EQ(titulo, c.titulo) << c.item;
  }
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, DatosYConsultasAbrenLosMaestros) {
  struct Caso {
    const char* item;
    const char* forma;
    const char* titulo;
  };
  for (Caso c : {Caso{"Plan1", "TFrmPlan", "Plan de cuentas"},
                 Caso{"Documentos3", "TFrmTablas", "Comprobantes"},
                 Caso{"Soporte1", "TFrmTablas", "Soportes"},
                 Caso{"Terceros2", "TFrmTablas", "Terceros"},
                 Caso{"CentrodeCostos1", "TFrmTablas", "Centro de Costos"},
                 Caso{"Kardex1", "TFrmKardex", "Kardex"},
                 Caso{"CentrosdeCosto1", "TFrmCentroCostos", "Centro de Costos"}}) {
    std::string titulo;
    ui->onModal(c.forma).run([&titulo](TForm& f) { titulo = f.Caption.str(); }).close();
    EXPECT_EQ(Clic(c.item), "") << c.item;
    EXPECT_EQ(titulo, c.titulo) << c.item;
  }
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(MenuPrincipalTest, ConsultasLibrosYListadosAbrenSuVentana) {
  struct Caso {
    const char* item;
    const char* forma;
    const char* titulo;
  };
  for (Caso c : {Caso{"Documentos2", "TFrmInfSop", "Consulta de Comprobantes"},
                 Caso{"Comprobantes", "TFrmInfComp", "Comprobantes"},
                 Caso{"UnaCuenta1", "TFrmTercUnaCta", "Terceros Una Cuenta"},
                 Caso{"Todas1", "TFrmTercMovUnaCta", "Saldos de Todos en una Cuenta"},
                 Caso{"MovimientoGeneral1", "TFrmTercTodasCtas", "Terceros Todas las Cuentas"},
                 Caso{"Saldo1", "TFrmAuxiliares", "Auxiliares"},
                 Caso{"Movimiento1", "TFrmMovimientos", "Movimientos"},
                 Caso{"Libroauxiliar1", "TfrmLibroAuxiliar", "Libro Auxiliar"},
                 Caso{"Exgena1", "TfrmExogena", "Información exógena"}}) {
    std::string titulo;
    ui->onModal(c.forma).run([&titulo](TForm& f) { titulo = f.Caption.str(); }).close();
    EXPECT_EQ(Clic(c.item), "") << c.item;
    EXPECT_EQ(titulo, c.titulo) << c.item;
  }
  EXPECT_EQ(ui->unused(), "");
}
