#pragma once
// Pide la clave del administrador antes de renumerar o volver a grabar.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TBitBtn;

class TfrmClaveAdmin : public TForm {
 public:
  explicit TfrmClaveAdmin(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmClaveAdmin"; }

  TLabel* Label1;
  TEdit* edPassword;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  void BitBtn1Click(TObject* Sender);
  void FormShow(TObject* Sender);
};

extern TfrmClaveAdmin* frmClaveAdmin;
