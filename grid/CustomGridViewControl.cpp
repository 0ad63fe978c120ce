#include "CustomGridViewControl.h"

#include "CellEditors.h"
#include "Displays.h"
#include "Exceptions.h"

#include <QApplication>

TCustomGridViewControl::TCustomGridViewControl(QObject* owner)
    : TScrollView(owner), FColumns(new TColumns(this)) {
    FColumns->OnColumnChange = [this](TColumns*, TCustomColumn* column, TColumnChange kind) {
        ColumnChanged(column, kind);
    };
    FColumns->OnStructureChange = [this](TColumns*, TColumnsChange kind, int, int) {
        ColumnsChanged(kind);
    };
    SetFrameWidth(1);
    SetTabStop(true);
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
    SetFrameWidth(Value == bsSingle ? 1 : 0);
    update();
}

void TCustomGridViewControl::SetCaption(const AnsiString& Value) {
    FCaption = Value;
    InvalidatePart(gpData);
}

void TCustomGridViewControl::SetGridLinesStyle(TGridLinesStyle Value) {
    FGridLinesStyle = Value;
    Invalidate();
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
    SetVertScrollUnit(Value);
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

// ------------------------------------------------------------------- stubs

void TCustomGridViewControl::ColumnChanged(TCustomColumn* Column, TColumnChange Kind) {
    (void)Column;
    (void)Kind;
    Invalidate();
}

void TCustomGridViewControl::ColumnsChanged(TColumnsChange Kind) {
    (void)Kind;
    Invalidate();
}

void TCustomGridViewControl::DrawCell(int Col, int Row) {
    (void)Col;
    (void)Row;
}

bool TCustomGridViewControl::PrepareCell(int Col, int Row) {
    (void)Col;
    (void)Row;
    return false;
}

void TCustomGridViewControl::PaintParts() {}
void TCustomGridViewControl::PaintRows() {}
void TCustomGridViewControl::PaintSlides(const TRect& Rect) {
    (void)Rect;
}

void TCustomGridViewControl::InvalidatePart(int Part) {
    (void)Part;
    Invalidate();
}

void TCustomGridViewControl::InvalidateCell(int Col, int Row) {
    (void)Col;
    (void)Row;
    Invalidate();
}

void TCustomGridViewControl::UpdateHorzScrollBar() {}
void TCustomGridViewControl::UpdateVertScrollBar() {}

bool TCustomGridViewControl::AcceptEdit() {
    return false;
}

TColor TCustomGridViewControl::GetCellColor(int Col, int Row) const {
    return GetCellBackground(Col, Row);
}

TColor TCustomGridViewControl::GetCellTextColor(int Col, int Row) const {
    (void)Row;
    return FColumns->Items(Col)->Font()->Color();
}

bool TCustomGridViewControl::CanEditColumn(int Col) const {
    return Col >= 0 && Col < FColumns->Count() &&
           FColumns->Items(Col)->Options().testFlag(coEditing);
}

void TCustomGridViewControl::Clear() {
    FCol = 0;
    FRow = 0;
}

void TCustomGridViewControl::InvalidateColumnPart(TCustomColumn* Column, int Part) {
    (void)Column;
    (void)Part;
    Invalidate();
}

void TCustomGridViewControl::Select(int Col, int Row, TShiftState Shift) {
    (void)Shift;
    FCol = Col;
    FRow = Row;
    DoSelectCell(Col, Row);
}

void TCustomGridViewControl::InvalidateRow(int Row, bool KeepInterior) {
    (void)Row;
    (void)KeepInterior;
    Invalidate();
}

void TCustomGridViewControl::InvalidateSelection() {
    Invalidate();
}

void TCustomGridViewControl::SetInputActive(bool Value) {
    FInputActive = Value;
    Invalidate();
}

void TCustomGridViewControl::RowsChanged(int Kind, int Index, int NewIndex) {
    (void)Kind;
    (void)Index;
    (void)NewIndex;
}

bool TCustomGridViewControl::GetRowSelected(int Row) const {
    if (Row < 0 || Row >= RowSelectionCount()) ListIndexError(Row);
    return FRowSelection[static_cast<std::size_t>(Row)] != 0;
}

void TCustomGridViewControl::SetRowSelected(int Row, bool Value) {
    if (Row < 0 || Row >= RowSelectionCount()) return;
    FRowSelection[static_cast<std::size_t>(Row)] = Value ? 1 : 0;
}

void TCustomGridViewControl::ClearRowSelection() {
    for (auto& flag : FRowSelection)
        flag = 0;
    FState &= ~TGridState(MultiRowSelection);
}

bool TCustomGridViewControl::IsCellSelected(int Col, int Row) const {
    return Col == FCol && Row == FRow;
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

// ----------------------------------------------------------------- painting

void TCustomGridViewControl::Paint() {}
void TCustomGridViewControl::PaintFrame() {
    TScrollView::PaintFrame();
}
void TCustomGridViewControl::WMSize() {}
void TCustomGridViewControl::ScrollPositionChanged(int Kind) {
    (void)Kind;
}
void TCustomGridViewControl::focusInEvent(QFocusEvent* event) {
    TScrollView::focusInEvent(event);
    Invalidate();
}
void TCustomGridViewControl::focusOutEvent(QFocusEvent* event) {
    TScrollView::focusOutEvent(event);
    Invalidate();
}
void TCustomGridViewControl::PaintButtonFace(const TRect& Rect) {
    (void)Rect;
}
void TCustomGridViewControl::PaintStrip(const TRect& Rect) {
    (void)Rect;
}
void TCustomGridViewControl::PaintEmptyCell(int Col, int Row) {
    (void)Col;
    (void)Row;
}
void TCustomGridViewControl::PaintIndicatorCell(int Row) {
    (void)Row;
}
void TCustomGridViewControl::PaintGridLines(int Col, int Row, const TRect& Rect, TColor GridColor) {
    (void)Col;
    (void)Row;
    (void)Rect;
    (void)GridColor;
}
void TCustomGridViewControl::PaintFocusRect() {}
TRect TCustomGridViewControl::FocusRect() const {
    return {};
}
bool TCustomGridViewControl::Themed() const {
    return false;
}
void TCustomGridViewControl::PaintColumnPart(TCustomColumn* Column, int Kind) {
    (void)Column;
    (void)Kind;
}
void TCustomGridViewControl::PaintThemedHeaderItem(const TRect& Rect) {
    (void)Rect;
}
void TCustomGridViewControl::PaintThemedHeaderFiller(const TRect& Rect) {
    (void)Rect;
}
void TCustomGridViewControl::FillCellBackground(TCustomColumn* Column, const TRect& Rect,
                                                TColor Color, bool FrameOnly) {
    (void)Column;
    (void)Rect;
    (void)Color;
    (void)FrameOnly;
}
void TCustomGridViewControl::PaintCellContent(TCustomColumn* Column, int Col, int Row,
                                              const TRect& Rect, bool Selected, bool Current) {
    (void)Column;
    (void)Col;
    (void)Row;
    (void)Rect;
    (void)Selected;
    (void)Current;
}
