#include "platform/db/Storage.h"

#include <cctype>
#include <string>

namespace tv::db {

std::string DeclaredType(ColumnKind kind, int size) {
  switch (kind) {
    case ColumnKind::Text:
      return "VARCHAR(" + std::to_string(size > 0 ? size : 255) + ")";
    case ColumnKind::Number: return "NUMERIC";
    case ColumnKind::Integer: return "INTEGER";
    case ColumnKind::Date: return "DATE";
    case ColumnKind::DateTime: return "TIMESTAMP";
    case ColumnKind::Logical: return "BOOLEAN";
    case ColumnKind::Memo: return "MEMO";
  }
  return "NUMERIC";
}

ColumnKind KindOfDeclaredType(std::string_view decl, int* size) {
  std::string up;
  up.reserve(decl.size());
  for (char c : decl) {
    if (c == ' ' || c == '\t') continue;
    up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  std::string base = up.substr(0, up.find('('));
  int width = 0;
  if (auto open = up.find('('); open != std::string::npos) {
    size_t i = open + 1;
    // a width beyond any text stops growing instead of overflowing
    while (i < up.size() && std::isdigit(static_cast<unsigned char>(up[i]))) {
      width = width > 100000000 ? 1000000000 : width * 10 + (up[i] - '0');
      ++i;
    }
  }
  if (size) *size = 0;
  auto isAny = [&](std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (base == n) return true;
    return false;
  };
  if (isAny({"VARCHAR", "CHAR", "CHARACTER", "TEXT", "NVARCHAR", "NCHAR", "STRING", "ALPHA"})) {
    if (size) *size = width > 0 ? width : (base == "CHAR" || base == "CHARACTER" ? 1 : 255);
    return ColumnKind::Text;
  }
  if (isAny({"INTEGER", "INT", "SMALLINT", "AUTOINC", "BIGINT", "SHORT", "LONG", "WORD"}))
    return ColumnKind::Integer;
  if (base == "DATE") return ColumnKind::Date;
  if (isAny({"TIMESTAMP", "DATETIME", "TIME"})) return ColumnKind::DateTime;
  if (isAny({"BOOLEAN", "BOOL", "LOGICAL"})) return ColumnKind::Logical;
  if (isAny({"MEMO", "BLOB", "CLOB", "LONGTEXT"})) return ColumnKind::Memo;
  // NUMERIC, DECIMAL, FLOAT, DOUBLE, REAL, MONEY, NUMBER and anything unknown.
  return ColumnKind::Number;
}

}  // namespace tv::db
