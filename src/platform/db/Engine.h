#pragma once
// Internals of the db layer: stored values, the SQLite connection of a folder and the
// alias/connection registry. Not for application code.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Checkpoint.h"
#include "platform/db/Storage.h"
#include "platform/db/sql/Translator.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tv::db {

struct Cell {
  enum Kind : std::uint8_t { Null, Int, Real, Text };
  Kind kind = Null;
  std::int64_t i = 0;
  double d = 0;
  std::string s;

  static Cell Integer(std::int64_t v) { Cell c; c.kind = Int; c.i = v; return c; }
  static Cell Float(double v) { Cell c; c.kind = Real; c.d = v; return c; }
  static Cell String(std::string v) { Cell c; c.kind = Text; c.s = std::move(v); return c; }
  bool IsNull() const { return kind == Null; }
  double Number() const;  // text converts with '.', null = 0
  bool operator==(const Cell& o) const;
};

// "name" with inner quotes doubled.
std::string QuoteIdent(const std::string& n);
// Lower-case ASCII copy (identifiers).
std::string Lower(std::string_view s);
// "'C:/x/MVT.db'" → "MVT": quotes, folder and ".db" removed.
std::string BareTableName(std::string_view written);

// Prepared statement that finalizes itself.
class Stmt {
 public:
  Stmt() = default;
  Stmt(sqlite3_stmt* s, Connection* c, bool guarded = false) : s_(s), conn_(c), guarded_(guarded) {}
  Stmt(Stmt&& o) noexcept : s_(o.s_), conn_(o.conn_), guarded_(o.guarded_) { o.s_ = nullptr; }
  Stmt& operator=(Stmt&& o) noexcept;
  ~Stmt();
  sqlite3_stmt* get() const { return s_; }
  void Bind(int i, const Cell& c);
  bool Step();  // true = row; raises on error
  void Reset();
  Cell Column(int i) const;
  int ColumnCount() const;

 private:
  sqlite3_stmt* s_ = nullptr;
  Connection* conn_ = nullptr;
  // Writes a table a commit check watches: outside a transaction it runs inside one of its
  // own, so the check sees it too.
  bool guarded_ = false;
  bool StepOnce();
};

struct ColumnMeta {
  std::string name;
  std::string declared;
  ColumnKind kind = ColumnKind::Text;
  int size = 0;
};

struct TableMeta {
  std::string name;                    // as stored
  std::vector<ColumnMeta> columns;
  std::vector<std::string> keyColumns; // primary key or first unique index
  struct Index {
    std::string name;
    bool unique = false;
    std::vector<std::string> columns;
    std::vector<std::string> collations;  // per column, as the index declares it ("BINARY", "ES", ...)
  };
  std::vector<Index> indexes;
};

class Connection : public SchemaLookup {
 public:
  explicit Connection(const std::string& folder);
  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const std::string& Folder() const { return folder_; }
  sqlite3* Db() const { return db_; }

  Stmt Prepare(const std::string& sql);
  // Prepare for a table cursor's own row write: the cursor notes the change itself
  // (TouchRow), so the tables it writes are not marked as changed in an unknown way.
  Stmt PrepareRowWrite(const std::string& sql);
  // Runs one statement to the end; returns the rows it changed.
  int Exec(const std::string& sql);
  // Raises the EDBEngineError for an SQLite result code (message from the connection).
  [[noreturn]] void Fail(int rc, const std::string& context = {}) const;

  // Schema (cached; DDL through Prepare invalidates it).
  std::optional<std::string> ResolveTable(std::string_view written) const override;
  std::vector<ColumnInfo> Columns(std::string_view storedTable) const override;
  const TableMeta* Table(std::string_view storedTable) const;
  void SchemaChanged();

  // Change tracking: a generation per table, bumped by every write.
  std::uint64_t Generation(const std::string& storedLower) const;
  std::uint64_t Epoch() const { return epoch_; }
  void Touch(const std::string& storedLower);
  // A known row change ('i', 'u' or 'd'; `old` = the row before an update or delete), so
  // other cursors of the table can patch their order instead of reloading it.
  struct RowEvent {
    char op = 0;  // 0 = unknown change: reload
    std::int64_t id = 0;
    std::uint64_t gen = 0;
    std::shared_ptr<const Record> old;
  };
  void TouchRow(const std::string& storedLower, char op, std::int64_t id, const Record* old);
  // The known row changes after generation `since`; false when an unknown change happened
  // or the log no longer reaches back that far.
  bool RowEventsSince(const std::string& storedLower, std::uint64_t since, std::vector<RowEvent>& out) const;
  void TouchAll() { ++epoch_; }

  // Statements still reading a result (streaming queries): read to the end before any
  // write or transaction change on the connection, so no write waits on an open read.
  void AddStream(const void* key, std::function<void()> drain) { streams_[key] = std::move(drain); }
  void RemoveStream(const void* key) { streams_.erase(key); }
  bool HasStreams() const { return !streams_.empty(); }

  // Frames in the write-ahead log not yet copied into the database file, as the last commit
  // left them. Commits never checkpoint below kCheckpointCapFrames: CheckpointWhenIdle does.
  int WalFrames() const { return walFrames_; }
  void SetWalFrames(int n) { walFrames_ = n; }
  void DrainStreams();

  // Transactions.
  bool InTransaction() const { return txSerial_ != 0; }
  std::uint64_t TxSerial() const { return txSerial_; }
  void Begin();
  void Commit();
  void Rollback();

  // Tables written/created/dropped by the statements prepared since the last call.
  std::set<std::string> TakeWrittenTables();
  void NoteWrite(std::string table, bool ddl);

  // The commit checks (AddCommitCheck) have set up their watch on this connection.
  void PrepareCommitChecks();

  // A statement prepared once for the life of the connection (reset, bindings cleared), for
  // checks that run the same queries at every commit; nullptr when it does not prepare. The
  // connection finalizes it; callers never do.
  sqlite3_stmt* CachedStatement(const std::string& sql);

 private:
  std::string folder_;
  sqlite3* db_ = nullptr;
  std::shared_ptr<void> computerClaim_;  // let go after the database closes
  mutable std::map<std::string, std::unique_ptr<TableMeta>> meta_;  // by lower name
  mutable bool namesLoaded_ = false;
  mutable std::map<std::string, std::string> names_;  // lower → stored
  std::unordered_map<std::string, std::uint64_t> gens_;
  struct RowLog {
    std::vector<RowEvent> events;  // newest last, capped
    std::uint64_t unknownAt = 0;   // generation of the last unknown change
    std::uint64_t trimmedTo = 0;   // events up to this generation were dropped
  };
  std::unordered_map<std::string, RowLog> logs_;
  std::uint64_t epoch_ = 1, counter_ = 0, txSerial_ = 0, txNext_ = 0;
  std::set<std::string> written_;
  std::map<const void*, std::function<void()>> streams_;
  bool ddl_ = false;
  int walFrames_ = 0;
  std::map<std::string, sqlite3_stmt*> cached_;
  bool checksReady_ = false;
  void LoadNames() const;
  bool WritesWatched(const std::set<std::string>& written) const;
  void RunCommitChecks();
};

// ---- checks at the commit -------------------------------------------------------------------
// A rule every commit on a connection must keep, whatever path wrote. `prepare` runs outside
// any transaction before a connection's write transaction (again after a schema change or a
// rollback) and sets up what the check needs, e.g. temporary triggers that note the keys a
// write touches; it returns false when the connection holds nothing to watch. `check` runs
// inside the write transaction just before COMMIT and throws to refuse it: the transaction is
// rolled back and the exception reaches whoever committed. Writes to a table in `watches`
// (lower case) made outside a transaction run inside one of their own, so nothing escapes.
struct CommitCheck {
  std::function<bool(Connection&)> prepare;
  std::function<void(Connection&)> check;
  std::set<std::string> watches;
};
// Registers (or replaces) the check named `name` for every connection of the process.
void AddCommitCheck(const std::string& name, CommitCheck check);

// While one lives, commits run no check and watched writes take no transaction of their own:
// for loading rows as another client would have written them (test seeds, bulk restores).
// What those writes touch is still noted, and a later checked commit compares it with them.
class SuspendCommitChecks {
 public:
  SuspendCommitChecks();
  ~SuspendCommitChecks();
  SuspendCommitChecks(const SuspendCommitChecks&) = delete;
  SuspendCommitChecks& operator=(const SuspendCommitChecks&) = delete;
};

// A second, read-only connection to the same database file. While `conn` holds its write
// transaction it reads the books as the last commit left them, i.e. before that transaction.
class CommittedReader {
 public:
  explicit CommittedReader(const Connection& conn);
  ~CommittedReader();
  CommittedReader(const CommittedReader&) = delete;
  CommittedReader& operator=(const CommittedReader&) = delete;
  sqlite3* Db() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Books in a folder shared over the network are written by one computer at a time
// (OneComputer.cpp): claims `folder` for this computer before a connection writes it, and
// throws DBIERR_DIRLOCKED naming the computer that holds it. The result holds the claim until
// dropped (empty when nothing needed claiming).
std::shared_ptr<void> ClaimForThisComputer(const std::string& folder);

// Completes the two-file saves a killed process left recorded in this database.
void RecoverPendingSaves(Connection& first);

// Registry: alias → folder, folder → connection.
std::string FolderOf(const AnsiString& databaseName);  // normalized, with trailing '/'
std::shared_ptr<Connection> ConnectionFor(const AnsiString& databaseName);
void ForgetConnection(const std::string& folder);
// Drops cached connections that no dataset or transaction uses.
void ReleaseIdleConnections();
bool NameIsAlias(const AnsiString& name, std::string* folder = nullptr);
void SetAlias(const AnsiString& name, const std::string& folder);
void RemoveAlias(const AnsiString& name);

// Open datasets (the session closes them; alias changes close their users).
void RegisterOpen(TDataSet* ds, const AnsiString& databaseName, const std::string& folder);
void UnregisterOpen(TDataSet* ds);
void CloseDatasets(const std::function<bool(const std::string& dbName, const std::string& folder)>& which);
void CloseDatasetsWhere(
    const std::function<bool(TDataSet* ds, const std::string& dbName, const std::string& folder)>& which);

// Remembers the last failure for DbiGetErrorInfo.
void RecordError(DBIResult code, const std::string& message, const std::string& context = {});
[[noreturn]] void ThrowEngine(DBIResult code, const std::string& message, int native = 0);

// Value conversions shared by fields, filters and searches (Field.cpp).
std::string DateTimeToIsoText(const TDateTime& d, bool withTime);
bool IsoTextToDateTime(const std::string& s, TDateTime& out);
bool IsNumericType(TFieldType t);
bool IsIntegerType(TFieldType t);
bool ParseBool(const std::string& text, bool& out);
AnsiString CellText(const Cell& c, TFieldType t, bool display);
Variant CellVariant(const Cell& c, TFieldType t);
Cell CellFromText(const AnsiString& text, TFieldType t, int size);
bool CellFromVariant(const Variant& v, TFieldType t, int size, Cell& out);
TFieldType FieldTypeOf(ColumnKind kind);

// Registers the Spanish upper() and centavos() (SpanishText.cpp) on a new connection.
void RegisterSpanishText(sqlite3* db);

// How long a statement waits for another process's write lock before it reports "locked".
constexpr int kBusyTimeoutMs = 5000;
// BEGIN IMMEDIATE only when the write lock is free at once (false: another process holds
// it, or the books cannot be written); never waits. Work that can be left for later uses it.
bool TryBeginImmediate(sqlite3* db);

// An index whose rows sort with a registered collation ("ES" for names) at query time only:
// the stored index stays plain, so every SQLite client can write and check the books, and
// a cursor that follows the index orders with the collation.
void SetIndexQueryCollation(const std::string& index, const std::string& collation);

// Translation through the local-SQL translator; std::invalid_argument → syntax error.
Translation Translate(Connection& conn, const std::string& localSql);

}  // namespace tv::db
