#pragma once
// Timers and pictures.

#include "Controls.h"

#include <QImage>
#include <QTimer>

class TTimer : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
public:
    explicit TTimer(QObject* owner = nullptr);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    int Interval() const { return FInterval; }
    void SetInterval(int value);
    // True while the system timer runs (enabled, a positive interval, a
    // handler, and the layout read).
    bool Running() const { return FTimer.isActive(); }
    // The Qt timer that ticks it (a test ticks it by hand with a timer
    // event of its id).
    QTimer* SystemTimer() { return &FTimer; }

    void Loaded() override;

    TNotifyEvent OnTimer;
    virtual void Timer() { OnTimer(this); }

private:
    void UpdateTimer();

    QTimer FTimer;
    bool FEnabled = true;
    int FInterval = 1000;
};

class TImage : public TControl {
    Q_OBJECT
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(QString Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
public:
    explicit TImage(QObject* owner = nullptr);

    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    // The picture's source: a JPEG in the program's resources, decoded when
    // it is assigned.
    const QString& Picture() const { return FPicture; }
    void SetPicture(const QString& value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);

    const QImage& Image() const { return FImage; }
    // Where the picture is drawn inside the control.
    QRect DestRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void AdjustSize() override;

private:
    bool FCenter = false;
    QString FPicture;
    QImage FImage;
    bool FProportional = false;
    bool FStretch = false;
};

// A plain container that paints its background; it keeps a place on a
// window for content that is put there from code.
class TPanel : public TWinControl {
    Q_OBJECT
public:
    explicit TPanel(QObject* owner = nullptr);
};
