#include "platform/os/Process.h"

#include <limits.h>
#include <stdlib.h>

#include <mutex>
#include <string>
#include <vector>

namespace {
std::mutex g_mutex;
std::string g_programDirOverride;
std::vector<std::string> g_args;
std::function<void()> g_beepHook;

std::string ExecutablePath() {
  char buf[PATH_MAX];
  if (realpath("/proc/self/exe", buf)) return buf;
  return {};
}
}  // namespace

namespace tv::os {

AnsiString GetExeDir() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_programDirOverride.empty()) return AnsiString(g_programDirOverride);
  }
  std::string exe = ExecutablePath();
  auto slash = exe.rfind('/');
  if (slash == std::string::npos) return AnsiString("./");
  return AnsiString(exe.substr(0, slash + 1));
}

void SetProgramDirForTests(const AnsiString& dir) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_programDirOverride = dir.str();
  if (!g_programDirOverride.empty() && g_programDirOverride.back() != '/')
    g_programDirOverride += '/';
}

void InitCommandLine(int argc, char** argv) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_args.clear();
  for (int i = 0; i < argc; ++i) g_args.emplace_back(argv[i] ? argv[i] : "");
}

void SetBeepHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_beepHook = std::move(hook);
}

}  // namespace tv::os

AnsiString ParamStr(int index) {
  if (index == 0) {
    // The full path, whatever argv[0] says (it may be relative or a bare name).
    std::string exe = ExecutablePath();
    if (!exe.empty()) return AnsiString(exe);
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  if (index < 0 || index >= static_cast<int>(g_args.size())) return AnsiString();
  return AnsiString(g_args[index]);
}

int ParamCount() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_args.empty() ? 0 : static_cast<int>(g_args.size()) - 1;
}

void MessageBeep(unsigned /*type*/) {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    hook = g_beepHook;
  }
  if (hook) hook();
}
