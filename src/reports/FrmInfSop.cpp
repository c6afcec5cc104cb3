#include "reports/FrmInfSop.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/FrmRepInfComp.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmInfSop* FrmInfSop = nullptr;

TFrmInfSop::TFrmInfSop(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "FrmInfSop";
  Caption = "Consulta de Comprobantes";
  Position = poScreenCenter;
  Width = 760;
  Height = 560;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  Label3 = Make<TLabel>(PnlFiltro, "Label3");
  Label3->Caption = "Tipo de comprobante:";
  CBDocumentos = Make<TComboBox>(PnlFiltro, "CBDocumentos");
  CBDocumentos->Style = csDropDownList;
  CBDocumentos->Sorted = true;
  Label3->FocusControl = CBDocumentos;
  CrearPeriodo(PnlFiltro);
  LblResult = Make<TLabel>(PnlFiltro, "LblResult");
  LblResult->Caption = "";
  LblResult->Font->Color = clRed;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->Visible = false;

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  LblNTotal = Make<TLabel>(PnlBotones, "LblNTotal");
  LblNTotal->Caption = "Total Comprobantes";
  LblNTotal->Visible = false;
  LblTotal = Make<TLabel>(PnlBotones, "LblTotal");
  LblTotal->Caption = "";
  LblTotal->Visible = false;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn4 = Make<TBitBtn>(PnlBotones, "BitBtn4");
  BitBtn4->Kind = bkCancel;
  BitBtn4->Caption = "&Cancelar";
  BtnInforme = Make<TBitBtn>(PnlBotones, "BtnInforme");
  BtnInforme->Caption = "&Informe";
  BtnInforme->Enabled = false;
  SpeedButton1 = Make<TSpeedButton>(PnlBotones, "SpeedButton1");
  SpeedButton1->Caption = "?";
  SpeedButton1->Hint = "Ayuda";
  StatusBar = Make<TStatusBar>(this, "StatusBar");
  StatusBar->Align = alBottom;
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState) {
    DBGrid1DrawColumnCell(s, r, c, col);
  };
  EdFechaInicio->OnKeyDown = [this](TObject* s, Word& k, TShiftState) { EdFechaInicioKeyDown(s, k); };
  EdFechaFinal->OnKeyDown = [this](TObject* s, Word& k, TShiftState) { EdFechaInicioKeyDown(s, k); };
  DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState) { DBGrid1KeyDown(s, k); };
  CBDocumentos->OnEnter = [this](TObject* s) { CBDocumentosEnter(s); };
  EdFechaInicio->OnMouseMove = [this](TObject*, TShiftState, int, int) {
    StatusBar->SimpleText = "Ingrese la fecha inicial o de click en el boton de al lado";
  };
  EdFechaFinal->OnMouseMove = [this](TObject*, TShiftState, int, int) {
    StatusBar->SimpleText = "Ingrese la fecha final o de click en el boton de al lado";
  };
  LblTotal->OnMouseMove = [this](TObject*, TShiftState, int, int) {
    StatusBar->SimpleText = "Valor total de los comprobantes mostrados";
  };

  CBDocumentos->Items->Add(" Todos");
  try {
    FillCBFromTbl(CBDocumentos, DM->TblSoportes, "CodiComp", "NombComp");
  } catch (MyException& e) {
    ShowMessage(e.Mensaje());
  }
  CBDocumentos->ItemIndex = 0;
}

void TFrmInfSop::BtnAceptarClick(TObject*) {
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, "", "", "", false, false, false))
    return;
  LblTotal->Visible = false;
  LblNTotal->Visible = false;
  BtnInforme->Enabled = false;
  DSQuery1->DataSet = nullptr;
  DBGrid1->DataSource = nullptr;
  DBGrid1->Visible = false;

  AnsiString inicio = MesDiaAnio(EdFechaInicio->Text);
  AnsiString fin = MesDiaAnio(EdFechaFinal->Text);
  AnsiString tipo;
  if (CBDocumentos->ItemIndex > 0)
    tipo = "DescComp=" + TextoSQL(CodigoDeItem(CBDocumentos->Text)) + " and ";
  AnsiString periodo = "Fecha>=\"" + inicio + "\" and Fecha<=\"" + fin + "\"";
  HagaSQL("Contabilidad", Query1,
          "select Fecha, DescComp , NumeComp , Sum(Debito) as Total from mvt where " + tipo +
              periodo + " group by Fecha,DescComp , NumeComp");
  // Solo un resultado sin filas está vacío: un primer soporte sin débitos no oculta los demás.
  if (Query1->IsEmpty()) {
    LblResult->Caption = "No hay información para mostrar";
    return;
  }
  LblResult->Caption = "";
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;
  BtnInforme->Enabled = true;
  DBGrid1->Visible = true;
  DBGrid1->Columns->Clear();
  const char* campos[] = {"Fecha", "DescComp", "NumeComp", "Total"};
  const char* titulos[] = {"Fecha", "Sop", "NumS", "Valor"};
  for (int i = 0; i < 4; ++i) {
    TColumn* c = DBGrid1->Columns->Add();
    c->FieldName = campos[i];
    c->Title->Caption = titulos[i];
  }

  HagaSQL("Contabilidad", Query2, "select Sum(Debito) as Total from mvt where " + tipo + periodo);
  LblTotal->Caption = Punto(Query2->FieldByName("Total")->AsFloat, 2);
  LblTotal->Visible = true;
  LblNTotal->Visible = true;
}

void TFrmInfSop::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column) {
  if (DataCol != 3 || !Column->Field()) return;
  TField* f = Column->Field();
  DibujarMonto(DBGrid1, Rect, f->IsNull ? AnsiString() : AnsiString(Punto(f->AsFloat, 2)));
}

void TFrmInfSop::BtnInformeClick(TObject*) {
  FrmRepInfComp = new TFrmRepInfComp(this, 1);
  std::unique_ptr<TFrmRepInfComp> f(FrmRepInfComp);
  f->ICuenta->Caption = "Tipo de Comprobante";
  f->NCuenta->Caption = CBDocumentos->Text;
  f->FInicio->Caption = EdFechaInicio->Text;
  f->FFinal->Caption = EdFechaFinal->Text;
  f->LComprobantes->Caption = LblTotal->Caption;
  f->QuickRep1->Preview();
  FrmRepInfComp = nullptr;
}

void TFrmInfSop::SpeedButton1Click(TObject*) { AbrirPaginaAyuda("inf_soportes.htm"); }

void TFrmInfSop::EdFechaInicioKeyDown(TObject*, Word& Key) {
  if (Key == VK_F1) AbrirPaginaAyuda("inf_soportes.htm");
}

void TFrmInfSop::DBGrid1KeyDown(TObject*, Word& Key) {
  if (Key == VK_F1) AbrirPaginaAyuda("soportes.htm");
}

void TFrmInfSop::CBDocumentosEnter(TObject*) {
  StatusBar->SimpleText = "Seleccione el tipo de comprobante a buscar.";
}
