#include "app/Contabilidades.h"

#include <memory>

#include "app/DataModule.h"
#include "app/FrmClave.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "shared/general/BdeUtil.h"

TFrmCambiarContabilidad* FrmCambiarContabilidad = nullptr;
TFrmBorrarContabilida* FrmBorrarContabilida = nullptr;
TfrmEditarContabs* frmEditarContabs = nullptr;

namespace {

// Rejilla de solo lectura con las columnas "Contabilidad" y "Año".
TDBGrid* RejillaContabs(TForm* f, TDataSource* ds, int top, int height) {
  auto* g = Make<TDBGrid>(f, "DBGrid1");
  g->SetBounds(12, top, 376, height);
  g->DataSource = ds;
  g->ReadOnly = true;
  g->Options = TDBGridOptions{dgTitles, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection};
  TColumn* c = g->Columns->Add();
  c->FieldName = "NContabilidad";
  c->Title->Caption = "Contabilidad";
  c->ReadOnly = true;
  c->Width = 250;
  c = g->Columns->Add();
  c->FieldName = "anio";
  c->Title->Caption = "Año";
  c->ReadOnly = true;
  c->Width = 80;
  return g;
}

bool EsLaAbierta(TDataSet* t) {
  return RutaCompletaContabilidad(t->FieldByName("rutaContabilidad")->AsString) == PathCont &&
         t->FieldByName("anio")->AsInteger == static_cast<int>(anioGlobal);
}

}  // namespace

AnsiString RutaCompletaContabilidad(const AnsiString& aRuta) { return RutaDelPrograma(aRuta); }

bool UbicarContabilidadAbierta() {
  TTable* t = DM->TblContabs;
  if (!t->Active) return false;
  if (!t->IsEmpty() && EsLaAbierta(t)) return true;
  for (t->First(); !t->Eof; t->Next())
    if (EsLaAbierta(t)) return true;
  return false;
}

void RepararListaContabilidades() {
  ShowMessage("La tabla de contabilidades se encuentra corrupta.Tallivar intentará repararla.");
  // La lista vive en la carpeta del programa, no en la carpeta de trabajo.
  RepararYReabrir(nullptr, PathOrigen, true);
}

void AbrirEditorDeContabs(TComponent* Owner) {
  frmEditarContabs = new TfrmEditarContabs(Owner);
  std::unique_ptr<TfrmEditarContabs> f(frmEditarContabs);
  f->ShowModal();
}

// ---- cambiar ---------------------------------------------------------------------------

bool EntrarEnContabilidad(TComponent* Owner, const AnsiString& ruta) {
  // Cada contabilidad tiene sus usuarios: se entra a la nueva antes de usar sus tablas.
  AnsiString pathAntes = PathCont, loginAntes = Login;
  PathCont = ruta;
  bool entro = false;
  FrmClave = new TFrmClave(Owner, true);
  try {
    FrmClave->ShowModal();
    entro = FrmClave->UserValid && FrmClave->resultado;
  } catch (...) {
    delete FrmClave;
    PathCont = pathAntes;
    Login = loginAntes;
    throw;
  }
  delete FrmClave;
  PathCont = pathAntes;
  if (!entro) Login = loginAntes;
  return entro;
}

bool AbrirContabilidad(TComponent* Owner, const AnsiString& ruta, const AnsiString& nombre,
                       unsigned short anio, bool pedirEntrada) {
  if (pedirEntrada && !EntrarEnContabilidad(Owner, ruta)) return false;
  PathCont = ruta;
  NContabilidad = nombre;
  anioGlobal = anio;
  DM->CloseTablas();
  DM->InitTablas(ruta);
  if (!DM->TablasAbiertas()) return false;
  // Los derechos y la clave del administrador son los de la contabilidad nueva.
  Permisos = TPermisos();
  Permisos.Init();
  if (marcaDeEstaCorrida) EscribirMarca(PathCont);
  UbicarContabilidadAbierta();
  return true;
}

TFrmCambiarContabilidad::TFrmCambiarContabilidad(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCambiarContabilidad";
  Caption = "Cambiar Contabilidad";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 400;
  ClientHeight = 300;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Seleccione una contabilidad";
  Label1->Font->Style = TFontStyles{fsBold, fsItalic};
  Label1->Font->Color = clBlue;
  Label1->Font->Size = 10;
  Label1->SetBounds(12, 10, 376, 20);
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblContabs;
  DBGrid1 = RejillaContabs(this, DataSource1, 36, 212);
  BtnCambiar = Make<TBitBtn>(this, "BtnCambiar");
  BtnCambiar->Caption = "Cambiar";
  BtnCambiar->Default = true;
  BtnCambiar->SetBounds(60, 260, 130, 30);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "Seguir en la misma";
  BitBtn1->Cancel = true;
  BitBtn1->SetBounds(210, 260, 130, 30);

  BtnCambiar->OnClick = [this](TObject* s) { BtnCambiarClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  ActiveControl = DBGrid1;
}

void TFrmCambiarContabilidad::BtnCambiarClick(TObject*) {
  TTable* t = DM->TblContabs;
  if (t->IsEmpty()) return;
  AnsiString ruta = RutaCompletaContabilidad(t->FieldByName("rutaContabilidad")->AsString);
  AnsiString nombre = t->FieldByName("NContabilidad")->AsString;
  unsigned short anio = static_cast<unsigned short>(t->FieldByName("anio")->AsInteger);
  if (!DirectoryExists(ruta)) {
    ShowMessage("Hay un problema con la ruta de las tablas. Por favor corrijalas.");
    return;
  }
  Path = ruta;
  if (!AbrirContabilidad(this, Path, nombre, anio, true)) return;
  ModalResult = mrOk;
}

void TFrmCambiarContabilidad::BitBtn1Click(TObject*) {
  if (!UbicarContabilidadAbierta()) RepararListaContabilidades();
  ModalResult = mrCancel;
}

// ---- borrar ----------------------------------------------------------------------------

TFrmBorrarContabilida::TFrmBorrarContabilida(TComponent* Owner) : TForm(Owner) {
  Name = "FrmBorrarContabilida";
  Caption = "Borrar Contabilidad";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 400;
  ClientHeight = 300;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Seleccione la Contabilidad a Borrar:";
  Label1->SetBounds(12, 10, 376, 20);
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblContabs;
  DBGrid1 = RejillaContabs(this, DataSource1, 36, 212);
  BtnBorrar = Make<TBitBtn>(this, "BtnBorrar");
  BtnBorrar->Caption = "&Borrar";
  BtnBorrar->Default = true;
  BtnBorrar->ModalResult = mrOk;
  BtnBorrar->SetBounds(80, 260, 110, 30);
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  BitBtn2->SetBounds(210, 260, 110, 30);

  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  ActiveControl = DBGrid1;
}

void TFrmBorrarContabilida::BtnBorrarClick(TObject*) {
  TTable* t = DM->TblContabs;
  if (t->IsEmpty()) return;
  if (MessageBox(nullptr, "La contabilidad será eliminada. Está seguro que no la necesita?",
                 "Advertencia", MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  if (EsLaAbierta(t)) {
    ShowMessage("No se puede borrar la contabilidad de trabajo actual");
    return;
  }
  t->Edit();
  t->FieldByName("Activa")->AsString = "N";
  t->Post();
  CheckDbiError(DbiSaveChanges(t->Handle()), "borrarcontabilidad", __LINE__);
  ShowMessage("Contabilidad Borrada");
}

void TFrmBorrarContabilida::FormClose(TObject*, TCloseAction&) {
  if (!UbicarContabilidadAbierta()) RepararListaContabilidades();
}

// ---- editor de la lista ---------------------------------------------------------------

TfrmEditarContabs::TfrmEditarContabs(TComponent* Owner) : TForm(Owner) {
  Name = "frmEditarContabs";
  Caption = "Editar contabilidades";
  Position = poScreenCenter;
  ClientWidth = 640;
  ClientHeight = 300;

  tblContabs = Make<TTable>(this, "tblContabs");
  tblContabs->TableName = "contabs";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = tblContabs;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->DataSource = DataSource1;
  const struct {
    const char* campo;
    const char* titulo;
    int ancho;
  } columnas[] = {{"NContabilidad", "Contabilidad", 110},
                  {"rutaContabilidad", "Carpeta", 330},
                  {"anio", "Año", 60},
                  {"Activa", "Activa", 60}};
  for (const auto& c : columnas) {
    TColumn* col = DBGrid1->Columns->Add();
    col->FieldName = c.campo;
    col->Title->Caption = c.titulo;
    col->Width = c.ancho;
  }

  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  tblContabs->BeforePost = [this](TDataSet* d) { tblContabsBeforePost(d); };
}

void TfrmEditarContabs::FormActivate(TObject*) {
  if (tblContabs->Active) return;
  tblContabs->DatabaseName = PathOrigen;
  tblContabs->Open();
}

void TfrmEditarContabs::tblContabsBeforePost(TDataSet* DataSet) {
  // El selector solo muestra las filas con "S": una "s" se toma como "S".
  TField* activa = DataSet->FieldByName("Activa");
  AnsiString valor = AnsiString(activa->AsString).Trim().UpperCase();
  if (valor != "S" && valor != "N") {
    ShowMessage("La columna Activa solo acepta S (activa) o N (borrada).");
    Abort();
  }
  if (valor != activa->AsString) activa->AsString = valor;
}

void TfrmEditarContabs::FormCloseQuery(TObject*, bool& CanClose) {
  if (!tblContabs->Active) return;
  // La fila en edición, nueva o no, se graba al cerrar; una fila nueva sin nada escrito
  // no es una fila.
  if (tblContabs->State == dsInsert && !tblContabs->Modified) {
    tblContabs->Cancel();
    return;
  }
  if (tblContabs->State != dsEdit && tblContabs->State != dsInsert) return;
  try {
    tblContabs->Post();
  } catch (EAbort&) {
    CanClose = false;  // la fila no es válida: el usuario la corrige
  }
}

void TfrmEditarContabs::FormClose(TObject*, TCloseAction&) {
  if (tblContabs->Active) tblContabs->Close();
  ShowMessage("Salga y vuelva a probar");
}
