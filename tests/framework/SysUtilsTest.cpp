#include "SysUtils.h"
#include "Exceptions.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every test runs with known settings and gives the global ones back.
class SysUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FormatSettings.DecimalSeparator = u',';
        FormatSettings.ThousandSeparator = u'.';
        FormatSettings.DateSeparator = u'.';
        FormatSettings.TimeSeparator = u':';
        FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
        FormatSettings.ShortTimeFormat = QStringLiteral("hh:nn");
    }
    void TearDown() override { FormatSettings = FSaved; }

    // The message of the conversion error `f` raises, or "no error".
    template <typename F> static QString ErrorOf(F&& f) {
        try {
            f();
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return QStringLiteral("no error");
    }

private:
    TFormatSettings FSaved;
};

constexpr int kMaxInt = std::numeric_limits<int>::max();
constexpr int kMinInt = std::numeric_limits<int>::min();

// ---- Integers ----

TEST_F(SysUtilsTest, IntegerTextHasDigitsAndALeadingMinusOnly) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-1234567), "-1234567");
    EXPECT_EQ(IntToStr(kMinInt), "-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToStr(std::int64_t(1) << 40), "1099511627776");
}

TEST_F(SysUtilsTest, StrToIntAcceptsASignAndTheWhole32BitRange) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("+42"), 42);
    EXPECT_EQ(StrToInt("-0"), 0);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), kMaxInt);
    EXPECT_EQ(StrToInt("-2147483648"), kMinInt);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
}

TEST_F(SysUtilsTest, StrToIntRejectsEverythingElseNamingTheText) {
    for (const char* bad : {"", "+", "-", "12a", " 12", "12 ", "2147483648", "-2147483649", "1.000",
                            "0x10", "$10", "1e3", "99999999999999999999"}) {
        EXPECT_EQ(ErrorOf([&] { StrToInt(bad); }),
                  QStringLiteral("'%1' is not a valid integer value").arg(bad));
    }
    EXPECT_EQ(ErrorOf([] { StrToInt64("9223372036854775808"); }),
              "'9223372036854775808' is not a valid integer value");
    // The text is read in the code page: a character outside it shows as '?'.
    EXPECT_EQ(ErrorOf([] { StrToInt(QStringLiteral("中1")); }),
              "'?1' is not a valid integer value");
    int v = 5;
    EXPECT_FALSE(TryStrToInt("x", v));
    EXPECT_EQ(v, 5);
}

TEST_F(SysUtilsTest, AConversionErrorQuotesAtMost200CharactersOfALongText) {
    const QString limit(200, QLatin1Char('7'));
    EXPECT_EQ(ErrorOf([&] { StrToInt(limit); }),
              QStringLiteral("'%1' is not a valid integer value").arg(limit));
    // A megabyte of digits (as a device may send for a level) is named by its
    // first 200 characters and an ellipsis, whatever the conversion.
    const QString level = QString(1 << 20, QLatin1Char('1'));
    const QString cut = QString(200, QLatin1Char('1')) + QChar(0x2026);
    EXPECT_EQ(ErrorOf([&] { StrToInt(level); }),
              QStringLiteral("'%1' is not a valid integer value").arg(cut));
    EXPECT_EQ(ErrorOf([&] { StrToFloat(level + QLatin1Char('x')); }),
              QStringLiteral("'%1' is not a valid floating point value").arg(cut));
    const QString word = QStringLiteral("ş") + QString(300, QLatin1Char('a'));
    EXPECT_EQ(
        ErrorOf([&] { StrToBool(word); }),
        QStringLiteral("'ş%1…' is not a valid boolean value").arg(QString(199, QLatin1Char('a'))));
}

// ---- Float text ----

TEST_F(SysUtilsTest, FloatToStrUsesFifteenDigitsAndTheLocaleSeparator) {
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(-1.5), "-1,5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.1), "0,1");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), "0,666666666666667");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(FloatToStr(123456.789), "123456,789");
    TFormatSettings dot;
    EXPECT_EQ(FloatToStr(2.25, dot), "2.25");
}

TEST_F(SysUtilsTest, FloatToStrSwitchesToScientificAtTheThresholds) {
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1.5e-10), "1,5E-10");
    EXPECT_EQ(FloatToStr(-2.5e-7), "-2,5E-7");
    EXPECT_EQ(FloatToStr(0.0001), "0,0001");
    EXPECT_EQ(FloatToStr(0.00009999), "9,999E-5");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    // Rounding to 15 digits happens first and may cross a threshold.
    EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
    EXPECT_EQ(FloatToStr(123456789012345678.0), "1,23456789012346E17");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::max()), "1,79769313486232E308");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::denorm_min()), "4,94065645841247E-324");
}

TEST_F(SysUtilsTest, FloatToStrNamesTheValuesWithoutDigits) {
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST_F(SysUtilsTest, StrToFloatReadsTheLocaleSeparatorAndExponents) {
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("  -2,25  "), -2.25);
    EXPECT_DOUBLE_EQ(StrToFloat("+7"), 7);
    EXPECT_DOUBLE_EQ(StrToFloat(",5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("5,"), 5);
    EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000);
    EXPECT_DOUBLE_EQ(StrToFloat("1E+3"), 1000);
    EXPECT_DOUBLE_EQ(StrToFloat("-1,5e-3"), -0.0015);
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    // Many digits are read exactly, not accumulated with rounding errors.
    EXPECT_EQ(StrToFloat("0,1000000000000000055511151231257827"), 0.1);
}

TEST_F(SysUtilsTest, StrToFloatRejectsMalformedTextNamingIt) {
    for (const char* bad : {"", "   ", "1.5", "1,2,3", "e5", ",", "1e", "1e+", "abc", "1 000",
                            "--1", "+-1", "1e400", "-1e400", "0x10", "1,5x", "infinity"}) {
        EXPECT_EQ(ErrorOf([&] { StrToFloat(bad); }),
                  QStringLiteral("'%1' is not a valid floating point value").arg(bad));
    }
    EXPECT_EQ(ErrorOf([] { StrToFloat(QStringLiteral("1,5Ω")); }),
              "'1,5?' is not a valid floating point value");
    double v = 3;
    EXPECT_FALSE(TryStrToFloat("x", v));
    EXPECT_EQ(v, 3);
}

TEST_F(SysUtilsTest, TheWordsFloatToStrWritesForNonNumbersAreNotNumbers) {
    // FloatToStr names NaN and the infinities, but a text of the grid's
    // cells is a number only when it has digits.
    for (const char* word : {"NAN", "nan", "NaN", "INF", "inf", "-INF", "+INF", "-inf", " INF "}) {
        EXPECT_EQ(ErrorOf([&] { StrToFloat(word); }),
                  QStringLiteral("'%1' is not a valid floating point value").arg(word));
        double v = 3;
        EXPECT_FALSE(TryStrToFloat(word, v)) << word;
        EXPECT_EQ(v, 3) << word;
        EXPECT_EQ(ErrorOf([&] { StrToBool(word); }),
                  QStringLiteral("'%1' is not a valid boolean value").arg(word));
        bool b = true;
        EXPECT_FALSE(TryStrToBool(word, b)) << word;
    }
    EXPECT_EQ(ErrorOf([] { StrToFloat(FloatToStr(std::numeric_limits<double>::infinity())); }),
              "'INF' is not a valid floating point value");
}

TEST_F(SysUtilsTest, FloatTextReadsBackToTheSameFifteenDigits) {
    for (const double x : {0.0, 1.5, -3.25, 1e20, 1.5e-10, 0.0001, 0.00009999, 999999999999999.0,
                           123.456, -9.87654321e-200, 6.02214076e23}) {
        const QString text = FloatToStr(x);
        EXPECT_EQ(FloatToStr(StrToFloat(text)), text) << text.toStdString();
        EXPECT_NEAR(StrToFloat(text), x, std::fabs(x) * 1e-14) << text.toStdString();
    }
}

// ---- FormatFloat ----

TEST_F(SysUtilsTest, FormatFloatPadsAndRoundsHalvesAwayFromZero) {
    EXPECT_EQ(FormatFloat("0.00", 3), "3,00");
    EXPECT_EQ(FormatFloat("0.00", 3, TFormatSettings()), "3.00");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("0.0", 0.96), "1,0");
    EXPECT_EQ(FormatFloat("0.##", 3), "3");
    EXPECT_EQ(FormatFloat("0.##", 3.1), "3,1");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ",5");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("00000", 42), "00042");
    EXPECT_EQ(FormatFloat("0", 123456), "123456");
    EXPECT_EQ(FormatFloat("0.000", 1e-5), "0,000");
}

TEST_F(SysUtilsTest, FormatFloatGroupsThousandsAndKeepsLiterals) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("#,##0", 999), "999");
    EXPECT_EQ(FormatFloat("#,##0", -1000), "-1.000");
    EXPECT_EQ(FormatFloat("0.00 TL", 5), "5,00 TL");
    EXPECT_EQ(FormatFloat("\"Tel: \"0", 5), "Tel: 5");
    EXPECT_EQ(FormatFloat("'#'0", 5), "#5");
    EXPECT_EQ(FormatFloat("00-00", 1234), "12-34");
}

TEST_F(SysUtilsTest, FormatFloatChoosesSectionsBySignAndRoundedValue) {
    const QString f = "0.0;(0.0);\"zero\"";
    EXPECT_EQ(FormatFloat(f, 1.25), "1,3");
    EXPECT_EQ(FormatFloat(f, -1.25), "(1,3)");
    EXPECT_EQ(FormatFloat(f, 0), "zero");
    EXPECT_EQ(FormatFloat(f, -0.01), "zero"); // rounds to zero
    // Empty sections fall back to the first one; zero never carries a sign.
    EXPECT_EQ(FormatFloat("0.0;;", -2), "-2,0");
    EXPECT_EQ(FormatFloat("0.0", -0.01), "0,0");
    EXPECT_EQ(FormatFloat("0;\"a;b\"", -1), "a;b");
}

TEST_F(SysUtilsTest, FormatFloatScientific) {
    EXPECT_EQ(FormatFloat("0.00E+00", 1234), "1,23E+03");
    EXPECT_EQ(FormatFloat("0.00e-00", 0.000123), "1,23e-04");
    EXPECT_EQ(FormatFloat("0.00E-00", 1234), "1,23E03");
    EXPECT_EQ(FormatFloat("0.###E+0", 1e20), "1E+20");
    EXPECT_EQ(FormatFloat("00.0E+0", 1234), "12,3E+2");
    EXPECT_EQ(FormatFloat("0.00E+00", 0), "0,00E+00");
    EXPECT_EQ(FormatFloat("0.0E+0", 9.96), "1,0E+1");
}

TEST_F(SysUtilsTest, FormatFloatFallsBackToFloatText) {
    EXPECT_EQ(FormatFloat("", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
}

// ---- Booleans ----

TEST_F(SysUtilsTest, BooleanTextAndParsing) {
    EXPECT_EQ(BoolToStr(true), "True");
    EXPECT_EQ(BoolToStr(false), "False");
    EXPECT_TRUE(StrToBool("True"));
    EXPECT_TRUE(StrToBool("tRUE"));
    EXPECT_FALSE(StrToBool("FALSE"));
    EXPECT_TRUE(StrToBool("1"));
    EXPECT_TRUE(StrToBool(" -2,5 "));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_FALSE(StrToBool("0,0e5"));
    for (const char* bad : {"", "yes", "T", "True ", "1.5"})
        EXPECT_EQ(ErrorOf([&] { StrToBool(bad); }),
                  QStringLiteral("'%1' is not a valid boolean value").arg(bad));
}

// ---- Rounding ----

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, std::int64_t> cases[] = {
        {0.5, 0},    {1.5, 2},       {2.5, 2},
        {3.5, 4},    {-0.5, 0},      {-1.5, -2},
        {-2.5, -2},  {0.49, 0},      {0.51, 1},
        {-0.51, -1}, {2.4999999, 2}, {1e15 + 0.5, 1000000000000000},
        {0.0, 0},    {-0.0, 0},      {4503599627370497.0, 4503599627370497}};
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(RoundBankers(x), expected) << x;
    EXPECT_EQ(RoundBankers(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

TEST(Rounding, Round32KeepsTheLowBitsOfThe64BitResult) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(4294967296.0 + 1.0), 1);
    EXPECT_EQ(Round(2147483648.0), kMinInt);
    EXPECT_EQ(Round(-2147483649.0), kMaxInt);
}

TEST(Rounding, ValuesWithoutAnIntegerRaiseInvalidOp) {
    for (const double x :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 9223372036854775808.0, -1e19, 1e300}) {
        try {
            RoundBankers(x);
            ADD_FAILURE() << "no error for " << x;
        } catch (const EInvalidOp& e) {
            EXPECT_EQ(e.Message(), "Invalid floating point operation");
        }
        EXPECT_THROW(Round(x), EInvalidOp);
    }
}

// ---- Overflow-checked arithmetic and list errors ----

TEST(CheckedArithmetic, OverflowRaisesAndLeavesTheValue) {
    EXPECT_EQ(CheckedAdd(kMaxInt - 1, 1), kMaxInt);
    EXPECT_EQ(CheckedAdd(kMinInt, kMaxInt), -1);
    EXPECT_EQ(CheckedMul(-46341, 46340), -2147441940);
    try {
        CheckedAdd(kMaxInt, 1);
        ADD_FAILURE() << "no overflow";
    } catch (const EIntOverflow& e) {
        EXPECT_EQ(e.Message(), "Integer overflow");
    }
    EXPECT_THROW(CheckedAdd(kMinInt, -1), EIntOverflow);
    EXPECT_THROW(CheckedSub(kMinInt, 1), EIntOverflow);
    EXPECT_THROW(CheckedMul(65536, 32768), EIntOverflow);
    EXPECT_THROW(CheckedMul(-1, kMinInt), EIntOverflow);

    int counter = kMaxInt - 1;
    Inc(counter);
    EXPECT_EQ(counter, kMaxInt);
    EXPECT_THROW(Inc(counter), EIntOverflow);
    EXPECT_EQ(counter, kMaxInt);
    int low = kMinInt;
    EXPECT_THROW(Dec(low), EIntOverflow);
    EXPECT_EQ(low, kMinInt);
}

TEST(ListErrors, NameTheIndex) {
    for (const int index : {5, -1}) {
        try {
            ListIndexError(index);
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
    }
}

// ---- Dates ----

TEST_F(SysUtilsTest, DatesCountDaysFrom30December1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), std::floor(MaxDateTime));
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2); // a Monday
    EXPECT_EQ(DayOfWeek(0), 7);                      // a Saturday
    for (const auto& [y, m, d] : {std::tuple{2023, 2, 29}, {2024, 13, 1}, {0, 1, 1}, {2024, 4, 31}})
        EXPECT_EQ(ErrorOf([&] { EncodeDate(y, m, d); }), "Invalid argument to date encode");
    EXPECT_EQ(ErrorOf([] { EncodeTime(24, 0, 0, 0); }), "Invalid argument to time encode");
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
}

TEST_F(SysUtilsTest, DecodeAgreesWithEncodeAcrossTheWholeRange) {
    for (double day = MinDateTime; day <= MaxDateTime; day += 997) {
        int y = 0, m = 0, d = 0;
        DecodeDate(day, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day) << y << '-' << m << '-' << d;
        ASSERT_EQ(QDate(y, m, d).toJulianDay() - QDate(1899, 12, 30).toJulianDay(), qint64(day));
    }
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(EncodeDate(2024, 5, 6) + EncodeTime(13, 45, 10, 123), h, n, s, ms);
    EXPECT_EQ((std::array{h, n, s, ms}), (std::array{13, 45, 10, 123}));
}

TEST_F(SysUtilsTest, NegativeValuesKeepTheTimeOfDayAsTheirFraction) {
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ((std::array{y, m, d, h, n}), (std::array{1899, 12, 29, 6, 0}));
}

// ---- Date-time text ----

TEST_F(SysUtilsTest, DateTimeTextLeavesOutAMidnightTime) {
    const TDateTime day = EncodeDate(2024, 2, 1);
    EXPECT_EQ(DateTimeToStr(day), "01.02.2024");
    EXPECT_EQ(DateTimeToStr(day + EncodeTime(13, 45, 10, 0)), "01.02.2024 13:45:10");
    EXPECT_EQ(DateTimeToStr(day + EncodeTime(0, 0, 0, 1)), "01.02.2024 00:00:00");
    EXPECT_EQ(DateToStr(day + 0.5), "01.02.2024");
    EXPECT_EQ(TimeToStr(day + 0.5), "12:00:00");
    // A time that rounds to the next millisecond-midnight belongs to the next day.
    EXPECT_EQ(DateTimeToStr(day + 0.9999999999), "02.02.2024");
}

TEST_F(SysUtilsTest, DateTimeTextOfAnUnrepresentableValueFails) {
    EXPECT_EQ(ErrorOf([] { DateTimeToStr(1e10); }), "'10000000000' is not a valid date and time");
    EXPECT_EQ(ErrorOf([] { DateTimeToStr(std::nan("")); }), "'NAN' is not a valid date and time");
    EXPECT_EQ(ErrorOf([] { DateTimeToStr(MaxDateTime + 1); }),
              "'2958466,99999999' is not a valid date and time");
}

TEST_F(SysUtilsTest, FormatDateTimeLetters) {
    const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", t), "2024-03-05 14:07:09.045");
    EXPECT_EQ(FormatDateTime("d/m/yy h:n:s z", t), "5.3.24 14:7:9 45");
    EXPECT_EQ(FormatDateTime("hh:mm", t), "14:07"); // m after h is the minute
    EXPECT_EQ(FormatDateTime("h:mm am/pm", t), "2:07 pm");
    EXPECT_EQ(FormatDateTime("h:mm A/P", t - 0.5), "2:07 A");
    EXPECT_EQ(FormatDateTime("dddd d mmmm, ddd mmm", t), "Tuesday 5 March, Tue Mar");
    EXPECT_EQ(FormatDateTime("\"day\" d 'of' yyyy", t), "day 5 of 2024");
    EXPECT_EQ(FormatDateTime("c", t), "05.03.2024 14:07:09");
    EXPECT_EQ(FormatDateTime("ddddd t", t), "05.03.2024 14:07");
    FormatSettings.TimeAMString = QStringLiteral("ÖÖ");
    FormatSettings.TimePMString = QStringLiteral("ÖS");
    EXPECT_EQ(FormatDateTime("hh:nn ampm", t), "02:07 ÖS");
    EXPECT_EQ(FormatDateTime("hh ampm", EncodeTime(0, 30, 0, 0)), "12 ÖÖ");
    // A format that refers to itself ends instead of recursing.
    FormatSettings.ShortDateFormat = "c";
    EXPECT_NO_THROW(DateTimeToStr(t));
}

TEST_F(SysUtilsTest, StrToDateTimeReadsDateAndOptionalTime) {
    const TDateTime day = EncodeDate(2024, 2, 1);
    EXPECT_EQ(StrToDateTime("01.02.2024"), day);
    EXPECT_EQ(StrToDateTime(" 1 . 2 . 2024 "), day);
    EXPECT_DOUBLE_EQ(StrToDateTime("01.02.2024 13:45:10"), day + EncodeTime(13, 45, 10, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("1.2.2024 1:05"), day + EncodeTime(1, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("01.02.2024 1:45 PM"), day + EncodeTime(13, 45, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("01.02.2024 12:00 am"), day);
    EXPECT_DOUBLE_EQ(StrToDateTime("13:45"), EncodeTime(13, 45, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("10:00:05,5"), EncodeTime(10, 0, 5, 500));
    EXPECT_EQ(StrToDate("1.2"), EncodeDate(QDate::currentDate().year(), 2, 1));
    // Before 1899 the time counts backwards from the day's negative number.
    EXPECT_DOUBLE_EQ(StrToDateTime("29.12.1899 06:00"), -1.25);

    FormatSettings.ShortDateFormat = "yyyy/mm/dd";
    EXPECT_EQ(StrToDate("2024.02.01"), day);
    FormatSettings.ShortDateFormat = "m/d/yyyy";
    FormatSettings.DateSeparator = u'/';
    EXPECT_EQ(StrToDate("2/1/2024"), day);
}

TEST_F(SysUtilsTest, TwoDigitYearsFallInTheCenturyWindow) {
    const int year = QDate::currentDate().year();
    const auto read = [](int yy) {
        int y = 0, m = 0, d = 0;
        DecodeDate(StrToDate(QStringLiteral("1.1.%1").arg(yy, 2, 10, QChar(u'0'))), y, m, d);
        return y;
    };
    EXPECT_EQ(read((year - 50) % 100), year - 50);
    EXPECT_EQ(read((year + 49) % 100), year + 49);
}

TEST_F(SysUtilsTest, StrToDateTimeRejectsWhatIsNoDateNamingIt) {
    for (const char* bad : {"", "abc", "31.02.2024", "01.02.2024 25:00", "01.02.2024x",
                            "01/02/2024", "12345", "01.02.2024 10:", "1.2.3.4", "13:00 PM"}) {
        EXPECT_EQ(ErrorOf([&] { StrToDateTime(bad); }),
                  QStringLiteral("'%1' is not a valid date and time").arg(bad));
    }
    EXPECT_EQ(ErrorOf([] { StrToDateTime(QStringLiteral("中")); }),
              "'?' is not a valid date and time");
    EXPECT_EQ(ErrorOf([] { StrToDate("01.02.2024 10:00"); }),
              "'01.02.2024 10:00' is not a valid date");
    EXPECT_EQ(ErrorOf([] { StrToTime("01.02.2024"); }), "'01.02.2024' is not a valid time");
}

TEST_F(SysUtilsTest, DateTimeTextReadsBack) {
    for (const TDateTime t :
         {EncodeDate(2024, 2, 1), EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0),
          EncodeDate(1, 1, 1) + 0.75, EncodeDate(9999, 12, 31)})
        EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t)), t) << DateTimeToStr(t).toStdString();
}

// ---- Locale ----

TEST(FormatSettingsFromLocale, TurkishNumbersAndDates) {
    const TFormatSettings s =
        TFormatSettings::FromLocale(QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(s.DecimalSeparator, u',');
    EXPECT_EQ(s.ThousandSeparator, u'.');
    EXPECT_EQ(s.DateSeparator, u'.');
    EXPECT_EQ(s.TimeSeparator, u':');
    EXPECT_EQ(s.LongTimeFormat, "hh:nn:ss"); // the time zone is left out
    const TDateTime t = EncodeDate(2024, 2, 1) + EncodeTime(9, 5, 7, 0);
    const QString text = DateTimeToStr(t, s);
    EXPECT_TRUE(text.startsWith(QLatin1String("1.02.2024")) ||
                text.startsWith(QLatin1String("01.02.2024")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1String(" 09:05:07"))) << text.toStdString();
    EXPECT_DOUBLE_EQ(StrToDateTime(text, s), t);
}

TEST(FormatSettingsFromLocale, TwelveHourClockReadsBack) {
    const TFormatSettings s =
        TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(s.ShortDateFormat, "m/d/yy");
    EXPECT_TRUE(s.LongTimeFormat.contains(QLatin1String("ampm"))) << s.LongTimeFormat.toStdString();
    const TDateTime t = EncodeDate(2024, 2, 1) + EncodeTime(13, 5, 9, 0);
    EXPECT_EQ(DateTimeToStr(t, s), "2/1/24 1:05:09 PM");
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t, s), s), t);
}

TEST(FormatSettingsFromLocale, TextualOrUnusualFormatsFallBackToUsableOnes) {
    // The C locale writes month names in its short date; a numeric default is used.
    const TFormatSettings c = TFormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(c.ShortDateFormat, TFormatSettings().ShortDateFormat);
    EXPECT_EQ(c.LongTimeFormat, "hh:nn:ss");
    const TFormatSettings zh =
        TFormatSettings::FromLocale(QLocale(QLocale::Chinese, QLocale::China));
    EXPECT_EQ(zh.LongTimeFormat, "hh:nn:ss");
    // Every locale's texts go through the code page, so what the settings hold
    // must fit it, and what DateTimeToStr writes must read back.
    for (const auto& locale :
         {QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::Hindi),
          QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Japanese, QLocale::Japan),
          QLocale(QLocale::Korean, QLocale::SouthKorea), QLocale(QLocale::Persian, QLocale::Iran),
          QLocale::system()}) {
        const TFormatSettings s = TFormatSettings::FromLocale(locale);
        for (const QChar ch :
             {s.DecimalSeparator, s.ThousandSeparator, s.DateSeparator, s.TimeSeparator})
            EXPECT_NE(WideToAnsi(QString(ch)), "?") << locale.name().toStdString();
        EXPECT_NE(s.DecimalSeparator, s.ThousandSeparator);
        const TDateTime t = EncodeDate(2024, 2, 1) + EncodeTime(9, 5, 7, 0);
        EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t, s), s), t) << locale.name().toStdString();
    }
}

TEST(FormatSettingsFromLocale, MonthAndDayNames) {
    const TFormatSettings defaults;
    EXPECT_EQ(defaults.LongMonthNames.front(), "January");
    EXPECT_EQ(defaults.LongMonthNames.back(), "December");
    EXPECT_EQ(defaults.ShortDayNames.front(), "Sun");
    EXPECT_EQ(defaults.ShortDayNames.back(), "Sat");
    // Standalone month names (the nominative, where a language tells them
    // apart) and the days from Sunday on.
    const TFormatSettings tr =
        TFormatSettings::FromLocale(QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(tr.LongMonthNames[0], "Ocak");
    EXPECT_EQ(tr.LongMonthNames[7], QString::fromUtf8("Ağustos"));
    EXPECT_EQ(tr.ShortDayNames[0], "Paz");
    EXPECT_EQ(tr.ShortDayNames[1], "Pzt");
    EXPECT_EQ(tr.ShortDayNames[6], "Cmt");
    const TFormatSettings ru =
        TFormatSettings::FromLocale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(ru.LongMonthNames[2], QString::fromUtf8("март"));
    const TFormatSettings us =
        TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.LongMonthNames, defaults.LongMonthNames);
    EXPECT_EQ(us.ShortDayNames, defaults.ShortDayNames);
}

} // namespace
