#pragma once
// Exceptions, process-wide format settings, number and date conversions.
#include <exception>

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"

// ---- exceptions -------------------------------------------------------------
class Exception : public std::exception {
 public:
  explicit Exception(const AnsiString& msg) : Message(msg) {}
  ~Exception() override = default;
  const char* what() const noexcept override { return Message.c_str(); }
  AnsiString Message;
};

class EConvertError : public Exception { using Exception::Exception; };
class EAbort : public Exception { using Exception::Exception; };        // silent exception
class EInOutError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };   // a file could not be opened
class EFCreateError : public Exception { using Exception::Exception; };
class EOleException : public Exception { using Exception::Exception; }; // spreadsheet export failures
class EOutOfRange : public Exception { using Exception::Exception; };    // list index out of bounds

// Raises EAbort (the silent exception).
[[noreturn]] void Abort();

// ---- format settings (process-wide, set from the regional settings at start-up) ----
extern char DecimalSeparator;
extern char ThousandSeparator;
extern char DateSeparator;
extern char TimeSeparator;
extern char ListSeparator;
extern AnsiString ShortDateFormat;
extern AnsiString LongDateFormat;
extern AnsiString ShortTimeFormat;
extern AnsiString LongTimeFormat;
extern AnsiString TimeAMString;
extern AnsiString TimePMString;
extern AnsiString CurrencyString;
extern AnsiString ShortMonthNames[12];
extern AnsiString LongMonthNames[12];
extern AnsiString ShortDayNames[7];  // index 0 = Sunday
extern AnsiString LongDayNames[7];
// Restores the Spanish (Colombia) defaults with the program's short date "dd/MM/yyyy".
void ResetFormatSettings();

// ---- strings ------------------------------------------------------------------
AnsiString UpperCase(const AnsiString& s);  // ASCII only
AnsiString LowerCase(const AnsiString& s);  // ASCII only
AnsiString AnsiUpperCase(const AnsiString& s);  // also accented Spanish letters
AnsiString AnsiLowerCase(const AnsiString& s);
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
int CompareText(const AnsiString& a, const AnsiString& b);  // case-insensitive; 0 = equal
bool SameText(const AnsiString& a, const AnsiString& b);
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int Pos(const AnsiString& sub, const AnsiString& s);
AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to,
                         bool replaceAll = true, bool ignoreCase = false);
AnsiString QuotedStr(const AnsiString& s);  // 'O''Neil'
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExtractFilePath(const AnsiString& path);  // with trailing '/'
AnsiString ExtractFileName(const AnsiString& path);
AnsiString ExtractFileExt(const AnsiString& path);   // with the dot
AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext);

// ---- numbers ------------------------------------------------------------------
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

AnsiString IntToStr(long long v);
AnsiString IntToHex(long long v, int digits);
int StrToInt(const AnsiString& s);             // EConvertError on bad text
int StrToIntDef(const AnsiString& s, int def);
bool TryStrToInt(const AnsiString& s, int& out);
long long StrToInt64(const AnsiString& s);
// Uses DecimalSeparator; no grouping; blanks around are allowed.
double StrToFloat(const AnsiString& s);        // EConvertError on bad text
double StrToFloatDef(const AnsiString& s, double def);
bool TryStrToFloat(const AnsiString& s, double& out);
// Numbers the user types: digits plain or grouped in threes by ThousandSeparator, an
// optional DecimalSeparator with its fraction, an optional leading minus; blanks around.
// No exponent, no plus sign. EConvertError "'…' no es un valor numérico válido" otherwise.
double StrToNumber(const AnsiString& s);
bool TryStrToNumber(const AnsiString& s, double& out);
// The same text read as money: rounded half away from zero to cents on the typed digits
// ("636,945" is 636.95), so checks, storage, print and words all see one number.
double StrToAmount(const AnsiString& s);
bool TryStrToAmount(const AnsiString& s, double& out);
// A typed amount as a person reads it: the integer digits grouped in threes by
// ThousandSeparator, sign and decimals as typed ("-12345678901,25" → "-12.345.678.901,25").
// Text that is not plain digits with an optional DecimalSeparator comes back unchanged.
AnsiString GroupedAmountText(const AnsiString& s);
// A computed amount rounded to cents half away from zero on its 15-significant-digit
// decimal form (636.945 → 636.95, though the double lies just below the half).
double RoundToCents(double v);
// General format: 15 significant digits, no trailing zeros, scientific for extremes.
AnsiString FloatToStr(double v);
AnsiString FloatToStrF(double v, TFloatFormat format, int precision, int digits);
// Format strings with '0', '#', '.', ',', 'E+', sections separated by ';' and quoted literals.
// Rounds half away from zero on the value's 15 significant digits; a value that rounds to
// zero shows no minus sign.
AnsiString FormatFloat(const AnsiString& format, double v);
// printf-style formatting
AnsiString Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// ---- dates --------------------------------------------------------------------
TDateTime Date();
TDateTime Time();
TDateTime Now();
TDateTime EncodeDate(int year, int month, int day);  // EConvertError on an invalid date
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
void DecodeDate(const TDateTime& d, unsigned short& year, unsigned short& month, unsigned short& day);
void DecodeTime(const TDateTime& d, unsigned short& hour, unsigned short& min, unsigned short& sec,
                unsigned short& msec);
int DayOfWeek(const TDateTime& d);  // 1 = Sunday
bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);
TDateTime IncMonth(const TDateTime& d, int months = 1);

// Parsing follows ShortDateFormat's field order and DateSeparator; 1- or 2-digit day and
// month, 2- or 4-digit year; a two-part date takes the current year. A year written with
// one or two digits falls in [current year - 50, current year + 49]. EConvertError when
// the text is not a valid calendar date ("31/02/2021").
TDateTime StrToDate(const AnsiString& s);
bool TryStrToDate(const AnsiString& s, TDateTime& out);
TDateTime StrToDateDef(const AnsiString& s, const TDateTime& def);
TDateTime StrToDateTime(const AnsiString& s);  // date with an optional time
TDateTime StrToTime(const AnsiString& s);
AnsiString DateToStr(const TDateTime& d);       // ShortDateFormat
AnsiString TimeToStr(const TDateTime& d);       // LongTimeFormat
AnsiString DateTimeToStr(const TDateTime& d);
// Patterns: d dd ddd dddd m mm mmm mmmm (months; minutes after h) yy yyyy h hh n nn s ss
// z zzz am/pm ampm, '/' = DateSeparator, ':' = TimeSeparator, quoted literals.
AnsiString FormatDateTime(const AnsiString& format, const TDateTime& d);
// ISO form "YYYY-MM-DD" used for storage; the inverse throws EConvertError.
AnsiString DateToIso(const TDateTime& d);
TDateTime IsoToDate(const AnsiString& iso);
