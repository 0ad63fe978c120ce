#pragma once
// The connection guide: a wiring picture over a status line.

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"

class TForm2 : public TForm {
    Q_OBJECT
public:
    // Reads the window from its stored layout (another layout of the same
    // window may be named, as the tests do).
    explicit TForm2(QObject* owner = nullptr,
                    const QString& layout = QStringLiteral(":/layouts/Unit2.xml"));

    TStatusBar* StatusBar1 = nullptr;
    TImage* Image3 = nullptr;

    // Puts the window at (10, 10), as high as the screen less 200 pixels and
    // 1.3 times as wide as high, and brings it to the front.
    Q_INVOKABLE void Image3Click(QObject* Sender);
    Q_INVOKABLE void FormShow(QObject* Sender);
    Q_INVOKABLE void FormKeyPress(QObject* Sender, QChar& Key);
    Q_INVOKABLE void FormMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                 int Y);

protected:
    void ShownAgain() override { Image3Click(this); }
};

extern TForm2* Form2;
