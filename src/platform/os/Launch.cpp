#include "platform/os/Launch.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

extern char** environ;

namespace fs = std::filesystem;

namespace {
std::mutex g_mutex;
std::function<void(const tv::os::LaunchRequest&)> g_recorder;
std::vector<pid_t> g_children;

// Children are not waited for; finished ones are collected on later launches so they
// do not linger as zombies.
void ReapFinished() {
  for (auto it = g_children.begin(); it != g_children.end();) {
    int status;
    pid_t r = waitpid(*it, &status, WNOHANG);
    if (r == *it || (r < 0 && errno == ECHILD))
      it = g_children.erase(it);
    else
      ++it;
  }
}

void SetError(AnsiString* error, const std::string& text) {
  if (error) *error = AnsiString(text);
}

bool Run(const tv::os::LaunchRequest& req, AnsiString* error) {
  std::function<void(const tv::os::LaunchRequest&)> recorder;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    recorder = g_recorder;
  }
  if (recorder) {
    recorder(req);
    return true;
  }
  std::vector<std::string> args;
  args.push_back(req.program.str());
  for (const auto& a : req.arguments) args.push_back(a.str());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // The child starts with no blocked signals and default handlers, whatever the
  // front end changed in this process.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid;
  int rc = posix_spawnp(&pid, args[0].c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (req.kind == tv::os::LaunchKind::HelpPage)
      SetError(error, "no se pudo iniciar un navegador (" + req.program.str() + ": " + std::strerror(rc) + ")");
    else
      SetError(error, req.program.str() + ": " + std::strerror(rc));
    return false;
  }
  if (req.kind == tv::os::LaunchKind::HelpPage) {
    // The opener fails at once when the desktop has no browser for the page; a running
    // browser keeps it alive or lets it end well. Without this wait F1 did nothing at all.
    for (int i = 0; i < 100; ++i) {
      int status = 0;
      pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) {
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
        SetError(error, "no se pudo iniciar un navegador (" + req.program.str() + " terminó con el código " +
                            std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")");
        return false;
      }
      if (r < 0) break;
      usleep(20000);
    }
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  ReapFinished();
  g_children.push_back(pid);
  return true;
}

// Absolute path, so a name beginning with '-' can never be taken for an option.
std::string Absolute(const AnsiString& path) {
  std::error_code ec;
  fs::path abs = fs::absolute(fs::path(path.str()), ec);
  return ec ? path.str() : abs.lexically_normal().string();
}

bool OpenFileWith(tv::os::LaunchKind kind, const AnsiString& path, AnsiString* error) {
  std::error_code ec;
  std::string abs = Absolute(path);
  if (path.IsEmpty() || !fs::exists(fs::path(abs), ec)) {
    SetError(error, "No such file: " + path.str());
    return false;
  }
  tv::os::LaunchRequest req;
  req.kind = kind;
  req.program = "xdg-open";
  req.arguments = {AnsiString(abs)};
  req.target = AnsiString(abs);
  return Run(req, error);
}
}  // namespace

namespace tv::os {

void SetLaunchRecorder(std::function<void(const LaunchRequest&)> recorder) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_recorder = std::move(recorder);
}

bool LaunchProgram(const AnsiString& program, const std::vector<AnsiString>& arguments,
                   AnsiString* error) {
  if (program.IsEmpty()) {
    SetError(error, "No program given");
    return false;
  }
  LaunchRequest req;
  req.kind = LaunchKind::Program;
  req.program = program;
  req.arguments = arguments;
  return Run(req, error);
}

bool OpenDocument(const AnsiString& path, AnsiString* error) {
  return OpenFileWith(LaunchKind::Document, path, error);
}

bool OpenInTextViewer(const AnsiString& path, AnsiString* error) {
  return OpenFileWith(LaunchKind::TextViewer, path, error);
}

AnsiString FileUrl(const AnsiString& path, const AnsiString& anchor) {
  static const char* hex = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : Absolute(path)) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  if (!anchor.IsEmpty()) url += "#" + anchor.str();
  return AnsiString(url);
}

bool OpenHelpPage(const AnsiString& htmlPath, const AnsiString& anchor, AnsiString* error) {
  std::error_code ec;
  if (htmlPath.IsEmpty() || !fs::exists(fs::path(Absolute(htmlPath)), ec)) {
    SetError(error, "No such file: " + htmlPath.str());
    return false;
  }
  LaunchRequest req;
  req.kind = LaunchKind::HelpPage;
  req.program = "xdg-open";
  req.target = FileUrl(htmlPath, anchor);
  req.arguments = {req.target};
  return Run(req, error);
}

}  // namespace tv::os
