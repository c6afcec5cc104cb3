#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/core/DecimalSum.h"
#include "platform/core/SysUtils.h"

namespace {

class NumbersTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
  static void UsePoint() {
    DecimalSeparator = '.';
    ThousandSeparator = ',';
  }
};

TEST_F(NumbersTest, StrToIntAcceptsWholeNumbersOnly) {
  struct Case {
    const char* text;
    int want;
  } good[] = {{"42", 42}, {" -7 ", -7}, {"+3", 3}, {"$1F", 31}, {"0x10", 16},
              {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const Case& c : good) EXPECT_EQ(StrToInt(c.text), c.want) << c.text;
  for (const char* bad : {"", " ", "abc", "1,5", "1.5", "12a", "2147483648", "- 1", "$"}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    EXPECT_EQ(StrToIntDef(bad, -1), -1) << bad;
  }
  try {
    AnsiString("abc").ToInt();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'abc' no es un valor entero válido");
  }
  EXPECT_EQ(StrToInt64("9000000000"), 9000000000LL);
}

TEST_F(NumbersTest, StrToFloatFollowsTheDecimalSeparator) {
  struct Case {
    char sep;
    const char* text;
    bool ok;
    double want;
  } cases[] = {
      {',', "1,5", true, 1.5},      {',', " 2,25 ", true, 2.25}, {',', "-3", true, -3},
      {',', ",5", true, 0.5},       {',', "1e3", true, 1000},    {',', "1,5E-2", true, 0.015},
      {',', "1.5", false, 0},       {',', "1.234,5", false, 0},  {',', "1,5,6", false, 0},
      {',', ",", false, 0},         {',', "", false, 0},         {',', "abc", false, 0},
      {',', "1e", false, 0},        {'.', "1.5", true, 1.5},     {'.', "-0.25", true, -0.25},
      {'.', "1,5", false, 0},       {'.', "1,234.5", false, 0},
  };
  for (const Case& c : cases) {
    DecimalSeparator = c.sep;
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.sep << " " << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.want) << c.text;
      EXPECT_DOUBLE_EQ(AnsiString(c.text).ToDouble(), c.want);
    } else {
      EXPECT_THROW(StrToFloat(c.text), EConvertError) << c.text;
    }
  }
}

TEST_F(NumbersTest, FloatToStrGeneralFormat) {
  struct Case {
    double v;
    const char* comma;
    const char* point;
  } cases[] = {
      {0, "0", "0"},
      {1.5, "1,5", "1.5"},
      {-1234.5, "-1234,5", "-1234.5"},
      {0.1 + 0.2, "0,3", "0.3"},
      {1.0 / 3, "0,333333333333333", "0.333333333333333"},
      {123456789012345.0, "123456789012345", "123456789012345"},
      {1e15, "1E15", "1E15"},
      {-2.5e20, "-2,5E20", "-2.5E20"},
      {0.00001, "0,00001", "0.00001"},
      {0.0000015, "1,5E-6", "1.5E-6"},
      {100, "100", "100"},
      {1234567.891, "1234567,891", "1234567.891"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToStr(c.v), c.comma) << c.v;
    EXPECT_EQ(AnsiString(c.v), c.comma) << c.v;
  }
  UsePoint();
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.v), c.point) << c.v;
  EXPECT_EQ(FloatToStr(NAN), "NAN");
  EXPECT_EQ(FloatToStr(-INFINITY), "-INF");
}

TEST_F(NumbersTest, FloatToStrF) {
  struct Case {
    double v;
    TFloatFormat f;
    int precision, digits;
    const char* comma;
    const char* point;
  } cases[] = {
      {1234567.891, ffNumber, 15, 2, "1.234.567,89", "1,234,567.89"},
      {-1234567.5, ffNumber, 15, 0, "-1.234.568", "-1,234,568"},
      {999.999, ffNumber, 15, 2, "1.000,00", "1,000.00"},
      {1234.5, ffFixed, 15, 2, "1234,50", "1234.50"},
      {2.675, ffFixed, 15, 2, "2,68", "2.68"},  // half away from zero on the shown digits
      {0.125, ffFixed, 15, 2, "0,13", "0.13"},
      {-0.004, ffFixed, 15, 2, "0,00", "0.00"},
      {1234.5678, ffFixed, 4, 2, "1235,00", "1235.00"},
      {1e20, ffFixed, 15, 2, "1E20", "1E20"},
      {1234.5678, ffGeneral, 6, 0, "1234,57", "1234.57"},
      {1234.5, ffExponent, 4, 2, "1,235E+03", "1.235E+03"},
      {0.5, ffFixed, 15, 0, "1", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.comma) << c.v;
  UsePoint();
  for (const Case& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.point) << c.v;
}

TEST_F(NumbersTest, FormatFloatPatterns) {
  struct Case {
    const char* format;
    double v;
    const char* comma;
    const char* point;
  } cases[] = {
      {"#,##0.00", 1234567.891, "1.234.567,89", "1,234,567.89"},
      {"#,##0.00", -1234.5, "-1.234,50", "-1,234.50"},
      {"#,##0.00", 0, "0,00", "0.00"},
      {"#,##0.00", 0.005, "0,01", "0.01"},
      {"#,##0.00", 1e12, "1.000.000.000.000,00", "1,000,000,000,000.00"},
      {"#,##0", 999.5, "1.000", "1,000"},
      {"#,##0", 12, "12", "12"},
      {"0.00", 2.675, "2,68", "2.68"},
      {"0.00", -0.001, "0,00", "0.00"},
      {"0.##", 5, "5", "5"},
      {"0.##", 5.1, "5,1", "5.1"},
      {"#.##", 0.5, ",5", ".5"},
      {"#", 0, "", ""},
      {"000", 7, "007", "007"},
      {"00.0", 1.25, "01,3", "01.3"},
      {"0", 2.5, "3", "3"},
      {"0", -2.5, "-3", "-3"},
      {"#,##0.00;(#,##0.00)", -1234.5, "(1.234,50)", "(1,234.50)"},
      {"#,##0.00;(#,##0.00);cero", 0, "cero", "cero"},
      {"#,##0.00;;cero", -2, "-2,00", "-2.00"},
      {"\"$\"#,##0", 1234, "$1.234", "$1,234"},
      {"'Total: '0.0 %", 12.34, "Total: 12,3 %", "Total: 12.3 %"},
      {"0.00E+00", 12345, "1,23E+04", "1.23E+04"},
      {"0.0E-0", 0.00012, "1,2E-4", "1.2E-4"},
      {"", 1.5, "1,5", "1.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.format, c.v), c.comma) << c.format << " " << c.v;
  UsePoint();
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.format, c.v), c.point) << c.format << " " << c.v;
}

TEST_F(NumbersTest, IntegerText) {
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(AnsiString(2021), "2021");
}

}  // namespace

namespace {

// What a person types, under each pair of separators: grouped or plain digits, the decimal
// separator, a minus; money rounds half away from zero on the typed digits.
TEST_F(NumbersTest, TypedAmountsUnderEachSetting) {
  struct Case {
    const char* coma;   // decimal ",", thousands "."
    const char* punto;  // the same number with decimal ".", thousands ","
    bool ok;
    double number;      // as read, unrounded
    double amount;      // rounded to cents
  } cases[] = {
      {"1.500.000,50", "1,500,000.50", true, 1500000.5, 1500000.5},
      {"50.000.000", "50,000,000", true, 50000000, 50000000},
      {"1500000,50", "1500000.50", true, 1500000.5, 1500000.5},
      {" -1.234,5 ", " -1,234.5 ", true, -1234.5, -1234.5},
      {"636,945", "636.945", true, 636.945, 636.95},
      {"1090,735", "1090.735", true, 1090.735, 1090.74},
      {"1.090,735", "1,090.735", true, 1090.735, 1090.74},
      {"-636,945", "-636.945", true, -636.945, -636.95},
      {"0,005", "0.005", true, 0.005, 0.01},
      {"0,004", "0.004", true, 0.004, 0},
      {"-0,004", "-0.004", true, -0.004, 0},
      {",5", ".5", true, 0.5, 0.5},
      {"7,", "7.", true, 7, 7},
      {"1.000", "1,000", true, 1000, 1000},
      {"9.999.999.999.999,99", "9,999,999,999,999.99", true, 9999999999999.99, 9999999999999.99},
      {"1.5", "1,5", false, 0, 0},
      {"1.50.000", "1,50,000", false, 0, 0},
      {"1234.567", "1234,567", false, 0, 0},
      {".500", ",500", false, 0, 0},
      {"1..000", "1,,000", false, 0, 0},
      {"1.000.", "1,000,", false, 0, 0},
      {"1.000,5.0", "1,000.5,0", false, 0, 0},
      {"1,5,6", "1.5.6", false, 0, 0},
      {"1e3", "1e3", false, 0, 0},
      {"+5", "+5", false, 0, 0},
      {"- 5", "- 5", false, 0, 0},
      {"--5", "--5", false, 0, 0},
      {"", "", false, 0, 0},
      {",", ".", false, 0, 0},
      {"-", "-", false, 0, 0},
      {"abc", "abc", false, 0, 0},
      {"12a", "12a", false, 0, 0},
  };
  for (bool point : {false, true}) {
    ResetFormatSettings();
    if (point) UsePoint();
    for (const Case& c : cases) {
      const char* text = point ? c.punto : c.coma;
      SCOPED_TRACE(std::string(point ? "punto " : "coma ") + "\"" + text + "\"");
      double n = -99, a = -99;
      EXPECT_EQ(TryStrToNumber(text, n), c.ok);
      EXPECT_EQ(TryStrToAmount(text, a), c.ok);
      if (c.ok) {
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(a, c.amount);  // the very double a literal of the cents gives
        EXPECT_EQ(StrToAmount(text), c.amount);
        EXPECT_FALSE(std::signbit(a) && a == 0);
      } else {
        try {
          StrToAmount(text);
          ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
          EXPECT_EQ(e.Message, "'" + AnsiString(text) + "' no es un valor numérico válido");
        }
        EXPECT_THROW(StrToNumber(text), EConvertError);
      }
    }
  }
}

TEST_F(NumbersTest, RoundToCentsTakesTheDecimalValueNotTheBinaryOne) {
  struct Case {
    double v, want;
  } cases[] = {
      {636.945, 636.95},   {1090.735, 1090.74},   {-636.945, -636.95}, {1.005, 1.01},
      {2.675, 2.68},       {0.125, 0.13},         {0.124999, 0.12},     {1090.74, 1090.74},
      {453.79 + 636.95, 1090.74},                 {0.1 + 0.2, 0.3},     {-0.004, 0},
      {9999999999999.99, 9999999999999.99},       {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundToCents(c.v), c.want) << c.v;
  EXPECT_FALSE(std::signbit(RoundToCents(-0.004)));
}

// A sum keeps every digit of the values as shown: large totals keep their cents.
TEST_F(NumbersTest, DecimalSumKeepsEveryDigitOfTheShownValues) {
  struct Case {
    std::vector<double> values;
    const char* text;
  } cases[] = {
      {{0.1, 0.2}, "0,3"},
      {{1090.74, 453.79, 636.95}, "2181,48"},
      {{9999999999999.99, 9999999999999.99, 0.01}, "19999999999999,99"},
      {std::vector<double>(9, 9999999999999.99), "89999999999999,91"},
      {{-636.95, 636.95}, "0"},
      {{-0.5, 0.25}, "-0,25"},
      {{1e20, 1}, "100000000000000000001"},
      {{}, "0"},
  };
  for (const Case& c : cases) {
    tv::DecimalSum s;
    for (double v : c.values) s.Add(v);
    EXPECT_EQ(s.Text(), c.text);
    EXPECT_EQ(s.Value(), StrToNumber(c.text)) << c.text;
  }
  tv::DecimalSum many;
  for (int i = 0; i < 100000; ++i) many.Add(0.01);
  EXPECT_EQ(many.Text(), "1000");
  UsePoint();
  tv::DecimalSum p;
  p.Add(1234.5);
  EXPECT_EQ(p.Text(), "1234.5");
}

}  // namespace
