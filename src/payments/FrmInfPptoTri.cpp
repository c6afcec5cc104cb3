#include "payments/FrmInfPptoTri.h"

#include <utility>
#include <vector>

#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/core/Classes.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmInfPptoTri* frmInfPptoTri = nullptr;

namespace {
const char* const kAlias = "Contabilidad";
}  // namespace

TfrmInfPptoTri::TfrmInfPptoTri(TComponent* Owner) : TfrmInfPpto(Owner) {
  Name = "frmInfPptoTri";
  Label2->Caption = "Si nota inconsistencias se recomienda hacer auditoría de presupuesto";
}

AnsiString TfrmInfPptoTri::textoCreacion() {
  return AnsiString("create table infPpto (") + "rubro char(18)," + "nrubro char(124)," + "apropiado float," +
         "adicionado float," + "Reducido float," + "trasladoMas float," + "trasladoMenos float," +
         "apropiadoReal float," + "cdpAntes float," + "cdpMvt  float," + "cdpHastaFecha  float," +
         "disponibleCDP float," + "reintegros float," + "primary key(rubro)" + ")";
}

void TfrmInfPptoTri::construir() {
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
  fillMvtCDP();
  fillMvtPptalReintegros();
  fillDisponibleCDP();
  fillIngresos();
}

void TfrmInfPptoTri::fillTableInfPptoWithRubros() {
  TfrmInfPpto::fillTableInfPptoWithRubros();
  HagaSQL(kAlias, queryGral, "update infPpto set reintegros=0");
}

void TfrmInfPptoTri::fillMvtCDP() {
  fillSeparado();
  escribirPendientes();
}

void TfrmInfPptoTri::fillMvtPptalReintegros() {
  // Un solo recorrido agrupado: cada rubro recibe la suma de sus reintegros del periodo.
  HagaSQL(kAlias, queryFill,
          "select rubro,sum(valor) as valor from  reintegros where fecha<='" + MesDiaAnio(fechaFinal) + "' " +
              " and fecha>='" + MesDiaAnio(fechaInicial) + "' and rubro is not null group by rubro");
  std::vector<std::pair<AnsiString, double>> sumas;
  for (queryFill->First(); !queryFill->Eof; queryFill->Next())
    sumas.emplace_back(queryFill->FieldByName("rubro")->AsString, queryFill->FieldByName("valor")->AsFloat);
  queryFill->Close();
  for (const auto& [rubro, valor] : sumas)
    HagaSQL(kAlias, queryGral, "update infPpto set reintegros=" + NumeroSQL(round(valor, 2, baseRound)) + " where rubro =" + TextoSQL(rubro));
}

void TfrmInfPptoTri::fillDisponibleCDP() {
  HagaSQL(kAlias, queryGral, "update infPpto set disponibleCDP=apropiadoReal-cdpHastaFecha+reintegros");
}

void TfrmInfPptoTri::fillIngresos() {
  AnsiString ini = MesDiaAnio(fechaInicial), fin = MesDiaAnio(fechaFinal);
  HagaSQL(kAlias, queryFill,
          AnsiString("select rubro,sum(credito) as ingreso ") + "from mvt " + "where Fecha<'" + ini + "' " +
              "and rubro is not null " + "group by rubro ");
  updateInfPptoWithIngresos(queryFill, "cdpAntes");
  HagaSQL(kAlias, queryFill,
          AnsiString("select rubro,sum(credito) as ingreso ") + "from mvt " + "where Fecha>='" + ini + "' " +
              "and   Fecha<='" + fin + "' " + "and rubro is not null " + "group by rubro ");
  updateInfPptoWithIngresos(queryFill, "cdpMvt");
  HagaSQL(kAlias, queryFill,
          AnsiString("select rubro,sum(credito) as ingreso ") + "from mvt " + "where Fecha<='" + fin + "' " +
              "and rubro is not null " + "group by rubro ");
  updateInfPptoWithIngresos(queryFill, "cdpHastaFecha");
}

void TfrmInfPptoTri::updateInfPptoWithIngresos(TDataSet* aResultado, const AnsiString& aColumna) {
  std::vector<std::pair<AnsiString, double>> filas;
  for (aResultado->First(); !aResultado->Eof; aResultado->Next())
    filas.emplace_back(aResultado->FieldByName("rubro")->AsString, aResultado->FieldByName("ingreso")->AsFloat);
  aResultado->Close();
  const bool total = aColumna.LowerCase() == "cdphastafecha";
  for (const auto& [rubro, valor] : filas) {
    // En un update la derecha lee los valores viejos: el saldo sale del valor que se escribe.
    AnsiString saldo = total ? "apropiadoReal-" + NumeroSQL(round(valor, 2, baseRound)) : AnsiString("apropiadoReal-cdpHastaFecha");
    HagaSQL(kAlias, queryGral,
            "update infPpto set " + aColumna + "=" + NumeroSQL(round(valor, 2, baseRound)) + ",disponibleCDP=" + saldo +
                " where rubro =" + TextoSQL(rubro));
  }
}

void TfrmInfPptoTri::volcarCSV(const AnsiString& aArchivo) {
  static const char* const kColumnas[][2] = {
      {"rubro", "Cuenta"},
      {"nrubro", "Concepto"},
      {"apropiado", "Presupuesto Inicial"},
      {"adicionado", "Adición"},
      {"Reducido", "Reducción"},
      {"trasladoMas", "Traslados créditos"},
      {"trasladoMenos", "Traslados contracréditos"},
      {"apropiadoReal", "Presupuesto definitivo"},
      {"cdpAntes", "Ejecución trimestres anteriores"},
      {"cdpMvt", "Ejecución Trimestre Actual"},
      {"cdpHastaFecha", "Total Ejecutado"},
      {"reintegros", "Reintegros"},
      {"disponibleCDP", "Saldo por ejecutar"},
  };
  TStringList campos, titulos;
  for (const auto& c : kColumnas) {
    campos.Add(c[0]);
    titulos.Add(c[1]);
  }
  tblInfPpto->First();
  DBToCSV(tblInfPpto, aArchivo, &campos, 0, true, &titulos);
}
