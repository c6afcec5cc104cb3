#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "DbFixture.h"

int DbTest::sqlite3_exec_wrapper(const std::string& sql, char** err) {
  auto conn = tv::db::ConnectionFor("Contabilidad");
  int rc = sqlite3_exec(conn->Db(), sql.c_str(), nullptr, nullptr, err);
  conn->SchemaChanged();
  conn->TouchAll();
  return rc;
}

namespace {
std::unique_ptr<TTable> OpenTable(const char* name, const char* db = "Contabilidad") {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = db;
  t->TableName = name;
  t->Open();
  return t;
}

void AddAccount(TTable& t, const char* code, const char* name, double saldo = 0) {
  t.Append();
  t.FieldByName("numecuen")->AsString = code;
  t.FieldByName("nombcuen")->AsString = name;
  t.FieldByName("saldo")->AsFloat = saldo;
  t.Post();
}
}  // namespace

TEST_F(DbTest, AliasRepointingClosesAndReopensOnTheNewFolder) {
  auto pl = OpenTable("PL.db");
  AddAccount(*pl, "1105", "Caja");
  ASSERT_EQ(pl->RecordCount, 1);

  std::string other = dir_ + "otro/";
  std::filesystem::create_directory(other);
  auto conn = tv::db::ConnectionFor(other.c_str());
  conn->Exec("CREATE TABLE pl (numecuen VARCHAR(18), nombcuen VARCHAR(60), saldo NUMERIC)");

  Session->DeleteAlias("Contabilidad");
  EXPECT_FALSE(pl->Active);
  Session->AddStandardAlias("Contabilidad", other.c_str(), "PARADOX");
  pl->Open();
  EXPECT_EQ(pl->RecordCount, 0);
  Session->AddStandardAlias("Contabilidad", dir_.c_str(), "PARADOX");
  EXPECT_FALSE(pl->Active);
  pl->Active = true;
  EXPECT_EQ(pl->RecordCount, 1);
  EXPECT_EQ(pl->FieldByName("NOMBCUEN")->AsString, "Caja");
  tv::db::ReleaseDatabase(other.c_str());
}

TEST_F(DbTest, TableNamesInAnyFormAndFolderPaths) {
  for (const char* n : {"PL.db", "pl", "'Pl.DB'", "\"pl.db\""}) {
    auto t = OpenTable(n);
    EXPECT_EQ(t->StoredName(), "PL") << n;
  }
  auto byPath = OpenTable("mvt.db", dir_.c_str());
  EXPECT_EQ(byPath->FieldCount, 7);
  TTable missing(nullptr);
  missing.DatabaseName = "Contabilidad";
  missing.TableName = "nada.db";
  try {
    missing.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.ErrorCode(), DBIERR_NOSUCHTABLE);
  }
  EXPECT_FALSE(missing.Exists);
  EXPECT_TRUE(tv::db::TableFileExists((dir_ + "Mvt.db").c_str()));
  EXPECT_TRUE(tv::db::DeleteTableFile((dir_ + "Mvt.db").c_str()));
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", "MVT"));
}

TEST_F(DbTest, CursorNavigationInKeyAndInsertionOrder) {
  auto tc = OpenTable("TC");
  for (auto [id, name] : {std::pair{"30", "Carlos"}, {"10", "Zoe"}, {"20", "Ana"}}) {
    tc->Append();
    tc->FieldByName("cedulanit")->AsString = id;
    tc->FieldByName("nombre")->AsString = name;
    tc->Post();
  }
  // key order
  std::string ids;
  for (tc->First(); !tc->Eof; tc->Next()) ids += tc->FieldByName("cedulanit")->AsString.str() + ",";
  EXPECT_EQ(ids, "10,20,30,");
  EXPECT_TRUE(tc->Eof);
  EXPECT_EQ(tc->RecNo, 3);
  tc->Prior();
  EXPECT_EQ(tc->FieldByName("cedulanit")->AsString, "20");
  EXPECT_FALSE(tc->Bof);
  tc->Prior();
  tc->Prior();
  EXPECT_TRUE(tc->Bof);
  EXPECT_EQ(tc->RecNo, 1);
  EXPECT_EQ(tc->MoveBy(5), 2);
  EXPECT_TRUE(tc->Eof);
  // named index and back
  tc->IndexName = "IdxNombre";
  tc->First();
  EXPECT_EQ(tc->FieldByName("nombre")->AsString, "Ana");
  tc->IndexName = "";
  tc->First();
  EXPECT_EQ(tc->FieldByName("nombre")->AsString, "Zoe");

  // insertion order without a key; navigation posts a modified row
  auto pl = OpenTable("PL");
  AddAccount(*pl, "2", "B");
  AddAccount(*pl, "1", "A");
  pl->First();
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "2");
  pl->Edit();
  pl->FieldByName("nombcuen")->AsString = "Bancos";
  pl->Next();
  EXPECT_EQ(pl->State, dsBrowse);
  EXPECT_EQ(Scalar("select count(*) from PL where nombcuen='Bancos'"), 1);
}

TEST_F(DbTest, SharedCursorSeesChangesMadeBySqlAndStaysOnItsRow) {
  auto pl = OpenTable("PL");
  for (const char* c : {"1", "2", "3", "4"}) AddAccount(*pl, c, c);
  ASSERT_TRUE(pl->Locate("numecuen", "3", {}));
  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->Add("delete from pl where numecuen='1'");
  q.ExecSQL();
  EXPECT_EQ(q.RowsAffected, 1);
  EXPECT_EQ(pl->RecordCount, 3);
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "3");
  EXPECT_EQ(pl->RecNo, 2);
  TBookmark bm = pl->GetBookmark();
  pl->Last();
  pl->GotoBookmark(bm);
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "3");
  pl->FreeBookmark(bm);
}

TEST_F(DbTest, LocateVariants) {
  auto pl = OpenTable("PL");
  AddAccount(*pl, "1105", "Caja General", 10);
  AddAccount(*pl, "1110", "Bancos", 20);
  AddAccount(*pl, "2205", "Ñandú proveedores", 30);
  pl->Append();
  pl->FieldByName("nombcuen")->AsString = "sin cuenta";
  pl->Post();

  struct Case {
    const char* fields;
    Variant values;
    TLocateOptions opts;
    const char* expectName;  // nullptr = not found
  } cases[] = {
      {"numecuen", Variant("1110"), {}, "Bancos"},
      {"NumeCuen;nombcuen", VarArrayOf({"1105", "Caja General"}), {}, "Caja General"},
      {"numecuen;nombcuen", VarArrayOf({"1105", "Bancos"}), {}, nullptr},
      {"nombcuen", Variant("caja general"), {}, nullptr},
      {"nombcuen", Variant("caja general"), {loCaseInsensitive}, "Caja General"},
      {"nombcuen", Variant("ñandú"), {loCaseInsensitive, loPartialKey}, "Ñandú proveedores"},
      {"nombcuen", Variant("Ban"), TLocateOptions() << loPartialKey, "Bancos"},
      {"saldo", Variant("20"), {}, "Bancos"},  // text key against a number field
      {"saldo", Variant(30), {}, "Ñandú proveedores"},
      {"numecuen", Variant(""), {}, "sin cuenta"},  // '' finds the null row
  };
  for (const auto& c : cases) {
    pl->First();
    bool found = pl->Locate(c.fields, c.values, c.opts);
    EXPECT_EQ(found, c.expectName != nullptr) << c.fields;
    if (c.expectName) EXPECT_EQ(pl->FieldByName("nombcuen")->AsString, c.expectName) << c.fields;
    else EXPECT_EQ(pl->RecNo, 1) << "cursor moved on a failed Locate";
  }
  Variant v = pl->Lookup("numecuen", "2205", "nombcuen");
  EXPECT_EQ(v.AsString(), "Ñandú proveedores");
  EXPECT_TRUE(pl->Lookup("numecuen", "9", "nombcuen").IsNull());
}

TEST_F(DbTest, FilterExpressions) {
  auto pl = OpenTable("PL");
  struct Row {
    const char* code;
    const char* nat;
    double saldo;
  } rows[] = {{"1", "S", 0}, {"2", "N", 5}, {"3", "S", 7}, {"4", "", 0}};
  for (auto r : rows) {
    pl->Append();
    pl->FieldByName("numecuen")->AsString = r.code;
    pl->FieldByName("naturaleza")->AsString = r.nat;
    pl->FieldByName("saldo")->AsFloat = r.saldo;
    pl->FieldByName("nivel")->AsInteger = std::atoi(r.code);
    pl->Post();
  }
  struct Case {
    const char* filter;
    int count;
  } cases[] = {
      {"naturaleza='S'", 2},
      {"naturaleza='S' or naturaleza='N'", 3},
      {"numecuen='3' and naturaleza='S' or naturaleza=''", 2},  // AND before OR, '' = null
      {"saldo<>0 and nivel<>0", 2},
      {"nivel='2'", 1},  // quoted number against a number field
      {"(naturaleza='S' or naturaleza='N') and saldo>5", 1},
      {"naturaleza<>''", 3},
      {"saldo='5' or saldo='7'", 2},            // quoted numbers against a float field
      {"numecuen='_' or numecuen='%'", 0},     // no wildcards in a filter
  };
  int changes = 0;
  TDataSource ds(nullptr);
  ds.DataSet = pl.get();
  ds.OnDataChange = [&](TObject*, TField* f) {
    if (!f) ++changes;
  };
  for (const auto& c : cases) {
    pl->Filter = c.filter;
    pl->Filtered = true;
    EXPECT_EQ(pl->RecordCount, c.count) << c.filter;
    int n = 0;
    for (pl->First(); !pl->Eof; pl->Next()) ++n;
    EXPECT_EQ(n, c.count) << c.filter;
    changes = 0;
    pl->Filtered = false;
    EXPECT_GE(changes, 1) << "filter toggle notifies";
  }
  EXPECT_EQ(pl->RecordCount, 4);
  pl->Filter = "nosuchfield='x'";
  EXPECT_THROW(pl->Filtered = true, EDatabaseError);
}

TEST_F(DbTest, EmptyTextIsNullAndTextIsCutToItsWidth) {
  auto pl = OpenTable("PL");
  pl->Append();
  pl->FieldByName("numecuen")->AsString = "";
  pl->FieldByName("nombcuen")->AsString = std::string(80, 'x').c_str();
  pl->FieldByName("naturaleza")->AsString = "DC";
  pl->Post();
  EXPECT_TRUE(pl->FieldByName("numecuen")->IsNull);
  EXPECT_EQ(pl->FieldByName("nombcuen")->AsString.Length(), 60);
  EXPECT_EQ(pl->FieldByName("naturaleza")->AsString, "D");
  EXPECT_EQ(Scalar("select count(*) from pl where numecuen is null"), 1);
  TField* f = pl->FieldByName("nombcuen");
  EXPECT_EQ(f->DataType(), ftString);
  EXPECT_EQ(f->Size(), 60);
  EXPECT_EQ(pl->FieldByName("saldo")->DataType(), ftFloat);
  EXPECT_EQ(pl->FieldByName("activa")->DataType(), ftBoolean);
}

TEST_F(DbTest, DatesNumbersAndConversionErrors) {
  auto pl = OpenTable("PL");
  pl->Append();
  pl->FieldByName("fecha")->AsString = "31/12/2024";
  pl->FieldByName("saldo")->AsString = "1234,5";  // DecimalSeparator of the defaults
  pl->FieldByName("activa")->AsBoolean = true;
  pl->Post();
  EXPECT_EQ(Scalar("select count(*) from pl where fecha='2024-12-31'"), 1);
  EXPECT_EQ(pl->FieldByName("fecha")->AsDateTime().Val, EncodeDate(2024, 12, 31).Val);
  EXPECT_EQ(pl->FieldByName("fecha")->AsString, DateToStr(EncodeDate(2024, 12, 31)));
  EXPECT_DOUBLE_EQ(pl->FieldByName("saldo")->AsFloat, 1234.5);
  EXPECT_TRUE(pl->FieldByName("activa")->AsBoolean);

  pl->Edit();
  pl->FieldByName("fecha")->AsDateTime = EncodeDate(2023, 1, 2);
  EXPECT_THROW(pl->FieldByName("saldo")->AsString = "abc", EConvertError);
  EXPECT_THROW(pl->FieldByName("fecha")->AsString = "31/02/2021", EConvertError);
  EXPECT_EQ(pl->State, dsEdit);  // the row stays pending
  pl->Post();
  EXPECT_EQ(Scalar("select count(*) from pl where fecha='2023-01-02' and saldo=1234.5"), 1);
  EXPECT_THROW(pl->FieldByName("saldo")->AsFloat = 1, EDatabaseError);  // not in edit
}

TEST_F(DbTest, KeyViolationKeepsTheRowPending) {
  auto tc = OpenTable("TC");
  tc->Append();
  tc->FieldByName("cedulanit")->AsString = "900";
  tc->Post();
  tc->Append();
  tc->FieldByName("cedulanit")->AsString = "900";
  try {
    tc->Post();
    FAIL() << "duplicate key accepted";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.ErrorCode(), DBIERR_KEYVIOL);
    EXPECT_EQ(e.Errors(0)->ErrorCode, DBIERR_KEYVIOL);
  }
  EXPECT_EQ(tc->State, dsInsert);
  tc->Cancel();
  EXPECT_EQ(tc->RecordCount, 1);

  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->Add("select from where");
  try {
    q.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.ErrorCode(), DBIERR_QRYSYNTERR);
  }
}

TEST_F(DbTest, TransactionsRollBackAndSaveChangesCommits) {
  auto pl = OpenTable("PL");
  AddAccount(*pl, "1", "uno");
  TDatabase* db = Session->OpenDatabase("Contabilidad");
  db->StartTransaction();
  EXPECT_TRUE(db->InTransaction);
  EXPECT_THROW(db->StartTransaction(), EDBEngineError);
  AddAccount(*pl, "2", "dos");
  pl->First();
  pl->Delete();
  db->Rollback();
  EXPECT_EQ(pl->RecordCount, 1);
  EXPECT_EQ(pl->FieldByName("numecuen")->AsString, "1");

  {
    tv::db::Transaction tx("Contabilidad");
    AddAccount(*pl, "3", "tres");
    EXPECT_EQ(DbiSaveChanges(pl->Handle()), DBIERR_NONE);  // commit point
    tx.Commit();
  }
  {
    tv::db::Transaction tx("Contabilidad");
    AddAccount(*pl, "4", "cuatro");
  }  // not committed: undone
  EXPECT_EQ(Scalar("select count(*) from pl"), 2);
  TTable closed(nullptr);
  EXPECT_EQ(DbiSaveChanges(closed.Handle()), DBIERR_INVALIDHNDL);
}

// A save killed half-way leaves the tables as they were; a committed one survives.
TEST_F(DbTest, KilledProcessLosesOnlyTheUnfinishedSave) {
  auto pl = OpenTable("PL");
  AddAccount(*pl, "1", "antes");
  pl->Close();
  tv::db::ReleaseDatabase("Contabilidad");

  for (bool commit : {false, true}) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      try {
        auto t = OpenTable("PL");
        tv::db::Transaction tx("Contabilidad");
        for (int i = 0; i < 20; ++i) AddAccount(*t, "9", "parcial");
        t->First();
        t->Delete();
        if (commit) tx.Commit();
        char c = 'x';
        (void)!write(fds[1], &c, 1);
        pause();
      } catch (...) {
      }
      _exit(1);
    }
    close(fds[1]);
    char c;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);
    close(fds[0]);
    tv::db::ReleaseDatabase("Contabilidad");
    auto check = OpenTable("PL");
    if (!commit) {
      EXPECT_EQ(check->RecordCount, 1);
      EXPECT_EQ(check->FieldByName("nombcuen")->AsString, "antes");
    } else {
      EXPECT_EQ(check->RecordCount, 20);
      EXPECT_FALSE(check->Locate("nombcuen", "antes", {}));
    }
    check->Close();
    tv::db::ReleaseDatabase("Contabilidad");
  }
}

TEST_F(DbTest, QueriesJoinsRowsAffectedAndBatchMove) {
  Sql("insert into MVT values ('CE','1','1105','900',100,0,'2024-01-05');"
      "insert into MVT values ('CE','1','2205','800',0,100,'2024-01-05');"
      "insert into MVT values ('CE','2','1105','900',50,0,'2024-02-01');"
      "insert into TC values ('900','Proveedor A');");
  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->Add("select * from mvt join tc on mvt.cedulanit=tc.cedulanit");
  q.Open();
  EXPECT_EQ(q.RecordCount, 2);
  EXPECT_EQ(q.FieldCount, 9);
  EXPECT_EQ(q.FieldByName("CEDULANIT")->Index(), 3);  // first of the two
  EXPECT_EQ(q.Fields[7]->FieldName, "cedulanit");
  EXPECT_EQ(q.FieldByName("fecha")->DataType(), ftDate);
  EXPECT_THROW(q.Edit(), EDBEngineError);  // read-only result

  q.SQL->Clear();
  q.SQL->Add("select numecuen, sum(debito) as debitos, sum(credito) as creditos from mvt group by numecuen");
  q.Open();
  EXPECT_EQ(q.RecordCount, 2);
  EXPECT_TRUE(q.Locate("numecuen", "1105", {}));
  EXPECT_DOUBLE_EQ(q.FieldByName("debitos")->AsFloat, 150);
  q.Filter = "debitos<>0 and creditos=0";
  q.Filtered = true;
  EXPECT_EQ(q.RecordCount, 1);

  // append into a work table, fields matched by name
  Sql("CREATE TABLE SaldosAntes (numecuen VARCHAR(18), debitos NUMERIC, creditos NUMERIC)");
  q.Filtered = false;
  auto saldos = std::make_unique<TTable>(nullptr);
  saldos->DatabaseName = "Contabilidad";
  saldos->TableName = "SaldosAntes.db";
  TBatchMove bm(nullptr);
  bm.Source = &q;
  bm.Destination = saldos.get();
  bm.Mode = batAppend;
  bm.Execute();
  EXPECT_EQ(bm.MovedCount, 2);
  EXPECT_EQ(Scalar("select count(*) from SaldosAntes where debitos=150"), 1);

  TQuery del(nullptr);
  del.DatabaseName = "Contabilidad";
  del.SQL->Add("DELETE  from Mvt where DescDocu='CE'  and Numedocu='1'");
  del.ExecSQL();
  EXPECT_EQ(del.RowsAffected, 2);
  del.Active = true;  // after ExecSQL: open with no rows, not run twice
  EXPECT_TRUE(del.Active);
  EXPECT_EQ(del.RecordCount, 0);
  EXPECT_EQ(Scalar("select count(*) from mvt"), 1);
}

namespace {
struct RecordingLink : TDataLink {
  std::vector<std::string> events;
  void ActiveChanged() override { events.push_back("active"); }
  void DataSetChanged() override { events.push_back("changed"); }
  void RecordChanged(TField* f) override { events.push_back("record:" + (f ? f->FieldName.str() : "")); }
  void DataSetScrolled() override { events.push_back("scroll"); }
  void EditingChanged() override { events.push_back("state"); }
  void UpdateData() override { events.push_back("update"); }
};
}  // namespace

TEST_F(DbTest, DataSourceNotifiesLinksAndEvents) {
  auto pl = OpenTable("PL");
  AddAccount(*pl, "1", "a");
  AddAccount(*pl, "2", "b");
  TDataSource ds(nullptr);
  RecordingLink link;
  ds.AddDataLink(&link);
  std::vector<std::string> fired;
  ds.OnDataChange = [&](TObject*, TField* f) { fired.push_back(f ? f->FieldName.str() : "row"); };
  ds.OnStateChange = [&](TObject*) { fired.push_back("state"); };
  ds.OnUpdateData = [&](TObject*) { fired.push_back("update"); };
  ds.DataSet = pl.get();
  EXPECT_EQ(link.events.front(), "active");
  link.events.clear();
  fired.clear();

  pl->First();
  pl->Edit();
  pl->FieldByName("nombcuen")->AsString = "x";
  bool beforePost = false;
  pl->BeforePost = [&](TDataSet*) { beforePost = true; };
  pl->Post();
  EXPECT_TRUE(beforePost);
  std::vector<std::string> expectLink = {"scroll", "state", "record:nombcuen", "update", "state", "changed"};
  EXPECT_EQ(link.events, expectLink);
  std::vector<std::string> expectFired = {"row", "state", "nombcuen", "update", "state", "row"};
  EXPECT_EQ(fired, expectFired);

  link.events.clear();
  pl->DisableControls();
  pl->Next();
  pl->First();
  EXPECT_TRUE(link.events.empty());
  pl->EnableControls();
  EXPECT_EQ(link.events, std::vector<std::string>{"changed"});
  ds.RemoveDataLink(&link);
  ds.DataSet = nullptr;
  pl->Next();
  EXPECT_EQ(link.events.size(), 1u);
}

TEST_F(DbTest, EmptyTableRebuildAndCopy) {
  auto tc = OpenTable("TC");
  for (const char* id : {"1", "2", "3"}) {
    tc->Append();
    tc->FieldByName("cedulanit")->AsString = id;
    tc->FieldByName("nombre")->AsString = id;
    tc->Post();
  }
  tv::db::CopyTable("Contabilidad", "TC.db", "Contabilidad", "copiaTC.db");
  EXPECT_EQ(Scalar("select count(*) from copiaTC"), 3);
  EXPECT_EQ(tv::db::IntegrityCheck("Contabilidad"), std::vector<AnsiString>{"ok"});
  tc->Close();
  auto r = tv::db::RebuildTable("Contabilidad", "tc.db");
  EXPECT_EQ(r.copied, 3);
  tc->Open();
  tc->IndexName = "IdxNombre";  // indexes come back with their names
  tc->EmptyTable();
  EXPECT_EQ(tc->RecordCount, 0);
  EXPECT_TRUE(tc->IsEmpty());
  EXPECT_EQ(Scalar("select count(*) from copiaTC"), 3);
}
