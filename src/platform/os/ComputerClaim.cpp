#include "platform/os/ComputerClaim.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>

namespace {
std::mutex g_mutex;
struct Held {
  int fd;
  pid_t owner;  // record locks do not pass to a forked child
  int count;
};
// One descriptor per marker: closing any descriptor of a file drops the process's locks on it.
std::map<std::string, Held> g_held;

// Byte 0: held shared by every running copy that writes. Byte 1: taken exclusively for the
// moment a copy reads and writes the name, so two computers never both find the folder free.
constexpr off_t kUse = 0;
constexpr off_t kDoor = 1;

// 0 on success, else errno.
int Lock(int fd, short type, off_t at, bool wait) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = at;
  l.l_len = 1;
  for (;;) {
    if (fcntl(fd, wait ? F_SETLKW : F_SETLK, &l) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

bool HeldByOther(int err) { return err == EAGAIN || err == EACCES; }

std::string ReadName(int fd) {
  std::string s;
  char buf[256];
  off_t at = 0;
  ssize_t n;
  while ((n = pread(fd, buf, sizeof buf, at)) > 0 && s.size() < 4096) {
    s.append(buf, static_cast<size_t>(n));
    at += n;
  }
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

void WriteName(int fd, const std::string& name) {
  std::string line = name + "\n";
  if (ftruncate(fd, 0) == 0 && pwrite(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size()))
    fsync(fd);
}
}  // namespace

namespace tv::os {

std::string ComputerName() {
  const char* forced = std::getenv("TALLIVAR_COMPUTER_NAME");
  if (forced && *forced) return forced;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0 || !host[0]) return "?";
  return host;
}

ComputerClaim ClaimForComputer(const std::string& markerPath) {
  std::lock_guard<std::mutex> guard(g_mutex);
  ComputerClaim r;
  r.granted = true;
  auto it = g_held.find(markerPath);
  if (it != g_held.end()) {
    if (it->second.owner == getpid()) {
      ++it->second.count;
      return r;
    }
    g_held.erase(it);
  }
  int fd = open(markerPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return r;
  // Every user of a shared folder must be able to take the marker, whatever the umask.
  fchmod(fd, 0666);
  std::string me = ComputerName();
  int door = Lock(fd, F_WRLCK, kDoor, true);
  if (door != 0) {
    // No record locks here (an NFS mount without its lock service): the name decides.
    std::string holder = ReadName(fd);
    if (!holder.empty() && holder != me) {
      close(fd);
      return ComputerClaim{false, holder, true};
    }
    if (holder.empty()) WriteName(fd, me);
  } else {
    int free = Lock(fd, F_WRLCK, kUse, false);
    std::string holder = ReadName(fd);
    if (free == 0) {
      // Nobody running holds it: a name left there is of a copy that ended (or crashed).
      if (holder != me) WriteName(fd, me);
      Lock(fd, F_RDLCK, kUse, false);  // atomic: no other copy gets in between
    } else if (HeldByOther(free) && !holder.empty() && holder != me) {
      close(fd);  // also lets the door go
      return ComputerClaim{false, holder, false};
    } else {
      Lock(fd, F_RDLCK, kUse, false);
    }
    Lock(fd, F_UNLCK, kDoor, false);
  }
  g_held[markerPath] = Held{fd, getpid(), 1};
  return r;
}

void ReleaseComputerClaim(const std::string& markerPath) {
  std::lock_guard<std::mutex> guard(g_mutex);
  auto it = g_held.find(markerPath);
  if (it == g_held.end() || it->second.owner != getpid()) return;
  if (--it->second.count > 0) return;
  close(it->second.fd);
  g_held.erase(it);
}

}  // namespace tv::os
