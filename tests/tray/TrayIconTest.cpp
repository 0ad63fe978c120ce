#include "TrayIcon.h"

#include "Application.h"
#include "Forms.h"
#include "Framework.h"
#include "Streaming.h"

#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

QIcon SolidIcon(QRgb color) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return QIcon(QPixmap::fromImage(image));
}

AnsiString Repeated(char c, int n) {
    return AnsiString(n, c);
}

class TrayIconTest : public ::testing::Test {
protected:
    TRecordingShell shell;
    TShellScope useShell{&shell};
    TManualTimers clock;
    TTimerSourceScope useClock{&clock};

    static void Send(const TTrayIcon& icon, std::uint32_t event) {
        TRecordingShell::SendCallback(icon.NotifyData(), event);
    }
    const TRecordingShell::TShownIcon* Shown(const TTrayIcon& icon) const {
        return shell.Find(icon.NotifyData().Wnd, icon.NotifyData().uID);
    }
    static void DoubleClick(const TTrayIcon& icon) {
        for (std::uint32_t e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            Send(icon, e);
    }
};

// Collects the events of an icon as short words, in order.
struct TEventLog {
    std::vector<std::string> Events;
    void Attach(TTrayIcon& icon, bool withDblClick) {
        icon.OnClick = [this](QObject*) { Events.push_back("click"); };
        if (withDblClick) icon.OnDblClick = [this](QObject*) { Events.push_back("dblclick"); };
        icon.OnMouseDown = [this](QObject*, TMouseButton b, TShiftState, int, int) {
            Events.push_back(b == mbLeft ? "ldown" : b == mbRight ? "rdown" : "mdown");
        };
        icon.OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int, int) {
            Events.push_back(b == mbLeft ? "lup" : b == mbRight ? "rup" : "mup");
        };
        icon.OnMouseMove = [this](QObject*, TShiftState, int, int) { Events.push_back("move"); };
        icon.OnMouseEnter = [this](QObject*) { Events.push_back("enter"); };
        icon.OnMouseExit = [this](QObject*) { Events.push_back("exit"); };
        icon.OnBalloonHintShow = [this](QObject*) { Events.push_back("bshow"); };
        icon.OnBalloonHintHide = [this](QObject*) { Events.push_back("bhide"); };
        icon.OnBalloonHintTimeout = [this](QObject*) { Events.push_back("btimeout"); };
        icon.OnBalloonHintClick = [this](QObject*) { Events.push_back("bclick"); };
    }
    std::vector<std::string> Take() { return std::exchange(Events, {}); }
};

using Words = std::vector<std::string>;

// ------------------------------------------------------------------- record

TEST_F(TrayIconTest, TheRecordIsSetUpOnceAndFilledBeforeEveryRequest) {
    TTrayIcon icon;
    const TNotifyIconDataA& d = icon.NotifyData();
    EXPECT_EQ(d.cbSize, 488u);
    EXPECT_EQ(d.Wnd, TTrayIconHandler::Instance()->Window());
    EXPECT_NE(d.uID, 0u);
    EXPECT_EQ(TTrayIconHandler::Instance()->Find(d.uID), &icon);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 2048u);
    EXPECT_TRUE(icon.Enabled());
    EXPECT_TRUE(icon.ShowHint());
    EXPECT_FALSE(icon.IconVisible());
    EXPECT_EQ(shell.Requests().size(), 0u) << "nothing reaches the shell before it is asked";

    icon.SetIcon(SolidIcon(qRgb(255, 0, 0)));
    icon.SetHint("Caller ID");
    shell.ClearRequests();
    icon.SetIconVisible(true);
    ASSERT_EQ(shell.Requests().size(), 1u);
    const TRecordingShell::TRequest& add = shell.LastRequest();
    EXPECT_EQ(add.Message, NIM_ADD);
    EXPECT_EQ(add.Data.uFlags, 7u);
    EXPECT_EQ(FieldText(add.Data.szTip, 128), "Caller ID");
    EXPECT_EQ(IconFromHandle(add.Data.hIcon).cacheKey(), icon.Icon().cacheKey());
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_TRUE(Shown(icon));

    // A refused request changes nothing but the result.
    EXPECT_FALSE(icon.AddIcon());
    EXPECT_TRUE(icon.RemoveIcon());
    EXPECT_FALSE(icon.IconVisible());
    EXPECT_FALSE(Shown(icon));
    EXPECT_FALSE(icon.UpdateIcon());
}

TEST_F(TrayIconTest, InTheDesignerOnlyAPreviewReachesTheShell) {
    TComponent form;
    form.SetComponentStateFlags(csDesigning, true);
    auto* icon = new TTrayIcon(&form);
    shell.ClearRequests();
    EXPECT_FALSE(icon->AddIcon());
    EXPECT_TRUE(icon->IconVisible());
    icon->SetIconVisible(false);
    EXPECT_FALSE(icon->UpdateIcon());
    EXPECT_EQ(shell.Requests().size(), 0u);

    icon->SetDesignPreview(true);
    ASSERT_TRUE(Shown(*icon));
    EXPECT_NE(Shown(*icon)->Data.hIcon, 0u) << "an empty icon is previewed as the default one";
    EXPECT_FALSE(icon->IconVisible()) << "a preview is not the stored visibility";
    icon->SetDesignPreview(false);
    EXPECT_FALSE(Shown(*icon));
}

TEST_F(TrayIconTest, TheTooltipIsCutAt127CharactersAndLeftOutWithoutShowHint) {
    TTrayIcon icon;
    icon.SetIconVisible(true);
    icon.SetHint(Repeated('h', 200));
    const TNotifyIconDataA& sent = shell.LastRequest().Data;
    EXPECT_EQ(FieldText(sent.szTip, 128), Repeated('h', 127));
    EXPECT_EQ(sent.szTip[127], '\0');

    icon.SetShowHint(false);
    const TNotifyIconDataA& hidden = shell.LastRequest().Data;
    EXPECT_TRUE(std::all_of(std::begin(hidden.szTip), std::end(hidden.szTip),
                            [](char c) { return c == 0; }));

    icon.SetShowHint(true);
    icon.SetHint("");
    EXPECT_EQ(shell.LastRequest().Data.szTip[0], '\0');
    EXPECT_EQ(Shown(icon)->Data.szTip[0], '\0');

    // Layouts hold the hint as text; the record holds code page 1254.
    icon.SetHintText(QStringLiteral("Çağrı"));
    EXPECT_EQ(icon.Hint(), AnsiString("\xC7\x61\xF0r\xFD"));
    EXPECT_EQ(FieldText(shell.LastRequest().Data.szTip, 128), AnsiString("\xC7\x61\xF0r\xFD"));
    EXPECT_EQ(icon.HintText(), QStringLiteral("Çağrı"));
    // The cut counts code-page characters, one byte each.
    icon.SetHintText(QString(200, QChar(0x011F))); // ğ
    EXPECT_EQ(FieldText(shell.LastRequest().Data.szTip, 128), Repeated('\xF0', 127));
}

// ----------------------------------------------------------------- balloons

TEST_F(TrayIconTest, ABalloonCancelsTheLastOneThenShowsWithItsFieldsCut) {
    TTrayIcon icon;
    icon.SetIconVisible(true);
    shell.ClearRequests();

    EXPECT_TRUE(icon.ShowBalloonHint(Repeated('t', 70), Repeated('x', 300), bikInfo, 10));
    const auto modifies = shell.RequestsOf(NIM_MODIFY);
    ASSERT_EQ(modifies.size(), 2u);
    const TNotifyIconDataA& cancel = modifies[0];
    EXPECT_EQ(cancel.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(cancel.szInfo[0], '\0');
    const TNotifyIconDataA& show = modifies[1];
    EXPECT_EQ(show.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(FieldText(show.szInfoTitle, 64), Repeated('t', 63));
    EXPECT_EQ(FieldText(show.szInfo, 256), Repeated('x', 255));
    EXPECT_EQ(show.uTimeout, 10000u);
    EXPECT_EQ(show.dwInfoFlags, 1u);
    EXPECT_EQ(icon.NotifyData().uFlags, 7u);
    EXPECT_TRUE(Shown(icon)->BalloonShown);

    // Later updates carry no balloon.
    icon.SetHint("later");
    EXPECT_EQ(shell.LastRequest().Data.uFlags, 7u);

    // Turkish texts are cut in the code page, one byte a character.
    EXPECT_TRUE(icon.ShowBalloonHint(WideToAnsi(QString(70, QChar(0x00C7))), "x", bikInfo, 10));
    EXPECT_EQ(FieldText(Shown(icon)->Data.szInfoTitle, 64), Repeated('\xC7', 63));

    // A second balloon replaces the first.
    EXPECT_TRUE(icon.ShowBalloonHint("Second", "two", bikWarning, 3));
    EXPECT_EQ(FieldText(Shown(icon)->Data.szInfo, 256), "two");
    EXPECT_EQ(FieldText(Shown(icon)->Data.szInfoTitle, 64), "Second");
    EXPECT_EQ(Shown(icon)->Data.uTimeout, 3000u);
    EXPECT_EQ(Shown(icon)->Data.dwInfoFlags, 2u);
}

TEST_F(TrayIconTest, ARefusedOrFailingBalloonReportsFalseAndLeavesThePlainFlags) {
    TTrayIcon icon; // never added: the shell refuses changes to it
    EXPECT_FALSE(icon.ShowBalloonHint("T", "x", bikError, 5));
    EXPECT_EQ(icon.NotifyData().uFlags, 7u);

    icon.SetIconVisible(true);
    shell.Throw = true;
    EXPECT_THROW(icon.ShowBalloonHint("T", "x", bikError, 5), Exception);
    shell.Throw = false;
    EXPECT_EQ(icon.NotifyData().uFlags, 7u);
    EXPECT_TRUE(icon.UpdateIcon());
    EXPECT_EQ(shell.LastRequest().Data.uFlags, 7u);
}

TEST_F(TrayIconTest, BalloonNoticesArriveEvenWhenMouseMessagesAreDisabled) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, true);
    icon.SetPopupMenu(nullptr);
    icon.SetEnabled(false);
    for (std::uint32_t e : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                            WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP})
        Send(icon, e);
    clock.Advance(1000);
    EXPECT_EQ(log.Take(), Words{});
    for (std::uint32_t e :
         {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK, 0x0600u})
        Send(icon, e);
    EXPECT_EQ(log.Take(), (Words{"bshow", "bhide", "btimeout", "bclick"}));
}

// ------------------------------------------------------------------- clicks

TEST_F(TrayIconTest, WithoutADoubleClickHandlerTheClickComesAtTheFirstButtonUp) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, false);
    Send(icon, WM_LBUTTONDOWN);
    Send(icon, WM_LBUTTONUP);
    EXPECT_EQ(log.Take(), (Words{"ldown", "click", "lup"}));

    DoubleClick(icon);
    clock.Advance(5000);
    EXPECT_EQ(log.Take(), (Words{"ldown", "click", "lup", "lup"}));
}

TEST_F(TrayIconTest, WithADoubleClickHandlerAClickWaitsForTheDoubleClickTime) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, true);
    const unsigned dblTime = unsigned(QGuiApplication::styleHints()->mouseDoubleClickInterval());

    Send(icon, WM_LBUTTONDOWN);
    Send(icon, WM_LBUTTONUP);
    EXPECT_EQ(log.Take(), (Words{"ldown", "lup"}));
    clock.Advance(dblTime - 1);
    EXPECT_EQ(log.Take(), Words{});
    clock.Advance(1);
    EXPECT_EQ(log.Take(), Words{"click"});
    clock.Advance(5 * dblTime);
    EXPECT_EQ(log.Take(), Words{}) << "the double-click timer stops after its tick";

    DoubleClick(icon);
    clock.Advance(5 * dblTime);
    EXPECT_EQ(log.Take(), (Words{"ldown", "lup", "dblclick", "lup"}));

    // After a double-click the next single click is reported again.
    Send(icon, WM_LBUTTONDOWN);
    Send(icon, WM_LBUTTONUP);
    clock.Advance(dblTime);
    EXPECT_EQ(log.Take(), (Words{"ldown", "lup", "click"}));

    // A third click right after a double-click is a click of its own.
    DoubleClick(icon);
    Send(icon, WM_LBUTTONDOWN);
    Send(icon, WM_LBUTTONUP);
    clock.Advance(dblTime);
    EXPECT_EQ(log.Take(), (Words{"ldown", "lup", "dblclick", "lup", "ldown", "lup", "click"}));
}

TEST_F(TrayIconTest, ADoubleClickNobodyWaitedForDoesNotSwallowALaterClick) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, false);
    DoubleClick(icon);
    EXPECT_EQ(log.Take(), (Words{"ldown", "click", "lup", "lup"}));

    icon.OnDblClick = [&](QObject*) { log.Events.push_back("dblclick"); };
    Send(icon, WM_LBUTTONDOWN);
    Send(icon, WM_LBUTTONUP);
    clock.Advance(5000);
    EXPECT_EQ(log.Take(), (Words{"ldown", "lup", "click"}));
}

TEST_F(TrayIconTest, MouseEventsCarryThePointerAndTheKeysOfTheMoment) {
    TTrayIcon icon;
    std::vector<std::tuple<TMouseButton, TShiftState, int, int>> downs;
    icon.OnMouseDown = [&](QObject* sender, TMouseButton b, TShiftState s, int x, int y) {
        EXPECT_EQ(sender, &icon);
        downs.emplace_back(b, s, x, y);
    };
    TShiftState moveShift = -1;
    icon.OnMouseMove = [&](QObject*, TShiftState s, int, int) { moveShift = s; };
    shell.CursorPos = {640, 470};
    shell.Shift = ssShift | ssCtrl;
    Send(icon, WM_LBUTTONDOWN);
    shell.Shift = ssAlt;
    Send(icon, WM_RBUTTONDOWN);
    Send(icon, WM_MBUTTONDOWN);
    Send(icon, WM_MOUSEMOVE);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0], std::make_tuple(mbLeft, ssShift | ssCtrl | ssLeft, 640, 470));
    EXPECT_EQ(downs[1], std::make_tuple(mbRight, ssAlt | ssRight, 640, 470));
    EXPECT_EQ(downs[2], std::make_tuple(mbMiddle, ssAlt | ssMiddle, 640, 470));
    EXPECT_EQ(moveShift, ssAlt);
}

// -------------------------------------------------------------------- menus

class TrayMenuTest : public TrayIconTest {
protected:
    TPopupMenu menu;
    TMenuItem* first = new TMenuItem(&menu);
    TMenuItem* second = new TMenuItem(&menu);
    int firstClicks = 0;
    int secondClicks = 0;

    void SetUp() override {
        first->SetCaption("Listeyi sil");
        second->SetCaption("Çıkış");
        menu.Add(first);
        menu.Add(second);
        first->OnClick = [this](QObject*) { ++firstClicks; };
        second->OnClick = [this](QObject*) { ++secondClicks; };
    }
    void TearDown() override {
        if (QMenu* shown = menu.ShownMenu()) shown->close();
    }
    bool MenuShownAt(QPoint p) const {
        return menu.ShownMenu() && menu.ShownMenu()->isVisible() && menu.ShownMenu()->pos() == p;
    }
};

TEST_F(TrayMenuTest, ARightButtonDownOpensTheMenuAtThePointerUnlessAutoPopupIsOff) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, false);
    icon.SetPopupMenu(&menu);
    shell.CursorPos = {300, 200};

    menu.SetAutoPopup(false);
    Send(icon, WM_RBUTTONDOWN);
    Send(icon, WM_RBUTTONUP);
    EXPECT_EQ(log.Take(), (Words{"rdown", "rup"}));
    EXPECT_EQ(menu.ShownMenu(), nullptr);

    menu.SetAutoPopup(true);
    Send(icon, WM_RBUTTONDOWN);
    EXPECT_TRUE(MenuShownAt({300, 200}));
    EXPECT_EQ(menu.PopupComponent(), &icon);
    EXPECT_EQ(log.Take(), Words{"rdown"});
    menu.ShownMenu()->close();

    // The left button opens it only with LeftPopup.
    Send(icon, WM_LBUTTONDOWN);
    EXPECT_FALSE(menu.ShownMenu()->isVisible());
    icon.SetLeftPopup(true);
    shell.CursorPos = {10, 20};
    Send(icon, WM_LBUTTONDOWN);
    EXPECT_TRUE(MenuShownAt({10, 20}));
    menu.ShownMenu()->close();

    // No menu when the pointer cannot be read, or when messages are off.
    shell.CursorAvailable = false;
    Send(icon, WM_RBUTTONDOWN);
    EXPECT_FALSE(menu.ShownMenu()->isVisible());
    shell.CursorAvailable = true;
    icon.SetEnabled(false);
    Send(icon, WM_RBUTTONDOWN);
    EXPECT_FALSE(menu.ShownMenu()->isVisible());
}

TEST_F(TrayMenuTest, ADoubleClickClicksTheFirstDefaultItemIfItIsEnabled) {
    TTrayIcon icon;
    icon.SetPopupMenu(&menu);
    DoubleClick(icon);
    EXPECT_EQ(firstClicks + secondClicks, 0) << "no default item, nothing chosen";

    second->SetDefault(true);
    DoubleClick(icon);
    EXPECT_EQ(secondClicks, 1);

    first->SetDefault(true);
    DoubleClick(icon);
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 1);

    first->SetEnabled(false);
    DoubleClick(icon);
    EXPECT_EQ(firstClicks, 1) << "a disabled default item does nothing";
    EXPECT_EQ(secondClicks, 1) << "and the next default is not chosen instead";
    first->SetEnabled(true);

    icon.SetLeftPopup(true);
    DoubleClick(icon);
    EXPECT_EQ(firstClicks, 1);
    icon.SetLeftPopup(false);
    menu.SetAutoPopup(false);
    DoubleClick(icon);
    EXPECT_EQ(firstClicks, 1);
}

TEST_F(TrayIconTest, AMenuOrImageListThatGoesAwayIsLetGo) {
    TTrayIcon icon;
    auto menu = std::make_unique<TPopupMenu>();
    icon.SetPopupMenu(menu.get());
    auto list = std::make_unique<TImageList>();
    for (QRgb c : {qRgb(1, 0, 0), qRgb(2, 0, 0), qRgb(3, 0, 0)})
        list->Add(SolidIcon(c));
    icon.SetIconList(list.get());
    icon.SetIconIndex(2);
    ASSERT_EQ(icon.IconIndex(), 2);

    menu.reset();
    EXPECT_EQ(icon.PopupMenu(), nullptr);
    Send(icon, WM_RBUTTONDOWN); // nothing to open, nothing dangling

    list.reset();
    EXPECT_EQ(icon.IconList(), nullptr);
    EXPECT_EQ(icon.IconIndex(), 0);
}

// ------------------------------------------------------------ icons, cycling

class TrayListTest : public TrayIconTest {
protected:
    TImageList list;
    void AddImages(int n) {
        for (int i = 0; i < n; ++i)
            list.Add(SolidIcon(qRgb(10 * i, 0, 0)));
    }
    // The image index the shell was last sent, or -1 when it is none of the list's.
    int SentIndex() const {
        const QIcon sent = IconFromHandle(shell.LastRequest().Data.hIcon);
        for (int i = 0; i < list.Count(); ++i)
            if (list.GetIcon(i).cacheKey() == sent.cacheKey()) return i;
        return -1;
    }
};

TEST_F(TrayListTest, AnIndexBeyondTheListIsLoweredToTheLastImage) {
    AddImages(5);
    TTrayIcon icon;
    icon.SetIconIndex(3);
    EXPECT_EQ(icon.IconIndex(), 0) << "without a list the index stays 0";

    icon.SetIconList(&list);
    icon.SetIconVisible(true);
    shell.ClearRequests();
    icon.SetIconIndex(7);
    EXPECT_EQ(icon.IconIndex(), 4);
    // The image goes in through the Icon property, which updates the shell,
    // and the index setter updates it once more.
    ASSERT_EQ(shell.RequestsOf(NIM_MODIFY).size(), 2u);
    EXPECT_EQ(shell.Requests().size(), 2u);
    EXPECT_EQ(SentIndex(), 4);
    icon.SetIconIndex(2);
    EXPECT_EQ(SentIndex(), 2);
}

TEST_F(TrayListTest, CyclingStepsThroughTheImagesAndReportsTheNextIndex) {
    AddImages(3);
    TTrayIcon icon;
    std::vector<int> nextIndexes;
    std::vector<int> shownBefore;
    icon.OnCycle = [&](QObject*, int next) {
        nextIndexes.push_back(next);
        shownBefore.push_back(icon.IconIndex());
    };
    icon.SetIconList(&list);
    icon.SetIconVisible(true);
    icon.SetIconIndex(2);
    icon.SetCycleInterval(400);
    icon.SetCycleIcons(true);
    EXPECT_EQ(icon.IconIndex(), 0) << "cycling starts at the first image";

    std::vector<int> shown;
    for (int step = 0; step < 4; ++step) {
        clock.Advance(400);
        shown.push_back(SentIndex());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(nextIndexes, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(shownBefore, (std::vector<int>{0, 1, 2, 0}));

    // A new interval restarts at image 0 with the new period.
    icon.SetCycleInterval(100);
    EXPECT_EQ(icon.IconIndex(), 0);
    clock.Advance(100);
    EXPECT_EQ(icon.IconIndex(), 1);

    icon.SetCycleIcons(false);
    clock.Advance(1000);
    EXPECT_EQ(icon.IconIndex(), 1);
}

TEST_F(TrayListTest, CyclingWithIntervalZeroOrWithoutAListNeverSteps) {
    AddImages(3);
    TTrayIcon icon;
    int cycles = 0;
    icon.OnCycle = [&](QObject*, int) { ++cycles; };
    icon.SetCycleIcons(true); // no list: the ticks do nothing
    icon.SetCycleInterval(50);
    clock.Advance(500);
    EXPECT_EQ(cycles, 0);

    icon.SetIconList(&list);
    icon.SetCycleInterval(0);
    clock.Advance(100000);
    EXPECT_EQ(cycles, 0);
    EXPECT_EQ(icon.IconIndex(), 0);
}

// ----------------------------------------------------------- enter and exit

TEST_F(TrayIconTest, EnterOnTheFirstMoveAndExitWhenThePollSeesThePointerElsewhere) {
    TTrayIcon icon;
    TEventLog log;
    log.Attach(icon, false);
    shell.CursorPos = {100, 100};
    Send(icon, WM_MOUSEMOVE);
    EXPECT_EQ(log.Take(), Words{"move"}) << "no enter without WantEnterExitEvents";

    icon.SetWantEnterExitEvents(true);
    Send(icon, WM_MOUSEMOVE);
    Send(icon, WM_MOUSEMOVE);
    EXPECT_EQ(log.Take(), (Words{"enter", "move", "move"}));
    clock.Advance(200);
    EXPECT_EQ(log.Take(), Words{}) << "the pointer has not moved";

    shell.CursorPos = {100, 101};
    clock.Advance(19);
    EXPECT_EQ(log.Take(), Words{});
    clock.Advance(1);
    EXPECT_EQ(log.Take(), Words{"exit"});
    clock.Advance(200);
    EXPECT_EQ(log.Take(), Words{});

    Send(icon, WM_MOUSEMOVE);
    EXPECT_EQ(log.Take(), (Words{"enter", "move"}));

    // While the pointer cannot be read the poll reports nothing.
    shell.CursorAvailable = false;
    clock.Advance(100);
    EXPECT_EQ(log.Take(), Words{});

    icon.SetWantEnterExitEvents(false);
    shell.CursorAvailable = true;
    shell.CursorPos = {0, 0};
    clock.Advance(100);
    EXPECT_EQ(log.Take(), Words{});
}

// --------------------------------------------------------- life of the icon

TEST_F(TrayIconTest, TheSharedWindowLivesExactlyAsLongAsItsLastIcon) {
    EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
    auto a = std::make_unique<TTrayIcon>();
    TTrayIconHandler* handler = TTrayIconHandler::Instance();
    ASSERT_NE(handler, nullptr);
    const THandle window = handler->Window();
    EXPECT_TRUE(IsShellWindow(window));
    auto b = std::make_unique<TTrayIcon>();
    EXPECT_EQ(handler->Users(), 2u);
    EXPECT_EQ(b->NotifyData().Wnd, window);
    EXPECT_NE(b->NotifyData().uID, a->NotifyData().uID);
    a.reset();
    EXPECT_EQ(TTrayIconHandler::Instance(), handler);
    b.reset();
    EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
    EXPECT_FALSE(IsShellWindow(window));
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr) << "the icon's timers went with it";
}

TEST_F(TrayIconTest, DestructionRemovesTheIconAndSurvivesAFailingShell) {
    auto icon = std::make_unique<TTrayIcon>();
    icon->SetIconVisible(true);
    const TNotifyIconDataA record = icon->NotifyData();
    icon.reset();
    EXPECT_EQ(shell.LastRequest().Message, NIM_DELETE);
    EXPECT_EQ(shell.IconCount(), 0u);

    icon = std::make_unique<TTrayIcon>();
    icon->SetIconVisible(true);
    shell.Throw = true;
    EXPECT_NO_THROW(icon.reset());
    shell.Throw = false;
    EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);

    // A message that was on its way to the freed icon goes nowhere.
    EXPECT_FALSE(TRecordingShell::SendCallback(record, WM_LBUTTONDOWN));
}

TEST_F(TrayIconTest, AMessageForAFreedIconDoesNotReachAnother) {
    auto gone = std::make_unique<TTrayIcon>();
    TTrayIcon other;
    int otherClicks = 0;
    other.OnClick = [&](QObject*) { ++otherClicks; };
    const TNotifyIconDataA record = gone->NotifyData();
    gone.reset();
    TRecordingShell::SendCallback(record, WM_LBUTTONDOWN);
    TRecordingShell::SendCallback(record, WM_LBUTTONUP);
    TTrayIcon newer;
    EXPECT_NE(newer.NotifyData().uID, record.uID);
    TRecordingShell::SendCallback(record, WM_LBUTTONDOWN);
    TRecordingShell::SendCallback(record, WM_LBUTTONUP);
    EXPECT_EQ(otherClicks, 0);
}

TEST_F(TrayIconTest, AHandlerMayFreeTheIcon) {
    auto icon = std::make_unique<TTrayIcon>();
    icon->OnClick = [&](QObject*) { icon.reset(); };
    Send(*icon, WM_LBUTTONDOWN);
    const TNotifyIconDataA record = icon->NotifyData();
    TRecordingShell::SendCallback(record, WM_LBUTTONUP);
    EXPECT_FALSE(icon);

    icon = std::make_unique<TTrayIcon>();
    icon->OnDblClick = [](QObject*) {};
    icon->OnClick = [&](QObject*) { icon.reset(); };
    Send(*icon, WM_LBUTTONDOWN);
    Send(*icon, WM_LBUTTONUP);
    clock.Advance(5000); // the delayed click frees it from the timer's tick
    EXPECT_FALSE(icon);
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

TEST_F(TrayIconTest, TheIconComesBackWhenTheTaskbarIsRecreated) {
    TTrayIcon shownIcon;
    TTrayIcon hiddenIcon;
    shownIcon.SetIconVisible(true);
    hiddenIcon.SetIconVisible(true);
    hiddenIcon.SetIconVisible(false);
    shell.RecreateTaskbar();
    EXPECT_TRUE(Shown(shownIcon));
    EXPECT_FALSE(Shown(hiddenIcon));
    EXPECT_EQ(shell.LastRequest().Message, NIM_ADD);
}

// ---------------------------------------------------------------- the owner

TEST_F(TrayIconTest, MinimizingTheOwnerSendsTheMainWindowToTheTray) {
    TForm form;
    ASSERT_EQ(Application->MainForm(), &form);
    auto* icon = new TTrayIcon(&form);
    form.Show();

    form.showMinimized(); // MinimizeToTray is off
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(icon->IconVisible());
    form.showNormal();

    icon->SetMinimizeToTray(true);
    form.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_TRUE(Shown(*icon));

    // Restoring the application brings the window back, not minimized.
    Application->Restore();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());

    // With a handler the component takes the minimize over.
    int handled = 0;
    icon->OnMinimizeToTray = [&](QObject*) { ++handled; };
    icon->SetIconVisible(false);
    form.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    EXPECT_TRUE(icon->IconVisible());

    // The application minimized from code goes to the tray at once, and the
    // window's own minimize that follows changes nothing more.
    form.Show();
    icon->SetIconVisible(false);
    Application->Minimize();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(icon->IconVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 1);
    Application->Restore();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
}

TEST_F(TrayIconTest, TheApplicationHooksChainAndComeOffWithTheLastIcon) {
    int earlier = 0;
    Application->OnRestore = [&] { ++earlier; };
    {
        TTrayIcon icon;
        Application->Restore();
        EXPECT_EQ(earlier, 1);
    }
    Application->Restore();
    EXPECT_EQ(earlier, 2);
    Application->OnRestore = nullptr;
}

// ------------------------------------------------------------------ layouts

class TTrayLayoutForm : public TForm {
    Q_OBJECT
public:
    int Clicks = 0;
    Q_INVOKABLE void TrayIcon1Click(QObject*) { ++Clicks; }
};

const char* const kLayout = R"(<?xml version="1.0"?>
<object class="TTrayLayoutForm" name="TrayLayoutForm">
  <object class="TPopupMenu" name="PopupMenu1">
    <object class="TMenuItem" name="Listeyisil1">
      <property name="Caption">Listeyi sil</property>
    </object>
  </object>
  <object class="TTrayIcon" name="TrayIcon1">
    <property name="CycleInterval">400</property>
    <property name="Hint">Çağrı</property>
    <property name="IconVisible">True</property>
    <property name="IconIndex">0</property>
    <property name="PopupMenu">PopupMenu1</property>
    <property name="WantEnterExitEvents">True</property>
    <property name="OnClick">TrayIcon1Click</property>
  </object>
</object>)";

TEST_F(TrayIconTest, ALayoutHoldsATrayIconWithItsPropertiesAndHandlers) {
    RegisterFrameworkClasses();
    RegisterTrayClasses();
    TTrayLayoutForm form;
    ReadComponent(&form, kLayout);
    auto* icon = form.findChild<TTrayIcon*>(QStringLiteral("TrayIcon1"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->CycleInterval(), 400u);
    EXPECT_EQ(icon->Hint(), AnsiString("\xC7\x61\xF0r\xFD"));
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_TRUE(icon->WantEnterExitEvents());
    EXPECT_EQ(icon->PopupMenu(), form.findChild<TPopupMenu*>(QStringLiteral("PopupMenu1")));
    EXPECT_TRUE(Application->ShowMainForm());
    EXPECT_TRUE(Shown(*icon));
    EXPECT_EQ(shell.LastRequest().Message, NIM_SETVERSION);
    EXPECT_EQ(shell.LastRequest().Data.uTimeout, 0u);
    EXPECT_EQ(shell.RequestsOf(NIM_ADD).size(), 2u) << "the add is repeated after loading";

    Send(*icon, WM_LBUTTONDOWN);
    Send(*icon, WM_LBUTTONUP);
    EXPECT_EQ(form.Clicks, 1);

    const QByteArray written = WriteComponent(&form);
    EXPECT_TRUE(written.contains("<property name=\"OnClick\">TrayIcon1Click</property>"));
    EXPECT_TRUE(written.contains("<property name=\"PopupMenu\">PopupMenu1</property>"));
    EXPECT_TRUE(written.contains("<property name=\"CycleInterval\">400</property>"));
}

TEST_F(TrayIconTest, AStartupHandlerCanKeepTheMainWindowHidden) {
    TForm form;
    form.Show();
    auto* icon = new TTrayIcon(&form);
    int startups = 0;
    icon->OnStartup = [&](QObject*, bool& showMainForm) {
        ++startups;
        EXPECT_TRUE(showMainForm);
        showMainForm = false;
    };
    icon->Loaded(); // what the layout reader does once the window is read
    EXPECT_EQ(startups, 1);
    EXPECT_FALSE(Application->ShowMainForm());
    EXPECT_FALSE(form.isVisible());
    Application->SetShowMainForm(true);

    // A tray icon without a window as its owner does not ask.
    TTrayIcon loose;
    loose.OnStartup = [&](QObject*, bool&) { ++startups; };
    loose.Loaded();
    EXPECT_EQ(startups, 1);
}

TEST_F(TrayIconTest, ALayoutWithANegativeIntervalIsRejected) {
    RegisterFrameworkClasses();
    RegisterTrayClasses();
    TTrayLayoutForm form;
    QByteArray layout(kLayout);
    layout.replace("<property name=\"CycleInterval\">400", "<property name=\"CycleInterval\">-5");
    try {
        ReadComponent(&form, layout);
        FAIL() << "a negative interval was accepted";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("CycleInterval"))) << e.what();
    }
}

TEST_F(TrayIconTest, AnIconPathThatCannotBeReadIsSentAsNoIcon) {
    TTrayIcon icon;
    icon.SetIconVisible(true);
    icon.SetIconSource(QStringLiteral(":/no/such/icon.ico"));
    EXPECT_EQ(icon.IconSource(), QStringLiteral(":/no/such/icon.ico"));
    EXPECT_EQ(shell.LastRequest().Data.hIcon, 0u);
    icon.SetIcon(SolidIcon(qRgb(0, 0, 255)));
    EXPECT_NE(shell.LastRequest().Data.hIcon, 0u);
    EXPECT_TRUE(icon.IconSource().isEmpty());
}

} // namespace

#include "TrayIconTest.moc"
