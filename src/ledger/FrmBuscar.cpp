#include "ledger/FrmBuscar.h"

#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TfrmBuscar* frmBuscar = nullptr;

namespace {

// "Contiene": el texto escrito se busca literal, también "%", "_" y las comillas.
AnsiString Contiene(const std::string& aTexto) {
  return AnsiString("'%" + tv::db::EscapeLikePattern(aTexto) + "%' escape '\\'");
}

}  // namespace

TfrmBuscar::TfrmBuscar(TComponent* Owner) : TForm(Owner) {
  Name = "frmBuscar";
  Caption = "Buscar";
  Position = poScreenCenter;
  ClientWidth = 720;
  ClientHeight = 460;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Información a buscar:";
  edTexto = Make<TEdit>(this, "edTexto");
  Label1->FocusControl = edTexto;
  RG = Make<TRadioGroup>(this, "RG");
  RG->Caption = "Buscar por:";
  RG->Items->Add("Número de soporte");
  RG->Items->Add("Detalle");
  RG->Items->Add("Débito o Crédito");
  RG->ItemIndex = 0;
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "&Aceptar";
  BitBtn1->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->ReadOnly = true;
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  DBGrid1->DataSource = DataSource1;

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

void TfrmBuscar::BitBtn1Click(TObject*) {
  std::string texto = edTexto->Text.get().str();
  AnsiString sql;
  switch (RG->ItemIndex) {
    case 0:
      // Las líneas sin soporte también están en "todas" cuando no se escribe nada.
      sql = "select * from mvt where coalesce(numecomp,'') like " + Contiene(texto);
      break;
    case 1:
      sql = "select * from mvt where upper(coalesce(detalle,'')) like " + Contiene(tv::db::SpanishUpper(texto));
      break;
    case 2:
      if (!IsAllDigit(texto.c_str())) {
        Application->MessageBox("Debe digitar un valor numérico", "Error", MB_OK | MB_ICONSTOP);
        return;
      }
      sql = "select * from mvt where debito =" + AnsiString(texto) + " or credito=" + AnsiString(texto);
      break;
    default:
      return;
  }
  HagaSQL("Contabilidad", Query1, sql, true);
}
