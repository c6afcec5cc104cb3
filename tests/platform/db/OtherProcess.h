#pragma once
// Another process on the same database: this test binary run again with only the helper
// test selected, which executes SQL text on a folder's database and exits. A fresh process
// (not a fork) so its SQLite locks are its own while this process keeps its tables open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/db/Storage.h"
#include "support/SelfProcess.h"

namespace tv::db::testing {

// Exit status of the other process (0 = the statements ran). Each binary that uses it defines
//   TEST(OtherProcess, RunSql) { tv::db::testing::RunSqlWhenAsked(); }
inline int RunSqlInOtherProcess(const std::string& folder, const std::string& sql) {
  return tv::testing::WaitExit(
      tv::testing::StartSelf("OtherProcess.RunSql", {"TV_OTHER_DIR=" + folder, "TV_OTHER_SQL=" + sql}));
}

// The other process's side: runs the SQL (waiting for a busy database as a sqlite3 client
// would) and exits 2 when it failed. Does nothing when not started by RunSqlInOtherProcess.
inline void RunSqlWhenAsked() {
  const char* dir = std::getenv("TV_OTHER_DIR");
  const char* sql = std::getenv("TV_OTHER_SQL");
  if (!dir || !sql) GTEST_SKIP() << "only run by another test";
  sqlite3* db = nullptr;
  std::string path = std::string(dir) + "/" + tv::db::kDatabaseFileName;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
  if (rc != SQLITE_OK) std::_Exit(2);
}

// Whether another process sees this process's shared lock on the database's "-shm" file
// (the lock every open WAL connection holds): SQLite relies on it to know the log is in use.
inline bool LockSeenByOtherProcess(const std::string& folder) {
  return tv::testing::WaitExit(
             tv::testing::StartSelf("OtherProcess.CheckLock", {"TV_CHECK_SHM=" + folder + "tablas.sqlite-shm"})) == 0;
}

// Another process holding a folder's write lock (BEGIN IMMEDIATE) from construction until
// Release(): a seat in the middle of a long save. Each binary that uses it defines
//   TEST(OtherProcess, HoldWriteLock) { tv::db::testing::HoldWriteLockWhenAsked(); }
class WriteLockInOtherProcess {
 public:
  explicit WriteLockInOtherProcess(const std::string& folder) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
      close(toChild[0]);
      close(toChild[1]);
      return;
    }
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&fa, fromChild[1], 3);
    pid_ = tv::testing::StartSelf("OtherProcess.HoldWriteLock", {"TV_HOLD_DIR=" + folder}, &fa);
    posix_spawn_file_actions_destroy(&fa);
    close(toChild[0]);
    close(fromChild[1]);
    release_ = toChild[1];
    // The other process answers once it holds the lock (or failed to take it).
    char answer = 0;
    held_ = pid_ > 0 && read(fromChild[0], &answer, 1) == 1 && answer == '1';
    close(fromChild[0]);
  }
  ~WriteLockInOtherProcess() { Release(); }
  WriteLockInOtherProcess(const WriteLockInOtherProcess&) = delete;
  WriteLockInOtherProcess& operator=(const WriteLockInOtherProcess&) = delete;

  bool Held() const { return held_; }
  // Ends the other process's transaction and waits for the process to end.
  void Release() {
    if (release_ >= 0) close(release_);
    release_ = -1;
    tv::testing::WaitExit(pid_);
    pid_ = -1;
    held_ = false;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool held_ = false;
};

// The other process's side: takes the lock, says so on descriptor 3, keeps it until its
// input closes. Does nothing when not started by WriteLockInOtherProcess.
inline void HoldWriteLockWhenAsked() {
  const char* dir = std::getenv("TV_HOLD_DIR");
  if (!dir) GTEST_SKIP() << "only run by another test";
  sqlite3* db = nullptr;
  std::string path = std::string(dir) + "/" + tv::db::kDatabaseFileName;
  bool held = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
  char answer = held ? '1' : '0';
  if (write(3, &answer, 1) != 1) held = false;
  char buf[16];
  while (held && read(0, buf, sizeof buf) > 0) {
  }
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::_Exit(held ? 0 : 2);
}

}  // namespace tv::db::testing
