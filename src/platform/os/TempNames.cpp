#include "platform/os/TempNames.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {
std::string SafeIdentifier(const std::string& prefix) {
  std::string out;
  for (char c : prefix) {
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (ok) out += c;
  }
  if (out.empty() || !((out[0] >= 'a' && out[0] <= 'z') || (out[0] >= 'A' && out[0] <= 'Z')))
    out = "t" + out;
  return out;
}
}  // namespace

namespace tv::os {

AnsiString MakeTempFileName(const AnsiString& folder, const AnsiString& prefix,
                            const AnsiString& ext) {
  std::string dir = folder.IsEmpty() ? std::string(".") : folder.str();
  if (dir.back() != '/') dir += '/';
  std::string name = prefix.str();
  for (char& c : name)
    if (c == '/') c = '_';
  std::string pattern = dir + name + "XXXXXX" + ext.str();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  int fd = mkostemps(buf.data(), static_cast<int>(ext.str().size()), O_CLOEXEC);
  if (fd < 0) return AnsiString();
  close(fd);
  return AnsiString(std::string(buf.data()));
}

AnsiString MakeTempTableName(const AnsiString& prefix) {
  // pid + counter make names unique among live processes; the random part covers pid
  // reuse against tables a crashed run left behind.
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937 rng{std::random_device{}()};
  char tail[64];
  std::snprintf(tail, sizeof tail, "_%d_%u_%08x", static_cast<int>(getpid()), ++counter,
                static_cast<unsigned>(rng()));
  return AnsiString(SafeIdentifier(prefix.str()) + tail);
}

}  // namespace tv::os
