#pragma once
// The small tool-tip window a control shows beside the pointer: a framed
// rectangle in its colour with a text broken into lines. It never takes the
// focus or the mouse, and its owner places it in screen coordinates.

#include "CustomControl.h"

class THintWindow : public TCustomControl {
    Q_OBJECT
public:
    // Starts hidden, in the tool-tip colour.
    explicit THintWindow(QObject* owner = nullptr);

    // The rectangle, at (0, 0), that shows the text broken into lines no
    // wider than MaxWidth, with the window's margins and frame.
    TRect CalcHintRect(int MaxWidth, const QString& Hint);
    // Shows the text in the rectangle (screen coordinates). Showing the
    // same text in the same place again changes nothing.
    void ActivateHint(const TRect& Rect, const QString& Hint);
    // Hides the window; its text stays.
    void ReleaseHandle();
    bool HintShowing() const { return isVisible(); }
    // The text shown now (or last).
    const QString& HintText() const { return Caption(); }

protected:
    void Paint() override;
    bool PaintsOwnBackground() const override { return true; }
};
