#pragma once
// Tamaño del papel del caja diario por cuentas: carta u hoja grande.
#include "platform/forms/Forms.h"

class TRadioButton;

class TFrmModImpresion : public TForm {
 public:
  explicit TFrmModImpresion(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmModImpresion"; }

  TRadioButton* RadioButton1;
  TRadioButton* RBHojaAncha;

  void RadioButton1Click(TObject* Sender);
  void RBHojaAnchaClick(TObject* Sender);
};

extern TFrmModImpresion* FrmModImpresion;
