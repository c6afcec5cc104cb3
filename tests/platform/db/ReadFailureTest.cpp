// A database file that cannot be read is reported as what it is (not a database, damaged),
// never as a missing table, and nothing of the failed read is kept: once the file is
// sound again the next open works without releasing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {
namespace fs = std::filesystem;

std::string ReadAll(const std::string& f) {
  std::ifstream in(f, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const std::string& f, const std::string& bytes) {
  std::ofstream(f, std::ios::binary | std::ios::trunc) << bytes;
}

DBIResult OpenCode(const std::string& dir) {
  TTable t(nullptr);
  t.DatabaseName = dir.c_str();
  t.TableName = "PL.db";
  try {
    t.Open();
    return DBIERR_NONE;
  } catch (const EDBEngineError& e) {
    return e.ErrorCode();
  }
}
}  // namespace

TEST(ReadFailure, BadFilesAreReportedAndTheNextOpenTriesAgain) {
  char tmpl[] = "/tmp/tvreadXXXXXX";
  std::string dir = std::string(mkdtemp(tmpl)) + "/";
  std::string file = dir + tv::db::kDatabaseFileName;
  {
    auto conn = tv::db::ConnectionFor(dir.c_str());
    conn->Exec("CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60))");
    conn->Exec("INSERT INTO PL VALUES ('1105', 'Caja')");
  }
  tv::db::ReleaseDatabase(dir.c_str());
  std::string good = ReadAll(file);
  ASSERT_GT(good.size(), 4096u);
  std::string damagedCatalogue = good;
  for (size_t k = 100; k < 4096; ++k) damagedCatalogue[k] = static_cast<char>(0xA5);

  struct Case {
    const char* what;
    std::string bytes;
    DBIResult code;
  } cases[] = {
      {"not a database", std::string(8192, 'x'), DBIERR_NOTADB},
      {"empty file", "", DBIERR_NOTADB},
      {"damaged catalogue", damagedCatalogue, DBIERR_PHYSICALCORRUPT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(file, c.bytes);
    EXPECT_EQ(OpenCode(dir), c.code);
    try {
      tv::db::TableExists(dir.c_str(), "PL");
      ADD_FAILURE() << "TableExists answered on an unreadable file";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
    }
    EXPECT_EQ(OpenCode(dir), c.code) << "the failure is reported again, not cached as a missing table";
    WriteAll(file, good);
    EXPECT_EQ(OpenCode(dir), DBIERR_NONE);
    EXPECT_TRUE(tv::db::TableExists(dir.c_str(), "PL"));
    tv::db::ReleaseDatabase(dir.c_str());
  }
  fs::remove_all(dir);
}
