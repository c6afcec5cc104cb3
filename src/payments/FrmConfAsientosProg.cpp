#include "payments/FrmConfAsientosProg.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/SqlUtil.h"

TfrmConfAsientosProg* frmConfAsientosProg = nullptr;

namespace {

TColumn* Columna(TDBGrid* g, const char* campo, const char* titulo, int ancho, bool soloLectura = false) {
  TColumn* c = g->Columns->Add();
  c->FieldName = campo;
  c->Title->Caption = titulo;
  c->Width = ancho;
  c->ReadOnly = soloLectura;
  return c;
}

}  // namespace

TfrmConfAsientosProg::TfrmConfAsientosProg(TComponent* Owner) : TForm(Owner) {
  Name = "frmConfAsientosProg";
  Caption = "Configuración asientos programados";
  Position = poScreenCenter;
  ClientWidth = 720;
  ClientHeight = 520;

  dsAsientosProgCfg = Make<TDataSource>(this, "dsAsientosProgCfg");
  dsAsientosProgCfg->DataSet = DM->tblAsientosProgCfg;
  dsAsientosProg = Make<TDataSource>(this, "dsAsientosProg");
  dsAsientosProg->DataSet = DM->tblAsientosProg;

  DBGrid2 = Make<TDBGrid>(this, "DBGrid2");
  DBGrid2->SetBounds(8, 8, 704, 190);
  DBGrid2->DataSource = dsAsientosProgCfg;
  Columna(DBGrid2, "iAstoProg", "Código", 60, true);
  Columna(DBGrid2, "NAstoProg", "Descr. Asto Prog.", 230);
  Columna(DBGrid2, "DescDocu", "Tipo Comp", 80, true);
  TColumn* req = Columna(DBGrid2, "RequiereTercero", "Req. Tercero?", 100);
  req->PickList->Add("");
  req->PickList->Add("S");
  req->PickList->Add("N");
  Columna(DBGrid2, "Detalle", "Detalle", 200);

  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Cuenta:";
  Label3->SetBounds(8, 208, 50, 16);
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Font->Style = TFontStyles{fsBold};
  Label2->SetBounds(62, 208, 450, 16);

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->SetBounds(8, 230, 500, 200);
  DBGrid1->DataSource = dsAsientosProg;
  DBGrid1->Hint =
      "Dé un click adicional con el mouse para herramientas. Solo puede agregar rubros de ingresos, porque los "
      "de egreso se ejecutarán con los registros presupuestales";
  DBGrid1->ShowHint = true;
  Columna(DBGrid1, "numeCuen", "Cuenta", 150, true);
  Columna(DBGrid1, "naturaleza", "D o C", 60);
  TColumn* rubro = Columna(DBGrid1, "Rubro", "Rubro", 180);
  rubro->ButtonStyle = cbsEllipsis;
  rubro->Color = RGB(221, 255, 255);

  btnAgregarComp = Make<TBitBtn>(this, "btnAgregarComp");
  btnAgregarComp->Caption = "&Agregar Comprobante";
  btnAgregarComp->SetBounds(520, 230, 192, 28);
  btnBorrar = Make<TBitBtn>(this, "btnBorrar");
  btnBorrar->Caption = "&Borrar";
  btnBorrar->SetBounds(520, 264, 192, 28);
  btnEscCuenta = Make<TBitBtn>(this, "btnEscCuenta");
  btnEscCuenta->Caption = "&Cambiar cuenta";
  btnEscCuenta->SetBounds(520, 298, 192, 28);
  btnAddCta = Make<TBitBtn>(this, "btnAddCta");
  btnAddCta->Caption = "&Agregar cuenta";
  btnAddCta->SetBounds(520, 332, 192, 28);
  btnBorrarCuenta = Make<TBitBtn>(this, "btnBorrarCuenta");
  btnBorrarCuenta->Caption = "Borrar Cuenta";
  btnBorrarCuenta->SetBounds(520, 366, 192, 28);

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption =
      "Recuerde que los rubros que asocie aquí usualmente son de ingresos, pues los de egresos se manejan en "
      "registros presupuestales etc.";
  Label1->WordWrap = true;
  Label1->SetBounds(8, 438, 704, 34);

  btnGrabar = Make<TBitBtn>(this, "btnGrabar");
  btnGrabar->Caption = "&Grabar y Salir";
  btnGrabar->Default = true;
  btnGrabar->SetBounds(220, 480, 130, 30);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkCancel;
  BitBtn1->Caption = "&Salir";
  BitBtn1->Cancel = true;
  BitBtn1->SetBounds(370, 480, 130, 30);
  Query1 = Make<TQuery>(this, "Query1");

  btnAgregarComp->OnClick = [this](TObject* s) { btnAgregarCompClick(s); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnEscCuenta->OnClick = [this](TObject* s) { btnEscCuentaClick(s); };
  btnAddCta->OnClick = [this](TObject* s) { btnEscCuentaClick(s); };
  btnBorrarCuenta->OnClick = [this](TObject* s) { btnBorrarCuentaClick(s); };
  btnGrabar->OnClick = [this](TObject* s) { btnGrabarClick(s); };
  BitBtn1->OnClick = [this](TObject*) { ModalResult = mrCancel; };
  DBGrid1->OnEditButtonClick = [this](TObject* s) { DBGrid1EditButtonClick(s); };
  DBGrid2->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c, TGridDrawState st) {
    DBGrid2DrawColumnCell(s, r, dc, c, st);
  };
  DBGrid1->OnKeyDown = [this](TObject*, Word& k, TShiftState sh) { GridKeyDown(DBGrid1, k, sh); };
  DBGrid2->OnKeyDown = [this](TObject*, Word& k, TShiftState sh) { GridKeyDown(DBGrid2, k, sh); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };

  TTable* cfg = DM->tblAsientosProgCfg;
  iAstoProg = cfg->IsEmpty() ? 0 : cfg->FieldByName("iAstoProg")->AsInteger;
  descDocu = cfg->IsEmpty() ? AnsiString() : cfg->FieldByName("descDocu")->AsString;
  Filtrar();
  dsAsientosProgCfg->OnDataChange = [this](TObject* s, TField* f) { dsAsientosProgCfgDataChange(s, f); };
  dsAsientosProg->OnUpdateData = [this](TObject* s) { dsAsientosProgUpdateData(s); };
  dsAsientosProg->OnDataChange = [this](TObject* s, TField* f) { dsAsientosProgDataChange(s, f); };
  dsAsientosProgDataChange(nullptr, nullptr);
}

TfrmConfAsientosProg::~TfrmConfAsientosProg() {
  // Las fuentes son de este formulario; las tablas compartidas siguen abiertas sin ellas.
  dsAsientosProgCfg->OnDataChange = nullptr;
  dsAsientosProg->OnDataChange = nullptr;
  dsAsientosProg->OnUpdateData = nullptr;
}

void TfrmConfAsientosProg::Filtrar() {
  filtro = "iAstoProg='" + IntToStr(iAstoProg) + "'";
  DM->tblAsientosProg->Filter = filtro;
  DM->tblAsientosProg->Filtered = true;
}

void TfrmConfAsientosProg::dsAsientosProgCfgDataChange(TObject*, TField* Field) {
  if (Field) return;  // solo el cambio de fila, no la edición de un campo
  TTable* cfg = DM->tblAsientosProgCfg;
  if (cfg->IsEmpty()) return;
  iAstoProg = cfg->FieldByName("iAstoProg")->AsInteger;
  Filtrar();
}

void TfrmConfAsientosProg::btnAgregarCompClick(TObject*) {
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, DM->DSDocumentos, "Cod. Comp", "Nomb Comp.", "codiDocu", "nombDocu", false, ""));
  FrmBuscTabla = busca.get();
  // Una lista vacía no da qué escoger: nada se agrega.
  if (busca->ceroRegistros || busca->ShowModal() != mrOk) return;
  descDocu = busca->GetContenido1();
  busca.reset();

  TTable* cfg = DM->tblAsientosProgCfg;
  // El número nuevo es el mayor guardado más uno (la última fila en el orden de la llave).
  int nuevo = 1;
  if (!cfg->IsEmpty()) {
    cfg->Last();
    nuevo = cfg->FieldByName("iAstoProg")->AsInteger + 1;
  }
  if (cfg->Locate("iAstoProg", Variant(nuevo), TLocateOptions{})) {
    ShowMessage("Comprobante ya agregado.");
  } else {
    auto reaccion = dsAsientosProgCfg->OnDataChange;
    dsAsientosProgCfg->OnDataChange = nullptr;
    try {
      cfg->Append();
      cfg->FieldByName("iAstoProg")->AsInteger = nuevo;
      cfg->FieldByName("descDocu")->AsString = descDocu;
      cfg->Post();
    } catch (...) {
      if (cfg->State == dsInsert) cfg->Cancel();
      dsAsientosProgCfg->OnDataChange = reaccion;
      throw;
    }
    dsAsientosProgCfg->OnDataChange = reaccion;
  }
  iAstoProg = nuevo;
  Filtrar();
  cfg->Refresh();
  cfg->Locate("iAstoProg", Variant(nuevo), TLocateOptions{});
}

void TfrmConfAsientosProg::btnEscCuentaClick(TObject* Sender) {
  TTable* cfg = DM->tblAsientosProgCfg;
  if (cfg->IsEmpty()) return;
  iAstoProg = cfg->FieldByName("iAstoProg")->AsInteger;
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, DM->DSPlan, "Código", "Cuenta", "numeCuen", "nombCuen", false, ""));
  FrmBuscTabla = busca.get();
  if (busca->ceroRegistros || busca->ShowModal() == mrCancel) return;
  AnsiString cuenta = busca->GetContenido1();
  busca.reset();
  TTable* lineas = DM->tblAsientosProg;
  bool cambiar = Sender == btnEscCuenta;
  if (cambiar && lineas->IsEmpty()) return;  // no hay línea que cambiar
  if (cambiar)
    lineas->Edit();
  else
    lineas->Append();
  lineas->FieldByName("numeCuen")->AsString = cuenta;
  lineas->FieldByName("iastoProg")->AsInteger = iAstoProg;
  lineas->Post();
}

void TfrmConfAsientosProg::DBGrid1EditButtonClick(TObject*) {
  TTable* lineas = DM->tblAsientosProg;
  if (lineas->IsEmpty()) return;
  std::unique_ptr<TFrmBuscTabla> busca(
      new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "Cuenta", "icuenta", "ncuenta", true, "tipoCuenta='I'"));
  FrmBuscTabla = busca.get();
  if (busca->ceroRegistros) return;
  busca->ShowModal();
  // Salir sin escoger deja la línea sin rubro.
  AnsiString rubro = busca->GetContenido1();
  busca.reset();
  lineas->Edit();
  lineas->FieldByName("rubro")->AsString = rubro;
  lineas->Post();
}

void TfrmConfAsientosProg::dsAsientosProgUpdateData(TObject*) {
  TField* nat = DM->tblAsientosProg->FieldByName("naturaleza");
  AnsiString n = nat->AsString;
  if (!n.IsEmpty() && n[1] >= 'a' && n[1] <= 'z') nat->AsString = n.UpperCase();
}

void TfrmConfAsientosProg::dsAsientosProgDataChange(TObject*, TField*) {
  TTable* lineas = DM->tblAsientosProg;
  if (lineas->IsEmpty() && lineas->State != dsInsert) {
    Label2->Caption = "";
    return;
  }
  Label2->Caption = getNcuenta(lineas->FieldByName("numeCuen")->AsString);
}

void TfrmConfAsientosProg::btnBorrarCuentaClick(TObject*) {
  TTable* lineas = DM->tblAsientosProg;
  if (lineas->IsEmpty()) return;
  lineas->Delete();
  lineas->Refresh();
}

void TfrmConfAsientosProg::btnBorrarClick(TObject*) {
  TTable* cfg = DM->tblAsientosProgCfg;
  if (cfg->State == dsEdit || cfg->State == dsInsert) cfg->Post();
  if (cfg->IsEmpty()) return;
  iAstoProg = cfg->FieldByName("iAstoProg")->AsInteger;
  AnsiString n = IntToStr(iAstoProg);
  {
    // Las cuatro limpiezas van juntas o ninguna.
    tv::db::Transaction tx("Contabilidad");
    HagaSQL("Contabilidad", Query1, "delete from asientosProg where numecuen is null");
    HagaSQL("Contabilidad", Query1, "delete from asientosProg where iAstoProg=" + n);
    HagaSQL("Contabilidad", Query1, "delete from asientosProgCfg where descdocu is null");
    HagaSQL("Contabilidad", Query1, "delete from asientosProgCfg where iAstoProg=" + n);
    tx.Commit();
  }
  DM->tblAsientosProg->Refresh();
  cfg->Refresh();
}

bool TfrmConfAsientosProg::validar() {
  AnsiString msg;
  TTable* cfg = DM->tblAsientosProgCfg;
  if (cfg->State == dsEdit || cfg->State == dsInsert) cfg->Post();
  TTable* lineas = DM->tblAsientosProg;
  if (lineas->State == dsEdit || lineas->State == dsInsert) lineas->Post();
  if (!cfg->IsEmpty()) {
    AnsiString req = cfg->FieldByName("requiereTercero")->AsString.UpperCase();
    if (req != "S" && req != "N" && !req.IsEmpty()) msg += "En requiere tercero debe colocar S o N o dejarlo vacio\n";
  }
  TBookmark marca = lineas->GetBookmark();
  lineas->DisableControls();
  for (lineas->First(); !lineas->Eof; lineas->Next()) {
    AnsiString nat = lineas->FieldByName("naturaleza")->AsString;
    if (nat != "D" && nat != "C")
      msg += "En la " + lineas->FieldByName("numeCuen")->AsString + " debe especificar D o C  (débito o crédito)\n";
  }
  if (lineas->BookmarkValid(marca)) lineas->GotoBookmark(marca);
  lineas->FreeBookmark(marca);
  lineas->EnableControls();
  if (msg.IsEmpty()) return true;
  ShowMessage(msg);
  return false;
}

void TfrmConfAsientosProg::btnGrabarClick(TObject*) {
  if (validar()) ModalResult = mrOk;
}

void TfrmConfAsientosProg::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = validar();
  if (CanClose) DM->tblAsientosProg->Filtered = false;
}

void TfrmConfAsientosProg::DBGrid2DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                                 TGridDrawState State) {
  if (DataCol != 3) {
    DBGrid2->DefaultDrawColumnCell(Rect, DataCol, Column, State);
    return;
  }
  TCanvas* c = DBGrid2->Canvas;
  TRect r(Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1);
  c->FillRect(r);
  AnsiString texto = Column->Field() ? Column->Field()->AsString.UpperCase() : AnsiString();
  c->TextOut(Rect.Right - c->TextWidth(texto) - 2, Rect.Top + 2, texto);
}

void TfrmConfAsientosProg::GridKeyDown(TDBGrid* Grid, Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE && Shift.Contains(ssCtrl)) Key = 0;
  TDataSet* ds = Grid->DataSource->DataSet;
  if (Key == VK_DOWN && ds && (ds->IsEmpty() || ds->RecNo == ds->RecordCount)) Key = 0;
}
