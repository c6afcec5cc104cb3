#include "payments/FrmReintegros.h"

#include <cmath>
#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/FrmRptReintegro.h"
#include "payments/motor/Reintegros.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/SqlUtil.h"

TfrmReintegros* frmReintegros = nullptr;

namespace {
const char* const kAlias = "Contabilidad";

bool EsRubroEgreso(const AnsiString& rubro) {
  auto q = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, q.get(),
          "select icuenta from plppto where icuenta=" + TextoSQL(rubro) + " and tipocuenta='E'");
  return !q->IsEmpty();
}

// Reglas comunes de un reintegro nuevo o corregido; cada falla agrega su línea.
AnsiString Revisar(const AnsiString& rubro, const AnsiString& valor, const AnsiString& fecha) {
  AnsiString msg;
  if (rubro.IsEmpty()) {
    msg += "Debe digitar el rubro.\n";
  } else if (!EsRubroEgreso(rubro)) {
    msg += "El rubro " + rubro + " no es un rubro de egreso.\n";
  }
  if (valor.IsEmpty())
    msg += "Debe digitar el valor.\n";
  else if (!(StrToAmount(valor) > 0))
    msg += "El valor debe ser mayor que cero.\n";
  AnsiString motivo;
  if (!ValidarFecha(fecha, motivo)) msg += motivo + "\n";
  return msg;
}
}  // namespace

TfrmReintegros::TfrmReintegros(TComponent* Owner) : TForm(Owner) {
  Name = "frmReintegros";
  Caption = "Reintegros";
  Position = poScreenCenter;
  Width = 760;
  Height = 560;

  lblAyuda = Make<TLabel>(this, "lblAyuda");
  lblAyuda->Caption = "Para corregir un reintegro escriba sobre la fila y oprima \"Grabar modificación\"";
  lblAyuda->Align = alTop;
  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  btnNuevo = Make<TBitBtn>(PnlBotones, "btnNuevo");
  btnNuevo->Caption = "&Nuevo";
  btnNuevo->SetBounds(8, 6, 100, 28);
  btnBorrar = Make<TBitBtn>(PnlBotones, "btnBorrar");
  btnBorrar->Caption = "&Borrar";
  btnBorrar->SetBounds(116, 6, 100, 28);
  btnImprimir = Make<TBitBtn>(PnlBotones, "btnImprimir");
  btnImprimir->Caption = "&Imprimir";
  btnImprimir->SetBounds(224, 6, 100, 28);
  btnGrabMod = Make<TBitBtn>(PnlBotones, "btnGrabMod");
  btnGrabMod->Caption = "Grabar modificación";
  btnGrabMod->SetBounds(332, 6, 150, 28);
  btnSalir = Make<TBitBtn>(PnlBotones, "btnSalir");
  btnSalir->Kind = bkCancel;
  btnSalir->Caption = "&Salir";
  btnSalir->SetBounds(490, 6, 100, 28);

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 200;
  Panel1->Visible = false;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Rubro:";
  Label1->SetBounds(8, 12, 130, 16);
  edRubro = Make<TEdit>(Panel1, "edRubro");
  edRubro->SetBounds(140, 8, 180, 24);
  bitBtnCDP = Make<TBitBtn>(Panel1, "bitBtnCDP");
  bitBtnCDP->Caption = "...";
  bitBtnCDP->SetBounds(324, 8, 28, 24);
  Label2 = Make<TLabel>(Panel1, "Label2");
  Label2->Caption = "Valor del reintegro:";
  Label2->SetBounds(8, 42, 130, 16);
  edValor = Make<TEdit>(Panel1, "edValor");
  edValor->SetBounds(140, 38, 180, 24);
  Label3 = Make<TLabel>(Panel1, "Label3");
  Label3->Caption = "Fecha:";
  Label3->SetBounds(8, 72, 130, 16);
  edFecha = Make<TMaskEdit>(Panel1, "edFecha");
  edFecha->EditMask = "!99/99/0000;1; ";
  edFecha->SetBounds(140, 68, 100, 24);
  btnFecha = Make<TSpeedButton>(Panel1, "btnFecha");
  btnFecha->Caption = "...";
  btnFecha->SetBounds(244, 68, 28, 24);
  Label4 = Make<TLabel>(Panel1, "Label4");
  Label4->Caption = "Justificación:";
  Label4->SetBounds(8, 102, 130, 16);
  Memo1 = Make<TMemo>(Panel1, "Memo1");
  Memo1->SetBounds(140, 98, 440, 90);
  btnGrabar = Make<TBitBtn>(Panel1, "btnGrabar");
  btnGrabar->Caption = "&Grabar";
  btnGrabar->SetBounds(600, 98, 130, 28);
  btnCancelarNuevo = Make<TBitBtn>(Panel1, "btnCancelarNuevo");
  btnCancelarNuevo->Caption = "Cancelar nuevo";
  btnCancelarNuevo->SetBounds(600, 132, 130, 28);
  Label1->FocusControl = edRubro;
  Label2->FocusControl = edValor;
  Label3->FocusControl = edFecha;
  Label4->FocusControl = Memo1;

  Memo2 = Make<TMemo>(this, "Memo2");
  Memo2->Align = alBottom;
  Memo2->Height = 80;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  dsReintegros = Make<TDataSource>(this, "dsReintegros");

  if (!DM->tblReintegros->Active) DM->tblReintegros->Open();
  Traer();
  dsReintegros->DataSet = DM->tblReintegros;
  DBGrid1->DataSource = dsReintegros;
  MostrarMontos(DBGrid1, {"valor"});

  dsReintegros->OnDataChange = [this](TObject* s, TField* f) { dsReintegrosDataChange(s, f); };
  btnNuevo->OnClick = [this](TObject* s) { btnNuevoClick(s); };
  bitBtnCDP->OnClick = [this](TObject* s) { bitBtnCDPClick(s); };
  btnFecha->OnClick = [this](TObject* s) { btnFechaClick(s); };
  btnGrabar->OnClick = [this](TObject* s) { btnGrabarClick(s); };
  btnCancelarNuevo->OnClick = [this](TObject* s) { btnCancelarNuevoClick(s); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  // Ctrl+Supr de la rejilla borraría sin las revisiones de "Borrar": queda apagado.
  DBGrid1->OnKeyDown = [](TObject*, Word& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Contains(ssCtrl)) key = 0;
  };
  btnGrabMod->OnClick = [this](TObject* s) { btnGrabModClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  dsReintegrosDataChange(dsReintegros, nullptr);
}

// Las versiones se leen antes que las filas: lo que se muestra nunca es más viejo que ellas.
void TfrmReintegros::Traer() {
  versiones_ = tv::motor::VersionesReintegros(kAlias);
  DM->tblReintegros->Refresh();
}

long long TfrmReintegros::VersionDe(std::int64_t fila) const {
  auto v = versiones_.find(fila);
  return v == versiones_.end() ? 0 : v->second;
}

void TfrmReintegros::dsReintegrosDataChange(TObject*, TField*) {
  TTable* t = DM->tblReintegros;
  Memo2->Lines->Clear();
  if (!t->Active || t->IsEmpty()) return;
  Memo2->Lines->SetText(AnsiString(t->FieldByName("justificacion")->AsString).c_str());
}

void TfrmReintegros::btnNuevoClick(TObject*) {
  Panel1->Visible = true;
  Memo2->Visible = false;
}

void TfrmReintegros::bitBtnCDPClick(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->dsPlanPpto, "Rubro", "Descripción", "icuenta", "ncuenta", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  if (dialogo->ceroRegistros) return;
  dialogo->ShowModal();
  edRubro->Text = dialogo->GetContenido1();
  edRubro->SetFocus();
}

void TfrmReintegros::btnFechaClick(TObject*) { TraerFecha(this, edFecha); }

bool TfrmReintegros::validar() {
  AnsiString msg = Revisar(AnsiString(edRubro->Text).Trim(), AnsiString(edValor->Text).Trim(), edFecha->Text);
  if (msg.IsEmpty()) return true;
  ShowMessage(msg);
  return false;
}

void TfrmReintegros::btnGrabarClick(TObject*) {
  if (!validar()) return;
  tv::motor::Reintegro r;
  r.rubro = AnsiString(edRubro->Text).Trim().str();
  r.valor = tv::motor::CentavosDe(StrToAmount(AnsiString(edValor->Text).Trim()));
  r.justificacion = AnsiString(Memo1->Text).str();
  r.fecha = FormatDateTime("yyyy-mm-dd", StrToDate(edFecha->Text)).str();
  r.usuario = Login.str();
  tv::motor::GrabarReintegro(kAlias, r);
  AvisarSiAnioCerrado(StrToDate(edFecha->Text));
  Panel1->Visible = false;
  Traer();
  DM->tblReintegros->Last();
}

void TfrmReintegros::btnCancelarNuevoClick(TObject*) {
  Panel1->Visible = false;
  Memo2->Visible = true;
  ModalResult = mrCancel;
}

void TfrmReintegros::btnBorrarClick(TObject*) {
  TTable* t = DM->tblReintegros;
  if (t->IsEmpty()) return;
  // Si el dinero del reintegro sigue sin usarse se decide al borrar, dentro de la transacción.
  std::int64_t fila = t->GetBookmark().id;
  tv::motor::Resultado r = tv::motor::BorrarReintegro(kAlias, fila, VersionDe(fila));
  Traer();
  if (!r.grabado) ShowMessage(r.Texto().c_str());
}

void TfrmReintegros::btnGrabModClick(TObject*) {
  TTable* t = DM->tblReintegros;
  if (t->IsEmpty()) return;
  if (t->State != dsEdit && t->State != dsInsert) t->Edit();
  t->FieldByName("justificacion")->AsString = Memo2->Text;
  AnsiString rubro = AnsiString(t->FieldByName("rubro")->AsString).Trim();
  double valor = t->FieldByName("valor")->AsFloat;
  AnsiString fecha = t->FieldByName("fecha")->IsNull ? AnsiString("") : DateToStr(t->FieldByName("fecha")->AsDateTime);
  AnsiString msg = Revisar(rubro, t->FieldByName("valor")->IsNull ? AnsiString("") : FloatToStr(valor), fecha);
  if (!msg.IsEmpty()) {
    t->Cancel();
    ShowMessage(msg);
    return;
  }
  // La fila corregida pasa al motor; lo que el cambio deja en el rubro se mide al escribirla.
  tv::motor::Reintegro r;
  r.rubro = rubro.str();
  r.valor = tv::motor::CentavosDe(valor);
  r.fecha = t->FieldByName("fecha")->IsNull ? std::string()
                                            : FormatDateTime("yyyy-mm-dd", t->FieldByName("fecha")->AsDateTime).str();
  r.justificacion = AnsiString(t->FieldByName("justificacion")->AsString).str();
  TBookmark fila = t->GetBookmark();
  t->Cancel();
  tv::motor::Resultado res = tv::motor::ModificarReintegro(kAlias, fila.id, r, VersionDe(fila.id));
  Traer();
  if (!res.grabado) {
    ShowMessage(res.Texto().c_str());
    return;
  }
  t->GotoBookmark(fila);
}

void TfrmReintegros::btnImprimirClick(TObject*) {
  frmRptReintegro = new TfrmRptReintegro(this);
  std::unique_ptr<TfrmRptReintegro> dueno(frmRptReintegro);
  frmRptReintegro->QuickRep1->Preview();
  frmRptReintegro = nullptr;
}
