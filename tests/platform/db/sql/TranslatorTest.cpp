// Translator unit cases that need no database: quoting helpers, rewritten forms and errors.
#include <gtest/gtest.h>

#include <map>

#include "platform/db/Storage.h"
#include "platform/db/sql/Translator.h"

namespace {

using tv::db::ColumnInfo;
using tv::db::ColumnKind;

class FakeSchema : public tv::db::SchemaLookup {
 public:
  FakeSchema() {
    tables_["MVT"] = {{"numecuen", ColumnKind::Text}, {"debito", ColumnKind::Number},
                      {"fecha", ColumnKind::Date}, {"detalle", ColumnKind::Text}};
    tables_["pac"] = {{"icd", ColumnKind::Number}, {"m1", ColumnKind::Number}};
    tables_["asientos"] = {{"NUMECUEN", ColumnKind::Text}, {"Check", ColumnKind::Logical}};
  }
  std::optional<std::string> ResolveTable(std::string_view written) const override {
    std::string name = tv::db::StoredTableName(written);
    for (const auto& [k, v] : tables_)
      if (strcasecmp(k.c_str(), name.c_str()) == 0) return k;
    return std::nullopt;
  }
  std::vector<ColumnInfo> Columns(std::string_view t) const override {
    auto it = tables_.find(std::string(t));
    return it == tables_.end() ? std::vector<ColumnInfo>{} : it->second;
  }

 private:
  std::map<std::string, std::vector<ColumnInfo>> tables_;
};

std::vector<std::string> Tr(const std::string& sql) {
  FakeSchema s;
  return tv::db::TranslateLocalSql(sql, s).statements;
}

TEST(Translator, QuotingHelpers) {
  EXPECT_EQ(tv::db::QuoteSqlValue("O'Neil"), "'O''Neil'");
  EXPECT_EQ(tv::db::EscapeSqlText("a'b''c"), "a''b''''c");
  EXPECT_EQ(tv::db::EscapeLikePattern("5%_\\'x"), "5\\%\\_\\\\''x");
  EXPECT_EQ(tv::db::StoredTableName("'/tmp/tv_ab12.db'"), "tv_ab12");
  EXPECT_EQ(tv::db::StoredTableName("MVT.db"), "MVT");
  EXPECT_EQ(tv::db::StoredTableName("\"plPpto.DB\""), "plPpto");
  EXPECT_EQ(tv::db::StoredTableName("C:\\x\\a-b c.db"), "a_b_c");
}

TEST(Translator, DeclaredTypesRoundTrip) {
  int size = 0;
  EXPECT_EQ(tv::db::DeclaredType(ColumnKind::Text, 18), "VARCHAR(18)");
  EXPECT_EQ(tv::db::KindOfDeclaredType("VARCHAR(18)", &size), ColumnKind::Text);
  EXPECT_EQ(size, 18);
  EXPECT_EQ(tv::db::KindOfDeclaredType("char( 12 )", &size), ColumnKind::Text);
  EXPECT_EQ(size, 12);
  EXPECT_EQ(tv::db::KindOfDeclaredType("numeric(13,2)"), ColumnKind::Number);
  EXPECT_EQ(tv::db::KindOfDeclaredType("float"), ColumnKind::Number);
  EXPECT_EQ(tv::db::KindOfDeclaredType("INT"), ColumnKind::Integer);
  EXPECT_EQ(tv::db::KindOfDeclaredType("SMALLINT"), ColumnKind::Integer);
  EXPECT_EQ(tv::db::KindOfDeclaredType("DATE"), ColumnKind::Date);
  EXPECT_EQ(tv::db::KindOfDeclaredType("TIMESTAMP"), ColumnKind::DateTime);
  EXPECT_EQ(tv::db::KindOfDeclaredType("BOOLEAN"), ColumnKind::Logical);
  EXPECT_EQ(tv::db::KindOfDeclaredType("MEMO"), ColumnKind::Memo);
  for (auto k : {ColumnKind::Number, ColumnKind::Integer, ColumnKind::Date, ColumnKind::DateTime,
                 ColumnKind::Logical, ColumnKind::Memo})
    EXPECT_EQ(tv::db::KindOfDeclaredType(tv::db::DeclaredType(k)), k);
}

TEST(Translator, RewrittenForms) {
  struct C { const char* in; std::vector<std::string> out; } cases[] = {
      {"select * from mvt where fecha<'1/2/2024' and detalle=\"fecha\"",
       {"select * from \"MVT\" where fecha < '2024-01-02' and detalle = 'fecha'"}},
      // a unary plus keeps the planner off the column's index; the date still converts
      {"select * from mvt where +fecha>='1/2/2024' and +Fecha<='12/31/2024'",
       {"select * from \"MVT\" where + fecha >= '2024-01-02' and + Fecha <= '2024-12-31'"}},
      {"select numecuen from mvt where detalle like '50[%]*?'",
       {"select numecuen from \"MVT\" where detalle GLOB '50[[]*][*][?]'"}},
      {"select numecuen from mvt where numecuen not like \"4_%\";",
       {"select numecuen from \"MVT\" where numecuen not GLOB '4?*'"}},
      {"update mvt set numecuen='9'+substring(numecuen from 2 for n) where numecuen like '1%'",
       {"update \"MVT\" SET numecuen = '9' || substr(numecuen, 2, max(n, 0)) where numecuen GLOB '1*'"}},
      {"update pac set icd=icd+1 where icd>=4",
       {"update \"pac\" SET icd = (icd + 1) + 1000000000000 where icd >= 4",
        "UPDATE \"pac\" SET \"icd\" = \"icd\" - 1000000000000 WHERE \"icd\" >= 1000000000000 / 2"}},
      {"update pac set m1=m1+1 where icd=4", {"update \"pac\" SET m1 = m1 + 1 where icd = 4"}},
      {"update asientos set check=true where numecuen is null",
       {"update \"asientos\" SET \"check\" = true where numecuen is null"}},
      {"select trim(both ' ' from detalle) from mvt",
       {"select trim(detalle, ' ') from \"MVT\""}},
      {"drop table 'infPpto.db'", {"DROP TABLE IF EXISTS \"infPpto\""}},
  };
  for (const auto& c : cases) EXPECT_EQ(Tr(c.in), c.out) << c.in;
}

TEST(Translator, ClassifiesRowsAndRejectsBadText) {
  FakeSchema s;
  EXPECT_TRUE(tv::db::TranslateLocalSql("  select 1", s).returnsRows);
  EXPECT_FALSE(tv::db::TranslateLocalSql("delete from mvt where detalle='select '", s).returnsRows);
  for (const char* bad : {"select * from mvt where detalle='abc", "select (1 from mvt", "select 1)",
                          "select * from mvt where fecha>'13/45/2024'",
                          "select * from mvt where fecha='ayer'", "select 1; delete from mvt", "",
                          "select extract(week from fecha) from mvt"})
    EXPECT_THROW(tv::db::TranslateLocalSql(bad, s), std::invalid_argument) << bad;
}

}  // namespace
