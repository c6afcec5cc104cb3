// Tables in key order keep their order up to date in place as rows are appended, edited
// and deleted through them or through a second view of the same table: after every change
// each view lists exactly what a freshly opened table lists.
#include <memory>
#include <random>

#include "DbFixture.h"

namespace {
std::unique_ptr<TTable> Open(const char* order) {
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->TableName = "TC";
  t->IndexFieldNames = order;
  t->Open();
  return t;
}

// Rows in view order; the cursor is left where it was.
std::string Listing(TTable& t) {
  std::string r;
  for (int row = 0; row < t.ViewRowCount(); ++row)
    r += t.DisplayTextAt(row, 0).str() + ":" + t.DisplayTextAt(row, 1).str() + "|";
  return r;
}
}  // namespace

TEST_F(DbTest, KeyOrderIsKeptInPlaceAcrossViews) {
  for (const char* order : {"cedulanit", "nombre", "nombre;cedulanit"}) {
    SCOPED_TRACE(order);
    Sql("DELETE FROM TC");
    auto a = Open(order);
    auto b = Open(order);
    std::mt19937 rng(3);
    int next = 0;
    for (int step = 0; step < 300; ++step) {
      TTable& t = rng() % 3 ? *a : *b;
      int op = static_cast<int>(rng() % 10);
      std::string name = std::string(1, static_cast<char>('a' + rng() % 6));  // many equal names
      if (op < 5 || t.IsEmpty()) {
        t.Append();
        t.FieldByName("cedulanit")->AsString = AnsiString(std::to_string(rng() % 1000) + "-" + std::to_string(next++));
        t.FieldByName("nombre")->AsString = AnsiString(name);
        t.Post();
      } else {
        t.RecNo = static_cast<int>(1 + rng() % static_cast<unsigned>(t.RecordCount));
        if (op < 8) {
          t.Edit();
          if (op == 5) t.FieldByName("cedulanit")->AsString = AnsiString(std::to_string(rng() % 1000) + "-" + std::to_string(next++));
          else t.FieldByName("nombre")->AsString = AnsiString(name);
          t.Post();
        } else {
          t.Delete();
        }
      }
      auto fresh = Open(order);
      std::string want = Listing(*fresh);
      ASSERT_EQ(Listing(*a), want) << "step " << step;
      ASSERT_EQ(Listing(*b), want) << "step " << step;
    }
  }
}

// An edit that moves the row keeps the cursor on it; a row added by SQL is seen too.
TEST_F(DbTest, EditedRowMovesWithTheCursorAndSqlChangesReload) {
  Sql("INSERT INTO TC VALUES ('1','Ana'),('2','Beto'),('3','Ciro')");
  auto t = Open("nombre");
  t->First();
  t->Edit();
  t->FieldByName("nombre")->AsString = "Zoila";
  t->Post();
  EXPECT_EQ(t->FieldByName("cedulanit")->AsString, "1");
  EXPECT_EQ(t->RecNo, 3);
  auto conn = tv::db::ConnectionFor("Contabilidad");
  conn->Exec("INSERT INTO TC VALUES ('4','Abel')");
  t->First();
  EXPECT_EQ(t->FieldByName("nombre")->AsString, "Abel");
  EXPECT_EQ(t->RecordCount, 4);
}
