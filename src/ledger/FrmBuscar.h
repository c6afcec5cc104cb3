#pragma once
// Búsqueda de líneas del movimiento por número de soporte, por detalle o por valor.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TRadioGroup;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TQuery;

class TfrmBuscar : public TForm {
 public:
  explicit TfrmBuscar(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmBuscar"; }

  TLabel* Label1;
  TEdit* edTexto;
  TRadioGroup* RG;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;
  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
  TQuery* Query1;

  void BitBtn1Click(TObject* Sender);
};

extern TfrmBuscar* frmBuscar;
