#include "platform/db/sql/SqliteSchema.h"

#include <sqlite3.h>

#include <cctype>

#include "platform/db/Storage.h"

namespace tv::db {

namespace {
std::string Lower(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}
}  // namespace

std::optional<std::string> SqliteSchemaLookup::ResolveTable(std::string_view written) const {
  std::string name = StoredTableName(written);
  std::string key = Lower(name);
  if (auto it = tables_.find(key); it != tables_.end()) return it->second;
  std::optional<std::string> result;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT name FROM sqlite_master WHERE type='table' AND name=?1 "
                         "COLLATE NOCASE",
                         -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  }
  sqlite3_finalize(st);
  tables_[key] = result;
  return result;
}

std::vector<ColumnInfo> SqliteSchemaLookup::Columns(std::string_view storedTable) const {
  std::string key = Lower(storedTable);
  if (auto it = columns_.find(key); it != columns_.end()) return it->second;
  std::vector<ColumnInfo> cols;
  std::string sql = "PRAGMA table_info(\"";
  for (char c : storedTable) {
    if (c == '"') sql += '"';
    sql += c;
  }
  sql += "\")";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      ColumnInfo ci;
      ci.name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
      const unsigned char* type = sqlite3_column_text(st, 2);
      ci.kind = KindOfDeclaredType(type ? reinterpret_cast<const char*>(type) : "");
      cols.push_back(std::move(ci));
    }
  }
  sqlite3_finalize(st);
  columns_[key] = cols;
  return cols;
}

}  // namespace tv::db
