#include "payments/RteFte.h"

#include <cmath>
#include <memory>

#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmBeforeRteFte* frmBeforeRteFte = nullptr;
TfrmRetenciones* frmRetenciones = nullptr;

bool esCuentaRteFte(const AnsiString& aNumeCuen, stRteFte& aStRteFte, bool aDeclara) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), "select * from retenciones where cuenta=" + TextoSQL(aNumeCuen) + " ");
  if (q->RecordCount != 1) return false;
  stRteFte r;
  r.cuenta = q->FieldByName("cuenta")->AsString;
  r.nombre = q->FieldByName("nombre")->AsString;
  r.baseTope = FloatToStr(q->FieldByName("base")->AsFloat);
  // Las tasas se guardan y se usan en doble precisión (0,4 % es 0,4 exacto).
  r.porcentaje = q->FieldByName("porcentaje")->AsFloat;
  r.tipo = q->FieldByName("tipo")->AsString.UpperCase();
  r.porcentajeNoDeclara = q->FieldByName("porcentajeNoDeclara")->AsFloat;
  r.redondeoPesos = q->FieldByName("redondeoPeso")->AsBoolean;
  r.redondeoMiles = q->FieldByName("redondeoMiles")->AsBoolean;
  if (!q->FieldByName("fechaInicio")->IsNull) r.fechaInicio = q->FieldByName("fechaInicio")->AsDateTime;
  if (!q->FieldByName("fechaFinal")->IsNull) r.fechaFinal = q->FieldByName("fechaFinal")->AsDateTime;
  r.porcentajeUsado = aDeclara ? r.porcentaje : r.porcentajeNoDeclara;
  aStRteFte = r;
  return true;
}

double calculaRteFte(const AnsiString&, double aValorBase, const stRteFte& aStRteFte) {
  double tope = 0;
  TryStrToAmount(aStRteFte.baseTope, tope);
  if (aValorBase < tope) return 0;
  double r = aValorBase * aStRteFte.porcentajeUsado * 0.01;
  if (aStRteFte.redondeoPesos) return round(r, 0, baseRound);
  if (aStRteFte.redondeoMiles) return redondearToMil(r);
  // Sin redondeo pedido, al centavo: la multiplicación no deja colas de coma flotante.
  return round(r, 2, baseRound);
}

void putRteFte(TStringGrid* aGrid) {
  std::unique_ptr<TfrmBeforeRteFte> dlg(new TfrmBeforeRteFte(nullptr));
  frmBeforeRteFte = dlg.get();
  dlg->ShowModal();
  bool continuar = dlg->continuar;
  double servicios = dlg->servicios, compras = dlg->compras, iva = dlg->iva;
  bool declara = dlg->esDeclarante;
  dlg.reset();
  if (!continuar) return;
  double total = servicios + compras;
  for (int i = 1; i < aGrid->RowCount; ++i) {
    AnsiString cuenta = aGrid->Cells[0][i];
    stRteFte regla;
    if (!esCuentaRteFte(cuenta, regla, declara)) continue;
    double base = total;
    if (regla.tipo == "SER")
      base = servicios;
    else if (regla.tipo == "COM")
      base = compras;
    else if (regla.tipo == "IVA")
      base = iva;
    aGrid->Cells[3][i] = FloatToStr(calculaRteFte(cuenta, base, regla));
  }
}

// ---- bases ------------------------------------------------------------------------------

TfrmBeforeRteFte::TfrmBeforeRteFte(TComponent* Owner) : TForm(Owner) {
  Name = "frmBeforeRteFte";
  Caption = "Datos para el cálculo de las retenciones";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 460;

  Label4 = Make<TLabel>(this, "Label4");
  Label4->Caption = "Recuerde actualizar cada año las retenciones con el botón de configuración del comprobante.";
  Label4->Font->Color = clRed;
  Label4->WordWrap = true;
  Label5 = Make<TLabel>(this, "Label5");
  Label5->Caption =
      "El asistente calcula las retenciones más comunes: compras, servicios en general, las dos "
      "estampillas, el impuesto municipal y la retención de IVA.";
  Label5->Font->Color = clBlue;
  Label5->WordWrap = true;
  Label6 = Make<TLabel>(this, "Label6");
  Label6->Caption = "Las demás retenciones se escriben a mano o se configuran.";
  Label6->Font->Color = clBlue;
  Label6->WordWrap = true;
  RadioGroup1 = Make<TRadioGroup>(this, "RadioGroup1");
  RadioGroup1->Caption = "Es declarante de renta?";
  RadioGroup1->Items->Add("Si");
  RadioGroup1->Items->Add("No");
  RadioGroup1->Columns = 2;
  RadioGroup1->ItemIndex = 1;
  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "IVA que cobra el proveedor:";
  edIVA = Make<TEdit>(this, "edIVA");
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Valor pagado por servicios:(no incluya el IVA)";
  edServicios = Make<TEdit>(this, "edServicios");
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Valor pagado por compras: (no incluya el IVA)";
  edCompras = Make<TEdit>(this, "edCompras");
  Label1->FocusControl = edIVA;
  Label2->FocusControl = edServicios;
  Label3->FocusControl = edCompras;
  btnCalcular = Make<TBitBtn>(this, "btnCalcular");
  btnCalcular->Caption = "Continuar";
  btnCalcular->Default = true;

  btnCalcular->OnClick = [this](TObject* s) { btnCalcularClick(s); };
  ActiveControl = edIVA;
}

void TfrmBeforeRteFte::btnCalcularClick(TObject*) {
  // Las tres cifras se leen antes de tocar nada: una que no es número deja el diálogo abierto
  // con el error de conversión y no se calcula con cifras a medias.
  auto leer = [](TEdit* e) { return e->Text.Trim().IsEmpty() ? 0.0 : StrToAmount(e->Text.Trim()); };
  double nIva = leer(edIVA);
  double nCompras = leer(edCompras);
  double nServicios = leer(edServicios);
  iva = nIva;
  esDeclarante = RadioGroup1->ItemIndex == 0;
  compras = nCompras;
  servicios = nServicios;
  continuar = true;
  ModalResult = mrOk;
}

// ---- reglas -----------------------------------------------------------------------------

TfrmRetenciones::TfrmRetenciones(TComponent* Owner) : TForm(Owner) {
  Name = "frmRetenciones";
  Caption = "Retenciones";
  Position = poScreenCenter;
  ClientWidth = 760;
  ClientHeight = 380;

  tblRetenciones = Make<TTable>(this, "tblRetenciones");
  tblRetenciones->TableName = "retenciones";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = tblRetenciones;
  DBNavigator1 = Make<TDBNavigator>(this, "DBNavigator1");
  DBNavigator1->DataSource = DataSource1;
  DBNavigator1->Align = alTop;
  for (const char* h : {"Primero", "Anterior", "Siguiente", "Último", "Adicionar", "Borrar", "Editar", "Grabar",
                        "Cancelar", "Refrescar"})
    DBNavigator1->Hints->Add(h);
  DBNavigator1->ShowHint = true;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->DataSource = DataSource1;
  DBGrid1->Align = alClient;

  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  tblRetenciones->DatabaseName = "Contabilidad";
  tblRetenciones->Open();
}

void TfrmRetenciones::FormClose(TObject*, TCloseAction&) {
  if (tblRetenciones->State == dsEdit || tblRetenciones->State == dsInsert) tblRetenciones->Post();
  tblRetenciones->Close();
}
