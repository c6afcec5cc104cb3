#include "ledger/FrmModifCuenta.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

TFrmModifCuenta* FrmModifCuenta = nullptr;

namespace {

TRadioGroup* GrupoSiNo(TComponent* owner, const char* nombre, const char* titulo) {
  auto* g = Make<TRadioGroup>(owner, nombre);
  g->Caption = titulo;
  g->Columns = 2;
  g->Items->Add("Sí");
  g->Items->Add("No");
  g->ItemIndex = 1;
  return g;
}

void Texto(TTable* t, const char* campo, const AnsiString& valor) {
  t->FieldByName(campo)->AsString = valor;
}

}  // namespace

TFrmModifCuenta::TFrmModifCuenta(TComponent* Owner) : TForm(Owner) {
  Name = "FrmModifCuenta";
  Caption = "Modificar Cuenta";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Cuenta:";
  LblCuenta = Make<TLabel>(this, "LblCuenta");
  LblCuenta->Caption = "";
  LblCuenta->Font->Style = {fsBold};
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Nombre:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->MaxLength = 60;
  EdNombre->Width = 320;
  Label2->FocusControl = EdNombre;
  RadioGroup1 = GrupoSiNo(this, "RadioGroup1", "Exige Tercero");
  RadioGroup2 = GrupoSiNo(this, "RadioGroup2", "Codigo de Verificación");
  RadioGroup3 = GrupoSiNo(this, "RadioGroup3", "Unidad de Kardex");
  RadioGroup4 = GrupoSiNo(this, "RadioGroup4", "Exige Centro de Costo");
  Lbl = Make<TLabel>(this, "Lbl");
  Lbl->Caption = "Escriba Codigo de Verificacion:";
  EdCodigo = Make<TEdit>(this, "EdCodigo");
  EdCodigo->CharCase = ecUpperCase;
  EdCodigo->MaxLength = 10;
  Lbl2 = Make<TLabel>(this, "Lbl2");
  Lbl2->Caption = "Escriba Unidad de Kardex";
  EdUnidad = Make<TEdit>(this, "EdUnidad");
  EdUnidad->MaxLength = 10;
  Lbl->FocusControl = EdCodigo;
  Lbl2->FocusControl = EdUnidad;
  Lbl->Visible = false;
  EdCodigo->Visible = false;
  Lbl2->Visible = false;
  EdUnidad->Visible = false;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Kind = bkOK;
  BtnAceptar->Caption = "Aceptar";
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  OnActivate = [this](TObject* s) { FormActivate(s); };
  RadioGroup1->OnClick = [this](TObject* s) { RadioGroup1Click(s); };
  RadioGroup2->OnClick = [this](TObject* s) { RadioGroup2Click(s); };
  RadioGroup3->OnClick = [this](TObject* s) { RadioGroup3Click(s); };
  RadioGroup4->OnClick = [this](TObject* s) { RadioGroup4Click(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
}

void TFrmModifCuenta::FormActivate(TObject*) {
  TTable* plan = DM->TblPlan;
  EdNombre->Text = plan->FieldByName("nombcuen")->AsString;
  LblCuenta->Caption = plan->FieldByName("numecuen")->AsString;
  // Solo "S" exige: "N" (que acepta la rejilla del plan) se muestra como "No".
  RadioGroup1->ItemIndex = plan->FieldByName("exigterc")->AsString == "S" ? 0 : 1;
  RadioGroup4->ItemIndex = plan->FieldByName("centcost")->AsString == "S" ? 0 : 1;
  AnsiString codigo = plan->FieldByName("CodiVeri")->AsString;
  if (!codigo.IsEmpty()) {
    RadioGroup2->ItemIndex = 0;
    EdCodigo->Text = codigo;
  }
  Lbl->Visible = !codigo.IsEmpty();
  EdCodigo->Visible = !codigo.IsEmpty();
  bool kardex = plan->FieldByName("Cantidad")->AsString == "S";
  if (kardex) {
    RadioGroup3->ItemIndex = 0;
    EdUnidad->Text = plan->FieldByName("Unidades")->AsString;
  }
  Lbl2->Visible = kardex;
  EdUnidad->Visible = kardex;
  // Lo anterior no cuenta como cambio del usuario.
  tocoTercero = tocoCodigo = tocoKardex = tocoCCosto = false;
  EdCodigo->Modified = false;
  EdUnidad->Modified = false;
}

void TFrmModifCuenta::RadioGroup1Click(TObject*) { tocoTercero = true; }

void TFrmModifCuenta::RadioGroup4Click(TObject*) { tocoCCosto = true; }

void TFrmModifCuenta::RadioGroup2Click(TObject*) {
  tocoCodigo = true;
  bool si = RadioGroup2->ItemIndex == 0;
  Lbl->Visible = si;
  EdCodigo->Visible = si;
  if (si && Active()) EdCodigo->SetFocus();
}

void TFrmModifCuenta::RadioGroup3Click(TObject*) {
  tocoKardex = true;
  bool si = RadioGroup3->ItemIndex == 0;
  Lbl2->Visible = si;
  EdUnidad->Visible = si;
  if (Active()) EdNombre->SetFocus();
}

bool TFrmModifCuenta::Validar() {
  if (EdNombre->Text.get().IsEmpty()) {
    ShowMessage("Debe Digitar Nombre de Cuenta");
    return false;
  }
  if (RadioGroup2->ItemIndex == 0 && EdCodigo->Text.get().IsEmpty()) {
    ShowMessage("Debe Ingresar Un Codigo de Verificación");
    return false;
  }
  if (RadioGroup3->ItemIndex == 0 && EdUnidad->Text.get().IsEmpty()) {
    ShowMessage("Debe Ingresar Una Descripcion de Cantidad");
    return false;
  }
  return true;
}

void TFrmModifCuenta::BtnAceptarClick(TObject*) {
  if (!Validar()) return;
  TTable* plan = DM->TblPlan;
  plan->Edit();
  Texto(plan, "nombcuen", EdNombre->Text);
  // Un grupo que el usuario no tocó deja su campo como estaba.
  if (tocoTercero) Texto(plan, "exigterc", RadioGroup1->ItemIndex == 0 ? "S" : "");
  if (tocoCodigo || EdCodigo->Modified)
    Texto(plan, "codiveri", RadioGroup2->ItemIndex == 0 ? EdCodigo->Text.get().UpperCase() : AnsiString());
  if (tocoKardex || EdUnidad->Modified) {
    bool si = RadioGroup3->ItemIndex == 0;
    Texto(plan, "Cantidad", si ? "S" : "");
    Texto(plan, "unidades", si ? AnsiString(EdUnidad->Text) : AnsiString());
  }
  if (tocoCCosto) Texto(plan, "centcost", RadioGroup4->ItemIndex == 0 ? "S" : "");
  try {
    plan->Post();
  } catch (...) {
    plan->Cancel();
    throw;
  }
}
