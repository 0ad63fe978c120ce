#include "HintWindow.h"

namespace {

// The text lies 3 pixels in from the sides and 1 from the top and bottom:
// inside the one-pixel frame, 2 pixels clear of it on either side.
constexpr int kSideSpace = 6;
constexpr int kEndSpace = 2;
constexpr unsigned kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

} // namespace

THintWindow::THintWindow(QObject* owner) : TCustomControl(owner) {
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    SetColor(clInfoBk);
    SetVisible(false);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const QString& Hint) {
    TRect r = Rect(0, 0, MaxWidth, 0);
    Canvas()->Font()->Assign(*Font());
    Canvas()->DrawText(Hint, r, kTextFormat | DT_CALCRECT);
    r.Right += kSideSpace;
    r.Bottom += kEndSpace;
    return r;
}

void THintWindow::ActivateHint(const TRect& Rect, const QString& Hint) {
    if (isVisible() && Hint == Caption() && Rect == BoundsRect()) return;
    SetCaption(Hint);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    SetVisible(true);
    raise();
    update();
}

void THintWindow::ReleaseHandle() {
    if (isVisible()) SetVisible(false);
}

void THintWindow::Paint() {
    const TRect client = ClientRect();
    TCanvas* canvas = Canvas();
    canvas->Brush = TBrush{Color(), bsSolid};
    canvas->FillRect(client);
    canvas->Brush = TBrush{clWindowFrame, bsSolid};
    canvas->FrameRect(client);
    canvas->Brush.Style = bsClear;
    canvas->Font()->SetColor(clInfoText);
    TRect text = Rect(client.Left + kSideSpace / 2, client.Top + kEndSpace / 2,
                      client.Right - kSideSpace / 2, client.Bottom - kEndSpace / 2);
    canvas->DrawText(Caption(), text, kTextFormat);
}
