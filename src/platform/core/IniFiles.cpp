// Ini files read and rewritten whole on every call, like the Windows profile API.
#include "platform/core/IniFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/core/Encoding.h"
#include "platform/core/SysUtils.h"

namespace fs = std::filesystem;

namespace {

// The file to use: the exact name, or one differing only in letter case in the same
// folder ("Data.ini" written by one part of the program, "data.ini" by another).
std::string Resolve(const std::string& name) {
  std::error_code ec;
  if (fs::exists(name, ec)) return name;
  fs::path p(name);
  fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  AnsiString want(p.filename().string());
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    AnsiString have(it->path().filename().string());
    if (SameText(have, want) && it->is_regular_file(ec))
      return p.has_parent_path() ? (dir / it->path().filename()).string() : it->path().filename().string();
  }
  return name;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  if (!in) return lines;
  std::ostringstream buf;
  buf << in.rdbuf();
  std::string text = tv::encoding::DecodeFileText(buf.str());
  size_t p = 0;
  while (p < text.size()) {
    size_t e = text.find_first_of("\r\n", p);
    if (e == std::string::npos) {
      lines.push_back(text.substr(p));
      break;
    }
    lines.push_back(text.substr(p, e - p));
    p = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

void WriteLines(const std::string& file, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& l : lines) {
    data += tv::encoding::Utf8ToCp1252(l);
    data += "\r\n";
  }
  // Written beside and renamed over the old file; never rewritten in place, so a write
  // that cannot complete leaves the old file exactly as it was.
  std::string tmp = file + ".tmp~";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw EFCreateError("No se puede escribir el archivo " + file);
  bool ok = true;
  for (size_t done = 0; ok && done < data.size();) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  std::error_code ec;
  if (ok) {
    fs::rename(tmp, file, ec);
    if (!ec) return;
  }
  fs::remove(tmp, ec);
  throw EFCreateError("No se puede escribir el archivo " + file);
}

std::string TrimStr(const std::string& s) { return Trim(AnsiString(s)).str(); }

// Section name of a "[name]" line; false for other lines.
bool SectionName(const std::string& line, std::string& name) {
  std::string t = TrimStr(line);
  if (t.size() < 2 || t[0] != '[') return false;
  size_t e = t.find(']');
  if (e == std::string::npos) return false;
  name = TrimStr(t.substr(1, e - 1));
  return true;
}

// Key and value of a "key=value" line; false for comments and other lines.
bool KeyValue(const std::string& line, std::string& key, std::string& value) {
  std::string t = TrimStr(line);
  if (t.empty() || t[0] == ';' || t[0] == '[') return false;
  size_t e = t.find('=');
  if (e == std::string::npos) return false;
  key = TrimStr(t.substr(0, e));
  value = TrimStr(t.substr(e + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return true;
}

// Line range [begin, end) of the first section with this name (begin = header line).
bool FindSection(const std::vector<std::string>& lines, const std::string& section, size_t& begin,
                 size_t& end) {
  std::string name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!SectionName(lines[i], name) || !SameText(AnsiString(name), AnsiString(section))) continue;
    begin = i;
    end = i + 1;
    while (end < lines.size() && !SectionName(lines[end], name)) ++end;
    return true;
  }
  return false;
}

bool FindKey(const std::vector<std::string>& lines, size_t begin, size_t end, const std::string& key,
             size_t& at, std::string* value) {
  std::string k, v;
  for (size_t i = begin + 1; i < end; ++i)
    if (KeyValue(lines[i], k, v) && SameText(AnsiString(k), AnsiString(key))) {
      at = i;
      if (value) *value = v;
      return true;
    }
  return false;
}

}  // namespace

TIniFile::TIniFile(const AnsiString& fileName) : fileName_(fileName) {}

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) const {
  std::vector<std::string> lines = ReadLines(Resolve(fileName_.str()));
  size_t b, e, at;
  std::string value;
  if (FindSection(lines, section.str(), b, e) && FindKey(lines, b, e, key.str(), at, &value))
    return AnsiString(value);
  return def;
}

int TIniFile::ReadInteger(const AnsiString& section, const AnsiString& key, int def) const {
  return StrToIntDef(ReadString(section, key, ""), def);
}

bool TIniFile::ReadBool(const AnsiString& section, const AnsiString& key, bool def) const {
  AnsiString s = ReadString(section, key, "");
  int i;
  if (TryStrToInt(s, i)) return i != 0;
  double d;
  if (TryStrToFloat(s, d)) return d != 0;
  return def;
}

double TIniFile::ReadFloat(const AnsiString& section, const AnsiString& key, double def) const {
  return StrToFloatDef(ReadString(section, key, ""), def);
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  std::string file = Resolve(fileName_.str());
  std::vector<std::string> lines = ReadLines(file);
  size_t b, e, at;
  if (!FindSection(lines, section.str(), b, e)) {
    if (!lines.empty() && !TrimStr(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section.str() + "]");
    lines.push_back(key.str() + "=" + value.str());
  } else if (FindKey(lines, b, e, key.str(), at, nullptr)) {
    std::string k, v;
    KeyValue(lines[at], k, v);
    lines[at] = k + "=" + value.str();
  } else {
    // after the section's last non-blank line, so blank separators stay in place
    size_t pos = e;
    while (pos > b + 1 && TrimStr(lines[pos - 1]).empty()) --pos;
    lines.insert(lines.begin() + pos, key.str() + "=" + value.str());
  }
  WriteLines(file, lines);
}

void TIniFile::WriteInteger(const AnsiString& section, const AnsiString& key, int value) {
  WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(const AnsiString& section, const AnsiString& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(const AnsiString& section, const AnsiString& key, double value) {
  WriteString(section, key, FloatToStr(value));
}

void TIniFile::ReadSection(const AnsiString& section, TStrings* keys) const {
  if (!keys) return;
  keys->BeginUpdate();
  keys->Clear();
  std::vector<std::string> lines = ReadLines(Resolve(fileName_.str()));
  size_t b, e;
  std::string k, v;
  if (FindSection(lines, section.str(), b, e))
    for (size_t i = b + 1; i < e; ++i)
      if (KeyValue(lines[i], k, v)) keys->Add(AnsiString(k));
  keys->EndUpdate();
}

void TIniFile::ReadSections(TStrings* sections) const {
  if (!sections) return;
  sections->BeginUpdate();
  sections->Clear();
  std::string name;
  for (const std::string& l : ReadLines(Resolve(fileName_.str())))
    if (SectionName(l, name)) sections->Add(AnsiString(name));
  sections->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& section, TStrings* lines) const {
  if (!lines) return;
  lines->BeginUpdate();
  lines->Clear();
  std::vector<std::string> all = ReadLines(Resolve(fileName_.str()));
  size_t b, e;
  std::string k, v;
  if (FindSection(all, section.str(), b, e))
    for (size_t i = b + 1; i < e; ++i)
      if (KeyValue(all[i], k, v)) lines->Add(AnsiString(k + "=" + v));
  lines->EndUpdate();
}

bool TIniFile::SectionExists(const AnsiString& section) const {
  size_t b, e;
  return FindSection(ReadLines(Resolve(fileName_.str())), section.str(), b, e);
}

bool TIniFile::ValueExists(const AnsiString& section, const AnsiString& key) const {
  std::vector<std::string> lines = ReadLines(Resolve(fileName_.str()));
  size_t b, e, at;
  return FindSection(lines, section.str(), b, e) && FindKey(lines, b, e, key.str(), at, nullptr);
}

void TIniFile::EraseSection(const AnsiString& section) {
  std::string file = Resolve(fileName_.str());
  std::vector<std::string> lines = ReadLines(file);
  size_t b, e;
  if (!FindSection(lines, section.str(), b, e)) return;
  lines.erase(lines.begin() + b, lines.begin() + e);
  WriteLines(file, lines);
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& key) {
  std::string file = Resolve(fileName_.str());
  std::vector<std::string> lines = ReadLines(file);
  size_t b, e, at;
  if (!FindSection(lines, section.str(), b, e) || !FindKey(lines, b, e, key.str(), at, nullptr)) return;
  lines.erase(lines.begin() + at);
  WriteLines(file, lines);
}
