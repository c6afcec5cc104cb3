// Books in a folder shared over the network: one computer at a time writes them. Other
// computers are other processes of this binary presenting another computer name.
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DbFixture.h"
#include "platform/db/Storage.h"
#include "support/SelfProcess.h"

namespace {

// The other computer's side: opens the folder's books, writes one row and exits 0; exits 3
// when refused, leaving the sentence in TV_OC_OUT; with TV_OC_CRASH it dies holding them.
TEST(OtherComputer, WriteBooks) {
  const char* dir = std::getenv("TV_OC_DIR");
  if (!dir) GTEST_SKIP() << "only run by another test";
  Session->AddStandardAlias("Contabilidad", dir, "PARADOX");
  try {
    auto conn = tv::db::ConnectionFor("Contabilidad");
    conn->Exec("INSERT INTO TC (cedulanit, nombre) VALUES ('" + std::string(std::getenv("TALLIVAR_COMPUTER_NAME")) +
               std::to_string(getpid()) + "', 'otro')");
    if (std::getenv("TV_OC_CRASH")) raise(SIGKILL);
  } catch (const EDBEngineError& e) {
    std::ofstream(std::getenv("TV_OC_OUT")) << DBIUserText(e).str();
    std::_Exit(e.Errors(0)->ErrorCode == DBIERR_DIRLOCKED ? 3 : 2);
  }
  std::_Exit(0);
}

class OneComputerTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    tv::db::ReleaseDatabase("Contabilidad");
    setenv("TALLIVAR_COMPUTER_NAME", "OFICINA1", 1);
    setenv("TALLIVAR_NETWORK_FOLDERS", dir_.c_str(), 1);
    out_ = dir_ + "mensaje.txt";
  }
  void TearDown() override {
    DbTest::TearDown();
    unsetenv("TALLIVAR_COMPUTER_NAME");
    unsetenv("TALLIVAR_NETWORK_FOLDERS");
  }
  // Exit status of the other computer's try (0 wrote, 3 refused).
  int OtherComputer(const std::string& name, bool crash = false) {
    std::vector<std::string> vars = {"TV_OC_DIR=" + dir_, "TV_OC_OUT=" + out_, "TALLIVAR_COMPUTER_NAME=" + name};
    if (crash) vars.push_back("TV_OC_CRASH=1");
    return tv::testing::WaitExit(tv::testing::StartSelf("OtherComputer.WriteBooks", vars));
  }
  std::string Message() {
    std::ifstream in(out_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  long long Rows() { return Scalar("SELECT count(*) FROM TC"); }
  std::string out_;
};

TEST_F(OneComputerTest, AnotherComputerIsRefusedWhileThisOneWritesAndGetsInAfter) {
  EXPECT_EQ(Rows(), 0);  // this computer has the books open
  EXPECT_EQ(OtherComputer("OFICINA2"), 3);
  EXPECT_EQ(Message(),
            "Los libros están abiertos en el computador OFICINA1: en una carpeta de red solo un computador a la vez "
            "puede grabar.");
  EXPECT_EQ(Rows(), 0);
  // Another seat of this computer writes as usual.
  EXPECT_EQ(OtherComputer("OFICINA1"), 0);
  EXPECT_EQ(Rows(), 1);
  tv::db::ReleaseDatabase("Contabilidad");
  EXPECT_EQ(OtherComputer("OFICINA2"), 0);
  // Now this computer is the second one only while the other one writes: it has ended.
  EXPECT_EQ(Rows(), 2);
}

TEST_F(OneComputerTest, AComputerThatDiedHoldingTheBooksDoesNotKeepThem) {
  tv::db::ReleaseDatabase("Contabilidad");
  EXPECT_EQ(OtherComputer("OFICINA2", true), -1);
  std::ifstream marker(dir_ + tv::db::kDatabaseFileName + "-computador");
  std::string name;
  std::getline(marker, name);
  EXPECT_EQ(name, "OFICINA2");
  EXPECT_EQ(Rows(), 1);
}

TEST_F(OneComputerTest, TheComputerThatSharesTheFolderSeesItLocalAndStillTakesPart) {
  EXPECT_EQ(Rows(), 0);
  tv::db::ReleaseDatabase("Contabilidad");
  // The folder as the computer that shares it sees it: local, with the marker remote use left.
  unsetenv("TALLIVAR_NETWORK_FOLDERS");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(OtherComputer("OFICINA2"), 3);
}

TEST_F(OneComputerTest, LocalBooksGetNoMarker) {
  tv::db::ReleaseDatabase("Contabilidad");
  unsetenv("TALLIVAR_NETWORK_FOLDERS");
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ + tv::db::kDatabaseFileName + "-computador"));
  EXPECT_EQ(OtherComputer("OFICINA2"), 0);
}

}  // namespace
