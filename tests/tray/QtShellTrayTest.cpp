#include "QtShellTray.h"
#include "TrayIcon.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The offscreen platform has no notification area.
TEST(QtShellTrayTest, WithoutANotificationAreaEveryRequestFailsQuietly) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    ASSERT_NE(dynamic_cast<TQtShellTray*>(&Shell()), nullptr) << "the Qt shell is the default";

    TTrayIcon icon;
    EXPECT_NO_THROW(icon.SetIconVisible(true));
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_FALSE(icon.AddIcon());
    EXPECT_FALSE(icon.UpdateIcon());
    EXPECT_FALSE(icon.ShowBalloonHint("Title", "Text", bikInfo, 10));
    EXPECT_FALSE(icon.RemoveIcon());
    TNotifyIconDataA data = icon.NotifyData();
    EXPECT_FALSE(Shell().NotifyIcon(NIM_SETVERSION, data));
    EXPECT_FALSE(Shell().NotifyIcon(7, data));
}

// The same shell on a desktop that has an area: the real QSystemTrayIcon
// objects, with what the desktop would report played through their signals.
class TDesktopShell : public TQtShellTray {
protected:
    bool TrayAvailable() const override { return true; }
};

class QtShellDesktopTest : public ::testing::Test {
protected:
    TDesktopShell shell;
    TShellScope useShell{&shell};
    std::vector<std::string> events;

    void Attach(TTrayIcon& icon) {
        icon.OnClick = [this](QObject*) { events.push_back("click"); };
        icon.OnDblClick = [this](QObject*) { events.push_back("dblclick"); };
        icon.OnMouseDown = [this](QObject*, TMouseButton b, TShiftState, int, int) {
            events.push_back(b == mbLeft ? "ldown" : b == mbRight ? "rdown" : "mdown");
        };
        icon.OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int, int) {
            events.push_back(b == mbLeft ? "lup" : b == mbRight ? "rup" : "mup");
        };
        icon.OnBalloonHintShow = [this](QObject*) { events.push_back("bshow"); };
        icon.OnBalloonHintHide = [this](QObject*) { events.push_back("bhide"); };
        icon.OnBalloonHintTimeout = [this](QObject*) { events.push_back("btimeout"); };
        icon.OnBalloonHintClick = [this](QObject*) { events.push_back("bclick"); };
    }
    QSystemTrayIcon* Tray(const TTrayIcon& icon) const {
        return shell.TrayIcon(icon.NotifyData().Wnd, icon.NotifyData().uID);
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

using Words = std::vector<std::string>;

TEST_F(QtShellDesktopTest, TheRecordBecomesATrayIconWithItsTooltip) {
    TTrayIcon icon;
    icon.SetHintText(QStringLiteral("Çağrı geldi"));
    ASSERT_TRUE(icon.AddIcon());
    QSystemTrayIcon* tray = Tray(icon);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Çağrı geldi"));
    EXPECT_FALSE(icon.AddIcon()) << "an icon is added once";

    icon.SetShowHint(false);
    EXPECT_EQ(tray->toolTip(), QString());
    EXPECT_TRUE(icon.RemoveIcon());
    EXPECT_EQ(Tray(icon), nullptr);
    EXPECT_FALSE(icon.UpdateIcon());
}

TEST_F(QtShellDesktopTest, ActivationsBecomeTheButtonMessages) {
    TTrayIcon icon;
    Attach(icon);
    TPopupMenu menu;
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Çıkış");
    menu.Add(item);
    icon.SetPopupMenu(&menu);
    ASSERT_TRUE(icon.AddIcon());

    emit Tray(icon)->activated(QSystemTrayIcon::Trigger);
    emit Tray(icon)->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(Take(), (Words{"ldown", "lup", "dblclick", "lup"}));
    emit Tray(icon)->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(Take(), (Words{"mdown", "mup"}));
    emit Tray(icon)->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(Take(), (Words{"rdown", "rup"}));
    ASSERT_NE(menu.ShownMenu(), nullptr);
    EXPECT_TRUE(menu.ShownMenu()->isVisible());
    menu.ShownMenu()->close();
}

TEST_F(QtShellDesktopTest, BalloonNoticesReachTheIconFromTheMessageLoop) {
    TTrayIcon icon;
    Attach(icon);
    ASSERT_TRUE(icon.AddIcon());
    ASSERT_TRUE(icon.ShowBalloonHint("Çağrı: 1", "5551234", bikInfo, 10));
    EXPECT_TRUE(shell.BalloonShown(icon.NotifyData().Wnd, icon.NotifyData().uID));
    EXPECT_EQ(Take(), Words{}) << "notices never run inside the request";
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(), Words{"bshow"});

    // A second balloon removes the first before it shows.
    ASSERT_TRUE(icon.ShowBalloonHint("Çağrı: 2", "5559876", bikInfo, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(), (Words{"bhide", "bshow"}));

    emit Tray(icon)->messageClicked();
    EXPECT_EQ(Take(), Words{"bclick"});
    emit Tray(icon)->messageClicked();
    EXPECT_EQ(Take(), Words{}) << "a balloon is clicked away only once";

    // Qt does not report a time-out; the shell keeps the time itself.
    ASSERT_TRUE(icon.ShowBalloonHint("T", "short", bikNone, 0));
    QCoreApplication::processEvents();
    Take();
    TNotifyIconDataA quick = icon.NotifyData();
    quick.uFlags |= NIF_INFO;
    StrPLCopy(quick.szInfo, "quick", 255);
    quick.uTimeout = 5;
    ASSERT_TRUE(shell.NotifyIcon(NIM_MODIFY, quick));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::find(events.begin(), events.end(), "btimeout") != events.end(); }, 5000));
}

TEST_F(QtShellDesktopTest, RemovingTheIconTakesItsBalloonAwayAndSaysSo) {
    TTrayIcon icon;
    Attach(icon);
    ASSERT_TRUE(icon.AddIcon());
    ASSERT_TRUE(icon.ShowBalloonHint("Çağrı: 1", "5551234", bikInfo, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(), Words{"bshow"});
    ASSERT_TRUE(icon.RemoveIcon());
    EXPECT_EQ(Take(), Words{});
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(), Words{"bhide"});

    // Without a balloon a removal says nothing.
    ASSERT_TRUE(icon.AddIcon());
    ASSERT_TRUE(icon.RemoveIcon());
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(), Words{});
}

TEST_F(QtShellDesktopTest, AnIconFreedWhileItsNoticeIsQueuedHearsNothing) {
    auto icon = std::make_unique<TTrayIcon>();
    int shows = 0;
    icon->OnBalloonHintShow = [&](QObject*) { ++shows; };
    ASSERT_TRUE(icon->AddIcon());
    ASSERT_TRUE(icon->ShowBalloonHint("T", "x", bikInfo, 10));
    icon.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(shows, 0);
}

} // namespace
