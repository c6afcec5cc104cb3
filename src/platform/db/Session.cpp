#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/RepairStep.h"

using namespace tv::db;

// ---- database -------------------------------------------------------------------------------
TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner) {}

void TDatabase::StartTransaction() { ConnectionFor(DatabaseName)->Begin(); }
void TDatabase::Commit() { ConnectionFor(DatabaseName)->Commit(); }
void TDatabase::Rollback() { ConnectionFor(DatabaseName)->Rollback(); }
bool TDatabase::GetInTransaction() const { return ConnectionFor(DatabaseName)->InTransaction(); }
AnsiString TDatabase::Directory() const { return AnsiString(FolderOf(DatabaseName)); }

// ---- session --------------------------------------------------------------------------------
namespace {
TSession& DefaultSession() {
  static TSession s(nullptr);
  return s;
}
}  // namespace

TSession* Session = &DefaultSession();

TSession::TSession(TComponent* AOwner) : TComponent(AOwner) {}
TSession::~TSession() = default;

void TSession::SetActive(const bool& v) {
  // Every dataset belongs to the default session: another session closes none of them.
  if (!v && active_ && this == Session) {
    CloseDatasets([](const std::string&, const std::string&) { return true; });
    ReleaseIdleConnections();
  }
  active_ = v;
}

void TSession::AddStandardAlias(const AnsiString& name, const AnsiString& path, const AnsiString&) {
  std::string old;
  if (NameIsAlias(name, &old)) DeleteAlias(name);
  SetAlias(name, path.str());
}

void TSession::DeleteAlias(const AnsiString& name) {
  std::string lower = Lower(name.str());
  CloseDatasets([&](const std::string& db, const std::string&) { return Lower(db) == lower; });
  RemoveAlias(name);
  ReleaseIdleConnections();
}

bool TSession::IsAlias(const AnsiString& name) const { return NameIsAlias(name); }

AnsiString TSession::AliasPath(const AnsiString& name) const {
  std::string f;
  return NameIsAlias(name, &f) ? AnsiString(f) : AnsiString();
}

TDatabase* TSession::OpenDatabase(const AnsiString& databaseName) {
  for (auto& d : databases_)
    if (SameText(d->DatabaseName, databaseName)) return d.get();
  auto d = std::make_unique<TDatabase>(nullptr);
  d->DatabaseName = databaseName;
  databases_.push_back(std::move(d));
  return databases_.back().get();
}

void TSession::GetTableNames(const AnsiString& databaseName, const AnsiString&, bool extensions, bool,
                             TStrings* list) {
  list->Clear();
  for (const auto& n : TableNames(databaseName)) list->Add(extensions ? n + ".db" : n);
}

// ---- engine calls ---------------------------------------------------------------------------
DBIResult DbiSaveChanges(hDBICur cursor) {
  if (!cursor || !cursor->GetActive()) {
    RecordError(DBIERR_INVALIDHNDL, DBIErrorText(DBIERR_INVALIDHNDL).str());
    return DBIERR_INVALIDHNDL;
  }
  auto conn = cursor->GetConnection();
  if (!conn) return DBIERR_NONE;
  try {
    conn->Commit();
  } catch (const EDBEngineError& e) {
    return e.ErrorCode();
  }
  return DBIERR_NONE;
}

// ---- helpers ------------------------------------------------------------------------------
namespace tv::db {

Transaction::Transaction(const AnsiString& databaseName) : conn_(ConnectionFor(databaseName)) {
  if (!conn_->InTransaction()) {
    conn_->Begin();
    owner_ = true;
    serial_ = conn_->TxSerial();
  }
}

Transaction::~Transaction() {
  if (owner_ && !done_ && conn_->TxSerial() == serial_) {
    try {
      conn_->Rollback();
    } catch (...) {
    }
  }
}

void Transaction::Commit() {
  if (owner_ && !done_ && conn_->TxSerial() == serial_) conn_->Commit();
  done_ = true;
}

void Transaction::Rollback() {
  if (owner_ && !done_ && conn_->TxSerial() == serial_) conn_->Rollback();
  done_ = true;
}

AnsiString ResolveDatabaseFolder(const AnsiString& databaseName) { return AnsiString(FolderOf(databaseName)); }

bool TableExists(const AnsiString& databaseName, const AnsiString& table) {
  return ConnectionFor(databaseName)->ResolveTable(table.str()).has_value();
}

void DropTable(const AnsiString& databaseName, const AnsiString& table) {
  auto conn = ConnectionFor(databaseName);
  auto stored = conn->ResolveTable(table.str());
  if (!stored) return;
  std::string lower = Lower(*stored);
  std::string folder = conn->Folder();
  // Tables open on the dropped table would read one that no longer exists. Other datasets
  // stay open: queries keep their rows (open streams are drained before the drop).
  CloseDatasetsWhere([&](TDataSet* ds, const std::string&, const std::string& f) {
    auto* t = dynamic_cast<TTable*>(ds);
    if (!t || f != folder) return false;
    auto mine = conn->ResolveTable(t->TableName.str());
    return mine && Lower(*mine) == lower;
  });
  conn->Exec("DROP TABLE IF EXISTS " + QuoteIdent(*stored));
}

std::vector<AnsiString> TableNames(const AnsiString& databaseName) {
  auto conn = ConnectionFor(databaseName);
  Stmt st = conn->Prepare(
      "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite^_%' ESCAPE '^' "
      "AND name NOT LIKE 'tv^_%' ESCAPE '^' ORDER BY lower(name)");
  std::vector<AnsiString> r;
  while (st.Step()) r.emplace_back(st.Column(0).s);
  return r;
}

namespace {
bool SplitTablePath(const AnsiString& filePath, std::string& folder, std::string& table) {
  std::string p = filePath.str();
  std::replace(p.begin(), p.end(), '\\', '/');
  size_t slash = p.find_last_of('/');
  folder = slash == std::string::npos ? "./" : p.substr(0, slash + 1);
  table = BareTableName(p.substr(slash == std::string::npos ? 0 : slash + 1));
  struct stat st {};
  std::string db = folder + kDatabaseFileName;
  return ::stat(db.c_str(), &st) == 0;
}
}  // namespace

bool TableFileExists(const AnsiString& filePath) {
  std::string folder, table;
  if (!SplitTablePath(filePath, folder, table)) return false;
  return TableExists(AnsiString(folder), AnsiString(table));
}

bool DeleteTableFile(const AnsiString& filePath) {
  std::string folder, table;
  if (!SplitTablePath(filePath, folder, table)) return false;
  if (!TableExists(AnsiString(folder), AnsiString(table))) return false;
  DropTable(AnsiString(folder), AnsiString(table));
  return true;
}

AnsiString UniqueTableName(const AnsiString& databaseName, const AnsiString& prefix) {
  static std::atomic<unsigned> counter{0};
  auto conn = ConnectionFor(databaseName);
  unsigned seed = static_cast<unsigned>(::getpid()) * 7919u +
                  static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() & 0xffff);
  for (;;) {
    std::string name = prefix.str() + std::to_string((seed + counter++) % 1000000u);
    if (!conn->ResolveTable(name)) return AnsiString(name);
  }
}

namespace {
struct Definition {
  std::string columnsSql;  // "(...)" part of CREATE TABLE
  std::vector<std::pair<std::string, std::string>> indexes;  // name, "UNIQUE INDEX … ON … (cols)" tail
};

Definition ReadDefinition(Connection& conn, const std::string& stored) {
  Definition d;
  Stmt st = conn.Prepare("SELECT sql FROM sqlite_master WHERE type='table' AND name=?1");
  st.Bind(1, Cell::String(stored));
  if (!st.Step()) ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + stored);
  std::string sql = st.Column(0).s;
  size_t open = sql.find('(');
  d.columnsSql = open == std::string::npos ? "" : sql.substr(open);
  Stmt ix = conn.Prepare("SELECT name, sql FROM sqlite_master WHERE type='index' AND tbl_name=?1 AND sql IS NOT NULL ORDER BY rowid");
  ix.Bind(1, Cell::String(stored));
  while (ix.Step()) {
    std::string isql = ix.Column(1).s;
    size_t paren = isql.find('(');
    bool unique = Lower(isql.substr(0, 20)).find("unique") != std::string::npos;
    d.indexes.emplace_back(ix.Column(0).s, std::string(unique ? "UNIQUE " : "") + "|" + isql.substr(paren));
  }
  return d;
}

void CreateFromDefinition(Connection& conn, const std::string& name, const Definition& d) {
  conn.Exec("CREATE TABLE " + QuoteIdent(name) + " " + d.columnsSql);
}

void CreateIndexes(Connection& conn, const std::string& name, const Definition& d, bool renameIndexes) {
  for (const auto& [iname, tail] : d.indexes) {
    size_t bar = tail.find('|');
    std::string uniq = tail.substr(0, bar);
    std::string cols = tail.substr(bar + 1);
    std::string newName = renameIndexes ? name + "_" + iname : iname;
    conn.Exec("CREATE " + uniq + "INDEX IF NOT EXISTS " + QuoteIdent(newName) + " ON " + QuoteIdent(name) + " " + cols);
  }
}

// Copies every readable row, row ids kept; with skipDuplicates, rows that break a unique
// key are counted and left out.
RebuildResult CopyRows(Connection& src, const std::string& from, Connection& dst, const std::string& to,
                       bool skipDuplicates) {
  RebuildResult r;
  const TableMeta* m = src.Table(from);
  std::vector<std::string> names;
  std::string cols;
  for (size_t k = 0; k < m->columns.size(); ++k) {
    names.push_back(m->columns[k].name);
    cols += ", " + QuoteIdent(m->columns[k].name);
  }
  std::string ins = std::string("INSERT ") + (skipDuplicates ? "OR IGNORE " : "") + "INTO " + QuoteIdent(to) +
                    " (rowid" + cols + ") VALUES (?";
  for (size_t k = 0; k < m->columns.size(); ++k) ins += ",?";
  Stmt write = dst.Prepare(ins + ")");
  int n = static_cast<int>(names.size()) + 1;
  int unreadable = ScanReadableRows(src.Db(), from, names, [&](sqlite3_stmt* row) {
    for (int c = 0; c < n; ++c) sqlite3_bind_value(write.get(), c + 1, sqlite3_column_value(row, c));
    write.Step();
    write.Reset();
    if (sqlite3_changes(dst.Db()) > 0) ++r.copied;
    else ++r.skipped;
  });
  r.unreadable = std::max(unreadable, 0);
  dst.Touch(Lower(to));
  return r;
}

// Every row of a table of the same file in one INSERT OR IGNORE … SELECT, row ids kept and in
// row-id order, so a unique key keeps the same row the row-by-row copy keeps. False (and
// nothing copied) when SQLite cannot read the table whole: the caller steps over the damage.
bool CopyInBulk(Connection& conn, const std::string& from, const std::string& to, RebuildResult* r) {
  std::string cols;
  for (const auto& c : conn.Table(from)->columns) cols += ", " + QuoteIdent(c.name);
  conn.Exec("SAVEPOINT tv_bulk");
  try {
    Stmt read = conn.Prepare("SELECT count(*) FROM " + QuoteIdent(from) + " NOT INDEXED");
    read.Step();
    std::int64_t rows = read.Column(0).i;
    read = Stmt();
    conn.Exec("INSERT OR IGNORE INTO " + QuoteIdent(to) + " (rowid" + cols + ") SELECT rowid" + cols + " FROM " +
              QuoteIdent(from) + " NOT INDEXED ORDER BY rowid");
    r->copied = static_cast<int>(sqlite3_changes(conn.Db()));
    r->skipped = static_cast<int>(rows) - r->copied;
    r->unreadable = 0;
  } catch (const EDBEngineError&) {
    conn.Exec("ROLLBACK TO tv_bulk");
    conn.Exec("RELEASE tv_bulk");
    return false;
  }
  conn.Exec("RELEASE tv_bulk");
  conn.Touch(Lower(to));
  return true;
}
}  // namespace

void CopyTable(const AnsiString& srcDatabase, const AnsiString& srcTable, const AnsiString& dstDatabase,
               const AnsiString& dstTable, bool withIndexes) {
  BackupTable(srcDatabase, srcTable, dstDatabase, dstTable, withIndexes);
}

RebuildResult BackupTable(const AnsiString& srcDatabase, const AnsiString& srcTable, const AnsiString& dstDatabase,
                          const AnsiString& dstTable, bool withIndexes) {
  auto src = ConnectionFor(srcDatabase);
  auto dst = ConnectionFor(dstDatabase);
  auto stored = src->ResolveTable(srcTable.str());
  if (!stored) ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + srcTable.str());
  Definition d = ReadDefinition(*src, *stored);
  std::string to = BareTableName(dstTable.str());
  DropTable(dstDatabase, AnsiString(to));
  Transaction tx(dstDatabase);
  CreateFromDefinition(*dst, to, d);
  // Indexes built once over the copied rows cost a fraction of keeping them up row by row;
  // a unique key the rows break still fails the copy (and the transaction undoes it).
  RebuildResult r;
  bool copied = false;
  if (src.get() == dst.get()) {
    // Same file: one INSERT … SELECT. A table SQLite cannot read whole falls back to the
    // row-by-row copy that steps over damaged pages.
    std::string cols;
    for (const auto& c : src->Table(*stored)->columns) cols += ", " + QuoteIdent(c.name);
    dst->Exec("SAVEPOINT tv_copy");
    try {
      dst->Exec("INSERT INTO " + QuoteIdent(to) + " (rowid" + cols + ") SELECT rowid" + cols + " FROM " +
                QuoteIdent(*stored));
      r.copied = static_cast<int>(sqlite3_changes(dst->Db()));
      copied = true;
    } catch (const EDBEngineError&) {
      dst->Exec("ROLLBACK TO tv_copy");
    }
    dst->Exec("RELEASE tv_copy");
    if (copied) dst->Touch(Lower(to));
  }
  if (!copied) r = CopyRows(*src, *stored, *dst, to, false);
  if (withIndexes) CreateIndexes(*dst, to, d, src.get() == dst.get());
  tx.Commit();
  return r;
}

std::vector<AnsiString> IntegrityCheck(const AnsiString& databaseName) {
  auto conn = ConnectionFor(databaseName);
  std::vector<AnsiString> r;
  try {
    Stmt st = conn->Prepare("PRAGMA integrity_check");
    while (st.Step()) r.emplace_back(st.Column(0).s);
  } catch (const EDBEngineError& e) {
    r.push_back(e.Message);
  }
  return r;
}

RebuildResult RebuildTable(const AnsiString& databaseName, const AnsiString& table,
                           const std::function<std::string(const RebuildResult&)>& note) {
  auto conn = ConnectionFor(databaseName);
  auto stored = conn->ResolveTable(table.str());
  if (!stored) ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + table.str());
  std::string folder = conn->Folder();
  CloseDatasets([&](const std::string&, const std::string& f) { return f == folder; });
  Definition d = ReadDefinition(*conn, *stored);
  std::string tmp = "tv_rebuild_" + Lower(*stored);
  Transaction tx(databaseName);
  conn->Exec("DROP TABLE IF EXISTS " + QuoteIdent(tmp));
  CreateFromDefinition(*conn, tmp, d);
  // Unique keys decide which rows are kept (the first by row id); the other indexes are
  // built once over the kept rows, a fraction of the cost of keeping them up row by row.
  Definition unique;
  for (const auto& ix : d.indexes)
    if (ix.second.compare(0, 7, "UNIQUE ") == 0) unique.indexes.push_back(ix);
  CreateIndexes(*conn, tmp, unique, true);
  RebuildResult r;
  if (!CopyInBulk(*conn, *stored, tmp, &r)) r = CopyRows(*conn, *stored, *conn, tmp, true);
  // The table's triggers go with it when it is dropped: they are made again on the new one.
  std::vector<std::string> triggers;
  {
    Stmt tr = conn->Prepare("SELECT sql FROM sqlite_master WHERE type='trigger' AND tbl_name=?1 AND sql IS NOT NULL");
    tr.Bind(1, Cell::String(*stored));
    while (tr.Step()) triggers.push_back(tr.Column(0).s);
  }
  conn->Exec("DROP TABLE " + QuoteIdent(*stored));
  // Triggers of other tables that write this one name it while it is briefly gone: the
  // legacy rename leaves them as they are instead of refusing.
  conn->Exec("PRAGMA legacy_alter_table = ON");
  try {
    conn->Exec("ALTER TABLE " + QuoteIdent(tmp) + " RENAME TO " + QuoteIdent(*stored));
  } catch (...) {
    conn->Exec("PRAGMA legacy_alter_table = OFF");
    throw;
  }
  conn->Exec("PRAGMA legacy_alter_table = OFF");
  for (const auto& t : triggers) conn->Exec(t);
  // indexes get their own names back
  for (const auto& ix : unique.indexes) conn->Exec("DROP INDEX IF EXISTS " + QuoteIdent(tmp + "_" + ix.first));
  CreateIndexes(*conn, *stored, d, false);
  if (note) {
    std::string text = note(r);
    if (!text.empty()) AddRepairNote(conn->Db(), text);
  }
  RepairStep("table");
  tx.Commit();
  conn->SchemaChanged();
  RepairStep("rebuilt");
  return r;
}

void ReleaseDatabase(const AnsiString& databaseName) {
  std::string folder = FolderOf(databaseName);
  CloseDatasets([&](const std::string&, const std::string& f) { return f == folder; });
  ForgetConnection(folder);
}

}  // namespace tv::db
