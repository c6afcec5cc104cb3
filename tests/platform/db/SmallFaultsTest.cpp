// Hostile values and media: a LIKE pattern that is not UTF-8, books on a read-only medium.
#include <sys/mount.h>

#include <filesystem>

#include "DbFixture.h"

namespace {
int Rows(const std::string& sql) {
  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->Add(AnsiString(sql));
  q.Open();
  return q.RecordCount;
}
}  // namespace

TEST_F(DbTest, LikePatternThatIsNotUtf8IsRefusedInsteadOfMatchingOtherRows) {
  // two different invalid bytes: SQLite would read both as the same replacement character
  Sql("INSERT INTO PL (numecuen, nombcuen) VALUES ('1', 'a\xfe'), ('2', 'peña')");
  EXPECT_EQ(Rows("select * from pl where nombcuen like 'pe\xc3\xb1%'"), 1);
  for (const char* bad : {"select * from pl where nombcuen like 'a\xff'", "select * from pl where nombcuen like 'a\xc0\x80%'",
                          "select * from pl where nombcuen like 'pe\xc3'"}) {
    try {
      Rows(bad);
      ADD_FAILURE() << bad;
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.ErrorCode(), DBIERR_QRYSYNTERR);
    }
  }
}

// Needs a file system mounted read-only: skipped where the test may not mount one.
TEST(ReadOnlyMedium, BooksOpenForReadingAndRefuseWrites) {
  char tmpl[] = "/tmp/tvromXXXXXX";
  std::string mnt = mkdtemp(tmpl);
  if (mount("tvro", mnt.c_str(), "tmpfs", 0, "size=4m") != 0) {
    std::filesystem::remove(mnt);
    GTEST_SKIP() << "cannot mount a file system here";
  }
  std::string dir = mnt + "/";
  {
    auto conn = tv::db::ConnectionFor(dir.c_str());
    conn->Exec("CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60))");
    conn->Exec("INSERT INTO PL VALUES ('1105', 'Caja')");
  }
  tv::db::ReleaseDatabase(dir.c_str());
  ASSERT_EQ(mount("tvro", mnt.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
  {
    TTable t(nullptr);
    t.DatabaseName = dir.c_str();
    t.TableName = "PL";
    t.Open();
    EXPECT_EQ(t.FieldByName("nombcuen")->AsString, "Caja");
    t.Edit();
    t.FieldByName("nombcuen")->AsString = "Bancos";
    try {
      t.Post();
      ADD_FAILURE() << "a write went to a read-only medium";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.ErrorCode(), DBIERR_READONLY);
      EXPECT_EQ(DBIUserText(e), tv::db::kReadOnlyBooksText) << e.Message.c_str();
    }
    t.Cancel();
  }
  tv::db::ReleaseDatabase(dir.c_str());
  umount(mnt.c_str());
  std::filesystem::remove(mnt);
}

// A seat whose view of the books is read-only (here a read-only mount of the same folder)
// sees every row another seat committed, also while those rows are only in the log.
TEST(ReadOnlyMedium, ReadOnlySeatSeesRowsStillInTheLog) {
  char tmpl[] = "/tmp/tvrologXXXXXX";
  std::string base = mkdtemp(tmpl);
  std::string rw = base + "/rw", ro = base + "/ro";
  std::filesystem::create_directories(rw);
  std::filesystem::create_directories(ro);
  if (mount("tvrolog", rw.c_str(), "tmpfs", 0, "size=8m") != 0) {
    std::filesystem::remove_all(base);
    GTEST_SKIP() << "cannot mount a file system here";
  }
  ASSERT_EQ(mount(rw.c_str(), ro.c_str(), nullptr, MS_BIND, nullptr), 0);
  ASSERT_EQ(mount(nullptr, ro.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
  std::string writerDir = rw + "/", readerDir = ro + "/";
  {
    auto writer = tv::db::ConnectionFor(writerDir.c_str());
    writer->Exec("CREATE TABLE MVT (numedocu VARCHAR(10), debito NUMERIC)");
    for (int i = 0; i < 40; ++i) writer->Exec("INSERT INTO MVT VALUES ('" + std::to_string(i) + "', 1)");
    ASSERT_TRUE(std::filesystem::exists(rw + "/" + tv::db::kDatabaseFileName + "-wal"));
    TQuery q(nullptr);
    q.DatabaseName = readerDir.c_str();
    q.SQL->Add("select count(*) as n from MVT");
    q.Open();
    EXPECT_EQ(q.FieldByName("n")->AsInteger, 40);
    q.Close();
    // later commits are seen at the next read
    writer->Exec("INSERT INTO MVT VALUES ('41', 1)");
    q.Open();
    EXPECT_EQ(q.FieldByName("n")->AsInteger, 41);
    q.Close();
    try {
      tv::db::ConnectionFor(readerDir.c_str())->Exec("INSERT INTO MVT VALUES ('x', 1)");
      ADD_FAILURE() << "a read-only seat wrote";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(DBIUserText(e), tv::db::kReadOnlyBooksText) << e.Message.c_str();
    }
  }
  tv::db::ReleaseDatabase(readerDir.c_str());
  tv::db::ReleaseDatabase(writerDir.c_str());
  umount(ro.c_str());
  umount(rw.c_str());
  std::filesystem::remove_all(base);
}
