#include "ExtCtrls.h"

#include "Application.h"
#include "Jpeg.h"

#include <QPainter>

// -------------------------------------------------------------------- TTimer

TTimer::TTimer(QObject* owner) : TComponent(owner) {
    RegisterEvent("OnTimer", OnTimer);
    QObject::connect(&FTimer, &QTimer::timeout, this,
                     [this] { Guarded(this, [this] { Timer(); }); });
}

void TTimer::SetEnabled(bool value) {
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(int value) {
    FInterval = value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    FTimer.stop();
    if (FEnabled && FInterval > 0 && OnTimer && !IsLoading()) FTimer.start(FInterval);
}

// -------------------------------------------------------------------- TImage

TImage::TImage(QObject* owner) : TControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 105, 105);
}

void TImage::SetCenter(bool value) {
    FCenter = value;
    update();
}

void TImage::SetPicture(const QString& value) {
    FPicture = value;
    FImage = value.isEmpty() ? QImage() : LoadJpegResource(value);
    if (AutoSize()) AdjustSize();
    update();
}

void TImage::SetProportional(bool value) {
    FProportional = value;
    update();
}

void TImage::SetStretch(bool value) {
    FStretch = value;
    update();
}

void TImage::AdjustSize() {
    if (AutoSize() && !FImage.isNull() && Align() == alNone)
        SetBounds(FLeft, FTop, FImage.width(), FImage.height());
}

QRect TImage::DestRect() const {
    const int w = FImage.width();
    const int h = FImage.height();
    QRect r(0, 0, w, h);
    if (FStretch || (FProportional && (w > width() || h > height()))) {
        if (FProportional && w > 0 && h > 0) {
            // Keep the picture's shape inside the control.
            if (qint64(width()) * h > qint64(height()) * w)
                r = QRect(0, 0, int(qint64(height()) * w / h), height());
            else
                r = QRect(0, 0, width(), int(qint64(width()) * h / w));
        } else {
            r = QRect(0, 0, width(), height());
        }
    }
    if (FCenter) r.moveTopLeft(QPoint((width() - r.width()) / 2, (height() - r.height()) / 2));
    return r;
}

void TImage::paintEvent(QPaintEvent*) {
    if (FImage.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(DestRect(), FImage);
}

// -------------------------------------------------------------------- TPanel

TPanel::TPanel(QObject* owner) : TWinControl(owner) {
    SetParentColor(true);
}
