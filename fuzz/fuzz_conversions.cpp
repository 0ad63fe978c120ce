// The text conversions on arbitrary input: each returns a value or raises
// EConvertError, and whatever they return converts back to text again.

#include "Exceptions.h"
#include "SysUtils.h"

#include <cstddef>
#include <cstdint>

namespace {

template <typename F> void Guarded(F&& f) {
    try {
        f();
    } catch (const EConvertError&) {
        // The one failure a conversion of text may report.
    }
}

TFormatSettings Settings(std::uint8_t choice) {
    TFormatSettings s;
    if (choice & 1) {
        s.DecimalSeparator = u',';
        s.ThousandSeparator = u'.';
        s.DateSeparator = u'.';
    }
    if (choice & 2) s.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    if (choice & 4) s.ShortDateFormat = QStringLiteral("m/d/yy");
    if (choice & 8) s.LongTimeFormat = QStringLiteral("h:nn:ss ampm");
    if (choice & 16) s.DateSeparator = u' ';
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    FormatSettings = Settings(data[0]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    // Both ways in: the text as code-page bytes and as UTF-8 (which brings
    // characters outside the code page and broken sequences).
    for (const QString& text : {AnsiToWide(bytes), QString::fromUtf8(bytes)}) {
        Guarded([&] { IntToStr(StrToInt(text)); });
        Guarded([&] { IntToStr(StrToInt64(text)); });
        Guarded([&] { FloatToStr(StrToFloat(text)); });
        Guarded([&] { BoolToStr(StrToBool(text)); });
        Guarded([&] { DateTimeToStr(StrToDateTime(text)); });
        Guarded([&] { DateToStr(StrToDate(text)); });
        Guarded([&] { TimeToStr(StrToTime(text)); });
        // The text as a format: FormatFloat must never fail, FormatDateTime
        // only for a value outside the calendar (not the case here).
        FormatFloat(text, 1234.5678);
        FormatFloat(text, -0.001);
        FormatFloat(text, 0);
        FormatDateTime(text, 45351.75);
        if (WideToAnsi(AnsiToWide(bytes)) != bytes) __builtin_trap();
    }
    return 0;
}
