// Handlers of the grid that fail inside Qt's event delivery: a drawing
// handler in a paint pass, a wheel handler, a failing resize and a failing
// scroll-bar action. Each failure is reported once as one that reached the
// message loop, the rest of that event's handling is skipped, and nothing
// unwinds through Qt (the application's last-resort catch says so when
// something does).

#include "AppEvnts.h"
#include "Application.h"
#include "EscapeWatch.h"
#include "GridControlTestSupport.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A grid whose resize and scroll dispatch can be made to fail, as a
// subclass's override may.
class TFailingGrid : public TTestDataGrid {
public:
    bool FailResize = false;
    bool FailScroll = false;
    int ScrollsDone = 0;

protected:
    void WMSize() override {
        if (FailResize) throw Exception("resize failed");
        TTestDataGrid::WMSize();
    }
    void WindowScrollAction(int Kind, int Code) override {
        if (FailScroll) throw Exception("scroll failed");
        TTestDataGrid::WindowScrollAction(Kind, Code);
        ++ScrollsDone;
    }
};

class GridHandlerFailures : public ::testing::Test {
protected:
    void SetUp() override {
        FEscapes = std::make_unique<EscapeWatch>();
        FEvents.OnException = [this](QObject*, const Exception& e) { Reported << e.Message(); };
        Grid.SetBounds(0, 0, 300, 120);
        for (int w : {60, 80, 100})
            Grid.AddColumn(w);
        Grid.SetOptions(TGridOptions(goHeader) | goGrid);
        Grid.SetHeaderSize(20);
        Grid.SetRowSize(20);
        Grid.FillRows(40);
        Grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
        QApplication::processEvents();
        Reported.clear();
    }
    void TearDown() override {
        FEscapes.reset();
        EXPECT_TRUE(EscapeWatch::Notices().isEmpty())
            << EscapeWatch::Notices().join('\n').toStdString();
    }

    QStringList Reported;
    TApplicationEvents FEvents;
    TFailingGrid Grid;
    std::unique_ptr<EscapeWatch> FEscapes;
};

TEST_F(GridHandlerFailures, ADrawingHandlerFailsOncePerPassAndTheGridStillPaintsLater) {
    int draws = 0;
    bool fail = true;
    Grid.OnDrawCellBackground = [&](QObject*, int, int, TRect&, TCellState, bool&) {
        ++draws;
        if (fail) throw Exception("draw failed");
    };
    Grid.grab();
    // The pass ends at the first failing cell.
    EXPECT_EQ(Reported, QStringList{"draw failed"});
    EXPECT_EQ(draws, 1);
    fail = false;
    draws = 0;
    Grid.grab();
    EXPECT_GT(draws, 1);
    EXPECT_EQ(Reported.size(), 1);
}

TEST_F(GridHandlerFailures, AFailingWheelHandlerScrollsNothing) {
    Grid.OnMouseWheelDown = [](QObject*, TShiftState, const TPoint&, bool&) {
        throw Exception("wheel failed");
    };
    QWheelEvent event(QPointF(100, 60), QPointF(100, 60), {}, {0, -120}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Grid, &event);
    EXPECT_EQ(Reported, QStringList{"wheel failed"});
    EXPECT_EQ(Grid.TopRow(), 0);
}

TEST_F(GridHandlerFailures, AFailingResizeOrScrollIsReportedAndTheGridGoesOn) {
    Grid.FailResize = true;
    Grid.resize(280, 110);
    QApplication::processEvents();
    EXPECT_EQ(Reported, QStringList{"resize failed"});
    Grid.FailResize = false;

    QScrollBar* bar = nullptr;
    for (QScrollBar* b : Grid.findChildren<QScrollBar*>())
        if (b->orientation() == Qt::Vertical) bar = b;
    ASSERT_NE(bar, nullptr);
    Grid.FailScroll = true;
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Reported.size(), 2);
    EXPECT_EQ(Reported.last(), "scroll failed");
    EXPECT_EQ(Grid.TopRow(), 0);
    Grid.FailScroll = false;
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Grid.ScrollsDone, 1);
    EXPECT_EQ(Grid.TopRow(), 1);
}

} // namespace
