// The drawing providers: their arithmetic, and what they put on a canvas.

#include "SharedClasses.h"
#include "GridTestSupport.h"
#include "PixelTestSupport.h"
#include "ThemesSupport.h"

#include <gtest/gtest.h>

namespace {} // namespace

TEST(CalcProvider, Geometry) {
    EXPECT_TRUE(TCalcProvider::RectsOverlap(Rect(0, 0, 10, 10), Rect(10, 10, 20, 20)));
    EXPECT_FALSE(TCalcProvider::RectsOverlap(Rect(0, 0, 10, 10), Rect(11, 0, 20, 10)));
    EXPECT_FALSE(TCalcProvider::RectsOverlap(Rect(0, 12, 10, 20), Rect(0, 0, 10, 11)));

    const TRect r = Rect(0, 20, 12, 41);
    EXPECT_EQ(TCalcProvider::AlignedPoint(6, 11, 0, r, taCenter, vaMiddle), Point(3, 25));
    EXPECT_EQ(TCalcProvider::AlignedPoint(6, 11, 2, r, taLeftJustify, vaTop), Point(2, 22));
    EXPECT_EQ(TCalcProvider::AlignedPoint(6, 11, 2, r, taRightJustify, vaBottom), Point(4, 28));
    EXPECT_EQ(TCalcProvider::OffsetEdges(r, 1, -2, 3, -4), Rect(1, 18, 15, 37));

    EXPECT_DOUBLE_EQ(TCalcProvider::Percent(200, 50), 25.0);
    // A progress bar's value is fractional.
    EXPECT_DOUBLE_EQ(TCalcProvider::Percent(100, 50.5), 50.5);
    EXPECT_DOUBLE_EQ(TCalcProvider::Percent(0, 5), 0.0);
}

TEST(GraphicsProvider, BlendRoundsHalvesToEven) {
    EXPECT_EQ(TGraphicsProvider::Blend(clWhite, clBlack, 0.25), RGB(191, 191, 191));
    EXPECT_EQ(TGraphicsProvider::Blend(clRed, clBlue, 0.0), clRed);
    EXPECT_EQ(TGraphicsProvider::Blend(clRed, clBlue, 1.0), clBlue);
    // 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
    EXPECT_EQ(TGraphicsProvider::Blend(clBlack, RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
    // System colours take part by their RGB value.
    EXPECT_EQ(TGraphicsProvider::Blend(clBtnFace, clBtnFace, 0.3), ColorToRGB(clBtnFace));
    // A fraction past the end does not bleed into the next channel.
    EXPECT_EQ(TGraphicsProvider::Blend(clBlack, RGB(200, 0, 0), 2.0), RGB(255, 0, 0));
}

TEST(GraphicsProvider, BlendAlphaDividesBy256AndChecksAlpha) {
    EXPECT_EQ(TGraphicsProvider::BlendAlpha(clWhite, clBlack, 255), RGB(254, 254, 254));
    EXPECT_EQ(TGraphicsProvider::BlendAlpha(clWhite, clBlack, 0), clBlack);
    EXPECT_EQ(TMaskProvider::BlendAlpha(RGB(100, 0, 200), RGB(0, 100, 0), 128), RGB(50, 49, 100));
    for (int bad : {256, 1000, -1}) {
        try {
            TGraphicsProvider::BlendAlpha(clWhite, clBlack, bad);
            FAIL() << bad;
        } catch (const EAssertionFailed& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Assertion failure")));
            EXPECT_TRUE(e.Message().contains(QStringLiteral("SharedClasses")));
        }
        EXPECT_THROW(TMaskProvider::BlendAlpha(clWhite, clBlack, bad), EAssertionFailed);
    }
}

TEST(MaskProvider, LuminanceAndChannels) {
    EXPECT_EQ(TMaskProvider::Luminance(clWhite), 255);
    EXPECT_EQ(TMaskProvider::Luminance(clRed), 76);
    EXPECT_EQ(TMaskProvider::Luminance(clBlack), 0);
    int r = -1, g = -1, b = -1;
    TMaskProvider::SplitColor(RGB(1, 2, 3), r, g, b);
    EXPECT_EQ(r * 10000 + g * 100 + b, 10203);
    TMaskProvider::SplitColor(clWindow, r, g, b);
    EXPECT_EQ(RGB(r, g, b), ColorToRGB(clWindow));
}

TEST(GraphicsProvider, Gradients) {
    // One row: one line in the first colour, nothing else touched.
    TBitmap bmp = Surface(10, 6);
    TGraphicsProvider::VertGradient(bmp.Canvas(), Rect(2, 3, 8, 4), clRed, clBlue);
    QImage img = bmp.Image();
    EXPECT_EQ(CountOther(img, QRect(2, 3, 6, 1), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(CountChangedOutside(img, Surface(10, 6).Image(), QRect(2, 3, 6, 1)), 0);

    TGraphicsProvider::VertGradient(bmp.Canvas(), Rect(0, 0, 10, 0), clRed, clBlue);
    EXPECT_EQ(bmp.Image(), img);

    TBitmap vert = Surface(4, 4);
    TGraphicsProvider::VertGradient(vert.Canvas(), Rect(0, 0, 4, 4), clBlack, clWhite);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(vert.Pixel(3, y), TGraphicsProvider::Blend(clBlack, clWhite, y / 4.0)) << y;

    TBitmap horz = Surface(4, 4);
    TGraphicsProvider::HorzGradient(horz.Canvas(), Rect(0, 0, 4, 4), clWhite, clBlack);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(horz.Pixel(x, 3), TGraphicsProvider::Blend(clWhite, clBlack, x / 4.0)) << x;
}

TEST(GraphicsProvider, ButtonFaceEdges) {
    for (bool old : {false, true}) {
        TBitmap bmp = Surface(10, 8);
        // The frame does not depend on the pen the canvas was left with.
        bmp.Canvas()->Pen.Style = psClear;
        TGraphicsProvider::ButtonFace(bmp.Canvas(), Rect(0, 0, 10, 8), old);
        const TColor dark = ColorToRGB(old ? clWindowFrame : clBtnShadow);
        EXPECT_EQ(bmp.Pixel(0, 0), ColorToRGB(clBtnHighlight));
        EXPECT_EQ(bmp.Pixel(8, 0), ColorToRGB(clBtnHighlight));
        EXPECT_EQ(bmp.Pixel(0, 6), ColorToRGB(clBtnHighlight));
        EXPECT_EQ(bmp.Pixel(9, 0), dark);
        EXPECT_EQ(bmp.Pixel(0, 7), dark);
        EXPECT_EQ(bmp.Pixel(9, 7), dark);
        EXPECT_EQ(bmp.Pixel(5, 4), ColorToRGB(clBtnFace));
    }
}

TEST(GraphicsProvider, PlainCheckBox) {
    ThemesSwitch classic(false);
    // An 11 x 11 box centred in (0, 0, 21, 21): top-left (5, 5).
    TBitmap bmp = Surface(21, 21, clRed);
    TGraphicsProvider::CheckBox(bmp.Canvas(), nullptr, Rect(0, 0, 21, 21), taCenter, vaMiddle,
                                false, false, false);
    QImage img = bmp.Image();
    EXPECT_EQ(CountOther(img, QRect(5, 5, 11, 1), Rgb(clBtnShadow)), 0);
    EXPECT_EQ(CountOther(img, QRect(15, 5, 1, 11), Rgb(clBtnShadow)), 0);
    EXPECT_EQ(CountOther(img, QRect(6, 6, 9, 9), Rgb(clWindow)), 0);
    EXPECT_EQ(CountChangedOutside(img, Surface(21, 21, clRed).Image(), QRect(5, 5, 11, 11)), 0);

    TGraphicsProvider::CheckBox(bmp.Canvas(), nullptr, Rect(0, 0, 21, 21), taCenter, vaMiddle, true,
                                true, true);
    img = bmp.Image();
    EXPECT_EQ(img.pixel(6, 6), Rgb(clBtnFace));
    // The tick: three strokes, each one pixel below the previous, end
    // points left out.
    const int x = 5, y = 5;
    for (int i = 0; i < 3; ++i) {
        for (const QPoint& p :
             {QPoint(x + 2, y + 4 + i), QPoint(x + 3, y + 5 + i), QPoint(x + 4, y + 6 + i),
              QPoint(x + 6, y + 4 + i), QPoint(x + 8, y + 2 + i)})
            EXPECT_EQ(img.pixel(p), Rgb(clWindowText)) << p.x() << "," << p.y();
        EXPECT_EQ(img.pixel(x + 9, y + 1 + i), Rgb(clBtnFace)) << i;
    }
    EXPECT_EQ(img.pixel(x + 2, y + 3), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(x + 4, y + 9), Rgb(clBtnFace));
}

TEST(GraphicsProvider, ThemedCheckBox) {
    ThemesSwitch themed(true);
    ASSERT_TRUE(ThemesActive());
    const auto draw = [](bool checked, bool pressed, bool hot) {
        TBitmap bmp = Surface(30, 20, clRed);
        TGraphicsProvider::CheckBox(bmp.Canvas(), nullptr, Rect(0, 0, 30, 20), taLeftJustify, vaTop,
                                    checked, pressed, hot);
        return bmp.Image();
    };
    const QImage plain = draw(false, false, false);
    // 13 x 13 at the margin of 2; nothing outside it.
    const QRect box(2, 2, 13, 13);
    EXPECT_EQ(CountChangedOutside(plain, Surface(30, 20, clRed).Image(), box), 0);
    EXPECT_GT(CountOther(plain, box, qRgb(255, 0, 0)), 100);
    const QImage checked = draw(true, false, false);
    EXPECT_EQ(CountChangedOutside(checked, Surface(30, 20, clRed).Image(), box), 0);
    EXPECT_NE(checked, plain);
    EXPECT_NE(draw(false, true, true), plain);
    // Pressed counts only with the pointer over the box.
    EXPECT_EQ(draw(true, true, false), checked);
}

TEST(GraphicsProvider, IndicatorCell) {
    const TRect cell = Rect(0, 20, 12, 41);
    TBitmap bmp = Surface(12, 45, clRed);
    TGraphicsProvider::IndicatorCell(bmp.Canvas(), cell, false, false, true);
    QImage img = bmp.Image();
    // Arrow head (3, 25), (8, 30), (3, 35) in the window text colour.
    for (const QPoint& p : {QPoint(3, 25), QPoint(8, 30), QPoint(3, 35), QPoint(5, 30)})
        EXPECT_EQ(img.pixel(p), Rgb(clWindowText)) << p.x() << "," << p.y();
    EXPECT_EQ(img.pixel(9, 30), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(3, 24), Rgb(clBtnFace));
    // Hand-drawn edges with face-coloured corner pixels.
    EXPECT_EQ(img.pixel(0, 30), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(0, 41), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(5, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(11, 30), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(5, 40), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(1, 20), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(10, 40), Rgb(clBtnFace));

    // The old style: a raised face with a window-frame dark edge, the same
    // arrow on it.
    TBitmap oldStyle = Surface(12, 45, clRed);
    TGraphicsProvider::IndicatorCell(oldStyle.Canvas(), cell, true, false, true);
    const QImage o = oldStyle.Image();
    EXPECT_EQ(o.pixel(0, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(o.pixel(10, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(o.pixel(11, 20), Rgb(clWindowFrame));
    EXPECT_EQ(o.pixel(11, 30), Rgb(clWindowFrame));
    EXPECT_EQ(o.pixel(0, 40), Rgb(clWindowFrame));
    EXPECT_EQ(o.pixel(1, 21), Rgb(clBtnFace));
    EXPECT_EQ(o.pixel(5, 30), Rgb(clWindowText));
    EXPECT_EQ(o.pixel(0, 41), qRgb(255, 0, 0));

    // A selected row is the same cell inverted.
    TBitmap sel = Surface(12, 45, clRed);
    TGraphicsProvider::IndicatorCell(sel.Canvas(), cell, false, true, true);
    const QImage inv = sel.Image();
    EXPECT_EQ(inv.pixel(5, 30), qRgb(255, 255, 255) ^ (img.pixel(5, 30) & 0xFFFFFF));
    EXPECT_EQ(inv.pixel(6, 22), 0xFF000000 | (~img.pixel(6, 22) & 0xFFFFFF));
}

TEST(GraphicsProvider, DrawTextInIsTransparentAndAligned) {
    TBitmap bmp = Surface(120, 20, clYellow);
    TCanvas* c = bmp.Canvas();
    c->Brush.Color = clBlue;
    c->Font()->SetColor(clBlack);
    TGraphicsProvider::DrawTextIn(c, Rect(10, 0, 110, 20), false, QStringLiteral("&Saat"), 1);
    EXPECT_EQ(c->Brush.Style, bsSolid);
    const QImage img = bmp.Image();
    // No background box, no prefix processing: "&" is drawn (ink on the
    // left part of the text too), right alignment keeps the left half clean.
    EXPECT_EQ(CountOther(img, QRect(10, 0, 50, 20), qRgb(255, 255, 0)), 0);
    EXPECT_GT(CountOther(img, QRect(60, 0, 50, 20), qRgb(255, 255, 0)), 0);
    EXPECT_EQ(img.pixel(109, 0), qRgb(255, 255, 0));
    EXPECT_EQ(CountChangedOutside(img, Surface(120, 20, clYellow).Image(), QRect(10, 0, 100, 20)),
              0);
}

TEST(MaskProvider, DrawMasked) {
    TBitmap image = Surface(3, 1, clRed);
    TBitmap mask(3, 1);
    mask.SetPixel(0, 0, clWhite);
    mask.SetPixel(1, 0, clBlack);
    mask.SetPixel(2, 0, RGB(128, 128, 128));
    TBitmap bmp = Surface(6, 3, clBlue);
    TMaskProvider::DrawMasked(bmp.Canvas(), 2, 1, image, mask);
    EXPECT_EQ(bmp.Pixel(2, 1), RGB(254, 0, 0));
    EXPECT_EQ(bmp.Pixel(3, 1), RGB(0, 0, 254));
    EXPECT_EQ(bmp.Pixel(4, 1), RGB(127, 0, 126));
    EXPECT_EQ(bmp.Pixel(1, 1), clBlue);
    EXPECT_EQ(bmp.Pixel(5, 1), clBlue);

    const QImage before = bmp.Image();
    try {
        TMaskProvider::DrawMasked(bmp.Canvas(), 0, 0, image, TBitmap(3, 2));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Image and Mask size differ"));
    }
    EXPECT_EQ(bmp.Image(), before);
}

TEST(DrawProvider, AlphaPictureBlendsOthersCopy) {
    TBitmap picture(2, 1, TBitmap::pf32bit);
    picture.SetPixel(0, 0, clWhite, 255);
    picture.SetPixel(1, 0, clWhite, 0);
    TBitmap bmp = Surface(4, 1, RGB(100, 100, 100));
    TDrawProvider::DrawGraphic(bmp.Canvas(), 1, 0, picture);
    EXPECT_EQ(bmp.Pixel(1, 0), RGB(254, 254, 254));
    EXPECT_EQ(bmp.Pixel(2, 0), RGB(99, 99, 99));
    EXPECT_EQ(bmp.Pixel(0, 0), RGB(100, 100, 100));

    TBitmap opaque = Surface(2, 1, clWhite);
    TDrawProvider::DrawGraphic(bmp.Canvas(), 1, 0, opaque);
    EXPECT_EQ(bmp.Pixel(1, 0), clWhite);
}
