// Handlers that fail inside Qt's event delivery: each failure is reported
// once, where the event reached the control, the rest of that event's
// handling is skipped, and nothing unwinds through Qt (the application's
// last-resort catch says so when something does).

#include "AppEvnts.h"
#include "Application.h"
#include "CustomControl.h"
#include "EscapeWatch.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StdErrCapture.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimerEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

class HandlerFailures : public ::testing::Test {
protected:
    void SetUp() override {
        FEscapes = std::make_unique<EscapeWatch>();
        FEvents.OnException = [this](QObject* sender, const Exception& e) {
            Reported << e.Message();
            Senders << sender;
        };
        FForm.SetClientWidth(200);
        FForm.SetClientHeight(120);
    }
    void TearDown() override {
        FEscapes.reset();
        EXPECT_TRUE(EscapeWatch::Notices().isEmpty())
            << EscapeWatch::Notices().join('\n').toStdString();
    }

    template <class T> T* Place(int left, int top, int width, int height) {
        auto* control = new T(&FForm);
        control->SetParentControl(&FForm);
        control->SetBounds(left, top, width, height);
        return control;
    }

    static void Tick(TTimer& timer) {
        QTimerEvent tick(timer.SystemTimer()->timerId());
        QCoreApplication::sendEvent(timer.SystemTimer(), &tick);
    }

    QStringList Reported;
    QList<QObject*> Senders;
    TApplicationEvents FEvents;
    TForm FForm;
    std::unique_ptr<EscapeWatch> FEscapes;
};

TEST_F(HandlerFailures, AKeyHandlerFailsOnceAndTheKeyGoesNoFurther) {
    auto* panel = Place<TPanel>(0, 0, 50, 50);
    int presses = 0;
    int releases = 0;
    panel->OnKeyDown = [](QObject*, int&, TShiftState) { throw EConvertError("key down"); };
    panel->OnKeyPress = [&](QObject*, QChar&) { ++presses; };
    panel->OnKeyUp = [&](QObject*, int&, TShiftState) {
        ++releases;
        throw Exception("key up");
    };
    FForm.Show();
    QTest::keyClick(panel, Qt::Key_A);
    // KeyPress follows KeyDown only when KeyDown ran to its end.
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(Reported, QStringList({"key down", "key up"}));
    EXPECT_EQ(Senders.value(0), panel);

    // The next key is heard as usual.
    panel->OnKeyDown = [](QObject*, int&, TShiftState) {};
    panel->OnKeyUp = nullptr;
    QTest::keyClick(panel, Qt::Key_B);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(Reported.size(), 2);
}

TEST_F(HandlerFailures, AFailingMouseUpIsNoClickAndAFailingClickIsReportedOnce) {
    auto* label = Place<TLabel>(10, 10, 60, 20);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    int clicks = 0;
    label->OnMouseUp = [](QObject*, TMouseButton, TShiftState, int, int) {
        throw Exception("mouse up");
    };
    label->OnClick = [&](QObject*) { ++clicks; };
    FForm.Show();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Reported, QStringList({"mouse up"}));

    label->OnMouseUp = nullptr;
    label->OnClick = [&](QObject*) {
        ++clicks;
        throw EConvertError("'x' is not a valid integer value");
    };
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Reported, QStringList({"mouse up", "'x' is not a valid integer value"}));
}

TEST_F(HandlerFailures, AClickHandlerMayFreeItsControlAndThenFail) {
    auto* label = Place<TLabel>(10, 10, 60, 20);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    QPointer<TLabel> alive(label);
    label->OnClick = [label](QObject*) {
        delete label;
        throw Exception("freed and failed");
    };
    FForm.Show();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(alive);
    EXPECT_EQ(Reported, QStringList({"freed and failed"}));
    // The control reported as the sender is gone, so none is named.
    EXPECT_EQ(Senders.value(0), nullptr);
}

TEST_F(HandlerFailures, ATimerTickFailsOnceAndTheTimerGoesOn) {
    TTimer timer;
    timer.SetInterval(60000);
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        if (++ticks == 1) throw EIntOverflow("Integer overflow");
        if (ticks == 2) Abort();
    };
    timer.SetEnabled(true);
    Tick(timer);
    Tick(timer);
    Tick(timer);
    EXPECT_EQ(ticks, 3);
    // The silent abort leaves no trace.
    EXPECT_EQ(Reported, QStringList({"Integer overflow"}));
    EXPECT_EQ(Senders.value(0), &timer);
    EXPECT_TRUE(timer.Running());
}

class TFailingPaint : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool Fail = true;

protected:
    void Paint() override {
        Canvas()->Brush.Color = RGB(255, 0, 0);
        Canvas()->FillRect(ClientRect());
        if (Fail) throw Exception("paint");
    }
};

TEST_F(HandlerFailures, AFailingPaintIsReportedOnceAndTheNextPaintDraws) {
    auto* control = Place<TFailingPaint>(0, 0, 40, 30);
    FForm.Show();
    Reported.clear();
    const QImage failed = control->grab().toImage();
    EXPECT_EQ(Reported, QStringList({"paint"}));

    // The failed pass left the canvas ready for the next one.
    control->Fail = false;
    const QImage painted = control->grab().toImage();
    EXPECT_EQ(painted.pixelColor(20, 15), QColor(Qt::red));
    EXPECT_EQ(Reported.size(), 1);
}

TEST_F(HandlerFailures, ShowHideAndMenuHandlersFailOnce) {
    FForm.OnShow = [](QObject*) { throw Exception("show"); };
    FForm.OnHide = [](QObject*) { throw Exception("hide"); };
    FForm.Show();
    EXPECT_TRUE(FForm.isVisible());
    FForm.Hide();
    EXPECT_FALSE(FForm.isVisible());

    TPopupMenu menu;
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Listeyi sil");
    item->OnClick = [](QObject*) { throw Exception("menu"); };
    menu.Add(item);
    menu.OnPopup = [](QObject*) {};
    menu.Popup(0, 0);
    ASSERT_NE(menu.ShownMenu(), nullptr);
    menu.ShownMenu()->actions().at(0)->trigger();
    menu.ShownMenu()->close();
    EXPECT_EQ(Reported, QStringList({"show", "hide", "menu"}));
}

// A control whose place cannot be set while Refuse is on.
class TRefusingPanel : public TPanel {
public:
    using TPanel::TPanel;
    bool Refuse = false;
    void SetBounds(int left, int top, int width, int height) override {
        if (Refuse) throw Exception("bounds");
        TPanel::SetBounds(left, top, width, height);
    }
};

TEST_F(HandlerFailures, AFailingAlignmentIsReportedAndTheNextOneRuns) {
    auto* host = Place<TPanel>(0, 0, 100, 100);
    auto* refusing = new TRefusingPanel(&FForm);
    refusing->SetParentControl(host);
    refusing->SetHeight(10);
    refusing->SetAlign(TControl::alTop);
    auto* rest = new TPanel(&FForm);
    rest->SetParentControl(host);
    rest->SetAlign(TControl::alClient);
    FForm.Show();

    // The host lays its children out as Qt resizes it.
    refusing->Refuse = true;
    host->SetBounds(0, 0, 150, 100);
    EXPECT_EQ(Reported, QStringList({"bounds"}));

    refusing->Refuse = false;
    host->SetBounds(0, 0, 120, 90);
    EXPECT_EQ(refusing->BoundsRect(), Rect(0, 0, 120, 10));
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 10, 120, 90));
}

TEST(Guarded, AnswersWhetherTheBodyRanAndReportsEveryKindOfFailure) {
    TApplicationEvents events;
    QStringList reported;
    events.OnException = [&](QObject*, const Exception& e) { reported << e.Message(); };
    QObject sender;
    int steps = 0;
    EXPECT_TRUE(Guarded(&sender, [&] { ++steps; }));
    EXPECT_FALSE(Guarded(&sender, [&] {
        ++steps;
        throw std::runtime_error("runtime");
        ++steps;
    }));
    EXPECT_FALSE(Guarded(&sender, [] { throw 42; }));
    EXPECT_FALSE(Guarded(&sender, [] { Abort(); }));
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(reported, QStringList({"runtime", "Unknown exception"}));
}

TEST(StdErr, EachLineEndsWithABreakAndControlCharactersAreNotPassedOn) {
    StdErrCapture capture;
    ASSERT_TRUE(capture.Valid());
    WriteStdErrLines(QString::fromUtf8("Çağrı:12:00:00"));
    WriteStdErrLines(QStringLiteral("iki\r\nsatır\rüç\x1b[2J\tson"));
    EXPECT_EQ(capture.Take(), QByteArray("Çağrı:12:00:00\n"
                                         "iki\n"
                                         "satır\n"
                                         "üç?[2J?son\n"));
}

} // namespace
