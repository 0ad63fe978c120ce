// The numeric editor on arbitrary typing and pasting. The first byte picks
// the option set and the precision; the rest is a run of actions: type a
// character (through the key filter), paste a piece of text (through the
// paste rule), select, move the caret or delete, lose the focus. Whatever
// the bytes, nothing crashes, and the text left reads back as a value: the
// only failures are the documented ones, a text with no digit at all (a
// lone sign or separator) and a number beyond the range of a double. The
// same text assigned with SetValue comes back unchanged from GetValue.

#include "Application.h"
#include "CellEditors.h"
#include "EditControl.h"
#include "Exceptions.h"
#include "Strings.h"
#include "SysUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

TQtApplication* App() {
    static TQtApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_numeric_editor";
        static char* argv[] = {name, nullptr};
        auto* a = new TQtApplication(argc, argv);
        FormatSettings = TFormatSettings();
        return a;
    }();
    return app;
}

class TInput {
public:
    TInput(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    bool AtEnd() const { return FPos >= FSize; }
    std::uint8_t Next() { return AtEnd() ? 0 : FData[FPos++]; }
    QString Text(std::size_t length) {
        QByteArray bytes;
        while (length-- > 0 && !AtEnd())
            bytes += char(Next());
        return AnsiToWide(bytes);
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void Type(TNumericEditor& editor, QChar c) {
    int key = 0;
    switch (c.unicode()) {
    case 8:
        key = Qt::Key_Backspace;
        break;
    case 9:
        key = Qt::Key_Tab;
        break;
    case 13:
        key = Qt::Key_Return;
        break;
    case 27:
        key = Qt::Key_Escape;
        break;
    default:
        // A printable character's key is its upper-case code.
        if (c.isPrint()) key = c.toUpper().unicode();
        break;
    }
    SendKey(editor.EditControl(), key, Qt::NoModifier, QString(c));
}

// The documented failures of Value: nothing that makes a number, or a
// number no double can hold.
bool DocumentedFailure(const TNumericEditor& editor) {
    QString text = editor.Text();
    if (!editor.TextAfter().isEmpty() && text.endsWith(editor.TextAfter()))
        text.chop(editor.TextAfter().size());
    const QString number =
        TNumericEditor::CleanNumber(text, editor.Options().testFlag(TNumericEditor::eoAllowFloat),
                                    editor.Options().testFlag(TNumericEditor::eoAllowSigns));
    bool digit = false;
    for (QChar c : number)
        digit = digit || (c >= u'0' && c <= u'9');
    if (!digit) return true;
    const std::string ascii = number.toStdString();
    return std::isinf(std::strtod(ascii.c_str(), nullptr));
}

void CheckValue(const TNumericEditor& editor) {
    try {
        (void)editor.Value();
    } catch (const EConvertError&) {
        if (!DocumentedFailure(editor)) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    App();
    TInput in(data, size);
    const std::uint8_t setup = in.Next();
    TNumericEditor editor;
    editor.SetOptions(TNumericEditor::TEditOptions(setup & 7));
    editor.SetPrecision((setup >> 3) & 3);
    if (setup & 0x20) editor.SetValue(QString());
    TEditControl* edit = editor.EditControl();

    while (!in.AtEnd()) {
        const std::uint8_t action = in.Next();
        switch (action % 5) {
        case 0: // type a character
            Type(editor, AnsiToWide(QByteArray(1, char(in.Next()))).front());
            break;
        case 1: { // paste a piece of text with Ctrl+V
            const QString text = in.Text(in.Next() % 24);
            QGuiApplication::clipboard()->setText(text);
            SendKey(edit, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
            break;
        }
        case 2: { // select
            const int length = int(edit->text().size()) + 1;
            const int start = in.Next() % length;
            edit->setSelection(start, in.Next() % (length - start));
            break;
        }
        case 3: { // move or delete
            static constexpr int keys[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Home,
                                           Qt::Key_End,  Qt::Key_Delete, Qt::Key_Backspace};
            SendKey(edit, keys[in.Next() % 6], Qt::NoModifier, QString());
            break;
        }
        default: // the focus goes elsewhere: the text is formatted
            try {
                editor.DoExit();
            } catch (const EConvertError&) {
                if (!DocumentedFailure(editor)) std::abort();
            }
            break;
        }
        CheckValue(editor);
    }

    const QString text = editor.Text();
    editor.SetValue(text);
    if (editor.GetValue() != text) std::abort();
    // Any text at all, assigned, comes back as it went in.
    TNumericEditor fresh;
    const QString raw = AnsiToWide(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    fresh.SetValue(raw);
    if (fresh.GetValue() != raw) std::abort();
    return 0;
}
