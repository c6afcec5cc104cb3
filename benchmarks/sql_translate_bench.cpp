// Translation time of typical local-SQL statements (schema read once and cached).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "platform/db/sql/SqliteSchema.h"

namespace {

sqlite3* Db() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    sqlite3_exec(d,
                 "CREATE TABLE MVT (numecuen VARCHAR(18), cedulanit VARCHAR(18), detalle VARCHAR(254),"
                 " centcost VARCHAR(10), desccomp VARCHAR(3), numecomp VARCHAR(15), debito NUMERIC,"
                 " credito NUMERIC, Cantidad NUMERIC, rubro VARCHAR(18), descdocu VARCHAR(3),"
                 " numedocu VARCHAR(15), fecha DATE);"
                 "CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60), centcost VARCHAR(1));"
                 "CREATE TABLE TC (CedulaNIT VARCHAR(18), nombre VARCHAR(60), dpto VARCHAR(2));",
                 nullptr, nullptr, nullptr);
    return d;
  }();
  return db;
}

const char* kStatements[] = {
    "select numecuen, sum(debito) as Debito, sum(credito) as Credito  from mvt where fecha "
    "<'01/01/2026' group by Numecuen",
    "select * from Mvt where DescDocu=\"CE\"  and Numedocu=\"15\"",
    "select descdocu,numedocu,fecha,cedulanit,nombre,numecuen,nombCuen, desccomp, numecomp,debito,"
    "credito,detalle from mvt a, pl b, tc c where a.numeCuen=b.numeCuen and Fecha>=\"01/01/2026\" "
    "and Fecha<=\"12/31/2026\" and (a.cedulanit=c.cedulanit or a.cedulanit is null and c.cedulanit "
    "is null) order by NumeCuen ",
    "update mvt.db set numecuen='1110'+substring(numecuen from 5 for 14) where numecuen like '1105%'",
};

void BM_Translate(benchmark::State& state) {
  tv::db::SqliteSchemaLookup schema(Db());
  const char* sql = kStatements[state.range(0)];
  tv::db::TranslateLocalSql(sql, schema);  // warm the schema cache
  for (auto _ : state) benchmark::DoNotOptimize(tv::db::TranslateLocalSql(sql, schema));
}
BENCHMARK(BM_Translate)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
