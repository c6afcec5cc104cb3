#pragma once
// Modifica la cuenta actual de TblPlan (el código no cambia aquí).
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TRadioGroup;
class TBitBtn;

class TFrmModifCuenta : public TForm {
 public:
  explicit TFrmModifCuenta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmModifCuenta"; }

  TLabel* Label1;
  TLabel* LblCuenta;
  TLabel* Label2;
  TEdit* EdNombre;
  TRadioGroup* RadioGroup1;  // exige tercero
  TRadioGroup* RadioGroup2;  // código de verificación
  TRadioGroup* RadioGroup3;  // kárdex
  TRadioGroup* RadioGroup4;  // centro de costo
  TLabel* Lbl;
  TEdit* EdCodigo;
  TLabel* Lbl2;
  TEdit* EdUnidad;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;  // Salir

  bool Validar();

  void FormActivate(TObject* Sender);
  void RadioGroup1Click(TObject* Sender);
  void RadioGroup2Click(TObject* Sender);
  void RadioGroup3Click(TObject* Sender);
  void RadioGroup4Click(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);

 private:
  // Grupos que el usuario tocó: los demás se graban tal como estaban.
  bool tocoTercero = false;
  bool tocoCodigo = false;
  bool tocoKardex = false;
  bool tocoCCosto = false;
};

extern TFrmModifCuenta* FrmModifCuenta;
