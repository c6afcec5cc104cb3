#pragma once
// Date and time as a day count: 0 = 30/12/1899, the fraction is the time of day.
#include <compare>

class AnsiString;

class TDateTime {
 public:
  TDateTime() = default;
  TDateTime(double v) : Val(v) {}
  TDateTime(int year, int month, int day);  // EConvertError on an invalid date

  operator double() const { return Val; }
  AnsiString DateString() const;      // ShortDateFormat
  AnsiString TimeString() const;      // LongTimeFormat
  AnsiString DateTimeString() const;
  AnsiString FormatString(const AnsiString& format) const;
  void DecodeDate(unsigned short* year, unsigned short* month, unsigned short* day) const;
  void DecodeTime(unsigned short* hour, unsigned short* min, unsigned short* sec,
                  unsigned short* msec) const;

  TDateTime& operator+=(double days) { Val += days; return *this; }
  TDateTime& operator-=(double days) { Val -= days; return *this; }
  TDateTime& operator++() { Val += 1; return *this; }
  TDateTime& operator--() { Val -= 1; return *this; }

  double Val = 0;
};
