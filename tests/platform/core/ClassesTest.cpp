#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/core/TempDir.h"

namespace {

// Records the order in which components die.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, const char* name, std::vector<std::string>* log) : TComponent(owner), log_(log) {
    Name = name;
  }
  ~Probe() override { log_->push_back(Name.str()); }

 private:
  std::vector<std::string>* log_;
};

TEST(ComponentTest, OwnerDeletesNewestFirstAndForgetsEarlierDeaths) {
  std::vector<std::string> log;
  auto* form = new Probe(nullptr, "Form", &log);
  auto* a = new Probe(form, "EdFecha", &log);
  auto* b = new Probe(form, "BtnFechaDesde", &log);
  new Probe(form, "btnCuenta1", &log);
  new Probe(a, "Inner", &log);
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(0), a);
  EXPECT_EQ(form->Components(1), b);
  EXPECT_EQ(form->FindComponent("edfecha"), a);
  EXPECT_EQ(form->FindComponent("BTNFECHADESDE"), b);
  EXPECT_EQ(form->FindComponent("Inner"), nullptr);  // only direct children
  EXPECT_EQ(form->FindComponent(""), nullptr);
  EXPECT_THROW(form->Components(3), EOutOfRange);
  EXPECT_EQ(b->Owner(), form);

  delete b;
  ASSERT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(1)->Name, "btnCuenta1");
  delete form;
  // a destructor body runs before the base class deletes the owned components
  EXPECT_EQ(log, (std::vector<std::string>{"BtnFechaDesde", "Form", "btnCuenta1", "EdFecha", "Inner"}));
}

TEST(ComponentTest, MovingToAnotherOwner) {
  TComponent a(nullptr), b(nullptr);
  auto* c = new TComponent(&a);
  b.InsertComponent(c);
  EXPECT_EQ(a.ComponentCount(), 0);
  EXPECT_EQ(b.Components(0), c);
  b.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
}

TEST(StringListTest, SortedListsKeepOrderAndIgnoreDuplicates) {
  TStringList l;
  l.SetSorted(true);
  EXPECT_EQ(l.Add("banco"), 0);
  EXPECT_EQ(l.Add("Agua"), 0);
  EXPECT_EQ(l.Add(" Todos"), 0);
  EXPECT_EQ(l.Add("caja"), 3);
  EXPECT_EQ(l.Add("BANCO"), 2);  // duplicate ignored, existing index
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Text(), " Todos\nAgua\nbanco\ncaja\n");
  EXPECT_EQ(l.IndexOf("CAJA"), 3);
  EXPECT_EQ(l.IndexOf("nada"), -1);
  l.Duplicates = dupError;
  EXPECT_THROW(l.Add("caja"), Exception);
  l.Duplicates = dupAccept;
  l.Add("Caja");
  EXPECT_EQ(l.Count(), 5);
  EXPECT_THROW(l.Insert(0, "x"), Exception);
}

TEST(StringListTest, UnsortedLookupAndText) {
  TStringList l;
  l.Add("Uno");
  l.Add("dos");
  l.Add("uno");
  EXPECT_EQ(l.IndexOf("UNO"), 0);
  l.CaseSensitive = true;
  EXPECT_EQ(l.IndexOf("uno"), 2);
  EXPECT_EQ(l.IndexOf("UNO"), -1);
  EXPECT_THROW(l[3], EOutOfRange);

  l.SetText("a\r\nb\nc\r\r\n");
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(l[3], "");
  l.SetCommaText("uno,\"dos tres\",\"con \"\"comillas\"\"\"");
  ASSERT_EQ(l.Count(), 3);
  EXPECT_EQ(l[1], "dos tres");
  EXPECT_EQ(l[2], "con \"comillas\"");
  EXPECT_EQ(l.CommaText(), "uno,\"dos tres\",\"con \"\"comillas\"\"\"");

  l.Clear();
  l.Add("Banco=Bogotá");
  l.SetValue("caja", "1");
  EXPECT_EQ(l.Values("BANCO"), "Bogotá");
  EXPECT_EQ(l.Names(1), "caja");
  l.SetValue("banco", "");
  EXPECT_EQ(l.Count(), 1);

  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.BeginUpdate();
  l.Add("x");
  l.Add("y");
  l.EndUpdate();
  EXPECT_EQ(changes, 1);
}

TEST(StringListTest, FilesAreWindows1252WithCrLf) {
  TempDir dir;
  TStringList l;
  l.Add("05001:MEDELLÍN");
  l.Add("Bogotá – €");
  l.SaveToFile(dir.File("m.txt"));
  EXPECT_EQ(TempDir::Read(dir.File("m.txt")), "05001:MEDELL\xCDN\r\nBogot\xE1 \x96 \x80\r\n");

  TStringList r;
  r.LoadFromFile(dir.File("m.txt"));
  ASSERT_EQ(r.Count(), 2);
  EXPECT_EQ(r[1], "Bogotá – €");
  TempDir::Write(dir.File("u.txt"), "año\nniño");  // UTF-8 is read as such
  r.LoadFromFile(dir.File("u.txt"));
  EXPECT_EQ(r.Text(), "año\nniño\n");

  try {
    r.LoadFromFile(dir.File("falta.txt"));
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message, "No se puede abrir el archivo " + dir.File("falta.txt"));
  }
  EXPECT_THROW(l.SaveToFile(dir.File("no/such/dir.txt")), EFCreateError);
}

}  // namespace
