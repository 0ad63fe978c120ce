#pragma once
// What assistive tools (screen readers) learn of the published grid. The
// grid paints its cells itself, so Qt would see one bare widget; here it is
// a table: a header row with the column captions, then the cells of the
// rows in view (the table itself still reports every row), the columns in
// display order without the hidden ones, the current cell as the focused
// one and the row flags as the selected rows. Every change of the rows, the
// cells, the columns and the current cell is announced.
//
// Child indexes count the header row first and, while the indicator column
// is shown, one row-header cell at the start of every row (the corner cell
// above them), as Qt's own table views count theirs.
//
// Qt's AT-SPI bridge checks nothing it is handed: child(), cellAt() and the
// focused child answer a valid interface for every request (the corner
// cell when there is no cell at all), every cell they answer is a table
// cell (the headers too), and a cell is handed out only as long as it
// stands for the row it was made for.

#include "Controls.h"

#include <QAccessible>
#include <QHash>
#include <cstdint>

class QAccessibleInterface;
class TGridView;

// Installs the grid's accessible-interface factory with Qt, once per
// process; every grid's constructor calls it.
void InstallGridAccessibleFactory();

// One grid's side of it: the cell interfaces made for it so far, and its
// announcements. The cells are kept by their Qt id, never as pointers held
// across a change, and every change of the rows or columns drops them all
// (Qt deletes them), so that no tool is handed a cell that now stands for
// another row. Announcements cost a test while nobody listens.
class TGridAccessibility {
public:
    // What a cell interface stands for: a data cell, a column's header cell,
    // a row's indicator cell, or the corner cell above the indicators.
    enum TAccessibleCellKind : std::uint8_t { acData, acColumnHeader, acRowHeader, acCorner };

    explicit TGridAccessibility(TGridView* Grid);
    ~TGridAccessibility();
    TGridAccessibility(const TGridAccessibility&) = delete;
    TGridAccessibility& operator=(const TGridAccessibility&) = delete;

    // The interface of the cell (Col in storage order, -1 for the indicator
    // cells; Row -1 for the header row), made and registered with Qt on
    // first request.
    QAccessibleInterface* Cell(TAccessibleCellKind Kind, int Row, int Col);
    // The same, only when it was made already; null otherwise.
    QAccessibleInterface* CachedCell(TAccessibleCellKind Kind, int Row, int Col) const;
    int CachedCellCount() const { return static_cast<int>(FCells.size()); }
    // Has Qt delete every cell interface made so far.
    void DropCells();

    // The grid's table interface tells of itself as it is made and deleted,
    // so that the grid can have it deleted with itself: Qt deletes it only
    // once the widget is gone, after the grid's own part of it.
    void TableMade(QAccessibleInterface* Table) { FTable = Table; }
    void TableDeleted(QAccessibleInterface* Table);

    // --- announcements; each drops the cells first where they no longer
    // stand for their rows, whether or not anyone listens

    // Rows First .. Last were added or inserted.
    void RowsInserted(int First, int Last);
    // Rows First .. Last were deleted.
    void RowsRemoved(int First, int Last);
    // The rows or the columns changed as a whole: cleared, moved, sorted,
    // columns added, removed, moved, shown or hidden.
    void Reset();
    // The cell's value (or colour) changed.
    void CellChanged(int Col, int Row);
    // The column's header (its caption) may read otherwise now.
    void HeaderChanged(int Col);
    // The current cell was (OldCol, OldRow) before a selection step with
    // the given shift state.
    void CurrentChanged(int OldCol, int OldRow, TShiftState Shift);
    // The grid took the keyboard focus.
    void FocusEntered();
    // Other rows came into view: the table's children changed.
    void Scrolled();
    // The grid was laid out anew (resized, rows or bands of another size,
    // the indicator shown or hidden): when the rows in view or the columns
    // of children changed, a tool is told that the children did.
    void ChildrenMayHaveChanged();

private:
    static std::uint64_t Key(TAccessibleCellKind Kind, int Row, int Col);
    // The current cell when it is a data cell shown now; null otherwise.
    QAccessibleInterface* CurrentCell();
    void Reordered();

    // The children as a tool last heard of them: the first row in view, the
    // rows in view and the cells per row.
    struct TChildShape {
        int First = -1;
        int Rows = -1;
        int Width = -1;
        friend bool operator==(const TChildShape&, const TChildShape&) = default;
    };
    static TChildShape ShapeOf(const TGridView* Grid);

    TGridView* FGrid;
    TChildShape FShape;
    QHash<std::uint64_t, QAccessible::Id> FCells;
    QAccessibleInterface* FTable = nullptr;
};
