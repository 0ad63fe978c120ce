// Themed drawing through the style, and the switch that turns it off.

#include "ThemesSupport.h"
#include "GridTestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace Themes;

TEST(Themes, FollowsEnvironmentAtStart) {
    // Run alone with CALLERID_THEMES=0 by the test below.
    EXPECT_EQ(ThemesEnabled(), qEnvironmentVariable("CALLERID_THEMES") != QLatin1String("0"));
}

TEST(Themes, EnvironmentSwitchesThemesOff) {
    if (qEnvironmentVariable("CALLERID_THEMES") == QLatin1String("0"))
        GTEST_SKIP() << "already the child run";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CALLERID_THEMES"), QStringLiteral("0"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Themes.FollowsEnvironmentAtStart")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

TEST(Themes, RunTimeSwitch) {
    const bool was = ThemesEnabled();
    SetThemesEnabled(false);
    EXPECT_FALSE(ThemesActive());
    SetThemesEnabled(true);
    EXPECT_TRUE(ThemesActive());
    SetThemesEnabled(was);
}

TEST(Themes, EveryClassDrawsInsideItsRectangle) {
    struct Case {
        const char* Class;
        int Part;
        int State;
    } cases[] = {{"header", HP_HEADERITEM, HIS_NORMAL},
                 {"header", 0, 0},
                 {"header", HP_HEADERSORTARROW, 1},
                 {"Button", BP_PUSHBUTTON, 1},
                 {"button", BP_CHECKBOX, 5},
                 {"Button", BP_RADIOBUTTON, 1},
                 {"rebar", 0, 1},
                 {"listview", 1, 0},
                 {"edit", EP_EDITTEXT, ETS_NORMAL},
                 {"spin", SPNP_UP, UPS_NORMAL},
                 {"spin", SPNP_DOWNHORZ, UPS_PRESSED},
                 {"combobox", CP_DROPDOWNBUTTON, 1}};
    const QRect inside(5, 4, 20, 14);
    for (const Case& c : cases) {
        TBitmap bmp = Surface(30, 22, clRed);
        DrawThemed(nullptr, bmp.Canvas(), QString::fromLatin1(c.Class), c.Part, c.State,
                   TRect::FromQRect(inside));
        const QImage img = bmp.Image();
        EXPECT_GT(CountOther(img, inside, qRgb(255, 0, 0)), 0) << c.Class << " " << c.Part;
        EXPECT_EQ(CountChangedOutside(img, Surface(30, 22, clRed).Image(), inside), 0)
            << c.Class << " " << c.Part;
    }
}

TEST(Themes, StatesLookDifferent) {
    const auto draw = [](const char* cls, int part, int state) {
        TBitmap bmp = Surface(40, 20, clRed);
        DrawThemed(nullptr, bmp.Canvas(), QString::fromLatin1(cls), part, state,
                   Rect(2, 2, 38, 18));
        return bmp.Image();
    };
    EXPECT_NE(draw("Button", BP_CHECKBOX, CBS_UNCHECKEDNORMAL),
              draw("Button", BP_CHECKBOX, CBS_CHECKEDNORMAL));
    EXPECT_NE(draw("Button", BP_PUSHBUTTON, PBS_NORMAL),
              draw("Button", BP_PUSHBUTTON, PBS_PRESSED));
    EXPECT_NE(draw("header", HP_HEADERSORTARROW, HSAS_SORTEDUP),
              draw("header", HP_HEADERSORTARROW, HSAS_SORTEDDOWN));
}

TEST(Themes, UnknownClassOrPartIsAThemeError) {
    TBitmap bmp = Surface(10, 10);
    try {
        DrawThemed(nullptr, bmp.Canvas(), QStringLiteral("trackbar"), 1, 1, Rect(0, 0, 5, 5));
        FAIL();
    } catch (const EThemeError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error in Themes"));
    }
    EXPECT_THROW(DrawThemed(nullptr, bmp.Canvas(), QStringLiteral("spin"), 9, 1, Rect(0, 0, 5, 5)),
                 EThemeError);
    EXPECT_THROW(DrawThemed(nullptr, nullptr, QStringLiteral("header"), 1, 1, Rect(0, 0, 5, 5)),
                 EThemeError);
}
