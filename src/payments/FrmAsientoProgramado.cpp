#include "payments/FrmAsientoProgramado.h"

#include <cmath>
#include <memory>
#include <set>

#include "app/CfgOV.h"
#include "app/DataModule.h"
#include "app/FrmClaveAdmin.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/FrmNuevoTercero.h"
#include "ledger/FrmVerImprimir.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/FrmRptAsientoProgramado.h"
#include "payments/RteFte.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmAsientoProgramado* FrmAsientoProgramado = nullptr;

namespace {

const char* const kAlias = "Contabilidad";

template <class T>
T* Control(TForm* f, const char* nombre, int x, int y, int w, int h) {
  T* c = Make<T>(f, nombre);
  c->SetBounds(x, y, w, h);
  return c;
}

TLabel* Rotulo(TForm* f, const char* nombre, const char* texto, int x, int y, int w) {
  TLabel* l = Control<TLabel>(f, nombre, x, y, w, 16);
  l->Caption = texto;
  return l;
}

// La clave del administrador; en el programa el diálogo ya existe, si no se crea uno.
bool ClaveAdministrador(TComponent* owner) {
  if (frmClaveAdmin) return frmClaveAdmin->ShowModal() == mrOk;
  std::unique_ptr<TfrmClaveAdmin> f(new TfrmClaveAdmin(owner));
  frmClaveAdmin = f.get();
  bool ok = f->ShowModal() == mrOk;
  frmClaveAdmin = nullptr;
  return ok;
}

// Sumas que ve el usuario: dos decimales con sus separadores.
AnsiString Sumas(double v) { return Punto(v, 2); }

}  // namespace

TFrmAsientoProgramado::TFrmAsientoProgramado(TComponent* Owner) : TForm(Owner) {
  Name = "FrmAsientoProgramado";
  Caption = "Tallivar - asientos programados";
  Position = poScreenCenter;
  ClientWidth = 800;
  ClientHeight = 504;

  Label1 = Rotulo(this, "Label1", "Asiento programado:", 8, 12, 130);
  cbAsientosProg = Control<TComboBox>(this, "cbAsientosProg", 140, 8, 300, 24);
  cbAsientosProg->Style = csDropDownList;
  BitBtn2 = Control<TBitBtn>(this, "BitBtn2", 444, 8, 28, 24);
  Label2 = Rotulo(this, "Label2", "Tipo:", 484, 12, 36);
  Label6 = Rotulo(this, "Label6", "", 522, 12, 40);
  Label6->Font->Style = TFontStyles{fsBold};
  Label3 = Rotulo(this, "Label3", "Número:", 570, 12, 56);
  edNumeDocu = Control<TEdit>(this, "edNumeDocu", 628, 8, 100, 24);
  edNumeDocu->Enabled = false;
  BitBtn3 = Control<TBitBtn>(this, "BitBtn3", 732, 8, 28, 24);

  Label4 = Rotulo(this, "Label4", "Fecha:", 8, 40, 60);
  edFecha = Control<TMaskEdit>(this, "edFecha", 140, 36, 100, 24);
  edFecha->EditMask = "!99/99/0000;1; ";
  BtnFecha = Control<TBitBtn>(this, "BtnFecha", 244, 36, 28, 24);
  btnCamCons = Control<TButton>(this, "btnCamCons", 600, 36, 160, 24);
  btnCamCons->Caption = "Cambiar consecutivo";

  LblTercero = Rotulo(this, "LblTercero", "Tercero:", 8, 68, 60);
  edItercero = Control<TEdit>(this, "edItercero", 140, 64, 130, 24);
  BitBtn1 = Control<TBitBtn>(this, "BitBtn1", 274, 64, 28, 24);
  LblNTercero = Rotulo(this, "LblNTercero", "", 308, 68, 290);
  btnNuevoTercero = Control<TButton>(this, "btnNuevoTercero", 600, 64, 160, 24);
  btnNuevoTercero->Caption = "Nuevo Tercero";

  Label5 = Rotulo(this, "Label5", "Detalle:", 8, 96, 60);
  edDetalle = Control<TEdit>(this, "edDetalle", 140, 92, 620, 24);
  edDetalle->MaxLength = 254;

  Label7 = Rotulo(this, "Label7", "Centro de costo:", 8, 124, 120);
  edCentCost = Control<TEdit>(this, "edCentCost", 140, 120, 100, 24);
  BitBtn4 = Control<TBitBtn>(this, "BitBtn4", 244, 120, 28, 24);
  Label11 = Rotulo(this, "Label11", "", 278, 124, 250);
  Label8 = Rotulo(this, "Label8", "Cheque:", 540, 124, 56);
  edCheque = Control<TEdit>(this, "edCheque", 600, 120, 160, 24);

  Label10 = Rotulo(this, "Label10", "Órdenes de pago si es comprobante de Pago (CP)", 8, 152, 330);
  edOP1 = Control<TEdit>(this, "edOP1", 340, 148, 70, 24);
  edOP2 = Control<TEdit>(this, "edOP2", 414, 148, 70, 24);
  edOP3 = Control<TEdit>(this, "edOP3", 488, 148, 70, 24);
  edOP4 = Control<TEdit>(this, "edOP4", 562, 148, 70, 24);
  edOP5 = Control<TEdit>(this, "edOP5", 636, 148, 70, 24);
  BitBtn5 = Control<TBitBtn>(this, "BitBtn5", 710, 148, 28, 24);
  Label12 = Rotulo(this, "Label12", "Valor de las OP que se van a pagar (sin incluir los descuentos):", 8, 176, 400);
  lblSumaOP = Rotulo(this, "lblSumaOP", "", 420, 176, 372);
  lblSumaOP->Font->Color = clBlue;
  for (TBitBtn* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BtnFecha}) {
    b->Caption = "...";
    b->Hint = "Especificar datos de búsqueda";
    b->ShowHint = true;
  }
  BtnFecha->Hint = "";

  SGAsiento = Control<TStringGrid>(this, "SGAsiento", 8, 196, 640, 166);
  SGAsiento->FixedCols = 3;
  SGAsiento->ColCount = 4;
  SGAsiento->RowCount = 2;
  SGAsiento->Options << goEditing;
  const int anchos[] = {88, 347, 33, 81, 80};
  for (int i = 0; i < 5; ++i) SGAsiento->ColWidths[i] = anchos[i];
  SGAsiento->Visible = false;
  btnAddCuenta = Control<TButton>(this, "btnAddCuenta", 656, 196, 136, 26);
  btnAddCuenta->Caption = "Agregar cuenta";
  btnRteFte = Control<TButton>(this, "btnRteFte", 656, 226, 136, 26);
  btnRteFte->Caption = "Calcular RteFte";
  btnConfRteFte = Control<TButton>(this, "btnConfRteFte", 656, 256, 136, 26);
  btnConfRteFte->Caption = "Configurar RteFte";

  Label9 = Control<TLabel>(this, "Label9", 8, 366, 640, 32);
  Label9->WordWrap = true;
  Label9->Font->Color = clBlue;
  lblTotal = Rotulo(this, "lblTotal", "Total:", 8, 398, 200);
  lblSumaDebito = Rotulo(this, "lblSumaDebito", "Suma Débito:", 220, 398, 200);
  lblSumaCredito = Rotulo(this, "lblSumaCredito", "Suma Crédito", 432, 398, 216);
  for (TLabel* l : {lblTotal, lblSumaDebito, lblSumaCredito}) l->Font->Style = TFontStyles{fsBold};

  RadioGroup1 = Control<TRadioGroup>(this, "RadioGroup1", 8, 420, 200, 76);
  RadioGroup1->Caption = "Formato de impresión";
  RadioGroup1->Items->Add("Tradicional");
  RadioGroup1->Items->Add("A doble cuadro");
  RadioGroup1->Items->Add("Tipo registradora");
  RadioGroup1->ItemIndex = 0;
  Image1 = Control<TImage>(this, "Image1", 216, 420, 120, 76);
  Image1->Stretch = true;

  BtnGrabar = Control<TBitBtn>(this, "BtnGrabar", 350, 422, 130, 28);
  BtnGrabar->Caption = "Grabar";
  btnImprimir = Control<TBitBtn>(this, "btnImprimir", 490, 422, 130, 28);
  btnImprimir->Caption = "&Imprimir";
  btnImprimir->Enabled = false;
  bntConfigImp = Control<TButton>(this, "bntConfigImp", 630, 422, 160, 28);
  bntConfigImp->Caption = "Config. Impresora";
  btnSiguiente = Control<TBitBtn>(this, "btnSiguiente", 350, 458, 130, 28);
  btnSiguiente->Caption = "Siguiente";
  BtnBorrar = Control<TBitBtn>(this, "BtnBorrar", 490, 458, 170, 28);
  BtnBorrar->Caption = "Borrar del movimiento";
  BtnSalir = Control<TBitBtn>(this, "BtnSalir", 670, 458, 120, 28);
  BtnSalir->Caption = "&Salir";
  BtnSalir->Cancel = true;

  queryGral = Make<TQuery>(this, "queryGral");
  Query1 = Make<TQuery>(this, "Query1");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  dsOrdenPago = Make<TDataSource>(this, "dsOrdenPago");
  dsOrdenPago->DataSet = DM->tblMvtOrdenPago;

  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  cbAsientosProg->OnChange = [this](TObject* s) { cbAsientosProgChange(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  btnCamCons->OnClick = [this](TObject* s) { btnCamConsClick(s); };
  edNumeDocu->OnExit = [this](TObject* s) { edNumeDocuExit(s); };
  BtnFecha->OnClick = [this](TObject* s) { BtnFechaClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  edItercero->OnExit = [this](TObject* s) { edIterceroExit(s); };
  btnNuevoTercero->OnClick = [this](TObject* s) { btnNuevoTerceroClick(s); };
  BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
  for (int i = 1; i <= 5; ++i) Op(i)->OnChange = [this](TObject* s) { edOPChange(s); };
  BitBtn5->OnClick = [this](TObject* s) { BitBtn5Click(s); };
  SGAsiento->OnSetEditText = [this](TObject* s, int c, int r, const AnsiString& v) {
    SGAsientoSetEditText(s, c, r, v);
  };
  SGAsiento->OnSelectCell = [this](TObject* s, int c, int r, bool& ok) { SGAsientoSelectCell(s, c, r, ok); };
  SGAsiento->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState) {
    if (c == 3 && r > 0) DibujarCeldaMonto(SGAsiento, c, r, rect);
  };
  btnAddCuenta->OnClick = [this](TObject* s) { btnAddCuentaClick(s); };
  btnRteFte->OnClick = [this](TObject* s) { btnRteFteClick(s); };
  btnConfRteFte->OnClick = [this](TObject* s) { btnConfRteFteClick(s); };
  RadioGroup1->OnClick = [this](TObject* s) { RadioGroup1Click(s); };
  bntConfigImp->OnClick = [this](TObject* s) { bntConfigImpClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnSiguiente->OnClick = [this](TObject* s) { btnSiguienteClick(s); };
  BtnGrabar->OnClick = [this](TObject* s) { BtnGrabarClick(s); };
  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  BtnSalir->OnClick = [this](TObject*) { Close(); };

  archivoIni = ArchivoIniSesion();
  if (FileExists(archivoIni)) {
    TIniFile ini(archivoIni);
    AnsiString logo = ini.ReadString("ACTION", "rutaLogo", "");
    RadioGroup1->ItemIndex = ini.ReadInteger("ACTION", "impCompPref", 0);
    try {
      if (!logo.IsEmpty()) Image1->Picture->LoadFromFile(logo);
    } catch (...) {
      // Un logo que no carga deja el cuadro como estaba.
    }
    exigirOpAsociada = ini.ReadBool("ALGORITMO", "exigirOpAsociada", true);
    confirmarGrabar = false;
  } else {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  }
}

TFrmAsientoProgramado::~TFrmAsientoProgramado() {
  if (FrmAsientoProgramado == this) FrmAsientoProgramado = nullptr;
}

TEdit* TFrmAsientoProgramado::Op(int i) const {
  TEdit* const ops[] = {edOP1, edOP2, edOP3, edOP4, edOP5};
  return ops[i - 1];
}

bool TFrmAsientoProgramado::OrdenesValidas() const {
  for (int i = 1; i <= 5; ++i) {
    AnsiString t = Op(i)->Text.get().Trim();
    std::int64_t n = 0;
    if (!t.IsEmpty() && !tv::motor::NumeroDocumento(t.str(), n)) return false;
  }
  return true;
}

void TFrmAsientoProgramado::FormActivate(TObject*) {
  if (activado_) return;
  activado_ = true;
  TTable* cfg = DM->tblAsientosProgCfg;
  if (filtered) {
    cfg->Filter = "descdocu='CP' or descdocu='CE'";
    cfg->Filtered = true;
  }
  cbAsientosProg->Clear();
  FillCBFromTbl(cbAsientosProg, cfg, "iAstoProg", "nAstoProg");
  cbAsientosProgChange(nullptr);
  if (cbAsientosProg->Items->Count() > 0) {
    cbAsientosProg->ItemIndex = 0;
    cbAsientosProgChange(nullptr);
  }
}

void TFrmAsientoProgramado::FormClose(TObject*, TCloseAction&) {
  GuardarAjustes(archivoIni, [this](TIniFile& ini) { ini.WriteInteger("ACTION", "impCompPref", RadioGroup1->ItemIndex); });
  DM->tblAsientosProgCfg->Filter = "";
  DM->tblAsientosProgCfg->Filtered = false;
}

void TFrmAsientoProgramado::cbAsientosProgChange(TObject*) {
  AnsiString texto = cbAsientosProg->Text;
  if (texto.IsEmpty() || texto == ":") return;
  AnsiString numero = ExtractString(texto, ':', true);
  int n = 0;
  if (TryStrToInt(numero.Trim(), n))
    iAstoProg = n;
  else
    ShowMessage("Un asiento programado en ASIENTOSPROGCFG.DB no está configurado con el número que lo identifica.");

  TTable* cfg = DM->tblAsientosProgCfg;
  if (!cfg->Locate("iAstoProg", Variant(iAstoProg), TLocateOptions{})) {
    ShowMessage("Asiento programado " + IntToStr(iAstoProg) + " no existe");
    return;
  }
  descDocu = cfg->FieldByName("descDocu")->AsString;
  Label6->Caption = descDocu;

  HagaSQL(kAlias, queryGral,
          "select numedocu from mvtMaestro where descDocu=" + TextoSQL(descDocu) + " order by numedocu");
  edNumeDocu->Text = IntToStr(getConsecutivoFromStrings(queryGral, "numedocu"));
  SGAsiento->Visible = true;

  HagaSQL(kAlias, queryGral,
          "select requiereTercero, nAstoProg from asientosProgCfg where iAstoProg=" + NumeroSQL(iAstoProg));
  bool requiere = queryGral->FieldByName("requiereTercero")->AsString == "S";
  LblTercero->Visible = requiere;
  edItercero->Visible = requiere;
  BitBtn1->Visible = requiere;
  nAstoProg = queryGral->FieldByName("nAstoProg")->AsString;
  fillPlantillaAsiento();
  edDetalle->Text = objetoGasto;
}

void TFrmAsientoProgramado::fillPlantillaAsiento() {
  SGAsiento->RowCount = 2;
  for (int c = 0; c < SGAsiento->ColCount; ++c) SGAsiento->Cells[c][1] = "";
  if (SGAsiento->ColCount > 4) SGAsiento->Cells[4][0] = "";
  SGAsiento->Cells[0][0] = "Cód. Cuenta";
  SGAsiento->Cells[1][0] = "Cuenta";
  SGAsiento->Cells[2][0] = "D/C";
  SGAsiento->Cells[3][0] = "valor";
  // Consulta propia: queryGral guarda el comprobante llamado de vuelta.
  auto lineas = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, lineas.get(), "select * from asientosProg where iAstoProg=" + NumeroSQL(iAstoProg));
  bool conRubro = false;
  int j = 1;
  for (lineas->First(); !lineas->Eof; lineas->Next(), ++j) {
    if (j >= SGAsiento->RowCount) SGAsiento->RowCount = j + 1;
    AnsiString cuenta = lineas->FieldByName("NumeCuen")->AsString;
    AnsiString rubro = lineas->FieldByName("rubro")->AsString;
    if (!rubro.IsEmpty() && !conRubro) {
      conRubro = true;
      SGAsiento->ColCount = 5;
    }
    SGAsiento->Cells[0][j] = cuenta;
    SGAsiento->Cells[1][j] = getNcuenta(cuenta);
    SGAsiento->Cells[2][j] = lineas->FieldByName("naturaleza")->AsString;
    SGAsiento->Cells[3][j] = "";
    if (SGAsiento->ColCount > 4) SGAsiento->Cells[4][j] = rubro;
  }
  SGAsiento->ColCount = conRubro ? 5 : 4;
  if (conRubro) SGAsiento->Cells[4][0] = "Rubro";
}

AnsiString TFrmAsientoProgramado::getNcuenta(const AnsiString& aCodigo) { return ::getNcuenta(aCodigo); }

double TFrmAsientoProgramado::getSumaOPs() {
  // Solo números enteros llegan al texto SQL; lo demás no cuenta (Validar lo rechaza).
  AnsiString lista;
  for (int i = 1; i <= 5; ++i) {
    std::int64_t n = 0;
    if (!tv::motor::NumeroDocumento(Op(i)->Text.get().Trim().str(), n)) continue;
    lista += (lista.IsEmpty() ? "" : ", ") + AnsiString(std::to_string(n));
  }
  if (lista.IsEmpty()) return 0;
  auto q = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, q.get(), "select sum(valor) as sumaOP from mvtOrdenPago where iop in (" + lista + ")");
  return q->FieldByName("sumaOP")->IsNull ? 0 : q->FieldByName("sumaOP")->AsFloat;
}

void TFrmAsientoProgramado::edOPChange(TObject*) {
  lblSumaOP->Caption = AnsiString(Punto(getSumaOPs(), 2)) + " menos los descuentos debe ser el valor del pago";
}

void TFrmAsientoProgramado::SGAsientoSetEditText(TObject*, int, int, const AnsiString&) {
  double debitos = 0, creditos = 0;
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    AnsiString v = SGAsiento->Cells[3][r];
    if (v.IsEmpty()) continue;
    double monto = StrToAmount(v);
    if (SGAsiento->Cells[2][r] == "C")
      creditos += monto;
    else
      debitos += monto;
  }
  valor = RoundToCents(debitos);
  lblTotal->Caption = Sumas(debitos);
  lblSumaDebito->Caption = "Suma Débito: " + Sumas(debitos);
  lblSumaCredito->Caption = "Suma Crédito " + Sumas(creditos);
}

void TFrmAsientoProgramado::SGAsientoSelectCell(TObject*, int, int ARow, bool&) {
  if (ARow <= 0 || ARow >= SGAsiento->RowCount) return;
  AnsiString c = SGAsiento->Cells[0][ARow];
  auto q = std::make_unique<TQuery>(nullptr);
  auto nombre = [&q](const AnsiString& codigo) {
    HagaSQL(kAlias, q.get(), "select NombCuen from pl where NumeCuen=" + TextoSQL(codigo));
    return q->IsEmpty() ? AnsiString() : q->FieldByName("NombCuen")->AsString;
  };
  AnsiString ruta = nombre(c.SubString(1, 2)) + " - " + nombre(c.SubString(1, 4));
  if (c.Length() > 6) {
    AnsiString seis = nombre(c.SubString(1, 6));
    if (!q->IsEmpty()) ruta += " - " + seis;
  }
  Label9->Caption = ruta;
}

void TFrmAsientoProgramado::BitBtn1Click(TObject*) {
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, DM->DSTerceros, "Cedula", "Nombre", "CedulaNit", "Nombre", true, ""));
  FrmBuscTabla = busca.get();
  busca->ShowModal();
  edItercero->Text = busca->GetContenido1();
  LblNTercero->Caption = busca->GetContenido2();
  if (!DM->TblTerceros->IsEmpty()) {
    grado = DM->TblTerceros->FieldByName("grado")->AsString;
    grupo = DM->TblTerceros->FieldByName("grupo")->AsString;
  }
}

void TFrmAsientoProgramado::BitBtn2Click(TObject*) {
  std::unique_ptr<TDataSource> ds(new TDataSource(nullptr));
  ds->DataSet = DM->tblAsientosProgCfg;
  std::unique_ptr<TFrmBuscTabla> busca(new TFrmBuscTabla(this, ds.get(), "Documento",
                                                         "Descripción", "descDocu", "nAstoProg", true, ""));
  FrmBuscTabla = busca.get();
  if (busca->ShowModal() != mrOk) return;
  TTable* cfg = DM->tblAsientosProgCfg;
  AnsiString item = cfg->FieldByName("iAstoProg")->AsString + ":" + cfg->FieldByName("nAstoProg")->AsString;
  int i = cbAsientosProg->Items->IndexOf(item);
  if (i < 0) return;
  cbAsientosProg->ItemIndex = i;
  cbAsientosProgChange(nullptr);
}

void TFrmAsientoProgramado::edIterceroExit(TObject*) {
  TTable* t = DM->TblTerceros;
  if (!t->Locate("cedulaNIT", Variant(edItercero->Text.get()), TLocateOptions{})) return;
  LblNTercero->Caption = t->FieldByName("nombre")->AsString;
  grado = t->FieldByName("grado")->AsString;
  grupo = t->FieldByName("grupo")->AsString;
}

void TFrmAsientoProgramado::btnNuevoTerceroClick(TObject*) {
  FrmNuevoTercero = new TFrmNuevoTercero(this);
  std::unique_ptr<TFrmNuevoTercero> f(FrmNuevoTercero);
  f->EdCedula->Text = edItercero->Text.get();
  f->ShowModal();
}

void TFrmAsientoProgramado::BtnFechaClick(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->year = anioGlobal;
  calendario->month = mesGlobal;
  calendario->ShowModal();
  calendario->GetDateAsString(edFecha);
  mesGlobal = calendario->month;
}

void TFrmAsientoProgramado::BitBtn4Click(TObject*) {
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, DM->DSCCostos, "código", "Centro costo", "CodiCent", "nombCent", true, ""));
  FrmBuscTabla = busca.get();
  busca->ShowModal();
  edCentCost->Text = busca->GetContenido1();
  Label11->Caption = busca->GetContenido2();
}

void TFrmAsientoProgramado::BitBtn5Click(TObject*) {
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, dsOrdenPago, "Orden de pago", "Fecha Expedición", "iop", "fechaExped", true, ""));
  FrmBuscTabla = busca.get();
  if (busca->ShowModal() != mrOk) return;
  for (int i = 1; i <= 5; ++i) {
    if (Op(i)->Text.get().IsEmpty()) {
      Op(i)->Text = busca->GetContenido1();
      edOPChange(nullptr);
      return;
    }
  }
}

void TFrmAsientoProgramado::btnAddCuentaClick(TObject*) {
  AnsiString cuenta, nombre;
  {
    std::unique_ptr<TFrmBuscTabla> busca(
        new TFrmBuscTabla(this, DM->DSPlan, "Código", "Cuenta", "numeCuen", "nombCuen", false, ""));
    FrmBuscTabla = busca.get();
    if (busca->ShowModal() != mrOk) return;
    cuenta = busca->GetContenido1();
    nombre = busca->GetContenido2();
  }
  AnsiString naturaleza = InputBox("Información", "Escriba la naturaleza de la cuenta: D o C", "");
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    if (SGAsiento->Cells[0][r] == cuenta) {
      ShowMessage("Cuenta ya existe en el asiento programado.");
      return;
    }
  }
  if (naturaleza != "D" && naturaleza != "C") {
    ShowMessage("Especifique la naturaleza de la cuenta como C o D.");
    return;
  }
  TTable* lineas = DM->tblAsientosProg;
  lineas->Append();
  lineas->FieldByName("numeCuen")->AsString = cuenta;
  lineas->FieldByName("iastoProg")->AsInteger = iAstoProg;
  lineas->FieldByName("naturaleza")->AsString = naturaleza;
  lineas->Post();
  int r = SGAsiento->RowCount;
  // Una plantilla sin líneas deja una fila vacía: se usa esa.
  if (r == 2 && SGAsiento->Cells[0][1].IsEmpty())
    r = 1;
  else
    SGAsiento->RowCount = r + 1;
  SGAsiento->Cells[0][r] = cuenta;
  SGAsiento->Cells[1][r] = nombre;
  SGAsiento->Cells[2][r] = naturaleza;
  SGAsiento->Cells[3][r] = "";
}

void TFrmAsientoProgramado::btnRteFteClick(TObject*) { putRteFte(SGAsiento); }

void TFrmAsientoProgramado::btnConfRteFteClick(TObject*) {
  try {
    frmRetenciones = new TfrmRetenciones(this);
    std::unique_ptr<TfrmRetenciones> f(frmRetenciones);
    f->ShowModal();
  } catch (MyException& e) {
    Application->MessageBox(e.Mensaje(), "Error", MB_OK | MB_ICONERROR);
  } catch (Exception& e) {
    Application->ShowException(&e);
  }
}

void TFrmAsientoProgramado::RadioGroup1Click(TObject*) {
  static const char* const muestras[] = {"tradicional.bmp", "dobleCuadro.bmp", "tirilla.bmp"};
  int i = RadioGroup1->ItemIndex;
  if (i < 0 || i > 2) return;
  // Las muestras vienen con el programa, en su carpeta "images"; sin ellas el cuadro queda vacío.
  AnsiString archivo = GetExeDir() + "/images/" + muestras[i];
  if (!FileExists(archivo)) archivo = PathOrigen + "/images/" + muestras[i];
  try {
    Image1->Picture->LoadFromFile(archivo);
  } catch (...) {
    Image1->Picture->Clear();
  }
}

void TFrmAsientoProgramado::bntConfigImpClick(TObject*) {
  std::unique_ptr<TPrinterSetupDialog> d(new TPrinterSetupDialog(this));
  d->Execute();
}

void TFrmAsientoProgramado::impTradicional() {
  AnsiString numero = edNumeDocu->Text;
  HagaSQL(kAlias, Query1,
          "select * from Mvt where DescDocu=" + TextoSQL(descDocu) + "  and Numedocu=" + TextoSQL(numero));
  Query1->First();
  iTercero = Query1->FieldByName("cedulaNit")->AsString;
  AnsiString tipoPrimera = Query1->FieldByName("DescDocu")->AsString;
  double total = 0;
  bool unTercero = true;
  for (; !Query1->Eof; Query1->Next()) {
    total += Query1->FieldByName("Debito")->AsFloat;
    if (Query1->FieldByName("cedulaNit")->AsString != iTercero) unTercero = false;
  }
  Query1->First();

  TTable* maestro = DM->tblMvtMaestro;
  maestro->Refresh();
  bool conDetalle = maestro->Locate("descdocu;numedocu", VarArrayOf({descDocu, numero})) &&
                    !maestro->FieldByName("DETALLE")->AsString.IsEmpty();
  if (conDetalle) {
    AnsiString tercero = iTercero;
    if (DM->TblTerceros->Locate("CedulaNIT", Variant(iTercero)))
      tercero += " " + DM->TblTerceros->FieldByName("Nombre")->AsString;
    AnsiString modo;
    bool conSuma = true;
    if (tipoPrimera == "IN") {
      modo = "Recibido de:";
    } else if (tipoPrimera == "CE" || tipoPrimera == "CP") {
      modo = "Pagado a:";
    } else {
      tercero = "";
      conSuma = false;
    }
    FrmRepAsientosconDetalle = new TFrmRepAsientosconDetalle(this);
    std::unique_ptr<TFrmRepAsientosconDetalle> rep(FrmRepAsientosconDetalle);
    rep->DataSource1->DataSet = Query1;
    rep->QRMemo1->Lines->SetText(maestro->FieldByName("DETALLE")->AsString);
    rep->LD->Caption = descDocu;
    rep->LN->Caption = numero;
    rep->Tercero = tercero;
    rep->QRLblModo->Caption = modo;
    rep->QRLabel16->Enabled = conSuma;
    rep->QRLblNumLetras->Enabled = conSuma;
    rep->SumaEnLetras = total;
    rep->QuickReport1->Preview();
  } else {
    std::unique_ptr<TFrmVerImprimir> v(new TFrmVerImprimir(this, Query1));
    FrmVerImprimir = v.get();
    v->Limpiar();
    v->numeDocu = numero;
    v->descDocu = descDocu;
    if (unTercero) {
      v->QRLabel14->Caption = iTercero;
      if (DM->TblTerceros->Locate("CedulaNIT", Variant(iTercero))) {
        v->QRLabel15->Caption = DM->TblTerceros->FieldByName("Nombre")->AsString;
        v->QRLabel16->Caption = DM->TblTerceros->FieldByName("direccion")->AsString;
        v->QRLabel22->Caption = "Checque No: " + edCheque->Text.get();
      } else {
        v->QRLabel15->Caption = "Tercero no encontrado.";
      }
    } else {
      v->QRLabel14->Caption = "(varios)";
    }
    v->LD->Caption = descDocu;
    v->LN->Caption = numero;
    v->QuickReport1->Preview();
    FrmVerImprimir = nullptr;
  }
}

void TFrmAsientoProgramado::impDobleCuadro() {
  const int n = TfrmRptAsientoProgramado::kRenglones;
  int conValor = 0;
  for (int r = 1; r < SGAsiento->RowCount; ++r)
    if (!SGAsiento->Cells[3][r].IsEmpty()) ++conValor;
  // El formato tiene 13 casillas: no se dejan renglones por fuera sin avisar.
  int enCasillas = 0;
  for (int r = 1; r < SGAsiento->RowCount && r <= n; ++r)
    if (!SGAsiento->Cells[3][r].IsEmpty()) ++enCasillas;
  if (enCasillas < conValor &&
      Application->MessageBox("El formato a doble cuadro solo imprime 13 renglones y este comprobante tiene " +
                                  IntToStr(conValor) + ". ¿Imprime de todas maneras?",
                              "Advertencia", MB_YESNO) != IDYES)
    return;
  frmRptAsientoProgramado = new TfrmRptAsientoProgramado(this);
  std::unique_ptr<TfrmRptAsientoProgramado> rep(frmRptAsientoProgramado);
  rep->QRLblFechaImp->Caption = FormatDateTime("dd/mm/yyyy", Date());
  for (auto& c : rep->copias) {
    c.fecha->Caption = "Fecha: " + edFecha->Text.get();
    c.tercero->Caption = "Tercero: " + edItercero->Text.get();
    c.nombre->Caption = LblNTercero->Caption;
    c.grado->Caption = "Grado: " + grado;
    c.grupo->Caption = "Grupo: " + grupo;
    c.documento->Caption = "Documento: " + descDocu + " " + edNumeDocu->Text.get();
    c.plantilla->Caption = nAstoProg;
    for (int i = 0; i < n; ++i) {
      int r = i + 1;
      bool hay = r < SGAsiento->RowCount && !SGAsiento->Cells[3][r].IsEmpty();
      AnsiString nombre = hay ? AnsiString(SGAsiento->Cells[1][r]) : AnsiString();
      if (i < n - 1) nombre = nombre.SubString(1, 40);
      c.detalle[i]->Caption = nombre;
      AnsiString v = hay ? AnsiString(SGAsiento->Cells[3][r]) : AnsiString();
      // La cifra sale del número con dos decimales, no del texto de la casilla.
      double monto = 0;
      c.valor[i]->Caption = v.IsEmpty() || v == " " || !TryStrToAmount(v, monto) ? v : AnsiString(Punto(monto, 2));
    }
    c.observaciones->Lines->SetText(edDetalle->Text.get());
    c.total->Caption = "TOTAL: " + AnsiString(Punto(valor, 2));
  }
  rep->QuickRep1->Preview();
}

void TFrmAsientoProgramado::impTirilla() {
  HagaSQL(kAlias, Query1,
          "select a.numecuen,b.nombcuen, a.debito, a.credito from Mvt as a join pl as b on "
          "(a.numecuen=b.numecuen) where DescDocu=" +
              TextoSQL(descDocu) + "  and Numedocu=" + TextoSQL(edNumeDocu->Text));
  frmRptTirilla = new TfrmRptTirilla(this);
  std::unique_ptr<TfrmRptTirilla> rep(frmRptTirilla);
  rep->DataSource1->DataSet = Query1;
  rep->QRLblFecha->Caption = "Fecha: " + edFecha->Text.get();
  rep->QRLblPlantilla->Caption = nAstoProg;
  rep->QRLblDocumento->Caption = descDocu + " " + edNumeDocu->Text.get();
  rep->QRLblTercero->Caption = edItercero->Text;
  rep->QRLblNTercero->Caption = LblNTercero->Caption;
  rep->QRLblTotal->Caption = "TOTAL: " + AnsiString(Punto(valor, 2));
  // Largo del rollo: título, un renglón por línea y el resumen, más los márgenes (en décimas de mm;
  // 96 puntos por pulgada).
  int puntos = rep->TitleBand1->Height + rep->DetailBand1->Height * Query1->RecordCount + rep->SummaryBand1->Height;
  rep->QuickRep1->Page->Length = puntos * 254.0 / 96.0 + 80;
  rep->QuickRep1->Preview();
}

void TFrmAsientoProgramado::btnImprimirClick(TObject*) {
  switch (RadioGroup1->ItemIndex) {
    case 1: impDobleCuadro(); break;
    case 2: impTirilla(); break;
    default: impTradicional(); break;
  }
  btnImprimir->Enabled = false;
  cbAsientosProgChange(nullptr);
}

void TFrmAsientoProgramado::btnSiguienteClick(TObject*) {
  cbAsientosProgChange(nullptr);
  btnImprimir->Enabled = false;
}

bool TFrmAsientoProgramado::ValidarTercero() {
  return DM->TblTerceros->Locate("cedulanit", Variant(edItercero->Text.get()), TLocateOptions{});
}

bool TFrmAsientoProgramado::Validar() {
  AnsiString msg;
  bool ok = true;
  exigePpto = false;
  if (exigirOpAsociada) {
    if (DM->TblDocumentos->Locate("CodiDocu", Variant(descDocu), TLocateOptions{}))
      exigePpto = DM->TblDocumentos->FieldByName("ExigeMvtPptal")->AsString == "S";
    else
      ShowMessage("No encuentro el comprobante!");
  }
  if (!ValidarFecha(edFecha->Text, msg)) ok = false;

  double debitos = 0, creditos = 0;
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    AnsiString v = SGAsiento->Cells[3][r];
    if (v.IsEmpty()) continue;
    double monto = StrToAmount(v);
    if (SGAsiento->Cells[2][r] == "C")
      creditos += monto;
    else
      debitos += monto;
  }
  valor = RoundToCents(debitos);
  // Cuadra al centavo: las dos sumas redondeadas a dos decimales deben ser iguales.
  auto centavos = [](double v) { return std::llround(v * 100.0); };
  if (centavos(debitos) != centavos(creditos)) {
    ok = false;
    msg += "La suma de débitos: " + Sumas(debitos) + " no es igual a la de créditos: " + Sumas(creditos) + "\n";
  } else {
    if (debitos == 0) {
      ok = false;
      msg += "No ha colocado ningún valor en el débito ni en el crédito\n";
    }
    lblTotal->Caption = Sumas(valor);
  }
  if (!ValidarTercero()) {
    ok = false;
    msg += "Tercero inexistente.\n";
  }

  bool sinOps = true;
  for (int i = 1; i <= 5; ++i) sinOps = sinOps && Op(i)->Text.get().IsEmpty();
  const AnsiString margen(std::string(19, ' ').c_str());
  if (edNumeDocu->Text.get().IsEmpty()) {
    ok = false;
    msg += "Debe especificar un número para el comprobante de pago.\n";
  } else if (!OrdenesValidas()) {
    ok = false;
    msg += "Las órdenes de pago deben ser números enteros.\n";
  } else if (exigePpto && sinOps) {
    ok = false;
    msg += "El comprobante de Pago debe estar asociado a alguna Orden de pago (OP).\n" + margen +
           "Revise en el menú Datos->Comprobantes si está configurado para manejar presupuesto\n" + margen +
           "Si no lo está utilice CE en vez de CP\n";
  } else {
    double s = getSumaOPs();
    if ((exigePpto && s < valor) || s > 1.3 * valor) {
      if (Application->MessageBox(
              "El valor del comprobante no concuerda con las ordenes de pago. ¿Continúa de todas maneras?",
              "Advertencia", MB_YESNO | MB_ICONWARNING) != IDYES) {
        ok = false;
        msg +=
            "Revise el valor del comprobante y de sus órdenes de pago asociadas.\n El valor debe ser el valor de "
            "las OP asociadas menos los descuentos.\n";
      }
    }
  }

  HagaSQL(kAlias, queryGral,
          "select * from mvtMaestro where valor=" + NumeroSQL(round(valor, 2, baseRound)) +
              " and descdocu=" + TextoSQL(descDocu));
  if (queryGral->RecordCount == 1) {
    if (Application->MessageBox("Hay otro comprobante ya grabado por este mismo valor: " +
                                    queryGral->FieldByName("descDocu")->AsString + " " +
                                    queryGral->FieldByName("numeDocu")->AsString +
                                    "\nDe pronto va a repetirlo ¿Continúa de todas maneras?",
                                "Advertencia", MB_YESNO | MB_ICONWARNING) != IDYES) {
      ok = false;
      msg += "Posible comprobante repetido.\n";
    }
  }
  if (!ok) Application->MessageBox(msg, "Error", MB_OK);
  return ok;
}

tv::motor::ComprobanteProgramado TFrmAsientoProgramado::Registro() {
  tv::motor::ComprobanteProgramado c;
  c.tipo = descDocu.str();
  c.numero = AnsiString(edNumeDocu->Text).str();
  c.fecha = FormatDateTime("yyyy-mm-dd", StrToDate(edFecha->Text)).str();
  c.tercero = AnsiString(edItercero->Text).str();
  c.centroCosto = AnsiString(edCentCost->Text).str();
  c.detalle = AnsiString(edDetalle->Text).str();
  c.cheque = AnsiString(edCheque->Text).str();
  c.usuario = Login.str();
  for (int r = 1; r < SGAsiento->RowCount; ++r) {
    AnsiString v = SGAsiento->Cells[3][r];
    if (v.IsEmpty()) continue;
    AnsiString rubro = SGAsiento->ColCount > 4 ? AnsiString(SGAsiento->Cells[4][r]) : AnsiString();
    c.lineas.push_back({AnsiString(SGAsiento->Cells[0][r]).str(), rubro.str(), SGAsiento->Cells[2][r] == "D",
                        tv::motor::CentavosDe(StrToAmount(v))});
  }
  for (int i = 1; i <= 5; ++i) tv::motor::NumeroDocumento(Op(i)->Text.get().Trim().str(), c.ordenes[i - 1]);
  c.valor = tv::motor::CentavosDe(valor);
  c.qitems = SGAsiento->RowCount;
  return c;
}

void TFrmAsientoProgramado::BtnGrabarClick(TObject*) {
  if (!Validar()) return;
  if (confirmarGrabar && !ClaveAdministrador(this)) return;
  // Un documento del mismo número hecho a mano o de una orden no se reemplaza desde aquí: el
  // motor lo revisa dentro de su transacción y propone el siguiente número libre.
  tv::motor::Resultado r = tv::motor::GrabarComprobanteProgramado(kAlias, Registro());
  if (!r.grabado) {
    if (!r.numeroLibre.empty()) edNumeDocu->Text = r.numeroLibre.c_str();
    ShowMessage(r.Texto().c_str());
    return;
  }
  ShowMessage("Asiento Registrado");
  btnImprimir->Enabled = true;
}

void TFrmAsientoProgramado::btnCamConsClick(TObject*) { edNumeDocu->Enabled = ClaveAdministrador(this); }

void TFrmAsientoProgramado::edNumeDocuExit(TObject*) {
  AnsiString numero = edNumeDocu->Text;
  HagaSQL(kAlias, queryGral,
          "select * from mvt a left join mvtMaestro as b on b.descdocu=a.descdocu and a.numedocu=b.numedocu"
          " where b.descdocu=" +
              TextoSQL(descDocu) + " and a.numedocu=" + TextoSQL(numero) + " and b.tipoAsiento='P' order by a.rowid");
  if (queryGral->IsEmpty()) {
    HagaSQL(kAlias, Query1,
            "select count(*) as n from mvt where descdocu=" + TextoSQL(descDocu) + " and numedocu=" +
                TextoSQL(numero));
    if (Query1->FieldByName("n")->AsInteger > 0)
      ShowMessage("Existe un asiento hecho manualmente que debe llamar por la opción \"Asientos manuales\"");
    return;
  }
  // Las cuentas guardadas deben estar todas en la plantilla escogida.
  std::set<std::string> plantilla;
  {
    auto q = std::make_unique<TQuery>(nullptr);
    HagaSQL(kAlias, q.get(), "select numeCuen from asientosProg where iAstoProg=" + NumeroSQL(iAstoProg));
    for (q->First(); !q->Eof; q->Next()) plantilla.insert(q->FieldByName("numeCuen")->AsString.str());
  }
  for (queryGral->First(); !queryGral->Eof; queryGral->Next()) {
    if (!plantilla.count(queryGral->FieldByName("NumeCuen")->AsString.str())) {
      ShowMessage(
          "Este comprobante tiene cuentas que no están en el asiento programado escogido; escoja el asiento "
          "programado con que se hizo.");
      return;
    }
  }
  queryGral->First();
  TDateTime fecha = queryGral->FieldByName("Fecha")->AsDateTime;
  edFecha->Text = FormatDateTime("dd/mm/yyyy", fecha);
  if (edItercero->Visible) {
    edItercero->Text = queryGral->FieldByName("cedulaNIT")->AsString;
    edIterceroExit(nullptr);
  }
  edDetalle->Text = queryGral->FieldByName("detalle")->AsString;
  edCentCost->Text = queryGral->FieldByName("centCost")->AsString;
  const char* const campos[] = {"op1", "op2", "op3", "op4", "op5"};
  for (int i = 1; i <= 5; ++i) {
    TField* f = queryGral->FieldByName(campos[i - 1]);
    Op(i)->Text = f->IsNull ? AnsiString() : f->AsString;
  }
  edOPChange(nullptr);
  edCheque->Text = queryGral->FieldByName("numeComp")->AsString;
  valor = queryGral->FieldByName("valor")->AsFloat;
  lblTotal->Caption = Sumas(valor);
  fillPlantillaAsiento();
  fillGridWithMvt();
}

void TFrmAsientoProgramado::fillGridWithMvt() {
  // Cada línea guardada llena, en orden, la siguiente fila libre de su cuenta.
  std::vector<bool> usada(SGAsiento->RowCount, false);
  for (queryGral->First(); !queryGral->Eof; queryGral->Next()) {
    AnsiString cuenta = queryGral->FieldByName("NumeCuen")->AsString;
    double d = queryGral->FieldByName("debito")->AsFloat;
    double c = queryGral->FieldByName("credito")->AsFloat;
    for (int r = 1; r < SGAsiento->RowCount; ++r) {
      if (usada[r] || SGAsiento->Cells[0][r] != cuenta) continue;
      SGAsiento->Cells[3][r] = FloatToStr(d > 0 ? d : c);
      usada[r] = true;
      break;
    }
  }
}

void TFrmAsientoProgramado::BitBtn3Click(TObject*) {
  HagaSQL(kAlias, Query1, "select * from mvtMaestro where descDocu=" + TextoSQL(descDocu));
  DataSource1->DataSet = Query1;
  if (Query1->IsEmpty()) {
    ShowMessage("No existen registros para mostrar.");
    return;
  }
  std::unique_ptr<TFrmBuscTabla> busca(new TFrmBuscTabla(this, DataSource1, "Documento", "Descripción",
                                                         "descDocu", "numedocu", false, ""));
  FrmBuscTabla = busca.get();
  if (busca->ShowModal() != mrOk) return;
  edNumeDocu->Text = busca->GetContenido2();
  edNumeDocuExit(nullptr);
  confirmarGrabar = true;
}

void TFrmAsientoProgramado::BtnBorrarClick(TObject*) {
  if (!Permisos.GetPermisoBorrar()) {
    Application->MessageBox("No tiene permisos para borrar.", "Error", MB_OK | MB_ICONERROR);
    return;
  }
  if (Application->MessageBox("Está seguro de borrar?", "Advertencia", MB_YESNO) != IDYES) return;
  tv::motor::Resultado r =
      tv::motor::BorrarComprobanteProgramado(kAlias, descDocu.str(), AnsiString(edNumeDocu->Text).str());
  if (!r.grabado) {
    ShowMessage(r.Texto().c_str());
    return;
  }
  ShowMessage("Asiento borrado!");
}
