#include "ledger/FrmBorrarAsiento.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmBorrarAsiento* FrmBorrarAsiento = nullptr;

TFrmBorrarAsiento::TFrmBorrarAsiento(TComponent* Owner) : TForm(Owner) {
  Name = "FrmBorrarAsiento";
  Caption = "Borrar Asiento";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ShowHint = true;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Documento:";
  CBDocumentos = Make<TComboBox>(this, "CBDocumentos");
  CBDocumentos->Sorted = true;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Número:";
  EdDocumentos = Make<TEdit>(this, "EdDocumentos");
  Label1->FocusControl = CBDocumentos;
  Label2->FocusControl = EdDocumentos;
  btnAceptar = Make<TBitBtn>(this, "btnAceptar");
  btnAceptar->Caption = "Aceptar";
  btnAceptar->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  StatusBar = Make<TStatusBar>(this, "StatusBar");
  StatusBar->SimplePanel = true;
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";

  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
  auto f1 = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnKeyDown = f1;
  CBDocumentos->OnKeyDown = f1;
  EdDocumentos->OnKeyDown = f1;
  auto estado = [this](const char* texto) {
    return [this, texto](TObject*, TShiftState, int, int) {
      StatusBar->SimpleText = texto;
      StatusBar->Invalidate();
    };
  };
  CBDocumentos->OnEnter = [this](TObject*) {
    StatusBar->SimpleText = "Seleccione el tipo de documento.";
    StatusBar->Invalidate();
  };
  EdDocumentos->OnMouseMove = estado("Ingrese el numero e asiento a borrar");
  btnAceptar->OnMouseMove = estado("Borrar Asiento");
  OnMouseMove = estado("Borrar Asiento: Para obtener ayuda persione F1");

  FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
  if (CBDocumentos->Items->Count() > 0) CBDocumentos->ItemIndex = 0;
}

void TFrmBorrarAsiento::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  AnsiString pagina = PathOrigen + "/help/Asientoborrar.html", error;
  if (!tv::os::OpenHelpPage(pagina, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + pagina + ": " + error);
}

void TFrmBorrarAsiento::btnAceptarClick(TObject*) {
  AnsiString numero = EdDocumentos->Text;
  if (numero.IsEmpty()) {
    ShowMessage("Por favor Ingrese un Numero de Documento");
    return;
  }
  AnsiString codigo = CodigoDeItem(CBDocumentos->Text);
  AnsiString donde = " where DescDocu=" + TextoSQL(codigo) + "  and Numedocu=" + TextoSQL(numero);
  HagaSQL("Contabilidad", Query1, "select *  from mvtMaestro" + donde);
  if (!Query1->IsEmpty()) {
    Query1->First();
    AnsiString pregunta = "Realmente desea borrar a " + Query1->FieldByName("descDocu")->AsString + " " +
                          Query1->FieldByName("numeDocu")->AsString + " con un valor de " +
                          AnsiString(Punto(Query1->FieldByName("valor")->AsFloat, 2)) + "?";
    if (Application->MessageBox(pregunta, "Advertencia", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  }
  Query1->Close();
  // Líneas, encabezado y líneas de trabajo se van juntas o no se va ninguna.
  int borradas = 0;
  tv::db::Transaction tx("Contabilidad");
  for (const char* tabla : {"DELETE  from Mvt", "delete  from mvtMaestro", "delete  from asientos"}) {
    HagaSQL("Contabilidad", Query1, AnsiString(tabla) + donde);
    borradas += Query1->RowsAffected;
  }
  tx.Commit();
  for (TTable* t : {DM->TblMovimiento, DM->tblMvtMaestro})
    if (t->Active) t->Refresh();
  ShowMessage(borradas > 0 ? "Documento Borrado" : "Documento no existe.");
}
