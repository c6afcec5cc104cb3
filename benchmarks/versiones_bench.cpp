// Escrituras masivas del diario con y sin los disparadores de versión: líneas nuevas de
// documentos de 20 líneas (como las del cierre y las del generador de libros), cambio de cuenta
// en todas y renumeración de todos los documentos. La razón entre ambas queda como contador.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/schema/Schema.h"
#include "app/schema/Versiones.h"
#include "platform/db/Storage.h"

namespace {

namespace fs = std::filesystem;

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string m = err ? err : "";
    sqlite3_free(err);
    throw std::runtime_error(m + ": " + sql);
  }
}

// Libros nuevos con el esquema de la aplicación; sin disparadores cuando se pide.
sqlite3* Libros(const fs::path& dir, bool conVersiones) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  tv::schema::CreateBookTables(dir.string());
  sqlite3* db = nullptr;
  sqlite3_open((dir / tv::db::kDatabaseFileName).c_str(), &db);
  Exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
  if (!conVersiones) {
    sqlite3_stmt* st = nullptr;
    std::string nombres;
    sqlite3_prepare_v2(db, "SELECT group_concat('DROP TRIGGER \"' || name || '\";', ' ') FROM sqlite_master "
                       "WHERE type='trigger'", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
      nombres = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    if (!nombres.empty()) Exec(db, nombres);
  }
  return db;
}

double Segundos(sqlite3* db, const std::string& sql) {
  auto t0 = std::chrono::steady_clock::now();
  Exec(db, "BEGIN; " + sql + "; COMMIT");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// state.range(0) líneas, 20 por documento.
void BM_EscriturasMasivasConYSinVersiones(benchmark::State& state) {
  const long lineas = state.range(0);
  const std::string alta =
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<" + std::to_string(lineas - 1) +
      ") INSERT INTO MVT (descdocu, numedocu, numecuen, cedulanit, detalle, debito, credito, fecha) SELECT 'CE', "
      "CAST(i / 20 + 1 AS TEXT), CASE i % 2 WHEN 0 THEN '110505' ELSE '240801' END, NULL, 'Linea ' || i, "
      "CASE i % 2 WHEN 0 THEN i ELSE 0 END, CASE i % 2 WHEN 1 THEN i ELSE 0 END, '2026-03-01' FROM n";
  const std::string cambio = "UPDATE MVT SET numecuen = '110510' WHERE numecuen = '110505'";
  const std::string renumera = "UPDATE MVT SET numedocu = numedocu || 'R'";
  fs::path base = fs::temp_directory_path() / ("tv_versiones_bench_" + std::to_string(getpid()));
  double t[2][3] = {};
  for (auto _ : state) {
    for (int con = 0; con < 2; ++con) {
      sqlite3* db = Libros(base / (con ? "con" : "sin"), con == 1);
      t[con][0] += Segundos(db, alta);
      t[con][1] += Segundos(db, cambio);
      t[con][2] += Segundos(db, renumera);
      sqlite3_close(db);
    }
  }
  fs::remove_all(base);
  const char* nombres[] = {"altas", "cambio_cuenta", "renumerar"};
  for (int k = 0; k < 3; ++k) {
    state.counters[std::string(nombres[k]) + "_s"] = t[1][k] / static_cast<double>(state.iterations());
    state.counters[std::string(nombres[k]) + "_razon"] = t[0][k] > 0 ? t[1][k] / t[0][k] : 0;
  }
}

}  // namespace

BENCHMARK(BM_EscriturasMasivasConYSinVersiones)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
