// Saldos de rubros y auditoría del presupuesto sobre los libros compartidos (2.000 rubros y un
// año de documentos presupuestales): el disponible de cada rubro de gasto, las cifras de un
// trimestre de cada uno, la auditoría, y la conciliación de lo atribuido por participación.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "budget/CalculosPptal.h"
#include "common/LibrosBench.h"
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace {

bool Abrir(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma() && !tv::bench::RubrosGasto().empty()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

double Total(const std::string& sql) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), sql);
  return q->FieldByName("total")->AsFloat;
}

void BM_DisponibilidadDeCadaGasto(benchmark::State& state) {
  if (!Abrir(state)) return;
  const auto& rubros = tv::bench::RubrosGasto();
  for (auto _ : state) {
    // Como un informe: todos los saldos dentro de una transacción.
    tv::db::Transaction tx("Contabilidad");
    double suma = 0, pagado = 0;
    for (const auto& r : rubros) suma += getDisponibilidadRubro(r.c_str(), "E", &pagado);
    benchmark::DoNotOptimize(suma);
    tx.Commit();
  }
  state.counters["rubros"] = static_cast<double>(rubros.size());
}
BENCHMARK(BM_DisponibilidadDeCadaGasto)->Unit(benchmark::kMillisecond);

// Las cifras del trimestre de todos los rubros como las saca el informe de ejecución: una
// consulta agrupada por cifra, y de ella el valor de cada rubro de gasto.
void BM_TrimestreDeCadaGasto(benchmark::State& state) {
  if (!Abrir(state)) return;
  const auto& rubros = tv::bench::RubrosGasto();
  TDateTime desde = EncodeDate(2026, 4, 1), hasta = EncodeDate(2026, 6, 30), vispera = EncodeDate(2026, 3, 31);
  for (auto _ : state) {
    tv::db::Transaction tx("Contabilidad");
    const CadenaPorRubro cifras[] = {
        getSeparadoRubros("01/01/1980", "31/03/2026", "01/04/2026", "30/06/2026"),
        getComprometidoRubros("01/01/1900", "31/03/2026", "01/04/2026", "30/06/2026"),
        getSumaOPRubros(TDateTime(0.0), vispera, desde, hasta),
        getSumaCPRubros(TDateTime(0.0), vispera, desde, hasta),
    };
    double suma = 0;
    for (const auto& r : rubros)
      for (const auto& c : cifras) {
        auto it = c.find(r);
        if (it != c.end()) suma += it->second.periodo;
      }
    benchmark::DoNotOptimize(suma);
    tx.Commit();
  }
  state.counters["rubros"] = static_cast<double>(rubros.size());
}
BENCHMARK(BM_TrimestreDeCadaGasto)->Unit(benchmark::kMillisecond);

// Las mismas cifras pidiendo cada una rubro por rubro, como una pantalla de un rubro.
void BM_TrimestreDeCadaGastoPorRubro(benchmark::State& state) {
  if (!Abrir(state)) return;
  const auto& rubros = tv::bench::RubrosGasto();
  TDateTime desde = EncodeDate(2026, 4, 1), hasta = EncodeDate(2026, 6, 30);
  for (auto _ : state) {
    tv::db::Transaction tx("Contabilidad");
    double suma = 0;
    for (const auto& r : rubros) {
      AnsiString c = r.c_str();
      suma += getSeparadoRubro(c, "01/04/2026", "30/06/2026");
      suma += getComprometidoRubro(c, "01/04/2026", "30/06/2026");
      suma += getSumaOPRubro(c, desde, hasta);
      suma += getSumaCPRubro(c, desde, hasta);
    }
    benchmark::DoNotOptimize(suma);
    tx.Commit();
  }
  state.counters["rubros"] = static_cast<double>(rubros.size());
}
BENCHMARK(BM_TrimestreDeCadaGastoPorRubro)->Unit(benchmark::kMillisecond);

void BM_Auditoria(benchmark::State& state) {
  if (!Abrir(state)) return;
  auto f = std::make_unique<TfrmAudPpto>(nullptr);
  for (auto _ : state) f->simularClick();
  state.counters["hallazgos"] = f->Memo1->Lines->Count();
}
BENCHMARK(BM_Auditoria)->Unit(benchmark::kMillisecond);

// Lo atribuido a los rubros suma, al centavo, lo que pesan los documentos de certificados con
// rubros. Se corre una vez; una diferencia es un error.
void BM_Conciliacion(benchmark::State& state) {
  if (!Abrir(state)) return;
  // Códigos que son rubro de algún certificado: los de gasto generados.
  const auto& rubros = tv::bench::RubrosGasto();
  const char* conRubros =
      "(exists (select z.icd from certDispRubros as z where z.icd=rp.icd) or exists (select c.icd from mvtCertDisp "
      "as c where c.icd=rp.icd and c.rubroPptal is not null and c.rubroPptal<>''))";
  double esperadoOP = 0, esperadoRP = 0, esperadoCP = 0, op = 0, rp = 0, cp = 0;
  for (auto _ : state) {
    tv::db::Transaction tx("Contabilidad");
    esperadoOP = Total(std::string("select sum(op.valor) as total from mvtOrdenPago as op join mvtRegPptal as rp "
                                   "on rp.irp=op.irp where ") + conRubros);
    esperadoRP = Total(std::string("select sum(rp.valor) as total from mvtRegPptal as rp where ") + conRubros);
    // Comprobantes: su valor, repartido solo entre las órdenes que existen y llegan a rubros.
    esperadoCP = Total(std::string("select sum(m.valor * (select sum(op.valor) from mvtOrdenPago as op join mvtRegPptal "
                                   "as rp on rp.irp=op.irp where op.iop in (m.op1,m.op2,m.op3,m.op4,m.op5) and ") +
                       conRubros +
                       ") / (select sum(w.valor) from mvtOrdenPago as w where w.iop in (m.op1,m.op2,m.op3,m.op4,"
                       "m.op5))) as total from mvtmaestro as m");
    op = rp = cp = 0;
    TDateTime desde = EncodeDate(2000, 1, 1), hasta = EncodeDate(2100, 12, 31);
    for (const auto& r : rubros) {
      AnsiString c = r.c_str();
      op += getSumaOPRubro(c);
      rp += getComprometidoRubro(c, "01/01/2000", "31/12/2100");
      cp += getSumaCPRubro(c, desde, hasta);
    }
    tx.Commit();
  }
  state.counters["dif_OP"] = op - esperadoOP;
  state.counters["dif_RP"] = rp - esperadoRP;
  state.counters["dif_CP"] = cp - esperadoCP;
  if (std::fabs(op - esperadoOP) >= 0.005 || std::fabs(rp - esperadoRP) >= 0.005 || std::fabs(cp - esperadoCP) >= 0.005)
    state.SkipWithError("lo atribuido a los rubros no concilia con los documentos");
}
BENCHMARK(BM_Conciliacion)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
