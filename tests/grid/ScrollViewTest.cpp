// The scroll view: its own scroll-bar state, the scroll codes, scrolling of
// the pixels on screen, the roll mode and its indicator.

#include "ScrollView.h"
#include "FlyoutControl.h"
#include "GridTestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Rows of RowH pixels under a fixed Top-pixel header; row r has its own
// colour and a black mark whose x depends on r.
class TRowsView : public TScrollView {
public:
    static constexpr int RowH = 20;
    static constexpr int Top = 10;
    std::vector<std::pair<int, int>> Scrolls; // non-zero ScrollBy calls
    std::vector<int> HScrolls, VScrolls, PositionChanges;
    std::vector<QRect> Painted;
    int Resizes = 0;
    std::function<void()> OnPositionChanged, OnResize;

    TRowsView() {
        SetBounds(0, 0, 200, 150);
        SetVertScrollUnit(RowH);
        VertScrollBar()->SetParams(-1, 0, true, true, 1, 50);
    }
    static TColor RowColor(int r) { return RGB((r * 47) % 200 + 40, (r * 91) % 256, 120); }
    void ScrollBy(int dx, int dy) override {
        if (dx || dy) Scrolls.emplace_back(dx, dy);
        TScrollView::ScrollBy(dx, dy);
    }
    void ScrollPositionChanged(int kind) override {
        PositionChanges.push_back(kind);
        if (OnPositionChanged) OnPositionChanged();
    }
    void WMHScroll(int code) override {
        HScrolls.push_back(code);
        TScrollView::WMHScroll(code);
    }
    void WMVScroll(int code) override {
        VScrolls.push_back(code);
        TScrollView::WMVScroll(code);
    }

protected:
    void WMSize() override {
        ++Resizes;
        if (OnResize) OnResize();
    }
    void Paint() override {
        Painted.push_back(Canvas()->ClipRect().ToQRect());
        const TRect c = ClientRect();
        SetVertScrollRect(Rect(0, Top, c.Right, c.Bottom));
        SetHorzScrollRect(c);
        TCanvas* k = Canvas();
        k->Brush.Color = clRed;
        k->FillRect(Rect(0, 0, c.Right, Top));
        const int pos = VertScrollBar()->Position();
        for (int i = 0; Top + i * RowH < c.Bottom; ++i) {
            const int y = Top + i * RowH;
            k->Brush.Color = RowColor(pos + i);
            k->FillRect(Rect(0, y, c.Right, y + RowH));
            k->Brush.Color = clBlack;
            k->FillRect(Bounds(5 + ((pos + i) % 10) * 7, y + 4, 3, 12));
        }
    }
};

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QImage Screen(QWidget* w) {
    QApplication::processEvents();
    return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(ControlScrollBar, StartState) {
    TRowsView view;
    TControlScrollBar* h = view.HorzScrollBar();
    EXPECT_EQ(h->Kind(), sbHorizontal);
    EXPECT_EQ(view.VertScrollBar()->Kind(), sbVertical);
    EXPECT_EQ(h->Max(), 100);
    EXPECT_EQ(h->Min(), 0);
    EXPECT_EQ(h->PageStep(), 1);
    EXPECT_EQ(h->LineStep(), 1);
    EXPECT_EQ(h->PageSize(), 0u);
    EXPECT_TRUE(h->Visible() && h->Enabled());
    EXPECT_FALSE(h->Locked() || h->Refreshing());
    // Both window bars come with the window; the client area leaves them out.
    const int ext = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_TRUE(view.WindowScrollBarShown(sbHorizontal));
    EXPECT_EQ(view.ClientRect(), Rect(0, 0, 200 - ext, 150 - ext));
    view.HorzScrollBar()->SetVisible(false);
    EXPECT_EQ(view.ClientRect(), Rect(0, 0, 200 - ext, 150));
    EXPECT_FALSE(view.WindowScrollBar(sbHorizontal)->isVisibleTo(&view));
    EXPECT_GE(view.Resizes, 1);
}

TEST(ControlScrollBar, MaxAndMinNeverNegative) {
    TRowsView view;
    TControlScrollBar* v = view.VertScrollBar();
    v->SetPosition(30);
    view.Scrolls.clear();
    v->SetMax(-5);
    EXPECT_EQ(v->Max(), 0);
    EXPECT_EQ(v->Position(), 0);
    EXPECT_EQ(v->OldPosition(), 0);
    EXPECT_TRUE(view.Scrolls.empty());
    EXPECT_EQ(view.WindowScrollBar(sbVertical)->value(), 0);

    v->SetMax(50);
    v->SetPosition(10);
    v->SetMin(-3);
    EXPECT_EQ(v->Min(), 0);
    v->SetMin(20); // the position is not pulled up
    EXPECT_EQ(v->Position(), 10);
    v->SetPosition(5);
    EXPECT_EQ(v->Position(), 20);
}

TEST(ControlScrollBar, ScrollCodes) {
    TRowsView view;
    TControlScrollBar* v = view.VertScrollBar();
    view.ScrollMessage(sbVertical, SB_LINEUP);
    EXPECT_EQ(v->Position(), 0);
    EXPECT_TRUE(view.Scrolls.empty());
    EXPECT_EQ(view.PositionChanges.size(), 1u);

    v->SetPageStep(10);
    view.ScrollMessage(sbVertical, SB_PAGEDOWN);
    EXPECT_EQ(v->Position(), 10);
    EXPECT_EQ(view.LastVertDelta(), -10);
    view.ScrollMessage(sbVertical, SB_BOTTOM);
    EXPECT_EQ(v->Position(), 50);
    EXPECT_EQ(view.LastVertDelta(), -40);
    view.ScrollMessage(sbVertical, SB_LINEDOWN);
    EXPECT_EQ(v->Position(), 50);
    view.ScrollMessage(sbVertical, SB_ENDSCROLL);
    EXPECT_EQ(v->Position(), 50);
    view.ScrollMessage(sbVertical, SB_TOP);
    EXPECT_EQ(v->Position(), 0);
    EXPECT_EQ(view.LastVertDelta(), 50);
    const std::vector<std::pair<int, int>> expected{{0, -10}, {0, -40}, {0, 50}};
    EXPECT_EQ(view.Scrolls, expected);

    // The thumb position comes from the window's bar.
    view.WindowScrollBar(sbVertical)->setSliderPosition(17);
    view.ScrollMessage(sbVertical, SB_THUMBTRACK);
    EXPECT_EQ(v->Position(), 17);

    // Horizontal codes move the horizontal bar only.
    view.HorzScrollBar()->SetLineStep(5);
    view.HorzScrollBar()->LineDown();
    EXPECT_EQ(view.HorzScrollBar()->Position(), 5);
    EXPECT_EQ(view.LastHorzDelta(), -5);
    EXPECT_EQ(view.HScrolls, std::vector<int>{SB_LINEDOWN});
    EXPECT_EQ(v->Position(), 17);
}

TEST(ControlScrollBar, NothingIsSentBelowMaxOne) {
    TRowsView view;
    TControlScrollBar* v = view.VertScrollBar();
    v->SetMax(0);
    v->LineDown();
    v->LineUp();
    v->PageDown();
    v->PageUp();
    EXPECT_TRUE(view.VScrolls.empty());
    v->SetMax(1);
    v->LineDown();
    v->PageUp();
    EXPECT_EQ(view.VScrolls, (std::vector<int>{SB_LINEDOWN, SB_PAGEUP}));
}

TEST(ScrollView, WheelScrollsByLinesOrPages) {
    TRowsView view;
    view.VertScrollBar()->SetPageStep(10);
    const auto wheel = [&](int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWheelEvent e(QPointF(20, 20), QPointF(view.mapToGlobal(QPoint(20, 20))), QPoint(),
                      QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &e);
    };
    wheel(-120);
    EXPECT_EQ(view.VertScrollBar()->Position(), 1);
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(view.VertScrollBar()->Position(), 21);
    wheel(-60);
    EXPECT_EQ(view.VertScrollBar()->Position(), 21);
    wheel(-60);
    EXPECT_EQ(view.VertScrollBar()->Position(), 22);
    wheel(120);
    EXPECT_EQ(view.VertScrollBar()->Position(), 21);
    EXPECT_EQ(view.VScrolls,
              (std::vector<int>{SB_LINEDOWN, SB_PAGEDOWN, SB_PAGEDOWN, SB_LINEDOWN, SB_LINEUP}));
    view.VertScrollBar()->SetMax(0);
    view.VScrolls.clear();
    wheel(-120);
    EXPECT_TRUE(view.VScrolls.empty());
}

TEST(ControlScrollBar, SetParamsLocksUntilTheEnd) {
    TRowsView view;
    TControlScrollBar* v = view.VertScrollBar();
    QScrollBar* bar = view.WindowScrollBar(sbVertical);
    v->SetPosition(7);
    v->SetParams(-1, 0, true, true, 1, 30);
    EXPECT_EQ(v->Position(), 7);
    v->SetParams(0, 0, true, true, 1, 30);
    EXPECT_EQ(v->Position(), 7);

    // Inside SetParams the window's bar still has the old range when the
    // position changes and when the bar is hidden; it gets the new one last.
    int maxSeenAtPosition = -1;
    int maxSeenAtHide = -1;
    view.OnPositionChanged = [&] {
        EXPECT_TRUE(v->Locked());
        maxSeenAtPosition = bar->maximum();
    };
    view.OnResize = [&] { maxSeenAtHide = bar->maximum(); };
    v->SetParams(12, 2, false, false, 3, 20);
    EXPECT_EQ(maxSeenAtPosition, 30);
    EXPECT_EQ(maxSeenAtHide, 30);
    EXPECT_FALSE(v->Locked());
    EXPECT_EQ(v->Position(), 12);
    EXPECT_FALSE(bar->isVisibleTo(&view));
    // The thumb covers a page of 3: positions 2 .. 18.
    EXPECT_EQ(bar->minimum(), 2);
    EXPECT_EQ(bar->maximum(), 18);
    EXPECT_EQ(bar->pageStep(), 3);
    EXPECT_EQ(bar->value(), 12);
    EXPECT_FALSE(bar->isEnabled());
}

TEST(ControlScrollBar, ScrollMessageShowsTheWindowBar) {
    TRowsView view;
    view.VertScrollBar()->SetVisible(false);
    view.ScrollMessage(sbVertical, SB_LINEDOWN);
    // The window's bar follows the control's own visibility here.
    EXPECT_TRUE(view.WindowScrollBarShown(sbVertical));
    EXPECT_FALSE(view.VertScrollBar()->Visible());
}

TEST(ControlScrollBar, BarActionsGoThroughTheScrollHandler) {
    TRowsView view;
    QScrollBar* bar = view.WindowScrollBar(sbVertical);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view.VertScrollBar()->Position(), 2);
    EXPECT_EQ(bar->value(), 2);
    bar->setSliderPosition(33); // a thumb drag
    EXPECT_EQ(view.VertScrollBar()->Position(), 33);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.VScrolls,
              (std::vector<int>{SB_LINEDOWN, SB_PAGEDOWN, SB_THUMBTRACK, SB_BOTTOM}));
    EXPECT_EQ(view.VertScrollBar()->Position(), 50);
}

TEST(ControlScrollBar, AssignCopiesSettings) {
    TRowsView view;
    TControlScrollBar* h = view.HorzScrollBar();
    view.VertScrollBar()->SetPageStep(10);
    view.VertScrollBar()->SetPosition(4);
    h->Assign(*view.VertScrollBar());
    EXPECT_EQ(h->Max(), 50);
    EXPECT_EQ(h->PageStep(), 10);
    EXPECT_EQ(h->PageSize(), 1u);
    EXPECT_EQ(h->Position(), 4);
    EXPECT_EQ(h->Kind(), sbHorizontal);
}

TEST(ScrollView, ScrollMovesThePixelsOnScreen) {
    TRowsView view;
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage before = Screen(&view);
    const TRect client = view.ClientRect();
    view.Painted.clear();
    view.VertScrollBar()->LineDown();
    const QImage after = Screen(&view);
    EXPECT_EQ(view.LastVertDelta(), -1);
    // Only the uncovered strip at the bottom of the scroll rectangle was
    // painted.
    ASSERT_EQ(view.Painted.size(), 1u);
    EXPECT_EQ(view.Painted[0],
              QRect(0, client.Bottom - TRowsView::RowH, client.Right, TRowsView::RowH));
    int moved = 0, header = 0;
    for (int y = 0; y < client.Bottom - TRowsView::RowH; ++y)
        for (int x = 0; x < client.Right; ++x) {
            if (y < TRowsView::Top)
                header += after.pixel(x, y) != before.pixel(x, y);
            else
                moved += after.pixel(x, y) != before.pixel(x, y + TRowsView::RowH);
        }
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(header, 0);
    // And what the screen shows is what a full paint at the new position
    // shows.
    QImage fresh(view.size(), QImage::Format_RGB32);
    view.render(&fresh);
    EXPECT_EQ(after.copy(client.ToQRect()), fresh.copy(client.ToQRect()));
}

TEST(ScrollView, FrameKeepsClientCoordinates) {
    TRowsView view;
    view.SetFrameWidth(2);
    const int ext = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_EQ(view.ClientRect(), Rect(0, 0, 200 - 4 - ext, 150 - 4 - ext));
    EXPECT_EQ(view.ClientToScreen(Point(0, 0)), TPoint::FromQPoint(view.mapToGlobal(QPoint(2, 2))));
    std::vector<TPoint> downs;
    view.OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int x, int y) {
        downs.push_back(Point(x, y));
    };
    SendMouse(&view, QEvent::MouseButtonPress, QPoint(10, 12), Qt::LeftButton, Qt::LeftButton);
    SendMouse(&view, QEvent::MouseButtonRelease, QPoint(10, 12), Qt::LeftButton, Qt::NoButton);
    SendMouse(&view, QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton, Qt::LeftButton);
    SendMouse(&view, QEvent::MouseButtonRelease, QPoint(1, 1), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0], Point(8, 10));
    QImage img(view.size(), QImage::Format_RGB32);
    view.render(&img);
    EXPECT_EQ(img.pixel(0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(199, 149), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 0, 0)); // the client's (0, 0)
}

TEST(ScrollView, RollModeDeadZoneAndSpeed) {
    TRowsView view;
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QPoint origin(50, 60);
    SendMouse(&view, QEvent::MouseButtonPress, origin, Qt::MiddleButton, Qt::MiddleButton);
    ASSERT_TRUE(view.Rolling());
    EXPECT_EQ(view.RollOrigin(), Point(50, 60));
    EXPECT_TRUE(view.RollTimer()->Enabled());
    EXPECT_EQ(view.RollTimer()->Interval(), 1);
    EXPECT_TRUE(view.RollShadow()->isVisible());
    const QPoint screen = view.mapToGlobal(origin);
    EXPECT_EQ(view.RollShadow()->BoundsRect(), Bounds(screen.x() - 7, screen.y() - 11, 32, 32));

    const auto moveAndTick = [&](int dy) {
        const QPoint p = origin + QPoint(0, dy);
        SendMouse(&view, QEvent::MouseMove, p, Qt::NoButton, Qt::MiddleButton);
        QCursor::setPos(view.mapToGlobal(p));
        view.RollTimer()->Timer();
    };
    moveAndTick(-3);
    EXPECT_EQ(view.VertScrollBar()->Position(), 0);
    EXPECT_EQ(view.RollDirection(), 0u);
    EXPECT_EQ(view.RollTimer()->Interval(), 97);
    EXPECT_EQ(TScreenCursors::ScreenCursor(), crRoll);

    moveAndTick(6);
    EXPECT_EQ(view.VertScrollBar()->Position(), 1);
    EXPECT_EQ(view.RollTimer()->Interval(), 94);
    EXPECT_EQ(TScreenCursors::ScreenCursor(), crRollDown);

    moveAndTick(200);
    EXPECT_EQ(view.VertScrollBar()->Position(), 2);
    EXPECT_EQ(view.RollTimer()->Interval(), 1);

    moveAndTick(-6);
    EXPECT_EQ(view.RollDirection(), 1u);
    EXPECT_EQ(view.VertScrollBar()->Position(), 1);
    EXPECT_EQ(TScreenCursors::ScreenCursor(), crRollUp);
    EXPECT_EQ(view.VScrolls, (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP}));

    SendMouse(&view, QEvent::MouseButtonRelease, origin, Qt::MiddleButton, Qt::NoButton);
    EXPECT_FALSE(view.Rolling());
    EXPECT_FALSE(view.RollTimer()->Enabled());
    EXPECT_FALSE(view.RollShadow()->isVisible());
    EXPECT_EQ(TScreenCursors::ScreenCursor(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The next roll starts without the last direction: a press that ticks
    // before any move scrolls nothing.
    SendMouse(&view, QEvent::MouseButtonPress, origin, Qt::MiddleButton, Qt::MiddleButton);
    QCursor::setPos(view.mapToGlobal(origin + QPoint(0, -40)));
    view.RollTimer()->Timer();
    EXPECT_EQ(view.RollDirection(), 0u);
    EXPECT_EQ(view.VertScrollBar()->Position(), 1);
    SendMouse(&view, QEvent::MouseButtonRelease, origin, Qt::LeftButton, Qt::MiddleButton);
    EXPECT_FALSE(view.Rolling());
}

TEST(ScrollView, RollCursorsAreRegistered) {
    TRowsView view;
    for (int id : {crRoll, crRollUp, crRollDown}) {
        ASSERT_TRUE(TScreenCursors::IsRegistered(id)) << id;
        const QCursor c = TScreenCursors::Get(id);
        EXPECT_FALSE(c.pixmap().isNull());
        EXPECT_EQ(c.hotSpot(), QPoint(16, 16));
    }
}

TEST(FlyoutControl, NeverTakesTheFocus) {
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    TFlyoutControl flyout;
    EXPECT_FALSE(flyout.Visible());
    const Qt::WindowFlags f = flyout.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::Tool) && f.testFlag(Qt::FramelessWindowHint) &&
                f.testFlag(Qt::WindowStaysOnTopHint) && f.testFlag(Qt::WindowDoesNotAcceptFocus));
    flyout.SetBounds(300, 200, 40, 30);
    flyout.Show();
    QApplication::processEvents();
    EXPECT_TRUE(flyout.isVisible());
    EXPECT_EQ(flyout.geometry(), QRect(300, 200, 40, 30));
    EXPECT_EQ(QApplication::focusWidget(), &edit);
    EXPECT_EQ(QApplication::activeWindow(), &edit);
}

TEST(FlyoutControl, RollShadowShape) {
    TRollShadow shadow;
    shadow.ShowAt(Point(100, 200));
    EXPECT_EQ(shadow.ShownAt(), Point(100, 200));
    EXPECT_EQ(shadow.BoundsRect(), Bounds(93, 189, 32, 32));
    const QRegion mask = shadow.mask();
    for (const QPoint& p :
         {QPoint(7, 1), QPoint(7, 5), QPoint(3, 5), QPoint(7, 11), QPoint(6, 18), QPoint(2, 15)})
        EXPECT_TRUE(mask.contains(p)) << p.x() << "," << p.y();
    for (const QPoint& p :
         {QPoint(0, 0), QPoint(13, 2), QPoint(7, 8), QPoint(12, 20), QPoint(20, 20), QPoint(7, 23)})
        EXPECT_FALSE(mask.contains(p)) << p.x() << "," << p.y();
    // The dot fills its 5 x 5 box less the four corners, symmetric about
    // the box's middle.
    for (int y = 9; y <= 13; ++y)
        for (int x = 5; x <= 9; ++x) {
            const bool corner = (x == 5 || x == 9) && (y == 9 || y == 13);
            EXPECT_EQ(mask.contains(QPoint(x, y)), !corner) << x << "," << y;
        }
    EXPECT_FALSE(mask.contains(QPoint(10, 11)));
    EXPECT_FALSE(mask.contains(QPoint(7, 14)));
    QImage img(32, 32, QImage::Format_RGB32);
    shadow.render(&img);
    EXPECT_EQ(img.pixel(7, 11), Rgb(clGrayText));
}
