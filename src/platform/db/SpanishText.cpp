// Upper-casing of Spanish text, the same in SQL (registered as upper() on every connection)
// and in the application's own comparisons.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::db {

std::string SpanishUpper(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 'a' && c <= 'z') {
      r += static_cast<char>(c - 32);
    } else if (c == 0xC3 && i + 1 < s.size()) {
      // á é í ó ú ü ñ (UTF-8 C3 xx) and their capitals are 0x20 apart.
      unsigned char n = static_cast<unsigned char>(s[i + 1]);
      bool minuscula = n == 0xA1 || n == 0xA9 || n == 0xAD || n == 0xB3 || n == 0xBA || n == 0xBC || n == 0xB1;
      r += static_cast<char>(c);
      r += static_cast<char>(minuscula ? n - 0x20 : n);
      ++i;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

namespace {

void UpperFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const unsigned char* text = sqlite3_value_text(argv[0]);
  int n = sqlite3_value_bytes(argv[0]);
  std::string up = SpanishUpper(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(n)));
  sqlite3_result_text(ctx, up.data(), static_cast<int>(up.size()), SQLITE_TRANSIENT);
}

// centavos(x): an amount rounded to cents as the program rounds it (RoundToCents), so that
// a copy made in SQL keeps the same figure as one made in C++.
void CentavosFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  sqlite3_result_double(ctx, RoundToCents(sqlite3_value_double(argv[0])));
}

// Weight of the next character for the Spanish order: case and accents folded, "ñ" right
// after "n"; other characters by code point, after the ones above.
int SpanishWeight(const unsigned char*& p, const unsigned char* end) {
  unsigned char c = *p++;
  if (c < 0x80) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    return c * 2;
  }
  if (c == 0xC3 && p < end) {
    unsigned char n = *p++;
    switch (n) {
      case 0xA1: case 0x81: return 'a' * 2;             // á Á
      case 0xA9: case 0x89: return 'e' * 2;             // é É
      case 0xAD: case 0x8D: return 'i' * 2;             // í Í
      case 0xB3: case 0x93: return 'o' * 2;             // ó Ó
      case 0xBA: case 0x9A: case 0xBC: case 0x9C: return 'u' * 2;  // ú Ú ü Ü
      case 0xB1: case 0x91: return 'n' * 2 + 1;         // ñ Ñ
      default: return 0x1000 + ((c & 0x1F) << 6) + (n & 0x3F);
    }
  }
  // any other sequence: its lead byte and continuation bytes, in byte order
  int w = 0x1000 + (c << 8);
  while (p < end && (*p & 0xC0) == 0x80) w = (w << 2) + (*p++ & 0x3F);
  return w;
}

int SpanishCollation(void*, int na, const void* a, int nb, const void* b) {
  auto* pa = static_cast<const unsigned char*>(a);
  auto* pb = static_cast<const unsigned char*>(b);
  const unsigned char *ea = pa + na, *eb = pb + nb;
  while (pa < ea && pb < eb) {
    int wa = SpanishWeight(pa, ea), wb = SpanishWeight(pb, eb);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (pa < ea) return 1;
  if (pb < eb) return -1;
  // same letters: the bytes decide, so that the order is total ("Peña" and "peña" keep one place)
  int r = std::memcmp(a, b, static_cast<size_t>(std::min(na, nb)));
  if (r != 0) return r < 0 ? -1 : 1;
  return na == nb ? 0 : (na < nb ? -1 : 1);
}

}  // namespace

namespace {
// Every connection of the process gets them, raw ones too (repair, installation, tools):
// writing a table with a Spanish-ordered index needs the collation.
int RegisterOnOpen(sqlite3* db, char**, const sqlite3_api_routines*) {
  RegisterSpanishText(db);
  return SQLITE_OK;
}
[[maybe_unused]] const bool kRegisteredOnOpen = [] {
  sqlite3_auto_extension(reinterpret_cast<void (*)(void)>(&RegisterOnOpen));
  return true;
}();
}  // namespace

void RegisterSpanishText(sqlite3* db) {
  sqlite3_create_function(db, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &UpperFunction, nullptr,
                          nullptr);
  sqlite3_create_collation(db, "ES", SQLITE_UTF8, nullptr, &SpanishCollation);
  sqlite3_create_function(db, "centavos", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &CentavosFunction,
                          nullptr, nullptr);
}

}  // namespace tv::db
