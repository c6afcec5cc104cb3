#include "platform/core/AnsiString.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <ostream>

#include "platform/core/SysUtils.h"

namespace tv::text {
int CharCount(std::string_view utf8) {
  int n = 0;
  char32_t cp;
  for (size_t p = 0; p < utf8.size(); ++n) p += DecodeChar(utf8, p, cp);
  return n;
}

size_t ByteOffset(std::string_view utf8, int charIndex) {
  size_t p = 0;
  char32_t cp;
  for (int i = 0; i < charIndex && p < utf8.size(); ++i) p += DecodeChar(utf8, p, cp);
  return p;
}

std::string EncodeUtf8(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// printf into a std::string with the C locale, whatever the process locale is: the
// desktop toolkit may switch LC_NUMERIC to the user's locale.
std::string VFormat(const char* fmt, va_list ap) {
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  locale_t old = cLocale ? uselocale(cLocale) : nullptr;
  va_list ap2;
  va_copy(ap2, ap);
  char buf[256];
  int n = std::vsnprintf(buf, sizeof buf, fmt ? fmt : "", ap);
  std::string out;
  if (n >= 0 && static_cast<size_t>(n) < sizeof buf) {
    out.assign(buf, n);
  } else if (n >= 0) {
    out.resize(n + 1);
    std::vsnprintf(out.data(), out.size(), fmt, ap2);
    out.resize(n);
  }
  va_end(ap2);
  if (old) uselocale(old);
  return out;
}
}  // namespace tv::text

std::string AnsiString::EncodeChar(char32_t cp) { return tv::text::EncodeUtf8(cp); }

AnsiString::AnsiString(int v) : s_(std::to_string(v)) {}
AnsiString::AnsiString(long v) : s_(std::to_string(v)) {}
AnsiString::AnsiString(long long v) : s_(std::to_string(v)) {}
AnsiString::AnsiString(unsigned v) : s_(std::to_string(v)) {}
AnsiString::AnsiString(double v) : s_(FloatToStr(v).str()) {}

int AnsiString::Length() const { return tv::text::CharCount(s_); }

AnsiString AnsiString::SubString(int start, int count) const {
  if (start < 1) start = 1;
  if (count <= 0) return AnsiString();
  size_t b = tv::text::ByteOffset(s_, start - 1);
  if (b >= s_.size()) return AnsiString();
  size_t e = b + tv::text::ByteOffset(std::string_view(s_).substr(b), count);
  return AnsiString(s_.substr(b, e - b));
}

int AnsiString::Pos(const AnsiString& sub) const {
  if (sub.s_.empty()) return 0;
  size_t b = s_.find(sub.s_);
  if (b == std::string::npos) return 0;
  return tv::text::CharCount(std::string_view(s_).substr(0, b)) + 1;
}

char32_t AnsiString::operator[](int index) const {
  size_t b = index >= 1 ? tv::text::ByteOffset(s_, index - 1) : s_.size();
  if (b >= s_.size())
    throw EOutOfRange("Índice de texto fuera de rango (" + std::to_string(index) + ")");
  char32_t cp;
  tv::text::DecodeChar(s_, b, cp);
  return cp;
}

AnsiString& AnsiString::Insert(const AnsiString& s, int index) {
  if (index < 1) index = 1;
  s_.insert(tv::text::ByteOffset(s_, index - 1), s.s_);
  return *this;
}

AnsiString& AnsiString::Delete(int index, int count) {
  if (index < 1 || count <= 0) return *this;
  size_t b = tv::text::ByteOffset(s_, index - 1);
  if (b >= s_.size()) return *this;
  size_t e = b + tv::text::ByteOffset(std::string_view(s_).substr(b), count);
  s_.erase(b, e - b);
  return *this;
}

AnsiString& AnsiString::SetLength(int newLength) {
  if (newLength < 0) newLength = 0;
  int len = Length();
  if (newLength < len)
    s_.resize(tv::text::ByteOffset(s_, newLength));
  else
    s_.append(newLength - len, ' ');
  return *this;
}

int AnsiString::LastDelimiter(const AnsiString& delimiters) const {
  int idx = 0, last = 0;
  char32_t cp;
  for (size_t p = 0; p < s_.size();) {
    size_t n = tv::text::DecodeChar(s_, p, cp);
    ++idx;
    if (delimiters.s_.find(s_.substr(p, n)) != std::string::npos) last = idx;
    p += n;
  }
  return last;
}

AnsiString AnsiString::UpperCase() const { return ::UpperCase(*this); }
AnsiString AnsiString::LowerCase() const { return ::LowerCase(*this); }
AnsiString AnsiString::Trim() const { return ::Trim(*this); }
AnsiString AnsiString::TrimLeft() const { return ::TrimLeft(*this); }
AnsiString AnsiString::TrimRight() const { return ::TrimRight(*this); }
int AnsiString::AnsiCompareIC(const AnsiString& other) const { return CompareText(*this, other); }

int AnsiString::ToInt() const { return StrToInt(*this); }
int AnsiString::ToIntDef(int def) const { return StrToIntDef(*this, def); }
double AnsiString::ToDouble() const { return StrToFloat(*this); }

AnsiString AnsiString::StringOfChar(char c, int count) {
  return AnsiString(std::string(count > 0 ? count : 0, c));
}

AnsiString AnsiString::FormatFloat(const AnsiString& format, double value) {
  return ::FormatFloat(format, value);
}

AnsiString AnsiString::Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = tv::text::VFormat(fmt, ap);
  va_end(ap);
  return AnsiString(std::move(s));
}

AnsiString& AnsiString::sprintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  s_ = tv::text::VFormat(fmt, ap);
  va_end(ap);
  return *this;
}

AnsiString& AnsiString::cat_sprintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  s_ += tv::text::VFormat(fmt, ap);
  va_end(ap);
  return *this;
}

std::ostream& operator<<(std::ostream& os, const AnsiString& s) { return os << s.str(); }
