// Cierre del año sobre los libros compartidos, frente a la copia del archivo de la base; y la
// vista previa del cambio masivo, que copia el millón de líneas y cambia la copia.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/Engine.h"
#include "platform/db/Storage.h"

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

// El piso de cualquier cierre, sobre el motor solo y sin el programa: (1) sumar el año por
// cuenta y tercero, (2) escribir esas sumas como líneas en un archivo nuevo con la tabla MVT y
// sus índices, y dejarlo en disco. Cada parte se mide aparte y se compara con la copia.
struct Aperturas {
  std::vector<std::string> esquema;  // CREATE TABLE y CREATE INDEX de MVT, tal como están
  std::vector<std::string> cuentas, terceros;
  std::vector<double> saldos;
};

// Las cuentas de balance (clases 1 a 3), que son las que pasan al año siguiente.
const char* kSumaAnual =
    "SELECT numecuen, cedulanit, sum(debito) - sum(credito) FROM mvt WHERE numecuen >= '1' AND numecuen < '4' "
    "GROUP BY numecuen, cedulanit";

const Aperturas& LasAperturas() {
  static Aperturas a = [] {
    Aperturas r;
    auto conn = tv::db::ConnectionFor(tv::bench::LibrosBench().libros.c_str());
    tv::db::Stmt esq = conn->Prepare(
        "SELECT sql FROM sqlite_master WHERE tbl_name = 'MVT' COLLATE NOCASE AND sql IS NOT NULL AND type IN "
        "('table', 'index') "
        "ORDER BY type DESC");  // la tabla antes que sus índices
    while (esq.Step()) r.esquema.push_back(esq.Column(0).s);
    tv::db::Stmt q = conn->Prepare(kSumaAnual);
    while (q.Step()) {
      r.cuentas.push_back(q.Column(0).s);
      r.terceros.push_back(q.Column(1).s);
      r.saldos.push_back(q.Column(2).Number());
    }
    return r;
  }();
  return a;
}

void BM_PisoDelCierreSumarElAnio(benchmark::State& state) {
  if (!Abrir(state)) return;
  auto conn = tv::db::ConnectionFor(tv::bench::LibrosBench().libros.c_str());
  long grupos = 0;
  for (auto _ : state) {
    tv::db::Stmt q = conn->Prepare(kSumaAnual);
    grupos = 0;
    while (q.Step()) ++grupos;
  }
  state.counters["grupos"] = static_cast<double>(grupos);
}
BENCHMARK(BM_PisoDelCierreSumarElAnio)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PisoDelCierreEscribirAperturas(benchmark::State& state) {
  if (!Abrir(state)) return;
  const Aperturas& a = LasAperturas();
  std::string carpeta = tv::bench::LibrosBench().programa + "/../piso";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(carpeta);
    fs::create_directories(carpeta);
    state.ResumeTiming();
    {
      // SQLite solo, sin la capa del programa (que al abrir completa el esquema de unos libros).
      sqlite3* db = nullptr;
      sqlite3_open((carpeta + "/" + tv::db::kDatabaseFileName).c_str(), &db);
      auto exec = [&](const std::string& sql) {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
          state.SkipWithError(sqlite3_errmsg(db));
      };
      exec("PRAGMA journal_mode=WAL");
      exec("BEGIN");
      exec(a.esquema.front());
      sqlite3_stmt* ins = nullptr;
      sqlite3_prepare_v2(db,
                         "INSERT INTO MVT (descdocu, numedocu, fecha, numecuen, cedulanit, detalle, debito, credito) "
                         "VALUES ('CSI', '1', '2027-01-01', ?, ?, 'SALDO INICIAL', ?, ?)",
                         -1, &ins, nullptr);
      for (size_t i = 0; i < a.saldos.size(); ++i) {
        sqlite3_bind_text(ins, 1, a.cuentas[i].c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 2, a.terceros[i].c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_double(ins, 3, a.saldos[i] > 0 ? a.saldos[i] : 0);
        sqlite3_bind_double(ins, 4, a.saldos[i] < 0 ? -a.saldos[i] : 0);
        sqlite3_step(ins);
        sqlite3_reset(ins);
      }
      sqlite3_finalize(ins);
      // Los índices después de las filas, lo más barato que da el motor.
      for (size_t k = 1; k < a.esquema.size(); ++k) exec(a.esquema[k]);
      exec("COMMIT");
      sqlite3_close(db);
    }
  }
  state.counters["lineas"] = static_cast<double>(a.saldos.size());
  fs::remove_all(carpeta);
}
BENCHMARK(BM_PisoDelCierreEscribirAperturas)->Unit(benchmark::kMillisecond)->Iterations(2);

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
