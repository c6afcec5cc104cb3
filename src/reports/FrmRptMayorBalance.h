#pragma once
// Impreso del mayor y balance: las cuentas de cuatro dígitos con sus seis columnas.
#include "platform/forms/Forms.h"
#include "platform/report/QuickRpt.h"

class TDataSource;

class TFrmRptMayorBalance : public TForm {
 public:
  explicit TFrmRptMayorBalance(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRptMayorBalance"; }

  TQuickRep* QuickReport1;
  TDataSource* DataSource1;
  TQRBand* QRBand5;  // espacio del margen superior
  TQRBand* QRBand3;
  TQRImage* Image1;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel33;
  TQRLabel* QRLabel34;
  TQRLabel* QRLabel35;
  TQRLabel* LblTitulo;
  TQRLabel* LblM1;
  TQRLabel* LblM3;
  TQRBand* QRBand2;
  TQRBand* QRBand1;
  TQRDBCalc* QRDBCalc1;
  TQRDBCalc* QRDBCalc2;
  TQRDBCalc* QRDBCalc3;
  TQRDBCalc* QRDBCalc4;
  TQRDBCalc* QRDBCalc5;
  TQRDBCalc* QRDBCalc6;
};

extern TFrmRptMayorBalance* FrmRptMayorBalance;
