#pragma once
// Libro auxiliar: líneas del periodo con la cuenta cortada a seis caracteres, en pantalla,
// impresas y exportadas.
#include "reports/ConsultasComun.h"

class TEdit;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TSaveDialog;

class TfrmLibroAuxiliar : public TFrmConPeriodo {
 public:
  explicit TfrmLibroAuxiliar(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmLibroAuxiliar"; }

  TPanel* PnlFiltro;
  TLabel* Label1;
  TEdit* EdICuenta;
  TSpeedButton* BtnCuenta1;
  TLabel* LblNCuenta;
  TLabel* Label2;
  TEdit* EdICuenta2;
  TSpeedButton* BtnCuenta2;
  TLabel* LblNCuenta2;
  TLabel* LblResultado;
  TDBGrid* DBGrid1;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;
  TBitBtn* btnExportar;
  TSaveDialog* SaveDialog1;
  TQuery* Query1;
  TDataSource* DSQuery1;

  void BtnAceptarClick(TObject* Sender);
  void BtnCuenta1Click(TObject* Sender);
  void btnExportarClick(TObject* Sender);
};

class TQuickRep;

class TfrmRptLibroAuxiliar : public TForm {
 public:
  explicit TfrmRptLibroAuxiliar(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptLibroAuxiliar"; }
  TQuickRep* QuickRep1;
};

extern TfrmLibroAuxiliar* frmLibroAuxiliar;
extern TfrmRptLibroAuxiliar* frmRptLibroAuxiliar;
