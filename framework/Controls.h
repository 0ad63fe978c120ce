#pragma once
// Visual controls: a QWidget with the properties, events and child alignment
// that the stored layouts and the handlers expect.

#include "Classes.h"
#include "Graphics.h"
#include "Types.h"

#include <QCursor>
#include <QWidget>

class TPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Shift state bits.
enum : int {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = int;

// Virtual-key codes of the keys that controls react to by name. Letters and
// digits are their upper-case ASCII codes ('A', '7').
enum : int {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 0x70,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
};

using TMouseEvent = TEvent<QObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<QObject*, TShiftState, int, int>;
// A key by its virtual-key code; a handler that sets Key to 0 swallows it.
using TKeyEvent = TEvent<QObject*, int&, TShiftState>;
// A typed character; a handler that sets it to the null character swallows
// it, one that changes it types another.
using TKeyPressEvent = TEvent<QObject*, QChar&>;

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The virtual-key code of a Qt key, 0 for a key that has none of its own
// (punctuation, letters beyond A to Z): those reach the controls only as the
// characters they type.
int VirtualKeyFrom(int key);
// The character a key press carries (Escape 27, Return 13, Backspace 8,
// Tab 9; with Ctrl a letter gives its control code, Ctrl+C 3, Ctrl+V 22), or
// a null character for keys that carry none.
QChar KeyCharFrom(int key, const QString& text, Qt::KeyboardModifiers modifiers = {});
// True for a focus change that moves the keyboard from one control to
// another. The window losing or regaining the activation, or a menu opening
// over it, leaves the window's focused control as it is.
bool FocusMovesBetweenControls(Qt::FocusReason reason);

class TControl : public QWidget, public TComponentBase {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)
    enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
    Q_ENUM(TBiDiMode)
    enum TCursor {
        crDefault = 0,
        crNone = -1,
        crArrow = -2,
        crCross = -3,
        crIBeam = -4,
        crSizeNESW = -6,
        crSizeNS = -7,
        crSizeNWSE = -8,
        crSizeWE = -9,
        crUpArrow = -10,
        crHourGlass = -11,
        crDrag = -12,
        crNoDrop = -13,
        crHSplit = -14,
        crVSplit = -15,
        crMultiDrag = -16,
        crSQLWait = -17,
        crNo = -18,
        crAppStart = -19,
        crHelp = -20,
        crHandPoint = -21,
        crSizeAll = -22,
    };
    Q_ENUM(TCursor)

    explicit TControl(QObject* owner = nullptr);
    ~TControl() override;

    QObject* Owner() const { return FOwner; }
    QString Name() const { return objectName(); }

    int Left() const { return FLeft; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    int Top() const { return FTop; }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    int Width() const { return FWidth; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool value);
    // Right-to-left modes lay the control out mirrored (bdRightToLeft,
    // bdRightToLeftNoAlign) or only read its text from the right.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    // The pointer shape of a cursor; positive numbers are the program's own
    // registered cursors (TScreenCursors).
    static QCursor CursorShape(TCursor cursor);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    TFont* Font() const { return FFont; }
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value) { FParentShowHint = value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // The control that lays this one out (null for a top-level window).
    class TWinControl* ParentControl() const {
        return FParent;
    }
    void SetParentControl(TWinControl* parent);

    // The colour the control paints its background with, after the parent
    // colour rule.
    TColor EffectiveColor() const;
    // Called when the caption, font or colour changed; controls that draw
    // their own content repaint or resize here.
    virtual void CaptionChanged() { update(); }
    virtual void FontChanged();
    virtual void ColorChanged() { update(); }
    virtual void BiDiModeChanged() {}

    void Loaded() override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Overridable dispatch of the events.
    virtual void Click() { OnClick(this); }
    virtual void DblClick() { OnDblClick(this); }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
        OnMouseDown(this, button, shift, x, y);
    }
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
        OnMouseUp(this, button, shift, x, y);
    }
    virtual void MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
    // The pointer came over the control or left it.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Shows the pointer shape of Cursor; controls whose default pointer is
    // not the arrow (text areas) or that change it by place override this.
    virtual void ApplyCursor();
    // Size the control to its content when AutoSize is on.
    virtual void AdjustSize() {}
    void ApplyPalette();
    // Controls that paint their background themselves (or let the parent
    // show through) say so; the others are filled with their colour.
    virtual bool PaintsOwnBackground() const { return false; }
    void ApplyVisibility();
    void ApplyHint();
    // A top-level window positions itself (frame included).
    virtual void ApplyGeometry();
    // A window shown or hidden by the system keeps its Visible property true.
    void SyncVisible(bool value) { FVisible = value; }

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;

private:
    QObject* FOwner = nullptr;
    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    bool FAutoSize = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    QString FCaption;
    TColor FColor = clBtnFace;
    TCursor FCursor = crDefault;
    TFont* FFont = nullptr;
    QString FHint;
    bool FParentColor = false;
    bool FParentFont = true;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    bool FShowHint = false;
    int FTag = 0;
    bool FVisible = true;
    bool FSkipClick = false;
};

// A control that holds other controls and lays out the aligned ones. It
// takes the keyboard focus and hears the keys typed into it: a Qt key press
// becomes KeyDown and then, for a key that carries a character, KeyPress; a
// release becomes KeyUp. A key reaches only the control it was typed into,
// never the parents Qt passes an ignored key on to.
class TWinControl : public TControl {
    Q_OBJECT
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
public:
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TWinControl(QObject* owner = nullptr);
    ~TWinControl() override;

    // True while a control being freed takes the keyboard from itself or a
    // control inside it: no exit is reported then.
    static bool FocusNoticesHeld();

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int value) { FTabOrder = value; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);

    // Where the client area's (0, 0) lies in the window: the children are
    // placed in client coordinates, inside any frame the control draws.
    virtual TPoint ClientOrigin() const { return {}; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Overridable dispatch of the focus and key events.
    virtual void DoEnter() { OnEnter(this); }
    virtual void DoExit() { OnExit(this); }
    virtual void KeyDown(int& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
    virtual void KeyUp(int& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }
    virtual void KeyPress(QChar& Key) { OnKeyPress(this, Key); }

    // Runs the dispatchers for a key press meant for this control (or for a
    // window it hosts): KeyDown, then KeyPress when the key carries a
    // character. Answers false when a handler swallowed the key. KeyPress
    // hears the character the window's key preview left, if it changed it.
    // When the character heard last is not the key's own, `replacement` (if
    // given) receives it, else it is set to null.
    bool DispatchKeyPress(QKeyEvent* event, QChar* replacement = nullptr);
    // KeyUp for a key release; false when a handler swallowed it. The
    // releases of an auto-repeating key are not reported.
    bool DispatchKeyRelease(QKeyEvent* event);

    // The widget the children are put on (a window puts them under its menu).
    virtual QWidget* ContainerWidget() { return this; }
    // The area the aligned children share; group boxes leave room for their
    // frame and caption.
    virtual void AdjustClientRect(TRect& rect) const { (void)rect; }
    // Lays out the aligned children: top, bottom, left, right, then client,
    // each in the order the children were added.
    void AlignControls();
    std::vector<TControl*> Controls() const;

    bool ReadChild(QObject* child) override;
    std::vector<QObject*> StreamedChildren() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // True while a key event sent to `object` itself is being delivered (not
    // one that Qt passes on from a child that ignored it).
    static bool IsKeyReceiver(const QObject* object);

private:
    static int FocusNoticesHeldCount;
    int FTabOrder = -1;
    bool FTabStop = false;
    bool FAligning = false;
};

// Screen facts the windows size themselves by.
class TScreen {
public:
    static int Width();
    static int Height();
};
