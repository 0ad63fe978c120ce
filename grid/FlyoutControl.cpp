#include "FlyoutControl.h"

#include <QApplication>
#include <QEvent>
#include <QPolygon>
#include <QRegion>
#include <cmath>

namespace {

// The ellipse inscribed in a box whose right and bottom edges are excluded,
// as pixels: a pixel belongs to it when its centre lies inside the ellipse.
// That keeps a small ellipse symmetric in its box; Qt's own elliptic region
// of a 5 x 5 box comes out lopsided.
QRegion EllipticRegion(const TRect& box) {
    QRegion region;
    const double cx = (box.Left + box.Right) / 2.0;
    const double cy = (box.Top + box.Bottom) / 2.0;
    const double rx = box.Width() / 2.0;
    const double ry = box.Height() / 2.0;
    if (rx <= 0 || ry <= 0) return region;
    for (int y = box.Top; y < box.Bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        // Pixels x with |x + 0.5 - cx| <= half.
        const int first = int(std::ceil(cx - half - 0.5));
        const int last = int(std::floor(cx + half - 0.5));
        if (first <= last) region |= QRect(first, y, last - first + 1, 1);
    }
    return region;
}

} // namespace

// ------------------------------------------------------------ TFlyoutControl

TFlyoutControl::TFlyoutControl(QObject* owner) : TCustomControl(owner) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    SetVisible(false);
}

bool TFlyoutControl::event(QEvent* event) {
    // A platform that activates every window it shows (ignoring the hint)
    // gets the activation handed back to the window that had it.
    if (event->type() == QEvent::Show) {
        FActiveBeforeShow = QApplication::activeWindow();
    } else if (event->type() == QEvent::WindowActivate && FActiveBeforeShow &&
               FActiveBeforeShow != window()) {
        FActiveBeforeShow->activateWindow();
    }
    return TCustomControl::event(event);
}

// --------------------------------------------------------------- TRollShadow

TRollShadow::TRollShadow(QObject* owner) : TFlyoutControl(owner) {
    // The pointer stays with the view that rolls; the indicator under it
    // must not catch it.
    setWindowFlag(Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TRollShadow::ShowAt(const TPoint& Point) {
    UpdateShape();
    FX = Point.X;
    FY = Point.Y;
    SetBounds(Point.X - 7, Point.Y - 11, 32, 32);
}

void TRollShadow::UpdateShape() {
    const QRegion up(
        QPolygon({QPoint(-1, 7), QPoint(7, -1), QPoint(8, 0), QPoint(14, 7), QPoint(0, 6)}),
        Qt::OddEvenFill);
    const QRegion down(
        QPolygon({QPoint(-1, 15), QPoint(14, 15), QPoint(6, 22), QPoint(6, 22), QPoint(-1, 14)}),
        Qt::OddEvenFill);
    const QRegion dot = EllipticRegion(Rect(5, 9, 10, 14));
    setMask(up | down | dot);
}

void TRollShadow::Paint() {
    Canvas()->Brush.Color = clGrayText;
    Canvas()->Brush.Style = bsSolid;
    Canvas()->FillRect(ClientRect());
}
