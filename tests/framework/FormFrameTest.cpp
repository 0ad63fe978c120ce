// A top-level window's Left, Top, Width and Height are its outer frame's;
// its client area is what the frame leaves.

#include "FramingWindowManager.h"

#include "Forms.h"
#include "Menus.h"

#include <QCoreApplication>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

namespace {

// Left 4, title bar 23, right 4, bottom 4.
const QMargins Frame(4, 23, 4, 4);

// Lets the platform deliver what it has queued (exposure, moves, resizes).
void Flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

TEST(FormFrame, ThePlatformsOwnFrameIsRoundTheClientArea) {
    // The offscreen platform draws a thin frame of its own by default.
    TForm form;
    form.SetLeft(100);
    form.SetTop(50);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QMargins m = form.windowHandle()->frameMargins();
    if (m.isNull()) GTEST_SKIP() << "this platform draws no frames";

    EXPECT_EQ(form.FrameMargins(), m);
    EXPECT_EQ(form.BoundsRect(),
              Bounds(100, 50, 300 + m.left() + m.right(), 200 + m.top() + m.bottom()));
    EXPECT_EQ(form.geometry(), QRect(100 + m.left(), 50 + m.top(), 300, 200));
    EXPECT_EQ(form.frameGeometry(), QRect(100, 50, form.Width(), form.Height()));

    form.SetBounds(20, 30, 500, 400);
    Flush();
    EXPECT_EQ(form.frameGeometry(), QRect(20, 30, 500, 400));
    EXPECT_EQ(form.ClientWidth(), 500 - m.left() - m.right());
    EXPECT_EQ(form.ClientHeight(), 400 - m.top() - m.bottom());
}

TEST(FormFrame, APlaceAskedBeforeTheWindowIsFramedIsTheFramesOnceItIs) {
    FramingWindowManager wm(Frame);
    TForm form;
    form.SetPosition(TForm::poDefault);
    // As the guide does: placed by its show handler, before the window
    // manager has framed it.
    form.OnShow = [&form](QObject*) { form.SetBounds(10, 10, 400, 300); };
    form.Show();
    EXPECT_EQ(form.geometry(), QRect(10, 10, 400, 300));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();
    EXPECT_EQ(form.FrameMargins(), Frame);
    EXPECT_EQ(form.BoundsRect(), Bounds(10, 10, 400, 300));
    EXPECT_EQ(form.geometry(), QRect(14, 33, 392, 273));
    EXPECT_EQ(form.ClientWidth(), 392);
    EXPECT_EQ(form.ClientHeight(), 273);

    // Asked again once framed: the same place, not one frame further.
    form.SetBounds(10, 10, 400, 300);
    Flush();
    EXPECT_EQ(form.geometry(), QRect(14, 33, 392, 273));
    form.SetLeft(50);
    EXPECT_EQ(form.geometry().topLeft(), QPoint(54, 33));

    // Hidden, the window is off the frame; shown again, it is placed in the
    // frame it had at once, so it does not jump when it is framed again.
    form.Hide();
    form.Show();
    EXPECT_EQ(form.geometry(), QRect(14, 33, 392, 273));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();
    EXPECT_EQ(form.geometry(), QRect(14, 33, 392, 273));
    EXPECT_EQ(form.BoundsRect(), Bounds(10, 10, 400, 300));
}

TEST(FormFrame, DesignedClientSizesStayTheClientAreasAndACentredWindowCentresItsFrame) {
    FramingWindowManager wm(Frame);
    TForm form;
    auto* menu = new TMainMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("Ayar");
    menu->Add(item);
    form.SetClientHeight(200);
    form.SetClientWidth(300);
    form.SetMenu(menu);
    form.SetPosition(TForm::poScreenCenter);
    const int menuHeight = form.MenuBar()->sizeHint().height();
    ASSERT_GT(menuHeight, 0);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();

    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 200);
    EXPECT_EQ(form.Width(), 308);
    EXPECT_EQ(form.Height(), 200 + menuHeight + 27);
    EXPECT_EQ(form.geometry().size(), QSize(300, 200 + menuHeight));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form.Left(), screen.x() + (screen.width() - form.Width()) / 2);
    EXPECT_EQ(form.Top(), screen.y() + (screen.height() - form.Height()) / 2);
    EXPECT_EQ(form.geometry().topLeft(), QPoint(form.Left() + 4, form.Top() + 23));
}

// A window manager that moves and sizes a window as it maps it, before it
// has put its frame round it.
class TMapTimeMover : public QObject {
public:
    explicit TMapTimeMover(QWindow* window) : FWindow(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FWindow && event->type() == QEvent::Show)
            FWindow->setGeometry(300, 300, 200, 100);
        return false;
    }

private:
    QWindow* FWindow;
};

TEST(FormFrame, WhatThePlatformDoesToAnUnframedRequestDoesNotUndoIt) {
    FramingWindowManager wm(Frame);
    TForm form;
    form.SetBounds(10, 10, 400, 300);
    form.winId();
    const TMapTimeMover mover(form.windowHandle());
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();
    EXPECT_EQ(form.BoundsRect(), Bounds(10, 10, 400, 300));
    EXPECT_EQ(form.geometry(), QRect(14, 33, 392, 273));
}

TEST(FormFrame, WhereThePlatformMovesOrSizesAFramedWindowIsReadAsTheFrames) {
    FramingWindowManager wm(Frame);
    TForm form;
    form.SetBounds(10, 10, 400, 300);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();
    // The user drags the window and its border: the platform reports where
    // the client area went.
    form.windowHandle()->setGeometry(200, 150, 500, 350);
    Flush();
    EXPECT_EQ(form.BoundsRect(), Bounds(196, 127, 508, 377));
    EXPECT_EQ(form.ClientWidth(), 500);
}

TEST(FormFrame, ANewFrameRoundAPlacedWindowKeepsTheFrameWhereItWasAsked) {
    FramingWindowManager wm(Frame);
    TForm form;
    form.SetBounds(10, 10, 400, 300);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Flush();
    // A window manager that reports its frame only after the window is on
    // screen (or changes its decoration).
    wm.SetFrame(QMargins(2, 30, 2, 2));
    QExposeEvent expose(QRegion(0, 0, 392, 273));
    QCoreApplication::sendEvent(form.windowHandle(), &expose);
    Flush();
    EXPECT_EQ(form.BoundsRect(), Bounds(10, 10, 400, 300));
    EXPECT_EQ(form.geometry(), QRect(12, 40, 396, 268));
}

TEST(FormFrame, AnAbsurdFrameReportIsBounded) {
    // The margins come from the window manager and enter the geometry sums.
    SetFrameMarginsReader([](const QWindow&) { return QMargins(-5, INT_MAX, 3, INT_MIN); });
    const QWindow window;
    const QMargins m = ReadFrameMargins(window);
    SetFrameMarginsReader({});
    EXPECT_EQ(m.left(), 0);
    EXPECT_EQ(m.right(), 3);
    EXPECT_EQ(m.bottom(), 0);
    EXPECT_GT(m.top(), 300);
    EXPECT_LT(m.top(), INT_MAX / 4);
}

} // namespace
