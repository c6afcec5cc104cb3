// A table is proven sound only when its rows read and each index holds exactly those rows,
// with no unique key twice; a rebuild makes a damaged one sound again and keeps the first row
// of a repeated unique key.
#include <sqlite3.h>

#include <functional>

#include "DbFixture.h"

namespace {

class TableSound : public DbTest {
 public:
  using DbTest::Scalar;
  using DbTest::Sql;
  void SetUp() override {
    DbTest::SetUp();
    Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
        "INSERT INTO TC (cedulanit, nombre) SELECT printf('%04d', i), 'nombre ' || (i % 50) FROM n;");
  }

  // Raw statements on the file, each list on a fresh handle (the schema is read again).
  void Raw(std::initializer_list<std::string> steps) {
    tv::db::ReleaseDatabase("Contabilidad");
    std::string file = dir_ + tv::db::kDatabaseFileName;
    for (const auto& sql : steps) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
      tv::db::RegisterSpanishText(db);
      char* err = nullptr;
      int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
      EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << "\n" << sql;
      sqlite3_free(err);
      sqlite3_close(db);
    }
  }

  // Runs `change` on TC while the index does not exist for SQLite, then puts it back: the
  // index misses what changed.
  void ChangeBehindIndex(const std::string& index, const std::string& change) {
    long long root = Scalar("SELECT rootpage FROM sqlite_master WHERE name = '" + index + "'");
    std::string sql;
    {
      auto conn = tv::db::ConnectionFor("Contabilidad");
      tv::db::Stmt st = conn->Prepare("SELECT sql FROM sqlite_master WHERE name = '" + index + "'");
      ASSERT_TRUE(st.Step());
      sql = st.Column(0).s;
    }
    std::string quoted;
    for (char c : sql) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    Raw({"PRAGMA writable_schema = ON; DELETE FROM sqlite_master WHERE name = '" + index + "';", change,
         "PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('index', '" + index + "', 'TC', " +
             std::to_string(root) + ", '" + quoted + "');"});
  }
};

}  // namespace

TEST_F(TableSound, EachKindOfDamageIsFoundAndARebuildMendsIt) {
  struct Case {
    const char* name;
    std::function<void(TableSound&)> damage;
    int skippedByRebuild;
  } cases[] = {
      {"a row missing from an index",
       [](TableSound& t) { t.ChangeBehindIndex("TC_IdxNombre", "INSERT INTO TC VALUES ('9999', 'sin indice')"); }, 0},
      {"an index entry with an old value, same count",
       [](TableSound& t) {
         t.ChangeBehindIndex("TC_IdxNombre", "UPDATE TC SET nombre = 'otro' WHERE cedulanit = '0007'");
       },
       0},
      {"an entry left in an index after its row went",
       [](TableSound& t) { t.ChangeBehindIndex("TC_IdxNombre", "DELETE FROM TC WHERE cedulanit = '0008'"); }, 0},
      {"a unique index holding a key twice",
       [](TableSound& t) {
         t.Sql("CREATE INDEX TC_Unico ON TC (nombre)");
         t.Raw({"PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE UNIQUE INDEX TC_Unico ON TC "
                "(nombre)' WHERE name = 'TC_Unico';"});
       },
       450},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    ASSERT_TRUE(tv::db::TableSound("Contabilidad", "TC"));
    c.damage(*this);
    EXPECT_FALSE(tv::db::TableSound("Contabilidad", "TC"));
    long long before = Scalar("SELECT count(*) FROM TC NOT INDEXED");
    auto r = tv::db::RebuildTable("Contabilidad", "TC");
    EXPECT_EQ(r.skipped, c.skippedByRebuild);
    EXPECT_EQ(r.copied, before - c.skippedByRebuild);
    EXPECT_TRUE(tv::db::TableSound("Contabilidad", "TC"));
    EXPECT_EQ(tv::db::IntegrityCheck("Contabilidad"), std::vector<AnsiString>{"ok"});
  }
  // the first row of a repeated key stays
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC WHERE cedulanit = '0001' AND nombre = 'nombre 1'"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC WHERE cedulanit = '0051'"), 0);
}

TEST_F(TableSound, TablesThatCannotBeProvenAreNotSound) {
  EXPECT_FALSE(tv::db::TableSound("Contabilidad", "NoExiste"));
  Sql("CREATE INDEX TC_Parcial ON TC (nombre) WHERE nombre > 'n'");
  EXPECT_FALSE(tv::db::TableSound("Contabilidad", "TC"));
  Sql("DROP INDEX TC_Parcial; CREATE INDEX TC_Expresion ON TC (nombre || 'x')");
  EXPECT_FALSE(tv::db::TableSound("Contabilidad", "TC"));
  // an empty table and one without indexes are sound
  EXPECT_TRUE(tv::db::TableSound("Contabilidad", "MVT"));
  EXPECT_TRUE(tv::db::TableSound("Contabilidad", "PL"));
}
