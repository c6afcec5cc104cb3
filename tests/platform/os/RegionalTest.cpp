#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>

#include "platform/core/SysUtils.h"
#include "platform/os/Files.h"
#include "platform/os/OsTestUtil.h"
#include "platform/os/Regional.h"

using namespace tv::os;
using tv::os::testing::ReadText;
using tv::os::testing::ScratchDir;
using tv::os::testing::WriteText;

namespace {
class RegionalTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("TALLIVAR_CONFIG_DIR", (dir_ / "conf").c_str(), 1); }
  void TearDown() override {
    unsetenv("TALLIVAR_CONFIG_DIR");
    ResetFormatSettings();
  }
  std::string File() const { return dir_ / "conf/regional.ini"; }
  ScratchDir dir_;
};
}  // namespace

TEST_F(RegionalTest, SpanishColombiaDefaultsWithoutAFile) {
  EXPECT_EQ(RegionalSettingsPath().str(), File());
  EXPECT_EQ(GetUserDecimalSeparator().str(), ",");
  EXPECT_EQ(GetUserThousandSeparator().str(), ".");
  EXPECT_EQ(GetUserListSeparator().str(), ";");
  EXPECT_EQ(GetUserShortDateFormat().str(), "dd/MM/yyyy");
  EXPECT_EQ(GetUserLongMonthName(3).str(), "marzo");
  EXPECT_EQ(GetUserLongMonthName(9).str(), "septiembre");
  EXPECT_EQ(GetUserShortMonthName(12).str(), "dic");
  EXPECT_EQ(GetUserLongMonthName(13).str(), "");
  EXPECT_FALSE(FileExists(File())) << "reading creates nothing";
}

TEST(RegionalPath, FollowsXdgConfigHomeThenHome) {
  unsetenv("TALLIVAR_CONFIG_DIR");
  const char* oldXdg = getenv("XDG_CONFIG_HOME");
  std::string savedXdg = oldXdg ? oldXdg : "";
  setenv("XDG_CONFIG_HOME", "/x/conf", 1);
  EXPECT_EQ(RegionalSettingsPath().str(), "/x/conf/tallivar/regional.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RegionalSettingsPath().str(),
            std::string(getenv("HOME")) + "/.config/tallivar/regional.ini");
  if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
}

TEST_F(RegionalTest, SettersPersistAndReachTheFormatSettings) {
  ASSERT_TRUE(SetUserShortDateFormat("M/d/yyyy"));
  ASSERT_TRUE(SetUserDecimalSeparator("."));
  ASSERT_TRUE(SetUserThousandSeparator(","));
  ASSERT_TRUE(SetUserListSeparator(","));
  EXPECT_EQ(ShortDateFormat.str(), "M/d/yyyy");
  EXPECT_EQ(DecimalSeparator, '.');
  EXPECT_EQ(ThousandSeparator, ',');
  EXPECT_EQ(ListSeparator, ',');

  std::string text = ReadText(File());
  EXPECT_NE(text.find("ShortDateFormat=M/d/yyyy\n"), std::string::npos) << text;
  EXPECT_NE(text.find("DecimalSeparator=.\n"), std::string::npos) << text;

  // the program's start-up switches the short date back and restores the old one at exit
  AnsiString old = GetUserShortDateFormat();
  ASSERT_TRUE(SetUserShortDateFormat("dd/MM/yyyy"));
  EXPECT_EQ(GetUserShortDateFormat().str(), "dd/MM/yyyy");
  ASSERT_TRUE(SetUserShortDateFormat(old));
  EXPECT_EQ(GetUserShortDateFormat().str(), "M/d/yyyy");
  EXPECT_EQ(GetUserDecimalSeparator().str(), ".") << "other keys kept";
}

TEST_F(RegionalTest, RefusesValuesThatWouldBreakTheFile) {
  for (const char* bad : {"", "a\nb", "x\r"}) {
    EXPECT_FALSE(SetUserDecimalSeparator(bad)) << bad;
    EXPECT_FALSE(SetUserShortDateFormat(bad)) << bad;
  }
  EXPECT_EQ(GetUserDecimalSeparator().str(), ",");
}

TEST_F(RegionalTest, ReadsAnEditedFileAndKeepsDefaultsForTheRest) {
  ASSERT_TRUE(SetUserListSeparator(","));
  // edited by hand (or by another copy): blank thousands separator, CRLF, comments,
  // unknown keys and another section
  WriteText(File(),
            "; ajustes\r\n[Regional]\r\nThousandSeparator= \r\nShortDateFormat=dd-MM-yyyy\r\n"
            "Desconocida=1\r\nLongMonthName1=ENERO\r\n[Otra]\r\nDecimalSeparator=x\r\n");
  EXPECT_EQ(GetUserThousandSeparator().str(), " ");
  EXPECT_EQ(GetUserShortDateFormat().str(), "dd-MM-yyyy");
  EXPECT_EQ(GetUserDecimalSeparator().str(), ",");
  EXPECT_EQ(GetUserListSeparator().str(), ";") << "the file was replaced";

  ApplyRegionalSettings();
  EXPECT_EQ(ThousandSeparator, ' ');
  EXPECT_EQ(DecimalSeparator, ',');
  EXPECT_EQ(ListSeparator, ';');
  EXPECT_EQ(ShortDateFormat.str(), "dd-MM-yyyy");
  EXPECT_EQ(DateSeparator, '-');
  EXPECT_EQ(LongMonthNames[0].str(), "ENERO");
  EXPECT_EQ(LongMonthNames[2].str(), "marzo");
  EXPECT_EQ(ShortMonthNames[1].str(), "feb");
}

TEST_F(RegionalTest, AnUnwritableLocationFailsTheSetter) {
  WriteText(dir_ / "conf", "a file where the folder should be");
  EXPECT_FALSE(SetUserShortDateFormat("d/M/yyyy"));
  EXPECT_EQ(GetUserShortDateFormat().str(), "dd/MM/yyyy");
}

// Numbers written into SQL through a C++ stream keep '.' and six significant digits
// whatever separators the regional settings give the program.
TEST_F(RegionalTest, StreamOutputOfNumbersIsNotTouched) {
  WriteText(File(), "[Regional]\nDecimalSeparator=,\nThousandSeparator=.\n");
  ApplyRegionalSettings();
  ASSERT_EQ(DecimalSeparator, ',');
  std::ostringstream sql;
  float icd = 1234567.0f;
  sql << "where icd=" << icd << " and valor=" << 1234.5678 << " and n=" << 100.0 << " and t=" << AnsiString("x");
  EXPECT_EQ(sql.str(), "where icd=1.23457e+06 and valor=1234.57 and n=100 and t=x");
  EXPECT_EQ(Format("%.2f", 2.5).str(), "2.50");
}
