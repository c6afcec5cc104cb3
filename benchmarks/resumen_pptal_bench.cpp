// Resumen presupuestal sobre los libros compartidos: la consulta del gasto del año y de un
// trimestre, la del ingreso del año y los bloques de cierre del impreso.
#include <benchmark/benchmark.h>

#include <memory>

#include "budget/FrmInformePptal.h"
#include "budget/FrmRepInformePptal.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"

namespace {

void Resumen(benchmark::State& state, const char* tipo, const char* desde, const char* hasta) {
  if (!tv::bench::AbrirComoElPrograma() || tv::bench::RubrosGasto().empty()) {
    state.SkipWithError("no se abrieron los libros");
    return;
  }
  AnsiString sql = ConsultaResumenPptal(tipo, desde, hasta, "", "");
  int filas = 0;
  for (auto _ : state) {
    std::unique_ptr<TQuery> q(new TQuery(nullptr));
    HagaSQL("Contabilidad", q.get(), sql);
    filas = 0;
    for (q->First(); !q->Eof; q->Next()) ++filas;
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = filas;
}

void BM_ResumenGastoAnio(benchmark::State& state) { Resumen(state, "E", "01/01/2026", "31/12/2026"); }
void BM_ResumenGastoTrimestre(benchmark::State& state) { Resumen(state, "E", "01/04/2026", "30/06/2026"); }
void BM_ResumenIngresoAnio(benchmark::State& state) { Resumen(state, "I", "01/01/2026", "31/12/2026"); }
BENCHMARK(BM_ResumenGastoAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResumenGastoTrimestre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResumenIngresoAnio)->Unit(benchmark::kMillisecond);

// Bloques de cierre del impreso de gastos para cada rubro de gasto (un trimestre), en una
// transacción como al imprimir; cada rubro se calcula una vez.
void BM_CierresDeCadaRubro(benchmark::State& state) {
  if (!tv::bench::AbrirComoElPrograma() || tv::bench::RubrosGasto().empty()) {
    state.SkipWithError("no se abrieron los libros");
    return;
  }
  const auto& rubros = tv::bench::RubrosGasto();
  for (auto _ : state) {
    std::unique_ptr<TfrmRepInformePptal> r(new TfrmRepInformePptal(nullptr));
    r->fechaInicial = "01/04/2026";
    r->fechaFinal = "30/06/2026";
    tv::db::Transaction tx("Contabilidad");
    double suma = 0;
    for (const auto& c : rubros) suma += r->Cierre(c.c_str()).disponible;
    benchmark::DoNotOptimize(suma);
    tx.Commit();
  }
  state.counters["rubros"] = static_cast<double>(rubros.size());
}
BENCHMARK(BM_CierresDeCadaRubro)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
