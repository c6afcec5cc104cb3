// A post or delete changes exactly the row the user saw, even when another process
// deleted, replaced or changed it in between.

#include <cstdlib>
#include <memory>

#include "DbFixture.h"
#include "OtherProcess.h"

using tv::db::testing::RunSqlInOtherProcess;

// The helper run by RunSqlInOtherProcess; skipped in ordinary runs.
TEST(OtherProcess, RunSql) { tv::db::testing::RunSqlWhenAsked(); }

namespace {
std::unique_ptr<TTable> OpenTc() {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->TableName = "TC.db";
  t->Open();
  return t;
}

void ExpectRowChanged(const std::function<void()>& action) {
  try {
    action();
    ADD_FAILURE() << "the stale write went through";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.ErrorCode(), DBIERR_RECCHANGED);
    EXPECT_EQ(e.Message, "Otro usuario modificó o borró el registro; vuelva a leerlo.");
  }
}
}  // namespace

TEST_F(DbTest, StaleEditOrDeleteIsRefusedAndWritesNothing) {
  struct Case {
    const char* other;  // what the other process does after the row was read
    bool del;           // the user deletes instead of editing
    const char* after;  // names left in TC, in key order
  } cases[] = {
      {"DELETE FROM TC WHERE cedulanit='3'", false, "1 Ana|2 Beto|"},
      // the last row deleted and another inserted: SQLite hands out the same row id again
      {"DELETE FROM TC WHERE cedulanit='3'; INSERT INTO TC VALUES ('9','Zoe')", false, "1 Ana|2 Beto|9 Zoe|"},
      {"UPDATE TC SET nombre='Carla' WHERE cedulanit='3'", false, "1 Ana|2 Beto|3 Carla|"},
      {"UPDATE TC SET nombre='Carla' WHERE cedulanit='3'", true, "1 Ana|2 Beto|3 Carla|"},
      {"DELETE FROM TC WHERE cedulanit='3'", true, "1 Ana|2 Beto|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.other);
    Sql("DELETE FROM TC; INSERT INTO TC VALUES ('1','Ana'),('2','Beto'),('3','Ciro')");
    auto tc = OpenTc();
    tc->Last();
    ASSERT_EQ(tc->FieldByName("nombre")->AsString, "Ciro");
    ASSERT_EQ(RunSqlInOtherProcess(dir_, c.other), 0);
    if (c.del) {
      ExpectRowChanged([&] { tc->Delete(); });
    } else {
      tc->Edit();
      tc->FieldByName("nombre")->AsString = "Cecilia";
      ExpectRowChanged([&] { tc->Post(); });
      tc->Cancel();
    }
    tc->Refresh();
    std::string rows;
    for (tc->First(); !tc->Eof; tc->Next())
      rows += tc->FieldByName("cedulanit")->AsString.str() + " " + tc->FieldByName("nombre")->AsString.str() + "|";
    EXPECT_EQ(rows, c.after);
  }
}

TEST_F(DbTest, EditAndDeleteOfAnUnchangedRowStillWork) {
  Sql("INSERT INTO TC VALUES ('1','Ana'),('2','Beto')");
  ASSERT_EQ(RunSqlInOtherProcess(dir_, "UPDATE TC SET nombre='Beatriz' WHERE cedulanit='2'"), 0);
  auto tc = OpenTc();
  tc->First();
  tc->Edit();
  tc->FieldByName("nombre")->AsString = "Ana María";
  tc->Post();
  tc->Next();
  EXPECT_EQ(tc->FieldByName("nombre")->AsString, "Beatriz");
  tc->Delete();
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC WHERE nombre='Ana María'"), 1);
}
