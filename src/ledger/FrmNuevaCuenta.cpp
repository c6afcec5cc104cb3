#include "ledger/FrmNuevaCuenta.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

TFrmNuevaCuenta* FrmNuevaCuenta = nullptr;

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

}  // namespace

TFrmNuevaCuenta::TFrmNuevaCuenta(TComponent* Owner) : TForm(Owner) {
  Name = "FrmNuevaCuenta";
  Caption = "Nueva  Cuenta";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Código:";
  EdICuenta = Make<TMaskEdit>(this, "EdICuenta");
  EdICuenta->MaxLength = 18;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Nombre:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->MaxLength = 60;
  EdNombre->Width = 320;
  Label1->FocusControl = EdICuenta;
  Label2->FocusControl = EdNombre;
  RadioGroup1 = GrupoSiNo(this, "RadioGroup1", "Exige Tercero");
  RadioGroup2 = GrupoSiNo(this, "RadioGroup2", "Codigo de Verificación");
  RadioGroup3 = GrupoSiNo(this, "RadioGroup3", "Uso de Kardex");
  RadioGroup4 = GrupoSiNo(this, "RadioGroup4", "Exige Centro de Costos");
  Lbl = Make<TLabel>(this, "Lbl");
  Lbl->Caption = "Escriba Codigo de Verificacion:";
  EdCodigo = Make<TEdit>(this, "EdCodigo");
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
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkOK;
  BitBtn1->Caption = "Aceptar";
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  RadioGroup2->OnClick = [this](TObject* s) { RadioGroup2Click(s); };
  RadioGroup3->OnClick = [this](TObject* s) { RadioGroup3Click(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

  ActiveControl = EdICuenta;
  // El cursor queda tras el código del padre que el llamador deja en la casilla.
  Application->Post([this] {
    Word fin = VK_END;
    EdICuenta->KeyDown(fin, {});
  });
}

void TFrmNuevaCuenta::RadioGroup2Click(TObject*) {
  bool si = RadioGroup2->ItemIndex == 0;
  Lbl->Visible = si;
  EdCodigo->Visible = si;
}

void TFrmNuevaCuenta::RadioGroup3Click(TObject*) {
  bool si = RadioGroup3->ItemIndex == 0;
  Lbl2->Visible = si;
  EdUnidad->Visible = si;
}

bool TFrmNuevaCuenta::Validar() {
  AnsiString codigo = EdICuenta->Text.get().Trim();
  EdICuenta->Text = codigo;
  if (codigo.IsEmpty()) {
    ShowMessage("Debe Digitar Codigo de Cuenta");
    return false;
  }
  TTable* plan = DM->TblPlan;
  if (plan->Locate("numecuen", Variant(codigo))) {
    ShowMessage("Codigo de Cuenta Ya Existe");
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

void TFrmNuevaCuenta::BitBtn1Click(TObject*) {
  if (!Validar()) return;
  TTable* plan = DM->TblPlan;
  plan->Append();
  plan->FieldByName("numecuen")->AsString = EdICuenta->Text;
  plan->FieldByName("nombcuen")->AsString = EdNombre->Text;
  if (RadioGroup1->ItemIndex == 0) plan->FieldByName("exigterc")->AsString = "S";
  // El editor compara el código en mayúsculas: se guarda así.
  if (RadioGroup2->ItemIndex == 0)
    plan->FieldByName("codiveri")->AsString = EdCodigo->Text.get().UpperCase();
  if (RadioGroup3->ItemIndex == 0) {
    plan->FieldByName("Cantidad")->AsString = "S";
    plan->FieldByName("unidades")->AsString = EdUnidad->Text;
  }
  if (RadioGroup4->ItemIndex == 0) plan->FieldByName("centcost")->AsString = "S";
  try {
    plan->Post();
  } catch (...) {
    plan->Cancel();
    throw;
  }
}
