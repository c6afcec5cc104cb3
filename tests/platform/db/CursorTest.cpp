// Dataset state, positioning and engine-call cases the callers rely on.
#include <memory>

#include "DbFixture.h"

namespace {
std::unique_ptr<TTable> Open(const char* name) {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->TableName = name;
  t->Open();
  return t;
}

void Add(TTable& t, const char* code, double saldo) {
  t.Append();
  t.FieldByName("numecuen")->AsString = code;
  t.FieldByName("saldo")->AsFloat = saldo;
  t.Post();
}

std::string Codes(TDataSet& t) {
  std::string s;
  for (t.First(); !t.Eof; t.Next()) s += t.FieldByName("numecuen")->AsString.str() + ",";
  return s;
}
}  // namespace

TEST_F(DbTest, StateTransitions) {
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "pl.db";
  EXPECT_EQ(t.State, dsInactive);
  t.Open();
  struct Step {
    const char* what;
    std::function<void()> act;
    TDataSetState state;
  } steps[] = {
      {"open", [] {}, dsBrowse},
      {"append", [&] { t.Append(); }, dsInsert},
      {"cancel insert", [&] { t.Cancel(); }, dsBrowse},
      {"edit on an empty table inserts", [&] { t.Edit(); }, dsInsert},
      {"post", [&] { t.FieldByName("numecuen")->AsString = "1"; t.Post(); }, dsBrowse},
      {"edit", [&] { t.Edit(); }, dsEdit},
      {"cancel edit", [&] { t.Cancel(); }, dsBrowse},
      {"insert", [&] { t.Insert(); }, dsInsert},
      {"delete of an unposted row discards it", [&] { t.Delete(); }, dsBrowse},
      {"close", [&] { t.Close(); }, dsInactive},
  };
  for (auto& s : steps) {
    s.act();
    EXPECT_EQ(t.State, s.state) << s.what;
  }
  t.Open();
  {
    TSession own(nullptr);  // a dialog's session of its own
    own.Active = true;
    own.Active = false;
  }
  EXPECT_TRUE(t.Active);
  EXPECT_EQ(t.RecordCount, 1);
  Session->Active = false;  // the default session closes its datasets
  EXPECT_FALSE(t.Active);
  Session->Active = true;
  t.Open();
  t.Append();
  EXPECT_EQ(t.RecNo, -1);  // no record number while inserting
  t.Cancel();
  EXPECT_EQ(t.RecNo, 1);
}

// Insert puts the row before the current one (unkeyed work tables framed in place);
// Append after the last; deleting the last row leaves the cursor on the new last.
TEST_F(DbTest, InsertInPositionAndDeleteMovesToTheNeighbour) {
  auto pl = Open("PL");
  for (const char* c : {"a", "b", "c"}) Add(*pl, c, 0);
  ASSERT_TRUE(pl->Locate("numecuen", "b", {}));
  pl->Insert();
  pl->FieldByName("numecuen")->AsString = "hdr";
  pl->Post();
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "hdr");
  EXPECT_EQ(pl->RecNo, 2);
  EXPECT_EQ(Codes(*pl), "a,hdr,b,c,");
  pl->Last();
  pl->Delete();
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "b");
  EXPECT_EQ(pl->RecordCount, 3);
}

TEST_F(DbTest, RefreshBookmarksLookupAndPartialNumericKeys) {
  auto pl = Open("PL");
  Add(*pl, "1", 20);
  Add(*pl, "2", 5);
  Add(*pl, "3", 250);
  auto other = Open("pl.db");  // a second cursor on the same table
  other->Last();
  other->Append();
  other->FieldByName("numecuen")->AsString = "4";
  other->Post();
  pl->Refresh();
  EXPECT_EQ(pl->RecordCount, 4);

  // undefined in the original; here a partial key compares the number's text
  pl->First();
  EXPECT_TRUE(pl->Locate("saldo", "25", {loPartialKey}));
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "3");
  EXPECT_TRUE(pl->Locate("saldo", "5", {loPartialKey}));
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "2");

  // Lookup leaves the cursor and the data sources alone
  int changes = 0;
  TDataSource ds(nullptr);
  ds.DataSet = pl.get();
  ds.OnDataChange = [&](TObject*, TField*) { ++changes; };
  Variant v = pl->Lookup("numecuen", "3", "saldo;numecuen");
  ASSERT_TRUE(v.IsArray());
  EXPECT_DOUBLE_EQ(v[0].AsDouble(), 250);
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "2");
  EXPECT_EQ(changes, 0);
  pl->Locate("numecuen", "1", {});
  EXPECT_EQ(changes, 1);  // a Locate is a row change

  TBookmark bm = pl->GetBookmark();
  pl->Delete();
  EXPECT_FALSE(pl->BookmarkValid(bm));
  EXPECT_THROW(pl->GotoBookmark(bm), EDBEngineError);
}

TEST_F(DbTest, EmptyTableExclusiveAndErrorInfo) {
  auto pl = Open("PL");
  for (const char* c : {"1", "2"}) Add(*pl, c, 0);
  pl->Close();
  pl->Exclusive = true;
  pl->Open();
  pl->EmptyTable();
  EXPECT_EQ(pl->RecordCount, 0);
  EXPECT_TRUE(pl->Eof);
  pl->Close();
  pl->Exclusive = false;

  TTable closed(nullptr);  // emptied while closed
  closed.DatabaseName = "Contabilidad";
  closed.TableName = "TC.db";
  Sql("insert into TC values ('1','a')");
  closed.EmptyTable();
  EXPECT_EQ(Scalar("select count(*) from TC"), 0);

  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->Add("select * from nada");
  EXPECT_THROW(q.Open(), EDBEngineError);
  DBIErrInfo info;
  DbiGetErrorInfo(true, info);
  EXPECT_EQ(info.iError, DBIERR_NOSUCHTABLE);
  char buf[256];
  DbiGetErrorString(DBIERR_KEYVIOL, buf);
  EXPECT_STRNE(buf, "");
}
