#include "budget/FrmCertDisp.h"

#include <cmath>
#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmExpCertDisp.h"
#include "budget/FrmRptCertDisp.h"
#include "budget/MontoEnMascara.h"
#include "budget/NumeroDocumento.h"
#include "budget/motor/CertificadoMotor.h"
#include "platform/db/Engine.h"
#include "platform/report/QuickRpt.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"
#include "reports/ConsultasComun.h"

TfrmCertDisp* frmCertDisp = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const char* const kFechaVacia = "  /  /    ";
const TColor kVerdeNuevo = static_cast<TColor>(10143652);
const int kFilasIniciales = 5;

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

// Montos comparados a centavos: 0.1 + 0.2 es 0.3.
double Centavos(double v) { return RoundToCents(v); }

double CeldaONula(const AnsiString& texto) { return texto.Trim().IsEmpty() ? 0.0 : StrToAmount(texto.Trim()); }

AnsiString TextoCampo(TField* f) { return f->IsNull ? AnsiString() : AnsiString(f->AsString); }

AnsiString FechaCampo(TField* f) { return f->IsNull ? AnsiString() : DateToStr(f->AsDateTime); }

}  // namespace

TfrmCertDisp::TfrmCertDisp(TComponent* Owner) : TForm(Owner) {
  Name = "frmCertDisp";
  Caption = "Certificados de disponibilidad";
  Position = poScreenCenter;
  ClientWidth = 760;
  ClientHeight = 560;

  Label1 = Etiqueta(this, "Label1", "Número:");
  edIcertDisp = Make<TEdit>(this, "edIcertDisp");
  BitBtn4 = Make<TBitBtn>(this, "BitBtn4");
  BitBtn4->Caption = "...";
  BitBtn4->Hint = "Buscar certificados grabados";
  BitBtn4->ShowHint = true;
  lblAvisoDecimal = Etiqueta(this, "lblAvisoDecimal", "*");
  lblAvisoDecimal->Font->Color = clRed;
  lblAvisoDecimal->Font->Style = TFontStyles{fsBold};
  Label2 = Etiqueta(this, "Label2", "Fecha expedición:");
  edFechaExp = Make<TMaskEdit>(this, "edFechaExp");
  edFechaExp->EditMask = "!99/99/0000;1; ";
  btnFechaExp = Make<TButton>(this, "btnFechaExp");
  btnFechaExp->Caption = "...";
  Label3 = Etiqueta(this, "Label3", "Fecha vencimiento:");
  edFechaVenc = Make<TMaskEdit>(this, "edFechaVenc");
  edFechaVenc->EditMask = "!99/99/0000;1; ";
  btnFechaVenc = Make<TButton>(this, "btnFechaVenc");
  btnFechaVenc->Caption = "...";
  Label4 = Etiqueta(this, "Label4", "Objeto del gasto:");
  edObjetoGasto = Make<TEdit>(this, "edObjetoGasto");
  edObjetoGasto->MaxLength = 254;
  Label6 = Etiqueta(this, "Label6", "Valor CDP:");
  edValor = Make<TMaskEdit>(this, "edValor");
  Label7 = Etiqueta(this, "Label7", "Funcionamiento:");
  edFunc = Make<TMaskEdit>(this, "edFunc");
  Label8 = Etiqueta(this, "Label8", "Inversión:");
  edInv = Make<TMaskEdit>(this, "edInv");
  Label9 = Etiqueta(this, "Label9", "Vigencia  fiscal:");
  edVigFisc = Make<TEdit>(this, "edVigFisc");
  edVigFisc->MaxLength = 10;
  Label12 = Etiqueta(this, "Label12", "PAC:");
  Label13 = Etiqueta(this, "Label13", "*");
  stgPAC = Make<TStringGrid>(this, "stgPAC");
  stgPAC->ColCount = 12;
  stgPAC->RowCount = 2;
  stgPAC->FixedCols = 0;
  stgPAC->FixedRows = 1;
  // Cada mes se ve como todo monto: columnas con cabida para él y barra para recorrer el año.
  stgPAC->DefaultColWidth = 104;
  stgPAC->Options = TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing, goTabs};
  stgPAC->ScrollBars = ssHorizontal;
  // El año empieza a la vista en enero.
  stgPAC->Col = 0;
  stgPAC->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState) {
    if (r > 0) DibujarCeldaMonto(stgPAC, c, r, rect);
  };
  Label5 = Etiqueta(this, "Label5", "");
  Label5->Font->Color = clBlue;
  sgOtrosRubros = Make<TStringGrid>(this, "sgOtrosRubros");
  sgOtrosRubros->ColCount = 4;
  // El disponible y el monto de cada rubro se ven como todo monto; el texto no cambia.
  sgOtrosRubros->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState) {
    if (c >= 2 && r > 0) DibujarCeldaMonto(sgOtrosRubros, c, r, rect);
  };
  sgOtrosRubros->RowCount = kFilasIniciales;
  sgOtrosRubros->FixedCols = 3;
  sgOtrosRubros->FixedRows = 1;
  sgOtrosRubros->Options = TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing};
  sgOtrosRubros->ColWidths[0] = 120;
  // Disponible y valor caben hasta -999.999.999.999,99.
  sgOtrosRubros->ColWidths[1] = 290;
  sgOtrosRubros->ColWidths[2] = 140;
  sgOtrosRubros->ColWidths[3] = 140;
  // Botones al pie, siempre a la vista.
  auto* pie = Make<TPanel>(this, "Panel1");
  pie->Align = alBottom;
  pie->Height = 44;
  pie->Caption = "";
  btnAddOtroRubro = Make<TButton>(pie, "btnAddOtroRubro");
  btnAddOtroRubro->Caption = "Añadir rubro";
  btnDeleteOtroRubro = Make<TButton>(pie, "btnDeleteOtroRubro");
  btnDeleteOtroRubro->Caption = "Quitar rubro";
  btnAceptar = Make<TBitBtn>(pie, "btnAceptar");
  btnAceptar->Caption = "&Grabar";
  btnAceptar->Default = true;
  btnExplorar = Make<TBitBtn>(pie, "btnExplorar");
  btnExplorar->Caption = "&Explorar";
  btnImprimir = Make<TBitBtn>(pie, "btnImprimir");
  btnImprimir->Caption = "&Imprimir";
  btnCancelar = Make<TBitBtn>(pie, "btnCancelar");
  btnCancelar->Kind = bkCancel;
  btnCancelar->Caption = "&Salir";
  queryGral = Make<TQuery>(this, "queryGral");
  dsCertDisp = Make<TDataSource>(this, "dsCertDisp");
  dsCertDisp->DataSet = DM->tblMvtCertDisp;

  Lugar(Label1, 12, 16, 0);
  Lugar(edIcertDisp, 130, 12, 100);
  Lugar(BitBtn4, 234, 12, 28);
  Lugar(lblAvisoDecimal, 272, 16, 300);
  Lugar(Label2, 12, 48, 0);
  Lugar(edFechaExp, 130, 44, 100);
  Lugar(btnFechaExp, 234, 44, 28);
  Lugar(Label3, 300, 48, 0);
  Lugar(edFechaVenc, 430, 44, 100);
  Lugar(btnFechaVenc, 534, 44, 28);
  Lugar(Label4, 12, 80, 0);
  Lugar(edObjetoGasto, 130, 76, 610);
  Lugar(Label6, 12, 112, 0);
  Lugar(edValor, 130, 108, 130);
  Lugar(Label7, 300, 112, 0);
  Lugar(edFunc, 430, 108, 130);
  Lugar(Label8, 12, 144, 0);
  Lugar(edInv, 130, 140, 130);
  Lugar(Label9, 300, 144, 0);
  Lugar(edVigFisc, 430, 140, 80);
  Lugar(Label12, 12, 178, 0);
  Lugar(Label13, 60, 178, 400);
  Lugar(stgPAC, 12, 198, 736);
  stgPAC->Height = 74;
  Lugar(Label5, 12, 282, 736);
  Lugar(sgOtrosRubros, 12, 302, 736);
  sgOtrosRubros->Height = 150;
  Lugar(btnAddOtroRubro, 12, 8, 110);
  Lugar(btnDeleteOtroRubro, 130, 8, 110);
  Lugar(btnAceptar, 300, 8, 100);
  Lugar(btnExplorar, 408, 8, 100);
  Lugar(btnImprimir, 516, 8, 100);
  Lugar(btnCancelar, 624, 8, 100);
  Label1->FocusControl = edIcertDisp;
  Label4->FocusControl = edObjetoGasto;
  Label6->FocusControl = edValor;
  Label7->FocusControl = edFunc;
  Label8->FocusControl = edInv;
  Label9->FocusControl = edVigFisc;

  edIcertDisp->OnExit = [this](TObject* s) { edIcertDispExit(s); };
  BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
  btnFechaExp->OnClick = [this](TObject* s) { btnFechaExpClick(s); };
  btnFechaVenc->OnClick = [this](TObject* s) { btnFechaExpClick(s); };
  edValor->OnEnter = [this](TObject* s) { edValorEnter(s); };
  edFunc->OnEnter = [this](TObject* s) { edFuncEnter(s); };
  edInv->OnEnter = [this](TObject* s) { edInvEnter(s); };
  edValor->OnExit = [this](TObject* s) { edValorExit(s); };
  edFunc->OnExit = [this](TObject* s) { edValorExit(s); };
  edInv->OnExit = [this](TObject* s) { edValorExit(s); };
  btnAddOtroRubro->OnClick = [this](TObject* s) { btnAddOtroRubroClick(s); };
  btnDeleteOtroRubro->OnClick = [this](TObject* s) { btnDeleteOtroRubroClick(s); };
  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
  btnExplorar->OnClick = [this](TObject* s) { btnExplorarClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

  // Arranque: número siguiente, fechas del periodo recordado y año fiscal.
  countOtrosRubros = 0;
  old.assign(kFilasIniciales, oldDatosGrid{});
  if (DecimalSeparator != '.')
    lblAvisoDecimal->Caption = AnsiString("Debe usar para los decimales: ") + AnsiString(DecimalSeparator);
  // Solo un periodo del año abierto sirve de fecha propuesta.
  if (FechasInf.GFechaInicial != "STR" && ErrorFechaFueraDelAnio("", FechasInf.GFechaInicial).IsEmpty())
    edFechaExp->Text = FechasInf.GFechaInicial;
  initNuevo();
  nuevo = true;
  EncabezadosPAC();
  EncabezadosRubros();
  frmExpCertDisp = explorador = new TfrmExpCertDisp(this);
  edVigFisc->Text = AnsiString(static_cast<int>(anioGlobal));
  EscribirNumero(TextoNumeroDoc(static_cast<std::int64_t>(std::floor(getLastCertDisp())) + 1));
  edFechaVenc->Text = FormatDateTime("dd/MM/yyyy", EncodeDate(anioGlobal, 12, 31));
}

TfrmCertDisp::~TfrmCertDisp() {
  if (frmCertDisp == this) frmCertDisp = nullptr;
}

void TfrmCertDisp::EscribirNumero(const AnsiString& texto) {
  edIcertDisp->Text = texto;
  edIcertDisp->Modified = false;
}

void TfrmCertDisp::EncabezadosPAC() {
  static const char* const meses[] = {"Ene", "Feb", "Mar", "Abr", "May", "Jun",
                                      "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"};
  for (int c = 0; c < 12; ++c) stgPAC->Cells[c][0] = meses[c];
}

void TfrmCertDisp::EncabezadosRubros() {
  static const char* const titulos[] = {"Rubro", "Descripción", "Disponible", "Valor"};
  for (int c = 0; c < 4; ++c) sgOtrosRubros->Cells[c][0] = titulos[c];
}

// Un certificado nuevo o cargado nunca hereda filas de otro.
void TfrmCertDisp::VaciarRubros() {
  sgOtrosRubros->RowCount = kFilasIniciales;
  for (int f = 1; f < kFilasIniciales; ++f)
    for (int c = 0; c < 4; ++c) sgOtrosRubros->Cells[c][f] = "";
  countOtrosRubros = 0;
  old.assign(kFilasIniciales, oldDatosGrid{});
  sgOtrosRubros->Repaint();
}

void TfrmCertDisp::initNuevo() {
  nuevo = true;
  Color = kVerdeNuevo;
  limpiarEdits(this, "edIcertDisp", "");
  edVigFisc->Text = AnsiString(static_cast<int>(anioGlobal));
  VaciarRubros();
}

// ---- Número ------------------------------------------------------------------------------

void TfrmCertDisp::edIcertDispExit(TObject*) {
  if (!edIcertDisp->Modified) return;
  AnsiString texto = AnsiString(edIcertDisp->Text).Trim();
  double n = 0;
  if (texto.IsEmpty() || !TryStrToFloat(texto, n)) {
    initNuevo();
    return;
  }
  // La versión se toma antes que la fila: lo que otro grabe entretanto hace rechazar la grabación.
  long long version = tv::motor::VersionCertificado(static_cast<std::int64_t>(n));
  if (!DM->tblMvtCertDisp->Locate("icd", Variant(n))) {
    initNuevo();
    return;
  }
  CargarCertificado();
  versionTraida_ = version;
}

void TfrmCertDisp::CargarCertificado() {
  TTable* cd = DM->tblMvtCertDisp;
  VaciarRubros();
  Color = clBtnFace;
  Label5->Caption = "El AUMENTO de lo solicitado no puede ser mayor que lo que hay disponible";
  nuevo = false;
  // Un número con fracción (libros viejos) se muestra como está guardado.
  double n = cd->FieldByName("icd")->AsFloat;
  EscribirNumero(std::floor(n) == n ? TextoNumeroDoc(static_cast<std::int64_t>(n)) : FloatToStr(n));
  edFechaExp->Text = FechaCampo(cd->FieldByName("FechaExped"));
  edFechaVenc->Text = FechaCampo(cd->FieldByName("fechaVenc"));
  edObjetoGasto->Text = TextoCampo(cd->FieldByName("objetoGasto"));
  EncabezadosRubros();
  AnsiString propio = TextoCampo(cd->FieldByName("rubroPptal")).Trim();
  AnsiString valor = TextoCampo(cd->FieldByName("valor"));
  AnsiString func = TextoCampo(cd->FieldByName("func"));
  AnsiString inv = TextoCampo(cd->FieldByName("inv"));
  AnsiString vig = TextoCampo(cd->FieldByName("vigFiscal"));

  // Rubros: las filas de certDispRubros; el rubro propio solo cuando no hay filas.
  HagaSQL(kAlias, queryGral,
          "select a.rubroPptal as rubroPptal, b.ncuenta as ncuenta, a.valor as valor from certDispRubros as a "
          "left join plppto as b on b.icuenta=a.rubroPptal and b.tipoCuenta='E' where a.icd=" + NumeroSQL(n));
  int fila = 1;
  auto Poner = [&](const AnsiString& codigo, const AnsiString& nombre, const AnsiString& monto) {
    if (fila >= sgOtrosRubros->RowCount) {
      sgOtrosRubros->RowCount = fila + 1;
      old.resize(fila + 1);
    }
    sgOtrosRubros->Cells[0][fila] = codigo;
    sgOtrosRubros->Cells[1][fila] = nombre;
    sgOtrosRubros->Cells[2][fila] = FloatToStr(getDisponibilidadRubro(codigo, "E", nullptr));
    sgOtrosRubros->Cells[3][fila] = monto;
    old[fila] = oldDatosGrid{codigo, CeldaONula(monto)};
    ++fila;
  };
  if (queryGral->IsEmpty()) {
    if (!propio.IsEmpty()) Poner(propio, getNrubro(propio, "E"), valor);
  } else {
    for (queryGral->First(); !queryGral->Eof; queryGral->Next()) {
      AnsiString codigo = TextoCampo(queryGral->FieldByName("rubroPptal"));
      bool repetido = false;
      for (int f = 1; f < fila; ++f)
        if (AnsiString(sgOtrosRubros->Cells[0][f]) == codigo) repetido = true;
      if (repetido) {
        ShowMessage("Còdigo ya está colocado.");
        countOtrosRubros = fila - 1;
        return;
      }
      Poner(codigo, TextoCampo(queryGral->FieldByName("ncuenta")), TextoCampo(queryGral->FieldByName("valor")));
    }
  }
  // "Añadir rubro" sigue después de los rubros cargados, sin pisarlos.
  countOtrosRubros = fila - 1;
  sgOtrosRubros->Repaint();

  MostrarMonto(edValor, valor);
  MostrarMonto(edFunc, func);
  MostrarMonto(edInv, inv);
  edVigFisc->Text = vig;

  TTable* pac = DM->tblPAC;
  if (pac->Locate("icd", Variant(n))) {
    for (int m = 1; m <= 12; ++m)
      stgPAC->Cells[m - 1][1] = TextoCampo(pac->FieldByName(("m" + std::to_string(m)).c_str()));
    Label13->Caption = "*";
  } else {
    Label13->Caption = "No está definido en este certificado.";
  }
}

void TfrmCertDisp::BitBtn4Click(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsCertDisp, "Número", "Fecha", "icd", "fechaExped", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edIcertDisp->Text;
  dialogo->ShowModal();
  edIcertDisp->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edIcertDisp->Text)) edIcertDisp->Modified = true;
  edIcertDisp->SetFocus();
}

void TfrmCertDisp::btnFechaExpClick(TObject* Sender) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->year = anioGlobal;
  calendario->month = mesGlobal;
  calendario->ShowModal();
  auto* boton = dynamic_cast<TComponent*>(Sender);
  calendario->GetDateAsString(boton && boton->Name == "btnFechaExp" ? edFechaExp : edFechaVenc);
  mesGlobal = calendario->month;
}

// ---- Montos ------------------------------------------------------------------------------

void TfrmCertDisp::edValorEnter(TObject*) { edValor->EditMask = ""; }
void TfrmCertDisp::edFuncEnter(TObject*) { edFunc->EditMask = ""; }
void TfrmCertDisp::edInvEnter(TObject*) { edInv->EditMask = ""; }

void TfrmCertDisp::edValorExit(TObject* Sender) {
  // La máscara de miles solo lleva enteros: un monto con centavos queda sin máscara para no
  // perderlos.
  if (auto* e = dynamic_cast<TMaskEdit*>(Sender)) EnmascararMonto(e);
  if (AnsiString(edFunc->Text).Trim().IsEmpty()) MostrarMonto(edFunc, edValor->Text);
}

// ---- Rubros ------------------------------------------------------------------------------

void TfrmCertDisp::btnAddOtroRubroClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "Cuenta", "iCuenta", "nCuenta", true,
                                   "tipoCuenta='E'");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
  AnsiString codigo = dialogo->GetContenido1();
  for (int f = 1; f < sgOtrosRubros->RowCount; ++f) {
    if (AnsiString(sgOtrosRubros->Cells[0][f]) == codigo) {
      ShowMessage("Còdigo ya está colocado.");
      return;
    }
  }
  AnsiString nombre = dialogo->GetContenido2();
  double disponible = getDisponibilidadRubro(codigo, "E", nullptr);
  ++countOtrosRubros;
  if (sgOtrosRubros->RowCount <= countOtrosRubros) sgOtrosRubros->RowCount = countOtrosRubros + 1;
  if (static_cast<int>(old.size()) < sgOtrosRubros->RowCount) old.resize(sgOtrosRubros->RowCount);
  sgOtrosRubros->Cells[0][countOtrosRubros] = codigo;
  sgOtrosRubros->Cells[1][countOtrosRubros] = nombre;
  sgOtrosRubros->Cells[2][countOtrosRubros] = FloatToStr(disponible);
  sgOtrosRubros->Cells[3][countOtrosRubros] = "";
  old[countOtrosRubros] = oldDatosGrid{codigo, 0};
  sgOtrosRubros->Repaint();
}

void TfrmCertDisp::btnDeleteOtroRubroClick(TObject*) {
  int fila = sgOtrosRubros->Row;
  int ultima = sgOtrosRubros->RowCount - 1;
  if (fila < 1 || fila > ultima) return;
  for (int f = fila; f < ultima; ++f) {
    for (int c = 0; c < 4; ++c) sgOtrosRubros->Cells[c][f] = AnsiString(sgOtrosRubros->Cells[c][f + 1]);
    old[f] = old[f + 1];
  }
  for (int c = 0; c < 4; ++c) sgOtrosRubros->Cells[c][ultima] = "";
  old[ultima] = oldDatosGrid{};
  sgOtrosRubros->Repaint();
}

// Lo que el certificado pide en cada rubro de la rejilla (las filas con valor).
std::vector<MontoRubro> TfrmCertDisp::MontosRubros() {
  std::vector<MontoRubro> montos;
  for (int f = 1; f < sgOtrosRubros->RowCount; ++f) {
    AnsiString celda = AnsiString(sgOtrosRubros->Cells[3][f]).Trim();
    if (!celda.IsEmpty()) montos.push_back(MontoRubro{sgOtrosRubros->Cells[0][f], StrToAmount(celda)});
  }
  return montos;
}

// El disponible de cada rubro vuelve a leerse de lo guardado: lo que se ve es lo que se revisa.
void TfrmCertDisp::LeerDisponibles() {
  for (int f = 1; f < sgOtrosRubros->RowCount; ++f) {
    AnsiString codigo = AnsiString(sgOtrosRubros->Cells[0][f]).Trim();
    if (!codigo.IsEmpty()) sgOtrosRubros->Cells[2][f] = FloatToStr(getDisponibilidadRubro(codigo, "E", nullptr));
  }
  sgOtrosRubros->Repaint();
}

double TfrmCertDisp::getValorOtrosRubros() {
  double suma = 0;
  for (int f = 1; f < sgOtrosRubros->RowCount; ++f) {
    AnsiString celda = AnsiString(sgOtrosRubros->Cells[3][f]).Trim();
    double v = 0;
    if (!celda.IsEmpty() && TryStrToAmount(celda, v)) suma += v;
  }
  return suma;
}

// ---- Validación --------------------------------------------------------------------------

bool TfrmCertDisp::validar() {
  AnsiString msg;
  // Una fecha fuera del año abierto no pasa a ser el periodo recordado de los informes.
  AnsiString fueraDelAnio = ErrorFechaFueraDelAnio("La fecha de expedición", edFechaExp->Text);
  if (fueraDelAnio.IsEmpty()) validarFechas(edFechaExp->Text, edFechaVenc->Text);
  msg += fueraDelAnio;
  std::int64_t n = 0;
  double montoValor = 0;
  msg += ErrorNumeroDoc("El número del certificado de disponibilidad", edIcertDisp->Text, n);
  AnsiString valor = AnsiString(edValor->Text).Trim();
  AnsiString errorValor = ErrorMayorQueCero("El valor", valor, montoValor);
  if (valor.IsEmpty()) {
    msg += "Digite el valor.\n";
  } else if (!errorValor.IsEmpty()) {
    msg += errorValor;
  } else {
    // El disponible de cada rubro se revisa al grabar, dentro de la transacción.
    try {
      if (Centavos(getValorOtrosRubros()) != Centavos(StrToAmount(valor)))
        msg += "El valor del CDP no coincide con la suma de separado para cada rubro.\n";
    } catch (Exception& e) {
      msg += e.Message;
    }
  }
  // Un valor sin rubro no tiene disponible que medir: se pide el rubro, fila por fila.
  for (int f = 1; f < sgOtrosRubros->RowCount; ++f)
    if (AnsiString(sgOtrosRubros->Cells[0][f]).Trim().IsEmpty() && !AnsiString(sgOtrosRubros->Cells[3][f]).Trim().IsEmpty())
      msg += "La fila " + AnsiString(f) + " tiene valor y no tiene rubro.\n";
  if (AnsiString(edIcertDisp->Text).Trim().IsEmpty()) msg += "Digite el número del certificado de disponibilidad.\n";
  if (AnsiString(edFechaExp->EditText) == kFechaVacia) msg += "Digite la fecha de expedición.\n";
  if (AnsiString(edFechaVenc->EditText) == kFechaVacia) msg += "Digite la fecha de vencimiento.\n";
  if (AnsiString(edObjetoGasto->Text).IsEmpty()) msg += "Digite el objeto del gasto.\n";
  AnsiString func = AnsiString(edFunc->Text).Trim(), inv = AnsiString(edInv->Text).Trim();
  if (func.IsEmpty() && inv.IsEmpty())
    msg += "Digite el valor correspondiente al gasto de funcionamiento o de inversión.\n";
  // Lo que falte de funcionamiento o inversión vale 0: la suma se revisa igual.
  double montoFunc = 0, montoInv = 0;
  if (errorValor.IsEmpty() && !valor.IsEmpty() && !(func.IsEmpty() && inv.IsEmpty()) &&
      (func.IsEmpty() || TryStrToAmount(func, montoFunc)) && (inv.IsEmpty() || TryStrToAmount(inv, montoInv)) &&
      Centavos(montoFunc + montoInv) != Centavos(montoValor))
    msg += "La suma de inversión mas funcionamiento es diferente del valor solicitado.\n";
  if (func.IsEmpty()) MostrarMonto(edFunc, "0");
  if (inv.IsEmpty()) MostrarMonto(edInv, "0");
  if (AnsiString(edVigFisc->Text).IsEmpty()) msg += "Digite el valor correspondiente a la vigencia fiscal.\n";
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK);
  return false;
}

// ---- Grabar ------------------------------------------------------------------------------

// Lo escrito en el formulario, como lo graba el motor.
static std::int64_t CentavosCelda(const AnsiString& texto) {
  AnsiString t = AnsiString(texto).Trim();
  return t.IsEmpty() ? 0 : tv::motor::CentavosDe(StrToAmount(t));
}

static tv::motor::Certificado CertificadoDe(TfrmCertDisp* f, std::int64_t numero) {
  tv::motor::Certificado c;
  c.icd = numero;
  c.fechaExped = tv::db::DateTimeToIsoText(StrToDate(f->edFechaExp->Text), false);
  c.fechaVenc = tv::db::DateTimeToIsoText(StrToDate(f->edFechaVenc->Text), false);
  c.objetoGasto = AnsiString(f->edObjetoGasto->Text).str();
  c.valor = CentavosCelda(f->edValor->Text);
  c.func = CentavosCelda(f->edFunc->Text);
  c.inv = CentavosCelda(f->edInv->Text);
  c.vigFiscal = AnsiString(f->edVigFisc->Text).str();
  for (int fila = 1; fila < f->sgOtrosRubros->RowCount; ++fila) {
    AnsiString celda = AnsiString(f->sgOtrosRubros->Cells[3][fila]).Trim();
    if (!celda.IsEmpty())
      c.rubros.push_back({AnsiString(f->sgOtrosRubros->Cells[0][fila]).str(), CentavosCelda(celda)});
  }
  for (int m = 0; m < 12; ++m) c.pac[m] = CentavosCelda(f->stgPAC->Cells[m][1]);
  return c;
}

void TfrmCertDisp::btnAceptarClick(TObject*) {
  // Con Enter el botón por omisión actúa sin que el número pierda el foco: el número de un
  // certificado guardado se carga, como al salir del campo, en lugar de grabar encima.
  if (ActiveControl == edIcertDisp && edIcertDisp->Modified) {
    std::int64_t n = 0;
    if (ErrorNumeroDoc("", edIcertDisp->Text, n).IsEmpty() && n > 0 &&
        DM->tblMvtCertDisp->Locate("icd", Variant(static_cast<double>(n)))) {
      edIcertDispExit(edIcertDisp);
      return;
    }
  }
  if (!validar()) return;
  ErrorNumeroDoc("", edIcertDisp->Text, numero_);
  TTable* cd = DM->tblMvtCertDisp;
  if (nuevo && cd->Locate("icd", Variant(static_cast<double>(numero_)))) {
    AnsiString siguiente = TextoNumeroDoc(SiguienteNumeroDoc(kNumCertificado));
    Application->MessageBox(MensajeNumeroExistente(kNumCertificado, numero_, siguiente), "Error", MB_OK);
    EscribirNumero(siguiente);
    return;
  }
  tv::motor::CertificadoTraido traido;
  traido.nuevo = nuevo;
  traido.version = versionTraida_;
  tv::motor::Resultado res;
  try {
    res = tv::motor::GrabarCertificado(CertificadoDe(this, numero_), traido);
  } catch (Exception& e) {
    for (TTable* t : {cd, DM->tblPAC}) t->Refresh();
    Application->MessageBox("Error grabando... el certificado de disponibilidad no se grabó. " + e.Message, "Error",
                            MB_OK);
    return;
  }
  if (!res.Grabado()) {
    for (TTable* t : {cd, DM->tblPAC}) t->Refresh();
    if (res.Tiene("numero")) {
      AnsiString siguiente = res.siguiente ? TextoNumeroDoc(res.siguiente)
                                           : TextoNumeroDoc(SiguienteNumeroDoc(kNumCertificado));
      EscribirNumero(siguiente);
      Application->MessageBox(res.Texto().c_str(), "Error", MB_OK);
    } else if (res.Tiene("version") || res.Tiene("limite")) {
      ShowMessage(res.Texto().c_str());
    } else {
      LeerDisponibles();
      Application->MessageBox(res.Texto().c_str(), "Error", MB_OK);
    }
    return;
  }
  if (!nuevo) versionTraida_ = res.version;
  cd->Refresh();
  DM->tblPAC->Refresh();
  LeerDisponibles();
  if (nuevo) {
    EscribirNumero(TextoNumeroDoc(numero_ + 1));
  } else {
    // Lo grabado pasa a ser lo que el certificado ya tiene separado.
    for (int f = 1; f < sgOtrosRubros->RowCount && f < static_cast<int>(old.size()); ++f)
      old[f] = oldDatosGrid{sgOtrosRubros->Cells[0][f], CeldaONula(sgOtrosRubros->Cells[3][f])};
  }
  Application->MessageBox("Certificado de disponibilidad grabado.", "Tallivar", MB_OK);
  AvisarSiAnioCerrado(StrToDate(edFechaExp->Text));
  objetoGasto = edObjetoGasto->Text;
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edObjetoGasto, edValor, edFunc, edInv}) e->Text = "";
  for (int c = 0; c < 12; ++c) stgPAC->Cells[c][1] = "";
  stgPAC->Repaint();
}

// ---- Explorar, imprimir, cerrar ----------------------------------------------------------

void TfrmCertDisp::btnExplorarClick(TObject*) {
  frmExpCertDisp = explorador;
  explorador->Show();
}

// Se imprime el certificado del número escrito, con su propio PAC (o el plan en blanco).
void TfrmCertDisp::btnImprimirClick(TObject*) {
  AnsiString texto = AnsiString(edIcertDisp->Text).Trim();
  double n = 0;
  if (!TryStrToFloat(texto, n) || !DM->tblMvtCertDisp->Locate("icd", Variant(n))) {
    ShowMessage("El certificado de disponibilidad " + texto + " no está grabado.");
    return;
  }
  HagaSQL(kAlias, queryGral, "select * from pac where icd=" + NumeroSQL(n));
  frmRptCertDisp = new TfrmRptCertDisp(this);
  std::unique_ptr<TfrmRptCertDisp> impreso(frmRptCertDisp);
  impreso->DataSource2->DataSet = queryGral;
  impreso->QuickReport1->Preview();
  frmRptCertDisp = nullptr;
}

// El explorador se va con el formulario (es su dueño); al cerrar solo se oculta.
void TfrmCertDisp::FormClose(TObject*, TCloseAction&) {
  if (explorador) explorador->Hide();
}
