#pragma once
// Impreso del reintegro de la fila actual de la tabla de reintegros.
#include "platform/forms/Forms.h"

class TQuickRep;
class TQRLabel;
class TQRMemo;
class TQRImage;
class TQRCustomBand;

class TfrmRptReintegro : public TForm {
 public:
  explicit TfrmRptReintegro(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptReintegro"; }

  TQuickRep* QuickRep1;
  TQRImage* QRImage1;
  TQRLabel* lblTitulo1;
  TQRLabel* lblTitulo2;
  TQRLabel* lblTitulo3;
  TQRLabel* lblEmpresa;
  TQRMemo* QRMemo1;

  void TitleBand1BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
};

extern TfrmRptReintegro* frmRptReintegro;
