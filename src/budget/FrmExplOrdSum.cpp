#include "budget/FrmExplOrdSum.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/FrmArticulos.h"
#include "budget/motor/Guardados.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmExplOrdSum* frmExplOrdSum = nullptr;
TfrmRptOrdenSuministro* frmRptOrdenSuministro = nullptr;

namespace {
const char* kAlias = "Contabilidad";

TButton* Boton(TWinControl* padre, const char* nombre, const char* texto, int izq) {
  auto* b = Make<TButton>(padre, nombre);
  b->Caption = texto;
  b->SetBounds(izq, 6, 100, 28);
  return b;
}

AnsiString Config(const char* campo) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  return t->FieldByName(campo)->AsString;
}
}  // namespace

AnsiString RenglonesConArticulo(const AnsiString& aTabla, const AnsiString& aFiltro) {
  return "select a.iOrdenSuministro, a.iArticulo, coalesce(b.nArticulo, '') as nArticulo, a.cantidad, a.valorUnit "
         "from " + aTabla + " as a left join articulos as b on a.iarticulo=b.iarticulo" + aFiltro;
}

TfrmExplOrdSum::TfrmExplOrdSum(TComponent* Owner) : TForm(Owner) {
  Name = "frmExplOrdSum";
  Caption = "Explorar orden de suministro";
  Position = poScreenCenter;
  Width = 760;
  Height = 540;
  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  BitBtn1 = Make<TBitBtn>(PnlBotones, "BitBtn1");
  BitBtn1->Caption = "Buscar";
  BitBtn1->Hint = "Buscar";
  BitBtn1->ShowHint = true;
  BitBtn1->SetBounds(8, 6, 100, 28);
  btnBorrar = Boton(PnlBotones, "btnBorrar", "&Borrar", 116);
  btnImprimir = Boton(PnlBotones, "btnImprimir", "&Imprimir", 224);
  btnInsNuevo = Boton(PnlBotones, "btnInsNuevo", "Consecutivo +", 332);
  btnElimVacio = Boton(PnlBotones, "btnElimVacio", "Consecutivo -", 440);
  btnSalir = Boton(PnlBotones, "btnSalir", "&Salir", 650);
  btnSalir->Cancel = true;
  btnSalir->ModalResult = mrCancel;
  DBGrid2 = Make<TDBGrid>(this, "DBGrid2");
  DBGrid2->Align = alBottom;
  DBGrid2->Height = 170;
  DBGrid2->ReadOnly = true;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  dsOrdSumDlle = Make<TDataSource>(this, "dsOrdSumDlle");
  dsOrdSumDlle->DataSet = Query2;
  DBGrid2->DataSource = dsOrdSumDlle;
  dsOrdenSumiMaestro = Make<TDataSource>(this, "dsOrdenSumiMaestro");
  TTable* m = DM->tblMvtOrdenSumiMaestro;
  if (!m->Active) m->Open();
  const char* cols[][2] = {{"iOrdenSuministro", "Número"}, {"fecha", "fecha"}, {"valorTotal", "valor Total"},
                           {"iTercero", "Tercero"}, {"iRP", "Reg Pptal"}, {"qItems", "Nº Art."},
                           {"Detalle", "Detalle"}, {"Autorizo", "Autorizo"}};
  for (auto& c : cols) {
    TColumn* col = DBGrid1->Columns->Add();
    col->FieldName = c[0];
    col->Title->Caption = c[1];
    col->Width = 88;
  }
  dsOrdenSumiMaestro->DataSet = m;
  DBGrid1->DataSource = dsOrdenSumiMaestro;
  MostrarMontos(DBGrid1, {"valorTotal"});
  MostrarMontos(DBGrid2, {"valorUnit", "subTotal"});
  // Los renglones siguen a la orden actual.
  dsOrdenSumiMaestro->OnDataChange = [this](TObject*, TField* f) {
    if (!f) CargarRenglones();
  };
  CargarRenglones();

  DBGrid1->OnDblClick = [this](TObject* s) { DBGrid1DblClick(s); };
  DBGrid1->OnKeyDown = [](TObject*, Word& k, TShiftState sh) {
    if (k == VK_DELETE && sh.Contains(ssCtrl)) k = 0;
  };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnInsNuevo->OnClick = [this](TObject* s) { btnInsNuevoClick(s); };
  btnElimVacio->OnClick = [this](TObject* s) { btnElimVacioClick(s); };
}

void TfrmExplOrdSum::CargarRenglones() {
  TTable* m = DM->tblMvtOrdenSumiMaestro;
  std::int64_t n = m->Active && !m->IsEmpty() ? NumeroDocDe(m->FieldByName("iOrdenSuministro")) : 0;
  version_ = n ? tv::motor::VersionGuardada("SU", TextoEntero(n).str()) : 0;
  HagaSQL(kAlias, Query2, RenglonesConArticulo("mvtOrdenSuministro", " where a.iOrdenSuministro=" + TextoEntero(n)),
          true);
}

bool TfrmExplOrdSum::Seleccionada(std::int64_t& aNumero) {
  TTable* m = DM->tblMvtOrdenSumiMaestro;
  if (!m->Active || m->IsEmpty()) {
    ShowMessage("Primero seleccione una orden.");
    return false;
  }
  aNumero = NumeroDocDe(m->FieldByName("iOrdenSuministro"));
  return true;
}

void TfrmExplOrdSum::DBGrid1DblClick(TObject*) {
  std::int64_t n;
  if (!Seleccionada(n)) return;
  frmOrdenSumDlle = new TfrmOrdenSumDlle(this);
  std::unique_ptr<TfrmOrdenSumDlle> f(frmOrdenSumDlle);
  f->iOrdenSuministro = n;
  f->ShowModal();
  frmOrdenSumDlle = nullptr;
}

void TfrmExplOrdSum::BitBtn1Click(TObject*) {
  FrmBuscTabla =
      new TFrmBuscTabla(this, dsOrdenSumiMaestro, "Número", "Fecha", "iOrdenSuministro", "Fecha", true, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros) f->ShowModal();
  FrmBuscTabla = nullptr;
  CargarRenglones();
}

void TfrmExplOrdSum::btnBorrarClick(TObject*) {
  std::int64_t n;
  if (!Seleccionada(n)) return;
  iOrdenSuministro = n;
  if (Application->MessageBox("Está seguro de borrar la órden de suministro " + TextoEntero(n) + "?", "Información",
                              MB_YESNO) != IDYES)
    return;
  // Encabezado y renglones, o nada.
  Hecho(tv::motor::BorrarOrdenSuministro(n, version_));
  DM->tblMvtOrdenSumiMaestro->Refresh();
  DM->tblMvtOrdenSuministro->Refresh();
  DBGrid2->DataSource = nullptr;
  CargarRenglones();
  DBGrid2->DataSource = dsOrdSumDlle;
}

void TfrmExplOrdSum::btnImprimirClick(TObject*) {
  frmRptOrdenSuministro = new TfrmRptOrdenSuministro(this);
  std::unique_ptr<TfrmRptOrdenSuministro> r(frmRptOrdenSuministro);
  r->DataSource1->DataSet = DM->tblMvtOrdenSumiMaestro;
  r->DataSource2->DataSet = Query2;
  r->QuickRep1->Preview();
  frmRptOrdenSuministro = nullptr;
}

void TfrmExplOrdSum::Correr(std::int64_t aDesde, int aPaso) {
  // Encabezados y renglones juntos, o nada.
  Hecho(tv::motor::CorrerNumeracion(tv::motor::Numerado::OrdenSuministro, aDesde, aPaso,
                                    version_));
  DM->tblMvtOrdenSumiMaestro->Refresh();
  DM->tblMvtOrdenSuministro->Refresh();
  CargarRenglones();
}

void TfrmExplOrdSum::btnInsNuevoClick(TObject*) {
  std::int64_t n;
  if (Seleccionada(n)) Correr(n, 1);
}

void TfrmExplOrdSum::btnElimVacioClick(TObject*) {
  std::int64_t n;
  // El motor exige libre el número de abajo.
  if (Seleccionada(n)) Correr(n, -1);
}

TfrmRptOrdenSuministro::TfrmRptOrdenSuministro(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptOrdenSuministro";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource2 = Make<TDataSource>(this, "DataSource2");
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = DataSource2;
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ShowPrintDialog = true;
  QuickRep1->ReportTitle = "ORDEN DE SUMINISTRO";
  auto campo = [this](const char* c) {
    TDataSet* d = DataSource1->GetDataSet();
    return d && d->Active && !d->IsEmpty() ? AnsiString(d->FieldByName(c)->AsString) : AnsiString();
  };
  TQRCustomBand* t = NuevaBanda(this, QuickRep1, rbTitle, 200);
  NuevaEtiqueta(this, t, "QRLabel1", Config("IEmpresa") + "  " + Config("NIT"), 20, 8, 0, false, true);
  TQRLabel* numero = NuevaEtiqueta(this, t, "QRLabel2", "", 20, 40, 0, false, true);
  TQRLabel* fecha = NuevaEtiqueta(this, t, "QRLabel3", "", 400, 40);
  TQRLabel* tercero = NuevaEtiqueta(this, t, "QRLabel4", "", 20, 66);
  NuevaEtiqueta(this, t, "QRLabel5", "DESCRIPCION:", 20, 92, 0, false, true);
  auto* memo = new TQRMemo(this);
  memo->Name = "QRMemo1";
  memo->Left = 20;
  memo->Top = 110;
  memo->Width = 680;
  memo->Height = 80;
  memo->Parent = t;
  t->BeforePrint = [=](TQRCustomBand*, bool&) {
    numero->Caption = "ORDEN DE SUMINISTRO: " + campo("iordenSuministro");
    fecha->Caption = "FECHA: " + campo("fecha");
    AnsiString id = campo("itercero");
    TQuery q(nullptr);
    HagaSQL(kAlias, &q, "select nombre from TC where cedulaNit=" + TextoSQL(id));
    tercero->Caption = "TERCERO: " + id + " " + (q.IsEmpty() ? AnsiString() : AnsiString(q.FieldByName("nombre")->AsString));
    memo->Lines->SetText(campo("detalle"));
  };
  TQRCustomBand* cab = NuevaBanda(this, QuickRep1, rbColumnHeader, 20);
  NuevaEtiqueta(this, cab, "", "Artículo", 20, 2, 0, false, true);
  NuevaEtiqueta(this, cab, "", "Cantidad", 330, 2, 100, true, true);
  NuevaEtiqueta(this, cab, "", "Valor Unit.", 440, 2, 120, true, true);
  NuevaEtiqueta(this, cab, "", "Subtotal", 570, 2, 130, true, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", DataSource2, "narticulo", 20, 1, 300);
  NuevoCampo(this, det, "QRDBText2", DataSource2, "cantidad", 330, 1, 100, true);
  NuevoCampo(this, det, "QRDBText3", DataSource2, "valorUnit", 440, 1, 120, true)->OnPrint =
      [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
  TQRLabel* sub = NuevaEtiqueta(this, det, "lblSubtotal", "", 570, 1, 130, true);
  det->BeforePrint = [this, sub](TQRCustomBand*, bool&) {
    TDataSet* d = DataSource2->GetDataSet();
    sub->Caption = AnsiString(Punto(d->FieldByName("Cantidad")->AsFloat * d->FieldByName("ValorUnit")->AsFloat, 2));
  };
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 110);
  NuevaEtiqueta(this, sum, "", "TOTAL:", 440, 6, 120, true, true);
  TQRLabel* tot = NuevaEtiqueta(this, sum, "lblTotal", "", 570, 6, 130, true, true);
  NuevaEtiqueta(this, sum, "", "Rector(a): " + Config("rector"), 20, 70);
  NuevaEtiqueta(this, sum, "", "Auxiliar administrativo: " + Config("auxiliar"), 280, 70);
  NuevaEtiqueta(this, sum, "", "PROVEEDOR:", 560, 70);
  sum->BeforePrint = [=](TQRCustomBand*, bool&) { tot->Caption = MontoImpreso(campo("valorTotal")); };
  TQRCustomBand* pie = NuevaBanda(this, QuickRep1, rbPageFooter, 18);
  NuevaEtiqueta(this, pie, "", "", 20, 2);
}
