// Reading what can still be read from a damaged database: rows past damaged pages, and a
// whole database file rebuilt from a fresh definition with every readable row.
#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/RepairStep.h"

namespace tv::db {

namespace {
namespace fs = std::filesystem;

sqlite3_stmt* PrepareRaw(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return nullptr;
  }
  return st;
}

struct Finalizer {
  sqlite3_stmt* st;
  ~Finalizer() { sqlite3_finalize(st); }
};

std::vector<std::string> ColumnNames(sqlite3* db, const std::string& table) {
  std::vector<std::string> cols;
  sqlite3_stmt* st = PrepareRaw(db, "PRAGMA table_info(" + QuoteIdent(table) + ")");
  if (!st) return cols;
  Finalizer f{st};
  while (sqlite3_step(st) == SQLITE_ROW) cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
  return cols;
}

// A copy of `from` at `to` that later writes to `from` leave alone: a second link when the
// file system allows it, else a copy.
void KeepCopy(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (!fs::exists(from, ec)) return;
  fs::remove(to, ec);
  fs::create_hard_link(from, to, ec);
  if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
}
}  // namespace

int ScanReadableRows(sqlite3* db, const std::string& table, const std::vector<std::string>& columns,
                     const std::function<void(sqlite3_stmt*)>& row, bool* damaged) {
  std::string cols;
  for (const auto& c : columns) cols += ", " + QuoteIdent(c);
  std::string base = "SELECT rowid" + cols + " FROM " + QuoteIdent(table);
  sqlite3_stmt* range = PrepareRaw(db, base + " WHERE rowid > ?1 ORDER BY rowid");
  sqlite3_stmt* point = PrepareRaw(db, base + " WHERE rowid = ?1");
  Finalizer fr{range}, fp{point};
  if (!range || !point) {
    if (damaged) *damaged = true;
    return -1;
  }
  bool maxKnown = false;
  sqlite3_int64 maxId = 0;
  if (sqlite3_stmt* m = PrepareRaw(db, "SELECT max(rowid) FROM " + QuoteIdent(table))) {
    Finalizer fm{m};
    if (sqlite3_step(m) == SQLITE_ROW) {
      maxKnown = true;
      maxId = sqlite3_column_int64(m, 0);
    }
  }
  sqlite3_int64 last = LLONG_MIN;
  int unreadable = 0;
  for (;;) {
    sqlite3_bind_int64(range, 1, last);
    int rc;
    while ((rc = sqlite3_step(range)) == SQLITE_ROW) {
      last = sqlite3_column_int64(range, 0);
      row(range);
    }
    sqlite3_reset(range);
    if (rc == SQLITE_DONE) break;
    if (damaged) *damaged = true;
    // A damaged page: look up the following row ids one by one until one reads again.
    int failed = 0, misses = 0;
    bool resumed = false;
    const sqlite3_int64 first = last == LLONG_MIN ? 1 : last + 1;
    for (sqlite3_int64 id = first; misses < 100000; ++id) {
      if (maxKnown && id > maxId) break;
      sqlite3_bind_int64(point, 1, id);
      int prc = sqlite3_step(point);
      if (prc == SQLITE_ROW) {
        row(point);
        sqlite3_reset(point);
        last = id;
        // the row ids skipped over the damaged page: a page's rows often read as absent
        unreadable += static_cast<int>(std::max<sqlite3_int64>(failed, id - first));
        resumed = true;
        break;
      }
      sqlite3_reset(point);
      ++misses;
      if (prc != SQLITE_DONE) ++failed;
    }
    if (!resumed) {
      if (maxKnown) unreadable += static_cast<int>(std::max<sqlite3_int64>(failed, maxId - first + 1));
      break;
    }
  }
  return unreadable;
}

namespace {
constexpr const char* kNotesTable = "tv_repair_note";
}  // namespace

void AddRepairNote(sqlite3* db, const std::string& note) {
  std::string sql = std::string("CREATE TABLE IF NOT EXISTS ") + kNotesTable + " (note TEXT)";
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + sqlite3_errmsg(db));
  sqlite3_stmt* st = PrepareRaw(db, std::string("INSERT INTO ") + kNotesTable + " (note) VALUES (?1)");
  Finalizer f{st};
  if (!st) ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + sqlite3_errmsg(db));
  sqlite3_bind_text(st, 1, note.c_str(), static_cast<int>(note.size()), SQLITE_TRANSIENT);
  if (sqlite3_step(st) != SQLITE_DONE)
    ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + sqlite3_errmsg(db));
}

std::vector<std::string> RepairNotes(const AnsiString& databaseName) {
  auto conn = ConnectionFor(databaseName);
  std::vector<std::string> notes;
  Stmt has = conn->Prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1");
  has.Bind(1, Cell::String(kNotesTable));
  if (!has.Step()) return notes;
  Stmt st = conn->Prepare(std::string("SELECT note FROM ") + kNotesTable + " ORDER BY rowid");
  while (st.Step()) notes.push_back(st.Column(0).s);
  return notes;
}

void ClearRepairNotes(const AnsiString& databaseName) {
  auto conn = ConnectionFor(databaseName);
  conn->Exec(std::string("DROP TABLE IF EXISTS ") + kNotesTable);
  conn->SchemaChanged();
}

std::vector<SalvagedTable> RebuildDatabaseFile(const AnsiString& folderName, const std::string& backupFile,
                                               const std::function<void(sqlite3*)>& createTables,
                                               const std::function<std::string(const std::vector<SalvagedTable>&)>& note) {
  std::string folder = FolderOf(folderName);
  ReleaseDatabase(AnsiString(folder));
  fs::path oldPath = fs::path(folder) / kDatabaseFileName;
  fs::path newPath = oldPath;
  newPath += ".rebuild";
  std::error_code ec;
  fs::remove(newPath, ec);
  fs::remove(newPath.string() + "-journal", ec);

  sqlite3* fresh = nullptr;
  if (sqlite3_open(newPath.c_str(), &fresh) != SQLITE_OK) {
    sqlite3_close(fresh);
    ThrowEngine(DBIERR_OPENFAILED, "Cannot create " + newPath.string());
  }
  RegisterSpanishText(fresh);
  std::vector<SalvagedTable> result;
  try {
    createTables(fresh);
  } catch (...) {
    sqlite3_close(fresh);
    throw;
  }
  // A cut file: SQLite calls every page malformed while the file is shorter than its header
  // says, so the missing tail is filled with zeros and the pages before it read again.
  {
    std::ifstream in(oldPath, std::ios::binary);
    unsigned char h[100] = {};
    if (in.read(reinterpret_cast<char*>(h), sizeof h) && std::memcmp(h, "SQLite format 3", 16) == 0) {
      std::uintmax_t pageSize = (h[16] << 8) | h[17];
      if (pageSize == 1) pageSize = 65536;
      std::uintmax_t pages = (std::uintmax_t{h[28]} << 24) | (h[29] << 16) | (h[30] << 8) | h[31];
      std::uintmax_t size = fs::file_size(oldPath, ec);
      if (!ec && pages > 0 && size < pageSize * pages && pageSize * pages < (std::uintmax_t{1} << 40))
        fs::resize_file(oldPath, pageSize * pages, ec);
    }
  }
  sqlite3* old = nullptr;
  bool haveOld = fs::exists(oldPath) && fs::file_size(oldPath, ec) > 0 &&
                 sqlite3_open_v2(oldPath.c_str(), &old, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (old) {
    sqlite3_busy_timeout(old, 2000);
    RegisterSpanishText(old);
    // What the log holds goes into the file first: the old file is then whole by itself and
    // its log can go once the new file takes its place.
    sqlite3_exec(old, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
  }

  // Tables of the old file: its catalogue, read as far as it reads.
  struct OldTable {
    std::string name, sql;
  };
  std::vector<OldTable> oldTables;
  std::vector<std::pair<std::string, std::string>> oldIndexes, oldTriggers;
  bool catalogueRead = false;
  if (haveOld) {
    if (sqlite3_stmt* st = PrepareRaw(old, "SELECT type, name, sql FROM sqlite_master")) {
      Finalizer f{st};
      int rc;
      while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::string type = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        const unsigned char* sql = sqlite3_column_text(st, 2);
        if (name.compare(0, 7, "sqlite_") == 0) continue;
        if (type == "table") oldTables.push_back({name, sql ? reinterpret_cast<const char*>(sql) : ""});
        else if (type == "index" && sql) oldIndexes.emplace_back(name, reinterpret_cast<const char*>(sql));
        else if ((type == "trigger" || type == "view") && sql)
          oldTriggers.emplace_back(type, reinterpret_cast<const char*>(sql));
      }
      catalogueRead = rc == SQLITE_DONE;
    }
  }
  std::vector<std::string> freshTables;
  if (sqlite3_stmt* st = PrepareRaw(fresh, "SELECT name FROM sqlite_master WHERE type='table'")) {
    Finalizer f{st};
    while (sqlite3_step(st) == SQLITE_ROW) freshTables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  }
  auto inFresh = [&](const std::string& n) {
    return std::any_of(freshTables.begin(), freshTables.end(), [&](const std::string& f) { return Lower(f) == Lower(n); });
  };
  // with an unreadable catalogue the new definition's tables are still tried by name
  if (haveOld && !catalogueRead)
    for (const auto& n : freshTables)
      if (std::none_of(oldTables.begin(), oldTables.end(), [&](const OldTable& t) { return Lower(t.name) == Lower(n); }))
        oldTables.push_back({n, ""});

  sqlite3_exec(fresh, "BEGIN", nullptr, nullptr, nullptr);
  for (const auto& t : oldTables) {
    SalvagedTable r;
    r.name = t.name;
    if (!inFresh(t.name)) {
      if (t.sql.empty() || sqlite3_exec(fresh, t.sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        r.error = "no definition";
        r.damaged = true;
        result.push_back(r);
        continue;
      }
      freshTables.push_back(t.name);
    }
    std::vector<std::string> want = ColumnNames(fresh, t.name), have = ColumnNames(old, t.name);
    std::vector<std::string> common;
    for (const auto& c : want)
      if (std::any_of(have.begin(), have.end(), [&](const std::string& h) { return Lower(h) == Lower(c); }))
        common.push_back(c);
    if (have.empty()) {
      r.error = "unreadable";
      r.damaged = true;
      result.push_back(r);
      continue;
    }
    std::string sql = "INSERT OR IGNORE INTO " + QuoteIdent(t.name) + " (rowid";
    std::string marks = "?";
    for (const auto& c : common) {
      sql += ", " + QuoteIdent(c);
      marks += ",?";
    }
    sqlite3_stmt* ins = PrepareRaw(fresh, sql + ") VALUES (" + marks + ")");
    Finalizer fi{ins};
    if (!ins) {
      r.error = sqlite3_errmsg(fresh);
      result.push_back(r);
      continue;
    }
    int unreadable = ScanReadableRows(old, t.name, common, [&](sqlite3_stmt* src) {
      for (int c = 0; c <= static_cast<int>(common.size()); ++c) sqlite3_bind_value(ins, c + 1, sqlite3_column_value(src, c));
      if (sqlite3_step(ins) == SQLITE_DONE && sqlite3_changes(fresh) > 0) ++r.copied;
      else ++r.skipped;
      sqlite3_reset(ins);
    }, &r.damaged);
    if (unreadable < 0) r.error = "unreadable";
    else r.unreadable = unreadable;
    result.push_back(r);
    if (r.copied > 0) RepairStep("table");
  }
  for (const auto& n : freshTables)
    if (std::none_of(result.begin(), result.end(), [&](const SalvagedTable& s) { return Lower(s.name) == Lower(n); })) {
      SalvagedTable r;
      r.name = n;
      r.recreated = true;
      // an old file that did not open or whose catalogue did not read lost what it had
      r.damaged = !haveOld || !catalogueRead;
      result.push_back(r);
    }
  // indexes the old file had beyond the new definition
  for (auto& [name, sql] : oldIndexes) {
    std::string create = sql;
    auto pos = Lower(create).find("index");
    if (pos != std::string::npos) create.insert(pos + 5, " IF NOT EXISTS");
    sqlite3_exec(fresh, create.c_str(), nullptr, nullptr, nullptr);
  }
  // triggers and views after the rows, so copying fires none
  for (auto& [type, sql] : oldTriggers) {
    std::string create = sql;
    auto pos = Lower(create).find(type);
    if (pos != std::string::npos) create.insert(pos + type.size(), " IF NOT EXISTS");
    sqlite3_exec(fresh, create.c_str(), nullptr, nullptr, nullptr);
  }
  // the note lands with the rows: the rename that brings them also brings what to tell
  int rc = SQLITE_OK;
  std::string err;
  if (note) {
    try {
      std::string text = note(result);
      if (!text.empty()) AddRepairNote(fresh, text);
    } catch (const EDBEngineError& e) {
      rc = SQLITE_ERROR;
      err = e.Message.str();
    }
  }
  if (rc == SQLITE_OK) {
    rc = sqlite3_exec(fresh, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) err = sqlite3_errmsg(fresh);
  }
  sqlite3_close(fresh);
  if (old) sqlite3_close(old);
  if (rc != SQLITE_OK) {
    fs::remove(newPath, ec);
    ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + err);
  }
  RepairStep("written");
  // The damaged file (with its log) is kept in the backup before the new one replaces it in
  // one rename: a program stopped at any point leaves either file in place, never neither.
  fs::create_directories(fs::path(backupFile).parent_path(), ec);
  for (const char* suffix : {"", "-wal", "-shm"}) KeepCopy(oldPath.string() + suffix, backupFile + suffix);
  if (!fs::exists(backupFile, ec)) {
    fs::remove(newPath, ec);
    ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + backupFile);
  }
  // the old log must not be read into the new file
  for (const char* suffix : {"-wal", "-shm"}) fs::remove(oldPath.string() + suffix, ec);
  RepairStep("backup");
  fs::rename(newPath, oldPath, ec);
  if (ec) ThrowEngine(DBIERR_WRITEERR, DBIErrorText(DBIERR_WRITEERR).str() + "\n" + ec.message());
  RepairStep("renamed");
  return result;
}

}  // namespace tv::db
