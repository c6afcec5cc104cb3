#pragma once
// Auxiliares del presupuesto: renglones de movimiento de uno o varios rubros (patrón LIKE)
// en un periodo, montos de certificados, disponible y totales.
#include "reports/ConsultasComun.h"

class TEdit;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TSaveDialog;

class TfrmAuxiliaresPpto : public TFrmConPeriodo {
 public:
  explicit TfrmAuxiliaresPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmAuxiliaresPpto"; }

  TPanel* PnlFiltro;
  TLabel* Label1;
  TEdit* EdICuenta;
  TBitBtn* BitBtn1;
  TLabel* LblNCuenta;
  TLabel* Label5;
  TLabel* Label7;
  TLabel* Label8;
  TLabel* Label9;
  TLabel* Label6;
  TLabel* LblMesCad;
  TDBGrid* DBGrid1;
  TPanel* PnlTotales;
  TLabel* lblTotalEjecutado;
  TLabel* lblReintegrado;
  TLabel* lblTotalMovido;
  TDBGrid* DBGrid2;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;
  TBitBtn* btnExportar;
  TSaveDialog* SaveDialog1;
  TQuery* Query1;
  TQuery* Query2;
  TQuery* queryGral;
  TDataSource* DSQuery1;
  TDataSource* DSQuery2;

  void BitBtn1Click(TObject* Sender);
  void EdICuentaExit(TObject* Sender);
  void EdICuentaKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void BtnAceptarClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);

 private:
  double Suma(const AnsiString& aSQL);
};

extern TfrmAuxiliaresPpto* frmAuxiliaresPpto;
