#pragma once
// Plan de rubros presupuestales: lista, nombres en la rejilla, rubro nuevo, borrado,
// búsqueda y cambio de código de un rubro hoja con todas sus referencias.
#include "platform/forms/Forms.h"

class TLabel;
class TPanel;
class TEdit;
class TMaskEdit;
class TButton;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TQuery;
class TRadioGroup;

class TfrmPlanPpto : public TForm {
 public:
  explicit TfrmPlanPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmPlanPpto"; }

  TPanel* Panel1;
  TLabel* Label1;
  TLabel* Label2;
  TDBGrid* DBGrid1;
  TDataSource* DSPlanPpto;
  TPanel* Panel2;
  TButton* BtnNuevo;
  TButton* BtnBorrar;
  TButton* BtnBuscar;
  TButton* BtnCambCodi;
  TEdit* EdNuevCodi;
  TButton* BtnConfirmar;
  TBitBtn* BitBtn1;
  TQuery* Query1;
  TQuery* Query2;

  bool EsCuentaAuxiliar(AnsiString aCuenta, AnsiString aTipoCuenta);
  void BtnNuevoClick(TObject* Sender);
  void BtnBorrarClick(TObject* Sender);
  void BtnBuscarClick(TObject* Sender);
  void BtnCambCodiClick(TObject* Sender);
  void BtnConfirmarClick(TObject* Sender);

 private:
  // Rubro que pasó la prueba de hoja en el primer paso del cambio de código.
  AnsiString tipoProbado_, codigoProbado_;
  void ModoNavegar();
  void CopiarPlan();
};

class TfrmNuevaCuentaPpto : public TForm {
 public:
  explicit TfrmNuevaCuentaPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmNuevaCuentaPpto"; }

  TLabel* Label1;
  TMaskEdit* EdICuenta;
  TLabel* Label2;
  TEdit* EdNombre;
  TRadioGroup* rgTipoCuenta;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  AnsiString tipoCuenta;
  bool Validar();
  void BitBtn1Click(TObject* Sender);
};

extern TfrmPlanPpto* frmPlanPpto;
extern TfrmNuevaCuentaPpto* frmNuevaCuentaPpto;
