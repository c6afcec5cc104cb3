#include "platform/os/NetworkFolder.h"

#include <sys/vfs.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
namespace fs = std::filesystem;

// Folder with its symbolic links resolved and no trailing separator, or as given.
std::string Canonical(const std::string& p) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(fs::path(p), ec);
  std::string s = ec ? p : c.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool Inside(const std::string& folder, const std::string& top) {
  if (top.empty()) return false;
  if (top == "/") return true;
  return folder == top || (folder.size() > top.size() && folder.compare(0, top.size(), top) == 0 && folder[top.size()] == '/');
}

bool NamedByEnvironment(const std::string& folder) {
  const char* list = std::getenv("TALLIVAR_NETWORK_FOLDERS");
  if (!list || !*list) return false;
  std::stringstream s(list);
  std::string item;
  while (std::getline(s, item, ':'))
    if (!item.empty() && Inside(folder, Canonical(item))) return true;
  return false;
}

// FUSE serves local disks too (ntfs-3g): the mount's own type says which it is.
bool RemoteFuse(const std::string& folder) {
  std::ifstream in("/proc/self/mountinfo");
  std::string line, best, bestType;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::istringstream f(line);
    std::string id, parent, dev, root, point, word;
    f >> id >> parent >> dev >> root >> point;
    while (f >> word && word != "-") {
    }
    std::string type;
    f >> type;
    // Mount points escape spaces as \040.
    std::string unescaped;
    for (size_t i = 0; i < point.size(); ++i) {
      if (point[i] == '\\' && i + 3 < point.size()) {
        unescaped += static_cast<char>(std::strtol(point.substr(i + 1, 3).c_str(), nullptr, 8));
        i += 3;
      } else {
        unescaped += point[i];
      }
    }
    if (Inside(folder, unescaped) && unescaped.size() >= best.size()) {
      best = unescaped;
      bestType = type;
    }
  }
  for (const char* remote : {"fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.gcsfuse", "fuse.gvfsd-fuse",
                             "fuse.davfs", "fuse.curlftpfs", "fuse.glusterfs", "fuse.ceph-fuse"})
    if (bestType == remote) return true;
  return false;
}
}  // namespace

namespace tv::os {

bool OnNetworkFileSystem(const std::string& folder) {
  std::string f = Canonical(folder);
  if (NamedByEnvironment(f)) return true;
  struct statfs st {};
  if (statfs(f.c_str(), &st) != 0) return false;
  switch (static_cast<std::uint32_t>(st.f_type)) {
    case 0x6969u:      // NFS
    case 0x517Bu:      // SMB
    case 0xFF534D42u:  // CIFS
    case 0xFE534D42u:  // SMB2
    case 0x5346414Fu:  // AFS
    case 0x6B414653u:  // kAFS
    case 0x01021997u:  // 9P
    case 0x00C36400u:  // Ceph
    case 0x73757245u:  // Coda
    case 0x0000564Cu:  // NCP
    case 0x0BD00BD0u:  // Lustre
    case 0x47504653u:  // GPFS
      return true;
    case 0x65735546u:  // FUSE
      return RemoteFuse(f);
    default:
      return false;
  }
}

}  // namespace tv::os
