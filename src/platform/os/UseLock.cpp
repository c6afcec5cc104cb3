#include "platform/os/UseLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>

namespace {
std::mutex g_mutex;
struct Held {
  int fd;
  pid_t owner;  // record locks do not pass to a forked child, so neither does the entry
};
// One descriptor per path: closing any descriptor of a file drops the process's record locks.
std::map<std::string, Held> g_held;

int Descriptor(const std::string& path) {
  auto it = g_held.find(path);
  if (it != g_held.end()) {
    if (it->second.owner == getpid()) return it->second.fd;
    g_held.erase(it);
  }
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) {
    // Every user of a shared installation must be able to lock it, whatever the umask.
    fchmod(fd, 0666);
  } else if (errno == EACCES) {
    // Read-only: shared holds only, never sole use.
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd >= 0) g_held[path] = Held{fd, getpid()};
  return fd;
}

bool Lock(int fd, short type, bool wait) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = 0;
  l.l_len = 0;  // the whole file
  for (;;) {
    if (fcntl(fd, wait ? F_SETLKW : F_SETLK, &l) == 0) return true;
    if (errno != EINTR) return false;
  }
}
}  // namespace

namespace tv::os {

bool TakeSoleUse(const AnsiString& lockPath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  int fd = Descriptor(lockPath.str());
  return fd >= 0 && Lock(fd, F_WRLCK, false);
}

void ShareUse(const AnsiString& lockPath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  int fd = Descriptor(lockPath.str());
  if (fd >= 0) Lock(fd, F_RDLCK, true);
}

bool EndUse(const AnsiString& lockPath, void (*ifLast)(void*), void* arg) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string path = lockPath.str();
  auto it = g_held.find(path);
  bool ours = it != g_held.end() && it->second.owner == getpid();
  int fd = ours ? it->second.fd : open(path.c_str(), O_RDWR | O_CLOEXEC);
  bool last = false;
  if (fd >= 0) {
    // A failed attempt keeps the shared hold, so nobody slips in between.
    last = Lock(fd, F_WRLCK, false);
    if (last && ifLast) ifLast(arg);
    close(fd);
  }
  if (it != g_held.end()) g_held.erase(it);
  return last && ifLast != nullptr;
}

bool HoldsUse(const AnsiString& lockPath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_held.find(lockPath.str());
  return it != g_held.end() && it->second.owner == getpid();
}

}  // namespace tv::os
