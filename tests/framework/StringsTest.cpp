#include "Strings.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

AnsiString Bytes(std::initializer_list<unsigned char> bytes) {
    AnsiString a;
    for (const unsigned char b : bytes)
        a.append(static_cast<char>(b));
    return a;
}

TEST(CodePage1254, TurkishLettersHaveTheirBytesAndComeBack) {
    const WideString turkish = QStringLiteral("çğıİöşüÇĞÖŞÜ");
    const AnsiString expected =
        Bytes({0xE7, 0xF0, 0xFD, 0xDD, 0xF6, 0xFE, 0xFC, 0xC7, 0xD0, 0xD6, 0xDE, 0xDC});
    EXPECT_EQ(WideToAnsi(turkish), expected);
    EXPECT_EQ(AnsiToWide(expected), turkish);
    EXPECT_EQ(AnsiToWide(WideToAnsi(QStringLiteral("Çağrı: 12"))), QStringLiteral("Çağrı: 12"));
}

TEST(CodePage1254, EveryByteSurvivesTheRoundTrip) {
    AnsiString all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const WideString wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), 256);
    EXPECT_EQ(WideToAnsi(wide), all);
    // ASCII stays ASCII; no two bytes share a character.
    for (int b = 0; b < 128; ++b)
        EXPECT_EQ(wide[b].unicode(), b);
    EXPECT_EQ(QSet<QChar>(wide.begin(), wide.end()).size(), 256);
}

TEST(CodePage1254, UpperHalfFollowsWindows) {
    const AnsiString bytes =
        Bytes({0x80, 0x8A, 0x9F, 0xA0, 0xFF, 0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E});
    const WideString wide = AnsiToWide(bytes);
    const char16_t expected[] = {0x20AC, 0x0160, 0x0178, 0x00A0, 0x00FF, 0x0081,
                                 0x008D, 0x008E, 0x008F, 0x0090, 0x009D, 0x009E};
    ASSERT_EQ(wide.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < wide.size(); ++i)
        EXPECT_EQ(wide[i].unicode(), expected[i]) << "byte " << i;
}

TEST(CodePage1254, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // Ð, Ý, Þ, ð, ý, þ are Latin-1 but gave their places to the Turkish letters;
    // Ž is in 1252 but not in 1254.
    EXPECT_EQ(WideToAnsi(QStringLiteral("a中bΩcÐÝÞðýþŽ")), AnsiString("a?b?c???????"));
    // A character beyond the basic plane is one character, so one '?'.
    EXPECT_EQ(WideToAnsi(QStringLiteral("x😀y")), AnsiString("x?y"));
    // A lone surrogate half is not a character either.
    WideString lone = QStringLiteral("a");
    lone.append(QChar(0xD800)).append(u'b').append(QChar(0xDC00));
    EXPECT_EQ(WideToAnsi(lone), AnsiString("a?b?"));
    EXPECT_EQ(WideToAnsi(QStringLiteral("€")), Bytes({0x80}));
}

TEST(CodePage1254, EmptyAndNulTexts) {
    EXPECT_TRUE(WideToAnsi(WideString()).isEmpty());
    EXPECT_TRUE(AnsiToWide(AnsiString()).isEmpty());
    const AnsiString withNul("a\0b", 3);
    EXPECT_EQ(AnsiToWide(withNul).size(), 3);
    EXPECT_EQ(WideToAnsi(AnsiToWide(withNul)), withNul);
}

} // namespace
