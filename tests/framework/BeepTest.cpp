#include "Beep.h"

#include <QElapsedTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<qint16> Samples(const QByteArray& pcm) {
    std::vector<qint16> s(size_t(pcm.size()) / sizeof(qint16));
    std::memcpy(s.data(), pcm.constData(), s.size() * sizeof(qint16));
    return s;
}

int Peak(const std::vector<qint16>& s, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < s.size(); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

// Sign changes, stepping over exact zeros.
int ZeroCrossings(const std::vector<qint16>& s) {
    int crossings = 0, last = 0;
    for (qint16 v : s) {
        const int sign = v > 0 ? 1 : v < 0 ? -1 : 0;
        if (sign == 0) continue;
        if (last != 0 && sign != last) ++crossings;
        last = sign;
    }
    return crossings;
}

// Sets or clears CALLERID_MUTE for one scope.
class MuteScope {
public:
    explicit MuteScope(bool mute) : FHad(qEnvironmentVariableIsSet("CALLERID_MUTE")) {
        FOld = qgetenv("CALLERID_MUTE");
        if (mute)
            qputenv("CALLERID_MUTE", "1");
        else
            qunsetenv("CALLERID_MUTE");
    }
    ~MuteScope() {
        if (FHad)
            qputenv("CALLERID_MUTE", FOld);
        else
            qunsetenv("CALLERID_MUTE");
    }

private:
    bool FHad;
    QByteArray FOld;
};

} // namespace

TEST(Beep, ToneHasTheLengthPitchAndLevelAsked) {
    struct Case {
        int hz, ms, rate;
    };
    for (const Case c : {Case{1000, 100, 44100}, Case{440, 250, 8000}, Case{3000, 37, 48000}}) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz " << c.ms << " ms at " << c.rate);
        const std::vector<qint16> s = Samples(MakeTone(c.hz, c.ms, c.rate));
        ASSERT_EQ(s.size(), size_t(qint64(c.rate) * c.ms / 1000));
        const int expected = 2 * c.hz * c.ms / 1000;
        EXPECT_NEAR(ZeroCrossings(s), expected, 2);
        EXPECT_LE(Peak(s, 0, s.size()), kToneAmplitude);
        // Full level once the fade-in is over.
        const size_t fade = size_t(c.rate) * kToneFadeMs / 1000;
        EXPECT_GE(Peak(s, fade, s.size() - fade), kToneAmplitude * 98 / 100);
    }
}

TEST(Beep, ToneFadesInAndOut) {
    const std::vector<qint16> s = Samples(MakeTone(1000, 100, 44100));
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.front(), 0);
    EXPECT_LE(std::abs(int(s.back())), 20);
    // Within the first and last millisecond the level is still small.
    EXPECT_LT(Peak(s, 0, 44), kToneAmplitude / 5);
    EXPECT_LT(Peak(s, s.size() - 44, s.size()), kToneAmplitude / 5);
    // A tone shorter than two fades still rises and falls without a jump.
    const std::vector<qint16> shortTone = Samples(MakeTone(2000, 4, 44100));
    ASSERT_EQ(shortTone.size(), 176u);
    EXPECT_EQ(shortTone.front(), 0);
    EXPECT_GT(Peak(shortTone, 0, shortTone.size()), kToneAmplitude / 2);
}

TEST(Beep, ToneRefusesArgumentsItCannotHonour) {
    EXPECT_TRUE(MakeTone(0, 100, 44100).isEmpty());
    EXPECT_TRUE(MakeTone(-5, 100, 44100).isEmpty());
    EXPECT_TRUE(MakeTone(1000, 0, 44100).isEmpty());
    EXPECT_TRUE(MakeTone(1000, -1, 44100).isEmpty());
    EXPECT_TRUE(MakeTone(1000, 100, 0).isEmpty());
    EXPECT_TRUE(MakeTone(22050, 100, 44100).isEmpty()) << "at the Nyquist frequency";
    EXPECT_TRUE(MakeTone(1000, 24 * 3600 * 1000, 44100).isEmpty()) << "a day-long tone";
    EXPECT_FALSE(MakeTone(22049, 100, 44100).isEmpty());
}

TEST(Beep, ReturnsPromptlyWhenMutedOrAskedForNothing) {
    {
        MuteScope mute(true);
        QElapsedTimer t;
        t.start();
        Beep(1000, 3000);
        EXPECT_LT(t.elapsed(), 500);
    }
    // Not muted: arguments outside the range of the system beep play nothing,
    // so these return at once whether or not the machine has a sound device.
    MuteScope unmute(false);
    QElapsedTimer t;
    t.start();
    Beep(20, 3000);
    Beep(40000, 3000);
    Beep(1000, 0);
    Beep(1000, -100);
    EXPECT_LT(t.elapsed(), 500);
}
