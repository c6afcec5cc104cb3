#include "budget/FrmAsientosPptal.h"

#include <memory>
#include <set>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/NumeroDocumento.h"
#include "budget/FrmExplAsientosPptal.h"
#include "budget/VersionPptal.h"
#include "budget/motor/MovimientoMotor.h"
#include "platform/db/Engine.h"
#include "platform/db/DBTables.h"
#include "platform/db/PrivateTable.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmAsientosPptal* frmAsientosPptal = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const char* const kFechaVacia = "  /  /    ";

// La rejilla recibe Enter: pasa de columna y agrega renglones en vez de pulsar "&Grabar".
class TRejillaPptal : public TDBGrid {
 public:
  using TDBGrid::TDBGrid;
  bool WantsKey(Word key, TShiftState shift) const override {
    return key == VK_RETURN || TDBGrid::WantsKey(key, shift);
  }
};

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  return l;
}

void Lugar(TControl* c, int izquierda, int arriba, int ancho) {
  c->Left = izquierda;
  c->Top = arriba;
  if (ancho) c->Width = ancho;
}

TColumn* Columna(TDBGrid* g, const char* campo, const char* titulo, int ancho) {
  TColumn* c = g->Columns->Add();
  c->FieldName = campo;
  c->Title->Caption = titulo;
  c->Width = ancho;
  return c;
}

double Monto(TDataSet* d, const char* campo) {
  TField* f = d->FieldByName(campo);
  return f->IsNull ? 0.0 : static_cast<double>(f->AsFloat);
}

const char* const kEjemplos =
    "ADICIÓN: aumenta el ingreso y también el egreso\n"
    "  1125-15  I  ingreso 50000\n"
    "  2115-15  E  egreso 50000\n"
    "TRASLADO: un egreso disminuye y el otro aumenta\n"
    "  2115-15  E  egreso -50000\n"
    "  2440-25  E  egreso 50000\n"
    "REDUCCIÓN: disminuyen el ingreso y el egreso\n"
    "  2115-15  E  egreso -50000\n"
    "  1125-15  I  ingreso -50000";

}  // namespace

TfrmAsientosPptal::TfrmAsientosPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmAsientosPptal";
  Caption = "Movimiento presupuestal";
  Position = poScreenCenter;
  ClientWidth = 820;
  ClientHeight = 560;
  KeyPreview = true;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 76;
  Label1 = Etiqueta(Panel1, "Label1", "Tipo:");
  cbTipoMvtPptal = Make<TComboBox>(Panel1, "cbTipoMvtPptal");
  cbTipoMvtPptal->Style = csDropDownList;
  cbTipoMvtPptal->Width = 150;
  for (const char* t : {"ADD:Adición", "TRA:Traslado", "RED:Reducción", "APR:Apropiación"})
    cbTipoMvtPptal->Items->Add(t);
  Label2 = Etiqueta(Panel1, "Label2", "Número documento:");
  edNumDoc = Make<TEdit>(Panel1, "edNumDoc");
  edNumDoc->MaxLength = 10;
  edNumDoc->Width = 90;
  btnLintRegPptal = Make<TButton>(Panel1, "btnLintRegPptal");
  btnLintRegPptal->Caption = "...";
  btnLintRegPptal->Width = 28;
  btnLintRegPptal->Hint = "Especificar datos de búsqueda";
  btnLintRegPptal->ShowHint = true;
  Label3 = Etiqueta(Panel1, "Label3", "Fecha:");
  edFecha = Make<TMaskEdit>(Panel1, "edFecha");
  edFecha->EditMask = "!99/99/0000;1; ";
  edFecha->Width = 90;
  BtnFechaDesde = Make<TButton>(Panel1, "BtnFechaDesde");
  BtnFechaDesde->Caption = "...";
  BtnFechaDesde->Width = 28;
  Label4 = Etiqueta(Panel1, "Label4", "Descripción:");
  edDetalle = Make<TEdit>(Panel1, "edDetalle");
  edDetalle->MaxLength = 254;
  edDetalle->Width = 420;
  BtnTraerCrear = Make<TButton>(Panel1, "BtnTraerCrear");
  BtnTraerCrear->Caption = "Traer o Crear";
  // Dos renglones de campos con posición propia.
  Lugar(Label1, 8, 12, 0);
  Lugar(cbTipoMvtPptal, 60, 8, 160);
  Lugar(Label2, 240, 12, 0);
  Lugar(edNumDoc, 380, 8, 100);
  Lugar(btnLintRegPptal, 484, 8, 28);
  Lugar(BtnTraerCrear, 530, 7, 120);
  Lugar(Label3, 8, 44, 0);
  Lugar(edFecha, 60, 40, 100);
  Lugar(BtnFechaDesde, 164, 40, 28);
  Lugar(Label4, 240, 44, 0);
  Lugar(edDetalle, 380, 40, 420);
  Label1->FocusControl = cbTipoMvtPptal;
  Label2->FocusControl = edNumDoc;
  Label3->FocusControl = edFecha;
  Label4->FocusControl = edDetalle;

  // Ejemplos a la derecha de la rejilla.
  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alRight;
  Panel2->Width = 280;
  Label5 = Etiqueta(Panel2, "Label5", "EJEMPLOS");
  Label5->Font->Style = TFontStyles{fsBold};
  Label5->Align = alTop;
  MemoEjemplos = Make<TMemo>(Panel2, "MemoEjemplos");
  MemoEjemplos->ReadOnly = true;
  MemoEjemplos->TabStop = false;
  MemoEjemplos->Align = alClient;
  MemoEjemplos->Lines->SetText(kEjemplos);

  Panel4 = Make<TPanel>(this, "Panel4");
  Panel4->Align = alBottom;
  Panel4->Height = 44;
  BtnGrabar = Make<TBitBtn>(Panel4, "BtnGrabar");
  BtnGrabar->Caption = "&Grabar";
  BtnGrabar->Default = true;
  BitBtn2 = Make<TBitBtn>(Panel4, "BitBtn2");
  BitBtn2->Kind = bkClose;
  BitBtn2->Caption = "&Cancelar";
  btnNavegar = Make<TBitBtn>(Panel4, "btnNavegar");
  btnNavegar->Caption = "&Explorar los ya realizados";

  Panel3 = Make<TPanel>(this, "Panel3");
  Panel3->Align = alBottom;
  Panel3->Height = 56;
  Label6 = Etiqueta(Panel3, "Label6", "Rubro:");
  LblNCuenta = Etiqueta(Panel3, "LblNCuenta", "");
  LblNCuenta->Font->Color = clBlue;
  LblNCuenta->Width = 300;
  Label10 = Etiqueta(Panel3, "Label10", "F2: rubros");
  Label7 = Etiqueta(Panel3, "Label7", "Ingreso:");
  lblIngreso = Etiqueta(Panel3, "lblIngreso", Punto(0.0, 2));
  lblIngreso->Alignment = taRightJustify;
  lblIngreso->Width = 110;
  Label8 = Etiqueta(Panel3, "Label8", "Egreso:");
  lblEgreso = Etiqueta(Panel3, "lblEgreso", Punto(0.0, 2));
  lblEgreso->Alignment = taRightJustify;
  lblEgreso->Width = 110;
  Label9 = Etiqueta(Panel3, "Label9", "Diferencia:");
  lblDiferencia = Etiqueta(Panel3, "lblDiferencia", Punto(0.0, 2));
  lblDiferencia->Alignment = taRightJustify;
  lblDiferencia->Width = 110;
  LblError = Etiqueta(Panel3, "LblError", "");
  LblError->Font->Color = clRed;
  Lugar(Label6, 8, 8, 0);
  Lugar(LblNCuenta, 60, 8, 360);
  Lugar(Label10, 440, 8, 0);
  Lugar(Label7, 8, 32, 0);
  Lugar(lblIngreso, 64, 32, 110);
  Lugar(Label8, 196, 32, 0);
  Lugar(lblEgreso, 250, 32, 110);
  Lugar(Label9, 384, 32, 0);
  Lugar(lblDiferencia, 460, 32, 110);
  Lugar(LblError, 590, 32, 220);

  tblAsientoPptal = Make<TTable>(this, "tblAsientoPptal");
  tblAsientoPptal->DatabaseName = kAlias;
  tblAsientoPptal->TableName = "asientoPptal.db";
  dsAsientosPptal = Make<TDataSource>(this, "dsAsientosPptal");
  dsAsientosPptal->DataSet = tblAsientoPptal;
  dsMaestro = Make<TDataSource>(this, "dsMaestro");
  dsMaestro->DataSet = DM->tblMvtPptalMaestro;
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  Query3 = Make<TQuery>(this, "Query3");
  Query4 = Make<TQuery>(this, "Query4");

  DBGrid1 = Make<TRejillaPptal>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->DefaultDrawing = false;
  DBGrid1->DataSource = dsAsientosPptal;
  Columna(DBGrid1, "icuenta", "Rubro", 150);
  Columna(DBGrid1, "tipocuenta", "tipo", 40);
  Columna(DBGrid1, "ingreso", "ingreso", 120);
  Columna(DBGrid1, "egreso", "egreso", 120);

  BtnTraerCrear->OnClick = [this](TObject* s) { BtnTraerCrearClick(s); };
  BtnGrabar->OnClick = [this](TObject* s) { BtnGrabarClick(s); };
  BtnFechaDesde->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  btnLintRegPptal->OnClick = [this](TObject* s) { btnLintRegPptalClick(s); };
  btnNavegar->OnClick = [this](TObject* s) { btnNavegarClick(s); };
  DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { DBGrid1KeyDown(s, k, sh); };
  DBGrid1->OnColEnter = [this](TObject* s) { DBGrid1ColEnter(s); };
  DBGrid1->OnColExit = [this](TObject* s) { DBGrid1ColExit(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, c, col, st);
  };
  dsAsientosPptal->OnDataChange = [this](TObject* s, TField* f) { dsAsientosPptalDataChange(s, f); };
  // Los totales siguen a cada línea grabada o borrada, se llegue como se llegue a grabarla.
  tblAsientoPptal->AfterPost = [this](TDataSet*) { Totalice(); };
  tblAsientoPptal->AfterDelete = [this](TDataSet*) { Totalice(); };
  tblAsientoPptal->BeforeEdit = [this](TDataSet* d) {
    ingresoGuardado_ = Monto(d, "ingreso");
    egresoGuardado_ = Monto(d, "egreso");
  };
  OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  cbTipoMvtPptal->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { cbTipoMvtPptalKeyDown(s, k, sh); };
  edFecha->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { edFechaKeyDown(s, k, sh); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

  cbTipoMvtPptal->ItemIndex = 0;
  edFecha->Text = "";
  iMvtPptal = "";
  tipoMvtPptal = "";
  FechaOriginal = 0;
  fecha = 0;
}

AnsiString TfrmAsientosPptal::TipoElegido() const {
  AnsiString t = cbTipoMvtPptal->Text;
  int p = t.Pos(":");
  return p > 0 ? t.SubString(1, p - 1) : t;
}

bool TfrmAsientosPptal::HayRenglones() const {
  // Un renglón que se está escribiendo también cuenta.
  if (!tblAsientoPptal->Active) return false;
  return tblAsientoPptal->RecordCount > 0 || (tblAsientoPptal->State == dsInsert && tblAsientoPptal->Modified);
}

bool TfrmAsientosPptal::FechaVacia() const {
  AnsiString t = edFecha->EditText;
  return t.IsEmpty() || t == kFechaVacia || AnsiString(edFecha->Text).Trim() == "/  /";
}

// ---- Ayuda --------------------------------------------------------------------------------

void TfrmAsientosPptal::Ayuda(const AnsiString& ancla) {
  AnsiString error;
  AnsiString ruta = PathOrigen + "/help/asientoPresupuestal.html";
  if (!tv::os::OpenHelpPage(ruta, ancla, &error)) ShowMessage("No se pudo abrir la ayuda " + ruta + ": " + error);
}

void TfrmAsientosPptal::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  // El tipo, la fecha y la rejilla abren su propia sección; los demás campos la página.
  TWinControl* activo = ActiveControl;
  if (activo == cbTipoMvtPptal || activo == edFecha || activo == DBGrid1) return;
  Ayuda("");
  Key = 0;
}

void TfrmAsientosPptal::cbTipoMvtPptalKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  Ayuda("cbTipoMvtPptal");
  Key = 0;
}

void TfrmAsientosPptal::edFechaKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  Ayuda("edFecha");
  Key = 0;
}

// ---- Traer o crear ------------------------------------------------------------------------

void TfrmAsientosPptal::vaciarAsiento() {
  tblAsientoPptal->First();
  while (!tblAsientoPptal->IsEmpty()) tblAsientoPptal->Delete();
}

void TfrmAsientosPptal::limpiarAsiento() {
  HagaSQL(kAlias, Query1, "delete  from asientoPptal where icuenta is null");
}

void TfrmAsientosPptal::BtnTraerCrearClick(TObject*) {
  if (HayRenglones() &&
      Application->MessageBox("Realmente quiere perder lo digitado?", "Error", MB_YESNO | MB_ICONSTOP) != IDYES)
    return;
  if (AnsiString(edNumDoc->Text).IsEmpty()) {
    ShowMessage("Debe digitar un Numero de documento");
    return;
  }
  iMvtPptal = edNumDoc->Text;
  tipoMvtPptal = TipoElegido();
  tblAsientoPptal->DatabaseName = kAlias;
  if (tblAsientoPptal->State == dsEdit || tblAsientoPptal->State == dsInsert) tblAsientoPptal->Cancel();
  // Cada puesto tiene sus propios renglones de trabajo: vaciarlos no toca los de otro.
  tv::db::UsePrivateTable(kAlias, "asientoPptal");
  tblAsientoPptal->Open();
  vaciarAsiento();
  // La versión se toma antes que el documento: grabar rehúsa si otro puesto lo grabó después.
  versionTraida_ = VersionMovimientoPptal(iMvtPptal, tipoMvtPptal);
  HagaSQL(kAlias, Query3,
          "select * from MvtPptalMaestro where iMvtPptal=" + TextoSQL(iMvtPptal) +
              " and tipoMvtPptal=" + TextoSQL(tipoMvtPptal) + " ");
  if (Query3->IsEmpty()) {
    if (FechaVacia()) {
      ShowMessage("Debe escribir la fecha.");
      edFecha->SetFocus();
      return;
    }
    FechaOriginal = 0;
    contadorEncabezado_ = 0;
  } else {
    TField* contador = Query3->FieldByName("version");
    contadorEncabezado_ = contador->IsNull ? 0 : static_cast<int>(contador->AsInteger);
    FechaOriginal = Query3->FieldByName("Fecha")->AsDateTime;
    edDetalle->Text = Query3->FieldByName("detalle")->AsString;
    edFecha->Text = DateToStr(FechaOriginal);
  }
  fecha = StrToDate(edFecha->Text);
  HagaSQL(kAlias, Query3,
          "select * from MvtPptal where iMvtPptal=" + TextoSQL(iMvtPptal) + "and tipoMvtPptal=" +
              TextoSQL(tipoMvtPptal) + " order by tipocuenta, icuenta");
  if (!Query3->IsEmpty()) {
    if (!Permisos.GetPermisoModificar()) {
      Application->MessageBox("No tiene permisos para modificar asientos.", "Error", MB_ICONSTOP);
      return;
    }
    for (Query3->First(); !Query3->Eof; Query3->Next()) {
      tblAsientoPptal->Append();
      for (const char* campo : {"icuenta", "tipoCuenta", "ingreso", "egreso", "cuentaDebito", "cuentaCredito"})
        tblAsientoPptal->FieldByName(campo)->Value = Query3->FieldByName(campo)->Value;
      tblAsientoPptal->FieldByName("check")->AsBoolean = true;
      tblAsientoPptal->Post();
    }
    Totalice();
  }
  DBGrid1->SetFocus();
  BtnGrabar->Default = true;
  tblAsientoPptal->First();
}

// ---- Rejilla ------------------------------------------------------------------------------

void TfrmAsientosPptal::Totalice() {
  HagaSQL(kAlias, Query1, "select sum(ingreso) as ingreso, sum(egreso) as egreso from asientoPptal ");
  double ingreso = Monto(Query1, "ingreso");
  double egreso = Monto(Query1, "egreso");
  // El renglón que se está digitando aún no está en la tabla: cuenta con lo digitado.
  TDataSetState estado = tblAsientoPptal->Active ? tblAsientoPptal->State : dsInactive;
  if (estado == dsEdit || estado == dsInsert) {
    ingreso += Monto(tblAsientoPptal, "ingreso") - (estado == dsEdit ? ingresoGuardado_ : 0.0);
    egreso += Monto(tblAsientoPptal, "egreso") - (estado == dsEdit ? egresoGuardado_ : 0.0);
  }
  MostrarTotales(ingreso, egreso);
}

void TfrmAsientosPptal::MostrarTotales(double ingreso, double egreso) {
  lblIngreso->Caption = Punto(ingreso, 2);
  lblEgreso->Caption = Punto(egreso, 2);
  lblDiferencia->Caption = Punto(ingreso - egreso, 2);
  lblDiferencia->Font->Color = ingreso >= egreso ? clBlue : clRed;
}

void TfrmAsientosPptal::Buscar() {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "Cuenta", "iCuenta", "nCuenta", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  if (dialogo->ShowModal() != mrOk) return;
  TTable* plan = DM->tblPlanPpto;
  if (tblAsientoPptal->State != dsEdit && tblAsientoPptal->State != dsInsert) {
    if (tblAsientoPptal->IsEmpty()) tblAsientoPptal->Append();
    else tblAsientoPptal->Edit();
  }
  tblAsientoPptal->FieldByName("icuenta")->AsString = dialogo->GetContenido1();
  tblAsientoPptal->FieldByName("tipoCuenta")->AsString = plan->FieldByName("tipoCuenta")->AsString;
  tblAsientoPptal->Post();
  LblNCuenta->Caption = dialogo->GetContenido2();
}

void TfrmAsientosPptal::DBGrid1KeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_F1) {
    Ayuda("grid");
    Key = 0;
    return;
  }
  if (!tblAsientoPptal->Active) return;
  int col = DBGrid1->SelectedIndex;
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      Totalice();
      return;
    case VK_RETURN: {
      if (col == 3) {
        if (tblAsientoPptal->State == dsEdit || tblAsientoPptal->State == dsInsert) tblAsientoPptal->Post();
        if (tblAsientoPptal->RecNo == tblAsientoPptal->RecordCount) {
          tblAsientoPptal->Append();
          DBGrid1->SelectedIndex = 0;
        }
      } else if (col == 1) {
        // La letra tecleada se queda; solo un tipo vacío se toma del plan, y del rubro de la
        // línea (no del registro en que haya quedado el plan).
        TField* tipo = tblAsientoPptal->FieldByName("tipoCuenta");
        AnsiString tecleado = AnsiString(tipo->AsString).Trim().UpperCase();
        AnsiString delPlan;
        if (tecleado.IsEmpty()) {
          TTable* plan = DM->tblPlanPpto;
          if (plan->Locate("icuenta", Variant(tblAsientoPptal->FieldByName("icuenta")->AsString)))
            delPlan = plan->FieldByName("TipoCuenta")->AsString;
        }
        AnsiString nuevo = tecleado.IsEmpty() ? delPlan : tecleado;
        if (!nuevo.IsEmpty() && nuevo != AnsiString(tipo->AsString)) {
          if (tblAsientoPptal->State != dsEdit && tblAsientoPptal->State != dsInsert) tblAsientoPptal->Edit();
          tipo->AsString = nuevo;
        }
        DBGrid1->SelectedIndex = col + 1;
      } else {
        DBGrid1->SelectedIndex = col + 1;
      }
      Key = 0;
      Totalice();
      return;
    }
    case VK_F2:
      Buscar();
      Key = 0;
      return;
    default:
      break;
  }
  if (Shift.Contains(ssCtrl) && (Key == 'N' || Key == 'n')) {
    tblAsientoPptal->Append();
    DBGrid1->SelectedIndex = 0;  // la línea nueva empieza por el rubro
    Key = 0;
  } else if (Shift.Contains(ssCtrl) && (Key == 'B' || Key == 'b')) {
    if (tblAsientoPptal->State == dsInsert) tblAsientoPptal->Cancel();
    else if (!tblAsientoPptal->IsEmpty()) tblAsientoPptal->Delete();
    Totalice();
    Key = 0;
  }
}

void TfrmAsientosPptal::DBGrid1ColEnter(TObject*) {
  TField* f = DBGrid1->SelectedField();
  Hint = f && f->FieldName.LowerCase() == "ingreso" ? "En las cuentas de ingreso debe llenarse el ingreso y viceversa"
                                                    : "";
}

void TfrmAsientosPptal::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                              TGridDrawState State) {
  if (DataCol == 2 || DataCol == 3) {
    TCanvas* c = DBGrid1->Canvas;
    c->FillRect(TRect{Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1});
    TField* f = Column->Field();
    AnsiString texto = Punto(f ? static_cast<double>(f->AsFloat) : 0.0, 2);
    c->TextOut(Rect.Right - c->TextWidth(texto) - 2, Rect.Top + 2, texto);
  } else {
    DBGrid1->DefaultDrawColumnCell(Rect, DataCol, Column, State);
  }
}

void TfrmAsientosPptal::dsAsientosPptalDataChange(TObject*, TField* Field) {
  if (Field) {
    AnsiString campo = Field->FieldName.UpperCase();
    if (campo == "INGRESO" || campo == "EGRESO") {
      if (!Field->IsNull && RoundToCents(Field->AsFloat) != Field->AsFloat)
        Field->AsFloat = RoundToCents(Field->AsFloat);  // al centavo, como se digita
      Totalice();  // los totales siguen al valor digitado, también en un renglón ya grabado
    } else if (campo == "ICUENTA") {
      MostrarRubro();  // el nombre sigue al rubro digitado
    }
    return;
  }
  if (tblAsientoPptal->Active) MostrarRubro();
}

void TfrmAsientosPptal::DBGrid1ColExit(TObject*) {
  if (!tblAsientoPptal->Active || DBGrid1->SelectedIndex != 0) return;
  if (tblAsientoPptal->IsEmpty() && tblAsientoPptal->State != dsInsert) return;
  AnsiString codigo = AnsiString(tblAsientoPptal->FieldByName("icuenta")->AsString).Trim();
  TField* tipo = tblAsientoPptal->FieldByName("tipoCuenta");
  AnsiString actual = AnsiString(tipo->AsString).Trim().UpperCase();
  if (codigo.IsEmpty()) return;
  // Otro rubro trae su tipo: el de la línea solo se queda si el rubro nuevo también lo tiene.
  TTable* plan = DM->tblPlanPpto;
  if (!actual.IsEmpty() && plan->Locate("icuenta;tipoCuenta", VarArrayOf({Variant(codigo), Variant(actual)}))) return;
  if (!plan->Locate("icuenta", Variant(codigo))) return;
  AnsiString delPlan = plan->FieldByName("tipoCuenta")->AsString;
  if (delPlan == AnsiString(tipo->AsString)) return;
  if (tblAsientoPptal->State != dsEdit && tblAsientoPptal->State != dsInsert) tblAsientoPptal->Edit();
  tipo->AsString = delPlan;
}

void TfrmAsientosPptal::MostrarRubro() {
  AnsiString codigo = tblAsientoPptal->FieldByName("icuenta")->AsString;
  // Un renglón sin rubro todavía no nombra ninguno.
  if (codigo.Trim().IsEmpty()) {
    LblNCuenta->Caption = "";
    return;
  }
  TTable* plan = DM->tblPlanPpto;
  LblNCuenta->Caption = plan->Locate("icuenta", Variant(codigo)) ? plan->FieldByName("ncuenta")->AsString
                                                                 : AnsiString("inexistente");
}

// ---- Validación ---------------------------------------------------------------------------

bool TfrmAsientosPptal::EsCuentaAuxiliar(AnsiString aCuenta, AnsiString aTipoCuenta) {
  return EsRubroHoja(aCuenta, aTipoCuenta);
}

bool TfrmAsientosPptal::ValidarNumeCuen(AnsiString& msg) {
  msg = "";
  AnsiString codigo = tblAsientoPptal->FieldByName("icuenta")->AsString;
  AnsiString tipo = AnsiString(tblAsientoPptal->FieldByName("TipoCuenta")->AsString).UpperCase();
  TTable* plan = DM->tblPlanPpto;
  if (!plan->Locate("icuenta;tipoCuenta", VarArrayOf({Variant(codigo), Variant(tipo)})))
    msg = "Rubro " + codigo + " tipo de rubro: " + tipo + " es inexistente.\n";
  LblNCuenta->Caption = plan->IsEmpty() ? AnsiString() : AnsiString(plan->FieldByName("nCuenta")->AsString);
  if (!EsCuentaAuxiliar(codigo, tipo)) msg = "El rubro " + codigo + " no es auxiliar.\n";
  LblError->Caption = "";
  if (!msg.IsEmpty()) return false;
  if (tblAsientoPptal->State != dsEdit && tblAsientoPptal->State != dsInsert) tblAsientoPptal->Edit();
  tblAsientoPptal->FieldByName("check")->AsBoolean = true;
  tblAsientoPptal->Post();
  return true;
}

bool TfrmAsientosPptal::validar() {
  AnsiString msg = ErrorFechaFueraDelAnio("La fecha", edFecha->Text);
  if (AnsiString(edDetalle->Text).IsEmpty()) edDetalle->Text = tipoMvtPptal;
  if (tblAsientoPptal->RecordCount == 1) {
    const AnsiString sangria = "              ";
    msg += sangria + "Siempre deben ser dos rubros:\n" + sangria +
           "En adición: se aumenta en un ingreso y también en un egreso.\n" + sangria +
           "En Reducción: se disminuye en un ingreso y también en un egreso.\n" + sangria +
           "Traslado: Se quita de un egreso para aumentarlo en otro.\n";
  }
  bool traslado = tipoMvtPptal == "TRA";
  origenTraslado_ = "";
  montoTraslado_ = 0;
  if (traslado) {
    HagaSQL(kAlias, Query1, "select icuenta,ingreso,egreso from asientoPptal where egreso<0 or ingreso>0");
    if (Query1->IsEmpty()) {
      msg += "No se ha podido detectar correctamente de cual rubro se esta sacando el dinero.\n";
    } else {
      // Los fondos del rubro de donde sale se revisan al grabar, dentro de la transacción.
      origenTraslado_ = Query1->FieldByName("icuenta")->AsString;
      double egreso = Monto(Query1, "egreso"), ingreso = Monto(Query1, "ingreso");
      montoTraslado_ = egreso < 0 ? -egreso : ingreso;
    }
  }
  std::set<std::string> llaves;
  double sumaIngreso = 0, sumaEgreso = 0;
  int renglon = 0;
  for (tblAsientoPptal->First(); !tblAsientoPptal->Eof; tblAsientoPptal->Next()) {
    ++renglon;
    AnsiString tipo = AnsiString(tblAsientoPptal->FieldByName("tipoCuenta")->AsString).UpperCase();
    if (traslado && tipo != "E") msg += "Solo puede hacer traslado entre rubros de egreso.\n";
    AnsiString llave = AnsiString(tblAsientoPptal->FieldByName("icuenta")->AsString).UpperCase() + tipo;
    if (!llaves.insert(llave.str()).second) msg += llave + " se encuentra repetida.\n";
    AnsiString motivo;
    if (!ValidarNumeCuen(motivo)) msg += motivo;
    double ingreso = Monto(tblAsientoPptal, "ingreso"), egreso = Monto(tblAsientoPptal, "egreso");
    if (ingreso == 0 && egreso == 0) msg += "Los ingresos y egresos en el renglón" + AnsiString(renglon) + " son cero.\n";
    sumaIngreso += ingreso;
    sumaEgreso += egreso;
  }
  sumaIngreso = round(sumaIngreso, 2, baseRound);
  sumaEgreso = round(sumaEgreso, 2, baseRound);
  if (sumaIngreso != sumaEgreso) {
    AnsiString ingresos = Punto(sumaIngreso, 2);
    AnsiString egresos = Punto(sumaEgreso, 2);
    msg += "\n Saldos desiguales " + ingresos + " vs " + egresos;
  }
  if (msg.IsEmpty()) return true;
  ShowMessage(msg);
  return false;
}

// ---- Grabar -------------------------------------------------------------------------------

// Los renglones de trabajo y el encabezado, como los graba el motor.
tv::motor::MovimientoPptal TfrmAsientosPptal::MovimientoDe() {
  tv::motor::MovimientoPptal m;
  m.numero = iMvtPptal.str();
  m.tipo = tipoMvtPptal.str();
  m.fecha = tv::db::DateTimeToIsoText(fecha, false);
  m.detalle = AnsiString(edDetalle->Text).str();
  m.usuario = AnsiString(Login).str();
  m.contadorEncabezado = contadorEncabezado_;
  auto centavos = [this](const char* campo) -> std::optional<std::int64_t> {
    TField* f = tblAsientoPptal->FieldByName(campo);
    if (f->IsNull) return std::nullopt;
    return tv::motor::CentavosDe(f->AsFloat);
  };
  for (tblAsientoPptal->First(); !tblAsientoPptal->Eof; tblAsientoPptal->Next()) {
    tv::motor::RenglonMovimiento r;
    r.rubro = AnsiString(tblAsientoPptal->FieldByName("icuenta")->AsString).str();
    r.tipo = AnsiString(tblAsientoPptal->FieldByName("tipoCuenta")->AsString).UpperCase().str();
    r.ingreso = centavos("ingreso");
    r.egreso = centavos("egreso");
    r.cuentaDebito = AnsiString(tblAsientoPptal->FieldByName("cuentaDebito")->AsString).str();
    r.cuentaCredito = AnsiString(tblAsientoPptal->FieldByName("cuentaCredito")->AsString).str();
    m.renglones.push_back(r);
  }
  return m;
}

void TfrmAsientosPptal::BtnGrabarClick(TObject*) {
  if (!Permisos.GetPermisoGrabar()) {
    Application->MessageBox("No tiene permisos para grabar asientos.", "Error", MB_ICONSTOP);
    return;
  }
  if (!tblAsientoPptal->Active) {
    ShowMessage("Debe completar información para poder grabar.");
    return;
  }
  if (FechaVacia()) {
    ShowMessage("Debe escribir la fecha.");
    edFecha->SetFocus();
    return;
  }
  fecha = StrToDate(edFecha->Text);
  if (tblAsientoPptal->State == dsEdit || tblAsientoPptal->State == dsInsert) tblAsientoPptal->Post();
  HagaSQL(kAlias, Query1, "delete  from asientoPptal where icuenta is null or (ingreso=0 and egreso=0)");
  tblAsientoPptal->Refresh();
  if (tblAsientoPptal->IsEmpty()) {
    ShowMessage("No hay información para grabar.");
    return;
  }
  DBGrid1->Enabled = false;
  Totalice();
  if (!validar()) {
    DBGrid1->Enabled = true;
    return;
  }
  const AnsiString llave =
      "iMvtPptal=" + TextoSQL(iMvtPptal) + " and tipoMvtPptal=" + TextoSQL(tipoMvtPptal);
  // Sin permiso de modificar, un documento guardado nunca se reescribe.
  if (!Permisos.GetPermisoModificar()) {
    HagaSQL(kAlias, Query4, "select iMvtPptal from MvtPptalMaestro where " + llave);
    bool guardado = !Query4->IsEmpty();
    HagaSQL(kAlias, Query4, "select iMvtPptal from mvtPptal where " + llave);
    if (guardado || !Query4->IsEmpty()) {
      Application->MessageBox("No tiene permisos para modificar asientos.", "Error", MB_ICONSTOP);
      DBGrid1->Enabled = true;
      return;
    }
  }
  if (FechaOriginal.Val != 0 && FechaOriginal.Val != fecha.Val &&
      Application->MessageBox(Format("Fecha original del documento=%s, desea conservarla?",
                                     DateToStr(FechaOriginal).c_str()),
                              "Advertencia", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
    fecha = FechaOriginal;
  limpiarAsiento();
  tblAsientoPptal->Refresh();
  tv::motor::Resultado res;
  try {
    res = tv::motor::GrabarMovimiento(MovimientoDe(), versionTraida_);
  } catch (Exception& e) {
    for (TTable* t : {DM->tblMvtPptal, DM->tblMvtPptalMaestro}) t->Refresh();
    DBGrid1->Enabled = true;
    Application->ShowException(&e);
    return;
  }
  if (!res.Grabado()) {
    // Nada quedó escrito: los renglones siguen en el editor para otro intento.
    for (TTable* t : {DM->tblMvtPptal, DM->tblMvtPptalMaestro}) t->Refresh();
    DBGrid1->Enabled = true;
    ShowMessage(res.Texto().c_str());
    return;
  }
  DM->tblMvtPptal->Refresh();
  DM->tblMvtPptalMaestro->Refresh();
  edNumDoc->Text = IncNumeDocu(edNumDoc->Text);
  DBGrid1->Enabled = true;
  FechaOriginal = 0;
  ShowMessage("Asiento Presupuestal Registrado");
  AvisarSiAnioCerrado(fecha);
  tblAsientoPptal->Close();
  // La rejilla queda vacía hasta el próximo "Traer o Crear": sus totales también.
  MostrarTotales(0, 0);
  LblNCuenta->Caption = "";
}

// ---- Búsqueda del número, calendario, explorador y cierre ---------------------------------

void TfrmAsientosPptal::btnLintRegPptalClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, dsMaestro, "aaa", "bbb", "imvtPptal", "tipoMvtPptal", true,
                                   "tipoMvtPptal=" + TextoSQL(TipoElegido()));
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  AnsiString antes = edNumDoc->Text;
  dialogo->ShowModal();
  edNumDoc->Text = dialogo->GetContenido1();
  if (antes != AnsiString(edNumDoc->Text)) edNumDoc->Modified = true;
  edNumDoc->SetFocus();
}

void TfrmAsientosPptal::BtnFechaDesdeClick(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> calendario(FrmCalendar);
  calendario->year = anioGlobal;
  calendario->ShowModal();
  calendario->GetDateAsString(edFecha);
}

void TfrmAsientosPptal::btnNavegarClick(TObject*) {
  frmExplAsientosPptal = new TfrmExplAsientosPptal(this);
  std::unique_ptr<TfrmExplAsientosPptal> explorador(frmExplAsientosPptal);
  explorador->ShowModal();
}

bool TfrmAsientosPptal::salir() {
  if (!HayRenglones()) return true;
  return Application->MessageBox("¿Realmente desea salir?", "Información", MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

void TfrmAsientosPptal::FormCloseQuery(TObject*, bool& CanClose) { CanClose = salir(); }

void TfrmAsientosPptal::FormClose(TObject*, TCloseAction&) {
  if (!tblAsientoPptal->Active) return;
  if (tblAsientoPptal->State == dsEdit || tblAsientoPptal->State == dsInsert) tblAsientoPptal->Cancel();
  tblAsientoPptal->Close();
}
