#pragma once
// Ver e imprimir un documento contable: escoge el tipo y el número, arma el comprobante que
// le corresponde, abre su vista previa y lista los documentos del tipo.
#include "platform/forms/Forms.h"

class TLabel;
class TComboBox;
class TEdit;
class TGroupBox;
class TBitBtn;
class TQuery;
class TDataSource;
class TDBGrid;

class TFrmVerImp : public TForm {
 public:
  explicit TFrmVerImp(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmVerImp"; }

  TLabel* Label1;
  TComboBox* CBDocumentos;
  TLabel* Label2;
  TEdit* edNumeDocu;
  TGroupBox* GroupBox1;
  TLabel* Label3;
  TEdit* edMargen;
  TBitBtn* btnImprimir;
  TBitBtn* btnVerUnoGrid;
  TBitBtn* BitBtn2;
  TDBGrid* DBGrid1;
  TQuery* Query1;
  TQuery* Query2;
  TDataSource* DataSource1;

  void btnImprimirClick(TObject* Sender);
  void btnVerUnoGridClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TFrmVerImp* FrmVerImp;
