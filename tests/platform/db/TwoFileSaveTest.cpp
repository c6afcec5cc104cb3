// A save over two database files ends with both or neither: killed at random points
// (hundreds of times) and with one file's write failing (file-size limit in a child).
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {

namespace fs = std::filesystem;

class TwoFileSave : public ::testing::Test {
 protected:
  void SetUp() override {
    // in memory where possible: the kills aim at points of the program, not of the disk
    std::string root = fs::is_directory("/dev/shm") ? "/dev/shm/tvtwoXXXXXX" : "/tmp/tvtwoXXXXXX";
    root_ = mkdtemp(root.data());
    a_ = root_ + "/programa/";
    b_ = root_ + "/libros/";
    fs::create_directories(a_);
    fs::create_directories(b_);
    Run(a_, "CREATE TABLE Config (ReteFuente VARCHAR(18), ReteIva VARCHAR(18)); INSERT INTO Config VALUES ('0','0')");
    Run(b_, "CREATE TABLE ConfigContab (Utilidad VARCHAR(18), Perdida VARCHAR(18)); INSERT INTO ConfigContab VALUES ('0','0')");
    Release();
  }
  void TearDown() override {
    Release();
    fs::remove_all(root_);
  }
  void Release() {
    tv::db::ReleaseDatabase(a_.c_str());
    tv::db::ReleaseDatabase(b_.c_str());
  }
  static void Run(const std::string& folder, const std::string& sql) {
    auto conn = tv::db::ConnectionFor(folder.c_str());
    ASSERT_EQ(sqlite3_exec(conn->Db(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    conn->SchemaChanged();
  }
  static std::string Values(const std::string& folder, const char* table) {
    auto conn = tv::db::ConnectionFor(folder.c_str());
    tv::db::Stmt st = conn->Prepare(std::string("SELECT * FROM ") + table);
    std::string r;
    while (st.Step()) r += st.Column(0).s + "/" + st.Column(1).s + ";";
    return r;
  }
  // Both tables of the save, as the special accounts form writes them.
  void Save(const std::string& value) {
    tv::db::TwoFileTransaction tx(a_.c_str(), b_.c_str());
    for (auto [folder, table] : {std::pair{a_, "Config"}, std::pair{b_, "ConfigContab"}}) {
      TTable t(nullptr);
      t.DatabaseName = folder.c_str();
      t.TableName = table;
      t.Open();
      t.Edit();
      t.Fields[0]->AsString = value.c_str();
      t.Fields[1]->AsString = value.c_str();
      t.Post();
    }
    tx.Commit();
  }
  long long PendingRecords() {
    sqlite3* db = nullptr;
    long long n = 0;
    sqlite3_open((a_ + tv::db::kDatabaseFileName).c_str(), &db);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM tv_pending_save", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
  }

  std::string root_, a_, b_;
};

}  // namespace

TEST_F(TwoFileSave, KilledAtAnyPointLeavesBothFilesAlike) {
  // How long a child takes to its first whole save: the kills fall on either side of it.
  auto t0 = std::chrono::steady_clock::now();
  pid_t probe = fork();
  ASSERT_GE(probe, 0);
  if (probe == 0) {
    Save("0");
    _exit(0);
  }
  waitpid(probe, nullptr, 0);
  auto firstSave = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
  std::mt19937 rng(5);
  const int kKills = 250;
  int killed = 0, completedLater = 0, saves = 0;
  for (int k = 0; k < kKills; ++k) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int n = 1;; ++n) Save(std::to_string(k) + "-" + std::to_string(n));
    }
    usleep(static_cast<useconds_t>(rng() % static_cast<unsigned>(3 * firstSave + 1)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) ++killed;
    if (PendingRecords() > 0) ++completedLater;
    std::string a = Values(a_, "Config"), b = Values(b_, "ConfigContab");
    ASSERT_EQ(a, b) << "kill " << k;
    if (a != "0/0;") ++saves;
    EXPECT_EQ(PendingRecords(), 0);
    Release();
  }
  EXPECT_EQ(killed, kKills);
  EXPECT_GT(saves, kKills / 2);
  RecordProperty("pending_saves_completed_at_open", completedLater);
}

TEST_F(TwoFileSave, FailedWriteOfEitherFileKeepsBothOld) {
  for (bool failSecond : {true, false}) {
    SCOPED_TRACE(failSecond ? "second file full" : "first file full");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // The file that is to fail gets a long log (no checkpoints), so its next commit
      // writes past the size limit while the other's log starts again from empty.
      const std::string& full = failSecond ? b_ : a_;
      const std::string& fine = failSecond ? a_ : b_;
      auto fullConn = tv::db::ConnectionFor(full.c_str());
      sqlite3_exec(fullConn->Db(),
                   "PRAGMA wal_autocheckpoint=0; CREATE TABLE pad (x); INSERT INTO pad VALUES (zeroblob(400000));"
                   " DELETE FROM pad;",
                   nullptr, nullptr, nullptr);
      auto fineConn = tv::db::ConnectionFor(fine.c_str());
      sqlite3_wal_checkpoint_v2(fineConn->Db(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
      signal(SIGXFSZ, SIG_IGN);
      rlimit small{200000, RLIM_INFINITY};
      setrlimit(RLIMIT_FSIZE, &small);
      bool raised = false;
      try {
        Save("nuevo");
      } catch (const EDBEngineError&) {
        raised = true;
      }
      rlimit none{RLIM_INFINITY, RLIM_INFINITY};
      setrlimit(RLIMIT_FSIZE, &none);
      bool old = Values(a_, "Config") == "0/0;" && Values(b_, "ConfigContab") == "0/0;";
      _exit(raised && old ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Values(a_, "Config"), "0/0;");
    EXPECT_EQ(Values(b_, "ConfigContab"), "0/0;");
    Release();
  }
}

TEST_F(TwoFileSave, SavesBothAndLeavesNoRecord) {
  Save("243605");
  EXPECT_EQ(Values(a_, "Config"), "243605/243605;");
  EXPECT_EQ(Values(b_, "ConfigContab"), "243605/243605;");
  EXPECT_EQ(PendingRecords(), 0);
  std::vector<AnsiString> names = tv::db::TableNames(b_.c_str());
  EXPECT_EQ(names.size(), 1u);
}
