#include "EditControl.h"

#include "Application.h"
#include "Menus.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

TEditControl::TEditControl(TWinControl* host) : QLineEdit(host), FHost(host) {
    setFrame(false);
    // Pointer moves reach the host with no button held, as its hot
    // tracking and its pointer shapes expect.
    setMouseTracking(true);
    // Like the classic edit control it takes no drops: dropped text would
    // pass by the host's key and paste rules.
    setAcceptDrops(false);
    // A text put in from code is kept whole, however long (a cell's text
    // must come back unchanged); the line edit would cut it at 32767.
    setMaxLength(std::numeric_limits<int>::max());
    setFocusPolicy(host->focusPolicy());
    host->setFocusProxy(this);
}

void TEditControl::SetTextQuietly(const QString& text) {
    const QSignalBlocker quiet(this);
    setText(text);
}

int TEditControl::SelStart() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TEditControl::SetSelStart(int value) {
    setCursorPosition(std::clamp(value, 0, int(text().size())));
}

int TEditControl::SelLength() const {
    return hasSelectedText() ? selectionLength() : 0;
}

void TEditControl::SetSelLength(int value) {
    const int start = SelStart();
    const int length = std::clamp(value, 0, int(text().size()) - start);
    if (length == 0)
        SetSelStart(start);
    else
        setSelection(start, length);
}

void TEditControl::ReplaceSelection(const QString& text) {
    insert(text);
}

void TEditControl::SetTextAlignment(TLabel::TAlignment value) {
    Qt::Alignment a = Qt::AlignVCenter;
    switch (value) {
    case TLabel::taRightJustify:
        a |= Qt::AlignRight;
        break;
    case TLabel::taCenter:
        a |= Qt::AlignHCenter;
        break;
    default:
        a |= Qt::AlignLeft;
        break;
    }
    // Qt mirrors a relative alignment under a right-to-left layout.
    if (!FHost->UseRightToLeftAlignment()) a |= Qt::AlignAbsolute;
    setAlignment(a);
}

void TEditControl::SetColors(TColor background, TColor text) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(background));
    pal.setColor(QPalette::Window, ToQColor(background));
    pal.setColor(QPalette::Text, ToQColor(text));
    setPalette(pal);
}

void TEditControl::PasteClipboard() {
    if (isReadOnly()) return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    Paste(clipboard ? clipboard->text() : QString());
}

void TEditControl::Paste(const QString& text) {
    if (isReadOnly()) return;
    if (OnPaste)
        OnPaste(text);
    else
        ReplaceSelection(text);
}

QMenu* TEditControl::CreateContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // The platform's entry pastes by itself; it is the one action bound to
    // the line edit's own paste, which is what tells it from the others.
    // (Qt binds it by name in some versions and by member in others.)
    for (QAction* action : menu->actions()) {
        const bool bound =
            QObject::disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            QObject::disconnect(action, &QAction::triggered, this, &QLineEdit::paste);
        if (bound)
            connect(action, &QAction::triggered, this,
                    [this] { Guarded(FHost, [this] { PasteClipboard(); }); });
    }
    return menu;
}

void TEditControl::keyPressEvent(QKeyEvent* event) {
    const QPointer<TEditControl> alive(this);
    QChar replacement;
    bool goOn = false;
    // A key whose handler failed goes no further, like a swallowed one.
    Guarded(FHost, [&] { goOn = FHost->DispatchKeyPress(event, &replacement); });
    if (!alive) return;
    if (!goOn) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Guarded(FHost, [this] { PasteClipboard(); });
        return;
    }
    if (replacement.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The host typed another character in place of this one.
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(replacement),
                      event->isAutoRepeat(), event->count());
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void TEditControl::keyReleaseEvent(QKeyEvent* event) {
    const QPointer<TEditControl> alive(this);
    bool goOn = false;
    Guarded(FHost, [&] { goOn = FHost->DispatchKeyRelease(event); });
    if (!alive) return;
    if (!goOn) {
        event->accept();
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void TEditControl::inputMethodEvent(QInputMethodEvent* event) {
    // What an input method commits is typed text: each character passes the
    // host's character dispatch as a typed one would.
    const QString committed = event->commitString();
    if (committed.isEmpty()) return QLineEdit::inputMethodEvent(event);
    const QPointer<TEditControl> alive(this);
    QString kept;
    // A failing handler ends the commit there: nothing of it is typed.
    const bool ran = Guarded(FHost, [&] {
        for (QChar c : committed) {
            FHost->KeyPress(c);
            if (!alive) return;
            if (!c.isNull()) kept += c;
        }
    });
    if (!alive || !ran) return;
    event->setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(event);
}

void TEditControl::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (FocusMovesBetweenControls(event->reason())) Guarded(FHost, [this] { FHost->DoEnter(); });
}

void TEditControl::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (FocusMovesBetweenControls(event->reason()) && !TWinControl::FocusNoticesHeld())
        Guarded(FHost, [this] { FHost->DoExit(); });
}

void TEditControl::ForwardMouse(QMouseEvent* event) {
    // Only the buttons the host's handlers take: an ignored event would
    // travel on to the host's parents.
    const Qt::MouseButton b = event->button();
    if (b != Qt::NoButton && b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton)
        return;
    QMouseEvent moved(event->type(), mapTo(FHost, event->position()), event->scenePosition(),
                      event->globalPosition(), b, event->buttons(), event->modifiers(),
                      event->pointingDevice());
    QCoreApplication::sendEvent(FHost, &moved);
}

void TEditControl::mousePressEvent(QMouseEvent* event) {
    const QPointer<TEditControl> alive(this);
    QLineEdit::mousePressEvent(event);
    if (alive) ForwardMouse(event);
}

void TEditControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPointer<TEditControl> alive(this);
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard && clipboard->supportsSelection()) {
        // The selection paste of X11 desktops: at the caret the press put
        // where the pointer was.
        if (!isReadOnly() && rect().contains(event->position().toPoint())) {
            deselect();
            Guarded(FHost, [&] { Paste(clipboard->text(QClipboard::Selection)); });
        }
        event->accept();
    } else {
        QLineEdit::mouseReleaseEvent(event);
    }
    if (alive) ForwardMouse(event);
}

void TEditControl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointer<TEditControl> alive(this);
    QLineEdit::mouseDoubleClickEvent(event);
    if (alive) ForwardMouse(event);
}

void TEditControl::mouseMoveEvent(QMouseEvent* event) {
    const QPointer<TEditControl> alive(this);
    QLineEdit::mouseMoveEvent(event);
    if (alive) ForwardMouse(event);
}

void TEditControl::contextMenuEvent(QContextMenuEvent* event) {
    // A host with a popup menu of its own shows that one instead.
    if (const TPopupMenu* own = FHost->PopupMenu(); own && own->AutoPopup()) {
        event->ignore();
        return;
    }
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}
