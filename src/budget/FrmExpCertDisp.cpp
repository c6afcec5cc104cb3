#include "budget/FrmExpCertDisp.h"

#include <cmath>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/FrmRptCertDisp.h"
#include "budget/motor/Guardados.h"
#include "platform/report/QuickRpt.h"
#include <memory>
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "reports/ConsultasComun.h"

TfrmExpCertDisp* frmExpCertDisp = nullptr;

namespace {

const char* const kAlias = "Contabilidad";

TColumn* Columna(TDBGrid* g, const char* campo, const char* titulo, int ancho) {
  TColumn* c = g->Columns->Add();
  c->FieldName = campo;
  c->Title->Caption = titulo;
  c->Width = ancho;
  return c;
}

TBitBtn* Boton(TWinControl* padre, const char* nombre, const char* texto) {
  auto* b = Make<TBitBtn>(padre, nombre);
  b->Caption = texto;
  return b;
}

}  // namespace

TfrmExpCertDisp::TfrmExpCertDisp(TComponent* Owner) : TForm(Owner) {
  Name = "frmExpCertDisp";
  Caption = "Explorar certificados de disponibilidad";
  Position = poScreenCenter;
  ClientWidth = 900;
  ClientHeight = 560;

  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 44;
  btnImprimir = Boton(Panel2, "btnImprimir", "&Imprimir actual");
  btnBorrar = Boton(Panel2, "btnBorrar", "&Borrar");
  btnBorrar->Hint =
      "Borra el certificado de disponibilidad y el PAC asociado. No modifica los registros presupuestales ni "
      "órdenes de servicio/suministro.";
  btnBorrar->ShowHint = true;
  btnConsMas = Boton(Panel2, "btnConsMas", "Consecutivo +");
  BitBtn1 = Boton(Panel2, "BitBtn1", "Consecutivo -");
  BitBtn2 = Boton(Panel2, "BitBtn2", "&Imprimir listado");
  btnSalir = Make<TBitBtn>(Panel2, "btnSalir");
  btnSalir->Kind = bkCancel;
  btnSalir->Caption = "&Salir";

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 250;
  Label1 = Make<TLabel>(Panel1, "Label1");
  Label1->Caption = "Pendiente de comprometer:";
  Label1->Left = 8;
  Label1->Top = 6;
  lblPagoPendiente = Make<TLabel>(Panel1, "lblPagoPendiente");
  lblPagoPendiente->Left = 200;
  lblPagoPendiente->Top = 6;
  lblPagoPendiente->Width = 160;
  Label2 = Make<TLabel>(Panel1, "Label2");
  Label2->Caption = "PAC (0)";
  Label2->Left = 8;
  Label2->Top = 30;
  DBGrid4 = Make<TDBGrid>(Panel1, "DBGrid4");
  DBGrid4->Left = 8;
  DBGrid4->Top = 50;
  DBGrid4->Width = 884;
  DBGrid4->Height = 60;
  DBGrid4->ReadOnly = true;
  Label4 = Make<TLabel>(Panel1, "Label4");
  Label4->Left = 8;
  Label4->Top = 116;
  Label4->Width = 500;
  DBGrid2 = Make<TDBGrid>(Panel1, "DBGrid2");
  DBGrid2->Left = 8;
  DBGrid2->Top = 136;
  DBGrid2->Width = 884;
  DBGrid2->Height = 108;
  DBGrid2->ReadOnly = true;

  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->tblMvtCertDisp;
  QueryRegPptal = Make<TQuery>(this, "QueryRegPptal");
  QueryPAC = Make<TQuery>(this, "QueryPAC");
  queryGral = Make<TQuery>(this, "queryGral");
  DSRegPptal = Make<TDataSource>(this, "DSRegPptal");
  DSRegPptal->DataSet = QueryRegPptal;
  DSPAC = Make<TDataSource>(this, "DSPAC");
  DSPAC->DataSet = QueryPAC;
  DBGrid2->DataSource = DSRegPptal;
  MostrarMontos(DBGrid2, {"valor"});
  MostrarMontos(DBGrid4, {"m1", "m2", "m3", "m4", "m5", "m6", "m7", "m8", "m9", "m10", "m11", "m12"});
  DBGrid4->DataSource = DSPAC;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->DataSource = DataSource1;
  Columna(DBGrid1, "icd", "icd", 70);
  Columna(DBGrid1, "fechaexped", "fechaexped", 90);
  Columna(DBGrid1, "rubropptal", "rubropptal", 110);
  Columna(DBGrid1, "valor", "valor", 110);
  Columna(DBGrid1, "objetogasto", "objetogasto", 480);
  // El valor se ve como todo monto: dos decimales, separadores del usuario, a la derecha.
  DBGrid1->Columns->Items[3]->Alignment = taRightJustify;
  DBGrid1->OnDrawColumnCell = [this](TObject*, const TRect& r, int dc, TColumn* c, TGridDrawState) {
    if (dc == 3 && c && c->Field() && !c->Field()->IsNull) DibujarMonto(DBGrid1, r, Punto(c->Field()->AsFloat, 2));
  };

  DataSource1->OnDataChange = [this](TObject* s, TField* f) { DataSource1DataChange(s, f); };
  DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { DBGrid1KeyDown(s, k, sh); };
  btnBorrar->OnClick = [this](TObject* s) { btnBorrarClick(s); };
  btnConsMas->OnClick = [this](TObject* s) { btnConsMasClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  // Sin modal (junto al formulario del certificado) "Salir" solo lo oculta.
  btnSalir->OnClick = [this](TObject*) {
    if (!IsModal()) Close();
  };

  DM->tblMvtCertDisp->Refresh();
  audPpto = new TfrmAudPpto(this);
  DataSource1DataChange(DataSource1, nullptr);
}

TfrmExpCertDisp::~TfrmExpCertDisp() {
  if (frmExpCertDisp == this) frmExpCertDisp = nullptr;
}

void TfrmExpCertDisp::DataSource1DataChange(TObject*, TField*) {
  TTable* cd = DM->tblMvtCertDisp;
  if (!cd->Active) return;
  double n = cd->IsEmpty() ? 0.0 : static_cast<double>(cd->FieldByName("icd")->AsFloat);
  double pendiente = cd->IsEmpty() ? 0.0 : getCompromisoPendiente(n, true);
  version_ = cd->IsEmpty() ? 0 : tv::motor::VersionGuardada("CD", TextoEntero(NumeroDocDe(cd->FieldByName("icd"))).str());
  lblPagoPendiente->Caption = Punto(pendiente, 2);
  lblPagoPendiente->Font->Color = std::round(pendiente * 100) < 0 ? static_cast<TColor>(255) : clBlack;
  HagaSQL(kAlias, QueryPAC, "select * from pac where icd=" + NumeroSQL(n));
  Label2->Caption = "PAC (" + AnsiString(QueryPAC->RecordCount) + ")";
  HagaSQL(kAlias, QueryRegPptal, "select * from mvtRegPptal where icd=" + NumeroSQL(n));
  int registros = QueryRegPptal->RecordCount;
  HagaSQL(kAlias, queryGral, "select sum(valor) as total from mvtRegPptal where icd=" + NumeroSQL(n));
  TField* total = queryGral->FieldByName("total");
  Label4->Caption = FloatToStr(registros) + " Registros presupuestales, que suman: " +
                    Punto(total->IsNull ? 0.0 : static_cast<double>(total->AsFloat), 2);
}

void TfrmExpCertDisp::DBGrid1KeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE && Shift.Contains(ssCtrl)) Key = 0;
}

void TfrmExpCertDisp::btnBorrarClick(TObject*) {
  TTable* cd = DM->tblMvtCertDisp;
  if (cd->IsEmpty()) return;
  std::int64_t n = NumeroDocDe(cd->FieldByName("iCD"));
  // Certificado, sus rubros y su PAC, o nada.
  bool hecho = Hecho(tv::motor::BorrarCertificado(n, version_));
  if (hecho) audPpto->MostrarAutomatica();
  cd->Refresh();
  DM->tblPAC->Refresh();
}

void TfrmExpCertDisp::btnConsMasClick(TObject*) {
  if (Application->MessageBox("¿Realmente desea continuar? Esto va a aumentar el consecutivo de los CDPs abriendo un "
                              "hueco a partir del CDP actual",
                              "Cuidado", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return;
  TTable* cd = DM->tblMvtCertDisp;
  if (cd->IsEmpty()) return;
  std::int64_t n = NumeroDocDe(cd->FieldByName("iCD"));
  bool hecho = Hecho(
      tv::motor::CorrerNumeracion(tv::motor::Numerado::Certificado, n, +1, version_));
  cd->Refresh();
  DM->tblPAC->Refresh();
  cd->Locate("icd", Variant(static_cast<double>(hecho ? n + 1 : n)));
}

void TfrmExpCertDisp::BitBtn1Click(TObject*) {
  if (Application->MessageBox(
          "¿Realmente desea continuar? Esto va a disminuir el consecutivo de los CDPs  a partir del CDP actual",
          "Cuidado", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return;
  TTable* cd = DM->tblMvtCertDisp;
  if (cd->IsEmpty()) {
    ShowMessage("Inicio de la numeración.");
    return;
  }
  std::int64_t n = NumeroDocDe(cd->FieldByName("iCD"));
  // El motor exige libre el número de abajo, en toda la tabla.
  if (!Hecho(tv::motor::CorrerNumeracion(tv::motor::Numerado::Certificado, n, -1,
                                         version_)))
    return;
  cd->Refresh();
  cd->First();
  DM->tblPAC->Refresh();
}

void TfrmExpCertDisp::btnImprimirClick(TObject*) {
  TTable* cd = DM->tblMvtCertDisp;
  if (cd->IsEmpty()) return;
  HagaSQL(kAlias, queryGral, "select * from pac where icd=" + NumeroSQL(cd->FieldByName("iCD")->AsFloat));
  if (queryGral->RecordCount != 1) {
    ShowMessage("No existe PAC asociado a este certificado de disponibilidad.");
    return;
  }
  frmRptCertDisp = new TfrmRptCertDisp(this);
  std::unique_ptr<TfrmRptCertDisp> impreso(frmRptCertDisp);
  impreso->DataSource2->DataSet = queryGral;
  impreso->QuickReport1->Preview();
  frmRptCertDisp = nullptr;
}

void TfrmExpCertDisp::BitBtn2Click(TObject*) {
  HagaSQL(kAlias, queryGral,
          "select a.icd as icd, a.fechaexped as fechaexped, a.valor as valor, a.rubroPPtal as rubroPPtal, "
          "b.rubroPptal as rubroPptal_1, a.objetogasto as objetogasto from mvtCertDisp as a "
          "left join certdisprubros as b on a.icd=b.icd ");
  AnsiString archivo = PathOrigen + "/mvtCertDisp.txt";
  DataSetToTxtNice("Listado de CDPs realizados", queryGral, archivo, false, 5000, 0);
  AnsiString error;
  if (!tv::os::OpenInTextViewer(archivo, &error)) ShowMessage("No se pudo abrir " + archivo + ": " + error);
}

void TfrmExpCertDisp::FormClose(TObject*, TCloseAction&) {}
