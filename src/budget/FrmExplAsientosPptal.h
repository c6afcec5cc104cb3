#pragma once
// Exploradores de movimientos presupuestales: los encabezados (borrar uno, exportar todos
// los renglones a CSV) y los renglones de un movimiento.
#include "platform/forms/Forms.h"

class TLabel;
class TPanel;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TQuery;
class TSaveDialog;

class TfrmExplAsientosPptal : public TForm {
 public:
  explicit TfrmExplAsientosPptal(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmExplAsientosPptal"; }

  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
  TPanel* Panel1;
  TLabel* Label1;
  TBitBtn* btnBorrar;
  TBitBtn* btnExportar;
  TSaveDialog* SaveDialog1;
  TQuery* Query1;

  void DBGrid1DblClick(TObject* Sender);
  void btnBorrarClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);

 private:
  // La versión del movimiento elegido, leída al mostrarse su fila.
  long long version_ = 0;
  void LeerVersion();
};

class TfrmExplMvtPptal : public TForm {
 public:
  explicit TfrmExplMvtPptal(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmExplMvtPptal"; }

  TDBGrid* dbgMvtPpal;
  TDataSource* DataSource1;
  TQuery* Query1;
};

extern TfrmExplAsientosPptal* frmExplAsientosPptal;
extern TfrmExplMvtPptal* frmExplMvtPptal;
