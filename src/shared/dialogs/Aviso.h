#pragma once
// Ventana de espera sin bordes con barra de progreso, manejada por TAviso.
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"

class TFrmAviso : public TForm {
 public:
  explicit TFrmAviso(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmAviso"; }

  TBevel* Bevel1;
  TLabel* Label1;
  TProgressBar* ProgressBar1;
};

extern TFrmAviso* FrmAviso;

// Conductor sin estado de la ventana de espera (a lo sumo una a la vez).
class TAviso {
 public:
  void Inicie(const AnsiString& aMsg, bool Centrada, bool ShowProgressBar, int aMin, int aMax,
              int aStep);
  void PutMsg(const AnsiString& aMsg);
  void IncrProgBar();
  void Termine();
};
