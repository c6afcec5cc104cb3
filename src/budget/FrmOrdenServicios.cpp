#include "budget/FrmOrdenServicios.h"

#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/FrmExplOrdenServ.h"
#include "budget/NumeroDocumento.h"
#include "budget/motor/OrdenesMotor.h"
#include "platform/db/Engine.h"
#include "ledger/FrmTablas.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/ConsultasComun.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/SqlUtil.h"

TfrmOrdenServicios* frmOrdenServicios = nullptr;

namespace {
const char* kFechaVacia = "  /  /    ";

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto, int x, int y) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  l->SetBounds(x, y + 4, 130, 16);
  return l;
}
}  // namespace

TfrmOrdenServicios::TfrmOrdenServicios(TComponent* Owner) : TForm(Owner) {
  Name = "frmOrdenServicios";
  Caption = "Orden de servicios";
  Position = poScreenCenter;
  Width = 560;
  Height = 430;

  Label1 = Etiqueta(this, "Label1", "Número:", 12, 12);
  edIordenServicio = Make<TEdit>(this, "edIordenServicio");
  edIordenServicio->SetBounds(150, 12, 110, 24);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "...";
  BitBtn1->SetBounds(264, 12, 28, 24);
  Label2 = Etiqueta(this, "Label2", "Fecha:", 12, 44);
  edFecha = Make<TMaskEdit>(this, "edFecha");
  edFecha->EditMask = "!99/99/0000;1; ";
  edFecha->MaxLength = 10;
  edFecha->SetBounds(150, 44, 110, 24);
  BtnFecha = Make<TSpeedButton>(this, "BtnFecha");
  BtnFecha->Caption = "...";
  BtnFecha->SetBounds(264, 44, 28, 24);
  Label3 = Etiqueta(this, "Label3", "Tercero:", 12, 76);
  edItercero = Make<TEdit>(this, "edItercero");
  edItercero->SetBounds(150, 76, 140, 24);
  BitBtn3 = Make<TBitBtn>(this, "BitBtn3");
  BitBtn3->Caption = "...";
  BitBtn3->SetBounds(294, 76, 28, 24);
  SpeedButton1 = Make<TSpeedButton>(this, "SpeedButton1");
  SpeedButton1->Caption = "Nuevo";
  SpeedButton1->SetBounds(326, 76, 60, 24);
  lblNtercero = Make<TLabel>(this, "lblNtercero");
  lblNtercero->Caption = "";
  lblNtercero->SetBounds(150, 104, 390, 16);
  Label4 = Etiqueta(this, "Label4", "Reg Pptal No:", 12, 126);
  edIregPptal = Make<TEdit>(this, "edIregPptal");
  edIregPptal->SetBounds(150, 126, 110, 24);
  edIregPptal->Enabled = false;
  Label5 = Etiqueta(this, "Label5", "Valor:", 12, 158);
  edValor = Make<TEdit>(this, "edValor");
  edValor->SetBounds(150, 158, 140, 24);
  Label6 = Etiqueta(this, "Label6", "Descripción del servicio:", 12, 190);
  Label6->Width = 200;
  Memo1 = Make<TMemo>(this, "Memo1");
  Memo1->SetBounds(12, 212, 528, 130);
  btnGrabar = Make<TButton>(this, "btnGrabar");
  btnGrabar->Caption = "&Grabar";
  btnGrabar->Default = true;
  btnGrabar->SetBounds(12, 356, 100, 28);
  btnCancelar = Make<TButton>(this, "btnCancelar");
  btnCancelar->Caption = "&Salir";
  btnCancelar->Cancel = true;
  btnCancelar->ModalResult = mrCancel;
  btnCancelar->SetBounds(120, 356, 100, 28);
  btnExplorar = Make<TButton>(this, "btnExplorar");
  btnExplorar->Caption = "&Explorar";
  btnExplorar->SetBounds(228, 356, 100, 28);
  Label1->FocusControl = edIordenServicio;
  Label2->FocusControl = edFecha;
  Label3->FocusControl = edItercero;
  Label5->FocusControl = edValor;
  Label6->FocusControl = Memo1;
  ActiveControl = edIordenServicio;

  edIordenServicio->OnExit = [this](TObject* s) { edIordenServicioExit(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  btnGrabar->OnClick = [this](TObject* s) { btnGrabarClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  BtnFecha->OnClick = [this](TObject* s) { BtnFechaClick(s); };
  btnExplorar->OnClick = [this](TObject* s) { btnExplorarClick(s); };
}

void TfrmOrdenServicios::edIordenServicioExit(TObject*) {
  AnsiString texto = AnsiString(edIordenServicio->Text).Trim();
  double numero = 0;
  TTable* t = DM->tblMvtOrdenServicio;
  if (!t->Active) t->Open();
  // La versión se toma antes que la fila: lo que otro grabe entretanto hace rechazar la grabación.
  long long version = !texto.IsEmpty() && TryStrToFloat(texto, numero)
                          ? tv::motor::VersionOrden("OS", static_cast<std::int64_t>(numero))
                          : 0;
  if (!texto.IsEmpty() && TryStrToFloat(texto, numero) && t->Locate("iOrdenServicio", Variant(numero))) {
    nuevo = false;
    cargada_ = numero;
    versionTraida_ = version;
    irpTraido_ = t->FieldByName("irp")->IsNull ? 0.0 : static_cast<double>(t->FieldByName("irp")->AsFloat);
    TField* f = t->FieldByName("Fecha");
    edFecha->Text = f->IsNull ? AnsiString() : DateToStr(f->AsDateTime);
    edItercero->Text = t->FieldByName("itercero")->AsString;
    edIregPptal->Text = t->FieldByName("irp")->AsString;
    edValor->Text = t->FieldByName("valor")->AsString;
    Tercero ter(edItercero->Text);
    lblNtercero->Caption = ter.getNtercero();
    Memo1->Text = t->FieldByName("descServicio")->AsString;
    return;
  }
  // Lo de una orden cargada no pasa a la nueva; lo que el usuario escribió en una nueva se queda.
  if (!nuevo) {
    edItercero->Text = "";
    edValor->Text = "";
    Memo1->Text = "";
    lblNtercero->Caption = "";
  }
  // Un número que no está guardado es una orden nueva: la cargada no se renumera.
  nuevo = true;
}

void TfrmOrdenServicios::FormActivate(TObject*) {
  if (!nuevo) edFecha->SetFocus();
}

bool TfrmOrdenServicios::validar() {
  AnsiString msg;
  AnsiString numero = AnsiString(edIordenServicio->Text).Trim();
  AnsiString tercero = edItercero->Text;
  std::int64_t n = 0;
  double valor = 0;
  if (numero.IsEmpty())
    msg += "Digite el número del servicio.\n";
  else
    msg += ErrorNumeroDoc("El número de la orden de servicio", numero, n);
  if (AnsiString(edFecha->Text) == kFechaVacia) {
    msg += "Digite la fecha.\n";
  } else {
    AnsiString m;
    if (!ValidarFecha(edFecha->Text, m)) msg += m + "\n";
    else msg += ErrorFechaFueraDelAnio("La fecha", edFecha->Text);
  }
  if (tercero.IsEmpty()) msg += "Digite el tercero.\n";
  if (AnsiString(edValor->Text).IsEmpty())
    msg += "Digite el valor.\n";
  else
    msg += ErrorMayorQueCero("El valor", edValor->Text, valor);
  {
    TQuery q(nullptr);
    HagaSQL("Contabilidad", &q, "select count(*) as c from TC where cedulaNit=" + TextoSQL(tercero));
    if (q.FieldByName("c")->AsInteger == 0) msg += "Cédula o NIT inexistente.\n";
  }
  if (AnsiString(Memo1->Text).Trim().IsEmpty()) msg += "Digite la descripción del servicio.\n";
  if (msg.IsEmpty()) return true;
  Application->MessageBox(msg, "Error", MB_OK | MB_ICONERROR);
  return false;
}

// Lo que el motor rechazó, como lo ve el usuario.
static void MostrarRechazo(const tv::motor::Resultado& res, TEdit* numero) {
  if (res.Tiene("numero") && res.siguiente != 0) numero->Text = std::to_string(res.siguiente).c_str();
  if (res.Tiene("version") || res.Tiene("limite")) ShowMessage(res.Texto().c_str());
  else Application->MessageBox(res.Texto().c_str(), "Error", MB_OK | MB_ICONERROR);
}

void TfrmOrdenServicios::btnGrabarClick(TObject*) {
  // Con Enter el botón por omisión actúa sin que el número pierda el foco: su salida corre
  // aquí, y si cargó una orden guardada el usuario la ve en lugar de grabarla encima.
  if (ActiveControl == edIordenServicio) {
    bool eraNueva = nuevo;
    edIordenServicioExit(edIordenServicio);
    if (eraNueva && !nuevo) return;
  }
  // Todo se revisa antes de escribir: una orden rechazada no deja nada en la tabla y el
  // formulario sigue abierto.
  if (!validar()) return;
  tv::motor::OrdenServicio orden;
  orden.numero = static_cast<std::int64_t>(StrToFloat(AnsiString(edIordenServicio->Text).Trim()));
  orden.fecha = tv::db::DateTimeToIsoText(StrToDate(edFecha->Text), false);
  orden.tercero = AnsiString(edItercero->Text).str();
  orden.descripcion = AnsiString(Memo1->Text).str();
  double nIrp = 0;
  AnsiString irp = AnsiString(edIregPptal->Text).Trim();
  if (!irp.IsEmpty() && TryStrToFloat(irp, nIrp)) orden.irp = static_cast<std::int64_t>(nIrp);
  orden.valor = tv::motor::CentavosDe(StrToAmount(edValor->Text));
  tv::motor::OrdenTraida traida;
  traida.nueva = nuevo;
  traida.numero = static_cast<std::int64_t>(cargada_ != 0 ? cargada_ : orden.numero);
  traida.version = versionTraida_;
  traida.irp = static_cast<std::int64_t>(irpTraido_);
  tv::motor::Resultado res;
  try {
    res = tv::motor::GrabarOrdenServicio(orden, traida);
  } catch (Exception& e) {
    DM->tblMvtOrdenServicio->Refresh();
    Application->ShowException(&e);
    return;
  }
  DM->tblMvtOrdenServicio->Refresh();
  if (!res.Grabado()) {
    MostrarRechazo(res, edIordenServicio);
    return;
  }
  nuevo = false;
  grabado = true;
  AvisarSiAnioCerrado(StrToDate(edFecha->Text));
  ModalResult = mrOk;
}

void TfrmOrdenServicios::BitBtn1Click(TObject*) {
  auto fuente = std::make_unique<TDataSource>(nullptr);
  fuente->DataSet = DM->tblMvtOrdenServicio;
  FrmBuscTabla = new TFrmBuscTabla(this, fuente.get(), "Núm Ord. Serv.", "Fecha", "iOrdenServicio", "Fecha", true, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros && f->ShowModal() == mrOk) {
    edIordenServicio->Text = f->GetContenido1();
    edIordenServicio->SetFocus();
  }
  FrmBuscTabla = nullptr;
}

void TfrmOrdenServicios::BitBtn3Click(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->DSTerceros, "Cédula", "nombre", "cedulaNit", "nombre", true, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros && f->ShowModal() == mrOk) {
    edItercero->Text = f->GetContenido1();
    lblNtercero->Caption = f->GetContenido2();
  }
  FrmBuscTabla = nullptr;
}

void TfrmOrdenServicios::SpeedButton1Click(TObject*) {
  FrmTablas = new TFrmTablas(this);
  std::unique_ptr<TFrmTablas> f(FrmTablas);
  f->Tabla = Terceros;
  f->ShowModal();
  FrmTablas = nullptr;
}

void TfrmOrdenServicios::BtnFechaClick(TObject*) { TraerFecha(this, edFecha); }

void TfrmOrdenServicios::btnExplorarClick(TObject*) {
  TfrmExplOrdenServ* anterior = frmExplOrdenServ;
  frmExplOrdenServ = new TfrmExplOrdenServ(this);
  std::unique_ptr<TfrmExplOrdenServ> f(frmExplOrdenServ);
  f->ShowModal();
  frmExplOrdenServ = anterior;
}
