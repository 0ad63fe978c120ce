#pragma once
// Borderless top-most popups that never take the focus: the roll indicator
// of the scroll view and the grid's column drag box and arrows.

#include "CustomControl.h"

#include <QPointer>

class TFlyoutControl : public TCustomControl {
    Q_OBJECT
public:
    // A flyout starts hidden; its owner shows it where it is needed. Its
    // bounds are screen coordinates.
    explicit TFlyoutControl(QObject* owner = nullptr);

protected:
    bool event(QEvent* event) override;
    // Paint covers the whole window: no background erase first.
    bool PaintsOwnBackground() const override { return true; }

private:
    QPointer<QWidget> FActiveBeforeShow;
};

// The roll-mode indicator: two arrow heads and a dot in grey, shown under
// the point where the middle button went down.
class TRollShadow : public TFlyoutControl {
    Q_OBJECT
public:
    explicit TRollShadow(QObject* owner = nullptr);

    // Places the indicator around a screen point (it does not show it).
    void ShowAt(const TPoint& Point);
    TPoint ShownAt() const { return {FX, FY}; }
    // Cuts the window to the arrow heads and the dot.
    virtual void UpdateShape();

protected:
    void Paint() override;

private:
    int FX = 0;
    int FY = 0;
};
