#pragma once
// This test binary started again as another process with only one of its tests selected. A
// fresh process (not a fork), so its SQLite locks and its globals are its own while this
// process keeps its tables open.
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace tv::testing {

// Starts the test `test` ("Suite.Name") of this binary with `variables` ("NAME=value") added
// to this process's environment (replacing any of the same name); `actions` (may be null)
// sets up its descriptors. Returns the pid, or -1 when it could not start.
inline pid_t StartSelf(const std::string& test, const std::vector<std::string>& variables,
                       const posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<std::string> own = variables;
  std::vector<char*> envp;
  auto given = [&](const char* e) {
    for (auto& v : own) {
      size_t eq = v.find('=');
      if (eq != std::string::npos && std::strncmp(e, v.c_str(), eq + 1) == 0) return true;
    }
    return false;
  };
  for (char** e = environ; *e; ++e)
    if (!given(*e)) envp.push_back(*e);
  for (auto& v : own) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filter = "--gtest_filter=" + test, quiet = "--gtest_brief=1";
  char* argv[] = {self.data(), filter.data(), quiet.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), actions, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

// Waits for a process StartSelf started: its exit status, or -1 when it did not start or did
// not exit normally.
inline int WaitExit(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tv::testing
