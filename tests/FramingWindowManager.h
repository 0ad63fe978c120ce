#pragma once
// Stands in for a window manager that frames every window as it maps it:
// the platform reports the frame of a window on screen and none for a window
// off it (not yet mapped, or hidden again), as X11 does. Gives the
// platform's own report back when it goes.

#include "Forms.h"

#include <QMargins>
#include <QWindow>

class FramingWindowManager {
public:
    explicit FramingWindowManager(const QMargins& frame) : FFrame(frame) {
        SetFrameMarginsReader(
            [this](const QWindow& window) { return window.isExposed() ? FFrame : QMargins(); });
    }
    ~FramingWindowManager() { SetFrameMarginsReader({}); }
    FramingWindowManager(const FramingWindowManager&) = delete;
    FramingWindowManager& operator=(const FramingWindowManager&) = delete;

    // A new decoration, for windows framed from now on.
    void SetFrame(const QMargins& frame) { FFrame = frame; }

private:
    QMargins FFrame;
};
