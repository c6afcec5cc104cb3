#pragma once
// Configuración de la contabilidad abierta (entidad, firmas, clave del usuario, logo y
// títulos de "data.ini") y cuentas especiales (retenciones de la instalación, pérdidas y
// utilidad de la contabilidad).
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TBitBtn;
class TImage;
class TOpenDialog;

class TfrmConfigContab : public TForm {
 public:
  explicit TfrmConfigContab(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmConfigContab"; }

  AnsiString archivoIni;  // ruta completa de "data.ini"

  TLabel* lblUsuario;
  TLabel* Label1;
  TEdit* Edit1;
  TLabel* Label2;
  TEdit* Edit2;
  TLabel* Label3;
  TEdit* EdNIT;
  TLabel* Label4;
  TEdit* EdEmpresa;
  TLabel* Label5;
  TEdit* EdNContabilidad;
  TLabel* Label6;
  TEdit* edAcuerdo;
  TLabel* Label7;
  TEdit* edRector;
  TLabel* Label8;
  TEdit* edAuxiliar;
  TLabel* Label9;
  TEdit* edTallivar;
  TLabel* Label10;
  TEdit* edRutaEscudo;
  TLabel* Label11;
  TEdit* edTitulo1;
  TLabel* Label12;
  TEdit* edTitulo2;
  TLabel* Label13;
  TEdit* edTitulo3;
  TImage* Image1;
  TBitBtn* BitBtn1;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;
  TOpenDialog* OpenDialog1;

  void BitBtn1Click(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);

 private:
  AnsiString claveGuardada_;
};

class TFrmCuentasEsp : public TForm {
 public:
  explicit TFrmCuentasEsp(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCuentasEsp"; }

  TLabel* Label1;  // "Defina Una Cuenta:"
  TLabel* Label2;  // "Nombre:"
  TLabel* Label3;
  TEdit* EdReteFuente;
  TBitBtn* BitBtn1;
  TLabel* LblReteFuente;
  TLabel* Label4;
  TEdit* EdReteIva;
  TBitBtn* BitBtn2;
  TLabel* LblReteIva;
  TLabel* Label5;
  TEdit* EdPerdidas;
  TBitBtn* BitBtn3;
  TLabel* LblPerdidas;
  TLabel* Label6;
  TEdit* EdUtilidad;
  TBitBtn* BitBtn4;
  TLabel* LblUtilidad;
  TBitBtn* BitBtn5;
  TBitBtn* BitBtn6;

  void FormActivate(TObject* Sender);
  void BuscarCuenta(TEdit* aEdit, TLabel* aLabel);
  void BitBtn5Click(TObject* Sender);

 private:
  bool cargado_ = false;
};

extern TfrmConfigContab* frmConfigContab;
extern TFrmCuentasEsp* FrmCuentasEsp;
