#pragma once
// Impreso del caja diario por comprobante: encabezado, cuentas y totales de cada uno.
#include "platform/forms/Forms.h"
#include "platform/report/QuickRpt.h"

class TDataSource;
class TDataSet;

class TFrmRepCajaDiario : public TForm {
 public:
  explicit TFrmRepCajaDiario(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepCajaDiario"; }

  TQuickRep* Report;
  TDataSource* DataSource1;
  TQRBand* QRBand3;  // espacio del margen superior
  TQRBand* QRBand1;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel1;
  TQRLabel* LblTitulo;
  TQRLabel* Nume;
  TQRLabel* Cue;
  TQRLabel* QRLabel2;
  TQRLabel* Credito;
  TQRBand* QRBand2;
  TQRDBText* QRDBText1;
  TQRDBText* QRDBText2;
  TQRDBText* QRDBText3;
  TQRDBText* QRDBText4;
};

extern TFrmRepCajaDiario* FrmRepCajaDiario;
