#pragma once
// Moving a column by its header: the floating image of the header cell
// that follows the pointer, and the two small red arrows that mark where
// the column would go in. The grid creates the three windows, hidden, with
// itself as their owner; it decides when a drag starts, where the arrows
// stand and what a drop does. The box reports every move of the pointer
// and the drop, in screen coordinates.

#include "FlyoutControl.h"

#include <QMetaObject>
#include <QPointer>
#include <QRegion>
#include <cstdint>
#include <memory>

class TColumnPartDisplay;
class TCustomColumn;
class TCustomGridView;

// A move or the drop of a dragged column: the box, then the pointer's
// screen point (X, Y).
using TColumnDragEvent = TEvent<QObject*, int, int>;

class TColumnDragBox : public TFlyoutControl {
    Q_OBJECT
public:
    // The owner is the grid the box serves, when it is one.
    explicit TColumnDragBox(QObject* owner = nullptr);
    ~TColumnDragBox() override;

    // The grid that owns the box (not owned); null for another owner.
    TCustomGridView* Grid() const { return FGrid; }
    // The column being dragged (not owned). It stays after the drop until
    // the next drag replaces it, and becomes null when that column is freed.
    TCustomColumn* Column() const { return FColumn; }
    // Paints the header's content on the box's canvas; it draws neither a
    // header background nor the pressed look.
    TColumnPartDisplay* PartDisplay() const { return FPartDisplay.get(); }

    // Starts dragging Column from the pointer's screen point: shows the box
    // (unless Hide is set) where the owner placed it, and takes the mouse,
    // so that every further move and the release reach the box wherever
    // the pointer goes. The box keeps the mouse until the left button is
    // released, the box is hidden or it is freed.
    void StartColumnDrag(const TPoint& Point, bool Hide, TCustomColumn* Column);
    // Whether the box holds the mouse now.
    bool HasMouseCapture() const;

    // The grid's handlers of the drop and of every move.
    TColumnDragEvent OnDrop;
    TColumnDragEvent OnMove;
    virtual void DoDrop(const TPoint& Point) { OnDrop(this, Point.X, Point.Y); }
    virtual void DoMove(const TPoint& Point) { OnMove(this, Point.X, Point.Y); }

    // Reports the move, then follows the pointer: centred on it
    // horizontally, the box's bottom 4 pixels below it.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // The left button ends the drag: the box hides and reports the drop.
    // The other buttons change nothing.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    void Paint() override;
    void hideEvent(QHideEvent* event) override;

private:
    void CaptureMouse();
    void ReleaseMouseCapture();
    // Follows the column that is dragged, so that a freed one leaves no
    // reference behind in the box or its painter.
    void WatchColumn(TCustomColumn* Column);

    TCustomGridView* FGrid;
    QPointer<TCustomColumn> FColumn;
    std::unique_ptr<TColumnPartDisplay> FPartDisplay;
    QMetaObject::Connection FColumnGone;
};

// A red arrow of 9 x 9 pixels, the window cut to the arrow's shape: the
// grid shows one pointing down above the place a dragged column would go
// in and one pointing up below it.
class TDragArrow : public TFlyoutControl {
    Q_OBJECT
public:
    enum : std::uint8_t { daNone = 0, daUp = 1, daDown = 2 };

    // A new arrow has no direction, and so no shape: it cannot be seen.
    explicit TDragArrow(QObject* owner = nullptr);

    std::uint8_t Direction() const { return FDirection; }
    // Stores the direction and cuts the window to its arrow.
    void SetDirection(std::uint8_t Value);
    // The part of the window that shows: the arrow, or nothing for a
    // direction other than up and down.
    const QRegion& WindowRegion() const { return FWindowRegion; }
    virtual void UpdateShape();

protected:
    void Paint() override;

private:
    std::uint8_t FDirection = daNone;
    QRegion FWindowRegion;
};
