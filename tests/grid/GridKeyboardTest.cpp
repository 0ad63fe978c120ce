// The grid's selection and keyboard, driven by real keys and wheel turns on
// a shown grid: the row flags of Ctrl and Shift, the page, end and home
// keys, the input row above the first row, Enter, incremental search, the
// wheel, the focus leaving with an editor open, and the auto-size columns
// fitted as the grid is resized.

#include "ColumnClasses.h"
#include "GridControlTestSupport.h"
#include "GridView.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <vector>

namespace {

class GridKeys : public TGridControlFixture {
protected:
    // The call list's shape with Rows rows, shown: 7 rows fit the data area.
    void Show(int Rows) {
        CallList(Rows);
        Grid.OnKeyDown = [this](QObject*, int& key, TShiftState) { KeysHeard.push_back(key); };
        Grid.OnSelectCell = [this](QObject*, int c, int r) { Selected.emplace_back(c, r); };
        Grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&Grid, key, modifiers);
    }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers = {}) {
        QWheelEvent event(QPointF(100, 60), QPointF(100, 60), {}, {0, delta}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Grid, &event);
    }
    // The flagged rows.
    std::vector<int> Flagged() const {
        std::vector<int> rows;
        for (int r = 0; r < Grid.RowSelectionCount(); ++r)
            if (Grid.GetRowSelected(r)) rows.push_back(r);
        return rows;
    }
    QRect Repainted() {
        Grid.Painted.clear();
        QApplication::processEvents();
        QRect all;
        for (const QRect& r : Grid.Painted)
            all |= r;
        return all;
    }

    std::vector<int> KeysHeard;
    std::vector<std::pair<int, int>> Selected;
};

using Rows = std::vector<int>;

TEST_F(GridKeys, PageKeysHomeAndEndMoveAndScrollByWhatFits) {
    Show(30);
    Grid.Select(0, 3, 0);
    const struct {
        Qt::Key Key;
        int Row, Top;
    } steps[] = {
        {Qt::Key_PageUp, 0, 0},    {Qt::Key_PageUp, 0, 0},     {Qt::Key_PageDown, 6, 0},
        {Qt::Key_PageDown, 13, 7}, {Qt::Key_PageDown, 20, 14}, {Qt::Key_PageUp, 14, 14},
        {Qt::Key_PageUp, 7, 7},    {Qt::Key_End, 29, 23},      {Qt::Key_Home, 0, 0},
    };
    for (const auto& s : steps) {
        Key(s.Key);
        EXPECT_EQ(Grid.Row(), s.Row) << s.Key;
        EXPECT_EQ(Grid.TopRow(), s.Top) << s.Key;
    }
    EXPECT_EQ(KeysHeard.size(), std::size(steps));
}

TEST_F(GridKeys, PageDownWithFewerRowsThanFitAndNoRowsAtAll) {
    Show(4);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 3);
    EXPECT_EQ(Grid.TopRow(), 0);
    EXPECT_TRUE(KeysHeard.empty());
    Key(Qt::Key_Up);
    EXPECT_EQ(KeysHeard, std::vector<int>{VK_UP});
    Grid.Clear();
    KeysHeard.clear();
    Selected.clear();
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_End, Qt::Key_Right})
        Key(k);
    EXPECT_TRUE(KeysHeard.empty());
    EXPECT_TRUE(Selected.empty());
}

TEST_F(GridKeys, UpAndDownScrollOnlyAsFarAsTheNextRowNeeds) {
    Show(30);
    Grid.VertScrollBar()->SetPosition(5);
    Grid.Select(0, 5, 0);
    Key(Qt::Key_Up);
    EXPECT_EQ(Grid.Row(), 4);
    EXPECT_EQ(Grid.TopRow(), 4);
    Key(Qt::Key_Down); // row 5 is in view
    EXPECT_EQ(Grid.TopRow(), 4);
    Grid.Select(0, 10, 0); // the last whole row
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 11);
    EXPECT_EQ(Grid.TopRow(), 5);
    // From a row scrolled out below, one line for that and one for the row.
    Grid.VertScrollBar()->SetPosition(0);
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 12);
    EXPECT_EQ(Grid.TopRow(), 2);
}

TEST_F(GridKeys, UpFromTheFirstRowEntersTheInputRowAndDownLeavesIt) {
    Show(3);
    Grid.SetOptions(Grid.Options() | goInput);
    Key(Qt::Key_Up);
    EXPECT_TRUE(Grid.InputActive());
    EXPECT_EQ(Grid.Row(), 0);
    Selected.clear();
    Key(Qt::Key_Down);
    EXPECT_FALSE(Grid.InputActive());
    EXPECT_EQ(Grid.Row(), 0);
    EXPECT_EQ(Selected, (std::vector<std::pair<int, int>>{{0, 0}}));
    // With one row Down has nowhere to go and the input row stays active.
    Grid.DeleteRow(2);
    Grid.DeleteRow(1);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_TRUE(Grid.InputActive());
    // Not in the slide style.
    Grid.SetGridStyle(gsSlides);
    Key(Qt::Key_Up);
    EXPECT_FALSE(Grid.InputActive());
}

TEST_F(GridKeys, EnterMovesOnlyWithWantReturnsAndIsSwallowedEitherWay) {
    Show(3);
    Grid.SetSelectionMoveDirection(mdNone);
    for (bool want : {false, true}) {
        Grid.SetWantReturns(want);
        QChar enter(VK_RETURN);
        Grid.KeyPress(enter);
        EXPECT_TRUE(enter.isNull());
        EXPECT_EQ(Grid.Row(), 0);
    }
    Grid.SetSelectionMoveDirection(mdDown);
    Grid.Select(0, 2, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid.Row(), 2);
}

// Enter on the active input row moves into the data rows by SelectRow: the
// row it lands on is drawn selected at once, and so is the input row
// without its active look.
TEST_F(GridKeys, EnterFromTheInputRowRepaintsTheRowItSelects) {
    Show(3);
    Grid.SetOptions(Grid.Options() | goInput);
    Grid.SetWantReturns(true);
    Grid.SetSelectionMoveDirection(mdDown);
    Key(Qt::Key_Up);
    ASSERT_TRUE(Grid.InputActive());
    Repainted();
    Key(Qt::Key_Return);
    EXPECT_FALSE(Grid.InputActive());
    EXPECT_EQ(Grid.Row(), 1);
    const QRect painted = Repainted();
    const TRect row = Grid.GetRowRect(1);
    EXPECT_TRUE(painted.contains(QRect(200, row.Top, 50, row.Bottom - row.Top)))
        << "painted " << painted.x() << "," << painted.y() << " " << painted.width() << "x"
        << painted.height();
    const TRect input = Grid.GetInputRect();
    EXPECT_TRUE(painted.contains(QRect(200, input.Top, 50, input.Bottom - input.Top)));
}

TEST_F(GridKeys, CtrlAndShiftFlagRowsFromTheAnchorAndAPlainSelectClearsThem) {
    Show(10);
    Grid.SetOptions(Grid.Options() | goMultiSelect | goSelectFullRow);
    Grid.Select(0, 2, 0);
    Grid.Select(0, 5, ssShift);
    EXPECT_EQ(Flagged(), (Rows{2, 3, 4, 5}));
    EXPECT_TRUE(Grid.State().testFlag(TCustomGridViewControl::MultiRowSelection));
    Grid.Select(0, 3, ssShift); // the anchor stays at 2
    EXPECT_EQ(Flagged(), (Rows{2, 3}));
    Grid.Select(0, 7, ssCtrl);
    EXPECT_EQ(Flagged(), (Rows{2, 3, 7}));
    Grid.Select(0, 8, ssShift); // from the new anchor
    EXPECT_EQ(Flagged(), (Rows{7, 8}));
    Grid.Select(0, 8, ssCtrl);
    EXPECT_EQ(Flagged(), (Rows{7}));
    Grid.Select(0, 4, 0);
    EXPECT_EQ(Flagged(), (Rows{4}));
    EXPECT_FALSE(Grid.State().testFlag(TCustomGridViewControl::MultiRowSelection));
    EXPECT_EQ(Grid.AnchorRow(), 4);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Flagged(), (Rows{4, 5, 6}));
    // Without both options a modifier changes nothing: one row is flagged.
    Grid.SetOptions(Grid.Options() & ~TGridOptions(goMultiSelect));
    Grid.Select(0, 1, 0);
    Grid.Select(0, 3, ssShift);
    EXPECT_EQ(Flagged(), (Rows{3}));
}

TEST_F(GridKeys, SelectRepaintsWhatChangedAndAlwaysReports) {
    Show(10);
    Grid.SetOptions(Grid.Options() | goMultiSelect | goSelectFullRow);
    Grid.Select(0, 2, 0);
    Repainted();
    Grid.Select(0, 5, ssShift);
    EXPECT_EQ(Repainted(), QRect(0, 20 + 2 * 21, 530, 4 * 21));
    Selected.clear();
    Grid.Select(0, 5, ssShift);
    EXPECT_EQ(Repainted(), QRect());
    EXPECT_EQ(Selected.size(), 1u); // even for the same cell
    // With the input row active only its cells are repainted, unreported.
    Grid.SetOptions(TGridOptions(goHeader) | goGrid | goInput);
    Grid.SetInputActive(true);
    Repainted();
    Selected.clear();
    Grid.Select(2, 5, 0);
    EXPECT_TRUE(Selected.empty());
    EXPECT_EQ(Repainted(), QRect(0, 20, 310, 23));
}

TEST_F(GridKeys, AShiftSelectOverAMillionRowsAndAPlainOneAfterIt) {
    Show(0);
    Grid.SetOptions(Grid.Options() | goMultiSelect | goSelectFullRow);
    Grid.Rows.resize(1000000);
    Grid.RowsChanged(TCustomGridViewControl::rcAdded, 1000000, 0);
    Grid.UpdateVertScrollBar();
    Grid.Select(0, 0, 0);
    Grid.Select(0, 999999, ssShift);
    EXPECT_TRUE(Grid.GetRowSelected(500000));
    Repainted();
    Grid.Select(0, 500000, 0);
    EXPECT_FALSE(Grid.GetRowSelected(999999));
    EXPECT_FALSE(Grid.GetRowSelected(0));
    EXPECT_TRUE(Grid.GetRowSelected(500000));
    // Only the rows in view were repainted (the top ones lost their flags).
    EXPECT_EQ(Repainted(), QRect(0, 20, 530, 150));
}

TEST_F(GridKeys, TheWheelScrollsALineOrWithCtrlAPageAndLeavesTheCurrentCell) {
    Show(40);
    int downs = 0;
    Grid.OnMouseWheelDown = [&](QObject*, TShiftState, const TPoint&, bool& handled) {
        ++downs;
        handled = true; // the grid scrolls all the same
    };
    Grid.Select(1, 2, 0);
    Wheel(-120);
    EXPECT_EQ(Grid.TopRow(), 1);
    Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(Grid.TopRow(), 11);
    Wheel(-60);
    Wheel(-60);
    EXPECT_EQ(Grid.TopRow(), 12);
    Wheel(120, Qt::ControlModifier);
    EXPECT_EQ(Grid.TopRow(), 2);
    EXPECT_EQ(downs, 3);
    EXPECT_EQ(Grid.Row(), 2);
    EXPECT_EQ(Grid.Col(), 1);
    // An open cell editor keeps the wheel.
    auto* column = Grid.Columns()->Items(0);
    column->SetOptions(column->Options() | coEditing);
    Grid.StartEdit(0, 3, {});
    ASSERT_NE(Grid.Editor(), nullptr);
    Wheel(-120);
    EXPECT_EQ(Grid.TopRow(), 2);
    // A scroll by either bar closes it without storing.
    Grid.Editor()->SetValue(QStringLiteral("typed"));
    Grid.ScrollMessage(sbVertical, SB_LINEDOWN);
    EXPECT_EQ(Grid.Editor(), nullptr);
    EXPECT_EQ(Grid.TopRow(), 3);
    EXPECT_EQ(Grid.GetCellText(0, 3), QStringLiteral("r3c0"));
    Grid.StartEdit(0, 4, {});
    Grid.ScrollMessage(sbHorizontal, SB_LINEDOWN);
    EXPECT_EQ(Grid.Editor(), nullptr);
}

TEST_F(GridKeys, TypingSearchesTheSearchColumnFromTheNextRowRound) {
    Show(0);
    Grid.Rows = {{"", "alpha"},    {"", "Beta"},   {"", "bravo"},
                 {"", "Istanbul"}, {"", "alpha2"}, {"", "\u0131k"}};
    Grid.RowsChanged(TCustomGridViewControl::rcAdded, 6, 0);
    auto* search = Grid.Columns()->Items(1);
    search->SetOptions(search->Options() | coSearchColumn);
    QTest::keyClicks(&Grid, "b");
    EXPECT_EQ(Grid.Row(), 1); // letters match whatever their case
    QTest::keyClicks(&Grid, "r");
    EXPECT_EQ(Grid.Row(), 2);
    EXPECT_EQ(Grid.SearchText(), QStringLiteral("br"));
    EXPECT_TRUE(Grid.SearchTimer()->Running());
    // A pause empties the search text.
    Grid.SearchTimer()->Timer();
    EXPECT_TRUE(Grid.SearchText().isEmpty());
    EXPECT_FALSE(Grid.SearchTimer()->Running());
    // Every character searches on from the row after the current one.
    QTest::keyClicks(&Grid, "a");
    EXPECT_EQ(Grid.Row(), 4);
    QTest::keyClicks(&Grid, "l");
    EXPECT_EQ(Grid.Row(), 0); // round past the last row
    QTest::keyClicks(&Grid, "p");
    EXPECT_EQ(Grid.Row(), 4);
    Grid.SearchTimer()->Timer();
    // Only ASCII letters are upper-cased: the dotless i is no I.
    QTest::keyClicks(&Grid, "i");
    EXPECT_EQ(Grid.Row(), 3);
    Grid.SearchTimer()->Timer();
    QTest::keyClicks(&Grid, "I");
    EXPECT_EQ(Grid.Row(), 3);
    // Not while the current column edits: typing opens its editor instead.
    Grid.SearchTimer()->Timer();
    auto* first = Grid.Columns()->Items(0);
    first->SetOptions(first->Options() | coEditing);
    QTest::keyClicks(&Grid, "b");
    EXPECT_EQ(Grid.Row(), 3);
    EXPECT_TRUE(Grid.SearchText().isEmpty());
    EXPECT_EQ(Grid.EditRow(), 3);
}

TEST_F(GridKeys, AMatchOutOfViewBecomesTheTopRow) {
    Show(40);
    Grid.Rows[30][1] = QStringLiteral("needle");
    auto* search = Grid.Columns()->Items(1);
    search->SetOptions(search->Options() | coSearchColumn);
    QTest::keyClicks(&Grid, "n");
    EXPECT_EQ(Grid.Row(), 30);
    EXPECT_EQ(Grid.TopRow(), 30);
    Grid.SearchTimer()->Timer();
    Grid.Rows[32][1] = QStringLiteral("nail");
    QTest::keyClicks(&Grid, "n"); // in view: no scroll
    EXPECT_EQ(Grid.Row(), 32);
    EXPECT_EQ(Grid.TopRow(), 30);
}

TEST_F(GridKeys, LosingTheFocusStoresTheOpenEditorBeforeOnExit) {
    Show(3);
    auto* column = Grid.Columns()->Items(0);
    column->SetOptions(column->Options() | coEditing);
    Grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Grid));
    std::vector<QString> exits;
    int enters = 0;
    Grid.OnEnter = [&](QObject*) { ++enters; };
    Grid.OnExit = [&](QObject*) { exits.push_back(Grid.GetCellText(0, 1)); };
    Grid.clearFocus();
    exits.clear();
    Grid.setFocus();
    EXPECT_EQ(enters, 1);
    // Into its own editor and back is no exit and no enter.
    QTest::keyClicks(&Grid, "x");
    ASSERT_TRUE(Grid.EditorFocused());
    EXPECT_TRUE(exits.empty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(Grid.hasFocus());
    EXPECT_EQ(enters, 1);
    // Out of the editor to elsewhere, and back to the grid, is an enter.
    QTest::keyClicks(&Grid, "y");
    QApplication::focusWidget()->clearFocus();
    Grid.setFocus();
    EXPECT_EQ(enters, 2);
    // The editor is left open on the grid's own keyboard: the grid's exit
    // stores its value and closes it first.
    Grid.StartEdit(0, 1, QStringLiteral("kept"));
    Grid.setFocus();
    ASSERT_NE(Grid.Editor(), nullptr);
    Grid.clearFocus();
    EXPECT_EQ(exits, std::vector<QString>{QStringLiteral("kept")});
    EXPECT_EQ(Grid.Editor(), nullptr);
}

TEST(GridViewKeys, SpaceTogglesACheckBoxCellThroughItsPlayElement) {
    TGridView grid;
    auto* check = new TCheckBoxColumn();
    grid.Columns()->Add(check);
    grid.AddRows(2);
    grid.Cell(0, 1)->SetAsBoolean(false);
    grid.Select(0, 1, 0);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_TRUE(grid.Cell(0, 1)->GetAsBoolean());
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_FALSE(grid.Cell(0, 1)->GetAsBoolean());
}

TEST(GridViewKeys, AutoSizeColumnsShareTheClientWidthAfterEachResize) {
    TGridView grid;
    grid.SetBorderStyle(TWinControl::bsNone);
    for (int w : {148, 131, 90, 73, 100}) {
        auto* column = new TTextualColumn();
        column->SetWidth(w);
        column->SetOptions(column->Options() | coAutoSize);
        grid.Columns()->Add(column);
    }
    auto widths = [&] {
        std::vector<int> result;
        for (int i = 0; i < grid.Columns()->Count(); ++i)
            result.push_back(grid.Columns()->Items(i)->Width());
        return result;
    };
    grid.SetBounds(0, 0, 549, 150);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    EXPECT_EQ(widths(), (std::vector<int>{150, 133, 91, 74, 101}));
    // The indicator takes its width off the room.
    grid.SetOptions(grid.Options() | goIndicator);
    grid.SetBounds(0, 0, 600, 150);
    QApplication::processEvents();
    int sum = 0;
    for (int w : widths())
        sum += w;
    EXPECT_EQ(sum, 600 - TCustomGridViewControl::IndicatorWidth);
}

} // namespace
