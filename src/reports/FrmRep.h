#pragma once
// Impreso del balance general, del estado de resultados y del caja diario por cuentas.
#include "platform/forms/Forms.h"
#include "platform/report/QuickRpt.h"

class TDataSource;
class TQuery;

class TFrmRep : public TForm {
 public:
  explicit TFrmRep(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRep"; }

  TQuickRep* QuickReport1;
  TDataSource* DataSource1;
  TQuery* Query1;
  TQRBand* QRBandMargen;  // espacio del margen superior
  TQRBand* QRBand6;
  TQRImage* Image1;
  TQRLabel* QRLabel10;
  TQRBand* QRBand1;
  TQRLabel* LblTitulo;
  TQRLabel* QRLabel4;
  TQRSysData* QRSysData1;
  TQRLabel* LCodigo;
  TQRLabel* LCuenta;
  TQRLabel* LSDebito;
  TQRLabel* LSCredito;
  TQRLabel* LDebito;
  TQRLabel* LCredito;
  TQRLabel* LNDebito;
  TQRLabel* LNCredito;
  TQRBand* QRBand2;
  TQRDBText* QRDBText1;
  TQRDBText* QRDBText2;
  TQRDBText* TSDebito;
  TQRDBText* TSCredito;
  TQRDBText* TDebito;
  TQRDBText* TCredito;
  TQRDBText* TNDebito;
  TQRDBText* TNCredito;
  TQRBand* QRBand4;
  TQRLabel* Ind;
  TQRLabel* Act;
  TQRLabel* QRLabel5;
  TQRLabel* Pas;
  TQRLabel* QRLabel6;
  TQRLabel* Pat;
  TQRDBCalc* QRDBCalc1;
  TQRDBCalc* QRDBCalc2;
  TQRLabel* Q1;
  TQRLabel* Q2;
  TQRLabel* Q3;
  TQRLabel* N1;
  TQRLabel* N2;
  TQRLabel* N3;
  TQRBand* QRBand3;

  AnsiString FInicial;  // periodo "dd/MM/yyyy" para la etiqueta del mes
  AnsiString FFinal;
  bool BalGeneral = false;

  void QRLabel4Print(TObject* Sender, AnsiString& Value);
  void QuickReport1BeforePrint(TQuickRep* Sender, bool& PrintReport);
};

extern TFrmRep* FrmRep;
