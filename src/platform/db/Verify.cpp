// Proving a table sound in one pass over its rows and one over each index, so a repair
// rebuilds only what needs it. PRAGMA integrity_check proves the same by looking every row
// up in every index, which on a journal of a million lines takes many seconds.
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

// tv_fingerprint(values...): the fingerprint of the rows' values, in the order given.
void FingerprintStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* sum = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, sizeof(std::uint64_t)));
  if (sum) *sum += RowHash(argv, nullptr, static_cast<size_t>(argc));
}

void FingerprintFinal(sqlite3_context* ctx) {
  auto* sum = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, 0));
  sqlite3_result_int64(ctx, sum ? static_cast<sqlite3_int64>(*sum) : 0);
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
};

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
    Stmt cols = conn.Prepare("SELECT cid, name, coll FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno");
    cols.Bind(1, Cell::String(ix.name));
    while (cols.Step()) {
      if (cols.Column(0).i < 0) return false;
      ix.columns.push_back(cols.Column(1).s);
      ix.collations.push_back(cols.Column(2).IsNull() ? "BINARY" : cols.Column(2).s);
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
  sqlite3_create_function(db, "tv_fingerprint", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                          &FingerprintStep, &FingerprintFinal);
  // a table without row ids cannot be matched against its indexes this way
  {
    Stmt wr = conn.Prepare("SELECT wr FROM pragma_table_list WHERE name = ?1 AND schema = 'main'");
    wr.Bind(1, Cell::String(table));
    if (!wr.Step() || wr.Column(0).i != 0) return false;
  }
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
    Stmt entries = conn.Prepare("SELECT count(*), tv_fingerprint(" + ColumnList(ix) + ") FROM " + QuoteIdent(table) +
                                " INDEXED BY " + QuoteIdent(ix.name));
    if (!entries.Step() || entries.Column(0).i != count ||
        static_cast<std::uint64_t>(entries.Column(1).i) != expected[k])
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

}  // namespace tv::db
