#include "CustomGridViewControl.h"

#include "CellEditors.h"
#include "Displays.h"
#include "Exceptions.h"

#include "SharedClasses.h"
#include "SysUtils.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <algorithm>

TCustomGridViewControl::TCustomGridViewControl(QObject* owner)
    : TScrollView(owner), FColumns(new TColumns(this)) {
    FColumns->OnColumnChange = [this](TColumns*, TCustomColumn* column, TColumnChange kind) {
        ColumnChanged(column, kind);
    };
    FColumns->OnStructureChange = [this](TColumns*, TColumnsChange kind, int, int) {
        ColumnsChanged(kind);
    };
    FPartDisplay = std::make_shared<TColumnPartDisplay>(this, Canvas());
    FPartDisplay->SetGridView(this);
    // A single border is the sunken client edge, two pixels on each side.
    SetFrameWidth(2);
    SetTabStop(true);
    HorzScrollBar()->SetPageStep(10);
    HorzScrollBar()->SetLineStep(5);
    VertScrollBar()->SetPageStep(10);
    SetVertScrollUnit(FRowSize);
    // No rows and no columns yet (the row count is not to be asked before
    // the subclass exists): nothing to scroll.
    VertScrollBar()->SetParams(-1, 0, !FHideScrollBar, false, 1, 0);
    HorzScrollBar()->SetParams(-1, 0, false, true, 5, 0);
    RegisterEvent("OnAfterEdit", OnAfterEdit);
    RegisterEvent("OnApplyCell", OnApplyCell);
    RegisterEvent("OnBeforeEdit", OnBeforeEdit);
    RegisterEvent("OnCellClick", OnCellClick);
    RegisterEvent("OnCellColoring", OnCellColoring);
    RegisterEvent("OnChange", OnChange);
    RegisterEvent("OnCustomDrawCell", OnCustomDrawCell);
    RegisterEvent("OnDrawCellBackground", OnDrawCellBackground);
    RegisterEvent("OnEdit", OnEdit);
    RegisterEvent("OnHeaderClick", OnHeaderClick);
    RegisterEvent("OnInputAccept", OnInputAccept);
    RegisterEvent("OnSelectCell", OnSelectCell);
    RegisterEvent("OnSortColumn", OnSortColumn);
}

TCustomGridViewControl::~TCustomGridViewControl() {
    // Freed while the grid is still whole: the columns' companions may
    // stand on it. The editor belongs to its column.
    FEditor = nullptr;
    delete FColumns;
}

// ----------------------------------------------------------------- properties

void TCustomGridViewControl::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    SetFrameWidth(Value == bsSingle ? 2 : 0);
    update();
}

void TCustomGridViewControl::SetCaption(const AnsiString& Value) {
    FCaption = Value;
    InvalidatePart(gpData);
}

void TCustomGridViewControl::SetGridLinesStyle(TGridLinesStyle Value) {
    FGridLinesStyle = Value;
    Invalidate();
    // Vertical lines take a cell's last pixel: the editor follows.
    UpdateEditor();
}

void TCustomGridViewControl::SetGridStyle(TGridStyle Value) {
    if (Value == gsSlides) {
        HideEditor();
        SetInputActive(false);
    }
    FGridStyle = Value;
    Invalidate();
    UpdateEditor();
    UpdateVertScrollBar();
}

void TCustomGridViewControl::SetHeaderSize(int Value) {
    FHeaderSize = Value;
    Invalidate();
    UpdateEditor();
}

void TCustomGridViewControl::SetHeaderStyle(THeaderStyle Value) {
    FHeaderStyle = Value;
    // The themed border depends on the header style too.
    update();
}

void TCustomGridViewControl::SetInputSize(int Value) {
    FInputSize = Value;
    Invalidate();
    // The input cells and the rows under them move: so does an open editor.
    UpdateEditor();
}

void TCustomGridViewControl::SetOptions(TGridOptions Value) {
    const bool indicatorChanged = (FOptions ^ Value).testFlag(goIndicator);
    FOptions = Value;
    if (indicatorChanged) LayoutChanged();
    Invalidate();
    UpdateEditor();
    UpdateHorzScrollBar();
}

void TCustomGridViewControl::SetRowSize(int Value) {
    if (Value <= 0) return;
    FRowSize = Value;
    SetVertScrollUnit(GridLineWidth() + Value);
    InvalidatePart(gpData);
    InvalidatePart(gpInput);
    InvalidatePart(gpIndicator);
    UpdateEditor();
}

void TCustomGridViewControl::SetSlideSize(int Value) {
    FSlideSize = Value;
    Invalidate();
}

// -------------------------------------------------------------------- state

bool TCustomGridViewControl::EditorFocused() const {
    if (!FEditor) return false;
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == FEditor || FEditor->isAncestorOf(focus));
}

bool TCustomGridViewControl::GridFocused() const {
    return hasFocus() || EditorFocused();
}

// ----------------------------------------------------------------- geometry

int TCustomGridViewControl::HorzPos() const {
    return HorzScrollBar()->Position();
}

int TCustomGridViewControl::TopRow() const {
    return VertScrollBar()->Position();
}

int TCustomGridViewControl::ColumnsWidth() const {
    return FColumns->VisibleWidth();
}

TRect TCustomGridViewControl::GetHeaderRect() const {
    const int iw = IndicatorSpace();
    return {iw, 0, ColumnsWidth() + iw - HorzPos(), FHeaderSize};
}

TRect TCustomGridViewControl::GetInputRect() const {
    const int iw = IndicatorSpace();
    const int top = FOptions.testFlag(goHeader) ? FHeaderSize : 0;
    return {iw, top, ColumnsWidth() + iw - HorzPos(), top + FInputSize + 6 + GridLineWidth()};
}

TRect TCustomGridViewControl::GetDataRect() const {
    const TRect client = ClientRect();
    if (FGridStyle == gsSlides) return client;
    const int iw = IndicatorSpace();
    int top = 0;
    if (FOptions.testFlag(goHeader)) top += FHeaderSize;
    if (FOptions.testFlag(goInput)) top += FInputSize + 6 + GridLineWidth();
    const int right = std::min(ColumnsWidth() + iw - HorzPos(), client.Width());
    const int bottom = FOptions.testFlag(goFooter)
                           ? client.Height() - (FHeaderSize + 4) - GridLineWidth()
                           : client.Height();
    return {iw, top, right, bottom};
}

TRect TCustomGridViewControl::GetFooterRect() const {
    if (FGridStyle == gsSlides) return {};
    const int iw = IndicatorSpace();
    const int height = ClientRect().Height();
    return {iw, height - (FHeaderSize + 4) - GridLineWidth(), ColumnsWidth() + iw - HorzPos(),
            height};
}

TRect TCustomGridViewControl::GetIndicatorRect() const {
    return {0, 0, IndicatorWidth, ClientRect().Height()};
}

TRect TCustomGridViewControl::GetRowRect(int Row) const {
    const TRect data = GetDataRect();
    const int top = (GridLineWidth() + FRowSize) * (Row - TopRow()) + data.Top;
    return {0, top, data.Right, top + GridLineWidth() + FRowSize};
}

TRect TCustomGridViewControl::GetCellRect(int Col, int Row, int Part) const {
    if (Col < 0 || Col >= FColumns->Count()) return {};
    const TCustomColumn* column = FColumns->Items(Col);
    if (FGridStyle == gsSlides) {
        const TSlideBounds* b = column->SlideBounds();
        const int shift = (GridLineWidth() + FSlideSize) * (Row - TopRow());
        return {b->Left(), b->Top() + shift, b->Left() + b->Width(),
                b->Top() + shift + b->Height()};
    }
    const int left = column->Left() - HorzPos();
    int right = left + column->Width();
    if (FOptions.testFlag(goGrid) && FGridLinesStyle != lsHorizontalOnly) --right;
    int top;
    int bottom;
    if (Part == gpInput) {
        top = GetInputRect().Top;
        bottom = top + FInputSize;
    } else {
        top = GetRowRect(Row).Top;
        bottom = top + FRowSize;
    }
    return {left, top, right, bottom};
}

int TCustomGridViewControl::VisibleRowCount() const {
    const TRect data = GetDataRect();
    return (data.Bottom - data.Top) / (GridLineWidth() + FRowSize);
}

int TCustomGridViewControl::GetHorzRange() const {
    const int width = ClientRect().Width() - IndicatorSpace();
    const int columns = ColumnsWidth();
    return width >= columns ? 0 : columns + IndicatorSpace() - ClientRect().Width();
}

int TCustomGridViewControl::GetMaxTopRow() const {
    return std::max(GetRowCount() - VisibleRowCount(), 0);
}

// ----------------------------------------------------------- column reports

void TCustomGridViewControl::ColumnChanged(TCustomColumn* Column, TColumnChange Kind) {
    if (!WindowCreated() || !Column) return;
    if (Kind == ccInputValue) {
        InvalidateColumnPart(Column, gpInput);
        return;
    }
    Invalidate();
    const bool editing = FEditor && (FState & (CellEditing | InputRowEditing));
    if (editing && (Kind == ccPosition || Kind == ccSort || Kind == ccVisible || Kind == ccWidth))
        UpdateEditor();
    if (Kind == ccWidth) UpdateHorzScrollBar();
    if (Kind == ccSort && Column->Sorted()) {
        const bool ascending = Column->SortKind() == skAscending;
        Sort(Column, ascending);
        DoSortColumn(Column->Index(), ascending);
    }
}

void TCustomGridViewControl::ColumnsChanged(TColumnsChange Kind) {
    if (Kind == scCleared) {
        // The columns are gone; nothing may point at them any more.
        FPressedColumn = nullptr;
        FHotColumn = nullptr;
    } else if (FEditor && (FState & (CellEditing | InputRowEditing))) {
        UpdateEditor();
    }
    Invalidate();
}

bool TCustomGridViewControl::WindowCreated() const {
    return testAttribute(Qt::WA_WState_Created);
}

// ---------------------------------------------------------- colours, states

bool TCustomGridViewControl::EditorOpenOn(int Col, int Row) const {
    return FEditor && FState.testFlag(CellEditing) && FEditCol == Col && FEditRow == Row;
}

bool TCustomGridViewControl::IsCellSelected(int Col, int Row) const {
    if (FInputActive) return false;
    if (!GridFocused() && !FOptions.testFlag(goAlwaysShowSelection)) return false;
    const bool current = Col == FCol && Row == FRow;
    if (FOptions.testFlag(goSelectFullRow)) {
        // Rows without a flag (past the data) are never selected.
        if (Row < 0 || Row >= RowSelectionCount() || !FRowSelection[std::size_t(Row)]) return false;
        if (!current) return true;
        if (FOptions.testFlag(goAlwaysIndicateSelected)) return false;
        return !EditorOpenOn(Col, Row);
    }
    return current && !EditorOpenOn(Col, Row);
}

TColor TCustomGridViewControl::GetCellColor(int Col, int Row) const {
    const TColor own = GetCellBackground(Col, Row);
    if (!IsCellSelected(Col, Row)) return own;
    if (!GridFocused()) return clBtnFace;
    if (!FOptions.testFlag(goAlphaBlendedSelection)) return clHighlight;
    return TGraphicsProvider::Blend(Color(), clHighlight, 0.25);
}

TColor TCustomGridViewControl::GetCellTextColor(int Col, int Row) const {
    if (IsCellSelected(Col, Row) && GridFocused() && FOptions.testFlag(goHighlightTextSelection))
        return clHighlightText;
    return FColumns->Items(Col)->Font()->Color();
}

bool TCustomGridViewControl::PrepareCell(int Col, int Row) {
    TFont* font = Canvas()->Font();
    font->Assign(*FColumns->Items(Col)->Font());
    font->SetColor(GetCellTextColor(Col, Row));
    if (IsCellSelected(Col, Row) && FOptions.testFlag(goBoldTextSelection))
        font->SetStyle(font->Style() | TFont::fsBold);
    return false;
}

bool TCustomGridViewControl::CanEditColumn(int Col) const {
    return Col >= 0 && Col < FColumns->Count() &&
           FColumns->Items(Col)->Options().testFlag(coEditing);
}

bool TCustomGridViewControl::AcceptEdit() {
    return false;
}

// ---------------------------------------------------------- current cell

void TCustomGridViewControl::Clear() {
    const int oldCol = FCol;
    const int oldRow = FRow;
    FCol = 0;
    FRow = 0;
    // The old current cell loses its focus frame wherever it was.
    if (oldCol != 0 || oldRow != 0) InvalidateCell(oldCol, oldRow);
}

void TCustomGridViewControl::Select(int Col, int Row, TShiftState Shift) {
    const int oldCol = FCol;
    const int oldRow = FRow;
    FCol = Col;
    FRow = Row;
    const bool multi = FOptions.testFlag(goMultiSelect) && FOptions.testFlag(goSelectFullRow);
    if (multi && (Shift & ssCtrl)) {
        // The toggled row becomes the anchor of the next Shift step.
        FAnchorRow = Row;
        FState |= MultiRowSelection;
        SetRowSelected(Row, !RowFlag(Row));
    } else if (multi && (Shift & ssShift)) {
        FState |= MultiRowSelection;
        SelectRowRange(std::min(FAnchorRow, Row), std::max(FAnchorRow, Row));
    } else {
        // Row operations carry the flags along with their rows while the
        // current row index stays, and a tool may flag rows of its own: the
        // old row's flag is then not the only one.
        if (FState.testFlag(MultiRowSelection) || FSelectedRowCount > (RowFlag(oldRow) ? 1 : 0))
            ClearRowSelection();
        else
            SetRowSelected(oldRow, false);
        SetRowSelected(Row, true);
        FAnchorRow = Row;
    }

    if (FInputActive) {
        // Only the input cells show the current column now.
        InvalidateColumnPart(ColumnAt(oldCol), gpInput);
        InvalidateColumnPart(ColumnAt(Col), gpInput);
        return;
    }
    const QPointer<TCustomGridViewControl> alive(this);
    DoSelectCell(Col, Row);
    if (!alive) return;
    if (Col == oldCol && Row == oldRow) return;
    if (FGridStyle == gsSlides) {
        Invalidate();
        return;
    }
    if (FOptions.testFlag(goSelectFullRow)) {
        InvalidateRow(oldRow, false);
        InvalidateRow(Row, false);
    } else if (FOptions.testFlag(goIndicator)) {
        InvalidatePart(gpIndicator);
    }
    InvalidateCell(oldCol, oldRow);
    InvalidateCell(Col, Row);
}

TCustomColumn* TCustomGridViewControl::ColumnAt(int Col) const {
    return Col >= 0 && Col < FColumns->Count() ? FColumns->Items(Col) : nullptr;
}

bool TCustomGridViewControl::RowFlag(int Row) const {
    return Row >= 0 && Row < RowSelectionCount() && FRowSelection[std::size_t(Row)] != 0;
}

void TCustomGridViewControl::SelectRowRange(int First, int Last) {
    const int count = RowSelectionCount();
    First = std::max(First, 0);
    Last = std::min(Last, count - 1);
    TRowFlagWriter writer(*this);
    const int inside = std::max(Last - First + 1, 0);
    for (int r = First; r <= Last; ++r)
        writer.Set(r, true);
    // Flags outside the range are looked for only while some are left:
    // a range that grows from the anchor walks no rows outside it.
    for (int r = 0; r < First && FSelectedRowCount > inside; ++r)
        writer.Set(r, false);
    for (int r = std::max(Last + 1, 0); r < count && FSelectedRowCount > inside; ++r)
        writer.Set(r, false);
}

// ------------------------------------------------------------ invalidation

void TCustomGridViewControl::InvalidatePart(int Part) {
    switch (Part) {
    case gpData:
        InvalidateRect(GetDataRect());
        break;
    case gpFooter:
        if (FOptions.testFlag(goFooter)) InvalidateRect(GetFooterRect());
        break;
    case gpHeader:
        if (FOptions.testFlag(goHeader)) InvalidateRect(GetHeaderRect());
        break;
    case gpIndicator:
        if (FOptions.testFlag(goIndicator)) InvalidateRect(GetIndicatorRect());
        break;
    case gpInput:
        if (FOptions.testFlag(goInput)) InvalidateRect(GetInputRect());
        break;
    default:
        break;
    }
}

void TCustomGridViewControl::InvalidateColumnPart(TCustomColumn* Column, int Part) {
    if (!Column) return;
    TRect band;
    switch (Part) {
    case gpData:
        band = GetDataRect();
        break;
    case gpFooter:
        band = GetFooterRect();
        break;
    case gpHeader:
        band = GetHeaderRect();
        break;
    case gpIndicator:
        band = GetIndicatorRect();
        break;
    case gpInput:
        band = GetInputRect();
        break;
    default:
        return;
    }
    const int left = Column->Left() - HorzPos();
    InvalidateRect({left, band.Top, left + Column->Width(), band.Bottom});
}

void TCustomGridViewControl::InvalidateCell(int Col, int Row) {
    // A row out of view has no pixels to repaint (the one after the last
    // whole row may be partly shown).
    if (FGridStyle == gsReport && (Row < TopRow() || Row - TopRow() > VisibleRowCount())) return;
    const TRect r = GetCellRect(Col, Row, gpData);
    if (r.IsEmpty()) return;
    const int gl = GridLineWidth();
    InvalidateRect({r.Left, r.Top, r.Right + gl, r.Bottom + gl});
}

void TCustomGridViewControl::InvalidateRow(int Row, bool KeepInterior) {
    if (GetRowCount() == 0) return;
    // A row out of view has nothing on the screen to repaint; the row flags
    // of a long selection change without a rectangle each. The row after
    // the last whole one may be partly shown.
    const int top = TopRow();
    if (Row < top || Row - top > VisibleRowCount()) return;
    const TRect row = GetRowRect(Row);
    const TRect r{0, row.Top, GetDataRect().Right, row.Bottom};
    if (!KeepInterior) {
        InvalidateRect(r);
        return;
    }
    // Only the outline: the four one-pixel edges.
    InvalidateRect({r.Left, r.Top, r.Right, r.Top + 1});
    InvalidateRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    InvalidateRect({r.Left, r.Top, r.Left + 1, r.Bottom});
    InvalidateRect({r.Right - 1, r.Top, r.Right, r.Bottom});
}

void TCustomGridViewControl::InvalidateSelection() {
    if (FInputActive) InvalidatePart(gpInput);
    const int rows = GetRowCount();
    if (FColumns->Count() == 0 || rows == 0) return;
    if (!FOptions.testFlag(goSelectFullRow)) {
        InvalidateCell(FCol, FRow);
        return;
    }
    // Only the rows in view, the partly shown last one included.
    const int last = std::min(rows - 1, TopRow() + VisibleRowCount());
    const int flags = RowSelectionCount();
    for (int r = std::max(TopRow(), 0); r <= last && r < flags; ++r)
        if (FRowSelection[std::size_t(r)]) InvalidateRow(r, false);
}

void TCustomGridViewControl::SetInputActive(bool Value) {
    FInputActive = Value;
    InvalidatePart(gpInput);
    InvalidatePart(gpIndicator);
    InvalidateSelection();
}

// --------------------------------------------------------- row selection

void TCustomGridViewControl::RowsChanged(int Kind, int Index, int NewIndex) {
    const int count = RowSelectionCount();
    switch (Kind) {
    case rcAdded:
    case rcAppended:
        if (Index > 0) FRowSelection.insert(FRowSelection.end(), std::size_t(Index), 0);
        break;
    case rcCleared:
        FRowSelection.clear();
        FSelectedRowCount = 0;
        break;
    case rcDeleted:
        if (Index >= 0 && Index < count) {
            if (FRowSelection[std::size_t(Index)]) --FSelectedRowCount;
            FRowSelection.erase(FRowSelection.begin() + Index);
        }
        break;
    case rcInserted:
        FRowSelection.insert(FRowSelection.begin() + std::clamp(Index, 0, count), 0);
        // The current record stays current: it moved down when the new row
        // went in at or above it.
        if (Index <= FRow) Select(FCol, FRow + 1, 0);
        break;
    case rcMoved:
        if (Index >= 0 && Index < count && NewIndex >= 0 && NewIndex < count && Index != NewIndex) {
            const std::uint8_t flag = FRowSelection[std::size_t(Index)];
            FRowSelection.erase(FRowSelection.begin() + Index);
            FRowSelection.insert(FRowSelection.begin() + NewIndex, flag);
        }
        break;
    default:
        break;
    }
}

bool TCustomGridViewControl::GetRowSelected(int Row) const {
    if (Row < 0 || Row >= RowSelectionCount()) ListIndexError(Row);
    return FRowSelection[std::size_t(Row)] != 0;
}

void TCustomGridViewControl::SetRowSelected(int Row, bool Value) {
    if (StoreRowFlag(Row, Value) && FOptions.testFlag(goSelectFullRow)) InvalidateRow(Row, false);
}

bool TCustomGridViewControl::StoreRowFlag(int Row, bool Value) {
    if (Row < 0 || Row >= RowSelectionCount()) return false;
    std::uint8_t& flag = FRowSelection[std::size_t(Row)];
    if ((flag != 0) == Value) return false;
    flag = Value ? 1 : 0;
    FSelectedRowCount += Value ? 1 : -1;
    return true;
}

TCustomGridViewControl::TRowFlagWriter::TRowFlagWriter(TCustomGridViewControl& Grid)
    : FGrid(Grid), FRepaint(Grid.FOptions.testFlag(goSelectFullRow) && Grid.GetRowCount() > 0),
      FFirst(Grid.TopRow()), FLast(FRepaint ? Grid.TopRow() + Grid.VisibleRowCount() : -1) {}

void TCustomGridViewControl::TRowFlagWriter::Set(int Row, bool Value) {
    // The rows in view are found once for the whole walk: a flag out of
    // view changes without a look at the screen.
    if (FGrid.StoreRowFlag(Row, Value) && Row >= FFirst && Row <= FLast)
        FGrid.InvalidateRow(Row, false);
}

void TCustomGridViewControl::ClearRowSelection() {
    TRowFlagWriter writer(*this);
    for (int r = 0; FSelectedRowCount > 0 && r < RowSelectionCount(); ++r)
        writer.Set(r, false);
    FState &= ~TGridState(MultiRowSelection);
}

// ------------------------------------------------------------- scroll bars

void TCustomGridViewControl::UpdateVertScrollBar() {
    TControlScrollBar* bar = VertScrollBar();
    if (FGridStyle == gsSlides) {
        const int max = GetRowCount() - ClientRect().Height() / (GridLineWidth() + FSlideSize);
        bar->SetParams(-1, 0, true, max > 0, 1, max);
        return;
    }
    const int max = GetMaxTopRow();
    bar->SetParams(-1, 0, !(FHideScrollBar && max < 1), max > 0, 1, max);
}

void TCustomGridViewControl::UpdateHorzScrollBar() {
    TControlScrollBar* bar = HorzScrollBar();
    if (FGridStyle == gsSlides) {
        bar->SetVisible(false);
        return;
    }
    const int max = GetHorzRange();
    bar->SetParams(-1, 0, max > 0, true, 5, max);
    bar->SetPageStep(RoundBankers(ClientRect().Width() * 0.05));
}

void TCustomGridViewControl::UpdateScrollRects() {
    const TRect client = ClientRect();
    if (FGridStyle == gsSlides) {
        SetHorzScrollRect(client);
        SetVertScrollRect(client);
        return;
    }
    const TRect data = GetDataRect();
    SetHorzScrollRect({data.Left, 0, client.Width(), client.Height()});
    SetVertScrollRect({0, data.Top, data.Right, data.Bottom});
}

void TCustomGridViewControl::ScrollPositionChanged(int Kind) {
    (void)Kind;
    // The content moves inside the bands as they stand now.
    UpdateScrollRects();
}

void TCustomGridViewControl::WMSize() {
    // Before the window exists (the grid may still be under construction)
    // the first paint sets the bars.
    if (!WindowCreated()) return;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
}

void TCustomGridViewControl::focusInEvent(QFocusEvent* event) {
    TScrollView::focusInEvent(event);
    FocusChanged();
}

void TCustomGridViewControl::focusOutEvent(QFocusEvent* event) {
    TScrollView::focusOutEvent(event);
    FocusChanged();
}

void TCustomGridViewControl::FocusChanged() {
    // The selection colours, the focus frame and the input cells depend on
    // the focus.
    InvalidateSelection();
    if (FOptions.testFlag(goSelectFullRow)) InvalidateRow(FRow, false);
    InvalidatePart(gpInput);
}

// ----------------------------------------------------------------- dispatch

void TCustomGridViewControl::DoAfterEdit(int ACol, int ARow, const WideString& Value,
                                         bool& Accept) {
    OnAfterEdit(this, ACol, ARow, Value, Accept);
}

void TCustomGridViewControl::DoApplyCell(int ACol, int ARow, WideString& Value) {
    OnApplyCell(this, ACol, ARow, Value);
}

void TCustomGridViewControl::DoBeforeEdit(int ACol, int ARow, bool& Accept) {
    OnBeforeEdit(this, ACol, ARow, Accept);
}

void TCustomGridViewControl::DoCellClick(int ACol, int ARow) {
    OnCellClick(this, ACol, ARow);
}

void TCustomGridViewControl::DoCellColoring(int ACol, int ARow, TColor& CellColor,
                                            TColor& GridColor, TCellState CellState) {
    OnCellColoring(this, ACol, ARow, CellColor, GridColor, CellState);
}

void TCustomGridViewControl::DoChange(int ACol, int ARow) {
    OnChange(this, ACol, ARow);
}

void TCustomGridViewControl::DoCustomDrawCell(int ACol, int ARow, TRect& CellRect,
                                              TCellState CellState) {
    OnCustomDrawCell(this, ACol, ARow, CellRect, CellState);
}

void TCustomGridViewControl::DoDrawCellBackground(int ACol, int ARow, TRect& CellRect,
                                                  TCellState CellState, bool& DefaultDrawing) {
    OnDrawCellBackground(this, ACol, ARow, CellRect, CellState, DefaultDrawing);
}

void TCustomGridViewControl::DoEdit(int ACol, int ARow, const WideString& Value) {
    OnEdit(this, ACol, ARow, Value);
}

void TCustomGridViewControl::DoHeaderClick(int ACol) {
    OnHeaderClick(this, ACol);
}

void TCustomGridViewControl::DoInputAccept(bool& Accept) {
    OnInputAccept(this, Accept);
}

void TCustomGridViewControl::DoSelectCell(int ACol, int ARow) {
    OnSelectCell(this, ACol, ARow);
}

void TCustomGridViewControl::DoSortColumn(int ACol, bool Ascending) {
    OnSortColumn(this, ACol, Ascending);
}

// ================================================================ painting

bool TCustomGridViewControl::Themed() const {
    return ThemesActive() && FHeaderStyle == hsAuto;
}

void TCustomGridViewControl::Paint() {
    TScrollView::Paint();
    if (FState.testFlag(ColumnResizing)) return;
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    const int gl = GridLineWidth();
    if (FGridStyle == gsSlides) {
        UpdateScrollRects();
        SetVertScrollUnit(gl + FSlideSize);
        PaintSlides(client);
        UpdateVertScrollBar();
        return;
    }
    UpdateScrollRects();
    UpdateVertScrollBar();
    SetVertScrollUnit(gl + FRowSize);
    PaintParts();
    const TRect data = GetDataRect();
    const int width = client.Width();
    const int height = client.Height();
    if (ColumnsWidth() - HorzPos() < width) {
        // The ground right of the last column.
        c->Brush = TBrush{Color(), bsSolid};
        if (Themed()) {
            PaintThemedHeaderFiller({data.Right, 0, width, GetHeaderRect().Bottom});
            c->Brush = TBrush{Color(), bsSolid};
            c->FillRect({data.Right, GetInputRect().Top, width, height});
            c->FillRect({data.Right, data.Bottom, width, height});
        } else {
            c->FillRect({data.Right, 0, width, height});
        }
    }
    if (GetRowCount() == 0 && !FCaption.isEmpty()) {
        const QString text = AnsiToWide(FCaption);
        c->Font()->Assign(*Font());
        c->Brush.Style = bsClear;
        const int top = data.Top + 4;
        TRect r{0, top, width, top + c->TextHeight(text)};
        c->DrawText(text, r, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        c->Brush.Style = bsSolid;
    }
    UpdateHorzScrollBar();
}

void TCustomGridViewControl::PaintButtonFace(const TRect& Rect) {
    TGraphicsProvider::ButtonFace(Canvas(), Rect, FHeaderStyle == hsOldStyle);
}

void TCustomGridViewControl::PaintStrip(const TRect& Rect) {
    if (Themed())
        DrawThemed(this, Canvas(), QStringLiteral("rebar"), 0, 1, Rect);
    else
        PaintButtonFace(Rect);
}

void TCustomGridViewControl::PaintParts() {
    TCanvas* c = Canvas();
    const int width = ClientRect().Width();
    const TRect data = GetDataRect();
    // The column bands, in display order, as far as they reach into view.
    int x = data.Left - HorzPos();
    for (int i = 0; i < FColumns->Count() && x < width; ++i) {
        TCustomColumn* column = FColumns->DisplayItems(i);
        if (!column->Visible()) continue;
        x += column->Width();
        if (x <= 0) continue;
        if (FOptions.testFlag(goHeader)) {
            c->Font()->Assign(*Font());
            PaintColumnPart(column, 1);
        }
        if (FOptions.testFlag(goInput)) PaintColumnPart(column, 4);
        if (FOptions.testFlag(goFooter)) PaintColumnPart(column, 0);
    }
    const TRect input = GetInputRect();
    const TRect footer = GetFooterRect();
    if (FOptions.testFlag(goInput)) PaintStrip({0, input.Bottom - 6, input.Right, input.Bottom});
    if (FOptions.testFlag(goFooter))
        PaintStrip({footer.Left - HorzPos(), footer.Top, footer.Right, footer.Top + 4});
    if (FOptions.testFlag(goIndicator)) {
        if (FOptions.testFlag(goInput)) {
            c->Brush = TBrush{Color(), bsSolid};
            c->FillRect({0, input.Top, IndicatorWidth, input.Bottom - 6});
        }
        if (FOptions.testFlag(goFooter))
            PaintButtonFace({0, footer.Top, IndicatorWidth, footer.Bottom});
        if (FOptions.testFlag(goHeader)) {
            const TRect corner{0, 0, IndicatorWidth, FHeaderSize};
            if (Themed())
                PaintThemedHeaderItem(corner);
            else
                PaintButtonFace(corner);
        }
    }
    PaintRows();
}

void TCustomGridViewControl::PaintRows() {
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    const TRect data = GetDataRect();
    TRect rowsClip = data;
    if (FOptions.testFlag(goIndicator)) rowsClip.Left = 0;
    c->SetClipRect(rowsClip);
    // The columns in view, in display order; the same for every row.
    const int horz = HorzPos();
    std::vector<int> shown;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TCustomColumn* column = FColumns->DisplayItems(i);
        // A hidden column keeps the offset it had when last shown: only a
        // visible one tells where the row ends.
        if (!column->Visible()) continue;
        if (column->Left() - horz > client.Width()) break;
        if (column->Left() + column->Width() - horz < 0) continue;
        shown.push_back(column->Index());
    }
    const int rows = GetRowCount();
    const int step = GridLineWidth() + FRowSize;
    int y = data.Top;
    int row = TopRow();
    do {
        for (int col : shown) {
            if (row >= rows)
                PaintEmptyCell(col, row);
            else
                DrawCell(col, row);
        }
        if (FOptions.testFlag(goIndicator)) {
            // Kept inside the data rows: a row half under the footer must
            // not draw over the footer's corner.
            c->SetClipRect(rowsClip);
            PaintIndicatorCell(row);
        }
        y += step;
        ++row;
    } while (y < data.Bottom);
    if (FOptions.testFlag(goSelectFullRow)) {
        c->SetClipRect(rowsClip);
        PaintFocusRect();
    }
    c->SetClipRect(client);
}

void TCustomGridViewControl::PaintEmptyCell(int Col, int Row) {
    TCanvas* c = Canvas();
    const TRect rect = GetCellRect(Col, Row, gpData);
    if (!TCalcProvider::RectsOverlap(rect, c->ClipRect())) return;
    TColor cellColor = Color();
    TColor gridColor = clBtnFace;
    DoCellColoring(Col, Row, cellColor, gridColor, TCellState());
    const int gl = GridLineWidth();
    c->SetClipRect(
        {rect.Left, rect.Top, rect.Right + gl, std::min(rect.Bottom + gl, GetDataRect().Bottom)});
    if (FOptions.testFlag(goGrid)) PaintGridLines(Col, Row, rect, gridColor);
    c->Brush = TBrush{cellColor, bsSolid};
    c->FillRect(rect);
    c->SetClipRect(ClientRect());
}

void TCustomGridViewControl::PaintIndicatorCell(int Row) {
    const int k = Row - TopRow();
    const int step = GridLineWidth() + FRowSize;
    const int top = GetDataRect().Top + k * step;
    const int rows = GetRowCount();
    const bool current = Row == FRow && rows > 0;
    const bool selected = Row < rows && Row < RowSelectionCount() && GetRowSelected(Row);
    TGraphicsProvider::IndicatorCell(Canvas(), {0, top, IndicatorWidth, top + step},
                                     FHeaderStyle == hsOldStyle, selected, current);
}

void TCustomGridViewControl::DrawCell(int Col, int Row) {
    TCustomColumn* column = FColumns->Items(Col);
    if (!column->Visible()) return;
    TCanvas* c = Canvas();
    TCellState state;
    TColor gridColor = clBtnFace;
    bool defaultDrawing = true;
    TRect rect = GetCellRect(Col, Row, gpData);
    if (!TCalcProvider::RectsOverlap(rect, c->ClipRect())) return;
    c->Font()->Assign(*column->Font());
    TColor cellColor = GetCellColor(Col, Row);
    const bool selected = IsCellSelected(Col, Row);
    if (selected) {
        state |= csSelected;
        if (GridFocused() && !FOptions.testFlag(goHideFocus)) state |= csFocused;
    }
    DoCellColoring(Col, Row, cellColor, gridColor, state);
    if (FOptions.testFlag(goIndicateSortedColumn) && column->Sorted() && !selected)
        cellColor = RGB(245, 245, 245);
    const int gl = GridLineWidth();
    const TRect clip{rect.Left, rect.Top, rect.Right + gl,
                     std::min(rect.Bottom + gl, GetDataRect().Bottom)};
    c->SetClipRect(clip);
    if (FOptions.testFlag(goGrid) && FGridStyle == gsReport)
        PaintGridLines(Col, Row, rect, gridColor);
    DoDrawCellBackground(Col, Row, rect, state, defaultDrawing);
    if (defaultDrawing) FillCellBackground(column, rect, cellColor, EditorOpenOn(Col, Row));
    const bool current = Col == FCol && Row == FRow;
    const TDrawingOptions drawing = column->DrawingOptions();
    if ((drawing == doNormal || drawing == doCustom) && PrepareCell(Col, Row))
        PaintCellContent(column, Col, Row, rect, selected, current);
    if (drawing != doNormal) DoCustomDrawCell(Col, Row, rect, state);
    // Only the current cell carries the frame, and the clip is this cell.
    if (!FOptions.testFlag(goSelectFullRow) && current) PaintFocusRect();
    c->SetClipRect(ClientRect());
}

void TCustomGridViewControl::PaintGridLines(int Col, int Row, const TRect& Rect, TColor GridColor) {
    TCanvas* c = Canvas();
    const bool framed = FGridLinesStyle == lsFramed;
    const int rows = GetRowCount();
    c->Pen = TPen{};
    c->Pen.Color = framed && Row + 1 == rows ? clBlack : GridColor;
    c->MoveTo(Rect.Left, Rect.Bottom);
    c->LineTo(Rect.Right, Rect.Bottom);
    if (FGridLinesStyle == lsHorizontalOnly) return;
    const bool lastColumn =
        FColumns->Items(Col)->VisiblePlace() == 3 || FColumns->Items(Col)->VisiblePlace() == 0;
    c->Pen.Color = framed && lastColumn && Row < rows ? clBlack : GridColor;
    c->MoveTo(Rect.Right, Rect.Top);
    c->LineTo(Rect.Right, Rect.Bottom + 1);
}

TRect TCustomGridViewControl::FocusRect() const {
    const int rows = GetRowCount();
    if (FCol < 0 || FRow < 0 || FCol >= FColumns->Count() || FRow >= rows) return {};
    if (FInputActive || !GridFocused() || FOptions.testFlag(goHideFocus)) return {};
    const TRect data = GetDataRect();
    TRect r;
    if (!FOptions.testFlag(goSelectFullRow)) {
        r = GetCellRect(FCol, FRow, gpData);
    } else {
        const TRect row = GetRowRect(FRow);
        const int gl = GridLineWidth();
        r = {data.Left - HorzPos(), row.Top, data.Left + ColumnsWidth() - HorzPos() - gl,
             row.Bottom - gl};
    }
    if (!TCalcProvider::RectsOverlap(r, data)) return {};
    return r;
}

void TCustomGridViewControl::PaintFocusRect() {
    const TRect r = FocusRect();
    if (r.IsEmpty()) return;
    TCanvas* c = Canvas();
    const TBrush brush = c->Brush;
    TGraphicsProvider::FocusFrame(c, r, FOptions.testFlag(goAlphaBlendedSelection));
    c->Brush = brush;
}

void TCustomGridViewControl::PaintSlides(const TRect& Rect) {
    TCanvas* c = Canvas();
    const int width = ClientRect().Width();
    const int gl = GridLineWidth();
    const int rows = GetRowCount();
    int y = Rect.Top;
    for (int row = TopRow(); row < rows; ++row) {
        const TRect slide{0, y, width, y + FSlideSize};
        c->SetClipRect({slide.Left, slide.Top, slide.Right, slide.Bottom + gl});
        c->Font()->SetColor(Font()->Color());
        c->Brush = TBrush{Color(), bsSolid};
        c->FillRect(slide);
        for (int col = 0; col < FColumns->Count(); ++col)
            if (FColumns->Items(col)->Visible()) DrawCell(col, row);
        if (row == FRow) {
            c->Brush = TBrush{clHighlight, bsSolid};
            c->FrameRect(TCalcProvider::OffsetEdges(slide, 1, 1, -1, -1));
            c->FrameRect(TCalcProvider::OffsetEdges(slide, 2, 2, -2, -2));
        }
        y += gl + FSlideSize;
        if (y >= Rect.Bottom) break;
        if (FOptions.testFlag(goGrid)) {
            c->Pen = TPen{};
            c->Pen.Color = clBtnFace;
            c->MoveTo(0, y - 1);
            c->LineTo(width, y - 1);
        }
    }
    if (y < Rect.Bottom) {
        c->SetClipRect(ClientRect());
        c->Brush = TBrush{Color(), bsSolid};
        c->FillRect({Rect.Left, y, Rect.Right, Rect.Bottom});
    }
}

void TCustomGridViewControl::PaintFrame() {
    if (!(ThemesActive() && FBorderStyle == bsSingle && FHeaderStyle == hsAuto)) {
        TScrollView::PaintFrame();
        return;
    }
    // The list view's themed edge over the frame only.
    TCanvas* c = Canvas();
    const TRect outer{0, 0, width(), height()};
    const int f = FrameWidth();
    c->SetClipRect(outer);
    c->ExcludeClipRect(TCalcProvider::OffsetEdges(outer, f, f, -f, -f));
    DrawThemed(this, c, QStringLiteral("listview"), 1, 0, outer);
    c->ClearClip();
}

// ------------------------------------------------- the column painters' calls
//
// The header, input and footer cells are drawn by the shared part painter,
// the data cells' content by the column's display. These are the only
// places that call them.

void TCustomGridViewControl::PaintColumnPart(TCustomColumn* Column, int Kind) {
    TColumnPartDisplay& painter = *FPartDisplay;
    painter.SetRightToLeft(BiDiMode() != bdLeftToRight);
    painter.SetColumn(Column);
    TPartState state;
    if (FInputActive) state |= psInputActive;
    if (GridFocused()) state |= psGridFocused;
    painter.SetState(state);
    painter.SetPartRect(Column->GetPartRect(Kind));
    painter.PaintPart(Kind);
}

void TCustomGridViewControl::PaintThemedHeaderItem(const TRect& Rect) {
    FPartDisplay->DrawThemedHeaderItem(Rect);
}

void TCustomGridViewControl::PaintThemedHeaderFiller(const TRect& Rect) {
    FPartDisplay->DrawThemedHeaderFiller(Rect);
}

void TCustomGridViewControl::FillCellBackground(TCustomColumn* Column, const TRect& Rect,
                                                TColor Color, bool FrameOnly) {
    TCanvas* c = Canvas();
    TColumnDisplay* display = Column->Display();
    if (!display) {
        c->Brush = TBrush{Color, bsSolid};
        if (FrameOnly)
            c->FrameRect(Rect);
        else
            c->FillRect(Rect);
        return;
    }
    // The display paints on the grid's canvas into this cell from now on.
    display->Canvas = c;
    display->RightToLeft = BiDiMode() != bdLeftToRight;
    display->CellRect = Rect;
    display->FillBackground(Color, !FrameOnly);
}

void TCustomGridViewControl::PaintCellContent(TCustomColumn* Column, int Col, int Row,
                                              const TRect& Rect, bool Selected, bool Current) {
    (void)Col;
    (void)Row;
    TColumnDisplay* display = Column->Display();
    if (!display) return;
    display->Canvas = Canvas();
    display->RightToLeft = BiDiMode() != bdLeftToRight;
    display->CellRect = Rect;
    display->Selected = Selected;
    display->Focused = Current;
    display->Paint();
}
