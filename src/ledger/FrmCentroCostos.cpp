#include "ledger/FrmCentroCostos.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TFrmCentroCostos* FrmCentroCostos = nullptr;

namespace {
AnsiString EntreComillas(const AnsiString& s) { return "\"" + s + "\""; }
}  // namespace

TFrmCentroCostos::TFrmCentroCostos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCentroCostos";
  Caption = "Centro de Costos";
  WindowState = wsMaximized;
  Position = poScreenCenter;
  ClientWidth = 800;
  ClientHeight = 520;

  auto* Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 110;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Centro de costos:";
  CBCCostos = Make<TComboBox>(Panel1, "CBCCostos");
  CBCCostos->Style = csDropDownList;
  CBCCostos->Width = 300;
  Label1->FocusControl = CBCCostos;
  GroupBox1 = Make<TGroupBox>(Panel1, "GroupBox1");
  GroupBox1->Caption = "Fechas: ";
  Label2 = Make<TLabel>(GroupBox1, "Label2");
  Label2->Caption = "Desde:";
  EdFechaInicio = Make<TMaskEdit>(GroupBox1, "EdFechaInicio");
  EdFechaInicio->EditMask = "!99/99/0000;1; ";
  BtnFechaDesde = Make<TBitBtn>(GroupBox1, "BtnFechaDesde");
  BtnFechaDesde->Caption = "...";
  Label3 = Make<TLabel>(GroupBox1, "Label3");
  Label3->Caption = "Hasta:";
  EdFechaFinal = Make<TMaskEdit>(GroupBox1, "EdFechaFinal");
  EdFechaFinal->EditMask = "!99/99/0000;1; ";
  BtnFechaHasta = Make<TBitBtn>(GroupBox1, "BtnFechaHasta");
  BtnFechaHasta->Caption = "...";
  Label2->FocusControl = EdFechaInicio;
  Label3->FocusControl = EdFechaFinal;
  BtnAceptar = Make<TBitBtn>(Panel1, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn4 = Make<TBitBtn>(Panel1, "BitBtn4");
  BitBtn4->Kind = bkCancel;
  BitBtn4->Caption = "Cancelar";

  auto* Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 30;
  LblNTotal = Make<TLabel>(Panel2, "LblNTotal");
  LblNTotal->Caption = "Total Comprobantes";
  LblNTotal->Visible = false;
  LblTotal = Make<TLabel>(Panel2, "LblTotal");
  LblTotal->Caption = "";
  LblTotal->Alignment = taRightJustify;
  LblTotal->AutoSize = false;
  LblTotal->Width = 160;
  LblTotal->Visible = false;
  LblResult = Make<TLabel>(this, "LblResult");
  LblResult->Caption = "No hay informacion para mostrar aun";
  LblResult->Align = alTop;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->Visible = false;
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");

  BtnFechaDesde->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BtnFechaHasta->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, dc, c, st);
  };

  CBCCostos->Items->Add("Todos");
  FillCBFromTbl(CBCCostos, DM->TblCCostos, "CodiCent", "NombCent");
  CBCCostos->ItemIndex = 0;
  EdFechaInicio->Text = FechasInf.GFechaInicial;
  EdFechaFinal->Text = FechasInf.GFechaFinal;
}

void TFrmCentroCostos::BtnFechaDesdeClick(TObject* Sender) {
  auto* cal = new TFrmCalendar(this);
  try {
    cal->year = static_cast<unsigned short>(anioGlobal);
    cal->ShowModal();
    cal->GetDateAsString(Sender == BtnFechaDesde ? EdFechaInicio : EdFechaFinal);
  } catch (...) {
    delete cal;
    throw;
  }
  delete cal;
}

void TFrmCentroCostos::BtnAceptarClick(TObject*) {
  AnsiString desde = EdFechaInicio->Text, hasta = EdFechaFinal->Text;
  // Una fecha mala se compararía como texto y daría un informe errado: no se consulta.
  AnsiString msg;
  if (!validarFechas(desde, hasta, msg)) {
    ShowMessage("Debe Corregir \n" + msg);
    return;
  }
  LblResult->Visible = true;
  DBGrid1->DataSource = nullptr;
  DBGrid1->Visible = false;
  bool todos = CBCCostos->ItemIndex <= 0;
  AnsiString texto = CBCCostos->Text;
  int p = texto.Pos(":");
  AnsiString codigo = p > 0 ? texto.SubString(1, p - 1) : texto;
  AnsiString fechas = " and Fecha>=" + EntreComillas(MesDiaAnio(desde)) +
                      " and Fecha<=" + EntreComillas(MesDiaAnio(hasta));
  AnsiString sql;
  if (!todos)
    sql = "select mvt.Centcost, mvt.DescDocu, mvt.NumeDocu,mvt.numecuen,  pl.nombcuen,"
          "Sum(mvt.Debito) as Total from mvt,pl where CentCost=" + TextoSQL(codigo) + fechas +
          " and pl.numecuen=mvt.numecuen  group by CentCost,DescDocu,NumeDocu,numecuen, nombcuen";
  else
    sql = "select mvt.CentCost, mvt.DescDocu, mvt.NumeDocu, mvt.numecuen, pl.nombcuen,"
          "Sum(mvt.Debito) as Total from mvt,pl where Centcost is not null" + fechas +
          " and mvt.numecuen=pl.numecuen group by CentCost,DescDocu,numeDocu,numecuen,nombcuen";
  HagaSQL("Contabilidad", Query1, sql);
  Query1->Open();
  if (Query1->IsEmpty()) return;
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;
  DBGrid1->Visible = true;
  LblResult->Visible = false;
  auto titulo = [this](int i, const char* t) {
    if (i < DBGrid1->Columns->Count()) DBGrid1->Columns->Items[i]->Title->Caption = t;
  };
  titulo(0, "Centro de Costos");
  titulo(1, "Comprobante");
  if (todos) {
    titulo(3, "Cuenta");
  } else {
    titulo(2, "Numero");
    titulo(5, "Valor");
  }
  AnsiString total = !todos ? "select Sum(Debito) as Total          from mvt where CentCost=" +
                                  TextoSQL(codigo) + fechas
                            : "select Sum(Debito) as Total          from mvt where Centcost is not null "
                              "        " + fechas + " ";
  HagaSQL("Contabilidad", Query2, total);
  Query2->Open();
  LblTotal->Caption = Punto(Query2->FieldByName("Total")->AsFloat, 2);
  LblTotal->Visible = true;
  LblNTotal->Visible = true;
}

void TFrmCentroCostos::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol,
                                             TColumn* Column, TGridDrawState) {
  if (DataCol != 5 || !Column->Field()) return;
  TCanvas* c = DBGrid1->Canvas.get();
  AnsiString s = Column->Field()->IsNull ? AnsiString() : AnsiString(Punto(Column->Field()->AsFloat, 2));
  c->FillRect(Rect);
  c->TextOut(Rect.Right - c->TextWidth(s) - 2, Rect.Top + 2, s);
}
