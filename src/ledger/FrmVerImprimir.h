#pragma once
#include <limits>
// Comprobantes impresos de un documento contable: el corriente (carta horizontal) y el de
// documentos con detalle en su encabezado (carta vertical). Los formularios de pagos
// imprimen también en ellos.
#include "platform/forms/Forms.h"

class TDataSet;
class TDataSource;
class TQuery;
class TQuickRep;
class TQRBand;
class TQRCustomBand;
class TQRLabel;
class TQRDBText;
class TQRDBCalc;
class TQRImage;
class TQRMemo;
class TQRShape;

class TFrmVerImprimir : public TForm {
 public:
  explicit TFrmVerImprimir(TComponent* Owner);
  TFrmVerImprimir(TComponent* Owner, TDataSet* aDataSet);
  AnsiString ClassName() const override { return "TFrmVerImprimir"; }

  double valor = 0;      // valor pagado: créditos a cuentas "11", sumados al imprimir
  AnsiString descDocu;   // tipo del documento
  AnsiString numeDocu;   // número del documento
  void init();
  // Estado inicial de cada vista: beneficiario "*", valor 0, raya de recibido visible y sin
  // cheque.
  void Limpiar();

  TQuery* Query1;
  TDataSource* DataSource1;
  TQuickRep* QuickReport1;
  // Encabezado de página.
  TQRBand* QRBand1;
  TQRImage* Image1;
  TQRLabel* QRLabel3;
  TQRLabel* QRLabel33;
  TQRLabel* QRLabel34;
  TQRLabel* QRLabel35;
  TQRLabel* QRLabel2;
  TQRDBText* QRDBText1;
  TQRLabel* QRLabel4;
  TQRLabel* LD;
  TQRLabel* QRLabel6;
  TQRLabel* LN;
  TQRLabel* QRLabel22;
  TQRShape* QRShape1;
  TQRLabel* QRLabel9;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel14;
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel15;
  TQRLabel* QRLabel12;
  TQRLabel* QRLabel16;
  TQRShape* QRShape2;
  TQRShape* QRShape3;
  TQRLabel* QRLabel13;
  TQRLabel* QRLabel17;
  TQRLabel* QRLabel18;
  TQRLabel* QRLabel19;
  TQRShape* QRShape4;
  // Detalle.
  TQRBand* QRBand2;
  TQRDBText* QRDBText2;
  TQRLabel* QRLabel5;
  TQRLabel* QRLabel7;
  TQRLabel* QRLabel8;
  TQRDBText* QRDBText3;
  TQRDBText* QRDBText4;
  // Resumen.
  TQRBand* QRBand3;
  TQRLabel* QRLabel23;
  TQRDBCalc* QRExpr1;
  TQRDBCalc* QRExpr2;
  TQRLabel* QRLabel21;
  TQRImage* Image2;
  TQRImage* Image3;
  TQRShape* QRShape5;
  TQRLabel* QRLabel24;
  TQRShape* QRShape7;
  TQRLabel* QRLabel25;
  TQRShape* QRShape6;
  TQRLabel* QRLabel20;
  // Pie de página.
  TQRBand* QRBand4;
  TQRLabel* QRLabel1;

  void QuickReport1BeforePrint(TQuickRep* Sender, bool& PrintReport);
  void QRBand2BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
  void QRBand3BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
  void QRLabel21Print(TObject* Sender, AnsiString& Value);
  void QRLabel20Print(TObject* Sender, AnsiString& Value);

 private:
  void Construir();
};

class TFrmRepAsientosconDetalle : public TForm {
 public:
  explicit TFrmRepAsientosconDetalle(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepAsientosconDetalle"; }

  AnsiString Fecha;    // fecha del documento tal como se imprime
  AnsiString Tercero;  // beneficiario tras el modo
  // Suma que QRLblNumLetras escribe en palabras; sin número no escribe nada.
  double SumaEnLetras = std::numeric_limits<double>::quiet_NaN();

  TDataSource* DataSource1;
  TQuickRep* QuickReport1;
  // Título.
  TQRBand* QRBand1;
  TQRLabel* QRLabel3;
  TQRLabel* LD;
  TQRLabel* QRLabel1;
  TQRLabel* LN;
  TQRLabel* QRLabel2;
  TQRDBText* QRDBFecha;
  TQRLabel* QRLblNMes;
  TQRLabel* QRLblModo;
  TQRLabel* QRLblTercero;
  TQRLabel* QRLabel16;
  TQRLabel* QRLblNumLetras;
  // Encabezado de columnas con el detalle del documento.
  TQRBand* QRBand4;
  TQRLabel* QRLabel4;
  TQRLabel* QRLabel5;
  TQRLabel* QRLabel6;
  TQRLabel* QRLabel7;
  TQRMemo* QRMemo1;
  TQRShape* QRShape1;
  TQRShape* QRShape2;
  TQRShape* QRShape3;
  TQRShape* QRShape4;
  TQRShape* QRShape5;
  // Detalle.
  TQRBand* QRBand2;
  TQRDBText* QRDBText1;
  TQRDBText* QRDBText2;
  TQRDBText* QRDBText3;
  TQRDBText* QRDBText4;
  TQRShape* QRShape6;
  TQRShape* QRShape7;
  TQRShape* QRShape8;
  TQRShape* QRShape9;
  TQRShape* QRShape10;
  // Resumen.
  TQRBand* QRBand3;
  TQRLabel* QRLabel8;
  TQRDBCalc* QRExpr1;
  TQRDBCalc* QRExpr2;
  TQRLabel* QRLabel9;
  TQRLabel* QRLabel10;
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel12;
  TQRLabel* QRLabel13;

  void QRBand4BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
};

extern TFrmVerImprimir* FrmVerImprimir;
extern TFrmRepAsientosconDetalle* FrmRepAsientosconDetalle;
