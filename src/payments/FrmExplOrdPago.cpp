#include "payments/FrmExplOrdPago.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/FrmAudPpto.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/FrmRptOrdenPago.h"
#include "payments/motor/OrdenPago.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Files.h"
#include "platform/os/Launch.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"

TfrmExplOrdPago* frmExplOrdPago = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const TColor kPlata = static_cast<TColor>(0xC0C0C0);

TBitBtn* Boton(TWinControl* padre, const char* nombre, const char* texto, int x, int ancho) {
  auto* b = Make<TBitBtn>(padre, nombre);
  b->Caption = texto;
  b->Left = x;
  b->Top = 8;
  b->Width = ancho;
  return b;
}

TDBGrid* Rejilla(TWinControl* padre, const char* nombre, TDataSource* ds, int x, int y, int ancho, int alto) {
  auto* g = Make<TDBGrid>(padre, nombre);
  g->DataSource = ds;
  g->ReadOnly = true;
  g->Left = x;
  g->Top = y;
  g->Width = ancho;
  g->Height = alto;
  return g;
}

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto, int x, int y) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  l->Left = x;
  l->Top = y;
  return l;
}

AnsiString Entero(std::int64_t n) { return AnsiString(std::to_string(n).c_str()); }

AnsiString Texto(TQuery* q, const char* campo) {
  if (!q->Active || q->IsEmpty()) return AnsiString();
  TField* f = q->FieldByName(campo);
  return f->IsNull ? AnsiString() : AnsiString(f->AsString);
}

void Pintar(TDBGrid* g, TQuery* q) { g->Color = q->IsEmpty() ? kPlata : clWindow; }

}  // namespace

TfrmExplOrdPago::TfrmExplOrdPago(TComponent* Owner) : TForm(Owner) {
  Name = "frmExplOrdPago";
  Caption = "Órdenes de pago";
  Position = poScreenCenter;
  ClientWidth = 860;
  ClientHeight = 500;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 44;
  btnBorrarSencillo = Boton(Panel1, "btnBorrarSencillo", "Borrar OP y mvto Contable", 8, 190);
  btnImprimir = Boton(Panel1, "btnImprimir", "&Imprimir", 206, 100);
  btnConsMas = Boton(Panel1, "btnConsMas", "Consecutivo +", 314, 120);
  btnConsMenos = Boton(Panel1, "btnConsMenos", "Consecutivo -", 442, 120);
  btnImprimirListado = Boton(Panel1, "btnImprimirListado", "Imprimir Listado", 570, 140);
  btnSalir = Make<TBitBtn>(Panel1, "btnSalir");
  btnSalir->Kind = bkCancel;
  btnSalir->Caption = "&Salir";
  btnSalir->Left = 750;
  btnSalir->Top = 8;
  btnSalir->Width = 100;

  QueryOrdPago = Make<TQuery>(this, "QueryOrdPago");
  QueryMvtMaestro = Make<TQuery>(this, "QueryMvtMaestro");
  QueryMvt = Make<TQuery>(this, "QueryMvt");
  QueryCompEgreso = Make<TQuery>(this, "QueryCompEgreso");
  QueryMvtCP = Make<TQuery>(this, "QueryMvtCP");
  Query2 = Make<TQuery>(this, "Query2");
  queryGral = Make<TQuery>(this, "queryGral");
  dsOrdPago = Make<TDataSource>(this, "dsOrdPago");
  dsOrdPago->DataSet = QueryOrdPago;
  dsMvtMaestro = Make<TDataSource>(this, "dsMvtMaestro");
  dsMvtMaestro->DataSet = QueryMvtMaestro;
  dsMvt = Make<TDataSource>(this, "dsMvt");
  dsMvt->DataSet = QueryMvt;
  dsCompEgreso = Make<TDataSource>(this, "dsCompEgreso");
  dsCompEgreso->DataSet = QueryCompEgreso;
  dsMvtCP = Make<TDataSource>(this, "dsMvtCP");
  dsMvtCP->DataSet = QueryMvtCP;

  // La lista a la izquierda; a la derecha, lo que cuelga de la orden elegida.
  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alRight;
  Panel2->Width = 430;
  Label3 = Etiqueta(Panel2, "Label3",
                    "Encabezado movimiento contable asociado (Comprobante _OP y mismo número de la OP)", 6, 4);
  dbgMvtMaestro = Rejilla(Panel2, "dbgMvtMaestro", dsMvtMaestro, 6, 20, 416, 50);
  Label2 = Etiqueta(Panel2, "Label2", "Detalle movimiento contable asociado", 6, 74);
  dbgMvt = Rejilla(Panel2, "dbgMvt", dsMvt, 6, 90, 416, 100);
  Label4 = Etiqueta(Panel2, "Label4", "Comprobantes de pago asociados a esta órden de pago", 6, 194);
  dbgCompEgreso = Rejilla(Panel2, "dbgCompEgreso", dsCompEgreso, 6, 210, 416, 50);
  Label5 = Etiqueta(Panel2, "Label5", "Movimiento contable del Comprobante de egreso", 6, 264);
  dbgMvtCP = Rejilla(Panel2, "dbgMvtCP", dsMvtCP, 6, 280, 416, 90);
  auto* titulo = Make<TPanel>(this, "Panel3");
  titulo->Align = alTop;
  titulo->Height = 20;
  Label1 = Etiqueta(titulo, "Label1", "Órden de pago", 8, 2);
  DBGrid1 = Rejilla(this, "DBGrid1", dsOrdPago, 0, 0, 400, 400);
  DBGrid1->Align = alClient;
  dsOrdPago->OnDataChange = [this](TObject* s, TField* f) { dsOrdPagoDataChange(s, f); };
  btnBorrarSencillo->OnClick = [this](TObject* s) { btnBorrarSencilloClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnConsMas->OnClick = [this](TObject* s) { btnConsMasClick(s); };
  btnConsMenos->OnClick = [this](TObject* s) { btnConsMenosClick(s); };
  btnImprimirListado->OnClick = [this](TObject* s) { btnImprimirListadoClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

  audPpto = new TfrmAudPpto(this);
  AnsiString ini = ArchivoIniSesion();
  if (FileExists(ini)) {
    TIniFile f(ini);
    DESCDOCU = f.ReadString("ACTION", "descDocuOP", "_OP");
    GuardarAjustes(ini, [](TIniFile& escribe) { escribe.WriteBool("ACTION", "Exit", false); });
  } else {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  }
}

TfrmExplOrdPago::~TfrmExplOrdPago() {
  if (frmExplOrdPago == this) frmExplOrdPago = nullptr;
}

void TfrmExplOrdPago::setIrp(std::int64_t aIrp) {
  irp_ = aIrp;
  versiones_ = tv::motor::VersionesOrdenesPago(kAlias);
  AnsiString sql = "select * from mvtOrdenPago";
  if (filtrado && irp_ != 0) sql += " where irp=" + Entero(irp_);
  HagaSQL(kAlias, QueryOrdPago, sql + " order by iop");
  dsOrdPagoDataChange(dsOrdPago, nullptr);
}

void TfrmExplOrdPago::dsOrdPagoDataChange(TObject*, TField*) {
  AnsiString iop = Texto(QueryOrdPago, "iop");
  AnsiString tipo = TextoSQL(Texto(QueryOrdPago, "descDocu")), numero = TextoSQL(Texto(QueryOrdPago, "numedocu"));
  HagaSQL(kAlias, QueryMvtMaestro, "select * from mvtmaestro where descdocu=" + tipo + " and numedocu=" + numero);
  Label3->Caption = "Encabezado contable (" + AnsiString(QueryMvtMaestro->RecordCount) + ")";
  Pintar(dbgMvtMaestro, QueryMvtMaestro);
  HagaSQL(kAlias, QueryMvt, "select * from mvt where descdocu=" + tipo + " and numedocu=" + numero);
  Label2->Caption = "Detalle del movimiento contable (" + AnsiString(QueryMvt->RecordCount) + ")";
  Pintar(dbgMvt, QueryMvt);
  std::int64_t n = 0;
  AnsiString orden = tv::motor::NumeroDocumento(iop.str(), n) ? Entero(n) : AnsiString("NULL");
  HagaSQL(kAlias, QueryCompEgreso,
          "select * from mvtmaestro where op1=" + orden + " or op2=" + orden + " or op3=" + orden + " or op4=" + orden +
              " or op5=" + orden);
  Pintar(dbgCompEgreso, QueryCompEgreso);
  HagaSQL(kAlias, QueryMvtCP,
          "select * from mvt where descdocu=" + TextoSQL(Texto(QueryCompEgreso, "descDocu")) +
              " and numedocu=" + TextoSQL(Texto(QueryCompEgreso, "numeDocu")));
  Pintar(dbgMvtCP, QueryMvtCP);
}

void TfrmExplOrdPago::btnBorrarSencilloClick(TObject*) {
  if (QueryOrdPago->IsEmpty()) return;
  std::int64_t iop = 0;
  if (!tv::motor::NumeroDocumento(Texto(QueryOrdPago, "iop").str(), iop)) return;
  // La orden y su asiento (si es de ella), o nada; solo la que la lista muestra.
  tv::motor::Resultado r = tv::motor::BorrarOrdenPago(kAlias, iop, versiones_.count(iop) ? versiones_[iop] : 0);
  for (TTable* t : {DM->tblMvtOrdenPago, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
  if (!r.grabado) {
    ShowMessage(r.Texto().c_str());
    setIrp(irp_);
    return;
  }
  audPpto->MostrarAutomatica();
  setIrp(irp_);
}

void TfrmExplOrdPago::btnImprimirClick(TObject*) {
  if (QueryOrdPago->IsEmpty()) return;
  std::unique_ptr<TfrmRptOrdenPago> r(new TfrmRptOrdenPago(this));
  r->DataSource1->DataSet = QueryOrdPago;
  r->numeDocu = Texto(QueryMvt, "numeDocu");
  r->QuickReport1->Preview();
}

// Órdenes, asientos y comprobantes corren juntos en el motor, o nada.
void TfrmExplOrdPago::Correr(std::int64_t desde, int paso) {
  tv::motor::Resultado r =
      tv::motor::CorrerOrdenesPago(kAlias, desde, paso, versiones_.count(desde) ? versiones_[desde] : 0);
  if (!r.errores.empty()) ShowMessage(r.Texto().c_str());
  for (TTable* t : {DM->tblMvtOrdenPago, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
  setIrp(irp_);
}

void TfrmExplOrdPago::btnConsMasClick(TObject*) {
  if (Application->MessageBox(
          "¿Realmente desea continuar? Esto va a aumentar el consecutivo abriendo un hueco a partir del actual",
          "Cuidado", MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  std::int64_t n = 0;
  if (tv::motor::NumeroDocumento(Texto(QueryOrdPago, "iop").str(), n)) Correr(n, +1);
}

void TfrmExplOrdPago::btnConsMenosClick(TObject*) {
  if (Application->MessageBox("¿Realmente desea continuar? Esto va a disminuir el consecutivo a partir del actual",
                              "Cuidado", MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  std::int64_t n = 0;
  // El motor exige libre el número de abajo, en toda la tabla (con o sin filtro).
  if (tv::motor::NumeroDocumento(Texto(QueryOrdPago, "iop").str(), n)) Correr(n, -1);
}

void TfrmExplOrdPago::btnImprimirListadoClick(TObject*) {
  HagaSQL(kAlias, queryGral,
          "select iop, fechaexped, valor, itercero, objetogasto from mvtOrdenPago as a "
          "left join tc as b on a.itercero=b.cedulanit order by iop");
  AnsiString archivo = PathOrigen + "/ordenesPago.txt";
  DataSetToTxtNice("Listado de OPs realizados", queryGral, archivo, false, 5000, 0);
  AnsiString error;
  if (!tv::os::OpenInTextViewer(archivo, &error)) ShowMessage("No se pudo abrir " + archivo + ": " + error);
}

void TfrmExplOrdPago::FormClose(TObject*, TCloseAction&) {}
