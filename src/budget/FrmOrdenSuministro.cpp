#include "budget/FrmOrdenSuministro.h"

#include <cmath>
#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/FrmArticulos.h"
#include "budget/FrmExplOrdSum.h"
#include "budget/NumeroDocumento.h"
#include "budget/motor/OrdenesMotor.h"
#include "platform/db/Engine.h"
#include "ledger/FrmNuevoTercero.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmOrdenSuministro* frmOrdenSuministro = nullptr;

namespace {
const char* kAlias = "Contabilidad";
const char* kFechaVacia = "  /  /    ";

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto, int x, int y) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  l->SetBounds(x, y + 4, 90, 16);
  return l;
}

int Contar(const AnsiString& sql) {
  TQuery q(nullptr);
  HagaSQL(kAlias, &q, sql);
  return q.FieldByName("c")->AsInteger;
}
}  // namespace

TfrmOrdenSuministro::TfrmOrdenSuministro(TComponent* Owner) : TForm(Owner) {
  Name = "frmOrdenSuministro";
  Caption = "Orden Suministro";
  Position = poScreenCenter;
  Width = 640;
  Height = 520;

  Label1 = Etiqueta(this, "Label1", "Número:", 12, 12);
  edIordenSuministro = Make<TEdit>(this, "edIordenSuministro");
  edIordenSuministro->SetBounds(104, 12, 110, 24);
  BitBtn6 = Make<TBitBtn>(this, "BitBtn6");
  BitBtn6->Caption = "...";
  BitBtn6->SetBounds(218, 12, 28, 24);
  Label2 = Etiqueta(this, "Label2", "Fecha:", 300, 12);
  edFecha = Make<TMaskEdit>(this, "edFecha");
  edFecha->EditMask = "!99/99/0000;1; ";
  edFecha->MaxLength = 10;
  edFecha->SetBounds(392, 12, 110, 24);
  BtnFecha = Make<TSpeedButton>(this, "BtnFecha");
  BtnFecha->Caption = "...";
  BtnFecha->SetBounds(506, 12, 28, 24);
  Label3 = Etiqueta(this, "Label3", "Tercero:", 12, 44);
  edItercero = Make<TEdit>(this, "edItercero");
  edItercero->SetBounds(104, 44, 140, 24);
  BitBtn3 = Make<TBitBtn>(this, "BitBtn3");
  BitBtn3->Caption = "...";
  BitBtn3->SetBounds(248, 44, 28, 24);
  btnNuevo = Make<TButton>(this, "btnNuevo");
  btnNuevo->Caption = "Nuevo";
  btnNuevo->SetBounds(280, 44, 64, 24);
  lblNtercero = Make<TLabel>(this, "lblNtercero");
  lblNtercero->Caption = "";
  lblNtercero->SetBounds(350, 48, 270, 16);
  Label4 = Etiqueta(this, "Label4", "Detalle:", 12, 76);
  edDetalle = Make<TEdit>(this, "edDetalle");
  edDetalle->MaxLength = 200;
  edDetalle->SetBounds(104, 76, 516, 24);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "Artículo...";
  BitBtn1->SetBounds(12, 110, 100, 26);
  btnNuevoArt = Make<TButton>(this, "btnNuevoArt");
  btnNuevoArt->Caption = "Nuevo artículo";
  btnNuevoArt->SetBounds(116, 110, 120, 26);
  lblNarticulo = Make<TLabel>(this, "lblNarticulo");
  lblNarticulo->Caption = "";
  lblNarticulo->SetBounds(244, 114, 200, 16);
  DBNavigator1 = Make<TDBNavigator>(this, "DBNavigator1");
  DBNavigator1->VisibleButtons = TButtonSet{nbFirst, nbLast, nbInsert, nbDelete, nbPost, nbCancel};
  DBNavigator1->SetBounds(450, 110, 170, 26);
  DBGrid2 = Make<TDBGrid>(this, "DBGrid2");
  DBGrid2->SetBounds(12, 142, 608, 250);
  Label5 = Etiqueta(this, "Label5", "Valor total:", 380, 398);
  lblTotal = Make<TLabel>(this, "lblTotal");
  lblTotal->Caption = Punto(0.0, 2);
  lblTotal->Alignment = taRightJustify;
  lblTotal->SetBounds(480, 402, 140, 16);
  btnGrabar = Make<TButton>(this, "btnGrabar");
  btnGrabar->Caption = "&Grabar";
  btnGrabar->Default = true;
  btnCancelar = Make<TButton>(this, "btnCancelar");
  btnCancelar->Caption = "&Salir";
  btnCancelar->Cancel = true;
  btnCancelar->ModalResult = mrCancel;
  btnExplorar = Make<TButton>(this, "btnExplorar");
  btnExplorar->Caption = "&Explorar";
  btnImprimir = Make<TButton>(this, "btnImprimir");
  btnImprimir->Caption = "&Imprimir";
  int x = 12;
  for (TButton* b : {btnGrabar, btnCancelar, btnExplorar, btnImprimir}) {
    b->SetBounds(x, 436, 100, 28);
    x += 108;
  }

  // La tabla de trabajo es propia: un nombre libre de la carpeta, borrada al cerrar.
  Query1 = Make<TQuery>(this, "Query1");
  tmpName = tv::db::UniqueTableName(kAlias, "tmpOrdSum");
  HagaSQL(kAlias, Query1,
          "CREATE TABLE " + tmpName +
              " (iOrdenSuministro INT, iArticulo CHAR(12),cantidad NUMERIC ,valorUnit NUMERIC, subTotal NUMERIC)");
  tblTemp = Make<TTable>(this, "tblTemp");
  tblTemp->DatabaseName = kAlias;
  tblTemp->TableName = tmpName;
  tblTemp->Open();
  dsTemp = Make<TDataSource>(this, "dsTemp");
  dsTemp->DataSet = tblTemp;
  DBGrid2->DataSource = dsTemp;
  DBNavigator1->DataSource = dsTemp;
  const char* cols[][2] = {{"iArticulo", "Cód. art."}, {"Cantidad", "Cantidad"}, {"ValorUnit", "Vr. Unit."},
                           {"subTotal", "subTotal"}};
  for (auto& c : cols) {
    TColumn* col = DBGrid2->Columns->Add();
    col->FieldName = c[0];
    col->Title->Caption = c[1];
    // Cantidad, valor unitario y subtotal caben hasta -999.999.999.999,99.
    col->Width = col->FieldName == "iArticulo" ? 130 : 140;
  }
  DBGrid2->OnDrawColumnCell = [this](TObject*, const TRect& r, int dc, TColumn* c, TGridDrawState) {
    if (dc >= 1 && dc <= 3 && c && c->Field()) DibujarMonto(DBGrid2, r, Punto(c->Field()->AsFloat, 2));
  };
  tblTemp->BeforePost = [this](TDataSet* d) {
    TField* cant = d->FieldByName("cantidad");
    TField* vu = d->FieldByName("valorUnit");
    if (!vu->IsNull) vu->AsFloat = RoundToCents(vu->AsFloat);
    if (cant->IsNull || vu->IsNull)
      d->FieldByName("subTotal")->Clear();
    else
      d->FieldByName("subTotal")->AsFloat = RoundToCents(cant->AsFloat * vu->AsFloat);
    if (d->State == dsInsert) {
      TTable* a = DM->tblArticulos;
      if (!a->Active) a->Open();
      lblNarticulo->Caption = a->Locate("iArticulo", Variant(AnsiString(d->FieldByName("iArticulo")->AsString)))
                                  ? AnsiString(a->FieldByName("nArticulo")->AsString)
                                  : AnsiString("Inexistente");
    }
  };
  tblTemp->AfterPost = [this](TDataSet*) { Totalizar(); };
  tblTemp->AfterDelete = [this](TDataSet*) { Totalizar(); };

  edIordenSuministro->OnExit = [this](TObject* s) { edIordenSuministroExit(s); };
  OnActivate = [this](TObject*) {
    if (!nuevo) edFecha->SetFocus();
  };
  btnGrabar->OnClick = [this](TObject* s) { btnGrabarClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn3->OnClick = [this](TObject*) {
    FrmBuscTabla = new TFrmBuscTabla(this, DM->DSTerceros, "Cédula", "nombre", "cedulaNit", "nombre", true, "");
    std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
    if (!f->ceroRegistros && f->ShowModal() == mrOk) {
      edItercero->Text = f->GetContenido1();
      lblNtercero->Caption = f->GetContenido2();
    }
    FrmBuscTabla = nullptr;
  };
  BitBtn6->OnClick = [this](TObject*) {
    auto fuente = std::make_unique<TDataSource>(nullptr);
    fuente->DataSet = DM->tblMvtOrdenSumiMaestro;
    FrmBuscTabla = new TFrmBuscTabla(this, fuente.get(), "Núm. Orden", "Fecha", "iOrdenSuministro", "fecha", true, "");
    std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
    if (!f->ceroRegistros && f->ShowModal() == mrOk) {
      edIordenSuministro->Text = f->GetContenido1();
      edIordenSuministro->SetFocus();
    }
    FrmBuscTabla = nullptr;
  };
  btnNuevo->OnClick = [this](TObject*) {
    FrmNuevoTercero = new TFrmNuevoTercero(this);
    std::unique_ptr<TFrmNuevoTercero> f(FrmNuevoTercero);
    f->Modif = 0;
    f->ShowModal();
    FrmNuevoTercero = nullptr;
  };
  btnNuevoArt->OnClick = [this](TObject*) {
    frmArticulos = new TfrmArticulos(this);
    std::unique_ptr<TfrmArticulos> f(frmArticulos);
    f->ShowModal();
    frmArticulos = nullptr;
  };
  BtnFecha->OnClick = [this](TObject*) { TraerFecha(this, edFecha); };
  btnExplorar->OnClick = [this](TObject*) {
    TfrmExplOrdSum* anterior = frmExplOrdSum;
    frmExplOrdSum = new TfrmExplOrdSum(this);
    std::unique_ptr<TfrmExplOrdSum> f(frmExplOrdSum);
    f->ShowModal();
    frmExplOrdSum = anterior;
  };
  btnImprimir->OnClick = [this](TObject*) {
    if (tblTemp->State == dsInsert || tblTemp->State == dsEdit) tblTemp->Post();
    // Los renglones de la tabla de trabajo con el nombre de su artículo (vacío si no existe).
    TQuery renglones(nullptr);
    HagaSQL(kAlias, &renglones, RenglonesConArticulo(tmpName, ""));
    frmRptOrdenSuministro = new TfrmRptOrdenSuministro(this);
    std::unique_ptr<TfrmRptOrdenSuministro> r(frmRptOrdenSuministro);
    r->DataSource1->DataSet = DM->tblMvtOrdenSumiMaestro;
    r->DataSource2->DataSet = &renglones;
    r->QuickRep1->Preview();
    frmRptOrdenSuministro = nullptr;
  };
}

TfrmOrdenSuministro::~TfrmOrdenSuministro() {
  tblTemp->Close();
  try {
    tv::db::DropTable(kAlias, tmpName);
  } catch (...) {
    ShowMessage("No se pudo borrar tabla temporal.");
  }
}

void TfrmOrdenSuministro::refresque() {
  tblTemp->Close();
  tblTemp->Open();
}

void TfrmOrdenSuministro::Totalizar() {
  TQuery q(nullptr);
  HagaSQL(kAlias, &q, "select sum(subtotal) as total from " + tmpName);
  total = q.FieldByName("total")->IsNull ? 0 : static_cast<double>(q.FieldByName("total")->AsFloat);
  lblTotal->Caption = AnsiString(Punto(total, 2));
}

void TfrmOrdenSuministro::edIordenSuministroExit(TObject*) {
  double n = 0;
  AnsiString texto = AnsiString(edIordenSuministro->Text).Trim();
  TTable* t = DM->tblMvtOrdenSumiMaestro;
  if (!t->Active) t->Open();
  if (texto.IsEmpty() || !TryStrToFloat(texto, n)) return;
  // La versión se toma antes que la fila: lo que otro grabe entretanto hace rechazar la grabación.
  long long version = tv::motor::VersionOrden("SU", static_cast<std::int64_t>(n));
  if (!t->Locate("iOrdenSuministro", Variant(n))) return;
  nuevo = false;
  cargada_ = n;
  versionTraida_ = version;
  irpTraido_ = t->FieldByName("irp")->IsNull ? 0 : std::llround(t->FieldByName("irp")->AsFloat);
  TField* f = t->FieldByName("Fecha");
  edFecha->Text = f->IsNull ? AnsiString() : DateToStr(f->AsDateTime);
  edItercero->Text = t->FieldByName("itercero")->AsString;
  edDetalle->Text = t->FieldByName("detalle")->AsString;
  {
    TQuery q(nullptr);
    HagaSQL(kAlias, &q, "select nombre from TC where cedulaNit=" + TextoSQL(edItercero->Text));
    lblNtercero->Caption = q.IsEmpty() ? AnsiString() : AnsiString(q.FieldByName("nombre")->AsString);
  }
  traerDetalle();
}

void TfrmOrdenSuministro::traerDetalle() {
  HagaSQL(kAlias, Query1, " delete from " + tmpName + " ");
  HagaSQL(kAlias, Query1,
          " insert into " + tmpName + " (IordenSuministro,iarticulo, cantidad, valorUnit, subTotal)" +
              " Select iOrdenSuministro, iarticulo, cantidad,valorunit,cantidad*valorunit from mvtOrdenSuministro "
              "where iOrdenSuministro=" + NumeroSQL(cargada_));
  refresque();
  Totalizar();
}

void TfrmOrdenSuministro::BitBtn1Click(TObject*) {
  auto fuente = std::make_unique<TDataSource>(nullptr);
  TTable* a = DM->tblArticulos;
  if (!a->Active) a->Open();
  fuente->DataSet = a;
  FrmBuscTabla = new TFrmBuscTabla(this, fuente.get(), "Código", "Artículo", "iArticulo", "nArticulo", true, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros && f->ShowModal() == mrOk) {
    if (tblTemp->State != dsInsert) tblTemp->Append();
    tblTemp->FieldByName("iArticulo")->AsString = f->GetContenido1();
    tblTemp->Post();
  }
  FrmBuscTabla = nullptr;
}

bool TfrmOrdenSuministro::validar() {
  AnsiString msg;
  std::int64_t n = 0;
  AnsiString numero = AnsiString(edIordenSuministro->Text).Trim();
  if (numero.IsEmpty())
    msg += "Digite el número de la orden de suministro.\n";
  else
    msg += ErrorNumeroDoc("El número de la orden de suministro", numero, n);
  if (AnsiString(edFecha->Text) == kFechaVacia) {
    msg += "Digite la fecha.\n";
  } else {
    AnsiString m;
    if (!ValidarFecha(edFecha->Text, m)) msg += m + "\n";
    else msg += ErrorFechaFueraDelAnio("La fecha", edFecha->Text);
  }
  AnsiString tercero = edItercero->Text;
  if (tercero.IsEmpty()) msg += "Digite el tercero.\n";
  if (Contar("select count(*) as c from TC where cedulaNit=" + TextoSQL(tercero)) == 0)
    msg += "Cédula o NIT inexistente.\n";
  if (AnsiString(edDetalle->Text).IsEmpty()) msg += "Digite una descripción en el detalle.\n";
  msg += ErroresRenglones();
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK | MB_ICONERROR);
  return false;
}

// Cada renglón con algo escrito lleva cantidad y valor unitario mayores que 0: uno que no se
// pudo convertir no se pierde en silencio, la orden se rechaza. Los renglones del todo vacíos
// (como el que deja la búsqueda de artículos cerrada sin elegir) no cuentan.
AnsiString TfrmOrdenSuministro::ErroresRenglones() {
  AnsiString msg;
  int renglon = 0, conDatos = 0;
  for (tblTemp->First(); !tblTemp->Eof; tblTemp->Next()) {
    ++renglon;
    TField* art = tblTemp->FieldByName("iArticulo");
    TField* cant = tblTemp->FieldByName("cantidad");
    TField* vu = tblTemp->FieldByName("valorUnit");
    bool vacio = AnsiString(art->AsString).Trim().IsEmpty() && (cant->IsNull || cant->AsFloat == 0) &&
                 (vu->IsNull || vu->AsFloat == 0);
    if (vacio) continue;
    ++conDatos;
    AnsiString r = AnsiString(renglon);
    if (cant->IsNull || !(cant->AsFloat > 0)) msg += "La cantidad del renglón " + r + " debe ser mayor que 0.\n";
    if (vu->IsNull || !(vu->AsFloat > 0)) msg += "El valor unitario del renglón " + r + " debe ser mayor que 0.\n";
  }
  if (conDatos == 0) msg += "Digite al menos un renglón con cantidad y valor unitario.\n";
  return msg;
}

// Lo que el motor rechazó, como lo ve el usuario.
static void MostrarRechazo(const tv::motor::Resultado& res, TEdit* numero) {
  if (res.Tiene("numero") && res.siguiente != 0) numero->Text = std::to_string(res.siguiente).c_str();
  if (res.Tiene("version") || res.Tiene("limite")) ShowMessage(res.Texto().c_str());
  else Application->MessageBox(res.Texto().c_str(), "Error", MB_OK | MB_ICONERROR);
}

void TfrmOrdenSuministro::btnGrabarClick(TObject*) {
  // Con Enter el botón por omisión actúa sin que el número pierda el foco: su salida corre
  // aquí, y si cargó una orden guardada el usuario la ve en lugar de grabarla encima.
  if (ActiveControl == edIordenSuministro) {
    bool eraNueva = nuevo;
    edIordenSuministroExit(edIordenSuministro);
    if (eraNueva && !nuevo) return;
  }
  if (AnsiString(edIordenSuministro->Text).Trim().IsEmpty()) {
    ShowMessage("Digite el número de la orden de suministro.");
    return;
  }
  if (tblTemp->State == dsInsert || tblTemp->State == dsEdit) {
    try {
      tblTemp->Post();
    } catch (Exception& e) {
      // Un renglón que no se deja guardar detiene la grabación: no se descarta.
      Application->MessageBox("El renglón en edición no se pudo guardar: " + e.Message, "Error",
                              MB_OK | MB_ICONERROR);
      return;
    }
  }
  if (!validar()) return;
  double numero = StrToFloat(AnsiString(edIordenSuministro->Text).Trim());
  AnsiString n = NumeroSQL(numero);
  // Solo los renglones del todo vacíos se dejan fuera; validar ya rechazó los incompletos.
  HagaSQL(kAlias, Query1,
          " delete from " + tmpName +
              " where (iArticulo is null or trim(iArticulo)='') and (cantidad=0. or cantidad is null) and "
              "(valorUnit=0. or valorUnit is null)");
  refresque();
  Totalizar();
  qItems = tblTemp->RecordCount();
  TTable* m = DM->tblMvtOrdenSumiMaestro;
  if (!m->Active) m->Open();
  tv::motor::OrdenSuministro orden;
  orden.numero = static_cast<std::int64_t>(numero);
  orden.fecha = tv::db::DateTimeToIsoText(StrToDate(edFecha->Text), false);
  orden.tercero = AnsiString(edItercero->Text).str();
  orden.detalle = AnsiString(edDetalle->Text).str();
  orden.irp = regPptal;
  for (tblTemp->First(); !tblTemp->Eof; tblTemp->Next())
    orden.renglones.push_back({AnsiString(tblTemp->FieldByName("iArticulo")->AsString).str(),
                               static_cast<double>(tblTemp->FieldByName("cantidad")->AsFloat),
                               tv::motor::CentavosDe(tblTemp->FieldByName("valorUnit")->AsFloat)});
  tv::motor::OrdenTraida traida;
  traida.nueva = nuevo;
  traida.numero = static_cast<std::int64_t>(cargada_ != 0 ? cargada_ : numero);
  traida.version = versionTraida_;
  traida.irp = irpTraido_;
  tv::motor::Resultado res;
  try {
    res = tv::motor::GrabarOrdenSuministro(orden, traida);
  } catch (Exception& e) {
    m->Refresh();
    Application->ShowException(&e);
    return;
  }
  m->Refresh();
  if (!res.Grabado()) {
    MostrarRechazo(res, edIordenSuministro);
    return;
  }
  HagaSQL(kAlias, Query1, " update " + tmpName + " set iOrdenSuministro=" + n);
  refresque();
  m->Refresh();
  DM->tblMvtOrdenSuministro->Refresh();
  cargada_ = numero;
  versionTraida_ = res.version;
  irpTraido_ = regPptal;
  nuevo = false;
  grabado = true;
  Application->MessageBox("Orden de suministro grabada.", "Tallivar", MB_OK);
  AvisarSiAnioCerrado(StrToDate(edFecha->Text));
  ModalResult = mrOk;
}
