#pragma once
// Administración de los usuarios de la contabilidad abierta (permisos.db): adicionar,
// modificar y borrar. Solo el administrador llega a estos diálogos desde el menú.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TCheckBox;
class TComboBox;
class TBitBtn;
class TGroupBox;

class TFrmAddPermisos : public TForm {
 public:
  explicit TFrmAddPermisos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmAddPermisos"; }

  TLabel* Label1;
  TEdit* EdLogin;
  TLabel* Label2;
  TEdit* EdNombre;
  TLabel* Label3;
  TEdit* EdPassword;
  TLabel* Label4;
  TEdit* EdSombra;
  TGroupBox* GroupBox1;  // "El usuario podrá:"
  TCheckBox* BLectura;
  TCheckBox* BEscritura;
  TCheckBox* BBorrado;
  TBitBtn* BtnAceptar2;
  TBitBtn* BitBtn2;
  TBitBtn* BitBtn3;

  void BtnAceptar2Click(TObject* Sender);
  // Reglas de la entrada; devuelve las líneas de los errores ("" cuando todo está bien).
  AnsiString Validar();
};

class TFrmModiPermisos : public TForm {
 public:
  explicit TFrmModiPermisos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmModiPermisos"; }

  TLabel* Label1;
  TComboBox* CBLogin;
  TLabel* Label2;
  TEdit* EdNombre;
  TLabel* Label3;
  TEdit* EdPassword;
  TLabel* Label4;
  TEdit* EdSombra;
  TGroupBox* GroupBox1;  // "Defina los permisos del usuario..."
  TCheckBox* ChBLectura;
  TCheckBox* ChBEscritura;
  TCheckBox* ChBBorrado;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn1;

  void CBLoginChange(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
  AnsiString Validar();

 private:
  bool ClaveSinTocar() const;  // ninguna de las dos casillas de clave tiene texto
  AnsiString claveGuardada_;  // lo que tenía PASSWORD al escoger el usuario
  bool ubicado_ = false;      // la tabla quedó en la fila del usuario escogido
};

class TFrmBorrarPermiso : public TForm {
 public:
  explicit TFrmBorrarPermiso(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmBorrarPermiso"; }

  TLabel* Label1;
  TComboBox* CBLogin;
  TBitBtn* BtnBorrar;
  TBitBtn* BitBtn1;

  void BtnBorrarClick(TObject* Sender);
};

extern TFrmAddPermisos* FrmAddPermisos;
extern TFrmModiPermisos* FrmModiPermisos;
extern TFrmBorrarPermiso* FrmBorrarPermiso;

// Login escogido en un combo de usuarios ("login:nombre"); "" cuando el texto no es uno
// de los usuarios.
AnsiString LoginDeCombo(TComboBox* aCB);
// Tabla de usuarios dañada: avisa, cierra las tablas, abre la reparación de la carpeta de
// la contabilidad abierta y vuelve a abrir las tablas.
void RepararTablaUsuarios();
// Graba en permisos.db el resumen de la clave escrita para el login. Una clave que sigue
// igual a la guardada se conserva (y se cifra cuando venía sin cifrar de una tabla antigua).
void GrabarClaveEscrita(const AnsiString& login, const AnsiString& escrita, const AnsiString& guardada);
