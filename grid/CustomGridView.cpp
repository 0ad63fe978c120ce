#include "CustomGridView.h"

#include <QPointer>

TCustomGridView::TCustomGridView(QObject* owner) : TCustomGridViewControl(owner) {
    // A window of its own colour, not its parent's.
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 250, 150);
}

TCustomGridView::~TCustomGridView() {
    // The editors go with the columns once the grid control below is freed.
    // The open one gets its own events back now, while this part of the
    // grid is still whole, and reports to it no more.
    ReleaseEditor();
    FState &= ~(TGridState(CellEditing) | InputRowEditing);
}

void TCustomGridView::SetColumns(TColumns* Value) {
    if (Value && Value != Columns()) {
        // Everything that may fail comes before the own columns go.
        std::vector<std::unique_ptr<TCustomColumn>> copies;
        for (int i = 0; i < Value->Count(); ++i) {
            const TCustomColumn* source = Value->Items(i);
            std::unique_ptr<QObject> made(
                CreateComponent(source->metaObject()->className(), nullptr));
            auto* column = qobject_cast<TCustomColumn*>(made.get());
            if (!column) continue;
            made.release();
            copies.emplace_back(column);
            column->Assign(source);
        }
        Columns()->Clear();
        for (auto& column : copies)
            Columns()->Add(column.release());
    }
    update();
}

bool TCustomGridView::ReadChild(QObject* child) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return false;
    if (!FColumnsReadStarted) {
        FColumnsReadStarted = true;
        Columns()->Clear();
    }
    column->setParent(Columns());
    column->FColumns = Columns();
    return true;
}

void TCustomGridView::ChildRead(QObject* child, bool complete) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return;
    if (complete) {
        try {
            Columns()->Add(column);
            return;
        } catch (...) {
            column->FColumns = nullptr;
            delete column;
            throw;
        }
    }
    // A column whose entry could not be read joins nothing.
    column->FColumns = nullptr;
    delete column;
}

std::vector<QObject*> TCustomGridView::StreamedChildren() const {
    std::vector<QObject*> children;
    for (int i = 0; i < Columns()->Count(); ++i)
        children.push_back(Columns()->Items(i));
    return children;
}

void TCustomGridView::Loaded() {
    TCustomGridViewControl::Loaded();
    FColumnsReadStarted = false;
}

// -------------------------------------------------------------------- input

int TCustomGridView::BandAt(int X, int Y) const {
    const TPoint p(X, Y);
    if (!ClientRect().Contains(p)) return 0;
    if (GridStyle() == gsSlides) return gpData;
    const TGridOptions options = Options();
    if (options.testFlag(goHeader) && GetHeaderRect().Contains(p)) return gpHeader;
    if (options.testFlag(goInput) && GetInputRect().Contains(p)) return gpInput;
    if (options.testFlag(goFooter) && GetFooterRect().Contains(p)) return gpFooter;
    if (options.testFlag(goIndicator) && GetIndicatorRect().Contains(p)) return gpIndicator;
    // The data band reaches past the last column: a press there keeps the
    // current column.
    const TRect data = GetDataRect();
    if (Y >= data.Top && Y < data.Bottom && X >= data.Left) return gpData;
    return 0;
}

TGridCell TCustomGridView::CellAt(int X, int Y) const {
    TGridCell cell;
    const int gl = GridLineWidth();
    if (GridStyle() == gsSlides) {
        const int step = gl + SlideSize();
        cell.Row = TopRow() + (Y >= 0 ? Y / step : (Y - step + 1) / step);
        const TPoint inSlide(X, Y - (cell.Row - TopRow()) * step);
        for (int i = 0; i < Columns()->Count(); ++i) {
            const TSlideBounds* b = Columns()->Items(i)->SlideBounds();
            if (Rect(b->Left(), b->Top(), b->Right(), b->Bottom()).Contains(inSlide)) {
                cell.Col = i;
                break;
            }
        }
        return cell;
    }
    const int offset = Y - GetDataRect().Top;
    const int step = gl + RowSize();
    cell.Row = TopRow() + (offset >= 0 ? offset / step : (offset - step + 1) / step);
    for (int p = 0; p < Columns()->Count(); ++p) {
        const TCustomColumn* column = Columns()->DisplayItems(p);
        if (!column->Visible()) continue;
        const int left = column->Left() - HorzPos();
        if (X >= left && X <= left + column->Width()) {
            cell.Col = column->Index();
            break;
        }
    }
    return cell;
}

void TCustomGridView::SelectRow(int Row) {
    if (Row < 0 || Row >= RowCount()) return;
    const QPointer<TCustomGridView> alive(this);
    Select(FCol, Row, 0);
    if (alive) FInputActive = false;
}

void TCustomGridView::MoveLeft() {
    const TCustomColumn* current = ColumnOf(FCol);
    if (!current) return;
    for (int p = 0; p < Columns()->Count(); ++p) {
        if (Columns()->DisplayItems(p) != current) continue;
        for (int q = p - 1; q >= 0; --q) {
            const TCustomColumn* column = Columns()->DisplayItems(q);
            if (column->Visible()) return Select(column->Index(), FRow, 0);
        }
        return;
    }
}

void TCustomGridView::MoveRight() {
    const TCustomColumn* current = ColumnOf(FCol);
    if (!current) return;
    for (int p = 0; p < Columns()->Count(); ++p) {
        if (Columns()->DisplayItems(p) != current) continue;
        for (int q = p + 1; q < Columns()->Count(); ++q) {
            const TCustomColumn* column = Columns()->DisplayItems(q);
            if (column->Visible()) return Select(column->Index(), FRow, 0);
        }
        return;
    }
}

void TCustomGridView::MoveBySelectionDirection() {
    switch (SelectionMoveDirection()) {
    case mdUp:
        SelectRow(FRow - 1);
        break;
    case mdDown:
        SelectRow(FRow + 1);
        break;
    case mdLeft:
        MoveLeft();
        break;
    case mdRight:
        MoveRight();
        break;
    case mdNone:
        break;
    }
}

void TCustomGridView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const QPointer<TCustomGridView> alive(this);
    if (!IsDesigning()) {
        setFocus();
        if (!alive) return;
    }
    if (Columns()->Count() == 0) return;
    AcceptEdit();
    if (!alive) return;
    HideEditor();
    if (!alive) return;
    if (Button == mbLeft || Button == mbRight) {
        // A context click keeps a selection of several rows.
        if (Button == mbRight && FState.testFlag(MultiRowSelection)) return;
        const int band = BandAt(X, Y);
        if (band == gpIndicator) {
            HideEditor();
            if (!alive) return;
        }
        if (band == gpData || band == gpIndicator) {
            // Leaving the input row by a click turns its values into a row.
            if (GridStyle() == gsReport && FInputActive) {
                SetInputActive(false);
                InvalidateSelection();
                AcceptEdit();
                if (!alive) return;
                InputAccept();
                if (!alive) return;
                HideEditor();
                if (!alive) return;
            }
            FMouseCell = CellAt(X, Y);
            // The empty slot just after the last row may become current;
            // nothing below it.
            if (FMouseCell.Row <= RowCount()) {
                Select(FMouseCell.Col >= 0 ? FMouseCell.Col : FCol, FMouseCell.Row, Shift);
                if (!alive) return;
            }
        }
    }
    TCustomGridViewControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGridView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const QPointer<TCustomGridView> alive(this);
    TCustomGridViewControl::MouseUp(Button, Shift, X, Y);
    if (!alive || IsDesigning()) return;
    const int band = BandAt(X, Y);
    const TGridCell cell = band == gpData ? CellAt(X, Y) : TGridCell{};
    const bool sameCell = band == gpData && cell == FMouseCell && cell.Col >= 0;
    if (sameCell && cell.Row >= 0 && cell.Row < RowCount()) {
        DoCellClick(cell.Col, cell.Row);
        if (!alive) return;
    }
    if (Button != mbLeft) return;
    if (band == gpData) {
        if (!sameCell || FState.testFlag(MultiRowSelection)) return;
        const TCustomColumn* column = ColumnOf(cell.Col);
        // A column with a play element and editing takes the click in the
        // cell itself (a check box toggles); the others open their editor.
        if (column && (!column->Play() || !column->Options().testFlag(coEditing)))
            StartEdit(cell.Col, cell.Row, {});
    } else if (band == gpInput) {
        const TGridCell input = CellAt(X, GetDataRect().Top);
        if (TCustomColumn* column = ColumnOf(input.Col)) StartInputEdit(column, {});
    }
}
