#include "platform/core/Encoding.h"

#include "platform/core/AnsiString.h"

namespace tv::encoding {
namespace {
// Windows-1252 bytes 0x80-0x9F; the five unassigned bytes map to the C1 controls so that
// they survive a round trip.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of a well-formed UTF-8 sequence at p, 0 when malformed.
size_t SeqLen(std::string_view s, size_t p, char32_t* cp) {
  unsigned char c = static_cast<unsigned char>(s[p]);
  if (c < 0x80) {
    if (cp) *cp = c;
    return 1;
  }
  size_t n;
  char32_t v;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; v = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; v = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; v = c & 0x07; }
  else return 0;
  if (p + n > s.size()) return 0;
  for (size_t i = 1; i < n; ++i) {
    unsigned char d = static_cast<unsigned char>(s[p + i]);
    if ((d & 0xC0) != 0x80) return 0;
    v = (v << 6) | (d & 0x3F);
  }
  // reject overlong forms, surrogates and values past U+10FFFF
  if ((n == 3 && v < 0x800) || (n == 4 && (v < 0x10000 || v > 0x10FFFF)) ||
      (v >= 0xD800 && v <= 0xDFFF))
    return 0;
  if (cp) *cp = v;
  return n;
}
}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t p = 0;
  while (p < utf8.size()) {
    char32_t cp;
    size_t n = SeqLen(utf8, p, &cp);
    if (n == 0) {  // a stray byte: keep it as is
      out += utf8[p];
      ++p;
      continue;
    }
    p += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char b = '?';
    for (int i = 0; i < 32; ++i)
      if (kHigh[i] == cp) {
        b = static_cast<char>(0x80 + i);
        break;
      }
    out += b;
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 8);
  for (char ch : cp1252) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80)
      out += ch;
    else if (c < 0xA0)
      out += tv::text::EncodeUtf8(kHigh[c - 0x80]);
    else
      out += tv::text::EncodeUtf8(c);
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t p = 0;
  while (p < bytes.size()) {
    size_t n = SeqLen(bytes, p, nullptr);
    if (n == 0) return false;
    p += n;
  }
  return true;
}

std::string DecodeFileText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1252ToUtf8(bytes);
}

}  // namespace tv::encoding

namespace tv::text {
size_t DecodeChar(std::string_view utf8, size_t pos, char32_t& cp) {
  size_t n = tv::encoding::SeqLen(utf8, pos, &cp);
  if (n == 0) {
    cp = static_cast<unsigned char>(utf8[pos]);
    return 1;
  }
  return n;
}
}  // namespace tv::text
