#pragma once
// Saldo de rubros: disponible de cada rubro de egreso del plan, calculado al abrir en la tabla
// de trabajo saldoRubros y exportable como archivo delimitado.
#include "platform/forms/Forms.h"

class TDBGrid;
class TDataSource;
class TTable;
class TQuery;
class TBitBtn;
class TPanel;
class TSaveDialog;

class TfrmSaldosRubros : public TForm {
 public:
  explicit TfrmSaldosRubros(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmSaldosRubros"; }

  TDBGrid* DBGrid2;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;
  TDataSource* DataSource1;
  TTable* tblSaldoRubros;
  TQuery* Query1;
  TSaveDialog* SaveDialog1;

  void BtnAceptarClick(TObject* Sender);

 private:
  void construir();
};

extern TfrmSaldosRubros* frmSaldosRubros;
