// Subqueries (derived tables in FROM, subqueries in WHERE) translated and run on a small
// in-memory database: their unqualified columns belong to their own FROM first, and date
// literals compared with their date columns are read like in a plain query.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/db/sql/SqliteSchema.h"
#include "platform/db/sql/Translator.h"

namespace {

// NOTAS keeps its own `fecha` as free text: a literal compared with it is never a date.
const char* kSchema = R"SQL(
CREATE TABLE MVT (numecuen VARCHAR(18), debito NUMERIC, fecha DATE);
CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60));
CREATE TABLE NOTAS (numecuen VARCHAR(18), fecha VARCHAR(10));
INSERT INTO MVT VALUES ('1105',10,'2024-01-05'),('1105',20,'2024-02-10'),('2205',5,'2024-01-20'),
  ('2205',7,'2024-03-01');
INSERT INTO PL VALUES ('1105','Caja'),('2205','Proveedores');
INSERT INTO NOTAS VALUES ('1105','pendiente'),('2205','01/20/2024');
)SQL";

class SubqueryScope : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  // Rows of the translated statement, fields joined by '|'; the translation on failure.
  std::vector<std::string> Rows(const std::string& sql) {
    tv::db::SqliteSchemaLookup schema(db_);
    tv::db::Translation tr;
    try {
      tr = tv::db::TranslateLocalSql(sql, schema);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      return {};
    }
    EXPECT_EQ(tr.statements.size(), 1u);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, tr.statements[0].c_str(), -1, &st, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n" << tr.statements[0];
      return {};
    }
    std::vector<std::string> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::string row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        if (c) row += '|';
        if (auto* t = sqlite3_column_text(st, c)) row += reinterpret_cast<const char*>(t);
      }
      rows.push_back(row);
    }
    sqlite3_finalize(st);
    return rows;
  }

  sqlite3* db_ = nullptr;
};

TEST_F(SubqueryScope, DatesInsideDerivedTablesAndSubqueries) {
  struct C {
    const char* sql;
    std::vector<std::string> rows;
  } cases[] = {
      // grouped derived table read by a plain outer query
      {"select x.numecuen, x.s from (select numecuen, sum(debito) as s from mvt where "
       "fecha<'02/01/2024' group by numecuen) as x order by x.numecuen",
       {"1105|10", "2205|5"}},
      // joined with an outer table, dates on both bounds
      {"select pl.nombcuen, x.s from pl, (select numecuen, sum(debito) as s from mvt where "
       "fecha>='01/15/2024' and fecha<='12/31/2024' group by numecuen) as x where "
       "pl.numecuen=x.numecuen order by pl.nombcuen",
       {"Caja|20", "Proveedores|12"}},
      // a join inside the derived table; its date column is only in one of the two tables
      {"select x.nombcuen, x.s from (select nombcuen, sum(debito) as s from mvt as m join pl as p "
       "on m.numecuen=p.numecuen where fecha<'02/01/2024' group by nombcuen) as x order by x.nombcuen",
       {"Caja|10", "Proveedores|5"}},
      // a derived table inside a derived table
      {"select count(*) from (select y.numecuen from (select numecuen from mvt where "
       "fecha>'02/01/2024') as y) as x",
       {"2"}},
      // subquery in WHERE, plain and correlated with the outer table
      {"select nombcuen from pl where numecuen in (select numecuen from mvt where fecha>='03/01/2024')",
       {"Proveedores"}},
      {"select nombcuen from pl where exists (select 1 from mvt where mvt.numecuen=pl.numecuen and "
       "fecha<'01/10/2024')",
       {"Caja"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Rows(c.sql), c.rows) << c.sql;
}

// A column of the derived table's own table is not taken for the outer table's column of the
// same name: neither its type (a text `fecha` is no date) nor its table (no outer prefix).
TEST_F(SubqueryScope, UnprefixedColumnsBelongToTheDerivedTable) {
  struct C {
    const char* sql;
    std::vector<std::string> rows;
  } cases[] = {
      {"select m.debito from mvt as m, (select numecuen from notas where fecha='pendiente') as n "
       "where m.numecuen=n.numecuen order by m.debito",
       {"10", "20"}},
      {"select n.numecuen, mvt.debito from mvt, (select numecuen from notas where fecha='01/20/2024') "
       "as n where mvt.numecuen=n.numecuen order by mvt.debito",
       {"2205|5", "2205|7"}},
      // two outer tables share `numecuen`: inside the derived table it is still NOTAS'
      {"select pl.nombcuen, count(*) as c from pl, mvt, (select numecuen from notas) as n where "
       "pl.numecuen=n.numecuen and mvt.numecuen=n.numecuen group by pl.nombcuen",
       {"Caja|2", "Proveedores|2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Rows(c.sql), c.rows) << c.sql;
}

}  // namespace
