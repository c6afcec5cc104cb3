#pragma once
// A SchemaLookup over an open SQLite connection (table names case-insensitive, declared
// column types read back as field kinds). Caches what it reads: call Invalidate() after
// creating or dropping tables.
#include <map>
#include <string>

#include "platform/db/sql/Translator.h"

struct sqlite3;

namespace tv::db {

class SqliteSchemaLookup : public SchemaLookup {
 public:
  explicit SqliteSchemaLookup(sqlite3* db) : db_(db) {}
  std::optional<std::string> ResolveTable(std::string_view written) const override;
  std::vector<ColumnInfo> Columns(std::string_view storedTable) const override;
  void Invalidate() const {
    tables_.clear();
    columns_.clear();
  }

 private:
  sqlite3* db_;
  mutable std::map<std::string, std::optional<std::string>> tables_;
  mutable std::map<std::string, std::vector<ColumnInfo>> columns_;
};

}  // namespace tv::db
