#include "reports/FrmMovimientos.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/core/Classes.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Exportar.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmMovimientos* FrmMovimientos = nullptr;
TFrmRepMovComp* FrmRepMovComp = nullptr;

namespace {
TSpeedButton* BotonCuenta(TWinControl* aPadre, const char* aNombre) {
  auto* b = Make<TSpeedButton>(aPadre, aNombre);
  b->Caption = "...";
  b->Hint = "Especificar datos de búsqueda";
  b->ShowHint = true;
  return b;
}
}  // namespace

TFrmMovimientos::TFrmMovimientos(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "FrmMovimientos";
  Caption = "Movimientos";
  Position = poScreenCenter;
  Width = 900;
  Height = 600;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  CrearPeriodo(PnlFiltro);
  RG1 = Make<TRadioGroup>(PnlFiltro, "RG1");
  RG1->Caption = "Listar Por:";
  RG1->Items->Add("Comprobantes");
  RG1->Items->Add("Cuentas");
  RG1->Columns = 2;
  RG1->ItemIndex = 0;
  CBDocumentos = Make<TComboBox>(PnlFiltro, "CBDocumentos");
  CBDocumentos->Style = csDropDownList;
  RG2 = Make<TRadioGroup>(PnlFiltro, "RG2");
  RG2->Caption = "Listar Cuentas:";
  RG2->Items->Add("Todas");
  RG2->Items->Add("Solo el Intervalo");
  RG2->Columns = 2;
  RG2->ItemIndex = 0;
  RG2->Visible = false;
  GBCuentas = Make<TGroupBox>(PnlFiltro, "GBCuentas");
  GBCuentas->Caption = "Cuentas";
  GBCuentas->Visible = false;
  Label1 = Make<TLabel>(GBCuentas, "Label1");
  Label1->Caption = "Cuenta Inicial";
  EdICuenta = Make<TEdit>(GBCuentas, "EdICuenta");
  BtnCuenta1 = BotonCuenta(GBCuentas, "BtnCuenta1");
  LblNCuenta = Make<TLabel>(GBCuentas, "LblNCuenta");
  LblNCuenta->Caption = "*";
  Label2 = Make<TLabel>(GBCuentas, "Label2");
  Label2->Caption = "Cuenta Final";
  EdICuenta2 = Make<TEdit>(GBCuentas, "EdICuenta2");
  BtnCuenta2 = BotonCuenta(GBCuentas, "BtnCuenta2");
  LblNCuenta2 = Make<TLabel>(GBCuentas, "LblNCuenta2");
  LblNCuenta2->Caption = "*";
  Label1->FocusControl = EdICuenta;
  Label2->FocusControl = EdICuenta2;
  LblResultado = Make<TLabel>(PnlFiltro, "LblResultado");
  LblResultado->Caption = "No Hay informacion para mostrar aun";
  LblResultado->Font->Color = clRed;
  LblResultado->Visible = false;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;

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
  BtnInforme->Caption = "&Informe";
  BtnInforme->Enabled = false;
  Query1 = Make<TQuery>(this, "Query1");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;

  BtnCuenta1->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  BtnCuenta2->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  RG1->OnClick = [this](TObject* s) { RG1Click(s); };
  RG2->OnClick = [this](TObject* s) { RG2Click(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState) {
    DBGrid1DrawColumnCell(s, r, c, col);
  };

  CBDocumentos->Items->Add("Todos");
  try {
    FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
  } catch (MyException& e) {
    ShowMessage(e.Mensaje());
  }
  CBDocumentos->ItemIndex = 0;
}

void TFrmMovimientos::BtnCuenta1Click(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  if (c && c->Name == "BtnCuenta1")
    BuscarCuenta(this, EdICuenta, LblNCuenta);
  else
    BuscarCuenta(this, EdICuenta2, LblNCuenta2);
}

void TFrmMovimientos::RG1Click(TObject*) {
  bool cuentas = RG1->ItemIndex == 1;
  RG2->Visible = cuentas;
  CBDocumentos->Visible = !cuentas;
}

void TFrmMovimientos::RG2Click(TObject*) { GBCuentas->Visible = RG2->ItemIndex == 1; }

void TFrmMovimientos::BtnAceptarClick(TObject*) {
  AnsiString msg;
  if (!validarFechas(EdFechaInicio->Text, EdFechaFinal->Text, msg)) {
    ShowMessage(msg);
    return;
  }
  BtnInforme->Enabled = false;
  AnsiString desde = MesDiaAnio(EdFechaInicio->Text), hasta = MesDiaAnio(EdFechaFinal->Text);
  AnsiString sql;
  // La consulta sale de lo escogido en los dos grupos, no de qué controles se ven.
  bool porCuentas = RG1->ItemIndex == 1;
  if (porCuentas && RG2->ItemIndex == 1) {
    // Un extremo vacío no limita el intervalo.
    AnsiString rango;
    if (!AnsiString(EdICuenta->Text).IsEmpty()) rango += "m.NumeCuen>=" + TextoSQL(EdICuenta->Text) + " and ";
    if (!AnsiString(EdICuenta2->Text).IsEmpty()) rango += "m.NumeCuen<=" + TextoSQL(EdICuenta2->Text) + " and ";
    sql = "select m.descdocu,m.numedocu,m.fecha,m.cedulanit,t.nombre,m.numecuen,p.nombCuen, m.desccomp, "
          "m.numecomp,m.debito,m.credito,m.detalle from mvt as m left join pl as p on m.numecuen=p.numecuen "
          "left join tc as t on m.cedulanit=t.cedulanit where " +
          rango + "m.Fecha>='" + desde + "' and m.Fecha<='" + hasta + "' order by m.NumeCuen";
  } else {
    // La concatenación deja fuera el índice de la cuenta: las líneas del periodo salen del índice de la fecha
    // en vez de recorrer el plan entero buscando cada cuenta.
    AnsiString tipo;
    if (!porCuentas && CBDocumentos->ItemIndex > 0)
      tipo = "DescDocu=" + TextoSQL(CodigoDeItem(CBDocumentos->Text).SubString(1, 39)) + " and ";
    sql = "select descdocu,numedocu,fecha,cedulanit,nombre,numecuen,nombCuen, desccomp, numecomp,debito,"
          "credito,detalle from mvt a, pl b, tc c where a.numeCuen||''=b.numeCuen and " +
          tipo + "Fecha>=\"" + desde + "\" and Fecha<=\"" + hasta +
          "\" and (a.cedulanit=c.cedulanit or a.cedulanit is null and c.cedulanit is null) order by " +
          (porCuentas ? "NumeCuen" : "DescDocu, NumeDocu, Fecha");
  }
  HagaSQL("Contabilidad", Query1, sql);

  TStringList campos;
  for (const char* c : {"descdocu", "numedocu", "fecha", "cedulanit", "numecuen", "nombcuen", "desccomp",
                        "numecomp", "debito", "credito", "detalle"})
    campos.Add(c);
  DBToCSV(Query1, "movimiento.csv", &campos);

  bool hay = !Query1->IsEmpty();
  if (hay) {
    BtnInforme->Enabled = true;
    DBGrid1->Columns->RebuildDefault();
    if (DBGrid1->Columns->Count() > 9) {
      DBGrid1->Columns->Items[8]->Width = 100;
      DBGrid1->Columns->Items[9]->Width = 100;
    }
  }
  DBGrid1->Visible = hay;
  LblResultado->Visible = !hay;
  LblNCuenta->Visible = !hay;
  LblNCuenta2->Visible = !hay;
}

void TFrmMovimientos::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column) {
  if ((DataCol != 9 && DataCol != 10) || !Column->Field()) return;
  TField* f = Column->Field();
  DibujarMonto(DBGrid1, Rect, f->IsNull ? AnsiString() : AnsiString(Punto(f->AsFloat, 2)));
}

void TFrmMovimientos::BtnInformeClick(TObject*) {
  FrmRepMovComp = new TFrmRepMovComp(this);
  std::unique_ptr<TFrmRepMovComp> r(FrmRepMovComp);
  r->Report->Preview();
  FrmRepMovComp = nullptr;
}

TFrmRepMovComp::TFrmRepMovComp(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRepMovComp";
  TDataSource* ds = FrmMovimientos ? FrmMovimientos->DSQuery1 : nullptr;
  Report = Make<TQuickRep>(this, "Report");
  Report->DataSource = ds;
  Report->Page->PaperSize = qrpLetter;
  Report->Page->Orientation = poLandscape;
  Report->ReportTitle = "Movimiento contable";

  int x[] = {4, 40, 110, 180, 265, 420, 490, 640, 672, 745, 845};
  int w[] = {34, 68, 68, 83, 153, 68, 148, 30, 70, 98, 98};
  TQRCustomBand* titulo = NuevaBanda(this, Report, rbTitle, 70);
  QRLabel11 = NuevaEtiqueta(this, titulo, "QRLabel11", EmpresaConNit("        NIT: ", "Nit"), 4, 2, 0, false, true);
  NuevaEtiqueta(this, titulo, "QRLabel1", "Movimiento contable", 400, 22, 0, false, true);
  const char* tit[] = {"Comp.", "Numero", "Fecha", "Cédula o NIT", "Nombre", "Cuenta", "", "Sop.", "Num Sop.",
                       "Debito", "Crédito"};
  for (int i = 0; i < 11; ++i)
    if (*tit[i]) NuevaEtiqueta(this, titulo, "", tit[i], x[i], 50, i >= 9 ? w[i] : 0, i >= 9, true);
  TQRCustomBand* det = NuevaBanda(this, Report, rbDetail, 16);
  const char* campos[] = {"DescDocu", "NumeDocu", "Fecha", "CedulaNit", "Nombre", "NumeCuen", "NombCuen",
                          "DescComp", "NumeComp", "Debito", "Credito"};
  for (int i = 0; i < 11; ++i) {
    TQRDBText* t = NuevoCampo(this, det, "", ds, campos[i], x[i], 1, w[i], i >= 9);
    if (i >= 9) t->OnPrint = [this](TObject* s, AnsiString& v) { DebitoPrint(s, v); };
  }
  TQRCustomBand* sum = NuevaBanda(this, Report, rbSummary, 24);
  NuevaEtiqueta(this, sum, "QRLabel20", "TOTALES:", 640, 4, 0, false, true);
  for (int i = 9; i < 11; ++i) {
    auto* s = new TQRExpr(this);
    s->Expression = AnsiString("SUM(") + campos[i] + ")";
    s->Left = x[i];
    s->Top = 4;
    s->AutoSize = false;
    s->Width = w[i];
    s->Alignment = taRightJustify;
    s->Font->Style = TFontStyles{fsBold};
    s->OnPrint = [this](TObject* o, AnsiString& v) { DebitoPrint(o, v); };
    s->Parent = sum;
  }
}

void TFrmRepMovComp::DebitoPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }
