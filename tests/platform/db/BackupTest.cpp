// A consistent copy of an open database into another folder.
#include "DbFixture.h"

TEST_F(DbTest, BackupCopiesCommittedRowsOfAnOpenDatabase) {
  Sql("INSERT INTO TC VALUES ('1', 'Uno'); INSERT INTO TC VALUES ('2', 'Dos');");
  TTable tc(nullptr);
  tc.DatabaseName = "Contabilidad";
  tc.TableName = "TC.db";
  tc.Open();
  std::string copy = dir_ + "copia";
  std::filesystem::create_directories(copy);
  {
    // rows of a transaction still open are not part of the copy
    tv::db::Transaction tx("Contabilidad");
    Sql("INSERT INTO TC VALUES ('3', 'Tres')");
    tv::db::BackupDatabase("Contabilidad", copy.c_str());
  }
  auto conn = tv::db::ConnectionFor(copy.c_str());
  tv::db::Stmt st = conn->Prepare("SELECT count(*), min(nombre) FROM TC");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Column(0).i, 2);
  EXPECT_EQ(st.Column(1).s, "Dos");
  EXPECT_FALSE(std::filesystem::exists(copy + "/tablas.sqlite-journal"));
  tv::db::ReleaseDatabase(copy.c_str());
  EXPECT_THROW(tv::db::BackupDatabase("Contabilidad", (dir_ + "no/existe").c_str()), EDBEngineError);
}
