#pragma once
// Impreso del balance de prueba: saldos netos antes, movimiento y saldos al final.
#include "platform/forms/Forms.h"
#include "platform/report/QuickRpt.h"

class TDataSource;
class TQuery;

class TFrmRptBalancePrueba : public TForm {
 public:
  explicit TFrmRptBalancePrueba(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRptBalancePrueba"; }

  TQuickRep* QuickReport1;
  TDataSource* DataSource1;
  TQuery* Query1;
  TQRBand* QRBand5;  // espacio del margen superior
  TQRBand* QRBand3;
  TQRImage* Image1;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel33;
  TQRLabel* QRLabel34;
  TQRLabel* QRLabel35;
  TQRLabel* LblTitulo;
  TQRLabel* QRLabel13;
  TQRLabel* LblM1;
  TQRLabel* LblM3;
  TQRLabel* LSDebito;
  TQRLabel* LDebito;
  TQRLabel* LCredito;
  TQRLabel* LNDebito;
  TQRBand* QRBand2;
  TQRDBText* QRDBText2;
  TQRDBText* QRDBText3;
  TQRDBText* QRDBText1;
  TQRDBText* QRDBText5;
  TQRDBText* QRDBText6;
  TQRDBText* QRDBText7;
  TQRBand* QRBand4;
  TQRLabel* QRLabel5;
  TQRLabel* TotSaldo;
  TQRLabel* TotDebito;
  TQRLabel* TotCredito;
  TQRLabel* TotNuevo;

  bool express = false;

  void QRDBText1Print(TObject* Sender, AnsiString& Value);
  void QRDBText7Print(TObject* Sender, AnsiString& Value);
  void QRBand4BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
};

extern TFrmRptBalancePrueba* FrmRptBalancePrueba;
