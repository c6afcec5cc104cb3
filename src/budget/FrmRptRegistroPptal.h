#pragma once
// Registro presupuestal impreso: una página carta con el registro de la fila de DataSource1,
// su certificado, su orden, los rubros, el PAC y lo que falta por comprometer.
#include "platform/forms/Forms.h"

class TDataSource;
class TQuery;
class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRMemo;
class TQRImage;

class TfrmRptRegistroPptal : public TForm {
 public:
  explicit TfrmRptRegistroPptal(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptRegistroPptal"; }

  TQuickRep* QuickReport1;
  TDataSource* DataSource1;  // el registro (por omisión DM->tblMvtRegPptal)
  TDataSource* DataSource2;  // DM->tblPAC
  TQuery* queryGral;
  TQuery* queryPAC;
  TQRCustomBand* QRBand1;
  TQRCustomBand* QRBand2;
  TQRImage* Image1;
  TQRImage* Image2;
  TQRImage* Image3;
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel46;
  TQRLabel* QRLabel47;
  TQRLabel* QRLabel48;
  TQRLabel* lblIrp;
  TQRLabel* lblFechaExped;
  TQRLabel* lblFechaVenc;
  TQRMemo* QRMemo1;
  TQRMemo* QRMemo2;
  TQRLabel* QRDBText6;
  TQRLabel* lblVigencia;
  TQRLabel* lblTercero;
  TQRLabel* QRLabel42;
  TQRLabel* lblIcd;
  TQRLabel* QRLabel39;
  TQRLabel* QRLabel29;
  TQRLabel* QRLabel37;
  TQRLabel* QRLabel36;
  TQRLabel* meses[12];
  TQRLabel* qrLblPendComp;
  TQRLabel* QRLabel33;
  TQRLabel* QRLabel34;
  TQRLabel* QRLabel35;
  TQRLabel* QRLabel31;

  void QRBand1BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
};

extern TfrmRptRegistroPptal* frmRptRegistroPptal;
