// Cierre del año sobre los libros compartidos, frente a la copia del archivo de la base; y la
// vista previa del cambio masivo, que copia el millón de líneas y cambia la copia.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "common/LibrosBench.h"
#include "ledger/FrmCierreAnio.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"

namespace fs = std::filesystem;

namespace {

bool Abrir(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

// Vuelve al año de los libros y quita la carpeta del año siguiente de la corrida anterior.
void VolverAlAnio() {
  const auto& l = tv::bench::LibrosBench();
  AbrirContabilidad(nullptr, l.libros.c_str(), "Ejemplo", 2026, false);
  std::string siguiente = l.programa + "/Ejemplo2027";
  tv::db::ReleaseDatabase(siguiente.c_str());
  fs::remove_all(siguiente);
}

void BM_CopiaDelArchivoDeLaBase(benchmark::State& state) {
  if (!Abrir(state)) return;
  const auto& l = tv::bench::LibrosBench();
  std::string destino = l.programa + "/../copia.sqlite";
  for (auto _ : state) {
    fs::copy_file(l.libros + "/tablas.sqlite", destino, fs::copy_options::overwrite_existing);
  }
  fs::remove(destino);
}
BENCHMARK(BM_CopiaDelArchivoDeLaBase)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CierreDelAnio(benchmark::State& state) {
  if (!Abrir(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    VolverAlAnio();
    auto f = std::make_unique<TFrmCierreAnio>(nullptr);
    state.ResumeTiming();
    f->BtnAceptarClick(f.get());
    state.PauseTiming();
    if (anioGlobal != 2027) state.SkipWithError("el cierre no terminó");
    state.counters["lineasCSI"] = f->itemsCSI;
    f.reset();
    state.ResumeTiming();
  }
  VolverAlAnio();
}
BENCHMARK(BM_CierreDelAnio)->Unit(benchmark::kMillisecond)->Iterations(2);

// Lo que hace "Ver resultados sin hacer el cambio": la copia del movimiento y su cambio, juntos.
void BM_VistaPreviaDelCambioMasivo(benchmark::State& state) {
  if (!Abrir(state)) return;
  VolverAlAnio();
  for (auto _ : state) {
    tv::db::Transaction tx("Contabilidad");
    tv::db::CopyTable("Contabilidad", "mvt.db", "Contabilidad", "copiaMvt.db", false);
    TQuery q(nullptr);
    HagaSQL("Contabilidad", &q,
            "update copiaMvt.db set numecuen='12'+substring(numecuen from 3 for 16) where numecuen like '11%' "
            "escape '\\'");
    tx.Commit();
    state.counters["cambiadas"] = q.GetRowsAffected();
  }
}
BENCHMARK(BM_VistaPreviaDelCambioMasivo)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
