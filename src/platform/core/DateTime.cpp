// Dates as day counts from 30/12/1899, their text forms and parsing.
#include "platform/core/DateTime.h"

#include <cmath>
#include <ctime>
#include <sys/time.h>

#include "platform/core/SysUtils.h"

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr long long kDay0 = -25569;  // 30/12/1899 counted from 01/01/1970

// Days since 01/01/1970 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

// Whole days and milliseconds of the day; the time is the absolute fraction as in the
// original, so -1.25 is 29/12/1899 06:00.
void Split(double v, long long& days, long long& ms) {
  days = static_cast<long long>(std::trunc(v));
  ms = std::llround(std::fabs(v - static_cast<double>(days)) * kMsPerDay);
  if (ms >= static_cast<long long>(kMsPerDay)) {
    ms = 0;
    days += v < 0 ? -1 : 1;
  }
}

[[noreturn]] void BadDate(const AnsiString& s) {
  throw EConvertError("'" + s.str() + "' no es una fecha válida");
}

int CurrentYear() {
  unsigned short y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

// Reads an unsigned number; returns its digit count (0 when none).
int ReadNumber(const std::string& s, size_t& p, int& value) {
  int n = 0;
  value = 0;
  while (p < s.size() && s[p] >= '0' && s[p] <= '9' && n < 9) {
    value = value * 10 + (s[p] - '0');
    ++p;
    ++n;
  }
  return n;
}

void SkipBlanks(const std::string& s, size_t& p) {
  while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
}

// Date part at p under ShortDateFormat's field order; leaves p after it.
bool ScanDate(const std::string& s, size_t& p, TDateTime& out) {
  // field order from the first letter of each kind in the pattern
  std::string order;
  for (char c : ShortDateFormat.str()) {
    char l = static_cast<char>(c | 0x20);
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
  }
  if (order.size() != 3) order = "dmy";
  SkipBlanks(s, p);
  int n[3] = {0, 0, 0}, len[3] = {0, 0, 0};
  int parts = 0;
  for (; parts < 3; ++parts) {
    if (parts > 0) {
      if (p >= s.size() || s[p] != DateSeparator) break;
      ++p;
    }
    len[parts] = ReadNumber(s, p, n[parts]);
    if (len[parts] == 0) return false;
  }
  if (parts < 2) return false;
  int y = 0, m = 0, d = 0;
  int yearDigits = 4;
  if (parts == 2) {
    // day and month in the pattern's order, current year
    std::string dm = order;
    dm.erase(dm.find('y'), 1);
    for (int i = 0; i < 2; ++i) (dm[i] == 'd' ? d : m) = n[i];
    y = CurrentYear();
  } else {
    for (int i = 0; i < 3; ++i) {
      if (order[i] == 'd') d = n[i];
      else if (order[i] == 'm') m = n[i];
      else {
        y = n[i];
        yearDigits = len[i];
      }
    }
    if (yearDigits <= 2) {
      // Two-digit years land within 50 years of the current year, as the original did:
      // the window is [now - 50, now + 49].
      int now = CurrentYear();
      int pivot = now - 50;
      y += pivot - pivot % 100;
      if (y < pivot) y += 100;
    }
  }
  return TryEncodeDate(y, m, d, out);
}

bool MatchWord(const std::string& s, size_t p, const std::string& w) {
  if (w.empty() || p + w.size() > s.size()) return false;
  return SameText(AnsiString(s.substr(p, w.size())), AnsiString(w));
}

// Time part h[:n[:s[.zzz]]] with an optional am/pm marker.
bool ScanTime(const std::string& s, size_t& p, TDateTime& out) {
  SkipBlanks(s, p);
  int v[4] = {0, 0, 0, 0};
  int parts = 0;
  for (; parts < 3; ++parts) {
    if (parts > 0) {
      if (p >= s.size() || s[p] != TimeSeparator) break;
      ++p;
    }
    if (ReadNumber(s, p, v[parts]) == 0) return false;
  }
  if (parts == 3 && p < s.size() && (s[p] == '.' || s[p] == DecimalSeparator)) {
    ++p;
    if (ReadNumber(s, p, v[3]) == 0) return false;
  }
  SkipBlanks(s, p);
  int half = 0;  // 1 am, 2 pm
  for (const std::string& am : {TimeAMString.str(), std::string("am"), std::string("a.m."), std::string("a. m.")})
    if (!half && MatchWord(s, p, am)) half = 1, p += am.size();
  for (const std::string& pm : {TimePMString.str(), std::string("pm"), std::string("p.m."), std::string("p. m.")})
    if (!half && MatchWord(s, p, pm)) half = 2, p += pm.size();
  if (parts < 2 && !half) return false;
  if (half) {
    if (v[0] < 1 || v[0] > 12) return false;
    if (v[0] == 12) v[0] = 0;
    if (half == 2) v[0] += 12;
  }
  if (v[0] > 23 || v[1] > 59 || v[2] > 59 || v[3] > 999) return false;
  out = EncodeTime(v[0], v[1], v[2], v[3]);
  return true;
}

bool AtEnd(const std::string& s, size_t p) {
  SkipBlanks(s, p);
  return p == s.size();
}

AnsiString TwoDigits(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return AnsiString(b);
}
}  // namespace

// ---- TDateTime members -------------------------------------------------------

TDateTime::TDateTime(int year, int month, int day) : Val(EncodeDate(year, month, day).Val) {}
AnsiString TDateTime::DateString() const { return DateToStr(*this); }
AnsiString TDateTime::TimeString() const { return TimeToStr(*this); }
AnsiString TDateTime::DateTimeString() const { return DateTimeToStr(*this); }
AnsiString TDateTime::FormatString(const AnsiString& format) const { return FormatDateTime(format, *this); }

void TDateTime::DecodeDate(unsigned short* year, unsigned short* month, unsigned short* day) const {
  unsigned short y, m, d;
  ::DecodeDate(*this, y, m, d);
  if (year) *year = y;
  if (month) *month = m;
  if (day) *day = d;
}

void TDateTime::DecodeTime(unsigned short* hour, unsigned short* min, unsigned short* sec,
                           unsigned short* msec) const {
  unsigned short h, n, s, z;
  ::DecodeTime(*this, h, n, s, z);
  if (hour) *hour = h;
  if (min) *min = n;
  if (sec) *sec = s;
  if (msec) *msec = z;
}

// ---- calendar ------------------------------------------------------------------

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInAMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
    return false;
  out = TDateTime(static_cast<double>(DaysFromCivil(year, month, day) - kDay0));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d))
    throw EConvertError("Fecha no válida: " + std::to_string(day) + "/" + std::to_string(month) + "/" +
                        std::to_string(year));
  return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    throw EConvertError("Hora no válida");
  return TDateTime((((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / kMsPerDay);
}

void DecodeDate(const TDateTime& d, unsigned short& year, unsigned short& month, unsigned short& day) {
  long long days, ms;
  Split(d.Val, days, ms);
  int y, m, dd;
  CivilFromDays(days + kDay0, y, m, dd);
  year = static_cast<unsigned short>(y);
  month = static_cast<unsigned short>(m);
  day = static_cast<unsigned short>(dd);
}

void DecodeTime(const TDateTime& d, unsigned short& hour, unsigned short& min, unsigned short& sec,
                unsigned short& msec) {
  long long days, ms;
  Split(d.Val, days, ms);
  hour = static_cast<unsigned short>(ms / 3600000);
  min = static_cast<unsigned short>(ms / 60000 % 60);
  sec = static_cast<unsigned short>(ms / 1000 % 60);
  msec = static_cast<unsigned short>(ms % 1000);
}

int DayOfWeek(const TDateTime& d) {
  long long days, ms;
  Split(d.Val, days, ms);
  return static_cast<int>(((days % 7 + 7) % 7 + 6) % 7) + 1;
}

TDateTime IncMonth(const TDateTime& d, int months) {
  unsigned short y, m, dd;
  DecodeDate(d, y, m, dd);
  long long total = static_cast<long long>(y) * 12 + (m - 1) + months;
  int ny = static_cast<int>(total / 12), nm = static_cast<int>(total % 12) + 1;
  int nd = dd > DaysInAMonth(ny, nm) ? DaysInAMonth(ny, nm) : dd;
  double frac = d.Val - std::trunc(d.Val);
  TDateTime r = EncodeDate(ny, nm, nd);
  return TDateTime(r.Val >= 0 ? r.Val + std::fabs(frac) : r.Val - std::fabs(frac));
}

TDateTime Now() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  time_t t = tv.tv_sec;
  tm lt{};
  localtime_r(&t, &lt);
  TDateTime d = EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
  int sec = lt.tm_sec > 59 ? 59 : lt.tm_sec;
  return TDateTime(d.Val + EncodeTime(lt.tm_hour, lt.tm_min, sec, static_cast<int>(tv.tv_usec / 1000)).Val);
}

TDateTime Date() { return TDateTime(std::trunc(Now().Val)); }

TDateTime Time() {
  double v = Now().Val;
  return TDateTime(v - std::trunc(v));
}

// ---- parsing --------------------------------------------------------------------

bool TryStrToDate(const AnsiString& s, TDateTime& out) {
  size_t p = 0;
  TDateTime d;
  if (!ScanDate(s.str(), p, d) || !AtEnd(s.str(), p)) return false;
  out = d;
  return true;
}

TDateTime StrToDate(const AnsiString& s) {
  TDateTime d;
  if (!TryStrToDate(s, d)) BadDate(s);
  return d;
}

TDateTime StrToDateDef(const AnsiString& s, const TDateTime& def) {
  TDateTime d;
  return TryStrToDate(s, d) ? d : def;
}

TDateTime StrToDateTime(const AnsiString& s) {
  const std::string& t = s.str();
  size_t p = 0;
  TDateTime d, tm;
  if (ScanDate(t, p, d)) {
    if (AtEnd(t, p)) return d;
    if (p < t.size() && (t[p] == ' ' || t[p] == 'T') && ScanTime(t, ++p, tm) && AtEnd(t, p))
      return TDateTime(d.Val >= 0 ? d.Val + tm.Val : d.Val - tm.Val);
    throw EConvertError("'" + t + "' no es una fecha y hora válida");
  }
  p = 0;
  if (ScanTime(t, p, tm) && AtEnd(t, p)) return tm;
  throw EConvertError("'" + t + "' no es una fecha y hora válida");
}

TDateTime StrToTime(const AnsiString& s) {
  size_t p = 0;
  TDateTime tm;
  if (!ScanTime(s.str(), p, tm) || !AtEnd(s.str(), p))
    throw EConvertError("'" + s.str() + "' no es una hora válida");
  return tm;
}

// ---- formatting -------------------------------------------------------------------

namespace {
void FormatInto(std::string& out, const std::string& f, const TDateTime& dt, int depth) {
  unsigned short y, mo, d, h, mi, se, ms;
  DecodeDate(dt, y, mo, d);
  DecodeTime(dt, h, mi, se, ms);
  // a 12-hour clock when the pattern has an am/pm marker outside quotes
  bool twelve = false;
  {
    char q = 0;
    for (size_t i = 0; i < f.size(); ++i) {
      if (q) {
        if (f[i] == q) q = 0;
      } else if (f[i] == '"' || f[i] == '\'') {
        q = f[i];
      } else if (MatchWord(f, i, "am/pm") || MatchWord(f, i, "a/p") || MatchWord(f, i, "ampm")) {
        twelve = true;
      }
    }
  }
  auto count = [&](size_t i, char c) {
    size_t n = 0;
    while (i + n < f.size() && (f[i + n] | 0x20) == c) ++n;
    return n;
  };
  bool afterHour = false;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    char l = static_cast<char>(c | 0x20);
    if (c == '"' || c == '\'') {
      size_t e = f.find(c, i + 1);
      if (e == std::string::npos) e = f.size();
      out.append(f, i + 1, e - i - 1);
      i = e + 1;
      continue;
    }
    if (c == '/') {
      out += DateSeparator;
      ++i;
      continue;
    }
    if (c == ':') {
      out += TimeSeparator;
      ++i;
      continue;
    }
    if (MatchWord(f, i, "am/pm")) {
      // the marker keeps the letter case the pattern gives it
      out += h < 12 ? f.substr(i, 2) : f.substr(i + 3, 2);
      i += 5;
      continue;
    }
    if (MatchWord(f, i, "ampm")) {
      out += (h < 12 ? TimeAMString : TimePMString).str();
      i += 4;
      continue;
    }
    if (MatchWord(f, i, "a/p")) {
      char m = h < 12 ? 'a' : 'p';
      out += f[i] == 'A' ? static_cast<char>(m - 32) : m;
      i += 3;
      continue;
    }
    int hour = h;
    if (twelve) {
      hour = h % 12;
      if (hour == 0) hour = 12;
    }
    switch (l) {
      case 'c': {
        if (depth < 2) {
          FormatInto(out, ShortDateFormat.str(), dt, depth + 1);
          if (dt.Val - std::trunc(dt.Val) != 0) {
            out += ' ';
            FormatInto(out, LongTimeFormat.str(), dt, depth + 1);
          }
        }
        i += 1;
        afterHour = false;
        continue;
      }
      case 'd': {
        size_t n = count(i, 'd');
        if (n == 1) out += std::to_string(d);
        else if (n == 2) out += TwoDigits(d).str();
        else if (n == 3) out += ShortDayNames[DayOfWeek(dt) - 1].str();
        else if (n == 4) out += LongDayNames[DayOfWeek(dt) - 1].str();
        else if (depth < 2) FormatInto(out, (n == 5 ? ShortDateFormat : LongDateFormat).str(), dt, depth + 1);
        i += n > 6 ? 6 : n;
        afterHour = false;
        continue;
      }
      case 'm': {
        size_t n = count(i, 'm');
        if (afterHour && n <= 2) {
          out += n == 1 ? std::to_string(mi) : TwoDigits(mi).str();
        } else if (n == 1) {
          out += std::to_string(mo);
        } else if (n == 2) {
          out += TwoDigits(mo).str();
        } else if (n == 3) {
          out += ShortMonthNames[mo - 1].str();
        } else {
          out += LongMonthNames[mo - 1].str();
        }
        i += n > 4 ? 4 : n;
        afterHour = false;
        continue;
      }
      case 'y': {
        size_t n = count(i, 'y');
        if (n <= 2) out += TwoDigits(y % 100).str();
        else {
          char b[16];
          std::snprintf(b, sizeof b, "%04d", static_cast<int>(y));
          out += b;
        }
        i += n;
        afterHour = false;
        continue;
      }
      case 'h': {
        size_t n = count(i, 'h');
        out += n == 1 ? std::to_string(hour) : TwoDigits(hour).str();
        i += n > 2 ? 2 : n;
        afterHour = true;
        continue;
      }
      case 'n': {
        size_t n = count(i, 'n');
        out += n == 1 ? std::to_string(mi) : TwoDigits(mi).str();
        i += n > 2 ? 2 : n;
        afterHour = false;
        continue;
      }
      case 's': {
        size_t n = count(i, 's');
        out += n == 1 ? std::to_string(se) : TwoDigits(se).str();
        i += n > 2 ? 2 : n;
        afterHour = false;
        continue;
      }
      case 'z': {
        size_t n = count(i, 'z');
        if (n >= 3) {
          char b[16];
          std::snprintf(b, sizeof b, "%03d", static_cast<int>(ms));
          out += b;
        } else {
          out += std::to_string(ms);
        }
        i += n > 3 ? 3 : n;
        afterHour = false;
        continue;
      }
      case 't': {
        size_t n = count(i, 't');
        if (depth < 2) FormatInto(out, (n == 1 ? ShortTimeFormat : LongTimeFormat).str(), dt, depth + 1);
        i += n > 2 ? 2 : n;
        afterHour = false;
        continue;
      }
      default:
        out += c;
        ++i;
    }
  }
}
}  // namespace

AnsiString FormatDateTime(const AnsiString& format, const TDateTime& d) {
  std::string out;
  FormatInto(out, format.IsEmpty() ? std::string("c") : format.str(), d, 0);
  return AnsiString(std::move(out));
}

AnsiString DateToStr(const TDateTime& d) { return FormatDateTime(ShortDateFormat, d); }
AnsiString TimeToStr(const TDateTime& d) { return FormatDateTime(LongTimeFormat, d); }
AnsiString DateTimeToStr(const TDateTime& d) { return FormatDateTime("c", d); }

AnsiString DateToIso(const TDateTime& d) {
  unsigned short y, m, dd;
  DecodeDate(d, y, m, dd);
  char b[32];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m), static_cast<int>(dd));
  return AnsiString(b);
}

TDateTime IsoToDate(const AnsiString& iso) {
  const std::string& s = iso.str();
  auto digits = [&](size_t from, size_t n, int& v) {
    if (from + n > s.size()) return false;
    v = 0;
    for (size_t i = from; i < from + n; ++i) {
      if (s[i] < '0' || s[i] > '9') return false;
      v = v * 10 + (s[i] - '0');
    }
    return true;
  };
  int y, m, d, h = 0, mi = 0, se = 0;
  TDateTime out;
  bool ok = digits(0, 4, y) && s.size() >= 10 && s[4] == '-' && digits(5, 2, m) && s[7] == '-' &&
            digits(8, 2, d) && TryEncodeDate(y, m, d, out);
  if (ok && s.size() > 10) {
    ok = s.size() >= 19 && (s[10] == ' ' || s[10] == 'T') && digits(11, 2, h) && s[13] == ':' &&
         digits(14, 2, mi) && s[16] == ':' && digits(17, 2, se) && h < 24 && mi < 60 && se < 60;
    size_t p = 19;
    if (ok && p < s.size() && s[p] == '.') {
      ++p;
      while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
    }
    ok = ok && p == s.size();
    if (ok) out = TDateTime(out.Val + EncodeTime(h, mi, se, 0).Val);
  }
  if (!ok) throw EConvertError("'" + s + "' no es una fecha ISO válida");
  return out;
}
