// The grid under a real pointer: clicks on cells and headers, sorting by a
// header, resizing a column by its edge, moving and hiding a column by its
// header, the hint for a clipped text, the pointer shapes, double clicks
// and what a lost activation does to a gesture. Every press, move and
// release goes through the grid's window, as a real pointer's would, so a
// drag reaches the drag box only because the box holds the mouse.

#include "ColumnClasses.h"
#include "GridControlTestSupport.h"
#include "GridTestSupport.h"
#include "GridView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using TColRow = std::pair<int, int>;

// The call list's columns start at 0, 40, 160, 310 and 430; row k of the
// data lies at y = 20 + 21 k.
constexpr int kRowY = 30;
int RowY(int row) {
    return kRowY + 21 * row;
}

bool Shows(const QWidget& widget, int cursor) {
    const QCursor shown = widget.cursor();
    const QCursor wanted = TScreenCursors::Get(cursor);
    return shown.shape() == Qt::BitmapCursor &&
           shown.pixmap().cacheKey() == wanted.pixmap().cacheKey() &&
           shown.hotSpot() == wanted.hotSpot();
}

class GridMouse : public TGridControlFixture {
protected:
    void SetUp() override {
        TGridControlFixture::SetUp();
        CallList(8);
        Grid.OnCellClick = [this](QObject*, int c, int r) { CellClicks.emplace_back(c, r); };
        Grid.OnHeaderClick = [this](QObject*, int c) { HeaderClicks.push_back(c); };
        Grid.OnSortColumn = [this](QObject*, int c, bool up) { SortReports.emplace_back(c, up); };
        Grid.OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
        Grid.OnDblClick = [this](QObject*) { ++DblClicks; };
        Grid.show();
        Grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Grid));
    }
    void TearDown() override {
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        TScreenCursors::SetScreenCursor(0);
        TGridControlFixture::TearDown();
    }

    TCustomColumn* Column(int index) const { return Grid.Columns()->Items(index); }
    QWindow* Window() { return Grid.windowHandle(); }
    QPoint In(int x, int y) const {
        const TPoint o = Grid.ClientOrigin();
        return Grid.mapTo(Grid.window(), QPoint(x + o.X, y + o.Y));
    }
    void Press(int x, int y, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(Window(), b, mods, In(x, y));
    }
    void Release(int x, int y, Qt::KeyboardModifiers mods = {},
                 Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(Window(), b, mods, In(x, y));
    }
    void Click(int x, int y, Qt::KeyboardModifiers mods = {}) {
        Press(x, y, mods);
        Release(x, y, mods);
    }
    void Move(int x, int y) { QTest::mouseMove(Window(), In(x, y)); }
    // Press on a header and drag it to (x, y) of the client area.
    void DragHeader(int fromX, int x, int y) {
        Press(fromX, 10);
        Move(fromX + 5, 10);
        Move(x, y);
    }
    TPoint Screen(int x, int y) const { return Grid.ClientToScreen({x, y}); }
    bool Dragging() const { return Grid.State().testFlag(TTestDataGrid::ColumnDragging); }

    std::vector<TColRow> CellClicks;
    std::vector<int> HeaderClicks;
    std::vector<std::pair<int, bool>> SortReports;
    int Downs = 0;
    int DblClicks = 0;
};

} // namespace

// ------------------------------------------------------------ cell clicks

TEST_F(GridMouse, OnlyAPressAndReleaseOnOneCellIsAClick) {
    Column(2)->SetOptions(Column(2)->Options() | coEditing);
    Press(235, RowY(2));
    Release(235, RowY(3));
    EXPECT_TRUE(CellClicks.empty());
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::CellEditing));
    EXPECT_EQ(Grid.Row(), 2);

    Click(235, RowY(3));
    EXPECT_EQ(CellClicks, (std::vector<TColRow>{{2, 3}}));
    EXPECT_TRUE(Grid.State().testFlag(TTestDataGrid::CellEditing));
    EXPECT_EQ(Grid.EditRow(), 3);

    // A press elsewhere, then a release on the cell clicked last: no click.
    Press(235, 10);
    Release(235, RowY(3));
    EXPECT_EQ(CellClicks.size(), 1u);
    // Beside all columns the current column stays; past the slot after the
    // last row nothing is selected.
    Click(100, RowY(4));
    Click(560, RowY(5));
    EXPECT_EQ(Grid.Col(), 1);
    EXPECT_EQ(Grid.Row(), 5);
    while (Grid.RowCount() > 3)
        Grid.DeleteRow(Grid.RowCount() - 1);
    Click(100, RowY(3));
    EXPECT_EQ(Grid.Row(), 3);
    Click(100, RowY(5));
    EXPECT_EQ(Grid.Row(), 3);
}

// Multi-row selection by Shift and Ctrl clicks: it needs the selection
// step's Shift and Ctrl rules.
TEST_F(GridMouse, ShiftAndCtrlClicksSelectRows) {
    Grid.SetOptions(Grid.Options() | goMultiSelect | goSelectFullRow);
    auto flagged = [this] {
        std::vector<int> rows;
        for (int r = 0; r < Grid.RowCount(); ++r)
            if (Grid.GetRowSelected(r)) rows.push_back(r);
        return rows;
    };
    Click(100, RowY(2));
    Click(100, RowY(5), Qt::ShiftModifier);
    EXPECT_EQ(flagged(), (std::vector<int>{2, 3, 4, 5}));
    Click(100, RowY(3), Qt::ControlModifier);
    EXPECT_EQ(flagged(), (std::vector<int>{2, 4, 5}));
    Click(100, RowY(6), Qt::ShiftModifier);
    EXPECT_EQ(flagged(), (std::vector<int>{3, 4, 5, 6}));
    // A context click keeps them; a plain click leaves only its row.
    Press(100, RowY(0), {}, Qt::RightButton);
    Release(100, RowY(0), {}, Qt::RightButton);
    EXPECT_EQ(flagged(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(Grid.Row(), 6);
    Click(100, RowY(1), {});
    EXPECT_EQ(flagged(), (std::vector<int>{1}));
}

TEST_F(GridMouse, TheSecondPressOfADoubleClickIsNoPressAndOnlyTheDataAreaHearsDoubleClicks) {
    auto press = [this](quint64 time) {
        QMouseEvent e(QEvent::MouseButtonPress, In(100, RowY(1)),
                      Grid.mapToGlobal(In(100, RowY(1))), Qt::LeftButton, Qt::LeftButton, {});
        e.setTimestamp(time);
        QCoreApplication::sendEvent(&Grid, &e);
        QMouseEvent r(QEvent::MouseButtonRelease, In(100, RowY(1)),
                      Grid.mapToGlobal(In(100, RowY(1))), Qt::LeftButton, Qt::NoButton, {});
        r.setTimestamp(time + 1);
        QCoreApplication::sendEvent(&Grid, &r);
    };
    press(100000);
    press(100100);
    EXPECT_EQ(Downs, 1);
    press(102000);
    EXPECT_EQ(Downs, 2);

    QTest::mouseDClick(Window(), Qt::LeftButton, {}, In(100, 10));
    EXPECT_EQ(DblClicks, 0);
    QTest::mouseDClick(Window(), Qt::LeftButton, {}, In(100, RowY(2)));
    EXPECT_EQ(DblClicks, 1);
}

TEST_F(GridMouse, APlayElementTakesTheClickInItsCell) {
    TGridView grid;
    grid.SetBorderStyle(TWinControl::bsNone);
    grid.SetBounds(0, 0, 300, 120);
    auto* check = new TCheckBoxColumn();
    check->SetAlignment(taCenter);
    check->SetOptions(check->Options() | coEditing);
    grid.Columns()->Add(check);
    grid.AddRows(3);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const TRect cell = grid.GetCellRect(0, 1, TGridView::gpData);
    const QPoint middle((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    QTest::mouseClick(grid.windowHandle(), Qt::LeftButton, {}, middle);
    EXPECT_TRUE(grid.Cell(0, 1)->GetAsBoolean());
    EXPECT_FALSE(grid.State().testFlag(TGridView::CellEditing));
    // Beside its square the click changes nothing.
    QTest::mouseClick(grid.windowHandle(), Qt::LeftButton, {}, QPoint(cell.Left + 2, middle.y()));
    EXPECT_TRUE(grid.Cell(0, 1)->GetAsBoolean());
    QTest::mouseClick(grid.windowHandle(), Qt::LeftButton, {}, middle);
    EXPECT_FALSE(grid.Cell(0, 1)->GetAsBoolean());
}

// ----------------------------------------------------------- the header

TEST_F(GridMouse, AHeaderClickReportsAndSortsFlippingTheOrder) {
    Click(235, 10);
    EXPECT_EQ(HeaderClicks, std::vector<int>{2});
    EXPECT_TRUE(Column(2)->Sorted());
    EXPECT_EQ(SortReports, (std::vector<std::pair<int, bool>>{{2, true}}));
    Click(235, 10);
    EXPECT_EQ(Column(2)->SortKind(), skDescending);
    EXPECT_EQ(SortReports.back(), std::make_pair(2, false));
    EXPECT_EQ(Grid.GetCellText(2, 0), "r7c2");
    EXPECT_EQ(Grid.PressedColumn(), nullptr);
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::HeaderPressed));

    // A column that cannot be clicked is neither pressed nor reported, but
    // sorts; one that cannot be sorted is reported and keeps the rows.
    Column(1)->SetOptions(Column(1)->Options() & ~TColumnOptions(coCanClick));
    Column(3)->SetOptions(Column(3)->Options() & ~TColumnOptions(coCanSort));
    Press(100, 10);
    EXPECT_EQ(Grid.PressedColumn(), nullptr);
    Release(100, 10);
    EXPECT_EQ(SortReports.back(), std::make_pair(1, true));
    Press(370, 10);
    EXPECT_EQ(Grid.PressedColumn(), Column(3));
    EXPECT_TRUE(Grid.State().testFlag(TTestDataGrid::HeaderPressed));
    Release(370, 10);
    EXPECT_EQ(HeaderClicks, (std::vector<int>{2, 2, 3}));
    EXPECT_FALSE(Column(3)->Sorted());
    EXPECT_EQ(SortReports.size(), 3u);
}

// A header click whose handler fails still ends the press: the header is
// drawn up again and a later click elsewhere is no header click.
TEST_F(GridMouse, AFailingHeaderClickHandlerEndsThePress) {
    Grid.OnHeaderClick = [this](QObject*, int c) {
        HeaderClicks.push_back(c);
        throw std::runtime_error("handler failed");
    };
    Grid.MouseDown(mbLeft, ssLeft, 235, 10);
    ASSERT_EQ(Grid.PressedColumn(), Column(2));
    EXPECT_THROW(Grid.MouseUp(mbLeft, 0, 235, 10), std::runtime_error);
    EXPECT_EQ(Grid.PressedColumn(), nullptr);
    Grid.MouseDown(mbLeft, ssLeft, 200, RowY(1));
    Grid.MouseUp(mbLeft, 0, 200, RowY(1));
    EXPECT_EQ(HeaderClicks, std::vector<int>{2});
    EXPECT_EQ(CellClicks, (std::vector<TColRow>{{2, 1}}));
}

TEST_F(GridMouse, AColumnEdgeDragResizesWithInvertedLinesDownToEightPixels) {
    const QImage before = Grid.grab().toImage();
    Press(161, 10);
    ASSERT_EQ(Grid.ResizeColumn(), Column(1));
    Move(100, 50);
    EXPECT_EQ(Column(1)->Width(), 120);
    // The grid is not drawn anew: the old picture, inverted at the left
    // edge (the previous column's last pixel) and at the new right edge.
    QImage shown = Grid.grab().toImage();
    auto inverted = [&](int x, int y) {
        return shown.pixel(x, y) == (before.pixel(x, y) ^ 0xFFFFFF);
    };
    EXPECT_TRUE(inverted(39, 100));
    EXPECT_TRUE(inverted(99, 5));
    EXPECT_EQ(shown.pixel(70, 100), before.pixel(70, 100));
    EXPECT_EQ(shown.pixel(159, 100), before.pixel(159, 100));
    Move(5, 10);
    shown = Grid.grab().toImage();
    EXPECT_TRUE(inverted(47, 100));
    EXPECT_EQ(shown.pixel(99, 100), before.pixel(99, 100));
    Release(5, 10);
    EXPECT_EQ(Column(1)->Width(), 8);
    EXPECT_EQ(Column(2)->Left(), 48);
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::ColumnResizing));
    EXPECT_EQ(Grid.ResizeColumn(), nullptr);
    EXPECT_NE(Grid.grab().toImage().pixel(47, 100), shown.pixel(47, 100));

    // The first column's left line is the grid's own first pixel; a fixed
    // column has no edge to catch, and a press there is a header press.
    const QImage second = Grid.grab().toImage();
    Press(39, 10);
    Move(60, 10);
    shown = Grid.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 100), second.pixel(0, 100) ^ 0xFFFFFF);
    EXPECT_EQ(shown.pixel(59, 100), second.pixel(59, 100) ^ 0xFFFFFF);
    Release(60, 10);
    EXPECT_EQ(Column(0)->Width(), 60);
    Column(2)->SetOptions(Column(2)->Options() | coFixedSize);
    const int edge = Column(2)->Left() + Column(2)->Width();
    Press(edge, 10);
    EXPECT_EQ(Grid.ResizeColumn(), nullptr);
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::ColumnResizing));
    Release(edge, 10);
}

// ------------------------------------------------------------ column moving

TEST_F(GridMouse, AHeaderDraggedOverAnotherColumnMovesThere) {
    Press(20, 10);
    Move(22, 13);
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    Move(24, 10);
    ASSERT_TRUE(Grid.DragBox()->isVisible());
    EXPECT_TRUE(Dragging());
    // The box starts over the header cell, in the grid's font.
    EXPECT_EQ(Grid.DragBox()->BoundsRect(), Bounds(Screen(0, 0).X, Screen(0, 0).Y, 40, 20));
    EXPECT_EQ(Grid.DragBox()->Font()->Name(), Grid.Font()->Name());
    EXPECT_EQ(Grid.DragBox()->Column(), Column(0));

    Move(235, 12);
    EXPECT_EQ(Grid.DropColumn(), Column(2));
    const TPoint at = Screen(160, 0);
    ASSERT_TRUE(Grid.DragArrowTop()->isVisible());
    EXPECT_EQ(Grid.DragArrowTop()->BoundsRect().Left, at.X - 4);
    EXPECT_EQ(Grid.DragArrowTop()->BoundsRect().Top, at.Y - 12);
    EXPECT_EQ(Grid.DragArrowBottom()->BoundsRect().Left, at.X - 4);
    EXPECT_EQ(Grid.DragArrowBottom()->BoundsRect().Top, at.Y + 19);
    EXPECT_EQ(Grid.DragArrowTop()->Direction(), TDragArrow::daDown);
    EXPECT_EQ(Grid.DragArrowBottom()->Direction(), TDragArrow::daUp);
    EXPECT_EQ(TScreenCursors::ScreenCursor(), 0);
    // Below the band of twice the header's height the column has no place.
    Move(235, 45);
    EXPECT_FALSE(Grid.DragArrowTop()->isVisible());
    EXPECT_EQ(TScreenCursors::ScreenCursor(), crColumnNoDrag);
    Move(235, 35);
    EXPECT_TRUE(Grid.DragArrowBottom()->isVisible());

    Release(235, 35);
    EXPECT_EQ(Grid.Columns()->DisplayItems(2), Column(0));
    EXPECT_EQ(Grid.Columns()->DisplayItems(0), Column(1));
    EXPECT_EQ(Column(0)->Position(), 2);
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    EXPECT_FALSE(Grid.DragArrowTop()->isVisible());
    EXPECT_FALSE(Grid.DragArrowBottom()->isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(Dragging());
    EXPECT_EQ(Grid.PressedColumn(), nullptr);
    EXPECT_EQ(Grid.DownColumn(), nullptr);
    EXPECT_EQ(TScreenCursors::ScreenCursor(), 0);
    // The drop was no header click and sorted nothing.
    EXPECT_TRUE(HeaderClicks.empty());
    EXPECT_TRUE(SortReports.empty());
}

TEST_F(GridMouse, AColumnDroppedFarBelowHidesOnlyWhenTheGridAllowsIt) {
    DragHeader(100, 100, 120);
    ASSERT_TRUE(Dragging());
    Release(100, 120);
    EXPECT_TRUE(Column(1)->Visible());
    EXPECT_EQ(Grid.Columns()->DisplayItems(1), Column(1));

    Grid.SetOptions(Grid.Options() | goCanHideColumn);
    DragHeader(100, 100, 120);
    Release(100, 120);
    EXPECT_FALSE(Column(1)->Visible());
    EXPECT_EQ(Grid.ColumnsWidth(), 530 - 120);
}

TEST_F(GridMouse, NoDragWithoutClickableHeaderOrWithColumnMovingSwitchedOff) {
    Column(0)->SetOptions(Column(0)->Options() & ~TColumnOptions(coCanClick));
    DragHeader(20, 235, 10);
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    EXPECT_FALSE(Dragging());
    Release(235, 10);
    EXPECT_EQ(Grid.Columns()->DisplayItems(0), Column(0));

    // The right button presses a header but drags nothing.
    Press(100, 10, {}, Qt::RightButton);
    Move(235, 10);
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    Release(235, 10, {}, Qt::RightButton);

    Grid.SetOptions(Grid.Options() | goDissableColumnMoving);
    DragHeader(100, 235, 10);
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    // Only the hot header cell follows the pointer.
    EXPECT_EQ(Grid.HotColumn(), Column(2));
    Move(370, 10);
    EXPECT_EQ(Grid.HotColumn(), Column(3));
    Release(370, 10);
    EXPECT_EQ(Grid.Columns()->DisplayItems(1), Column(1));
    Move(370, RowY(2));
    EXPECT_EQ(Grid.HotColumn(), nullptr);
}

// --------------------------------------------------------------- the hint

TEST_F(GridMouse, OnlyAClippedTextOfAHintColumnGetsTheHint) {
    const QString longText = QStringLiteral("a text far too long for a column of 120 pixels");
    Grid.Rows[3][1] = longText;
    Grid.Rows[3][2] = longText;
    Column(1)->SetOptions(Column(1)->Options() | coShowTextFitHint);
    Move(100, RowY(2));
    EXPECT_FALSE(Grid.HintWindow()->HintShowing());
    EXPECT_EQ(Grid.HintCell(), (TGridCell{1, 2}));

    Move(100, RowY(3));
    ASSERT_TRUE(Grid.HintWindow()->HintShowing());
    EXPECT_EQ(Grid.HintWindow()->HintText(), longText);
    const TRect cell = Grid.GetCellRect(1, 3, TTestDataGrid::gpData);
    const TPoint at = Screen(cell.Left, cell.Top);
    EXPECT_EQ(Grid.HintWindow()->BoundsRect().Left, at.X);
    EXPECT_EQ(Grid.HintWindow()->BoundsRect().Top, at.Y);
    EXPECT_GT(Grid.HintWindow()->Width(), 120);
    EXPECT_LE(Grid.HintWindow()->Width(), Grid.ClientWidth());
    EXPECT_EQ(Grid.HintWindow()->Color(), clInfoBk);

    // The same text in a column without the option, the header, and the
    // empty rows hide it.
    Move(235, RowY(3));
    EXPECT_FALSE(Grid.HintWindow()->HintShowing());
    Move(100, RowY(3));
    Move(100, 10);
    EXPECT_FALSE(Grid.HintWindow()->HintShowing());
    EXPECT_EQ(Grid.HintCell(), (TGridCell{}));
}

// ---------------------------------------------------------- pointer shapes

TEST_F(GridMouse, ThePointerShowsEdgesTheIndicatorAndTheColumnsCursor) {
    for (int id : {crHorzSplit, crColumnNoDrag, crIndicatorSelect}) {
        ASSERT_TRUE(TScreenCursors::IsRegistered(id));
        const QCursor c = TScreenCursors::Get(id);
        EXPECT_TRUE(QRect(QPoint(), c.pixmap().size()).contains(c.hotSpot()));
    }
    Move(158, 10);
    EXPECT_TRUE(Shows(Grid, crHorzSplit));
    EXPECT_EQ(Grid.EdgeColumn(), Column(1));
    Move(157, 10);
    EXPECT_FALSE(Shows(Grid, crHorzSplit));
    EXPECT_EQ(Grid.EdgeColumn(), nullptr);

    Column(2)->SetCursor(TControl::crHandPoint);
    Move(235, RowY(1));
    EXPECT_EQ(Grid.cursor().shape(), Qt::PointingHandCursor);
    Move(100, RowY(1));
    EXPECT_EQ(Grid.cursor().shape(), Qt::ArrowCursor);

    Grid.SetOptions(Grid.Options() | goIndicator);
    Move(5, RowY(1));
    EXPECT_TRUE(Shows(Grid, crIndicatorSelect));
    // The edges moved right with the indicator.
    Move(172, 10);
    EXPECT_TRUE(Shows(Grid, crHorzSplit));
}

// -------------------------------------------------------------- activation

TEST_F(GridMouse, LosingTheActivationAbandonsEveryGesture) {
    auto deactivate = [] {
        QEvent e(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &e);
    };
    Press(235, 10);
    ASSERT_EQ(Grid.PressedColumn(), Column(2));
    deactivate();
    EXPECT_EQ(Grid.PressedColumn(), nullptr);
    EXPECT_EQ(Grid.DownColumn(), nullptr);
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::HeaderPressed));
    EXPECT_EQ(Grid.DownPoint(), TPoint(-1, -1));
    EXPECT_EQ(Grid.MouseCell(), TGridCell{});
    Move(300, 10);
    EXPECT_FALSE(Dragging());
    Release(300, 10);
    EXPECT_TRUE(HeaderClicks.empty());

    // A drag loses its box, its arrows and its hold on the mouse.
    DragHeader(100, 235, 10);
    ASSERT_TRUE(Grid.DragBox()->isVisible());
    deactivate();
    EXPECT_FALSE(Grid.DragBox()->isVisible());
    EXPECT_FALSE(Grid.DragArrowTop()->isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(Dragging());
    Release(235, 10);
    EXPECT_EQ(Grid.Columns()->DisplayItems(1), Column(1));

    // A resize ends where it was: the grid paints again, the width stays.
    Press(161, 10);
    Move(100, 10);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    EXPECT_FALSE(Grid.State().testFlag(TTestDataGrid::ColumnResizing));
    const int paints = Grid.Paints;
    Grid.repaint();
    EXPECT_GT(Grid.Paints, paints);
    Release(100, 10);
    EXPECT_EQ(Column(1)->Width(), 120);
}

TEST_F(GridMouse, AGridFreedInTheMiddleOfADragLeavesNoCursorOrHoldBehind) {
    auto grid = std::make_unique<TTestDataGrid>();
    grid->SetBorderStyle(TWinControl::bsNone);
    grid->SetBounds(0, 0, 300, 100);
    grid->AddColumn(100);
    grid->AddColumn(100);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    QWindow* window = grid->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(50, 8));
    QTest::mouseMove(window, QPoint(60, 8));
    QTest::mouseMove(window, QPoint(60, 90));
    ASSERT_EQ(TScreenCursors::ScreenCursor(), crColumnNoDrag);
    grid.reset();
    EXPECT_EQ(TScreenCursors::ScreenCursor(), 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    // The button comes up over another window.
    Release(100, 100);
}
