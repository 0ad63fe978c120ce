#pragma once
// Top-level windows. (Grows into the full form with its layout, menu and
// events; this first cut only carries what the application object needs.)

#include <QWidget>

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QObject* owner = nullptr) : QWidget(nullptr) { (void)owner; }
    void Show() { show(); }
};
