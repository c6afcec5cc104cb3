#pragma once
// Cambia el número de un documento contable, conservando su tipo.
#include "platform/forms/Forms.h"

class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TQuery;

class TFrmRenumerar : public TForm {
 public:
  explicit TFrmRenumerar(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRenumerar"; }

  TLabel* Label1;
  TComboBox* CBDocumentos;
  TLabel* Label2;
  TEdit* EdOriginal;
  TLabel* Label3;
  TEdit* EdNuevo;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;
  TQuery* Query1;

  bool Validar();
  void BtnAceptarClick(TObject* Sender);
};

extern TFrmRenumerar* FrmRenumerar;

// Verdadero cuando el documento (tipo, número) tiene líneas o encabezado.
bool ExisteDocumento(const AnsiString& aTipo, const AnsiString& aNumero);
// Pasa líneas y encabezado del documento (aTipo, aNumero) a (aTipoNuevo, aNumeroNuevo) en una
// transacción, con la ventana de espera abierta mientras tanto.
void CambiarDocumento(const AnsiString& aEspera, const AnsiString& aTipo, const AnsiString& aNumero,
                      const AnsiString& aTipoNuevo, const AnsiString& aNumeroNuevo);
