#include "platform/os/Files.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsCI(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

// Iterative wildcard match with backtracking to the last '*'; UTF-8 bytes of one
// character are matched as a unit by '?'.
bool Match(const std::string& s, const std::string& m) {
  auto charLen = [](unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 0x6) return 2;
    if ((c >> 4) == 0xE) return 3;
    if ((c >> 3) == 0x1E) return 4;
    return 1;
  };
  size_t si = 0, mi = 0, starM = std::string::npos, starS = 0;
  while (si < s.size()) {
    if (mi < m.size() && m[mi] == '*') {
      starM = mi++;
      starS = si;
    } else if (mi < m.size() && m[mi] == '?') {
      si += charLen(static_cast<unsigned char>(s[si]));
      ++mi;
    } else if (mi < m.size() && Fold(m[mi]) == Fold(s[si])) {
      ++si;
      ++mi;
    } else if (starM != std::string::npos) {
      mi = starM + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (mi < m.size() && m[mi] == '*') ++mi;
  return mi == m.size();
}

fs::path P(const AnsiString& s) {
  return fs::path(s.str());
}
}  // namespace

bool FileExists(const AnsiString& path) {
  std::error_code ec;
  if (path.IsEmpty()) return false;
  if (fs::is_regular_file(P(path), ec)) return true;
  AnsiString other = tv::os::ResolvePathCI(path);
  return other != path && fs::is_regular_file(P(other), ec);
}

bool DirectoryExists(const AnsiString& path) {
  std::error_code ec;
  return !path.IsEmpty() && fs::is_directory(P(path), ec);
}

bool ForceDirectories(const AnsiString& path) {
  if (path.IsEmpty()) return false;
  std::error_code ec;
  fs::create_directories(P(path), ec);
  return fs::is_directory(P(path), ec);
}

bool CreateDir(const AnsiString& path) {
  if (path.IsEmpty()) return false;
  std::error_code ec;
  return fs::create_directory(P(path), ec) && !ec;
}

bool DeleteFile(const AnsiString& oneSpelling) {
  if (oneSpelling.IsEmpty()) return false;
  AnsiString path = tv::os::ResolvePathCI(oneSpelling);
  std::error_code ec;
  auto st = fs::symlink_status(P(path), ec);
  if (ec || fs::is_directory(st) || !fs::exists(st)) return false;
  return fs::remove(P(path), ec) && !ec;
}

bool RenameFile(const AnsiString& oldName, const AnsiString& newName) {
  if (renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // Filesystems without the no-replace flag: check, then rename.
  std::error_code ec;
  if (fs::exists(fs::symlink_status(P(newName), ec))) return false;
  return ::rename(oldName.c_str(), newName.c_str()) == 0;
}

AnsiString ExpandFileName(const AnsiString& path) {
  std::error_code ec;
  fs::path abs = fs::absolute(P(path), ec);
  if (ec) return path;
  return AnsiString(abs.lexically_normal().string());
}

AnsiString GetCurrentDir() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec ? AnsiString() : AnsiString(cwd.string());
}

bool SetCurrentDir(const AnsiString& dir) {
  std::error_code ec;
  fs::current_path(P(dir), ec);
  return !ec;
}

namespace tv::os {

bool CopyFile(const AnsiString& source, const AnsiString& dest, bool overwrite, AnsiString* error) {
  std::error_code ec;
  auto opts = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
  bool ok = fs::copy_file(P(source), P(dest), opts, ec);
  if (ec || !ok) {
    if (error) *error = AnsiString(ec ? ec.message() : std::string("File exists"));
    return false;
  }
  return true;
}

AnsiString FindFileNameCI(const AnsiString& folder, const AnsiString& name) {
  if (name.IsEmpty()) return AnsiString();
  fs::path dir = folder.IsEmpty() ? fs::path(".") : P(folder);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(dir / name.str(), ec))) return name;
  std::string best;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string n = it->path().filename().string();
    if (EqualsCI(n, name.str()) && (best.empty() || n < best)) best = n;
  }
  return AnsiString(best);
}

AnsiString ResolveFileCI(const AnsiString& folder, const AnsiString& name) {
  AnsiString found = FindFileNameCI(folder, name);
  std::string dir = folder.str();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return AnsiString(dir + (found.IsEmpty() ? name.str() : found.str()));
}

AnsiString ResolvePathCI(const AnsiString& path) {
  const std::string& s = path.str();
  auto slash = s.rfind('/');
  if (slash == std::string::npos) {
    AnsiString found = FindFileNameCI(AnsiString(), path);
    return found.IsEmpty() ? path : found;
  }
  std::string folder = s.substr(0, slash + 1);
  std::string name = s.substr(slash + 1);
  AnsiString found = FindFileNameCI(AnsiString(folder), AnsiString(name));
  return AnsiString(folder + (found.IsEmpty() ? name : found.str()));
}

bool MatchesMask(const AnsiString& name, const AnsiString& mask) {
  if (mask.str() == "*.*") return true;
  return Match(name.str(), mask.str());
}

std::vector<AnsiString> ListFolder(const AnsiString& folder, const AnsiString& mask,
                                   EntryKind kind) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::path dir = folder.IsEmpty() ? fs::path(".") : P(folder);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    bool isDir = it->is_directory(sec);
    if (kind == EntryKind::Files && (isDir || !it->is_regular_file(sec))) continue;
    if (kind == EntryKind::Folders && !isDir) continue;
    std::string n = it->path().filename().string();
    if (MatchesMask(AnsiString(n), mask)) names.push_back(std::move(n));
  }
  std::sort(names.begin(), names.end());
  return std::vector<AnsiString>(names.begin(), names.end());
}

}  // namespace tv::os
