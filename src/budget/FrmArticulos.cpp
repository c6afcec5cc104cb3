#include "budget/FrmArticulos.h"

#include <string>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "shared/general/SqlUtil.h"

TfrmArticulos* frmArticulos = nullptr;
TfrmOrdenSumDlle* frmOrdenSumDlle = nullptr;

TfrmArticulos::TfrmArticulos(TComponent* Owner) : TForm(Owner) {
  Name = "frmArticulos";
  Caption = "Articulos";
  Position = poScreenCenter;
  Width = 560;
  Height = 440;
  DBNavigator1 = Make<TDBNavigator>(this, "DBNavigator1");
  DBNavigator1->Align = alTop;
  DBNavigator1->Height = 30;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  TTable* t = DM->tblArticulos;
  if (!t->Active) t->Open();
  DataSource1->DataSet = t;
  DBGrid1->DataSource = DataSource1;
  DBNavigator1->DataSource = DataSource1;
}

TfrmOrdenSumDlle::TfrmOrdenSumDlle(TComponent* Owner) : TForm(Owner) {
  Name = "frmOrdenSumDlle";
  Caption = "Detalle de la orden de suministro";
  Position = poScreenCenter;
  Width = 560;
  Height = 360;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  Query1 = Make<TQuery>(this, "Query1");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  DBGrid1->DataSource = DataSource1;
  OnActivate = [this](TObject* s) { FormActivate(s); };
}

void TfrmOrdenSumDlle::FormActivate(TObject*) {
  AnsiString sql = "select * from mvtOrdenSuministro";
  if (iOrdenSuministro != 0) sql += AnsiString(" where iOrdenSuministro=") + std::to_string(iOrdenSuministro).c_str();
  HagaSQL("Contabilidad", Query1, sql, true);
}
