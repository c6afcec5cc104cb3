// Dropping a table (a form's temporary table, say) closes only the tables open on it.
#include <memory>

#include "DbFixture.h"

namespace {

std::unique_ptr<TTable> Abierta(const char* name) {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->TableName = name;
  t->Open();
  return t;
}

TEST_F(DbTest, DroppingATableLeavesTheOtherDatasetsOpen) {
  Sql("INSERT INTO TC VALUES ('900', 'Uno'), ('901', 'Dos'); CREATE TABLE tmp1 (x INTEGER)");
  auto tc = Abierta("TC.db");
  auto pl = Abierta("pl");
  auto tmp = Abierta("tmp1.db");
  auto otraTmp = Abierta("'TMP1.DB'");
  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->SetText("select cedulanit from tc order by cedulanit");
  q.Open();  // still streaming: the drop must not leave it half read

  tv::db::DropTable("Contabilidad", "tmp1");

  EXPECT_FALSE(tmp->Active);
  EXPECT_FALSE(otraTmp->Active);
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", "tmp1"));
  ASSERT_TRUE(tc->Active);
  ASSERT_TRUE(pl->Active);
  ASSERT_TRUE(q.Active);
  EXPECT_EQ(tc->RecordCount, 2);
  tc->Last();
  EXPECT_EQ(tc->FieldByName("nombre")->AsString, "Dos");
  q.Last();
  EXPECT_EQ(q.FieldByName("cedulanit")->AsString, "901");
  EXPECT_EQ(q.RecordCount, 2);
}

}  // namespace
