#pragma once
// Ventana de avance del motor de balances: sin borde, con la cuenta en curso y la barra.
#include "platform/forms/Forms.h"

class TLabel;
class TProgressBar;

class TFrmMessage : public TForm {
 public:
  explicit TFrmMessage(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmMessage"; }

  TLabel* Label1;
  TProgressBar* PBar;
};

extern TFrmMessage* FrmMessage;
