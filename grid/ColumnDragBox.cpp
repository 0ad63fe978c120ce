#include "ColumnDragBox.h"

#include "Columns.h"
#include "CustomGridView.h"
#include "Displays.h"
#include "SharedClasses.h"

#include <QHideEvent>
#include <QPolygon>

// ------------------------------------------------------------ TColumnDragBox

TColumnDragBox::TColumnDragBox(QObject* owner)
    : TFlyoutControl(owner), FGrid(qobject_cast<TCustomGridView*>(owner)),
      FPartDisplay(std::make_unique<TColumnPartDisplay>(this, Canvas())) {
    // The floating header shows the header's content only: no background
    // of its own and never the pressed look.
    FPartDisplay->SetShowPressed(false);
    // The painter follows the grid's settings (its header style and sort
    // look); without a grid it finds one through the dragged column.
    FPartDisplay->SetGridView(FGrid);
}

TColumnDragBox::~TColumnDragBox() {
    // Freed in the middle of a drag, the box must not keep the mouse.
    ReleaseMouseCapture();
    QObject::disconnect(FColumnGone);
}

void TColumnDragBox::StartColumnDrag(const TPoint& Point, bool Hide, TCustomColumn* Column) {
    // On the original platform the box got a button press at Point to take
    // the mouse; a grab needs no press, and the first move places the box.
    (void)Point;
    if (!Hide) Show();
    FColumn = Column;
    FPartDisplay->SetColumn(Column);
    WatchColumn(Column);
    update();
    CaptureMouse();
}

bool TColumnDragBox::HasMouseCapture() const {
    return QWidget::mouseGrabber() == this;
}

void TColumnDragBox::CaptureMouse() {
    if (!HasMouseCapture()) grabMouse();
}

void TColumnDragBox::ReleaseMouseCapture() {
    if (HasMouseCapture()) releaseMouse();
}

void TColumnDragBox::WatchColumn(TCustomColumn* Column) {
    QObject::disconnect(FColumnGone);
    if (!Column) return;
    FColumnGone = connect(Column, &QObject::destroyed, this, [this] {
        FPartDisplay->SetColumn(nullptr);
        update();
    });
}

void TColumnDragBox::MouseMove(TShiftState Shift, int X, int Y) {
    const QPointer<TColumnDragBox> alive(this);
    TFlyoutControl::MouseMove(Shift, X, Y);
    if (!alive) return;
    const TPoint p = TPoint::FromQPoint(mapToGlobal(QPoint(X, Y)));
    DoMove(p);
    // The grid's handler may have freed the box.
    if (!alive) return;
    SetBounds(p.X - ClientWidth() / 2, p.Y - ClientHeight() + 4, Width(), Height());
}

void TColumnDragBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const QPointer<TColumnDragBox> alive(this);
    TFlyoutControl::MouseUp(Button, Shift, X, Y);
    if (!alive || Button != mbLeft) return;
    const TPoint p = TPoint::FromQPoint(mapToGlobal(QPoint(X, Y)));
    Hide();
    // A box started hidden gets no hide notice: give the mouse up here.
    ReleaseMouseCapture();
    DoDrop(p);
}

void TColumnDragBox::hideEvent(QHideEvent* event) {
    // Whoever hides the box ends the drag's hold on the mouse (the grid
    // does when the application loses the activation).
    ReleaseMouseCapture();
    TFlyoutControl::hideEvent(event);
}

void TColumnDragBox::Paint() {
    TCanvas* c = Canvas();
    const int w = ClientWidth();
    const int h = ClientHeight();
    const TCustomColumn* column = FColumn;
    c->Brush = TBrush{column ? column->Header()->Color() : clBtnFace, bsSolid};
    c->FillRect(ClientRect());
    TGraphicsProvider::Frame3D(c, Rect(0, 0, w - 1, h - 1), clBtnHighlight, clBtnShadow);
    // A black outer edge at the bottom and the right.
    c->Pen = TPen{clBlack, 1, psSolid, pmCopy};
    c->MoveTo(0, h - 1);
    c->LineTo(w - 1, h - 1);
    c->LineTo(w - 1, -1);
    if (!column) return;
    // The caption reads as it does in the grid's own header.
    FPartDisplay->SetRightToLeft(FGrid && FGrid->UseRightToLeftReading());
    FPartDisplay->SetPartRect(Rect(0, 2, w - 2, h - 2));
    FPartDisplay->PaintPart(TColumnPartDisplay::pkHeader);
}

// ---------------------------------------------------------------- TDragArrow

TDragArrow::TDragArrow(QObject* owner) : TFlyoutControl(owner) {
    // The pointer belongs to the drag; the arrows next to it never catch it.
    setWindowFlag(Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetBounds(Left(), Top(), 9, 9);
    UpdateShape();
}

void TDragArrow::SetDirection(std::uint8_t Value) {
    FDirection = Value;
    UpdateShape();
}

void TDragArrow::UpdateShape() {
    QPolygon polygon;
    switch (FDirection) {
    case daUp:
        polygon = QPolygon({QPoint(-1, 5), QPoint(4, -1), QPoint(9, 5), QPoint(6, 5), QPoint(6, 9),
                            QPoint(3, 9), QPoint(3, 4), QPoint(0, 5)});
        break;
    case daDown:
        polygon = QPolygon({QPoint(5, 0), QPoint(3, 0), QPoint(3, 4), QPoint(0, 4), QPoint(4, 9),
                            QPoint(9, 4), QPoint(6, 4), QPoint(6, 0)});
        break;
    default:
        break;
    }
    FWindowRegion = QRegion(polygon, Qt::WindingFill);
    // An empty mask would mean no mask at all, the whole square shown; a
    // single pixel outside the window shows nothing instead.
    setMask(FWindowRegion.isEmpty() ? QRegion(-1, -1, 1, 1) : FWindowRegion);
    update();
}

void TDragArrow::Paint() {
    Canvas()->Brush = TBrush{clRed, bsSolid};
    Canvas()->FillRect(ClientRect());
}
