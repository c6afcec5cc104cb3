#include "app/Usuarios.h"

#include "app/Claves.h"
#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmAddPermisos* FrmAddPermisos = nullptr;
TFrmModiPermisos* FrmModiPermisos = nullptr;
TFrmBorrarPermiso* FrmBorrarPermiso = nullptr;

namespace {

// Anchos de permisos.db: un login más largo se cortaría y podría repetir otro.
constexpr int kAnchoLogin = 20;
constexpr int kAnchoNombre = 60;

TLabel* Etiqueta(TForm* f, const char* nombre, const char* texto, int top) {
  auto* l = Make<TLabel>(f, nombre);
  l->Caption = texto;
  l->SetBounds(16, top + 4, 130, 18);
  return l;
}

TEdit* Campo(TForm* f, const char* nombre, int top, bool clave) {
  auto* e = Make<TEdit>(f, nombre);
  e->SetBounds(150, top, 210, 24);
  if (clave) e->PasswordChar = '*';
  return e;
}

TCheckBox* Casilla(TGroupBox* g, const char* nombre, const char* texto, int left) {
  auto* c = Make<TCheckBox>(g, nombre);
  c->Caption = texto;
  c->SetBounds(left, 24, 100, 20);
  return c;
}

void LlenarCombo(TComboBox* cb) {
  cb->Items->Clear();
  FillCBFromTbl(cb, DM->TblPermisos, "LOGIN", "NUSUARIO");
  if (cb->Items->Count() > 0) cb->ItemIndex = 0;  // el texto es el primer usuario
}

bool UbicarUsuario(const AnsiString& login) {
  return !login.IsEmpty() && DM->TblPermisos->Locate("LOGIN", Variant(login));
}

}  // namespace

void GrabarClaveEscrita(const AnsiString& login, const AnsiString& escrita, const AnsiString& guardada) {
  if (escrita == guardada && EsClaveCifrada(guardada)) return;
  GuardarClave(DM->TblPermisos->DatabaseName, login, escrita);
}

AnsiString LoginDeCombo(TComboBox* aCB) {
  AnsiString texto = aCB->Text;
  if (aCB->Items->IndexOf(texto) < 0) return "";
  return ExtractString(texto, ':', true);
}

void RepararTablaUsuarios() {
  ShowMessage("Existe un problema con las tablas. Pulse aceptar para repararlas.");
  RepararYReabrir(nullptr, PathCont, false);
}

// ---- adicionar ------------------------------------------------------------------------

TFrmAddPermisos::TFrmAddPermisos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmAddPermisos";
  Caption = "Adicionar usuario del programa";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 380;
  ClientHeight = 260;

  Label1 = Etiqueta(this, "Label1", "Login:", 16);
  EdLogin = Campo(this, "EdLogin", 16, false);
  EdLogin->MaxLength = kAnchoLogin;
  Label2 = Etiqueta(this, "Label2", "Nombre Usuario:", 48);
  EdNombre = Campo(this, "EdNombre", 48, false);
  EdNombre->MaxLength = kAnchoNombre;
  Label3 = Etiqueta(this, "Label3", "Clave a Manejar:", 80);
  EdPassword = Campo(this, "EdPassword", 80, true);
  Label4 = Etiqueta(this, "Label4", "Repita Clave:", 112);
  EdSombra = Campo(this, "EdSombra", 112, true);
  Label1->FocusControl = EdLogin;
  Label2->FocusControl = EdNombre;
  Label3->FocusControl = EdPassword;
  Label4->FocusControl = EdSombra;

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "El usuario podrá:";
  GroupBox1->SetBounds(16, 148, 344, 56);
  BLectura = Casilla(GroupBox1, "BLectura", "Modificar", 12);
  BEscritura = Casilla(GroupBox1, "BEscritura", "Grabar", 124);
  BBorrado = Casilla(GroupBox1, "BBorrado", "Borrar", 236);

  BtnAceptar2 = Make<TBitBtn>(this, "BtnAceptar2");
  BtnAceptar2->Kind = bkOK;
  BtnAceptar2->Caption = "&Aceptar";
  BtnAceptar2->SetBounds(40, 218, 96, 30);
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  BitBtn2->SetBounds(142, 218, 96, 30);
  BitBtn3 = Make<TBitBtn>(this, "BitBtn3");
  BitBtn3->Kind = bkHelp;
  BitBtn3->Caption = "A&yuda";
  BitBtn3->SetBounds(244, 218, 96, 30);

  BtnAceptar2->OnClick = [this](TObject* s) { BtnAceptar2Click(s); };
  ActiveControl = EdLogin;
}

AnsiString TFrmAddPermisos::Validar() {
  AnsiString msg;
  AnsiString login = EdLogin->Text;
  if (login.IsEmpty()) msg += "Coloque Login de Usuario\n";
  if (AnsiString(EdNombre->Text).IsEmpty()) msg += "Coloque Nombre de Usuario \n";
  if (UbicarUsuario(login))
    msg += "Ese Nombre de Usuario ya existe \n";
  else if (EsAdministrador(login))
    // Otra forma de escribir al administrador pasaría la puerta del administrador.
    msg += "Ese Nombre de Usuario está reservado para el administrador \n";
  if (AnsiString(EdPassword->Text).IsEmpty()) msg += "Falta colocar la clave principal \n";
  if (AnsiString(EdSombra->Text).IsEmpty()) msg += "Falta repetir la clave principal \n";
  if (AnsiString(EdPassword->Text) != AnsiString(EdSombra->Text)) msg += "Claves no Coinciden \n";
  return msg;
}

void TFrmAddPermisos::BtnAceptar2Click(TObject*) {
  AnsiString msg = Validar();
  if (!msg.IsEmpty()) {
    ShowMessage("Debe corregir:\n" + msg);
    return;
  }
  TTable* tbl = DM->TblPermisos;
  AnsiString login = EdLogin->Text;
  try {
    // La fila y su clave cifrada entran juntas o no entra nada.
    tv::db::Transaction tx(tbl->DatabaseName);
    tbl->Append();
    tbl->FieldByName("NUSUARIO")->AsString = EdNombre->Text;
    tbl->FieldByName("LOGIN")->AsString = login;
    tbl->FieldByName("PASSWORD")->Clear();
    tbl->FieldByName("BModificar")->AsBoolean = BLectura->Checked;
    tbl->FieldByName("BGrabar")->AsBoolean = BEscritura->Checked;
    tbl->FieldByName("BBorrar")->AsBoolean = BBorrado->Checked;
    tbl->Post();
    GuardarClave(tbl->DatabaseName, login, EdPassword->Text);
    tx.Commit();
  } catch (Exception& e) {
    if (tbl->State == dsInsert) tbl->Cancel();
    tbl->Refresh();
    Application->ShowException(&e);
    return;
  }
  tbl->Refresh();
  UbicarUsuario(login);
  ShowMessage("Usuario del programa adicionado");
}

// ---- modificar ------------------------------------------------------------------------

TFrmModiPermisos::TFrmModiPermisos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmModiPermisos";
  Caption = "Modificar Permisos";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 380;
  ClientHeight = 276;

  Label1 = Etiqueta(this, "Label1", "Login:", 16);
  CBLogin = Make<TComboBox>(this, "CBLogin");
  CBLogin->SetBounds(150, 16, 210, 24);
  Label1->FocusControl = CBLogin;
  Label2 = Etiqueta(this, "Label2", "Nombre Usuario:", 48);
  EdNombre = Campo(this, "EdNombre", 48, false);
  EdNombre->MaxLength = kAnchoNombre;
  Label3 = Etiqueta(this, "Label3", "Clave a Manejar:", 80);
  EdPassword = Campo(this, "EdPassword", 80, true);
  Label4 = Etiqueta(this, "Label4", "Repita Clave:", 112);
  EdSombra = Campo(this, "EdSombra", 112, true);
  Label2->FocusControl = EdNombre;
  Label3->FocusControl = EdPassword;
  Label4->FocusControl = EdSombra;

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "Defina los permisos del usuario en el manejo de Lecturas y Pagos:";
  GroupBox1->SetBounds(16, 148, 344, 64);
  ChBLectura = Casilla(GroupBox1, "ChBLectura", "Modificar", 12);
  ChBEscritura = Casilla(GroupBox1, "ChBEscritura", "Grabar", 124);
  ChBBorrado = Casilla(GroupBox1, "ChBBorrado", "Borrar", 236);

  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnAceptar->ModalResult = mrOk;
  BtnAceptar->SetBounds(84, 230, 100, 30);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkCancel;
  BitBtn1->Caption = "&Cancelar";
  BitBtn1->SetBounds(196, 230, 100, 30);

  CBLogin->OnChange = [this](TObject* s) { CBLoginChange(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  LlenarCombo(CBLogin);
  CBLoginChange(CBLogin);
}

void TFrmModiPermisos::CBLoginChange(TObject*) {
  AnsiString login = LoginDeCombo(CBLogin);
  ubicado_ = false;
  if (login.IsEmpty()) return;  // texto escrito que no es un usuario: nada que mostrar
  if (!UbicarUsuario(login)) {
    RepararTablaUsuarios();
    return;
  }
  TTable* tbl = DM->TblPermisos;
  ubicado_ = true;
  EdNombre->Text = tbl->FieldByName("NUSUARIO")->AsString;
  // La clave guardada es un resumen cifrado: las casillas quedan vacías y, si no se escribe
  // nada en ellas, la clave se conserva.
  claveGuardada_ = tbl->FieldByName("PASSWORD")->AsString;
  EdPassword->Text = "";
  EdSombra->Text = "";
  ChBLectura->Checked = tbl->FieldByName("BModificar")->AsBoolean;
  ChBEscritura->Checked = tbl->FieldByName("BGrabar")->AsBoolean;
  ChBBorrado->Checked = tbl->FieldByName("BBorrar")->AsBoolean;
}

bool TFrmModiPermisos::ClaveSinTocar() const {
  return AnsiString(EdPassword->Text).IsEmpty() && AnsiString(EdSombra->Text).IsEmpty();
}

AnsiString TFrmModiPermisos::Validar() {
  AnsiString msg;
  if (AnsiString(EdNombre->Text).IsEmpty()) msg += "Coloque Nombre de Usuario \n";
  if (ClaveSinTocar()) return msg;
  if (AnsiString(EdPassword->Text).IsEmpty()) msg += "Falta colocar la clave principal \n";
  if (AnsiString(EdSombra->Text).IsEmpty()) msg += "Falta repetir la clave principal \n";
  if (AnsiString(EdPassword->Text) != AnsiString(EdSombra->Text)) msg += "Claves no Coinciden \n";
  return msg;
}

void TFrmModiPermisos::BtnAceptarClick(TObject*) {
  AnsiString login = LoginDeCombo(CBLogin);
  if (login.IsEmpty() || !ubicado_) {
    ShowMessage("Escoja un usuario de la lista.");
    return;
  }
  AnsiString msg = Validar();
  if (!msg.IsEmpty()) {
    ShowMessage("Debe corregir:\n" + msg);
    return;
  }
  if (!UbicarUsuario(login)) {
    RepararTablaUsuarios();
    return;
  }
  TTable* tbl = DM->TblPermisos;
  try {
    tv::db::Transaction tx(tbl->DatabaseName);
    tbl->Edit();
    tbl->FieldByName("NUSUARIO")->AsString = EdNombre->Text;
    tbl->FieldByName("BModificar")->AsBoolean = ChBLectura->Checked;
    tbl->FieldByName("BGrabar")->AsBoolean = ChBEscritura->Checked;
    tbl->FieldByName("BBorrar")->AsBoolean = ChBBorrado->Checked;
    tbl->Post();
    GrabarClaveEscrita(login, ClaveSinTocar() ? claveGuardada_ : AnsiString(EdPassword->Text), claveGuardada_);
    tx.Commit();
  } catch (Exception& e) {
    if (tbl->State == dsEdit) tbl->Cancel();
    tbl->Refresh();
    Application->ShowException(&e);
    return;
  }
  tbl->Refresh();
  UbicarUsuario(login);
  ShowMessage("Permisos modificados.");
}

// ---- borrar ---------------------------------------------------------------------------

TFrmBorrarPermiso::TFrmBorrarPermiso(TComponent* Owner) : TForm(Owner) {
  Name = "FrmBorrarPermiso";
  Caption = "Borrar permiso a un usuario";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 380;
  ClientHeight = 110;

  Label1 = Etiqueta(this, "Label1", "Login:", 16);
  CBLogin = Make<TComboBox>(this, "CBLogin");
  CBLogin->SetBounds(150, 16, 210, 24);
  Label1->FocusControl = CBLogin;
  BtnBorrar = Make<TBitBtn>(this, "BtnBorrar");
  BtnBorrar->Kind = bkOK;
  BtnBorrar->Caption = "&Aceptar";
  BtnBorrar->SetBounds(84, 64, 100, 30);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkCancel;
  BitBtn1->Caption = "&Cancelar";
  BitBtn1->SetBounds(196, 64, 100, 30);

  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  LlenarCombo(CBLogin);
}

void TFrmBorrarPermiso::BtnBorrarClick(TObject*) {
  AnsiString login = LoginDeCombo(CBLogin);
  if (login.IsEmpty()) {
    ShowMessage("Escoja un usuario de la lista.");
    return;
  }
  // Sin la fila del administrador nadie podría volver a administrar la contabilidad.
  if (EsAdministrador(login)) {
    ShowMessage("No se puede borrar el usuario administrador.");
    return;
  }
  if (!UbicarUsuario(login)) {
    RepararTablaUsuarios();
    return;
  }
  DM->TblPermisos->Delete();
  ShowMessage("Permiso de Usuarios Eliminado");
  ModalResult = mrOk;
}
