// What a screen reader learns of the published grid through Qt's
// accessibility interfaces: a table of its rows and visible columns in
// display order, its header captions and the texts its cells show, the
// children a tool walks (the header row and the rows in view), the current
// cell and the selected rows, the announcements of every change, and cell
// interfaces that never outlive the row they stand for. Qt's AT-SPI bridge
// checks nothing it is handed, so no request may answer null.

#include "GridAccessibility.h"
#include "Accessibility.h"
#include "ColumnClasses.h"
#include "Grid.h"
#include "GridView.h"
#include "SysUtils.h"

#include <QAccessibleTableCellInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// One announcement as a tool would receive it.
struct THeard {
    QAccessible::Event Type;
    int Change = -1; // the model change of a table event
    int FirstRow = -1;
    int LastRow = -1;
    int FirstColumn = -1;
    QAccessible::Id Id = 0;
};

class GridAccessibility : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterGridClasses();
        FSaved = FormatSettings;
        FormatSettings.DecimalSeparator = u',';
        FormatSettings.ThousandSeparator = u'.';
        FGrid = std::make_unique<TGridView>();
        FGrid->SetBounds(0, 0, 420, 200);
        SetAccessibleEventWatcher([this](QAccessibleEvent& event) {
            THeard heard{event.type()};
            heard.Id = event.uniqueId();
            if (event.type() == QAccessible::TableModelChanged) {
                auto& change = static_cast<QAccessibleTableModelChangeEvent&>(event);
                heard.Change = change.modelChangeType();
                heard.FirstRow = change.firstRow();
                heard.LastRow = change.lastRow();
                heard.FirstColumn = change.firstColumn();
            }
            Heard.push_back(heard);
        });
    }
    void TearDown() override {
        SetAccessibleEventWatcher(nullptr);
        FGrid.reset();
        FormatSettings = FSaved;
    }

    TTextualColumn* Add(const QString& Caption) {
        auto* column = new TTextualColumn();
        column->Header()->SetCaption(Caption);
        FGrid->Columns()->Add(column);
        return column;
    }
    // The call list's five columns.
    void CallList() {
        for (const char* caption : {"Hat", "Numara", "Zaman", "Seri", "Sıra"})
            Add(QString::fromUtf8(caption));
    }
    // Appends rows the way the call list does, cells "r<n>c<col>".
    void Fill(int Rows) {
        for (int i = 0; i < Rows; ++i) {
            FGrid->AddRows(1);
            const int row = FGrid->RowCount() - 1;
            FGrid->BeginUpdate();
            for (int c = 0; c < FGrid->Columns()->Count(); ++c)
                FGrid->Cell(c, row)->SetAsWideString(QStringLiteral("r%1c%2").arg(FMade).arg(c));
            FGrid->EndUpdate();
            ++FMade;
        }
    }

    QAccessibleInterface* Table() const {
        return QAccessible::queryAccessibleInterface(FGrid.get());
    }
    QAccessibleTableInterface* TableOf() const {
        QAccessibleInterface* table = Table();
        return table ? table->tableInterface() : nullptr;
    }
    QString TextAt(int Row, int Column) const {
        return TableOf()->cellAt(Row, Column)->text(QAccessible::Name);
    }
    QStringList Captions() const {
        QStringList captions;
        for (int c = 0; c < TableOf()->columnCount(); ++c)
            captions << TableOf()->columnDescription(c);
        return captions;
    }
    std::vector<THeard> HeardOf(QAccessible::Event Type) const {
        std::vector<THeard> found;
        for (const THeard& h : Heard)
            if (h.Type == Type) found.push_back(h);
        return found;
    }
    std::vector<THeard> Changes(int Kind) const {
        std::vector<THeard> found;
        for (const THeard& h : HeardOf(QAccessible::TableModelChanged))
            if (h.Change == Kind) found.push_back(h);
        return found;
    }

    std::unique_ptr<TGridView> FGrid;
    std::vector<THeard> Heard;
    int FMade = 0;

private:
    TFormatSettings FSaved;
};

// ------------------------------------------------------------- the table

TEST_F(GridAccessibility, TheGridIsATableOfItsRowsAndVisibleColumnsInDisplayOrder) {
    CallList();
    Fill(3);
    QAccessibleInterface* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    ASSERT_NE(TableOf(), nullptr);
    EXPECT_EQ(TableOf()->rowCount(), 3);
    EXPECT_EQ(TableOf()->columnCount(), 5);
    EXPECT_EQ(Captions(), QStringList({"Hat", "Numara", "Zaman", "Seri", "Sıra"}));

    // The header row comes first among the children, named by the captions.
    QAccessibleInterface* header = table->child(1);
    EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(header->text(QAccessible::Name), "Numara");
    EXPECT_EQ(table->child(5)->text(QAccessible::Name), "r0c0");

    // "Seri" moves to the front and "Zaman" is hidden: the tool reads the
    // columns as the screen shows them, cells addressed by their place.
    Heard.clear();
    FGrid->Columns()->MoveColumn(3, 0);
    FGrid->Columns()->Items(2)->SetVisible(false);
    EXPECT_EQ(TableOf()->columnCount(), 4);
    EXPECT_EQ(Captions(), QStringList({"Seri", "Hat", "Numara", "Sıra"}));
    EXPECT_EQ(TextAt(1, 0), "r1c3");
    EXPECT_EQ(TextAt(1, 3), "r1c4");
    EXPECT_EQ(table->child(0)->text(QAccessible::Name), "Seri");
    auto* cell = TableOf()->cellAt(2, 2)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->columnIndex(), 2);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells().first()->text(QAccessible::Name), "Numara");
    // Each change of the columns was announced as a new table.
    EXPECT_EQ(Changes(QAccessibleTableModelChangeEvent::ModelReset).size(), 2u);

    // A new caption is heard on the header cell a tool holds.
    Heard.clear();
    QAccessibleInterface* held = table->child(0);
    FGrid->Columns()->Items(3)->Header()->SetCaption(QStringLiteral("Seri no"));
    EXPECT_EQ(held->text(QAccessible::Name), "Seri no");
    ASSERT_EQ(HeardOf(QAccessible::NameChanged).size(), 1u);
    EXPECT_EQ(HeardOf(QAccessible::NameChanged)[0].Id, QAccessible::uniqueId(held));
}

TEST_F(GridAccessibility, ACellReadsAsTheGridShowsIt) {
    auto* text = new TTextualColumn();
    text->SetTextBefore(QStringLiteral("<"));
    text->SetTextAfter(QStringLiteral(" TL"));
    FGrid->Columns()->Add(text);
    auto* number = new TNumericColumn();
    number->SetFormatMask(QStringLiteral("0.00"));
    FGrid->Columns()->Add(number);
    FGrid->Columns()->Add(new TIncrementColumn());
    FGrid->Columns()->Add(new TCheckBoxColumn());
    FGrid->AddRows(2);
    FGrid->Cell(0, 0)->SetAsWideString(QStringLiteral("5"));
    FGrid->Cell(1, 0)->SetAsWideString(QStringLiteral("3,5"));
    FGrid->Cell(1, 1)->SetAsWideString(QStringLiteral("-2"));
    FGrid->Cell(3, 1)->SetAsBoolean(true);
    FGrid->Cell(0, 1)->SetNote(QByteArrayLiteral("not"));

    EXPECT_EQ(TextAt(0, 0), "<5 TL");
    EXPECT_EQ(TextAt(0, 1), "3,50");
    EXPECT_EQ(TextAt(1, 1), "-2,00");
    // The increment column counts from 1, as it is drawn.
    EXPECT_EQ(TextAt(0, 2), "1");
    EXPECT_EQ(TextAt(1, 2), "2");
    // A check box shows no text but its state.
    QAccessibleInterface* box = TableOf()->cellAt(1, 3);
    EXPECT_EQ(box->text(QAccessible::Name), "");
    EXPECT_TRUE(box->state().checkable);
    EXPECT_TRUE(box->state().checked);
    EXPECT_FALSE(TableOf()->cellAt(0, 3)->state().checked);
    EXPECT_EQ(TableOf()->cellAt(1, 0)->text(QAccessible::Description), "not");
}

// ------------------------------------------------- rows and their news

TEST_F(GridAccessibility, AppendsDeletionsAndClearsAreAnnouncedAndReadAfterwards) {
    CallList();
    Fill(2);
    Heard.clear();
    Fill(1);
    // The append, then each of the five cells written under the lock.
    const auto inserted = Changes(QAccessibleTableModelChangeEvent::RowsInserted);
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(inserted[0].FirstRow, 2);
    EXPECT_EQ(inserted[0].LastRow, 2);
    const auto data = Changes(QAccessibleTableModelChangeEvent::DataChanged);
    ASSERT_EQ(data.size(), 5u);
    EXPECT_EQ(data[3].FirstRow, 2);
    EXPECT_EQ(data[3].FirstColumn, 3);
    EXPECT_FALSE(HeardOf(QAccessible::ObjectReorder).empty());
    EXPECT_EQ(TableOf()->rowCount(), 3);
    EXPECT_EQ(TextAt(2, 4), "r2c4");

    // The call list drops its oldest row.
    Heard.clear();
    FGrid->DeleteRow(0);
    const auto removed = Changes(QAccessibleTableModelChangeEvent::RowsRemoved);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].FirstRow, 0);
    EXPECT_EQ(removed[0].LastRow, 0);
    EXPECT_FALSE(HeardOf(QAccessible::ObjectReorder).empty());
    EXPECT_EQ(TableOf()->rowCount(), 2);
    EXPECT_EQ(TextAt(0, 0), "r1c0");
    EXPECT_EQ(TextAt(1, 0), "r2c0");

    // An index outside the grid changes nothing and tells nothing.
    Heard.clear();
    FGrid->DeleteRow(7);
    FGrid->InsertRow(-1);
    EXPECT_TRUE(Heard.empty());

    FGrid->InsertRow(1);
    EXPECT_EQ(Changes(QAccessibleTableModelChangeEvent::RowsInserted).back().FirstRow, 1);
    EXPECT_EQ(TextAt(1, 0), "");
    EXPECT_EQ(TextAt(2, 0), "r2c0");

    Heard.clear();
    FGrid->Clear();
    EXPECT_EQ(Changes(QAccessibleTableModelChangeEvent::ModelReset).size(), 1u);
    EXPECT_EQ(TableOf()->rowCount(), 0);
    EXPECT_EQ(TableOf()->columnCount(), 5);
    EXPECT_EQ(Table()->childCount(), 5); // the header row alone
}

TEST_F(GridAccessibility, ACellHeldAcrossARowChangeIsNeverStale) {
    CallList();
    Fill(4);
    QAccessibleInterface* first = TableOf()->cellAt(0, 1);
    const QAccessible::Id firstId = QAccessible::uniqueId(first);
    EXPECT_EQ(first->text(QAccessible::Name), "r0c1");
    // Asked again, the same cell answers.
    EXPECT_EQ(TableOf()->cellAt(0, 1), first);

    // A new value keeps the cell: it reads the new text and says so.
    Heard.clear();
    FGrid->SetCellText(1, 0, QStringLiteral("yeni"));
    EXPECT_EQ(QAccessible::accessibleInterface(firstId), first);
    EXPECT_EQ(first->text(QAccessible::Name), "yeni");
    ASSERT_EQ(HeardOf(QAccessible::NameChanged).size(), 1u);
    EXPECT_EQ(HeardOf(QAccessible::NameChanged)[0].Id, firstId);

    // Deleting row 0 lets the old cell go; row 0 is the next row now.
    FGrid->DeleteRow(0);
    EXPECT_EQ(QAccessible::accessibleInterface(firstId), nullptr);
    EXPECT_EQ(TextAt(0, 1), "r1c1");

    // So does every other change of the rows or the columns.
    auto dropsCells = [this](auto&& change) {
        const QAccessible::Id id = QAccessible::uniqueId(TableOf()->cellAt(1, 0));
        change();
        return QAccessible::accessibleInterface(id) == nullptr;
    };
    EXPECT_TRUE(dropsCells([this] { FGrid->InsertRow(0); }));
    EXPECT_TRUE(dropsCells([this] { FGrid->MoveRow(0, 2); }));
    EXPECT_TRUE(dropsCells([this] { FGrid->AddRows(1); }));
    EXPECT_TRUE(dropsCells([this] { FGrid->Sort(FGrid->Columns()->Items(0), false); }));
    EXPECT_TRUE(dropsCells([this] { FGrid->Columns()->MoveColumn(4, 0); }));
    EXPECT_TRUE(dropsCells([this] { FGrid->Columns()->Items(2)->SetVisible(false); }));
    // Sorted descending by the first column, the moved column in front.
    EXPECT_EQ(TextAt(0, 1), "r3c0");

    // The grid takes its interfaces with it.
    const QAccessible::Id cellId = QAccessible::uniqueId(TableOf()->cellAt(0, 0));
    const QAccessible::Id tableId = QAccessible::uniqueId(Table());
    FGrid.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(cellId), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(tableId), nullptr);
}

// ----------------------------------------------- what a tool walks

TEST_F(GridAccessibility, NoRequestAnswersNull) {
    // No columns, no rows.
    QAccessibleInterface* table = Table();
    EXPECT_EQ(table->childCount(), 0);
    EXPECT_NE(table->child(0), nullptr);
    EXPECT_NE(TableOf()->cellAt(0, 0), nullptr);
    EXPECT_NE(TableOf()->cellAt(-1, -1), nullptr);
    EXPECT_NE(table->focusChild(), nullptr);

    // Columns but no rows: the header cells answer.
    CallList();
    EXPECT_EQ(TableOf()->cellAt(0, 0)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(TableOf()->cellAt(3, 9)->text(QAccessible::Name), "Sıra");
    ASSERT_NE(table->focusChild(), nullptr);
    EXPECT_TRUE(table->focusChild()->isValid());

    // Rows, but the current cell is past them after a clear.
    Fill(5);
    FGrid->Select(2, 4, 0);
    FGrid->Clear();
    Fill(2);
    QAccessibleInterface* focus = table->focusChild();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus->isValid());
    // Requests outside the table answer the nearest cell.
    EXPECT_EQ(TableOf()->cellAt(-1, -1)->text(QAccessible::Name), "r5c0");
    EXPECT_EQ(TableOf()->cellAt(99, 99)->text(QAccessible::Name), "r6c4");
    EXPECT_NE(table->child(-1), nullptr);
    EXPECT_NE(table->child(table->childCount()), nullptr);

    // And the current cell is the focused one once it exists.
    FGrid->Select(3, 1, 0);
    auto* current = table->focusChild()->tableCellInterface();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->rowIndex(), 1);
    EXPECT_EQ(current->columnIndex(), 3);
}

// The AT-SPI bridge takes the table-cell side of whatever cellAt() and
// child() answer (a row's or column's extent, a child's row and column) and
// uses it unchecked: every answer must have one, in an empty grid, a grid
// without columns and with the indicator's cells too. An empty list still
// names its columns the way the bridge asks for a header: through the cell
// of row 0.
TEST_F(GridAccessibility, EveryCellTheBridgeReachesIsATableCell) {
    const auto checkAll = [this](const char* state) {
        SCOPED_TRACE(state);
        QAccessibleInterface* table = Table();
        const int rows = TableOf()->rowCount();
        const int columns = TableOf()->columnCount();
        for (int i = -1; i <= table->childCount(); ++i) {
            QAccessibleInterface* child = table->child(i);
            ASSERT_NE(child, nullptr) << i;
            ASSERT_NE(child->tableCellInterface(), nullptr) << "child " << i;
        }
        for (int r = -1; r <= rows; ++r)
            for (int c = -1; c <= columns; ++c) {
                QAccessibleInterface* cell = TableOf()->cellAt(r, c);
                ASSERT_NE(cell, nullptr);
                ASSERT_NE(cell->tableCellInterface(), nullptr) << r << "," << c;
                EXPECT_EQ(cell->tableCellInterface()->rowExtent(), 1);
            }
        ASSERT_NE(table->focusChild()->tableCellInterface(), nullptr);
    };
    checkAll("no columns");

    CallList();
    checkAll("no rows");
    QStringList headers;
    for (int c = 0; c < TableOf()->columnCount(); ++c) {
        const QList<QAccessibleInterface*> found =
            TableOf()->cellAt(0, c)->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(found.size(), 1) << c;
        headers << found.first()->text(QAccessible::Name);
    }
    EXPECT_EQ(headers, Captions());
    EXPECT_EQ(headers.first(), "Hat");

    Fill(3);
    checkAll("rows");
    // A header cell stands above the rows, a row's indicator beside the
    // columns.
    auto* header = Table()->child(1)->tableCellInterface();
    EXPECT_EQ(header->rowIndex(), -1);
    EXPECT_EQ(header->columnIndex(), 1);
    EXPECT_FALSE(header->isSelected());

    FGrid->SetOptions(FGrid->Options() | goIndicator);
    checkAll("indicator");
    auto* indicator = Table()->child(TableOf()->columnCount() + 1)->tableCellInterface();
    EXPECT_EQ(indicator->rowIndex(), 0);
    EXPECT_EQ(indicator->columnIndex(), -1);
    FGrid->Clear();
    checkAll("indicator, no rows");
}

TEST_F(GridAccessibility, TheChildrenAreTheHeaderRowAndTheRowsInViewOfAMillion) {
    Add(QStringLiteral("Hat"));
    Add(QStringLiteral("Numara"));
    FGrid->AddRows(1000000);
    FGrid->SetCellText(1, 500000, QStringLiteral("orta"));
    QAccessibleInterface* table = Table();
    EXPECT_EQ(TableOf()->rowCount(), 1000000);
    EXPECT_EQ(TextAt(500000, 1), "orta");
    const int inView = table->childCount() / 2 - 1;
    EXPECT_GT(inView, 0);
    EXPECT_LT(inView, 20);

    // Scrolling shows other rows: the children follow, and a tool is told.
    Heard.clear();
    FGrid->VertScrollBar()->SetPosition(499998);
    ASSERT_EQ(FGrid->TopRow(), 499998);
    EXPECT_FALSE(HeardOf(QAccessible::ObjectReorder).empty());
    // Header row, then rows 499998, 499999, 500000.
    EXPECT_EQ(table->child(2 + 2 * 2 + 1)->text(QAccessible::Name), "orta");
    EXPECT_FALSE(table->child(2)->state().offscreen);
    EXPECT_TRUE(TableOf()->cellAt(0, 0)->state().offscreen);

    // Every child knows its own index; a row scrolled away has none.
    for (int i = 0; i < table->childCount(); ++i)
        ASSERT_EQ(table->indexOfChild(table->child(i)), i) << i;
    EXPECT_EQ(table->indexOfChild(TableOf()->cellAt(0, 0)), -1);

    // The indicator column adds a row header to every row and a corner.
    FGrid->SetOptions(FGrid->Options() | goIndicator);
    EXPECT_EQ(table->childCount() % 3, 0);
    EXPECT_EQ(table->child(0)->role(), QAccessible::Pane);
    EXPECT_EQ(table->child(3)->role(), QAccessible::RowHeader);
    EXPECT_EQ(table->child(3)->text(QAccessible::Name), "499999");
    EXPECT_EQ(table->child(3 + 2 * 3 + 2)->text(QAccessible::Name), "orta");
    for (int i = 0; i < table->childCount(); ++i)
        ASSERT_EQ(table->indexOfChild(table->child(i)), i) << i;
    auto* cell = table->child(3 + 2 * 3 + 2)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(cell->rowHeaderCells().size(), 1);
    EXPECT_EQ(cell->rowHeaderCells().first()->text(QAccessible::Name), "500001");
}

// The children are the rows in view: whatever changes how many rows are in
// view or how many cells a row has is told, once, as a reorder.
TEST_F(GridAccessibility, ANewLayoutThatChangesTheChildrenIsTold) {
    CallList();
    Fill(30);
    FGrid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FGrid.get()));
    QAccessibleInterface* table = Table();
    const int before = table->childCount();

    // Wide enough for every column: no horizontal bar comes or goes below.
    Heard.clear();
    FGrid->SetBounds(0, 0, 600, 400);
    QApplication::processEvents();
    EXPECT_GT(table->childCount(), before);
    EXPECT_EQ(HeardOf(QAccessible::ObjectReorder).size(), 1u);

    Heard.clear();
    FGrid->SetOptions(FGrid->Options() | goIndicator);
    QApplication::processEvents();
    EXPECT_EQ(table->childCount() % 6, 0);
    EXPECT_EQ(HeardOf(QAccessible::ObjectReorder).size(), 1u);

    // A repaint or a resize that keeps the children tells nothing.
    Heard.clear();
    FGrid->Invalidate();
    FGrid->SetBounds(0, 0, 620, 400);
    QApplication::processEvents();
    EXPECT_TRUE(HeardOf(QAccessible::ObjectReorder).empty());
}

TEST_F(GridAccessibility, ThePointOnTheScreenFindsItsCell) {
    CallList();
    Fill(3);
    FGrid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FGrid.get()));
    QAccessibleInterface* table = Table();
    for (int row : {0, 2}) {
        QAccessibleInterface* cell = TableOf()->cellAt(row, 3);
        const QRect r = cell->rect();
        ASSERT_FALSE(r.isEmpty());
        EXPECT_EQ(table->childAt(r.center().x(), r.center().y()), cell) << row;
    }
    QAccessibleInterface* header = table->child(1);
    const QRect h = header->rect();
    ASSERT_FALSE(h.isEmpty());
    EXPECT_EQ(table->childAt(h.center().x(), h.center().y()), header);
    // Below the last row there is no cell.
    const QRect last = TableOf()->cellAt(2, 0)->rect();
    EXPECT_EQ(table->childAt(last.center().x(), last.bottom() + 40), nullptr);
    // A cell has no children of its own.
    EXPECT_EQ(header->childAt(h.center().x(), h.center().y()), nullptr);
}

// ------------------------------------- the current cell and the selection

TEST_F(GridAccessibility, TheCurrentCellIsAnnouncedAndFocusedWhileTheGridHasFocus) {
    CallList();
    Fill(4);
    // Without focus the move is a new selection, not a focus change.
    Heard.clear();
    FGrid->Select(1, 2, 0);
    EXPECT_TRUE(HeardOf(QAccessible::Focus).empty());
    ASSERT_EQ(HeardOf(QAccessible::Selection).size(), 1u);
    QAccessibleInterface* selected =
        QAccessible::accessibleInterface(HeardOf(QAccessible::Selection)[0].Id);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->tableCellInterface()->rowIndex(), 2);
    EXPECT_EQ(selected->tableCellInterface()->columnIndex(), 1);
    EXPECT_TRUE(selected->state().selected);
    EXPECT_EQ(TableOf()->selectedCellCount(), 1);
    EXPECT_EQ(TableOf()->selectedCells(), QList<QAccessibleInterface*>{selected});

    FGrid->show();
    FGrid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FGrid.get()));
    FGrid->clearFocus();
    Heard.clear();
    FGrid->setFocus();
    ASSERT_TRUE(FGrid->hasFocus());
    // Taking the focus tells of the current cell.
    ASSERT_EQ(HeardOf(QAccessible::Focus).size(), 1u);
    EXPECT_EQ(QAccessible::accessibleInterface(HeardOf(QAccessible::Focus)[0].Id), selected);
    EXPECT_TRUE(selected->state().focused);

    Heard.clear();
    FGrid->Select(1, 3, 0);
    const auto focus = HeardOf(QAccessible::Focus);
    ASSERT_EQ(focus.size(), 1u);
    QAccessibleInterface* now = QAccessible::accessibleInterface(focus[0].Id);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now, Table()->focusChild());
    EXPECT_EQ(now->tableCellInterface()->rowIndex(), 3);
    EXPECT_FALSE(selected->state().focused);
    // The same cell again is no news.
    Heard.clear();
    FGrid->Select(1, 3, 0);
    EXPECT_TRUE(HeardOf(QAccessible::Focus).empty());
}

TEST_F(GridAccessibility, TheSelectedRowsAreTheRowFlags) {
    CallList();
    Fill(8);
    FGrid->SetOptions(FGrid->Options() | goSelectFullRow | goMultiSelect);
    EXPECT_TRUE(Table()->state().multiSelectable);
    // A plain select anchors row 2; a Shift select flags the range to 5.
    FGrid->Select(0, 2, 0);
    Heard.clear();
    FGrid->Select(0, 5, ssShift);
    EXPECT_EQ(HeardOf(QAccessible::SelectionWithin).size(), 1u);

    QAccessibleTableInterface* table = TableOf();
    EXPECT_EQ(table->selectedRowCount(), 4);
    EXPECT_EQ(table->selectedRows(), QList<int>({2, 3, 4, 5}));
    EXPECT_TRUE(table->isRowSelected(2));
    EXPECT_FALSE(table->isRowSelected(-1));
    EXPECT_FALSE(table->isRowSelected(8));
    EXPECT_FALSE(table->isColumnSelected(0));
    EXPECT_EQ(table->selectedCellCount(), 20);
    const QList<QAccessibleInterface*> cells = table->selectedCells();
    ASSERT_EQ(cells.size(), 20);
    EXPECT_EQ(cells.first()->tableCellInterface()->rowIndex(), 2);
    EXPECT_EQ(cells.last()->tableCellInterface()->rowIndex(), 5);
    EXPECT_TRUE(table->cellAt(3, 1)->state().selected);
    EXPECT_FALSE(table->cellAt(6, 1)->state().selected);

    // The flags follow a deleted row.
    FGrid->DeleteRow(0);
    EXPECT_EQ(table->selectedRows(), QList<int>({1, 2, 3, 4}));

    // A tool's own choice goes into the flags.
    EXPECT_TRUE(table->selectRow(6));
    EXPECT_TRUE(FGrid->GetRowSelected(6));
    EXPECT_TRUE(table->unselectRow(1));
    EXPECT_FALSE(FGrid->GetRowSelected(1));
    EXPECT_FALSE(table->selectRow(7));

    // Every row selected is every column selected.
    for (int r = 0; r < FGrid->RowCount(); ++r)
        FGrid->SetRowSelected(r, true);
    EXPECT_TRUE(table->isColumnSelected(4));
    EXPECT_EQ(table->selectedColumns(), QList<int>({0, 1, 2, 3, 4}));
}

TEST_F(GridAccessibility, NothingIsMadeWhileNobodyListens) {
    CallList();
    SetAccessibleEventWatcher(nullptr);
    Fill(3);
    FGrid->Select(1, 1, 0);
    FGrid->DeleteRow(0);
    EXPECT_EQ(FGrid->Accessibility()->CachedCellCount(), 0);
    // A tool's questions make cells; a change lets them go even unheard.
    EXPECT_EQ(TextAt(0, 0), "r1c0");
    EXPECT_EQ(FGrid->Accessibility()->CachedCellCount(), 1);
    FGrid->DeleteRow(0);
    EXPECT_EQ(FGrid->Accessibility()->CachedCellCount(), 0);
    EXPECT_EQ(TextAt(0, 0), "r2c0");
}

} // namespace
