#include "app/FrmClave.h"

#include "app/Claves.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmClave* FrmClave = nullptr;
TFrmNuevaClave* FrmNuevaClave = nullptr;

TFrmClave::TFrmClave(TComponent* Owner, bool alCambiar) : TForm(Owner), AlCambiar(alCambiar) {
  Name = "FrmClave";
  Caption = "Tallivar";
  BorderStyle = bsToolWindow;
  BorderIcons = {};
  Position = poScreenCenter;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->BevelOuter = bvLowered;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Escoja su nombre de usuario:";
  CBLogin = Make<TComboBox>(Panel1, "CBLogin");
  CBLogin->Style = csDropDownList;
  // Ancho para "login:nombre" entero, como "gestordelibro:Administrador".
  CBLogin->Width = 240;
  Label2 = Make<TLabel>(Panel1, "Label2");
  Label2->Caption = "Entre su Clave de acceso:";
  EdPassword = Make<TEdit>(Panel1, "EdPassword");
  EdPassword->PasswordChar = '*';
  Label1->FocusControl = CBLogin;
  Label2->FocusControl = EdPassword;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(this, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  BtnCancelar->Visible = AlCambiar;
  BtnCancelar->Cancel = AlCambiar;
  tblPermisos = Make<TTable>(this, "tblPermisos");
  tblPermisos->TableName = "permisos.db";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  CBLogin->OnChange = [this](TObject* s) { CBLoginChange(s); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };

  resultado = true;
  Intentos = 0;
  UserValid = false;
  if (abortar) return;
  if (!tblPermisos->Active) {
    tblPermisos->DatabaseName = PathCont;
    tblPermisos->Open();
  }
  // Una tabla de usuarios vacía recibe al administrador, que escoge su clave al entrar.
  if (tblPermisos->IsEmpty()) {
    tblPermisos->Append();
    tblPermisos->FieldByName("LOGIN")->AsString = kLoginAdministrador;
    tblPermisos->FieldByName("NUSUARIO")->AsString = kNombreAdministrador;
    tblPermisos->FieldByName("BBorrar")->AsBoolean = true;
    tblPermisos->FieldByName("BModificar")->AsBoolean = true;
    tblPermisos->FieldByName("BGrabar")->AsBoolean = true;
    tblPermisos->Post();
  }
  FillCBFromTbl(CBLogin, tblPermisos, "LOGIN", "NUSUARIO");
  if (CBLogin->Items->Count() > 0) CBLogin->ItemIndex = 0;
  ActiveControl = EdPassword;
}

void TFrmClave::CBLoginChange(TObject*) { EdPassword->SetFocus(); }

void TFrmClave::ContarFallo() {
  ++Intentos;
  if (Intentos >= 3) {
    resultado = false;
    // Al cambiar de contabilidad se vuelve a la abierta; al arrancar, el programa termina.
    if (AlCambiar)
      ModalResult = mrCancel;
    else
      Application->Terminate();
  }
}

bool TFrmClave::ActualizarClave(const AnsiString& guardada) {
  if (EsClaveCifrada(guardada)) return true;
  AnsiString nueva = EdPassword->Text;
  if (EsAdministrador(Login) && guardada.IsEmpty()) {
    FrmNuevaClave = new TFrmNuevaClave(this);
    bool aceptada = false;
    try {
      aceptada = FrmNuevaClave->ShowModal() == mrOk;
      nueva = FrmNuevaClave->EdClave->Text;
    } catch (...) {
      delete FrmNuevaClave;
      throw;
    }
    delete FrmNuevaClave;
    if (!aceptada) return false;
  }
  GuardarClave(PathCont, Login, nueva);
  tblPermisos->Refresh();
  return true;
}

void TFrmClave::BtnAceptarClick(TObject*) {
  Login = ExtractString(CBLogin->Text, ':', true);
  if (!tblPermisos->Locate("LOGIN", Variant(Login))) {
    ShowMessage("Usuario no autorizado");
    ContarFallo();
    return;
  }
  AnsiString guardada = tblPermisos->FieldByName("PASSWORD")->AsString;
  if (!ClaveCoincide(EdPassword->Text, guardada)) {
    ShowMessage("Password Incorrecto");
    ContarFallo();
    return;
  }
  if (!ActualizarClave(guardada)) return;
  // Si falta "data.ini" se crea aquí, como lo hace el cierre.
  GuardarAjustes(ArchivoIniSesion(), [](TIniFile& ini) {
    ini.WriteString("ACTION", "User", Login);
    ini.WriteString("ACTION", "Date", DateToStr(Date()));
    ini.WriteString("ACTION", "Time", TimeToStr(Now()));
    ini.WriteBool("ACTION", "Exit", false);
  });
  UserValid = true;
  ModalResult = mrOk;
}

void TFrmClave::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = UserValid || AlCambiar;
  if (CanClose) tblPermisos->Close();
}

TFrmNuevaClave::TFrmNuevaClave(TComponent* Owner) : TForm(Owner) {
  Name = "FrmNuevaClave";
  Caption = "Clave del administrador";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "El administrador aún no tiene clave. Escoja una:";
  EdClave = Make<TEdit>(this, "EdClave");
  EdClave->PasswordChar = '*';
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Escríbala de nuevo:";
  EdConfirmar = Make<TEdit>(this, "EdConfirmar");
  EdConfirmar->PasswordChar = '*';
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(this, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
}

void TFrmNuevaClave::BtnAceptarClick(TObject*) {
  if (EdClave->Text.get().IsEmpty()) {
    ShowMessage("La clave no puede quedar vacía.");
    return;
  }
  if (EdClave->Text.get() != EdConfirmar->Text.get()) {
    ShowMessage("Las claves no coinciden.");
    return;
  }
  ModalResult = mrOk;
}
