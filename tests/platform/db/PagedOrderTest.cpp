// A table reads its order in pages as the cursor moves: walking it, keeping the row across a
// reload and appending while only part of the order is read give what a whole read gives.
#include <memory>
#include <vector>

#include "DbFixture.h"

namespace {
constexpr int kRows = 5000;  // several pages

std::unique_ptr<TTable> Open(const char* table, const char* order) {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->TableName = table;
  t->IndexFieldNames = order;
  t->Open();
  return t;
}

std::vector<long long> Ids(const std::string& sql) {
  auto conn = tv::db::ConnectionFor("Contabilidad");
  tv::db::Stmt st = conn->Prepare(sql);
  std::vector<long long> r;
  while (st.Step()) r.push_back(st.Column(0).i);
  return r;
}
}  // namespace

class PagedOrderTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    // Many equal codes, nulls in both order columns, rows not written in order.
    Sql("CREATE INDEX PL_CuentaNivel ON PL (numecuen, nivel);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kRows) +
        ") INSERT INTO PL (numecuen, nombcuen, nivel) SELECT CASE WHEN i % 7 = 0 THEN NULL ELSE "
        "printf('%d', (i * 7919) % 600) END, 'n' || i, CASE WHEN i % 5 = 0 THEN NULL ELSE i % 3 END FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kRows) +
        ") INSERT INTO MVT (numecuen, debito) SELECT printf('%d', i % 50), i FROM n;");
  }
};

TEST_F(PagedOrderTest, WalkingListsEveryRowOnceInOrder) {
  // Each row by a column no two rows share.
  struct Case {
    const char* table;
    const char* order;
    const char* sql;
  } cases[] = {
      {"PL", "", "SELECT nombcuen FROM PL ORDER BY rowid"},
      {"PL", "numecuen", "SELECT nombcuen FROM PL ORDER BY numecuen, rowid"},
      {"PL", "numecuen;nivel", "SELECT nombcuen FROM PL ORDER BY numecuen, nivel, rowid"},
      {"PL", "nivel", "SELECT nombcuen FROM PL ORDER BY nivel, rowid"},
      {"MVT", "", "SELECT debito FROM MVT ORDER BY rowid"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + " " + c.order);
    auto t = Open(c.table, c.order);
    bool pl = std::string(c.table) == "PL";
    TField* f = t->FieldByName(pl ? "nombcuen" : "debito");
    std::vector<std::string> got;
    for (t->First(); !t->Eof; t->Next()) got.push_back(pl ? f->AsString.str() : std::to_string(f->AsInteger));
    EXPECT_EQ(t->RecordCount, kRows);
    auto conn = tv::db::ConnectionFor("Contabilidad");
    tv::db::Stmt st = conn->Prepare(c.sql);
    size_t k = 0;
    while (st.Step()) {
      ASSERT_LT(k, got.size());
      ASSERT_EQ(got[k], pl ? st.Column(0).s : std::to_string(st.Column(0).i)) << "row " << k;
      ++k;
    }
    EXPECT_EQ(k, got.size());
  }
}

TEST_F(PagedOrderTest, ReloadKeepsARowBeyondTheFirstPage) {
  auto t = Open("PL", "");
  auto other = Open("PL", "");
  t->MoveBy(kRows - 10);
  AnsiString name = t->FieldByName("nombcuen")->AsString;
  // A row written elsewhere makes the cursor read its order again.
  other->Append();
  other->FieldByName("numecuen")->AsString = "0";
  other->FieldByName("nombcuen")->AsString = "nueva";
  other->Post();
  EXPECT_EQ(t->FieldByName("nombcuen")->AsString, name);
  EXPECT_EQ(t->RecordCount, kRows + 1);
}

TEST_F(PagedOrderTest, AppendWithPartOfTheOrderReadShowsEachRowOnce) {
  for (const char* order : {"", "numecuen;nivel"}) {
    SCOPED_TRACE(order);
    auto t = Open("PL", order);
    t->Next();
    t->Append();
    t->FieldByName("numecuen")->AsString = "599";
    t->FieldByName("nombcuen")->AsString = "ultima";
    t->Post();
    EXPECT_EQ(t->FieldByName("nombcuen")->AsString, "ultima");
    t->Insert();
    t->FieldByName("numecuen")->AsString = "1";
    t->FieldByName("nombcuen")->AsString = "insertada";
    t->Post();
    int n = 0;
    for (t->First(); !t->Eof; t->Next()) ++n;
    EXPECT_EQ(n, t->RecordCount);
    EXPECT_EQ(n, static_cast<int>(Ids("SELECT count(*) FROM PL")[0]));
    Sql("DELETE FROM PL WHERE nombcuen IN ('ultima', 'insertada')");
  }
}

TEST_F(PagedOrderTest, ReadingAllAtOnceGivesTheWalkAndEndsWhereItEnds) {
  auto text = [](const tv::db::Cell& c) { return c.IsNull() ? std::string("<null>") : c.s; };
  for (const char* order : {"", "numecuen;nivel"}) {
    SCOPED_TRACE(order);
    auto walked = Open("PL", order);
    TField* name = walked->FieldByName("nombcuen");
    std::vector<std::string> expected;
    for (walked->First(); !walked->Eof; walked->Next()) expected.push_back(name->AsString.str());

    auto t = Open("PL", order);
    t->MoveBy(3);
    std::vector<std::string> got;
    ASSERT_TRUE(t->ReadAllRowsAtOnce([&](const tv::db::Record& r) { got.push_back(text(r[1])); }));
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(t->Eof);
    EXPECT_FALSE(t->Bof);
    EXPECT_EQ(t->RecNo, kRows);
    EXPECT_EQ(t->FieldByName("nombcuen")->AsString, expected.back());
  }
  // One row: the walk ends on it with Bof still set.
  Sql("INSERT INTO TC (cedulanit, nombre) VALUES ('1', 'uno')");
  auto one = Open("TC", "");
  int rows = 0;
  ASSERT_TRUE(one->ReadAllRowsAtOnce([&](const tv::db::Record&) { ++rows; }));
  EXPECT_EQ(rows, 1);
  EXPECT_TRUE(one->Eof);
  EXPECT_TRUE(one->Bof);
}

TEST_F(PagedOrderTest, ReadingAllAtOnceLeavesWatchedOrFilteredTablesToTheWalk) {
  auto reads = [](TTable* t) {
    int n = 0;
    bool done = t->ReadAllRowsAtOnce([&](const tv::db::Record&) { ++n; });
    EXPECT_EQ(n, 0);
    EXPECT_EQ(t->RecNo, 1) << "on the first row, as First() leaves it";
    return done;
  };
  auto t = Open("PL", "");
  t->Next();
  {
    TDataSource source(nullptr);
    source.DataSet = t.get();
    EXPECT_FALSE(reads(t.get()));
    source.DataSet = nullptr;
  }
  t->AfterScroll = [](TDataSet*) {};
  EXPECT_FALSE(reads(t.get()));
  t->AfterScroll = nullptr;
  t->Filter = "nivel=1";
  t->Filtered = true;
  EXPECT_FALSE(reads(t.get()));
  Sql("DELETE FROM TC");
  auto empty = Open("TC", "");
  EXPECT_FALSE(empty->ReadAllRowsAtOnce([](const tv::db::Record&) { ADD_FAILURE(); }));
  EXPECT_TRUE(empty->Eof);
}
