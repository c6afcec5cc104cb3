#include "budget/FrmInformePptal.h"

#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/FrmRepInformePptal.h"
#include "platform/core/Classes.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Exportar.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmInformePptal* frmInformePptal = nullptr;

namespace {
// Rubros de cada certificado por la regla de sus filas: las de certDispRubros con su parte
// del certificado; sin filas, su campo propio con todo el certificado.
const std::string kRubrosCertificado =
    "(select cdr.icd, cdr.rubroPptal, cdr.valor as monto, "
    "(case when (select sum(z.valor) from certDispRubros as z where z.icd=cdr.icd)<>0 "
    "then 1.0*cdr.valor/(select sum(z.valor) from certDispRubros as z where z.icd=cdr.icd) "
    "else 1.0/(select count(*) from certDispRubros as z where z.icd=cdr.icd) end) as parte "
    "from certDispRubros as cdr "
    "union all select p.icd, p.rubroPptal, p.valor as monto, 1.0 as parte from mvtCertDisp as p "
    "where p.rubroPptal is not null and p.rubroPptal<>'' "
    "and not exists (select z.icd from certDispRubros as z where z.icd=p.icd))";

std::string Rango(const char* campo, const AnsiString& r1, const AnsiString& r2) {
  if (r1.IsEmpty() && r2.IsEmpty()) return "";
  return std::string(" and ") + campo + ">=" + TextoSQL(r1).str() + " and " + campo + "<=" + TextoSQL(r2).str();
}
}  // namespace

AnsiString ConsultaResumenPptal(const AnsiString& aTipo, const AnsiString& aDesde, const AnsiString& aHasta,
                                const AnsiString& aRubro1, const AnsiString& aRubro2) {
  const std::string desde = MesDiaAnio(aDesde).str(), hasta = MesDiaAnio(aHasta).str();
  std::string sql;
  if (aTipo == "E") {
    // Una fila por rubro del certificado, registro, orden de pago y comprobante del periodo.
    // El comprobante se une por cada campo op (cinco igualdades); una orden que el
    // comprobante nombra en dos campos cuenta una vez.
    for (int k = 1; k <= 5; ++k) {
      std::string op = "d.op" + std::to_string(k);
      if (k > 1) sql += " union all ";
      sql += "select d.fecha as fecha, d.descdocu as descdocu, d.numedocu as numero, it.rubroPptal as rubroPptal, "
             "'E' as tipoCuenta, a.objetoGasto as objetoGasto, a.icd as icd, b.irp as irp, b.fechaExped as "
             "fechaExped, b.itercero as itercero, c.nombre as nombre, 0 as Aprobado, it.monto as Comprometido, "
             "e.valor*it.parte as ejecutado from " +
             kRubrosCertificado +
             " as it join mvtCertDisp as a on a.icd=it.icd join mvtregpptal as b on a.icd=b.icd "
             "left join tc as c on b.itercero=c.cedulanit join mvtOrdenPago as e on b.irp=e.irp "
             "join mvtmaestro as d on " + op + "=e.iop where d.fecha>='" + desde + "' and d.fecha<='" + hasta + "'";
      for (int j = 1; j < k; ++j) sql += " and (d.op" + std::to_string(j) + " is null or d.op" + std::to_string(j) + "<>e.iop)";
      sql += Rango("it.rubroPptal", aRubro1, aRubro2);
    }
  } else {
    sql = "select a.fecha as fecha, a.descdocu as descdocu, a.numedocu as numero, a.rubro as rubroPptal, "
          "'I' as tipoCuenta, a.detalle as objetoGasto, 0 as icd, 0 as irp, a.fecha as fechaExped, a.cedulanit as "
          "itercero, b.nombre as nombre, 0 as Aprobado, 0 as Comprometido, a.credito as ejecutado from mvt as a "
          "left join tc as b on a.cedulanit=b.cedulanit where a.fecha>='" + desde + "' and a.fecha<='" + hasta +
          "' and a.rubro is not null" + Rango("a.rubro", aRubro1, aRubro2);
  }
  // Un monto nulo del movimiento cuenta como 0.
  std::string monto = aTipo == "E" ? "coalesce(egreso,0)-coalesce(ingreso,0)" : "coalesce(ingreso,0)-coalesce(egreso,0)";
  sql += " union all select x.fecha, x.tipoMvtPptal as descDocu, x.imvtPptal as numero, y.icuenta as rubroPptal, "
         "y.tipoCuenta, x.detalle as objetoGasto, 0 as icd, 0 as irp, '01/01/2008' as fechaExped, '" +
         std::string(18, ' ') + "' as itercero, '" + std::string(60, ' ') + "' as nombre, " + monto +
         " as aprobado, 0 as Comprometido, 0 as ejecutado from mvtPptalMaestro as x left join mvtpptal as y on "
         "x.imvtPptal=y.imvtPptal and x.tipoMvtPptal=y.tipoMvtPptal where x.fecha>='" + desde +
         "' and x.fecha<='" + hasta + "' and y.tipoCuenta=" + TextoSQL(aTipo).str() +
         Rango("y.icuenta", aRubro1, aRubro2);
  sql += " order by rubroPptal, fecha";
  return AnsiString(sql.c_str());
}

TfrmInformePptal::TfrmInformePptal(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "frmInformePptal";
  Caption = "Informe presupuestal";
  WindowState = wsMaximized;
  Width = 1000;
  Height = 640;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  PnlFiltro->Height = 104;
  CrearPeriodo(PnlFiltro);
  GBFechas->Caption = "Fechas del comprobante:";
  Label1 = Make<TLabel>(PnlFiltro, "Label1");
  Label1->Caption = "Rubro inicial:";
  edRubroInicial = Make<TEdit>(PnlFiltro, "edRubroInicial");
  BtnCuenta1 = Make<TBitBtn>(PnlFiltro, "BtnCuenta1");
  Label2 = Make<TLabel>(PnlFiltro, "Label2");
  Label2->Caption = "Rubro final:";
  edRubroFinal = Make<TEdit>(PnlFiltro, "edRubroFinal");
  BtnCuenta2 = Make<TBitBtn>(PnlFiltro, "BtnCuenta2");
  for (TBitBtn* b : {BtnCuenta1, BtnCuenta2}) {
    b->Caption = "...";
    b->Hint = "Especificar datos de búsqueda";
    b->ShowHint = true;
  }
  Label1->FocusControl = edRubroInicial;
  Label2->FocusControl = edRubroFinal;
  rgTipoCuentas = Make<TRadioGroup>(PnlFiltro, "rgTipoCuentas");
  rgTipoCuentas->Caption = "Tipo de cuentas";
  rgTipoCuentas->Items->Add("Ingreso");
  rgTipoCuentas->Items->Add("Egreso");
  rgTipoCuentas->ItemIndex = 1;
  chbVistaPrevia = Make<TCheckBox>(PnlFiltro, "chbVistaPrevia");
  chbVistaPrevia->Caption = "Vista previa";
  chbVistaPrevia->Checked = true;
  Label3 = Make<TLabel>(PnlFiltro, "Label3");
  Label3->Caption = "Prepare hojas tamaño oficio";
  Label3->Font->Color = clRed;

  Label1->SetBounds(8, 72, 90, 16);
  edRubroInicial->SetBounds(100, 68, 130, 24);
  BtnCuenta1->SetBounds(234, 68, 28, 24);
  Label2->SetBounds(276, 72, 80, 16);
  edRubroFinal->SetBounds(358, 68, 130, 24);
  BtnCuenta2->SetBounds(492, 68, 28, 24);
  rgTipoCuentas->SetBounds(440, 4, 180, 56);
  chbVistaPrevia->SetBounds(640, 10, 140, 20);
  Label3->SetBounds(640, 40, 240, 16);

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnInforme = Make<TBitBtn>(PnlBotones, "BtnInforme");
  BtnInforme->Caption = "&Informe";
  BtnInforme->Enabled = false;
  btnExportar = Make<TBitBtn>(PnlBotones, "btnExportar");
  btnExportar->Caption = "Exportar";
  BtnCancelar = Make<TBitBtn>(PnlBotones, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  BtnAceptar->SetBounds(8, 6, 100, 28);
  BtnInforme->SetBounds(116, 6, 100, 28);
  btnExportar->SetBounds(224, 6, 100, 28);
  BtnCancelar->SetBounds(332, 6, 100, 28);

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  Query1 = Make<TQuery>(this, "Query1");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  DBGrid1->DataSource = DataSource1;

  BtnCuenta1->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  BtnCuenta2->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c, TGridDrawState) {
    DBGrid1DrawColumnCell(s, r, dc, c);
  };
}

void TfrmInformePptal::BtnCuenta1Click(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  TEdit* destino = c && c->Name == "BtnCuenta2" ? edRubroFinal : edRubroInicial;
  FrmBuscTabla = new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "Cuenta", "icuenta", "ncuenta", false, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros) {
    f->ShowModal();
    destino->Text = f->GetContenido1();
  }
  FrmBuscTabla = nullptr;
}

void TfrmInformePptal::BtnAceptarClick(TObject*) {
  AnsiString desde = EdFechaInicio->Text, hasta = EdFechaFinal->Text;
  if (!ValidarInformes(desde, hasta, edRubroInicial->Text, edRubroInicial->Text, "", false, false, false)) return;
  HagaSQL("Contabilidad", Query1, "update mvtpptal set ingreso=0 where ingreso is null");
  HagaSQL("Contabilidad", Query1, "update mvtpptal set egreso=0 where egreso is null");
  tipoCuentas = rgTipoCuentas->ItemIndex == 1 ? "E" : "I";
  AnsiString sql = ConsultaResumenPptal(tipoCuentas, desde, hasta, edRubroInicial->Text, edRubroFinal->Text);
  // El rastro de la consulta es solo informativo: si no se puede escribir, el informe sigue.
  try {
    WriteToFile("basura.txt", sql.c_str(), false);
  } catch (...) {
  }
  HagaSQL("Contabilidad", Query1, sql, true);
  BtnInforme->Enabled = true;
}

void TfrmInformePptal::BtnInformeClick(TObject*) {
  std::unique_ptr<TfrmRepInformePptal> r(rgTipoCuentas->ItemIndex == 1 ? new TfrmRepInformePptal(this)
                                                                        : new TfrmRepInformePptal_i(this));
  r->fechaInicial = EdFechaInicio->Text;
  r->fechaFinal = EdFechaFinal->Text;
  if (chbVistaPrevia->Checked)
    r->QuickReport1->Preview();
  else
    r->QuickReport1->Print();
}

void TfrmInformePptal::btnExportarClick(TObject*) {
  if (!Query1->Active || Query1->IsEmpty()) {
    ShowMessage("No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
    return;
  }
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = "informePresupuestal.csv";
  if (!SaveDialog1->Execute()) return;
  TStringList campos;
  for (const char* c : {"fecha", "descDocu", "numero", "objetoGasto", "rubroPptal", "irp", "fechaExped", "itercero",
                        "nombre", "aprobado", "ejecutado"})
    campos.Add(c);
  DBToCSV(Query1, SaveDialog1->FileName, &campos);
  ShowMessage("Exportación terminada.");
}

void TfrmInformePptal::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column) {
  if (DataCol < 11 || DataCol > 13 || !Column || !Column->Field()) return;
  DibujarMonto(DBGrid1, Rect, Punto(Column->Field()->AsFloat, 2));
}
