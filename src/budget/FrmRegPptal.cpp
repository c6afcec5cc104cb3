#include "budget/FrmRegPptal.h"

#include <cmath>
#include <functional>
#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmExplRegPptal.h"
#include "budget/MontoEnMascara.h"
#include "budget/NumeroDocumento.h"
#include "budget/motor/RegistroMotor.h"
#include "platform/db/Engine.h"
#include "budget/FrmRptRegistroPptal.h"
#include "platform/report/QuickRpt.h"
#include "ledger/FrmNuevoTercero.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TfrmRegPptal* frmRegPptal = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const char* const kFechaVacia = "  /  /    ";
const TColor kVerdeNuevo = static_cast<TColor>(10143652);

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  return l;
}

void Lugar(TControl* c, int izquierda, int arriba, int ancho) {
  c->Left = izquierda;
  c->Top = arriba;
  if (ancho) c->Width = ancho;
}

TButton* Boton(TWinControl* padre, const char* nombre, const char* texto, int ancho = 28) {
  auto* b = Make<TButton>(padre, nombre);
  b->Caption = texto;
  b->Width = ancho;
  return b;
}

using tv::motor::CentavosDe;
using tv::motor::PesosDe;

// Número de documento exacto de un campo; false cuando está vacío o no es un número de documento.
bool NumeroDocDe(TCustomEdit* e, std::int64_t& n) {
  AnsiString t = AnsiString(e->Text).Trim();
  return !t.IsEmpty() && ErrorNumeroDoc("", t, n).IsEmpty();
}

std::int64_t CentavosTexto(const AnsiString& t) { return t.IsEmpty() ? 0 : CentavosDe(StrToAmount(t)); }

AnsiString Texto(TField* f) { return f->IsNull ? AnsiString() : AnsiString(f->AsString); }
AnsiString Fecha(TField* f) { return f->IsNull ? AnsiString() : DateToStr(f->AsDateTime); }
AnsiString Recortado(TCustomEdit* e) { return AnsiString(e->Text).Trim(); }

// Número de un campo; false cuando está vacío o no es un número.
bool NumeroDe(TCustomEdit* e, double& n) {
  AnsiString t = Recortado(e);
  return !t.IsEmpty() && TryStrToFloat(t, n);
}

// Un monto se compara por su valor: la máscara de miles cambia el texto, no lo digitado.
AnsiString ValorDigitado(TCustomEdit* e) {
  double v = 0;
  AnsiString t = Recortado(e);
  return !t.IsEmpty() && TryStrToAmount(t, v) ? FloatToStr(v) : t;
}

}  // namespace

// Los botones de órdenes: un error propio del programa sale en su caja "Error"; los demás, en
// la caja de errores de siempre. El registro sigue abierto.
static void ConErrorPropio(const std::function<void()>& accion) {
  try {
    accion();
  } catch (MyException& e) {
    Application->MessageBox(e.Mensaje(), "Error", MB_OK | MB_ICONERROR);
  } catch (Exception& e) {
    Application->ShowException(&e);
  }
}

TfrmRegPptal::TfrmRegPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmRegPptal";
  Caption = "Registros presupuestales";
  Position = poScreenCenter;
  ClientWidth = 900;
  ClientHeight = 520;

  Label1 = Etiqueta(this, "Label1", "Cert. de disponibilidad:");
  edICD = Make<TEdit>(this, "edICD");
  btnLintCertDisp = Boton(this, "btnLintCertDisp", "...");
  btnRegistros = Boton(this, "btnRegistros", "&Registros", 90);
  Label23 = Etiqueta(this, "Label23", "*");
  Label23->Font->Color = clRed;
  Label2 = Etiqueta(this, "Label2", "Fecha CDP:");
  Label9 = Etiqueta(this, "Label9", "");
  Label3 = Etiqueta(this, "Label3", "Objeto CDP:");
  Label10 = Etiqueta(this, "Label10", "");
  Label4 = Etiqueta(this, "Label4", "Rubros:");
  lblRubroPptal = Etiqueta(this, "lblRubroPptal", "");
  Label5 = Etiqueta(this, "Label5", "Disponible en el CDP para comprometer:");
  lblPendientePago = Etiqueta(this, "lblPendientePago", "");
  lblPendientePago->Font->Color = clBlue;
  Label6 = Etiqueta(this, "Label6", "Registro presupuestal:");
  edIregPptal = Make<TEdit>(this, "edIregPptal");
  btnLintRegPptal = Boton(this, "btnLintRegPptal", "...");
  Label7 = Etiqueta(this, "Label7", "Fecha expedición:");
  edFechaExp = Make<TMaskEdit>(this, "edFechaExp");
  edFechaExp->EditMask = "!99/99/0000;1; ";
  btnFechaExp = Boton(this, "btnFechaExp", "...");
  Label8 = Etiqueta(this, "Label8", "Fecha vencimiento:");
  edFechaVenc = Make<TMaskEdit>(this, "edFechaVenc");
  edFechaVenc->EditMask = "!99/99/0000;1; ";
  btnFechaVenc = Boton(this, "btnFechaVenc", "...");
  Label11 = Etiqueta(this, "Label11", "Tercero:");
  edItercero = Make<TEdit>(this, "edItercero");
  edItercero->MaxLength = 18;
  btnLintCedula = Boton(this, "btnLintCedula", "...");
  btnNuevTerc = Boton(this, "btnNuevTerc", "Nuevo", 70);
  lblNTercero = Etiqueta(this, "lblNTercero", "");
  lblNTercero->Font->Color = clBlue;
  Label12 = Etiqueta(this, "Label12", "Valor solicitado:");
  edValor = Make<TMaskEdit>(this, "edValor");
  Label13 = Etiqueta(this, "Label13", "Funcionamiento:");
  edFunc = Make<TMaskEdit>(this, "edFunc");
  Label14 = Etiqueta(this, "Label14", "Inversión:");
  edInv = Make<TMaskEdit>(this, "edInv");
  Label16 = Etiqueta(this, "Label16", "Vigencia fiscal:");
  edVigFisc = Make<TEdit>(this, "edVigFisc");
  edVigFisc->MaxLength = 10;
  Label17 = Etiqueta(this, "Label17", "Objeto del gasto:");
  edObjetoGasto = Make<TEdit>(this, "edObjetoGasto");
  edObjetoGasto->MaxLength = 254;

  rgTipo = Make<TRadioGroup>(this, "rgTipo");
  rgTipo->Caption = "Documento asociado";
  rgTipo->Items->Add("Crear Prestación de servicio");
  rgTipo->Items->Add("Crear Orden de Suministro");
  rgTipo->Items->Add("Solo voy a describirlo, no lo voy a crear");
  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Caption = "";
  Label18 = Etiqueta(Panel2, "Label18", "Número orden:");
  edIorden = Make<TEdit>(Panel2, "edIorden");
  btnLintOrden = Boton(Panel2, "btnLintOrden", "...");
  Label19 = Etiqueta(Panel2, "Label19", "Fecha:");
  Label15 = Etiqueta(Panel2, "Label15", "");
  btnNuevaOrdenServ = Boton(Panel2, "btnNuevaOrdenServ", "Nueva", 90);
  btnModOrd = Boton(Panel2, "btnModOrd", "Modificar", 90);
  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Caption = "";
  Panel1->Visible = false;
  Label20 = Etiqueta(Panel1, "Label20", "Descripción:");
  edDocAsociado = Make<TEdit>(Panel1, "edDocAsociado");
  edDocAsociado->MaxLength = 254;

  // Botones al pie, siempre a la vista.
  auto* pie = Make<TPanel>(this, "Panel3");
  pie->Align = alBottom;
  pie->Height = 44;
  pie->Caption = "";
  btnAceptar = Make<TBitBtn>(pie, "btnAceptar");
  btnAceptar->Caption = "&Grabar";
  btnAceptar->Default = true;
  btnNavegar = Make<TBitBtn>(pie, "btnNavegar");
  btnNavegar->Caption = "&Explorar";
  btnImprimir = Make<TBitBtn>(pie, "btnImprimir");
  btnImprimir->Caption = "&Imprimir";
  btnCancelar = Make<TBitBtn>(pie, "btnCancelar");
  btnCancelar->Kind = bkCancel;
  btnCancelar->Caption = "&Salir";
  queryGral = Make<TQuery>(this, "queryGral");
  dsTerceros = Make<TDataSource>(this, "dsTerceros");
  dsTerceros->DataSet = DM->TblTerceros;
  dsCertDisp = Make<TDataSource>(this, "dsCertDisp");
  dsCertDisp->DataSet = DM->tblMvtCertDisp;
  dsRegPptal = Make<TDataSource>(this, "dsRegPptal");
  dsRegPptal->DataSet = DM->tblMvtRegPptal;

  // Izquierda: certificado y registro; derecha: documento asociado.
  Lugar(Label1, 12, 16, 0);
  Lugar(edICD, 170, 12, 90);
  Lugar(btnLintCertDisp, 264, 12, 28);
  Lugar(btnRegistros, 298, 12, 90);
  Lugar(Label23, 396, 16, 150);
  Lugar(Label2, 12, 44, 0);
  Lugar(Label9, 170, 44, 120);
  Lugar(Label4, 300, 44, 0);
  Lugar(lblRubroPptal, 360, 44, 190);
  Lugar(Label3, 12, 66, 0);
  Lugar(Label10, 170, 66, 380);
  Lugar(Label5, 12, 88, 0);
  Lugar(lblPendientePago, 300, 88, 150);
  Lugar(Label6, 12, 124, 0);
  Lugar(edIregPptal, 170, 120, 90);
  Lugar(btnLintRegPptal, 264, 120, 28);
  Lugar(Label7, 12, 156, 0);
  Lugar(edFechaExp, 170, 152, 100);
  Lugar(btnFechaExp, 274, 152, 28);
  Lugar(Label8, 12, 188, 0);
  Lugar(edFechaVenc, 170, 184, 100);
  Lugar(btnFechaVenc, 274, 184, 28);
  Lugar(Label11, 12, 220, 0);
  Lugar(edItercero, 170, 216, 130);
  Lugar(btnLintCedula, 304, 216, 28);
  Lugar(btnNuevTerc, 338, 216, 70);
  Lugar(lblNTercero, 170, 244, 380);
  Lugar(Label12, 12, 272, 0);
  Lugar(edValor, 170, 268, 130);
  Lugar(Label13, 12, 304, 0);
  Lugar(edFunc, 170, 300, 130);
  Lugar(Label14, 320, 304, 0);
  Lugar(edInv, 420, 300, 130);
  Lugar(Label16, 12, 336, 0);
  Lugar(edVigFisc, 170, 332, 80);
  Lugar(Label17, 12, 368, 0);
  Lugar(edObjetoGasto, 170, 364, 380);
  Lugar(rgTipo, 580, 12, 308);
  rgTipo->Height = 110;
  Lugar(Panel2, 580, 132, 308);
  Panel2->Height = 130;
  Lugar(Label18, 8, 14, 0);
  Lugar(edIorden, 110, 10, 100);
  Lugar(btnLintOrden, 214, 10, 28);
  Lugar(Label19, 8, 46, 0);
  Lugar(Label15, 110, 46, 150);
  Lugar(btnNuevaOrdenServ, 8, 84, 90);
  Lugar(btnModOrd, 110, 84, 90);
  Lugar(Panel1, 580, 132, 308);
  Panel1->Height = 130;
  Lugar(Label20, 8, 14, 0);
  Lugar(edDocAsociado, 8, 40, 290);
  Lugar(btnAceptar, 450, 8, 100);
  Lugar(btnNavegar, 560, 8, 100);
  Lugar(btnImprimir, 670, 8, 100);
  Lugar(btnCancelar, 780, 8, 100);
  Label1->FocusControl = edICD;
  Label6->FocusControl = edIregPptal;
  Label11->FocusControl = edItercero;
  Label12->FocusControl = edValor;
  Label13->FocusControl = edFunc;
  Label14->FocusControl = edInv;
  Label16->FocusControl = edVigFisc;
  Label17->FocusControl = edObjetoGasto;
  Label20->FocusControl = edDocAsociado;
  edICD->TabOrder = 0;

  edICD->OnExit = [this](TObject* s) { edICDExit(s); };
  edIregPptal->OnExit = [this](TObject* s) { edIregPptalExit(s); };
  edValor->OnEnter = [this](TObject* s) { edValorEnter(s); };
  edFunc->OnEnter = [this](TObject* s) { edFuncEnter(s); };
  edInv->OnEnter = [this](TObject* s) { edInvEnter(s); };
  edFunc->OnExit = [this](TObject* s) { edFuncExit(s); };
  edInv->OnExit = [this](TObject* s) { edFuncExit(s); };
  edValor->OnExit = [this](TObject* s) { edValorExit(s); };
  edObjetoGasto->OnEnter = [this](TObject* s) { edObjetoGastoEnter(s); };
  edItercero->OnExit = [this](TObject* s) { edIterceroExit(s); };
  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
  btnFechaExp->OnClick = [this](TObject* s) { btnFechaExpClick(s); };
  btnFechaVenc->OnClick = [this](TObject* s) { btnFechaExpClick(s); };
  btnLintCedula->OnClick = [this](TObject* s) { btnLintCedulaClick(s); };
  btnLintCertDisp->OnClick = [this](TObject* s) { btnLintCertDispClick(s); };
  btnLintRegPptal->OnClick = [this](TObject* s) { btnLintRegPptalClick(s); };
  btnNuevTerc->OnClick = [this](TObject* s) { btnNuevTercClick(s); };
  btnNavegar->OnClick = [this](TObject* s) { btnNavegarClick(s); };
  btnRegistros->OnClick = [this](TObject* s) { btnRegistrosClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  rgTipo->OnClick = [this](TObject* s) { rgTipoClick(s); };
  btnLintOrden->OnClick = [this](TObject* s) { btnLintOrdenClick(s); };
  btnNuevaOrdenServ->OnClick = [this](TObject* s) { ConErrorPropio([&] { btnNuevaOrdenServClick(s); }); };
  btnModOrd->OnClick = [this](TObject* s) { ConErrorPropio([&] { btnModOrdClick(s); }); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };

  rgTipo->ItemIndex = 0;
  initNuevo();
  frmExplRegPptal = explorador = new TfrmExplRegPptal(this);
  edFechaVenc->Text = FormatDateTime("dd/MM/yyyy", EncodeDate(anioGlobal, 12, 31));
  edIregPptal->Text = TextoNumeroDoc(static_cast<std::int64_t>(getLastRegPptal()) + 1);
  edIregPptal->Modified = false;
  TomarDigitado();
}

// ---- Lo digitado sin grabar --------------------------------------------------------------

AnsiString TfrmRegPptal::Digitado() const {
  AnsiString t;
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edICD, edFechaExp, edFechaVenc, edItercero, edVigFisc,
                                                            edObjetoGasto, edIorden, edDocAsociado})
    t += AnsiString(e->Text).Trim() + "\x1f";
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edValor, edFunc, edInv}) t += ValorDigitado(e) + "\x1f";
  return t + AnsiString(static_cast<int>(rgTipo->ItemIndex));
}

void TfrmRegPptal::TomarDigitado() { digitadoGuardado_ = Digitado(); }

void TfrmRegPptal::FormCloseQuery(TObject*, bool& CanClose) {
  if (Digitado() == digitadoGuardado_) return;
  CanClose = Application->MessageBox("Los datos del registro presupuestal " + Recortado(edIregPptal) +
                                         " no se han grabado. ¿Los descarta?",
                                     "Advertencia", MB_YESNO | MB_ICONWARNING) == IDYES;
}

TfrmRegPptal::~TfrmRegPptal() {
  if (frmRegPptal == this) frmRegPptal = nullptr;
}

void TfrmRegPptal::Colorear(TColor color) {
  Color = color;
  Panel1->Color = color;
  Panel2->Color = color;
}

void TfrmRegPptal::initNuevo() {
  tipoOrdenOriginal = 0;
  ordenOriginal = 0;
  versionTraida = 0;
  std::int64_t n = 0;
  icd = NumeroDocDe(edICD, n) ? n : 0;
  nuevo = true;
  valorOriginal = comprPend = 0;
  Colorear(kVerdeNuevo);
  limpiarEdits(this, "edICD", "edIregPptal");
  edValor->Text = "";
  edFunc->Text = "";
  lblNTercero->Caption = "";
  Label15->Caption = "";
  edVigFisc->Text = AnsiString(static_cast<int>(anioGlobal));
}

// ---- Certificado -------------------------------------------------------------------------

std::int64_t TfrmRegPptal::getPendientePago(std::int64_t aValor) {
  std::int64_t p = CentavosDe(getCompromisoPendiente(static_cast<double>(icd), false));
  comprPend = nuevo ? p - aValor : p - aValor + valorOriginal;
  return comprPend;
}

void TfrmRegPptal::MostrarPendiente() { lblPendientePago->Caption = Punto(PesosDe(comprPend), 2); }

// El valor escrito en centavos; 0 cuando está vacío o no se lee.
std::int64_t TfrmRegPptal::ValorDigitadoCentavos() {
  double valor = 0;
  AnsiString t = Recortado(edValor);
  return !t.IsEmpty() && TryStrToAmount(t, valor) ? CentavosDe(valor) : 0;
}

// Lo que queda del certificado vuelve a leerse de lo guardado, con el valor del formulario.
void TfrmRegPptal::LeerPendienteCertificado() {
  std::int64_t n = 0;
  if (!NumeroDocDe(edICD, n) || AnsiString(Label23->Caption) == "CDP Inexistente") return;
  icd = n;
  if (getPendientePago(ValorDigitadoCentavos()) < 0) lblPendientePago->Caption = "Valor excede lo disponible";
  else MostrarPendiente();
}

void TfrmRegPptal::PasoCertificado() {
  std::int64_t valor = CentavosTexto(Recortado(edValor));
  // Un texto que no es número no llega al texto SQL: StrToFloat lo rechaza.
  std::int64_t n = 0;
  icd = NumeroDocDe(edICD, n) ? n : static_cast<std::int64_t>(StrToFloat(Recortado(edICD)));
  getPendientePago(valor);
  MostrarPendiente();
  HagaSQL(kAlias, queryGral, "select * from mvtCertDisp where icd=" + AnsiString(std::to_string(icd).c_str()));
  if (!queryGral->IsEmpty()) {
    Label9->Caption = Fecha(queryGral->FieldByName("fechaExped"));
    Label10->Caption = Texto(queryGral->FieldByName("objetoGasto"));
    Label23->Caption = "";
    AnsiString rubros;
    for (const RubroCertificado& r : RubrosDeCertificado(static_cast<double>(icd))) rubros += (rubros.IsEmpty() ? "" : ", ") + r.rubro;
    lblRubroPptal->Caption = rubros;
    edObjetoGasto->Text = objetoGasto;
  } else {
    Label9->Caption = "";
    Label10->Caption = "";
    lblRubroPptal->Caption = "";
    lblPendientePago->Caption = "";
    Label23->Caption = "CDP Inexistente";
  }
}

void TfrmRegPptal::edICDExit(TObject*) {
  if (!edICD->Modified || Recortado(edICD).IsEmpty()) return;
  PasoCertificado();
}

// ---- Registro ----------------------------------------------------------------------------

void TfrmRegPptal::edIregPptalExit(TObject*) {
  if (!edIregPptal->Modified) return;
  TTable* rp = DM->tblMvtRegPptal;
  double n = 0;
  // La versión se toma antes que la fila: lo que otro grabe entretanto hace rechazar la grabación.
  std::int64_t numero = 0;
  long long version = NumeroDocDe(edIregPptal, numero) ? tv::motor::LeerVersionRegistro(numero).version : 0;
  if (!NumeroDe(edIregPptal, n) || !rp->Locate("irp", Variant(n))) {
    initNuevo();
    TTable* cd = DM->tblMvtCertDisp;
    edObjetoGasto->Text = cd->IsEmpty() ? AnsiString() : Texto(cd->FieldByName("objetoGasto"));
    LeerPendienteCertificado();
    TomarDigitado();
    return;
  }
  limpiarEdits(this, "edICD", "edIregPptal");
  nuevo = false;
  versionTraida = version;
  Colorear(clBtnFace);
  double irp = rp->FieldByName("irp")->AsFloat;
  // Un número con fracción (libros viejos) se muestra como está guardado.
  edIregPptal->Text = std::floor(irp) == irp ? TextoNumeroDoc(static_cast<std::int64_t>(irp)) : FloatToStr(irp);
  edIregPptal->Modified = false;
  edFechaExp->Text = Fecha(rp->FieldByName("FechaExped"));
  edFechaVenc->Text = Fecha(rp->FieldByName("fechaVenc"));
  edItercero->Text = Texto(rp->FieldByName("itercero"));
  AnsiString icdGuardado = Texto(rp->FieldByName("ICD"));
  if (!Recortado(edICD).IsEmpty() && Recortado(edICD) != icdGuardado)
    Application->MessageBox("Observe que va a cambiar el número del certificado. Este registro pertenece a él.",
                            "Advertencia", MB_OK | MB_ICONWARNING);
  // El valor propio va antes del paso del certificado: el pendiente lo descuenta una sola vez.
  valorOriginal = rp->FieldByName("valor")->IsNull ? 0 : CentavosDe(rp->FieldByName("valor")->AsFloat);
  MostrarMonto(edValor, FloatToStr(PesosDe(valorOriginal)));
  AnsiString func = Texto(rp->FieldByName("func")), inv = Texto(rp->FieldByName("inv"));
  AnsiString vig = Texto(rp->FieldByName("vigFiscal")), objeto = Texto(rp->FieldByName("objetoGasto"));
  AnsiString doc = Texto(rp->FieldByName("docAsociado"));
  edICD->Text = icdGuardado;
  if (!icdGuardado.IsEmpty()) PasoCertificado();
  MostrarMonto(edFunc, func);
  MostrarMonto(edInv, inv);
  edVigFisc->Text = vig;
  edObjetoGasto->Text = objeto;
  lblNTercero->Caption = Tercero(edItercero->Text).getNtercero();
  AnsiString fecha;
  int tipo = 2;
  double orden = getOrden(irp, fecha, tipo);
  if (orden < 0) {
    ShowMessage(MensajeVariasOrdenes(orden));
    // Varias órdenes: se muestra la clase, sin número.
    tipo = orden == -1 ? 0 : 1;
    ordenOriginal = 0;
    edIorden->Text = "";
  } else {
    ordenOriginal = static_cast<std::int64_t>(orden);
    edIorden->Text = TextoNumeroDoc(ordenOriginal);
  }
  tipoOrdenOriginal = tipo;
  rgTipo->ItemIndex = tipo;
  rgTipoClick(rgTipo);
  Label15->Caption = fecha;
  edDocAsociado->Text = doc;
  TomarDigitado();
}

// ---- Montos ------------------------------------------------------------------------------

void TfrmRegPptal::edValorEnter(TObject*) { edValor->EditMask = ""; }
void TfrmRegPptal::edFuncEnter(TObject*) { edFunc->EditMask = ""; }
void TfrmRegPptal::edInvEnter(TObject*) { edInv->EditMask = ""; }

// La máscara de miles solo lleva enteros: un monto con centavos queda sin ella.
// Un monto con centavos, signo u otra cosa queda sin máscara para no cortarlo.
static void Mascara(TMaskEdit* e) { EnmascararMonto(e); }

void TfrmRegPptal::edFuncExit(TObject* Sender) {
  if (auto* e = dynamic_cast<TMaskEdit*>(Sender)) Mascara(e);
}

void TfrmRegPptal::edValorExit(TObject*) {
  if (Recortado(edValor).IsEmpty()) return;
  if (getPendientePago(CentavosTexto(Recortado(edValor))) < 0) lblPendientePago->Caption = "Valor excede lo disponible";
  else MostrarPendiente();
  Mascara(edValor);
  if (Recortado(edFunc).IsEmpty()) MostrarMonto(edFunc, edValor->Text);
}

void TfrmRegPptal::edObjetoGastoEnter(TObject*) {
  if (AnsiString(edObjetoGasto->Text).IsEmpty()) edObjetoGasto->Text = Label10->Caption;
}

void TfrmRegPptal::edIterceroExit(TObject*) { lblNTercero->Caption = Tercero(edItercero->Text).getNtercero(); }

// ---- Validación --------------------------------------------------------------------------

bool TfrmRegPptal::validar() {
  AnsiString msg;
  std::int64_t irp = 0, icdTexto = 0;
  msg += ErrorNumeroDoc("El número del registro presupuestal", Recortado(edIregPptal), irp);
  if (Recortado(edIregPptal).IsEmpty()) msg += "Digite el número del registro presupuestal.\n";
  if (Recortado(edICD).IsEmpty()) msg += "Digite el número del certificado de disponibilidad.\n";
  else msg += ErrorNumeroDoc("El número del certificado de disponibilidad", Recortado(edICD), icdTexto);
  if (AnsiString(edFechaExp->EditText) == kFechaVacia) msg += "Digite la fecha de expedición.\n";
  if (AnsiString(edFechaVenc->EditText) == kFechaVacia) msg += "Digite la fecha de vencimiento.\n";
  AnsiString valor = Recortado(edValor), func = Recortado(edFunc), inv = Recortado(edInv);
  double montoValor = 0;
  if (valor.IsEmpty()) msg += "Digite el valor.\n";
  else msg += ErrorMayorQueCero("El valor", valor, montoValor);
  if (func.IsEmpty()) msg += "Digite el valor correspondiente al gasto de funcionamiento.\n";
  int tipo = rgTipo->ItemIndex;
  if (tipo == 0 || tipo == 1) {
    AnsiString orden = Recortado(edIorden);
    double n = 0;
    if (orden.IsEmpty() || orden == "0") {
      msg += tipo == 0 ? "La orden de servicios no puede ser cero ni dejarse en blanco.\n"
                       : "La orden de suministro no puede ser cero ni dejarse en blanco.\n";
    } else if (tipo == 0) {
      if (!TryStrToFloat(orden, n) || !DM->tblMvtOrdenServicio->Locate("iOrdenServicio", Variant(n)))
        msg += "Orden de servicio inexistente\n";
    } else if (!TryStrToFloat(orden, n) || !DM->tblMvtOrdenSumiMaestro->Locate("iOrdenSuministro", Variant(n))) {
      msg += "Orden de suministro inexistente\n";
    }
  }
  if (inv.IsEmpty()) msg += "Digite el valor correspondiente al gasto de inversión.\n";
  if (!valor.IsEmpty() && !func.IsEmpty() && !inv.IsEmpty() &&
      CentavosTexto(func) + CentavosTexto(inv) != CentavosTexto(valor))
    msg += "El valor del gasto no corresponde a la suma de la inversión  mas funcionamiento.\n";
  if (Recortado(edVigFisc).IsEmpty()) msg += "Digite el valor correspondiente a la vigencia fiscal.\n";
  if (AnsiString(Label23->Caption) == "CDP Inexistente") msg += "Certificado de disponibilidad inexistente.\n";
  AnsiString tercero = Recortado(edItercero);
  if (tercero.IsEmpty() || !DM->TblTerceros->Locate("cedulanit", Variant(tercero))) msg += "Tercero inexistente.\n";
  // Lo que queda del certificado se revisa al grabar, dentro de la transacción.
  if (AnsiString(edFechaExp->EditText) != kFechaVacia) {
    AnsiString motivo;
    if (!ValidarFecha(edFechaExp->Text, motivo)) {
      msg += motivo;
    } else if (!(motivo = ErrorFechaFueraDelAnio("La fecha de expedición", edFechaExp->Text)).IsEmpty()) {
      msg += motivo;
    } else if (!ValidarFecha(Label9->Caption, motivo)) {
      msg += motivo;
    } else if (StrToDate(edFechaExp->Text).Val < StrToDate(Label9->Caption).Val) {
      msg += "La fecha no puede ser menor que la del certificado de disponibilidad.\n";
    }
  }
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK);
  return false;
}

// ---- Grabar ------------------------------------------------------------------------------

// Lo escrito en el formulario, como lo graba el motor.
static tv::motor::RegistroPptal RegistroDe(TfrmRegPptal* f) {
  tv::motor::RegistroPptal r;
  NumeroDocDe(f->edIregPptal, r.irp);
  NumeroDocDe(f->edICD, r.icd);
  r.fechaExped = tv::db::DateTimeToIsoText(StrToDate(f->edFechaExp->Text), false);
  r.fechaVenc = tv::db::DateTimeToIsoText(StrToDate(f->edFechaVenc->Text), false);
  r.tercero = Recortado(f->edItercero).str();
  r.valor = CentavosTexto(Recortado(f->edValor));
  r.func = CentavosTexto(Recortado(f->edFunc));
  r.inv = CentavosTexto(Recortado(f->edInv));
  r.vigFiscal = AnsiString(f->edVigFisc->Text).str();
  r.objetoGasto = AnsiString(f->edObjetoGasto->Text).str();
  r.docAsociado = AnsiString(f->edDocAsociado->Text).str();
  r.tipoOrden = static_cast<tv::motor::TipoOrden>(f->rgTipo->ItemIndex < 0 ? 2 : f->rgTipo->ItemIndex);
  if (r.tipoOrden != tv::motor::TipoOrden::Descrito && !NumeroDocDe(f->edIorden, r.orden)) r.orden = 0;
  return r;
}

void TfrmRegPptal::btnAceptarClick(TObject*) {
  // Con Enter el botón por omisión actúa sin que el número pierda el foco: el número de un
  // registro guardado se carga, como al salir del campo, en lugar de grabar encima.
  if (ActiveControl == edIregPptal && edIregPptal->Modified) {
    std::int64_t n = 0;
    if (NumeroDocDe(edIregPptal, n) && DM->tblMvtRegPptal->Locate("irp", Variant(static_cast<double>(n)))) {
      edIregPptalExit(edIregPptal);
      return;
    }
  }
  if (!validar()) return;
  TTable* rp = DM->tblMvtRegPptal;
  bool eraNuevo = nuevo;
  tv::motor::RegistroPptal registro = RegistroDe(this);
  if (nuevo && rp->Locate("irp", Variant(static_cast<double>(registro.irp)))) {
    AnsiString siguiente = TextoNumeroDoc(SiguienteNumeroDoc(kNumRegistro));
    Application->MessageBox(MensajeNumeroExistente(kNumRegistro, registro.irp, siguiente),
                            "Error", MB_OK);
    edIregPptal->Text = siguiente;
    edIregPptal->Modified = false;
    return;
  }
  tv::motor::RegistroTraido traido;
  traido.nuevo = nuevo;
  traido.version = versionTraida;
  traido.tipoOrden = static_cast<tv::motor::TipoOrden>(tipoOrdenOriginal);
  traido.orden = ordenOriginal;
  tv::motor::Resultado res;
  try {
    res = tv::motor::GrabarRegistro(registro, traido);
  } catch (Exception& e) {
    rp->Refresh();
    Application->ShowException(&e);
    return;
  }
  for (const std::string& aviso : res.avisos) ShowMessage(aviso.c_str());
  if (!res.Grabado()) {
    rp->Refresh();
    if (res.Tiene("numero")) {
      // Otro puesto grabó el número propuesto: se propone el siguiente libre.
      edIregPptal->Text = TextoNumeroDoc(res.siguiente);
      edIregPptal->Modified = false;
      Application->MessageBox(res.Texto().c_str(), "Error", MB_OK);
    } else if (res.Tiene("limite") || res.Tiene("version")) {
      ShowMessage(res.Texto().c_str());
    } else {
      if (res.Tiene("valor")) LeerPendienteCertificado();
      Application->MessageBox(res.Texto().c_str(), "Error", MB_OK);
    }
    return;
  }
  rp->Refresh();
  DM->tblMvtOrdenServicio->Refresh();
  DM->tblMvtOrdenSumiMaestro->Refresh();
  Application->MessageBox(eraNuevo ? "Registro presupuestal adicionado." : "Registro presupuestal MODIFICADO.",
                          "Tallivar", MB_OK);
  AvisarSiAnioCerrado(StrToDate(edFechaExp->Text));
  TomarDigitado();
  // Lo grabado pasa a ser lo que el registro ya compromete.
  if (!eraNuevo) valorOriginal = registro.valor;
  edIregPptal->Text = TextoNumeroDoc(registro.irp + 1);
  edIregPptal->Modified = true;
  edIregPptalExit(edIregPptal);
  LeerPendienteCertificado();
  objetoGasto = edObjetoGasto->Text;
}

// ---- Fechas, búsquedas y tercero nuevo ---------------------------------------------------

void TfrmRegPptal::btnFechaExpClick(TObject* Sender) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->year = anioGlobal;
  calendario->month = mesGlobal;
  calendario->ShowModal();
  auto* boton = dynamic_cast<TComponent*>(Sender);
  calendario->GetDateAsString(boton && boton->Name == "btnFechaExp" ? edFechaExp : edFechaVenc);
  mesGlobal = calendario->month;
}

void TfrmRegPptal::btnLintCedulaClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsTerceros, "Cédula", "nombre", "cedulaNit", "nombre", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
  edItercero->Text = dialogo->GetContenido1();
  lblNTercero->Caption = dialogo->GetContenido2();
}

void TfrmRegPptal::btnLintCertDispClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsCertDisp, "Cert. Disp.", "Fecha Exped.", "iCD", "fechaExped", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edICD->Text;
  dialogo->ShowModal();
  edICD->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edICD->Text)) edICD->Modified = true;
  edICD->SetFocus();
}

void TfrmRegPptal::btnLintRegPptalClick(TObject*) {
  double n = 0;
  AnsiString filtro = NumeroDe(edICD, n) ? "icd=" + NumeroSQL(n) : AnsiString();
  FrmBuscTabla = new TFrmBuscTabla(this, dsRegPptal, "Número", "Fecha", "irp", "fechaExped", true, filtro);
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edIregPptal->Text;
  dialogo->ShowModal();
  edIregPptal->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edIregPptal->Text)) edIregPptal->Modified = true;
  edIregPptal->SetFocus();
}

void TfrmRegPptal::btnNuevTercClick(TObject*) {
  FrmNuevoTercero = new TFrmNuevoTercero(this);
  std::unique_ptr<TFrmNuevoTercero> dialogo(FrmNuevoTercero);
  dialogo->Modif = 0;
  dialogo->ShowModal();
  // Sin tercero grabado el campo queda como estaba.
  if (!dialogo->iTercero.IsEmpty()) {
    edItercero->Text = dialogo->iTercero;
    lblNTercero->Caption = Tercero(edItercero->Text).getNtercero();
  }
}

// ---- Explorador e impresión --------------------------------------------------------------

void TfrmRegPptal::btnNavegarClick(TObject*) {
  frmExplRegPptal = explorador;
  explorador->filtrado = false;
  explorador->setIcd(0);
  explorador->Show();
}

void TfrmRegPptal::btnRegistrosClick(TObject*) {
  double n = 0;
  if (Recortado(edICD).IsEmpty()) {
    icd = 0;
  } else {
    // Un número que no lo es no llega al texto SQL.
    n = StrToFloat(Recortado(edICD));
    explorador->filtrado = true;
    icd = static_cast<std::int64_t>(n);
  }
  frmExplRegPptal = explorador;
  explorador->setIcd(n);
  explorador->Show();
}

void TfrmRegPptal::btnImprimirClick(TObject*) {
  double n = 0;
  if (!NumeroDe(edICD, n) || !DM->tblPAC->Locate("icd", Variant(n)))
    ShowMessage("El certificado asociado no tiene definido PAC");
  // Se imprime el registro del número escrito cuando está grabado.
  if (NumeroDe(edIregPptal, n)) DM->tblMvtRegPptal->Locate("irp", Variant(n));
  frmRptRegistroPptal = new TfrmRptRegistroPptal(this);
  std::unique_ptr<TfrmRptRegistroPptal> impreso(frmRptRegistroPptal);
  impreso->QuickReport1->Preview();
  frmRptRegistroPptal = nullptr;
}

// ---- Documento asociado ------------------------------------------------------------------

void TfrmRegPptal::rgTipoClick(TObject*) {
  bool describir = rgTipo->ItemIndex == 2;
  Panel1->Visible = describir;
  Panel2->Visible = !describir;
}

void TfrmRegPptal::btnLintOrdenClick(TObject*) {
  int tipo = rgTipo->ItemIndex;
  if (tipo != 0 && tipo != 1) return;
  auto fuente = std::make_unique<TDataSource>(nullptr);
  fuente->DataSet = tipo == 0 ? DM->tblMvtOrdenServicio : DM->tblMvtOrdenSumiMaestro;
  FrmBuscTabla = new TFrmBuscTabla(this, fuente.get(), "Número", "Fecha",
                                   tipo == 0 ? "iOrdenServicio" : "iOrdenSuministro", "fecha", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
  edIorden->Text = dialogo->GetContenido1();
  edIorden->SetFocus();
}

void TfrmRegPptal::btnNuevaOrdenServClick(TObject*) {
  if (Recortado(edIregPptal).IsEmpty()) {
    ShowMessage("Llame primero el número del registro presupuestal al cual pertenece la orden.");
    return;
  }
  // Una orden nueva pertenece a un registro grabado: nunca a un número que otro podría grabar después.
  if (nuevo) {
    ShowMessage("Grabe primero el registro presupuestal al cual pertenece la orden.");
    return;
  }
  if (rgTipo->ItemIndex != 0) {
    frmOrdenSuministro = new TfrmOrdenSuministro(this);
    std::unique_ptr<TfrmOrdenSuministro> f(frmOrdenSuministro);
    f->edIordenSuministro->Text = edIorden->Text;
    std::int64_t irp = 0;
    f->regPptal = NumeroDocDe(edIregPptal, irp) ? irp : 0;
    f->setNuevo(true);
    f->ShowModal();
    if (f->grabado) {
      edIorden->Text = f->edIordenSuministro->Text;
      Label15->Caption = f->edFecha->Text;
    }
    frmOrdenSuministro = nullptr;
    return;
  }
  frmOrdenServicios = new TfrmOrdenServicios(this);
  std::unique_ptr<TfrmOrdenServicios> f(frmOrdenServicios);
  f->edIordenServicio->Text = edIorden->Text;
  f->edIregPptal->Text = edIregPptal->Text;
  f->setNuevo(true);
  f->ShowModal();
  // Solo una orden grabada se enlaza: "Salir" deja el registro como estaba.
  if (f->grabado) {
    edIorden->Text = f->edIordenServicio->Text;
    Label15->Caption = f->edFecha->Text;
  }
  frmOrdenServicios = nullptr;
}

void TfrmRegPptal::btnModOrdClick(TObject*) {
  if (Recortado(edIregPptal).IsEmpty()) {
    ShowMessage("Llame primero el número del registro presupuestal al cual pertenece la orden.");
    return;
  }
  if (Recortado(edIorden).IsEmpty()) {
    ShowMessage("Especifique cual orden desea modificar.");
    return;
  }
  if (!IsAllDigit(Recortado(edIorden).c_str())) {
    ShowMessage("Las órdenes de servicio o suministro deben ser numéricas.");
    return;
  }
  if (rgTipo->ItemIndex != 0) {
    if (!DM->tblMvtOrdenSumiMaestro->Active) DM->tblMvtOrdenSumiMaestro->Open();
    if (!DM->tblMvtOrdenSumiMaestro->Locate("iOrdenSuministro", Variant(StrToFloat(Recortado(edIorden))))) {
      ShowMessage("Esta orden de suministro aún no ha sido creada.");
      return;
    }
    frmOrdenSuministro = new TfrmOrdenSuministro(this);
    std::unique_ptr<TfrmOrdenSuministro> f(frmOrdenSuministro);
    f->edIordenSuministro->Text = edIorden->Text;
    std::int64_t irp = 0;
    f->regPptal = NumeroDocDe(edIregPptal, irp) ? irp : 0;
    f->setNuevo(false);
    f->ShowModal();
    if (f->grabado) edIorden->Text = f->edIordenSuministro->Text;
    frmOrdenSuministro = nullptr;
    return;
  }
  if (!DM->tblMvtOrdenServicio->Locate("iOrdenServicio", Variant(StrToFloat(Recortado(edIorden))))) {
    ShowMessage("Esta orden de servicio aún no ha sido creada.");
    return;
  }
  frmOrdenServicios = new TfrmOrdenServicios(this);
  std::unique_ptr<TfrmOrdenServicios> f(frmOrdenServicios);
  f->edIordenServicio->Text = edIorden->Text;
  f->edIregPptal->Text = edIregPptal->Text;
  f->setNuevo(false);
  f->ShowModal();
  if (f->grabado) edIorden->Text = f->edIordenServicio->Text;
  frmOrdenServicios = nullptr;
}

// El explorador se va con el formulario (es su dueño); al cerrar solo se oculta.
void TfrmRegPptal::FormClose(TObject*, TCloseAction&) {
  if (explorador) explorador->Hide();
}
