// A save that spans two database files. SQLite commits each WAL database on its own, so the
// row changes of both are recorded as they happen (pre-update hook) and the commit goes:
//   1. the second file's changes, as a redo record, are written into the first file's
//      transaction; the second's transaction marks itself with the record's token;
//   2. the first file commits (the decision point); 3. the second commits;
//   4. the record is removed.
// Killed after 2, the next open of the first file replays the record into the second.
// When 3 fails the first file's changes are undone from their recorded old values.
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <random>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::db {

namespace {

struct RowChange {
  std::string table;
  int op = 0;  // SQLITE_INSERT, SQLITE_UPDATE or SQLITE_DELETE
  std::int64_t oldId = 0, newId = 0;
  Record oldValues, newValues;
};

constexpr const char* kPendingTable = "tv_pending_save";
constexpr const char* kDoneTable = "tv_saved";

Cell FromValue(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Cell::Integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return Cell::Float(sqlite3_value_double(v));
    case SQLITE_NULL: return Cell();
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return Cell::String(std::string(t ? t : "", static_cast<size_t>(sqlite3_value_bytes(v))));
    }
  }
}

void Hook(void* ctx, sqlite3* db, int op, const char* dbName, const char* table, sqlite3_int64 oldId,
          sqlite3_int64 newId) {
  if (std::strcmp(dbName, "main") != 0 || std::strncmp(table, "tv_", 3) == 0 ||
      std::strncmp(table, "sqlite_", 7) == 0)
    return;
  auto* out = static_cast<std::vector<RowChange>*>(ctx);
  RowChange c;
  c.table = table;
  c.op = op;
  c.oldId = oldId;
  c.newId = newId;
  int n = sqlite3_preupdate_count(db);
  for (int i = 0; i < n; ++i) {
    sqlite3_value* v = nullptr;
    if (op != SQLITE_INSERT && sqlite3_preupdate_old(db, i, &v) == SQLITE_OK) c.oldValues.push_back(FromValue(v));
    if (op != SQLITE_DELETE && sqlite3_preupdate_new(db, i, &v) == SQLITE_OK) c.newValues.push_back(FromValue(v));
  }
  out->push_back(std::move(c));
}

// ---- the redo record: a flat byte string --------------------------------------------------
void PutInt(std::string& b, std::int64_t v) { b.append(reinterpret_cast<const char*>(&v), sizeof v); }
void PutText(std::string& b, const std::string& s) {
  PutInt(b, static_cast<std::int64_t>(s.size()));
  b += s;
}
void PutRecord(std::string& b, const Record& r) {
  PutInt(b, static_cast<std::int64_t>(r.size()));
  for (const Cell& c : r) {
    b += static_cast<char>(c.kind);
    if (c.kind == Cell::Int) PutInt(b, c.i);
    else if (c.kind == Cell::Real) b.append(reinterpret_cast<const char*>(&c.d), sizeof c.d);
    else if (c.kind == Cell::Text) PutText(b, c.s);
  }
}

struct Reader {
  const std::string& b;
  size_t at = 0;
  void Need(size_t n) {
    if (at + n > b.size()) ThrowEngine(DBIERR_PHYSICALCORRUPT, "Damaged pending save record.");
  }
  std::int64_t Int() {
    Need(8);
    std::int64_t v;
    std::memcpy(&v, b.data() + at, 8);
    at += 8;
    return v;
  }
  std::string Text() {
    auto n = static_cast<size_t>(Int());
    Need(n);
    std::string s = b.substr(at, n);
    at += n;
    return s;
  }
  Record Rec() {
    auto n = static_cast<size_t>(Int());
    Record r;
    for (size_t k = 0; k < n; ++k) {
      Need(1);
      auto kind = static_cast<Cell::Kind>(b[at++]);
      if (kind == Cell::Int) r.push_back(Cell::Integer(Int()));
      else if (kind == Cell::Real) {
        Need(8);
        double d;
        std::memcpy(&d, b.data() + at, 8);
        at += 8;
        r.push_back(Cell::Float(d));
      } else if (kind == Cell::Text) r.push_back(Cell::String(Text()));
      else r.push_back(Cell());
    }
    return r;
  }
};

std::string Encode(const std::vector<RowChange>& changes) {
  std::string b;
  PutInt(b, static_cast<std::int64_t>(changes.size()));
  for (const auto& c : changes) {
    PutText(b, c.table);
    PutInt(b, c.op);
    PutInt(b, c.oldId);
    PutInt(b, c.newId);
    PutRecord(b, c.oldValues);
    PutRecord(b, c.newValues);
  }
  return b;
}

std::vector<RowChange> Decode(const std::string& b) {
  Reader r{b};
  std::vector<RowChange> out(static_cast<size_t>(r.Int()));
  for (auto& c : out) {
    c.table = r.Text();
    c.op = static_cast<int>(r.Int());
    c.oldId = r.Int();
    c.newId = r.Int();
    c.oldValues = r.Rec();
    c.newValues = r.Rec();
  }
  return out;
}

// Writes a row with its row id: INSERT or UPDATE of every column.
void PutRow(Connection& conn, const std::string& table, bool insert, std::int64_t id, const Record& values,
            std::int64_t where) {
  const TableMeta* m = conn.Table(table);
  if (!m) ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + table);
  size_t n = std::min(values.size(), m->columns.size());
  std::string sql;
  if (insert) {
    sql = "INSERT INTO " + QuoteIdent(m->name) + " (rowid";
    for (size_t k = 0; k < n; ++k) sql += ", " + QuoteIdent(m->columns[k].name);
    sql += ") VALUES (?";
    for (size_t k = 0; k < n; ++k) sql += ",?";
    sql += ")";
  } else {
    sql = "UPDATE " + QuoteIdent(m->name) + " SET rowid=?";
    for (size_t k = 0; k < n; ++k) sql += ", " + QuoteIdent(m->columns[k].name) + "=?";
    sql += " WHERE rowid=?";
  }
  Stmt st = conn.Prepare(sql);
  st.Bind(1, Cell::Integer(id));
  for (size_t k = 0; k < n; ++k) st.Bind(static_cast<int>(k + 2), values[k]);
  if (!insert) st.Bind(static_cast<int>(n + 2), Cell::Integer(where));
  st.Step();
}

void DeleteRow(Connection& conn, const std::string& table, std::int64_t id) {
  Stmt st = conn.Prepare("DELETE FROM " + QuoteIdent(table) + " WHERE rowid=?");
  st.Bind(1, Cell::Integer(id));
  st.Step();
}

void Redo(Connection& conn, const std::vector<RowChange>& changes) {
  for (const auto& c : changes) {
    if (c.op == SQLITE_INSERT) PutRow(conn, c.table, true, c.newId, c.newValues, 0);
    else if (c.op == SQLITE_UPDATE) PutRow(conn, c.table, false, c.newId, c.newValues, c.oldId);
    else DeleteRow(conn, c.table, c.oldId);
    conn.Touch(Lower(c.table));
  }
}

void Undo(Connection& conn, const std::vector<RowChange>& changes) {
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    const auto& c = *it;
    if (c.op == SQLITE_INSERT) DeleteRow(conn, c.table, c.newId);
    else if (c.op == SQLITE_UPDATE) PutRow(conn, c.table, false, c.oldId, c.oldValues, c.newId);
    else PutRow(conn, c.table, true, c.oldId, c.oldValues, 0);
    conn.Touch(Lower(c.table));
  }
}

std::string NewToken() {
  std::random_device rd;
  auto now = std::chrono::system_clock::now().time_since_epoch().count();
  return std::to_string(now) + "-" + std::to_string(rd()) + std::to_string(rd());
}

bool HasTable(Connection& conn, const char* name) {
  Stmt st = conn.Prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1");
  st.Bind(1, Cell::String(name));
  return st.Step();
}

bool TokenSaved(Connection& conn, const std::string& token) {
  if (!HasTable(conn, kDoneTable)) return false;
  Stmt st = conn.Prepare(std::string("SELECT 1 FROM ") + kDoneTable + " WHERE token=?1");
  st.Bind(1, Cell::String(token));
  return st.Step();
}

void Forget(Connection& first, Connection& second, const std::string& token) {
  Stmt a = first.Prepare(std::string("DELETE FROM ") + kPendingTable + " WHERE token=?1");
  a.Bind(1, Cell::String(token));
  a.Step();
  if (HasTable(second, kDoneTable)) {
    Stmt b = second.Prepare(std::string("DELETE FROM ") + kDoneTable + " WHERE token=?1");
    b.Bind(1, Cell::String(token));
    b.Step();
  }
}
}  // namespace

struct TwoFileTransaction::State {
  std::shared_ptr<Connection> first, second;
  std::vector<RowChange> firstChanges, secondChanges;
  bool active = false;

  void Capture(bool on) {
    sqlite3_preupdate_hook(first->Db(), on ? &Hook : nullptr, on ? &firstChanges : nullptr);
    sqlite3_preupdate_hook(second->Db(), on ? &Hook : nullptr, on ? &secondChanges : nullptr);
  }
  void RollbackBoth() {
    Capture(false);
    active = false;
    first->Rollback();
    second->Rollback();
  }
};

TwoFileTransaction::TwoFileTransaction(const AnsiString& firstDatabase, const AnsiString& secondDatabase)
    : st_(std::make_unique<State>()) {
  st_->first = ConnectionFor(firstDatabase);
  st_->second = ConnectionFor(secondDatabase);
  if (st_->first == st_->second) st_->second.reset();
  if (st_->first->InTransaction() || (st_->second && st_->second->InTransaction()))
    ThrowEngine(DBIERR_ACTIVETRAN, DBIErrorText(DBIERR_ACTIVETRAN).str());
  st_->first->Begin();
  if (st_->second) {
    try {
      st_->second->Begin();
    } catch (...) {
      st_->first->Rollback();
      throw;
    }
    st_->Capture(true);
  }
  st_->active = true;
}

TwoFileTransaction::~TwoFileTransaction() {
  if (!st_->active) return;
  try {
    if (st_->second) st_->RollbackBoth();
    else st_->first->Rollback();
  } catch (...) {
  }
}

void TwoFileTransaction::Rollback() {
  if (!st_->active) return;
  if (st_->second) st_->RollbackBoth();
  else st_->first->Rollback();
  st_->active = false;
}

void TwoFileTransaction::Commit() {
  if (!st_->active) return;
  auto& s = *st_;
  if (!s.second) {
    s.active = false;
    s.first->Commit();
    return;
  }
  s.Capture(false);
  s.active = false;
  Connection& a = *s.first;
  Connection& b = *s.second;
  std::string token = NewToken();
  try {
    a.Exec(std::string("CREATE TABLE IF NOT EXISTS ") + kPendingTable + " (token TEXT, folder TEXT, redo BLOB)");
    Stmt ins = a.Prepare(std::string("INSERT INTO ") + kPendingTable + " VALUES (?1, ?2, ?3)");
    ins.Bind(1, Cell::String(token));
    ins.Bind(2, Cell::String(b.Folder()));
    ins.Bind(3, Cell::String(Encode(s.secondChanges)));
    ins.Step();
    b.Exec(std::string("CREATE TABLE IF NOT EXISTS ") + kDoneTable + " (token TEXT PRIMARY KEY)");
    Stmt mark = b.Prepare(std::string("INSERT INTO ") + kDoneTable + " VALUES (?1)");
    mark.Bind(1, Cell::String(token));
    mark.Step();
  } catch (...) {
    a.Rollback();
    b.Rollback();
    throw;
  }
  try {
    a.Commit();  // raises with both rolled back (Commit rolls back on failure)
  } catch (...) {
    b.Rollback();
    throw;
  }
  try {
    b.Commit();
  } catch (...) {
    // the second file kept its old rows: put the first file's back too
    try {
      Transaction undo(AnsiString(a.Folder()));
      Undo(a, s.firstChanges);
      Stmt del = a.Prepare(std::string("DELETE FROM ") + kPendingTable + " WHERE token=?1");
      del.Bind(1, Cell::String(token));
      del.Step();
      undo.Commit();
    } catch (...) {
      // left for the next open, which completes the save in the second file
    }
    a.TouchAll();
    throw;
  }
  try {
    Forget(a, b, token);
  } catch (...) {
  }
}

void RecoverPendingSaves(Connection& first) {
  if (!HasTable(first, kPendingTable)) return;
  struct Pending {
    std::string token, folder, redo;
  };
  std::vector<Pending> list;
  {
    Stmt st = first.Prepare(std::string("SELECT token, folder, redo FROM ") + kPendingTable);
    while (st.Step()) list.push_back({st.Column(0).s, st.Column(1).s, st.Column(2).s});
  }
  for (const auto& p : list) {
    try {
      auto second = ConnectionFor(AnsiString(p.folder));
      if (!TokenSaved(*second, p.token)) {
        Transaction tx(AnsiString(p.folder));
        Redo(*second, Decode(p.redo));
        second->Exec(std::string("CREATE TABLE IF NOT EXISTS ") + kDoneTable + " (token TEXT PRIMARY KEY)");
        Stmt mark = second->Prepare(std::string("INSERT INTO ") + kDoneTable + " VALUES (?1)");
        mark.Bind(1, Cell::String(p.token));
        mark.Step();
        tx.Commit();
      }
      Forget(first, *second, p.token);
    } catch (const EDatabaseError&) {
      // the other folder is not reachable now: tried again at the next open
    }
  }
}

}  // namespace tv::db
