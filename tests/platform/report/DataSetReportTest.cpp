// Reports over real data sets and data sources.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"

using namespace tv::report;

namespace {

class DataSetReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // one folder per test: the database layer keeps a folder's connection open
    folder_ = ::testing::TempDir() + "report_db_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
              "_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    Exec("create table mov (cuenta char(10), detalle char(40), valor numeric)");
    Exec("insert into mov values ('1105', 'Caja menor', 100)");
    Exec("insert into mov values ('1105', 'Consignación', 250.5)");
    Exec("insert into mov values ('2205', 'Proveedores', 40)");
    Exec("create table otra (cuenta char(10), detalle char(40), valor numeric)");
    Exec("insert into otra values ('9999', 'Sólo en la otra', 7)");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Exec(const char* sql) {
    TQuery q(nullptr);
    q.DatabaseName = folder_.c_str();
    q.SQL->SetText(sql);
    q.ExecSQL();
  }
  TQuery* Select(TComponent* owner, const char* sql) {
    auto* q = new TQuery(owner);
    q->DatabaseName = folder_.c_str();
    q->SQL->SetText(sql);
    q->Open();
    return q;
  }

  std::string folder_;
};

TEST_F(DataSetReportTest, FieldsAndSumsComeFromTheBoundSourceAsRebound) {
  ResetFormatSettings();
  TComponent form(nullptr);
  TQuery* mov = Select(&form, "select * from mov order by cuenta, valor");
  TQuery* otra = Select(&form, "select * from otra");
  auto* source = new TDataSource(&form);
  source->DataSet = otra;

  auto* rep = new TQuickRep(&form);
  rep->DataSource = source;
  auto band = [&](TQRBandType t) {
    auto* b = new TQRBand(&form);
    b->Parent = rep;
    b->BandType = t;
    return b;
  };
  TQRBand* detail = band(rbDetail);
  for (auto [field, left] : {std::pair{"cuenta", 0}, {"detalle", 80}, {"valor", 300}}) {
    auto* t = new TQRDBText(&form);
    t->Parent = detail;
    t->Left = left;
    t->DataField = field;
  }
  auto* sum = new TQRDBCalc(&form);
  sum->Parent = band(rbSummary);
  sum->DataField = "valor";
  // a text bound to a data set of its own reads that set's current row
  auto* fixed = new TQRDBText(&form);
  fixed->Parent = band(rbTitle);
  fixed->DataSet = otra;
  fixed->DataField = "detalle";

  // the report's handler rebinds the source before the rows are read
  rep->BeforePrint = [&](TQuickRep*, bool&) { source->DataSet = mov; };
  rep->Prepare();
  std::string dump = DumpText(rep->Prepared());
  EXPECT_EQ(dump,
            "--- page 1 ---\n"
            "Sólo en la otra\n"
            "1105 | Caja menor | 100\n"
            "1105 | Consignación | " + FloatToStr(250.5).str() + "\n"
            "2205 | Proveedores | 40\n" +
            FloatToStr(390.5).str() + "\n");

  auto* missing = new TQRDBText(&form);
  missing->Parent = detail;
  missing->DataField = "noexiste";
  EXPECT_THROW(rep->Prepare(), Exception);
}

TEST_F(DataSetReportTest, GroupFootersSeeTheLastRowOfTheirGroup) {
  ResetFormatSettings();
  Exec("insert into mov values ('2205', 'Anticipo', 60)");
  Exec("insert into mov values ('3105', 'Capital', 5)");
  TComponent form(nullptr);
  TQuery* mov = Select(&form, "select * from mov order by cuenta, valor");
  auto* rep = new TQuickRep(&form);
  rep->DataSet = mov;
  auto* group = new TQRGroup(&form);
  group->Parent = rep;
  group->Expression = "cuenta";
  auto place = [&](TQRCustomBand* band, auto* e, int left) {
    e->Parent = band;
    e->Left = left;
    return e;
  };
  place(group, new TQRDBText(&form), 0)->DataField = "cuenta";
  auto* detail = new TQRBand(&form);
  detail->Parent = rep;
  place(detail, new TQRDBText(&form), 0)->DataField = "detalle";
  auto* footer = new TQRBand(&form);
  footer->Parent = rep;
  footer->BandType = rbGroupFooter;
  group->FooterBand = footer;
  // what a footer handler reads from the data set, as the budget summary does for its item
  AnsiString seen;
  auto* label = place(footer, new TQRLabel(&form), 0);
  footer->BeforePrint = [&](TQRCustomBand*, bool&) {
    label->Caption = "RESUMEN DE " + mov->FieldByName("cuenta")->GetAsString();
    seen += mov->FieldByName("cuenta")->GetAsString() + ";";
  };
  auto* sum = place(footer, new TQRDBCalc(&form), 300);
  sum->DataField = "valor";

  rep->Prepare();
  EXPECT_EQ(seen, "1105;2205;3105;");
  EXPECT_EQ(DumpText(rep->Prepared()),
            "--- page 1 ---\n"
            "1105\nCaja menor\nConsignación\nRESUMEN DE 1105 | " + FloatToStr(350.5).str() + "\n"
            "2205\nProveedores\nAnticipo\nRESUMEN DE 2205 | 100\n"
            "3105\nCapital\nRESUMEN DE 3105 | 5\n");
}

}  // namespace
