#include "ledger/FrmRenombrar.h"

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "ledger/FrmRenumerar.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmRenombrar* FrmRenombrar = nullptr;

TFrmRenombrar::TFrmRenombrar(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRenombrar";
  Caption = "Renombrar un documento";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Nombre original";
  CBDocOrig = Make<TComboBox>(this, "CBDocOrig");
  CBDocOrig->Sorted = true;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Numero original:";
  EdNumOrig = Make<TEdit>(this, "EdNumOrig");
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Nuevo nombre:";
  CBDocNuevo = Make<TComboBox>(this, "CBDocNuevo");
  CBDocNuevo->Sorted = true;
  Label1->FocusControl = CBDocOrig;
  Label2->FocusControl = EdNumOrig;
  Label3->FocusControl = CBDocNuevo;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  FillCBFromTbl(CBDocOrig, DM->TblDocumentos, "CodiDocu", "NombDocu");
  FillCBFromTbl(CBDocNuevo, DM->TblDocumentos, "CodiDocu", "NombDocu");
}

bool TFrmRenombrar::Validar() {
  AnsiString codigo = CodigoDeItem(CBDocOrig->Text), nuevo = CodigoDeItem(CBDocNuevo->Text);
  AnsiString numero = EdNumOrig->Text;
  AnsiString msg;
  if (!DM->TblMovimiento->Locate("DescDocu;Numedocu", VarArrayOf({codigo, numero})))
    msg += "Documento  original inexistente\n";
  if (numero.IsEmpty()) msg += "Número original indefinido\n";
  if (nuevo.IsEmpty()) msg += "Tipo nuevo indefinido\n";
  else if (!DM->TblDocumentos->Locate("CodiDocu", Variant(nuevo))) msg += "Tipo nuevo inexistente\n";
  else if (nuevo != codigo && ExisteDocumento(nuevo, numero)) msg += "Documento destino ya existe\n";
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK | MB_ICONSTOP);
  return false;
}

void TFrmRenombrar::BtnAceptarClick(TObject*) {
  if (!Validar()) return;
  AnsiString codigo = CodigoDeItem(CBDocOrig->Text), nuevo = CodigoDeItem(CBDocNuevo->Text);
  // Al mismo tipo no hay nada que cambiar.
  if (nuevo != codigo)
    CambiarDocumento("Cambiando nombre, espere...", codigo, EdNumOrig->Text, nuevo, EdNumOrig->Text);
  Application->MessageBox("Cambio de nombre exitoso", "Información", MB_OK | MB_ICONINFORMATION);
}
