#pragma once
// Cambia el tipo de un documento contable, conservando su número.
#include "platform/forms/Forms.h"

class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TQuery;

class TFrmRenombrar : public TForm {
 public:
  explicit TFrmRenombrar(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRenombrar"; }

  TLabel* Label1;
  TComboBox* CBDocOrig;
  TLabel* Label2;
  TEdit* EdNumOrig;
  TLabel* Label3;
  TComboBox* CBDocNuevo;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;
  TQuery* Query1;

  bool Validar();
  void BtnAceptarClick(TObject* Sender);
};

extern TFrmRenombrar* FrmRenombrar;
