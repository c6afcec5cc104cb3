#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/os/BuildVersion.h"
#include "platform/os/Launch.h"
#include "platform/os/OsTestUtil.h"
#include "platform/os/Process.h"
#include "platform/os/SingleInstance.h"

using namespace tv::os;
using tv::os::testing::ScratchDir;

namespace {

// Runs AcquireSingleInstance(name) in a child process that keeps whatever it got until
// Release() is called.
class LockHolder {
 public:
  explicit LockHolder(const std::string& name) {
    int toParent[2], toChild[2];
    if (pipe(toParent) != 0 || pipe(toChild) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(toParent[0]);
      close(toChild[1]);
      char got = AcquireSingleInstance(AnsiString(name)) ? '1' : '0';
      (void)!write(toParent[1], &got, 1);
      char c;
      (void)!read(toChild[0], &c, 1);  // returns when the parent closes its end
      _exit(0);
    }
    close(toParent[1]);
    close(toChild[0]);
    release_ = toChild[1];
    char got = '?';
    (void)!read(toParent[0], &got, 1);
    close(toParent[0]);
    acquired_ = got == '1';
  }
  ~LockHolder() { Release(); }
  bool acquired() const { return acquired_; }
  void Release() {
    if (pid_ <= 0) return;
    close(release_);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool acquired_ = false;
};

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("XDG_RUNTIME_DIR");
    if (old) oldRuntime_ = old, hadRuntime_ = true;
    setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
    name_ = "tallivar-p.exe";
  }
  void TearDown() override {
    ReleaseSingleInstance(AnsiString(name_));
    if (hadRuntime_)
      setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }
  ScratchDir dir_;
  std::string name_;
  std::string oldRuntime_;
  bool hadRuntime_ = false;
};

}  // namespace

TEST_F(SingleInstanceTest, SecondProcessIsRefusedUntilTheFirstEnds) {
  EXPECT_EQ(SingleInstanceLockPath(AnsiString(name_)).str(), dir_ / "tallivar-p.exe.lock");
  {
    LockHolder other(name_);
    ASSERT_TRUE(other.acquired());
    EXPECT_FALSE(AcquireSingleInstance(AnsiString(name_)));
    // another name is another lock
    EXPECT_TRUE(AcquireSingleInstance(AnsiString("otro")));
    ReleaseSingleInstance(AnsiString("otro"));
  }
  EXPECT_TRUE(AcquireSingleInstance(AnsiString(name_)));
  EXPECT_TRUE(AcquireSingleInstance(AnsiString(name_))) << "taking it again in the same process";
  LockHolder late(name_);
  EXPECT_FALSE(late.acquired());
}

TEST_F(SingleInstanceTest, ProgramsWeLaunchDoNotKeepTheLock) {
  ASSERT_TRUE(AcquireSingleInstance(AnsiString(name_)));
  ASSERT_TRUE(LaunchProgram("sleep", {AnsiString("1")}));
  ReleaseSingleInstance(AnsiString(name_));
  LockHolder next(name_);
  EXPECT_TRUE(next.acquired()) << "the launched program inherited the lock";
}

TEST(SingleInstanceFallback, UsesTmpWithTheUserIdWithoutRuntimeDir) {
  const char* old = getenv("XDG_RUNTIME_DIR");
  std::string saved = old ? old : "";
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(SingleInstanceLockPath("tallivar-p.exe").str(),
            "/tmp/tallivar-p.exe-" + std::to_string(getuid()) + ".lock");
  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

TEST(ProgramDir, IsTheFolderOfTheExecutableAndCanBeOverridden) {
  std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  std::string dir = exe.substr(0, exe.rfind('/') + 1);
  EXPECT_EQ(GetExeDir().str(), dir);
  EXPECT_EQ(ParamStr(0).str(), exe);

  SetProgramDirForTests("/srv/instalacion");
  EXPECT_EQ(GetExeDir().str(), "/srv/instalacion/");
  SetProgramDirForTests("");
  EXPECT_EQ(GetExeDir().str(), dir);
}

TEST(CommandLine, ParamStrAndParamCount) {
  char a0[] = "tallivar", a1[] = "reparar", a2[] = "ruta con espacio";
  char* argv[] = {a0, a1, a2};
  InitCommandLine(3, argv);
  EXPECT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(1).str(), "reparar");
  EXPECT_EQ(ParamStr(2).str(), "ruta con espacio");
  EXPECT_EQ(ParamStr(3).str(), "");
  EXPECT_EQ(ParamStr(-1).str(), "");
  InitCommandLine(1, argv);
  EXPECT_EQ(ParamCount(), 0);
}

TEST(Beep, GoesThroughTheHookWhenOneIsSet) {
  MessageBeep(0x30);  // no hook: nothing happens
  int beeps = 0;
  SetBeepHook([&] { ++beeps; });
  MessageBeep(0x30);
  MessageBeep();
  SetBeepHook(nullptr);
  MessageBeep();
  EXPECT_EQ(beeps, 2);
}

TEST(BuildVersion, IsTheProjectVersion) {
  EXPECT_TRUE(
      ::testing::internal::RE::FullMatch(GetBuildVersion().str(), "[0-9]+\\.[0-9]+\\.[0-9]+"))
      << GetBuildVersion().str();
}
