#include "ledger/FrmRenumerar.h"

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "ledger/motor/CambioClave.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmRenumerar* FrmRenumerar = nullptr;

bool ExisteDocumento(const AnsiString& aTipo, const AnsiString& aNumero) {
  TQuery q(nullptr);
  AnsiString donde = " where descdocu=" + TextoSQL(aTipo) + " and numedocu=" + TextoSQL(aNumero);
  HagaSQL("Contabilidad", &q, "select count(*) as n from mvt" + donde);
  if (q.FieldByName("n")->AsInteger > 0) return true;
  HagaSQL("Contabilidad", &q, "select count(*) as n from mvtMaestro" + donde);
  return q.FieldByName("n")->AsInteger > 0;
}

void CambiarDocumento(const AnsiString& aEspera, const AnsiString& aTipo, const AnsiString& aNumero,
                      const AnsiString& aTipoNuevo, const AnsiString& aNumeroNuevo) {
  TAviso aviso;
  aviso.Inicie(aEspera, true, false, 0, 0, 0);
  try {
    tv::motor::CambiarClaveDocumento("Contabilidad", aTipo.str(), aNumero.str(), aTipoNuevo.str(), aNumeroNuevo.str());
  } catch (...) {
    aviso.Termine();
    throw;
  }
  aviso.Termine();
  for (TTable* t : {DM->TblMovimiento, DM->tblMvtMaestro})
    if (t->Active) t->Refresh();
}

TFrmRenumerar::TFrmRenumerar(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRenumerar";
  Caption = "Cambiar un número a un documento";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Documento:";
  CBDocumentos = Make<TComboBox>(this, "CBDocumentos");
  CBDocumentos->Sorted = true;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Número original:";
  EdOriginal = Make<TEdit>(this, "EdOriginal");
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Nuevo número:";
  EdNuevo = Make<TEdit>(this, "EdNuevo");
  Label1->FocusControl = CBDocumentos;
  Label2->FocusControl = EdOriginal;
  Label3->FocusControl = EdNuevo;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
}

bool TFrmRenumerar::Validar() {
  AnsiString codigo = CodigoDeItem(CBDocumentos->Text);
  AnsiString original = EdOriginal->Text, nuevo = EdNuevo->Text;
  AnsiString msg;
  if (!DM->TblMovimiento->Locate("DescDocu;Numedocu", VarArrayOf({codigo, original})))
    msg += "Documento  original inexistente\n";
  if (original.IsEmpty()) msg += "Número original indefinido\n";
  if (nuevo.IsEmpty()) msg += "Número nuevo indefinido\n";
  else if (nuevo != original && ExisteDocumento(codigo, nuevo)) msg += "Documento destino ya existe\n";
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK | MB_ICONSTOP);
  return false;
}

void TFrmRenumerar::BtnAceptarClick(TObject*) {
  if (!Validar()) return;
  // Al mismo número no hay nada que cambiar.
  if (AnsiString(EdNuevo->Text) != AnsiString(EdOriginal->Text))
    CambiarDocumento("Cambiando número, espere...", CodigoDeItem(CBDocumentos->Text), EdOriginal->Text,
                     CodigoDeItem(CBDocumentos->Text), EdNuevo->Text);
  Application->MessageBox("Cambio de número exitoso", "Información", MB_OK | MB_ICONINFORMATION);
}
