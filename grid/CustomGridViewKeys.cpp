// The grid's keyboard and the reactions to its window: moving the current
// cell by keys, Enter, typing into a cell or its play element, incremental
// search, the wheel, the focus coming and going, scrolling and resizing.
// Every handler an event reaches may free the grid, so after each one the
// grid checks that it is still there.

#include "CustomGridView.h"

#include "Displays.h"

#include <QPointer>
#include <algorithm>
#include <climits>

namespace {

using TGridGuard = QPointer<TCustomGridView>;

// The 8-bit form of a text with its ASCII letters upper-cased; other
// characters of the code page stay as they are.
AnsiString SearchKey(const WideString& Text) {
    AnsiString key = WideToAnsi(Text);
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return key;
}

} // namespace

TTimer* TCustomGridView::SetUpKeyboard() {
    RegisterEvent("OnMouseWheelDown", OnMouseWheelDown);
    RegisterEvent("OnMouseWheelUp", OnMouseWheelUp);
    auto* timer = new TTimer(this);
    timer->SetEnabled(false);
    timer->SetInterval(500);
    timer->OnTimer = [this](QObject*) {
        // A pause after the last character: the next one starts afresh.
        FSearchText.clear();
        FSearchTimer->SetEnabled(false);
    };
    return timer;
}

// ------------------------------------------------------------------- keys

void TCustomGridView::KeyDown(int& Key, TShiftState Shift) {
    // Without rows there is nothing to move over, and no one hears the key.
    const int rows = RowCount();
    if (rows == 0) return;
    const TGridGuard alive(this);
    TControlScrollBar* vert = VertScrollBar();
    const int visible = VisibleRowCount();
    switch (Key) {
    case VK_PRIOR:
        if (TopRow() < FRow) {
            Select(FCol, TopRow(), Shift);
        } else {
            const int row = std::max(0, FRow - visible);
            Select(FCol, row, Shift);
            if (!alive) return;
            vert->SetPosition(row);
        }
        break;
    case VK_NEXT:
        if (rows < visible) {
            // Everything is in view: the last row, and the key goes no
            // further.
            Select(FCol, rows - 1, Shift);
            return;
        }
        if (FRow < TopRow() + visible - 1) {
            Select(FCol, TopRow() + visible - 1, Shift);
        } else {
            Select(FCol, std::min(FRow + visible, rows - 1), Shift);
            if (!alive) return;
            vert->SetPosition(TopRow() + visible);
        }
        break;
    case VK_END:
        vert->SetPosition(vert->Max());
        Select(FCol, rows - 1, Shift);
        break;
    case VK_HOME:
        vert->SetPosition(0);
        Select(FCol, 0, Shift);
        break;
    case VK_LEFT:
        MoveLeft();
        break;
    case VK_RIGHT:
        MoveRight();
        break;
    case VK_UP:
        if (FRow >= 1 && !FInputActive) {
            if (FRow < TopRow() + 1) vert->LineUp();
            if (!alive) return;
            Select(FCol, FRow - 1, Shift);
        } else if (FRow == 0 && Options().testFlag(goInput) && GridStyle() == gsReport) {
            // Above the first row lies the input row.
            SetInputActive(true);
        }
        break;
    case VK_DOWN:
        if (FRow + 1 < rows) {
            if (FRow > TopRow() + visible - 1) vert->LineDown();
            if (!alive) return;
            const int nextBottom =
                GetRowRect(FRow + 1).Top + RowSize(); // the next row's cell bottom
            if (nextBottom > GetDataRect().Bottom) vert->LineDown();
            if (!alive) return;
            if (FInputActive) {
                SetInputActive(false);
                Select(FCol, 0, 0);
            } else {
                Select(FCol, FRow + 1, Shift);
            }
        }
        break;
    default:
        break;
    }
    if (alive) TCustomGridViewControl::KeyDown(Key, Shift);
}

void TCustomGridView::KeyPress(QChar& Key) {
    const TGridGuard alive(this);
    TCustomGridViewControl::KeyPress(Key);
    if (!alive || Key.isNull()) return;
    if (Key == QChar(VK_ESCAPE)) return;
    if (Key == QChar(VK_RETURN)) {
        if (FWantReturns) MoveBySelectionDirection();
        Key = QChar();
        return;
    }
    // The column's play element hears the character first (a check box
    // toggles by the space bar).
    if (TCustomColumn* column = ColumnOf(FCol)) {
        if (TColumnPlay* play = column->Play()) {
            const QPointer<TColumnPlay> element(play);
            PreparePlay(FCol, FRow);
            if (!alive) return;
            if (element) element->KeyPress(Key);
            if (!alive || Key.isNull()) return;
        }
    }
    if (TCustomColumn* column = ColumnOf(FCol); column && column->IsInputChar(Key)) {
        if (FInputActive)
            StartInputEdit(column, QString(Key));
        else
            StartEdit(FCol, FRow, QString(Key));
        if (!alive) return;
    }
    IncrementalSearch(Key);
}

// -------------------------------------------------------- incremental search

int TCustomGridView::SearchColumn() const {
    for (int i = 0; i < Columns()->Count(); ++i)
        if (Columns()->Items(i)->Options().testFlag(coSearchColumn)) return i;
    return -1;
}

void TCustomGridView::IncrementalSearch(QChar Key) {
    if (FInputActive) return;
    const TCustomColumn* current = ColumnOf(FCol);
    if (current && current->Options().testFlag(coEditing)) return;
    const int col = SearchColumn();
    const int rows = RowCount();
    if (col < 0 || rows == 0) return;
    FSearchTimer->SetEnabled(false);
    FSearchTimer->SetEnabled(true);
    FSearchText += Key;
    const AnsiString wanted = SearchKey(FSearchText);
    const qsizetype length = FSearchText.size();
    // From the row after the current one to the last, then from the first
    // round to the current one.
    const int start = std::clamp(FRow + 1, 0, rows);
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % rows;
        if (SearchKey(GetCellText(col, row).left(length)) != wanted) continue;
        const TGridGuard alive(this);
        SelectRow(row);
        if (alive) ScrollIntoView(row);
        return;
    }
}

void TCustomGridView::ScrollIntoView(int Row) {
    const int top = TopRow();
    if (Row < top || Row >= top + VisibleRowCount()) VertScrollBar()->SetPosition(Row);
}

// -------------------------------------------------------------------- wheel

bool TCustomGridView::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TCustomGridView::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

bool TCustomGridView::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
    // The open editor keeps the wheel (a spin editor steps its value).
    if (FEditor && FState.testFlag(CellEditing)) return false;
    // Fine-grained wheels send parts of a notch; they add up to whole ones,
    // and a turn the other way starts afresh.
    if ((FWheelRemainder > 0 && WheelDelta < 0) || (FWheelRemainder < 0 && WheelDelta > 0))
        FWheelRemainder = 0;
    FWheelRemainder = int(std::clamp<long long>(
        static_cast<long long>(FWheelRemainder) + WheelDelta, INT_MIN / 2, INT_MAX / 2));
    const TGridGuard alive(this);
    TControlScrollBar* vert = VertScrollBar();
    const bool page = Shift & ssCtrl;
    while (FWheelRemainder >= 120) {
        FWheelRemainder -= 120;
        DoMouseWheelUp(Shift, MousePos);
        if (!alive) return true;
        if (page)
            vert->PageUp();
        else
            vert->LineUp();
        if (!alive) return true;
    }
    while (FWheelRemainder <= -120) {
        FWheelRemainder += 120;
        DoMouseWheelDown(Shift, MousePos);
        if (!alive) return true;
        if (page)
            vert->PageDown();
        else
            vert->LineDown();
        if (!alive) return true;
    }
    return true;
}

// -------------------------------------------------------------------- focus

void TCustomGridView::DoEnter() {
    if (FFocusInEditor) {
        // Back from the grid's own editor: the grid never lost the keyboard.
        FFocusInEditor = false;
    } else {
        const TGridGuard alive(this);
        TCustomGridViewControl::DoEnter();
        if (!alive) return;
    }
    InvalidatePart(gpIndicator);
}

void TCustomGridView::DoExit() {
    if (EditorFocused()) {
        FFocusInEditor = true;
        return;
    }
    FFocusInEditor = false;
    const TGridGuard alive(this);
    if (FEditor && (FState & (TGridState(CellEditing) | InputRowEditing))) {
        AcceptEdit();
        if (!alive) return;
        HideEditor();
        if (!alive) return;
    }
    TCustomGridViewControl::DoExit();
}

// ---------------------------------------------------------------- scrolling

void TCustomGridView::WMVScroll(int Code) {
    if (FState.testFlag(CellEditing)) {
        const TGridGuard alive(this);
        HideEditor();
        if (!alive) return;
    }
    TCustomGridViewControl::WMVScroll(Code);
}

void TCustomGridView::WMHScroll(int Code) {
    // The dotted frame would be carried along with the pixels it is drawn
    // on; it is repainted where it was and where it is after the scroll.
    const bool erase = !Options().testFlag(goAlphaBlendedSelection);
    const TRect before = FocusRect();
    if (erase) InvalidateRect(before);
    const TGridGuard alive(this);
    HideEditor();
    if (!alive) return;
    const int oldPos = HorzPos();
    TCustomGridViewControl::WMHScroll(Code);
    if (!alive) return;
    if (erase) {
        TRect moved = before;
        moved.Left += oldPos - HorzPos();
        moved.Right += oldPos - HorzPos();
        InvalidateRect(moved);
    }
    InvalidateRect(FocusRect());
}

// ----------------------------------------------------------------- resizing

void TCustomGridView::WMSize() {
    // Before the window exists (the grid may still be under construction)
    // the first paint sets the bars.
    if (!WindowCreated()) return;
    const TGridGuard alive(this);
    const TRect client = ClientRect();
    if (client.Height() != FLastClientHeight) {
        if (Options().testFlag(goFooter)) {
            // The footer and the strip where it stood before.
            InvalidatePart(gpFooter);
            const int footerTop = GetFooterRect().Top;
            InvalidateRect(
                {0, footerTop + FLastClientHeight - height(), client.Width(), footerTop});
        }
        FLastClientHeight = client.Height();
        if (TopRow() > 0) {
            InvalidatePart(gpIndicator);
            InvalidatePart(gpData);
        }
    }
    UpdateVertScrollBar();
    // The bar may have come or gone: the width is the one it left.
    const TRect now = ClientRect();
    if (now.Width() != FLastClientWidth) {
        // Remembered first: new widths may show or hide the horizontal bar,
        // and the resize that brings must not fit the columns again while
        // they are being fitted.
        const int oldWidth = FLastClientWidth;
        FLastClientWidth = now.Width();
        FitColumns();
        if (!alive) return;
        if (HorzPos() == 0)
            InvalidateRect({std::min(oldWidth, now.Width()), 0, std::max(oldWidth, now.Width()),
                            now.Height()});
        else
            Invalidate();
    }
    if (FState.testFlag(CellEditing)) {
        HideEditor();
        if (!alive) return;
    }
    UpdateHorzScrollBar();
}

void TCustomGridView::FitColumns() {
    // The collection takes the data area's left edge from the grid.
    Columns()->AutoSizeColumns(ClientRect().Width());
}

// ------------------------------------------------------------- play element

void TCustomGridView::PreparePlay(int ACol, int ARow) {
    TCustomColumn* column = ColumnOf(ACol);
    if (!column) return;
    if (TColumnPlay* play = column->Play()) {
        play->Col = ACol;
        play->Row = ARow;
    }
}
