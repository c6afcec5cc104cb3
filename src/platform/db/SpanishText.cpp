// Upper-casing of Spanish text, the same in SQL (registered as upper() on every connection)
// and in the application's own comparisons.
#include <sqlite3.h>

#include <string>
#include <string_view>

#include "platform/db/DBTables.h"

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

}  // namespace

void RegisterSpanishText(sqlite3* db) {
  sqlite3_create_function(db, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &UpperFunction, nullptr,
                          nullptr);
}

}  // namespace tv::db
