#pragma once
// Listado impreso de terceros, en el orden que usa el explorador.
#include "platform/forms/Forms.h"

class TQuickRep;
class TQRBand;
class TQRLabel;
class TQRDBText;

class TFrmRptTerceros : public TForm {
 public:
  explicit TFrmRptTerceros(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRptTerceros"; }

  TQuickRep* QuickRep1;
  TQRBand* TitleBand1;
  TQRLabel* QRLabel1;  // entidad y NIT
  TQRLabel* QRLabel2;
  TQRBand* ColumnHeaderBand1;
  TQRBand* DetailBand1;
  TQRDBText* QRDBText1;
  TQRDBText* QRDBText2;
  TQRDBText* QRDBText3;
  TQRDBText* QRDBText4;
  TQRDBText* QRDBText5;
  TQRDBText* QRDBText6;
};

extern TFrmRptTerceros* FrmRptTerceros;
