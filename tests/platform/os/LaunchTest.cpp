#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/Files.h"
#include "platform/os/Launch.h"
#include "platform/os/OsTestUtil.h"
#include "platform/os/TempNames.h"

using namespace tv::os;
using tv::os::testing::ReadText;
using tv::os::testing::ScratchDir;
using tv::os::testing::WriteText;

namespace {
class RecordedLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLaunchRecorder([this](const LaunchRequest& r) { launches_.push_back(r); });
  }
  void TearDown() override { SetLaunchRecorder(nullptr); }
  std::vector<LaunchRequest> launches_;
  ScratchDir dir_;
};

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 200 && !FileExists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return FileExists(path);
}
}  // namespace

TEST_F(RecordedLaunch, DocumentsGoToXdgOpenWithTheirAbsolutePath) {
  WriteText(dir_ / "-informe.csv", "a;b\n");
  std::string cwd = GetCurrentDir().str();
  ASSERT_TRUE(SetCurrentDir(dir_.path()));
  EXPECT_TRUE(OpenDocument("-informe.csv"));
  EXPECT_TRUE(OpenInTextViewer("./-informe.csv"));
  SetCurrentDir(cwd);

  ASSERT_EQ(launches_.size(), 2u);
  std::string abs = ExpandFileName(dir_ / "-informe.csv").str();
  EXPECT_EQ(launches_[0].kind, LaunchKind::Document);
  EXPECT_EQ(launches_[1].kind, LaunchKind::TextViewer);
  for (const auto& r : launches_) {
    EXPECT_EQ(r.program.str(), "xdg-open");
    ASSERT_EQ(r.arguments.size(), 1u);
    EXPECT_EQ(r.arguments[0].str(), abs)
        << "never a leading '-' an opener could take for an option";
    EXPECT_EQ(r.target.str(), abs);
  }
}

TEST_F(RecordedLaunch, MissingFilesAreNotOpened) {
  AnsiString err;
  EXPECT_FALSE(OpenDocument(dir_ / "falta.csv", &err));
  EXPECT_FALSE(err.IsEmpty());
  EXPECT_FALSE(OpenInTextViewer(""));
  EXPECT_FALSE(OpenHelpPage(dir_ / "ayuda/falta.htm", "x"));
  EXPECT_TRUE(launches_.empty());
}

TEST_F(RecordedLaunch, HelpPagesOpenAsFileUrlsWithTheirAnchor) {
  ForceDirectories(dir_ / "ayuda año");
  WriteText(dir_ / "ayuda año/asientos.htm", "<html></html>");
  ASSERT_TRUE(OpenHelpPage(dir_ / "ayuda año/asientos.htm", "fecha"));
  ASSERT_TRUE(OpenHelpPage(dir_ / "ayuda año/asientos.htm"));
  ASSERT_EQ(launches_.size(), 2u);
  std::string url =
      "file://" + ExpandFileName(dir_.path()).str() + "/ayuda%20a%C3%B1o/asientos.htm";
  EXPECT_EQ(launches_[0].kind, LaunchKind::HelpPage);
  EXPECT_EQ(launches_[0].target.str(), url + "#fecha");
  EXPECT_EQ(launches_[0].arguments.at(0).str(), url + "#fecha");
  EXPECT_EQ(launches_[1].target.str(), url);
}

TEST_F(RecordedLaunch, ProgramsAreRecordedWithTheirArguments) {
  ASSERT_TRUE(LaunchProgram("hoja", {"a b", "$(x)"}));
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].kind, LaunchKind::Program);
  EXPECT_EQ(launches_[0].program.str(), "hoja");
  ASSERT_EQ(launches_[0].arguments.size(), 2u);
  EXPECT_EQ(launches_[0].arguments[1].str(), "$(x)");
  EXPECT_TRUE(launches_[0].target.IsEmpty());
}

TEST(Launch, ArgumentsReachTheProgramUninterpreted) {
  ScratchDir d;
  // a shell would split, expand and run parts of this name
  std::string odd = d / "a b; touch pwned $(id) `id` 'q' \"dq\" *";
  WriteText(odd, "contenido");
  ASSERT_TRUE(LaunchProgram("cp", {AnsiString(odd), AnsiString(d / "copia")}));
  ASSERT_TRUE(WaitForFile(d / "copia"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadText(d / "copia"), "contenido");
  EXPECT_FALSE(FileExists(d / "pwned"));
  EXPECT_FALSE(FileExists("pwned"));
}

TEST(Launch, AProgramThatDoesNotExistIsAnError) {
  AnsiString err;
  EXPECT_FALSE(LaunchProgram("tallivar-no-existe-este-programa", {}, &err));
  EXPECT_NE(err.str().find("tallivar-no-existe-este-programa"), std::string::npos) << err.str();
  EXPECT_FALSE(LaunchProgram("", {}));
}

// A desktop with no browser: the opener exits at once with an error, as xdg-open does.
TEST(Launch, HelpWithoutABrowserIsAnErrorNotSilence) {
  ScratchDir d;
  ForceDirectories(d / "bin");
  WriteText(d / "bin/xdg-open", "#!/bin/sh\nexit 3\n");
  ASSERT_EQ(chmod((d / "bin/xdg-open").c_str(), 0755), 0);
  WriteText(d / "pagina.html", "<html></html>");
  std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (d / "bin:" + oldPath).c_str(), 1);
  AnsiString err;
  bool ok = OpenHelpPage(d / "pagina.html", "", &err);
  WriteText(d / "bin/xdg-open", "#!/bin/sh\nexit 0\n");
  AnsiString err2;
  bool ok2 = OpenHelpPage(d / "pagina.html", "", &err2);
  setenv("PATH", (d / "vacio").c_str(), 1);  // no opener at all
  AnsiString err3;
  bool ok3 = OpenHelpPage(d / "pagina.html", "", &err3);
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_FALSE(ok3);
  EXPECT_NE(err3.str().find("navegador"), std::string::npos) << err3.str();
  EXPECT_FALSE(ok);
  EXPECT_NE(err.str().find("navegador"), std::string::npos) << err.str();
  EXPECT_TRUE(ok2) << err2.str();
}

TEST(TempNames, FileNamesAreNewFilesInTheFolder) {
  ScratchDir d;
  AnsiString a = MakeTempFileName(d.path(), "lst", ".txt");
  AnsiString b = MakeTempFileName(d.path(), "lst", ".txt");
  EXPECT_NE(a, b);
  for (const auto& n : {a, b}) {
    EXPECT_TRUE(FileExists(n)) << n.str();
    EXPECT_EQ(n.str().rfind(d / "lst", 0), 0u) << n.str();
    EXPECT_EQ(n.str().substr(n.str().size() - 4), ".txt");
  }
  EXPECT_EQ(MakeTempFileName(d / "falta").str(), "");
}

TEST(TempNames, TableNamesAreSafeIdentifiersAndUnique) {
  std::set<std::string> seen;
  for (const char* prefix : {"tmp", "", "9x", "ord-sum.db", "'; drop table x; --", "año"}) {
    for (int i = 0; i < 200; ++i) {
      std::string n = MakeTempTableName(prefix).str();
      EXPECT_TRUE(::testing::internal::RE::FullMatch(n, "[A-Za-z][A-Za-z0-9_]*")) << n;
      EXPECT_TRUE(seen.insert(n).second) << n;
    }
  }
}
