// Arranque tras una salida sin cierre: sobre una copia de los libros compartidos con la marca
// puesta, desde crear el módulo de datos (lo que sigue a la clave) hasta el mensaje de la
// reparación, con las tablas abiertas otra vez. Una sola vuelta: el módulo de datos es uno por
// proceso.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"

namespace {

double PicoMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

void BM_RepairAtStartUpAfterUncleanExit(benchmark::State& state) {
  std::string destino = tv::bench::LibrosBench().programa + "/../copia_reparacion";
  tv::bench::Libros copia;
  std::vector<std::string> mensajes;
  int respaldadas = 0;
  double privado = 0;
  for (auto _ : state) {
    state.PauseTiming();
    copia = tv::bench::CopiarLibros(destino);
    mensajes.clear();
    state.ResumeTiming();
    tv::bench::PicoPrivado pico;
    bool abiertos = tv::bench::AbrirComoElPrograma(copia, true, &mensajes);
    privado = pico.MB();
    state.PauseTiming();
    if (!abiertos) {
      state.SkipWithError("no se abrieron los libros");
      break;
    }
    // El respaldo fechado: una tabla por cada tabla reconstruida.
    for (const auto& e : std::filesystem::directory_iterator(copia.libros))
      if (e.is_directory() && e.path().filename().string().rfind("BackupReparacion", 0) == 0)
        respaldadas = static_cast<int>(tv::db::TableNames(e.path().c_str()).size());
    state.ResumeTiming();
  }
  bool finalizada = std::find(mensajes.begin(), mensajes.end(), "Reparación de tablas finalizada.") != mensajes.end();
  if (!finalizada)
    state.SkipWithError(
        ("la reparación no terminó bien: " + (mensajes.empty() ? std::string("sin mensaje") : mensajes.back())).c_str());
  state.counters["tablas_respaldadas"] = respaldadas;
  state.counters["pico_MB"] = PicoMB();
  state.counters["pico_privado_MB"] = privado;
}

}  // namespace

BENCHMARK(BM_RepairAtStartUpAfterUncleanExit)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
