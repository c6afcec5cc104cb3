#include "ledger/FrmVerImp.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "ledger/FrmVerImprimir.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmVerImp* FrmVerImp = nullptr;

TFrmVerImp::TFrmVerImp(TComponent* Owner) : TForm(Owner) {
  Name = "FrmVerImp";
  Caption = "Ver / Imprimir";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 560;
  ClientHeight = 420;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Selecione Documento:";
  CBDocumentos = Make<TComboBox>(this, "CBDocumentos");
  CBDocumentos->Sorted = true;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Número de Documento:";
  edNumeDocu = Make<TEdit>(this, "edNumeDocu");
  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "Opciones de impresión";
  Label3 = Make<TLabel>(GroupBox1, "Label3");
  Label3->Caption = "Margen izquierdo (mm):";
  edMargen = Make<TEdit>(GroupBox1, "edMargen");
  edMargen->Text = "0";
  Label1->FocusControl = CBDocumentos;
  Label2->FocusControl = edNumeDocu;
  Label3->FocusControl = edMargen;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->ReadOnly = true;
  btnImprimir = Make<TBitBtn>(this, "btnImprimir");
  btnImprimir->Caption = "Ver";
  btnImprimir->Default = true;
  btnVerUnoGrid = Make<TBitBtn>(this, "btnVerUnoGrid");
  btnVerUnoGrid->Caption = "Ver el seleccionado";
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";
  Query2 = Make<TQuery>(this, "Query2");
  Query2->DatabaseName = "Contabilidad";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query2;
  DBGrid1->DataSource = DataSource1;

  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnVerUnoGrid->OnClick = [this](TObject* s) { btnVerUnoGridClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

  FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDOcu", "NombDocu");
  if (CBDocumentos->Items->Count() > 0) CBDocumentos->ItemIndex = 0;
  FrmVerImprimir = new TFrmVerImprimir(this);
}

void TFrmVerImp::btnImprimirClick(TObject*) {
  if (edNumeDocu->Text.get().IsEmpty()) {
    ShowMessage("Por favor Ingrese un Numero de Documento");
    return;
  }
  if (edMargen->Text.get().IsEmpty()) edMargen->Text = "0";
  AnsiString codigo = CodigoDeItem(CBDocumentos->Text);
  AnsiString numero = edNumeDocu->Text;
  if (!DM->TblMovimiento->Locate("DescDocu;Numedocu", VarArrayOf({codigo, numero}))) {
    ShowMessage("Documento no Existe");
    return;
  }
  int margen = StrToInt(edMargen->Text);

  HagaSQL("Contabilidad", Query1,
          "select * from Mvt where DescDocu=" + TextoSQL(codigo) + "  and Numedocu=" + TextoSQL(numero));
  Query1->First();
  AnsiString iTercero = Query1->FieldByName("cedulaNit")->AsString;
  AnsiString tipoPrimera = Query1->FieldByName("DescDocu")->AsString;
  double total = 0;
  bool unTercero = true;
  for (; !Query1->Eof; Query1->Next()) {
    total += RoundToCents(Query1->FieldByName("Debito")->AsFloat);  // como se imprime cada débito
    if (Query1->FieldByName("cedulaNit")->AsString != iTercero) unTercero = false;
  }
  Query1->First();

  TTable* maestro = DM->tblMvtMaestro;
  bool conDetalle = maestro->Locate("descdocu;numedocu", VarArrayOf({codigo, numero})) &&
                    !maestro->FieldByName("DETALLE")->AsString.IsEmpty();
  if (conDetalle) {
    AnsiString tercero = iTercero;
    if (DM->TblTerceros->Locate("CedulaNIT", Variant(iTercero)))
      tercero += " " + DM->TblTerceros->FieldByName("Nombre")->AsString;
    AnsiString modo;
    if (tipoPrimera == "IN") modo = "Recibido de:";
    else if (tipoPrimera == "CE") modo = "Pagado a:";
    else tercero = "";
    FrmRepAsientosconDetalle = new TFrmRepAsientosconDetalle(this);
    std::unique_ptr<TFrmRepAsientosconDetalle> rep(FrmRepAsientosconDetalle);
    rep->DataSource1->DataSet = Query1;
    rep->QRMemo1->Lines->SetText(maestro->FieldByName("DETALLE")->AsString);
    rep->LD->Caption = CBDocumentos->Text;
    rep->LN->Caption = numero;
    rep->Tercero = tercero;
    rep->QRLblModo->Caption = modo;
    rep->SumaEnLetras = total;
    rep->QuickReport1->Page->LeftMargin = margen;
    rep->QuickReport1->Preview();
  } else {
    TFrmVerImprimir* v = FrmVerImprimir;
    v->Limpiar();
    v->numeDocu = numero;
    v->descDocu = codigo;
    if (unTercero) {
      v->QRLabel14->Caption = iTercero;
      if (DM->TblTerceros->Locate("CedulaNIT", Variant(iTercero))) {
        v->QRLabel15->Caption = DM->TblTerceros->FieldByName("Nombre")->AsString;
        v->QRLabel16->Caption = DM->TblTerceros->FieldByName("direccion")->AsString;
      } else {
        v->QRLabel15->Caption = "Tercero no encontrado.";
      }
    } else {
      v->QRLabel14->Caption = "(varios)";
    }
    v->QuickReport1->Page->LeftMargin = margen;
    v->LD->Caption = CBDocumentos->Text;
    v->LN->Caption = numero;
    v->QuickReport1->Preview();
  }

  HagaSQL("Contabilidad", Query2, "select * from MvtMaestro where DescDocu=" + TextoSQL(codigo) + " order by numedocu");
  btnImprimir->Visible = false;
}

void TFrmVerImp::btnVerUnoGridClick(TObject* Sender) {
  edNumeDocu->Text = Query2->FieldByName("numedocu")->AsString;
  btnImprimirClick(Sender);
}

void TFrmVerImp::FormClose(TObject*, TCloseAction&) {
  delete FrmVerImprimir;
  FrmVerImprimir = nullptr;
}
