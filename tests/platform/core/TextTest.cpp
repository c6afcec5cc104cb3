#include <gtest/gtest.h>

#include "platform/core/Classes.h"
#include "platform/core/Encoding.h"
#include "platform/core/SysUtils.h"

namespace {

TEST(AnsiStringTest, CountsCharactersNotBytes) {
  AnsiString s = "Año niño";
  EXPECT_EQ(s.Length(), 8);
  EXPECT_EQ(s.ByteLength(), 10);
  EXPECT_EQ(s[2], U'ñ');
  EXPECT_EQ(s[8], U'o');
  EXPECT_THROW(s[9], EOutOfRange);
  EXPECT_THROW(s[0], EOutOfRange);
  EXPECT_EQ(s.Pos("ñ"), 2);
  EXPECT_EQ(s.Pos("niño"), 5);
  EXPECT_EQ(s.Pos("x"), 0);
  EXPECT_EQ(s.Pos(""), 0);
  EXPECT_EQ(s.LastDelimiter("ñ "), 7);
}

TEST(AnsiStringTest, SubStringClampsLikeTheOriginal) {
  const AnsiString s = "Añoñ";
  struct Case {
    int start, count;
    const char* want;
  } cases[] = {
      {1, 2, "Añ"}, {2, 1, "ñ"},   {0, 2, "Añ"},  {-3, 1, "A"}, {3, 100, "oñ"},
      {4, 1, "ñ"},  {5, 1, ""},    {2, 0, ""},    {2, -1, ""},  {1, 4, "Añoñ"},
  };
  for (const Case& c : cases) EXPECT_EQ(s.SubString(c.start, c.count), c.want) << c.start << "," << c.count;
}

TEST(AnsiStringTest, EditingByCharacter) {
  AnsiString s = "Año";
  s.Insert("x", 3);
  EXPECT_EQ(s, "Añxo");
  s.Insert("<", 0).Insert(">", 99);
  EXPECT_EQ(s, "<Añxo>");
  s.Delete(3, 2);
  EXPECT_EQ(s, "<Ao>");
  s.Delete(0, 5).Delete(10, 1);
  EXPECT_EQ(s, "<Ao>");
  AnsiString t = "ñu";
  EXPECT_EQ(t.SetLength(4), "ñu  ");
  EXPECT_EQ(t.SetLength(1), "ñ");
  EXPECT_EQ(AnsiString::StringOfChar(' ', 3), "   ");
}

TEST(AnsiStringTest, CaseAndTrim) {
  EXPECT_EQ(UpperCase("ñandú abc"), "ñANDú ABC");  // ASCII only
  EXPECT_EQ(AnsiString("Ñandú ABC").LowerCase(), "Ñandú abc");
  EXPECT_EQ(AnsiUpperCase("ñandú, pingüino, ó"), "ÑANDÚ, PINGÜINO, Ó");
  EXPECT_EQ(AnsiLowerCase("ÑANDÚ É"), "ñandú é");
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_TRUE(SameText("Niño", "NIÑO"));
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_EQ(AnsiString("b").AnsiCompareIC("A"), 1);
  EXPECT_NE(AnsiCompareStr("a", "A"), 0);
}

TEST(AnsiStringTest, ReplaceQuoteAndPaths) {
  EXPECT_EQ(StringReplace("1,5,6", ",", ".", false), "1.5,6");
  EXPECT_EQ(StringReplace("1,5,6", ",", "."), "1.5.6");
  EXPECT_EQ(StringReplace("Año AÑO", "año", "x", true, true), "x x");
  EXPECT_EQ(QuotedStr("O'Neil"), "'O''Neil'");
  EXPECT_EQ(ExtractFileName("/a/b/Data.ini"), "Data.ini");
  EXPECT_EQ(ExtractFilePath("/a/b/Data.ini"), "/a/b/");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFileExt("/a/c.db"), ".db");
  EXPECT_EQ(ChangeFileExt("/a/c.db", ".px"), "/a/c.px");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
}

TEST(AnsiStringTest, PrintfFormattingIgnoresTheDecimalSetting) {
  ResetFormatSettings();
  EXPECT_EQ(Format("Saldos desiguales %.2f vs %.2f", 1.5, 2.0), "Saldos desiguales 1.50 vs 2.00");
  long double a = 10.126L, b = 3;
  EXPECT_EQ(AnsiString::Format("Saldos desiguales %.2Lf vs %.2Lf", a, b), "Saldos desiguales 10.13 vs 3.00");
  const AnsiString fecha = "05/03/2021";
  AnsiString s;
  s.sprintf("Fecha original del documento=%s, desea conservarla?", fecha.c_str());
  EXPECT_EQ(s, "Fecha original del documento=05/03/2021, desea conservarla?");
  s.cat_sprintf(" %05d", 42);
  EXPECT_EQ(s.SubString(s.Length() - 5, 6), " 00042");
  std::string longText(1000, 'x');
  EXPECT_EQ(Format("%s", longText.c_str()).Length(), 1000);
}

TEST(EncodingTest, Windows1252RoundTrip) {
  struct Case {
    const char* utf8;
    const char* cp1252;
  } cases[] = {
      {"ñÑáéíóúü", "\xF1\xD1\xE1\xE9\xED\xF3\xFA\xFC"},
      {"€‚ƒ„…†‡ˆ‰Š‹ŒŽ", "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"},
      {"‘’“”•–—˜™š›œžŸ", "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
      {"plain ASCII\r\n", "plain ASCII\r\n"},
      {"\xC2\xA0\xC2\xBF\xC3\xBF", "\xA0\xBF\xFF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tv::encoding::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(tv::encoding::Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
  }
  EXPECT_EQ(tv::encoding::Utf8ToCp1252("a中b"), "a?b");
}

TEST(EncodingTest, DetectsUtf8) {
  EXPECT_TRUE(tv::encoding::IsValidUtf8("año €"));
  EXPECT_FALSE(tv::encoding::IsValidUtf8("a\xF1o"));
  EXPECT_FALSE(tv::encoding::IsValidUtf8("\xC0\xAF"));  // overlong
  EXPECT_EQ(tv::encoding::DecodeFileText("a\xF1o"), "año");
  EXPECT_EQ(tv::encoding::DecodeFileText("\xEF\xBB\xBF" "año"), "año");
  // a stray byte inside UTF-8 text still counts as one character
  EXPECT_EQ(AnsiString("a\xF1o").Length(), 3);
}

}  // namespace

namespace {
TEST(AnsiStringTest, NumbersAndCharactersJoinAsText) {
  ResetFormatSettings();
  int anio = 2021;
  AnsiString s = "Año " + AnsiString();
  s += anio;
  EXPECT_EQ(s, "Año 2021");
  EXPECT_EQ(AnsiString("n=") + 5 + 'x', "n=5x");
  EXPECT_EQ(7u + AnsiString("."), "7.");
  EXPECT_EQ(AnsiString("v=") + 1.5, "v=1,5");
  AnsiString t = "Peña";
  EXPECT_EQ(AnsiString() + t[3], "ñ");
}

TEST(AnsiStringTest, ACharacterConvertsToItselfNotToItsCode) {
  ResetFormatSettings();  // DecimalSeparator ','
  AnsiString amount = "1234,5";
  AnsiString sep = DecimalSeparator;
  EXPECT_EQ(sep, ",");
  EXPECT_EQ(amount.Pos(DecimalSeparator), 5);
  EXPECT_EQ(Pos(DecimalSeparator, amount), 5);
  EXPECT_TRUE(amount.SubString(5, 1) == DecimalSeparator);
  AnsiString name = "Peña";
  AnsiString enie = name[3];
  EXPECT_EQ(enie, "ñ");
  EXPECT_EQ(name.Pos(name[3]), 3);
  TStringList l;
  l.Add(':');
  EXPECT_EQ(l[0], ":");
}
}  // namespace
