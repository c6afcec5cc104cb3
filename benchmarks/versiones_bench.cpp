// Escrituras masivas del diario con y sin los disparadores de versión: líneas nuevas de
// documentos de 20 líneas (como las del cierre y las del generador de libros), cambio de cuenta
// en la mitad de ellas y renumeración de documentos uno a uno. La razón entre ambas queda como
// contador.
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
  Exec(db, sql);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
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

// Renumerar como el programa: un documento por transacción, líneas y encabezado, con los
// disparadores de fila (quitarlos y ponerlos cuesta más que 21 filas); 500 documentos.
double Renumerar(sqlite3* db) {
  double t = 0;
  for (int d = 1; d <= 500; ++d) {
    std::string k = "descdocu='CE' AND numedocu='" + std::to_string(d) + "'", n = "'R" + std::to_string(d) + "'";
    t += Segundos(db, "BEGIN; UPDATE MVT SET numedocu=" + n + " WHERE " + k + "; UPDATE mvtMaestro SET numedocu=" + n +
                          " WHERE " + k + "; COMMIT");
  }
  return t;
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
    for (int con = 0; con < 2; ++con) {
      sqlite3* db = Libros(base / (con ? "con" : "sin"), con == 1);
      t[con][0] += Masiva(db, con, alta, "", true);
      t[con][1] += Masiva(db, con, cambio, "numecuen LIKE '110505'");
      t[con][2] += Renumerar(db);
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
