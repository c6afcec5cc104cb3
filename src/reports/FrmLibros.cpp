#include "reports/FrmLibros.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "platform/report/QuickRpt.h"
#include "reports/FrmRepLibros.h"
#include "shared/general/Exportar.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmTercUnaCta* FrmTercUnaCta = nullptr;
TFrmTercTodasCtas* FrmTercTodasCtas = nullptr;
TFrmTercMovUnaCta* FrmTercMovUnaCta = nullptr;
TFrmAuxiliares* FrmAuxiliares = nullptr;

// ---- partes comunes ----

TSpeedButton* TFrmLibro::BotonBusqueda(TWinControl* aPadre, const char* aNombre) {
  auto* b = Make<TSpeedButton>(aPadre, aNombre);
  b->Caption = "...";
  b->Hint = "Especificar datos de búsqueda";
  b->ShowHint = true;
  return b;
}

void TFrmLibro::CrearCuenta(const char* aTitulo, const char* aBoton) {
  LblICuenta = Make<TLabel>(PnlSeleccion, "LblICuenta");
  LblICuenta->Caption = aTitulo;
  EdICuenta = Make<TEdit>(PnlSeleccion, "EdICuenta");
  LblICuenta->FocusControl = EdICuenta;
  auto* b = BotonBusqueda(PnlSeleccion, aBoton);
  b->OnClick = [this](TObject*) { BuscarCuenta(this, EdICuenta, LblNCuenta); };
  LblNCuenta = Make<TLabel>(PnlSeleccion, "LblNCuenta");
  LblNCuenta->Caption = "";
}

void TFrmLibro::CrearTercero(const char* aBoton) {
  LblITercero = Make<TLabel>(PnlSeleccion, "LblITercero");
  LblITercero->Caption = "Tercero:";
  EdITercero = Make<TEdit>(PnlSeleccion, "EdITercero");
  LblITercero->FocusControl = EdITercero;
  auto* b = BotonBusqueda(PnlSeleccion, aBoton);
  b->OnClick = [this](TObject*) { BuscarTercero(this, EdITercero, LblNTercero); };
  LblNTercero = Make<TLabel>(PnlSeleccion, "LblNTercero");
  LblNTercero->Caption = "";
}

void TFrmLibro::CrearRejilla(const char* aVacio) {
  LblResultado = Make<TLabel>(PnlSeleccion, "LblResultado");
  LblResultado->Caption = aVacio;
  LblResultado->Font->Color = clRed;
  LblResultado->Visible = false;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->Visible = false;
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
}

void TFrmLibro::CrearTotales(const char* aNombreDeb, const char* aNombreCred, const char* aTituloCred,
                             const char* aNombreNAnt, const char* aNombreAnt, const char* aTituloAnt,
                             bool aVisibles) {
  PnlTotales = Make<TPanel>(this, "PnlTotales");
  PnlTotales->Align = alBottom;
  PnlTotales->BevelOuter = bvNone;
  PnlTotales->Height = 32;
  int x = 8;
  // Los totales en una sola línea: título y valor, uno tras otro.
  auto par = [&](TLabel*& titulo, const char* nTitulo, const char* texto, TLabel*& valor,
                 const char* nValor) {
    titulo = Make<TLabel>(PnlTotales, nTitulo);
    titulo->Caption = texto;
    titulo->AutoSize = false;
    titulo->SetBounds(x, 8, 100, 18);
    valor = Make<TLabel>(PnlTotales, nValor);
    valor->Caption = aVisibles ? "*" : "";
    valor->Alignment = taRightJustify;
    valor->AutoSize = false;
    valor->SetBounds(x + 100, 8, 100, 18);
    x += 212;
    titulo->Visible = aVisibles;
    valor->Visible = aVisibles;
  };
  if (aNombreNAnt) par(LblNSaldoAnt, aNombreNAnt, aTituloAnt, LblSaldoAnt, aNombreAnt);
  par(LblNDebitos, "LblNDebitos", "Total Debitos:", LblDebitos, aNombreDeb);
  par(LblNCreditos, "LblNCreditos", aTituloCred, LblCreditos, aNombreCred);
  par(LblNSaldo, "LblNSaldo", "Saldo:", LblSaldo, "LblSaldo");
}

void TFrmLibro::CrearBotones(const char* aInforme, bool aExportar) {
  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(PnlBotones, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  BtnInforme = Make<TBitBtn>(PnlBotones, "BtnInforme");
  BtnInforme->Caption = aInforme;
  BtnInforme->Enabled = false;
  if (aExportar) {
    btnExportar = Make<TBitBtn>(PnlBotones, "btnExportar");
    btnExportar->Caption = "&Exportar";
    btnExportar->Enabled = false;
    SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  }
}

void TFrmLibro::FormClose(TObject*) { Query1->Close(); }

void TFrmLibro::PonerNombres() {
  if (EdICuenta && DM->TblPlan->Locate("NumeCuen", Variant(AnsiString(EdICuenta->Text))))
    LblNCuenta->Caption = DM->TblPlan->FieldByName("NombCuen")->AsString;
  if (EdITercero && DM->TblTerceros->Locate("CedulaNit", Variant(AnsiString(EdITercero->Text))))
    LblNTercero->Caption = DM->TblTerceros->FieldByName("Nombre")->AsString;
}

bool TFrmLibro::Listar(const AnsiString& aSQL) {
  BtnInforme->Enabled = false;
  if (btnExportar) btnExportar->Enabled = false;
  DSQuery1->DataSet = nullptr;
  DBGrid1->DataSource = nullptr;
  for (TLabel* l : {LblNSaldoAnt, LblSaldoAnt, LblNDebitos, LblDebitos, LblNCreditos, LblCreditos,
                    LblNSaldo, LblSaldo})
    if (l) l->Visible = false;
  HagaSQL("Contabilidad", Query1, aSQL);
  if (Query1->IsEmpty()) {
    DBGrid1->Visible = false;
    LblResultado->Visible = true;
    return false;
  }
  DBGrid1->Visible = true;
  BtnInforme->Enabled = true;
  if (btnExportar) btnExportar->Enabled = true;
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;
  LblResultado->Visible = false;
  return true;
}

void TFrmLibro::Columnas(std::initializer_list<std::pair<const char*, const char*>> aTitulos,
                         std::initializer_list<std::pair<const char*, int>> aAnchos) {
  DBGrid1->Columns->Clear();
  for (int i = 0; i < Query1->FieldCount; ++i) {
    AnsiString campo = Query1->Fields[i]->FieldName;
    TColumn* c = DBGrid1->Columns->Add();
    c->FieldName = campo;
    c->Title->Caption = campo;
    for (auto& t : aTitulos)
      if (campo.UpperCase() == AnsiString(t.first).UpperCase()) c->Title->Caption = t.second;
    for (auto& a : aAnchos)
      if (campo.UpperCase() == AnsiString(a.first).UpperCase()) c->Width = a.second;
  }
}

void TFrmLibro::MostrarTotales(double aDebitos, double aCreditos, bool aConAnterior, double aAnterior) {
  LblDebitos->Caption = Punto(aDebitos, 2);
  LblCreditos->Caption = Punto(aCreditos, 2);
  for (TLabel* l : {LblNDebitos, LblDebitos, LblNCreditos, LblCreditos, LblNSaldo, LblSaldo})
    l->Visible = true;
  if (aConAnterior) {
    LblSaldoAnt->Caption = Punto(aAnterior, 2);
    LblSaldo->Caption = Punto(aAnterior + aDebitos - aCreditos, 2);
    LblNSaldoAnt->Visible = true;
    LblSaldoAnt->Visible = true;
  } else {
    LblSaldo->Caption = Punto(aDebitos - aCreditos, 2);
  }
}

AnsiString TFrmLibro::Periodo(const char* aCampo) const {
  return AnsiString(aCampo) + ">=\"" + MesDiaAnio(EdFechaInicio->Text) + "\" and " + aCampo + "<=\"" +
         MesDiaAnio(EdFechaFinal->Text) + "\"";
}

void TFrmLibro::DibujarMontos(const TRect& Rect, TColumn* Column) {
  TField* f = Column->Field();
  if (!f) return;
  AnsiString campo = f->FieldName.UpperCase();
  if (campo != "DEBITO" && campo != "CREDITO") return;
  AnsiString texto;
  if (!f->IsNull) texto = Punto(f->AsFloat, 2);
  DibujarMonto(DBGrid1, Rect, texto);
}

namespace {
void PrepararForma(TForm* f, const char* aNombre, const char* aCaption) {
  f->Name = aNombre;
  f->Caption = aCaption;
  f->Position = poScreenCenter;
  f->Width = 860;
  f->Height = 560;
}

double Suma(TQuery* q, const char* aCampo) { return q->FieldByName(aCampo)->AsFloat; }
}  // namespace

// ---- un tercero en una cuenta ----

TFrmTercUnaCta::TFrmTercUnaCta(TComponent* Owner) : TFrmLibro(Owner) {
  PrepararForma(this, "FrmTercUnaCta", "Terceros Una Cuenta");
  PnlSeleccion = Make<TPanel>(this, "PnlSeleccion");
  PnlSeleccion->Align = alTop;
  PnlSeleccion->BevelOuter = bvNone;
  CrearPeriodo(PnlSeleccion);
  CrearCuenta("Código de la cuenta:", "BtnBuscar");
  BtnBuscar = static_cast<TSpeedButton*>(FindComponent("BtnBuscar"));
  CrearTercero("BitBtn1");
  BitBtn1 = static_cast<TSpeedButton*>(FindComponent("BitBtn1"));
  CrearRejilla("No hay informacion para mostrar aun");
  CrearTotales("LblDebitos", "LblCreditos", "TotalCreditos:", "LblNSaldoAnt", "LblSaldoAnt",
               "Saldo Anterior", false);
  CrearBotones("&Informe", false);

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  EdICuenta->OnExit = [this](TObject* s) { EdICuentaExit(s); };
  EdITercero->OnExit = [this](TObject* s) { EdITerceroExit(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject*, const TRect& r, int, TColumn* c, TGridDrawState) {
    DibujarMontos(r, c);
  };
  OnClose = [this](TObject* s, TCloseAction&) { FormClose(s); };
}

void TFrmTercUnaCta::BtnAceptarClick(TObject*) {
  AnsiString cuenta = EdICuenta->Text, tercero = EdITercero->Text;
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, cuenta, "", tercero, true, false, true))
    return;
  PonerNombres();
  AnsiString donde = "where CedulaNIT=" + TextoSQL(tercero) + " and NumeCuen= " + TextoSQL(cuenta);
  if (!Listar("select Fecha, DescDocu, NumeDocu, DescComp, NumeComp, detalle, Debito, Credito from mvt " +
              donde + " and " + Periodo() + " order by fecha"))
    return;
  Columnas({{"DescDocu", "Comp"}, {"NumeDocu", "NumC"}, {"DescComp", "Sop"}, {"NumeComp", "NumS"}},
           {{"detalle", 180}});
  HagaSQL("Contabilidad", Query2,
          "select Sum(Debito) as Debito, Sum(Credito) as Credito from mvt " + donde + " and " + Periodo());
  double d = Suma(Query2, "Debito"), c = Suma(Query2, "Credito");
  // Una línea con un solo lado cuenta con ese lado en el saldo anterior.
  HagaSQL("Contabilidad", Query2,
          "select Sum(coalesce(Debito,0)-coalesce(Credito,0)) as SA from mvt " + donde + " and Fecha<\"" +
              MesDiaAnio(EdFechaInicio->Text) + "\"");
  MostrarTotales(d, c, true, Suma(Query2, "SA"));
}

void TFrmTercUnaCta::BtnInformeClick(TObject*) {
  FrmRepTercUnaCta = new TFrmRepTercUnaCta(this);
  std::unique_ptr<TFrmRepTercUnaCta> r(FrmRepTercUnaCta);
  r->ICuenta->Caption = EdICuenta->Text;
  r->NCuenta->Caption = LblNCuenta->Caption;
  r->ITercero->Caption = EdITercero->Text;
  r->NTercero->Caption = LblNTercero->Caption;
  r->FechaDesc->Caption = "del :" + AnsiString(EdFechaInicio->Text) + " a " + AnsiString(EdFechaFinal->Text);
  r->LDebito->Caption = LblDebitos->Caption;
  r->LCredito->Caption = LblCreditos->Caption;
  r->QuickRep1->Preview();
  FrmRepTercUnaCta = nullptr;
}

// ---- un tercero en todas las cuentas ----

TFrmTercTodasCtas::TFrmTercTodasCtas(TComponent* Owner) : TFrmLibro(Owner) {
  PrepararForma(this, "FrmTercTodasCtas", "Terceros Todas las Cuentas");
  PnlSeleccion = Make<TPanel>(this, "PnlSeleccion");
  PnlSeleccion->Align = alTop;
  PnlSeleccion->BevelOuter = bvNone;
  CrearPeriodo(PnlSeleccion);
  CrearTercero("BitBtn1");
  BitBtn1 = static_cast<TSpeedButton*>(FindComponent("BitBtn1"));
  CrearRejilla("No Hay informacion para mostrar aun");
  CrearTotales("LblDebitos", "LblCreditos", "TotalCreditos:", nullptr, nullptr, nullptr, false);
  CrearBotones("&Informe", false);

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject*, const TRect& r, int, TColumn* c, TGridDrawState) {
    DibujarMontos(r, c);
  };
  OnClose = [this](TObject* s, TCloseAction&) { FormClose(s); };
}

void TFrmTercTodasCtas::BtnAceptarClick(TObject*) {
  AnsiString tercero = EdITercero->Text;
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, "", "", tercero, false, false, true))
    return;
  PonerNombres();
  AnsiString donde = "where CedulaNIT=" + TextoSQL(tercero) + " and " + Periodo();
  // Cada línea con su fila, para que el listado sume lo mismo que los totales.
  if (!Listar("select Fecha, numecuen,DescDocu, NumeDocu, DescComp, NumeComp, detalle, Debito, Credito "
              "from mvt " + donde +
              " order by Fecha, Numecuen,DescDocu,NumeDocu, DescComp, NumeComp, detalle, Debito, Credito"))
    return;
  Columnas({{"DescDocu", "Comp"}, {"NumeDocu", "NumC"}, {"DescComp", "Sop"}, {"NumeComp", "NumS"}},
           {{"detalle", 120}});
  HagaSQL("Contabilidad", Query2, "select Sum(Debito) as Debito, Sum(Credito) as Credito from mvt " + donde);
  MostrarTotales(Suma(Query2, "Debito"), Suma(Query2, "Credito"), false, 0);
}

void TFrmTercTodasCtas::BtnInformeClick(TObject*) {
  FrmRepTercTodasCtas = new TFrmRepTercTodasCtas(this);
  std::unique_ptr<TFrmRepTercTodasCtas> r(FrmRepTercTodasCtas);
  r->ITercero->Caption = EdITercero->Text;
  r->NTercero->Caption = LblNTercero->Caption;
  r->FechaDesc->Caption = "del :" + AnsiString(EdFechaInicio->Text) + " a " + AnsiString(EdFechaFinal->Text);
  r->LDebito->Caption = LblDebitos->Caption;
  r->LCredito->Caption = LblCreditos->Caption;
  r->QuickRep1->Preview();
  FrmRepTercTodasCtas = nullptr;
}

// ---- saldos de todos los terceros en una cuenta ----

TFrmTercMovUnaCta::TFrmTercMovUnaCta(TComponent* Owner) : TFrmLibro(Owner) {
  PrepararForma(this, "FrmTercMovUnaCta", "Saldos de Todos en una Cuenta");
  PnlSeleccion = Make<TPanel>(this, "PnlSeleccion");
  PnlSeleccion->Align = alTop;
  PnlSeleccion->BevelOuter = bvNone;
  CrearPeriodo(PnlSeleccion);
  CrearCuenta("Cuenta (puede ser un auxiliar o una cuenta mayor, ej: 24 saca todas las cuentas por pagar)",
              "BitBtn1");
  BitBtn1 = static_cast<TSpeedButton*>(FindComponent("BitBtn1"));
  ChBSaldoCero = Make<TCheckBox>(PnlSeleccion, "ChBSaldoCero");
  ChBSaldoCero->Caption = "Incluir los que tienen saldo cero";
  ChBSaldoCero->Checked = true;
  CrearRejilla("No Hay informacion para mostrar aun");
  CrearTotales("LblDebito", "LblCredito", "TotalCreditos:", nullptr, nullptr, nullptr, true);
  CrearBotones("&Informe", true);

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  OnClose = [this](TObject* s, TCloseAction&) { FormClose(s); };
}

void TFrmTercMovUnaCta::BtnAceptarClick(TObject*) {
  AnsiString cuenta = EdICuenta->Text;
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, cuenta, "", "", true, false, false))
    return;
  PonerNombres();
  DBGrid1->Visible = false;
  // Sin saldo cero: fuera las filas cuyos débitos y créditos son iguales (nulos como 0).
  AnsiString saldoCero = ChBSaldoCero->Checked
                             ? AnsiString()
                             : AnsiString(" having abs(coalesce(sum(mvt.Debito),0)-coalesce(sum(mvt.Credito),0))>1e-9");
  if (!Listar("select tc.cedulanit, tc.nombre,mvt.numecuen,pl.nombcuen, sum(mvt.Debito) as Debitos, "
              "sum(mvt.Credito) as Creditos from mvt join tc on mvt.cedulanit=tc.cedulanit "
              "left join pl on pl.numecuen=mvt.numecuen where " +
              CondicionPrefijo("mvt.numeCuen", cuenta) + " and " + Periodo("mvt.Fecha") +
              " group by tc.nombre,tc.cedulanit,mvt.numecuen,pl.nombcuen" + saldoCero +
              " order by mvt.numecuen,tc.nombre"))
    return;
  HagaSQL("Contabilidad", Query2,
          "select Sum(Debito) as Deb, Sum(Credito) as Cred from mvt where " +
              CondicionPrefijo("NumeCuen", cuenta) + " and " + Periodo());
  MostrarTotales(Suma(Query2, "Deb"), Suma(Query2, "Cred"), false, 0);
}

void TFrmTercMovUnaCta::BtnInformeClick(TObject*) {
  FrmRepTercMovUnaCta = new TFrmRepTercMovUnaCta(this);
  std::unique_ptr<TFrmRepTercMovUnaCta> r(FrmRepTercMovUnaCta);
  AnsiString periodo = "del : " + AnsiString(EdFechaInicio->Text) + " a " + AnsiString(EdFechaFinal->Text);
  r->ICuenta->Caption = EdICuenta->Text;
  r->QRLabel7->Caption = EdICuenta->Text;
  r->NCuenta->Caption = LblNCuenta->Caption;
  r->QRLabel8->Caption = LblNCuenta->Caption;
  r->FechaDesc->Caption = periodo;
  r->QRLabel9->Caption = periodo;
  r->LblDeb->Caption = LblDebito->Caption;
  r->LblCred->Caption = LblCredito->Caption;
  r->LblDif->Caption = LblSaldo->Caption;
  r->QuickRep1->Preview();
  FrmRepTercMovUnaCta = nullptr;
}

void TFrmTercMovUnaCta::btnExportarClick(TObject*) {
  SaveDialog1->FileName = "consolidadosPorCuentaPorTercero.csv";
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->FilterIndex = 1;
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  if (!SaveDialog1->Execute()) return;
  DBToCSV(Query1, SaveDialog1->FileName);
  tv::os::OpenDocument(SaveDialog1->FileName);
}

// ---- auxiliares ----

TFrmAuxiliares::TFrmAuxiliares(TComponent* Owner) : TFrmLibro(Owner) {
  PrepararForma(this, "FrmAuxiliares", "Auxiliares");
  ShowHint = true;
  PnlSeleccion = Make<TPanel>(this, "PnlSeleccion");
  PnlSeleccion->Align = alTop;
  PnlSeleccion->BevelOuter = bvNone;
  CrearPeriodo(PnlSeleccion);
  CrearCuenta("Cuenta (mayor o auxiliar):", "BitBtn1");
  BitBtn1 = static_cast<TSpeedButton*>(FindComponent("BitBtn1"));
  LblMesCad = Make<TLabel>(PnlSeleccion, "LblMesCad");
  LblMesCad->Caption = "";
  chbVistaPrevia = Make<TCheckBox>(PnlSeleccion, "chbVistaPrevia");
  chbVistaPrevia->Caption = "Mostrar vista previa";
  CrearRejilla("No Hay informacion para mostrar aun");
  CrearTotales("LblDebitos", "LblCreditos", "Total Creditos:", "LblNSaldoAnterior", "LblSaldoAnterior",
               "Saldo Anterior:", false);
  CrearBotones("&Imprimir", true);
  Bevel1 = Make<TBevel>(PnlBotones, "Bevel1");
  Bevel1->Visible = false;
  Label2 = Make<TLabel>(PnlBotones, "Label2");
  Label2->Caption = "Separador de decimales:";
  Label2->Visible = false;
  ComboBox1 = Make<TComboBox>(PnlBotones, "ComboBox1");
  ComboBox1->Style = csDropDownList;
  ComboBox1->Items->Add(".");
  ComboBox1->Items->Add(",");
  ComboBox1->ItemIndex = 0;
  ComboBox1->Visible = false;
  StatusBar = Make<TStatusBar>(this, "StatusBar");
  StatusBar->Align = alBottom;
  StatusBar->SimpleText = "Auxiliares";

  const char* deb = "Valor Debito durante un periodo comprendido entre la fecha inicial y la fecha final";
  const char* cred = "Valor Credito durante un periodo comprendido entre la fecha inicial y la fecha final";
  LblNDebitos->Hint = deb;
  LblDebitos->Hint = deb;
  LblNCreditos->Hint = cred;
  LblCreditos->Hint = cred;
  LblNSaldo->Hint = "Saldo generalizado a la fecha  de la cuenta";
  LblSaldo->Hint = "Saldo generalizado a la fecha  de la cuenta";
  LblNSaldoAnterior->Hint = "Saldo hasta la fecha inicial del comprobante";
  LblSaldoAnterior->Hint = "Saldo hasta la fecha inicial del comprobante";
  EdFechaInicio->Hint = "Ingrese la fecha inicial";
  EdFechaFinal->Hint = "Ingrese la fecha final";
  BtnFechaDesde->Hint = "De Click aqui para traer la fecha desde el calendario";
  BtnFechaHasta->Hint = "De Click aqui para traer la fecha desde el calendario";
  EdICuenta->Hint = "Ingrese el Numero de cuenta ";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  EdICuenta->OnExit = [this](TObject* s) { EdICuentaExit(s); };
  EdICuenta->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EdICuentaKeyDown(s, k, sh); };
  auto ayuda = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnKeyDown = ayuda;
  EdFechaInicio->OnKeyDown = ayuda;
  EdFechaFinal->OnKeyDown = ayuda;
  DBGrid1->OnKeyDown = ayuda;
  DBGrid1->OnDrawColumnCell = [this](TObject*, const TRect& r, int, TColumn* c, TGridDrawState) {
    DibujarMontos(r, c);
  };
  auto estado = [this](TControl* c, const char* texto) {
    c->OnMouseMove = [this, texto](TObject*, TShiftState, int, int) { StatusBar->SimpleText = texto; };
  };
  estado(EdFechaInicio, "Ingrese la fecha inicial o de click en el boton de al lado");
  estado(EdFechaFinal, "Ingrese la fecha final o de click en el boton de al lado");
  estado(BtnFechaDesde, "De Click para traer la fecha inicial desde el calendario");
  estado(BtnFechaHasta, "De Click para traer la fecha final desde el calendario");
  estado(EdICuenta, "Ingrese el numero de cuenta");
  estado(BitBtn1, "De Click para traer la cuenta directamente del plan");
  estado(this, "Auxiliares:  Presione F1 para obtener Ayuda");
}

void TFrmAuxiliares::BtnAceptarClick(TObject*) {
  AnsiString cuenta = EdICuenta->Text;
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, cuenta, "", "", true, false, false))
    return;
  PonerNombres();
  LblMesCad->Caption = RetornaNombreMes(StrToDate(EdFechaInicio->Text), StrToDate(EdFechaFinal->Text));
  AnsiString prefijo = CondicionPrefijo("NumeCuen", cuenta);
  AnsiString sql =
      "select numecuen,Fecha , detalle, CedulaNit ,nombre, DescDocu, NumeDocu, DescComp , NumeComp , "
      "Debito, Credito from mvt left join tc on mvt.cedulanit=tc.cedulanit where " +
      prefijo + " and " + Periodo() + " order by numecuen,Fecha, descdocu,numedocu,DescComp,numeComp";
  // La traza es opcional: si no se puede escribir, el libro sigue.
  try {
    WriteToFile("basura.txt", sql.c_str(), true);
  } catch (...) {
  }
  bool hay = Listar(sql);
  Label2->Visible = hay;
  ComboBox1->Visible = hay;
  Bevel1->Visible = hay;
  // La exportación usa el separador decimal en uso: la lista muestra ese.
  ComboBox1->ItemIndex = DecimalSeparator == ',' ? 1 : 0;
  if (!hay) return;
  Columnas({{"DescDocu", "Comp"}, {"NumeDocu", "NumC"}, {"DescComp", "Sop"}, {"NumeComp", "NumS"}}, {});
  HagaSQL("Contabilidad", Query2,
          "select Sum(Debito) as Debito, Sum(Credito) as Credito from mvt where " + prefijo + " and " + Periodo());
  double d = Suma(Query2, "Debito"), c = Suma(Query2, "Credito");
  HagaSQL("Contabilidad", Query2,
          "select Sum(Debito) as sumDeb, sum(Credito) as sumCre from mvt where " + prefijo + " and Fecha<'" +
              MesDiaAnio(EdFechaInicio->Text) + "'");
  MostrarTotales(d, c, true, Suma(Query2, "sumDeb") - Suma(Query2, "sumCre"));
}

void TFrmAuxiliares::BtnInformeClick(TObject*) {
  FrmRepAuxiliares = new TFrmRepAuxiliares(this);
  std::unique_ptr<TFrmRepAuxiliares> r(FrmRepAuxiliares);
  r->ICuenta->Caption = EdICuenta->Text;
  r->NCuenta->Caption = LblNCuenta->Caption;
  r->FechaDesc->Caption = "del :" + AnsiString(EdFechaInicio->Text) + " a " + AnsiString(EdFechaFinal->Text);
  r->LblMes->Caption = LblMesCad->Caption;
  r->LblSaldoAnterior->Caption = LblSaldoAnterior->Caption;
  r->LDebito->Caption = LblDebitos->Caption;
  r->LCredito->Caption = LblCreditos->Caption;
  r->Saldo->Caption = LblSaldo->Caption;
  if (chbVistaPrevia->Checked)
    r->QuickRep1->Preview();
  else
    r->QuickRep1->Print();
  FrmRepAuxiliares = nullptr;
}

void TFrmAuxiliares::btnExportarClick(TObject*) {
  SaveDialog1->FileName = "auxiliar.csv";
  if (!SaveDialog1->Execute()) return;
  TStringList campos;
  for (const char* c : {"Fecha", "Detalle", "CedulaNIT", "descDocu", "numeDocu", "descComp", "numeComp",
                        "Debito", "Credito"})
    campos.Add(c);
  DBToCSV(Query1, SaveDialog1->FileName, &campos);
  tv::os::OpenDocument(SaveDialog1->FileName);
}

void TFrmAuxiliares::EdICuentaExit(TObject*) {
  if (DM->TblPlan->Locate("NumeCuen", Variant(AnsiString(EdICuenta->Text))))
    LblNCuenta->Caption = DM->TblPlan->FieldByName("NombCuen")->AsString;
}

void TFrmAuxiliares::EdICuentaKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE) {
    EdICuenta->Text = "";
    return;
  }
  FormKeyDown(Sender, Key, Shift);
}

void TFrmAuxiliares::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F1) AbrirPaginaAyuda("auxiliares.htm");
}
