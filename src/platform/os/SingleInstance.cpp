#include "platform/os/SingleInstance.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

namespace {
std::mutex g_mutex;
struct Held {
  int fd;
  pid_t owner;  // a forked child inherits the table but must not count as the holder
};
std::map<std::string, Held> g_held;  // lock path -> descriptor kept open

std::string SafeName(const std::string& name) {
  std::string out = name.empty() ? std::string("tallivar") : name;
  for (char& c : out)
    if (c == '/' || c == '\\') c = '_';
  return out;
}
}  // namespace

namespace tv::os {

AnsiString SingleInstanceLockPath(const AnsiString& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st;
  if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
    return AnsiString(std::string(runtime) + "/" + SafeName(name.str()) + ".lock");
  // /tmp is shared by every user: the uid keeps one user's lock from blocking another.
  return AnsiString("/tmp/" + SafeName(name.str()) + "-" + std::to_string(getuid()) + ".lock");
}

bool AcquireSingleInstance(const AnsiString& name) {
  std::string path = SingleInstanceLockPath(name).str();
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_held.find(path);
  if (it != g_held.end()) {
    if (it->second.owner == getpid()) return true;
    g_held.erase(it);  // inherited through fork: the parent holds it, not us
  }
  // Close-on-exec, so programs we launch do not keep the lock after we end.
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    close(fd);
    return err != EWOULDBLOCK;
  }
  g_held[path] = Held{fd, getpid()};
  return true;
}

void ReleaseSingleInstance(const AnsiString& name) {
  std::string path = SingleInstanceLockPath(name).str();
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_held.find(path);
  if (it == g_held.end()) return;
  if (it->second.owner == getpid()) close(it->second.fd);  // closing the descriptor drops the flock
  g_held.erase(it);
}

}  // namespace tv::os
