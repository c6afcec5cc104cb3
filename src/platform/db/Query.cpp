#include <sqlite3.h>

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

void TQuery::DoOpen(std::vector<ColumnDef>& columns) {
  conn_ = ConnectionFor(DatabaseName);
  std::string text = SQL->Text().str();
  rows_.clear();
  if (!executedText_.IsEmpty() && executedText_.str() == text) {
    // a statement already run by ExecSQL: open as an empty result instead of running it again
    RegisterOpen(this, DatabaseName, conn_->Folder());
    return;
  }
  Translation t = Translate(*conn_, text);
  if (!t.returnsRows || t.statements.empty()) {
    conn_.reset();
    throw EDatabaseError("Query does not return a result set: " + AnsiString(text));
  }
  if (t.statements.size() > 1) RunStatements(*conn_, t.statements, t.statements.size() - 1);
  Stmt st = conn_->Prepare(t.statements.back());
  int nc = st.ColumnCount();
  std::vector<bool> typed(static_cast<size_t>(nc), false);
  for (int c = 0; c < nc; ++c) {
    ColumnDef d;
    const char* name = sqlite3_column_name(st.get(), c);
    d.name = name ? name : ("Column" + std::to_string(c + 1));
    const char* decl = sqlite3_column_decltype(st.get(), c);
    if (decl && *decl) {
      int size = 0;
      ColumnKind kind = KindOfDeclaredType(decl, &size);
      d.type = FieldTypeOf(kind);
      d.size = kind == ColumnKind::Text ? size : 0;
      typed[static_cast<size_t>(c)] = true;
    }
    columns.push_back(d);
  }
  while (st.Step()) {
    Record r(static_cast<size_t>(nc));
    for (int c = 0; c < nc; ++c) r[static_cast<size_t>(c)] = st.Column(c);
    rows_.push_back(std::move(r));
  }
  // expressions: type from the values (any real → float, all integers → integer)
  for (int c = 0; c < nc; ++c) {
    if (typed[static_cast<size_t>(c)]) continue;
    bool anyReal = false, anyInt = false, anyText = false;
    int width = 1;
    for (const auto& r : rows_) {
      const Cell& v = r[static_cast<size_t>(c)];
      if (v.kind == Cell::Real) anyReal = true;
      else if (v.kind == Cell::Int) anyInt = true;
      else if (v.kind == Cell::Text) {
        anyText = true;
        width = std::max(width, tv::text::CharCount(v.s));
      }
    }
    ColumnDef& d = columns[static_cast<size_t>(c)];
    if (anyText) { d.type = ftString; d.size = width; }
    else if (anyReal) d.type = ftFloat;
    else if (anyInt) d.type = ftInteger;
    else d.type = ftFloat;  // all null (a sum over no rows)
  }
  rowsAffected_ = static_cast<int>(rows_.size());
  RegisterOpen(this, DatabaseName, conn_->Folder());
}

void TQuery::DoClose() {
  rows_.clear();
  rows_.shrink_to_fit();
  conn_.reset();
}

void TQuery::LoadOrder(std::vector<std::int64_t>& ids) {
  ids.resize(rows_.size());
  for (size_t k = 0; k < rows_.size(); ++k) ids[k] = static_cast<std::int64_t>(k);
}

bool TQuery::ReadRecord(std::int64_t id, Record& out, const std::int64_t*, int) {
  if (id < 0 || id >= static_cast<std::int64_t>(rows_.size())) return false;
  out = rows_[static_cast<size_t>(id)];
  return true;
}
