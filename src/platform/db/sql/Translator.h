#pragma once
// Turns the local-SQL dialect that the application composes into SQLite's dialect.
// Schema-aware: it resolves table names (".db", quotes, case), date literals compared
// with date columns, and unqualified columns shared by joined tables.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tv::db {

enum class ColumnKind { Text, Number, Integer, Date, DateTime, Logical, Memo };

struct ColumnInfo {
  std::string name;  // as stored
  ColumnKind kind = ColumnKind::Text;
};

// What the translator may ask of the database it translates for.
class SchemaLookup {
 public:
  virtual ~SchemaLookup() = default;
  // The stored name of a table given as the application wrote it ("MVT.db", "'mvt'",
  // "\"plPpto.db\"", "Mvt"), or nothing when no such table exists.
  virtual std::optional<std::string> ResolveTable(std::string_view written) const = 0;
  // Columns of a stored table in definition order.
  virtual std::vector<ColumnInfo> Columns(std::string_view storedTable) const = 0;
};

struct Translation {
  std::vector<std::string> statements;  // usually one; some forms become several
  bool returnsRows = false;             // SELECT (opened) vs changes (executed)
};

// Throws std::invalid_argument with a readable message on text it cannot parse; the
// engine turns that into its syntax-error EDBEngineError.
Translation TranslateLocalSql(std::string_view localSql, const SchemaLookup& schema);

// Quoting helpers for values typed by users that the application pastes into SQL.
std::string QuoteSqlValue(std::string_view value);      // 'O''Neil'
std::string EscapeSqlText(std::string_view value);      // O''Neil (inside quotes already written)
// Also escapes % and _ (and the escape character) with a backslash: the caller writes
// " escape '\\'" after the pattern, e.g. "x like '" + EscapeLikePattern(v) + "%' escape '\\'".
std::string EscapeLikePattern(std::string_view value);

// Name a table written as a file name is stored under: quotes, folders and the ".db"
// extension dropped, other characters than letters, digits and '_' become '_'
// ("'/tmp/tv_ab12.db'" -> "tv_ab12"). Used for tables that do not exist yet.
std::string StoredTableName(std::string_view written);

}  // namespace tv::db
