// Los libros compartidos: cuánto tarda abrirlos como el programa y sumar el movimiento.
#include <benchmark/benchmark.h>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"

namespace {

void BM_SumaDelMovimientoPorCuenta(benchmark::State& state) {
  if (!tv::bench::AbrirComoElPrograma()) {
    state.SkipWithError("no se abrieron los libros");
    return;
  }
  for (auto _ : state) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    q.SQL->SetText("select numecuen, sum(debito) as d, sum(credito) as c from mvt group by numecuen");
    q.Open();
    int n = 0;
    for (; !q.Eof; q.Next()) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_SumaDelMovimientoPorCuenta)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
