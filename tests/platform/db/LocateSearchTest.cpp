// Case-insensitive and partial-key searches find the first matching row in the view's
// order, narrowed through the index of the field.
#include <memory>

#include "DbFixture.h"

TEST_F(DbTest, CaseInsensitiveAndPartialLocateFindTheFirstRowInViewOrder) {
  Sql("CREATE INDEX TC_lower ON TC (lower(nombre));"
      "INSERT INTO TC VALUES ('5','ÁRBOL Seco'),('1','arbusto'),('7','Peña Ana'),('3','Arbol Alto'),"
      "('9','peña ana'),('2','50% Descuento'),('4','500 Unidades'),('8','ñame')");
  struct Case {
    const char* value;
    TLocateOptions options;
    const char* byKey;     // found in cedulanit order ("" = none)
    const char* byName;    // found in nombre order
  } cases[] = {
      {"arb", {loCaseInsensitive, loPartialKey}, "1", "3"},
      // accents do not count: "árbol" and "arbol" find the same row, "arbol s" the accented one
      {"árbol", {loCaseInsensitive, loPartialKey}, "3", "3"},
      {"arbol s", {loCaseInsensitive, loPartialKey}, "5", "5"},
      {"arbol seco", {loCaseInsensitive}, "5", "5"},
      {"árbol", {loPartialKey}, "", ""},
      {"ARBOL ALTO", {loCaseInsensitive}, "3", "3"},
      {"Arb", {loPartialKey}, "3", "3"},
      {"arb", {loPartialKey}, "1", "1"},
      {"peña ana", {loCaseInsensitive}, "7", "7"},
      {"PEÑA", {loCaseInsensitive, loPartialKey}, "7", "7"},
      {"Peña", {loPartialKey}, "7", "7"},
      {"50%", {loPartialKey}, "2", "2"},
      {"Ñ", {loCaseInsensitive, loPartialKey}, "8", "8"},
      {"zz", {loCaseInsensitive, loPartialKey}, "", ""},
  };
  for (const char* order : {"cedulanit", "nombre"}) {
    TTable t(nullptr);
    t.DatabaseName = "Contabilidad";
    t.TableName = "TC";
    t.IndexFieldNames = order;
    t.Open();
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(order) + " " + c.value);
      std::string want = std::string(order) == "cedulanit" ? c.byKey : c.byName;
      bool ok = t.Locate("nombre", Variant(AnsiString(c.value)), c.options);
      EXPECT_EQ(ok, !want.empty());
      if (ok) {
        EXPECT_EQ(t.FieldByName("cedulanit")->AsString, AnsiString(want.c_str()));
      }
    }
  }
}
