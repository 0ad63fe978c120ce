#pragma once
// The self-painting windowed control: its Paint() draws everything on a
// canvas that is valid for the length of one paint pass. Also the cursors a
// program registers by number and the screen-wide cursor.

#include "Canvas.h"
#include "Controls.h"

#include <QCursor>
#include <functional>
#include <memory>

class TCustomControl : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomControl(QObject* owner = nullptr);
    ~TCustomControl() override;

    // Draws during Paint(); outside a paint pass it still measures text but
    // draws nothing.
    TCanvas* Canvas() const { return FCanvas.get(); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }

protected:
    // Paints the client area. The canvas starts each pass with the
    // control's font, its colour as the brush and a default pen.
    virtual void Paint() {}
    void paintEvent(QPaintEvent* event) override;
    // Runs Paint() on the painter with the canvas clipped to `region`.
    void PaintOn(QPainter& painter, const QRegion& region);
    // The same with another drawing in place of Paint() (a control that
    // draws more after it).
    void PaintOn(QPainter& painter, const QRegion& region, const std::function<void()>& body);

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// Cursors of the program by number (the grid's roll and split cursors), and
// the screen cursor that overrides every window's own while it is set.
class TScreenCursors {
public:
    static void Register(int id, const QCursor& cursor);
    static bool IsRegistered(int id);
    // A registered cursor, else the arrow.
    static QCursor Get(int id);
    // crDefault (0) removes the screen cursor.
    static void SetScreenCursor(int id);
    static int ScreenCursor();
};
