#include "app/FrmSelContab.h"

#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"

TFrmSelContab* FrmSelContab = nullptr;
void (*AbrirEditorContabs)(TComponent* Owner) = nullptr;

TFrmSelContab::TFrmSelContab(TComponent* Owner) : TForm(Owner) {
  Name = "FrmSelContab";
  Caption = "Bienvenido a Tallivar versión para Zidudodi Vazidazo";
  BorderStyle = bsDialog;
  BorderIcons = {};
  Position = poScreenCenter;
  ClientWidth = 420;
  ClientHeight = 300;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Seleccione una contabilidad";
  Label1->Font->Size = 10;
  Label1->Font->Style = {fsBold};
  Label1->SetBounds(12, 10, 396, 20);
  tblContabs = Make<TTable>(this, "tblContabs");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = tblContabs;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->SetBounds(12, 36, 396, 212);
  DBGrid1->DataSource = DataSource1;
  DBGrid1->ReadOnly = true;
  DBGrid1->Options = TDBGridOptions{dgTitles, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection};
  TColumn* c = DBGrid1->Columns->Add();
  c->FieldName = "NContabilidad";
  c->Title->Caption = "Contabilidad";
  c->ReadOnly = true;
  c->Width = 260;
  c = DBGrid1->Columns->Add();
  c->FieldName = "Anio";
  c->Title->Caption = "Año";
  c->ReadOnly = true;
  c->Width = 80;
  BtnAbrir = Make<TBitBtn>(this, "BtnAbrir");
  BtnAbrir->Caption = "&Aceptar";
  BtnAbrir->Default = true;
  BtnAbrir->SetBounds(112, 260, 90, 28);
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Caption = "Salir";
  BitBtn2->Cancel = true;
  BitBtn2->SetBounds(218, 260, 90, 28);

  BtnAbrir->OnClick = [this](TObject* s) { BtnAbrirClick(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnCloseQuery = [this](TObject*, bool& puede) { puede = salida_; };
  ActiveControl = DBGrid1;

  abortar = false;
  tblContabs->DatabaseName = PathOrigen;
  tblContabs->TableName = "contabs.db";
  tblContabs->Filter = "Activa='S'";
  tblContabs->Filtered = true;
  tblContabs->Open();
}

void TFrmSelContab::BtnAbrirClick(TObject*) {
  Path = tblContabs->IsEmpty() ? AnsiString()
                               : RutaDelPrograma(tblContabs->FieldByName("rutaContabilidad")->AsString);
  if (!Path.IsEmpty() && DirectoryExists(Path)) {
    NContabilidad = tblContabs->FieldByName("NContabilidad")->AsString;
    anio = static_cast<unsigned short>(tblContabs->FieldByName("anio")->AsInteger);
    anioGlobal = anio;
    salida_ = true;
    ModalResult = mrOk;
    return;
  }
  ShowMessage("Hay un problema con la ruta de las tablas. Por favor corrijalas.");
  if (AbrirEditorContabs) AbrirEditorContabs(this);
  tblContabs->Refresh();
}

void TFrmSelContab::BitBtn2Click(TObject*) {
  abortar = true;
  Path = "_mal_";
  salida_ = true;
  Application->Terminate();
  Close();
}

void TFrmSelContab::FormClose(TObject*, TCloseAction&) { tblContabs->Close(); }
