#include "Strings.h"

#include <algorithm>
#include <array>
#include <cstdint>

// Code page 1254 by hand, so that the result is the same on every machine
// whether or not the Qt build carries ICU. Bytes below 0x80 are ASCII. The
// bytes the code page leaves undefined (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D,
// 0x9E) stand for the control characters of the same number, as on Windows.

namespace {

constexpr std::array<char16_t, 128> kHighHalf = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F, //
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178, //
    // 0xA0
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, //
    // 0xB0
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, //
    // 0xC0
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, //
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, //
    // 0xD0: Ğ at 0xD0, İ at 0xDD, Ş at 0xDE
    0x011E, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, //
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF, //
    // 0xE0
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, //
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, //
    // 0xF0: ğ at 0xF0, ı at 0xFD, ş at 0xFE
    0x011F, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, //
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x0131, 0x015F, 0x00FF, //
};

// The way back, derived from the table above at compile time: code points
// U+0080..U+00FF through a direct table (0 = not in the code page), the few
// beyond U+00FF through a sorted list.
struct Reverse {
    std::array<std::uint8_t, 128> latin{};
    std::array<std::pair<char16_t, std::uint8_t>, 128> wide{};
    std::size_t wideCount = 0;
};

constexpr Reverse MakeReverse() {
    Reverse r;
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        const char16_t cp = kHighHalf[i];
        const auto byte = static_cast<std::uint8_t>(0x80 + i);
        if (cp < 0x100)
            r.latin[cp - 0x80] = byte;
        else
            r.wide[r.wideCount++] = {cp, byte};
    }
    // Insertion sort: std::sort is not constexpr in every library we build with.
    for (std::size_t i = 1; i < r.wideCount; ++i)
        for (std::size_t j = i; j > 0 && r.wide[j - 1].first > r.wide[j].first; --j) {
            const auto t = r.wide[j];
            r.wide[j] = r.wide[j - 1];
            r.wide[j - 1] = t;
        }
    return r;
}

constexpr Reverse kReverse = MakeReverse();

// All 256 bytes, so that decoding is one lookup per byte without a branch.
constexpr std::array<char16_t, 256> MakeForward() {
    std::array<char16_t, 256> t{};
    for (std::size_t b = 0; b < 256; ++b)
        t[b] = b < 0x80 ? char16_t(b) : kHighHalf[b - 0x80];
    return t;
}

constexpr std::array<char16_t, 256> kForward = MakeForward();

// The byte for one code point, or '?' when the code page has no such character.
char ToByte(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp < 0x100) {
        const std::uint8_t b = kReverse.latin[cp - 0x80];
        return b ? static_cast<char>(b) : '?';
    }
    if (cp > 0xFFFF) return '?';
    const auto first = kReverse.wide.begin();
    const auto last = first + static_cast<std::ptrdiff_t>(kReverse.wideCount);
    const auto it = std::lower_bound(first, last, static_cast<char16_t>(cp),
                                     [](const auto& e, char16_t c) { return e.first < c; });
    return (it != last && it->first == cp) ? static_cast<char>(it->second) : '?';
}

} // namespace

AnsiString WideToAnsi(const WideString& text) {
    const qsizetype n = text.size();
    AnsiString out(n, Qt::Uninitialized);
    const char16_t* src = reinterpret_cast<const char16_t*>(text.utf16());
    char* dst = out.data();
    qsizetype o = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = src[i];
        if (u < 0x80) {
            dst[o++] = static_cast<char>(u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            // A character beyond the basic plane is one character: one '?'.
            dst[o++] = '?';
            ++i;
        } else {
            dst[o++] = ToByte(u); // a lone surrogate falls through to '?'
        }
    }
    out.truncate(o);
    return out;
}

WideString AnsiToWide(const AnsiString& text) {
    const qsizetype n = text.size();
    WideString out(n, Qt::Uninitialized);
    const auto* src = reinterpret_cast<const unsigned char*>(text.constData());
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < n; ++i)
        dst[i] = kForward[src[i]];
    return out;
}
