#pragma once
// How a folder of tables is stored: one SQLite file inside the folder, and the declared
// column types that carry each field kind (read back from the table definition).
#include <string>
#include <string_view>

#include "platform/db/sql/Translator.h"

namespace tv::db {

// The database file that holds every table of a folder.
inline constexpr const char* kDatabaseFileName = "tablas.sqlite";

// Declared SQLite type for a field kind: Text → "VARCHAR(size)", Number → "NUMERIC",
// Integer → "INTEGER", Date → "DATE", DateTime → "TIMESTAMP", Logical → "BOOLEAN",
// Memo → "MEMO".
std::string DeclaredType(ColumnKind kind, int size = 0);
// Field kind of a declared type (also accepts the local-SQL spellings CHAR(n),
// VARCHAR(n), NUMERIC(p,s), DECIMAL, FLOAT, MONEY, SMALLINT, INT, AUTOINC, DATE, TIME,
// TIMESTAMP, BOOLEAN, BLOB/MEMO); size receives the text width when given.
ColumnKind KindOfDeclaredType(std::string_view decl, int* size = nullptr);

}  // namespace tv::db
