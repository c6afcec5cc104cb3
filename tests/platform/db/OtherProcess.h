#pragma once
// Another process on the same database: this test binary run again with only the helper
// test selected, which executes SQL text on a folder's database and exits. A fresh process
// (not a fork) so its SQLite locks are its own while this process keeps its tables open.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace tv::db::testing {

// Exit status of the other process (0 = the statements ran).
inline int RunSqlInOtherProcess(const std::string& folder, const std::string& sql) {
  std::vector<std::string> env = {"TV_OTHER_DIR=" + folder, "TV_OTHER_SQL=" + sql};
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=OtherProcess.RunSql";
  std::string quiet = "--gtest_brief=1";
  char* argv[] = {self.data(), filter.data(), quiet.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tv::db::testing

namespace tv::db::testing {

// Whether another process sees this process's shared lock on the database's "-shm" file
// (the lock every open WAL connection holds): SQLite relies on it to know the log is in use.
inline bool LockSeenByOtherProcess(const std::string& folder) {
  std::vector<std::string> env = {"TV_CHECK_SHM=" + folder + "tablas.sqlite-shm"};
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=OtherProcess.CheckLock";
  std::string quiet = "--gtest_brief=1";
  char* argv[] = {self.data(), filter.data(), quiet.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tv::db::testing
