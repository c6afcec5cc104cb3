#include "payments/FrmOrdenPago.h"

#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/NumeroDocumento.h"
#include "ledger/FrmNuevoTercero.h"
#include "ledger/FrmVerImprimir.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/FrmExplOrdPago.h"
#include "payments/FrmRptOrdenPago.h"
#include "payments/RteFte.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TfrmOrdenPago* frmOrdenPago = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const char* const kFechaVacia = "  /  /    ";
const char* const kSinCDP = "Registro presupuestal inexistente o sin CDP";
// El mensaje dice también dónde se define el asiento: en una instalación nueva no hay ninguno.
const char* const kSinPlantilla =
    "En la configuración de los asientos programados debe definir el asiento de la orden de pago "
    "(menú \"Configuración\" > \"Asientos programados\").";
const char* const kCancelado = "No debe hacer Orden de Pago. Este Reg. Presupuestal ya está cancelado!";
const TColor kVerdeNuevo = static_cast<TColor>(10143652);  // RGB(164, 199, 154)

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

// Montos comparados a centavos.
double Centavos(double v) { return RoundToCents(v); }

AnsiString TextoCampo(TField* f) { return f->IsNull ? AnsiString() : AnsiString(f->AsString); }
AnsiString FechaCampo(TField* f) { return f->IsNull ? AnsiString() : DateToStr(f->AsDateTime); }

// Número de documento escrito por el usuario, exacto; los textos que no lo son nunca llegan a
// un SQL.
bool EsNumero(const AnsiString& texto, std::int64_t& n) {
  n = 0;
  return tv::motor::NumeroDocumento(texto.Trim().str(), n);
}

AnsiString Entero(std::int64_t n) { return AnsiString(std::to_string(n).c_str()); }

AnsiString Monto(std::int64_t centavos) { return FloatToStr(tv::motor::MontoDe(centavos)); }

// Fecha guardada (ISO) como la ve el usuario.
AnsiString FechaIso(const std::string& iso) {
  if (iso.empty()) return "";
  try {
    return DateToStr(IsoToDate(iso.c_str()));
  } catch (const Exception&) {
    return iso.c_str();
  }
}


}  // namespace

TfrmOrdenPago::TfrmOrdenPago(TComponent* Owner) : TForm(Owner) {
  Name = "frmOrdenPago";
  Caption = "Orden de Pago";
  Position = poScreenCenter;
  ClientWidth = 800;
  ClientHeight = 490;

  Label1 = Etiqueta(this, "Label1", "Registro presupuestal al cual pertenece");
  Label1->Font->Style = TFontStyles{fsBold};
  Label2 = Etiqueta(this, "Label2", "Número:");
  edIRP = Make<TEdit>(this, "edIRP");
  btnLintRegPptal = Make<TBitBtn>(this, "btnLintRegPptal");
  btnLintRegPptal->Caption = "...";
  Label23 = Etiqueta(this, "Label23", "*");
  Label23->Font->Color = clRed;
  Label8 = Etiqueta(this, "Label8", "Fecha RP:");
  Label9 = Etiqueta(this, "Label9", "*");
  Label10 = Etiqueta(this, "Label10", "Pendiente de pago:");
  lblPendientePagoRP = Etiqueta(this, "lblPendientePagoRP", "*");
  Label12 = Etiqueta(this, "Label12", "Rubro presupuestal:");
  lblIrubroPptal = Etiqueta(this, "lblIrubroPptal", "*");
  Label13 = Etiqueta(this, "Label13", "Objeto del gasto:");
  lblObjetoGasto = Etiqueta(this, "lblObjetoGasto", "*");
  lblObjetoGasto->WordWrap = true;
  Label3 = Etiqueta(this, "Label3", "Datos generales de la órden de pago");
  Label3->Font->Style = TFontStyles{fsBold};
  Label4 = Etiqueta(this, "Label4", "No:");
  edIordenPago = Make<TEdit>(this, "edIordenPago");
  edIordenPago->Hint =
      "Si digita uno existente, se le presentan sus datos y los puede cambiar. Si es nuevo puede digitarlos.";
  edIordenPago->ShowHint = true;
  btnLintOrdenPago = Make<TBitBtn>(this, "btnLintOrdenPago");
  btnLintOrdenPago->Caption = "...";
  Label5 = Etiqueta(this, "Label5", "Fecha expedición:");
  edFechaExp = Make<TMaskEdit>(this, "edFechaExp");
  edFechaExp->EditMask = "!99/99/0000;1; ";
  btnFechaExp = Make<TButton>(this, "btnFechaExp");
  btnFechaExp->Caption = "...";
  Label6 = Etiqueta(this, "Label6", "Fecha vencimiento:");
  edFechaVenc = Make<TMaskEdit>(this, "edFechaVenc");
  edFechaVenc->EditMask = "!99/99/0000;1; ";
  btnFechaVenc = Make<TButton>(this, "btnFechaVenc");
  btnFechaVenc->Caption = "...";
  Label7 = Etiqueta(this, "Label7", "Cédula o NIT:");
  edItercero = Make<TEdit>(this, "edItercero");
  btnLintCedula = Make<TBitBtn>(this, "btnLintCedula");
  btnLintCedula->Caption = "...";
  btnNuevTerc = Make<TButton>(this, "btnNuevTerc");
  btnNuevTerc->Caption = "Nuevo";
  lblNtercero = Etiqueta(this, "lblNtercero", "");
  Label14 = Etiqueta(this, "Label14", "Valor del asiento:");
  edValor = Make<TMaskEdit>(this, "edValor");
  Label15 = Etiqueta(this, "Label15", "Objeto del gasto:");
  edObjetoGasto = Make<TEdit>(this, "edObjetoGasto");
  edObjetoGasto->MaxLength = 254;
  Label16 = Etiqueta(this, "Label16", "Valor del cheque:");
  edValorCheque = Make<TEdit>(this, "edValorCheque");
  Label17 = Etiqueta(this, "Label17", "Número cheque");
  edNumeroCheque = Make<TEdit>(this, "edNumeroCheque");
  Label18 = Etiqueta(this, "Label18", "Banco:");
  edBanco = Make<TEdit>(this, "edBanco");
  Label19 = Etiqueta(this, "Label19", "Valor en efectivo:");
  edEfectivo = Make<TEdit>(this, "edEfectivo");
  chbRecibi = Make<TCheckBox>(this, "chbRecibi");
  chbRecibi->Caption = "Colocar \"RECIBÍ\" al imprimir";
  Label20 = Etiqueta(this, "Label20", "Movimiento contable");
  Label20->Font->Style = TFontStyles{fsBold};
  Label21 = Etiqueta(this, "Label21", "Tipo de documento:");
  cbAsientosProg = Make<TComboBox>(this, "cbAsientosProg");
  BitBtn3 = Make<TBitBtn>(this, "BitBtn3");
  BitBtn3->Caption = "...";
  Label22 = Etiqueta(this, "Label22", "Número:");
  edNumeDocu = Make<TEdit>(this, "edNumeDocu");
  Label24 = Etiqueta(this, "Label24", "(debería ser el mismo de la Orden de Pago)");
  Label24->Font->Color = clGreen;
  lblCtaMayor = Etiqueta(this, "lblCtaMayor", "");
  lblCtaMayor->Font->Style = TFontStyles{fsBold};
  SGAsiento = Make<TStringGrid>(this, "SGAsiento");
  SGAsiento->ColCount = 4;
  SGAsiento->RowCount = 2;
  SGAsiento->FixedCols = 0;
  SGAsiento->FixedRows = 1;
  SGAsiento->Options =
      TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing, goColSizing};
  Label25 = Etiqueta(this, "Label25", "Total:");
  lblTotal = Etiqueta(this, "lblTotal", "");
  lblTotal->AutoSize = false;
  btnAgregarCuenta = Make<TButton>(this, "btnAgregarCuenta");
  btnAgregarCuenta->Caption = "Agregar Cuenta";
  btnRteFte = Make<TButton>(this, "btnRteFte");
  btnRteFte->Caption = "Calcular RteFte";
  btnConfRteFte = Make<TButton>(this, "btnConfRteFte");
  btnConfRteFte->Caption = "Configurar RteFte";
  Label11 = Etiqueta(this, "Label11",
                     "Digite primero el valor base(cuenta 5) y el IVA para poder calcular las retenciones");
  Label11->Font->Color = clRed;
  Label11->Font->Style = TFontStyles{fsBold};
  btnAceptar = Make<TBitBtn>(this, "btnAceptar");
  btnAceptar->Caption = "&Grabar";
  btnAceptar->Default = true;
  btnImprimir = Make<TBitBtn>(this, "btnImprimir");
  btnImprimir->Caption = "&Imprimir";
  btnImpTradicional = Make<TBitBtn>(this, "btnImpTradicional");
  btnImpTradicional->Caption = "Imprimir como comprobante";
  btnNavegar = Make<TBitBtn>(this, "btnNavegar");
  btnNavegar->Caption = "&Explorar";
  btnCancelar = Make<TBitBtn>(this, "btnCancelar");
  btnCancelar->Kind = bkCancel;
  btnCancelar->Caption = "&Salir";
  queryGral = Make<TQuery>(this, "queryGral");
  Query2 = Make<TQuery>(this, "Query2");
  dsRegPptal = Make<TDataSource>(this, "dsRegPptal");
  dsRegPptal->DataSet = DM->tblMvtRegPptal;
  dsOrdenPago = Make<TDataSource>(this, "dsOrdenPago");
  dsOrdenPago->DataSet = DM->tblMvtOrdenPago;
  dsTerceros = Make<TDataSource>(this, "dsTerceros");
  dsTerceros->DataSet = DM->TblTerceros;
  dsCuenta = Make<TDataSource>(this, "dsCuenta");
  dsCuenta->DataSet = DM->TblPlan;
  dsAsientosProgCfg = Make<TDataSource>(this, "dsAsientosProgCfg");
  dsAsientosProgCfg->DataSet = DM->tblAsientosProgCfg;

  Lugar(Label1, 12, 4, 0);
  Lugar(Label2, 12, 24, 0);
  Lugar(edIRP, 140, 20, 100);
  Lugar(btnLintRegPptal, 244, 20, 28);
  Lugar(Label23, 284, 24, 300);
  Lugar(Label8, 12, 48, 0);
  Lugar(Label9, 140, 48, 120);
  Lugar(Label10, 284, 48, 0);
  Lugar(lblPendientePagoRP, 410, 48, 150);
  Lugar(Label12, 12, 64, 0);
  Lugar(lblIrubroPptal, 140, 64, 640);
  Lugar(Label13, 12, 80, 0);
  Lugar(lblObjetoGasto, 140, 80, 640);
  lblObjetoGasto->Height = 16;
  Lugar(Label3, 12, 100, 0);
  Lugar(Label4, 12, 120, 0);
  Lugar(edIordenPago, 140, 116, 100);
  Lugar(btnLintOrdenPago, 244, 116, 28);
  Lugar(Label5, 284, 120, 0);
  Lugar(edFechaExp, 410, 116, 90);
  Lugar(btnFechaExp, 504, 116, 28);
  Lugar(Label6, 540, 120, 0);
  Lugar(edFechaVenc, 664, 116, 90);
  Lugar(btnFechaVenc, 758, 116, 28);
  Lugar(Label7, 12, 146, 0);
  Lugar(edItercero, 140, 142, 130);
  Lugar(btnLintCedula, 274, 142, 28);
  Lugar(btnNuevTerc, 306, 142, 60);
  Lugar(lblNtercero, 376, 146, 400);
  Lugar(Label14, 12, 172, 0);
  Lugar(edValor, 140, 168, 130);
  // Los montos se ven agrupados mientras no se escribe en ellos.
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edValor, edValorCheque, edEfectivo}) e->AmountDisplay = true;
  Lugar(Label15, 284, 172, 0);
  Lugar(edObjetoGasto, 410, 168, 376);
  Lugar(Label16, 12, 198, 0);
  Lugar(edValorCheque, 140, 194, 130);
  Lugar(Label17, 284, 198, 0);
  Lugar(edNumeroCheque, 410, 194, 120);
  Lugar(Label18, 540, 198, 0);
  Lugar(edBanco, 600, 194, 186);
  Lugar(Label19, 12, 224, 0);
  Lugar(edEfectivo, 140, 220, 130);
  Lugar(chbRecibi, 284, 222, 300);
  Lugar(Label20, 12, 248, 0);
  Lugar(Label21, 12, 270, 0);
  Lugar(cbAsientosProg, 140, 266, 260);
  Lugar(BitBtn3, 404, 266, 28);
  Lugar(Label22, 444, 270, 0);
  Lugar(edNumeDocu, 500, 266, 100);
  Lugar(Label24, 606, 270, 190);
  Lugar(lblCtaMayor, 12, 292, 560);
  Lugar(SGAsiento, 12, 310, 560);
  SGAsiento->Height = 124;
  Lugar(Label25, 380, 438, 0);
  Lugar(lblTotal, 430, 438, 142);
  lblTotal->Height = 16;
  Lugar(btnAgregarCuenta, 584, 310, 200);
  Lugar(btnRteFte, 584, 338, 200);
  Lugar(btnConfRteFte, 584, 366, 200);
  Lugar(Label11, 584, 394, 200);
  Label11->WordWrap = true;
  Label11->Height = 44;
  Lugar(btnAceptar, 12, 456, 100);
  Lugar(btnImprimir, 120, 456, 100);
  Lugar(btnImpTradicional, 228, 456, 200);
  Lugar(btnNavegar, 436, 456, 100);
  Lugar(btnCancelar, 544, 456, 100);
  Label2->FocusControl = edIRP;
  Label4->FocusControl = edIordenPago;

  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  edIRP->OnExit = [this](TObject* s) { edIRPExit(s); };
  btnLintRegPptal->OnClick = [this](TObject* s) { btnLintRegPptalClick(s); };
  edIordenPago->OnExit = [this](TObject* s) { edIordenPagoExit(s); };
  btnLintOrdenPago->OnClick = [this](TObject* s) { btnLintOrdenPagoClick(s); };
  btnFechaExp->OnClick = [this](TObject* s) { btnFechaExpClick(s); };
  btnFechaVenc->OnClick = [this](TObject* s) { btnFechaVencClick(s); };
  btnLintCedula->OnClick = [this](TObject* s) { btnLintCedulaClick(s); };
  btnNuevTerc->OnClick = [this](TObject* s) { btnNuevTercClick(s); };
  edItercero->OnExit = [this](TObject*) { lblNtercero->Caption = Tercero(edItercero->Text).getNtercero(); };
  edObjetoGasto->OnEnter = [this](TObject* s) { edObjetoGastoEnter(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnImpTradicional->OnClick = [this](TObject* s) { btnImpTradicionalClick(s); };
  cbAsientosProg->OnChange = [this](TObject* s) { cbAsientosProgChange(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  SGAsiento->OnSelectCell = [this](TObject* s, int c, int r, bool& ok) { SGAsientoSelectCell(s, c, r, ok); };
  SGAsiento->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState) {
    if (c == 3 && r > 0) DibujarCeldaMonto(SGAsiento, c, r, rect);
  };
  btnAgregarCuenta->OnClick = [this](TObject* s) { btnAgregarCuentaClick(s); };
  btnRteFte->OnClick = [this](TObject* s) { btnRteFteClick(s); };
  btnConfRteFte->OnClick = [this](TObject* s) { btnConfRteFteClick(s); };
  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
  btnNavegar->OnClick = [this](TObject*) {
    std::unique_ptr<TfrmExplOrdPago> e(new TfrmExplOrdPago(this));
    e->filtrado = false;
    e->setIrp(0);
    e->ShowModal();
  };

  {
    TIniFile ini(ArchivoIni());
    DESCDOCU = ini.ReadString("ACTION", "descDocuOP", "_OP");
    edBanco->Text = ini.ReadString("ACTION", "banco", "");
    chbRecibi->Checked = ini.ReadBool("ACTION", "printRecibiOP", true);
  }
  Color = kVerdeNuevo;
  nuevo = true;
  edFechaVenc->Text = FormatDateTime("dd/MM/yyyy", EncodeDate(anioGlobal, 12, 31));
  DM->tblAsientosProgCfg->Filter = "descdocu='OP' or descdocu='_OP'";
  DM->tblAsientosProgCfg->Filtered = true;
  FillCBFromTbl(cbAsientosProg, DM->tblAsientosProgCfg, "iAstoProg", "nAstoProg");
  // La primera plantilla queda elegida en la lista, no solo escrita.
  int primera = cbAsientosProg->Items->IndexOf(cbAsientosProg->Text);
  if (primera >= 0) cbAsientosProg->ItemIndex = primera;
  cbAsientosProgChange(cbAsientosProg);
  AnsiString siguiente = TextoNumeroDoc(static_cast<std::int64_t>(getLastOrdenPago()) + 1);
  EscribirOrden(siguiente);
  edNumeDocu->Text = siguiente;
  TomarDigitado();
}

TfrmOrdenPago::~TfrmOrdenPago() {
  if (frmOrdenPago == this) frmOrdenPago = nullptr;
}

// Un solo "data.ini" para el formulario, el explorador y la impresión.
AnsiString TfrmOrdenPago::ArchivoIni() const { return ArchivoIniSesion(); }

void TfrmOrdenPago::EscribirOrden(const AnsiString& texto) {
  edIordenPago->Text = texto;
  edIordenPago->Modified = false;
}

void TfrmOrdenPago::EscribirRegistro(const AnsiString& texto) {
  edIRP->Text = texto;
  edIRP->Modified = false;
  std::int64_t n = 0;
  registroLeido_ = EsNumero(texto, n);
  numeroRegistro_ = n;
}

// El pendiente del registro vuelve a leerse de lo guardado; con una orden guardada en el
// formulario cuenta también lo que ella ya le paga.
void TfrmOrdenPago::LeerPendiente() {
  std::int64_t r = 0;
  if (!EsNumero(edIRP->Text, r)) return;
  pagoPendiente = tv::motor::PendienteDeRegistro(kAlias, r, nuevo ? 0 : numeroOrden_);
  MostrarPendiente();
}

void TfrmOrdenPago::MostrarPendiente() { lblPendientePagoRP->Caption = Punto(tv::motor::MontoDe(pagoPendiente), 2); }

void TfrmOrdenPago::FormActivate(TObject*) {
  if (edIRP->CanFocus()) edIRP->SetFocus();
}

AnsiString TfrmOrdenPago::Digitado() const {
  AnsiString t;
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edIRP, edIordenPago, edFechaExp, edFechaVenc, edItercero,
                                                            edObjetoGasto, edNumeroCheque, edBanco, edNumeDocu})
    t += AnsiString(e->Text).Trim() + "\x1f";
  // Un monto se compara por su valor: la máscara de miles cambia el texto, no lo digitado.
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edValor, edValorCheque, edEfectivo}) {
    AnsiString m = AnsiString(e->Text).Trim();
    double v = 0;
    t += (!m.IsEmpty() && TryStrToAmount(m, v) ? FloatToStr(v) : m) + "\x1f";
  }
  t += AnsiString(cbAsientosProg->Text) + "\x1f";
  for (int r = 0; r < SGAsiento->RowCount; ++r)
    for (int c = 0; c < SGAsiento->ColCount; ++c) t += AnsiString(SGAsiento->Cells[c][r]) + "\x1f";
  return t;
}

void TfrmOrdenPago::TomarDigitado() { digitadoGuardado_ = Digitado(); }

void TfrmOrdenPago::FormCloseQuery(TObject*, bool& CanClose) {
  if (Digitado() == digitadoGuardado_) return;
  CanClose = Application->MessageBox("Los datos de la orden de pago " + AnsiString(edIordenPago->Text).Trim() +
                                         " no se han grabado. ¿Los descarta?",
                                     "Advertencia", MB_YESNO | MB_ICONWARNING) == IDYES;
}

void TfrmOrdenPago::FormClose(TObject*, TCloseAction&) {
  DM->tblAsientosProgCfg->Filter = "";
  DM->tblAsientosProgCfg->Filtered = false;
}

// ---- Registro ----------------------------------------------------------------------------

void TfrmOrdenPago::edIRPExit(TObject*) {
  if (!edIRP->Modified) return;
  AnsiString texto = AnsiString(edIRP->Text).Trim();
  if (texto.IsEmpty()) return;
  std::int64_t n = 0;
  // Volver al campo (tras un mensaje o una búsqueda) sin cambiar el número no relee nada: el
  // objeto del gasto y los montos digitados se quedan.
  if (EsNumero(texto, n) && registroLeido_ && n == numeroRegistro_) {
    edIRP->Modified = false;
    return;
  }
  edObjetoGasto->Text = objetoGasto;
  if (!EsNumero(texto, n)) {
    registroLeido_ = false;
    Label23->Caption = kSinCDP;
    return;
  }
  edIRP->Modified = false;
  registroLeido_ = true;
  numeroRegistro_ = n;
  pagoPendiente = tv::motor::PendienteDeRegistro(kAlias, n);
  irp = n;
  getRP(irp);
  if (AnsiString(edNumeDocu->Text).IsEmpty()) edNumeDocu->Text = texto;
  if (AnsiString(edIordenPago->Text).IsEmpty()) EscribirOrden(texto);
  MostrarPendiente();
  if (!(pagoPendiente > 0)) ShowMessage(kCancelado);
}

void TfrmOrdenPago::getRP(std::int64_t aIrp) {
  HagaSQL(kAlias, queryGral,
          "select a.fechaExped as fechaExped, a.valor as valor, a.objetoGasto as objetoGasto, a.icd as icd "
          "from MvtregPptal as a join mvtCertDisp as b on (a.icd=b.icd) where a.irp=" +
              Entero(aIrp));
  if (queryGral->IsEmpty()) {
    Label23->Caption = kSinCDP;
    return;
  }
  Label9->Caption = FechaCampo(queryGral->FieldByName("fechaExped"));
  valorRP = queryGral->FieldByName("valor")->AsFloat;
  Label23->Caption = "";
  lblObjetoGasto->Caption = TextoCampo(queryGral->FieldByName("objetoGasto"));
  AnsiString rubros;
  for (const auto& r : RubrosDeCertificado(NumeroDocDe(queryGral->FieldByName("icd")))) {
    if (!rubros.IsEmpty()) rubros += ", ";
    rubros += r.rubro;
  }
  lblIrubroPptal->Caption = rubros;
}

void TfrmOrdenPago::btnLintRegPptalClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsRegPptal, "Reg. Pptal.", "Fecha Exped.", "irp", "fechaExped", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edIRP->Text;
  dialogo->ShowModal();
  edIRP->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edIRP->Text)) edIRP->Modified = true;
  edIRP->SetFocus();
}

// ---- Orden -------------------------------------------------------------------------------

void TfrmOrdenPago::edIordenPagoExit(TObject*) {
  AnsiString registro = AnsiString(edIRP->Text).Trim();
  if (registro.IsEmpty()) {
    ShowMessage("Coloque el registro presupuestal");
    return;
  }
  if (!edIordenPago->Modified) return;
  std::int64_t n = 0;
  std::optional<tv::motor::OrdenPago> o;
  if (EsNumero(edIordenPago->Text, n)) o = tv::motor::TraerOrdenPago(kAlias, n);
  if (!o) {
    initNuevo();
    return;
  }
  CargarOrden(*o);
}

void TfrmOrdenPago::CargarOrden(const tv::motor::OrdenPago& o) {
  DM->tblMvtOrdenPago->Locate("iop", Variant(static_cast<long long>(o.numero)));
  nuevo = false;
  Color = clBtnFace;
  // El monto guardado de la orden vuelve a quedar disponible: la edición lo reemplaza.
  numeroOrden_ = o.numero;
  versionTraida_ = o.versionTraida;
  LeerPendiente();
  EscribirOrden(Entero(o.numero));
  edFechaExp->Text = FechaIso(o.fechaExped);
  edFechaVenc->Text = FechaIso(o.fechaVenc);
  edItercero->Text = o.tercero.c_str();
  AnsiString irpTexto = Entero(o.registro);
  if (AnsiString(edIRP->Text).Trim() != irpTexto) {
    Application->MessageBox("Observe que va a cambiar el número del registro. Esta orden de pago pertenece a él.",
                            "Advertencia", MB_OK | MB_ICONWARNING);
    EscribirRegistro(irpTexto);
    LeerPendiente();
  }
  EscribirRegistro(irpTexto);
  irp = o.registro;
  valorOriginal = tv::motor::MontoDe(o.valor);
  edValor->Text = Monto(o.valor);
  getRP(irp);
  lblNtercero->Caption = Tercero(edItercero->Text).getNtercero();
  edObjetoGasto->Text = o.objetoGasto.c_str();
  numeDocuGuardado_ = o.asiento.numero.c_str();
  edNumeDocu->Text = numeDocuGuardado_;
  edValorCheque->Text = o.valorCheque ? Monto(*o.valorCheque) : AnsiString();
  edNumeroCheque->Text = o.numeroCheque.c_str();
  edBanco->Text = o.banco.c_str();
  edEfectivo->Text = o.valorEfectivo ? Monto(*o.valorEfectivo) : AnsiString();
  iAstoProg = static_cast<int>(o.plantilla);
  nAstoProg = "";
  HagaSQL(kAlias, Query2,
          "select nAstoProg from asientosProgCfg where (descdocu='OP' or descdocu='_OP') and iAstoProg=" +
              NumeroSQL(iAstoProg));
  if (!Query2->IsEmpty()) nAstoProg = TextoCampo(Query2->FieldByName("nAstoProg"));
  cbAsientosProg->ItemIndex = cbAsientosProg->Items->IndexOf(AnsiString(iAstoProg) + ":" + nAstoProg);
  if (cbAsientosProg->ItemIndex < 0) cbAsientosProg->Text = "";
  if (AplicarPlantilla()) getMvt();
  TomarDigitado();
}

void TfrmOrdenPago::initNuevo() {
  nuevo = true;
  Color = kVerdeNuevo;
  limpiarEdits(this, "edIRP", "edIordenPago");
  limpiarGrid();
  edNumeDocu->Text = edIordenPago->Text;
  numeDocuGuardado_ = "";
  // Una orden nueva se mide contra lo que el registro tiene hoy sin pagar.
  LeerPendiente();
  TIniFile ini(ArchivoIni());
  edBanco->Text = ini.ReadString("ACTION", "banco", "");
  TomarDigitado();
}

void TfrmOrdenPago::btnLintOrdenPagoClick(TObject*) {
  // El filtro por registro solo con un número: el texto nunca va tal cual.
  AnsiString filtro;
  std::int64_t r = 0;
  if (EsNumero(edIRP->Text, r)) filtro = "irp='" + Entero(r) + "'";
  FrmBuscTabla = new TFrmBuscTabla(this, dsOrdenPago, "Número", "Fecha", "iop", "fechaExped", true, filtro);
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edIordenPago->Text;
  dialogo->ShowModal();
  edIordenPago->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edIordenPago->Text)) edIordenPago->Modified = true;
  edIordenPago->SetFocus();
}

void TfrmOrdenPago::btnLintCedulaClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsTerceros, "Cédula", "nombre", "cedulaNit", "nombre", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
  edItercero->Text = dialogo->GetContenido1();
  lblNtercero->Caption = dialogo->GetContenido2();
}

void TfrmOrdenPago::btnNuevTercClick(TObject*) {
  std::unique_ptr<TFrmNuevoTercero> f(new TFrmNuevoTercero(this));
  f->Modif = 0;
  f->ShowModal();
  // El tercero recién grabado queda en la orden, con su nombre; sin grabar, nada cambia.
  if (f->iTercero.IsEmpty()) return;
  edItercero->Text = f->iTercero;
  lblNtercero->Caption = Tercero(edItercero->Text).getNtercero();
}

void TfrmOrdenPago::btnFechaExpClick(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->year = anioGlobal;
  calendario->month = mesGlobal;
  calendario->ShowModal();
  calendario->GetDateAsString(edFechaExp);
  mesGlobal = calendario->month;
}

void TfrmOrdenPago::btnFechaVencClick(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->ShowModal();
  calendario->GetDateAsString(edFechaVenc);
}

// El objeto del registro se ofrece seleccionado: lo que se teclee lo reemplaza. Sin registro
// leído no hay objeto que ofrecer ("*").
void TfrmOrdenPago::edObjetoGastoEnter(TObject*) {
  AnsiString delRegistro = lblObjetoGasto->Caption;
  if (!AnsiString(edObjetoGasto->Text).IsEmpty() || delRegistro.IsEmpty() || delRegistro == "*") return;
  edObjetoGasto->Text = delRegistro;
  edObjetoGasto->SelectAll();
}

// ---- Impresión ---------------------------------------------------------------------------

// Se imprime la orden cuyo número está en el formulario, ubicada por número.
void TfrmOrdenPago::btnImprimirClick(TObject*) {
  std::int64_t n = 0;
  if (nuevo || !EsNumero(edIordenPago->Text, n) ||
      !DM->tblMvtOrdenPago->Locate("iop", Variant(static_cast<long long>(n)))) {
    ShowMessage("Grabe primero la orden de pago.");
    return;
  }
  std::unique_ptr<TfrmRptOrdenPago> r(new TfrmRptOrdenPago(this));
  r->numeDocu = edNumeDocu->Text;
  r->rubro = lblIrubroPptal->Caption;
  r->printRecibi = chbRecibi->Checked;
  r->QuickReport1->Preview();
}

void TfrmOrdenPago::btnImpTradicionalClick(TObject*) {
  AnsiString numeDocu = edNumeDocu->Text;
  HagaSQL(kAlias, queryGral,
          "select * from Mvt where DescDocu=" + TextoSQL(DESCDOCU) + "  and Numedocu=" + TextoSQL(numeDocu));
  bool varios = false;
  iTercero = "";
  if (!queryGral->IsEmpty()) {
    queryGral->First();
    iTercero = TextoCampo(queryGral->FieldByName("cedulaNit"));
    for (; !queryGral->Eof; queryGral->Next())
      if (TextoCampo(queryGral->FieldByName("cedulaNit")) != iTercero) varios = true;
  }
  std::unique_ptr<TFrmVerImprimir> v(new TFrmVerImprimir(this));
  if (varios) {
    v->QRLabel14->Caption = "(varios)";
  } else {
    v->QRLabel14->Caption = iTercero;
    if (DM->TblTerceros->Locate("CedulaNIT", Variant(iTercero))) {
      v->QRLabel15->Caption = TextoCampo(DM->TblTerceros->FieldByName("Nombre"));
      v->QRLabel16->Caption = TextoCampo(DM->TblTerceros->FieldByName("direccion"));
    } else {
      v->QRLabel15->Caption = "Tercero no encontrado.";
    }
  }
  v->LD->Caption = DESCDOCU;
  v->LN->Caption = numeDocu;
  v->descDocu = DESCDOCU;
  v->numeDocu = numeDocu;
  v->DataSource1->DataSet = queryGral;
  queryGral->First();
  v->QuickReport1->Preview();
}

// ---- Asiento contable --------------------------------------------------------------------

void TfrmOrdenPago::cbAsientosProgChange(TObject*) { AplicarPlantilla(); }

bool TfrmOrdenPago::AplicarPlantilla() {
  AnsiString texto = cbAsientosProg->Text;
  AnsiString numero = ExtractString(texto, ':', true).Trim();
  int n = 0;
  if (!TryStrToInt(numero, n)) {
    ShowMessage(kSinPlantilla);
    return false;
  }
  // La plantilla se busca entre las de órdenes de pago; su fila se lee después aparte (otro
  // puesto pudo borrarla entretanto).
  if (!DM->tblAsientosProgCfg->Locate("iAstoProg", Variant(n))) {
    ShowMessage(kSinPlantilla);
    return false;
  }
  iAstoProg = n;
  limpiarGrid();
  HagaSQL(kAlias, Query2, "select requiereTercero, nAstoProg from asientosProgCfg where iAstoProg=" + NumeroSQL(n));
  if (Query2->IsEmpty()) {
    ShowMessage("Asiento programado sin cuentas.");
    return false;
  }
  nAstoProg = TextoCampo(Query2->FieldByName("nAstoProg"));
  SGAsiento->RowCount = 2;
  for (int c = 0; c < 4; ++c) SGAsiento->Cells[c][1] = "";
  static const char* const titulos[] = {"Cód. Cuenta", "Cuenta", "D/C", "valor"};
  // La columna del valor cabe hasta -999.999.999.999,99.
  static const int anchos[] = {100, 250, 30, 140};
  for (int c = 0; c < 4; ++c) {
    SGAsiento->Cells[c][0] = titulos[c];
    SGAsiento->ColWidths[c] = anchos[c];
  }
  HagaSQL(kAlias, Query2,
          "select a.NumeCuen as NumeCuen, a.naturaleza as naturaleza, p.nombcuen as nombcuen from asientosProg a "
          "left join pl p on p.numecuen=a.NumeCuen where a.iAstoProg=" + NumeroSQL(n) + " order by a.rowid");
  int i = 1;
  for (Query2->First(); !Query2->Eof; Query2->Next(), ++i) {
    if (SGAsiento->RowCount < i + 1) SGAsiento->RowCount = i + 1;
    SGAsiento->Cells[0][i] = TextoCampo(Query2->FieldByName("NumeCuen"));
    TField* nombre = Query2->FieldByName("nombcuen");
    SGAsiento->Cells[1][i] = nombre->IsNull ? AnsiString("Cuenta inexistente.") : AnsiString(nombre->AsString);
    SGAsiento->Cells[2][i] = TextoCampo(Query2->FieldByName("naturaleza"));
    SGAsiento->Cells[3][i] = "";
  }
  return true;
}

void TfrmOrdenPago::BitBtn3Click(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsAsientosProgCfg, "Documento", "Descripción", "descDocu", "nAstoProg",
                                   true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  if (dialogo->ShowModal() != mrOk) return;
  // Se elige la fila de la plantilla: su número y su nombre, como las entradas de la lista.
  TTable* cfg = DM->tblAsientosProgCfg;
  AnsiString entrada = AnsiString(cfg->FieldByName("iAstoProg")->AsInteger) + ":" +
                       TextoCampo(cfg->FieldByName("nAstoProg"));
  cbAsientosProg->ItemIndex = cbAsientosProg->Items->IndexOf(entrada);
  if (cbAsientosProg->ItemIndex < 0) cbAsientosProg->Text = entrada;
  AplicarPlantilla();
}

void TfrmOrdenPago::SGAsientoSelectCell(TObject*, int, int ARow, bool& CanSelect) {
  CanSelect = true;
  AnsiString cuenta = SGAsiento->Cells[0][ARow];
  HagaSQL(kAlias, Query2, "select nombcuen from pl where numecuen=" + TextoSQL(cuenta.SubString(1, 2)));
  lblCtaMayor->Caption = Query2->IsEmpty() ? AnsiString() : TextoCampo(Query2->FieldByName("nombcuen"));
  HagaSQL(kAlias, Query2, "select nombcuen from pl where numecuen=" + TextoSQL(cuenta.SubString(1, 4)));
  lblCtaMayor->Caption = AnsiString(lblCtaMayor->Caption) + " - " +
                         (Query2->IsEmpty() ? AnsiString() : TextoCampo(Query2->FieldByName("nombcuen")));
}

void TfrmOrdenPago::btnAgregarCuentaClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsCuenta, "Código", "Cuenta", "numeCuen", "nombCuen", false, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  if (dialogo->ShowModal() != mrOk) return;
  AnsiString codigo = dialogo->GetContenido1();
  AnsiString nombre = dialogo->GetContenido2();
  AnsiString naturaleza = InputBox("Información", "Escriba la naturaleza de la cuenta: D o C", "");
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    if (AnsiString(SGAsiento->Cells[0][r]) == codigo) {
      ShowMessage("Cuenta ya existe en el asiento programado.");
      return;
    }
  }
  if (naturaleza != "D" && naturaleza != "C") {
    ShowMessage("Especifique la naturaleza de la cuenta como C o D.");
    return;
  }
  HagaSQL(kAlias, Query2,
          "insert into asientosProg (numeCuen, iastoProg, naturaleza) values (" + TextoSQL(codigo) + ", " +
              NumeroSQL(iAstoProg) + ", " + TextoSQL(naturaleza) + ")");
  DM->tblAsientosProg->Refresh();
  // La fila vacía de una plantilla sin cuentas se aprovecha.
  int fila = SGAsiento->RowCount;
  if (fila == 2 && AnsiString(SGAsiento->Cells[0][1]).IsEmpty()) fila = 1;
  else SGAsiento->RowCount = fila + 1;
  SGAsiento->Cells[0][fila] = codigo;
  SGAsiento->Cells[1][fila] = nombre;
  SGAsiento->Cells[2][fila] = naturaleza;
  SGAsiento->Cells[3][fila] = "";
}

void TfrmOrdenPago::limpiarGrid() {
  for (int r = 1; r < SGAsiento->RowCount; ++r) SGAsiento->Cells[3][r] = "";
}

void TfrmOrdenPago::getMvt() {
  AnsiString numeDocu = edNumeDocu->Text;
  HagaSQL(kAlias, queryGral,
          "select a.numecuen as NumeCuen, a.cedulanit as cedulaNIT, a.debito as debito, a.credito as credito, "
          "b.valor as valor from mvt a join mvtMaestro as b on b.descdocu=a.descdocu and a.numedocu=b.numedocu "
          "where b.descdocu=" + TextoSQL(DESCDOCU) + " and b.numedocu=" + TextoSQL(numeDocu) +
              " and b.tipoAsiento='P' order by a.rowid");
  if (!queryGral->IsEmpty()) {
    queryGral->First();
    edItercero->Text = TextoCampo(queryGral->FieldByName("cedulaNIT"));
    valor = queryGral->FieldByName("valor")->AsFloat;
    lblTotal->Caption = Punto(valor, 2);
    fillGridWithMvt();
    return;
  }
  if (HayAsientoManual(numeDocu)) {
    ShowMessage("Existe un asiento hecho manualmente que debe llamar por la opción \"Asientos manuales\"");
    return;
  }
  limpiarGrid();
}

// Las líneas guardadas llenan las filas una a una, en orden: una cuenta en dos líneas llena
// sus dos filas con sus propios montos.
void TfrmOrdenPago::fillGridWithMvt() {
  struct Linea {
    AnsiString cuenta;
    AnsiString monto;
    bool usada = false;
  };
  std::vector<Linea> lineas;
  for (queryGral->First(); !queryGral->Eof; queryGral->Next()) {
    double d = queryGral->FieldByName("debito")->AsFloat;
    double c = queryGral->FieldByName("credito")->AsFloat;
    lineas.push_back({TextoCampo(queryGral->FieldByName("NumeCuen")), FloatToStr(d > 0 ? d : c)});
  }
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    for (auto& l : lineas) {
      if (!l.usada && l.cuenta == AnsiString(SGAsiento->Cells[0][r])) {
        SGAsiento->Cells[3][r] = l.monto;
        l.usada = true;
        break;
      }
    }
  }
}

// Un documento del tipo y número sin marca "P" lo hizo el usuario en el editor de asientos.
bool TfrmOrdenPago::HayAsientoManual(const AnsiString& numeDocu) {
  HagaSQL(kAlias, Query2,
          "select count(*) as n from mvtMaestro where descdocu=" + TextoSQL(DESCDOCU) + " and numedocu=" +
              TextoSQL(numeDocu) + " and coalesce(tipoAsiento,'')<>'P'");
  return Query2->FieldByName("n")->AsInteger > 0;
}

tv::motor::AsientoOrdenPago TfrmOrdenPago::AsientoDeLaOrden(std::int64_t orden) {
  tv::motor::AsientoOrdenPago a;
  a.tipo = DESCDOCU.str();
  a.numero = AnsiString(edNumeDocu->Text).str();
  a.numeroGuardado = nuevo ? std::string() : numeDocuGuardado_.str();
  a.orden = orden;
  a.fecha = FormatDateTime("yyyy-mm-dd", StrToDate(edFechaExp->Text)).str();
  a.tercero = AnsiString(edItercero->Text).str();
  a.detalle = AnsiString(edObjetoGasto->Text).str();
  a.usuario = Login.str();
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    AnsiString monto = AnsiString(SGAsiento->Cells[3][r]).Trim();
    if (monto.IsEmpty()) continue;
    a.lineas.push_back({AnsiString(SGAsiento->Cells[0][r]).str(), AnsiString(SGAsiento->Cells[2][r]) == "D",
                        tv::motor::CentavosDe(StrToAmount(monto))});
  }
  a.valor = tv::motor::CentavosDe(valor);
  a.qitems = SGAsiento->RowCount;
  return a;
}

void TfrmOrdenPago::btnRteFteClick(TObject*) { putRteFte(SGAsiento); }

void TfrmOrdenPago::btnConfRteFteClick(TObject*) {
  try {
    std::unique_ptr<TfrmRetenciones> f(new TfrmRetenciones(this));
    f->ShowModal();
  } catch (Exception& e) {
    Application->ShowException(&e);
  }
}

// ---- Validación y grabación --------------------------------------------------------------

bool TfrmOrdenPago::validar() {
  AnsiString msg;
  std::int64_t numero = 0;
  AnsiString orden = AnsiString(edIordenPago->Text).Trim();
  msg += ErrorNumeroDoc("El número de la orden de pago", orden, numero);
  if (AnsiString(edNumeDocu->Text).Trim().IsEmpty()) msg += "Falta digitar el número del movimiento contable.\n";
  double debitos = 0, creditos = 0;
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    AnsiString monto = AnsiString(SGAsiento->Cells[3][r]).Trim();
    if (monto.IsEmpty()) continue;
    double v = 0;
    if (!TryStrToAmount(monto, v)) {
      msg += "'" + monto + "' no es un valor válido.\n";
      continue;
    }
    AnsiString nat = AnsiString(SGAsiento->Cells[2][r]).SubString(1, 1);
    if (nat == "C") creditos += v;
    else if (nat == "D") debitos += v;
    else msg += "Debe especificar si es C o D  (Crédito o Débito)\n";
  }
  if (Centavos(debitos) != Centavos(creditos)) {
    AnsiString sumaDebitos = Punto(debitos, 2);
    msg += "La suma de débitos: " + sumaDebitos + " no es igual a la de créditos: " + AnsiString(Punto(creditos, 2)) +
           "\n";
  } else {
    valor = Centavos(debitos);
    lblTotal->Caption = Punto(valor, 2);
  }
  if (!(valor > 0)) msg += "Falta digitar el movimiento contable\n";
  AnsiString textoValor = AnsiString(edValor->Text).Trim();
  double valorOrden = 0;
  if (textoValor.IsEmpty()) msg += "Digite el valor.\n";
  else if (!TryStrToAmount(textoValor, valorOrden)) msg += "'" + textoValor + "' no es un valor válido.\n";
  else if (!(valorOrden > 0)) msg += ErrorMayorQueCero("El valor", textoValor, valorOrden);
  if (orden.IsEmpty()) msg += "Digite el número de la orden de pago.\n";
  AnsiString registro = AnsiString(edIRP->Text).Trim();
  if (registro.IsEmpty()) msg += "Digite el número del certificado del registro presupuestal.\n";
  if (AnsiString(edFechaExp->EditText) == kFechaVacia) msg += "Digite la fecha de expedición.\n";
  if (AnsiString(edFechaVenc->EditText) == kFechaVacia) msg += "Digite la fecha de vencimiento.\n";
  AnsiString aviso;
  if (!ValidarFecha(edFechaExp->Text, aviso)) {
    msg += aviso;
  } else if (!(aviso = ErrorFechaFueraDelAnio("La fecha de expedición", edFechaExp->Text)).IsEmpty()) {
    msg += aviso;
  } else if (AnsiString(Label9->Caption) != "*") {
    TDateTime fechaRP;
    if (TryStrToDate(Label9->Caption, fechaRP) && StrToDate(edFechaExp->Text) < fechaRP)
      msg += "La fecha no puede ser menor que la del registro presupuestal.\n";
  }
  aviso = "";
  if (!ValidarFecha(edFechaVenc->Text, aviso)) msg += aviso;
  if (AnsiString(Label23->Caption) == kSinCDP) msg += AnsiString(kSinCDP) + "\n";
  AnsiString tercero = AnsiString(edItercero->Text);
  if (tercero.IsEmpty() || !DM->TblTerceros->Locate("cedulanit", Variant(tercero))) msg += "Tercero inexistente.\n";
  // Lo pendiente del registro se revisa al grabar, dentro de la transacción.
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK);
  return false;
}

tv::motor::OrdenPago TfrmOrdenPago::Registro() {
  tv::motor::OrdenPago o;
  tv::motor::NumeroDocumento(AnsiString(edIordenPago->Text).Trim().str(), o.numero);
  o.nueva = nuevo;
  tv::motor::NumeroDocumento(AnsiString(edIRP->Text).Trim().str(), o.registro);
  o.fechaExped = FormatDateTime("yyyy-mm-dd", StrToDate(edFechaExp->Text)).str();
  o.fechaVenc = FormatDateTime("yyyy-mm-dd", StrToDate(edFechaVenc->Text)).str();
  o.tercero = AnsiString(edItercero->Text).str();
  o.valor = tv::motor::CentavosDe(StrToAmount(AnsiString(edValor->Text).Trim()));
  o.objetoGasto = AnsiString(edObjetoGasto->Text).str();
  o.numeroCheque = AnsiString(edNumeroCheque->Text).str();
  o.banco = AnsiString(edBanco->Text).str();
  AnsiString cheque = AnsiString(edValorCheque->Text).Trim(), efectivo = AnsiString(edEfectivo->Text).Trim();
  if (!cheque.IsEmpty()) o.valorCheque = tv::motor::CentavosDe(StrToAmount(cheque));
  if (!efectivo.IsEmpty()) o.valorEfectivo = tv::motor::CentavosDe(StrToAmount(efectivo));
  o.plantilla = iAstoProg;
  o.asiento = AsientoDeLaOrden(o.numero);
  o.versionTraida = versionTraida_;
  return o;
}

void TfrmOrdenPago::btnAceptarClick(TObject*) {
  // Con Enter el botón por omisión actúa sin que el número pierda el foco: el número de una
  // orden guardada se carga, como al salir del campo, en lugar de grabar encima.
  if (ActiveControl == edIordenPago && edIordenPago->Modified) {
    std::int64_t n = 0;
    if (EsNumero(edIordenPago->Text, n) && n > 0 &&
        DM->tblMvtOrdenPago->Locate("iop", Variant(static_cast<long long>(n)))) {
      edIordenPagoExit(edIordenPago);
      return;
    }
  }
  if (!validar()) return;
  tv::motor::NumeroDocumento(AnsiString(edIordenPago->Text).Trim().str(), numeroOrden_);
  AnsiString numeDocu = edNumeDocu->Text;
  TTable* op = DM->tblMvtOrdenPago;
  if (nuevo && op->Locate("iop", Variant(static_cast<long long>(numeroOrden_)))) {
    AnsiString siguiente = TextoNumeroDoc(SiguienteNumeroDoc(kNumOrdenPago));
    Application->MessageBox(MensajeNumeroExistente(kNumOrdenPago, numeroOrden_, siguiente), "Error", MB_OK);
    if (AnsiString(edNumeDocu->Text).Trim() == Entero(numeroOrden_)) edNumeDocu->Text = siguiente;
    EscribirOrden(siguiente);
    return;
  }
  // Número, lo pendiente del registro, el dueño del asiento, el asiento y la fila de la orden:
  // todo en la transacción del motor, sobre lo guardado.
  tv::motor::Resultado r;
  try {
    r = tv::motor::GrabarOrdenPago(kAlias, Registro());
  } catch (Exception& e) {
    for (TTable* t : {op, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
    Application->MessageBox("Error grabando... la orden de pago no se grabó. " + e.Message, "Error", MB_OK);
    return;
  }
  if (!r.grabado) {
    for (TTable* t : {op, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
    if (r.Tiene("version")) {
      // Otro puesto la cambió o la borró: se graba solo tras traerla de nuevo.
      Application->MessageBox(r.Texto().c_str(), "Error", MB_OK);
    } else if (r.Tiene("valor")) {
      LeerPendiente();
      Application->MessageBox(r.Texto().c_str(), "Error", MB_OK);
    } else if (r.Tiene("numeDocu")) {
      // El número del asiento es de otro: se propone el siguiente libre.
      if (!r.numeroLibre.empty()) edNumeDocu->Text = r.numeroLibre.c_str();
      ShowMessage(r.Texto().c_str());
    } else if (r.Tiene("orden")) {
      // Otro puesto grabó el número propuesto: se propone el siguiente libre, y el asiento
      // lo sigue cuando llevaba el mismo número.
      if (AnsiString(edNumeDocu->Text).Trim() == AnsiString(edIordenPago->Text).Trim())
        edNumeDocu->Text = r.numeroLibre.c_str();
      EscribirOrden(r.numeroLibre.c_str());
      Application->MessageBox(r.Texto().c_str(), "Error", MB_OK);
    } else {
      Application->MessageBox("Error grabando... la orden de pago no se grabó. " + AnsiString(r.Texto().c_str()),
                              "Error", MB_OK);
    }
    return;
  }
  for (TTable* t : {op, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
  op->Locate("iop", Variant(static_cast<long long>(numeroOrden_)));
  versionTraida_ = r.version;
  Application->MessageBox("Orden de pago grabada.", "Tallivar", MB_OK);
  AvisarSiAnioCerrado(StrToDate(edFechaExp->Text));
  GuardarAjustes(ArchivoIni(), [this](TIniFile& ini) {
    ini.WriteString("ACTION", "banco", edBanco->Text);
    ini.WriteBool("ACTION", "printRecibiOP", chbRecibi->Checked);
  });
  objetoGasto = edObjetoGasto->Text;
  // La orden queda como cargada: un segundo "Grabar" la edita.
  nuevo = false;
  Color = clBtnFace;
  numeDocuGuardado_ = numeDocu;
  valorOriginal = StrToAmount(AnsiString(edValor->Text).Trim());
  // Tras grabar se ve lo que el registro tiene aún sin pagar, sin sumarle otra vez esta orden.
  std::int64_t registro = 0;
  EsNumero(edIRP->Text, registro);
  pagoPendiente = tv::motor::PendienteDeRegistro(kAlias, registro);
  MostrarPendiente();
  if (AplicarPlantilla()) getMvt();
  TomarDigitado();
}
