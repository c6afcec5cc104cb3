#pragma once
// Cuenta nueva del plan: la abren el plan de cuentas y el editor de comprobantes.
#include "platform/forms/Forms.h"

class TLabel;
class TMaskEdit;
class TEdit;
class TRadioGroup;
class TBitBtn;

class TFrmNuevaCuenta : public TForm {
 public:
  explicit TFrmNuevaCuenta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmNuevaCuenta"; }

  TLabel* Label1;
  TMaskEdit* EdICuenta;
  TLabel* Label2;
  TEdit* EdNombre;
  TRadioGroup* RadioGroup1;  // exige tercero
  TRadioGroup* RadioGroup2;  // código de verificación
  TRadioGroup* RadioGroup3;  // kárdex
  TRadioGroup* RadioGroup4;  // centro de costos
  TLabel* Lbl;
  TEdit* EdCodigo;
  TLabel* Lbl2;
  TEdit* EdUnidad;
  TBitBtn* BitBtn1;  // Aceptar
  TBitBtn* BitBtn2;  // Salir

  // Primera regla que falla, con su mensaje; verdadero cuando todo está bien.
  bool Validar();

  void RadioGroup2Click(TObject* Sender);
  void RadioGroup3Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

extern TFrmNuevaCuenta* FrmNuevaCuenta;
