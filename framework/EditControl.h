#pragma once
// The system edit control: a single-line QLineEdit that a windowed control
// hosts and that behaves as part of it. Typing, selection, the clipboard,
// undo and input methods are the platform's; what the host sees is routed to
// its own dispatchers:
// - key presses and releases reach the host's KeyDown, KeyPress and KeyUp
//   before the line edit sees them, so the host can swallow or change a key;
// - gaining and losing the focus are the host's DoEnter and DoExit (the
//   host's focus is this control's);
// - mouse events reach the host's handlers after the line edit has taken
//   them, in the host's coordinates;
// - every way of pasting (the paste keys, the context menu, the middle
//   button's selection paste) goes through one hook.

#include "Controls.h"
#include "StdCtrls.h"

#include <QLineEdit>
#include <functional>

class QMenu;

class TEditControl : public QLineEdit {
    Q_OBJECT
public:
    // Becomes a child of `host` and the window its keyboard focus goes to.
    explicit TEditControl(TWinControl* host);

    TWinControl* Host() const { return FHost; }

    // Replaces the text without any change notice; the caret goes to the end.
    void SetTextQuietly(const QString& text);
    // The selection's start (the caret when nothing is selected) and length.
    int SelStart() const;
    // Puts the caret at `value` (clamped to the text) and selects nothing.
    void SetSelStart(int value);
    int SelLength() const;
    // Selects `value` characters from SelStart.
    void SetSelLength(int value);
    // Replaces the selection with `text` as typing would (it can be undone).
    void ReplaceSelection(const QString& text);

    // Places the text by the host's alignment; a right-to-left host mirrors
    // it only when it mirrors its alignment as well.
    void SetTextAlignment(TLabel::TAlignment value);
    void SetColors(TColor background, TColor text);

    // The one road of pasting: called with the text to paste (the
    // clipboard's, or the selection's for the middle button), never while
    // read-only. Unset, the text replaces the selection.
    std::function<void(const QString& text)> OnPaste;
    // Pastes the clipboard's text (empty when it holds none) through OnPaste.
    void PasteClipboard();
    // The platform's context menu of the line edit, its paste entry going
    // through OnPaste. The caller owns the menu.
    QMenu* CreateContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Paste(const QString& text);
    void ForwardMouse(QMouseEvent* event);

    TWinControl* FHost;
};
