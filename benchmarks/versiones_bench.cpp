// Escrituras masivas del diario con y sin los disparadores de versión: líneas nuevas de
// documentos de 20 líneas (como las del cierre y las del generador de libros), cambio de cuenta
// en la mitad de ellas y renumeración de documentos uno a uno por el motor del programa. La razón entre ambas queda como
// contador.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/schema/Schema.h"
#include "app/schema/Versiones.h"
#include "ledger/motor/CambioClave.h"
#include "platform/db/DBTables.h"
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

// Una escritura masiva como la hacen los escritores del programa: con los disparadores, una
// versión por documento (EscrituraMasiva); sin ellos, la escritura sola.
double Masiva(sqlite3* db, bool con, const std::string& sql, const std::string& dondeAntes,
              bool todos = false) {
  auto t0 = std::chrono::steady_clock::now();
  Exec(db, "BEGIN");
  if (con) {
    tv::schema::EscrituraMasiva m(db);
    if (!dondeAntes.empty()) m.AvanzarDiario(dondeAntes);
    Exec(db, sql);
    if (todos) m.AvanzarTodos();
    m.Terminar();
  } else {
    Exec(db, sql);
  }
  Exec(db, "COMMIT");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Un documento renumerado por el motor del programa (una transacción: líneas, encabezado y, con
// los disparadores, una versión del número viejo y una del nuevo).
double Renumerar(const fs::path& dir, int d) {
  auto t0 = std::chrono::steady_clock::now();
  tv::motor::CambiarClaveDocumento(dir.string() + "/", "CE", std::to_string(d), "CE", "R" + std::to_string(d));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// state.range(0) líneas, 20 por documento.
void BM_EscriturasMasivasConYSinVersiones(benchmark::State& state) {
  const long lineas = state.range(0);
  const std::string alta =
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<" + std::to_string(lineas - 1) +
      ") INSERT INTO MVT (descdocu, numedocu, numecuen, cedulanit, detalle, debito, credito, fecha) SELECT 'CE', "
      "CAST(i / 20 + 1 AS TEXT), CASE i % 2 WHEN 0 THEN '110505' ELSE '240801' END, NULL, 'Linea ' || i, "
      "CASE i % 2 WHEN 0 THEN i ELSE 0 END, CASE i % 2 WHEN 1 THEN i ELSE 0 END, '2026-03-01' FROM n; "
      "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, qitems) SELECT DISTINCT descdocu, numedocu, fecha, "
      "0, 20 FROM MVT";
  const std::string cambio = "UPDATE MVT SET numecuen = '110510' WHERE numecuen LIKE '110505'";
  fs::path base = fs::temp_directory_path() / ("tv_versiones_bench_" + std::to_string(getpid()));
  double t[2][3] = {};
  for (auto _ : state) {
    sqlite3* db[2] = {Libros(base / "sin", false), Libros(base / "con", true)};
    for (int con = 0; con < 2; ++con) t[con][0] += Masiva(db[con], con, alta, "", true);
    for (int con = 0; con < 2; ++con) t[con][1] += Masiva(db[con], con, cambio, "numecuen LIKE '110505'");
    // Uno y uno, para que la carga de la máquina caiga igual sobre ambos.
    for (int d = 1; d <= 2000; ++d)
      for (int con = 0; con < 2; ++con) t[con][2] += Renumerar(base / (con ? "con" : "sin"), d);
    for (sqlite3* b : db) sqlite3_close(b);
    for (const char* n : {"sin", "con"}) tv::db::ReleaseDatabase((base / n).string() + "/");
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
