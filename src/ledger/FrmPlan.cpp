#include "ledger/FrmPlan.h"

#include <filesystem>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/FrmNuevaCuenta.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"

TFrmPlan* FrmPlan = nullptr;

namespace {

const char* const kHintTercero =
    "En requiere tercero:\nEscriba S: para hacerlo oligatorio, \nN: para obligarlo a vacio,\n"
    "Vacio: queda libre de digitar o no ";

struct Columna {
  const char* titulo;
  const char* campo;
  bool soloLectura;
};

const Columna kColumnas[] = {
    {"Código", "numecuen", true},          {"Descripción", "nombcuen", false},
    {"Req. cantidad", "cantidad", false},  {"unid.", "unidades", false},
    {"Req. centro costo", "centcost", false}, {"Req. tercero", "exigterc", false},
    {"Rubro Pptal asoc.", "rubro", true},  {"Tipo Rubro", "tipoRubro", true},
    {"Naturaleza", "naturaleza", false}};

constexpr int kColTercero = 5;
constexpr int kColRubro = 6;
constexpr int kColNaturaleza = 8;

}  // namespace

TFrmPlan::TFrmPlan(TComponent* Owner) : TForm(Owner) {
  Name = "FrmPlan";
  Caption = "Plan de cuentas";
  Position = poScreenCenter;
  ClientWidth = 900;
  ClientHeight = 520;

  DSPlan = Make<TDataSource>(this, "DSPlan");
  DSPlan->DataSet = DM->TblPlan;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  for (const Columna& c : kColumnas) {
    TColumn* col = DBGrid1->Columns->Add();
    col->FieldName = c.campo;
    col->Title->Caption = c.titulo;
    col->ReadOnly = c.soloLectura;
  }
  DBGrid1->Columns->Items[kColRubro]->ButtonStyle = cbsEllipsis;
  DBGrid1->Columns->Items[kColNaturaleza]->PickList->Add("D");
  DBGrid1->Columns->Items[kColNaturaleza]->PickList->Add("C");
  DBGrid1->Columns->Items[1]->Width = 300;
  DBGrid1->DataSource = DSPlan;

  auto* Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 44;
  auto boton = [Panel1](const char* nombre, const char* texto) {
    auto* b = Make<TBitBtn>(Panel1, nombre);
    b->Caption = texto;
    return b;
  };
  BtnNuevo = boton("BtnNuevo", "Nuevo");
  BtnBorrar = boton("BtnBorrar", "&Borrar");
  BtnBuscar = boton("BtnBuscar", "Buscar");
  BtnCambCodi = boton("BtnCambCodi", "Cambiar código");
  EdNuevCodi = Make<TEdit>(Panel1, "EdNuevCodi");
  EdNuevCodi->MaxLength = 18;
  EdNuevCodi->Visible = false;
  BtnConfirmar = boton("BtnConfirmar", "&Confirmar");
  BtnConfirmar->Visible = false;
  btnExportar = boton("btnExportar", "Exportar a Excel");
  BitBtn1 = boton("BitBtn1", "&Cerrar");
  BitBtn1->Kind = bkClose;
  BitBtn1->Caption = "&Cerrar";
  Query1 = Make<TQuery>(this, "Query1");
  Table1 = Make<TTable>(this, "Table1");

  DSPlan->OnDataChange = [this](TObject* s, TField* f) { DSPlanDataChange(s, f); };
  DSPlan->OnUpdateData = [this](TObject* s) { DSPlanUpdateData(s); };
  DBGrid1->OnColEnter = [this](TObject* s) { DBGrid1ColEnter(s); };
  DBGrid1->OnEditButtonClick = [this](TObject* s) { DBGrid1EditButtonClick(s); };
  BtnNuevo->OnClick = [this](TObject* s) { BtnNuevoClick(s); };
  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  // Ctrl+Supr de la rejilla borraría sin las revisiones de "Borrar": queda apagado.
  DBGrid1->OnKeyDown = [](TObject*, Word& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Contains(ssCtrl)) key = 0;
  };
  BtnBuscar->OnClick = [this](TObject* s) { BtnBuscarClick(s); };
  BtnCambCodi->OnClick = [this](TObject* s) { BtnCambCodiClick(s); };
  BtnConfirmar->OnClick = [this](TObject* s) { BtnConfirmarClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };

  KeyPreview = true;
  OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };

  Application->HintHidePause = 10000;
  DBGrid1->Hint = kHintTercero;
  DBGrid1->ShowHint = false;
}

void TFrmPlan::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  AnsiString pagina = PathOrigen + "/help/planCuentas.html", error;
  if (!tv::os::OpenHelpPage(pagina, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + pagina + ": " + error);
}

// ---- banderas -------------------------------------------------------------------------

bool TFrmPlan::Validar(const char* campo, const char* permitidos) {
  TField* f = DM->TblPlan->FieldByName(campo);
  AnsiString v = f->AsString;
  v = v.UpperCase();
  bool ok = v.IsEmpty() || (v.Length() == 1 && std::string(permitidos).find(v[1]) != std::string::npos);
  if (!ok) f->AsString = "";
  return ok;
}

bool TFrmPlan::ValidarCantidad() { return Validar("Cantidad", "SN"); }
bool TFrmPlan::ValidarCentCost() { return Validar("CentCost", "SN"); }
bool TFrmPlan::ValidarExigTerc() { return Validar("ExigTerc", "SN"); }
bool TFrmPlan::ValidarNaturaleza() { return Validar("Naturaleza", "DC"); }

void TFrmPlan::DSPlanDataChange(TObject*, TField* Field) {
  if (!Field || revisando_) return;
  AnsiString nombre = AnsiString(Field->FieldName).UpperCase();
  if (nombre != "CANTIDAD" && nombre != "CENTCOST" && nombre != "EXIGTERC") return;
  // Vaciar un campo vuelve a avisar de un cambio: no se revisa dos veces.
  revisando_ = true;
  struct Revision {
    bool (TFrmPlan::*validar)();
    const char* mensaje;
  };
  const Revision revisiones[] = {
      {&TFrmPlan::ValidarCantidad, "En cantidad debe digitar S o N"},
      {&TFrmPlan::ValidarCentCost, "En centro de costo debe digitar S o N"},
      {&TFrmPlan::ValidarExigTerc,
       "En requiere tercero:\nEscriba S: para hacerlo obligatorio, \nN: para obligarlo a vacio,\n"
       "Vacio: queda libre de digitar o no "},
      {&TFrmPlan::ValidarNaturaleza, "En naturaleza\nEscriba D: para débito, \nC: para Crédito"}};
  std::vector<const char*> fallas;
  try {
    for (const Revision& r : revisiones)
      if (!(this->*r.validar)()) fallas.push_back(r.mensaje);
  } catch (...) {
    revisando_ = false;
    throw;
  }
  revisando_ = false;
  for (const char* m : fallas) ShowMessage(m);
}

void TFrmPlan::DSPlanUpdateData(TObject*) {
  revisando_ = true;
  struct Bandera {
    const char* campo;
    bool (TFrmPlan::*validar)();
  };
  const Bandera banderas[] = {{"Cantidad", &TFrmPlan::ValidarCantidad},
                              {"CentCost", &TFrmPlan::ValidarCentCost},
                              {"ExigTerc", &TFrmPlan::ValidarExigTerc},
                              {"naturaleza", &TFrmPlan::ValidarNaturaleza}};
  try {
    for (const Bandera& b : banderas) {
      TField* f = DM->TblPlan->FieldByName(b.campo);
      AnsiString v = f->AsString;
      if (v.IsEmpty() || !(this->*b.validar)()) continue;
      if (v != v.UpperCase()) f->AsString = v.UpperCase();
    }
  } catch (...) {
    revisando_ = false;
    throw;
  }
  revisando_ = false;
}

void TFrmPlan::DBGrid1ColEnter(TObject*) { DBGrid1->ShowHint = DBGrid1->SelectedIndex == kColTercero; }

// ---- botones ---------------------------------------------------------------------------

void TFrmPlan::DBGrid1EditButtonClick(TObject*) {
  auto* busca = new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "tipo", "icuenta", "tipoCuenta",
                                  true, "");
  try {
    busca->ShowModal();
    // Salir sin escoger devuelve valores vacíos: la cuenta queda sin rubro.
    TTable* plan = DM->TblPlan;
    plan->Edit();
    plan->FieldByName("rubro")->AsString = busca->GetContenido1();
    plan->FieldByName("tipoRubro")->AsString = busca->GetContenido2();
    plan->Post();
  } catch (...) {
    delete busca;
    throw;
  }
  delete busca;
}

void TFrmPlan::BtnNuevoClick(TObject*) {
  FrmNuevaCuenta = new TFrmNuevaCuenta(this);
  try {
    FrmNuevaCuenta->EdICuenta->Text = DM->TblPlan->FieldByName("Numecuen")->AsString;
    FrmNuevaCuenta->EdNombre->Text = DM->TblPlan->FieldByName("Nombcuen")->AsString;
    FrmNuevaCuenta->ShowModal();
  } catch (...) {
    delete FrmNuevaCuenta;
    FrmNuevaCuenta = nullptr;
    throw;
  }
  delete FrmNuevaCuenta;
  FrmNuevaCuenta = nullptr;
}

void TFrmPlan::BtnBorrarClick(TObject*) {
  AnsiString codigo = DM->TblPlan->FieldByName("numecuen")->AsString;
  AnsiString sql = codigo.IsEmpty()
                       ? AnsiString("select numecuen from mvt where numeCuen is null")
                       : "select numecuen from mvt where numeCuen like '" +
                             AnsiString(tv::db::EscapeLikePattern(codigo.str())) + "%' escape '\\'";
  HagaSQL("Contabilidad", Query1, sql);
  bool hayMovimiento = !Query1->IsEmpty();
  Query1->Close();
  if (hayMovimiento) {
    Application->MessageBox("Existe movimiento contable relacionado con " + codigo +
                                " o alguna de sus subcuentas\n" +
                                "No se puede borrar sin antes borrar ese movimiento",
                            "Información", MB_ICONEXCLAMATION);
    return;
  }
  DM->TblPlan->Delete();
}

void TFrmPlan::BtnBuscarClick(TObject*) {
  auto* busca = new TFrmBuscTabla(this, DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen", true, "");
  try {
    busca->ShowModal();
  } catch (...) {
    delete busca;
    throw;
  }
  delete busca;
}

void TFrmPlan::MostrarRecodificacion(bool recodificando) {
  BtnConfirmar->Visible = recodificando;
  EdNuevCodi->Visible = recodificando;
  BtnCambCodi->Visible = !recodificando;
}

void TFrmPlan::BtnCambCodiClick(TObject*) {
  AnsiString codigo = DM->TblPlan->FieldByName("numecuen")->AsString;
  if (!EsAuxiliar(codigo)) {
    Application->MessageBox("La cuenta que quiere recodificar no es una cuenta auxiliar", "Error",
                            MB_ICONSTOP);
    return;
  }
  MostrarRecodificacion(true);
  EdNuevCodi->Text = codigo;
  EdNuevCodi->Modified = false;
  EdNuevCodi->SetFocus();
}

void TFrmPlan::BtnConfirmarClick(TObject*) {
  TTable* plan = DM->TblPlan;
  AnsiString viejo = plan->FieldByName("Numecuen")->AsString;
  AnsiString nuevo = EdNuevCodi->Text.get().Trim();
  bool editado = EdNuevCodi->Modified;
  MostrarRecodificacion(false);
  if (!editado) return;
  if (nuevo.IsEmpty()) {
    Application->MessageBox("Debe digitar el código nuevo", "Error", MB_ICONSTOP);
    return;
  }
  if (!plan->Lookup("NumeCuen", Variant(nuevo), "NumeCuen").IsNull()) {
    Application->MessageBox("Ya existe una cuenta con ese código", "Error", MB_ICONSTOP);
    return;
  }
  {
    // La cuenta y sus líneas cambian juntas o no cambia nada.
    tv::db::Transaction tx("Contabilidad");
    HagaSQL("Contabilidad", Query1,
            "update pl set numecuen=" + TextoSQL(nuevo) + " where numecuen=" + TextoSQL(viejo) + " ");
    HagaSQL("Contabilidad", Query1,
            "update mvt set numecuen=" + TextoSQL(nuevo) + " where numecuen=" + TextoSQL(viejo) + " ");
    tx.Commit();
  }
  plan->Refresh();
  plan->Locate("NumeCuen", Variant(nuevo));
}

void TFrmPlan::btnExportarClick(TObject*) {
  std::error_code ec;
  std::filesystem::path carpeta = std::filesystem::current_path(ec);
  try {
    Table1->DatabaseName = PathCont;
    Table1->TableName = "pl.db";
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
