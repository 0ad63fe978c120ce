#include "GridAccessibility.h"

#include "Accessibility.h"
#include "Exceptions.h"
#include "GridView.h"

#include <QAccessibleTableCellInterface>
#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QList>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

using TKind = TGridAccessibility::TAccessibleCellKind;

// ------------------------------------------------------- the grid's layout

// The indicator column takes the first column of children while shown.
int IndicatorColumns(const TGridView* Grid) {
    return Grid->Options().testFlag(goIndicator) && Grid->GridStyle() == gsReport ? 1 : 0;
}

// The storage index of the visible column at place Visible among the
// visible ones in display order; -1 for none.
int StorageColumn(const TGridView* Grid, int Visible) {
    if (Visible < 0) return -1;
    const TColumns* columns = Grid->Columns();
    int seen = 0;
    for (int p = 0; p < columns->Count(); ++p) {
        const TCustomColumn* column = columns->DisplayItems(p);
        if (!column->Visible()) continue;
        if (seen++ == Visible) return column->Index();
    }
    return -1;
}

// The place of the column (storage index) among the visible columns in
// display order; -1 for a hidden column or none.
int VisibleColumn(const TGridView* Grid, int Col) {
    const TColumns* columns = Grid->Columns();
    if (Col < 0 || Col >= columns->Count() || !columns->Items(Col)->Visible()) return -1;
    int seen = 0;
    for (int p = 0; p < columns->Count(); ++p) {
        const TCustomColumn* column = columns->DisplayItems(p);
        if (column->Index() == Col) return seen;
        if (column->Visible()) ++seen;
    }
    return -1;
}

bool DataCellExists(const TGridView* Grid, int Col, int Row) {
    return Row >= 0 && Row < Grid->RowCount() && Col >= 0 && Col < Grid->Columns()->Count();
}

// The rows the data area shows now, a partly shown last one included.
struct TRowsInView {
    int First = 0;
    int Count = 0;
    bool Contains(int Row) const { return Row >= First && Row < First + Count; }
};

TRowsInView RowsInView(const TGridView* Grid) {
    const int rows = Grid->RowCount();
    TRowsInView view;
    view.First = std::clamp(Grid->TopRow(), 0, rows);
    const TRect data = Grid->GetDataRect();
    const int step = Grid->GridLineWidth() +
                     (Grid->GridStyle() == gsSlides ? Grid->SlideSize() : Grid->RowSize());
    const int height = std::max(data.Height(), 0);
    const int shown = step > 0 ? height / step + (height % step ? 1 : 0) : 0;
    view.Count = std::clamp(shown, 0, rows - view.First);
    return view;
}

// Whether the row's selection flag is set; rows without one are not.
bool RowFlagged(const TGridView* Grid, int Row) {
    return Row >= 0 && Row < Grid->RowCount() && Row < Grid->RowSelectionCount() &&
           Grid->GetRowSelected(Row);
}

bool FullRowSelection(const TGridView* Grid) {
    return Grid->Options().testFlag(goSelectFullRow);
}

// A data cell is selected as the grid selects: whole flagged rows, or the
// current cell alone. Unlike the drawing, this does not depend on the focus:
// a tool asks what is selected, not how it looks now.
bool DataCellSelected(const TGridView* Grid, int Col, int Row) {
    if (Grid->InputActive()) return false;
    if (FullRowSelection(Grid)) return RowFlagged(Grid, Row);
    return Col == Grid->Col() && Row == Grid->Row();
}

// The text the cell shows: the column's display text of its value, the row
// number of an increment column, nothing for a check box or a picture (a
// check box tells its state instead).
QString ShownText(const TGridView* Grid, int Col, int Row) {
    const TCustomColumn* column = Grid->Columns()->Items(Col);
    switch (column->CellKind()) {
    case ckIncrement:
        return QString::number(static_cast<qint64>(Row) + 1);
    case ckNone:
    case ckGraphic:
    case ckBoolean:
        return {};
    default:
        break;
    }
    const WideString text = Grid->GetCellText(Col, Row);
    try {
        return column->GetDisplayText(text);
    } catch (const Exception&) {
        // A numeric column with a format mask cannot read a text that is no
        // number; the tool hears the text as it is stored.
        return text;
    }
}

QRect ToScreen(const TGridView* Grid, const TRect& Rect) {
    if (Rect.IsEmpty()) return {};
    const TPoint origin = Grid->ClientToScreen(Rect.TopLeft());
    return QRect(origin.X, origin.Y, Rect.Width(), Rect.Height());
}

QAccessibleInterface* TableOf(TGridView* Grid) {
    return QAccessible::queryAccessibleInterface(Grid);
}

// ------------------------------------------------------------ one cell

class TAccessibleGridCell final : public QAccessibleInterface,
                                  public QAccessibleTableCellInterface {
public:
    TAccessibleGridCell(TGridView* Grid, TKind Kind, int Row, int Col)
        : FGrid(Grid), FKind(Kind), FRow(Row), FCol(Col) {}

    TGridView* Grid() const { return FGrid; }
    TKind Kind() const { return FKind; }
    // The data row (-1 in the header row) and the storage column (-1 for the
    // indicator cells) the cell was made for.
    int DataRow() const { return FRow; }
    int DataCol() const { return FCol; }

    // The grid deletes its cells before it goes; a cell made for a row or a
    // column that is no more answers as invalid until then.
    bool isValid() const override {
        switch (FKind) {
        case TGridAccessibility::acData:
            return DataCellExists(FGrid, FCol, FRow);
        case TGridAccessibility::acColumnHeader:
            return FCol >= 0 && FCol < FGrid->Columns()->Count();
        case TGridAccessibility::acRowHeader:
            return FRow >= 0 && FRow < FGrid->RowCount();
        case TGridAccessibility::acCorner:
            break;
        }
        return true;
    }
    // A cell is no object of its own: Qt keys interfaces with an object by
    // it, and the grid's is the table.
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        const QWidget* top = FGrid->window();
        return top ? top->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override { return TableOf(FGrid); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        switch (FKind) {
        case TGridAccessibility::acData:
            if (t == QAccessible::Name) return ShownText(FGrid, FCol, FRow);
            // A cell's note is what the grid shows of it under the pointer.
            if (t == QAccessible::Description) return AnsiToWide(FGrid->Cell(FCol, FRow)->Note());
            return {};
        case TGridAccessibility::acColumnHeader:
            if (t == QAccessible::Name) return FGrid->Columns()->Items(FCol)->Header()->Caption();
            return {};
        case TGridAccessibility::acRowHeader:
            if (t == QAccessible::Name) return QString::number(static_cast<qint64>(FRow) + 1);
            return {};
        case TGridAccessibility::acCorner:
            break;
        }
        return {};
    }
    // Cells are edited through the grid's editor, not by a tool.
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const TGridView* g = FGrid;
        switch (FKind) {
        case TGridAccessibility::acData:
            return ToScreen(g, g->GetCellRect(FCol, FRow, TCustomGridViewControl::gpData));
        case TGridAccessibility::acColumnHeader:
            if (!g->Options().testFlag(goHeader) || g->GridStyle() != gsReport) return {};
            return ToScreen(g, g->Columns()->Items(FCol)->GetPartRect(1));
        case TGridAccessibility::acRowHeader: {
            if (!IndicatorColumns(g)) return {};
            const TRect row = g->GetRowRect(FRow);
            return ToScreen(g, {0, row.Top, TCustomGridViewControl::IndicatorWidth, row.Bottom});
        }
        case TGridAccessibility::acCorner:
            if (!IndicatorColumns(g) || !g->Options().testFlag(goHeader)) return {};
            return ToScreen(g, {0, 0, TCustomGridViewControl::IndicatorWidth, g->HeaderSize()});
        }
        return {};
    }

    QAccessible::Role role() const override {
        switch (FKind) {
        case TGridAccessibility::acData:
            return QAccessible::Cell;
        case TGridAccessibility::acColumnHeader:
            return QAccessible::ColumnHeader;
        case TGridAccessibility::acRowHeader:
            return QAccessible::RowHeader;
        case TGridAccessibility::acCorner:
            break;
        }
        return QAccessible::Pane;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (FKind == TGridAccessibility::acColumnHeader) {
            s.invisible = !FGrid->Columns()->Items(FCol)->Visible();
            return s;
        }
        if (FKind != TGridAccessibility::acData) return s;
        const TCustomColumn* column = FGrid->Columns()->Items(FCol);
        s.invisible = !column->Visible();
        s.offscreen = !RowsInView(FGrid).Contains(FRow);
        s.selectable = true;
        s.selected = DataCellSelected(FGrid, FCol, FRow);
        s.focusable = true;
        s.focused = FGrid->hasFocus() && !FGrid->InputActive() && FCol == FGrid->Col() &&
                    FRow == FGrid->Row();
        s.editable = column->Options().testFlag(coEditing);
        s.readOnly = !s.editable;
        if (column->CellKind() == ckBoolean) {
            s.checkable = true;
            try {
                s.checked = FGrid->Cell(FCol, FRow)->GetAsBoolean();
            } catch (const Exception&) {
                s.checked = false;
            }
        }
        return s;
    }

    // Every cell is a table cell, the header and indicator cells too (in the
    // header row, row -1; in the indicator column, column -1): the AT-SPI
    // bridge asks any cell it is handed for its table-cell side unchecked.
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // --- QAccessibleTableCellInterface
    bool isSelected() const override {
        return FKind == TGridAccessibility::acData && isValid() &&
               DataCellSelected(FGrid, FCol, FRow);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        if (!isValid() || FCol < 0) return {};
        return {FGrid->Accessibility()->Cell(TGridAccessibility::acColumnHeader, -1, FCol)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        if (!isValid() || FRow < 0 || !IndicatorColumns(FGrid)) return {};
        return {FGrid->Accessibility()->Cell(TGridAccessibility::acRowHeader, FRow, -1)};
    }
    int columnIndex() const override { return VisibleColumn(FGrid, FCol); }
    int rowIndex() const override { return FRow; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return TableOf(FGrid); }

private:
    TGridView* FGrid; // outlives its cells: it has them deleted as it goes
    TKind FKind;
    int FRow;
    int FCol;
};

// ------------------------------------------------------------ the table

class TAccessibleGrid final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TAccessibleGrid(TGridView* Grid) : QAccessibleWidget(Grid, QAccessible::Table) {
        Grid->Accessibility()->TableMade(this);
    }
    ~TAccessibleGrid() override {
        // The grid deletes its table as it goes, after it let go of its
        // cells; Qt deletes tables of grids that are still there only as
        // the application ends.
        if (TGridView* grid = Grid())
            if (TGridAccessibility* cells = grid->Accessibility()) cells->TableDeleted(this);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const TGridOptions options = Grid()->Options();
        s.multiSelectable = options.testFlag(goMultiSelect) && options.testFlag(goSelectFullRow);
        return s;
    }

    // The name the program gave; a description it gave, else the caption
    // the grid shows while it has no rows.
    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Description && text.isEmpty() && Grid()->RowCount() == 0)
            text = Grid()->CaptionText().trimmed();
        return text;
    }

    // --- children: the header row, then the rows in view

    int childCount() const override {
        const int width = ChildColumns();
        return width * (1 + RowsInView(Grid()).Count);
    }

    QAccessibleInterface* child(int index) const override {
        const int count = childCount();
        if (count == 0) return FirstCell();
        index = std::clamp(index, 0, count - 1);
        const int width = ChildColumns();
        const int r = index / width;
        const int c = index % width;
        const int indicator = IndicatorColumns(Grid());
        const int row = r == 0 ? -1 : RowsInView(Grid()).First + r - 1;
        if (c < indicator)
            return Cells()->Cell(
                row < 0 ? TGridAccessibility::acCorner : TGridAccessibility::acRowHeader, row, -1);
        const int col = StorageColumn(Grid(), c - indicator);
        return Cells()->Cell(
            row < 0 ? TGridAccessibility::acColumnHeader : TGridAccessibility::acData, row, col);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const TAccessibleGridCell*>(child);
        if (!cell || cell->Grid() != Grid() || !cell->isValid()) return -1;
        const int indicator = IndicatorColumns(Grid());
        int r = 0;
        if (cell->Kind() == TGridAccessibility::acData ||
            cell->Kind() == TGridAccessibility::acRowHeader) {
            const TRowsInView view = RowsInView(Grid());
            if (!view.Contains(cell->DataRow())) return -1;
            r = cell->DataRow() - view.First + 1;
        }
        int c = 0;
        if (cell->Kind() == TGridAccessibility::acData ||
            cell->Kind() == TGridAccessibility::acColumnHeader) {
            const int visible = VisibleColumn(Grid(), cell->DataCol());
            if (visible < 0) return -1;
            c = visible + indicator;
        } else if (!indicator) {
            return -1;
        }
        return r * ChildColumns() + c;
    }

    // The cell under a point on the screen; null beside every cell.
    QAccessibleInterface* childAt(int x, int y) const override {
        TGridView* g = Grid();
        const TPoint p = g->ScreenToClient({x, y});
        const TCustomGridView* base = g;
        const int band = base->BandAt(p.X, p.Y);
        if (band == TCustomGridViewControl::gpIndicator) {
            if (g->Options().testFlag(goHeader) && p.Y < g->HeaderSize())
                return Cells()->Cell(TGridAccessibility::acCorner, -1, -1);
            const TGridCell cell = base->CellAt(p.X, p.Y);
            if (cell.Row < 0 || cell.Row >= g->RowCount()) return nullptr;
            return Cells()->Cell(TGridAccessibility::acRowHeader, cell.Row, -1);
        }
        if (band == TCustomGridViewControl::gpHeader) {
            for (int i = 0; i < g->Columns()->Count(); ++i) {
                const TCustomColumn* column = g->Columns()->Items(i);
                if (column->Visible() && column->GetPartRect(1).Contains(p))
                    return Cells()->Cell(TGridAccessibility::acColumnHeader, -1, i);
            }
            return nullptr;
        }
        if (band != TCustomGridViewControl::gpData) return nullptr;
        const TGridCell cell = base->CellAt(p.X, p.Y);
        if (!DataCellExists(g, cell.Col, cell.Row) || !g->Columns()->Items(cell.Col)->Visible())
            return nullptr;
        return Cells()->Cell(TGridAccessibility::acData, cell.Row, cell.Col);
    }

    // The current cell; without one the first cell, or the corner cell
    // when there is none.
    QAccessibleInterface* focusChild() const override {
        TGridView* g = Grid();
        if (DataCellExists(g, g->Col(), g->Row()) && g->Columns()->Items(g->Col())->Visible())
            return Cells()->Cell(TGridAccessibility::acData, g->Row(), g->Col());
        return FirstCell();
    }

    // --- QAccessibleTableInterface

    // The grid has no caption or summary object of its own; Qt's views
    // answer none too, and the bridge takes that.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }

    // A cell outside the table answers the nearest cell there is.
    QAccessibleInterface* cellAt(int row, int column) const override {
        const int columns = columnCount();
        const int rows = rowCount();
        if (columns == 0) return FirstCell();
        const int col = StorageColumn(Grid(), std::clamp(column, 0, columns - 1));
        if (rows == 0) return Cells()->Cell(TGridAccessibility::acColumnHeader, -1, col);
        return Cells()->Cell(TGridAccessibility::acData, std::clamp(row, 0, rows - 1), col);
    }

    int selectedCellCount() const override {
        if (FullRowSelection(Grid())) return selectedRowCount() * columnCount();
        return CurrentSelected() ? 1 : 0;
    }

    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        TGridView* g = Grid();
        if (!FullRowSelection(g)) {
            if (CurrentSelected())
                cells.append(Cells()->Cell(TGridAccessibility::acData, g->Row(), g->Col()));
            return cells;
        }
        const QList<int> rows = selectedRows();
        std::vector<int> shown;
        for (int v = 0; v < columnCount(); ++v)
            shown.push_back(StorageColumn(g, v));
        cells.reserve(rows.size() * qsizetype(shown.size()));
        for (const int row : rows)
            for (const int col : shown)
                cells.append(Cells()->Cell(TGridAccessibility::acData, row, col));
        return cells;
    }

    QString columnDescription(int column) const override {
        const int col = StorageColumn(Grid(), column);
        return col < 0 ? QString() : Grid()->Columns()->Items(col)->Header()->Caption();
    }
    QString rowDescription(int row) const override {
        if (row < 0 || row >= rowCount()) return {};
        return QString::number(static_cast<qint64>(row) + 1);
    }

    // A column counts as selected when every row is (there is no selection
    // of a column of its own).
    int selectedColumnCount() const override { return AllRowsSelected() ? columnCount() : 0; }
    int selectedRowCount() const override {
        return std::clamp(Grid()->SelectedRowCount(), 0, rowCount());
    }
    int columnCount() const override { return Grid()->Columns()->VisibleCount(); }
    int rowCount() const override { return Grid()->RowCount(); }

    QList<int> selectedColumns() const override {
        QList<int> columns;
        if (AllRowsSelected())
            for (int v = 0; v < columnCount(); ++v)
                columns.append(v);
        return columns;
    }

    // A walk over the flags, which stops at the last flagged row.
    QList<int> selectedRows() const override {
        QList<int> rows;
        const int wanted = selectedRowCount();
        const int count = std::min(rowCount(), Grid()->RowSelectionCount());
        for (int r = 0; r < count && rows.size() < wanted; ++r)
            if (Grid()->GetRowSelected(r)) rows.append(r);
        return rows;
    }

    bool isColumnSelected(int column) const override {
        return column >= 0 && column < columnCount() && AllRowsSelected();
    }
    bool isRowSelected(int row) const override { return RowFlagged(Grid(), row); }

    // A tool selects a row as a click does: with multi-row selection it
    // adds the row, otherwise the row becomes the current one.
    bool selectRow(int row) override {
        TGridView* g = Grid();
        if (row < 0 || row >= g->RowCount()) return false;
        if (state().multiSelectable)
            g->SetRowSelected(row, true);
        else
            g->SelectRow(row);
        return true;
    }
    bool unselectRow(int row) override {
        if (row < 0 || row >= Grid()->RowCount()) return false;
        Grid()->SetRowSelected(row, false);
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // The grid drops its cells itself before it announces a change; Qt
    // calls this after a watcher heard the event, which must keep what it
    // was handed.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    TGridView* Grid() const { return static_cast<TGridView*>(widget()); }
    TGridAccessibility* Cells() const { return Grid()->Accessibility(); }
    int ChildColumns() const { return columnCount() + IndicatorColumns(Grid()); }

    // The first child there is; without columns the corner cell, which
    // stands in for a cell where there is none.
    QAccessibleInterface* FirstCell() const {
        return childCount() > 0 ? child(0) : Cells()->Cell(TGridAccessibility::acCorner, -1, -1);
    }

    bool CurrentSelected() const {
        const TGridView* g = Grid();
        return DataCellExists(g, g->Col(), g->Row()) && VisibleColumn(g, g->Col()) >= 0 &&
               DataCellSelected(g, g->Col(), g->Row());
    }
    bool AllRowsSelected() const {
        return FullRowSelection(Grid()) && rowCount() > 0 && selectedRowCount() == rowCount();
    }
};

// Qt asks with each class name of the object, the most derived first. A
// grid that is being destroyed has let go of its table: Qt makes a plain
// widget's interface for what is left of it.
QAccessibleInterface* GridAccessible(const QString& className, QObject* object) {
    if (className != u"TGridView") return nullptr;
    auto* grid = qobject_cast<TGridView*>(object);
    if (!grid || !grid->Accessibility()) return nullptr;
    return new TAccessibleGrid(grid);
}

} // namespace

void InstallGridAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(GridAccessible);
        return true;
    }();
    (void)installed;
}

// ------------------------------------------------------------ the cache

TGridAccessibility::TGridAccessibility(TGridView* Grid) : FGrid(Grid) {}

TGridAccessibility::~TGridAccessibility() {
    DropCells();
    // The table goes with the grid's own part: Qt would delete it only once
    // the widget is gone, and could hand it to a tool in between.
    if (QAccessibleInterface* table = FTable) {
        FTable = nullptr;
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table));
    }
}

void TGridAccessibility::TableDeleted(QAccessibleInterface* Table) {
    if (FTable == Table) FTable = nullptr;
}

std::uint64_t TGridAccessibility::Key(TAccessibleCellKind Kind, int Row, int Col) {
    // Rows and columns from -1, the kind above them.
    return (std::uint64_t(Kind) << 56) | (std::uint64_t(std::uint32_t(Row + 1)) << 20) |
           std::uint64_t(std::uint32_t(Col + 1) & 0xFFFFFu);
}

QAccessibleInterface* TGridAccessibility::CachedCell(TAccessibleCellKind Kind, int Row,
                                                     int Col) const {
    const auto found = FCells.constFind(Key(Kind, Row, Col));
    return found == FCells.cend() ? nullptr : QAccessible::accessibleInterface(found.value());
}

QAccessibleInterface* TGridAccessibility::Cell(TAccessibleCellKind Kind, int Row, int Col) {
    if (QAccessibleInterface* cached = CachedCell(Kind, Row, Col)) return cached;
    auto* cell = new TAccessibleGridCell(FGrid, Kind, Row, Col);
    // Qt owns it from here; the id is all the grid keeps.
    FCells.insert(Key(Kind, Row, Col), QAccessible::registerAccessibleInterface(cell));
    return cell;
}

void TGridAccessibility::DropCells() {
    if (FCells.isEmpty()) return;
    const QHash<std::uint64_t, QAccessible::Id> cells = std::exchange(FCells, {});
    for (const QAccessible::Id id : cells)
        QAccessible::deleteAccessibleInterface(id);
}

// ------------------------------------------------------- announcements

TGridAccessibility::TChildShape TGridAccessibility::ShapeOf(const TGridView* Grid) {
    const TRowsInView view = RowsInView(Grid);
    return {view.First, view.Count, Grid->Columns()->VisibleCount() + IndicatorColumns(Grid)};
}

void TGridAccessibility::ChildrenMayHaveChanged() {
    if (!AccessibleListening() || ShapeOf(FGrid) == FShape) return;
    Reordered();
}

void TGridAccessibility::Reordered() {
    FShape = ShapeOf(FGrid);
    QAccessibleEvent event(FGrid, QAccessible::ObjectReorder);
    AnnounceAccessibleEvent(event);
}

void TGridAccessibility::RowsInserted(int First, int Last) {
    DropCells();
    if (First > Last || !AccessibleListening()) return;
    QAccessibleTableModelChangeEvent event(FGrid, QAccessibleTableModelChangeEvent::RowsInserted);
    event.setFirstRow(First);
    event.setLastRow(Last);
    AnnounceAccessibleEvent(event);
    Reordered();
}

void TGridAccessibility::RowsRemoved(int First, int Last) {
    DropCells();
    if (First > Last || !AccessibleListening()) return;
    QAccessibleTableModelChangeEvent event(FGrid, QAccessibleTableModelChangeEvent::RowsRemoved);
    event.setFirstRow(First);
    event.setLastRow(Last);
    AnnounceAccessibleEvent(event);
    Reordered();
}

void TGridAccessibility::Reset() {
    DropCells();
    if (!AccessibleListening()) return;
    QAccessibleTableModelChangeEvent event(FGrid, QAccessibleTableModelChangeEvent::ModelReset);
    AnnounceAccessibleEvent(event);
    Reordered();
}

void TGridAccessibility::CellChanged(int Col, int Row) {
    if (!AccessibleListening()) return;
    // A hidden column's cell shows nothing that changed.
    const int column = VisibleColumn(FGrid, Col);
    if (column < 0 || Row < 0 || Row >= FGrid->RowCount()) return;
    QAccessibleTableModelChangeEvent event(FGrid, QAccessibleTableModelChangeEvent::DataChanged);
    event.setFirstRow(Row);
    event.setLastRow(Row);
    event.setFirstColumn(column);
    event.setLastColumn(column);
    AnnounceAccessibleEvent(event);
    // A tool that holds the cell hears of its new text directly.
    if (QAccessibleInterface* cell = CachedCell(acData, Row, Col)) {
        QAccessibleEvent named(cell, QAccessible::NameChanged);
        AnnounceAccessibleEvent(named);
    }
}

void TGridAccessibility::HeaderChanged(int Col) {
    if (!AccessibleListening()) return;
    if (QAccessibleInterface* header = CachedCell(acColumnHeader, -1, Col)) {
        QAccessibleEvent named(header, QAccessible::NameChanged);
        AnnounceAccessibleEvent(named);
    }
}

QAccessibleInterface* TGridAccessibility::CurrentCell() {
    // While the input row is active the data rows have no current cell.
    if (FGrid->InputActive()) return nullptr;
    const int col = FGrid->Col();
    const int row = FGrid->Row();
    if (VisibleColumn(FGrid, col) < 0 || row < 0 || row >= FGrid->RowCount()) return nullptr;
    return Cell(acData, row, col);
}

void TGridAccessibility::CurrentChanged(int OldCol, int OldRow, TShiftState Shift) {
    if (!AccessibleListening()) return;
    QAccessibleInterface* cell = CurrentCell();
    if (!cell) return;
    const bool moved = FGrid->Col() != OldCol || FGrid->Row() != OldRow;
    if (moved && FGrid->hasFocus()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        AnnounceAccessibleEvent(focus);
    }
    const TGridOptions options = FGrid->Options();
    const bool multi = options.testFlag(goMultiSelect) && options.testFlag(goSelectFullRow);
    if (multi && (Shift & ssCtrl)) {
        // One row's flag toggled.
        QAccessibleEvent toggled(cell, RowFlagged(FGrid, FGrid->Row())
                                           ? QAccessible::SelectionAdd
                                           : QAccessible::SelectionRemove);
        AnnounceAccessibleEvent(toggled);
    } else if (multi && (Shift & ssShift)) {
        // A range of rows: the selection changed in many places at once.
        QAccessibleEvent within(FGrid, QAccessible::SelectionWithin);
        AnnounceAccessibleEvent(within);
    } else if (moved) {
        // The selection is now this cell (or its row) alone.
        QAccessibleEvent selection(cell, QAccessible::Selection);
        AnnounceAccessibleEvent(selection);
    }
}

void TGridAccessibility::FocusEntered() {
    if (!AccessibleListening()) return;
    if (QAccessibleInterface* cell = CurrentCell()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        AnnounceAccessibleEvent(focus);
    }
}

void TGridAccessibility::Scrolled() {
    if (AccessibleListening()) Reordered();
}
