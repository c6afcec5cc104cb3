#include "platform/os/Regional.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

#include "platform/core/SysUtils.h"

namespace fs = std::filesystem;

namespace {

const char* const kSection = "[Regional]";
const std::array<const char*, 12> kLongMonths = {"enero",      "febrero", "marzo",     "abril",
                                                 "mayo",       "junio",   "julio",     "agosto",
                                                 "septiembre", "octubre", "noviembre", "diciembre"};
const std::array<const char*, 12> kShortMonths = {"ene", "feb", "mar", "abr", "may", "jun",
                                                  "jul", "ago", "sep", "oct", "nov", "dic"};

std::map<std::string, std::string> Defaults() {
  std::map<std::string, std::string> d = {
      {"DecimalSeparator", ","},
      {"ThousandSeparator", "."},
      {"ListSeparator", ";"},
      {"ShortDateFormat", "dd/MM/yyyy"},
  };
  for (int i = 0; i < 12; ++i) {
    d["LongMonthName" + std::to_string(i + 1)] = kLongMonths[i];
    d["ShortMonthName" + std::to_string(i + 1)] = kShortMonths[i];
  }
  return d;
}

std::mutex g_mutex;
// Cache keyed on the file and its modification time, so a getter costs one stat().
std::string g_cachedPath;
struct timespec g_cachedTime = {-1, -1};
std::map<std::string, std::string> g_values = Defaults();

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (passwd* pw = getpwuid(getuid())) return pw->pw_dir ? pw->pw_dir : "";
  return "/tmp";
}

std::string PathNow() {
  const char* dir = std::getenv("TALLIVAR_CONFIG_DIR");
  if (dir && *dir) return std::string(dir) + "/regional.ini";
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base = (xdg && *xdg) ? std::string(xdg) : HomeDir() + "/.config";
  return base + "/tallivar/regional.ini";
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Values are taken verbatim after '=' (a blank can be a thousands separator); only
// keys are trimmed. Unknown keys and other sections are ignored.
std::map<std::string, std::string> ReadFile(const std::string& path) {
  std::map<std::string, std::string> values = Defaults();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t[0] == '[') {
      inSection = (t == kSection);
      continue;
    }
    if (!inSection) continue;
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq));
    std::string value = line.substr(eq + 1);
    if (values.count(key) && !value.empty()) values[key] = value;
  }
  return values;
}

// Brings the cache up to date with the file; caller holds g_mutex.
void Refresh() {
  std::string path = PathNow();
  struct stat st;
  struct timespec mtime = {0, 0};
  bool exists = stat(path.c_str(), &st) == 0;
  if (exists) mtime = st.st_mtim;
  if (path == g_cachedPath && mtime.tv_sec == g_cachedTime.tv_sec &&
      mtime.tv_nsec == g_cachedTime.tv_nsec)
    return;
  g_values = exists ? ReadFile(path) : Defaults();
  g_cachedPath = path;
  g_cachedTime = mtime;
}

std::string Get(const std::string& key) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Refresh();
  return g_values[key];
}

// Writes every setting to a temporary file and renames it over the old one, so a
// reader never sees half a file.
bool WriteAll(const std::string& path, const std::map<std::string, std::string>& values) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::string tmp = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << kSection << "\n";
    for (const auto& [k, v] : values) out << k << "=" << v << "\n";
    out.flush();
    if (!out) {
      fs::remove(tmp, ec);
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

bool Set(const std::string& key, const AnsiString& value) {
  const std::string& v = value.str();
  if (v.empty() || v.find_first_of("\r\n") != std::string::npos) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  Refresh();
  auto values = g_values;
  values[key] = v;
  if (!WriteAll(g_cachedPath, values)) return false;
  g_cachedTime = {-1, -1};  // reread on the next call
  g_values = values;
  return true;
}

// Date separator of a pattern: its first character that is not a pattern letter.
char DateSeparatorOf(const std::string& pattern) {
  for (char c : pattern) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && c != '\'' && c != '"') return c;
  }
  return '/';
}

}  // namespace

namespace tv::os {

AnsiString RegionalSettingsPath() {
  return AnsiString(PathNow());
}

AnsiString GetUserDecimalSeparator() {
  return AnsiString(Get("DecimalSeparator"));
}
AnsiString GetUserThousandSeparator() {
  return AnsiString(Get("ThousandSeparator"));
}
AnsiString GetUserListSeparator() {
  return AnsiString(Get("ListSeparator"));
}
AnsiString GetUserShortDateFormat() {
  return AnsiString(Get("ShortDateFormat"));
}

AnsiString GetUserLongMonthName(int month) {
  if (month < 1 || month > 12) return AnsiString();
  return AnsiString(Get("LongMonthName" + std::to_string(month)));
}

AnsiString GetUserShortMonthName(int month) {
  if (month < 1 || month > 12) return AnsiString();
  return AnsiString(Get("ShortMonthName" + std::to_string(month)));
}

bool SetUserDecimalSeparator(const AnsiString& value) {
  if (!Set("DecimalSeparator", value)) return false;
  DecimalSeparator = value.str()[0];
  return true;
}

bool SetUserThousandSeparator(const AnsiString& value) {
  if (!Set("ThousandSeparator", value)) return false;
  ThousandSeparator = value.str()[0];
  return true;
}

bool SetUserListSeparator(const AnsiString& value) {
  if (!Set("ListSeparator", value)) return false;
  ListSeparator = value.str()[0];
  return true;
}

bool SetUserShortDateFormat(const AnsiString& value) {
  if (!Set("ShortDateFormat", value)) return false;
  ShortDateFormat = value;
  DateSeparator = DateSeparatorOf(value.str());
  return true;
}

void ApplyRegionalSettings() {
  std::map<std::string, std::string> values;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    Refresh();
    values = g_values;
  }
  DecimalSeparator = values["DecimalSeparator"][0];
  ThousandSeparator = values["ThousandSeparator"][0];
  ListSeparator = values["ListSeparator"][0];
  ShortDateFormat = AnsiString(values["ShortDateFormat"]);
  DateSeparator = DateSeparatorOf(values["ShortDateFormat"]);
  for (int i = 0; i < 12; ++i) {
    LongMonthNames[i] = AnsiString(values["LongMonthName" + std::to_string(i + 1)]);
    ShortMonthNames[i] = AnsiString(values["ShortMonthName" + std::to_string(i + 1)]);
  }
}

}  // namespace tv::os
