// The canvas over QPainter: pixel rules of lines, rectangles, inversion,
// clipping, text placement and reading back what a widget shows.

#include "CustomControl.h"
#include "GridTestSupport.h"

#include <QApplication>
#include <QPainter>
#include <gtest/gtest.h>

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
    TBitmap bmp = Surface(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Pen.Color = clBlack;
    c->MoveTo(2, 3);
    c->LineTo(10, 3); // horizontal: x 2..9
    c->MoveTo(4, 5);
    c->LineTo(4, 1); // vertical upwards: y 5..2
    c->MoveTo(10, 10);
    c->LineTo(14, 14); // diagonal: (10,10)..(13,13)
    const QImage& img = bmp.Image();
    EXPECT_EQ(img.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(9, 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(10, 3), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(4, 2), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(4, 1), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(13, 13), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(14, 14), qRgb(255, 255, 255));
    EXPECT_EQ(c->PenPos, Point(14, 14));
}

TEST(Canvas, RectangleFrameAndFillRules) {
    TBitmap bmp = Surface(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Pen.Color = clBlack;
    c->Brush.Color = clRed;
    c->Rectangle(2, 2, 8, 6); // frame on x 2..7, y 2..5
    const QImage img1 = bmp.Image();
    EXPECT_EQ(img1.pixel(7, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img1.pixel(8, 5), qRgb(255, 255, 255));
    EXPECT_EQ(img1.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(CountOther(img1, QRect(3, 3, 4, 2), qRgb(255, 0, 0)), 0);

    // Without a pen the brush leaves the last column and row alone.
    c->Pen.Style = psClear;
    c->Brush.Color = clBlue;
    c->Rectangle(10, 10, 15, 15);
    const QImage& img2 = bmp.Image();
    EXPECT_EQ(img2.pixel(13, 13), qRgb(0, 0, 255));
    EXPECT_EQ(img2.pixel(14, 13), qRgb(255, 255, 255));
    EXPECT_EQ(img2.pixel(13, 14), qRgb(255, 255, 255));
}

TEST(Canvas, FillFrameAndClearBrush) {
    TBitmap bmp = Surface(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Brush.Color = clGreen;
    c->FrameRect(Rect(1, 1, 6, 6));
    c->Brush.Style = bsClear;
    c->FillRect(Rect(10, 10, 15, 15));
    c->FrameRect(Rect(10, 10, 15, 15));
    const QImage& img = bmp.Image();
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 128, 0));
    EXPECT_EQ(img.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(6, 6), qRgb(255, 255, 255));
    EXPECT_EQ(CountOther(img, QRect(10, 10, 5, 5), qRgb(255, 255, 255)), 0);
}

TEST(Canvas, InversionsUndoThemselves) {
    TBitmap bmp = Surface(20, 20, RGB(10, 200, 30));
    const QImage before = bmp.Image();
    TCanvas* c = bmp.Canvas();
    c->InvertRect(Rect(2, 2, 10, 10));
    EXPECT_EQ(bmp.Image().pixel(5, 5), qRgb(245, 55, 225));
    c->InvertRect(Rect(2, 2, 10, 10));
    c->DrawFocusRect(Rect(1, 1, 9, 7));
    const QImage dotted = bmp.Image();
    // Every other pixel of the frame, by the parity of x + y; none inside.
    EXPECT_NE(dotted.pixel(1, 1), before.pixel(1, 1));
    EXPECT_EQ(dotted.pixel(2, 1), before.pixel(2, 1));
    EXPECT_NE(dotted.pixel(8, 6), before.pixel(8, 6));
    EXPECT_EQ(CountChangedOutside(dotted, before, QRect(1, 1, 8, 6)), 0);
    EXPECT_EQ(CountOther(dotted, QRect(2, 2, 6, 4), before.pixel(3, 3)), 0);
    c->DrawFocusRect(Rect(1, 1, 9, 7));
    EXPECT_EQ(bmp.Image(), before);

    // Under the inverting pen mode a rectangle inverts its frame and its
    // inside whatever the pen and brush colours, so twice restores it.
    c->Pen.Mode = pmNot;
    c->Pen.Color = clRed;
    c->Brush.Color = clBlue;
    c->Rectangle(3, 3, 12, 9);
    const QImage inverted = bmp.Image();
    EXPECT_EQ(inverted.pixel(3, 3), qRgb(245, 55, 225));
    EXPECT_EQ(inverted.pixel(6, 6), qRgb(245, 55, 225));
    EXPECT_EQ(CountChangedOutside(inverted, before, QRect(3, 3, 9, 6)), 0);
    c->Rectangle(3, 3, 12, 9);
    EXPECT_EQ(bmp.Image(), before);
}

TEST(Canvas, ClipNarrowsDrawing) {
    TBitmap bmp = Surface(20, 20);
    TCanvas* c = bmp.Canvas();
    c->SetClipRect(Rect(5, 5, 10, 10));
    EXPECT_EQ(c->ClipRect(), Rect(5, 5, 10, 10));
    c->ExcludeClipRect(Rect(5, 5, 7, 10));
    EXPECT_EQ(c->ClipRect(), Rect(7, 5, 10, 10));
    c->Brush.Color = clBlack;
    c->FillRect(Rect(0, 0, 20, 20));
    const QImage img = bmp.Image();
    EXPECT_EQ(CountOther(img, QRect(7, 5, 3, 5), qRgb(0, 0, 0)), 0);
    EXPECT_EQ(CountChangedOutside(img, Surface(20, 20).Image(), QRect(7, 5, 3, 5)), 0);
    c->ClearClip();
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 20, 20));
}

TEST(Canvas, PolygonCoversEdgesAndInside) {
    TBitmap bmp = Surface(12, 16);
    TCanvas* c = bmp.Canvas();
    c->Pen.Color = clBlack;
    c->Brush.Color = clBlack;
    c->Polygon({{3, 2}, {8, 7}, {3, 12}});
    const QImage& img = bmp.Image();
    // Row 2 + k covers columns 3 .. 3 + min(k, 10 - k).
    for (int k = 0; k <= 10; ++k) {
        const int last = 3 + std::min(k, 10 - k);
        EXPECT_EQ(CountOther(img, QRect(3, 2 + k, last - 2, 1), qRgb(0, 0, 0)), 0) << k;
        EXPECT_EQ(img.pixel(last + 1, 2 + k), qRgb(255, 255, 255)) << k;
    }
}

TEST(Canvas, SingleLineTextPlacement) {
    TBitmap bmp = Surface(200, 40);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetColor(clBlack);
    const QString text = QStringLiteral("Arayan numara");
    TRect calc = Rect(10, 5, 10, 5);
    const int h = c->DrawText(text, calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.Width(), c->TextWidth(text));
    EXPECT_EQ(calc.Height(), h);
    EXPECT_EQ(h, c->TextHeight(text));

    // Right aligned and cut: ink only inside the rectangle, near its right.
    c->Brush.Style = bsClear;
    TRect r = Rect(20, 0, 80, 40);
    c->DrawText(text + text, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_END_ELLIPSIS);
    const QImage img = bmp.Image();
    EXPECT_EQ(CountChangedOutside(img, Surface(200, 40).Image(), QRect(20, 0, 60, 40)), 0);
    EXPECT_GT(CountOther(img, QRect(60, 0, 20, 40), qRgb(255, 255, 255)), 0);
    // Vertically centred: no ink in the top and bottom quarter.
    EXPECT_EQ(CountOther(img, QRect(20, 0, 60, 8), qRgb(255, 255, 255)), 0);
    EXPECT_EQ(CountOther(img, QRect(20, 32, 60, 8), qRgb(255, 255, 255)), 0);
}

TEST(Canvas, TheFontFollowsEveryChangeOfItsValues) {
    TBitmap bmp = Surface(10, 10);
    TCanvas* c = bmp.Canvas();
    const QString text = QStringLiteral("Arayan numara");
    const int plain = c->TextWidth(text);
    // The same values given again (as the grid gives each cell its column's
    // font) measure the same; each changed value takes effect at once.
    TFont same;
    same.Assign(*c->Font());
    c->Font()->Assign(same);
    EXPECT_EQ(c->TextWidth(text), plain);
    c->Font()->SetHeight(-22);
    EXPECT_GT(c->TextWidth(text), plain * 3 / 2);
    c->Font()->Assign(same);
    EXPECT_EQ(c->TextWidth(text), plain);
    c->Font()->SetStyle(TFont::fsBold);
    EXPECT_GT(c->TextWidth(text), plain);
    c->Font()->SetStyle({});
    c->Font()->SetName(QStringLiteral("Courier New"));
    EXPECT_NE(c->TextWidth(text), plain);
    c->Font()->SetName(same.Name());
    EXPECT_EQ(c->TextWidth(text), plain);
}

TEST(Canvas, WordBreakGrowsDownwards) {
    TBitmap bmp = Surface(10, 10);
    TCanvas* c = bmp.Canvas();
    TRect r = Rect(0, 0, 60, 0);
    const int h =
        c->DrawText(QStringLiteral("bir iki üç dört beş altı yedi"), r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(h, 2 * c->TextHeight(QStringLiteral("x")));
    EXPECT_EQ(r.Height(), h);
    EXPECT_LE(r.Width(), 60);
}

TEST(Canvas, BitmapFormatsAndDraw) {
    TBitmap picture(3, 2, TBitmap::pf32bit);
    picture.SetPixel(1, 1, clRed, 10);
    EXPECT_EQ(picture.Alpha(1, 1), 10);
    EXPECT_EQ(picture.Pixel(1, 1), clRed);
    EXPECT_EQ(picture.Pixel(5, 5), clNone);
    picture.SetPixelFormat(TBitmap::pf24bit);
    EXPECT_EQ(picture.Alpha(1, 1), 255);

    // Draw copies, it does not blend.
    TBitmap bmp = Surface(10, 10);
    bmp.Canvas()->Draw(4, 4, picture);
    EXPECT_EQ(bmp.Pixel(5, 5), clRed);
    EXPECT_EQ(bmp.Pixel(3, 3), clWhite);
    EXPECT_EQ(bmp.Canvas()->Pixel(5, 5), clRed);
}

namespace {

// Paints a marker and reads it back through its canvas, as the masked and
// alpha drawing do on a window.
class TProbe : public TCustomControl {
public:
    TColor Seen = clNone;
    TRect Clip;

protected:
    void Paint() override {
        Clip = Canvas()->ClipRect();
        Canvas()->Brush.Color = RGB(1, 2, 3);
        Canvas()->FillRect(Rect(5, 6, 7, 8));
        Seen = Canvas()->Pixel(6, 7);
    }
};

} // namespace

TEST(Canvas, ReadsBackWhatAWidgetShows) {
    TProbe probe;
    probe.SetBounds(0, 0, 30, 30);
    QImage target(50, 50, QImage::Format_RGB32);
    target.fill(Qt::white);
    // Painted at an offset: the canvas must find its own pixels.
    probe.render(&target, QPoint(11, 13));
    EXPECT_EQ(probe.Seen, RGB(1, 2, 3));
    EXPECT_EQ(probe.Clip, Rect(0, 0, 30, 30));
    EXPECT_EQ(target.pixel(11 + 6, 13 + 7), qRgb(1, 2, 3));
    // Outside a paint pass the canvas draws nothing but still measures.
    EXPECT_FALSE(probe.Canvas()->HandleAllocated());
    EXPECT_GT(probe.Canvas()->TextWidth(QStringLiteral("abc")), 0);
}
