// No operation on database files opens them outside SQLite while their database is open:
// closing such a descriptor would drop this process's locks, and another program (the
// sqlite3 shell) could then take the log for unused and remove it. After each operation a
// second process checks that the lock still holds.
#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "DbFixture.h"
#include "OtherProcess.h"
#include "platform/core/IniFiles.h"

using tv::db::testing::LockSeenByOtherProcess;

// The helper run by LockSeenByOtherProcess; skipped in ordinary runs.
TEST(OtherProcess, CheckLock) {
  const char* shm = std::getenv("TV_CHECK_SHM");
  if (!shm) GTEST_SKIP() << "only run by another test";
  int fd = open(shm, O_RDWR);
  struct flock lk {};
  lk.l_type = F_WRLCK;
  lk.l_whence = SEEK_SET;
  lk.l_start = 128;  // the lock every connection of the log holds
  lk.l_len = 1;
  bool held = fd >= 0 && fcntl(fd, F_GETLK, &lk) == 0 && lk.l_type != F_UNLCK;
  std::_Exit(held ? 0 : 3);
}

TEST_F(DbTest, OperationsOnDatabaseFilesKeepTheLocks) {
  Sql("INSERT INTO PL (numecuen, nombcuen) VALUES ('1105', 'Caja')");
  auto pl = std::make_unique<TTable>(nullptr);
  pl->DatabaseName = "Contabilidad";
  pl->TableName = "PL";
  pl->Open();
  ASSERT_TRUE(LockSeenByOtherProcess(dir_));
  char tmpl[] = "/tmp/tvlockXXXXXX";
  std::string other = std::string(mkdtemp(tmpl)) + "/";
  struct {
    const char* what;
    std::function<void()> run;
  } ops[] = {
      {"settings written in the folder", [&] { TIniFile(AnsiString(dir_) + "data.ini").WriteString("A", "b", "c"); }},
      {"table copy", [&] { tv::db::CopyTable("Contabilidad", "PL", other.c_str(), "PL"); }},
      {"backup of a table", [&] { tv::db::BackupTable("Contabilidad", "PL", "Contabilidad", "PL_copia"); }},
      {"integrity check", [&] { tv::db::IntegrityCheck("Contabilidad"); }},
      {"table rebuild", [&] { tv::db::RebuildTable("Contabilidad", "TC"); }},
      {"copy of the whole database", [&] { tv::db::BackupDatabase("Contabilidad", other.c_str()); }},
      {"table file checks", [&] { tv::db::TableFileExists(AnsiString(dir_) + "PL.db"); }},
  };
  for (const auto& op : ops) {
    SCOPED_TRACE(op.what);
    op.run();
    if (!pl->Active) pl->Open();
    EXPECT_TRUE(LockSeenByOtherProcess(dir_));
  }
  tv::db::ReleaseDatabase(other.c_str());
  std::filesystem::remove_all(other);
  // the check itself: a descriptor of the database file opened and closed outside SQLite
  { std::ifstream((dir_ + tv::db::kDatabaseFileName).c_str()).get(); }
  std::ifstream((dir_ + "tablas.sqlite-shm").c_str()).get();
  EXPECT_FALSE(LockSeenByOtherProcess(dir_)) << "closing a foreign descriptor drops the lock";
}
