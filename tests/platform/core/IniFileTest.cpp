#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/core/TempDir.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  TempDir dir;
};

TEST_F(IniFileTest, RoundTripWithAccentsIsWindows1252OnDisk) {
  std::string name = dir.File("data.ini");
  {
    TIniFile ini(name);
    ini.WriteString("ACTION", "titulo1", "Alcaldía de Peñol");
    ini.WriteBool("ACTION", "Exit", true);
    ini.WriteInteger("ALGORITMO", "exigirOpAsociada", 0);
  }
  EXPECT_EQ(TempDir::Read(name),
            "[ACTION]\r\ntitulo1=Alcald\xED" "a de Pe\xF1ol\r\nExit=1\r\n\r\n[ALGORITMO]\r\nexigirOpAsociada=0\r\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("action", "TITULO1", ""), "Alcaldía de Peñol");
  EXPECT_TRUE(ini.ReadBool("Action", "exit", false));
  EXPECT_FALSE(ini.ReadBool("ALGORITMO", "exigiropasociada", true));
  EXPECT_EQ(ini.ReadString("ACTION", "rutaLogo", "STR"), "STR");
  EXPECT_EQ(ini.ReadString("NADA", "x", ""), "");
}

TEST_F(IniFileTest, TypedReadsFallBackToTheDefault) {
  std::string name = dir.File("t.ini");
  TempDir::Write(name, "[S]\nuno = 1 \ndos=2\ncero=0\ntexto=abc\nreal=1,5\nvacio=\ncita=\" a \"\n");
  TIniFile ini(name);
  struct Case {
    const char* key;
    int asInt;
    bool asBoolDefTrue, asBoolDefFalse;
  } cases[] = {
      {"uno", 1, true, true},     {"dos", 2, true, true},     {"cero", 0, false, false},
      {"texto", -1, true, false}, {"real", -1, true, true},   {"vacio", -1, true, false},
      {"falta", -1, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.asInt) << c.key;
    EXPECT_EQ(ini.ReadBool("S", c.key, true), c.asBoolDefTrue) << c.key;
    EXPECT_EQ(ini.ReadBool("S", c.key, false), c.asBoolDefFalse) << c.key;
  }
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "real", 0), 1.5);
  EXPECT_EQ(ini.ReadString("S", "cita", ""), " a ");
  EXPECT_TRUE(ini.ValueExists("s", "VACIO"));
  EXPECT_FALSE(ini.ValueExists("s", "falta"));
}

TEST_F(IniFileTest, WritesKeepOtherLinesInOrder) {
  std::string name = dir.File("k.ini");
  TempDir::Write(name, "; comentario\r\n[Uno]\r\nA=1\r\nB=2\r\n\r\n[Dos]\r\nC=3\r\n");
  TIniFile ini(name);
  ini.WriteString("uno", "b", "nuevo");
  ini.WriteString("UNO", "Z", "9");
  ini.WriteString("Dos", "D", "4");
  EXPECT_EQ(TempDir::Read(name),
            "; comentario\r\n[Uno]\r\nA=1\r\nB=nuevo\r\nZ=9\r\n\r\n[Dos]\r\nC=3\r\nD=4\r\n");

  TStringList keys;
  ini.ReadSection("uno", &keys);
  EXPECT_EQ(keys.Text(), "A\nB\nZ\n");
  ini.ReadSections(&keys);
  EXPECT_EQ(keys.Text(), "Uno\nDos\n");
  ini.ReadSectionValues("Dos", &keys);
  EXPECT_EQ(keys.Text(), "C=3\nD=4\n");

  ini.DeleteKey("Uno", "a");
  ini.EraseSection("dos");
  EXPECT_EQ(TempDir::Read(name), "; comentario\r\n[Uno]\r\nB=nuevo\r\nZ=9\r\n\r\n");
  EXPECT_FALSE(ini.SectionExists("Dos"));
  EXPECT_TRUE(ini.SectionExists("uno"));
}

TEST_F(IniFileTest, ReadsUtf8AndFindsTheNameInAnotherCase) {
  TempDir::Write(dir.File("Data.ini"), "[ACTION]\nbanco=Bogotá\n");
  TIniFile ini(dir.File("data.ini"));
  EXPECT_EQ(ini.ReadString("ACTION", "banco", ""), "Bogotá");
  ini.WriteString("ACTION", "banco", "Peñol");
  EXPECT_FALSE(std::filesystem::exists(dir.File("data.ini")));
  EXPECT_EQ(TempDir::Read(dir.File("Data.ini")), "[ACTION]\r\nbanco=Pe\xF1ol\r\n");
}

TEST_F(IniFileTest, WriteFailureRaises) {
  TIniFile ini(dir.File("no/such/folder/x.ini"));
  EXPECT_THROW(ini.WriteString("A", "b", "c"), EFCreateError);
  EXPECT_EQ(ini.ReadString("A", "b", "def"), "def");
}

// A write that runs out of room (file size limit standing in for a full disk) keeps the
// old file whole.
TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
  std::string name = dir.File("data.ini");
  TIniFile ini(name);
  ini.WriteString("ACTION", "titulo1", "uno");
  std::string before = TempDir::Read(name);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 10;
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(ini.WriteString("ACTION", "titulo2", std::string(100, 'x')), EFCreateError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(TempDir::Read(name), before);
  EXPECT_FALSE(std::filesystem::exists(name + ".tmp~"));
}

// When the file beside cannot be made (here a folder stands in its name), the write is
// refused and the old file is never rewritten in place, even when room runs out.
TEST_F(IniFileTest, WriteWithoutRoomBesideKeepsTheFile) {
  std::string name = dir.File("data.ini");
  TIniFile ini(name);
  for (int k = 0; k < 200; ++k) ini.WriteString("ACTION", "clave" + IntToStr(k), "valor largo de la clave");
  std::string before = TempDir::Read(name);
  std::filesystem::create_directory(name + ".tmp~");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(ini.WriteString("ACTION", "clave5", "otro"), EFCreateError);
  EXPECT_THROW(ini.EraseSection("ACTION"), EFCreateError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(TempDir::Read(name), before);
}

}  // namespace
