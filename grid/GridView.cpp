#include "GridView.h"

#include "ColumnClasses.h"
#include "Exceptions.h"
#include "Grid.h"
#include "GridAccessibility.h"
#include "HintWindow.h"
#include "SysUtils.h"

#include <algorithm>

TGridView::TGridView(QObject* owner)
    : TCustomGridView(owner), FAccessibility(std::make_unique<TGridAccessibility>(this)),
      FCells(std::make_unique<TCells>(this, Columns())), FNoteWindow(new THintWindow(this)) {
    InstallGridAccessibleFactory();
    FCells->OnChange = [this](TCells* sender, int col, int row) { CellsChange(sender, col, row); };
    Columns()->OnCellsChange = [this](TColumns* sender, TColumnsChange kind, int i1, int i2) {
        ColumnsCellsChange(sender, kind, i1, i2);
    };
    RegisterColumnClasses();
}

TGridView::~TGridView() {
    // The columns outlive the store (the control frees them): nothing they
    // report may reach it once it is gone.
    Columns()->OnCellsChange.Clear();
    // The cell interfaces and the table go first: no tool may reach a grid
    // half destroyed.
    FAccessibility.reset();
    FCells.reset();
    delete FNoteWindow;
    FNoteWindow = nullptr;
}

void TGridView::RegisterColumnClasses() {
    // The increment column is the input base's own; this grid registers it
    // together with the column types a layout names, so that every grid of
    // the suite knows all of them.
    RegisterGridColumnClasses();
}

// --------------------------------------------------------------------- data

bool TGridView::Outside(int ACol, int ARow) const {
    return ARow < 0 || ARow >= FCells->RowCount() || ACol < 0 || ACol >= FCells->ColCount();
}

TCell* TGridView::Cell(int ACol, int ARow) const {
    return FCells->GetCell(ACol, ARow);
}

WideString TGridView::GetCellText(int ACol, int ARow) const {
    WideString text;
    if (!Outside(ACol, ARow)) Cell(ACol, ARow)->GetAsWideString(text);
    return text;
}

TColor TGridView::GetCellBackground(int ACol, int ARow) const {
    return Cell(ACol, ARow)->Color();
}

int TGridView::GetRowCount() const {
    return FCells->RowCount();
}

bool TGridView::PrepareCell(int ACol, int ARow) {
    const bool prepared = TCustomGridViewControl::PrepareCell(ACol, ARow);
    if (Outside(ACol, ARow)) return prepared;
    const TCustomColumn* column = Columns()->Items(ACol);
    const TCellKind kind = column->CellKind();
    if (kind == ckNone) return prepared;
    LoadDisplay(*column->Display(), *Cell(ACol, ARow), kind, ARow);
    return true;
}

void TGridView::SetCellText(int ACol, int ARow, const WideString& Text) {
    if (Outside(ACol, ARow)) return;
    TCell* cell = Cell(ACol, ARow);
    WideString current;
    cell->GetAsWideString(current);
    if (current != Text) cell->SetAsWideString(Text);
}

void TGridView::Sort(TCustomColumn* Column, bool Ascending) {
    const int index = Column ? Columns()->IndexOf(Column) : -1;
    if (index >= 0 && Column->Options().testFlag(coCanSort)) {
        FCells->Sort(index, Column->SortType(), !Ascending);
        FAccessibility->Reset();
        if (RowCount() > 0) InvalidatePart(gpData);
    }
    HideEditor();
}

// ---------------------------------------------------------- store reports

void TGridView::CellsChange(TCells* Sender, int ACol, int ARow) {
    (void)Sender;
    // Tools hear of the cells the call list writes under the lock as well.
    if (FAccessibility) FAccessibility->CellChanged(ACol, ARow);
    if (UpdateLock()) return;
    InvalidateCell(ACol, ARow);
    DoChange(ACol, ARow);
}

void TGridView::ColumnsCellsChange(TColumns* Sender, TColumnsChange Kind, int Index1, int Index2) {
    (void)Sender;
    const bool hadRows = FCells->RowCount() > 0;
    if (Kind == scCleared) HideEditor();
    FCells->SyncColumns(Kind, Index1, Index2);
    if (FAccessibility) FAccessibility->Reset();
    // The store lets its rows go with its last column; the row flags must
    // go with them, or the control keeps flags of rows that are no more.
    if (hadRows && FCells->RowCount() == 0) RowsChanged(rcCleared, 0, 0);
}

void TGridView::ColumnChanged(TCustomColumn* Column, TColumnChange Kind) {
    if (FAccessibility && Column) {
        if (Kind == ccPosition || Kind == ccVisible)
            FAccessibility->Reset();
        else if (Kind == ccAppearance)
            FAccessibility->HeaderChanged(Column->Index());
    }
    TCustomGridView::ColumnChanged(Column, Kind);
}

// ------------------------------------------------------------- selection

void TGridView::Select(int Col, int Row, TShiftState Shift) {
    const int oldCol = FCol;
    const int oldRow = FRow;
    // The handler of OnSelectCell may free the grid.
    const QPointer<TGridView> alive(this);
    TCustomGridView::Select(Col, Row, Shift);
    if (alive && FAccessibility) FAccessibility->CurrentChanged(oldCol, oldRow, Shift);
}

void TGridView::focusInEvent(QFocusEvent* event) {
    TCustomGridView::focusInEvent(event);
    if (FAccessibility) FAccessibility->FocusEntered();
}

void TGridView::ScrollPositionChanged(int Kind) {
    TCustomGridView::ScrollPositionChanged(Kind);
    if (Kind == sbVertical && FAccessibility) FAccessibility->Scrolled();
}

void TGridView::UpdateVertScrollBar() {
    TCustomGridView::UpdateVertScrollBar();
    if (FAccessibility) FAccessibility->ChildrenMayHaveChanged();
}

void TGridView::LayoutChanged() {
    TCustomGridView::LayoutChanged();
    if (FAccessibility) FAccessibility->ChildrenMayHaveChanged();
}

// ----------------------------------------------------------- row operations

void TGridView::AddRows(int Count) {
    FCells->AddRows(Count);
    const int added = std::max(Count, 0);
    FAccessibility->RowsInserted(RowCount() - added, RowCount() - 1);
    RowsChanged(rcAdded, added, 0);
    const int rows = RowCount();
    const int first = rows - added;

    if (!UpdateLock() && added > 0) {
        // Only rows in view have anything to repaint: a million new rows
        // below the data area ask for nothing.
        const int top = TopRow();
        const int from = std::max(first, top);
        const int to = std::min(rows - 1, top + VisibleRowCount());
        for (int r = from; r <= to; ++r)
            InvalidateRow(r, false);
    }

    if (Options().testFlag(goUseDefaultValues)) {
        // Every write is reported, and the handler may free the grid or
        // take rows or columns away: the writing stops where its cells end.
        const QPointer<TGridView> alive(this);
        for (int r = first; r < rows; ++r)
            for (int c = 0; c < FCells->ColCount(); ++c) {
                if (r >= RowCount()) break;
                const QString value = Columns()->Items(c)->DefaultValue();
                if (value.isEmpty()) continue;
                Cell(c, r)->SetAsWideString(value);
                if (!alive) return;
            }
    }

    // The row above the new ones gets its lower grid line again.
    if (Options().testFlag(goGrid) && first > 0) InvalidateRow(first - 1, false);

    const int maxTop = GetMaxTopRow();
    TControlScrollBar* bar = VertScrollBar();
    const bool wasShown = bar->Visible();
    bar->SetParams(-1, 0, maxTop > 0, maxTop > 0, 1, maxTop);
    if (bar->Visible() != wasShown) FitColumns();
}

void TGridView::AppendRows(int Count) {
    FCells->AddRows(Count);
    FAccessibility->RowsInserted(RowCount() - std::max(Count, 0), RowCount() - 1);
    RowsChanged(rcAppended, std::max(Count, 0), 0);
    Invalidate();
    UpdateEditor();
}

void TGridView::InsertRow(int ARow) {
    if (ARow < 0 || ARow >= RowCount()) return;
    FCells->InsertRow(ARow);
    // Told before the flags follow: the current cell moves down with its
    // row then, and that move is told as well.
    FAccessibility->RowsInserted(ARow, ARow);
    // The current cell's move fires OnSelectCell, whose handler may free
    // the grid.
    const QPointer<TGridView> alive(this);
    RowsChanged(rcInserted, ARow, 0);
    if (!alive) return;
    Invalidate();
    UpdateEditor();
}

void TGridView::DeleteRow(int ARow) {
    if (ARow < 0 || ARow >= RowCount()) return;
    if (FEditRow == ARow) HideEditor();
    FCells->DeleteRow(ARow);
    FAccessibility->RowsRemoved(ARow, ARow);
    RowsChanged(rcDeleted, ARow, 0);
    Invalidate();
    if (ARow == FRow) {
        HideEditor();
    } else {
        UpdateEditor();
    }
}

void TGridView::MoveRow(int FromRow, int ToRow) {
    if (FromRow < 0 || FromRow >= RowCount()) return;
    if (ToRow < 0 || ToRow >= RowCount()) return;
    FCells->MoveRow(FromRow, ToRow);
    FAccessibility->Reset();
    RowsChanged(rcMoved, FromRow, ToRow);
    Invalidate();
    HideEditor();
}

void TGridView::Clear() {
    RowsChanged(rcCleared, 0, 0);
    FCells->ClearRows();
    FAccessibility->Reset();
    HideEditor();
    Invalidate();
}

void TGridView::RecalcFooters() {
    const int rows = RowCount();
    for (int c = 0; c < FCells->ColCount(); ++c) {
        TCustomColumn* column = Columns()->Items(c);
        const TFormulaKind kind = column->FormulaKind();
        if (kind == fkNone) continue;
        double value = 0.0;
        for (int r = 0; r < rows; ++r) {
            const double x = Cell(c, r)->GetAsFloat();
            switch (kind) {
            case fkMaximum:
                if (x > value) value = x;
                break;
            case fkMinimum:
                if (x < value) value = x;
                break;
            default:
                value += x;
                break;
            }
        }
        if (kind == fkAverage) {
            // No rows: 0 / 0.
            if (rows == 0) throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
            value /= rows;
        }
        column->Footer()->SetCaption(FloatToStr(value));
    }
}

void TGridView::FitColumns() {
    Columns()->AutoSizeColumns(ClientRect().Width());
}

// ------------------------------------------------------------ play element

void TGridView::LoadPlay(TColumnPlay* Play) {
    if (Play) LoadPlayValue(*Play, *this);
}

void TGridView::StorePlay(QObject* Sender) {
    auto* play = dynamic_cast<TColumnPlay*>(Sender);
    if (!play) throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    StorePlayValue(*play, *this);
}

namespace {

void PointPlay(TColumnPlay& Play, TGridView& Grid, TCustomColumn* Column, int ACol, int ARow) {
    Play.Col = ACol;
    Play.Row = ARow;
    Grid.LoadPlay(&Play);
    Play.Column = Column;
    Play.OnChange = [&Grid](QObject* Sender) { Grid.StorePlay(Sender); };
}

} // namespace

void TGridView::PreparePlay(int ACol, int ARow) {
    if (ACol < 0 || ACol >= Columns()->Count()) return;
    TCustomColumn* column = Columns()->Items(ACol);
    if (TColumnPlay* play = column->Play()) PointPlay(*play, *this, column, ACol, ARow);
}

// --------------------------------------------------------------- the note

bool TGridView::CellAt(int X, int Y, int& ACol, int& ARow) const {
    ACol = -1;
    ARow = -1;
    if (Columns()->Count() == 0) return false;
    const TRect data = GetDataRect();
    if (X < data.Left || X >= data.Right || Y < data.Top || Y >= data.Bottom) return false;
    const int gl = GridLineWidth();
    if (GridStyle() == gsSlides) {
        const int size = gl + SlideSize();
        if (size <= 0) return false;
        const int slide = Y / size;
        const int y = Y - slide * size;
        for (int c = 0; c < Columns()->Count(); ++c) {
            const TCustomColumn* column = Columns()->Items(c);
            const TSlideBounds* b = column->SlideBounds();
            if (column->Visible() && X >= b->Left() && X < b->Right() && y >= b->Top() &&
                y < b->Bottom()) {
                ACol = c;
                break;
            }
        }
        ARow = TopRow() + slide;
    } else {
        const int x = X + HorzPos();
        for (int p = 0; p < Columns()->Count(); ++p) {
            const TCustomColumn* column = Columns()->DisplayItems(p);
            if (column->Visible() && x >= column->Left() && x <= column->Left() + column->Width()) {
                ACol = column->Index();
                break;
            }
        }
        ARow = TopRow() + (Y - data.Top) / (gl + RowSize());
    }
    return ACol >= 0;
}

void TGridView::MouseMove(TShiftState Shift, int X, int Y) {
    // OnMouseMove may free the grid.
    const QPointer<TGridView> alive(this);
    TCustomGridView::MouseMove(Shift, X, Y);
    if (!alive) return;
    int col = -1;
    int row = -1;
    if (!Rolling() && CellAt(X, Y, col, row) && !Outside(col, row) &&
        !Cell(col, row)->Note().isEmpty()) {
        ShowNote(col, row);
    } else {
        FNoteWindow->ReleaseHandle();
    }
}

void TGridView::ShowNote(int ACol, int ARow) {
    // The hint of a clipped text stands in the note's place; the note of
    // the cell the pointer came from goes.
    if (CellHintShowing()) {
        FNoteWindow->ReleaseHandle();
        return;
    }
    const QString note = AnsiToWide(Cell(ACol, ARow)->Note());
    const TRect cell = GetCellRect(ACol, ARow, gpData);
    const TPoint anchor =
        ClientToScreen({cell.Left + Columns()->Items(ACol)->Width(), cell.Top - 20});
    FNoteWindow->SetColor(clInfoBk);
    TRect r = FNoteWindow->CalcHintRect(NoteMaxWidth, note);
    r = Bounds(anchor.X, anchor.Y, r.Width(), r.Height());
    FNoteWindow->ActivateHint(r, note);
}

void TGridView::MouseLeave() {
    TCustomGridView::MouseLeave();
    FNoteWindow->ReleaseHandle();
}
