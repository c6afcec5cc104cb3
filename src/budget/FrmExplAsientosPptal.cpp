#include "budget/FrmExplAsientosPptal.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/Explorado.h"
#include "budget/motor/Guardados.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"

TfrmExplAsientosPptal* frmExplAsientosPptal = nullptr;
TfrmExplMvtPptal* frmExplMvtPptal = nullptr;

TfrmExplAsientosPptal::TfrmExplAsientosPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmExplAsientosPptal";
  Caption = "Explorar asientos presupuestal";
  Position = poScreenCenter;
  ClientWidth = 720;
  ClientHeight = 440;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 44;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Dar doble click en una fila para ver los detalles";
  btnBorrar = Make<TBitBtn>(Panel1, "btnBorrar");
  btnBorrar->Caption = "&Eliminar el seleccionado actualmente";
  btnExportar = Make<TBitBtn>(Panel1, "btnExportar");
  btnExportar->Caption = "&Exportar";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->tblMvtPptalMaestro;
  DataSource1->OnDataChange = [this](TObject*, TField* f) {
    if (!f) LeerVersion();
  };
  LeerVersion();
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->DataSource = DataSource1;
  // La versión de grabación es interna del editor: no se lista. Las columnas son de la rejilla,
  // así que siguen iguales aunque otra ventana cierre y abra la tabla.
  TTable* maestro = DM->tblMvtPptalMaestro;
  for (int i = 0; i < maestro->FieldCount; ++i) {
    const AnsiString& campo = maestro->Fields[i]->FieldName;
    if (!SameText(campo, "version")) DBGrid1->Columns->Add()->FieldName = campo;
  }
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  Query1 = Make<TQuery>(this, "Query1");

  DBGrid1->OnDblClick = [this](TObject* s) { DBGrid1DblClick(s); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  // Sin botón de salida: Esc cierra el explorador.
  KeyPreview = true;
  OnKeyDown = [this](TObject*, Word& k, TShiftState sh) {
    if (k == VK_ESCAPE && sh.Empty()) {
      k = 0;
      Close();
    }
  };
}

void TfrmExplAsientosPptal::DBGrid1DblClick(TObject*) {
  frmExplMvtPptal = new TfrmExplMvtPptal(this);
  std::unique_ptr<TfrmExplMvtPptal> lineas(frmExplMvtPptal);
  lineas->ShowModal();
}

void TfrmExplAsientosPptal::LeerVersion() {
  TTable* maestro = DM->tblMvtPptalMaestro;
  version_ = !maestro->Active || maestro->IsEmpty()
                 ? 0
                 : tv::motor::VersionGuardada("MP", tv::motor::ClaveMovimiento(
                                                        maestro->FieldByName("iMvtPptal")->AsString.str(),
                                                        maestro->FieldByName("tipoMvtPptal")->AsString.str()));
}

void TfrmExplAsientosPptal::btnBorrarClick(TObject*) {
  if (Application->MessageBox("Está seguro de borrar el movimiento presupuestal seleccionado?", "Información",
                              MB_YESNO) != IDYES)
    return;
  TTable* maestro = DM->tblMvtPptalMaestro;
  if (maestro->IsEmpty()) return;
  std::string numero = maestro->FieldByName("iMvtPptal")->AsString.str();
  std::string tipo = maestro->FieldByName("tipoMvtPptal")->AsString.str();
  // Encabezado y renglones salen juntos; un rubro que quedaría sin disponible lo impide.
  Hecho(tv::motor::BorrarMovimiento(numero, tipo, version_));
  maestro->Refresh();
  DM->tblMvtPptal->Refresh();
}

void TfrmExplAsientosPptal::btnExportarClick(TObject*) {
  HagaSQL("Contabilidad", Query1,
          "select b.detalle, a.* from mvtPptal as a join mvtpptalmaestro as b on a.iMvtPptal=b.iMvtPptal and "
          "a.tipoMvtPPtal=b.tipoMvtPptal\t");
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = "movPptal.csv";
  if (!SaveDialog1->Execute()) return;
  DBToCSV(Query1, SaveDialog1->FileName);
  AnsiString error;
  if (!tv::os::OpenDocument(SaveDialog1->FileName, &error)) ShowMessage("Exportación terminada.");
}

TfrmExplMvtPptal::TfrmExplMvtPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmExplMvtPptal";
  Caption = "Explorar movimiento presupuestal";
  Position = poScreenCenter;
  ClientWidth = 720;
  ClientHeight = 320;

  Query1 = Make<TQuery>(this, "Query1");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  dbgMvtPpal = Make<TDBGrid>(this, "dbgMvtPpal");
  dbgMvtPpal->Align = alClient;
  dbgMvtPpal->ReadOnly = true;
  dbgMvtPpal->DataSource = DataSource1;

  TTable* maestro = DM->tblMvtPptalMaestro;
  AnsiString numero = maestro->IsEmpty() ? AnsiString() : AnsiString(maestro->FieldByName("imvtpptal")->AsString);
  AnsiString tipo = maestro->IsEmpty() ? AnsiString() : AnsiString(maestro->FieldByName("tipoMvtPptal")->AsString);
  HagaSQL("Contabilidad", Query1,
          "select * from mvtPptal where imvtPptal=" + TextoSQL(numero) + " and tipoMvtPptal=" + TextoSQL(tipo));
}
