#include "Controls.h"

#include "Accessibility.h"
#include "Application.h"
#include "CustomControl.h"
#include "Menus.h"

#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

int VirtualKeyFrom(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

QChar KeyCharFrom(int key, const QString& text, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Tab:
        return QChar(9);
    default:
        break;
    }
    // Ctrl (without Alt, which with Ctrl is AltGr on some desktops) turns a
    // letter into its control code, whatever text the platform reports, and
    // types nothing with any other key.
    const Qt::KeyboardModifiers chord = modifiers & (Qt::ControlModifier | Qt::AltModifier);
    if (chord == Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return QChar(key - Qt::Key_A + 1);
        return QChar();
    }
    return text.isEmpty() ? QChar() : text.front();
}

bool FocusMovesBetweenControls(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

namespace {

bool ButtonFrom(Qt::MouseButton b, TMouseButton& out) {
    switch (b) {
    case Qt::LeftButton:
        out = mbLeft;
        return true;
    case Qt::RightButton:
        out = mbRight;
        return true;
    case Qt::MiddleButton:
        out = mbMiddle;
        return true;
    default:
        return false;
    }
}

Qt::CursorShape CursorShapeFor(TControl::TCursor cursor) {
    switch (cursor) {
    case TControl::crNone:
        return Qt::BlankCursor;
    case TControl::crCross:
        return Qt::CrossCursor;
    case TControl::crIBeam:
        return Qt::IBeamCursor;
    case TControl::crSizeNESW:
        return Qt::SizeBDiagCursor;
    case TControl::crSizeNS:
        return Qt::SizeVerCursor;
    case TControl::crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case TControl::crSizeWE:
        return Qt::SizeHorCursor;
    case TControl::crUpArrow:
        return Qt::UpArrowCursor;
    case TControl::crHourGlass:
    case TControl::crSQLWait:
        return Qt::WaitCursor;
    case TControl::crDrag:
    case TControl::crMultiDrag:
        return Qt::DragCopyCursor;
    case TControl::crNoDrop:
    case TControl::crNo:
        return Qt::ForbiddenCursor;
    case TControl::crHSplit:
        return Qt::SplitHCursor;
    case TControl::crVSplit:
        return Qt::SplitVCursor;
    case TControl::crAppStart:
        return Qt::BusyCursor;
    case TControl::crHelp:
        return Qt::WhatsThisCursor;
    case TControl::crHandPoint:
        return Qt::PointingHandCursor;
    case TControl::crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(QObject* owner)
    : QWidget(qobject_cast<QWidget*>(owner)), FOwner(owner), FFont(new TFont(this)) {
    // Before any tool can ask after this control.
    InstallAccessibleFactory();
    RegisterEvent("OnClick", OnClick);
    RegisterEvent("OnDblClick", OnDblClick);
    RegisterEvent("OnMouseDown", OnMouseDown);
    RegisterEvent("OnMouseUp", OnMouseUp);
    RegisterEvent("OnMouseMove", OnMouseMove);
    FFont->OnChange = [this] {
        FParentFont = false;
        FontChanged();
    };
    QWidget::setFont(FFont->ToQFont());
    ApplyPalette();
}

TControl::~TControl() {
    SetComponentStateFlags(csDestroying, true);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    const bool sizeChanged = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    ApplyGeometry();
    if (FParent && (sizeChanged || FAlign != alNone)) FParent->AlignControls();
}

void TControl::ApplyGeometry() {
    const TPoint origin = FParent ? FParent->ClientOrigin() : TPoint();
    setGeometry(FLeft + origin.X, FTop + origin.Y, FWidth, FHeight);
}

void TControl::SetAlign(TAlign value) {
    FAlign = value;
    if (FParent) FParent->AlignControls();
}

void TControl::SetAutoSize(bool value) {
    FAutoSize = value;
    if (value) AdjustSize();
}

void TControl::SetCaption(const QString& value) {
    if (FCaption == value) return;
    FCaption = value;
    CaptionChanged();
    if (FAutoSize) AdjustSize();
}

void TControl::SetColor(TColor value) {
    FColor = value;
    FParentColor = false;
    ApplyPalette();
    ColorChanged();
}

void TControl::SetBiDiMode(TBiDiMode value) {
    FBiDiMode = value;
    // Qt mirrors the layout as a whole; reading order alone is the text's.
    setLayoutDirection(value == bdRightToLeft || value == bdRightToLeftNoAlign ? Qt::RightToLeft
                                                                               : Qt::LeftToRight);
    BiDiModeChanged();
}

void TControl::SetCursor(TCursor value) {
    FCursor = value;
    ApplyCursor();
}

QCursor TControl::CursorShape(TCursor cursor) {
    if (cursor > 0) return TScreenCursors::Get(cursor);
    return QCursor(CursorShapeFor(cursor));
}

void TControl::ApplyCursor() {
    if (FCursor == crDefault)
        unsetCursor();
    else
        QWidget::setCursor(CursorShape(FCursor));
}

void TControl::SetHint(const QString& value) {
    FHint = value;
    ApplyHint();
}

void TControl::SetShowHint(bool value) {
    // A layout may store the hint before or after this switch.
    FShowHint = value;
    ApplyHint();
}

void TControl::ApplyHint() {
    setToolTip(FShowHint ? FHint : QString());
}

void TControl::SetParentColor(bool value) {
    FParentColor = value;
    ApplyPalette();
    ColorChanged();
}

void TControl::SetParentFont(bool value) {
    FParentFont = value;
    if (value && FParent) {
        FFont->Assign(*FParent->Font());
        FParentFont = true;
    }
}

void TControl::SetPopupMenu(TPopupMenu* value) {
    FPopupMenu = value;
}

void TControl::SetVisible(bool value) {
    FVisible = value;
    ApplyVisibility();
    if (FParent) FParent->AlignControls();
}

void TControl::ApplyVisibility() {
    if (IsLoading() && !parentWidget()) return;
    setVisible(FVisible);
}

TColor TControl::EffectiveColor() const {
    if (FParentColor && FParent) return FParent->EffectiveColor();
    return FColor;
}

void TControl::ApplyPalette() {
    QPalette pal = palette();
    const QColor c = ToQColor(EffectiveColor());
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::WindowText, ToQColor(FFont->Color()));
    setPalette(pal);
    setAutoFillBackground(!PaintsOwnBackground());
}

void TControl::FontChanged() {
    QWidget::setFont(FFont->ToQFont());
    ApplyPalette();
    if (auto* win = dynamic_cast<TWinControl*>(this)) {
        for (TControl* child : win->Controls()) {
            if (child->FParentFont) {
                child->FFont->Assign(*FFont);
                child->FParentFont = true;
            }
        }
    }
    if (FAutoSize) AdjustSize();
    update();
}

void TControl::SetParentControl(TWinControl* parent) {
    FParent = parent;
    setParent(parent ? parent->ContainerWidget() : nullptr);
    if (parent) {
        if (FParentFont) {
            FFont->Assign(*parent->Font());
            FParentFont = true;
        }
        ApplyPalette();
    }
    ApplyGeometry();
    ApplyVisibility();
    if (parent) parent->AlignControls();
}

void TControl::Loaded() {
    TComponentBase::Loaded();
    ApplyPalette();
    ApplyVisibility();
    if (FAutoSize) AdjustSize();
}

void TControl::mousePressEvent(QMouseEvent* event) {
    TMouseButton b;
    if (!ButtonFrom(event->button(), b)) return QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    Guarded(this, [&] {
        MouseDown(b, ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton b;
    if (!ButtonFrom(event->button(), b)) return QWidget::mouseReleaseEvent(event);
    const QPoint p = event->position().toPoint();
    // A failing MouseUp ends the release there: the control is not clicked.
    Guarded(this, [&] {
        // A handler may free the control; a freed one is not clicked.
        const QPointer<TControl> alive(this);
        MouseUp(b, ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
        if (!alive) return;
        const bool click = b == mbLeft && rect().contains(p) && !FSkipClick;
        FSkipClick = false;
        if (click) Click();
    });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    // The release that follows the second press does not click again.
    FSkipClick = true;
    Guarded(this, [&] { DblClick(); });
}

void TControl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Guarded(this,
            [&] { MouseMove(ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TControl::contextMenuEvent(QContextMenuEvent* event) {
    if (!FPopupMenu || !FPopupMenu->AutoPopup()) {
        event->ignore();
        return;
    }
    event->accept();
    // The menu's OnPopup handler runs before it shows.
    Guarded(this, [&] {
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(event->globalPos().x(), event->globalPos().y());
    });
}

void TControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    Guarded(this, [this] { MouseEnter(); });
}

void TControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Guarded(this, [this] { MouseLeave(); });
}

// ------------------------------------------------------------- TWinControl

int TWinControl::FocusNoticesHeldCount = 0;

TWinControl::~TWinControl() {
    SetComponentStateFlags(csDestroying, true);
    // A control freed while it or a control inside it has the keyboard gives
    // it up now, while the controls are whole: Qt would do it only once this
    // is a bare QWidget, and its focus notices would then reach a
    // half-destroyed control (or a hosted edit control asking after it). A
    // control that is going away, or one inside it, reports no exit.
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == this || isAncestorOf(focus))) {
        ++FocusNoticesHeldCount;
        focus->clearFocus();
        --FocusNoticesHeldCount;
    }
}

bool TWinControl::FocusNoticesHeld() {
    return FocusNoticesHeldCount > 0;
}

TWinControl::TWinControl(QObject* owner) : TControl(owner) {
    RegisterEvent("OnEnter", OnEnter);
    RegisterEvent("OnExit", OnExit);
    RegisterEvent("OnKeyDown", OnKeyDown);
    RegisterEvent("OnKeyUp", OnKeyUp);
    RegisterEvent("OnKeyPress", OnKeyPress);
}

void TWinControl::SetTabStop(bool value) {
    FTabStop = value;
    const Qt::FocusPolicy policy = value ? Qt::StrongFocus : Qt::ClickFocus;
    setFocusPolicy(policy);
    // A control whose keyboard focus lives in a hosted window (an edit
    // control) is reached by Tab only when it is a tab stop itself.
    if (QWidget* proxy = focusProxy()) proxy->setFocusPolicy(policy);
}

bool TWinControl::DispatchKeyPress(QKeyEvent* event, QChar* replacement) {
    if (replacement) *replacement = QChar();
    const TShiftState shift = ShiftStateFrom(event->modifiers(), Qt::NoButton);
    const QChar original = KeyCharFrom(event->key(), event->text(), event->modifiers());
    // A window's key preview may have typed another character for this one.
    const QChar previewed = TQtApplication::PreviewedCharacter();
    const QChar typed = !original.isNull() && !previewed.isNull() ? previewed : original;
    // A handler may free the control (or what holds it): the key ends there,
    // as a swallowed one.
    const QPointer<TWinControl> alive(this);
    if (int key = VirtualKeyFrom(event->key()); key != 0) {
        KeyDown(key, shift);
        if (!alive || key == 0) return false;
    }
    if (typed.isNull()) return true;
    QChar character = typed;
    KeyPress(character);
    if (!alive || character.isNull()) return false;
    if (replacement && character != original) *replacement = character;
    return true;
}

bool TWinControl::DispatchKeyRelease(QKeyEvent* event) {
    if (event->isAutoRepeat()) return true;
    int key = VirtualKeyFrom(event->key());
    if (key == 0) return true;
    const QPointer<TWinControl> alive(this);
    KeyUp(key, ShiftStateFrom(event->modifiers(), Qt::NoButton));
    return alive && key != 0;
}

bool TWinControl::IsKeyReceiver(const QObject* object) {
    const QObject* receiver = TQtApplication::KeyEventReceiver();
    return !receiver || receiver == object;
}

void TWinControl::keyPressEvent(QKeyEvent* event) {
    // A key whose handler failed goes no further, like a swallowed one.
    bool goOn = true;
    const bool ran = Guarded(this, [&] { goOn = !IsKeyReceiver(this) || DispatchKeyPress(event); });
    if (!ran || !goOn) {
        event->accept();
        return;
    }
    TControl::keyPressEvent(event);
}

void TWinControl::keyReleaseEvent(QKeyEvent* event) {
    bool goOn = true;
    const bool ran =
        Guarded(this, [&] { goOn = !IsKeyReceiver(this) || DispatchKeyRelease(event); });
    if (!ran || !goOn) {
        event->accept();
        return;
    }
    TControl::keyReleaseEvent(event);
}

void TWinControl::focusInEvent(QFocusEvent* event) {
    TControl::focusInEvent(event);
    if (FocusMovesBetweenControls(event->reason())) Guarded(this, [this] { DoEnter(); });
}

void TWinControl::focusOutEvent(QFocusEvent* event) {
    TControl::focusOutEvent(event);
    if (FocusMovesBetweenControls(event->reason()) && !FocusNoticesHeld())
        Guarded(this, [this] { DoExit(); });
}

std::vector<TControl*> TWinControl::Controls() const {
    std::vector<TControl*> result;
    const QWidget* container = const_cast<TWinControl*>(this)->ContainerWidget();
    for (QObject* o : container->children())
        if (auto* c = dynamic_cast<TControl*>(o); c && c->ParentControl() == this)
            result.push_back(c);
    return result;
}

void TWinControl::AlignControls() {
    if (FAligning || (ComponentState() & csDestroying)) return;
    // A child's SetBounds may fail; the next alignment must still run.
    FAligning = true;
    const struct Done {
        bool& Aligning;
        ~Done() { Aligning = false; }
    } done{FAligning};
    const QWidget* container = ContainerWidget();
    TRect r = container == this ? Rect(0, 0, FWidth, FHeight)
                                : Rect(0, 0, container->width(), container->height());
    AdjustClientRect(r);
    const std::vector<TControl*> children = Controls();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : children) {
            if (c->Align() != align || !c->Visible()) continue;
            switch (align) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
                r.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                r.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->Width(), std::max(0, r.Height()));
                r.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), std::max(0, r.Height()));
                r.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
                break;
            case alNone:
                break;
            }
        }
    }
}

bool TWinControl::ReadChild(QObject* child) {
    auto* control = dynamic_cast<TControl*>(child);
    if (!control) return false;
    control->SetParentControl(this);
    return true;
}

std::vector<QObject*> TWinControl::StreamedChildren() const {
    const std::vector<TControl*> controls = Controls();
    return {controls.begin(), controls.end()};
}

void TWinControl::resizeEvent(QResizeEvent* event) {
    TControl::resizeEvent(event);
    if (!parentWidget()) {
        FWidth = width();
        FHeight = height();
    }
    // Aligning runs the children's SetBounds, which controls override.
    Guarded(this, [this] { AlignControls(); });
}

void TWinControl::childEvent(QChildEvent* event) {
    TControl::childEvent(event);
    if (event->removed() && !(ComponentState() & csDestroying))
        Guarded(this, [this] { AlignControls(); });
}

// ------------------------------------------------------------------ TScreen

int TScreen::Width() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}
