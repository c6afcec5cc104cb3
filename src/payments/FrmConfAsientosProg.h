#pragma once
// Plantillas de los asientos programados: cada una, un tipo de documento y sus cuentas con su
// naturaleza (y un rubro de ingresos opcional); de ellas se arman los comprobantes programados
// y las órdenes de pago.
#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"

class TDBGrid;
class TDataSource;
class TLabel;
class TBitBtn;
class TQuery;
class TField;
class TColumn;

class TfrmConfAsientosProg : public TForm {
 public:
  explicit TfrmConfAsientosProg(TComponent* Owner);
  ~TfrmConfAsientosProg() override;
  AnsiString ClassName() const override { return "TfrmConfAsientosProg"; }

  TDataSource* dsAsientosProgCfg;
  TDataSource* dsAsientosProg;
  TDBGrid* DBGrid2;
  TLabel* Label3;
  TLabel* Label2;
  TDBGrid* DBGrid1;
  TLabel* Label1;
  TBitBtn* btnAgregarComp;
  TBitBtn* btnBorrar;
  TBitBtn* btnEscCuenta;
  TBitBtn* btnAddCta;
  TBitBtn* btnBorrarCuenta;
  TBitBtn* btnGrabar;
  TBitBtn* BitBtn1;
  TQuery* Query1;

  int iAstoProg = 0;
  AnsiString descDocu;
  AnsiString filtro;

  bool validar();
  void btnAgregarCompClick(TObject* Sender);
  void btnEscCuentaClick(TObject* Sender);
  void btnBorrarCuentaClick(TObject* Sender);
  void btnBorrarClick(TObject* Sender);
  void btnGrabarClick(TObject* Sender);
  void DBGrid1EditButtonClick(TObject* Sender);
  void dsAsientosProgCfgDataChange(TObject* Sender, TField* Field);
  void dsAsientosProgUpdateData(TObject* Sender);
  void dsAsientosProgDataChange(TObject* Sender, TField* Field);
  void DBGrid2DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void GridKeyDown(TDBGrid* Grid, Word& Key, TShiftState Shift);

 private:
  void Filtrar();
};

extern TfrmConfAsientosProg* frmConfAsientosProg;
