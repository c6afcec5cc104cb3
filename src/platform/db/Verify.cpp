// Proving a table sound: SQLite's quick_check for the structure of its pages and records,
// then one pass over its rows and one over each index (same rows, stored order, unique keys
// held once), so a repair rebuilds only what needs it. PRAGMA integrity_check proves the
// same by looking every row up in every index, which on a journal of a million lines takes
// many seconds.
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::db {

namespace {

// Order-free fingerprint of a set of rows: the sum (mod 2^64) of a hash of each row's values.
// A table and an index over it give the same fingerprint for the same (values, row id) pairs.
std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

// One word into the running hash.
inline std::uint64_t Add(std::uint64_t h, std::uint64_t w) {
  h ^= w;
  h *= 0x9e3779b97f4a7c15ULL;
  return h ^ (h >> 29);
}

// Hash of the values at positions `pos` of a row.
std::uint64_t RowHash(sqlite3_value** argv, const int* pos, size_t n) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (size_t k = 0; k < n; ++k) {
    sqlite3_value* v = argv[pos ? pos[k] : static_cast<int>(k)];
    int type = sqlite3_value_type(v);
    switch (type) {
      case SQLITE_INTEGER: h = Add(h ^ 1, static_cast<std::uint64_t>(sqlite3_value_int64(v))); break;
      case SQLITE_FLOAT: {
        double d = sqlite3_value_double(v);
        std::uint64_t w;
        std::memcpy(&w, &d, sizeof w);
        h = Add(h ^ 2, w);
        break;
      }
      case SQLITE_NULL: h = Add(h, 3); break;
      default: {
        const auto* p = static_cast<const unsigned char*>(type == SQLITE_BLOB ? sqlite3_value_blob(v)
                                                                             : sqlite3_value_text(v));
        auto len = static_cast<size_t>(sqlite3_value_bytes(v));
        h = Add(h ^ 4, len);
        size_t i = 0;
        for (; p && i + 8 <= len; i += 8) {
          std::uint64_t w;
          std::memcpy(&w, p + i, 8);
          h = Add(h, w);
        }
        if (p && i < len) {
          std::uint64_t w = 0;
          std::memcpy(&w, p + i, len - i);
          h = Add(h, w);
        }
      }
    }
  }
  return Mix(h);
}

// tv_fingerprints(row id, columns...): in one call per row, the fingerprint each index
// should have, as a blob of sums; each index takes its columns by position.
struct Plan {
  std::vector<std::vector<int>> positions;  // per index: row id (0) first, then its columns
};

void FingerprintsStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* plan = static_cast<const Plan*>(sqlite3_user_data(ctx));
  size_t n = plan->positions.size();
  auto* sums = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, static_cast<int>((n + 1) * sizeof(std::uint64_t))));
  if (!sums) return;
  for (size_t k = 0; k < n; ++k) sums[k] += RowHash(argv, plan->positions[k].data(), plan->positions[k].size());
  sums[n] = 1;  // a row was seen: the blob is never empty
}

void FingerprintsFinal(sqlite3_context* ctx) {
  const auto* plan = static_cast<const Plan*>(sqlite3_user_data(ctx));
  size_t n = plan->positions.size();
  auto* sums = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, 0));
  if (!sums) {
    std::vector<std::uint64_t> zero(n + 1, 0);
    sqlite3_result_blob(ctx, zero.data(), static_cast<int>(zero.size() * sizeof(std::uint64_t)), SQLITE_TRANSIENT);
    return;
  }
  sqlite3_result_blob(ctx, sums, static_cast<int>((n + 1) * sizeof(std::uint64_t)), SQLITE_TRANSIENT);
}

struct IndexInfo {
  std::string name;
  bool unique = false;
  std::vector<std::string> columns, collations;
  std::vector<bool> descending;
};

// Text compared as a collation compares it; false when the collation is not one of SQLite's
// own (the order cannot be told here).
bool CompareText(const std::string& coll, const unsigned char* a, int na, const unsigned char* b, int nb, int& out) {
  std::string c = Lower(coll);
  if (c == "rtrim") {
    while (na > 0 && a[na - 1] == ' ') --na;
    while (nb > 0 && b[nb - 1] == ' ') --nb;
  } else if (c != "binary" && c != "nocase") {
    return false;
  }
  int n = std::min(na, nb);
  if (c == "nocase") {
    for (int i = 0; i < n; ++i) {
      int x = a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i];
      int y = b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i];
      if (x != y) {
        out = x < y ? -1 : 1;
        return true;
      }
    }
  } else if (n > 0) {
    int r = std::memcmp(a, b, static_cast<size_t>(n));
    if (r != 0) {
      out = r < 0 ? -1 : 1;
      return true;
    }
  }
  out = na < nb ? -1 : (na > nb ? 1 : 0);
  return true;
}

// SQLite's order of two values: null, numbers, text (by collation), blobs.
bool CompareValues(sqlite3_value* a, sqlite3_value* b, const std::string& coll, int& out) {
  auto rank = [](int t) { return t == SQLITE_NULL ? 0 : (t == SQLITE_INTEGER || t == SQLITE_FLOAT) ? 1 : t == SQLITE_TEXT ? 2 : 3; };
  int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
  if (rank(ta) != rank(tb)) {
    out = rank(ta) < rank(tb) ? -1 : 1;
    return true;
  }
  switch (rank(ta)) {
    case 0: out = 0; return true;
    case 1:
      if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        sqlite3_int64 x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
        out = x < y ? -1 : (x > y ? 1 : 0);
      } else {
        double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
        out = x < y ? -1 : (x > y ? 1 : 0);
      }
      return true;
    case 2: {
      const unsigned char* x = sqlite3_value_text(a);
      int nx = sqlite3_value_bytes(a);
      const unsigned char* y = sqlite3_value_text(b);
      int ny = sqlite3_value_bytes(b);
      return CompareText(coll, x, nx, y, ny, out);
    }
    default: {
      int nx = sqlite3_value_bytes(a), ny = sqlite3_value_bytes(b);
      int n = std::min(nx, ny);
      int r = n > 0 ? std::memcmp(sqlite3_value_blob(a), sqlite3_value_blob(b), static_cast<size_t>(n)) : 0;
      out = r != 0 ? (r < 0 ? -1 : 1) : (nx < ny ? -1 : (nx > ny ? 1 : 0));
      return true;
    }
  }
}

// One pass over an index in its stored order: its entries' count and fingerprint, and
// whether each entry follows the one before (key columns, then row id). False when the
// index cannot be read or its order cannot be told.
bool ScanIndex(sqlite3* db, const std::string& table, const IndexInfo& ix, const std::string& columnList,
               std::int64_t& count, std::uint64_t& fingerprint, bool& ordered) {
  std::string sql = "SELECT " + columnList + " FROM " + QuoteIdent(table) + " INDEXED BY " + QuoteIdent(ix.name);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return false;
  }
  const int n = sqlite3_column_count(st);
  std::vector<sqlite3_value*> cur(static_cast<size_t>(n)), prev(static_cast<size_t>(n), nullptr);
  count = 0;
  fingerprint = 0;
  ordered = true;
  bool ok = true, known = true;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    for (int k = 0; k < n; ++k) cur[static_cast<size_t>(k)] = sqlite3_column_value(st, k);
    fingerprint += RowHash(cur.data(), nullptr, static_cast<size_t>(n));
    if (count > 0 && ordered) {
      // key columns (1..n-1) first, the row id (0) last
      int cmp = 0;
      for (int k = 1; k < n && cmp == 0; ++k) {
        if (!CompareValues(prev[static_cast<size_t>(k)], cur[static_cast<size_t>(k)], ix.collations[static_cast<size_t>(k - 1)], cmp)) {
          known = false;
          break;
        }
        if (ix.descending[static_cast<size_t>(k - 1)]) cmp = -cmp;
      }
      if (!known) ordered = false;
      else if (cmp > 0) ordered = false;
      else if (cmp == 0 && sqlite3_value_int64(prev[0]) >= sqlite3_value_int64(cur[0])) ordered = false;
    }
    for (int k = 0; k < n; ++k) {
      sqlite3_value_free(prev[static_cast<size_t>(k)]);
      prev[static_cast<size_t>(k)] = sqlite3_value_dup(cur[static_cast<size_t>(k)]);
    }
    ++count;
  }
  if (rc != SQLITE_DONE) ok = false;
  for (auto* v : prev) sqlite3_value_free(v);
  sqlite3_finalize(st);
  return ok;
}

// PRAGMA quick_check of one table and its indexes: pages, records and cells well formed.
bool QuickCheck(Connection& conn, const std::string& table) {
  Stmt st = conn.Prepare("PRAGMA quick_check(" + QuoteIdent(table) + ")");
  if (!st.Step()) return false;
  return st.Column(0).s == "ok" && !st.Step();
}

// The indexes of a table; false when one cannot be checked against the rows (an index on
// expressions or on part of the rows).
bool ReadIndexes(Connection& conn, const std::string& table, std::vector<IndexInfo>& out) {
  Stmt list = conn.Prepare("SELECT name, \"unique\", partial FROM pragma_index_list(?1)");
  list.Bind(1, Cell::String(table));
  while (list.Step()) {
    if (list.Column(2).i != 0) return false;
    IndexInfo ix;
    ix.name = list.Column(0).s;
    ix.unique = list.Column(1).i != 0;
    out.push_back(std::move(ix));
  }
  for (auto& ix : out) {
    Stmt cols = conn.Prepare("SELECT cid, name, coll, desc FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno");
    cols.Bind(1, Cell::String(ix.name));
    while (cols.Step()) {
      if (cols.Column(0).i < 0) return false;
      ix.columns.push_back(cols.Column(1).s);
      ix.collations.push_back(cols.Column(2).IsNull() ? "BINARY" : cols.Column(2).s);
      ix.descending.push_back(cols.Column(3).i != 0);
    }
    if (ix.columns.empty()) return false;
  }
  return true;
}

std::string ColumnList(const IndexInfo& ix) {
  std::string r = "rowid";
  for (const auto& c : ix.columns) r += ", " + QuoteIdent(c);
  return r;
}

bool Sound(Connection& conn, const std::string& table) {
  sqlite3* db = conn.Db();
  // a table without row ids cannot be matched against its indexes this way
  {
    Stmt wr = conn.Prepare("SELECT wr FROM pragma_table_list WHERE name = ?1 AND schema = 'main'");
    wr.Bind(1, Cell::String(table));
    if (!wr.Step() || wr.Column(0).i != 0) return false;
  }
  if (!QuickCheck(conn, table)) return false;
  std::vector<IndexInfo> indexes;
  if (!ReadIndexes(conn, table, indexes)) return false;
  // One pass over the rows, every column read: the fingerprint each index should have.
  std::vector<std::string> columns;
  {
    Stmt cols = conn.Prepare("SELECT name FROM pragma_table_info(?1)");
    cols.Bind(1, Cell::String(table));
    while (cols.Step()) columns.push_back(cols.Column(0).s);
  }
  Plan plan;
  for (const auto& ix : indexes) {
    std::vector<int> pos{0};
    for (const auto& c : ix.columns) {
      auto it = std::find_if(columns.begin(), columns.end(), [&](const std::string& x) { return Lower(x) == Lower(c); });
      if (it == columns.end()) return false;
      pos.push_back(static_cast<int>(it - columns.begin()) + 1);
    }
    plan.positions.push_back(std::move(pos));
  }
  std::string all = "rowid";
  for (const auto& c : columns) all += ", " + QuoteIdent(c);
  std::int64_t count = 0;
  std::vector<std::uint64_t> expected(indexes.size() + 1, 0);
  {
    sqlite3_create_function(db, "tv_fingerprints", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &plan, nullptr,
                            &FingerprintsStep, &FingerprintsFinal);
    Stmt rows = conn.Prepare("SELECT count(*), tv_fingerprints(" + all + ") FROM " + QuoteIdent(table) +
                             " NOT INDEXED");
    if (!rows.Step()) return false;
    count = rows.Column(0).i;
    const Cell sums = rows.Column(1);
    if (sums.s.size() != expected.size() * sizeof(std::uint64_t)) return false;
    std::memcpy(expected.data(), sums.s.data(), sums.s.size());
  }
  // the plan lives on this stack: the function that points at it goes with it
  sqlite3_create_function(db, "tv_fingerprints", -1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr);
  for (size_t k = 0; k < indexes.size(); ++k) {
    const IndexInfo& ix = indexes[k];
    // an index whose stored order is not its declared order finds nothing where a scan finds rows
    std::int64_t entries = 0;
    std::uint64_t fingerprint = 0;
    bool ordered = false;
    if (!ScanIndex(db, table, ix, ColumnList(ix), entries, fingerprint, ordered) || !ordered || entries != count ||
        fingerprint != expected[k])
      return false;
    if (!ix.unique) continue;
    // a unique key held twice (keys with a null are never equal)
    std::string notNull, group;
    for (size_t c = 0; c < ix.columns.size(); ++c) {
      notNull += std::string(c ? " AND " : "") + QuoteIdent(ix.columns[c]) + " IS NOT NULL";
      group += std::string(c ? ", " : "") + QuoteIdent(ix.columns[c]) + " COLLATE " + QuoteIdent(ix.collations[c]);
    }
    Stmt twice = conn.Prepare("SELECT 1 FROM " + QuoteIdent(table) + " INDEXED BY " + QuoteIdent(ix.name) +
                              " WHERE " + notNull + " GROUP BY " + group + " HAVING count(*) > 1 LIMIT 1");
    if (twice.Step()) return false;
  }
  return true;
}

}  // namespace

bool TableSound(const AnsiString& databaseName, const AnsiString& table) {
  try {
    auto conn = ConnectionFor(databaseName);
    auto stored = conn->ResolveTable(table.str());
    if (!stored) return false;
    return Sound(*conn, *stored);
  } catch (const EDatabaseError&) {
    return false;
  }
}

bool DatabaseDamaged(const AnsiString& databaseName) {
  std::string file = FolderOf(databaseName) + kDatabaseFileName;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    int rc = sqlite3_errcode(db);
    sqlite3_close(db);
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
  }
  sqlite3_busy_timeout(db, 2000);
  sqlite3_stmt* st = nullptr;
  bool damaged = false;
  int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &st, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(st);
  if (rc == SQLITE_ROW)
    damaged = std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") != 0;
  else
    damaged = (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB || sqlite3_errcode(db) == SQLITE_CORRUPT ||
              sqlite3_errcode(db) == SQLITE_NOTADB;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return damaged;
}

}  // namespace tv::db
