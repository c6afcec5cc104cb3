#pragma once
// Plan de cuentas: edición en la rejilla, cuentas nuevas, borrado, búsqueda, cambio de
// código, rubro presupuestal asociado y exportación a hoja de cálculo.
#include "platform/forms/Forms.h"

class TDBGrid;
class TDataSource;
class TBitBtn;
class TEdit;
class TQuery;
class TTable;
class TField;

class TFrmPlan : public TForm {
 public:
  explicit TFrmPlan(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmPlan"; }

  TDBGrid* DBGrid1;
  TDataSource* DSPlan;
  TBitBtn* BtnNuevo;
  TBitBtn* BtnBorrar;
  TBitBtn* BtnBuscar;
  TBitBtn* BtnCambCodi;
  TEdit* EdNuevCodi;
  TBitBtn* BtnConfirmar;
  TBitBtn* btnExportar;
  TBitBtn* BitBtn1;  // Cerrar
  TQuery* Query1;
  TTable* Table1;

  // Cada uno revisa el valor actual de su campo; el que falla lo deja vacío.
  bool ValidarCantidad();
  bool ValidarCentCost();
  bool ValidarExigTerc();
  bool ValidarNaturaleza();

  void DSPlanDataChange(TObject* Sender, TField* Field);
  void DSPlanUpdateData(TObject* Sender);
  void DBGrid1ColEnter(TObject* Sender);
  void DBGrid1EditButtonClick(TObject* Sender);
  void BtnNuevoClick(TObject* Sender);
  void BtnBorrarClick(TObject* Sender);
  void BtnBuscarClick(TObject* Sender);
  void BtnCambCodiClick(TObject* Sender);
  void BtnConfirmarClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

 private:
  bool Validar(const char* campo, const char* permitidos);
  void MostrarRecodificacion(bool recodificando);
  bool revisando_ = false;
};

extern TFrmPlan* FrmPlan;
