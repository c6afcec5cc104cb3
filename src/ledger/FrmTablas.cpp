#include "ledger/FrmTablas.h"

#include <filesystem>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/FrmNuevoTercero.h"
#include "ledger/FrmRptTerceros.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "platform/report/QuickRpt.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"

TFrmTablas* FrmTablas = nullptr;
TFrmNuevoCCostos_Docu_Sop* FrmNuevoCCostos_Docu_Sop = nullptr;
TFrmModifCCostos_Docu_Sop* FrmModifCCostos_Docu_Sop = nullptr;
TfrmModiDocu* frmModiDocu = nullptr;

namespace {

// Crea el formulario, lo muestra modal y lo borra también cuando algo falla.
template <class T>
void Modal(T*& global, TComponent* owner, const std::function<void(T*)>& preparar = {}) {
  global = new T(owner);
  try {
    if (preparar) preparar(global);
    global->ShowModal();
  } catch (...) {
    delete global;
    global = nullptr;
    throw;
  }
  delete global;
  global = nullptr;
}

TBitBtn* Boton(TComponent* owner, const char* nombre, const char* texto) {
  auto* b = Make<TBitBtn>(owner, nombre);
  b->Caption = texto;
  return b;
}

TRadioGroup* GrupoSiNo(TComponent* owner, const char* nombre, const char* titulo) {
  auto* g = Make<TRadioGroup>(owner, nombre);
  g->Caption = titulo;
  g->Columns = 2;
  g->Items->Add("SI");
  g->Items->Add("NO");
  g->ItemIndex = 1;
  return g;
}

struct DatosTabla {
  const char* titulo;
  const char* rotulo1;
  const char* rotulo2;
  const char* campo1;
  const char* campo2;
};

DatosTabla Datos(TipoTabla t) {
  switch (t) {
    case Terceros: return {"Terceros", "Cedula", "Nombre", "CedulaNit", "Nombre"};
    case Documentos: return {"Comprobantes", "Documento", "Descripcion", "codidocu", "nombdocu"};
    case Soportes: return {"Soportes", "Soporte", "Descripcion", "CodiComp", "NombComp"};
    case CentCost: break;
  }
  return {"Centro de Costos", "C. Costos", "Descripción", "codicent", "Nombcent"};
}

// Tabla, campo del código y nombre de cada tipo del diálogo de fila nueva.
struct TablaPequena {
  TTable* tabla;
  const char* codigo;
  const char* nombre;
  int ancho;
  const char* titulo;
};

TablaPequena PorTypo(short typo) {
  switch (typo) {
    case 1: return {DM->TblDocumentos, "codidocu", "nombdocu", 3, "Nuevo comprobante"};
    case 2: return {DM->TblSoportes, "codicomp", "nombcomp", 3, "Nuevo soporte"};
    default: return {DM->TblCCostos, "codicent", "nombcent", 10, "Nuevo Centro de Costos"};
  }
}

void Grabar(TTable* t, const std::function<void()>& escribir) {
  try {
    escribir();
    t->Post();
  } catch (...) {
    if (t->State == dsInsert || t->State == dsEdit) t->Cancel();
    throw;
  }
}

}  // namespace

// ---- explorador ------------------------------------------------------------------------

TFrmTablas::TFrmTablas(TComponent* Owner) : TForm(Owner) {
  Name = "FrmTablas";
  Caption = "Tablas";
  Position = poScreenCenter;
  ClientWidth = 820;
  ClientHeight = 480;

  DS = Make<TDBGrid>(this, "DS");
  DS->Align = alClient;
  DS->ReadOnly = true;
  auto* Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 44;
  BtnNuevo = Boton(Panel1, "BtnNuevo", "Nuevo");
  BtnModificar = Boton(Panel1, "BtnModificar", "Modificar");
  BtnBuscar = Boton(Panel1, "BtnBuscar", "Buscar");
  BtnBorrar = Boton(Panel1, "BtnBorrar", "&Borrar");
  BtnOrden = Boton(Panel1, "BtnOrden", "Cambiar orden");
  BtnOrden->Visible = false;
  BtnPrint = Boton(Panel1, "BtnPrint", "Imprimir");
  BtnPrint->Visible = false;
  btnExportar = Boton(Panel1, "btnExportar", "Exportar a Excel");
  btnExportar->Visible = false;
  BitBtn1 = Boton(Panel1, "BitBtn1", "&Cerrar");
  BitBtn1->Kind = bkClose;
  BitBtn1->Caption = "&Cerrar";
  Query1 = Make<TQuery>(this, "Query1");
  Table1 = Make<TTable>(this, "Table1");

  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  KeyPreview = true;
  OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  BtnNuevo->OnClick = [this](TObject* s) { BtnNuevoClick(s); };
  BtnModificar->OnClick = [this](TObject* s) { BtnModificarClick(s); };
  BtnBuscar->OnClick = [this](TObject* s) { BtnBuscarClick(s); };
  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  BtnOrden->OnClick = [this](TObject* s) { BtnOrdenClick(s); };
  BtnPrint->OnClick = [this](TObject* s) { BtnPrintClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
}

TDataSource* TFrmTablas::Fuente() const {
  switch (Tabla) {
    case Terceros: return DM->DSTerceros;
    case Documentos: return DM->DSDocumentos;
    case Soportes: return DM->DSSoportes;
    case CentCost: break;
  }
  return DM->DSCCostos;
}

void TFrmTablas::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  AnsiString pagina = PathOrigen + (Tabla == Terceros ? "/help/terceros.html" : "/help/tablas.html"), error;
  if (!tv::os::OpenHelpPage(pagina, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + pagina + ": " + error);
}

void TFrmTablas::FormActivate(TObject*) {
  Caption = Datos(Tabla).titulo;
  if (DS->DataSource != Fuente()) DS->DataSource = Fuente();
  bool terceros = Tabla == Terceros;
  BtnOrden->Visible = terceros;
  BtnPrint->Visible = terceros;
  btnExportar->Visible = terceros;
}

void TFrmTablas::FormClose(TObject*, TCloseAction&) {
  // El resto del programa espera los terceros por documento.
  if (Tabla == Terceros && !AnsiString(DM->TblTerceros->IndexName).IsEmpty())
    DM->TblTerceros->IndexName = "";
}

void TFrmTablas::BtnNuevoClick(TObject*) {
  if (Tabla == Terceros) {
    Modal(FrmNuevoTercero, this, std::function<void(TFrmNuevoTercero*)>(
                                     [](TFrmNuevoTercero* f) { f->Modif = 0; }));
    return;
  }
  short typo = Tabla == Documentos ? 1 : Tabla == Soportes ? 2 : 3;
  Modal(FrmNuevoCCostos_Docu_Sop, this, std::function<void(TFrmNuevoCCostos_Docu_Sop*)>(
                                            [typo](TFrmNuevoCCostos_Docu_Sop* f) { f->Typo = typo; }));
}

void TFrmTablas::BtnModificarClick(TObject*) {
  switch (Tabla) {
    case Terceros:
      Modal(FrmNuevoTercero, this, std::function<void(TFrmNuevoTercero*)>(
                                       [](TFrmNuevoTercero* f) { f->Modif = 1; }));
      return;
    case Documentos:
      Modal(frmModiDocu, this);
      return;
    case Soportes:
    case CentCost: {
      TDataSet* d = Fuente()->GetDataSet();
      if (d->IsEmpty()) return;
      bool sop = Tabla == Soportes;
      AnsiString codigo = d->FieldByName(sop ? "CodiComp" : "CodiCent")->AsString;
      AnsiString nombre = d->FieldByName(sop ? "NombComp" : "NombCent")->AsString;
      Modal(FrmModifCCostos_Docu_Sop, this, std::function<void(TFrmModifCCostos_Docu_Sop*)>(
                                                [&](TFrmModifCCostos_Docu_Sop* f) {
                                                  f->Typo = sop ? 2 : 3;
                                                  f->LblCodigo->Caption = codigo;
                                                  f->EdNombre->Text = nombre;
                                                }));
      return;
    }
  }
}

void TFrmTablas::BtnBuscarClick(TObject*) {
  DatosTabla d = Datos(Tabla);
  auto* busca = new TFrmBuscTabla(this, Fuente(), d.rotulo1, d.rotulo2, d.campo1, d.campo2, false, "");
  try {
    busca->ShowModal();
  } catch (...) {
    delete busca;
    throw;
  }
  delete busca;
}

void TFrmTablas::BtnBorrarClick(TObject*) {
  TDataSet* d = Fuente()->GetDataSet();
  if (d->IsEmpty()) return;
  const char* campoMvt;
  const char* campo;
  switch (Tabla) {
    case Terceros: campoMvt = "CedulaNit"; campo = "CedulaNit"; break;
    case Documentos: campoMvt = "DescDocu"; campo = "CodiDocu"; break;
    case Soportes: campoMvt = "DescComp"; campo = "CodiComp"; break;
    default: campoMvt = "CentCost"; campo = "CodiCent"; break;
  }
  AnsiString codigo = d->FieldByName(campo)->AsString;
  bool relacionado = true;
  // La fila "sin tercero" (documento vacío) nunca se borra: las líneas sin tercero la usan.
  if (!(Tabla == Terceros && codigo.IsEmpty())) {
    AnsiString condicion = codigo.IsEmpty() ? AnsiString(" is null") : "=" + TextoSQL(codigo);
    HagaSQL("Contabilidad", Query1,
            AnsiString("select ") + campoMvt + " from mvt where " + campoMvt + condicion);
    relacionado = !Query1->IsEmpty();
    Query1->Close();
  }
  if (relacionado) {
    Application->MessageBox("Existe movimiento contable relacionado",
                            "No se puede borrar sin antes borrar ese movimiento", MB_ICONEXCLAMATION);
    return;
  }
  d->Delete();
}

void TFrmTablas::BtnOrdenClick(TObject*) {
  if (!OrdenNombre) {
    DM->TblTerceros->IndexName = "IdxNombre";
    OrdenNombre = true;
    BtnOrden->Caption = "Por nombre";
  } else {
    DM->TblTerceros->IndexName = "";
    OrdenNombre = false;
    BtnOrden->Caption = "Por NIT";
  }
}

void TFrmTablas::BtnPrintClick(TObject*) {
  FrmRptTerceros = new TFrmRptTerceros(this);
  try {
    FrmRptTerceros->QuickRep1->Preview();
  } catch (...) {
    delete FrmRptTerceros;
    FrmRptTerceros = nullptr;
    throw;
  }
  delete FrmRptTerceros;
  FrmRptTerceros = nullptr;
}

void TFrmTablas::btnExportarClick(TObject*) {
  std::error_code ec;
  std::filesystem::path carpeta = std::filesystem::current_path(ec);
  try {
    Table1->DatabaseName = PathCont;
    Table1->TableName = "tc.db";
    Table1->Open();
    exportarToExcel(Table1);
    Table1->Close();
  } catch (...) {
    Table1->Close();
    if (!carpeta.empty()) std::filesystem::current_path(carpeta, ec);
    throw;
  }
  if (!carpeta.empty()) std::filesystem::current_path(carpeta, ec);
}

// ---- fila nueva ------------------------------------------------------------------------

TFrmNuevoCCostos_Docu_Sop::TFrmNuevoCCostos_Docu_Sop(TComponent* Owner) : TForm(Owner) {
  Name = "FrmNuevoCCostos_Docu_Sop";
  Caption = "Nuevo";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Codigo:";
  EdCodigo = Make<TEdit>(this, "EdCodigo");
  EdCodigo->Width = 100;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Descripcion:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->Width = 320;
  EdNombre->MaxLength = 60;
  Label1->FocusControl = EdCodigo;
  Label2->FocusControl = EdNombre;
  BitBtn1 = Boton(this, "BitBtn1", "Aceptar");
  BitBtn1->Kind = bkOK;
  BitBtn1->Caption = "Aceptar";
  BitBtn2 = Boton(this, "BitBtn2", "Salir");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  OnActivate = [this](TObject* s) { FormActivate(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

void TFrmNuevoCCostos_Docu_Sop::FormActivate(TObject*) {
  TablaPequena t = PorTypo(Typo);
  Caption = t.titulo;
  EdCodigo->MaxLength = t.ancho;
}

bool TFrmNuevoCCostos_Docu_Sop::Validar(short aTypo) {
  TablaPequena t = PorTypo(aTypo);
  AnsiString msg;
  AnsiString codigo = EdCodigo->Text;
  // Una fila sin código dejaría pasar líneas sin centro de costo y ocultaría documentos.
  if (codigo.IsEmpty())
    msg += "Debe Colocar un Codigo \n";
  else if (!t.tabla->Lookup(t.codigo, Variant(codigo), t.codigo).IsNull())
    msg += "Codigo Ya Existe \n";
  if (EdNombre->Text.get().IsEmpty()) msg += "Debe Colocar un Nombre \n";
  if (msg.IsEmpty()) return true;
  ShowMessage("Debe Corregir: \n" + msg);
  return false;
}

void TFrmNuevoCCostos_Docu_Sop::BitBtn1Click(TObject*) {
  if (!Validar(Typo)) return;
  TablaPequena t = PorTypo(Typo);
  Grabar(t.tabla, [&] {
    t.tabla->Append();
    t.tabla->FieldByName(t.codigo)->AsString = EdCodigo->Text;
    t.tabla->FieldByName(t.nombre)->AsString = EdNombre->Text;
  });
}

// ---- cambio de nombre ------------------------------------------------------------------

TFrmModifCCostos_Docu_Sop::TFrmModifCCostos_Docu_Sop(TComponent* Owner) : TForm(Owner) {
  Name = "FrmModifCCostos_Docu_Sop";
  Caption = "Modificar ";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Codigo:";
  LblCodigo = Make<TLabel>(this, "LblCodigo");
  LblCodigo->Caption = "*";
  LblCodigo->Font->Style = {fsBold};
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Descripcion:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->Width = 320;
  EdNombre->MaxLength = 60;
  Label2->FocusControl = EdNombre;
  c = Boton(this, "c", "Aceptar");
  c->Kind = bkOK;
  c->Caption = "Aceptar";
  BitBtn2 = Boton(this, "BitBtn2", "Salir");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  c->OnClick = [this](TObject* s) { cClick(s); };
}

bool TFrmModifCCostos_Docu_Sop::Validar() {
  if (!EdNombre->Text.get().IsEmpty()) return true;
  ShowMessage(AnsiString("Debe Corregir: \n") + "Debe Colocar un Nombre \n");
  return false;
}

void TFrmModifCCostos_Docu_Sop::cClick(TObject*) {
  if (!Validar()) return;
  TTable* t = Typo == 2 ? DM->TblSoportes : DM->TblCCostos;
  Grabar(t, [&] {
    t->Edit();
    t->FieldByName(Typo == 2 ? "nombcomp" : "nombcent")->AsString = EdNombre->Text;
  });
}

// ---- tipos de comprobante --------------------------------------------------------------

TfrmModiDocu::TfrmModiDocu(TComponent* Owner) : TForm(Owner) {
  Name = "frmModiDocu";
  Caption = "Modificación de documentos";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Codigo:";
  LblCodigo = Make<TLabel>(this, "LblCodigo");
  LblCodigo->Font->Style = {fsBold};
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Nombre:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->Width = 320;
  EdNombre->MaxLength = 60;
  Label2->FocusControl = EdNombre;
  RadioGroup1 = GrupoSiNo(this, "RadioGroup1", "Requiere Orden de Pago asociada?");
  RadioGroup2 = GrupoSiNo(this, "RadioGroup2", "Es un Ingreso?");
  btnAceptar = Boton(this, "btnAceptar", "Aceptar");
  btnAceptar->Kind = bkOK;
  btnAceptar->Caption = "Aceptar";
  BitBtn2 = Boton(this, "BitBtn2", "Salir");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  OnActivate = [this](TObject* s) { FormActivate(s); };
  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
}

void TfrmModiDocu::FormActivate(TObject*) {
  TTable* t = DM->TblDocumentos;
  LblCodigo->Caption = t->FieldByName("codiDocu")->AsString;
  EdNombre->Text = t->FieldByName("nombDocu")->AsString;
  RadioGroup1->ItemIndex = t->FieldByName("exigemvtPptal")->AsString == "S" ? 0 : 1;
  RadioGroup2->ItemIndex = t->FieldByName("esIngreso")->AsString == "S" ? 0 : 1;
}

bool TfrmModiDocu::Validar() {
  if (!EdNombre->Text.get().IsEmpty()) return true;
  ShowMessage(AnsiString("Debe Corregir: \n") + "Debe Colocar un Nombre \n");
  return false;
}

void TfrmModiDocu::btnAceptarClick(TObject*) {
  if (!Validar()) return;
  TTable* t = DM->TblDocumentos;
  Grabar(t, [&] {
    t->Edit();
    t->FieldByName("nombdocu")->AsString = EdNombre->Text;
    t->FieldByName("exigemvtPptal")->AsString = RadioGroup1->ItemIndex == 0 ? "S" : "N";
    t->FieldByName("esIngreso")->AsString = RadioGroup2->ItemIndex == 0 ? "S" : "N";
  });
}
