#pragma once
// Conversions between values and their texts, date-time arithmetic, banker's
// rounding and overflow-checked integer arithmetic.
//
// Every text is built and parsed in the 8-bit system code page: a wide string
// is converted to code page 1254 first and the result widened again, so a
// character that the code page cannot hold shows as '?' (also in the message
// of a failed conversion).

#include "Strings.h"

#include <QChar>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

// Locale data used by the conversions. The date and time formats use the
// letters d, dd, m, mm, yy, yyyy (date) and h, hh, n, nn, s, ss, z, zzz,
// am/pm, a/p, ampm (time); '/' stands for DateSeparator and ':' for
// TimeSeparator; text in single or double quotes is copied as it is.
struct TFormatSettings {
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    // A two-digit year is read as the year within this many years before the
    // current one or fewer than 100 - this many after it (0: current century).
    int TwoDigitYearCenturyWindow = 50;
    // Names for display (a calendar's title and weekday letters): the months
    // January first, the days Sunday first.
    std::array<QString, 12> LongMonthNames = {
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    std::array<QString, 7> ShortDayNames = {
        QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
        QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};

    // The settings of a platform locale, its formats mapped to the letters above.
    static TFormatSettings FromLocale(const QLocale& locale);
};

// The settings every conversion uses unless it is given others. Filled from
// QLocale::system() at start; tests assign it explicitly.
extern TFormatSettings FormatSettings;

// Every conversion error below names the text it refused; a text longer
// than 200 characters is quoted by its first 200 and an ellipsis ("…").

// ---- Integers ----

QString IntToStr(int value);
QString IntToStr(std::int64_t value);
// Decimal digits with an optional sign, nothing else. Raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const QString& text);
std::int64_t StrToInt64(const QString& text);
bool TryStrToInt(const QString& text, int& value);
bool TryStrToInt64(const QString& text, std::int64_t& value);

// ---- Floating point ----

// The general format with 15 significant digits: fixed notation for
// magnitudes from 0.0001 to below 10^15 and for zero, scientific otherwise
// (1E20, 1.5E-10); trailing zeros dropped. NaN and infinities give "NAN",
// "INF" and "-INF".
QString FloatToStr(double value, const TFormatSettings& settings = FormatSettings);
// An optional sign, digits with at most one decimal separator, an optional
// exponent (E or e, optional sign, digits); blanks around it are ignored.
// Nothing else is a number: the "NAN", "INF" and "-INF" that FloatToStr
// writes fail like any other word, and so does a value too large for a
// double. Raises EConvertError
// "'%s' is not a valid floating point value".
double StrToFloat(const QString& text, const TFormatSettings& settings = FormatSettings);
bool TryStrToFloat(const QString& text, double& value,
                   const TFormatSettings& settings = FormatSettings);
// A format of up to three sections, positive;negative;zero, each built from
// '0' (digit), '#' (optional digit), '.' (decimal separator), ',' (thousand
// separators), E+ E- e+ e- (scientific, followed by the exponent's minimum
// digits) and literal text, quoted or not. The value is taken to 15
// significant digits and then rounded to the section's decimals, halves away
// from zero. An empty format gives FloatToStr.
QString FormatFloat(const QString& format, double value,
                    const TFormatSettings& settings = FormatSettings);

// ---- Booleans ----

QString BoolToStr(bool value); // "True" or "False"
// A text that reads as a float is true when it is not zero; otherwise "True"
// or "False" in any letter case. Raises EConvertError
// "'%s' is not a valid boolean value".
bool StrToBool(const QString& text, const TFormatSettings& settings = FormatSettings);
bool TryStrToBool(const QString& text, bool& value,
                  const TFormatSettings& settings = FormatSettings);

// ---- Date and time ----

// Days since 30 December 1899; the fraction is the time of day. A negative
// value counts days backwards, its fraction still being the time of day
// (-1.25 is 29 December 1899, 06:00).
using TDateTime = double;

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24 * 60 * 60 * 1000.0;
// The range of dates that can be shown: 1 January 0001 to 31 December 9999.
constexpr TDateTime MinDateTime = -693593.0;
constexpr TDateTime MaxDateTime = 2958465.99999999;

TDateTime Now();  // the local date and time
TDateTime Date(); // today at midnight
TDateTime Time(); // the time of day, date part 0

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
// Raise EConvertError "'%s' is not a valid date and time" for a value outside
// MinDateTime..MaxDateTime (or NaN). The time is rounded to the millisecond.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// Formats with the letters of TFormatSettings plus c (short date and, unless
// midnight, the long time), ddddd (short date), t (short time), tt (long time).
// A letter m right after an h means minutes.
QString FormatDateTime(const QString& format, TDateTime value,
                       const TFormatSettings& settings = FormatSettings);
// The short date, then, unless the time is exactly midnight, a blank and the
// long time.
QString DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);
QString DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);
QString TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);

// A date as numbers in the order of ShortDateFormat separated by
// DateSeparator (the year may be left out: this year; a year of one or two
// digits goes through TwoDigitYearCenturyWindow), then optionally a time:
// hour[:min[:sec[.fraction]]] with an optional AM/PM marker. A time alone is
// accepted too. Raise EConvertError "'%s' is not a valid date and time"
// ("... date" / "... time" for the narrower two).
TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings = FormatSettings);
TDateTime StrToDate(const QString& text, const TFormatSettings& settings = FormatSettings);
TDateTime StrToTime(const QString& text, const TFormatSettings& settings = FormatSettings);
bool TryStrToDateTime(const QString& text, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings);
bool TryStrToDate(const QString& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings);
bool TryStrToTime(const QString& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings);

// ---- Rounding ----

// Nearest integer, halves to the even neighbour. NaN, infinities and values
// outside the 64-bit range raise EInvalidOp "Invalid floating point operation".
std::int64_t RoundBankers(double value);
// The same rounding, of which only the low 32 bits are kept: a value beyond
// the 32-bit range wraps (2^32 + 1 gives 1) instead of failing, the way the
// components' arithmetic has always behaved.
int Round(double value);

// ---- Overflow-checked integer arithmetic ----
// Each raises EIntOverflow "Integer overflow" and leaves its operands alone.

int CheckedAdd(int a, int b);
int CheckedSub(int a, int b);
int CheckedMul(int a, int b);
void Inc(int& value, int by = 1);
void Dec(int& value, int by = 1);

// ---- Lists ----

// Raises EListError "List index out of bounds (%d)".
[[noreturn]] void ListIndexError(int index);
