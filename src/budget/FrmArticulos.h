#pragma once
// Artículos de las órdenes de suministro y la ventana de renglones de una orden.
#include <cstdint>

#include "platform/forms/Forms.h"

class TDBGrid;
class TDBNavigator;
class TDataSource;
class TQuery;

class TfrmArticulos : public TForm {
 public:
  explicit TfrmArticulos(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmArticulos"; }
  TDBNavigator* DBNavigator1;
  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
};

class TfrmOrdenSumDlle : public TForm {
 public:
  explicit TfrmOrdenSumDlle(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmOrdenSumDlle"; }
  std::int64_t iOrdenSuministro = 0;  // 0: todos los renglones
  TDBGrid* DBGrid1;
  TQuery* Query1;
  TDataSource* DataSource1;
  void FormActivate(TObject* Sender);
};

extern TfrmArticulos* frmArticulos;
extern TfrmOrdenSumDlle* frmOrdenSumDlle;
