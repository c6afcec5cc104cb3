// Every input kept for the translator's fuzz target (seeds and the crashers it found) is
// translated or refused as a syntax error; none escapes as another failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../../../fuzz/TranslatorFuzz.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace fs = std::filesystem;

TEST(TranslatorCorpus, EveryInputTranslatesOrIsRefused) {
  fs::path dir = fs::path(TALLIVAR_SOURCE_DIR) / "fuzz/corpus/translator";
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    SCOPED_TRACE(e.path().filename().string());
    EXPECT_NO_THROW(tv::db::fuzz::TranslateOne(text));
    ++n;
  }
  EXPECT_GT(n, 100);
}

// Through the engine the same statements surface as EDBEngineError with the syntax code.
TEST(TranslatorCorpus, CrashersAreSyntaxErrorsOfTheEngine) {
  char tmpl[] = "/tmp/tvfuzzXXXXXX";
  std::string dir = std::string(mkdtemp(tmpl)) + "/";
  auto conn = tv::db::ConnectionFor(dir.c_str());
  conn->Exec("CREATE TABLE pl (numecuen VARCHAR(18), nombcuen VARCHAR(60))");
  using namespace std::string_literals;
  for (const std::string& sql : {"select numecuen from pl group by numecuen group by nombcuen"s,
                                 "select cast(numecuen as char(99999999999)) from pl group by group by"s,
                                 "select numecuen from pl where nombcuen='a\0' or 1=1"s}) {
    TQuery q(nullptr);
    q.DatabaseName = dir.c_str();
    q.SQL->Add(AnsiString(sql));
    try {
      q.Open();
      ADD_FAILURE() << sql;
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.ErrorCode(), DBIERR_QRYSYNTERR) << sql;
    }
  }
  conn.reset();
  tv::db::ReleaseDatabase(dir.c_str());
  fs::remove_all(dir);
}
