#pragma once
// Orden de suministro: encabezado y renglones de artículos contra un registro presupuestal.
// Los renglones se editan en una tabla de trabajo propia del formulario.
#include <cstdint>

#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TMaskEdit;
class TBitBtn;
class TSpeedButton;
class TButton;
class TDBGrid;
class TDBNavigator;
class TDataSource;
class TTable;
class TQuery;

class TfrmOrdenSuministro : public TForm {
 public:
  explicit TfrmOrdenSuministro(TComponent* Owner);
  ~TfrmOrdenSuministro() override;
  AnsiString ClassName() const override { return "TfrmOrdenSuministro"; }

  TLabel* Label1;
  TEdit* edIordenSuministro;
  TBitBtn* BitBtn6;
  TLabel* Label2;
  TMaskEdit* edFecha;
  TSpeedButton* BtnFecha;
  TLabel* Label3;
  TEdit* edItercero;
  TBitBtn* BitBtn3;
  TButton* btnNuevo;
  TLabel* lblNtercero;
  TLabel* Label4;
  TEdit* edDetalle;
  TLabel* Label5;
  TLabel* lblTotal;
  TBitBtn* BitBtn1;
  TButton* btnNuevoArt;
  TLabel* lblNarticulo;
  TDBNavigator* DBNavigator1;
  TDBGrid* DBGrid2;
  TButton* btnGrabar;
  TButton* btnCancelar;
  TButton* btnExplorar;
  TButton* btnImprimir;
  TTable* tblTemp;
  TDataSource* dsTemp;
  TQuery* Query1;

  AnsiString tmpName;  // tabla de trabajo de los renglones
  double total = 0;
  int qItems = 0;
  std::int64_t regPptal = 0;  // número del registro al que pertenece (0 ninguno)
  bool grabado = false;  // quien abrió toma número y fecha solo después de grabar
  void setNuevo(bool aNuevo) { nuevo = aNuevo; }
  bool getNuevo() const { return nuevo; }

  bool validar();
  AnsiString ErroresRenglones();
  void edIordenSuministroExit(TObject* Sender);
  void traerDetalle();
  void btnGrabarClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);

 private:
  void Totalizar();
  void refresque();
  bool nuevo = true;
  double cargada_ = 0;  // número de la orden cargada (0 ninguna)
  long long versionTraida_ = 0;
  std::int64_t irpTraido_ = 0;  // registro que tenía la orden cargada
};

extern TfrmOrdenSuministro* frmOrdenSuministro;
