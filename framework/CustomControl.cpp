#include "CustomControl.h"

#include "Application.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <map>

// ------------------------------------------------------------ TCustomControl

TCustomControl::TCustomControl(QObject* owner)
    : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {
    // Pointer moves reach the control with no button held, as the handlers
    // of hot tracking expect.
    setMouseTracking(true);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // A failing Paint leaves the rest of this pass undrawn; the canvas is
    // ended either way.
    Guarded(this, [&] { PaintOn(painter, event->region()); });
}

void TCustomControl::PaintOn(QPainter& painter, const QRegion& region) {
    PaintOn(painter, region, [this] { Paint(); });
}

void TCustomControl::PaintOn(QPainter& painter, const QRegion& region,
                             const std::function<void()>& body) {
    struct EndGuard {
        TCanvas* Canvas;
        ~EndGuard() { Canvas->EndPaint(); }
    } guard{FCanvas.get()};
    FCanvas->Font()->Assign(*Font());
    FCanvas->Brush = TBrush{EffectiveColor(), bsSolid};
    FCanvas->Pen = TPen{};
    FCanvas->PenPos = {};
    FCanvas->BeginPaint(&painter, region);
    body();
}

// ------------------------------------------------------------ TScreenCursors

namespace {

std::map<int, QCursor>& CursorTable() {
    static std::map<int, QCursor> table;
    return table;
}

int& ScreenCursorId() {
    static int id = 0;
    return id;
}

} // namespace

void TScreenCursors::Register(int id, const QCursor& cursor) {
    CursorTable()[id] = cursor;
}

bool TScreenCursors::IsRegistered(int id) {
    return CursorTable().count(id) != 0;
}

QCursor TScreenCursors::Get(int id) {
    const auto it = CursorTable().find(id);
    return it != CursorTable().end() ? it->second : QCursor(Qt::ArrowCursor);
}

void TScreenCursors::SetScreenCursor(int id) {
    int& current = ScreenCursorId();
    if (id == current) return;
    if (id == 0) {
        QGuiApplication::restoreOverrideCursor();
    } else if (current == 0) {
        QGuiApplication::setOverrideCursor(Get(id));
    } else {
        QGuiApplication::changeOverrideCursor(Get(id));
    }
    current = id;
}

int TScreenCursors::ScreenCursor() {
    return ScreenCursorId();
}
