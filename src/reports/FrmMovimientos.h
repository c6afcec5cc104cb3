#pragma once
// Listado de movimientos del periodo por documentos o por cuentas, con su archivo
// "movimiento.csv" y su impreso.
#include "reports/ConsultasComun.h"

class TEdit;
class TComboBox;
class TRadioGroup;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TQuickRep;

class TFrmMovimientos : public TFrmConPeriodo {
 public:
  explicit TFrmMovimientos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmMovimientos"; }

  TPanel* PnlFiltro;
  TRadioGroup* RG1;
  TComboBox* CBDocumentos;
  TRadioGroup* RG2;
  TGroupBox* GBCuentas;
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
  TBitBtn* BtnInforme;
  TQuery* Query1;
  TDataSource* DSQuery1;

  void BtnCuenta1Click(TObject* Sender);
  void RG1Click(TObject* Sender);
  void RG2Click(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column);
};

class TFrmRepMovComp : public TForm {
 public:
  explicit TFrmRepMovComp(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepMovComp"; }
  TQuickRep* Report;
  TQRLabel* QRLabel11;
  void DebitoPrint(TObject* Sender, AnsiString& Value);
};

extern TFrmMovimientos* FrmMovimientos;
extern TFrmRepMovComp* FrmRepMovComp;
