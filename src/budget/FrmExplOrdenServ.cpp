#include "budget/FrmExplOrdenServ.h"

#include <cmath>
#include <memory>

#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/FrmRptOrdenServicio.h"
#include "budget/motor/Guardados.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/SqlUtil.h"

TfrmExplOrdenServ* frmExplOrdenServ = nullptr;

namespace {
TButton* Boton(TWinControl* padre, const char* nombre, const char* texto, int izq) {
  auto* b = Make<TButton>(padre, nombre);
  b->Caption = texto;
  b->SetBounds(izq, 6, 96, 28);
  return b;
}
}  // namespace

TfrmExplOrdenServ::TfrmExplOrdenServ(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "frmExplOrdenServ";
  Caption = "Explorar órdenes de servicios";
  Position = poScreenCenter;
  Width = 720;
  Height = 560;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  PnlFiltro->Height = 64;
  CrearPeriodo(PnlFiltro);
  btnMostrar = Boton(PnlFiltro, "btnMostrar", "&Mostrar", 440);
  btnMostrar->Top = 24;

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  btnBorrar = Boton(PnlBotones, "btnBorrar", "&Borrar", 8);
  btnImprimir = Boton(PnlBotones, "btnImprimir", "&Imprimir", 110);
  btnListar = Boton(PnlBotones, "btnListar", "&Listar", 212);
  btnInsNuevo = Boton(PnlBotones, "btnInsNuevo", "Consecutivo +", 314);
  btnElimVacio = Boton(PnlBotones, "btnElimVacio", "Consecutivo -", 416);
  btnSalir = Boton(PnlBotones, "btnSalir", "&Salir", 610);
  btnSalir->Cancel = true;
  btnSalir->ModalResult = mrCancel;
  for (TButton* b : {btnBorrar, btnImprimir, btnListar}) b->Enabled = false;

  PnlDescripcion = Make<TPanel>(this, "PnlDescripcion");
  PnlDescripcion->Align = alBottom;
  PnlDescripcion->BevelOuter = bvNone;
  PnlDescripcion->Height = 120;
  Label1 = Make<TLabel>(PnlDescripcion, "Label1");
  Label1->Caption = "Descripción del servicio";
  Label1->SetBounds(8, 4, 300, 16);
  DBMemo1 = Make<TDBMemo>(PnlDescripcion, "DBMemo1");
  DBMemo1->SetBounds(8, 22, 560, 92);
  DBMemo1->ReadOnly = true;
  DBNavigator1 = Make<TDBNavigator>(PnlDescripcion, "DBNavigator1");
  DBNavigator1->VisibleButtons = TButtonSet{nbFirst, nbPrior, nbNext, nbLast, nbRefresh};
  DBNavigator1->SetBounds(576, 22, 130, 26);

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;

  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  dsOrdServ = Make<TDataSource>(this, "dsOrdServ");
  dsOrdServ->DataSet = Query1;
  DBGrid1->DataSource = dsOrdServ;
  const char* campos[][2] = {{"IOrdenServicio", "Número"}, {"Fecha", "Fecha"}, {"Itercero", "Tercero"},
                             {"Iop", "Orden pago"}};
  for (auto& c : campos) {
    TColumn* col = DBGrid1->Columns->Add();
    col->FieldName = c[0];
    col->Title->Caption = c[1];
    col->Width = 110;
  }
  DBMemo1->DataSource = dsOrdServ;
  DBMemo1->DataField = "descServicio";
  DBNavigator1->DataSource = dsOrdServ;

  btnMostrar->OnClick = [this](TObject* s) { btnMostrarClick(s); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnListar->OnClick = [this](TObject* s) { btnListarClick(s); };
  btnInsNuevo->OnClick = [this](TObject* s) { btnInsNuevoClick(s); };
  btnElimVacio->OnClick = [this](TObject* s) { btnElimVacioClick(s); };
  DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { DBGrid1KeyDown(s, k, sh); };
}

void TfrmExplOrdenServ::btnMostrarClick(TObject*) {
  // Una fecha vacía o a medias se dice como tal, antes de armar la consulta; la máscara sin
  // cifras es una fecha vacía.
  auto fecha = [](const AnsiString& t) {
    return t.str().find_first_of("0123456789") == std::string::npos ? AnsiString() : Trim(t);
  };
  AnsiString error;
  if (!ValidarFecha(fecha(EdFechaInicio->Text), error) || !ValidarFecha(fecha(EdFechaFinal->Text), error)) {
    ShowMessage(Trim(error));
    return;
  }
  versiones_ = tv::motor::VersionesDeClase("OS");
  HagaSQL("Contabilidad", Query1,
          AnsiString("select * from mvtOrdenServicio") + " where Fecha>='" + MesDiaAnio(EdFechaInicio->Text) + "'" +
              " and Fecha<='" + MesDiaAnio(EdFechaFinal->Text) + "'",
          true);
  bool hay = !Query1->IsEmpty();
  for (TButton* b : {btnBorrar, btnImprimir, btnListar}) b->Enabled = hay;
}

bool TfrmExplOrdenServ::Seleccionada(std::int64_t& aNumero) {
  if (!Query1->Active || Query1->IsEmpty()) {
    ShowMessage("Primero seleccione una orden.");
    return false;
  }
  aNumero = NumeroDocDe(Query1->FieldByName("iOrdenServicio"));
  return true;
}

void TfrmExplOrdenServ::btnBorrarClick(TObject*) {
  std::int64_t n;
  if (!Seleccionada(n)) return;
  if (Application->MessageBox("Está seguro de borrar la órden de servicio " + TextoEntero(n) + "?", "Información",
                              MB_YESNO) != IDYES)
    return;
  Hecho(tv::motor::BorrarOrdenServicio(n, tv::motor::VersionLeida(versiones_, n)));
  DBGrid1->DataSource = nullptr;
  btnMostrarClick(this);
  DBGrid1->DataSource = dsOrdServ;
}

void TfrmExplOrdenServ::btnImprimirClick(TObject*) {
  frmRptOrdenServicio = new TfrmRptOrdenServicio(this);
  std::unique_ptr<TfrmRptOrdenServicio> r(frmRptOrdenServicio);
  r->DataSource1->DataSet = Query1;
  r->QuickReport1->Preview();
  frmRptOrdenServicio = nullptr;
}

void TfrmExplOrdenServ::btnListarClick(TObject*) {
  TfrmExplOrdenServ* anterior = frmExplOrdenServ;
  frmExplOrdenServ = this;
  frmListOrdServ = new TfrmListOrdServ(this);
  std::unique_ptr<TfrmListOrdServ> r(frmListOrdServ);
  r->QuickRep1->Preview();
  frmListOrdServ = nullptr;
  frmExplOrdenServ = anterior ? anterior : this;
}

void TfrmExplOrdenServ::Correr(std::int64_t aDesde, int aPaso) {
  Hecho(tv::motor::CorrerNumeracion(tv::motor::Numerado::OrdenServicio, aDesde, aPaso,
                                    tv::motor::VersionLeida(versiones_, aDesde)));
  btnMostrarClick(this);
}

void TfrmExplOrdenServ::btnInsNuevoClick(TObject*) {
  std::int64_t n;
  if (Seleccionada(n)) Correr(n, 1);
}

void TfrmExplOrdenServ::btnElimVacioClick(TObject*) {
  std::int64_t n;
  // El motor exige libre el número de abajo.
  if (Seleccionada(n)) Correr(n, -1);
}

void TfrmExplOrdenServ::DBGrid1KeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE && Shift.Contains(ssCtrl)) Key = 0;
}
