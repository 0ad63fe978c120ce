// The framework's conversions side by side with what Qt and the standard
// library offer for the same job, in one run:
//   float text:      FloatToStr | QString::number(v, 'g', 15) | std::to_chars (15 digits)
//   float parsing:   StrToFloat | QLocale::c().toDouble | std::from_chars
//   code page 1254:  WideToAnsi / AnsiToWide | QStringEncoder / QStringDecoder("windows-1254")
// Peers do less than ours (no locale separator, no 8-bit round trip, other
// thresholds for scientific notation), so they mark the floor, not a rival
// with the same output.

#include "Strings.h"
#include "SysUtils.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <benchmark/benchmark.h>
#include <charconv>
#include <vector>

namespace {

// A mix of what a grid shows: small integers, money, fractions, large and
// tiny magnitudes.
const std::vector<double>& Values() {
    static const std::vector<double> values = {
        0.0,    1.0,        42.0,    -17.5, 3.14159265358979, 1234567.891, 1.0 / 3,
        0.0001, 0.00009999, 1e15,    1e20,  1.5e-10,          -2.75e-300,  999999999999999.0,
        100.25, -0.001,     65535.0, 2.5,   6.02214076e23,    1e-5};
    return values;
}

void BM_FloatToStr(benchmark::State& state) {
    const auto& values = Values();
    for (auto _ : state)
        for (const double v : values)
            benchmark::DoNotOptimize(FloatToStr(v));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_FloatToStr);

void BM_QStringNumber(benchmark::State& state) {
    const auto& values = Values();
    for (auto _ : state)
        for (const double v : values)
            benchmark::DoNotOptimize(QString::number(v, 'g', 15));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_QStringNumber);

void BM_ToChars(benchmark::State& state) {
    const auto& values = Values();
    char buf[64];
    for (auto _ : state)
        for (const double v : values) {
            const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
            benchmark::DoNotOptimize(r.ptr);
            benchmark::ClobberMemory();
        }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_ToChars);

std::vector<QString> FloatTexts() {
    TFormatSettings dot;
    std::vector<QString> texts;
    for (const double v : Values())
        texts.push_back(FloatToStr(v, dot));
    return texts;
}

void BM_StrToFloat(benchmark::State& state) {
    const auto texts = FloatTexts();
    TFormatSettings dot;
    for (auto _ : state)
        for (const QString& t : texts)
            benchmark::DoNotOptimize(StrToFloat(t, dot));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_StrToFloat);

void BM_QLocaleToDouble(benchmark::State& state) {
    const auto texts = FloatTexts();
    const QLocale c = QLocale::c();
    for (auto _ : state)
        for (const QString& t : texts)
            benchmark::DoNotOptimize(c.toDouble(t));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_QLocaleToDouble);

void BM_FromChars(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const QString& t : FloatTexts())
        texts.push_back(t.toStdString());
    for (auto _ : state)
        for (const std::string& t : texts) {
            double v = 0;
            std::from_chars(t.data(), t.data() + t.size(), v);
            benchmark::DoNotOptimize(v);
        }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_FromChars);

// A Turkish caption of about 1 KB, mostly ASCII with the Turkish letters.
QString TurkishText() {
    QString text;
    while (text.size() < 1024)
        text +=
            QStringLiteral("Çağrı geldi: hat 1, numara 0532 123 45 67; sinyal düzeyi ölçülüyor. "
                           "İşlem başarılı, şimdi ÖĞÜŞ. ");
    return text;
}

void BM_WideToAnsi(benchmark::State& state) {
    const QString text = TurkishText();
    for (auto _ : state)
        benchmark::DoNotOptimize(WideToAnsi(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_WideToAnsi);

void BM_QStringEncoder1254(benchmark::State& state) {
    const QString text = TurkishText();
    QStringEncoder encoder("windows-1254");
    if (!encoder.isValid()) {
        state.SkipWithError("no windows-1254 encoder in this Qt build");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(QByteArray(encoder.encode(text)));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_QStringEncoder1254);

void BM_AnsiToWide(benchmark::State& state) {
    const AnsiString bytes = WideToAnsi(TurkishText());
    for (auto _ : state)
        benchmark::DoNotOptimize(AnsiToWide(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_AnsiToWide);

void BM_QStringDecoder1254(benchmark::State& state) {
    const AnsiString bytes = WideToAnsi(TurkishText());
    QStringDecoder decoder("windows-1254");
    if (!decoder.isValid()) {
        state.SkipWithError("no windows-1254 decoder in this Qt build");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(QString(decoder.decode(bytes)));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_QStringDecoder1254);

} // namespace

BENCHMARK_MAIN();
