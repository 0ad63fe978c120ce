#include "ComCtrls.h"

#include "Accessibility.h"

#include <QPainter>
#include <QProgressBar>
#include <QStyleOptionFrame>

TProgressBar::TProgressBar(QObject* owner) : TWinControl(owner), FBar(new QProgressBar(this)) {
    FBar->setTextVisible(false);
    Sync();
}

void TProgressBar::SetMax(int value) {
    FMax = value;
    Sync();
}

void TProgressBar::SetMin(int value) {
    FMin = value;
    Sync();
}

void TProgressBar::SetPosition(int value) {
    FPosition = value;
    Sync();
}

int TProgressBar::DisplayedPosition() const {
    return std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TProgressBar::Sync() {
    // QProgressBar ignores a value outside its range; clamp first so that an
    // out-of-range level still shows as a full or an empty bar.
    const int before = FBar->value();
    FBar->setRange(std::min(FMin, FMax), std::max(FMin, FMax));
    FBar->setValue(DisplayedPosition());
    if (FBar->value() != before) AccessibleValueChanged(this, FBar->value());
}

void TProgressBar::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    FBar->setGeometry(0, 0, width(), height());
}

TStatusBar::TStatusBar(QObject* owner) : TWinControl(owner) {
    SetAlign(alBottom);
    SetHeight(19);
}

void TStatusBar::SetSimplePanel(bool value) {
    FSimplePanel = value;
    update();
    AccessibleNameChanged(this);
}

void TStatusBar::SetSimpleText(const QString& value) {
    FSimpleText = value;
    update();
    AccessibleNameChanged(this);
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(clBtnFace));
    QStyleOptionFrame opt;
    opt.initFrom(this);
    opt.rect = rect().adjusted(0, 2, 0, 0);
    opt.frameShape = QFrame::Panel;
    opt.state |= QStyle::State_Sunken;
    opt.lineWidth = 1;
    style()->drawControl(QStyle::CE_ShapedFrame, &opt, &p, this);
    if (FSimplePanel) {
        p.setFont(Font()->ToQFont());
        p.setPen(ToQColor(Font()->Color()));
        p.drawText(opt.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, FSimpleText);
    }
}
