#pragma once
// A self-painting window that keeps the state of its two scroll bars
// itself, turns scroll-bar actions into position changes, scrolls its
// content by whole units inside a clip rectangle, and rolls vertically
// while the middle button is held.

#include "CustomControl.h"
#include "ExtCtrls.h"

#include <array>
#include <memory>

class QScrollBar;
class TRollShadow;
class TScrollView;

// Scroll codes of a scroll-bar action.
enum : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

// Scroll bar kinds.
enum : int { sbHorizontal = 0, sbVertical = 1 };

// Cursor numbers of the roll mode.
constexpr int crRoll = 3003;
constexpr int crRollUp = 3004;
constexpr int crRollDown = 3005;

// The state of one of the view's scroll bars. Changes reach the window's bar
// at once unless the bar is locked (inside SetParams).
class TControlScrollBar {
public:
    explicit TControlScrollBar(TScrollView* View);
    virtual ~TControlScrollBar() = default;
    TControlScrollBar(const TControlScrollBar&) = delete;
    TControlScrollBar& operator=(const TControlScrollBar&) = delete;

    TScrollView* Control() const { return FControl; }
    int Kind() const { return FKind; }
    void SetKind(int Value) { FKind = Value; }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int PageStep() const { return FPageStep; }
    void SetPageStep(int Value) { FPageStep = Value; }
    int LineStep() const { return FLineStep; }
    void SetLineStep(int Value) { FLineStep = Value; }
    int Max() const { return FMax; }
    // Negative becomes 0; a position beyond the new maximum is pulled back
    // without scrolling the content.
    void SetMax(int Value);
    int Min() const { return FMin; }
    // Negative becomes 0; the position is left alone.
    void SetMin(int Value);
    unsigned PageSize() const { return FPageSize; }
    void SetPageSize(unsigned Value);
    int Position() const { return FPosition; }
    // Clamps to Min..Max and scrolls the content by the change.
    void SetPosition(int Value);
    int OldPosition() const { return FOldPosition; }
    bool Visible() const { return FVisible; }
    // Shows or hides the window's bar at once, locked or not.
    void SetVisible(bool Value);
    bool Locked() const { return FLocked; }
    bool Refreshing() const { return FRefreshing; }

    // Sets everything with one update of the window's bar at the end; a
    // Position of 0 or below leaves the position alone.
    void SetParams(int Position, int Min, bool Visible, bool Enabled, unsigned PageSize, int Max);

    // One scroll action through the view's scroll handler; nothing happens
    // while Max is below 1.
    void LineDown();
    void LineUp();
    void PageDown();
    void PageUp();

    // Takes over the settings of another bar: steps, range, page,
    // visibility, enabling and position (the kind stays).
    void Assign(const TControlScrollBar& Source);

    // Pushes the state into the window's bar (unless locked).
    virtual void UpdateScrollInfo();

private:
    void Send(int Code);

    TScrollView* FControl;
    bool FEnabled = true;
    int FKind = 0;
    int FPageStep = 1;
    int FMax = 100;
    int FMin = 0;
    int FOldPosition = 0;
    unsigned FPageSize = 0;
    int FPosition = 0;
    int FLineStep = 1;
    bool FVisible = true;
    bool FLocked = false;
    bool FRefreshing = false;
};

// The scrolling window: client area, optional frame and the window's scroll
// bars (real scroll-bar children at the right and bottom edges; the client
// area excludes the visible ones and the frame), and scrolling of the pixels
// already drawn.
class TCustomScrollView : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomScrollView(QObject* owner = nullptr);
    ~TCustomScrollView() override;

    // Moves the client content by DeltaX horizontal and DeltaY vertical
    // units, inside HorzScrollRect (when DeltaX is not 0) or VertScrollRect;
    // only the uncovered strip is repainted.
    virtual void ScrollBy(int DeltaX, int DeltaY);

    int LastHorzDelta() const { return FLastHorzDelta; }
    int LastVertDelta() const { return FLastVertDelta; }
    const TRect& HorzScrollRect() const { return FHorzScrollRect; }
    void SetHorzScrollRect(const TRect& Value) { FHorzScrollRect = Value; }
    const TRect& VertScrollRect() const { return FVertScrollRect; }
    void SetVertScrollRect(const TRect& Value) { FVertScrollRect = Value; }
    int HorzScrollUnit() const { return FHorzScrollUnit; }
    void SetHorzScrollUnit(int Value) { FHorzScrollUnit = Value; }
    int VertScrollUnit() const { return FVertScrollUnit; }
    void SetVertScrollUnit(int Value) { FVertScrollUnit = Value; }

    // The client area: the window less its frame and visible bars.
    TRect ClientRect() const override;
    // Where the client area's (0, 0) lies in the window; child windows are
    // placed in window coordinates.
    TPoint ClientOrigin() const override { return {FFrameWidth, FFrameWidth}; }
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;
    // Repaints a rectangle of the client area in the next paint pass.
    void InvalidateRect(const TRect& r);
    void Invalidate();

    // Width of the frame around the client area (0: none).
    int FrameWidth() const { return FFrameWidth; }
    void SetFrameWidth(int Value);

    // The window's scroll bar of a kind (null before the window has bars).
    QScrollBar* WindowScrollBar(int Kind) const;
    bool WindowScrollBarShown(int Kind) const;
    // The window side of the scroll bars: range and position, enabling,
    // showing, and the position of a thumb being dragged.
    void SetWindowScrollInfo(int Kind, int Min, int Max, unsigned Page, int Pos);
    void EnableWindowScrollBar(int Kind, bool Enable);
    void ShowWindowScrollBar(int Kind, bool Show);
    int WindowScrollTrackPos(int Kind) const;

protected:
    // Gives the window its two scroll bars (hidden until shown).
    void CreateWindowScrollBars();
    // A scroll-bar action of the window's bar of that kind.
    virtual void WindowScrollAction(int Kind, int Code) {
        (void)Kind;
        (void)Code;
    }
    // The client area changed size (the window resized or a bar came or
    // went).
    virtual void WMSize() {}
    // Draws the frame in window coordinates; the classic sunken edge.
    virtual void PaintFrame();
    // The paint pass covers the whole client area: no background erase.
    bool PaintsOwnBackground() const override { return true; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // True when a window point lies in the client area.
    bool InClient(const QPointF& windowPos) const;

    int FLastHorzDelta = 0;
    int FLastVertDelta = 0;

private:
    void LayoutScrollBars();
    int BarExtent(int Kind) const;
    QRect ClientQRectInWindow() const;
    template <class Fn> void Translated(QMouseEvent* event, Fn handler);

    TRect FHorzScrollRect;
    int FHorzScrollUnit = 1;
    TRect FVertScrollRect;
    int FVertScrollUnit = 1;
    int FFrameWidth = 0;
    std::array<QScrollBar*, 2> FBars{};
    std::array<bool, 2> FBarShown{};
};

class TScrollView : public TCustomScrollView {
    Q_OBJECT
public:
    explicit TScrollView(QObject* owner = nullptr);
    ~TScrollView() override;

    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    TRollShadow* RollShadow() const { return FRollShadow; }
    TTimer* RollTimer() const { return FRollTimer; }
    TPoint RollOrigin() const { return FRollOrigin; }
    bool Rolling() const { return FRolling & 1; }
    unsigned RollDirection() const { return FRollDirection; }

    // Called after every position change of either bar.
    virtual void ScrollPositionChanged(int Kind) { (void)Kind; }

    // The scroll messages: a scroll code for the horizontal or the vertical
    // bar. Every position change by the user, the keyboard, the wheel and
    // the roll mode arrives here.
    virtual void WMHScroll(int Code);
    virtual void WMVScroll(int Code);
    // Delivers a scroll code to the handler of the bar's direction.
    void ScrollMessage(int Kind, int Code);

protected:
    // The wheel: one line of the vertical bar per notch (120), a page with
    // Ctrl held, through LineUp/LineDown/PageUp/PageDown. Answers whether
    // the wheel was handled; a subclass that scrolls otherwise overrides it.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);
    void wheelEvent(QWheelEvent* event) override;
    void WindowScrollAction(int Kind, int Code) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // One tick of the roll timer.
    void RollTimerTick();

private:
    friend class TControlScrollBar;
    void ApplyScrollCode(TControlScrollBar* Bar, int Code);
    void StartRoll(const TPoint& ClientPoint);
    void StopRoll();
    void RollMove(int Y);

    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    TPoint FRollOrigin;
    TRollShadow* FRollShadow = nullptr;
    TTimer* FRollTimer = nullptr;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    unsigned FRolling = 0;
    unsigned FRollDirection = 0;
    int FWheelRemainder = 0;
};
