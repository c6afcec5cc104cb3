#pragma once
// Certificado de disponibilidad impreso: una página carta con el certificado de la fila
// actual de DM->tblMvtCertDisp y el PAC que le da quien lo abre.
#include "platform/forms/Forms.h"

class TDataSource;
class TQuery;
class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRMemo;
class TQRImage;

class TfrmRptCertDisp : public TForm {
 public:
  explicit TfrmRptCertDisp(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptCertDisp"; }

  TQuickRep* QuickReport1;
  TDataSource* DataSource1;  // el certificado
  TDataSource* DataSource2;  // su PAC: lo pone quien abre (vacío, plan en blanco)
  TQuery* queryGral;
  TQRCustomBand* QRBand1;
  TQRCustomBand* QRBand2;
  TQRImage* Image1;
  TQRImage* Image2;
  TQRImage* Image3;
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel33;
  TQRLabel* QRLabel34;
  TQRLabel* QRLabel35;
  TQRLabel* lblNumero;
  TQRLabel* lblFechaExped;
  TQRLabel* lblFechaVenc;
  TQRLabel* QRLabel36;
  TQRMemo* QRMemo1;
  TQRMemo* QRMemo3;
  TQRLabel* QRDBText6;
  TQRLabel* meses[12];
  TQRLabel* lblVigencia;
  TQRMemo* QRMemo2;
  TQRLabel* QRLabel28;
  TQRLabel* QRLabel29;
  TQRLabel* QRLabel31;

  void QRBand1BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
};

extern TfrmRptCertDisp* frmRptCertDisp;
