#include "SharedClasses.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "ThemesSupport.h"

#include <QImage>
#include <algorithm>
#include <cstdint>

namespace {

[[noreturn]] void AssertionFailure(int line) {
    throw EAssertionFailed(
        QStringLiteral("Assertion failure (SharedClasses.cpp, line %1)").arg(line));
}

// Alpha must lie in 0..255. A negative one is refused as well: it would push
// a channel past 255 and into its neighbour.
void CheckAlpha(int alpha, int line) {
    if (alpha < 0 || alpha >= 256) AssertionFailure(line);
}

constexpr int LuminanceOf(int r, int g, int b) {
    return (77 * r + 151 * g + 28 * b) / 256;
}

constexpr int BlendChannel(int a, int b, int alpha) {
    return (alpha * a + (255 - alpha) * b) / 256;
}

QRgb BlendPixel(QRgb a, QRgb b, int alpha) {
    return qRgb(BlendChannel(qRed(a), qRed(b), alpha), BlendChannel(qGreen(a), qGreen(b), alpha),
                BlendChannel(qBlue(a), qBlue(b), alpha));
}

TColor BlendAlphaChecked(TColor A, TColor B, int Alpha, int line) {
    CheckAlpha(Alpha, line);
    const TColor a = ColorToRGB(A);
    const TColor b = ColorToRGB(B);
    return RGB(BlendChannel(GetRValue(a), GetRValue(b), Alpha),
               BlendChannel(GetGValue(a), GetGValue(b), Alpha),
               BlendChannel(GetBValue(a), GetBValue(b), Alpha));
}

} // namespace

// ------------------------------------------------------------ TCalcProvider

double TCalcProvider::Percent(int Max, double Value) {
    if (Max == 0) return 0.0;
    return Value / Max * 100.0;
}

bool TCalcProvider::RectsOverlap(const TRect& A, const TRect& B) {
    return !(A.Right < B.Left || A.Left > B.Right || A.Bottom < B.Top || A.Top > B.Bottom);
}

TPoint TCalcProvider::AlignedPoint(int Width, int Height, int Margin, const TRect& Rect,
                                   TAlignment Alignment, TVerticalAlignment VertAlignment) {
    const int cx = (Rect.Left + Rect.Right) / 2;
    const int cy = (Rect.Top + Rect.Bottom) / 2;
    TPoint p;
    switch (Alignment) {
    case taRightJustify:
        p.X = Rect.Right - Width - Margin;
        break;
    case taCenter:
        p.X = cx - Width / 2;
        break;
    default:
        p.X = Rect.Left + Margin;
        break;
    }
    switch (VertAlignment) {
    case vaMiddle:
        p.Y = cy - Height / 2;
        break;
    case vaBottom:
        p.Y = Rect.Bottom - Height - Margin;
        break;
    default:
        p.Y = Rect.Top + Margin;
        break;
    }
    return p;
}

TRect TCalcProvider::OffsetEdges(const TRect& Rect, int DLeft, int DTop, int DRight, int DBottom) {
    return {Rect.Left + DLeft, Rect.Top + DTop, Rect.Right + DRight, Rect.Bottom + DBottom};
}

// -------------------------------------------------------- TGraphicsProvider

TColor TGraphicsProvider::BlendAlpha(TColor A, TColor B, int Alpha) {
    return BlendAlphaChecked(A, B, Alpha, __LINE__);
}

TColor TGraphicsProvider::Blend(TColor A, TColor B, double Fraction) {
    const TColor a = ColorToRGB(A);
    const TColor b = ColorToRGB(B);
    // A fraction outside 0..1 must not carry one channel into the next.
    const auto mix = [Fraction](int ca, int cb) {
        return int(
            std::clamp<std::int64_t>(RoundBankers(Fraction * cb + (1.0 - Fraction) * ca), 0, 255));
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

void TGraphicsProvider::ClipTo(TCanvas* Canvas, const TRect& Rect) {
    Canvas->SetClipRect(Rect);
}

void TGraphicsProvider::Frame3D(TCanvas* Canvas, const TRect& Rect, TColor TopColor,
                                TColor BottomColor) {
    if (Rect.IsEmpty()) return;
    const int right = Rect.Right - 1;
    const int bottom = Rect.Bottom - 1;
    Canvas->Pen.Width = 1;
    Canvas->Pen.Style = psSolid;
    Canvas->Pen.Color = TopColor;
    Canvas->Polyline({{Rect.Left, bottom}, {Rect.Left, Rect.Top}, {right, Rect.Top}});
    Canvas->Pen.Color = BottomColor;
    Canvas->Polyline({{right, Rect.Top}, {right, bottom}, {Rect.Left - 1, bottom}});
}

void TGraphicsProvider::ScrollArrowButton(TCanvas* c, const TRect& R, bool Up, bool Pushed) {
    if (R.IsEmpty()) return;
    c->Brush = TBrush{clBtnFace, bsSolid};
    c->FillRect(R);
    if (Pushed) {
        c->Brush.Color = clBtnShadow;
        c->FrameRect(R);
    } else {
        TGraphicsProvider::Frame3D(c, R, cl3DLight, cl3DDkShadow);
        TGraphicsProvider::Frame3D(c, TCalcProvider::OffsetEdges(R, 1, 1, -1, -1), clBtnHighlight,
                                   clBtnShadow);
    }
    // The arrow head, a pixel lower and to the right while pushed.
    const int size = std::max(1, std::min(R.Width(), R.Height()) / 4);
    const int shift = Pushed ? 1 : 0;
    const int cx = (R.Left + R.Right) / 2 + shift;
    const int cy = (R.Top + R.Bottom) / 2 + shift;
    const int tip = Up ? cy - size / 2 - 1 : cy + size / 2;
    const int base = Up ? tip + size : tip - size;
    c->Pen = TPen{clBtnText, 1, psSolid, pmCopy};
    c->Brush = TBrush{clBtnText, bsSolid};
    c->Polygon({{cx, tip}, {cx - size, base}, {cx + size, base}});
}

void TGraphicsProvider::ButtonFace(TCanvas* Canvas, const TRect& Rect, bool OldStyle) {
    Canvas->Brush.Color = clBtnFace;
    Canvas->Brush.Style = bsSolid;
    Canvas->FillRect(TCalcProvider::OffsetEdges(Rect, 1, 1, -1, -1));
    Frame3D(Canvas, Rect, clBtnHighlight, OldStyle ? clWindowFrame : clBtnShadow);
}

void TGraphicsProvider::FocusFrame(TCanvas* Canvas, const TRect& Rect, bool Solid) {
    if (Solid) {
        Canvas->Brush.Style = bsSolid;
        Canvas->Brush.Color = clHighlight;
        Canvas->FrameRect(Rect);
        return;
    }
    // The dotted frame inverts the pixels under it (black background, white
    // text: XOR with white), so it needs no colours of the canvas.
    Canvas->DrawFocusRect(Rect);
}

void TGraphicsProvider::CheckBox(TCanvas* Canvas, QWidget* Window, const TRect& Rect,
                                 TAlignment Alignment, TVerticalAlignment VertAlignment,
                                 bool Checked, bool Pressed, bool Hot) {
    using namespace Themes;
    if (ThemesActive()) {
        const TPoint p = TCalcProvider::AlignedPoint(13, 13, 2, Rect, Alignment, VertAlignment);
        int state;
        if (!Hot)
            state = Checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
        else if (Checked)
            state = Pressed ? CBS_CHECKEDPRESSED : CBS_CHECKEDHOT;
        else
            state = Pressed ? CBS_UNCHECKEDPRESSED : CBS_UNCHECKEDHOT;
        DrawThemed(Window, Canvas, QStringLiteral("Button"), BP_CHECKBOX, state,
                   Bounds(p.X, p.Y, 13, 13));
        return;
    }
    const TPoint p = TCalcProvider::AlignedPoint(11, 11, 2, Rect, Alignment, VertAlignment);
    const int x = p.X;
    const int y = p.Y;
    Canvas->Brush.Style = bsSolid;
    Canvas->Brush.Color = Pressed ? clBtnFace : clWindow;
    Canvas->Pen.Style = psSolid;
    Canvas->Pen.Width = 1;
    Canvas->Pen.Color = clBtnShadow;
    Canvas->Rectangle(x, y, x + 11, y + 11);
    if (!Checked) return;
    Canvas->Pen.Color = clWindowText;
    for (int i = 0; i < 3; ++i) {
        Canvas->MoveTo(x + 2, y + 4 + i);
        Canvas->LineTo(x + 4, y + 6 + i);
        Canvas->LineTo(x + 9, y + 1 + i);
    }
}

void TGraphicsProvider::VertGradient(TCanvas* Canvas, const TRect& Rect, TColor A, TColor B) {
    const int height = Rect.Height();
    if (height <= 0 || Rect.Width() <= 0) return;
    Canvas->Pen.Width = 1;
    Canvas->Pen.Style = psSolid;
    for (int y = Rect.Top; y < Rect.Bottom; ++y) {
        Canvas->Pen.Color = Blend(A, B, static_cast<double>(y - Rect.Top) / height);
        Canvas->MoveTo(Rect.Left, y);
        Canvas->LineTo(Rect.Right, y);
    }
}

void TGraphicsProvider::HorzGradient(TCanvas* Canvas, const TRect& Rect, TColor A, TColor B) {
    const int width = Rect.Width();
    if (width <= 0 || Rect.Height() <= 0) return;
    Canvas->Pen.Width = 1;
    Canvas->Pen.Style = psSolid;
    for (int x = Rect.Left; x < Rect.Right; ++x) {
        Canvas->Pen.Color = Blend(A, B, static_cast<double>(x - Rect.Left) / width);
        Canvas->MoveTo(x, Rect.Top);
        Canvas->LineTo(x, Rect.Bottom);
    }
}

void TGraphicsProvider::DrawTextIn(TCanvas* Canvas, const TRect& Rect, bool RightToLeft,
                                   const QString& Text, int Alignment) {
    unsigned flags =
        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXTERNALLEADING | DT_END_ELLIPSIS;
    if (Alignment == 1)
        flags |= DT_RIGHT;
    else if (Alignment == 2)
        flags |= DT_CENTER;
    else
        flags |= DT_LEFT;
    if (RightToLeft) flags |= DT_RTLREADING;
    Canvas->Brush.Style = bsClear;
    TRect r = Rect;
    Canvas->DrawText(Text, r, flags);
    Canvas->Brush.Style = bsSolid;
}

void TGraphicsProvider::IndicatorCell(TCanvas* Canvas, const TRect& Rect, bool OldStyle,
                                      bool Selected, bool Current) {
    const int l = Rect.Left;
    const int t = Rect.Top;
    const int r = Rect.Right;
    const int b = Rect.Bottom;
    if (OldStyle) {
        ButtonFace(Canvas, Rect, true);
    } else {
        Canvas->Brush.Color = clBtnFace;
        Canvas->Brush.Style = bsSolid;
        Canvas->FillRect({l + 1, t + 1, r - 1, b});
        Canvas->Pen.Width = 1;
        Canvas->Pen.Style = psSolid;
        Canvas->Pen.Color = clBtnHighlight;
        Canvas->MoveTo(l, t);
        Canvas->LineTo(l, b + 1);
        Canvas->MoveTo(l + 2, t);
        Canvas->LineTo(r - 2, t);
        Canvas->Pen.Color = clBtnShadow;
        Canvas->MoveTo(r - 1, t);
        Canvas->LineTo(r - 1, b);
        Canvas->MoveTo(l + 2, b - 1);
        Canvas->LineTo(r - 2, b - 1);
        Canvas->SetPixel(l + 1, t, clBtnFace);
        Canvas->SetPixel(r - 2, t, clBtnFace);
        Canvas->SetPixel(l + 1, b - 1, clBtnFace);
        Canvas->SetPixel(r - 2, b - 1, clBtnFace);
    }
    if (Current) {
        const TPoint p = TCalcProvider::AlignedPoint(6, 11, 0, Rect, taCenter, vaMiddle);
        Canvas->Pen.Color = clWindowText;
        Canvas->Brush.Color = clWindowText;
        Canvas->Brush.Style = bsSolid;
        Canvas->Polygon({{p.X, p.Y}, {p.X + 5, p.Y + 5}, {p.X, p.Y + 10}});
    }
    if (Selected) Canvas->InvertRect(Rect);
}

// ------------------------------------------------------------ TMaskProvider

int TMaskProvider::Luminance(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return LuminanceOf(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor TMaskProvider::BlendAlpha(TColor A, TColor B, int Alpha) {
    return BlendAlphaChecked(A, B, Alpha, __LINE__);
}

void TMaskProvider::SplitColor(TColor Color, int& R, int& G, int& B) {
    const TColor c = ColorToRGB(Color);
    R = GetRValue(c);
    G = GetGValue(c);
    B = GetBValue(c);
}

void TMaskProvider::DrawMasked(TCanvas* Canvas, int X, int Y, const TBitmap& Image,
                               const TBitmap& Mask) {
    if (Image.Width() != Mask.Width() || Image.Height() != Mask.Height())
        throw Exception(QStringLiteral("Image and Mask size differ"));
    const int w = Image.Width();
    const int h = Image.Height();
    if (w == 0 || h == 0) return;
    QImage work = Canvas->GrabRect(Bounds(X, Y, w, h));
    // Opaque copies of the two pictures: the caller's own (a column's glyph
    // and its mask) keep their format and alpha channel.
    const QImage image = Image.Image().convertToFormat(QImage::Format_RGB32);
    const QImage mask = Mask.Image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(work.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out[x] = BlendPixel(in[x], out[x], LuminanceOf(qRed(m[x]), qGreen(m[x]), qBlue(m[x])));
        }
    }
    Canvas->Draw(X, Y, work);
}

// ------------------------------------------------------------ TDrawProvider

void TDrawProvider::DrawGraphic(TCanvas* Canvas, int X, int Y, const TBitmap& Graphic) {
    if (Graphic.PixelFormat() != TBitmap::pf32bit) {
        Canvas->Draw(X, Y, Graphic);
        return;
    }
    const int w = Graphic.Width();
    const int h = Graphic.Height();
    if (w == 0 || h == 0) return;
    QImage work = Canvas->GrabRect(Bounds(X, Y, w, h));
    const QImage picture = Graphic.Image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(work.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = BlendPixel(in[x], out[x], qAlpha(in[x]));
    }
    Canvas->Draw(X, Y, work);
}
