#pragma once
// Entrada del usuario a la contabilidad escogida.
#include "platform/forms/Forms.h"

class TPanel;
class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TTable;

class TFrmClave : public TForm {
 public:
  // alCambiar: la entrada pedida al cambiar de contabilidad, que se puede dejar (Esc o
  // "Cancelar") y nunca termina el programa.
  explicit TFrmClave(TComponent* Owner, bool alCambiar = false);
  AnsiString ClassName() const override { return "TFrmClave"; }

  TPanel* Panel1;
  TLabel* Label1;
  TComboBox* CBLogin;
  TLabel* Label2;
  TEdit* EdPassword;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;  // solo visible al cambiar de contabilidad
  TTable* tblPermisos;

  bool AlCambiar;
  int Intentos;     // intentos fallidos
  bool UserValid;   // un usuario entró
  bool resultado;   // falso tras el tercer fallo

  void BtnAceptarClick(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void CBLoginChange(TObject* Sender);

 private:
  void ContarFallo();
  // Mantiene la clave guardada: pide una al administrador sin clave y cifra las claves
  // antiguas. Falso cuando el usuario no completó la clave nueva.
  bool ActualizarClave(const AnsiString& guardada);
};

// Pide la clave nueva (dos veces) del administrador que aún no tiene.
class TFrmNuevaClave : public TForm {
 public:
  explicit TFrmNuevaClave(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmNuevaClave"; }

  TLabel* Label1;
  TEdit* EdClave;
  TLabel* Label2;
  TEdit* EdConfirmar;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;

  void BtnAceptarClick(TObject* Sender);
};

extern TFrmClave* FrmClave;
extern TFrmNuevaClave* FrmNuevaClave;
