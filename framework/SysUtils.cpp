#include "SysUtils.h"

#include "Exceptions.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The conversions work on the bytes of code page 1254 (see the header); the
// helpers below cross between the wide and the 8-bit world.

namespace {

std::string Ansi(const QString& text) {
    const AnsiString a = WideToAnsi(text);
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

QString Wide(std::string_view bytes) {
    return AnsiToWide(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

char AnsiChar(QChar c) {
    if (c.unicode() < 0x80) return static_cast<char>(c.unicode());
    const AnsiString a = WideToAnsi(QString(c));
    return a.isEmpty() ? '?' : a[0];
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char UpCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpCase(a[i]) != UpCase(b[i])) return false;
    return true;
}

void AppendInt(std::string& out, std::int64_t value, int minDigits = 1) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value < 0 ? -value : value);
    if (value < 0) out += '-';
    for (auto n = r.ptr - buf; n < minDigits; ++n)
        out += '0';
    out.append(buf, r.ptr);
}

// A conversion error quotes at most this many characters of the text it
// refused, then an ellipsis: the text may be anything an outside party
// sent (a megabyte of signal level), and the message is shown as one line.
constexpr std::size_t kQuotedTextMax = 200;

[[noreturn]] void ConvertError(const char* pattern, std::string_view text) {
    const QString quoted = text.size() <= kQuotedTextMax
                               ? Wide(text)
                               : Wide(text.substr(0, kQuotedTextMax)) + QChar(0x2026);
    throw EConvertError(QString::fromLatin1(pattern).arg(quoted));
}

// ---- Integers ----

bool ParseInt64(std::string_view s, std::int64_t& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return false;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t acc = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i])) return false;
        const unsigned d = static_cast<unsigned>(s[i] - '0');
        if (acc > (limit - d) / 10) return false;
        acc = acc * 10 + d;
    }
    out = negative ? static_cast<std::int64_t>(0 - acc) : static_cast<std::int64_t>(acc);
    return true;
}

constexpr const char* kInvalidInteger = "'%1' is not a valid integer value";
constexpr const char* kInvalidFloat = "'%1' is not a valid floating point value";
constexpr const char* kInvalidBoolean = "'%1' is not a valid boolean value";
constexpr const char* kInvalidDateTime = "'%1' is not a valid date and time";
constexpr const char* kInvalidDate = "'%1' is not a valid date";
constexpr const char* kInvalidTime = "'%1' is not a valid time";

// ---- Floating point ----

// A finite value taken to at most 15 significant digits: value = 0.d1d2... x
// 10^exponent. No trailing zeros; no digits at all for zero.
struct Decimal {
    char digits[24] = {};
    int count = 0;
    int exponent = 0;

    void StripZeros() {
        while (count > 0 && digits[count - 1] == '0')
            --count;
        if (count == 0) exponent = 0;
    }

    // Keeps `keep` significant digits, rounding halves away from zero.
    void RoundTo(int keep) {
        if (keep >= count) return;
        if (keep < 0) {
            count = 0;
            exponent = 0;
            return;
        }
        const bool up = digits[keep] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9')
                --i;
            if (i < 0) {
                digits[0] = '1';
                count = 1;
                ++exponent;
            } else {
                ++digits[i];
                count = i + 1;
            }
        }
        StripZeros();
    }
};

constexpr int kPrecision = 15;

Decimal Decompose(double magnitude) {
    Decimal d;
    if (magnitude == 0) return d;
    char buf[40];
    // Correctly rounded scientific form "d.dddddddddddddde+XX".
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                 kPrecision - 1);
    const char* p = buf;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (IsDigit(*p)) d.digits[d.count++] = *p;
    int exp = 0;
    if (p < r.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, exp);
    d.exponent = exp + 1;
    d.StripZeros();
    return d;
}

std::string FloatToAnsi(double value, char dec) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    const Decimal d = Decompose(std::fabs(value));
    if (d.count == 0) return "0";
    std::string out;
    if (value < 0) out += '-';
    if (d.exponent > kPrecision || d.exponent < -3) {
        out += d.digits[0];
        if (d.count > 1) {
            out += dec;
            out.append(d.digits + 1, static_cast<std::size_t>(d.count - 1));
        }
        out += 'E';
        AppendInt(out, d.exponent - 1);
    } else if (d.exponent <= 0) {
        out += '0';
        out += dec;
        out.append(static_cast<std::size_t>(-d.exponent), '0');
        out.append(d.digits, static_cast<std::size_t>(d.count));
    } else {
        const int whole = std::min(d.exponent, d.count);
        out.append(d.digits, static_cast<std::size_t>(whole));
        out.append(static_cast<std::size_t>(d.exponent - whole), '0');
        if (d.count > d.exponent) {
            out += dec;
            out.append(d.digits + d.exponent, static_cast<std::size_t>(d.count - d.exponent));
        }
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ';
}

bool ParseFloat(std::string_view s, char dec, double& out) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    if (s.empty()) return false;

    std::size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    const std::size_t intStart = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    const std::string_view intDigits = s.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < s.size() && s[i] == dec) {
        const std::size_t fracStart = ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        fracDigits = s.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty()) return false;

    std::int64_t exp = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        const std::size_t expStart = i;
        for (; i < s.size() && IsDigit(s[i]); ++i)
            if (exp < 1000000) exp = exp * 10 + (s[i] - '0'); // far beyond any double
        if (i == expStart) return false;
        if (expNegative) exp = -exp;
    }
    if (i != s.size()) return false;

    // Hand the checked number to the locale-free, correctly rounding reader.
    std::string text;
    text.reserve(intDigits.size() + fracDigits.size() + 12);
    if (negative) text += '-';
    text.append(intDigits.empty() ? std::string_view("0") : intDigits);
    if (!fracDigits.empty()) {
        text += '.';
        text.append(fracDigits);
    }
    text += 'e';
    AppendInt(text, exp);
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::scientific);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large fails; too small is zero. Decide by the first significant digit.
        std::int64_t magnitude = exp;
        const auto lead = intDigits.find_first_not_of('0');
        if (lead != std::string_view::npos) {
            magnitude += static_cast<std::int64_t>(intDigits.size() - lead) - 1;
        } else {
            const auto fracLead = fracDigits.find_first_not_of('0');
            magnitude -= static_cast<std::int64_t>(fracLead) + 1;
        }
        if (magnitude > 0) return false;
        value = negative ? -0.0 : 0.0;
    } else if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        return false;
    }
    if (std::isinf(value)) return false;
    out = value;
    return true;
}

// ---- FormatFloat ----

// What one section of a float format asks for.
struct FloatLayout {
    int intPlaceholders = 0; // digit placeholders before the decimal point
    int minInt = 0;          // integer digits always shown (from the first '0')
    int decimals = 0;        // digit placeholders after the decimal point
    int minDecimals = 0;     // decimals always shown (up to the last '0')
    bool thousands = false;
    bool scientific = false;
};

// Length of the exponent mark at s[i] ("E+00", "e-0", ...), 0 when there is none.
std::size_t ExponentLength(std::string_view s, std::size_t i) {
    if (i + 1 >= s.size() || (s[i] != 'E' && s[i] != 'e') || (s[i + 1] != '+' && s[i + 1] != '-'))
        return 0;
    std::size_t n = 2;
    while (n < 6 && i + n < s.size() && s[i + n] == '0')
        ++n;
    return n;
}

// Length of a quoted literal starting at s[i] (the quotes included; an
// unterminated quote runs to the end).
std::size_t QuotedLength(std::string_view s, std::size_t i) {
    const auto close = s.find(s[i], i + 1);
    return (close == std::string_view::npos ? s.size() : close + 1) - i;
}

FloatLayout AnalyzeSection(std::string_view section) {
    FloatLayout l;
    bool point = false;
    int firstZero = -1;
    for (std::size_t i = 0; i < section.size();) {
        const char c = section[i];
        if (c == '"' || c == '\'') {
            i += QuotedLength(section, i);
            continue;
        }
        if (const std::size_t n = !l.scientific ? ExponentLength(section, i) : 0) {
            l.scientific = true;
            i += n;
            continue;
        }
        // After the exponent everything is literal text.
        if (l.scientific) {
            ++i;
            continue;
        }
        if (c == '0' || c == '#') {
            if (!point) {
                if (c == '0' && firstZero < 0) firstZero = l.intPlaceholders;
                ++l.intPlaceholders;
            } else {
                ++l.decimals;
                if (c == '0') l.minDecimals = l.decimals;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            l.thousands = true;
        }
        ++i;
    }
    l.minInt = firstZero < 0 ? 0 : l.intPlaceholders - firstZero;
    return l;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < format.size() && sections.size() < 2;) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            i += QuotedLength(format, i);
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    auto last = format.substr(start);
    // A third ';' ends the zero section; anything after it is not used.
    for (std::size_t i = 0; i < last.size();) {
        const char c = last[i];
        if (c == '"' || c == '\'') {
            i += QuotedLength(last, i);
        } else if (c == ';') {
            last = last.substr(0, i);
            break;
        } else {
            ++i;
        }
    }
    sections.push_back(last);
    return sections;
}

// The digits a section shows: integer digits, fraction digits and, for the
// scientific form, the exponent.
struct FloatParts {
    std::string intDigits;
    std::string fracDigits;
    int exponent = 0;
    bool zero = true;
};

FloatParts PrepareParts(const FloatLayout& l, double magnitude) {
    FloatParts p;
    Decimal d = Decompose(magnitude);
    if (l.scientific) {
        d.RoundTo(std::clamp(l.intPlaceholders + l.decimals, 1, kPrecision));
        p.zero = d.count == 0;
        p.exponent = p.zero ? 0 : d.exponent - l.intPlaceholders;
        for (int k = 0; k < l.intPlaceholders; ++k)
            p.intDigits += k < d.count ? d.digits[k] : '0';
        for (int k = l.intPlaceholders; k < d.count; ++k)
            p.fracDigits += d.digits[k];
        if (p.intDigits.empty() && p.fracDigits.empty() && l.minDecimals == 0)
            p.intDigits.assign(1, '0');
    } else {
        d.RoundTo(d.exponent + l.decimals);
        p.zero = d.count == 0;
        const int intCount = std::max(d.exponent, 0);
        if (intCount < l.minInt)
            p.intDigits.assign(static_cast<std::size_t>(l.minInt - intCount), '0');
        for (int k = 0; k < intCount; ++k)
            p.intDigits += k < d.count ? d.digits[k] : '0';
        for (int k = d.exponent; k < 0; ++k)
            p.fracDigits += '0';
        for (int k = std::max(d.exponent, 0); k < d.count; ++k)
            p.fracDigits += d.digits[k];
    }
    if (static_cast<int>(p.fracDigits.size()) < l.minDecimals)
        p.fracDigits.append(static_cast<std::size_t>(l.minDecimals) - p.fracDigits.size(), '0');
    return p;
}

std::string RenderSection(std::string_view section, const FloatLayout& l, const FloatParts& p,
                          bool minus, char dec, char thou) {
    std::string out;
    if (minus) out += '-';
    const auto nInt = static_cast<int>(p.intDigits.size());
    const int extra = nInt - l.intPlaceholders;
    bool intDone = false;
    int intSeen = 0;
    int fracSeen = 0;
    bool point = false;
    bool exponentDone = false;

    const auto emitInt = [&](int j) {
        out += p.intDigits[static_cast<std::size_t>(j)];
        const int left = nInt - 1 - j;
        if (l.thousands && !l.scientific && left > 0 && left % 3 == 0) out += thou;
    };
    const auto emitAllInt = [&] {
        if (intDone) return;
        for (int j = 0; j < nInt; ++j)
            emitInt(j);
        intDone = true;
    };

    for (std::size_t i = 0; i < section.size();) {
        const char c = section[i];
        if (c == '"' || c == '\'') {
            const std::size_t n = QuotedLength(section, i);
            const std::size_t inner =
                (i + n <= section.size() && n >= 2 && section[i + n - 1] == c) ? n - 2 : n - 1;
            out.append(section.substr(i + 1, inner));
            i += n;
            continue;
        }
        if (const std::size_t n =
                (l.scientific && !exponentDone) ? ExponentLength(section, i) : 0) {
            emitAllInt();
            exponentDone = true;
            out += c;
            if (p.exponent < 0)
                out += '-';
            else if (section[i + 1] == '+')
                out += '+';
            AppendInt(out, p.exponent < 0 ? -p.exponent : p.exponent, static_cast<int>(n - 2));
            i += n;
            continue;
        }
        if ((c == '0' || c == '#') && !exponentDone) {
            if (!point) {
                const int k = intSeen++;
                if (!intDone) {
                    if (k == 0 && extra > 0)
                        for (int j = 0; j < extra; ++j)
                            emitInt(j);
                    if (k + extra >= 0) emitInt(k + extra);
                    if (intSeen == l.intPlaceholders) intDone = true;
                }
            } else {
                const int k = fracSeen++;
                if (k < static_cast<int>(p.fracDigits.size())) out += p.fracDigits[k];
            }
        } else if (c == '.' && !point && !exponentDone) {
            emitAllInt();
            point = true;
            if (!p.fracDigits.empty()) out += dec;
        } else if ((c == ',' || c == '.') && !exponentDone) {
            // A comma asks for thousand separators and a second point is
            // ignored; neither shows anything itself.
        } else {
            out += c;
        }
        ++i;
    }
    // A section without any digit placeholder shows its text only.
    return out;
}

std::string FormatFloatAnsi(std::string_view format, double value, char dec, char thou) {
    if (format.empty() || !std::isfinite(value)) return FloatToAnsi(value, dec);
    const auto sections = SplitSections(format);
    const auto usable = [&](std::size_t k) { return k < sections.size() && !sections[k].empty(); };
    std::size_t index = value > 0 ? 0 : value < 0 ? 1 : 2;
    if (!usable(index)) index = 0;
    if (!usable(index)) return FloatToAnsi(value, dec);
    bool minus = value < 0 && index == 0;

    FloatLayout layout = AnalyzeSection(sections[index]);
    FloatParts parts = PrepareParts(layout, std::fabs(value));
    if (parts.zero && index != 2) {
        // What rounds to zero is shown as zero, without a sign.
        minus = false;
        if (usable(2)) {
            index = 2;
            layout = AnalyzeSection(sections[index]);
            parts = PrepareParts(layout, 0.0);
        }
    }
    return RenderSection(sections[index], layout, parts, minus, dec, thou);
}

// ---- Date and time ----

// The day number (TDateTime's whole part) of the proleptic Gregorian date,
// and back; day 0 is 30 December 1899.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = static_cast<unsigned>((153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 25569;
}

void CivilFromDays(std::int64_t day, int& y, int& m, int& d) {
    const std::int64_t z = day - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr std::int64_t kMinDay = -693593; // 1 January 0001
constexpr std::int64_t kMaxDay = 2958465; // 31 December 9999
constexpr std::int64_t kMSecsPerDay = 86400000;

// Splits a date-time into its day and the time of day in milliseconds.
bool SplitDateTime(TDateTime value, std::int64_t& day, std::int64_t& msec) {
    if (!std::isfinite(value)) return false;
    const double whole = std::trunc(value);
    if (whole < double(kMinDay) || whole > double(kMaxDay)) return false;
    day = static_cast<std::int64_t>(whole);
    msec = std::llround(std::fabs(value - whole) * MSecsPerDay);
    if (msec >= kMSecsPerDay) {
        // Rounded up to the next midnight.
        msec -= kMSecsPerDay;
        ++day;
    }
    return day <= kMaxDay;
}

void SplitOrThrow(TDateTime value, std::int64_t& day, std::int64_t& msec) {
    if (!SplitDateTime(value, day, msec))
        throw EConvertError(QString::fromLatin1(kInvalidDateTime).arg(FloatToStr(value)));
}

// The settings, as code-page bytes.
struct AnsiSettings {
    char decimal, thousand, dateSep, timeSep;
    std::string shortDate, longTime, shortTime, am, pm;
    int window;

    explicit AnsiSettings(const TFormatSettings& s)
        : decimal(AnsiChar(s.DecimalSeparator)), thousand(AnsiChar(s.ThousandSeparator)),
          dateSep(AnsiChar(s.DateSeparator)), timeSep(AnsiChar(s.TimeSeparator)),
          shortDate(Ansi(s.ShortDateFormat)), longTime(Ansi(s.LongTimeFormat)),
          shortTime(Ansi(s.ShortTimeFormat)), am(Ansi(s.TimeAMString)), pm(Ansi(s.TimePMString)),
          window(s.TwoDigitYearCenturyWindow) {}
};

constexpr std::array<const char*, 12> kShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> kLongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kShortDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> kLongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

// Whether s[i] starts a 12-hour marker, and how long it is.
std::size_t AmPmLength(std::string_view s, std::size_t i) {
    const auto at = [&](std::string_view word) {
        return s.size() - i >= word.size() && SameTextAscii(s.substr(i, word.size()), word);
    };
    if (at("AM/PM")) return 5;
    if (at("AMPM")) return 4;
    if (at("A/P")) return 3;
    return 0;
}

bool HasAmPm(std::string_view format) {
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] == '"' || format[i] == '\'') {
            i += QuotedLength(format, i);
        } else {
            if (AmPmLength(format, i)) return true;
            ++i;
        }
    }
    return false;
}

struct DateTimeFields {
    std::int64_t day, msec;
    int year, month, dayOfMonth, hour, min, sec, ms;
};

void AppendDateTime(std::string& out, std::string_view format, const DateTimeFields& f,
                    const AnsiSettings& s, int depth) {
    // The formats may refer to each other (c, ddddd, t, tt); a format that
    // refers to itself stops here instead of recursing without end.
    if (depth > 3) return;
    const bool twelveHour = HasAmPm(format);
    bool afterHour = false;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char up = UpCase(c);
        std::size_t run = 1;
        while (i + run < format.size() && UpCase(format[i + run]) == up)
            ++run;
        switch (up) {
        case '"':
        case '\'': {
            const std::size_t n = QuotedLength(format, i);
            const bool closed = format[i + n - 1] == c && n >= 2;
            out.append(format.substr(i + 1, closed ? n - 2 : n - 1));
            i += n;
            continue;
        }
        case 'C':
            AppendDateTime(out, s.shortDate, f, s, depth + 1);
            if (f.msec != 0) {
                out += ' ';
                AppendDateTime(out, s.longTime, f, s, depth + 1);
            }
            i += 1;
            afterHour = false;
            continue;
        case 'D':
            if (run <= 2)
                AppendInt(out, f.dayOfMonth, static_cast<int>(run));
            else if (run == 3)
                out += kShortDayNames[static_cast<std::size_t>(DayOfWeek(double(f.day)) - 1)];
            else if (run == 4)
                out += kLongDayNames[static_cast<std::size_t>(DayOfWeek(double(f.day)) - 1)];
            else
                AppendDateTime(out, s.shortDate, f, s, depth + 1);
            afterHour = false;
            break;
        case 'M':
            if (afterHour)
                AppendInt(out, f.min, run >= 2 ? 2 : 1);
            else if (run <= 2)
                AppendInt(out, f.month, static_cast<int>(run));
            else if (run == 3)
                out += kShortMonthNames[static_cast<std::size_t>(f.month - 1)];
            else
                out += kLongMonthNames[static_cast<std::size_t>(f.month - 1)];
            afterHour = false;
            break;
        case 'Y':
            if (run <= 2)
                AppendInt(out, f.year % 100, 2);
            else
                AppendInt(out, f.year, 4);
            afterHour = false;
            break;
        case 'H': {
            int h = f.hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0) h = 12;
            }
            AppendInt(out, h, run >= 2 ? 2 : 1);
            afterHour = true;
            break;
        }
        case 'N':
            AppendInt(out, f.min, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'S':
            AppendInt(out, f.sec, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'Z':
            AppendInt(out, f.ms, run >= 3 ? 3 : 1);
            afterHour = false;
            break;
        case 'T':
            AppendDateTime(out, run >= 2 ? s.longTime : s.shortTime, f, s, depth + 1);
            afterHour = false;
            break;
        case 'A': {
            const std::size_t n = AmPmLength(format, i);
            const bool pm = f.hour >= 12;
            if (n == 5) // the marker's own letters, in the case they are written
                out.append(format.substr(pm ? i + 3 : i, 2));
            else if (n == 4)
                out += pm ? s.pm : s.am;
            else if (n == 3)
                out += format[pm ? i + 2 : i];
            else
                out += c;
            i += n ? n : 1;
            continue;
        }
        case '/':
            out.append(run, s.dateSep);
            break;
        case ':':
            out.append(run, s.timeSep);
            break;
        default:
            out.append(format.substr(i, run));
            break;
        }
        i += run;
    }
}

std::string FormatDateTimeAnsi(std::string_view format, TDateTime value, const AnsiSettings& s) {
    DateTimeFields f{};
    SplitOrThrow(value, f.day, f.msec);
    CivilFromDays(f.day, f.year, f.month, f.dayOfMonth);
    f.hour = static_cast<int>(f.msec / 3600000);
    f.min = static_cast<int>(f.msec / 60000 % 60);
    f.sec = static_cast<int>(f.msec / 1000 % 60);
    f.ms = static_cast<int>(f.msec % 1000);
    std::string out;
    AppendDateTime(out, format.empty() ? std::string_view("c") : format, f, s, 0);
    return out;
}

// Reading dates and times, one field at a time.
class DateTimeScanner {
public:
    DateTimeScanner(std::string_view text, const AnsiSettings& s) : FText(text), FS(s) {}

    bool AtEnd() const { return FPos >= FText.size(); }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(FText[FPos]))
            ++FPos;
    }

    bool Date(TDateTime& value) {
        int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l3 = 0, unused = 0;
        if (!Number(n1, l1) || !Char(FS.dateSep) || !Number(n2, unused)) return false;
        int y = 0, m = 0, d = 0, yearLength = 4;
        const char order = DateOrder();
        // Some locales end their dates with the separator ("24. 7. 27.").
        const bool trailing = TrailingSeparator();
        bool threeFields = false;
        if (Char(FS.dateSep)) {
            threeFields = Number(n3, l3);
            if (!threeFields && !trailing) return false;
        }
        if (threeFields) {
            if (trailing) Char(FS.dateSep);
            switch (order) {
            case 'Y':
                y = n1, m = n2, d = n3, yearLength = l1;
                break;
            case 'D':
                d = n1, m = n2, y = n3, yearLength = l3;
                break;
            default:
                m = n1, d = n2, y = n3, yearLength = l3;
                break;
            }
        } else {
            // Day and month only: this year.
            y = QDate::currentDate().year();
            if (order == 'D')
                d = n1, m = n2;
            else
                m = n1, d = n2;
        }
        if (yearLength <= 2) {
            const int base = QDate::currentDate().year() - FS.window;
            y += base / 100 * 100;
            if (FS.window > 0 && y < base) y += 100;
        }
        return TryEncodeDate(y, m, d, value);
    }

    bool Time(TDateTime& value) {
        int base = AmPm();
        int hour = 0, min = 0, sec = 0, msec = 0, len = 0;
        if (!Number(hour, len)) return false;
        if (Char(FS.timeSep)) {
            if (!Number(min, len)) return false;
            if (Char(FS.timeSep)) {
                if (!Number(sec, len)) return false;
                if (!AtEnd() && FText[FPos] == FS.decimal) {
                    // A fraction of the second, to the millisecond.
                    ++FPos;
                    int digits = 0;
                    while (!AtEnd() && IsDigit(FText[FPos]) && digits < 3) {
                        msec = msec * 10 + (FText[FPos++] - '0');
                        ++digits;
                    }
                    if (digits == 0) return false;
                    for (; digits < 3; ++digits)
                        msec *= 10;
                }
            }
        }
        if (base < 0) base = AmPm();
        if (base >= 0) {
            if (hour == 0 || hour > 12) return false;
            if (hour == 12) hour = 0;
            hour += base;
        }
        SkipBlanks();
        return TryEncodeTime(hour, min, sec, msec, value);
    }

private:
    // At most four digits: enough for a year, and no overflow.
    bool Number(int& value, int& length) {
        SkipBlanks();
        const std::size_t start = FPos;
        int n = 0;
        while (!AtEnd() && IsDigit(FText[FPos]) && FPos - start < 4)
            n = n * 10 + (FText[FPos++] - '0');
        length = static_cast<int>(FPos - start);
        if (length == 0) return false;
        value = n;
        return true;
    }

    bool Char(char c) {
        if (IsBlank(c)) {
            // A blank separator is one or more blanks.
            const std::size_t start = FPos;
            SkipBlanks();
            return FPos > start;
        }
        SkipBlanks();
        if (AtEnd() || FText[FPos] != c) return false;
        ++FPos;
        return true;
    }

    bool Word(std::string_view word) {
        SkipBlanks();
        if (word.empty() || FText.size() - FPos < word.size() ||
            !SameTextAscii(FText.substr(FPos, word.size()), word))
            return false;
        FPos += word.size();
        return true;
    }

    // 0 after an AM marker, 12 after a PM marker, -1 without one.
    int AmPm() {
        if (Word(FS.am) || Word("AM")) return 0;
        if (Word(FS.pm) || Word("PM")) return 12;
        return -1;
    }

    bool TrailingSeparator() const {
        const auto end = FS.shortDate.find_last_not_of(' ');
        return end != std::string::npos && FS.shortDate[end] == '/';
    }

    // The first of the letters d, m and y in the short date format.
    char DateOrder() const {
        const std::string_view f = FS.shortDate;
        for (std::size_t i = 0; i < f.size();) {
            if (f[i] == '"' || f[i] == '\'') {
                i += QuotedLength(f, i);
                continue;
            }
            const char up = UpCase(f[i]);
            if (up == 'D' || up == 'M' || up == 'Y') return up;
            ++i;
        }
        return 'M';
    }

    std::string_view FText;
    const AnsiSettings& FS;
    std::size_t FPos = 0;
};

bool ParseDate(std::string_view text, const AnsiSettings& s, TDateTime& value) {
    DateTimeScanner scan(text, s);
    if (!scan.Date(value)) return false;
    scan.SkipBlanks();
    return scan.AtEnd();
}

bool ParseTime(std::string_view text, const AnsiSettings& s, TDateTime& value) {
    DateTimeScanner scan(text, s);
    return scan.Time(value) && scan.AtEnd();
}

bool ParseDateTime(std::string_view text, const AnsiSettings& s, TDateTime& value) {
    DateTimeScanner scan(text, s);
    TDateTime date = 0, time = 0;
    if (scan.Date(date)) {
        scan.SkipBlanks();
        if (scan.AtEnd() || (scan.Time(time) && scan.AtEnd())) {
            value = date >= 0 ? date + time : date - time;
            return true;
        }
    }
    return ParseTime(text, s, value);
}

// ---- Locale ----

bool InCodePage(QChar c);

// Maps a Qt date or time format onto the letters of TFormatSettings. The
// first separator between two fields becomes `separator` and is written as
// `mark` ('/' or ':'). Day names and time zones are left out together with
// the text around them. Returns an empty text when the format cannot be
// kept: months in words, or text that the code page cannot show (it could
// not be read back); the default is used then.
QString MapQtFormat(const QString& qt, QChar& separator, QChar mark) {
    QString out;
    qsizetype lastFieldEnd = 0;
    bool dropNextLiteral = false;
    bool haveField = false;
    const auto literal = [&](const QString& text) {
        if (dropNextLiteral) {
            dropNextLiteral = false;
            return true;
        }
        for (const QChar ch : text) {
            if (!InCodePage(ch)) return false;
            if (ch == u' ') {
                out += ch;
            } else if (haveField && ch != u'"' && (separator.isNull() || ch == separator)) {
                separator = ch;
                out += mark;
            } else if (ch != u'"') {
                out += u'"' + QString(ch) + u'"';
            }
        }
        return true;
    };
    for (qsizetype i = 0; i < qt.size();) {
        const QChar c = qt[i];
        qsizetype run = 1;
        while (i + run < qt.size() && qt[i + run] == c)
            ++run;
        if (c == u'\'') {
            // Quoted text; '' is a quote character.
            qsizetype j = i + 1;
            QString text;
            while (j < qt.size()) {
                if (qt[j] == u'\'') {
                    if (j + 1 < qt.size() && qt[j + 1] == u'\'') {
                        text += u'\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                text += qt[j++];
            }
            if (!literal(text)) return {};
            i = j;
            continue;
        }
        if (c.category() == QChar::Other_Format) {
            // Direction marks and the like carry nothing a format needs.
            i += run;
            continue;
        }
        const bool formatLetter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!formatLetter) {
            if (!literal(QString(run, c))) return {};
            i += run;
            continue;
        }
        QString field;
        switch (c.unicode()) {
        case u'd':
            if (run <= 2) field = QString(run, u'd');
            break;
        case u'M':
            if (run > 2) return {};
            field = QString(run, u'm');
            break;
        case u'y':
            field = run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case u'h':
        case u'H':
            field = run >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
            break;
        case u'm':
            field = run >= 2 ? QStringLiteral("nn") : QStringLiteral("n");
            break;
        case u's':
            field = run >= 2 ? QStringLiteral("ss") : QStringLiteral("s");
            break;
        case u'z':
            field = run >= 2 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case u'a':
        case u'A':
            field = QStringLiteral("ampm");
            run = (i + 1 < qt.size() && (qt[i + 1] == u'p' || qt[i + 1] == u'P')) ? 2 : 1;
            break;
        default:
            break; // day names, time zones and whatever else has no letter here
        }
        if (field.isEmpty()) {
            out.truncate(lastFieldEnd);
            dropNextLiteral = true;
        } else {
            out += field;
            lastFieldEnd = out.size();
            haveField = true;
            dropNextLiteral = false;
        }
        i += run;
    }
    return out.simplified();
}

bool InCodePage(QChar c) {
    return c == u'?' || AnsiChar(c) != '?';
}

} // namespace

// ---- TFormatSettings ----

TFormatSettings TFormatSettings::FromLocale(const QLocale& locale) {
    TFormatSettings s;
    const QString dec = locale.decimalPoint();
    if (!dec.isEmpty() && InCodePage(dec[0])) s.DecimalSeparator = dec[0];
    const QString group = locale.groupSeparator();
    if (!group.isEmpty()) s.ThousandSeparator = InCodePage(group[0]) ? group[0] : QChar(u' ');
    if (s.ThousandSeparator == s.DecimalSeparator)
        s.ThousandSeparator = s.DecimalSeparator == u'.' ? u',' : u'.';

    QChar dateSep;
    const QString date = MapQtFormat(locale.dateFormat(QLocale::ShortFormat), dateSep, u'/');
    if (!date.isEmpty() && date.contains(u'd') && date.contains(u'm') && date.contains(u'y')) {
        s.ShortDateFormat = date;
        s.DateSeparator = (!dateSep.isNull() && InCodePage(dateSep)) ? dateSep : QChar(u'/');
    }
    QChar timeSep;
    const QString longTime = MapQtFormat(locale.timeFormat(QLocale::LongFormat), timeSep, u':');
    if (longTime.contains(u'h')) s.LongTimeFormat = longTime;
    QChar shortSep;
    const QString shortTime = MapQtFormat(locale.timeFormat(QLocale::ShortFormat), shortSep, u':');
    if (shortTime.contains(u'h')) s.ShortTimeFormat = shortTime;
    if (timeSep.isNull()) timeSep = shortSep;
    if (!timeSep.isNull() && InCodePage(timeSep)) s.TimeSeparator = timeSep;
    // Markers the code page cannot show could not be read back either.
    const auto fits = [](const QString& text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), InCodePage);
    };
    if (fits(locale.amText()) && fits(locale.pmText())) {
        s.TimeAMString = locale.amText();
        s.TimePMString = locale.pmText();
    }
    // The names are only shown, never read back, so they need not fit the
    // code page; a locale without one keeps the English name.
    for (int m = 1; m <= 12; ++m) {
        const QString name = locale.standaloneMonthName(m, QLocale::LongFormat);
        if (!name.isEmpty()) s.LongMonthNames[std::size_t(m - 1)] = name;
    }
    for (int d = 0; d < 7; ++d) {
        // Qt counts the days from Monday (1) to Sunday (7).
        const QString name = locale.dayName(d == 0 ? 7 : d, QLocale::ShortFormat);
        if (!name.isEmpty()) s.ShortDayNames[std::size_t(d)] = name;
    }
    return s;
}

TFormatSettings FormatSettings = TFormatSettings::FromLocale(QLocale::system());

// ---- Integers ----

QString IntToStr(int value) {
    return IntToStr(static_cast<std::int64_t>(value));
}

QString IntToStr(std::int64_t value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return Wide(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

bool TryStrToInt64(const QString& text, std::int64_t& value) {
    return ParseInt64(Ansi(text), value);
}

bool TryStrToInt(const QString& text, int& value) {
    std::int64_t v = 0;
    if (!TryStrToInt64(text, v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const QString& text) {
    const std::string a = Ansi(text);
    std::int64_t v = 0;
    if (!ParseInt64(a, v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        ConvertError(kInvalidInteger, a);
    return static_cast<int>(v);
}

std::int64_t StrToInt64(const QString& text) {
    const std::string a = Ansi(text);
    std::int64_t v = 0;
    if (!ParseInt64(a, v)) ConvertError(kInvalidInteger, a);
    return v;
}

// ---- Floating point ----

QString FloatToStr(double value, const TFormatSettings& settings) {
    return Wide(FloatToAnsi(value, AnsiChar(settings.DecimalSeparator)));
}

bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings) {
    return ParseFloat(Ansi(text), AnsiChar(settings.DecimalSeparator), value);
}

double StrToFloat(const QString& text, const TFormatSettings& settings) {
    const std::string a = Ansi(text);
    double v = 0;
    if (!ParseFloat(a, AnsiChar(settings.DecimalSeparator), v)) ConvertError(kInvalidFloat, a);
    return v;
}

QString FormatFloat(const QString& format, double value, const TFormatSettings& settings) {
    return Wide(FormatFloatAnsi(Ansi(format), value, AnsiChar(settings.DecimalSeparator),
                                AnsiChar(settings.ThousandSeparator)));
}

// ---- Booleans ----

QString BoolToStr(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool TryStrToBool(const QString& text, bool& value, const TFormatSettings& settings) {
    const std::string a = Ansi(text);
    double v = 0;
    if (ParseFloat(a, AnsiChar(settings.DecimalSeparator), v)) {
        value = v != 0;
        return true;
    }
    if (SameTextAscii(a, "True")) {
        value = true;
        return true;
    }
    if (SameTextAscii(a, "False")) {
        value = false;
        return true;
    }
    return false;
}

bool StrToBool(const QString& text, const TFormatSettings& settings) {
    bool v = false;
    if (!TryStrToBool(text, v, settings)) ConvertError(kInvalidBoolean, Ansi(text));
    return v;
}

// ---- Date and time ----

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, month, day));
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        return false;
    value = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime v = 0;
    if (!TryEncodeDate(year, month, day, v))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return v;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime v = 0;
    if (!TryEncodeTime(hour, min, sec, msec, v))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return v;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    std::int64_t d = 0, ms = 0;
    SplitOrThrow(value, d, ms);
    CivilFromDays(d, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
    std::int64_t d = 0, ms = 0;
    SplitOrThrow(value, d, ms);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime value) {
    std::int64_t d = 0, ms = 0;
    SplitOrThrow(value, d, ms);
    // 1 January 0001 (day -693593) was a Monday.
    return static_cast<int>((d + 693594) % 7) + 1;
}

TDateTime Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) +
           EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Date() {
    const QDate d = QDate::currentDate();
    return EncodeDate(d.year(), d.month(), d.day());
}

TDateTime Time() {
    const QTime t = QTime::currentTime();
    return EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings) {
    const AnsiSettings s(settings);
    return Wide(FormatDateTimeAnsi(Ansi(format), value, s));
}

QString DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    const AnsiSettings s(settings);
    return Wide(FormatDateTimeAnsi("c", value, s));
}

QString DateToStr(TDateTime value, const TFormatSettings& settings) {
    const AnsiSettings s(settings);
    return Wide(FormatDateTimeAnsi(s.shortDate, value, s));
}

QString TimeToStr(TDateTime value, const TFormatSettings& settings) {
    const AnsiSettings s(settings);
    return Wide(FormatDateTimeAnsi(s.longTime, value, s));
}

bool TryStrToDateTime(const QString& text, TDateTime& value, const TFormatSettings& settings) {
    return ParseDateTime(Ansi(text), AnsiSettings(settings), value);
}

bool TryStrToDate(const QString& text, TDateTime& value, const TFormatSettings& settings) {
    return ParseDate(Ansi(text), AnsiSettings(settings), value);
}

bool TryStrToTime(const QString& text, TDateTime& value, const TFormatSettings& settings) {
    return ParseTime(Ansi(text), AnsiSettings(settings), value);
}

TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings) {
    const std::string a = Ansi(text);
    TDateTime v = 0;
    if (!ParseDateTime(a, AnsiSettings(settings), v)) ConvertError(kInvalidDateTime, a);
    return v;
}

TDateTime StrToDate(const QString& text, const TFormatSettings& settings) {
    const std::string a = Ansi(text);
    TDateTime v = 0;
    if (!ParseDate(a, AnsiSettings(settings), v)) ConvertError(kInvalidDate, a);
    return v;
}

TDateTime StrToTime(const QString& text, const TFormatSettings& settings) {
    const std::string a = Ansi(text);
    TDateTime v = 0;
    if (!ParseTime(a, AnsiSettings(settings), v)) ConvertError(kInvalidTime, a);
    return v;
}

// ---- Rounding ----

std::int64_t RoundBankers(double value) {
    const auto invalid = [] {
        return EInvalidOp(QStringLiteral("Invalid floating point operation"));
    };
    if (!std::isfinite(value)) throw invalid();
    // Exact for every double: below 2^52 the difference to the floor is
    // representable, above it every double is whole.
    double r = std::floor(value);
    const double diff = value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throw invalid();
    return static_cast<std::int64_t>(r);
}

int Round(double value) {
    return static_cast<int>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(RoundBankers(value))));
}

// ---- Overflow-checked integer arithmetic ----

namespace {
[[noreturn]] void IntOverflow() {
    throw EIntOverflow(QStringLiteral("Integer overflow"));
}
} // namespace

int CheckedAdd(int a, int b) {
    int r = 0;
    if (__builtin_add_overflow(a, b, &r)) IntOverflow();
    return r;
}

int CheckedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r)) IntOverflow();
    return r;
}

int CheckedMul(int a, int b) {
    int r = 0;
    if (__builtin_mul_overflow(a, b, &r)) IntOverflow();
    return r;
}

void Inc(int& value, int by) {
    value = CheckedAdd(value, by);
}

void Dec(int& value, int by) {
    value = CheckedSub(value, by);
}

// ---- Lists ----

void ListIndexError(int index) {
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}
