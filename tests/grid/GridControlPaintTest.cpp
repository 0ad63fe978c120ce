// What the grid control paints: the caption of an empty grid, grid lines in
// every style, the cell colours and the events that change them, the focus
// frame, the indicator, the bands, the slides, and that a paint pass asks
// only for the rows in view.

#include "GridControlTestSupport.h"
#include "GridTestSupport.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

class GridPaint : public TGridControlFixture {
protected:
    // What the grid draws over a ground of the given colour.
    QImage Render(QRgb ground = qRgb(255, 0, 255)) {
        QImage img(Grid.size(), QImage::Format_RGB32);
        img.fill(ground);
        // The first pass settles the scroll bars.
        Grid.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        img.fill(ground);
        Grid.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return img;
    }
    void Focus() {
        Grid.show();
        Grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Grid));
        Grid.setFocus();
        ASSERT_TRUE(Grid.GridFocused());
    }
    static int Dark(const QImage& img, const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(img.pixel(x, y)) < 128) ++n;
        return n;
    }
    static int Count(const QImage& img, const QRect& area, QRgb color) {
        return area.width() * area.height() - CountOther(img, area, color);
    }
};

TEST_F(GridPaint, AnEmptyGridShowsItsCaptionAndEmptyCells) {
    CallList(0);
    Grid.SetCaption(WideToAnsi(QStringLiteral("Kayıt yok")));
    const QImage img = Render();
    const int h = Grid.Canvas()->TextHeight(QStringLiteral("Kayıt yok"));
    // Nothing of the text above its line, 4 pixels below the header.
    EXPECT_EQ(Dark(img, QRect(0, 20, 575, 4)), 0);
    EXPECT_GT(Dark(img, QRect(0, 24, 575, h)), 0);
    EXPECT_EQ(Dark(img, QRect(0, 24 + h, 575, 170 - 24 - h)), 0);
    // Centred on the client width.
    int left = 575, right = 0;
    for (int y = 24; y < 24 + h; ++y)
        for (int x = 0; x < 575; ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR((left + right) / 2.0, 575 / 2.0, 3.0);
    // Empty cells with their grid lines down to the bottom.
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(img.pixel(300, 40 + 21 * k), Rgb(clBtnFace)) << k;
        EXPECT_EQ(img.pixel(159, 30 + 21 * k), Rgb(clBtnFace)) << k;
    }
    EXPECT_EQ(img.pixel(300, 165), Rgb(clWindow));
    // With a row the caption goes.
    Grid.FillRows(1);
    EXPECT_EQ(Dark(Render(), QRect(0, 20, 575, 150)), 0);
}

TEST_F(GridPaint, GridLinesInEveryStyle) {
    CallList(2);
    QImage img = Render();
    EXPECT_EQ(img.pixel(100, 61), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(529, 30), Rgb(clBtnFace));

    // Framed: the last row's bottom line and the last column's right line
    // are black where there are rows.
    Grid.SetGridLinesStyle(lsFramed);
    img = Render();
    EXPECT_EQ(img.pixel(100, 40), Rgb(clBtnFace));
    for (int x : {0, 100, 300, 528})
        EXPECT_EQ(img.pixel(x, 61), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(img.pixel(529, 30), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(529, 50), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(529, 70), Rgb(clBtnFace)); // an empty row
    EXPECT_EQ(img.pixel(429, 30), Rgb(clBtnFace));
    // The last visible column, not the last one.
    Grid.Columns()->Items(4)->SetVisible(false);
    img = Render();
    EXPECT_EQ(img.pixel(429, 30), qRgb(0, 0, 0));

    // Horizontal lines only: cells reach their column's last pixel.
    Grid.Columns()->Items(4)->SetVisible(true);
    Grid.SetGridLinesStyle(lsHorizontalOnly);
    img = Render();
    EXPECT_EQ(Grid.GetCellRect(1, 0, 1).Right, 160);
    EXPECT_EQ(img.pixel(159, 30), Rgb(clWindow));
    EXPECT_EQ(img.pixel(529, 30), Rgb(clWindow));
    EXPECT_EQ(img.pixel(100, 40), Rgb(clBtnFace));
}

TEST_F(GridPaint, SelectionColoursByFocus) {
    CallList(3);
    Grid.SetOptions(Grid.Options() | goHighlightTextSelection);
    Grid.Select(1, 1, 0);
    Grid.show();
    // Without the focus nothing is selected...
    EXPECT_EQ(Render().pixel(100, 50), Rgb(clWindow));
    // ...unless the selection is always shown: then in the button colour.
    Grid.SetOptions(Grid.Options() | goAlwaysShowSelection);
    EXPECT_EQ(Render().pixel(100, 50), Rgb(clBtnFace));
    Focus();
    QImage img = Render();
    EXPECT_EQ(img.pixel(100, 50), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 30), Rgb(clWindow));
    EXPECT_EQ(Grid.GetCellTextColor(1, 1), clHighlightText);
    EXPECT_EQ(Grid.GetCellTextColor(1, 0), Grid.Columns()->Items(1)->Font()->Color());

    // Blended: a quarter highlight, three quarters the grid's colour.
    Grid.SetOptions(Grid.Options() | goAlphaBlendedSelection);
    img = Render();
    const QRgb h = Rgb(clHighlight);
    const QRgb w = Rgb(clWindow);
    auto mix = [](int a, int b) { return int(std::nearbyint(0.25 * a + 0.75 * b)); };
    EXPECT_EQ(img.pixel(100, 50),
              qRgb(mix(qRed(h), qRed(w)), mix(qGreen(h), qGreen(w)), mix(qBlue(h), qBlue(w))));
    // The focus frame is then a solid highlight frame on the cell's edge.
    EXPECT_EQ(img.pixel(40, 45), h);
    EXPECT_EQ(img.pixel(100, 41), h);
    EXPECT_EQ(img.pixel(158, 50), h);

    // Bold selected text when asked for.
    Grid.SetOptions(Grid.Options() | goBoldTextSelection);
    Grid.PrepareCell(1, 1);
    EXPECT_TRUE(Grid.Canvas()->Font()->Style().testFlag(TFont::fsBold));
    Grid.PrepareCell(1, 0);
    EXPECT_FALSE(Grid.Canvas()->Font()->Style().testFlag(TFont::fsBold));
}

TEST_F(GridPaint, ASortedColumnIsShadedButNotItsSelection) {
    CallList(3);
    Grid.SetOptions(Grid.Options() | goIndicateSortedColumn);
    Grid.Select(2, 1, 0);
    Focus();
    Grid.Columns()->Items(2)->SetSorted(true);
    const QImage img = Render();
    EXPECT_EQ(img.pixel(200, 30), qRgb(245, 245, 245));
    EXPECT_EQ(img.pixel(200, 70), qRgb(245, 245, 245));
    EXPECT_EQ(img.pixel(200, 50), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 30), Rgb(clWindow));
}

TEST_F(GridPaint, CellColoringChangesBothColours) {
    CallList(2);
    Grid.Select(1, 0, 0);
    Focus();
    std::map<std::pair<int, int>, TCellState> states;
    Grid.OnCellColoring = [&](QObject* sender, int c, int r, TColor& cell, TColor& grid,
                              TCellState state) {
        EXPECT_EQ(sender, &Grid);
        states[{c, r}] = state;
        if (c == 0) {
            cell = clRed;
            grid = clBlue;
        }
    };
    QImage img = Render();
    EXPECT_EQ(img.pixel(20, 30), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(20, 40), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(39, 30), qRgb(0, 0, 255));
    // Empty rows are coloured by the event too.
    EXPECT_EQ(img.pixel(20, 100), qRgb(255, 0, 0));
    EXPECT_EQ(states[std::make_pair(1, 0)], TCellState(csSelected) | csFocused);
    EXPECT_EQ(states[std::make_pair(1, 1)], TCellState());
    EXPECT_EQ(states[std::make_pair(1, 5)], TCellState());
    Grid.SetOptions(Grid.Options() | goHideFocus);
    Render();
    EXPECT_EQ(states[std::make_pair(1, 0)], TCellState(csSelected));
}

TEST_F(GridPaint, DrawCellBackgroundMayTakeOverTheFill) {
    CallList(2);
    std::vector<TRect> rects;
    Grid.OnDrawCellBackground = [&](QObject*, int c, int r, TRect& rect, TCellState,
                                    bool& defaultDrawing) {
        if (c == 1 && r == 0) {
            rects.push_back(rect);
            defaultDrawing = false;
        }
    };
    const QImage img = Render(qRgb(255, 0, 255));
    EXPECT_EQ(img.pixel(100, 30), qRgb(255, 0, 255));
    EXPECT_EQ(img.pixel(100, 40), Rgb(clBtnFace)); // the grid lines come first
    EXPECT_EQ(img.pixel(200, 30), Rgb(clWindow));
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.back(), Grid.GetCellRect(1, 0, 1));
}

TEST_F(GridPaint, TheEditedCellIsOnlyFramed) {
    CallList(2);
    Grid.Select(1, 0, 0);
    Grid.Background = clYellow;
    Grid.FEditor = Grid.Columns()->Items(1)->Editor();
    Grid.FState |= TCustomGridViewControl::CellEditing;
    Grid.FEditCol = 1;
    Grid.FEditRow = 0;
    Grid.SetOptions(Grid.Options() | goAlwaysShowSelection);
    const QImage img = Render();
    // Under the editor the ground stays; a frame in the cell's own colour
    // (the editor's cell is not drawn selected).
    EXPECT_EQ(img.pixel(100, 30), qRgb(255, 0, 255));
    EXPECT_EQ(img.pixel(40, 30), Rgb(clYellow));
    EXPECT_EQ(img.pixel(100, 20), Rgb(clYellow));
    EXPECT_EQ(img.pixel(158, 30), Rgb(clYellow));
    EXPECT_EQ(img.pixel(100, 50), Rgb(clYellow));
    EXPECT_FALSE(Grid.IsCellSelected(1, 0));
    Grid.FEditor = nullptr;
}

TEST_F(GridPaint, DrawingOptionsChooseContentAndCustomDrawing) {
    CallList(2);
    int custom = 0;
    Grid.OnCustomDrawCell = [&](QObject*, int c, int r, TRect& rect, TCellState) {
        if (c != 1) return;
        ++custom;
        EXPECT_EQ(rect, Grid.GetCellRect(c, r, 1));
    };
    auto prepared = [&] {
        return std::count_if(Grid.Prepared.begin(), Grid.Prepared.end(),
                             [](const auto& p) { return p.first == 1; });
    };
    struct Case {
        TDrawingOptions Options;
        bool Content, Custom;
    };
    for (const Case& k : {Case{doNormal, true, false}, Case{doBackgroundOnly, false, true},
                          Case{doCustom, true, true}, Case{doCustomOnly, false, true}}) {
        Grid.Columns()->Items(1)->SetDrawingOptions(k.Options);
        custom = 0;
        Grid.Prepared.clear();
        Render();
        EXPECT_EQ(prepared() > 0, k.Content) << k.Options;
        EXPECT_EQ(custom > 0, k.Custom) << k.Options;
        // Only the two rows with data, twice (two passes).
        EXPECT_EQ(prepared(), k.Content ? 4 : 0) << k.Options;
        EXPECT_EQ(custom, k.Custom ? 4 : 0) << k.Options;
    }
    // A hidden column is not drawn at all.
    Grid.Columns()->Items(1)->SetVisible(false);
    custom = 0;
    Render();
    EXPECT_EQ(custom, 0);
}

TEST_F(GridPaint, TheFocusFrameIsDottedByInversion) {
    CallList(3);
    Grid.Select(2, 1, 0);
    const QRgb inverted = Rgb(clWindow) ^ 0xFFFFFF;
    auto dots = [&](const QImage& img, const QRect& edge) { return Count(img, edge, inverted); };
    // The cell (160, 41) - (309, 61).
    const QRect top(160, 41, 149, 1);
    Grid.show();
    EXPECT_EQ(dots(Render(), top), 0); // no focus, no frame
    Focus();
    Grid.SetOptions(Grid.Options() & ~TGridOptions(goHighlightTextSelection));
    // The cell itself is selected (highlight); its frame inverts that.
    const QRgb onHighlight = Rgb(clHighlight) ^ 0xFFFFFF;
    QImage img = Render();
    EXPECT_NEAR(Count(img, top, onHighlight), 149 / 2, 2);
    EXPECT_NEAR(Count(img, QRect(160, 41, 1, 20), onHighlight), 10, 1);
    EXPECT_EQ(Count(img, QRect(160, 43, 149, 17).adjusted(1, 0, -1, 0), onHighlight), 0);
    Grid.SetOptions(Grid.Options() | goHideFocus);
    EXPECT_EQ(Count(Render(), top, onHighlight), 0);

    // A full row: the frame spans every column of the row, the row's own
    // flag clear (so its cells are not selected).
    Grid.SetOptions(TGridOptions(goHeader) | goGrid | goSelectFullRow);
    Grid.SetRowSelected(1, false);
    img = Render();
    // (less the four grid lines it crosses)
    EXPECT_NEAR(dots(img, QRect(0, 41, 529, 1)), 529 / 2, 5);
    EXPECT_NEAR(dots(img, QRect(0, 60, 529, 1)), 529 / 2, 5);
    EXPECT_EQ(dots(img, QRect(0, 20, 529, 21)), 0);
    // While the input row is active there is none.
    Grid.SetInputActive(true);
    EXPECT_EQ(dots(Render(), QRect(0, 41, 529, 1)), 0);
}

TEST_F(GridPaint, TheIndicatorPointsAtTheCurrentRow) {
    CallList(4);
    Grid.SetOptions(Grid.Options() | goIndicator);
    Grid.Select(0, 1, 0);
    // Only row 2 flagged: the current row's cell is drawn unselected.
    Grid.SetRowSelected(1, false);
    Grid.SetRowSelected(2, true);
    const QImage img = Render();
    const QRgb arrow = Rgb(clWindowText);
    auto cell = [](int k) { return QRect(0, 20 + 21 * k, 12, 21); };
    EXPECT_EQ(Count(img, cell(0), arrow), 0);
    EXPECT_EQ(Count(img, cell(1), arrow), 6 + 5 + 4 + 3 + 2 + 1 + 5 + 4 + 3 + 2 + 1);
    // The selected row's cell is inverted.
    EXPECT_EQ(img.pixel(6, 20 + 42 + 10), Rgb(clBtnFace) ^ 0xFFFFFF);
    EXPECT_EQ(img.pixel(6, 20 + 63 + 10), Rgb(clBtnFace));
    // The edges: light left and top, dark right and bottom.
    EXPECT_EQ(img.pixel(0, 30), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(11, 30), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(5, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(5, 40), Rgb(clBtnShadow));
    // The columns start right of it.
    EXPECT_EQ(img.pixel(13, 30), Rgb(clWindow));
}

TEST_F(GridPaint, TheBandsAroundTheRows) {
    CallList(2);
    Grid.SetOptions(TGridOptions(goHeader) | goInput | goFooter | goIndicator);
    const TRect input = Grid.GetInputRect();
    const TRect footer = Grid.GetFooterRect();
    QImage img = Render();
    // The input row's separator and the footer's top strip: button faces.
    EXPECT_EQ(img.pixel(100, input.Bottom - 6), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(100, input.Bottom - 3), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(100, input.Bottom - 1), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(3, input.Bottom - 1), Rgb(clBtnShadow)); // under the indicator too
    EXPECT_EQ(img.pixel(100, footer.Top), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(100, footer.Top + 3), Rgb(clBtnShadow));
    // Beside the input row the grid's colour; beside footer and header
    // button faces.
    EXPECT_EQ(img.pixel(5, input.Top + 5), Rgb(clWindow));
    EXPECT_EQ(img.pixel(11, footer.Top + 10), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(5, footer.Top + 10), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(0, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(11, 5), Rgb(clBtnShadow));
    // No row reaches over the footer.
    EXPECT_EQ(CountOther(img, QRect(1, footer.Top + 1, 10, footer.Height() - 2), Rgb(clBtnFace)),
              0);
    // The old style edges in the window frame colour.
    Grid.SetHeaderStyle(hsOldStyle);
    img = Render();
    EXPECT_EQ(img.pixel(100, input.Bottom - 1), Rgb(clWindowFrame));
    EXPECT_EQ(img.pixel(11, 5), Rgb(clWindowFrame));
}

TEST_F(GridPaint, SlidesOneRecordEach) {
    Grid.AddColumn(80)->SlideBounds()->SetWidth(0);
    Grid.SetOptions(TGridOptions(goGrid));
    Grid.SetSlideSize(50);
    Grid.SetGridStyle(gsSlides);
    Grid.FillRows(2);
    Grid.Select(0, 1, 0);
    const QImage img = Render();
    // Slide 0 at 0..49, its line at 50; slide 1 at 51..100 framed twice.
    EXPECT_EQ(img.pixel(100, 25), Rgb(clWindow));
    EXPECT_EQ(img.pixel(100, 50), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(100, 51), Rgb(clWindow));
    EXPECT_EQ(img.pixel(100, 52), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 53), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 54), Rgb(clWindow));
    EXPECT_EQ(img.pixel(2, 75), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 99), Rgb(clHighlight));
    EXPECT_EQ(img.pixel(100, 101), Rgb(clBtnFace));
    // Below the last slide the grid's colour.
    EXPECT_EQ(img.pixel(100, 150), Rgb(clWindow));
    EXPECT_EQ(CountOther(img, QRect(0, 102, Grid.ClientWidth(), 68), Rgb(clWindow)), 0);
}

TEST_F(GridPaint, AHiddenColumnDoesNotEndTheRowsEarly) {
    // A column hidden while it lay beyond the client width keeps its old
    // offset; the columns after it that now lie in view are still drawn.
    Grid.AddColumn(700);
    Grid.AddColumn(100);
    Grid.AddColumn(100);
    Grid.SetOptions(TGridOptions(goHeader) | goGrid);
    Grid.SetHeaderSize(20);
    Grid.SetRowSize(20);
    Grid.FillRows(2);
    Grid.Columns()->Items(1)->SetVisible(false);
    Grid.Columns()->Items(0)->SetWidth(50);
    ASSERT_EQ(Grid.Columns()->Items(2)->Left(), 50);
    Grid.Prepared.clear();
    const QImage img = Render();
    EXPECT_NE(std::find(Grid.Prepared.begin(), Grid.Prepared.end(), std::make_pair(2, 0)),
              Grid.Prepared.end());
    EXPECT_EQ(img.pixel(100, 30), Rgb(clWindow));
    EXPECT_EQ(img.pixel(100, 80), Rgb(clWindow)); // an empty row's cell
}

TEST_F(GridPaint, APaintPassAsksOnlyTheRowsInView) {
    CallList(0);
    Grid.Rows.resize(1000000);
    Grid.RowsChanged(TCustomGridViewControl::rcAdded, 1000000, 0);
    Grid.show();
    Grid.RecordCells = true;
    QImage img(Grid.size(), QImage::Format_RGB32);
    Grid.render(&img);
    // Seven whole rows and the top of an eighth, five columns.
    EXPECT_LE(Grid.TextAsked, 8 * 5);
    EXPECT_GT(Grid.TextAsked, 0);
    for (const auto& cell : Grid.TextCells)
        EXPECT_LT(cell.second, 8);
    EXPECT_EQ(Grid.VertScrollBar()->Max(), 1000000 - 7);

    Grid.VertScrollBar()->SetPosition(500000);
    Grid.TextAsked = 0;
    Grid.TextCells.clear();
    Grid.render(&img);
    EXPECT_LE(Grid.TextAsked, 8 * 5);
    for (const auto& cell : Grid.TextCells) {
        EXPECT_GE(cell.second, 500000);
        EXPECT_LT(cell.second, 500008);
    }
    // Only the cells in the clip are asked: one row's strip (and the row
    // whose edge touches it).
    Grid.TextAsked = 0;
    Grid.render(&img, QPoint(), QRegion(0, 20 + 21 * 3, 575, 21));
    EXPECT_LE(Grid.TextAsked, 2 * 5);
    EXPECT_GT(Grid.TextAsked, 0);
}

} // namespace

namespace {

int Count(const QImage& img, const QRect& area, QRgb color) {
    return area.width() * area.height() - CountOther(img, area, color);
}

// The border and the strips follow the platform's style while themes are
// on and the header style is automatic.
TEST(GridPaintThemed, BorderAndStripsThroughTheStyle) {
    const bool themes = ThemesEnabled();
    TTestDataGrid grid;
    grid.SetBounds(0, 0, 300, 120);
    grid.AddColumn(100);
    grid.SetOptions(TGridOptions(goHeader) | goInput | goFooter | goIndicator);
    auto render = [&] {
        QImage img(grid.size(), QImage::Format_RGB32);
        img.fill(qRgb(255, 0, 255));
        grid.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        img.fill(qRgb(255, 0, 255));
        grid.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return img;
    };
    SetThemesEnabled(false);
    const QImage classic = render();
    SetThemesEnabled(true);
    ASSERT_TRUE(ThemesActive());
    const QImage themed = render();
    SetThemesEnabled(themes);
    // Nothing left unpainted either way.
    EXPECT_EQ(Count(classic, classic.rect(), qRgb(255, 0, 255)), 0);
    EXPECT_EQ(Count(themed, themed.rect(), qRgb(255, 0, 255)), 0);
    // The frame and the header corner differ; the rows do not.
    EXPECT_GT(CountChangedOutside(classic, themed, QRect(1, 1, 298, 118)), 0);
    EXPECT_EQ(classic.copy(60, 60, 30, 10), themed.copy(60, 60, 30, 10));
    // The default header style keeps the classic drawing with themes on.
    SetThemesEnabled(true);
    grid.SetHeaderStyle(hsDefault);
    const QImage plain = render();
    SetThemesEnabled(themes);
    EXPECT_EQ(CountChangedOutside(classic, plain, QRect()), 0);
}

} // namespace
