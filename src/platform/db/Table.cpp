#include <sqlite3.h>

#include <cstring>
#include <algorithm>
#include <unordered_map>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::db {

TFieldType FieldTypeOf(ColumnKind kind) {
  switch (kind) {
    case ColumnKind::Text: return ftString;
    case ColumnKind::Number: return ftFloat;
    case ColumnKind::Integer: return ftInteger;
    case ColumnKind::Date: return ftDate;
    case ColumnKind::DateTime: return ftDateTime;
    case ColumnKind::Logical: return ftBoolean;
    case ColumnKind::Memo: return ftMemo;
  }
  return ftString;
}

std::string QuoteIdent(const std::string& n) {
  std::string q = "\"";
  for (char c : n) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

// The open state of a TTable: connection, table definition, order and a small row cache.
class TableSource {
 public:
  static constexpr int kBlock = 64;
  static constexpr size_t kCacheLimit = 4096;
  static constexpr size_t kFirstPage = 1024;
  static constexpr size_t kMaxPage = 65536;

  std::shared_ptr<Connection> conn;
  TableMeta meta;
  std::string lower;
  std::string quoted;
  std::string columns;  // "c1","c2",…
  std::string orderBy;
  std::vector<bool> orderField;
  std::vector<int> orderCols;  // columns of the order, in order
  bool binaryOrder = true;     // every order column sorts bytewise (no collation)
  bool hasOrder = false;
  // The order is read in pages: after the last row listed (its order values and row id),
  // so a big table never loads every row id at open.
  bool paged = true;
  bool complete = false;
  bool started = false;
  size_t nextPage = 0;
  std::vector<Cell> lastKey;
  std::int64_t lastId = 0;
  std::uint64_t seenGen = 0, seenEpoch = 0;
  std::unordered_map<std::int64_t, Record> cache;
  Stmt block, insert, single;

  void Fetch(const std::int64_t* ids, int n) {
    if (n == 1) {
      // one row (searches, placing a row in the order): a plain lookup by row id
      if (!single.get()) single = conn->Prepare("SELECT rowid, " + columns + " FROM " + quoted + " WHERE rowid=?");
      if (cache.size() + 1 > kCacheLimit) cache.clear();
      single.Bind(1, Cell::Integer(ids[0]));
      size_t nc = meta.columns.size();
      if (single.Step()) {
        Record r(nc);
        for (size_t c = 0; c < nc; ++c) r[c] = single.Column(static_cast<int>(c + 1));
        cache[ids[0]] = std::move(r);
      }
      single.Reset();
      return;
    }
    if (!block.get()) {
      std::string sql = "SELECT rowid, " + columns + " FROM " + quoted + " WHERE rowid IN (";
      for (int k = 0; k < kBlock; ++k) sql += k ? ",?" : "?";
      block = conn->Prepare(sql + ")");
    }
    if (cache.size() + static_cast<size_t>(n) > kCacheLimit) cache.clear();
    for (int k = 0; k < kBlock; ++k) {
      if (k < n) block.Bind(k + 1, Cell::Integer(ids[k]));
      else block.Bind(k + 1, Cell());
    }
    size_t nc = meta.columns.size();
    while (block.Step()) {
      std::int64_t id = sqlite3_column_int64(block.get(), 0);
      Record r(nc);
      for (size_t c = 0; c < nc; ++c) r[c] = block.Column(static_cast<int>(c + 1));
      cache[id] = std::move(r);
    }
    block.Reset();
  }

  void RestartOrder() {
    complete = false;
    started = false;
    nextPage = kFirstPage;
    lastKey.clear();
    lastId = 0;
  }

  // Appends up to `count` more ids of the order (0 = all the rest).
  bool Page(std::vector<std::int64_t>& ids, size_t count) {
    if (complete) return false;
    std::string sql = "SELECT rowid FROM " + quoted;
    std::vector<Cell> binds;
    if (started) {
      // Rows after the last one listed; nulls sort first.
      std::string after = "rowid>?";
      for (size_t k = orderCols.size(); k-- > 0;) {
        std::string col = QuoteIdent(meta.columns[static_cast<size_t>(orderCols[k])].name);
        if (lastKey[k].IsNull())
          after = "(" + col + " IS NOT NULL OR (" + col + " IS NULL AND " + after + "))";
        else
          after = "(" + col + ">? OR (" + col + "=? AND " + after + "))";
      }
      // bind order follows the text: outer column first
      for (size_t k = 0; k < orderCols.size(); ++k)
        if (!lastKey[k].IsNull()) {
          binds.push_back(lastKey[k]);
          binds.push_back(lastKey[k]);
        }
      binds.push_back(Cell::Integer(lastId));
      if (!orderCols.empty() && !lastKey[0].IsNull()) {
        // a range on the first column lets the index seek
        sql += " WHERE " + QuoteIdent(meta.columns[static_cast<size_t>(orderCols[0])].name) + ">=? AND " + after;
        binds.insert(binds.begin(), lastKey[0]);
      } else {
        sql += " WHERE " + after;
      }
    }
    sql += orderBy;
    bool all = count == 0 || !paged;
    if (!all) {
      count = std::max(count, nextPage);
      nextPage = std::min(nextPage * 2, kMaxPage);
      sql += " LIMIT " + std::to_string(count);
    }
    Stmt st = conn->Prepare(sql);
    for (size_t k = 0; k < binds.size(); ++k) st.Bind(static_cast<int>(k + 1), binds[k]);
    size_t n = 0;
    size_t nk = orderCols.size();
    while (st.Step()) {
      ids.push_back(sqlite3_column_int64(st.get(), 0));
      ++n;
    }
    if (n && !all) {
      // The last row's order values, to continue after it: one lookup by row id.
      lastId = ids.back();
      lastKey.assign(nk, Cell());
      if (nk) {
        std::string q = "SELECT ";
        for (size_t k = 0; k < nk; ++k)
          q += (k ? ", " : "") + QuoteIdent(meta.columns[static_cast<size_t>(orderCols[k])].name);
        Stmt one = conn->Prepare(q + " FROM " + quoted + " WHERE rowid=?");
        one.Bind(1, Cell::Integer(lastId));
        if (one.Step())
          for (size_t k = 0; k < nk; ++k) lastKey[k] = one.Column(static_cast<int>(k));
      }
      started = true;
    }
    if (all || n < count) complete = true;
    return n > 0;
  }

  // Values as stored: empty text in text columns becomes null.
  Cell Stored(const Cell& c, size_t col) const {
    if (c.kind == Cell::Text && c.s.empty()) return Cell();
    (void)col;
    return c;
  }
};

}  // namespace tv::db

using namespace tv::db;

TTable::TTable(TComponent* AOwner) : TDataSet(AOwner) {}

TTable::~TTable() {
  Close();
}

AnsiString TTable::StoredName() const { return src_ ? AnsiString(src_->meta.name) : AnsiString(); }

std::shared_ptr<Connection> TTable::GetConnection() const { return src_ ? src_->conn : nullptr; }

namespace {
std::vector<std::string> SplitNames(const std::string& s) {
  std::vector<std::string> r;
  std::string cur;
  for (char c : s + ";") {
    if (c == ';' || c == ',') {
      std::string t = Trim(AnsiString(cur)).str();
      if (!t.empty()) r.push_back(t);
      cur.clear();
    } else {
      cur += c;
    }
  }
  return r;
}
}  // namespace

void TTable::DoOpen(std::vector<ColumnDef>& columns) {
  if (TableName.Trim().IsEmpty()) throw EDatabaseError(Name + ": Missing TableName property");
  auto src = std::make_unique<TableSource>();
  src->conn = ConnectionFor(DatabaseName);
  const TableMeta* meta = src->conn->Table(TableName.str());
  if (!meta)
    ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + src->conn->Folder() +
                                        BareTableName(TableName.str()));
  src->meta = *meta;
  src->lower = Lower(meta->name);
  src->quoted = QuoteIdent(meta->name);
  for (size_t k = 0; k < meta->columns.size(); ++k) {
    const auto& c = meta->columns[k];
    if (k) src->columns += ", ";
    src->columns += QuoteIdent(c.name);
    ColumnDef d;
    d.name = c.name;
    d.type = FieldTypeOf(c.kind);
    d.size = c.kind == ColumnKind::Text ? c.size : 0;
    columns.push_back(d);
  }
  src_ = std::move(src);
  try {
    ReorderIfOpen();
  } catch (...) {
    src_.reset();
    throw;
  }
  RegisterOpen(this, DatabaseName, src_->conn->Folder());
}

void TTable::DoClose() { src_.reset(); }

// Computes the ORDER BY of the table from IndexFieldNames / IndexName / the key.
void TTable::ReorderIfOpen() {
  if (!src_) return;
  auto& m = src_->meta;
  std::vector<std::string> cols;
  std::vector<std::string> indexCollations;  // an index's own order (the Spanish one for names)
  if (!indexFieldNames_.Trim().IsEmpty()) {
    cols = SplitNames(indexFieldNames_.str());
  } else if (!indexName_.Trim().IsEmpty()) {
    std::string want = Lower(indexName_.Trim().str());
    const TableMeta::Index* found = nullptr;
    for (const auto& ix : m.indexes) {
      std::string n = Lower(ix.name);
      if (n == want || n == src_->lower + "_" + want ||
          (n.size() > want.size() + 1 && n.compare(n.size() - want.size() - 1, std::string::npos, "_" + want) == 0)) {
        found = &ix;
        break;
      }
    }
    if (!found) throw EDatabaseError(Name + ": Index '" + indexName_ + "' not found");
    cols = found->columns;
    indexCollations = found->collations;
  } else {
    cols = m.keyColumns;
  }
  src_->orderField.assign(m.columns.size(), false);
  src_->orderCols.clear();
  src_->binaryOrder = true;
  std::string order;
  for (const auto& c : cols) {
    int idx = -1;
    for (size_t k = 0; k < m.columns.size(); ++k)
      if (Lower(m.columns[k].name) == Lower(c)) idx = static_cast<int>(k);
    if (idx < 0) throw EDatabaseError(Name + ": Field '" + AnsiString(c) + "' not found");
    src_->orderField[static_cast<size_t>(idx)] = true;
    src_->orderCols.push_back(idx);
    const char* coll = nullptr;
    if (sqlite3_table_column_metadata(src_->conn->Db(), "main", m.name.c_str(), m.columns[static_cast<size_t>(idx)].name.c_str(),
                                      nullptr, &coll, nullptr, nullptr, nullptr) != SQLITE_OK ||
        !coll || sqlite3_stricmp(coll, "BINARY") != 0)
      src_->binaryOrder = false;
    order += QuoteIdent(m.columns[static_cast<size_t>(idx)].name);
    size_t k = src_->orderCols.size() - 1;
    if (k < indexCollations.size() && sqlite3_stricmp(indexCollations[k].c_str(), "BINARY") != 0) {
      order += " COLLATE " + indexCollations[k];
      src_->binaryOrder = false;
    }
    order += ", ";
  }
  src_->hasOrder = !cols.empty();
  src_->orderBy = " ORDER BY " + order + "rowid";
  // Tables in row-id order (the journal and its kind, which have no key) read their order
  // in pages. A keyed order is read whole at open: measured on the budget's many small
  // queries, leaving it to pages made them twice as slow.
  src_->paged = cols.empty();
  src_->RestartOrder();
}

void TTable::SetIndexName(const AnsiString& v) {
  indexName_ = v;
  indexFieldNames_ = "";
  if (GetActive()) {
    CheckBrowseMode();
    ReorderIfOpen();
    Resync();
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
  }
}

void TTable::SetIndexFieldNames(const AnsiString& v) {
  indexFieldNames_ = v;
  indexName_ = "";
  if (GetActive()) {
    CheckBrowseMode();
    ReorderIfOpen();
    Resync();
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
  }
}

void TTable::LoadOrder(std::vector<std::int64_t>& ids) {
  ids.clear();
  src_->RestartOrder();
  src_->Page(ids, TableSource::kFirstPage);
}

bool TTable::MoreRows(std::vector<std::int64_t>& ids, size_t count) { return src_ && src_->Page(ids, count); }

void TTable::ScanAll(const std::function<void(std::int64_t, const Record&)>& fn) {
  Stmt st = src_->conn->Prepare("SELECT rowid, " + src_->columns + " FROM " + src_->quoted + src_->orderBy);
  size_t nc = src_->meta.columns.size();
  Record r(nc);
  while (st.Step()) {
    for (size_t c = 0; c < nc; ++c) r[c] = st.Column(static_cast<int>(c + 1));
    fn(sqlite3_column_int64(st.get(), 0), r);
  }
}

bool TTable::ReadRecord(std::int64_t id, Record& out, const std::int64_t* hint, int hintCount) {
  auto& cache = src_->cache;
  auto it = cache.find(id);
  if (it == cache.end()) {
    if (hintCount > 0) src_->Fetch(hint, std::min(hintCount, TableSource::kBlock));
    it = cache.find(id);
    if (it == cache.end()) {
      src_->Fetch(&id, 1);
      it = cache.find(id);
      if (it == cache.end()) return false;
    }
  }
  out = it->second;
  return true;
}

std::int64_t TTable::DoInsert(const Record& rec) {
  auto& s = *src_;
  if (!s.insert.get()) {
    std::string sql = "INSERT INTO " + s.quoted + " (" + s.columns + ") VALUES (";
    for (size_t k = 0; k < s.meta.columns.size(); ++k) sql += k ? ",?" : "?";
    s.insert = s.conn->PrepareRowWrite(sql + ")");
  }
  for (size_t k = 0; k < s.meta.columns.size(); ++k) s.insert.Bind(static_cast<int>(k + 1), s.Stored(rec[k], k));
  try {
    s.insert.Step();
  } catch (...) {
    s.insert.Reset();
    throw;
  }
  s.insert.Reset();
  std::int64_t id = sqlite3_last_insert_rowid(s.conn->Db());
  s.cache.erase(id);
  s.conn->TouchRow(s.lower, 'i', id, nullptr);
  return id;
}

namespace {
// " AND "c1" IS ?…" over every column: the write applies only to the row as it was read.
std::string SameRowCondition(const TableMeta& meta) {
  std::string w;
  for (const auto& c : meta.columns) w += " AND " + QuoteIdent(c.name) + " IS ?";
  return w;
}

[[noreturn]] void RowChanged() {
  ThrowEngine(DBIERR_RECCHANGED, DBIErrorText(DBIERR_RECCHANGED).str());
}
}  // namespace

void TTable::DoUpdate(std::int64_t id, const Record& rec, const std::vector<bool>& changed) {
  auto& s = *src_;
  std::string sql = "UPDATE " + s.quoted + " SET ";
  bool any = false;
  for (size_t k = 0; k < changed.size(); ++k)
    if (changed[k]) {
      sql += std::string(any ? ", " : "") + QuoteIdent(s.meta.columns[k].name) + "=?";
      any = true;
    }
  if (!any) return;
  const Record* seen = SeenRecord();
  Stmt st = s.conn->PrepareRowWrite(sql + " WHERE rowid=?" + (seen ? SameRowCondition(s.meta) : std::string()));
  int p = 1;
  for (size_t k = 0; k < changed.size(); ++k)
    if (changed[k]) st.Bind(p++, s.Stored(rec[k], k));
  st.Bind(p++, Cell::Integer(id));
  if (seen)
    for (size_t k = 0; k < s.meta.columns.size(); ++k) st.Bind(p++, k < seen->size() ? (*seen)[k] : Cell());
  s.cache.erase(id);
  st.Step();
  if (sqlite3_changes(s.conn->Db()) == 0) RowChanged();
  s.conn->TouchRow(s.lower, 'u', id, seen);
}

void TTable::DoDelete(std::int64_t id) {
  auto& s = *src_;
  const Record* seen = SeenRecord();
  Stmt st = s.conn->PrepareRowWrite("DELETE FROM " + s.quoted + " WHERE rowid=?" +
                            (seen ? SameRowCondition(s.meta) : std::string()));
  st.Bind(1, Cell::Integer(id));
  if (seen)
    for (size_t k = 0; k < s.meta.columns.size(); ++k) st.Bind(static_cast<int>(k + 2), k < seen->size() ? (*seen)[k] : Cell());
  s.cache.erase(id);
  st.Step();
  if (sqlite3_changes(s.conn->Db()) == 0) RowChanged();
  s.conn->TouchRow(s.lower, 'd', id, seen);
}

namespace {
// Two stored values as SQLite sorts them bytewise: null, numbers, texts.
int CompareStored(const Cell& a, const Cell& b) {
  auto rank = [](const Cell& c) { return c.kind == Cell::Null ? 0 : (c.kind == Cell::Text ? 2 : 1); };
  int ra = rank(a), rb = rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra == 0) return 0;
  if (ra == 2) {
    int c = a.s.compare(b.s);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (a.kind == Cell::Int && b.kind == Cell::Int) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  double x = a.Number(), y = b.Number();
  return x < y ? -1 : (x > y ? 1 : 0);
}
}  // namespace

// A search by text prefix is a range of the column (or of lower(column), which an index
// made for case-insensitive searches serves). Only the start of a folded key before its first
// vowel or non-ASCII byte narrows: SQLite's lower() leaves accented letters as they are, and
// a folded vowel also stands for its accented forms.
bool TTable::VisitCandidates(const std::vector<int>& fields, const std::vector<std::string>& wanted, bool ci,
                             bool partial, const std::function<bool(std::int64_t)>& visit) {
  auto& s = *src_;
  static const std::string kTop = "\xF4\x8F\xBF\xBF";  // above every UTF-8 text
  std::string where;
  std::vector<Cell> binds;
  for (size_t k = 0; k < fields.size(); ++k) {
    const auto& col = s.meta.columns[static_cast<size_t>(fields[k])];
    if (col.kind != ColumnKind::Text && col.kind != ColumnKind::Memo) return false;
    std::string key = wanted[k];
    bool whole = true;
    if (ci) {
      size_t n = 0;
      while (n < key.size() && static_cast<unsigned char>(key[n]) < 0x80 &&
             std::strchr("aeiou", key[n]) == nullptr)
        ++n;
      whole = n == key.size();
      key.resize(n);
    }
    if (key.empty()) continue;
    std::string expr = ci ? "lower(" + QuoteIdent(col.name) + ")" : QuoteIdent(col.name);
    if (!where.empty()) where += " AND ";
    if (!partial && whole) {
      where += expr + "=?";
      binds.push_back(Cell::String(key));
    } else {
      where += expr + ">=? AND " + expr + "<?";
      binds.push_back(Cell::String(key));
      binds.push_back(Cell::String(key + kTop));
    }
  }
  if (where.empty()) return false;
  Stmt st = s.conn->Prepare("SELECT rowid FROM " + s.quoted + " WHERE " + where + s.orderBy);
  for (size_t k = 0; k < binds.size(); ++k) st.Bind(static_cast<int>(k + 1), binds[k]);
  while (st.Step())
    if (visit(sqlite3_column_int64(st.get(), 0))) break;
  return true;
}

bool TTable::PlacesInOrder() const { return src_ && src_->binaryOrder && src_->complete; }

int TTable::CompareInOrder(std::int64_t a, const Record& ra, std::int64_t b, const Record& rb) const {
  for (int c : src_->orderCols) {
    auto k = static_cast<size_t>(c);
    static const Cell null;
    int r = CompareStored(k < ra.size() ? ra[k] : null, k < rb.size() ? rb[k] : null);
    if (r) return r;
  }
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool TTable::RowChangesSinceSync(std::vector<RowNote>& out) const {
  out.clear();
  if (!src_ || src_->conn->Epoch() != src_->seenEpoch) return false;
  std::vector<Connection::RowEvent> events;
  if (!src_->conn->RowEventsSince(src_->lower, src_->seenGen, events)) return false;
  for (auto& e : events) {
    src_->cache.erase(e.id);
    out.push_back({e.op, e.id, e.old});
  }
  return true;
}

bool TTable::ReadFresh(std::int64_t id, Record& out) {
  src_->cache.erase(id);
  src_->Fetch(&id, 1);
  auto it = src_->cache.find(id);
  if (it == src_->cache.end()) return false;
  out = it->second;
  return true;
}

bool TTable::OrderDependsOn(const std::vector<bool>& changed) const {
  if (!src_ || !src_->hasOrder) return false;
  for (size_t k = 0; k < changed.size() && k < src_->orderField.size(); ++k)
    if (changed[k] && src_->orderField[k]) return true;
  return false;
}

bool TTable::SourceChanged() const {
  return src_ && (src_->conn->Generation(src_->lower) != src_->seenGen || src_->conn->Epoch() != src_->seenEpoch);
}

void TTable::MarkSynced() {
  if (!src_) return;
  src_->seenGen = src_->conn->Generation(src_->lower);
  src_->seenEpoch = src_->conn->Epoch();
}

void TTable::DropCache() {
  if (src_) src_->cache.clear();
}

bool TTable::FindExact(const std::vector<int>& fields, const Record& values, std::vector<std::int64_t>& ids) {
  auto& s = *src_;
  std::string sql = "SELECT rowid FROM " + s.quoted + " WHERE ";
  std::vector<const Cell*> binds;
  for (size_t k = 0; k < fields.size(); ++k) {
    if (k) sql += " AND ";
    std::string col = QuoteIdent(s.meta.columns[static_cast<size_t>(fields[k])].name);
    const Cell& v = values[k];
    if (v.IsNull() || (v.kind == Cell::Text && v.s.empty())) {
      sql += "(" + col + " IS NULL OR " + col + "='')";
    } else {
      sql += col + "=?";
      binds.push_back(&v);
    }
  }
  Stmt st = s.conn->Prepare(sql);
  for (size_t k = 0; k < binds.size(); ++k) st.Bind(static_cast<int>(k + 1), *binds[k]);
  ids.clear();
  while (st.Step()) ids.push_back(sqlite3_column_int64(st.get(), 0));
  return true;
}

void TTable::EmptyTable() {
  if (GetActive()) {
    CheckBrowseMode();
    src_->conn->Exec("DELETE FROM " + src_->quoted);
    Resync();
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
    return;
  }
  auto conn = ConnectionFor(DatabaseName);
  auto stored = conn->ResolveTable(TableName.str());
  if (!stored) ThrowEngine(DBIERR_NOSUCHTABLE, DBIErrorText(DBIERR_NOSUCHTABLE).str() + "\nTable: " + TableName.str());
  conn->Exec("DELETE FROM " + QuoteIdent(*stored));
}

bool TTable::GetExists() const {
  try {
    return tv::db::TableExists(DatabaseName, TableName);
  } catch (const EDatabaseError&) {
    return false;
  }
}

void TTable::DeleteTable() {
  Close();
  tv::db::DropTable(DatabaseName, TableName);
}
