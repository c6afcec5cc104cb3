#include "payments/FrmInfPpto.h"

#include <cmath>
#include <memory>

#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmAudPpto.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmInfPpto* frmInfPpto = nullptr;

namespace {
const char* const kAlias = "Contabilidad";
const char* const kJoin =
    "from mvtPptal AS a join mvtPptalMaestro as b on a.iMvtPptal=b.iMvtpptal and a.tipoMvtPptal=b.tipoMvtPptal ";
}  // namespace

TfrmInfPpto::TfrmInfPpto(TComponent* Owner) : TForm(Owner) {
  Name = "frmInfPpto";
  Caption = "Informe Presupuestal";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  Width = 470;
  Height = 300;

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "Fechas: ";
  GroupBox1->Align = alTop;
  GroupBox1->Height = 64;
  Label1 = Make<TLabel>(GroupBox1, "Label1");
  Label1->Caption = "Desde:";
  edFechaInicial = Make<TMaskEdit>(GroupBox1, "edFechaInicial");
  edFechaInicial->EditMask = "!99/99/0000;1; ";
  edFechaInicial->Hint = "Ingrese la fecha inicial";
  edFechaInicial->ShowHint = true;
  btnFechaDesde = Make<TSpeedButton>(GroupBox1, "btnFechaDesde");
  btnFechaDesde->Caption = "...";
  btnFechaDesde->Hint = "De Click aqui para traer la fecha desde el calendario";
  btnFechaDesde->ShowHint = true;
  Label4 = Make<TLabel>(GroupBox1, "Label4");
  Label4->Caption = "Hasta:";
  edFechaFinal = Make<TMaskEdit>(GroupBox1, "edFechaFinal");
  edFechaFinal->EditMask = "!99/99/0000;1; ";
  edFechaFinal->Hint = "Ingrese la fecha final";
  edFechaFinal->ShowHint = true;
  btnFechaHasta = Make<TSpeedButton>(GroupBox1, "btnFechaHasta");
  btnFechaHasta->Caption = "...";
  btnFechaHasta->Hint = "De Click aqui para traer la fecha desde el calendario";
  btnFechaHasta->ShowHint = true;
  Label1->FocusControl = edFechaInicial;
  Label4->FocusControl = edFechaFinal;
  Label1->SetBounds(10, 26, 50, 16);
  edFechaInicial->SetBounds(62, 22, 100, 24);
  btnFechaDesde->SetBounds(166, 22, 28, 24);
  Label4->SetBounds(220, 26, 50, 16);
  edFechaFinal->SetBounds(272, 22, 100, 24);
  btnFechaHasta->SetBounds(376, 22, 28, 24);

  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Se recomienda hacer primero auditoría de presupuesto";
  Label2->Font->Style = TFontStyles{fsBold};
  Label2->Align = alTop;
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption =
      "La apropiación inicial, adiciones, reducciones o traslados hechos antes de la fecha inicial  son tomados en "
      "cuenta. Ej: trimestre abril a junio tiene en cuentas las adiciones hechas de enero a marzo.";
  Label3->Font->Color = clBlue;
  Label3->WordWrap = true;
  Label3->Align = alClient;

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  btnExportar = Make<TBitBtn>(PnlBotones, "btnExportar");
  btnExportar->Caption = "&Exportar";
  btnExportar->Default = true;
  btnExportar->ModalResult = mrOk;
  BitBtn2 = Make<TBitBtn>(PnlBotones, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  btnAudPpto = Make<TBitBtn>(PnlBotones, "btnAudPpto");
  btnAudPpto->Caption = "Auditoría presupuesto";

  queryGral = Make<TQuery>(this, "queryGral");
  queryFill = Make<TQuery>(this, "queryFill");
  tblInfPpto = Make<TTable>(this, "tblInfPpto");
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");

  btnFechaDesde->OnClick = [this](TObject* s) { btnFechaDesdeClick(s); };
  btnFechaHasta->OnClick = [this](TObject* s) { btnFechaDesdeClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  btnAudPpto->OnClick = [this](TObject* s) { btnAudPptoClick(s); };

  fechaInicial = TDateTime(0.0);
  fechaFinal = TDateTime(0.0);
  edFechaInicial->Text = FechaRecordada(true);
  edFechaFinal->Text = FechaRecordada(false);
}

void TfrmInfPpto::btnFechaDesdeClick(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  TraerFecha(this, c && c->Name == "btnFechaDesde" ? edFechaInicial : edFechaFinal);
}

void TfrmInfPpto::btnAudPptoClick(TObject*) {
  frmAudPpto = new TfrmAudPpto(this);
  std::unique_ptr<TfrmAudPpto> dueno(frmAudPpto);
  frmAudPpto->ShowModal();
  frmAudPpto = nullptr;
}

void TfrmInfPpto::btnExportarClick(TObject*) {
  // Una fecha que no convierte detiene todo antes de tocar la tabla o el periodo recordado.
  fechaInicial = StrToDate(edFechaInicial->Text);
  fechaFinal = StrToDate(edFechaFinal->Text);
  AnsiString msg;
  if (!validarFechas(edFechaInicial->Text, edFechaFinal->Text, msg)) {
    ShowMessage(msg);
    return;
  }
  tblInfPpto->Close();
  // La tabla de la corrida anterior se reemplaza entera o se conserva si algo falla.
  {
    tv::db::Transaction tr(kAlias);
    if (tv::db::TableExists(kAlias, "infPpto")) HagaSQL(kAlias, queryGral, "drop table infPpto");
    construir();
    tr.Commit();
  }
  tblInfPpto->DatabaseName = PathCont;
  tblInfPpto->TableName = "infPPto.db";
  tblInfPpto->Open();
  exportar("informePresupuestal.csv");
}

void TfrmInfPpto::construir() {
  crearTablaInfPpto();
  fillTableInfPptoWithRubros();
  fillMvtPptal("APR", "apropiado");
  fillTrasladoEgresos();
  fillTrasladoIngresos();
  fillMvtPptal("ADD", "adicionado");
  fillMvtPptalRedIngresos("RED", "reducido");
  fillMvtPptalRedEgresos("RED", "reducido");
  escribirPendientes();
  fillApropiadoReal();
  fillSeparado();
  fillCompromiso();
  fillObligacion();
  fillPago();
  escribirPendientes();
  fillDisponibleCDP();
}

void TfrmInfPpto::exportar(const AnsiString& aArchivoPropuesto) {
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->FilterIndex = 1;
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = aArchivoPropuesto;
  if (!SaveDialog1->Execute()) return;
  volcarCSV(SaveDialog1->FileName);
  tv::os::OpenDocument(SaveDialog1->FileName);
}

void TfrmInfPpto::volcarCSV(const AnsiString& aArchivo) {
  tblInfPpto->First();
  DBToCSV(tblInfPpto, aArchivo);
}

AnsiString TfrmInfPpto::textoCreacion() {
  return AnsiString("create table infPpto (") + "rubro char(18)," + "nrubro char(124)," + "apropiado float," +
         "adicionado float," + "Reducido float," + "trasladoMas float," + "trasladoMenos float," +
         "apropiadoReal float," + "cdpAntes float," + "cdpMvt  float," + "cdpHastaFecha  float," +
         "disponibleCDP float," + "rpAntes  float," + "rpMvt  float," + "rpHastaFecha  float," +
         "odpAntes   float," + "odpMvt   float," + "odpHastaFecha   float," + "cpAntes  float," + "cpMvt  float," +
         "cpHastaFecha  float," + "primary key(rubro)" + ")";
}

void TfrmInfPpto::crearTablaInfPpto() {
  // Nada pendiente de una corrida que falló.
  pendientes.clear();
  cadena.clear();
  HagaSQL(kAlias, queryGral, textoCreacion());
}

void TfrmInfPpto::fillTableInfPptoWithRubros() {
  // Un código ya puesto por un insert anterior (o dos veces en el plan) no se repite.
  const char* nuevo = " and not exists (select 1 from infPpto as t where t.rubro=";
  HagaSQL(kAlias, queryGral,
          AnsiString("insert into infPpto (rubro,nrubro) ") +
              "select rubropptal, min(ncuenta) from mvtcertdisp  as a join plppto as b on a.rubropptal=b.icuenta "
              "where a.rubropptal is not null" + nuevo + "a.rubropptal) group by rubropptal");
  HagaSQL(kAlias, queryGral,
          AnsiString("insert into infPpto (rubro,nrubro) ") +
              "select rubropptal, min(ncuenta) from certdisprubros  as a join plppto as b on a.rubropptal=b.icuenta "
              "where a.rubropptal is not null" + nuevo + "a.rubropptal) group by rubropptal");
  HagaSQL(kAlias, queryGral,
          AnsiString("insert into infPpto (rubro,nrubro) select a.icuenta, min(ncuenta) from mvtpptal  as a join "
                     "plppto as b on a.icuenta=b.icuenta where a.icuenta is not null") +
              nuevo + "a.icuenta) group by a.icuenta");
  HagaSQL(kAlias, queryGral,
          "update infPpto set apropiadoreal=0,apropiado=0,adicionado=0,reducido=0,trasladomas=0,trasladomenos=0,"
          "cdpAntes=0,cdpMvt =0");
}

void TfrmInfPpto::fillMvtPptal(const AnsiString& aTipo, const AnsiString& aColumna) {
  // El signo lo da el tipo de cada renglón: egreso menos ingreso en gastos, al revés en ingresos.
  fillTableInfPpto(AnsiString("select icuenta as rubro,sum(case when a.tipoCuenta='I' then "
                              "coalesce(ingreso,0)-coalesce(egreso,0) else coalesce(egreso,0)-coalesce(ingreso,0) end) "
                              "as valor ") +
                       kJoin + "where a.tipoMvtPptal=" + TextoSQL(aTipo) + " and b.fecha<='" + MesDiaAnio(fechaFinal) +
                       "' " + "group by icuenta ",
                   aColumna);
}

void TfrmInfPpto::fillMvtPptalRedIngresos(const AnsiString& aTipo, const AnsiString& aColumna) {
  fillTableInfPpto(AnsiString("select icuenta as rubro,coalesce(sum(egreso),0)-coalesce(sum(ingreso),0) as valor ") + kJoin +
                       "where a.tipoMvtPptal=" + TextoSQL(aTipo) + "  and tipocuenta='I' and b.fecha<='" +
                       MesDiaAnio(fechaFinal) + "' " + "group by icuenta ",
                   aColumna);
}

void TfrmInfPpto::fillMvtPptalRedEgresos(const AnsiString& aTipo, const AnsiString& aColumna) {
  fillTableInfPpto(AnsiString("select icuenta as rubro,coalesce(sum(ingreso),0)-coalesce(sum(egreso),0) as valor ") + kJoin +
                       "where a.tipoMvtPptal=" + TextoSQL(aTipo) + "  and tipocuenta='E' and b.fecha<='" +
                       MesDiaAnio(fechaFinal) + "' " + "group by icuenta ",
                   aColumna);
}

void TfrmInfPpto::fillTableInfPpto(const AnsiString& aSelect, const AnsiString& aColumna) {
  // Importes exactos con dos decimales: ni truncados a unidades ni sin signo.
  HagaSQL(kAlias, queryFill, aSelect);
  for (queryFill->First(); !queryFill->Eof; queryFill->Next())
    fijar(queryFill->FieldByName("rubro")->AsString, aColumna, queryFill->FieldByName("valor")->AsFloat);
  queryFill->Close();
}

void TfrmInfPpto::fillTraslado(const AnsiString& aTipoCuenta, bool aIngresoSuma) {
  HagaSQL(kAlias, queryFill,
          AnsiString("select icuenta as rubro,sum(ingreso) as ingreso,sum(egreso) as egreso ") + kJoin +
              "where a.tipoMvtPptal='TRA'  and tipoCuenta=" + TextoSQL(aTipoCuenta) + " and b.fecha<='" +
              MesDiaAnio(fechaFinal) + "' " + "group by icuenta ");
  for (queryFill->First(); !queryFill->Eof; queryFill->Next()) {
    AnsiString rubro = queryFill->FieldByName("rubro")->AsString;
    double ingreso = queryFill->FieldByName("ingreso")->AsFloat, egreso = queryFill->FieldByName("egreso")->AsFloat;
    fijar(rubro, "trasladomas", aIngresoSuma ? ingreso : egreso);
    fijar(rubro, "trasladomenos", aIngresoSuma ? egreso : ingreso);
  }
  queryFill->Close();
}

void TfrmInfPpto::fillTrasladoEgresos() { fillTraslado("E", false); }

void TfrmInfPpto::fillTrasladoIngresos() { fillTraslado("I", true); }

void TfrmInfPpto::fillApropiadoReal() {
  HagaSQL(kAlias, queryGral,
          "update infPpto set apropiadoreal=apropiado+adicionado-reducido+trasladomas-trasladomenos ");
}

std::vector<AnsiString> TfrmInfPpto::codigos() {
  std::vector<AnsiString> r;
  HagaSQL(kAlias, queryFill, "select rubro from infPpto order by rubro");
  for (queryFill->First(); !queryFill->Eof; queryFill->Next()) r.push_back(queryFill->FieldByName("rubro")->AsString);
  queryFill->Close();
  return r;
}

// Las columnas de la cadena salen de los saldos agrupados de todos los rubros (las mismas cifras
// que las funciones por rubro): una consulta por familia y vía en lugar de dos por rubro. Cada
// paso guarda sus cifras y escribirPendientes las pone todas con una sola actualización por fila.
void TfrmInfPpto::fillSeparado() {
  AnsiString antes = DateToStr(TDateTime(static_cast<double>(fechaInicial) - 1));
  cadena.emplace_back("cdp", getSeparadoRubros("01/01/1980", antes, DateToStr(fechaInicial), DateToStr(fechaFinal)));
}

void TfrmInfPpto::fillDisponibleCDP() {
  HagaSQL(kAlias, queryGral, "update infPpto set disponibleCDP=apropiadoReal-cdpHastaFecha");
}

void TfrmInfPpto::fillCompromiso() {
  AnsiString antes = DateToStr(TDateTime(static_cast<double>(fechaInicial) - 1));
  cadena.emplace_back("rp",
                      getComprometidoRubros("01/01/1900", antes, DateToStr(fechaInicial), DateToStr(fechaFinal)));
}

void TfrmInfPpto::fillObligacion() {
  TDateTime antes(static_cast<double>(fechaInicial) - 1);
  cadena.emplace_back("odp", getSumaOPRubros(TDateTime(0.0), antes, fechaInicial, fechaFinal));
}

void TfrmInfPpto::fillPago() {
  TDateTime antes(static_cast<double>(fechaInicial) - 1);
  cadena.emplace_back("cp", getSumaCPRubros(TDateTime(0.0), antes, fechaInicial, fechaFinal));
}

void TfrmInfPpto::fijar(const AnsiString& aRubro, const AnsiString& aColumna, double aValor) {
  // Un valor posterior para la misma columna reemplaza al anterior, como lo haría su update.
  pendientes[aRubro.str()][aColumna.LowerCase().str()] = aValor;
}

void TfrmInfPpto::escribirPendientes() {
  // Las familias de la cadena cubren todas las filas: un rubro sin documentos queda en cero.
  if (!cadena.empty())
    for (const auto& rubro : codigos()) {
      auto& fila = pendientes[rubro.str()];
      for (const auto& [familia, montos] : cadena) {
        auto it = montos.find(rubro.str());
        MontoVentanas m = it == montos.end() ? MontoVentanas{} : it->second;
        std::string f = familia;
        fila[f + "antes"] = m.antes;
        fila[f + "mvt"] = m.periodo;
        fila[f + "hastafecha"] = m.antes + m.periodo;
      }
    }
  cadena.clear();
  // Un código que no tiene fila en la tabla no cambia nada.
  for (const auto& [rubro, columnas] : pendientes) {
    AnsiString valores;
    for (const auto& [columna, valor] : columnas)
      valores += AnsiString(valores.IsEmpty() ? "" : ",") + columna.c_str() + "=" + NumeroSQL(round(valor, 2, baseRound));
    HagaSQL(kAlias, queryGral, "update infPpto set " + valores + " where rubro =" + TextoSQL(rubro.c_str()));
  }
  pendientes.clear();
}
