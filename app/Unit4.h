#pragma once
// The help window: how to read the signal meters, with a link to the guide.

#include "Forms.h"
#include "StdCtrls.h"

class THelpForm : public TForm {
    Q_OBJECT
public:
    // Reads the window from its stored layout (another layout of the same
    // window may be named, as the tests do).
    explicit THelpForm(QObject* owner = nullptr,
                       const QString& layout = QStringLiteral(":/layouts/Unit4.xml"));

    TGroupBox* GroupBox1 = nullptr;
    TMemo* Memo1 = nullptr;
    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;

    // The link: opens the guide and closes the help.
    Q_INVOKABLE void Label1Click(QObject* Sender);
    // "Kapat".
    Q_INVOKABLE void Button1Click(QObject* Sender);
};

extern THelpForm* HelpForm;
