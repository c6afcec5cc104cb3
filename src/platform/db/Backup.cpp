// Consistent copy of a folder's database through SQLite's online backup.
#include <sqlite3.h>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::db {

void BackupDatabase(const AnsiString& srcDatabase, const AnsiString& destFolder) {
  std::string srcPath = FolderOf(srcDatabase) + kDatabaseFileName;
  std::string path = FolderOf(destFolder) + kDatabaseFileName;
  // A reader of its own sees the committed rows, also while the folder's shared connection
  // is inside a write transaction.
  sqlite3* src = nullptr;
  sqlite3* dest = nullptr;
  int rc = sqlite3_open_v2(srcPath.c_str(), &src, SQLITE_OPEN_READONLY, nullptr);
  std::string msg;
  if (rc != SQLITE_OK) {
    msg = src ? sqlite3_errmsg(src) : "cannot open";
  } else {
    sqlite3_busy_timeout(src, 5000);
    rc = sqlite3_open_v2(path.c_str(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) msg = dest ? sqlite3_errmsg(dest) : "cannot open";
  }
  if (rc == SQLITE_OK) {
    sqlite3_backup* b = sqlite3_backup_init(dest, "main", src, "main");
    if (!b) {
      rc = sqlite3_errcode(dest);
      msg = sqlite3_errmsg(dest);
    } else {
      sqlite3_backup_step(b, -1);
      rc = sqlite3_backup_finish(b);
      if (rc != SQLITE_OK) msg = sqlite3_errmsg(dest);
    }
  } else {
    msg = dest ? sqlite3_errmsg(dest) : "cannot open";
  }
  sqlite3_close(dest);
  sqlite3_close(src);
  if (rc != SQLITE_OK) {
    std::string full = "Cannot copy the database to " + path + ": " + msg;
    RecordError(DBIERR_OPENFAILED, full);
    ThrowEngine(DBIERR_OPENFAILED, full, rc);
  }
}

}  // namespace tv::db
