#pragma once
// Firmantes del balance general y del estado de resultados; desde aquí se abren los dos.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TShape;
class TBitBtn;

class TFrmDatosInforme : public TForm {
 public:
  explicit TFrmDatosInforme(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmDatosInforme"; }

  TLabel* Label1;
  TEdit* Edit2;
  TEdit* Edit4;
  TEdit* Edit6;
  TEdit* Edit1;
  TEdit* Edit3;
  TEdit* Edit5;
  TLabel* Label2;
  TShape* Shape1;
  TLabel* LSC1;
  TLabel* LSC2;
  TLabel* LSC3;
  TLabel* LC1;
  TLabel* LC2;
  TLabel* LC3;
  TBitBtn* BitBtn3;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  void BitBtn1Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);

 private:
  // Guarda el texto no vacío de un campo en la fila de configuración.
  void Guardar(TEdit* aEdit, const char* aCampo);
  void AbrirBalance(const AnsiString& aTitulo, int aLlamado, bool aCierre);
};

extern TFrmDatosInforme* FrmDatosInforme;
