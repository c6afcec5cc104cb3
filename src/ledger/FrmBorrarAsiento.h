#pragma once
// Borra un documento contable entero: sus líneas, su encabezado y lo que quede de él en la
// tabla de trabajo del editor.
#include "platform/forms/Forms.h"

class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TStatusBar;
class TQuery;

class TFrmBorrarAsiento : public TForm {
 public:
  explicit TFrmBorrarAsiento(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmBorrarAsiento"; }

  TLabel* Label1;
  TComboBox* CBDocumentos;
  TLabel* Label2;
  TEdit* EdDocumentos;
  TBitBtn* btnAceptar;
  TBitBtn* BitBtn2;
  TStatusBar* StatusBar;
  TQuery* Query1;

  void btnAceptarClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

extern TFrmBorrarAsiento* FrmBorrarAsiento;
