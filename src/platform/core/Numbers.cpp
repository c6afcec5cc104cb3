// Number <-> text conversions under the process-wide format settings.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/core/DecimalSum.h"
#include "platform/core/SysUtils.h"

namespace {

std::string Blankless(const AnsiString& s) { return Trim(s).str(); }

[[noreturn]] void BadInt(const AnsiString& s) {
  throw EConvertError("'" + s.str() + "' no es un valor entero válido");
}
[[noreturn]] void BadFloat(const AnsiString& s) {
  throw EConvertError("'" + s.str() + "' no es un valor numérico válido");
}

bool ParseInt64(const AnsiString& text, long long& out) {
  std::string s = Blankless(text);
  size_t p = 0;
  bool neg = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) neg = s[p++] == '-';
  int base = 10;
  if (p < s.size() && s[p] == '$') {
    base = 16;
    ++p;
  } else if (p + 1 < s.size() && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
    base = 16;
    p += 2;
  }
  if (p >= s.size()) return false;
  unsigned long long v = 0;
  auto [end, ec] = std::from_chars(s.data() + p, s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  if (neg) {
    if (v > static_cast<unsigned long long>(LLONG_MAX) + 1) return false;
    out = static_cast<long long>(0 - v);
  } else {
    if (v > static_cast<unsigned long long>(LLONG_MAX)) return false;
    out = static_cast<long long>(v);
  }
  return true;
}

// Parses digits with DecimalSeparator and an optional exponent; no grouping.
bool ParseFloat(const AnsiString& text, double& out) {
  std::string s = Blankless(text);
  std::string c;
  size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) c += s[p++];
  size_t digits = 0;
  while (p < s.size() && s[p] >= '0' && s[p] <= '9') c += s[p++], ++digits;
  if (p < s.size() && s[p] == DecimalSeparator) {
    c += '.';
    ++p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') c += s[p++], ++digits;
  }
  if (digits == 0) return false;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    c += 'e';
    ++p;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) c += s[p++];
    size_t ed = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') c += s[p++], ++ed;
    if (ed == 0) return false;
  }
  if (p != s.size()) return false;
  const char* b = c.data();
  if (*b == '+') ++b;
  double v = 0;
  auto [end, ec] = std::from_chars(b, c.data() + c.size(), v);
  if (ec != std::errc() || end != c.data() + c.size()) return false;
  out = v;
  return true;
}

// A decimal number: value = 0.d1d2d3... x 10^exp, digits without trailing zeros
// (empty for zero).
struct Decimal {
  bool neg = false;
  std::string digits;
  int exp = 0;
};

void StripZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  size_t lead = 0;
  while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
  if (lead) {
    d.digits.erase(0, lead);
    d.exp -= static_cast<int>(lead);
  }
  if (d.digits.empty()) d.exp = 0;
}

// The value to `sig` significant digits (correctly rounded from the binary value).
Decimal ToDecimal(double v, int sig = 15) {
  Decimal d;
  d.neg = std::signbit(v);
  v = std::fabs(v);
  if (v == 0) return d;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, sig - 1);
  std::string s(buf, r.ptr);
  size_t e = s.find('e');
  for (size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  d.exp = std::stoi(s.substr(e + 1)) + 1;
  StripZeros(d);
  return d;
}

// Keeps `keep` digits, rounding half away from zero on the decimal digits.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    StripZeros(d);
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exp;
    }
  }
  StripZeros(d);
}

void RoundDecimals(Decimal& d, int decimals) { RoundDigits(d, d.exp + decimals); }

// Integer part digits ("0" for none) and fraction digits padded to `decimals`.
std::string IntDigits(const Decimal& d) {
  if (d.digits.empty() || d.exp <= 0) return "0";
  std::string s = d.digits.substr(0, std::min<size_t>(d.exp, d.digits.size()));
  s.append(d.exp - s.size(), '0');
  return s;
}

std::string FracDigits(const Decimal& d, int decimals) {
  std::string s;
  for (int i = 0; i < decimals; ++i) {
    int idx = d.exp + i;
    s += (idx >= 0 && idx < static_cast<int>(d.digits.size())) ? d.digits[idx] : '0';
  }
  return s;
}

std::string Group(const std::string& digits) {
  std::string out;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    out += digits[i];
    int rest = n - i - 1;
    if (rest > 0 && rest % 3 == 0 && ThousandSeparator) out += ThousandSeparator;
  }
  return out;
}

std::string ExponentText(int e, bool alwaysSign, int minDigits) {
  std::string out;
  if (e < 0) out += '-';
  else if (alwaysSign) out += '+';
  std::string n = std::to_string(e < 0 ? -e : e);
  if (static_cast<int>(n.size()) < minDigits) n.insert(0, minDigits - n.size(), '0');
  return out + n;
}

std::string Special(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

// General format with `precision` significant digits.
std::string General(double v, int precision, int expDigits) {
  if (!std::isfinite(v)) return Special(v);
  Decimal d = ToDecimal(v, 15);
  RoundDigits(d, precision);
  if (d.digits.empty()) return "0";
  std::string out = d.neg ? "-" : "";
  if (d.exp > precision || d.exp < -4) {
    out += d.digits[0];
    if (d.digits.size() > 1) out += DecimalSeparator + d.digits.substr(1);
    out += 'E' + ExponentText(d.exp - 1, false, expDigits);
    return out;
  }
  out += IntDigits(d);
  int decimals = static_cast<int>(d.digits.size()) - d.exp;
  if (decimals > 0) out += DecimalSeparator + FracDigits(d, decimals);
  return out;
}

std::string Fixed(double v, int precision, int digits, bool grouping) {
  if (!std::isfinite(v)) return Special(v);
  if (digits < 0) digits = 0;
  if (digits > 18) digits = 18;
  Decimal d = ToDecimal(v, 15);
  if (d.exp > precision) return General(v, precision, 0);
  RoundDigits(d, precision);
  RoundDecimals(d, digits);
  std::string out = (d.neg && !d.digits.empty()) ? "-" : "";
  std::string ip = IntDigits(d);
  out += grouping ? Group(ip) : ip;
  if (digits > 0) out += DecimalSeparator + FracDigits(d, digits);
  return out;
}

int ClampPrecision(int p) { return p < 1 ? 1 : (p > 15 ? 15 : p); }

// ---- FormatFloat ----------------------------------------------------------

std::vector<std::string> SplitSections(const std::string& f) {
  std::vector<std::string> out(1);
  char quote = 0;
  for (char c : f) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

struct Section {
  int intPlaces = 0;     // '0' and '#' before the decimal point
  int minInt = 0;        // digits from the first '0' before the point
  int fracPlaces = 0;    // '0' and '#' after the decimal point
  int minFrac = 0;       // up to the last '0' after the point
  bool grouping = false;
  bool scientific = false;
  int expDigits = 0;
};

Section Analyse(const std::string& f) {
  Section s;
  bool afterPoint = false, seenZero = false;
  int intSeen = 0, firstZero = 0;
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if ((c == 'E' || c == 'e') && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
      // nothing after the exponent counts as a digit place
      s.scientific = true;
      for (i += 2; i < f.size() && f[i] == '0'; ++i) ++s.expDigits;
      break;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else if (c == ',' && !afterPoint) {
      s.grouping = true;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++s.fracPlaces;
        if (c == '0') s.minFrac = s.fracPlaces;
      } else {
        if (c == '0' && !seenZero) {
          seenZero = true;
          firstZero = intSeen;
        }
        ++intSeen;
      }
    }
  }
  s.intPlaces = intSeen;
  if (seenZero) s.minInt = intSeen - firstZero;
  if (s.expDigits > 4) s.expDigits = 4;
  return s;
}

std::string ApplySection(const std::string& f, const Section& sec, const Decimal& d0, bool minus) {
  Decimal d = d0;
  int exponent = 0;
  if (sec.scientific) {
    int intDigits = sec.intPlaces > 0 ? sec.intPlaces : 1;
    if (!d.digits.empty()) {
      RoundDigits(d, intDigits + sec.fracPlaces);
      exponent = d.exp - intDigits;
      d.exp = intDigits;
    }
  } else {
    RoundDecimals(d, sec.fracPlaces);
  }
  std::string ip = IntDigits(d);
  if (ip == "0") ip.clear();
  if (static_cast<int>(ip.size()) < sec.minInt) ip.insert(0, sec.minInt - ip.size(), '0');
  std::string fp = FracDigits(d, sec.fracPlaces);
  while (static_cast<int>(fp.size()) > sec.minFrac && !fp.empty() && fp.back() == '0') fp.pop_back();

  std::string out = minus ? "-" : "";
  int n = static_cast<int>(ip.size());
  int placeIdx = 0;   // integer digit places met so far
  int emitted = 0;    // integer digits written so far
  int fracIdx = 0;
  bool afterPoint = false;
  auto emitInt = [&](int count) {
    for (int k = 0; k < count && emitted < n; ++k) {
      out += ip[emitted++];
      int rest = n - emitted;
      if (sec.grouping && rest > 0 && rest % 3 == 0 && ThousandSeparator) out += ThousandSeparator;
    }
  };
  auto finishInt = [&]() { emitInt(n - emitted); };
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
      else out += c;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if ((c == 'E' || c == 'e') && sec.scientific && i + 1 < f.size() &&
               (f[i + 1] == '+' || f[i + 1] == '-')) {
      if (!afterPoint) finishInt();
      out += c;
      out += ExponentText(exponent, f[i + 1] == '+', sec.expDigits);
      i += 2;
      while (i < f.size() && f[i] == '0') ++i;
      --i;
      afterPoint = true;
    } else if (c == '0' || c == '#') {
      if (!afterPoint) {
        // places align to the right; the first place takes any extra leading digits
        int upTo = n - sec.intPlaces + placeIdx;
        if (upTo + 1 - emitted > 0) emitInt(upTo + 1 - emitted);
        ++placeIdx;
      } else if (fracIdx < static_cast<int>(fp.size())) {
        out += fp[fracIdx++];
      } else {
        ++fracIdx;
      }
    } else if (c == '.' && !afterPoint) {
      finishInt();
      afterPoint = true;
      if (!fp.empty()) out += DecimalSeparator;
    } else if (c == ',' && !afterPoint) {
      // grouping marker, not printed
    } else {
      out += c;
    }
  }
  finishInt();  // a pattern without digit places still shows the integer part
  return out;
}

// A number as a person types it: an optional minus, integer digits either plain or grouped
// in threes by ThousandSeparator, then DecimalSeparator and fraction digits. At least one
// digit. With decimals >= 0 the value is rounded half away from zero to that many decimals
// on the typed digits themselves, so "636,945" gives the double nearest to 636.95.
bool ParseTyped(const AnsiString& text, int decimals, double& out) {
  std::string s = Blankless(text);
  size_t p = 0;
  bool neg = false;
  if (p < s.size() && s[p] == '-') neg = true, ++p;
  std::string intDigits, fracDigits;
  size_t groupLen = 0;
  bool grouped = false;
  while (p < s.size()) {
    char c = s[p];
    if (c >= '0' && c <= '9') {
      intDigits += c;
      ++groupLen;
      ++p;
    } else if (ThousandSeparator && c == ThousandSeparator && c != DecimalSeparator) {
      // the first group takes one to three digits, every later one exactly three
      if (groupLen == 0 || groupLen > 3 || (grouped && groupLen != 3)) return false;
      grouped = true;
      groupLen = 0;
      ++p;
    } else {
      break;
    }
  }
  if (grouped && groupLen != 3) return false;
  if (p < s.size() && s[p] == DecimalSeparator) {
    ++p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') fracDigits += s[p++];
  }
  if (p != s.size() || (intDigits.empty() && fracDigits.empty())) return false;
  Decimal d;
  d.neg = neg;
  d.digits = intDigits + fracDigits;
  d.exp = static_cast<int>(intDigits.size());
  StripZeros(d);
  if (decimals >= 0) RoundDecimals(d, decimals);
  std::string c = "0";
  if (!d.digits.empty()) c = "0." + d.digits + "e" + std::to_string(d.exp);
  double v = 0;
  auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
  if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v)) return false;
  out = (neg && v != 0) ? -v : v;
  return true;
}

}  // namespace

AnsiString IntToStr(long long v) { return AnsiString(std::to_string(v)); }

AnsiString IntToHex(long long v, int digits) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned long long>(v), 16);
  std::string s(buf, r.ptr);
  for (char& c : s)
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return AnsiString(std::move(s));
}

bool TryStrToInt(const AnsiString& s, int& out) {
  long long v;
  if (!ParseInt64(s, v) || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

int StrToInt(const AnsiString& s) {
  int v;
  if (!TryStrToInt(s, v)) BadInt(s);
  return v;
}

int StrToIntDef(const AnsiString& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

long long StrToInt64(const AnsiString& s) {
  long long v;
  if (!ParseInt64(s, v)) BadInt(s);
  return v;
}

bool TryStrToFloat(const AnsiString& s, double& out) { return ParseFloat(s, out); }

double StrToFloat(const AnsiString& s) {
  double v;
  if (!ParseFloat(s, v)) BadFloat(s);
  return v;
}

double StrToFloatDef(const AnsiString& s, double def) {
  double v;
  return ParseFloat(s, v) ? v : def;
}

bool TryStrToNumber(const AnsiString& s, double& out) { return ParseTyped(s, -1, out); }

double StrToNumber(const AnsiString& s) {
  double v;
  if (!ParseTyped(s, -1, v)) BadFloat(s);
  return v;
}

bool TryStrToAmount(const AnsiString& s, double& out) { return ParseTyped(s, 2, out); }

AnsiString GroupedAmountText(const AnsiString& s) {
  std::string t = s.str();
  size_t a = t.find_first_not_of(' '), b = t.find_last_not_of(' ');
  if (a == std::string::npos) return s;
  std::string core = t.substr(a, b - a + 1);
  size_t i = core[0] == '-' ? 1 : 0;
  size_t dot = core.find(DecimalSeparator, i);
  std::string whole = core.substr(i, dot == std::string::npos ? std::string::npos : dot - i);
  std::string frac = dot == std::string::npos ? std::string() : core.substr(dot + 1);
  auto digits = [](const std::string& d) {
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.empty() || !digits(whole) || !digits(frac)) return s;
  std::string out;
  for (size_t k = 0; k < whole.size(); ++k) {
    if (k > 0 && (whole.size() - k) % 3 == 0) out += ThousandSeparator;
    out += whole[k];
  }
  return AnsiString((core.substr(0, i) + out + core.substr(whole.size() + i)).c_str());
}

double StrToAmount(const AnsiString& s) {
  double v;
  if (!ParseTyped(s, 2, v)) BadFloat(s);
  return v;
}

double RoundToCents(double v) {
  if (!std::isfinite(v)) return v;
  Decimal d = ToDecimal(v, 15);
  RoundDecimals(d, 2);
  if (d.digits.empty()) return 0;
  std::string c = "0." + d.digits + "e" + std::to_string(d.exp);
  double r = 0;
  std::from_chars(c.data(), c.data() + c.size(), r);
  return d.neg ? -r : r;
}

AnsiString FloatToStr(double v) { return AnsiString(General(v, 15, 0)); }

AnsiString FloatToStrF(double v, TFloatFormat format, int precision, int digits) {
  precision = ClampPrecision(precision);
  switch (format) {
    case ffGeneral:
      return AnsiString(General(v, precision, digits));
    case ffExponent: {
      if (!std::isfinite(v)) return AnsiString(Special(v));
      Decimal d = ToDecimal(v, 15);
      RoundDigits(d, precision);
      std::string out = (d.neg && !d.digits.empty()) ? "-" : "";
      std::string ds = d.digits.empty() ? "0" : d.digits;
      ds.resize(precision, '0');
      out += ds[0];
      if (precision > 1) out += DecimalSeparator + ds.substr(1);
      out += 'E' + ExponentText(d.digits.empty() ? 0 : d.exp - 1, true, digits < 0 ? 0 : (digits > 4 ? 4 : digits));
      return AnsiString(std::move(out));
    }
    case ffFixed:
      return AnsiString(Fixed(v, precision, digits, false));
    case ffNumber:
      return AnsiString(Fixed(v, precision, digits, true));
    case ffCurrency: {
      std::string n = Fixed(std::fabs(v), precision, digits, true);
      bool neg = v < 0 && n.find_first_not_of("0,.") != std::string::npos;
      return AnsiString((neg ? "-" : "") + CurrencyString.str() + " " + n);
    }
  }
  return AnsiString(General(v, precision, digits));
}

AnsiString FormatFloat(const AnsiString& format, double v) {
  if (format.IsEmpty()) return FloatToStr(v);
  if (!std::isfinite(v)) return AnsiString(Special(v));
  std::vector<std::string> sections = SplitSections(format.str());
  Decimal d = ToDecimal(v, 15);
  bool negative = d.neg && !d.digits.empty();
  d.neg = false;

  // Choose the section from the value as it will be shown (after rounding).
  const std::string* f = &sections[0];
  Section sec = Analyse(*f);
  Decimal probe = d;
  if (!sec.scientific) RoundDecimals(probe, sec.fracPlaces);
  bool zero = probe.digits.empty();
  bool minus = false;
  if (zero) {
    if (sections.size() >= 3 && !sections[2].empty()) f = &sections[2];
  } else if (negative) {
    if (sections.size() >= 2 && !sections[1].empty()) f = &sections[1];
    else minus = true;
  }
  if (f != &sections[0]) sec = Analyse(*f);
  return AnsiString(ApplySection(*f, sec, d, minus));
}

// ---- DecimalSum -------------------------------------------------------------------------

namespace tv {

namespace {
constexpr int kMaxScale = 30;
const __int128 kUnitsLimit = static_cast<__int128>(1000000000000000000LL) * 1000000000000000000LL;  // 1e36

bool Times10(__int128& x, int n) {
  for (int i = 0; i < n; ++i) {
    if (x > kUnitsLimit / 10 || x < -kUnitsLimit / 10) return false;
    x *= 10;
  }
  return true;
}
}  // namespace

void DecimalSum::Add(double v) {
  plain_ += v;
  if (inexact_) return;
  if (!std::isfinite(v)) {
    inexact_ = true;
    return;
  }
  if (v == 0) return;
  Decimal d = ToDecimal(v, 15);
  // value = 0.digits x 10^exp = digits x 10^(exp - n)
  __int128 m = 0;
  for (char c : d.digits) m = m * 10 + (c - '0');
  if (d.neg) m = -m;
  int k = static_cast<int>(d.digits.size()) - d.exp;  // decimals the value needs
  if (k < 0) {
    if (!Times10(m, -k)) {
      inexact_ = true;
      return;
    }
    k = 0;
  }
  if (k > kMaxScale) {
    inexact_ = true;
    return;
  }
  if (k > scale_) {
    if (!Times10(units_, k - scale_)) {
      inexact_ = true;
      return;
    }
    scale_ = k;
  }
  if (!Times10(m, scale_ - k)) {
    inexact_ = true;
    return;
  }
  units_ += m;
  if (units_ > kUnitsLimit || units_ < -kUnitsLimit) inexact_ = true;
}

AnsiString DecimalSum::Text() const {
  if (inexact_) return FloatToStr(plain_);
  __int128 u = units_ < 0 ? -units_ : units_;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(u % 10)));
    u /= 10;
  } while (u != 0);
  if (static_cast<int>(digits.size()) <= scale_) digits.insert(0, scale_ + 1 - digits.size(), '0');
  std::string ip = digits.substr(0, digits.size() - scale_);
  std::string fp = digits.substr(digits.size() - scale_);
  while (!fp.empty() && fp.back() == '0') fp.pop_back();
  std::string out = units_ < 0 ? "-" : "";
  out += ip;
  if (!fp.empty()) out += DecimalSeparator + fp;
  return AnsiString(std::move(out));
}

double DecimalSum::Value() const {
  if (inexact_) return plain_;
  std::string t = Text().str();
  for (char& c : t)
    if (c == DecimalSeparator) c = '.';
  double v = 0;
  std::from_chars(t.data(), t.data() + t.size(), v);
  return v;
}

}  // namespace tv
