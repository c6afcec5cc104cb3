#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/Files.h"
#include "platform/os/OsTestUtil.h"

using namespace tv::os;
using tv::os::testing::ReadText;
using tv::os::testing::ScratchDir;
using tv::os::testing::WriteText;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> Names(const std::vector<AnsiString>& v) {
  std::vector<std::string> out;
  for (const auto& s : v) out.push_back(s.str());
  return out;
}
}  // namespace

TEST(MatchesMask, WildcardsIgnoreCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"MVT.db", "*.db", true},
      {"mvt.DB", "*.db", true},
      {"mvt.dbx", "*.db", false},
      {"mvt.px", "*.db", false},
      {"_QSQ001.db", "_qsq*", true},
      {"a_qsq", "_qsq*", false},
      {"LEEME", "*.*", true},
      {"data.ini", "DATA.INI", true},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"año.txt", "a?o.txt", true},
      {"a.b.c", "*.c", true},
      {"x", "*", true},
      {"", "*", true},
      {"abcabd", "*abd", true},
      {"abcab", "*abd", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " vs " << c.mask;
}

TEST(Files, ListFolderByMaskAndKind) {
  ScratchDir d;
  for (const char* n : {"MVT.db", "pl.DB", "_qsq01.db", "_QSQ02.tmp", "Data.ini", "notas.txt"})
    WriteText(d / n, "x");
  fs::create_directory(d / "sub.db");

  EXPECT_EQ(Names(ListFolder(d.path(), "*.db")),
            (std::vector<std::string>{"MVT.db", "_qsq01.db", "pl.DB"}));
  EXPECT_EQ(Names(ListFolder(d.path(), "_qsq*")),
            (std::vector<std::string>{"_QSQ02.tmp", "_qsq01.db"}));
  EXPECT_EQ(Names(ListFolder(d.path(), "*.db", EntryKind::Folders)),
            (std::vector<std::string>{"sub.db"}));
  EXPECT_EQ(ListFolder(d.path(), "*", EntryKind::Any).size(), 7u);
  EXPECT_TRUE(ListFolder(d / "falta", "*").empty());
}

TEST(Files, CaseInsensitiveNameResolution) {
  ScratchDir d;
  WriteText(d / "Data.ini", "x");
  EXPECT_EQ(FindFileNameCI(d.path(), "data.ini").str(), "Data.ini");
  EXPECT_EQ(FindFileNameCI(d.path(), "DATA.INI").str(), "Data.ini");
  EXPECT_EQ(FindFileNameCI(d.path(), "otro.ini").str(), "");
  EXPECT_EQ(ResolveFileCI(d.path(), "data.ini").str(), d / "Data.ini");
  EXPECT_EQ(ResolveFileCI(d.path() + "/", "nuevo.ini").str(), d / "nuevo.ini");
  EXPECT_EQ(ResolvePathCI(d / "DATA.ini").str(), d / "Data.ini");
  EXPECT_EQ(ResolvePathCI(d / "nada.ini").str(), d / "nada.ini");

  // an exact spelling wins when both exist
  WriteText(d / "data.ini", "y");
  EXPECT_EQ(FindFileNameCI(d.path(), "data.ini").str(), "data.ini");
  EXPECT_EQ(FindFileNameCI(d.path(), "Data.ini").str(), "Data.ini");
}

TEST(Files, ExistenceCreationAndDeletion) {
  ScratchDir d;
  WriteText(d / "f.txt", "x");
  EXPECT_TRUE(FileExists(d / "f.txt"));
  EXPECT_FALSE(FileExists(d.path()));
  EXPECT_TRUE(DirectoryExists(d.path()));
  EXPECT_FALSE(DirectoryExists(d / "f.txt"));
  EXPECT_FALSE(FileExists(""));

  EXPECT_FALSE(CreateDir(d / "a/b")) << "parent missing";
  EXPECT_TRUE(ForceDirectories(d / "a/b/c"));
  EXPECT_TRUE(ForceDirectories(d / "a/b/c")) << "already there";
  EXPECT_FALSE(CreateDir(d / "a")) << "already there";
  EXPECT_TRUE(CreateDir(d / "a/d"));
  EXPECT_FALSE(ForceDirectories(d / "f.txt/x"));

  EXPECT_FALSE(DeleteFile(d / "a")) << "folders are not deleted";
  EXPECT_TRUE(DirectoryExists(d / "a"));
  EXPECT_TRUE(DeleteFile(d / "f.txt"));
  EXPECT_FALSE(DeleteFile(d / "f.txt"));

  // names in another letter case, as the application spells "Data.ini" and "data.ini"
  WriteText(d / "Data.ini", "x");
  EXPECT_TRUE(FileExists(d / "data.ini"));
  EXPECT_TRUE(FileExists(d / "DATA.INI"));
  EXPECT_FALSE(FileExists(d / "data.ini.bak"));
  EXPECT_FALSE(FileExists(d / "A")) << "a folder in another case is still a folder";
  WriteText(d / "data.ini", "y");
  EXPECT_TRUE(DeleteFile(d / "data.ini")) << "the exact spelling goes first";
  EXPECT_EQ(ReadText(d / "Data.ini"), "x");
  EXPECT_TRUE(DeleteFile(d / "data.ini"));
  EXPECT_FALSE(FileExists(d / "Data.ini"));
}

TEST(Files, RenameNeverReplacesAnExistingFile) {
  ScratchDir d;
  WriteText(d / "a.txt", "A");
  WriteText(d / "b.txt", "B");
  EXPECT_FALSE(RenameFile(d / "a.txt", d / "b.txt"));
  EXPECT_EQ(ReadText(d / "b.txt"), "B");
  EXPECT_TRUE(RenameFile(d / "a.txt", d / "c.txt"));
  EXPECT_FALSE(FileExists(d / "a.txt"));
  EXPECT_EQ(ReadText(d / "c.txt"), "A");
  EXPECT_FALSE(RenameFile(d / "a.txt", d / "e.txt"));
}

TEST(Files, CopyFileOverwriteAndErrors) {
  ScratchDir d;
  std::string binary("uno\r\ndos\0tres", 13);
  WriteText(d / "src.db", binary);
  WriteText(d / "dst.db", "viejo");

  AnsiString err;
  EXPECT_FALSE(CopyFile(d / "src.db", d / "dst.db", false, &err));
  EXPECT_FALSE(err.IsEmpty());
  EXPECT_EQ(ReadText(d / "dst.db"), "viejo");

  EXPECT_TRUE(CopyFile(d / "src.db", d / "dst.db", true, &err));
  EXPECT_EQ(ReadText(d / "dst.db"), binary);

  err = "";
  EXPECT_FALSE(CopyFile(d / "falta.db", d / "x.db", true, &err));
  EXPECT_NE(err.str().find("No such file"), std::string::npos) << err.str();
  EXPECT_FALSE(CopyFile(d / "src.db", d / "nocarpeta/x.db", true, &err));

  // a copy onto itself must not truncate the file
  EXPECT_FALSE(CopyFile(d / "src.db", d / "src.db", true, &err));
  EXPECT_EQ(ReadText(d / "src.db"), binary);
}

TEST(Files, ExpandFileNameAndWorkingFolder) {
  ScratchDir d;
  fs::create_directory(d / "sub");
  std::string canonical = fs::canonical(d.path()).string();
  AnsiString before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(d.path()));
  EXPECT_EQ(GetCurrentDir().str(), canonical);
  EXPECT_EQ(ExpandFileName("sub/../LogError.txt").str(), canonical + "/LogError.txt");
  EXPECT_EQ(ExpandFileName("/a/./b/../c").str(), "/a/c");
  EXPECT_FALSE(SetCurrentDir(d / "falta"));
  ASSERT_TRUE(SetCurrentDir(before));
}
