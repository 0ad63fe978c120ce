#include "ScrollView.h"

#include "Application.h"
#include "FlyoutControl.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cstdlib>

// The grid's resources live in a static library; their registration must be
// pulled in by name, outside any namespace.
static void InitGridResources() {
    Q_INIT_RESOURCE(grid);
}

namespace {

int ClampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The three roll cursors, hot spot in the middle of the dot.
void RegisterRollCursors() {
    static bool done = false;
    if (done) return;
    done = true;
    InitGridResources();
    const struct {
        int Id;
        const char* Path;
    } cursors[] = {{crRoll, ":/grid/cursors/ROLL.png"},
                   {crRollUp, ":/grid/cursors/ROLLUP.png"},
                   {crRollDown, ":/grid/cursors/ROLLDOWN.png"}};
    for (const auto& c : cursors) {
        const QPixmap pixmap(QString::fromLatin1(c.Path));
        if (!pixmap.isNull()) TScreenCursors::Register(c.Id, QCursor(pixmap, 16, 16));
    }
}

} // namespace

// --------------------------------------------------------- TControlScrollBar

TControlScrollBar::TControlScrollBar(TScrollView* View) : FControl(View) {}

void TControlScrollBar::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateScrollInfo();
}

void TControlScrollBar::SetMax(int Value) {
    FMax = std::max(0, Value);
    if (FPosition > FMax) FPosition = FMax;
    UpdateScrollInfo();
}

void TControlScrollBar::SetMin(int Value) {
    FMin = std::max(0, Value);
    UpdateScrollInfo();
}

void TControlScrollBar::SetPageSize(unsigned Value) {
    FPageSize = Value;
    UpdateScrollInfo();
}

void TControlScrollBar::SetPosition(int Value) {
    FOldPosition = FPosition;
    int v = Value;
    if (v > FMax) v = FMax;
    if (v < FMin) v = FMin;
    FPosition = v;
    UpdateScrollInfo();
    FControl->ScrollPositionChanged(FKind);
    // Positive when the position went back: the content moves down/right.
    // Both positions lie in 0..Max, so the difference cannot overflow.
    const int delta = FOldPosition - FPosition;
    if (FKind == sbVertical) {
        FControl->FLastVertDelta = delta;
        FControl->ScrollBy(0, delta);
    } else {
        FControl->FLastHorzDelta = delta;
        FControl->ScrollBy(delta, 0);
    }
}

void TControlScrollBar::SetVisible(bool Value) {
    FVisible = Value;
    FControl->ShowWindowScrollBar(FKind, Value);
}

void TControlScrollBar::SetParams(int Position, int Min, bool Visible, bool Enabled,
                                  unsigned PageSize, int Max) {
    FLocked = true;
    SetEnabled(Enabled);
    SetMax(Max);
    SetMin(Min);
    SetPageSize(PageSize);
    if (Position > 0) SetPosition(Position);
    SetVisible(Visible);
    FLocked = false;
    UpdateScrollInfo();
}

void TControlScrollBar::Send(int Code) {
    if (FMax < 1) return;
    FControl->ScrollMessage(FKind, Code);
}

void TControlScrollBar::LineDown() {
    Send(SB_LINEDOWN);
}

void TControlScrollBar::LineUp() {
    Send(SB_LINEUP);
}

void TControlScrollBar::PageDown() {
    Send(SB_PAGEDOWN);
}

void TControlScrollBar::PageUp() {
    Send(SB_PAGEUP);
}

void TControlScrollBar::Assign(const TControlScrollBar& Source) {
    if (&Source == this) return;
    FLineStep = Source.FLineStep;
    FPageStep = Source.FPageStep;
    SetParams(-1, Source.FMin, Source.FVisible, Source.FEnabled, Source.FPageSize, Source.FMax);
    if (Source.FPosition != FPosition) SetPosition(Source.FPosition);
}

void TControlScrollBar::UpdateScrollInfo() {
    if (FLocked) return;
    FRefreshing = true;
    if (FControl->WindowScrollBar(FKind)) {
        FControl->SetWindowScrollInfo(FKind, FMin, FMax, FPageSize, FPosition);
        FControl->EnableWindowScrollBar(FKind, FEnabled);
    }
    FRefreshing = false;
}

// --------------------------------------------------------- TCustomScrollView

TCustomScrollView::TCustomScrollView(QObject* owner) : TCustomControl(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

TCustomScrollView::~TCustomScrollView() = default;

void TCustomScrollView::CreateWindowScrollBars() {
    for (int kind : {sbHorizontal, sbVertical}) {
        if (FBars[kind]) continue;
        auto* bar = new QScrollBar(kind == sbHorizontal ? Qt::Horizontal : Qt::Vertical, this);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setSingleStep(1);
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, kind, bar](int action) {
            int code;
            switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                code = SB_LINEUP;
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                code = SB_LINEDOWN;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = SB_PAGEUP;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = SB_PAGEDOWN;
                break;
            case QAbstractSlider::SliderMove:
                code = SB_THUMBTRACK;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = SB_TOP;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = SB_BOTTOM;
                break;
            default:
                return;
            }
            const QPointer<QScrollBar> alive(bar);
            Guarded(this, [&] { WindowScrollAction(kind, code); });
            // The bar shows what the view made of the action, not what it
            // would have done by itself.
            if (alive) bar->setSliderPosition(bar->value());
        });
        FBars[kind] = bar;
        bar->hide();
        FBarShown[kind] = false;
    }
    LayoutScrollBars();
}

QScrollBar* TCustomScrollView::WindowScrollBar(int Kind) const {
    return (Kind == sbHorizontal || Kind == sbVertical) ? FBars[Kind] : nullptr;
}

bool TCustomScrollView::WindowScrollBarShown(int Kind) const {
    return WindowScrollBar(Kind) && FBarShown[Kind];
}

void TCustomScrollView::SetWindowScrollInfo(int Kind, int Min, int Max, unsigned Page, int Pos) {
    QScrollBar* bar = WindowScrollBar(Kind);
    if (!bar) return;
    // The thumb covers a page: the last position it can take is the one
    // that shows the last page.
    long long top = Max;
    if (Page > 0) top = static_cast<long long>(Max) - Page + 1;
    top = std::max<long long>(top, Min);
    bar->setRange(Min, ClampToInt(top));
    bar->setPageStep(ClampToInt(std::max<long long>(1, Page)));
    bar->setValue(Pos);
}

void TCustomScrollView::EnableWindowScrollBar(int Kind, bool Enable) {
    if (QScrollBar* bar = WindowScrollBar(Kind)) bar->setEnabled(Enable);
}

void TCustomScrollView::ShowWindowScrollBar(int Kind, bool Show) {
    QScrollBar* bar = WindowScrollBar(Kind);
    if (!bar || FBarShown[Kind] == Show) return;
    FBarShown[Kind] = Show;
    bar->setVisible(Show);
    LayoutScrollBars();
    update();
    WMSize();
}

int TCustomScrollView::WindowScrollTrackPos(int Kind) const {
    const QScrollBar* bar = WindowScrollBar(Kind);
    return bar ? bar->sliderPosition() : 0;
}

int TCustomScrollView::BarExtent(int Kind) const {
    const QScrollBar* bar = WindowScrollBar(Kind);
    if (!bar || !FBarShown[Kind]) return 0;
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
}

void TCustomScrollView::LayoutScrollBars() {
    const int f = FFrameWidth;
    const int vw = BarExtent(sbVertical);
    const int hh = BarExtent(sbHorizontal);
    if (QScrollBar* v = FBars[sbVertical])
        v->setGeometry(width() - f - vw, f, vw, std::max(0, height() - 2 * f - hh));
    if (QScrollBar* h = FBars[sbHorizontal])
        h->setGeometry(f, height() - f - hh, std::max(0, width() - 2 * f - vw), hh);
}

TRect TCustomScrollView::ClientRect() const {
    const int w = width() - 2 * FFrameWidth - BarExtent(sbVertical);
    const int h = height() - 2 * FFrameWidth - BarExtent(sbHorizontal);
    return Rect(0, 0, std::max(0, w), std::max(0, h));
}

QRect TCustomScrollView::ClientQRectInWindow() const {
    return ClientRect().ToQRect().translated(FFrameWidth, FFrameWidth);
}

TPoint TCustomScrollView::ClientToScreen(const TPoint& p) const {
    return TPoint::FromQPoint(mapToGlobal(QPoint(p.X + FFrameWidth, p.Y + FFrameWidth)));
}

TPoint TCustomScrollView::ScreenToClient(const TPoint& p) const {
    const QPoint w = mapFromGlobal(p.ToQPoint());
    return {w.x() - FFrameWidth, w.y() - FFrameWidth};
}

void TCustomScrollView::InvalidateRect(const TRect& r) {
    const QRect area = r.ToQRect().translated(FFrameWidth, FFrameWidth) & ClientQRectInWindow();
    if (!area.isEmpty()) update(area);
}

void TCustomScrollView::Invalidate() {
    update();
}

void TCustomScrollView::SetFrameWidth(int Value) {
    Value = std::max(0, Value);
    if (Value == FFrameWidth) return;
    FFrameWidth = Value;
    LayoutScrollBars();
    update();
    WMSize();
}

void TCustomScrollView::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    TRect clip = DeltaX != 0 ? FHorzScrollRect : FVertScrollRect;
    const TRect client = ClientRect();
    clip = Rect(std::max(clip.Left, client.Left), std::max(clip.Top, client.Top),
                std::min(clip.Right, client.Right), std::min(clip.Bottom, client.Bottom));
    if (clip.IsEmpty()) return;
    // A shift beyond the rectangle uncovers all of it; no need to go further.
    const long long dx = std::clamp<long long>(static_cast<long long>(DeltaX) * FHorzScrollUnit,
                                               -clip.Width(), clip.Width());
    const long long dy = std::clamp<long long>(static_cast<long long>(DeltaY) * FVertScrollUnit,
                                               -clip.Height(), clip.Height());
    scroll(int(dx), int(dy), clip.ToQRect().translated(FFrameWidth, FFrameWidth));
}

void TCustomScrollView::PaintFrame() {
    TCanvas* c = Canvas();
    const TRect outer = Rect(0, 0, width(), height());
    for (int i = 0; i < FFrameWidth; ++i) {
        const TRect r = Rect(outer.Left + i, outer.Top + i, outer.Right - i, outer.Bottom - i);
        if (r.IsEmpty()) break;
        const bool outerRing = i == 0;
        c->Pen = TPen{};
        c->Pen.Color = outerRing ? clBtnShadow : cl3DDkShadow;
        c->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right - 1, r.Top}});
        c->Pen.Color = outerRing ? clBtnHighlight : cl3DLight;
        c->Polyline(
            {{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left - 1, r.Bottom - 1}});
    }
}

void TCustomScrollView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // A drawing handler of the view may fail: the rest of this pass is
    // skipped and the failure reported once.
    Guarded(this, [&] {
        const int f = FFrameWidth;
        const bool corner = BarExtent(sbVertical) > 0 && BarExtent(sbHorizontal) > 0;
        if (f > 0 || corner) {
            TCanvas* c = Canvas();
            c->BeginPaint(&painter, event->region());
            if (f > 0) PaintFrame();
            if (corner) {
                // The square between the two bars.
                c->Brush = TBrush{clBtnFace, bsSolid};
                c->FillRect(Bounds(width() - f - BarExtent(sbVertical),
                                   height() - f - BarExtent(sbHorizontal), BarExtent(sbVertical),
                                   BarExtent(sbHorizontal)));
            }
            c->EndPaint();
        }
        const QRegion client = event->region().translated(-f, -f) & ClientRect().ToQRect();
        if (client.isEmpty()) return;
        painter.translate(f, f);
        PaintOn(painter, client);
    });
}

void TCustomScrollView::resizeEvent(QResizeEvent* event) {
    TCustomControl::resizeEvent(event);
    Guarded(this, [this] {
        LayoutScrollBars();
        WMSize();
    });
}

bool TCustomScrollView::InClient(const QPointF& windowPos) const {
    return ClientQRectInWindow().contains(windowPos.toPoint());
}

template <class Fn> void TCustomScrollView::Translated(QMouseEvent* event, Fn handler) {
    if (FFrameWidth == 0) {
        handler(event);
        return;
    }
    const QPointF shift(FFrameWidth, FFrameWidth);
    QMouseEvent moved(event->type(), event->position() - shift, event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    handler(&moved);
    event->setAccepted(moved.isAccepted());
}

// Presses on the frame are not the client's; moves and releases are, while
// a button is held (the client keeps the pointer until it is released).
void TCustomScrollView::mousePressEvent(QMouseEvent* event) {
    if (!InClient(event->position())) return event->ignore();
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mousePressEvent(e); });
}

void TCustomScrollView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!InClient(event->position())) return event->ignore();
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseDoubleClickEvent(e); });
}

void TCustomScrollView::mouseReleaseEvent(QMouseEvent* event) {
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseReleaseEvent(e); });
}

void TCustomScrollView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton && !InClient(event->position())) return;
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseMoveEvent(e); });
}

bool TCustomScrollView::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over a bar scrolls the view the way the view scrolls, not
    // the way the bar would.
    if (event->type() == QEvent::Wheel &&
        (watched == FBars[sbHorizontal] || watched == FBars[sbVertical])) {
        QCoreApplication::sendEvent(this, event);
        return true;
    }
    return TCustomControl::eventFilter(watched, event);
}

// --------------------------------------------------------------- TScrollView

TScrollView::TScrollView(QObject* owner) : TCustomScrollView(owner) {
    FHorzScrollBar = std::make_unique<TControlScrollBar>(this);
    FHorzScrollBar->SetKind(sbHorizontal);
    FRollShadow = new TRollShadow(this);
    FRollTimer = new TTimer(this);
    FRollTimer->SetEnabled(false);
    FRollTimer->SetInterval(1);
    FRollTimer->OnTimer = [this](QObject*) { RollTimerTick(); };
    FVertScrollBar = std::make_unique<TControlScrollBar>(this);
    FVertScrollBar->SetKind(sbVertical);
    SetHorzScrollUnit(1);
    SetVertScrollUnit(1);
    RegisterRollCursors();
    // The window comes with both bars; what was set before reaches them.
    CreateWindowScrollBars();
    ShowWindowScrollBar(sbHorizontal, FHorzScrollBar->Visible());
    ShowWindowScrollBar(sbVertical, FVertScrollBar->Visible());
    FVertScrollBar->UpdateScrollInfo();
    FHorzScrollBar->UpdateScrollInfo();
}

TScrollView::~TScrollView() {
    // A view destroyed mid-roll must not leave its cursor on the screen.
    if (Rolling()) TScreenCursors::SetScreenCursor(0);
    delete FRollShadow;
    FRollShadow = nullptr;
    delete FRollTimer;
    FRollTimer = nullptr;
    FHorzScrollBar.reset();
    FVertScrollBar.reset();
}

void TScrollView::ScrollMessage(int Kind, int Code) {
    if (Kind == sbHorizontal)
        WMHScroll(Code);
    else
        WMVScroll(Code);
}

void TScrollView::WMHScroll(int Code) {
    ApplyScrollCode(FHorzScrollBar.get(), Code);
    ShowWindowScrollBar(sbHorizontal, Visible());
}

void TScrollView::WMVScroll(int Code) {
    ApplyScrollCode(FVertScrollBar.get(), Code);
    ShowWindowScrollBar(sbVertical, Visible());
}

void TScrollView::WindowScrollAction(int Kind, int Code) {
    ScrollMessage(Kind, Code);
}

void TScrollView::ApplyScrollCode(TControlScrollBar* Bar, int Code) {
    long long pos;
    switch (Code) {
    case SB_LINEUP:
        pos = static_cast<long long>(Bar->Position()) - Bar->LineStep();
        break;
    case SB_LINEDOWN:
        pos = static_cast<long long>(Bar->Position()) + Bar->LineStep();
        break;
    case SB_PAGEUP:
        pos = static_cast<long long>(Bar->Position()) - Bar->PageStep();
        break;
    case SB_PAGEDOWN:
        pos = static_cast<long long>(Bar->Position()) + Bar->PageStep();
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = WindowScrollTrackPos(Bar->Kind());
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = Bar->Max();
        break;
    default:
        return;
    }
    Bar->SetPosition(ClampToInt(pos));
}

bool TScrollView::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
    (void)MousePos;
    // Fine-grained wheels send parts of a notch; they add up to whole ones.
    FWheelRemainder = ClampToInt(static_cast<long long>(FWheelRemainder) + WheelDelta);
    while (FWheelRemainder >= 120) {
        FWheelRemainder -= 120;
        if (Shift & ssCtrl)
            FVertScrollBar->PageUp();
        else
            FVertScrollBar->LineUp();
    }
    while (FWheelRemainder <= -120) {
        FWheelRemainder += 120;
        if (Shift & ssCtrl)
            FVertScrollBar->PageDown();
        else
            FVertScrollBar->LineDown();
    }
    return true;
}

void TScrollView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return event->ignore();
    const QPoint p = event->position().toPoint();
    bool handled = true;
    Guarded(this, [&] {
        handled = DoMouseWheel(ShiftStateFrom(event->modifiers(), event->buttons()), delta,
                               {p.x() - FrameWidth(), p.y() - FrameWidth()});
    });
    event->setAccepted(handled);
}

// A handler of the press, move or release may free the view: the roll is
// not touched then.
void TScrollView::mousePressEvent(QMouseEvent* event) {
    const bool inClient = InClient(event->position());
    const QPointer<TScrollView> alive(this);
    TCustomScrollView::mousePressEvent(event);
    if (alive && inClient && event->button() == Qt::MiddleButton) {
        const QPoint p = event->position().toPoint();
        Guarded(this, [&] { StartRoll({p.x() - FrameWidth(), p.y() - FrameWidth()}); });
    }
}

void TScrollView::mouseMoveEvent(QMouseEvent* event) {
    const QPointer<TScrollView> alive(this);
    TCustomScrollView::mouseMoveEvent(event);
    if (alive && Rolling())
        Guarded(this, [&] { RollMove(event->position().toPoint().y() - FrameWidth()); });
}

void TScrollView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointer<TScrollView> alive(this);
    TCustomScrollView::mouseReleaseEvent(event);
    if (alive && Rolling()) Guarded(this, [this] { StopRoll(); });
}

void TScrollView::StartRoll(const TPoint& ClientPoint) {
    FRolling |= 1;
    // A direction left over from the last roll would scroll at the first
    // tick, before the pointer has moved at all: a plain middle click must
    // not scroll.
    FRollDirection = 0;
    FRollShadow->setCursor(TScreenCursors::Get(crRoll));
    FRollOrigin = ClientPoint;
    FRollShadow->ShowAt(ClientToScreen(ClientPoint));
    FRollShadow->Show();
    FRollTimer->SetInterval(1);
    FRollTimer->SetEnabled(true);
    // Qt keeps the pointer with this window while the button is held.
}

void TScrollView::RollMove(int Y) {
    FRollDirection = 0;
    const long long dy = static_cast<long long>(Y) - FRollOrigin.Y;
    int cursor;
    if (dy < -5) {
        cursor = crRollUp;
        FRollDirection |= 1;
    } else if (dy < 6) {
        cursor = crRoll; // the dead zone around the press point
    } else {
        cursor = crRollDown;
        FRollDirection |= 2;
    }
    TScreenCursors::SetScreenCursor(cursor);
    FRollShadow->setCursor(TScreenCursors::Get(cursor));
}

void TScrollView::StopRoll() {
    FRollTimer->SetEnabled(false);
    FRolling &= ~1u;
    FRollShadow->Hide();
    TScreenCursors::SetScreenCursor(0);
}

void TScrollView::RollTimerTick() {
    const TPoint p = ScreenToClient(TPoint::FromQPoint(QCursor::pos()));
    const long long dy = static_cast<long long>(p.Y) - FRollOrigin.Y;
    // The farther from the press point, the faster: 1 ms from 99 pixels on.
    const long long interval = 100 - std::llabs(dy);
    FRollTimer->SetInterval(interval < 1 ? 1 : int(interval));
    if (FRollDirection & 1) FVertScrollBar->LineUp();
    if (FRollDirection & 2) FVertScrollBar->LineDown();
}
