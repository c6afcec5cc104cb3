// Los libros guardan estadísticas del planificador al día: con ellas las sumas por cuenta del
// balance y del kárdex recorren el índice de cuenta y no leen línea por línea por fecha.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "app/schema/Schema.h"
#include "app/schema/TestFolder.h"

namespace {

void Sql(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "") << sql;
}

std::string Plan(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &st, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  std::string r;
  while (sqlite3_step(st) == SQLITE_ROW) r += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + "\n";
  sqlite3_finalize(st);
  return r;
}

// Líneas de un año: 200 cuentas de una misma clase, cada una con movimiento todos los días.
void Lineas(sqlite3* db, int cuantas) {
  Sql(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(cuantas) +
              ") INSERT INTO MVT (numecuen, fecha, debito, credito, cantidad, descdocu, numedocu) "
              "SELECT printf('1105%02d', i % 200), date('2026-01-01', '+' || (i % 365) || ' days'), i, 0, 1, "
              "'CE', i / 20 FROM n");
}

// Los textos de SQLite en que quedan las sumas del balance (antes del periodo) y del kárdex.
const char* kBalance =
    "SELECT numecuen, sum(debito), sum(credito) FROM MVT WHERE fecha < '2026-07-01' GROUP BY numecuen";
const char* kKardexCifras =
    "SELECT sum(CASE WHEN fecha < '2026-07-01' THEN cantidad END) FROM MVT "
    "WHERE numecuen GLOB '1105*' AND numecuen >= '1105' AND numecuen < '1106'";
const char* kKardexLista =
    "SELECT fecha, cantidad FROM MVT WHERE numecuen GLOB '110501*' AND numecuen >= '110501' AND "
    "numecuen < '110502' AND (cantidad < 0 OR cantidad > 0) AND +fecha >= '2026-07-01' AND "
    "+fecha <= '2026-07-31' ORDER BY fecha";

}  // namespace

TEST(Estadisticas, LasSumasPorCuentaUsanElIndiceDeCuenta) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  sqlite3* db = tests::OpenFolder(dir.path());
  Lineas(db, 20000);
  // Sin estadísticas la suma del balance lee el índice entero; con ellas salta de cuenta en
  // cuenta a la ventana de fechas.
  EXPECT_EQ(Plan(db, kBalance).find("ANY(numecuen)"), std::string::npos) << Plan(db, kBalance);
  EXPECT_TRUE(tv::schema::KeepStatistics(db));
  EXPECT_NE(Plan(db, kBalance).find("INDEX MVT_Cuenta (ANY(numecuen) AND fecha<?)"), std::string::npos)
      << Plan(db, kBalance);
  for (const char* sql : {kKardexCifras, kKardexLista}) {
    std::string plan = Plan(db, sql);
    EXPECT_NE(plan.find("INDEX MVT_Cuenta (numecuen>? AND numecuen<?)"), std::string::npos) << sql << "\n" << plan;
  }
  // Al día: no se rehacen hasta que el diario pase del doble de lo que contaron.
  EXPECT_FALSE(tv::schema::KeepStatistics(db));
  Lineas(db, 25000);
  EXPECT_TRUE(tv::schema::KeepStatistics(db));
  sqlite3_close(db);
}

TEST(Estadisticas, PocasLineasNoSeAnalizan) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  sqlite3* db = tests::OpenFolder(dir.path());
  Lineas(db, 500);
  EXPECT_FALSE(tv::schema::KeepStatistics(db));
  sqlite3_close(db);
}
