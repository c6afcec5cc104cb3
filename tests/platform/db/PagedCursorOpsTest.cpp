// A table in row-id order reads its ids in pages; every dataset operation on it gives what
// the same table read whole gives, also beyond the first page (1,024 ids).
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DbFixture.h"

namespace {
constexpr int kRows = 3000;

using Trace = std::vector<std::string>;

// Where the cursor stands, as text that both orders must share.
std::string Here(TTable& t) {
  std::string n = t.IsEmpty() ? "-" : std::to_string(t.FieldByName("n")->AsInteger);
  return "n=" + n + " eof=" + std::to_string(t.Eof) + " bof=" + std::to_string(t.Bof) +
         " recno=" + std::to_string(t.RecNo);
}

struct Case {
  const char* name;
  std::function<void(TTable&, Trace&)> run;
  const char* expected;  // a line the trace must hold (the whole order's answer)
};
}  // namespace

class PagedCursorOpsTest : public DbTest {
 protected:
  // Two tables with the same rows: "n" equals the row id, so ordering by it (a keyed
  // order, read whole at open) is the row-id order that the other one reads in pages.
  void Fill() {
    Sql("PRAGMA synchronous=OFF");  // thousands of single-row deletes: no sync for each
    for (const char* t : {"PAGED", "WHOLE"})
      Sql(std::string("DROP TABLE IF EXISTS ") + t + "; CREATE TABLE " + t +
          " (n INTEGER, a VARCHAR(10));"
          "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " +
          std::to_string(kRows) + ") INSERT INTO " + t + " (rowid, n, a) SELECT i, i, 'r' || i FROM k;");
  }
  Trace Run(const Case& c, bool paged) {
    Fill();
    TTable t(nullptr);
    t.DatabaseName = "Contabilidad";
    t.TableName = paged ? "PAGED" : "WHOLE";
    if (!paged) t.IndexFieldNames = "n";
    t.Open();
    Trace trace;
    try {
      c.run(t, trace);
    } catch (const Exception& e) {
      trace.push_back("throw: " + e.Message.str());
    }
    t.Close();
    return trace;
  }
};

TEST_F(PagedCursorOpsTest, EveryOperationGivesWhatTheWholeOrderGives) {
  const Case cases[] = {
      {"bookmark on row 2501 after First and Refresh",
       [](TTable& t, Trace& r) {
         t.MoveBy(2500);
         TBookmark bm = t.GetBookmark();
         t.First();
         t.Refresh();
         r.push_back("valid=" + std::to_string(t.BookmarkValid(bm)));
         t.GotoBookmark(bm);
         r.push_back(Here(t));
       },
       "n=2501 eof=0 bof=0 recno=2501"},
      {"deleting in a loop empties the table",
       [](TTable& t, Trace& r) {
         int deleted = 0;
         for (t.First(); !t.Eof; ++deleted) t.Delete();
         r.push_back("deleted=" + std::to_string(deleted) + " count=" + std::to_string(t.RecordCount));
       },
       "deleted=3000 count=0"},
      {"a delete leaves the cursor on the next row",
       [](TTable& t, Trace& r) {
         t.MoveBy(1023);
         r.push_back(Here(t));
         t.Delete();
         r.push_back(Here(t));
         t.Next();
         r.push_back(Here(t));
       },
       "n=1025 eof=0 bof=0 recno=1024"},
      {"deleting the last row",
       [](TTable& t, Trace& r) {
         t.Last();
         t.Delete();
         r.push_back(Here(t) + " count=" + std::to_string(t.RecordCount));
       },
       "n=2999 eof=0 bof=0 recno=2999 count=2999"},
      {"locate beyond the first page",
       [](TTable& t, Trace& r) {
         r.push_back("found=" + std::to_string(t.Locate("n", Variant(2900), TLocateOptions())));
         r.push_back(Here(t));
         r.push_back("found=" + std::to_string(t.Locate("a", Variant(AnsiString("R2950")),
                                                        TLocateOptions{loCaseInsensitive})));
         r.push_back(Here(t));
         r.push_back("found=" + std::to_string(t.Locate("n", Variant(9999), TLocateOptions())));
         r.push_back(Here(t));
       },
       "n=2950 eof=0 bof=0 recno=2950"},
      {"filters on and off",
       [](TTable& t, Trace& r) {
         t.Filtered = true;
         r.push_back("count=" + std::to_string(t.RecordCount));
         t.Last();
         r.push_back(Here(t));
         t.Filter = "n > 2990";
         r.push_back("count=" + std::to_string(t.RecordCount));
         t.First();
         r.push_back(Here(t));
         t.Filtered = false;
         r.push_back("count=" + std::to_string(t.RecordCount));
         t.MoveBy(2000);
         r.push_back(Here(t));
       },
       "count=3000"},
      {"Last and Prior, back to the start",
       [](TTable& t, Trace& r) {
         t.Last();
         r.push_back(Here(t));
         t.Prior();
         r.push_back(Here(t));
         int steps = 0;
         for (; !t.Bof; ++steps) t.Prior();
         r.push_back("steps=" + std::to_string(steps) + " " + Here(t));
       },
       "n=2999 eof=0 bof=0 recno=2999"},
      {"Refresh keeps a row beyond the first page",
       [](TTable& t, Trace& r) {
         t.MoveBy(1999);
         t.Refresh();
         r.push_back(Here(t));
         t.Next();
         r.push_back(Here(t));
       },
       "n=2001 eof=0 bof=0 recno=2001"},
      {"record count and walking",
       [](TTable& t, Trace& r) {
         t.Next();
         r.push_back("count=" + std::to_string(t.RecordCount) + " " + Here(t));
         int walked = 0;
         for (t.First(); !t.Eof; t.Next()) ++walked;
         r.push_back("walked=" + std::to_string(walked) + " " + Here(t));
         t.RecNo = 2600;
         r.push_back(Here(t));
       },
       "walked=3000 n=3000 eof=1 bof=0 recno=3000"},
      {"append and edit beyond the first page",
       [](TTable& t, Trace& r) {
         t.MoveBy(2600);
         t.Edit();
         t.FieldByName("a")->AsString = "cambiada";
         t.Post();
         r.push_back(Here(t));
         t.Append();
         t.FieldByName("n")->AsInteger = kRows + 1;
         t.Post();
         r.push_back(Here(t) + " count=" + std::to_string(t.RecordCount));
         t.First();
         t.MoveBy(2600);
         r.push_back(Here(t) + " a=" + t.FieldByName("a")->AsString.str());
       },
       "n=2601 eof=0 bof=0 recno=2601 a=cambiada"},
      {"lookup beyond the first page",
       [](TTable& t, Trace& r) {
         t.MoveBy(1999);
         r.push_back("lookup=" + t.Lookup("n", Variant(2800), "a").AsString().str() + " " + Here(t));
         r.push_back("lookup=" + t.Lookup("n", Variant(9999), "a").AsString().str() + " " + Here(t));
       },
       "lookup=r2800 n=2000 eof=0 bof=0 recno=2000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Trace whole = Run(c, false);
    Trace paged = Run(c, true);
    EXPECT_EQ(paged, whole);
    EXPECT_NE(std::find(whole.begin(), whole.end(), std::string(c.expected)), whole.end())
        << "the whole order gave:\n" << ::testing::PrintToString(whole);
  }
}
