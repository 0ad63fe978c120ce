// Mouse input of the grid: where a point lies (band, cell, column edge),
// presses and releases on cells, the indicator and the header, header clicks
// and sorting, resizing a column by its edge and moving it by its header
// through the drag box, the hint for a clipped cell text, the pointer
// shapes, and what becomes of a gesture when the application loses the
// activation. Every event handler it fires may free the grid or its
// columns, so after each one the grid checks what is left.

#include "CustomGridView.h"

#include "Application.h"

#include "Displays.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QStyleHints>
#include <cstdlib>

// The grid's resources live in a static library; their registration must be
// pulled in by name, outside any namespace.
static void InitGridMouseResources() {
    Q_INIT_RESOURCE(grid);
}

namespace {

using TGridGuard = QPointer<TCustomGridView>;

// A column edge is caught this many pixels either side of it.
constexpr int kEdgeReach = 2;
// A header press becomes a column drag once the pointer leaves the square
// of this many pixels around the press point.
constexpr int kDragStart = 3;

// The split cursor's hot spot is the middle of its bar, the no-drag
// cursor's the tip of its arrow, the row selector's the tip of its arrow.
void RegisterGridCursors() {
    static bool done = false;
    if (done) return;
    done = true;
    InitGridMouseResources();
    const struct {
        int Id;
        const char* Path;
        int HotX;
        int HotY;
    } cursors[] = {{crHorzSplit, ":/grid/cursors/HORZSPLIT.png", 15, 15},
                   {crColumnNoDrag, ":/grid/cursors/COLUMNNODRAG.png", 0, 0},
                   {crIndicatorSelect, ":/grid/cursors/INDICATORSELECT.png", 21, 15}};
    for (const auto& c : cursors) {
        const QPixmap pixmap(QString::fromLatin1(c.Path));
        if (!pixmap.isNull()) TScreenCursors::Register(c.Id, QCursor(pixmap, c.HotX, c.HotY));
    }
}

// Hears the application lose or regain the activation (the application
// object's own events) and tells the grid.
class TActivationWatch : public QObject {
public:
    explicit TActivationWatch(TCustomGridView* Grid) : FGrid(Grid) {
        if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    }
    // Freed with the grid, first of its parts: a grid freed in the middle
    // of a column drag must not leave the drag's cursor on the screen.
    ~TActivationWatch() override {
        if (FGrid->State().testFlag(TCustomGridView::ColumnDragging))
            TScreenCursors::SetScreenCursor(0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != QCoreApplication::instance()) return false;
        Guarded(FGrid, [&] {
            switch (event->type()) {
            case QEvent::ApplicationActivate:
                FGrid->WMActivateApp(true);
                break;
            case QEvent::ApplicationDeactivate:
                FGrid->WMActivateApp(false);
                break;
            case QEvent::ApplicationStateChange:
                FGrid->WMActivateApp(
                    static_cast<QApplicationStateChangeEvent*>(event)->applicationState() ==
                    Qt::ApplicationActive);
                break;
            default:
                break;
            }
        });
        return false;
    }

private:
    TCustomGridView* FGrid;
};

} // namespace

// ---------------------------------------------------------------- the parts

std::unique_ptr<TColumnDragBox> TCustomGridView::MakeDragBox() {
    RegisterGridCursors();
    auto box = std::make_unique<TColumnDragBox>(this);
    box->OnMove = [this](QObject*, int x, int y) { ColumnDragMove(x, y); };
    box->OnDrop = [this](QObject*, int x, int y) { ColumnDragDrop(x, y); };
    return box;
}

std::unique_ptr<TDragArrow> TCustomGridView::MakeDragArrow(std::uint8_t Direction) {
    auto arrow = std::make_unique<TDragArrow>(this);
    arrow->SetDirection(Direction);
    return arrow;
}

std::unique_ptr<QObject> TCustomGridView::WatchActivation() {
    return std::make_unique<TActivationWatch>(this);
}

// ------------------------------------------------------------ where things are

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
    if (const TCustomColumn* column = ColumnAtX(X)) cell.Col = column->Index();
    return cell;
}

TCustomColumn* TCustomGridView::ColumnAtX(int X) const {
    for (int p = 0; p < Columns()->Count(); ++p) {
        TCustomColumn* column = Columns()->DisplayItems(p);
        if (!column->Visible()) continue;
        const int left = column->Left() - HorzPos();
        if (X >= left && X <= left + column->Width()) return column;
    }
    return nullptr;
}

int TCustomGridView::DisplayPlace(const TCustomColumn* Column) const {
    for (int p = 0; p < Columns()->Count(); ++p)
        if (Columns()->DisplayItems(p) == Column) return p;
    return -1;
}

TCustomColumn* TCustomGridView::ColumnEdgeAt(int X, int Y) const {
    if (!Options().testFlag(goHeader) || GridStyle() != gsReport) return nullptr;
    if (Y < 0 || Y >= HeaderSize()) return nullptr;
    for (int p = 0; p < Columns()->Count(); ++p) {
        TCustomColumn* column = Columns()->DisplayItems(p);
        if (!column->Visible() || column->Options().testFlag(coFixedSize)) continue;
        const int right = column->Left() + column->Width() - HorzPos();
        if (std::abs(X - right) <= kEdgeReach) return column;
    }
    return nullptr;
}

// ------------------------------------------------------------------- press

void TCustomGridView::mousePressEvent(QMouseEvent* event) {
    // The second press of a double click is no press of the grid: the
    // platform reports it as the double click.
    const QPoint pos = event->position().toPoint();
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool second =
        event->button() == FLastPressButton &&
        event->timestamp() - FLastPressTime < quint64(hints->mouseDoubleClickInterval()) &&
        (pos - FLastPressPos).manhattanLength() <= hints->mouseDoubleClickDistance();
    if (second) {
        FLastPressButton = Qt::NoButton;
        event->accept();
        return;
    }
    FLastPressButton = event->button();
    FLastPressTime = event->timestamp();
    FLastPressPos = pos;
    TCustomGridViewControl::mousePressEvent(event);
}

void TCustomGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const TPoint origin = ClientOrigin();
    FDblClickPoint = {pos.x() - origin.X, pos.y() - origin.Y};
    // The press that may follow is part of this double click.
    FLastPressButton = Qt::NoButton;
    TCustomGridViewControl::mouseDoubleClickEvent(event);
}

void TCustomGridView::DblClick() {
    if (GetDataRect().Contains(FDblClickPoint)) TCustomGridViewControl::DblClick();
}

void TCustomGridView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridGuard alive(this);
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
        FDownPoint = {X, Y};
        // Only a press on a cell makes a cell the pressed one: a release
        // there after a press elsewhere is no click on it.
        FMouseCell = TGridCell{};
        if (TCustomColumn* edge = ColumnEdgeAt(X, Y)) {
            StartResize(edge);
        } else {
            switch (BandAt(X, Y)) {
            case gpData:
                PressData(Shift, X, Y);
                break;
            case gpHeader:
                PressHeader(X, Y);
                break;
            case gpIndicator:
                HideEditor();
                if (!alive) return;
                PressData(Shift, X, Y);
                break;
            default:
                break;
            }
        }
        if (!alive) return;
    }
    TCustomGridViewControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGridView::PressData(TShiftState Shift, int X, int Y) {
    const TGridGuard alive(this);
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
    // The empty slot just after the last row may become current (so that
    // no row is drawn current); nothing below it.
    if (FMouseCell.Row > RowCount()) return;
    Select(FMouseCell.Col >= 0 ? FMouseCell.Col : FCol, FMouseCell.Row, Shift);
}

void TCustomGridView::PressHeader(int X, int Y) {
    (void)Y;
    TCustomColumn* column = ColumnAtX(X);
    FDownColumn = column;
    if (column && column->Options().testFlag(coCanClick)) {
        FState |= HeaderPressed;
        FPressedColumn = column;
        InvalidateColumnPart(column, gpHeader);
    } else {
        FDownColumn = nullptr;
    }
}

// ------------------------------------------------------------ column resize

void TCustomGridView::StartResize(TCustomColumn* Column) {
    // What is on screen now stays there while the edge moves; the lines
    // are drawn over it.
    const TRect client = ClientRect();
    const TPoint origin = ClientOrigin();
    FResizeBackdrop = grab(QRect(origin.X, origin.Y, client.Width(), client.Height())).toImage();
    FResizeColumn = Column;
    FResizeDelta = 0;
    FState |= ColumnResizing;
    InvalidateResizeLines();
}

void TCustomGridView::ResizeLines(int& First, int& Second) const {
    First = Second = -1;
    const TCustomColumn* column = FResizeColumn;
    if (!column) return;
    const int left = column->Left() - HorzPos();
    // The first column's left edge is the grid's own; the others' is the
    // previous column's last pixel.
    First = column->Index() == 0 ? left : left - 1;
    Second = left + column->Width() + FResizeDelta - 1;
}

void TCustomGridView::InvalidateResizeLines() {
    int first;
    int second;
    ResizeLines(first, second);
    if (first < 0 && second < 0) return;
    const int height = ClientHeight();
    InvalidateRect({first, 0, first + 1, height});
    InvalidateRect({second, 0, second + 1, height});
}

void TCustomGridView::Paint() {
    if (!FState.testFlag(ColumnResizing)) {
        TCustomGridViewControl::Paint();
        return;
    }
    TCanvas* c = Canvas();
    if (!FResizeBackdrop.isNull()) c->Draw(0, 0, FResizeBackdrop);
    int first;
    int second;
    ResizeLines(first, second);
    const int height = ClientHeight();
    c->InvertRect({first, 0, first + 1, height});
    if (second != first) c->InvertRect({second, 0, second + 1, height});
}

// -------------------------------------------------------------------- move

void TCustomGridView::MouseMove(TShiftState Shift, int X, int Y) {
    const TGridGuard alive(this);
    TCustomGridViewControl::MouseMove(Shift, X, Y);
    if (!alive) return;
    FHintCell = TGridCell{};
    if (Columns()->Count() == 0 || Rolling()) return;
    if (FState.testFlag(ColumnResizing)) {
        const TCustomColumn* column = FResizeColumn;
        if (!column) return;
        InvalidateResizeLines();
        FResizeDelta = X + HorzPos() - column->Left() - column->Width();
        if (column->Width() + FResizeDelta < TCustomColumn::MinWidth)
            FResizeDelta = TCustomColumn::MinWidth - column->Width();
        InvalidateResizeLines();
        return;
    }
    switch (BandAt(X, Y)) {
    case gpData: {
        FHintCell = CellAt(X, Y);
        const TCustomColumn* column = ColumnOf(FHintCell.Col);
        if (column && FHintCell.Row >= 0 && FHintCell.Row < RowCount()) {
            const TControl::TCursor cursor = column->Cursor();
            ShowCellHint(FHintCell.Col, FHintCell.Row);
            if (!alive) return;
            ShowPointer(cursor);
        } else {
            ShowPointer(crDefault);
        }
        ClearHotColumn();
        break;
    }
    case gpHeader: {
        TCustomColumn* edge = ColumnEdgeAt(X, Y);
        ShowPointer(edge ? crHorzSplit : crDefault);
        FEdgeColumn = edge;
        // Only the left button drags a column: the drag box ends the drag
        // on the left button's release.
        if (!Options().testFlag(goDissableColumnMoving) && FDownColumn && !IsDesigning() &&
            (Shift & ssLeft) &&
            (std::abs(X - FDownPoint.X) > kDragStart || std::abs(Y - FDownPoint.Y) > kDragStart)) {
            StartColumnDrag(X, Y);
            return;
        }
        TCustomColumn* hot = ColumnAtX(X);
        TCustomColumn* old = FHotColumn;
        if (hot != old) {
            FHotColumn = hot;
            InvalidateColumnPart(hot, gpHeader);
            InvalidateColumnPart(old, gpHeader);
        }
        HideCellHint();
        break;
    }
    case gpIndicator:
        if (Options().testFlag(goIndicator)) {
            ShowPointer(crIndicatorSelect);
            HideCellHint();
        }
        ClearHotColumn();
        break;
    default:
        HideCellHint();
        ClearHotColumn();
        break;
    }
}

void TCustomGridView::MouseLeave() {
    TCustomGridViewControl::MouseLeave();
    HideCellHint();
    ClearHotColumn();
}

void TCustomGridView::ClearHotColumn() {
    TCustomColumn* old = FHotColumn;
    FEdgeColumn = nullptr;
    FHotColumn = nullptr;
    InvalidateColumnPart(old, gpHeader);
}

void TCustomGridView::ShowPointer(int Cursor) {
    if (Cursor == crDefault)
        ApplyCursor();
    else
        QWidget::setCursor(CursorShape(TControl::TCursor(Cursor)));
}

// ---------------------------------------------------------------- the hint

void TCustomGridView::ShowCellHint(int Col, int Row) {
    const TCustomColumn* column = ColumnOf(Col);
    if (!column || !column->Options().testFlag(coShowTextFitHint)) {
        HideCellHint();
        return;
    }
    const QString text = column->GetDisplayText(GetCellText(Col, Row));
    TCanvas* c = Canvas();
    c->Font()->Assign(*column->Font());
    if (column->Width() - 5 >= c->TextWidth(text)) {
        HideCellHint();
        return;
    }
    FHintWindow->SetColor(clInfoBk);
    const TRect size = FHintWindow->CalcHintRect(ClientWidth(), text);
    const TRect cell = GetCellRect(Col, Row, gpData);
    const TPoint at = ClientToScreen({cell.Left, cell.Top});
    FHintWindow->ActivateHint(Bounds(at.X, at.Y, size.Width(), size.Height()), text);
}

void TCustomGridView::HideCellHint() {
    FHintWindow->ReleaseHandle();
}

// ----------------------------------------------------------------- release

void TCustomGridView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridGuard alive(this);
    TCustomGridViewControl::MouseUp(Button, Shift, X, Y);
    if (!alive) return;
    FState &= ~TGridState(HeaderPressed);
    if (FState.testFlag(ColumnResizing)) {
        TCustomColumn* column = FResizeColumn;
        FResizeColumn = nullptr;
        FEdgeColumn = nullptr;
        FState &= ~TGridState(ColumnResizing);
        FResizeBackdrop = QImage();
        // The new width repaints the grid through the column's report.
        if (column) column->SetWidth(column->Width() + FResizeDelta);
        if (alive) Invalidate();
        return;
    }
    const int band = BandAt(X, Y);
    const TGridCell cell = band == gpData ? CellAt(X, Y) : TGridCell{};
    const bool click = band == gpData && cell.Col >= 0 && cell == FMouseCell;
    if (!IsDesigning()) {
        if (click && cell.Row >= 0 && cell.Row < RowCount()) {
            DoCellClick(cell.Col, cell.Row);
            if (!alive) return;
        }
        FDownColumn = nullptr;
        FDownPoint = {-1, -1};
    }
    if (TCustomColumn* pressed = FPressedColumn) {
        // The press ends before the handler runs: a handler that fails
        // leaves no header drawn down, nor a click for the next release.
        FPressedColumn = nullptr;
        InvalidateColumnPart(pressed, gpHeader);
        DoHeaderClick(pressed->Index());
        if (!alive) return;
    }
    if (Button != mbLeft) return;
    switch (band) {
    case gpData: {
        if (IsDesigning() || FState.testFlag(MultiRowSelection) || !click) return;
        TCustomColumn* column = ColumnOf(cell.Col);
        if (!column) return;
        // A column with a play element and editing takes the click in the
        // cell itself (a check box toggles); the others open their editor.
        TColumnPlay* play = column->Play();
        if (!play || !column->Options().testFlag(coEditing)) {
            StartEdit(cell.Col, cell.Row, {});
        } else if (cell.Row >= 0 && cell.Row < RowCount()) {
            PreparePlay(cell.Col, cell.Row);
            if (!alive) return;
            const TRect r = GetCellRect(cell.Col, cell.Row, gpData);
            // The element finds its parts (a check box's square) in the
            // cell it is given.
            if (TColumnPlay* prepared = column->Play()) {
                prepared->CellRect = r;
                prepared->MouseDown(Button, Shift, X - r.Left, Y - r.Top);
            }
        }
        break;
    }
    case gpHeader: {
        TCustomColumn* column = ColumnAtX(X);
        if (!column || !column->Options().testFlag(coCanSort)) return;
        // The column's report sorts the rows and tells OnSortColumn.
        if (column->Sorted())
            column->SetSortKind(column->SortKind() == skAscending ? skDescending : skAscending);
        else
            column->SetSorted(true);
        break;
    }
    case gpInput:
        if (IsDesigning()) return;
        if (TCustomColumn* column = ColumnAtX(X)) StartInputEdit(column, {});
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------- column drag

void TCustomGridView::StartColumnDrag(int X, int Y) {
    TCustomColumn* column = FDownColumn;
    FState |= ColumnDragging;
    FDragBox->Font()->Assign(*Font());
    const TPoint at = ClientToScreen({column->Left() - HorzPos(), 0});
    FDragBox->SetBounds(at.X, at.Y, column->Width(), HeaderSize());
    FDragBox->StartColumnDrag(ClientToScreen({X, Y}), false, column);
}

void TCustomGridView::ColumnDragMove(int X, int Y) {
    const TPoint p = ScreenToClient({X, Y});
    const int right = std::min(GetHeaderRect().Right, ClientWidth());
    TCustomColumn* column =
        Rect(0, 0, right, 2 * HeaderSize()).Contains(p) ? ColumnAtX(p.X) : nullptr;
    if (!column) {
        HideDragArrows();
        TScreenCursors::SetScreenCursor(crColumnNoDrag);
        return;
    }
    FDropColumn = column;
    const TPoint at = ClientToScreen({column->Left() - HorzPos(), 0});
    FDragArrowTop->SetBounds(at.X - 4, at.Y - 12, FDragArrowTop->Width(), FDragArrowTop->Height());
    FDragArrowBottom->SetBounds(at.X - 4, at.Y + HeaderSize() - 1, FDragArrowBottom->Width(),
                                FDragArrowBottom->Height());
    FDragArrowTop->Show();
    FDragArrowBottom->Show();
    TScreenCursors::SetScreenCursor(crDefault);
}

void TCustomGridView::ColumnDragDrop(int X, int Y) {
    const TGridGuard alive(this);
    TScreenCursors::SetScreenCursor(crDefault);
    const TPoint p = ScreenToClient({X, Y});
    TCustomColumn* dragged = FDownColumn;
    TCustomColumn* pressed = FPressedColumn;
    // The drag ends whatever the move does: the release went to the box.
    FDownColumn = nullptr;
    FPressedColumn = nullptr;
    FDropColumn = nullptr;
    FDownPoint = {-1, -1};
    HideDragArrows();
    FState &= ~(TGridState(ColumnDragging) | HeaderPressed);
    InvalidateColumnPart(pressed, gpHeader);
    if (!dragged) return;
    if (Rect(0, 0, GetHeaderRect().Right, 2 * HeaderSize()).Contains(p)) {
        // By the places in the display order: a column added in code
        // has no Position number until the columns are renumbered.
        if (TCustomColumn* target = ColumnAtX(p.X))
            Columns()->MoveColumn(DisplayPlace(dragged), DisplayPlace(target));
    } else if (Options().testFlag(goCanHideColumn)) {
        dragged->SetVisible(false);
    }
}

void TCustomGridView::HideDragArrows() {
    FDragArrowTop->Hide();
    FDragArrowBottom->Hide();
}

// -------------------------------------------------------------- activation

void TCustomGridView::WMActivateApp(bool Active) {
    if (!Active) {
        // Every gesture under way ends where it is; the release that would
        // have ended it may go to another application.
        TCustomColumn* pressed = FPressedColumn;
        FDownColumn = nullptr;
        FDropColumn = nullptr;
        FPressedColumn = nullptr;
        FDownPoint = {-1, -1};
        FMouseCell = TGridCell{};
        HideDragArrows();
        FDragBox->Hide();
        TScreenCursors::SetScreenCursor(crDefault);
        HideCellHint();
        const bool resizing = FState.testFlag(ColumnResizing);
        FState &= ~(TGridState(ColumnDragging) | HeaderPressed | ColumnResizing);
        FResizeColumn = nullptr;
        FEdgeColumn = nullptr;
        FResizeBackdrop = QImage();
        if (resizing) Invalidate();
        InvalidateColumnPart(pressed, gpHeader);
    }
    InvalidateSelection();
}
