#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "platform/core/Busy.h"
#include "platform/db/Engine.h"

namespace tv::db {

// ---- values -------------------------------------------------------------------------------
double Cell::Number() const {
  switch (kind) {
    case Int: return static_cast<double>(i);
    case Real: return d;
    case Text: {
      char* end = nullptr;
      double v = std::strtod(s.c_str(), &end);
      return v;
    }
    default: return 0;
  }
}

bool Cell::operator==(const Cell& o) const {
  if (kind == Null || o.kind == Null) return kind == o.kind;
  if (kind == Text || o.kind == Text) {
    if (kind != o.kind) return false;
    return s == o.s;
  }
  if (kind == Int && o.kind == Int) return i == o.i;
  return Number() == o.Number();
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string BareTableName(std::string_view w) {
  std::string s(w);
  auto trim = [](std::string& t) {
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
    size_t b = 0;
    while (b < t.size() && (t[b] == ' ' || t[b] == '\t')) ++b;
    t.erase(0, b);
  };
  trim(s);
  if (s.size() >= 2 && (s.front() == '\'' || s.front() == '"' || s.front() == '[' || s.front() == '`')) {
    char close = s.front() == '[' ? ']' : s.front();
    if (s.back() == close) s = s.substr(1, s.size() - 2);
  }
  trim(s);
  size_t slash = s.find_last_of("/\\");
  if (slash != std::string::npos) s = s.substr(slash + 1);
  if (s.size() > 3 && Lower(s.substr(s.size() - 3)) == ".db") s.resize(s.size() - 3);
  return s;
}

// ---- errors ---------------------------------------------------------------------------------
namespace {
DBIResult CodeFor(int rc, const char* msg) {
  int primary = rc & 0xff;
  std::string m = Lower(msg ? msg : "");
  switch (primary) {
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_NOTNULL) return DBIERR_REQDERR;
      // a rule the books carry (a trigger's RAISE): its own words say why
      if (rc == SQLITE_CONSTRAINT_TRIGGER) return DBIERR_RULEVIOL;
      return DBIERR_KEYVIOL;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return DBIERR_LOCKED;
    case SQLITE_CORRUPT: return DBIERR_PHYSICALCORRUPT;
    case SQLITE_NOTADB: return DBIERR_NOTADB;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: return DBIERR_OPENFAILED;
    case SQLITE_FULL: return DBIERR_NODISKSPACE;
    case SQLITE_IOERR:
      if (rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ || rc == SQLITE_IOERR_FSTAT ||
          rc == SQLITE_IOERR_MMAP)
        return DBIERR_READERR;
      return DBIERR_WRITEERR;
    case SQLITE_READONLY: return DBIERR_READONLY;
    default: break;
  }
  if (m.find("no such table") != std::string::npos) return DBIERR_NOSUCHTABLE;
  if (m.find("no such column") != std::string::npos) return DBIERR_INVALIDFIELDNAME;
  if (m.find("already exists") != std::string::npos) return DBIERR_TABLEEXISTS;
  if (m.find("datatype mismatch") != std::string::npos) return DBIERR_TYPEMISMATCH;
  if (primary == SQLITE_ERROR) return DBIERR_QRYSYNTERR;
  return DBIERR_UNKNOWNERR;
}

int Authorizer(void* user, int action, const char* a1, const char*, const char*, const char*) {
  auto* conn = static_cast<Connection*>(user);
  switch (action) {
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
      if (a1 && std::strncmp(a1, "sqlite_", 7) != 0) conn->NoteWrite(a1, false);
      break;
    case SQLITE_CREATE_TABLE:
    case SQLITE_DROP_TABLE:
    case SQLITE_ALTER_TABLE:
    case SQLITE_CREATE_INDEX:
    case SQLITE_DROP_INDEX:
      conn->NoteWrite(a1 ? a1 : "", true);
      break;
    default: break;
  }
  return SQLITE_OK;
}
}  // namespace

// ---- statements -------------------------------------------------------------------------------
Stmt& Stmt::operator=(Stmt&& o) noexcept {
  if (this != &o) {
    if (s_) sqlite3_finalize(s_);
    s_ = o.s_;
    conn_ = o.conn_;
    guarded_ = o.guarded_;
    o.s_ = nullptr;
  }
  return *this;
}

Stmt::~Stmt() {
  if (s_) sqlite3_finalize(s_);
}

void Stmt::Bind(int i, const Cell& c) {
  switch (c.kind) {
    case Cell::Null: sqlite3_bind_null(s_, i); break;
    case Cell::Int: sqlite3_bind_int64(s_, i, c.i); break;
    case Cell::Real: sqlite3_bind_double(s_, i, c.d); break;
    case Cell::Text: sqlite3_bind_text(s_, i, c.s.data(), static_cast<int>(c.s.size()), SQLITE_TRANSIENT); break;
  }
}

bool Stmt::Step() {
  if (guarded_ && conn_ && !conn_->InTransaction()) {
    conn_->Begin();
    bool row = false;
    try {
      row = StepOnce();
      if (!row) conn_->Commit();
    } catch (...) {
      conn_->Rollback();
      throw;
    }
    // A write that returns rows keeps its transaction until it is read through; the next
    // commit of the connection checks it.
    return row;
  }
  return StepOnce();
}

bool Stmt::StepOnce() {
  if (conn_ && conn_->HasStreams() && !sqlite3_stmt_readonly(s_)) conn_->DrainStreams();
  int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(s_);
  conn_->Fail(rc);
}

void Stmt::Reset() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

Cell Stmt::Column(int i) const {
  switch (sqlite3_column_type(s_, i)) {
    case SQLITE_INTEGER: return Cell::Integer(sqlite3_column_int64(s_, i));
    case SQLITE_FLOAT: return Cell::Float(sqlite3_column_double(s_, i));
    case SQLITE_NULL: return Cell();
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
      int n = sqlite3_column_bytes(s_, i);
      return Cell::String(std::string(t ? t : "", static_cast<size_t>(n)));
    }
  }
}

int Stmt::ColumnCount() const { return sqlite3_column_count(s_); }

// ---- connection -----------------------------------------------------------------------------
namespace {
// A path as the path part of a file: URI.
std::string UriPath(const std::string& p) {
  static const char* hex = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : p) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') r += static_cast<char>(c);
    else {
      r += '%';
      r += hex[c >> 4];
      r += hex[c & 15];
    }
  }
  return r;
}
}  // namespace

Connection::Connection(const std::string& folder) : folder_(folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    ThrowEngine(DBIERR_OPENFAILED, "Directory does not exist: " + folder);
  std::string path = folder + kDatabaseFileName;
  // An empty file is a database that lost its contents, not a new one.
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0)
    ThrowEngine(DBIERR_NOTADB, DBIErrorText(DBIERR_NOTADB).str() + "\nEmpty file: " + path, SQLITE_NOTADB);
  // Books on a read-only medium (or a folder that cannot take the log files) open for
  // reading only, still through the write-ahead log: a seat writing them from elsewhere is
  // seen up to its last commit. Writes are refused.
  bool readOnly = ::access(path.c_str(), F_OK) == 0 &&
                  (::access(path.c_str(), W_OK) != 0 || ::access(folder.c_str(), W_OK) != 0);
  // Before anything is written (the log, its index), so a second computer changes nothing.
  if (!readOnly) computerClaim_ = ClaimForThisComputer(folder);
  std::string target = readOnly ? "file:" + UriPath(path) + "?mode=ro" : path;
  int flags = readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  int rc = sqlite3_open_v2(target.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc == SQLITE_OK && readOnly && (sqlite3_exec(db_, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr) & 0xff) == SQLITE_CANTOPEN &&
      ::access((path + "-wal").c_str(), F_OK) != 0) {
    // A WAL file with no log beside it, and none can be made there: nobody is writing it
    // and every committed row is in the file itself, so it is read as it stands.
    sqlite3_close(db_);
    db_ = nullptr;
    rc = sqlite3_open_v2(("file:" + UriPath(path) + "?immutable=1").c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  }
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "cannot open";
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    ThrowEngine(CodeFor(rc, msg.c_str()), "Cannot open database " + path + ": " + msg, rc);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  // WAL with full sync: a commit is on disk when it returns (one fsync), so a killed
  // process loses nothing committed. Closing checkpoints the log into the database file,
  // so a folder copied after ReleaseDatabase holds every saved row in one file.
  // No memory map: a page that the disk or the network fails to read through a map kills the
  // process (SIGBUS); read through the page cache, the same failure is an error to report.
  const char* setup =
      readOnly ? "PRAGMA case_sensitive_like=ON; PRAGMA foreign_keys=OFF; PRAGMA cache_size=-16000; "
                 "PRAGMA mmap_size=0;"
               : "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA case_sensitive_like=ON; "
                 "PRAGMA foreign_keys=OFF; PRAGMA cache_size=-65536; PRAGMA mmap_size=0;";
  char* err = nullptr;
  rc = sqlite3_exec(db_, setup, nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db_);
    db_ = nullptr;
    ThrowEngine(CodeFor(rc, msg.c_str()), "Cannot open database " + path + ": " + msg, rc);
  }
  sqlite3_set_authorizer(db_, &Authorizer, this);
  // A long statement lets the front end draw what it was asked to before the statement began.
  sqlite3_progress_handler(
      db_, 20000,
      [](void*) -> int {
        tv::core::StillBusy();
        return 0;
      },
      nullptr);
  // The log is copied into the database file when the program is idle (CheckpointWhenIdle)
  // or closes, not inside a save: a commit is durable once the log is synced, so the
  // checkpoint adds nothing to a save but time. Only a log grown past the cap (a program
  // that never idles) is checkpointed at the commit that grew it.
  if (!readOnly)
    sqlite3_wal_hook(
        db_,
        [](void* self, sqlite3* db, const char*, int frames) -> int {
          auto* c = static_cast<Connection*>(self);
          c->SetWalFrames(frames);
          if (frames >= kCheckpointCapFrames) {
            int log = 0, done = 0;
            if (sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &log, &done) == SQLITE_OK && done == log)
              c->SetWalFrames(0);
          }
          return SQLITE_OK;
        },
        this);
  RegisterSpanishText(db_);
}

Connection::~Connection() {
  for (auto& [sql, st] : cached_) sqlite3_finalize(st);
  cached_.clear();
  if (db_) {
    if (InTransaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    // Never wait on another process here: when it holds the database the checkpoint is
    // skipped and left to the next writer.
    sqlite3_busy_timeout(db_, 0);
    // Planner statistics kept current for the next session (a bounded sample per index).
    if (sqlite3_db_readonly(db_, "main") == 0)
      sqlite3_exec(db_, "PRAGMA analysis_limit=1000; PRAGMA optimize;", nullptr, nullptr, nullptr);
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }
}

void Connection::Fail(int rc, const std::string& context) const {
  const char* msg = sqlite3_errmsg(db_);
  std::string text = msg ? msg : sqlite3_errstr(rc);
  DBIResult code = CodeFor(rc, text.c_str());
  std::string full = DBIErrorText(code).str();
  if ((rc & 0xff) == SQLITE_READONLY && sqlite3_db_readonly(db_, "main") == 1)
    full = kReadOnlyBooksText;
  if (!text.empty()) full += "\n" + text;
  if (!context.empty() && code != DBIERR_RULEVIOL) full += "\n" + context;
  ThrowEngine(code, full, rc);
}

void Connection::NoteWrite(std::string table, bool ddl) {
  written_.insert(Lower(table));
  if (ddl) ddl_ = true;
}

std::set<std::string> Connection::TakeWrittenTables() {
  std::set<std::string> r;
  r.swap(written_);
  return r;
}

Stmt Connection::Prepare(const std::string& sql) {
  // SQLite would stop reading at the NUL and run only the text before it.
  if (sql.find('\0') != std::string::npos)
    ThrowEngine(DBIERR_QRYSYNTERR, DBIErrorText(DBIERR_QRYSYNTERR).str() + "\nThe SQL text holds a NUL character.");
  written_.clear();
  ddl_ = false;
  sqlite3_stmt* s = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr);
  if (rc != SQLITE_OK) {
    if (s) sqlite3_finalize(s);
    Fail(rc, sql);
  }
  if (ddl_) SchemaChanged();
  for (const auto& t : written_) Touch(t);
  if ((ddl_ || !written_.empty()) && HasStreams()) DrainStreams();
  return Stmt(s, this, s && !ddl_ && WritesWatched(written_));
}

Stmt Connection::PrepareRowWrite(const std::string& sql) {
  written_.clear();
  ddl_ = false;
  sqlite3_stmt* s = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr);
  if (rc != SQLITE_OK) {
    if (s) sqlite3_finalize(s);
    Fail(rc, sql);
  }
  bool guarded = s && WritesWatched(written_);
  written_.clear();
  return Stmt(s, this, guarded);
}

void Connection::Touch(const std::string& storedLower) {
  std::uint64_t g = ++gens_[storedLower];
  ++counter_;
  auto it = logs_.find(storedLower);
  if (it != logs_.end()) {
    it->second.unknownAt = g;
    it->second.events.clear();
  }
}

void Connection::TouchRow(const std::string& storedLower, char op, std::int64_t id, const Record* old) {
  std::uint64_t g = ++gens_[storedLower];
  ++counter_;
  auto& log = logs_[storedLower];
  constexpr size_t kKeep = 1024;
  if (log.events.size() >= kKeep) {
    log.trimmedTo = log.events[kKeep / 2 - 1].gen;
    log.events.erase(log.events.begin(), log.events.begin() + kKeep / 2);
  }
  RowEvent e;
  e.op = op;
  e.id = id;
  e.gen = g;
  if (old) e.old = std::make_shared<const Record>(*old);
  log.events.push_back(std::move(e));
}

bool Connection::RowEventsSince(const std::string& storedLower, std::uint64_t since, std::vector<RowEvent>& out) const {
  out.clear();
  auto it = logs_.find(storedLower);
  if (it == logs_.end()) return false;
  const RowLog& log = it->second;
  if (log.unknownAt > since || log.trimmedTo > since) return false;
  for (const auto& e : log.events)
    if (e.gen > since) out.push_back(e);
  // every generation after `since` must be a logged event
  return out.size() == Generation(storedLower) - since;
}

int Connection::Exec(const std::string& sql) {
  Stmt st = Prepare(sql);
  auto written = TakeWrittenTables();
  bool ddl = ddl_;
  if (!st.get()) return 0;  // blank text
  while (st.Step()) {
  }
  for (const auto& t : written) Touch(t);
  if (ddl) SchemaChanged();
  return sqlite3_stmt_readonly(st.get()) ? 0 : sqlite3_changes(db_);
}

void Connection::LoadNames() const {
  if (namesLoaded_) return;
  names_.clear();
  sqlite3_stmt* s = nullptr;
  // A failed read is reported as what it is and leaves nothing cached, so the next open
  // tries again instead of finding "no such table".
  int rc = sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite^_%' ESCAPE '^'",
                              -1, &s, nullptr);
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      std::string n = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
      names_[Lower(n)] = n;
    }
  }
  sqlite3_finalize(s);
  if (rc != SQLITE_DONE) {
    names_.clear();
    Fail(rc);
  }
  namesLoaded_ = true;
}

void Connection::SchemaChanged() {
  namesLoaded_ = false;
  meta_.clear();
  checksReady_ = false;
}

// ---- checks at the commit -------------------------------------------------------------------
namespace {
std::map<std::string, CommitCheck>& CommitChecks() {
  static std::map<std::string, CommitCheck> checks;
  return checks;
}
}  // namespace

void AddCommitCheck(const std::string& name, CommitCheck check) { CommitChecks()[name] = std::move(check); }

namespace {
int suspendedChecks = 0;
}
SuspendCommitChecks::SuspendCommitChecks() { ++suspendedChecks; }
SuspendCommitChecks::~SuspendCommitChecks() { --suspendedChecks; }

bool Connection::WritesWatched(const std::set<std::string>& written) const {
  if (written.empty() || suspendedChecks > 0) return false;
  for (const auto& [name, c] : CommitChecks())
    for (const auto& t : written)
      if (c.watches.count(t)) return true;
  return false;
}

void Connection::PrepareCommitChecks() {
  if (checksReady_ || InTransaction() || CommitChecks().empty()) return;
  if (sqlite3_db_readonly(db_, "main") == 1) return;
  for (auto& [name, c] : CommitChecks())
    if (c.prepare) c.prepare(*this);
  checksReady_ = true;
}

void Connection::RunCommitChecks() {
  if (suspendedChecks > 0) return;
  for (auto& [name, c] : CommitChecks())
    if (c.check) c.check(*this);
}

sqlite3_stmt* Connection::CachedStatement(const std::string& sql) {
  auto it = cached_.find(sql);
  if (it != cached_.end()) {
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return it->second;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return nullptr;
  }
  cached_[sql] = st;
  return st;
}

CommittedReader::CommittedReader(const Connection& conn) {
  std::string path = conn.Folder() + kDatabaseFileName;
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "cannot open";
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    ThrowEngine(CodeFor(rc, msg.c_str()), "Cannot open database " + path + ": " + msg, rc);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

CommittedReader::~CommittedReader() {
  if (db_) sqlite3_close(db_);
}

std::optional<std::string> Connection::ResolveTable(std::string_view written) const {
  LoadNames();
  auto it = names_.find(Lower(BareTableName(written)));
  if (it == names_.end()) return std::nullopt;
  return it->second;
}

namespace {
std::map<std::string, std::string>& IndexQueryCollations() {
  static std::map<std::string, std::string> byIndex;  // lower-case index name → collation
  return byIndex;
}
}  // namespace

void SetIndexQueryCollation(const std::string& index, const std::string& collation) {
  IndexQueryCollations()[Lower(index)] = collation;
}

bool TryBeginImmediate(sqlite3* db) {
  if (sqlite3_db_readonly(db, "main") != 0) return false;
  sqlite3_busy_timeout(db, 0);
  int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  return rc == SQLITE_OK;
}

const TableMeta* Connection::Table(std::string_view storedTable) const {
  auto resolved = ResolveTable(storedTable);
  if (!resolved) return nullptr;
  std::string key = Lower(*resolved);
  auto it = meta_.find(key);
  if (it != meta_.end()) return it->second.get();
  auto m = std::make_unique<TableMeta>();
  m->name = *resolved;
  auto quoted = [](const std::string& n) {
    std::string q = "\"";
    for (char c : n) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
  };
  std::vector<std::pair<int, std::string>> pk;
  sqlite3_stmt* s = nullptr;
  std::string q = "PRAGMA table_info(" + quoted(m->name) + ")";
  int rc = sqlite3_prepare_v2(db_, q.c_str(), -1, &s, nullptr);
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      ColumnMeta c;
      c.name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
      const unsigned char* t = sqlite3_column_text(s, 2);
      c.declared = t ? reinterpret_cast<const char*>(t) : "";
      c.kind = KindOfDeclaredType(c.declared, &c.size);
      int pkPos = sqlite3_column_int(s, 5);
      if (pkPos > 0) pk.emplace_back(pkPos, c.name);
      m->columns.push_back(std::move(c));
    }
  }
  sqlite3_finalize(s);
  if (rc != SQLITE_DONE) Fail(rc);
  std::sort(pk.begin(), pk.end());
  for (auto& p : pk) m->keyColumns.push_back(p.second);
  // indexes in creation order
  std::vector<std::string> order;
  q = "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=?1 ORDER BY rowid";
  if (sqlite3_prepare_v2(db_, q.c_str(), -1, &s, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(s, 1, m->name.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(s) == SQLITE_ROW) order.push_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
  }
  sqlite3_finalize(s);
  for (const auto& name : order) {
    TableMeta::Index ix;
    ix.name = name;
    q = "PRAGMA index_xinfo(" + quoted(name) + ")";
    if (sqlite3_prepare_v2(db_, q.c_str(), -1, &s, nullptr) == SQLITE_OK) {
      while (sqlite3_step(s) == SQLITE_ROW) {
        if (sqlite3_column_int(s, 5) == 0) continue;  // auxiliary (rowid) column
        const unsigned char* cn = sqlite3_column_text(s, 2);
        const unsigned char* coll = sqlite3_column_text(s, 4);
        if (cn) {
          ix.columns.push_back(reinterpret_cast<const char*>(cn));
          ix.collations.push_back(coll ? reinterpret_cast<const char*>(coll) : "BINARY");
        }
      }
    }
    sqlite3_finalize(s);
    auto query = IndexQueryCollations().find(Lower(name));
    if (query != IndexQueryCollations().end())
      for (auto& coll : ix.collations)
        if (sqlite3_stricmp(coll.c_str(), "BINARY") == 0) coll = query->second;
    m->indexes.push_back(std::move(ix));
  }
  q = "PRAGMA index_list(" + quoted(m->name) + ")";
  if (sqlite3_prepare_v2(db_, q.c_str(), -1, &s, nullptr) == SQLITE_OK) {
    while (sqlite3_step(s) == SQLITE_ROW) {
      std::string n = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
      for (auto& ix : m->indexes)
        if (ix.name == n) ix.unique = sqlite3_column_int(s, 2) != 0;
    }
  }
  sqlite3_finalize(s);
  if (m->keyColumns.empty()) {
    for (const auto& ix : m->indexes)
      if (ix.unique && !ix.columns.empty()) {
        m->keyColumns = ix.columns;
        break;
      }
  }
  const TableMeta* result = m.get();
  meta_[key] = std::move(m);
  return result;
}

std::vector<ColumnInfo> Connection::Columns(std::string_view storedTable) const {
  std::vector<ColumnInfo> r;
  if (const TableMeta* m = Table(storedTable))
    for (const auto& c : m->columns) r.push_back({c.name, c.kind});
  return r;
}

std::uint64_t Connection::Generation(const std::string& storedLower) const {
  auto it = gens_.find(storedLower);
  return it == gens_.end() ? 0 : it->second;
}

void Connection::DrainStreams() {
  auto pending = std::move(streams_);
  streams_.clear();
  for (auto& [key, drain] : pending) drain();
}

void Connection::Begin() {
  DrainStreams();
  if (InTransaction()) ThrowEngine(DBIERR_ACTIVETRAN, "A transaction is already active.");
  PrepareCommitChecks();
  char* err = nullptr;
  int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, &err);
  sqlite3_free(err);
  if (rc != SQLITE_OK) Fail(rc);
  txSerial_ = ++txNext_;
}

void Connection::Commit() {
  if (!InTransaction()) return;
  DrainStreams();
  try {
    RunCommitChecks();
  } catch (...) {
    Rollback();
    throw;
  }
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    // a failed commit leaves nothing half-saved
    DBIResult code = CodeFor(rc, sqlite3_errmsg(db_));
    std::string msg = sqlite3_errmsg(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    txSerial_ = 0;
    TouchAll();
    SchemaChanged();
    ThrowEngine(code, DBIErrorText(code).str() + "\n" + msg, rc);
  }
  txSerial_ = 0;
}

void Connection::Rollback() {
  if (!InTransaction()) return;
  DrainStreams();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  txSerial_ = 0;
  TouchAll();
  SchemaChanged();
}

// ---- registry ----------------------------------------------------------------------------
namespace {
struct Registry {
  std::map<std::string, std::string> aliases;  // lower name → folder
  std::map<std::string, std::shared_ptr<Connection>> conns;
  struct OpenSet {
    TDataSet* ds;
    std::string dbName;
    std::string folder;
  };
  std::vector<OpenSet> open;
};
Registry& Reg() {
  static Registry r;
  return r;
}

std::string NormalizeFolder(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  std::error_code ec;
  std::filesystem::path fp = std::filesystem::absolute(p, ec);
  if (ec) fp = p;
  fp = std::filesystem::weakly_canonical(fp, ec).lexically_normal();
  std::string r = fp.string();
  if (r.empty() || r.back() != '/') r += '/';
  return r;
}
}  // namespace

bool NameIsAlias(const AnsiString& name, std::string* folder) {
  auto& r = Reg();
  auto it = r.aliases.find(Lower(name.str()));
  if (it == r.aliases.end()) return false;
  if (folder) *folder = it->second;
  return true;
}

void SetAlias(const AnsiString& name, const std::string& folder) { Reg().aliases[Lower(name.str())] = NormalizeFolder(folder); }

void RemoveAlias(const AnsiString& name) { Reg().aliases.erase(Lower(name.str())); }

std::string FolderOf(const AnsiString& databaseName) {
  std::string f;
  if (NameIsAlias(databaseName, &f)) return f;
  std::string n = databaseName.str();
  while (!n.empty() && (n.back() == ' ')) n.pop_back();
  if (n.empty()) n = ".";
  if (n.find('/') == std::string::npos && n.find('\\') == std::string::npos && n != "." &&
      !std::filesystem::is_directory(n))
    ThrowEngine(DBIERR_OPENFAILED, "Unknown database: " + n);
  return NormalizeFolder(n);
}

std::shared_ptr<Connection> ConnectionFor(const AnsiString& databaseName) {
  std::string folder = FolderOf(databaseName);
  auto& r = Reg();
  auto it = r.conns.find(folder);
  if (it != r.conns.end()) return it->second;
  auto c = std::make_shared<Connection>(folder);
  r.conns[folder] = c;
  try {
    RecoverPendingSaves(*c);
  } catch (const EDatabaseError&) {
    // a damaged or busy database: the save is completed at a later open
  }
  return c;
}

void ForgetConnection(const std::string& folder) { Reg().conns.erase(folder); }

void RegisterOpen(TDataSet* ds, const AnsiString& databaseName, const std::string& folder) {
  UnregisterOpen(ds);
  Reg().open.push_back({ds, databaseName.str(), folder});
}

void UnregisterOpen(TDataSet* ds) {
  auto& o = Reg().open;
  o.erase(std::remove_if(o.begin(), o.end(), [&](const Registry::OpenSet& e) { return e.ds == ds; }), o.end());
}

void CloseDatasets(const std::function<bool(const std::string&, const std::string&)>& which) {
  CloseDatasetsWhere([&](TDataSet*, const std::string& db, const std::string& f) { return which(db, f); });
}

void CloseDatasetsWhere(const std::function<bool(TDataSet*, const std::string&, const std::string&)>& which) {
  std::vector<TDataSet*> victims;
  for (const auto& e : Reg().open)
    if (which(e.ds, e.dbName, e.folder)) victims.push_back(e.ds);
  for (TDataSet* ds : victims) ds->Close();
}

Translation Translate(Connection& conn, const std::string& localSql) {
  try {
    return TranslateLocalSql(localSql, conn);
  } catch (const std::logic_error& e) {
    ThrowEngine(DBIERR_QRYSYNTERR, DBIErrorText(DBIERR_QRYSYNTERR).str() + "\n" + e.what() + "\n" + localSql);
  }
}

}  // namespace tv::db

namespace tv::db {
void CheckpointWhenIdle() {
  for (auto& [folder, c] : Reg().conns) {
    if (c->WalFrames() < kIdleCheckpointFrames || c->InTransaction() || c->HasStreams()) continue;
    // Never wait on another process: a busy log is left to the next idle moment.
    sqlite3_busy_timeout(c->Db(), 0);
    int log = 0, done = 0;
    int rc = sqlite3_wal_checkpoint_v2(c->Db(), nullptr, SQLITE_CHECKPOINT_PASSIVE, &log, &done);
    sqlite3_busy_timeout(c->Db(), 5000);
    if (rc == SQLITE_OK && done == log) c->SetWalFrames(0);
  }
}

void ReleaseIdleConnections() {
  auto& c = Reg().conns;
  for (auto it = c.begin(); it != c.end();) {
    if (it->second.use_count() == 1 && !it->second->InTransaction()) it = c.erase(it);
    else ++it;
  }
}
}  // namespace tv::db
