#pragma once
// Progress bars and status bars.

#include "Controls.h"

class QProgressBar;

class TProgressBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
public:
    explicit TProgressBar(QObject* owner = nullptr);

    int Max() const { return FMax; }
    void SetMax(int value);
    int Min() const { return FMin; }
    void SetMin(int value);
    // The bar keeps any value it is given but draws it clamped to the range:
    // above the range shows full, below it empty.
    int Position() const { return FPosition; }
    void SetPosition(int value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool value) { FSmooth = value; }
    int Step() const { return FStep; }
    void SetStep(int value) { FStep = value; }
    void StepIt() { SetPosition(FPosition + FStep); }

    // The position as drawn.
    int DisplayedPosition() const;
    QProgressBar* Bar() const { return FBar; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Sync();

    QProgressBar* FBar;
    int FMax = 100;
    int FMin = 0;
    int FPosition = 0;
    bool FSmooth = false;
    int FStep = 10;
};

class TStatusBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
public:
    explicit TStatusBar(QObject* owner = nullptr);

    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool value);
    const QString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const QString& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FSimplePanel = false;
    QString FSimpleText;
};
