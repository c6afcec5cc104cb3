#include "budget/FrmPlanPpto.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/SqlUtil.h"

TfrmPlanPpto* frmPlanPpto = nullptr;
TfrmNuevaCuentaPpto* frmNuevaCuentaPpto = nullptr;

namespace {
TColumn* Columna(TDBGrid* g, const char* campo, const char* titulo, int ancho) {
  TColumn* c = g->Columns->Add();
  c->FieldName = campo;
  c->Title->Caption = titulo;
  c->Width = ancho;
  return c;
}

TButton* Boton(TWinControl* padre, const char* nombre, const char* texto) {
  auto* b = Make<TButton>(padre, nombre);
  b->Caption = texto;
  return b;
}
}  // namespace

TfrmPlanPpto::TfrmPlanPpto(TComponent* Owner) : TForm(Owner) {
  Name = "frmPlanPpto";
  Caption = "Rubros presupuestales";
  Position = poScreenCenter;
  ClientWidth = 760;
  ClientHeight = 520;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 48;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Puede modificar el nombre del rubro escribiendo directamente sobre él.";
  Label2 = Make<TLabel>(Panel1, "Label2");
  Label2->Caption = "Recomendación: utilice la nomenclatura x.x.01 en  vez de x.x.1 (anteponga un cero)";
  Label2->Font->Style = TFontStyles{fsBold};
  Label2->Font->Color = clBlue;

  DSPlanPpto = Make<TDataSource>(this, "DSPlanPpto");
  DSPlanPpto->DataSet = DM->tblPlanPpto;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->DataSource = DSPlanPpto;
  Columna(DBGrid1, "iCuenta", "Código", 140)->ReadOnly = true;
  Columna(DBGrid1, "nCuenta", "Descripción", 330);
  Columna(DBGrid1, "TipoCuenta", "Tipo de Cuenta", 90);
  Columna(DBGrid1, "fuente", "fuente", 150);

  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 44;
  BtnNuevo = Boton(Panel2, "BtnNuevo", "Nuevo");
  BtnBorrar = Boton(Panel2, "BtnBorrar", "&Borrar");
  BtnBuscar = Boton(Panel2, "BtnBuscar", "Buscar");
  BtnCambCodi = Boton(Panel2, "BtnCambCodi", "Cambiar código");
  EdNuevCodi = Make<TEdit>(Panel2, "EdNuevCodi");
  EdNuevCodi->MaxLength = 18;
  EdNuevCodi->Width = 140;
  EdNuevCodi->Visible = false;
  BtnConfirmar = Boton(Panel2, "BtnConfirmar", "&Confirmar");
  BtnConfirmar->Visible = false;
  BitBtn1 = Make<TBitBtn>(Panel2, "BitBtn1");
  BitBtn1->Kind = bkClose;
  BitBtn1->Caption = "&Cerrar";
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");

  BtnNuevo->OnClick = [this](TObject* s) { BtnNuevoClick(s); };
  BtnBorrar->OnClick = [this](TObject* s) { BtnBorrarClick(s); };
  // Ctrl+Supr de la rejilla borraría sin las revisiones de "Borrar": queda apagado.
  DBGrid1->OnKeyDown = [](TObject*, Word& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Contains(ssCtrl)) key = 0;
  };
  BtnBuscar->OnClick = [this](TObject* s) { BtnBuscarClick(s); };
  BtnCambCodi->OnClick = [this](TObject* s) { BtnCambCodiClick(s); };
  BtnConfirmar->OnClick = [this](TObject* s) { BtnConfirmarClick(s); };

  Application->HintHidePause = 10000;
}

bool TfrmPlanPpto::EsCuentaAuxiliar(AnsiString aCuenta, AnsiString aTipoCuenta) {
  return EsRubroHoja(aCuenta, aTipoCuenta);
}

void TfrmPlanPpto::BtnNuevoClick(TObject*) {
  TTable* plan = DM->tblPlanPpto;
  frmNuevaCuentaPpto = new TfrmNuevaCuentaPpto(this);
  std::unique_ptr<TfrmNuevaCuentaPpto> dialogo(frmNuevaCuentaPpto);
  if (!plan->IsEmpty()) {
    dialogo->EdICuenta->Text = plan->FieldByName("iCuenta")->AsString;
    dialogo->EdNombre->Text = plan->FieldByName("nCuenta")->AsString;
    // El rubro nuevo suele colgar del actual: se propone su mismo tipo.
    dialogo->rgTipoCuenta->ItemIndex = plan->FieldByName("tipoCuenta")->AsString.UpperCase() == "E" ? 1 : 0;
  }
  dialogo->ShowModal();
}

void TfrmPlanPpto::BtnBorrarClick(TObject*) {
  TTable* plan = DM->tblPlanPpto;
  if (plan->IsEmpty()) return;
  AnsiString codigo = plan->FieldByName("iCuenta")->AsString;
  AnsiString tipo = plan->FieldByName("tipoCuenta")->AsString;
  if (codigo.IsEmpty())
    HagaSQL("Contabilidad", Query1, "select iCuenta from mvtPptal where iCuenta is null");
  else
    HagaSQL("Contabilidad", Query1,
            "select iCuenta from mvtPptal where iCuenta like '" + tv::db::EscapeLikePattern(codigo.str()) +
                "%' escape '\\' and tipocuenta=" + TextoSQL(tipo).str());
  if (Query1->IsEmpty()) {
    plan->Delete();
    return;
  }
  Application->MessageBox("Existe movimiento presupuestal relacionado con " + codigo +
                              " o alguna de sus subcuentas\nNo se puede borrar sin antes borrar ese movimiento",
                          "Información", MB_ICONEXCLAMATION);
}

void TfrmPlanPpto::BtnBuscarClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DSPlanPpto, "Código", "Cuenta", "iCuenta", "nCuenta", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
}

void TfrmPlanPpto::ModoNavegar() {
  BtnConfirmar->Visible = false;
  EdNuevCodi->Visible = false;
  BtnCambCodi->Visible = true;
}

void TfrmPlanPpto::CopiarPlan() {
  // La copia se crea una vez; después se vuelve a llenar: reemplazar la tabla cerraría las
  // tablas abiertas de la contabilidad.
  if (!tv::db::TableExists("Contabilidad", "copiaPlPpto")) {
    tv::db::CopyTable("Contabilidad", "PlPpto", "Contabilidad", "copiaPlPpto");
    return;
  }
  tv::db::Transaction tx("Contabilidad");
  HagaSQL("Contabilidad", Query2, "delete from copiaPlPpto");
  HagaSQL("Contabilidad", Query2,
          "insert into copiaPlPpto (iCuenta, nCuenta, tipoCuenta, fuente) "
          "select iCuenta, nCuenta, tipoCuenta, fuente from plPpto");
  tx.Commit();
}

void TfrmPlanPpto::BtnCambCodiClick(TObject*) {
  TTable* plan = DM->tblPlanPpto;
  if (plan->IsEmpty()) return;
  AnsiString codigo = plan->FieldByName("iCuenta")->AsString;
  AnsiString tipo = plan->FieldByName("tipoCuenta")->AsString;
  if (!EsCuentaAuxiliar(codigo, tipo)) {
    Application->MessageBox("La cuenta que quiere recodificar no es una cuenta auxiliar", "Error", MB_ICONSTOP);
    return;
  }
  codigoProbado_ = codigo;
  tipoProbado_ = tipo;
  BtnConfirmar->Visible = true;
  BtnCambCodi->Visible = false;
  EdNuevCodi->Visible = true;
  EdNuevCodi->Text = codigo;
  EdNuevCodi->Modified = false;
  EdNuevCodi->SetFocus();
}

void TfrmPlanPpto::BtnConfirmarClick(TObject*) {
  TTable* plan = DM->tblPlanPpto;
  // El segundo paso trabaja sobre el rubro que pasó la prueba, aunque la rejilla se haya movido.
  AnsiString viejo = codigoProbado_;
  AnsiString tipo = tipoProbado_;
  CopiarPlan();
  ShowMessage(
      "Se ha sacado una copia de su plan de cuentas de presupuesto en copiaPlPpto.db, como medidad de seguridad.");
  AnsiString nuevo = EdNuevCodi->Text.Trim();
  bool editado = EdNuevCodi->Modified;
  ModoNavegar();
  if (!editado) return;
  if (nuevo.IsEmpty()) {
    Application->MessageBox("Debe digitar el nuevo código.", "Error", MB_ICONSTOP);
    return;
  }
  if (!plan->Lookup("TipoCuenta;Icuenta", VarArrayOf({Variant(tipo), Variant(nuevo)}), "iCuenta").IsNull()) {
    Application->MessageBox("Ya existe una cuenta con ese código", "Error", MB_ICONSTOP);
    return;
  }
  const std::string n = TextoSQL(nuevo).str(), v = TextoSQL(viejo).str();
  {
    // El plan y todas las referencias del rubro cambian juntos o no cambia nada.
    tv::db::Transaction tx("Contabilidad");
    auto cambiar = [&](const std::string& tabla, const std::string& campo, const std::string& extra) {
      HagaSQL("Contabilidad", Query1,
              "update " + tabla + " set " + campo + "=" + n + " where " + campo + "=" + v + extra);
    };
    cambiar("plPpto", "iCuenta", " and tipoCuenta=" + TextoSQL(tipo).str());
    if (tipo.UpperCase() == "I") {
      cambiar("mvtPptal", "icuenta", " and upper(tipoCuenta)='I'");
      cambiar("mvt", "rubro", "");
      cambiar("asientosProg", "rubro", "");
    } else {
      cambiar("mvtPptal", "icuenta", " and upper(tipoCuenta)='E'");
      cambiar("mvtCertDisp", "rubroPptal", "");
      cambiar("certDispRubros", "rubroPptal", "");
      cambiar("reintegros", "rubro", "");
    }
    if (CheckDbiError(DbiSaveChanges(plan->Handle()), "planppto", __LINE__) != DBIERR_NONE) {
      tx.Rollback();
      plan->Refresh();
      return;
    }
  }
  plan->Refresh();
}

// ---- Rubro nuevo ---------------------------------------------------------------------------

TfrmNuevaCuentaPpto::TfrmNuevaCuentaPpto(TComponent* Owner) : TForm(Owner) {
  Name = "frmNuevaCuentaPpto";
  Caption = "Nueva Cuenta de Presupuesto";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 440;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Código:";
  EdICuenta = Make<TMaskEdit>(this, "EdICuenta");
  EdICuenta->MaxLength = 18;
  EdICuenta->Width = 150;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Nombre:";
  EdNombre = Make<TEdit>(this, "EdNombre");
  EdNombre->MaxLength = 60;
  EdNombre->Width = 320;
  rgTipoCuenta = Make<TRadioGroup>(this, "rgTipoCuenta");
  rgTipoCuenta->Caption = "Tipo de cuenta";
  rgTipoCuenta->Items->Add("Ingreso");
  rgTipoCuenta->Items->Add("Egreso");
  rgTipoCuenta->ItemIndex = 0;
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkOK;
  BitBtn1->Caption = "Aceptar";
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";
  Label1->FocusControl = EdICuenta;
  Label2->FocusControl = EdNombre;

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

bool TfrmNuevaCuentaPpto::Validar() {
  EdICuenta->Text = EdICuenta->Text.Trim();
  if (EdICuenta->Text.IsEmpty()) {
    ShowMessage("Debe Digitar Codigo de Cuenta");
    return false;
  }
  if (DM->tblPlanPpto->Locate("tipoCuenta;iCuenta",
                              VarArrayOf({Variant(tipoCuenta), Variant(AnsiString(EdICuenta->Text))}))) {
    ShowMessage("Codigo de Cuenta Ya Existe");
    return false;
  }
  if (EdNombre->Text.IsEmpty()) {
    ShowMessage("Debe Digitar el nombre de la cuenta");
    return false;
  }
  return true;
}

void TfrmNuevaCuentaPpto::BitBtn1Click(TObject*) {
  tipoCuenta = rgTipoCuenta->ItemIndex == 0 ? "I" : "E";
  if (!Validar()) return;
  TTable* plan = DM->tblPlanPpto;
  plan->Append();
  plan->FieldByName("iCuenta")->AsString = EdICuenta->Text;
  plan->FieldByName("nCuenta")->AsString = EdNombre->Text;
  plan->FieldByName("tipoCuenta")->AsString = tipoCuenta;
  plan->Post();
}
