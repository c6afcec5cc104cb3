#pragma once
// Libros impresos: uno por cada libro por tercero y cuenta, sobre el listado del libro.
#include "platform/forms/Forms.h"

class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRDBText;
class TQRImage;
class TQRSysData;
class TDataSource;

// Partes comunes: el informe, sus bandas y los montos impresos.
class TFrmRepLibro : public TForm {
 public:
  explicit TFrmRepLibro(TComponent* Owner) : TForm(Owner) {}
  TQuickRep* QuickRep1 = nullptr;
  TQRLabel* ICuenta = nullptr;
  TQRLabel* NCuenta = nullptr;
  TQRLabel* ITercero = nullptr;
  TQRLabel* NTercero = nullptr;
  TQRLabel* FechaDesc = nullptr;
  TQRLabel* LDebito = nullptr;
  TQRLabel* LCredito = nullptr;

 protected:
  void CrearInforme(TDataSource* aDS, bool aHorizontal, bool aDialogo);
  TQRDBText* Monto(TQRCustomBand* b, const char* aNombre, const char* aCampo, int aLeft);
  TDataSource* ds_ = nullptr;
};

class TFrmRepTercUnaCta : public TFrmRepLibro {
 public:
  explicit TFrmRepTercUnaCta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepTercUnaCta"; }
  TQRLabel* QRLabel2;
  TQRDBText* ADEBITO;
  TQRDBText* ACREDITO;
  void ADEBITOPrint(TObject* Sender, AnsiString& Value);
  void ACREDITOPrint(TObject* Sender, AnsiString& Value);
};

class TFrmRepTercTodasCtas : public TFrmRepLibro {
 public:
  explicit TFrmRepTercTodasCtas(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepTercTodasCtas"; }
  TQRLabel* QRLabel3;
  TQRDBText* ADEBITO;
  TQRDBText* ACREDITO;
  void ADEBITOPrint(TObject* Sender, AnsiString& Value);
  void ACREDITOPrint(TObject* Sender, AnsiString& Value);
};

class TFrmRepTercMovUnaCta : public TFrmRepLibro {
 public:
  explicit TFrmRepTercMovUnaCta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepTercMovUnaCta"; }
  TQRLabel* QRLabel11;
  TQRLabel* QRLabel7;
  TQRLabel* QRLabel8;
  TQRLabel* QRLabel9;
  TQRLabel* QRLabel12;
  TQRLabel* LblDeb;
  TQRLabel* LblCred;
  TQRLabel* LblDif;
  void QRLabel12Print(TObject* Sender, AnsiString& Value);
};

class TFrmRepAuxiliares : public TFrmRepLibro {
 public:
  explicit TFrmRepAuxiliares(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepAuxiliares"; }
  TQRImage* Image1;
  TQRLabel* QRLabel10;
  TQRLabel* LblMes;
  TQRLabel* LblSaldoAnterior;
  TQRLabel* Saldo;
  TQRLabel* qrlFooter;
  TQRSysData* QRSysData1;
  TQRDBText* Debito;
  TQRDBText* Credito;
  void DebitoPrint(TObject* Sender, AnsiString& Value);
  void CreditoPrint(TObject* Sender, AnsiString& Value);
};

extern TFrmRepTercUnaCta* FrmRepTercUnaCta;
extern TFrmRepTercTodasCtas* FrmRepTercTodasCtas;
extern TFrmRepTercMovUnaCta* FrmRepTercMovUnaCta;
extern TFrmRepAuxiliares* FrmRepAuxiliares;
