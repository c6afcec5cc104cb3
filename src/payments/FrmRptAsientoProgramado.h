#pragma once
// Formatos propios del comprobante programado: a doble cuadro (dos copias iguales lado a lado
// en carta vertical) y de registradora (tirilla angosta).
#include <vector>

#include "platform/forms/Forms.h"

class TQuickRep;
class TQRBand;
class TQRLabel;
class TQRMemo;
class TQRDBText;
class TDataSource;

class TfrmRptAsientoProgramado : public TForm {
 public:
  static constexpr int kRenglones = 13;
  explicit TfrmRptAsientoProgramado(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptAsientoProgramado"; }

  TQuickRep* QuickRep1;
  TQRBand* TitleBand1;
  TQRLabel* QRLblEmpresa;
  TQRLabel* QRLblNit;
  TQRLabel* QRLblFechaImp;

  // Lo que se imprime en cada una de las dos copias.
  struct Copia {
    TQRLabel* fecha;
    TQRLabel* tercero;
    TQRLabel* nombre;
    TQRLabel* grado;
    TQRLabel* grupo;
    TQRLabel* documento;
    TQRLabel* plantilla;
    TQRLabel* detalle[kRenglones];
    TQRLabel* valor[kRenglones];
    TQRMemo* observaciones;
    TQRLabel* total;
  };
  Copia copias[2];
};

class TfrmRptTirilla : public TForm {
 public:
  explicit TfrmRptTirilla(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptTirilla"; }

  TDataSource* DataSource1;
  TQuickRep* QuickRep1;
  TQRBand* TitleBand1;
  TQRLabel* QRLblEmpresa;
  TQRLabel* QRLblNit;
  TQRLabel* QRLblFecha;
  TQRLabel* QRLblPlantilla;
  TQRLabel* QRLblDocumento;
  TQRLabel* QRLabel1;
  TQRLabel* QRLblTercero;
  TQRLabel* QRLblNTercero;
  TQRLabel* QRLabel2;
  TQRBand* DetailBand1;
  TQRDBText* QRDBNombre;
  TQRDBText* QRDBCredito;
  TQRBand* SummaryBand1;
  TQRLabel* QRLblTotal;
};

extern TfrmRptAsientoProgramado* frmRptAsientoProgramado;
extern TfrmRptTirilla* frmRptTirilla;
