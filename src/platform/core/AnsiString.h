#pragma once
// Text type used throughout the application. Holds UTF-8; every index, length and
// position counts characters (code points), 1-based as the application expects.
#include <compare>
#include <cstdarg>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>

class AnsiString {
 public:
  AnsiString() = default;
  AnsiString(const char* s) : s_(s ? s : "") {}
  AnsiString(const std::string& s) : s_(s) {}
  AnsiString(std::string&& s) : s_(std::move(s)) {}
  AnsiString(std::string_view s) : s_(s) {}
  // A character makes a one-character text, as in the original; without these a char or
  // a char32_t from operator[] would silently become its code number ("44" for ',').
  AnsiString(char c) : s_(1, c) {}
  AnsiString(char32_t c) : s_(EncodeChar(c)) {}
  AnsiString(int v);
  AnsiString(long v);
  AnsiString(long long v);
  AnsiString(unsigned v);
  AnsiString(double v);  // FloatToStr

  // raw access
  const char* c_str() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  std::string& str() { return s_; }
  int ByteLength() const { return static_cast<int>(s_.size()); }

  // character-based operations (1-based)
  int Length() const;
  bool IsEmpty() const { return s_.empty(); }
  AnsiString SubString(int start, int count) const;
  int Pos(const AnsiString& sub) const;  // 0 when absent
  char32_t operator[](int index) const;  // index-th character
  AnsiString& Insert(const AnsiString& s, int index);
  AnsiString& Delete(int index, int count);
  AnsiString& SetLength(int newLength);  // truncate or pad with blanks
  int LastDelimiter(const AnsiString& delimiters) const;

  AnsiString UpperCase() const;  // ASCII only
  AnsiString LowerCase() const;  // ASCII only
  AnsiString Trim() const;
  AnsiString TrimLeft() const;
  AnsiString TrimRight() const;
  int AnsiCompareIC(const AnsiString& other) const;  // case-insensitive compare

  // conversions (use the process-wide format settings; raise EConvertError)
  int ToInt() const;
  int ToIntDef(int def) const;
  double ToDouble() const;

  static AnsiString StringOfChar(char c, int count);
  static AnsiString FormatFloat(const AnsiString& format, double value);
  // printf-style formatting into a new string
  static AnsiString Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
  AnsiString& sprintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  AnsiString& cat_sprintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  AnsiString& operator+=(const AnsiString& o) { s_ += o.s_; return *this; }
  AnsiString& operator+=(const char* o) { s_ += o; return *this; }
  AnsiString& operator+=(char c) { s_ += c; return *this; }

  friend AnsiString operator+(const AnsiString& a, const AnsiString& b) { return AnsiString(a.s_ + b.s_); }
  friend AnsiString operator+(const AnsiString& a, const char* b) { return AnsiString(a.s_ + b); }
  friend AnsiString operator+(const char* a, const AnsiString& b) { return AnsiString(a + b.s_); }
  friend AnsiString operator+(const AnsiString& a, char b) { return AnsiString(a.s_ + b); }
  friend AnsiString operator+(char a, const AnsiString& b) { return AnsiString(a + b.s_); }

  // Numbers join as their decimal text (as the original's AnsiString(int) conversion did)
  // and a char32_t from operator[] joins as that character, instead of being narrowed to
  // a char by the char overloads.
  template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>)
  AnsiString& operator+=(T v) { s_ += Piece(v); return *this; }
  template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>)
  friend AnsiString operator+(const AnsiString& a, T b) { return AnsiString(a.s_ + Piece(b)); }
  template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>)
  friend AnsiString operator+(T a, const AnsiString& b) { return AnsiString(Piece(a) + b.s_); }

  friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.s_ == b.s_; }
  friend bool operator==(const AnsiString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) { return a.s_ <=> b.s_; }

 private:
  template <class T>
  static std::string Piece(T v) {
    if constexpr (std::is_same_v<T, char32_t> || std::is_same_v<T, char16_t> || std::is_same_v<T, wchar_t>)
      return EncodeChar(static_cast<char32_t>(v));
    else if constexpr (std::is_floating_point_v<T>)
      return AnsiString(static_cast<double>(v)).s_;
    else if constexpr (std::is_signed_v<T>)
      return std::to_string(static_cast<long long>(v));
    else
      return std::to_string(static_cast<unsigned long long>(v));
  }
  static std::string EncodeChar(char32_t cp);
  std::string s_;
};

std::ostream& operator<<(std::ostream& os, const AnsiString& s);

template <>
struct std::hash<AnsiString> {
  size_t operator()(const AnsiString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};

using String = AnsiString;

// Character helpers on UTF-8 text.
namespace tv::text {
int CharCount(std::string_view utf8);
// byte offset of the 0-based character index (size() when past the end)
size_t ByteOffset(std::string_view utf8, int charIndex);
std::string EncodeUtf8(char32_t cp);
// Decodes the character at byte offset pos; returns the bytes it takes (at least 1).
// A malformed byte counts as one character holding its own value.
size_t DecodeChar(std::string_view utf8, size_t pos, char32_t& cp);
// vsnprintf into a string, always with the C locale's '.' decimal point.
std::string VFormat(const char* fmt, va_list ap);
}  // namespace tv::text
