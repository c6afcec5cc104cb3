// Informes de ejecución presupuestal y saldo de rubros sobre los libros compartidos (2.000
// rubros y un año de documentos presupuestales): la tabla de trabajo del informe completo del
// año y de un trimestre, la del informe por trimestre y la tabla de saldos.
#include <benchmark/benchmark.h>

#include <memory>

#include "common/LibrosBench.h"
#include "payments/FrmInfPpto.h"
#include "payments/FrmInfPptoTri.h"
#include "payments/FrmSaldosRubros.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"

namespace {

bool Abrir(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma() && !tv::bench::RubrosGasto().empty()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

// Acceso a la construcción de la tabla, sin el diálogo del archivo.
template <class Informe>
struct Construccion : Informe {
  Construccion() : Informe(nullptr) {}
  void Correr(TDateTime desde, TDateTime hasta) {
    this->fechaInicial = desde;
    this->fechaFinal = hasta;
    tv::db::Transaction tx("Contabilidad");
    if (tv::db::TableExists("Contabilidad", "infPpto")) HagaSQL("Contabilidad", this->queryGral, "drop table infPpto");
    this->construir();
    tx.Commit();
  }
};

template <class Informe>
void Informe_(benchmark::State& state, TDateTime desde, TDateTime hasta) {
  if (!Abrir(state)) return;
  auto f = std::make_unique<Construccion<Informe>>();
  for (auto _ : state) f->Correr(desde, hasta);
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), "select count(*) as n from infPpto");
  state.counters["filas"] = static_cast<double>(q->FieldByName("n")->AsFloat);
}

void BM_InformeCompletoAnio(benchmark::State& state) {
  Informe_<TfrmInfPpto>(state, EncodeDate(2026, 1, 1), EncodeDate(2026, 12, 31));
}
BENCHMARK(BM_InformeCompletoAnio)->Unit(benchmark::kMillisecond);

void BM_InformeCompletoTrimestre(benchmark::State& state) {
  Informe_<TfrmInfPpto>(state, EncodeDate(2026, 4, 1), EncodeDate(2026, 6, 30));
}
BENCHMARK(BM_InformeCompletoTrimestre)->Unit(benchmark::kMillisecond);

void BM_InformePorTrimestre(benchmark::State& state) {
  Informe_<TfrmInfPptoTri>(state, EncodeDate(2026, 4, 1), EncodeDate(2026, 6, 30));
}
BENCHMARK(BM_InformePorTrimestre)->Unit(benchmark::kMillisecond);

void BM_SaldoRubros(benchmark::State& state) {
  if (!Abrir(state)) return;
  for (auto _ : state) {
    auto f = std::make_unique<TfrmSaldosRubros>(nullptr);
    benchmark::DoNotOptimize(f.get());
  }
}
BENCHMARK(BM_SaldoRubros)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
