#pragma once
// Sessions and aliases, databases (transactions), tables, queries, batch moves and the
// direct engine calls the application makes. A database name is an alias
// ("Contabilidad") or a folder path; each folder is one SQLite file.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DB.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tv::db {
class Connection;
class TableSource;
}

// ---- databases and transactions ----------------------------------------------------------
// The database of one folder. Transactions are not nested: StartTransaction while one is
// active raises EDBEngineError(DBIERR_ACTIVETRAN); Commit/Rollback without one do nothing.
class TDatabase : public TComponent {
 public:
  explicit TDatabase(TComponent* AOwner);
  AnsiString ClassName() const override { return "TDatabase"; }
  AnsiString DatabaseName;  // alias or folder
  void StartTransaction();
  void Commit();
  void Rollback();
  bool GetInTransaction() const;
  tv::db::ReadProp<TDatabase, bool, &TDatabase::GetInTransaction> InTransaction{this};
  AnsiString Directory() const;  // folder the name resolves to
};

// ---- session ---------------------------------------------------------------------------
enum TConfigMode { cmPersistent, cmSession, cmAll };

// Alias registry (process-wide) plus the list of open datasets. Deactivating closes every
// open dataset. Network control folder, config mode and passwords have no effect.
class TSession : public TComponent {
 public:
  explicit TSession(TComponent* AOwner);
  ~TSession() override;
  AnsiString ClassName() const override { return "TSession"; }

  bool GetActive() const { return active_; }
  void SetActive(const bool& v);
  tv::db::Prop<TSession, bool, &TSession::GetActive, &TSession::SetActive> Active{this};
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  AnsiString NetFileDir;
  AnsiString PrivateDir;
  AnsiString SessionName;
  TConfigMode ConfigMode = cmAll;
  bool KeepConnections = true;

  // Re-pointing an alias closes the datasets opened through it.
  void AddStandardAlias(const AnsiString& name, const AnsiString& path, const AnsiString& driver);
  void DeleteAlias(const AnsiString& name);
  bool IsAlias(const AnsiString& name) const;
  AnsiString AliasPath(const AnsiString& name) const;  // "" when not an alias
  void AddPassword(const AnsiString&) {}
  void RemoveAllPasswords() {}

  // The database of an alias or folder (owned by the session; same object per folder).
  TDatabase* OpenDatabase(const AnsiString& databaseName);
  TDatabase* FindDatabase(const AnsiString& databaseName) { return OpenDatabase(databaseName); }
  // Table names of a database, without extension, in name order.
  void GetTableNames(const AnsiString& databaseName, const AnsiString& pattern, bool extensions,
                     bool systemTables, TStrings* list);

 private:
  bool active_ = true;
  std::vector<std::unique_ptr<TDatabase>> databases_;
};

extern TSession* Session;

// ---- tables -----------------------------------------------------------------------------
// A cursor over a stored table: keeps the ordered row ids and reads rows on demand.
// Order: IndexFieldNames ("a;b"), else the index named IndexName, else the primary key,
// else the first unique index, else insertion order.
class TTable : public TDataSet {
 public:
  explicit TTable(TComponent* AOwner);
  ~TTable() override;
  AnsiString ClassName() const override { return "TTable"; }

  AnsiString DatabaseName;
  AnsiString TableName;  // "MVT.db", "mvt", "'infPpto.db'" … (read at Open)
  bool Exclusive = false;
  bool ReadOnly = false;

  AnsiString GetIndexName() const { return indexName_; }
  void SetIndexName(const AnsiString& v);
  AnsiString GetIndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(const AnsiString& v);
  tv::db::StrProp<TTable, &TTable::GetIndexName, &TTable::SetIndexName> IndexName{this};
  tv::db::StrProp<TTable, &TTable::GetIndexFieldNames, &TTable::SetIndexFieldNames> IndexFieldNames{this};

  bool CanModify() const override { return !ReadOnly; }
  void EmptyTable();     // deletes every row (open or closed)
  bool GetExists() const;
  tv::db::ReadProp<TTable, bool, &TTable::GetExists> Exists{this};
  void DeleteTable();    // drops the table (the table "file")
  TDataSet* Handle() { return this; }  // for DbiSaveChanges
  AnsiString StoredName() const;       // table name as stored, after Open
  std::shared_ptr<tv::db::Connection> GetConnection() const override;

 protected:
  void DoOpen(std::vector<ColumnDef>& columns) override;
  void DoClose() override;
  void LoadOrder(std::vector<std::int64_t>& ids) override;
  bool ReadRecord(std::int64_t id, tv::db::Record& out, const std::int64_t* hint, int hintCount) override;
  void ScanAll(const std::function<void(std::int64_t, const tv::db::Record&)>& fn) override;
  bool ScanAllIsView() const override { return true; }
  std::int64_t DoInsert(const tv::db::Record& rec) override;
  void DoUpdate(std::int64_t id, const tv::db::Record& rec, const std::vector<bool>& changed) override;
  void DoDelete(std::int64_t id) override;
  bool OrderDependsOn(const std::vector<bool>& changed) const override;
  bool SourceChanged() const override;
  void MarkSynced() override;
  void DropCache() override;
  bool FindExact(const std::vector<int>& fields, const tv::db::Record& values,
                 std::vector<std::int64_t>& ids) override;
  bool VisitCandidates(const std::vector<int>& fields, const std::vector<std::string>& wanted, bool ci, bool partial,
                       const std::function<bool(std::int64_t)>& visit) override;
  bool PlacesInOrder() const override;
  int CompareInOrder(std::int64_t a, const tv::db::Record& ra, std::int64_t b, const tv::db::Record& rb) const override;
  bool RowChangesSinceSync(std::vector<RowNote>& out) const override;
  bool ReadFresh(std::int64_t id, tv::db::Record& out) override;
  bool MoreRows(std::vector<std::int64_t>& ids, size_t count) override;

 private:
  void ReorderIfOpen();
  AnsiString indexName_, indexFieldNames_;
  std::unique_ptr<tv::db::TableSource> src_;
};

// ---- queries ----------------------------------------------------------------------------
// Runs a local-SQL text (translated to SQLite). Open reads the rows of a SELECT as they
// are needed (read-only result; any write on the database reads the rest first);
// ExecSQL runs statements that change data.
class TQuery : public TDataSet {
 public:
  explicit TQuery(TComponent* AOwner);
  ~TQuery() override;
  AnsiString ClassName() const override { return "TQuery"; }

  AnsiString DatabaseName;
  TStringList* const SQL;  // changing the text closes the query
  bool UniDirectional = false;
  bool RequestLive = false;

  void Prepare();    // translates (syntax errors surface here)
  void UnPrepare() { prepared_ = false; }
  bool GetPrepared() const { return prepared_; }
  tv::db::ReadProp<TQuery, bool, &TQuery::GetPrepared> Prepared{this};
  void ExecSQL();
  int GetRowsAffected() const { return rowsAffected_; }
  tv::db::ReadProp<TQuery, int, &TQuery::GetRowsAffected> RowsAffected{this};
  std::shared_ptr<tv::db::Connection> GetConnection() const override { return conn_; }

 protected:
  void DoOpen(std::vector<ColumnDef>& columns) override;
  void DoClose() override;
  void LoadOrder(std::vector<std::int64_t>& ids) override;
  bool ReadRecord(std::int64_t id, tv::db::Record& out, const std::int64_t* hint, int hintCount) override;
  bool MoreRows(std::vector<std::int64_t>& ids, size_t count) override;
  bool CountAllRows(size_t& rows) const override;

 private:
  struct Rows;  // the result read so far, compactly, and the statement still reading it
  std::unique_ptr<Rows> res_;
  void SqlChanged();
  std::unique_ptr<TStringList> sql_;
  bool prepared_ = false;
  int rowsAffected_ = -1;
  AnsiString executedText_;  // text last run by ExecSQL (Open after it shows no rows)
  std::shared_ptr<tv::db::Connection> conn_;
};

// ---- batch move -------------------------------------------------------------------------
enum TBatchMode { batAppend, batUpdate, batAppendUpdate, batDelete, batCopy };

// Appends the source's rows into the destination, fields matched by name. batCopy
// empties the destination first (creating it from the source's fields when missing).
class TBatchMove : public TComponent {
 public:
  explicit TBatchMove(TComponent* AOwner);
  AnsiString ClassName() const override { return "TBatchMove"; }
  TDataSet* Source = nullptr;
  TTable* Destination = nullptr;
  TBatchMode Mode = batAppend;
  int RecordCount = 0;  // 0 = all
  void Execute();
  int GetMovedCount() const { return moved_; }
  tv::db::ReadProp<TBatchMove, int, &TBatchMove::GetMovedCount> MovedCount{this};

 private:
  int moved_ = 0;
};

// ---- direct engine calls -----------------------------------------------------------------
using hDBICur = TDataSet*;

// Commit point: commits the open transaction of the dataset's database (when there is
// one); committed data is already on disk. Returns DBIERR_NONE or the failure's code.
DBIResult DbiSaveChanges(hDBICur cursor);

struct DBIErrInfo {
  DBIResult iError = 0;
  char szErrCode[256] = {};
  char szContext[4][256] = {};
};
// The last engine error of this process (code, message, up to four context lines).
DBIResult DbiGetErrorInfo(bool full, DBIErrInfo& info);
// Text of a code into buf (at least 256 bytes).
DBIResult DbiGetErrorString(DBIResult code, char* buf);

// ---- helpers for the application's table maintenance ------------------------------------
namespace tv::db {

// Runs Commit at Commit(), Rollback when destroyed before. Joins (does nothing) when a
// transaction is already active on that database.
class Transaction {
 public:
  explicit Transaction(const AnsiString& databaseName);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();
  void Rollback();

 private:
  std::shared_ptr<Connection> conn_;
  std::uint64_t serial_ = 0;
  bool owner_ = false;
  bool done_ = false;
};

// A save that writes two databases (the program folder and a set of books): after a
// kill at any point or a failed write, both files hold the new rows or both the old.
// Rolls back both when destroyed before Commit. The same folder twice is one transaction.
// Neither database may have a transaction open (EDBEngineError DBIERR_ACTIVETRAN).
class TwoFileTransaction {
 public:
  TwoFileTransaction(const AnsiString& firstDatabase, const AnsiString& secondDatabase);
  ~TwoFileTransaction();
  TwoFileTransaction(const TwoFileTransaction&) = delete;
  TwoFileTransaction& operator=(const TwoFileTransaction&) = delete;
  void Commit();
  void Rollback();

 private:
  struct State;
  std::unique_ptr<State> st_;
};

// Folder a database name points at (alias resolved), with a trailing '/'.
AnsiString ResolveDatabaseFolder(const AnsiString& databaseName);
bool TableExists(const AnsiString& databaseName, const AnsiString& table);
void DropTable(const AnsiString& databaseName, const AnsiString& table);  // if it exists
std::vector<AnsiString> TableNames(const AnsiString& databaseName);
// "C:/x/books/infPpto.db" style paths: a table of the folder.
bool TableFileExists(const AnsiString& filePath);
bool DeleteTableFile(const AnsiString& filePath);  // false when it did not exist
// A table name not used in the database ("tmp" + number).
AnsiString UniqueTableName(const AnsiString& databaseName, const AnsiString& prefix = "tmp");
// Replaces dstTable (same or another database) with a copy of srcTable: definition,
// indexes and rows. A working copy that is only read and scanned may leave out the indexes
// (building them is most of the time of copying a large table).
void CopyTable(const AnsiString& srcDatabase, const AnsiString& srcTable,
               const AnsiString& dstDatabase, const AnsiString& dstTable, bool withIndexes = true);
// Writes a consistent copy of a database (its committed rows, also while it is open and
// in use) as the database of destFolder, replacing what that file held.
void BackupDatabase(const AnsiString& srcDatabase, const AnsiString& destFolder);
// Upper case of a UTF-8 text: ASCII letters and á, é, í, ó, ú, ü, ñ. SQL's upper() on
// every connection uses the same rule.
std::string SpanishUpper(std::string_view s);
// PRAGMA integrity_check of a folder's database: {"ok"} when sound.
std::vector<AnsiString> IntegrityCheck(const AnsiString& databaseName);
// True when a table reads whole, each of its indexes holds exactly its rows (same values,
// same row ids) and no unique index holds a key twice: what integrity_check proves of one
// table, in one pass over the rows and one over each index. False also when it cannot tell
// (an index on expressions or on part of the rows, a table without row ids).
bool TableSound(const AnsiString& databaseName, const AnsiString& table);
// True when a folder's database file is damaged: SQLite calls it no database or malformed, or
// its quick_check finds a fault. False for a sound file and for one that is not there.
bool DatabaseDamaged(const AnsiString& databaseName);
// Copies the readable rows of a table into a fresh table of the same definition and puts
// it in the original's place with its indexes and triggers; rows that break a unique key are
// left out (and counted).
struct RebuildResult {
  int copied = 0;
  int skipped = 0;
  int unreadable = 0;  // rows of a damaged table that could not be read
};
// `note` (when given) turns the result into a sentence for the user, kept as a repair note in
// the same transaction as the rebuilt table.
RebuildResult RebuildTable(const AnsiString& databaseName, const AnsiString& table,
                           const std::function<std::string(const RebuildResult&)>& note = {});
// CopyTable that reads past damaged pages (row ids kept) and says what it copied.
RebuildResult BackupTable(const AnsiString& srcDatabase, const AnsiString& srcTable, const AnsiString& dstDatabase,
                          const AnsiString& dstTable, bool withIndexes = true);

// Every readable row of a table in row-id order, read past damaged pages: `row` gets a
// statement whose column 0 is the row id and the others the columns asked for. Returns how
// many row ids could not be read, -1 when the table cannot be read at all. `damaged` (when
// given) tells whether any read failed, even when the count of lost rows is unknown.
int ScanReadableRows(sqlite3* db, const std::string& table, const std::vector<std::string>& columns,
                     const std::function<void(sqlite3_stmt*)>& row, bool* damaged = nullptr);
// Rebuilds the database file of a folder: a new file whose tables `createTables` makes (the
// schema's definition), every readable row of the old file copied in (row ids kept, columns
// matched by name; tables and indexes only the old file had are taken along), then put in
// the old file's place. The old file, with its log, moves to backupFile. The folder's
// datasets and connection are closed first.
struct SalvagedTable {
  std::string name;
  int copied = 0, skipped = 0, unreadable = 0;
  bool recreated = false;  // not found in the old file: created empty
  std::string error;       // the table could not be read or made
  // Rows were lost: a read failed, the table could not be read, or the old file (or its
  // catalogue) could not be read at all. `unreadable` then estimates how many (0: unknown).
  bool damaged = false;
};
// `note` (when given) turns the result into a text for the user, kept as a repair note in the
// new file (notes the old file held go with it).
std::vector<SalvagedTable> RebuildDatabaseFile(
    const AnsiString& folder, const std::string& backupFile, const std::function<void(sqlite3*)>& createTables,
    const std::function<std::string(const std::vector<SalvagedTable>&)>& note = {});
// What repairs have to tell the user, oldest first. A note is written with the change it tells
// of, so a repair killed before telling it is told by the next; cleared once told.
std::vector<std::string> RepairNotes(const AnsiString& databaseName);
void ClearRepairNotes(const AnsiString& databaseName);
// Adds a repair note through a raw handle, inside the caller's transaction.
void AddRepairNote(sqlite3* db, const std::string& note);
// Closes the datasets and the connection of a folder (before copying or deleting it).
void ReleaseDatabase(const AnsiString& databaseName);

}  // namespace tv::db
