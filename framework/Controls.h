#pragma once
// Visual controls: a QWidget with the properties, events and child alignment
// that the stored layouts and the handlers expect.

#include "Classes.h"
#include "Graphics.h"
#include "Types.h"

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

using TMouseEvent = TEvent<QObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<QObject*, TShiftState, int, int>;
using TKeyPressEvent = TEvent<QObject*, QChar&>;

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The character a key press carries (Escape 27, Return 13, Backspace 8,
// Tab 9), or a null character for keys that carry none.
QChar KeyCharFrom(int key, const QString& text);

class TControl : public QWidget, public TComponentBase {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
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
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
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

// A control that holds other controls and lays out the aligned ones.
class TWinControl : public TControl {
    Q_OBJECT
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
public:
    explicit TWinControl(QObject* owner = nullptr);

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int value) { FTabOrder = value; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);

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

private:
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
