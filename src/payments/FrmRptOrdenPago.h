#pragma once
// Orden de pago impresa: encabezado de la entidad, datos de la orden con su valor en letras,
// rubros del certificado, líneas de su asiento y firmas (con "RECIBÍ" opcional).
#include "platform/forms/Forms.h"

class TDataSource;
class TQuery;
class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRMemo;
class TQRImage;
class TQRShape;

class TfrmRptOrdenPago : public TForm {
 public:
  explicit TfrmRptOrdenPago(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptOrdenPago"; }

  AnsiString numeDocu;  // número del asiento de la orden: sus líneas son el detalle
  bool printRecibi = false;
  AnsiString rubro;  // lo pone el formulario de la orden; no se imprime
  AnsiString archivoIni;

  TDataSource* DataSource1;  // la orden impresa es su fila actual
  TQuery* queryGral;
  TDataSource* DataSource2;
  TQuery* query1;
  TQuickRep* QuickReport1;
  TQRCustomBand* qrbTitle;
  TQRImage* Image1;
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel12;
  TQRLabel* QRLabel13;
  TQRLabel* QRLabel14;
  TQRLabel* lblNumero;
  TQRLabel* lblRegistro;
  TQRLabel* lblFecha;
  TQRMemo* QRMemo4;
  TQRLabel* lblValor;
  TQRMemo* QRMemo3;
  TQRLabel* lblTercero;
  TQRLabel* QRLabel7;
  TQRMemo* QRMemo1;
  TQRMemo* QRMemo2;
  TQRLabel* QRLabel21;
  TQRCustomBand* qrbSummary;
  TQRImage* Image2;
  TQRImage* Image3;
  TQRLabel* QRLabel28;
  TQRLabel* QRLabel29;
  TQRLabel* QRLabel22;
  TQRShape* QRShape1;
  TQRLabel* QRLabel31;

  void qrbTitleBeforePrint(TQRCustomBand* Sender, bool& PrintBand);
  void qrbSummaryBeforePrint(TQRCustomBand* Sender, bool& PrintBand);

 private:
  AnsiString Campo(const char* campo);
};

extern TfrmRptOrdenPago* frmRptOrdenPago;
