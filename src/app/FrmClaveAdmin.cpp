#include "app/FrmClaveAdmin.h"

#include "app/Claves.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/forms/Buttons.h"

TfrmClaveAdmin* frmClaveAdmin = nullptr;

TfrmClaveAdmin::TfrmClaveAdmin(TComponent* Owner) : TForm(Owner) {
  Name = "frmClaveAdmin";
  Caption = "Clave del administrador";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Digite la clave del administrador:";
  edPassword = Make<TEdit>(this, "edPassword");
  edPassword->PasswordChar = '*';
  Label1->FocusControl = edPassword;
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "&Aceptar";
  BitBtn1->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

// La clave escrita nunca queda en el diálogo entre un uso y el siguiente.
void TfrmClaveAdmin::FormShow(TObject*) {
  edPassword->Text = "";
  ActiveControl = edPassword;
}

void TfrmClaveAdmin::BitBtn1Click(TObject*) {
  AnsiString guardada = Permisos.GetClaveAdmin();
  if (!ClaveCoincide(edPassword->Text, guardada)) return;
  // Una clave antigua sin cifrar se cifra en cuanto se comprueba.
  if (!guardada.IsEmpty() && !EsClaveCifrada(guardada))
    Permisos.claveAdmin = GuardarClave(PathCont, kLoginAdministrador, edPassword->Text);
  ModalResult = mrOk;
}
