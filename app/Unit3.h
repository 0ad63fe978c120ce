#pragma once
// The recommended settings: a picture of the settings to use.

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"

class TForm3 : public TForm {
    Q_OBJECT
public:
    // Reads the window from its stored layout (another layout of the same
    // window may be named, as the tests do).
    explicit TForm3(QObject* owner = nullptr,
                    const QString& layout = QStringLiteral(":/layouts/Unit3.xml"));

    TStatusBar* StatusBar1 = nullptr;
    TImage* w_ayar = nullptr;

    // Puts the window at (10, 10), as high as the screen less 200 pixels,
    // and brings it to the front; the width stays.
    Q_INVOKABLE void w_ayarClick(QObject* Sender);
    Q_INVOKABLE void FormShow(QObject* Sender);
    Q_INVOKABLE void FormKeyPress(QObject* Sender, QChar& Key);
    Q_INVOKABLE void w_ayarMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                   int Y);

protected:
    void ShownAgain() override { w_ayarClick(this); }
};

extern TForm3* Form3;
