#pragma once
// A working table of one seat: a process gets its own rows of a table that the database
// defines once for everybody.
#include <string>

#include "platform/core/SysUtils.h"

namespace tv::db {

// Gives this process's connection to `databaseName` a temporary table with the definition
// of `table`. It hides the shared table from every statement and cursor of the connection,
// so what one seat writes there no other seat sees, deletes or sums; it vanishes with the
// connection. Idempotent; returns false when the database has no such table.
bool UsePrivateTable(const AnsiString& databaseName, const std::string& table);

}  // namespace tv::db
