#include "reports/FrmDatosInforme.h"

#include <memory>

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"

TFrmDatosInforme* FrmDatosInforme = nullptr;

namespace {

TEdit* Campo(TForm* f, const char* nombre, const char* texto, int left, int top) {
  auto* e = Make<TEdit>(f, nombre);
  e->Text = texto;
  e->SetBounds(left, top, 180, 24);
  return e;
}

TLabel* Vista(TForm* f, const char* nombre, const char* texto, int left, int top) {
  auto* l = Make<TLabel>(f, nombre);
  l->Caption = texto;
  l->AutoSize = false;
  l->Alignment = taCenter;
  l->Color = clWhite;
  l->SetBounds(left, top, 172, 18);
  return l;
}

}  // namespace

TFrmDatosInforme::TFrmDatosInforme(TComponent* Owner) : TForm(Owner) {
  Name = "FrmDatosInforme";
  Caption = "Datos Informe";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 600;
  ClientHeight = 290;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Llene los Campos Inferiores Puesto que así saldrá en el balance";
  Label1->Font->Style = {fsBold};
  Label1->SetBounds(16, 12, 568, 18);
  Edit2 = Campo(this, "Edit2", "Gerente", 16, 40);
  Edit4 = Campo(this, "Edit4", "Revisor Fiscal", 210, 40);
  Edit6 = Campo(this, "Edit6", "Tallivar", 404, 40);
  Edit1 = Campo(this, "Edit1", "", 16, 72);
  Edit3 = Campo(this, "Edit3", "", 210, 72);
  Edit5 = Campo(this, "Edit5", "", 404, 72);
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Vista Previa";
  Label2->Font->Style = {fsBold};
  Label2->SetBounds(16, 110, 120, 18);
  Shape1 = Make<TShape>(this, "Shape1");
  Shape1->SetBounds(16, 132, 568, 92);
  // La vista previa arranca en orden inverso al de los campos, como quedó en el diseño.
  LSC1 = Vista(this, "LSC1", "Tallivar", 24, 160);
  LSC2 = Vista(this, "LSC2", "Revisor Fiscal", 214, 160);
  LSC3 = Vista(this, "LSC3", "Gerente", 404, 160);
  LC1 = Vista(this, "LC1", "", 24, 186);
  LC2 = Vista(this, "LC2", "", 214, 186);
  LC3 = Vista(this, "LC3", "", 404, 186);
  BitBtn3 = Make<TBitBtn>(this, "BitBtn3");
  BitBtn3->Caption = "P y G";
  BitBtn3->SetBounds(150, 242, 96, 32);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "Balance";
  BitBtn1->Default = true;
  BitBtn1->SetBounds(252, 242, 96, 32);
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Cancelar";
  BitBtn2->SetBounds(354, 242, 96, 32);

  struct Vinculo {
    TEdit* edit;
    TLabel* vista;
    const char* campo;
  };
  for (Vinculo v : {Vinculo{Edit2, LSC1, "ICargo1"}, Vinculo{Edit4, LSC2, "ICargo2"},
                    Vinculo{Edit6, LSC3, "ICargo3"}, Vinculo{Edit1, LC1, "NCargo1"},
                    Vinculo{Edit3, LC2, "NCargo2"}, Vinculo{Edit5, LC3, "NCargo3"}}) {
    v.edit->OnChange = [v](TObject*) { v.vista->Caption = v.edit->Text; };
    v.edit->OnExit = [this, v](TObject*) { Guardar(v.edit, v.campo); };
  }
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
}

void TFrmDatosInforme::Guardar(TEdit* aEdit, const char* aCampo) {
  AnsiString texto = aEdit->Text;
  if (texto.IsEmpty()) return;
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  if (t->IsEmpty()) {
    t->Append();
  } else {
    t->First();
    t->Edit();
  }
  try {
    t->FieldByName(aCampo)->AsString = texto;
    t->Post();
  } catch (...) {
    t->Cancel();
    throw;
  }
}

void TFrmDatosInforme::AbrirBalance(const AnsiString& aTitulo, int aLlamado, bool aCierre) {
  FrmBalances = new TFrmBalances(this);
  std::unique_ptr<TFrmBalances> f(FrmBalances);
  f->Caption = aTitulo;
  f->Llamado = aLlamado;
  if (aCierre) f->ChBCierre->Visible = true;
  f->ShowModal();
}

void TFrmDatosInforme::BitBtn1Click(TObject*) { AbrirBalance("Balance General", 1, true); }

void TFrmDatosInforme::BitBtn3Click(TObject*) {
  AbrirBalance("Estado de Perdidas y Ganancias", 3, false);
}
