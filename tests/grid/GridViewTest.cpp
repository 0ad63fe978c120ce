// The published grid with its cell store: the call list's step (drop the
// oldest row, append one, write five cells under the update lock), the
// index checks of the row and cell operations, change reports and repaints,
// footer totals, sorting, the row flags kept one per row, the vertical
// scroll bar set by appending, the note window, the play element, and a
// grid read from a window layout with a column of every value kind.

#include "GridView.h"
#include "ColumnsTestSupport.h"
#include "ErrorOf.h"
#include "GridTestSupport.h"
#include "HintWindow.h"
#include "Streaming.h"
#include "SysUtils.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The grid with a record of what it asked of its ancestors: the editor
// closed or re-placed, single cells repainted, and the area each paint pass
// covered.
class TProbeGrid : public TGridView {
public:
    explicit TProbeGrid(QObject* owner = nullptr) : TGridView(owner) {}

    std::vector<std::string> Calls; // "hide", "update"
    std::vector<std::pair<int, int>> CellRepaints;
    std::vector<QRect> Painted;

    void HideEditor() override {
        Calls.emplace_back("hide");
        TGridView::HideEditor();
    }
    void UpdateEditor() override {
        Calls.emplace_back("update");
        TGridView::UpdateEditor();
    }
    void InvalidateCell(int Col, int Row) override {
        CellRepaints.emplace_back(Col, Row);
        TGridView::InvalidateCell(Col, Row);
    }
    int Count(const char* call) const {
        return static_cast<int>(std::count(Calls.begin(), Calls.end(), call));
    }
    // The union of what was painted since the last call.
    QRect TakePainted() {
        QApplication::processEvents();
        QRect all;
        for (const QRect& r : Painted)
            all |= r;
        Painted.clear();
        return all;
    }

    using TCustomGridViewControl::FEditRow;
    using TCustomGridViewControl::FRow;

protected:
    void Paint() override {
        Painted.push_back(Canvas()->ClipRect().ToQRect());
        TGridView::Paint();
    }
};

class GridViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFrameworkClasses();
        RegisterGridClasses();
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FormatSettings.DecimalSeparator = u',';
        FormatSettings.ThousandSeparator = u'.';
        FormatSettings.DateSeparator = u'.';
        FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
        FGrid.SetBounds(0, 0, 420, 200);
        FGrid.OnChange = [this](QObject* sender, int col, int row) {
            EXPECT_EQ(sender, &FGrid);
            FChanges.emplace_back(col, row);
        };
    }
    void TearDown() override { FormatSettings = FSaved; }

    template <class T = TTextualColumn> T* Add(int Width = 80) {
        auto* column = new T();
        column->SetWidth(Width);
        FGrid.Columns()->Add(column);
        return column;
    }
    // Five text columns, as the call list has.
    void CallList() {
        for (int c = 0; c < 5; ++c)
            Add();
    }
    // Appends rows whose cells read "r<n>c<col>", n counted by the fixture,
    // then forgets the reports and calls their writing made.
    void Fill(int Rows) {
        for (int i = 0; i < Rows; ++i) {
            FGrid.AddRows(1);
            const int row = FGrid.RowCount() - 1;
            for (int c = 0; c < FGrid.Columns()->Count(); ++c)
                FGrid.Cell(c, row)->SetAsWideString(QStringLiteral("r%1c%2").arg(FMade).arg(c));
            ++FMade;
        }
        Forget();
    }
    void Forget() {
        FChanges.clear();
        FGrid.Calls.clear();
        FGrid.CellRepaints.clear();
    }
    void Show() {
        FGrid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&FGrid));
        FGrid.TakePainted();
        // What taking the focus repainted is not the test's.
        Forget();
    }
    QStringList Column(int col) const {
        QStringList texts;
        for (int r = 0; r < FGrid.RowCount(); ++r)
            texts << FGrid.GetCellText(col, r);
        return texts;
    }

    TProbeGrid FGrid;
    std::vector<std::pair<int, int>> FChanges;
    int FMade = 0;

private:
    TFormatSettings FSaved;
};

using GridView = GridViewFixture;

// ------------------------------------------------------------ the call list

TEST_F(GridView, TheCallListDropsItsOldestRowAndAppendsAnEmptyOneAtTheEnd) {
    CallList();
    for (int c = 0; c < 5; ++c)
        FGrid.Columns()->Items(c)->SetDefaultValue(QStringLiteral("?"));
    Fill(6);
    FGrid.DeleteRow(0);
    FGrid.AddRows(1);
    ASSERT_EQ(FGrid.RowCount(), 6);
    EXPECT_EQ(Column(2), QStringList({"r1c2", "r2c2", "r3c2", "r4c2", "r5c2", ""}));
    for (int c = 0; c < 5; ++c) {
        EXPECT_NE(dynamic_cast<TStringCell*>(FGrid.Cell(c, 5)), nullptr);
        EXPECT_EQ(FGrid.GetCellText(c, 5), "");
    }
    // Nothing was written: the default values wait for goUseDefaultValues.
    EXPECT_TRUE(FChanges.empty());

    FGrid.BeginUpdate();
    for (int c = 0; c < 5; ++c)
        FGrid.Cell(c, 5)->SetAsWideString(QStringLiteral("call%1").arg(c));
    FGrid.EndUpdate();
    EXPECT_EQ(FGrid.GetCellText(4, 5), "call4");
    EXPECT_TRUE(FChanges.empty());
    EXPECT_TRUE(FGrid.CellRepaints.empty());
}

TEST_F(GridView, NewRowsTakeTheDefaultValuesOnlyWithTheOption) {
    CallList();
    FGrid.Columns()->Items(1)->SetDefaultValue(QStringLiteral("seri"));
    FGrid.Columns()->Items(3)->SetDefaultValue(QStringLiteral("1"));
    FGrid.SetOptions(FGrid.Options() | goUseDefaultValues);
    Fill(1);
    FGrid.AddRows(2);
    EXPECT_EQ(Column(1), QStringList({"r0c1", "seri", "seri"}));
    EXPECT_EQ(Column(3), QStringList({"r0c3", "1", "1"}));
    EXPECT_EQ(Column(0), QStringList({"r0c0", "", ""}));
    // Each write is reported like any other, row by row.
    EXPECT_EQ(FChanges, (std::vector<std::pair<int, int>>{{1, 1}, {3, 1}, {1, 2}, {3, 2}}));

    // Under the update lock they are written but not reported.
    FChanges.clear();
    FGrid.BeginUpdate();
    FGrid.AddRows(1);
    FGrid.EndUpdate();
    EXPECT_EQ(FGrid.GetCellText(1, 3), "seri");
    EXPECT_TRUE(FChanges.empty());
}

TEST_F(GridView, ADefaultValueTheCellCannotTakeRaisesItsConversionError) {
    Add<TNumericColumn>()->SetDefaultValue(QStringLiteral("çok"));
    FGrid.SetOptions(FGrid.Options() | goUseDefaultValues);
    EXPECT_EQ(ErrorOf([&] { FGrid.AddRows(1); }), "'çok' is not a valid floating point value");
    // The row is there, with the flag that belongs to it.
    EXPECT_EQ(FGrid.RowCount(), 1);
    EXPECT_EQ(FGrid.GetCellText(0, 0), "0");
}

// ------------------------------------------------------------ index checks

TEST_F(GridView, OperationsIgnoreCellsOutsideTheGrid) {
    CallList();
    Fill(6);
    const QStringList before = Column(0);
    for (int row : {-1, 6}) {
        EXPECT_NO_THROW(FGrid.DeleteRow(row));
        EXPECT_NO_THROW(FGrid.InsertRow(row));
        EXPECT_NO_THROW(FGrid.MoveRow(row, 0));
        EXPECT_NO_THROW(FGrid.MoveRow(0, row));
        EXPECT_NO_THROW(FGrid.SetCellText(0, row, QStringLiteral("x")));
        EXPECT_EQ(FGrid.GetCellText(0, row), "");
    }
    // Inserting after the last row is not possible.
    FGrid.InsertRow(FGrid.RowCount());
    for (int col : {-1, 5}) {
        EXPECT_NO_THROW(FGrid.SetCellText(col, 0, QStringLiteral("x")));
        EXPECT_EQ(FGrid.GetCellText(col, 0), "");
    }
    EXPECT_EQ(FGrid.RowCount(), 6);
    EXPECT_EQ(Column(0), before);
    EXPECT_TRUE(FChanges.empty());
    EXPECT_TRUE(FGrid.Calls.empty());

    // The lookup itself checks the row.
    EXPECT_EQ(ErrorOf([&] { FGrid.Cell(0, 6); }), "List index out of bounds (6)");
    EXPECT_EQ(ErrorOf([&] { FGrid.GetCellBackground(0, -1); }), "List index out of bounds (-1)");
}

// ----------------------------------------------------- reports and repaints

TEST_F(GridView, SetCellTextStoresOnlyAChangedText) {
    CallList();
    Fill(2);
    FGrid.SetCellText(2, 1, QStringLiteral("r1c2"));
    EXPECT_TRUE(FChanges.empty());
    EXPECT_TRUE(FGrid.CellRepaints.empty());

    FGrid.SetCellText(2, 1, QStringLiteral("yeni"));
    EXPECT_EQ(FGrid.GetCellText(2, 1), "yeni");
    EXPECT_EQ(FChanges, (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(FGrid.CellRepaints, (std::vector<std::pair<int, int>>{{2, 1}}));

    // A colour change is a change too.
    FGrid.Cell(0, 0)->SetColor(clRed);
    EXPECT_EQ(FGrid.GetCellBackground(0, 0), clRed);
    EXPECT_EQ(FChanges.back(), std::make_pair(0, 0));
}

TEST_F(GridView, AnEditedTextTheCellCannotTakeRaisesAndChangesNothing) {
    Add<TRateColumn>();
    Fill(0);
    FGrid.AddRows(1);
    FGrid.SetCellText(0, 0, QStringLiteral("3"));
    FChanges.clear();
    EXPECT_EQ(ErrorOf([&] { FGrid.SetCellText(0, 0, QStringLiteral("üç")); }),
              "'üç' is not a valid integer value");
    EXPECT_EQ(FGrid.GetCellText(0, 0), "3");
    EXPECT_TRUE(FChanges.empty());
}

TEST_F(GridView, TheUpdateLockHoldsBackReportsAndCellRepaints) {
    CallList();
    Fill(3);
    Show();
    FGrid.BeginUpdate();
    FGrid.BeginUpdate();
    for (int c = 0; c < 5; ++c)
        FGrid.SetCellText(c, 1, QStringLiteral("kilitli%1").arg(c));
    EXPECT_TRUE(FGrid.TakePainted().isEmpty());
    FGrid.EndUpdate();
    // One EndUpdate ends the lock, and it repaints nothing itself.
    EXPECT_FALSE(FGrid.UpdateLock());
    EXPECT_TRUE(FGrid.TakePainted().isEmpty());
    EXPECT_TRUE(FChanges.empty());
    EXPECT_TRUE(FGrid.CellRepaints.empty());
    EXPECT_EQ(FGrid.GetCellText(4, 1), "kilitli4");

    FGrid.SetCellText(4, 1, QStringLiteral("açık"));
    EXPECT_EQ(FChanges.size(), 1u);
    EXPECT_EQ(FGrid.CellRepaints.size(), 1u);
}

TEST_F(GridView, AppendingRepaintsTheNewRowsUnlessLocked) {
    CallList();
    Fill(2);
    Show();
    // Locked and without grid lines the append asks for no repaint at all.
    FGrid.BeginUpdate();
    FGrid.AddRows(1);
    FGrid.EndUpdate();
    EXPECT_TRUE(FGrid.TakePainted().isEmpty());

    FGrid.AddRows(1);
    const TRect row = FGrid.GetRowRect(3);
    EXPECT_TRUE(FGrid.TakePainted().contains(row.ToQRect()));
}

TEST_F(GridView, ClearingAnEmptyGridStillClosesTheEditorAndRepaints) {
    CallList();
    Show();
    FGrid.Clear();
    EXPECT_EQ(FGrid.Count("hide"), 1);
    const TRect client = FGrid.ClientRect();
    EXPECT_TRUE(FGrid.TakePainted().contains(client.ToQRect()));

    Fill(4);
    FGrid.FRow = 2;
    FGrid.Clear();
    EXPECT_EQ(FGrid.RowCount(), 0);
    EXPECT_EQ(FGrid.Columns()->Count(), 5);
    EXPECT_EQ(FGrid.RowSelectionCount(), 0);
    // The current cell is not moved.
    EXPECT_EQ(FGrid.FRow, 2);
}

// ------------------------------------------------------ the editor follows

TEST_F(GridView, DeletingARowClosesAnEditorOnItOrReplacesIt) {
    CallList();
    Fill(5);
    FGrid.FRow = 1;
    FGrid.FEditRow = 3;
    FGrid.DeleteRow(3);
    // Once for the edited row; the current row is another one.
    EXPECT_EQ(FGrid.Calls, (std::vector<std::string>{"hide", "update"}));

    FGrid.Calls.clear();
    FGrid.FEditRow = -1;
    FGrid.DeleteRow(1);
    EXPECT_EQ(FGrid.Calls, (std::vector<std::string>{"hide"}));
    // The current row index stays.
    EXPECT_EQ(FGrid.FRow, 1);
    EXPECT_EQ(Column(0), QStringList({"r0c0", "r2c0", "r4c0"}));

    FGrid.Calls.clear();
    FGrid.InsertRow(0);
    FGrid.AppendRows(1);
    FGrid.MoveRow(0, 1);
    EXPECT_EQ(FGrid.Calls, (std::vector<std::string>{"update", "update", "hide"}));
}

// ----------------------------------------------------------- row operations

TEST_F(GridView, InsertingARowMovesTheCurrentCellDownWithItsRow) {
    CallList();
    Fill(5);
    FGrid.Select(2, 3, 0);
    FGrid.InsertRow(0);
    EXPECT_EQ(FGrid.Row(), 4);
    EXPECT_EQ(FGrid.Col(), 2);
    EXPECT_EQ(FGrid.GetCellText(0, 4), "r3c0");
    EXPECT_EQ(Column(0), QStringList({"", "r0c0", "r1c0", "r2c0", "r3c0", "r4c0"}));
    // The new row's cells are made for their columns, unreported.
    EXPECT_NE(dynamic_cast<TStringCell*>(FGrid.Cell(4, 0)), nullptr);
    EXPECT_TRUE(FChanges.empty());
}

TEST_F(GridView, MovingARowTakesItsCellsAndItsFlag) {
    CallList();
    Fill(4);
    FGrid.SetRowSelected(0, false);
    FGrid.SetRowSelected(1, true);
    FGrid.MoveRow(1, 3);
    EXPECT_EQ(Column(1), QStringList({"r0c1", "r2c1", "r3c1", "r1c1"}));
    EXPECT_FALSE(FGrid.GetRowSelected(1));
    EXPECT_TRUE(FGrid.GetRowSelected(3));
    FGrid.MoveRow(3, 0);
    EXPECT_EQ(Column(1), QStringList({"r1c1", "r0c1", "r2c1", "r3c1"}));
    EXPECT_TRUE(FGrid.GetRowSelected(0));
}

// The flags travel with their rows while the current row index stays: a
// plain selection afterwards must still leave its row alone flagged.
TEST_F(GridView, APlainSelectAfterRowsMovedUnderTheFlagsLeavesOnlyItsRow) {
    CallList();
    Fill(6);
    FGrid.SetOptions(FGrid.Options() | goSelectFullRow);
    auto flagged = [&] {
        std::vector<int> rows;
        for (int r = 0; r < FGrid.RowCount(); ++r)
            if (FGrid.GetRowSelected(r)) rows.push_back(r);
        return rows;
    };
    FGrid.Select(0, 3, 0);
    FGrid.DeleteRow(0); // row 3's flag is row 2's now; row 3 stays current
    FGrid.Select(0, 4, 0);
    EXPECT_EQ(flagged(), std::vector<int>{4});
    EXPECT_EQ(FGrid.SelectedRowCount(), 1);

    FGrid.MoveRow(4, 1);
    FGrid.Select(0, 0, 0);
    EXPECT_EQ(flagged(), std::vector<int>{0});

    // A flag set from outside a gesture (a tool selecting a row) is
    // cleared by the next plain selection as well.
    FGrid.SetRowSelected(3, true);
    FGrid.Select(0, 2, 0);
    EXPECT_EQ(flagged(), std::vector<int>{2});
}

// A handler may free the grid that reports to it; the operation that fired
// it must not touch the grid afterwards (the sanitizers see it if it does).
TEST(GridViewFreed, AHandlerThatFreesTheGridEndsTheOperationThatFiredIt) {
    RegisterGridClasses();
    auto make = [] {
        auto* grid = new TGridView();
        grid->SetBounds(0, 0, 300, 200);
        for (int c = 0; c < 2; ++c) {
            auto* column = new TTextualColumn();
            column->SetDefaultValue(QStringLiteral("yok"));
            grid->Columns()->Add(column);
        }
        grid->AddRows(3);
        return grid;
    };
    QPointer<TGridView> grid = make();
    grid->OnMouseMove = [&grid](QObject*, TShiftState, int, int) { delete grid.data(); };
    static_cast<TCustomGridView*>(grid.data())->MouseMove(0, 20, 30);
    EXPECT_TRUE(grid.isNull());

    grid = make();
    grid->Select(0, 1, 0);
    grid->OnSelectCell = [&grid](QObject*, int, int) { delete grid.data(); };
    grid->InsertRow(0); // the current row moves down with its row
    EXPECT_TRUE(grid.isNull());

    // Default values written into new rows are reported cell by cell.
    grid = make();
    grid->SetOptions(grid->Options() | goUseDefaultValues);
    int reports = 0;
    grid->OnChange = [&](QObject*, int, int) {
        ++reports;
        delete grid.data();
    };
    grid->AddRows(2);
    EXPECT_TRUE(grid.isNull());
    EXPECT_EQ(reports, 1);

    // A handler that empties the grid ends the writing of default values:
    // there are no new rows left to write to.
    grid = make();
    grid->SetOptions(grid->Options() | goUseDefaultValues);
    reports = 0;
    grid->OnChange = [&](QObject*, int, int) {
        ++reports;
        grid->Clear();
    };
    EXPECT_NO_THROW(grid->AddRows(2));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->RowSelectionCount(), 0);
    delete grid.data();
}

TEST_F(GridView, TheRowFlagsStayOnePerRowThroughEveryOperation) {
    CallList();
    auto check = [&](const char* step) {
        EXPECT_EQ(FGrid.RowSelectionCount(), FGrid.RowCount()) << step;
    };
    FGrid.AddRows(3);
    check("AddRows");
    FGrid.AddRows(0);
    FGrid.AddRows(-2);
    check("AddRows nothing");
    FGrid.AppendRows(2);
    check("AppendRows");
    FGrid.InsertRow(1);
    check("InsertRow");
    FGrid.DeleteRow(0);
    FGrid.DeleteRow(FGrid.RowCount() - 1);
    check("DeleteRow");
    FGrid.MoveRow(0, 2);
    check("MoveRow");
    FGrid.SetRowSelected(2, true);
    FGrid.Clear();
    check("Clear");
    EXPECT_EQ(FGrid.RowCount(), 0);

    // Removing every column takes the rows, and their flags, along.
    FGrid.AddRows(4);
    FGrid.Calls.clear();
    FGrid.Columns()->Clear();
    EXPECT_EQ(FGrid.RowCount(), 0);
    check("columns cleared");
    EXPECT_EQ(FGrid.Calls.front(), "hide");
    // New columns start a store without rows.
    CallList();
    EXPECT_EQ(FGrid.Cells()->ColCount(), 5);
    FGrid.AddRows(1);
    check("AddRows after the columns came back");
}

// ------------------------------------------------------------------ sorting

TEST_F(GridView, SortingNeedsTheColumnsPermission) {
    CallList();
    Fill(4);
    for (int r = 0; r < 4; ++r)
        FGrid.SetCellText(4, r, QStringLiteral("0532%1").arg((r * 3) % 4));
    FGrid.Calls.clear();
    TCustomColumn* column = FGrid.Columns()->Items(4);
    FGrid.Sort(column, true);
    EXPECT_EQ(Column(4), QStringList({"05320", "05321", "05322", "05323"}));
    // Whole rows move.
    EXPECT_EQ(Column(0), QStringList({"r0c0", "r3c0", "r2c0", "r1c0"}));
    FGrid.Sort(column, false);
    EXPECT_EQ(Column(4), QStringList({"05323", "05322", "05321", "05320"}));
    EXPECT_EQ(FGrid.Count("hide"), 2);

    column->SetOptions(column->Options() & ~TColumnOptions(coCanSort));
    FGrid.Sort(column, true);
    EXPECT_EQ(Column(4), QStringList({"05323", "05322", "05321", "05320"}));
    // The editor closes all the same.
    EXPECT_EQ(FGrid.Count("hide"), 3);
    // A column of another grid sorts nothing here.
    TTextualColumn stranger;
    FGrid.Sort(&stranger, true);
    EXPECT_EQ(Column(4), QStringList({"05323", "05322", "05321", "05320"}));
}

TEST_F(GridView, ASortedColumnSortsTheRowsAndTellsWhichWay) {
    CallList();
    Fill(3);
    FGrid.SetCellText(1, 0, QStringLiteral("b"));
    FGrid.SetCellText(1, 1, QStringLiteral("c"));
    FGrid.SetCellText(1, 2, QStringLiteral("a"));
    // The grid hears its columns once its window exists.
    Show();
    std::vector<std::pair<int, bool>> sorts;
    FGrid.OnSortColumn = [&](QObject*, int col, bool ascending) {
        sorts.emplace_back(col, ascending);
    };
    TCustomColumn* column = FGrid.Columns()->Items(1);
    column->SetSorted(true);
    EXPECT_EQ(Column(1), QStringList({"a", "b", "c"}));
    column->SetSortKind(skDescending);
    EXPECT_EQ(Column(1), QStringList({"c", "b", "a"}));
    // Without coCanSort the column still reports, and the rows stay.
    column->SetOptions(column->Options() & ~TColumnOptions(coCanSort));
    column->SetSortKind(skAscending);
    EXPECT_EQ(Column(1), QStringList({"c", "b", "a"}));
    EXPECT_EQ(sorts, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}, {1, true}}));
}

TEST_F(GridView, SortingByTheColumnsSortTypeRaisesForAKeyItCannotRead) {
    CallList();
    Fill(3);
    TCustomColumn* column = FGrid.Columns()->Items(3);
    column->SetSortType(stNumeric);
    FGrid.SetCellText(3, 0, QStringLiteral("10"));
    FGrid.SetCellText(3, 1, QStringLiteral("9"));
    FGrid.SetCellText(3, 2, QStringLiteral("2"));
    FGrid.Sort(column, true);
    EXPECT_EQ(Column(3), QStringList({"2", "9", "10"}));
    FGrid.SetCellText(3, 1, QStringLiteral("dokuz"));
    EXPECT_EQ(ErrorOf([&] { FGrid.Sort(column, false); }),
              "'dokuz' is not a valid floating point value");
}

TEST_F(GridView, AnAppendedRowStaysAtTheEndUntilTheNextSort) {
    CallList();
    Fill(2);
    FGrid.SetCellText(0, 0, QStringLiteral("b"));
    FGrid.SetCellText(0, 1, QStringLiteral("c"));
    FGrid.Sort(FGrid.Columns()->Items(0), true);
    FGrid.AddRows(1);
    FGrid.SetCellText(0, 2, QStringLiteral("a"));
    EXPECT_EQ(Column(0), QStringList({"b", "c", "a"}));
    FGrid.Sort(FGrid.Columns()->Items(0), true);
    EXPECT_EQ(Column(0), QStringList({"a", "b", "c"}));
}

// ---------------------------------------------------------------- footers

TEST_F(GridView, FootersTotalTheirColumnsByFormula) {
    const TFormulaKind kinds[] = {fkSum, fkAverage, fkMaximum, fkMinimum, fkNone};
    for (TFormulaKind kind : kinds) {
        auto* column = Add<TNumericColumn>();
        column->SetFormulaKind(kind);
        column->Footer()->SetCaption(QStringLiteral("eski"));
    }
    // All positive in the first pass, all negative in the second.
    for (double sign : {1.0, -1.0}) {
        FGrid.Clear();
        FGrid.AddRows(3);
        const double values[] = {1.5, 4, 0.25};
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 3; ++r)
                FGrid.Cell(c, r)->SetAsFloat(sign * values[r]);
        FGrid.RecalcFooters();
        auto caption = [&](int c) { return FGrid.Columns()->Items(c)->Footer()->Caption(); };
        EXPECT_EQ(caption(0), sign > 0 ? "5,75" : "-5,75");
        EXPECT_EQ(caption(1), sign > 0 ? "1,91666666666667" : "-1,91666666666667");
        // Greatest and least start from 0.
        EXPECT_EQ(caption(2), sign > 0 ? "4" : "0");
        EXPECT_EQ(caption(3), sign > 0 ? "0" : "-4");
        EXPECT_EQ(caption(4), "eski");
    }
}

TEST_F(GridView, AFooterTotalOfATextThatIsNoNumberRaisesAndLaterFootersStay) {
    auto* first = Add<TNumericColumn>();
    first->SetFormulaKind(fkMaximum);
    auto* text = Add();
    text->SetFormulaKind(fkSum);
    auto* last = Add<TNumericColumn>();
    last->SetFormulaKind(fkSum);
    last->Footer()->SetCaption(QStringLiteral("eski"));
    FGrid.AddRows(2);
    FGrid.SetCellText(0, 1, QStringLiteral("7"));
    FGrid.SetCellText(1, 0, QStringLiteral("12,5"));
    FGrid.SetCellText(1, 1, QStringLiteral("on iki"));
    FGrid.SetCellText(2, 0, QStringLiteral("1"));
    EXPECT_EQ(ErrorOf([&] { FGrid.RecalcFooters(); }),
              "'on iki' is not a valid floating point value");
    EXPECT_EQ(first->Footer()->Caption(), "7");
    EXPECT_EQ(last->Footer()->Caption(), "eski");

    FGrid.SetCellText(1, 1, QStringLiteral("-0,5"));
    FGrid.RecalcFooters();
    EXPECT_EQ(text->Footer()->Caption(), "12");
    EXPECT_EQ(last->Footer()->Caption(), "1");
}

TEST_F(GridView, AnAverageOfNoRowsIsAnInvalidOperation) {
    auto* sum = Add<TNumericColumn>();
    sum->SetFormulaKind(fkSum);
    auto* average = Add<TNumericColumn>();
    average->SetFormulaKind(fkAverage);
    average->Footer()->SetCaption(QStringLiteral("ortalama"));
    auto* after = Add<TNumericColumn>();
    after->SetFormulaKind(fkMinimum);
    after->Footer()->SetCaption(QStringLiteral("en az"));
    try {
        FGrid.RecalcFooters();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOp& e) {
        EXPECT_EQ(e.Message(), "Invalid floating point operation");
    }
    EXPECT_EQ(sum->Footer()->Caption(), "0");
    EXPECT_EQ(average->Footer()->Caption(), "ortalama");
    EXPECT_EQ(after->Footer()->Caption(), "en az");
}

// ------------------------------------------------------------- scroll bar

TEST_F(GridView, AppendingSetsTheVerticalScrollBarAndRefitsAutoSizeColumns) {
    FGrid.SetOptions(FGrid.Options() | goGrid);
    FGrid.SetRowSize(20);
    FGrid.SetHeaderSize(20);
    auto* fixed = Add(100);
    fixed->SetOptions(fixed->Options() | coFixedSize);
    auto* a = Add(100);
    a->SetOptions(a->Options() | coAutoSize);
    auto* b = Add(200);
    b->SetOptions(b->Options() | coAutoSize);
    TControlScrollBar* bar = FGrid.VertScrollBar();

    FGrid.AddRows(1);
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(bar->Enabled());
    EXPECT_EQ(bar->Max(), 0);
    // The bar stayed hidden: nothing is fitted.
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(b->Width(), 200);
    const int wide = FGrid.ClientRect().Width();

    // Whole rows that fit below the header, 21 pixels each with the lines.
    const int fit = (FGrid.ClientRect().Height() - 20) / 21;
    FGrid.AddRows(fit + 3);
    EXPECT_TRUE(bar->Visible());
    EXPECT_TRUE(bar->Enabled());
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 4);
    EXPECT_EQ(bar->PageSize(), 1u);
    const int narrow = FGrid.ClientRect().Width();
    EXPECT_LT(narrow, wide);
    EXPECT_EQ(fixed->Width() + a->Width() + b->Width(), narrow);
    // The shares keep their proportion: b is twice a, within rounding.
    EXPECT_NEAR(b->Width(), 2 * a->Width(), 1);

    // The position is kept, pulled back to a smaller maximum.
    bar->SetPosition(4);
    FGrid.DeleteRow(0);
    FGrid.DeleteRow(0);
    EXPECT_EQ(bar->Max(), 4); // only appending sets the bar
    FGrid.AddRows(0);
    EXPECT_EQ(bar->Max(), 2);
    EXPECT_EQ(bar->Position(), 2);

    // Appending without the scroll bar step leaves it alone.
    FGrid.AppendRows(5);
    EXPECT_EQ(bar->Max(), 2);

    // The bar goes again: the columns take the whole width.
    FGrid.Clear();
    FGrid.AddRows(1);
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(fixed->Width() + a->Width() + b->Width(), wide);
    EXPECT_EQ(fixed->Width(), 100);
}

// ---------------------------------------------------------------- the note

TEST_F(GridView, TheNoteOfTheCellUnderThePointerShowsAboveItsRightEdge) {
    FGrid.SetRowSize(20);
    FGrid.SetHeaderSize(20);
    Add(100);
    Add(120);
    Fill(3);
    FGrid.Cell(1, 1)->SetNote(WideToAnsi(QStringLiteral("Arayan numara gizli")));
    Show();
    THintWindow* note = FGrid.NoteWindow();
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->HintShowing());

    auto moveTo = [&](int x, int y) {
        const QPointF p(x + FGrid.ClientOrigin().X, y + FGrid.ClientOrigin().Y);
        QMouseEvent move(QEvent::MouseMove, p, FGrid.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&FGrid, &move);
    };
    const TRect cell = FGrid.GetCellRect(1, 1, 1);
    moveTo(cell.Left + 5, cell.Top + 5);
    ASSERT_TRUE(note->HintShowing());
    EXPECT_EQ(note->HintText(), "Arayan numara gizli");
    EXPECT_EQ(note->Color(), clInfoBk);
    const TPoint anchor = FGrid.ClientToScreen({cell.Left + 120, cell.Top - 20});
    EXPECT_EQ(note->BoundsRect().Left, anchor.X);
    EXPECT_EQ(note->BoundsRect().Top, anchor.Y);
    EXPECT_LE(note->BoundsRect().Width(), TGridView::NoteMaxWidth + 6);

    // A cell without a note, the header and a row below the last one hide it.
    moveTo(cell.Left - 10, cell.Top + 5);
    EXPECT_FALSE(note->HintShowing());
    moveTo(cell.Left + 5, cell.Top + 5);
    EXPECT_TRUE(note->HintShowing());
    moveTo(cell.Left + 5, 5);
    EXPECT_FALSE(note->HintShowing());
    moveTo(cell.Left + 5, cell.Top + 5);
    moveTo(cell.Left + 5, FGrid.GetCellRect(1, 4, 1).Top + 5);
    EXPECT_FALSE(note->HintShowing());

    // Leaving the grid hides it.
    moveTo(cell.Left + 5, cell.Top + 5);
    ASSERT_TRUE(note->HintShowing());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&FGrid, &leave);
    EXPECT_FALSE(note->HintShowing());
}

// The hint of a clipped text takes the place of a note: the note of the
// cell the pointer came from does not stay on screen beside it.
TEST_F(GridView, TheHintOfAClippedTextTakesThePlaceOfTheNote) {
    FGrid.SetRowSize(20);
    Add(100);
    TTextualColumn* hinted = Add(60);
    hinted->SetOptions(hinted->Options() | coShowTextFitHint);
    Fill(3);
    FGrid.Cell(1, 0)->SetNote("ilk");
    FGrid.Cell(1, 1)->SetNote("ikinci");
    FGrid.SetCellText(1, 1, QStringLiteral("a text far wider than its sixty pixels"));
    Show();
    auto moveTo = [&](int row) {
        const TRect cell = FGrid.GetCellRect(1, row, 1);
        const QPointF p(cell.Left + 5 + FGrid.ClientOrigin().X,
                        cell.Top + 5 + FGrid.ClientOrigin().Y);
        QMouseEvent move(QEvent::MouseMove, p, FGrid.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&FGrid, &move);
    };
    moveTo(0);
    ASSERT_TRUE(FGrid.NoteWindow()->HintShowing());
    ASSERT_FALSE(FGrid.HintWindow()->HintShowing());
    moveTo(1);
    ASSERT_TRUE(FGrid.HintWindow()->HintShowing());
    EXPECT_FALSE(FGrid.NoteWindow()->HintShowing());
}

TEST_F(GridView, ALongNoteIsBrokenIntoLinesNoWiderThanTheLimit) {
    Add(100);
    Fill(1);
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("kelime ");
    FGrid.Cell(0, 0)->SetNote(WideToAnsi(words.trimmed()));
    Show();
    const TRect cell = FGrid.GetCellRect(0, 0, 1);
    const QPointF p(cell.Left + 3 + FGrid.ClientOrigin().X, cell.Top + 3 + FGrid.ClientOrigin().Y);
    QMouseEvent move(QEvent::MouseMove, p, FGrid.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&FGrid, &move);
    THintWindow* note = FGrid.NoteWindow();
    ASSERT_TRUE(note->HintShowing());
    const int line = note->Canvas()->TextHeight(QStringLiteral("kelime"));
    EXPECT_LE(note->Width(), TGridView::NoteMaxWidth + 6);
    EXPECT_GT(note->Width(), TGridView::NoteMaxWidth / 2);
    EXPECT_GE(note->Height(), 3 * line);
    // Painted in the tool-tip colour.
    const QImage shown = note->grab().toImage();
    EXPECT_EQ(shown.pixel(1, note->Height() / 2) & 0xFFFFFF, Rgb(clInfoBk) & 0xFFFFFF);
}

// ----------------------------------------------------------- play element

// A play element as the grid fills it: its cell, its column, its value.
struct TRecordingPlay {
    bool BoolValue = false;
    TDateTime DateValue = 0;
    double FloatValue = 0;
    int IntValue = 0;
    QString Text;
    TBitmap* Graphic = nullptr;
    int Col = 0;
    int Row = 0;
    TCustomColumn* Column = nullptr;
    TNotifyEvent OnChange;
};

TEST_F(GridView, APlayElementReadsAndWritesTheBooleanOfItsCell) {
    Add<TCheckBoxColumn>();
    Add();
    Fill(0);
    FGrid.AddRows(2);
    FGrid.Cell(0, 1)->SetAsBoolean(true);
    FChanges.clear();

    TRecordingPlay play;
    play.Column = FGrid.Columns()->Items(0);
    play.Row = 1;
    LoadPlayValue(play, FGrid);
    EXPECT_TRUE(play.BoolValue);
    play.BoolValue = false;
    StorePlayValue(play, FGrid);
    EXPECT_FALSE(FGrid.Cell(0, 1)->GetAsBoolean());
    EXPECT_EQ(FChanges, (std::vector<std::pair<int, int>>{{0, 1}}));

    // A column of another kind, or a cell outside the grid, is left alone.
    play.Column = FGrid.Columns()->Items(1);
    play.Col = 1;
    play.BoolValue = true;
    LoadPlayValue(play, FGrid);
    StorePlayValue(play, FGrid);
    EXPECT_TRUE(play.BoolValue);
    EXPECT_EQ(FGrid.GetCellText(1, 1), "");
    play.Column = FGrid.Columns()->Items(0);
    play.Col = 0;
    play.Row = 2;
    EXPECT_NO_THROW(LoadPlayValue(play, FGrid));
    EXPECT_NO_THROW(StorePlayValue(play, FGrid));
    EXPECT_EQ(FChanges.size(), 1u);
}

TEST_F(GridView, OnlyAPlayElementCanBeStored) {
    Add<TCheckBoxColumn>();
    FGrid.AddRows(1);
    QObject other;
    EXPECT_EQ(ErrorOf([&] { FGrid.StorePlay(&other); }), "Invalid class typecast");
    EXPECT_THROW(FGrid.StorePlay(nullptr), EInvalidCast);
    EXPECT_THROW(FGrid.StorePlay(&FGrid), EInvalidCast);
}

// -------------------------------------------- displays and a read layout

// A display as the grid loads it, with a count of the note marks drawn.
struct TRecordingDisplay {
    bool BoolValue = false;
    TDateTime DateValue = 0;
    double FloatValue = 0;
    int IntValue = -1;
    QString Text;
    TBitmap* Graphic = nullptr;
    int NoteMarks = 0;
    void DrawNoteMark() { ++NoteMarks; }
};

QByteArray EveryKindLayout() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TGridView" name="Grid">
    <property name="Options">[goHeader,goGrid,goHighlightTextSelection]</property>
    <object class="TIncrementColumn"><property name="Position">0</property></object>
    <object class="TGraphicColumn"><property name="Position">1</property></object>
    <object class="TCheckBoxColumn"><property name="Position">2</property></object>
    <object class="TDateColumn"><property name="Position">3</property></object>
    <object class="TNumericColumn"><property name="Position">4</property></object>
    <object class="TRateColumn"><property name="Position">5</property></object>
    <object class="TTextualColumn">
      <property name="Position">6</property>
      <property name="Header.Caption">Arayan numara</property>
      <property name="DefaultValue">yok</property>
    </object>
  </object>
</object>
)";
}

class GridViewLayout : public GridViewFixture {
protected:
    void SetUp() override {
        GridViewFixture::SetUp();
        RegisterClass<TColumnsTestForm>();
    }
    // Reads the layout; the grid holds one row of typed values.
    TGridView* ReadEveryKind() {
        FForm = std::make_unique<TColumnsTestForm>();
        ReadComponent(FForm.get(), EveryKindLayout());
        auto* grid = qobject_cast<TGridView*>(FindComponent(FForm.get(), QStringLiteral("Grid")));
        if (!grid) return nullptr;
        grid->AddRows(2);
        grid->Cell(1, 1)->SetGraphic(&FPicture);
        grid->Cell(2, 1)->SetAsBoolean(true);
        grid->Cell(3, 1)->SetAsDateTime(46000.5);
        grid->Cell(4, 1)->SetAsFloat(2.75);
        grid->Cell(5, 1)->SetAsInteger(4);
        grid->Cell(6, 1)->SetAsWideString(QStringLiteral("05321234567"));
        grid->Cell(6, 1)->SetNote("gizli");
        return grid;
    }
    std::unique_ptr<TColumnsTestForm> FForm;
    TBitmap FPicture{4, 4};
};

TEST_F(GridViewLayout, AGridReadFromALayoutKeepsItsStoreInStepWithItsColumns) {
    TGridView* grid = ReadEveryKind();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->Cells()->ColCount(), 7);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->RowSelectionCount(), 2);
    EXPECT_NE(dynamic_cast<TStringCell*>(grid->Cell(0, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TStringCell*>(grid->Cell(1, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TBooleanCell*>(grid->Cell(2, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TDateTimeCell*>(grid->Cell(3, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TFloatCell*>(grid->Cell(4, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TIntegerCell*>(grid->Cell(5, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TStringCell*>(grid->Cell(6, 0)), nullptr);
    EXPECT_EQ(grid->GetCellText(6, 1), "05321234567");
    EXPECT_EQ(grid->GetCellText(4, 1), "2,75");

    // Written and read again, the grid brings its columns, not its rows.
    const QByteArray written = WriteComponent(FForm.get());
    EXPECT_TRUE(written.contains("TIncrementColumn"));
    auto again = std::make_unique<TColumnsTestForm>();
    ReadComponent(again.get(), written);
    auto* read = qobject_cast<TGridView*>(FindComponent(again.get(), QStringLiteral("Grid")));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Cells()->ColCount(), 7);
    EXPECT_EQ(read->RowCount(), 0);
    EXPECT_EQ(read->Columns()->Items(6)->DefaultValue(), "yok");

    // Reading a layout into a grid with rows replaces its columns and rows.
    ReadComponent(grid, R"(<object class="TGridView" name="Grid">
    <object class="TTextualColumn"/>
</object>)");
    EXPECT_EQ(grid->Cells()->ColCount(), 1);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->RowSelectionCount(), 0);
}

TEST_F(GridViewLayout, PrepareCellAnswersForEveryKindButNone) {
    TGridView* grid = ReadEveryKind();
    ASSERT_NE(grid, nullptr);
    for (int c = 0; c < 7; ++c)
        EXPECT_TRUE(grid->PrepareCell(c, 1)) << c;
    auto* none = new TTextualColumn();
    none->SetCellKind(ckNone);
    grid->Columns()->Add(none);
    EXPECT_FALSE(grid->PrepareCell(7, 1));
    // A cell outside the grid gets only the control's preparation.
    EXPECT_FALSE(grid->PrepareCell(0, 2));
}

TEST_F(GridViewLayout, EachKindLoadsItsOwnValueIntoTheDisplay) {
    TGridView* grid = ReadEveryKind();
    ASSERT_NE(grid, nullptr);
    auto load = [&](int col, int row) {
        TRecordingDisplay d;
        LoadDisplay(d, *grid->Cell(col, row), grid->Columns()->Items(col)->CellKind(), row);
        return d;
    };
    EXPECT_EQ(load(0, 1).IntValue, 1);
    EXPECT_EQ(load(1, 1).Graphic, &FPicture);
    EXPECT_TRUE(load(2, 1).BoolValue);
    EXPECT_DOUBLE_EQ(load(3, 1).DateValue, 46000.5);
    EXPECT_DOUBLE_EQ(load(4, 1).FloatValue, 2.75);
    EXPECT_EQ(load(5, 1).IntValue, 4);
    const TRecordingDisplay text = load(6, 1);
    EXPECT_EQ(text.Text, "05321234567");
    EXPECT_EQ(text.NoteMarks, 1);
    EXPECT_EQ(load(6, 0).NoteMarks, 0);
    // Each kind copies only its own value.
    const TRecordingDisplay flag = load(2, 1);
    EXPECT_EQ(flag.IntValue, -1);
    EXPECT_TRUE(flag.Text.isEmpty());

    // ckNone copies nothing and marks nothing, note or not.
    TRecordingDisplay none;
    LoadDisplay(none, *grid->Cell(6, 1), ckNone, 1);
    EXPECT_TRUE(none.Text.isEmpty());
    EXPECT_EQ(none.NoteMarks, 0);
    // A cell that cannot give the kind's value raises its conversion error.
    TRecordingDisplay wrong;
    EXPECT_EQ(ErrorOf([&] { LoadDisplay(wrong, *grid->Cell(6, 1), ckInteger, 1); }),
              "'05321234567' is not a valid integer value");
}

TEST_F(GridViewLayout, TheColumnsOwnDisplaysReceiveTheValues) {
    TGridView* grid = ReadEveryKind();
    ASSERT_NE(grid, nullptr);
    auto shown = [&](int col) {
        grid->PrepareCell(col, 1);
        return grid->Columns()->Items(col)->Display();
    };
    EXPECT_EQ(shown(0)->IntValue, 1);
    EXPECT_EQ(shown(1)->Graphic, &FPicture);
    EXPECT_TRUE(shown(2)->BoolValue);
    EXPECT_DOUBLE_EQ(shown(3)->DateValue, 46000.5);
    EXPECT_DOUBLE_EQ(shown(4)->FloatValue, 2.75);
    EXPECT_EQ(shown(5)->IntValue, 4);
    EXPECT_EQ(shown(6)->Text, "05321234567");
}

} // namespace
