#include <gtest/gtest.h>

#include "platform/core/SysUtils.h"

namespace {

class DatesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
  static int ThisYear() {
    unsigned short y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
  }
};

TEST_F(DatesTest, DayNumbersAndCalendar) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).Val, 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1).Val, 2);
  EXPECT_EQ(EncodeDate(1980, 1, 1).Val, 29221);
  EXPECT_EQ(EncodeDate(2021, 3, 5).Val, 44260);
  EXPECT_EQ(DateToStr(TDateTime(0.0)), "30/12/1899");
  EXPECT_EQ(DateToStr(TDateTime(-1.25)), "29/12/1899");
  EXPECT_EQ(TimeToStr(TDateTime(-1.25)), "06:00:00");
  EXPECT_EQ(DayOfWeek(EncodeDate(2021, 3, 5)), 6);  // Friday
  EXPECT_EQ(DayOfWeek(TDateTime(0.0)), 7);          // Saturday
  EXPECT_EQ(DayOfWeek(TDateTime(1.0)), 1);          // Sunday
  EXPECT_EQ(DateToStr(EncodeDate(2021, 3, 1) - 1), "28/02/2021");

  struct Leap {
    int year;
    bool leap;
  } years[] = {{2000, true}, {1900, false}, {2024, true}, {2023, false}, {2100, false}, {1600, true}};
  for (const Leap& c : years) {
    EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
    EXPECT_EQ(DaysInAMonth(c.year, 2), c.leap ? 29 : 28) << c.year;
  }
  EXPECT_EQ(DaysInAMonth(2021, 4), 30);
  EXPECT_EQ(DaysInAMonth(2021, 12), 31);

  TDateTime d;
  EXPECT_FALSE(TryEncodeDate(2021, 2, 29, d));
  EXPECT_FALSE(TryEncodeDate(2021, 13, 1, d));
  EXPECT_FALSE(TryEncodeDate(2021, 0, 1, d));
  EXPECT_THROW(EncodeDate(2021, 4, 31), EConvertError);
  EXPECT_THROW(TDateTime(2021, 2, 30), EConvertError);

  unsigned short y, m, dd;
  DecodeDate(EncodeDate(2024, 2, 29), y, m, dd);
  EXPECT_EQ(y, 2024);
  EXPECT_EQ(m, 2);
  EXPECT_EQ(dd, 29);
  EXPECT_EQ(DateToStr(IncMonth(EncodeDate(2021, 1, 31))), "28/02/2021");
  EXPECT_EQ(DateToStr(IncMonth(EncodeDate(2021, 1, 31), -2)), "30/11/2020");
}

TEST_F(DatesTest, StrToDateUnderTheShortFormat) {
  struct Case {
    const char* text;
    int y, m, d;
  } good[] = {
      {"5/3/2021", 2021, 3, 5},    {"05/03/2021", 2021, 3, 5}, {" 05/03/2021 ", 2021, 3, 5},
      {"29/02/2024", 2024, 2, 29}, {"31/12/1999", 1999, 12, 31}, {"1/1/1900", 1900, 1, 1},
      {"5/3/21", 2021, 3, 5},
  };
  for (const Case& c : good) EXPECT_EQ(StrToDate(c.text).Val, EncodeDate(c.y, c.m, c.d).Val) << c.text;
  for (const char* bad : {"31/02/2021", "29/02/2023", "29/02/1900", "00/01/2021", "32/01/2021",
                          "1/13/2021", "abc", "", "5-3-2021", "5/3/2021x", "5//2021", "5/3/", "5"}) {
    TDateTime d;
    EXPECT_FALSE(TryStrToDate(bad, d)) << bad;
    EXPECT_THROW(StrToDate(bad), EConvertError) << bad;
  }
  // day and month only: the current year
  EXPECT_EQ(StrToDate("5/3").Val, EncodeDate(ThisYear(), 3, 5).Val);
  // the month-first order of another pattern
  ShortDateFormat = "mm/dd/yyyy";
  EXPECT_EQ(StrToDate("3/5/2021").Val, EncodeDate(2021, 3, 5).Val);
  DateSeparator = '-';
  EXPECT_EQ(StrToDate("03-05-2021").Val, EncodeDate(2021, 3, 5).Val);
}

TEST_F(DatesTest, TwoDigitYearsLandWithinFiftyYearsOfNow) {
  int now = ThisYear();
  auto parse = [](int yy) {
    unsigned short y, m, d;
    DecodeDate(StrToDate("1/1/" + std::string(yy < 10 ? "0" : "") + std::to_string(yy)), y, m, d);
    return static_cast<int>(y);
  };
  EXPECT_EQ(parse(now % 100), now);
  EXPECT_EQ(parse((now + 49) % 100), now + 49);
  EXPECT_EQ(parse((now + 50) % 100), now - 50);
  EXPECT_EQ(parse((now - 1) % 100), now - 1);
}

TEST_F(DatesTest, StrToDateTimeTakesAnOptionalTime) {
  TDateTime base = EncodeDate(2021, 3, 5);
  struct Case {
    const char* text;
    int h, n, s;
  } good[] = {{"05/03/2021", 0, 0, 0},       {"05/03/2021 14:30", 14, 30, 0},
              {"05/03/2021 14:30:15", 14, 30, 15}, {"5/3/2021 2:30 pm", 14, 30, 0},
              {"5/3/2021 12:05 a.m.", 0, 5, 0}};
  for (const Case& c : good)
    EXPECT_NEAR(StrToDateTime(c.text).Val, base.Val + EncodeTime(c.h, c.n, c.s, 0).Val, 1e-9) << c.text;
  for (const char* bad : {"05/03/2021 25:00", "05/03/2021 10:61", "31/02/2021 10:00", "05/03/2021 x"})
    EXPECT_THROW(StrToDateTime(bad), EConvertError) << bad;
  EXPECT_NEAR(StrToTime("08:15:30").Val, EncodeTime(8, 15, 30, 0).Val, 1e-9);
}

TEST_F(DatesTest, FormatDateTimePatterns) {
  TDateTime t = EncodeDate(2021, 3, 5).Val + EncodeTime(14, 7, 9, 45).Val;
  struct Case {
    const char* format;
    const char* want;
  } cases[] = {
      {"dd/MM/yyyy", "05/03/2021"},
      {"yyyy_mm_dd", "2021_03_05"},
      {"mm/dd/yyyy", "03/05/2021"},
      {"d/m/yy", "5/3/21"},
      {"dddd d 'de' mmmm", "viernes 5 de marzo"},
      {"ddd mmm", "vie mar"},
      {"hh:nn:ss", "14:07:09"},
      {"hh:mm", "14:07"},
      {"HH:MM", "14:07"},
      {"h:nn am/pm", "2:07 pm"},
      {"h:nn AM/PM", "2:07 PM"},
      {"hh:nn ampm", "02:07 p.m."},
      {"ss.zzz", "09.045"},
      {"\"yyyy\" yyyy", "yyyy 2021"},
      {"c", "05/03/2021 14:07:09"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.want) << c.format;
  EXPECT_EQ(DateTimeToStr(EncodeDate(2021, 3, 5)), "05/03/2021");
  EXPECT_EQ(TimeToStr(t), "14:07:09");
  EXPECT_EQ(t.FormatString("mmmm"), "marzo");
  DateSeparator = '-';
  TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", t), "05-03-2021 14.07");
  EXPECT_EQ(DateToStr(t), "05-03-2021");
}

TEST_F(DatesTest, IsoStorageForm) {
  TDateTime d = EncodeDate(2021, 3, 5);
  EXPECT_EQ(DateToIso(d), "2021-03-05");
  EXPECT_EQ(DateToIso(TDateTime(0.0)), "1899-12-30");
  EXPECT_EQ(IsoToDate("2021-03-05").Val, d.Val);
  EXPECT_NEAR(IsoToDate("2021-03-05 14:30:00").Val, d.Val + EncodeTime(14, 30, 0, 0).Val, 1e-9);
  for (const char* bad : {"2021-02-30", "2021/03/05", "2021-03-05X", "21-03-05", "", "2021-03-05 25:00:00"})
    EXPECT_THROW(IsoToDate(bad), EConvertError) << bad;
}

}  // namespace
