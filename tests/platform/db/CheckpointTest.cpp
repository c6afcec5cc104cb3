// Commits leave the log for idle time; a private working table per connection.
#include <sys/stat.h>

#include "DbFixture.h"
#include "OtherProcess.h"
#include "platform/db/Checkpoint.h"
#include "platform/db/PrivateTable.h"

namespace {

class Checkpoint : public DbTest {
 protected:
  long long LogBytes() {
    struct stat st {};
    return ::stat((dir_ + tv::db::kDatabaseFileName + "-wal").c_str(), &st) == 0 ? st.st_size : 0;
  }
  void Lines(int from, int n) {
    tv::db::Transaction tx("Contabilidad");
    auto conn = tv::db::ConnectionFor("Contabilidad");
    for (int i = from; i < from + n; ++i)
      conn->Exec("INSERT INTO MVT (descdocu, numedocu, numecuen, detalle_relleno) VALUES ('CE', '" + std::to_string(i) +
                 "', '110505', '" + std::string(900, 'x') + "')");
    tx.Commit();
  }
};

}  // namespace

TEST_F(Checkpoint, CommitsLeaveTheirRowsInTheLogUntilIdleAndOthersSeeThem) {
  Sql("ALTER TABLE MVT ADD COLUMN detalle_relleno TEXT");
  auto conn = tv::db::ConnectionFor("Contabilidad");
  Lines(0, 10);
  // The commit did not copy the log into the file; another process sees the rows anyway.
  EXPECT_GT(conn->WalFrames(), 0);
  EXPECT_GT(LogBytes(), 0);
  EXPECT_EQ(tv::db::testing::RunSqlInOtherProcess(
                dir_, "SELECT CASE WHEN (SELECT count(*) FROM MVT) = 10 THEN 1 ELSE abs(-9223372036854775808) END"),
            0);
  // A short log waits; a long one is copied when idle and the next commit starts it over.
  tv::db::CheckpointWhenIdle();
  EXPECT_GT(conn->WalFrames(), 0);
  Lines(10, 4 * tv::db::kIdleCheckpointFrames);
  EXPECT_GE(conn->WalFrames(), tv::db::kIdleCheckpointFrames);
  tv::db::CheckpointWhenIdle();
  EXPECT_EQ(conn->WalFrames(), 0);
  Lines(5000, 1);
  EXPECT_LT(conn->WalFrames(), 20);
  EXPECT_EQ(Scalar("SELECT count(*) FROM MVT"), 4011);
}

TEST_F(Checkpoint, PrivateTableHidesTheSharedOneForThisConnectionOnly) {
  Sql("CREATE TABLE asientos (NUMECUEN VARCHAR(18), DEBITO NUMERIC); INSERT INTO asientos VALUES ('otro', 1)");
  EXPECT_FALSE(tv::db::UsePrivateTable("Contabilidad", "noexiste"));
  ASSERT_TRUE(tv::db::UsePrivateTable("Contabilidad", "asientos.DB"));
  ASSERT_TRUE(tv::db::UsePrivateTable("Contabilidad", "asientos"));
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "asientos.DB";
  t.Open();
  EXPECT_TRUE(t.IsEmpty());
  t.Append();
  t.FieldByName("NUMECUEN")->AsString = "mio";
  t.Post();
  EXPECT_EQ(t.FieldByName("NUMECUEN")->Size(), 18);
  EXPECT_EQ(Scalar("SELECT count(*) FROM asientos"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) FROM main.asientos WHERE NUMECUEN='otro'"), 1);
  // Another process sees only the shared rows.
  EXPECT_EQ(tv::db::testing::RunSqlInOtherProcess(
                dir_, "SELECT CASE WHEN (SELECT group_concat(NUMECUEN) FROM asientos) = 'otro' THEN 1 "
                      "ELSE abs(-9223372036854775808) END"),
            0);
  t.Close();
}
