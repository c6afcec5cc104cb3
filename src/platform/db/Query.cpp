#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

using namespace tv::db;

TQuery::TQuery(TComponent* AOwner) : TDataSet(AOwner), SQL(new TStringList), sql_(SQL) {
  sql_->OnChange = [this](TObject*) { SqlChanged(); };
}

TQuery::~TQuery() {
  sql_->OnChange = nullptr;
  Close();
}

void TQuery::SqlChanged() {
  Close();
  prepared_ = false;
  executedText_ = "";
}

void TQuery::Prepare() {
  auto conn = ConnectionFor(DatabaseName);
  Translate(*conn, SQL->Text().str());
  prepared_ = true;
}

namespace {
// Runs statements that change data; a failure in the middle undoes the earlier ones.
int RunStatements(Connection& conn, const std::vector<std::string>& stmts, size_t count) {
  int changes = 0;
  bool guard = count > 1;
  if (guard) conn.Exec("SAVEPOINT tv_query");
  try {
    for (size_t k = 0; k < count; ++k) changes += conn.Exec(stmts[k]);
  } catch (...) {
    if (guard) {
      sqlite3_exec(conn.Db(), "ROLLBACK TO tv_query; RELEASE tv_query", nullptr, nullptr, nullptr);
      conn.TouchAll();
    }
    throw;
  }
  if (guard) conn.Exec("RELEASE tv_query");
  return changes;
}
}  // namespace

void TQuery::ExecSQL() {
  Close();
  auto conn = ConnectionFor(DatabaseName);
  std::string text = SQL->Text().str();
  Translation t = Translate(*conn, text);
  rowsAffected_ = RunStatements(*conn, t.statements, t.statements.size());
  executedText_ = text;
  prepared_ = true;
}

// The result of a query: rows packed one after another (a tag byte per value, varint
// numbers and lengths), so a million lines take a fraction of their size as records.
struct TQuery::Rows {
  std::shared_ptr<Connection> conn;
  Stmt st;
  bool reading = false;  // the statement has more rows
  size_t columns = 0;
  std::string arena;
  std::vector<std::uint64_t> starts;  // where each row begins in the arena
  size_t listed = 0;                  // rows whose ids the dataset has
  // what the values of untyped columns were (expressions)
  std::vector<bool> anyReal, anyInt, anyText, measure;
  std::vector<int> width;

  static void PutVar(std::string& b, std::uint64_t v) {
    while (v >= 0x80) {
      b += static_cast<char>((v & 0x7f) | 0x80);
      v >>= 7;
    }
    b += static_cast<char>(v);
  }
  static std::uint64_t GetVar(const char*& p) {
    std::uint64_t v = 0;
    int shift = 0;
    while (true) {
      auto c = static_cast<unsigned char>(*p++);
      v |= static_cast<std::uint64_t>(c & 0x7f) << shift;
      if (!(c & 0x80)) return v;
      shift += 7;
    }
  }

  void Append() {
    starts.push_back(arena.size());
    sqlite3_stmt* h = st.get();
    for (size_t c = 0; c < columns; ++c) {
      int i = static_cast<int>(c);
      switch (sqlite3_column_type(h, i)) {
        case SQLITE_INTEGER: {
          std::int64_t v = sqlite3_column_int64(h, i);
          arena += '\1';
          PutVar(arena, (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
          anyInt[c] = true;
          break;
        }
        case SQLITE_FLOAT: {
          double d = sqlite3_column_double(h, i);
          arena += '\2';
          arena.append(reinterpret_cast<const char*>(&d), sizeof d);
          anyReal[c] = true;
          break;
        }
        case SQLITE_NULL: arena += '\0'; break;
        default: {
          const char* t = reinterpret_cast<const char*>(sqlite3_column_text(h, i));
          auto n = static_cast<size_t>(sqlite3_column_bytes(h, i));
          arena += '\3';
          PutVar(arena, n);
          arena.append(t ? t : "", n);
          anyText[c] = true;
          if (measure[c]) width[c] = std::max(width[c], tv::text::CharCount(std::string_view(t ? t : "", n)));
        }
      }
    }
  }

  // Reads up to `count` more rows (0 = all); false when the statement had none left.
  bool Read(size_t count) {
    if (!reading) return false;
    size_t n = 0;
    while (count == 0 || n < count) {
      if (!st.Step()) {
        Finish();
        break;
      }
      Append();
      ++n;
    }
    return n > 0;
  }

  void Finish() {
    reading = false;
    st = Stmt();
    conn->RemoveStream(this);
  }

  void Decode(size_t row, Record& out) const {
    out.resize(columns);
    const char* p = arena.data() + starts[row];
    for (size_t c = 0; c < columns; ++c) {
      switch (*p++) {
        case 1: {
          std::uint64_t z = GetVar(p);
          out[c] = Cell::Integer(static_cast<std::int64_t>((z >> 1) ^ (~(z & 1) + 1)));
          break;
        }
        case 2: {
          double d;
          std::memcpy(&d, p, sizeof d);
          p += sizeof d;
          out[c] = Cell::Float(d);
          break;
        }
        case 3: {
          auto n = static_cast<size_t>(GetVar(p));
          out[c] = Cell::String(std::string(p, n));
          p += n;
          break;
        }
        default: out[c] = Cell();
      }
    }
  }
};

void TQuery::DoOpen(std::vector<ColumnDef>& columns) {
  conn_ = ConnectionFor(DatabaseName);
  std::string text = SQL->Text().str();
  res_ = std::make_unique<Rows>();
  res_->conn = conn_;
  if (!executedText_.IsEmpty() && executedText_.str() == text) {
    // a statement already run by ExecSQL: open as an empty result instead of running it again
    RegisterOpen(this, DatabaseName, conn_->Folder());
    return;
  }
  Translation t = Translate(*conn_, text);
  if (!t.returnsRows || t.statements.empty()) {
    res_.reset();
    conn_.reset();
    throw EDatabaseError("Query does not return a result set: " + AnsiString(text));
  }
  if (t.statements.size() > 1) RunStatements(*conn_, t.statements, t.statements.size() - 1);
  Rows& r = *res_;
  r.st = conn_->Prepare(t.statements.back());
  int nc = r.st.ColumnCount();
  r.columns = static_cast<size_t>(nc);
  r.anyReal.assign(r.columns, false);
  r.anyInt.assign(r.columns, false);
  r.anyText.assign(r.columns, false);
  r.width.assign(r.columns, 1);
  r.measure.assign(r.columns, false);
  std::vector<bool> typed(static_cast<size_t>(nc), false);
  bool allTyped = true;
  for (int c = 0; c < nc; ++c) {
    ColumnDef d;
    const char* name = sqlite3_column_name(r.st.get(), c);
    d.name = name ? name : ("Column" + std::to_string(c + 1));
    const char* decl = sqlite3_column_decltype(r.st.get(), c);
    if (decl && *decl) {
      int size = 0;
      ColumnKind kind = KindOfDeclaredType(decl, &size);
      d.type = FieldTypeOf(kind);
      d.size = kind == ColumnKind::Text ? size : 0;
      typed[static_cast<size_t>(c)] = true;
    } else {
      allTyped = false;
      r.measure[static_cast<size_t>(c)] = true;
    }
    columns.push_back(d);
  }
  r.reading = true;
  // Columns of stored fields know their type: the first rows show at once and the rest are
  // read as the dataset moves. Expressions take their type from every value, read now.
  if (allTyped) {
    r.Read(256);
    if (r.reading) {
      Rows* self = res_.get();
      conn_->AddStream(self, [self] { self->Read(0); });
    }
  } else {
    r.Read(0);
  }
  // expressions: type from the values (any real → float, all integers → integer)
  for (int c = 0; c < nc; ++c) {
    auto k = static_cast<size_t>(c);
    if (typed[k]) continue;
    ColumnDef& d = columns[k];
    if (r.anyText[k]) { d.type = ftString; d.size = r.width[k]; }
    else if (r.anyReal[k]) d.type = ftFloat;
    else if (r.anyInt[k]) d.type = ftInteger;
    else d.type = ftFloat;  // all null (a sum over no rows)
  }
  rowsAffected_ = static_cast<int>(r.starts.size());
  RegisterOpen(this, DatabaseName, conn_->Folder());
}

void TQuery::DoClose() {
  if (res_) {
    if (res_->reading) res_->Finish();
    res_.reset();
  }
  conn_.reset();
}

void TQuery::LoadOrder(std::vector<std::int64_t>& ids) {
  size_t n = res_ ? res_->starts.size() : 0;
  ids.resize(n);
  for (size_t k = 0; k < n; ++k) ids[k] = static_cast<std::int64_t>(k);
  if (res_) res_->listed = n;
}

bool TQuery::MoreRows(std::vector<std::int64_t>& ids, size_t count) {
  if (!res_) return false;
  Rows& r = *res_;
  size_t have = r.starts.size() - r.listed;
  if (count == 0) r.Read(0);
  else if (have < count) r.Read(count - have);
  size_t end = count == 0 ? r.starts.size() : std::min(r.starts.size(), r.listed + count);
  if (end == r.listed) return false;
  for (size_t k = r.listed; k < end; ++k) ids.push_back(static_cast<std::int64_t>(k));
  r.listed = end;
  rowsAffected_ = static_cast<int>(r.starts.size());
  return true;
}

bool TQuery::ReadRecord(std::int64_t id, Record& out, const std::int64_t*, int) {
  if (!res_ || id < 0 || id >= static_cast<std::int64_t>(res_->starts.size())) return false;
  res_->Decode(static_cast<size_t>(id), out);
  return true;
}

// A result still being read is counted by the database: the same statement under count(*),
// on the same connection and so over the same rows (a write first drains open results).
bool TQuery::CountAllRows(size_t& rows) const {
  if (!res_ || !res_->reading || !conn_) return false;
  // A result that ends within a few more rows is read: cheaper than running it again.
  res_->Read(4096);
  if (!res_->reading) return false;
  sqlite3_stmt* h = res_->st.get();
  if (!h || sqlite3_bind_parameter_count(h) > 0) return false;
  const char* text = sqlite3_sql(h);
  if (!text) return false;
  std::string sql = text;
  while (!sql.empty() && (sql.back() == ';' || std::isspace(static_cast<unsigned char>(sql.back())))) sql.pop_back();
  try {
    Stmt count = conn_->Prepare("SELECT count(*) FROM (" + sql + "\n)");
    if (!count.Step()) return false;
    rows = static_cast<size_t>(count.Column(0).i);
    return true;
  } catch (const EDatabaseError&) {
    return false;
  }
}
