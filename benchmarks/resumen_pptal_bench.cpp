// Resumen presupuestal sobre los libros compartidos: la consulta del gasto del año y de un
// trimestre, y la del ingreso del año.
#include <benchmark/benchmark.h>

#include <memory>

#include "budget/FrmInformePptal.h"
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

}  // namespace

BENCHMARK_MAIN();
