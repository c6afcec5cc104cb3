// Format settings, string helpers and path helpers.
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cstdarg>

char DecimalSeparator;
char ThousandSeparator;
char DateSeparator;
char TimeSeparator;
char ListSeparator;
AnsiString ShortDateFormat;
AnsiString LongDateFormat;
AnsiString ShortTimeFormat;
AnsiString LongTimeFormat;
AnsiString TimeAMString;
AnsiString TimePMString;
AnsiString CurrencyString;
AnsiString ShortMonthNames[12];
AnsiString LongMonthNames[12];
AnsiString ShortDayNames[7];
AnsiString LongDayNames[7];

void ResetFormatSettings() {
  static const char* const kLongMonths[12] = {"enero", "febrero", "marzo", "abril",
                                              "mayo", "junio", "julio", "agosto",
                                              "septiembre", "octubre", "noviembre", "diciembre"};
  static const char* const kShortMonths[12] = {"ene", "feb", "mar", "abr", "may", "jun",
                                               "jul", "ago", "sep", "oct", "nov", "dic"};
  static const char* const kLongDays[7] = {"domingo", "lunes", "martes", "miércoles",
                                           "jueves", "viernes", "sábado"};
  static const char* const kShortDays[7] = {"dom", "lun", "mar", "mié", "jue", "vie", "sáb"};
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  DateSeparator = '/';
  TimeSeparator = ':';
  ListSeparator = ';';
  ShortDateFormat = "dd/MM/yyyy";
  LongDateFormat = "dddd, d' de 'mmmm' de 'yyyy";
  ShortTimeFormat = "hh:nn";
  LongTimeFormat = "hh:nn:ss";
  TimeAMString = "a.m.";
  TimePMString = "p.m.";
  CurrencyString = "$";
  for (int i = 0; i < 12; ++i) {
    LongMonthNames[i] = kLongMonths[i];
    ShortMonthNames[i] = kShortMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    LongDayNames[i] = kLongDays[i];
    ShortDayNames[i] = kShortDays[i];
  }
}

namespace {
// The settings hold their defaults before main() runs.
struct FormatSettingsInit {
  FormatSettingsInit() { ResetFormatSettings(); }
} formatSettingsInit;

// Spanish letters outside ASCII, lower and upper case, as UTF-8 pairs.
constexpr const char* kAccentLower[] = {"á", "é", "í", "ó", "ú", "ñ", "ü", "à", "è", "ì", "ò", "ù", "ç"};
constexpr const char* kAccentUpper[] = {"Á", "É", "Í", "Ó", "Ú", "Ñ", "Ü", "À", "È", "Ì", "Ò", "Ù", "Ç"};

std::string MapAccents(const std::string& s, const char* const* from, const char* const* to) {
  std::string out;
  out.reserve(s.size());
  constexpr size_t n = sizeof(kAccentLower) / sizeof(kAccentLower[0]);
  for (size_t p = 0; p < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[p]);
    if (c == 0xC3 && p + 1 < s.size()) {
      bool done = false;
      for (size_t k = 0; k < n; ++k)
        if (s[p + 1] == from[k][1]) {
          out += to[k];
          done = true;
          break;
        }
      if (!done) out.append(s, p, 2);
      p += 2;
    } else {
      out += s[p++];
    }
  }
  return out;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

[[noreturn]] void Abort() { throw EAbort("Operación cancelada"); }

AnsiString UpperCase(const AnsiString& s) {
  std::string r = s.str();
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return AnsiString(std::move(r));
}

AnsiString LowerCase(const AnsiString& s) {
  std::string r = s.str();
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return AnsiString(std::move(r));
}

AnsiString AnsiUpperCase(const AnsiString& s) {
  return AnsiString(MapAccents(UpperCase(s).str(), kAccentLower, kAccentUpper));
}

AnsiString AnsiLowerCase(const AnsiString& s) {
  return AnsiString(MapAccents(LowerCase(s).str(), kAccentUpper, kAccentLower));
}

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

AnsiString TrimLeft(const AnsiString& s) {
  const std::string& r = s.str();
  size_t b = 0;
  while (b < r.size() && IsBlank(r[b])) ++b;
  return AnsiString(r.substr(b));
}

AnsiString TrimRight(const AnsiString& s) {
  const std::string& r = s.str();
  size_t e = r.size();
  while (e > 0 && IsBlank(r[e - 1])) --e;
  return AnsiString(r.substr(0, e));
}

int CompareText(const AnsiString& a, const AnsiString& b) {
  int c = AnsiLowerCase(a).str().compare(AnsiLowerCase(b).str());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool SameText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b) == 0; }

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) {
  int c = a.str().compare(b.str());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Pos(const AnsiString& sub, const AnsiString& s) { return s.Pos(sub); }

AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to,
                         bool replaceAll, bool ignoreCase) {
  const std::string& src = s.str();
  const std::string& f = from.str();
  if (f.empty()) return s;
  // Folding keeps byte lengths (ASCII and the two-byte accented letters map to the same
  // width), so positions found in the folded text are valid in the original.
  std::string hay = ignoreCase ? AnsiLowerCase(s).str() : src;
  std::string needle = ignoreCase ? AnsiLowerCase(from).str() : f;
  std::string out;
  size_t p = 0;
  while (true) {
    size_t q = hay.find(needle, p);
    if (q == std::string::npos) break;
    out.append(src, p, q - p);
    out += to.str();
    p = q + needle.size();
    if (!replaceAll) break;
  }
  out.append(src, p, std::string::npos);
  return AnsiString(std::move(out));
}

AnsiString QuotedStr(const AnsiString& s) {
  std::string out = "'";
  for (char c : s.str()) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return AnsiString(std::move(out));
}

namespace {
bool IsPathDelim(char c) { return c == '/' || c == '\\'; }
size_t LastDelim(const std::string& p) {
  for (size_t i = p.size(); i > 0; --i)
    if (IsPathDelim(p[i - 1])) return i - 1;
  return std::string::npos;
}
}  // namespace

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  const std::string& p = path.str();
  if (!p.empty() && IsPathDelim(p.back())) return path;
  return AnsiString(p + "/");
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  std::string p = path.str();
  if (p.size() > 1 && IsPathDelim(p.back())) p.pop_back();
  return AnsiString(std::move(p));
}

AnsiString ExtractFilePath(const AnsiString& path) {
  size_t d = LastDelim(path.str());
  return d == std::string::npos ? AnsiString() : AnsiString(path.str().substr(0, d + 1));
}

AnsiString ExtractFileName(const AnsiString& path) {
  size_t d = LastDelim(path.str());
  return d == std::string::npos ? path : AnsiString(path.str().substr(d + 1));
}

AnsiString ExtractFileExt(const AnsiString& path) {
  const std::string& p = path.str();
  size_t d = LastDelim(p);
  size_t dot = p.rfind('.');
  if (dot == std::string::npos || (d != std::string::npos && dot < d)) return AnsiString();
  return AnsiString(p.substr(dot));
}

AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext) {
  const std::string& p = path.str();
  size_t d = LastDelim(p);
  size_t dot = p.rfind('.');
  if (dot == std::string::npos || (d != std::string::npos && dot < d)) return AnsiString(p + ext.str());
  return AnsiString(p.substr(0, dot) + ext.str());
}

AnsiString Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = tv::text::VFormat(fmt, ap);
  va_end(ap);
  return AnsiString(std::move(s));
}
