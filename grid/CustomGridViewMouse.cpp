// Mouse input of the grid: where a point lies (band and cell), presses and
// releases on cells, the indicator and the header. Every event handler it
// fires may free the grid or its columns, so after each one the grid checks
// what is left.

#include "CustomGridView.h"

#include <QPointer>

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
