#pragma once
// Ventana de presentación del arranque y de "Acerca de..".
#include "platform/forms/Forms.h"

class TLabel;
class TImage;
class TTimer;

class TFrmPresentacion : public TForm {
 public:
  explicit TFrmPresentacion(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmPresentacion"; }

  int Duracion;  // milisegundos que se queda abierta
  TImage* Image2;
  TLabel* Label1;
  TLabel* Label3;
  TLabel* Label2;
  TTimer* Timer1;

  void FormActivate(TObject* Sender);
  void Timer1Timer(TObject* Sender);
};

extern TFrmPresentacion* FrmPresentacion;
