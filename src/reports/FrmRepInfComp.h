#pragma once
// Listado impreso de soportes (modo 1) o de documentos (modo 2).
#include "platform/forms/Forms.h"

class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRDBText;

class TFrmRepInfComp : public TForm {
 public:
  TFrmRepInfComp(TComponent* Owner, int aTipo);
  AnsiString ClassName() const override { return "TFrmRepInfComp"; }

  int Tipo;
  TQuickRep* QuickRep1;
  TQRCustomBand* PageHeaderBand1;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel1;
  TQRLabel* ICuenta;
  TQRLabel* NCuenta;
  TQRLabel* QRLabel2;
  TQRLabel* FInicio;
  TQRLabel* QRLabel3;
  TQRLabel* FFinal;
  TQRCustomBand* ColumnHeaderBand1;
  TQRLabel* L1;
  TQRLabel* L2;
  TQRLabel* L3;
  TQRLabel* L4;
  TQRCustomBand* DetailBand1;
  TQRDBText* T1;
  TQRDBText* T2;
  TQRLabel* QRLblNComprobante;
  TQRDBText* T3;
  TQRDBText* T4;
  TQRCustomBand* SummaryBand1;
  TQRLabel* LComprobantes;

  void T4Print(TObject* Sender, AnsiString& Value);
  void QRLblNComprobantePrint(TObject* Sender, AnsiString& Value);
};

extern TFrmRepInfComp* FrmRepInfComp;
