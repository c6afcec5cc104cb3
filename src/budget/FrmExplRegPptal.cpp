#include "budget/FrmExplRegPptal.h"

#include <cmath>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/FrmAudPpto.h"
#include "budget/FrmRptRegistroPptal.h"
#include "budget/Explorado.h"
#include "budget/motor/Guardados.h"
#include "payments/motor/OrdenPago.h"
#include "platform/report/QuickRpt.h"
#include <memory>
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "reports/ConsultasComun.h"

TfrmExplRegPptal* frmExplRegPptal = nullptr;

namespace {

const char* const kAlias = "Contabilidad";
const TColor kPlata = static_cast<TColor>(0xC0C0C0);

TBitBtn* Boton(TWinControl* padre, const char* nombre, const char* texto) {
  auto* b = Make<TBitBtn>(padre, nombre);
  b->Caption = texto;
  return b;
}

TDBGrid* Rejilla(TWinControl* padre, const char* nombre, TDataSource* fuente, int arriba) {
  auto* g = Make<TDBGrid>(padre, nombre);
  g->Left = 8;
  g->Top = arriba;
  g->Width = 924;
  g->Height = 62;
  g->ReadOnly = true;
  g->DataSource = fuente;
  MostrarMontos(g, {"valor", "valorTotal"});
  return g;
}

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto, int arriba) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  l->Left = 8;
  l->Top = arriba;
  return l;
}

double Numero(TField* f) { return f->IsNull ? 0.0 : static_cast<double>(f->AsFloat); }

}  // namespace

TfrmExplRegPptal::TfrmExplRegPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmExplRegPptal";
  Caption = "Explorar registro presupuestal";
  Position = poScreenCenter;
  ClientWidth = 940;
  ClientHeight = 600;

  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 44;
  btnImprimir = Boton(Panel2, "btnImprimir", "&Imprimir");
  btnBorrarSencillo = Boton(Panel2, "btnBorrarSencillo", "Borrar Reg. Pptal");
  btnBorrar = Boton(Panel2, "btnBorrar", "Borrar Reg. Pptal y orden de pago asociada");
  btnConsMas = Boton(Panel2, "btnConsMas", "Consecutivo +");
  btnConsMenos = Boton(Panel2, "btnConsMenos", "Consecutivo -");
  btnImprimirListado = Boton(Panel2, "btnImprimirListado", "Imprimir Listado");
  BitBtn2 = Boton(Panel2, "BitBtn2", "&Salir");
  BitBtn2->Cancel = true;  // Esc cierra el explorador

  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  QueryOrdenPago = Make<TQuery>(this, "QueryOrdenPago");
  QueryOrdenSuministro = Make<TQuery>(this, "QueryOrdenSuministro");
  QueryOrdenServicio = Make<TQuery>(this, "QueryOrdenServicio");
  queryGral = Make<TQuery>(this, "queryGral");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  dsOrdenPago = Make<TDataSource>(this, "dsOrdenPago");
  dsOrdenPago->DataSet = QueryOrdenPago;
  dsOrdenSuministro = Make<TDataSource>(this, "dsOrdenSuministro");
  dsOrdenSuministro->DataSet = QueryOrdenSuministro;
  dsOrdenServicio = Make<TDataSource>(this, "dsOrdenServicio");
  dsOrdenServicio->DataSet = QueryOrdenServicio;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 276;
  Label1 = Etiqueta(Panel1, "Label1", "Ordenes de pago asociada al registro presupuestal", 4);
  dbgOrdenPago = Rejilla(Panel1, "dbgOrdenPago", dsOrdenPago, 22);
  Label5 = Etiqueta(Panel1, "Label5", "Orden de suministro", 94);
  dbgOrdenSuministro = Rejilla(Panel1, "dbgOrdenSuministro", dsOrdenSuministro, 112);
  Label6 = Etiqueta(Panel1, "Label6", "Orden de servicio", 184);
  dbgOrdenServicio = Rejilla(Panel1, "dbgOrdenServicio", dsOrdenServicio, 202);

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->DataSource = DataSource1;
  MostrarMontos(DBGrid1, {"valor"});

  DataSource1->OnDataChange = [this](TObject* s, TField* f) { DataSource1DataChange(s, f); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnBorrarSencillo->OnClick = [this](TObject* s) { btnBorrarSencilloClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnConsMas->OnClick = [this](TObject* s) { btnConsMasClick(s); };
  btnConsMenos->OnClick = [this](TObject* s) { btnConsMenosClick(s); };
  btnImprimirListado->OnClick = [this](TObject* s) { btnImprimirListadoClick(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };

  audPpto = new TfrmAudPpto(this);
}

TfrmExplRegPptal::~TfrmExplRegPptal() {
  if (frmExplRegPptal == this) frmExplRegPptal = nullptr;
}

void TfrmExplRegPptal::setIcd(std::int64_t aIcd) {
  icd = aIcd;
  versiones_ = tv::motor::VersionesDeClase("RP");
  versionesPagos_ = tv::motor::VersionesOrdenesPago(kAlias);
  if (filtrado && icd != 0)
    HagaSQL(kAlias, Query1, "select * from mvtRegPptal where icd=" + TextoEntero(icd), true);
  else
    HagaSQL(kAlias, Query1, "select * from mvtRegPptal", true);
  DataSource1DataChange(DataSource1, nullptr);
}

std::int64_t TfrmExplRegPptal::Seleccionado() const {
  return Query1->Active && !Query1->IsEmpty() ? NumeroDocDe(Query1->FieldByName("irp")) : 0;
}

void TfrmExplRegPptal::DataSource1DataChange(TObject*, TField*) {
  if (!Query1->Active) return;
  AnsiString n = TextoEntero(Seleccionado());
  double valor = Query1->IsEmpty() ? 0.0 : Numero(Query1->FieldByName("valor"));
  auto Pintar = [](TDBGrid* g, TQuery* q) { g->Color = q->IsEmpty() ? kPlata : clWindow; };
  HagaSQL(kAlias, QueryOrdenServicio, "select * from mvtOrdenServicio where irp=" + n);
  Pintar(dbgOrdenServicio, QueryOrdenServicio);
  HagaSQL(kAlias, QueryOrdenSuministro, "select * from mvtOrdenSumiMaestro where irp=" + n);
  Label5->Caption = "Ordenes de suministro (" + AnsiString(QueryOrdenSuministro->RecordCount) + ")";
  Pintar(dbgOrdenSuministro, QueryOrdenSuministro);
  HagaSQL(kAlias, QueryOrdenPago, "select sum(valor) as suma from mvtOrdenPago where irp=" + n);
  double suma = Numero(QueryOrdenPago->FieldByName("suma"));
  HagaSQL(kAlias, QueryOrdenPago, "select * from mvtOrdenPago where irp=" + n);
  Pintar(dbgOrdenPago, QueryOrdenPago);
  // Punto devuelve su propio búfer: cada cifra se copia antes de pedir la otra.
  AnsiString sumaTexto = Punto(suma, 2);
  AnsiString faltaTexto = Punto(valor - suma, 2);
  Label1->Caption = "Ordenes de pago asociada al registro presupuestal, suman: " + sumaTexto +
                    " falta por ejecutar: " + faltaTexto;
}

void TfrmExplRegPptal::btnBorrarClick(TObject*) {
  if (Query1->IsEmpty()) return;
  std::int64_t n = Seleccionado();
  // Registro, sus órdenes de pago y el asiento de cada una, o nada.
  tv::motor::Resultado r =
      tv::motor::BorrarRegistroYPagos(kAlias, n, tv::motor::VersionLeida(versiones_, n), versionesPagos_);
  for (TTable* t : {DM->tblMvtRegPptal, DM->tblMvtOrdenPago, DM->TblMovimiento, DM->tblMvtMaestro}) t->Refresh();
  Hecho(r);
  setIcd(icd);
}

void TfrmExplRegPptal::btnBorrarSencilloClick(TObject*) {
  if (Query1->IsEmpty()) return;
  ShowMessage("Las órdenes de servicio o suministro asociadas al registro no serán borradas y podrán ser utilizadas "
              "luego.");
  std::int64_t n = Seleccionado();
  bool hecho = Hecho(tv::motor::BorrarRegistro(n, tv::motor::VersionLeida(versiones_, n)));
  if (hecho) audPpto->MostrarAutomatica();
  DM->tblMvtRegPptal->Refresh();
  setIcd(icd);
}

void TfrmExplRegPptal::btnImprimirClick(TObject*) {
  if (Query1->IsEmpty()) return;
  if (!DM->tblPAC->Locate("icd", Variant(Numero(Query1->FieldByName("icd")))))
    ShowMessage("El certificado asociado no tiene definido PAC");
  frmRptRegistroPptal = new TfrmRptRegistroPptal(this);
  std::unique_ptr<TfrmRptRegistroPptal> impreso(frmRptRegistroPptal);
  impreso->DataSource1->DataSet = Query1;
  impreso->QuickReport1->Preview();
  frmRptRegistroPptal = nullptr;
}

void TfrmExplRegPptal::btnConsMasClick(TObject*) {
  if (Application->MessageBox("¿Realmente desea continuar? Esto va a aumentar el consecutivo abriendo un hueco a "
                              "partir del actual",
                              "Cuidado", MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  if (Query1->IsEmpty()) return;
  std::int64_t n = Seleccionado();
  Hecho(tv::motor::CorrerNumeracion(tv::motor::Numerado::Registro, n, +1, tv::motor::VersionLeida(versiones_, n)));
  DM->tblMvtRegPptal->Refresh();
  setIcd(icd);
}

void TfrmExplRegPptal::btnConsMenosClick(TObject*) {
  if (Application->MessageBox("¿Realmente desea continuar? Esto va a disminuir el consecutivo a partir del actual",
                              "Cuidado", MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  if (Query1->IsEmpty()) return;
  std::int64_t n = Seleccionado();
  // El motor exige libre el número de abajo, en toda la tabla.
  Hecho(tv::motor::CorrerNumeracion(tv::motor::Numerado::Registro, n, -1, tv::motor::VersionLeida(versiones_, n)));
  setIcd(icd);
  DM->tblMvtRegPptal->Refresh();
  DM->tblPAC->Refresh();
}

void TfrmExplRegPptal::btnImprimirListadoClick(TObject*) {
  HagaSQL(kAlias, queryGral,
          AnsiString(" select a.irp as irp,a.icd as icd,a.fechaexped as fechaexped, a.valor as valor,"
                     "a.itercero as itercero,c.rubropptal as rubropptal,a.objetogasto as objetogasto ") +
              "from mvtRegPptal as a " + "left join tc as b on a.itercero=b.cedulanit " +
              "left join mvtcertdisp as c on a.icd=c.icd " + "where c.rubropptal is not null " + "union " +
              "select a.irp,a.icd,a.fechaexped, a.valor,a.itercero,c.rubropptal,a.objetogasto " +
              "from mvtRegPptal as a " + "left join tc as b on a.itercero=b.cedulanit " +
              "left join certdisprubros as c on a.icd=c.icd " + "order by irp;");
  AnsiString archivo = PathOrigen + "/registrosPresupuestales.txt";
  DataSetToTxtNice("Listado de RPs realizados", queryGral, archivo, false, 5000, 0);
  AnsiString error;
  if (!tv::os::OpenInTextViewer(archivo, &error)) ShowMessage("No se pudo abrir " + archivo + ": " + error);
}

void TfrmExplRegPptal::BitBtn2Click(TObject*) { Close(); }
