#include "FlyoutControl.h"

#include <QApplication>
#include <QEvent>
#include <QPolygon>
#include <QRegion>

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
    // The ellipse's box excludes its right and bottom edges.
    const QRegion dot(QRect(QPoint(5, 9), QPoint(9, 13)), QRegion::Ellipse);
    setMask(up | down | dot);
}

void TRollShadow::Paint() {
    Canvas()->Brush.Color = clGrayText;
    Canvas()->Brush.Style = bsSolid;
    Canvas()->FillRect(ClientRect());
}
