// The grid control: its bands and cell rectangles, scroll ranges, the
// property setters, the update lock, the row-selection flags and the column
// reports.

#include "GridControlTestSupport.h"
#include "GridTestSupport.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class GridControl : public TGridControlFixture {
protected:
    QImage Render() {
        QImage img(Grid.size(), QImage::Format_RGB32);
        // The first pass settles the scroll bars; the second shows them.
        Grid.render(&img);
        Grid.render(&img);
        return img;
    }
};

int BarExtent(const QWidget& w) {
    return w.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

TEST(GridControlDefaults, PropertiesStartAsTheTableSays) {
    TTestDataGrid grid;
    EXPECT_EQ(grid.BorderStyle(), TWinControl::bsSingle);
    EXPECT_EQ(grid.FrameWidth(), 2);
    EXPECT_TRUE(grid.Caption().isEmpty());
    EXPECT_EQ(grid.GridLinesStyle(), lsNormal);
    EXPECT_EQ(grid.GridStyle(), gsReport);
    EXPECT_EQ(grid.HeaderSize(), 18);
    EXPECT_EQ(grid.HeaderStyle(), hsAuto);
    EXPECT_TRUE(grid.HideScrollBar());
    EXPECT_EQ(grid.InputSize(), 16);
    EXPECT_EQ(grid.Options(), TGridOptions(goHeader) | goHighlightTextSelection);
    EXPECT_EQ(grid.RowSize(), 16);
    EXPECT_EQ(grid.SelectionMoveDirection(), mdDown);
    EXPECT_EQ(grid.SlideSize(), 80);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.FEditCol, -1);
    EXPECT_EQ(grid.FEditRow, -1);
    EXPECT_EQ(grid.FInputColumn, -1);
    EXPECT_EQ(grid.FAnchorRow, -1);
    EXPECT_FALSE(grid.InputActive());
    EXPECT_EQ(grid.Editor(), nullptr);
    EXPECT_EQ(grid.State(), TCustomGridViewControl::TGridState());
    EXPECT_TRUE(grid.TabStop());
    EXPECT_EQ(grid.Color(), clWindow);
    EXPECT_EQ(grid.width(), 250);
    EXPECT_EQ(grid.height(), 150);
    // The horizontal bar steps 5 pixels per line.
    EXPECT_EQ(grid.HorzScrollBar()->LineStep(), 5);
}

TEST(GridControlDefaults, PropertiesReadAndWriteByName) {
    TTestDataGrid grid;
    EXPECT_TRUE(grid.setProperty("GridLinesStyle", QStringLiteral("lsFramed")));
    EXPECT_EQ(grid.GridLinesStyle(), lsFramed);
    EXPECT_TRUE(grid.setProperty("Options", QStringLiteral("goGrid|goFooter")));
    EXPECT_EQ(grid.Options(), TGridOptions(goGrid) | goFooter);
    EXPECT_TRUE(grid.setProperty("RowSize", 22));
    EXPECT_EQ(grid.RowSize(), 22);
    // The caption is kept in the system code page and read back as text.
    EXPECT_TRUE(grid.setProperty("Caption", QStringLiteral("Çağrı yok")));
    EXPECT_EQ(grid.Caption(), QByteArray("\xC7\x61\xF0r\xFD yok"));
    EXPECT_EQ(grid.property("Caption").toString(), QStringLiteral("Çağrı yok"));
}

TEST_F(GridControl, RowsUnderAHeaderWithGridLines) {
    CallList(3);
    EXPECT_EQ(Grid.GetDataRect(), Rect(0, 20, 530, 170));
    for (int k = 0; k < 3; ++k) {
        const TRect cell = Grid.GetCellRect(1, k, 1);
        EXPECT_EQ(cell.Top, 20 + 21 * k);
        EXPECT_EQ(cell.Bottom, 20 + 21 * k + 20);
        // The grid line takes the column's last pixel.
        EXPECT_EQ(cell.Left, 40);
        EXPECT_EQ(cell.Right, 159);
    }
    EXPECT_EQ(Grid.VisibleRowCount(), 7);
    const QImage img = Render();
    EXPECT_EQ(Grid.VertScrollUnit(), 21);
    // Row 1: filled from y 41 to 60, its grid line at y 61.
    EXPECT_EQ(img.pixel(60, 41), Rgb(clWindow));
    EXPECT_EQ(img.pixel(60, 60), Rgb(clWindow));
    EXPECT_EQ(img.pixel(60, 61), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(159, 50), Rgb(clBtnFace));
    // Right of the last column the grid's colour.
    EXPECT_EQ(img.pixel(540, 100), Rgb(clWindow));
}

TEST_F(GridControl, TheInputRowAndTheFooterTakeTheirBands) {
    for (int w : {100, 100})
        Grid.AddColumn(w);
    Grid.SetHeaderSize(20);
    Grid.SetOptions(TGridOptions(goHeader) | goInput);
    EXPECT_EQ(Grid.GetDataRect().Top, 20 + 22);
    EXPECT_EQ(Grid.GetInputRect(), Rect(0, 20, 200, 42));
    EXPECT_EQ(Grid.GetCellRect(1, 0, 5), Rect(100, 20, 200, 36));
    Grid.SetOptions(TGridOptions(goHeader) | goInput | goGrid);
    EXPECT_EQ(Grid.GetDataRect().Top, 20 + 23);
    EXPECT_EQ(Grid.GetCellRect(0, 0, 1).Top, 43);
    // Without a header the input row is at the top.
    Grid.SetOptions(TGridOptions(goInput));
    EXPECT_EQ(Grid.GetInputRect().Top, 0);
    EXPECT_EQ(Grid.GetDataRect().Top, 22);

    Grid.SetOptions(TGridOptions(goHeader) | goFooter);
    EXPECT_EQ(Grid.GetFooterRect(), Rect(0, 170 - 24, 200, 170));
    EXPECT_EQ(Grid.GetDataRect().Bottom, 170 - 24);
    Grid.SetOptions(TGridOptions(goHeader) | goFooter | goGrid);
    EXPECT_EQ(Grid.GetFooterRect().Top, 170 - 25);
    EXPECT_EQ(Grid.GetDataRect().Bottom, 170 - 25);
    // The columns' part rectangles lie in those bands.
    EXPECT_EQ(Grid.Columns()->Items(1)->GetPartRect(0), Rect(100, 170 - 21, 200, 170));
    EXPECT_EQ(Grid.Columns()->Items(1)->GetPartRect(1), Rect(100, 0, 200, 20));
}

TEST_F(GridControl, TheIndicatorMovesTheColumns) {
    Grid.AddColumn(100);
    Grid.AddColumn(50);
    EXPECT_EQ(Grid.Columns()->Items(1)->Left(), 100);
    Grid.SetOptions(Grid.Options() | goIndicator);
    EXPECT_EQ(Grid.GetDataRect().Left, 12);
    EXPECT_EQ(Grid.Columns()->Items(1)->Left(), 112);
    EXPECT_EQ(Grid.GetCellRect(1, 0, 1).Left, 112);
    EXPECT_EQ(Grid.GetHeaderRect(), Rect(12, 0, 162, 18));
    EXPECT_EQ(Grid.GetIndicatorRect(), Rect(0, 0, 12, 170));
    Grid.SetOptions(Grid.Options() & ~TGridOptions(goIndicator));
    EXPECT_EQ(Grid.Columns()->Items(1)->Left(), 100);
}

TEST_F(GridControl, TheVerticalBarHidesOrOnlyDisables) {
    CallList(3);
    Grid.show();
    Render();
    EXPECT_FALSE(Grid.VertScrollBar()->Visible());
    EXPECT_FALSE(Grid.WindowScrollBarShown(sbVertical));
    Grid.SetHideScrollBar(false);
    Render();
    EXPECT_TRUE(Grid.VertScrollBar()->Visible());
    EXPECT_FALSE(Grid.VertScrollBar()->Enabled());
    EXPECT_EQ(Grid.ClientRect().Width(), 575 - BarExtent(Grid));
    // More rows than fit: shown, enabled, one position per hidden row.
    Grid.SetHideScrollBar(true);
    Grid.FillRows(10);
    Render();
    EXPECT_TRUE(Grid.VertScrollBar()->Visible());
    EXPECT_TRUE(Grid.VertScrollBar()->Enabled());
    EXPECT_EQ(Grid.VertScrollBar()->Max(), 13 - 7);
    EXPECT_EQ(Grid.GetMaxTopRow(), 6);
    EXPECT_EQ(Grid.VertScrollBar()->PageSize(), 1u);
    // Scrolled to the end, the last row is the last whole row in view.
    Grid.VertScrollBar()->SetPosition(100);
    EXPECT_EQ(Grid.TopRow(), 6);
    EXPECT_EQ(Grid.GetRowRect(12).Bottom, 20 + 7 * 21);
}

TEST_F(GridControl, HorizontalRangeIsWhatTheColumnsOverhang) {
    Grid.AddColumn(300);
    Grid.AddColumn(275);
    Grid.show();
    Render();
    EXPECT_EQ(Grid.GetHorzRange(), 0);
    EXPECT_FALSE(Grid.HorzScrollBar()->Visible());
    Grid.Columns()->Items(1)->SetWidth(276);
    Render();
    EXPECT_EQ(Grid.GetHorzRange(), 1);
    EXPECT_TRUE(Grid.HorzScrollBar()->Visible());
    EXPECT_EQ(Grid.HorzScrollBar()->Max(), 1);
    EXPECT_EQ(Grid.HorzScrollBar()->PageSize(), 5u);
    EXPECT_EQ(Grid.HorzScrollBar()->PageStep(), 29); // 5 % of 575, rounded
    // The indicator counts against the client width.
    Grid.Columns()->Items(1)->SetWidth(275);
    Grid.SetOptions(Grid.Options() | goIndicator);
    EXPECT_EQ(Grid.GetHorzRange(), 12);
    // Scrolled, the columns and the header move but the indicator stays.
    Render();
    Grid.HorzScrollBar()->SetPosition(7);
    EXPECT_EQ(Grid.GetCellRect(0, 0, 1).Left, 12 - 7);
    EXPECT_EQ(Grid.GetHeaderRect().Right, 575 + 12 - 7);
    EXPECT_EQ(Grid.GetDataRect().Right, 575);
    EXPECT_EQ(Grid.HorzScrollRect(), Rect(12, 0, 575, Grid.ClientRect().Bottom));
}

TEST_F(GridControl, SlidesPlaceCellsByTheirBounds) {
    TTextualColumn* a = Grid.AddColumn(80);
    TTextualColumn* b = Grid.AddColumn(80);
    a->SlideBounds()->SetLeft(10);
    a->SlideBounds()->SetTop(5);
    a->SlideBounds()->SetWidth(100);
    a->SlideBounds()->SetHeight(20);
    b->SlideBounds()->SetLeft(120);
    b->SlideBounds()->SetTop(30);
    b->SlideBounds()->SetWidth(60);
    b->SlideBounds()->SetHeight(40);
    Grid.SetOptions(TGridOptions(goGrid));
    Grid.SetSlideSize(50);
    Grid.SetGridStyle(gsSlides);
    Grid.FillRows(10);
    EXPECT_EQ(Grid.GetDataRect(), Grid.ClientRect());
    EXPECT_TRUE(Grid.GetFooterRect().IsEmpty());
    EXPECT_EQ(Grid.GetCellRect(0, 0, 1), Rect(10, 5, 110, 25));
    EXPECT_EQ(Grid.GetCellRect(1, 2, 1), Rect(120, 30 + 102, 180, 70 + 102));
    Grid.show();
    Render();
    const int client = Grid.ClientRect().Height();
    EXPECT_EQ(Grid.VertScrollBar()->Max(), 10 - client / 51);
    EXPECT_TRUE(Grid.VertScrollBar()->Enabled());
    EXPECT_EQ(Grid.VertScrollUnit(), 51);
    EXPECT_FALSE(Grid.HorzScrollBar()->Visible());
    Grid.VertScrollBar()->SetPosition(1);
    EXPECT_EQ(Grid.GetCellRect(1, 2, 1).Top, 30 + 51);
}

TEST_F(GridControl, SettersIgnoreOrStoreAsTheySay) {
    CallList(2);
    Grid.SetRowSize(0);
    EXPECT_EQ(Grid.RowSize(), 20);
    Grid.SetRowSize(-3);
    EXPECT_EQ(Grid.RowSize(), 20);
    Grid.SetRowSize(25);
    EXPECT_EQ(Grid.RowSize(), 25);
    EXPECT_EQ(Grid.VertScrollUnit(), 26);

    Grid.SetBorderStyle(TWinControl::bsSingle);
    EXPECT_EQ(Grid.ClientRect(), Rect(0, 0, 571, 166));
    Grid.SetBorderStyle(TWinControl::bsNone);
    EXPECT_EQ(Grid.ClientRect(), Rect(0, 0, 575, 170));

    // Switching to slides leaves the input row.
    Grid.SetOptions(Grid.Options() | goInput);
    Grid.SetInputActive(true);
    EXPECT_TRUE(Grid.InputActive());
    Grid.SetGridStyle(gsSlides);
    EXPECT_FALSE(Grid.InputActive());
}

TEST_F(GridControl, TheUpdateLockIsAFlag) {
    Grid.BeginUpdate();
    Grid.BeginUpdate();
    EXPECT_TRUE(Grid.UpdateLock());
    EXPECT_TRUE(Grid.State().testFlag(TCustomGridViewControl::UpdateLocked));
    Grid.EndUpdate();
    EXPECT_FALSE(Grid.UpdateLock());
    EXPECT_EQ(Grid.State(), TCustomGridViewControl::TGridState());
}

TEST_F(GridControl, RowFlagsFollowTheRowOperations) {
    CallList(5);
    EXPECT_EQ(Grid.RowSelectionCount(), 5);
    Grid.SetRowSelected(1, true);
    Grid.SetRowSelected(3, true);
    Grid.SetRowSelected(7, true); // no such row: ignored
    auto flags = [&] {
        std::string s;
        for (int r = 0; r < Grid.RowSelectionCount(); ++r)
            s += Grid.GetRowSelected(r) ? '1' : '0';
        return s;
    };
    EXPECT_EQ(flags(), "01010");
    Grid.DeleteRow(0);
    EXPECT_EQ(flags(), "1010");
    Grid.MoveRow(0, 3);
    EXPECT_EQ(flags(), "0101");
    Grid.FillRows(2);
    EXPECT_EQ(flags(), "010100");
    Grid.RowsChanged(TCustomGridViewControl::rcAppended, 1, 0);
    EXPECT_EQ(flags(), "0101000");
    Grid.FState |= TCustomGridViewControl::MultiRowSelection;
    Grid.ClearRowSelection();
    EXPECT_EQ(flags(), "0000000");
    EXPECT_FALSE(Grid.State().testFlag(TCustomGridViewControl::MultiRowSelection));
    EXPECT_THROW(Grid.GetRowSelected(7), EListError);
    EXPECT_THROW(Grid.GetRowSelected(-1), EListError);
    Grid.Clear();
    EXPECT_EQ(Grid.RowSelectionCount(), 0);
}

TEST_F(GridControl, InsertingMovesTheCurrentRecordAppendingDoesNot) {
    CallList(5);
    std::vector<std::pair<int, int>> selected;
    Grid.OnSelectCell = [&](QObject*, int c, int r) { selected.emplace_back(c, r); };
    Grid.Select(2, 2, 0);
    EXPECT_EQ(selected.back(), std::make_pair(2, 2));
    Grid.SetRowSelected(2, true);
    Grid.InsertRow(1);
    EXPECT_EQ(Grid.Row(), 3);
    EXPECT_EQ(Grid.Col(), 2);
    EXPECT_TRUE(Grid.GetRowSelected(3));
    EXPECT_FALSE(Grid.GetRowSelected(1));
    Grid.InsertRow(3);
    EXPECT_EQ(Grid.Row(), 4);
    // A row inserted below the current one leaves it where it is.
    Grid.InsertRow(5);
    EXPECT_EQ(Grid.Row(), 4);
    Grid.FillRows(3);
    EXPECT_EQ(Grid.Row(), 4);
    Grid.Clear();
    EXPECT_EQ(Grid.Row(), 0);
    EXPECT_EQ(Grid.Col(), 0);
}

TEST_F(GridControl, RemovingTheFirstRowStaysCheapAtAMillionRows) {
    Grid.AddColumn(80);
    Grid.RowsChanged(TCustomGridViewControl::rcAdded, 1000000, 0);
    Grid.SetRowSelected(500000, true);
    // The call list drops its first row for every new one.
    for (int i = 0; i < 20000; ++i) {
        Grid.RowsChanged(TCustomGridViewControl::rcDeleted, 0, 0);
        Grid.RowsChanged(TCustomGridViewControl::rcAdded, 1, 0);
    }
    EXPECT_EQ(Grid.RowSelectionCount(), 1000000);
    EXPECT_TRUE(Grid.GetRowSelected(480000));
    EXPECT_FALSE(Grid.GetRowSelected(500000));
}

TEST_F(GridControl, ASortedColumnSortsTheRowsOnceShown) {
    CallList(0);
    Grid.Rows = {{QString(), "b"}, {QString(), "c"}, {QString(), "a"}};
    Grid.RowsChanged(TCustomGridViewControl::rcAdded, 3, 0);
    TCustomColumn* column = Grid.Columns()->Items(1);
    std::vector<std::pair<int, bool>> reports;
    Grid.OnSortColumn = [&](QObject*, int c, bool asc) { reports.emplace_back(c, asc); };
    // Before the window exists the columns' reports do nothing.
    column->SetSorted(true);
    EXPECT_TRUE(Grid.Sorts.empty());
    Grid.show();
    column->SetSortKind(skDescending);
    ASSERT_EQ(Grid.Sorts.size(), 1u);
    EXPECT_EQ(Grid.Sorts[0], std::make_pair(column, false));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(1, false));
    EXPECT_EQ(Grid.GetCellText(1, 0), QStringLiteral("c"));
    // Unsorting sorts nothing.
    column->SetSorted(false);
    EXPECT_EQ(Grid.Sorts.size(), 1u);
}

TEST_F(GridControl, AWiderColumnWidensTheRange) {
    CallList(1);
    Grid.show();
    Render();
    EXPECT_FALSE(Grid.HorzScrollBar()->Visible());
    Grid.Columns()->Items(4)->SetWidth(200);
    EXPECT_TRUE(Grid.HorzScrollBar()->Visible());
    EXPECT_EQ(Grid.HorzScrollBar()->Max(), 630 - 575);
}

// What a paint pass after an invalidation covers.
class GridControlRepaint : public GridControl {
protected:
    void SetUp() override {
        GridControl::SetUp();
        CallList(10);
        Grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
        Flush();
    }
    // The areas painted for what was invalidated since the last flush.
    std::vector<QRect> Flush() {
        Grid.Painted.clear();
        Grid.PaintedRegions.clear();
        QApplication::processEvents();
        return Grid.Painted;
    }
};

TEST_F(GridControlRepaint, ACellWithItsGridLines) {
    Grid.InvalidateCell(2, 3);
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(160, 83, 150, 21)});
    // Writing a cell repaints it, unless the grid is locked.
    Grid.SetCellText(1, 0, QStringLiteral("x"));
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(40, 20, 120, 21)});
    Grid.BeginUpdate();
    Grid.SetCellText(1, 0, QStringLiteral("y"));
    Grid.EndUpdate();
    EXPECT_TRUE(Flush().empty());
}

TEST_F(GridControlRepaint, RowsBandsAndColumnStrips) {
    Grid.InvalidateRow(1, false);
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(0, 41, 530, 21)});
    Grid.InvalidatePart(TCustomGridViewControl::gpHeader);
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(0, 0, 530, 20)});
    // Bands that are not shown are not repainted.
    Grid.InvalidatePart(TCustomGridViewControl::gpFooter);
    Grid.InvalidatePart(TCustomGridViewControl::gpInput);
    EXPECT_TRUE(Flush().empty());
    // A column's strip is repainted whether its band is shown or not.
    Grid.InvalidateColumnPart(Grid.Columns()->Items(1), TCustomGridViewControl::gpHeader);
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(40, 0, 120, 20)});
    // Moving the current cell repaints the old and the new cell.
    Grid.Select(1, 2, 0);
    std::vector<QRect> painted = Flush();
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], QRect(0, 20, 160, 63)); // cells (0, 0) and (1, 2)
}

TEST_F(GridControlRepaint, TheSelectionOfFullRows) {
    Grid.SetOptions(Grid.Options() | goSelectFullRow);
    Flush();
    Grid.SetRowSelected(2, true);
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(0, 62, 530, 21)});
    Grid.SetRowSelected(2, true); // unchanged: nothing
    EXPECT_TRUE(Flush().empty());
    Grid.InvalidateSelection();
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(0, 62, 530, 21)});
}

TEST_F(GridControlRepaint, AnOutlineOnlyOrTheInputCellOnly) {
    Grid.InvalidateRow(2, true);
    Flush();
    ASSERT_EQ(Grid.PaintedRegions.size(), 1u);
    const QRegion outline = Grid.PaintedRegions[0];
    EXPECT_TRUE(outline.contains(QPoint(0, 62)));
    EXPECT_TRUE(outline.contains(QPoint(529, 82)));
    EXPECT_TRUE(outline.contains(QPoint(300, 82)));
    EXPECT_FALSE(outline.contains(QPoint(300, 70)));

    // A column's input value repaints its input cell; its look, the grid.
    Grid.SetOptions(Grid.Options() | goInput);
    Flush();
    Grid.Columns()->Items(2)->SetInputValue(QStringLiteral("x"));
    EXPECT_EQ(Flush(), std::vector<QRect>{QRect(160, 20, 150, 16 + 6 + 1)});
    Grid.Columns()->Items(2)->SetAlignment(taRightJustify);
    EXPECT_EQ(Flush(), std::vector<QRect>{Grid.ClientRect().ToQRect()});
}

TEST_F(GridControl, TheEditorsFocusCountsAsTheGrids) {
    CallList(2);
    TCellEditor* editor = Grid.Columns()->Items(1)->Editor();
    ASSERT_NE(editor, nullptr);
    editor->setParent(&Grid);
    editor->SetBounds(40, 20, 120, 20);
    editor->setFocusPolicy(Qt::StrongFocus);
    Grid.show();
    Grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Grid));
    editor->show();
    editor->setFocus();
    ASSERT_TRUE(editor->hasFocus());
    EXPECT_FALSE(Grid.GridFocused()); // not the grid's editor yet
    Grid.FEditor = editor;
    EXPECT_TRUE(Grid.EditorFocused());
    EXPECT_TRUE(Grid.GridFocused());
    Grid.Select(1, 1, 0);
    EXPECT_EQ(Grid.GetCellColor(1, 1), clHighlight);
    Grid.setFocus();
    EXPECT_FALSE(Grid.EditorFocused());
    EXPECT_TRUE(Grid.GridFocused());
    // The grid does not free its editor: the column does.
    Grid.FEditor = nullptr;
    editor->hide();
}

} // namespace
