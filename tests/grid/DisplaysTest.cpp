// The column displays and the check-box play: what each display puts into a
// cell, checked by geometry and colour (where ink lies, which colours fill
// which pixels), and against the canvas drawing the text a display should
// show; never by the shapes of glyphs.

#include "ColumnsTestSupport.h"
#include "GridTestSupport.h"

#include "Displays.h"
#include "ImgList.h"
#include "PixelTestSupport.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QFontMetrics>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);

// The bounding box of the pixels that differ from the background.
QRect Ink(const QImage& image, QRgb background = kWhite) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    return box;
}

// Pixels of strong ink.
int Dark(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++n;
    return n;
}

int Count(const QImage& image, const QRect& area, QRgb color) {
    const int all = area.width() * area.height();
    return all - CountOther(image, area, color);
}

using TLoad = std::function<void(TColumnDisplay&)>;

class Displays : public ColumnsFixture {
protected:
    // The display of the column paints one cell on a fresh surface, the
    // way the grid hands it over: the canvas font is the column's.
    static QImage Paint(TCustomColumn& column, const TRect& cell, const TLoad& load, int width,
                        int height, TColor fill = clWhite) {
        TBitmap bmp = Surface(width, height, fill);
        Paint(column, bmp, cell, load);
        return bmp.Image();
    }
    static void Paint(TCustomColumn& column, TBitmap& bmp, const TRect& cell, const TLoad& load) {
        TColumnDisplay* d = column.Display();
        bmp.Canvas()->Font()->Assign(*column.Font());
        d->Canvas = bmp.Canvas();
        d->CellRect = cell;
        if (load) load(*d);
        d->Paint();
        d->Canvas = nullptr;
    }
    static TLoad WithText(const QString& text) {
        return [text](TColumnDisplay& d) { d.Text = text; };
    }
    static TLoad WithFloat(double value) {
        return [value](TColumnDisplay& d) { d.FloatValue = value; };
    }
    static TLoad WithInt(int value) {
        return [value](TColumnDisplay& d) { d.IntValue = value; };
    }

    // What the canvas itself draws for the text in the rectangle.
    static QImage Drawn(const TFont& font, const QString& text, TRect rect, unsigned flags,
                        int width, int height) {
        TBitmap bmp = Surface(width, height);
        bmp.Canvas()->Font()->Assign(font);
        bmp.Canvas()->Brush.Style = bsClear;
        bmp.Canvas()->DrawText(text, rect, flags);
        return bmp.Image();
    }
    // A centred single line cut with an ellipsis: the new columns' layout.
    static constexpr unsigned kCentred =
        DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
};

// ---------------------------------------------------------------- cell text

TEST_F(Displays, TextIsCutWithAnEllipsisOrClippedAtTheTextRect) {
    TTextualColumn column;
    const QString text = QStringLiteral("MMMMMMMMMMMMMMMMMMMM");
    const TRect cell = Rect(10, 0, 70, 20);

    const QImage cut = Paint(column, cell, WithText(text), 90, 20);
    column.SetWrapKind(wkNone);
    const QImage clipped = Paint(column, cell, WithText(text), 90, 20);

    // Both keep 2 pixels clear of the cell's sides.
    for (const QImage& img : {cut, clipped}) {
        EXPECT_GE(Ink(img).left(), 12);
        EXPECT_LE(Ink(img).right(), 67);
    }
    // Clipped letters run to the text rect's edge over their full height;
    // the ellipsis that ends the cut text has ink only near the baseline.
    const QRect clippedInk = Ink(clipped);
    EXPECT_EQ(clippedInk.right(), 67);
    const QRect cutInk = Ink(cut);
    const QRect lastColumns(cutInk.right() - 1, 0, 2, 20);
    const QRect tail = Ink(cut.copy(lastColumns));
    EXPECT_LE(tail.height(), 3);
    EXPECT_GE(tail.top() + lastColumns.top(), cutInk.bottom() - 3);
    const QRect clippedTail = Ink(clipped.copy(QRect(66, 0, 2, 20)));
    EXPECT_GT(clippedTail.height(), 5);
}

TEST_F(Displays, AnAmpersandIsShownAsItIs) {
    TTextualColumn column;
    column.SetAlignment(taLeftJustify);
    const QString text = QStringLiteral("&&&&");
    const TRect cell = Rect(0, 0, 100, 20);
    const QImage img = Paint(column, cell, WithText(text), 100, 20);
    // As wide as the four characters, not as the two that prefix
    // processing would leave.
    TBitmap probe = Surface(1, 1);
    probe.Canvas()->Font()->Assign(*column.Font());
    const int four = probe.Canvas()->TextWidth(text);
    const int two = probe.Canvas()->TextWidth(QStringLiteral("&&"));
    ASSERT_GT(four - two, 6);
    const QRect ink = Ink(img);
    EXPECT_GT(ink.right() - 2, two + (four - two) / 2);
    EXPECT_EQ(img,
              Drawn(*column.Font(), text, Rect(2, 0, 98, 20),
                    DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, 100, 20));
}

TEST_F(Displays, TextFollowsTheAlignmentsAndTheWrapKind) {
    TTextualColumn column;
    const TRect cell = Rect(0, 0, 120, 60);
    const auto inkOf = [&](TAlignment a, TVerticalAlignment v) {
        column.SetAlignment(a);
        column.SetVerticalAlignment(v);
        return Ink(Paint(column, cell, WithText(QStringLiteral("Abc")), 120, 60));
    };
    const QRect leftTop = inkOf(taLeftJustify, vaTop);
    const QRect rightBottom = inkOf(taRightJustify, vaBottom);
    const QRect centre = inkOf(taCenter, vaMiddle);
    EXPECT_LE(leftTop.left(), 3);
    EXPECT_LE(leftTop.top(), 4);
    EXPECT_GE(rightBottom.right(), 115);
    EXPECT_LE(rightBottom.right(), 117);
    EXPECT_GE(rightBottom.bottom(), 52);
    EXPECT_NEAR(centre.center().x(), 60, 3);
    EXPECT_NEAR(centre.center().y(), 30, 4);

    // A grid laid out from right to left reads a mixed text from the right.
    const QString mixed = QStringLiteral("abc \u05D0\u05D1\u05D2 12");
    const QImage ltr = Paint(column, cell, WithText(mixed), 120, 60);
    const QImage rtl = Paint(
        column, cell,
        [&](TColumnDisplay& d) {
            d.Text = mixed;
            d.RightToLeft = true;
        },
        120, 60);
    column.Display()->RightToLeft = false;
    EXPECT_NE(rtl, ltr);
    EXPECT_EQ(Ink(rtl).center().y(), Ink(ltr).center().y());

    // Broken into lines at words: several lines, from the top even though
    // the column asks for the middle.
    column.SetAlignment(taLeftJustify);
    column.SetVerticalAlignment(vaMiddle);
    column.SetWrapKind(wkWordWrap);
    const QString words = QStringLiteral("one two three four five six");
    const TRect narrow = Rect(0, 0, 50, 80);
    const QRect wrapped = Ink(Paint(column, narrow, WithText(words), 50, 80));
    TBitmap probe = Surface(1, 1);
    probe.Canvas()->Font()->Assign(*column.Font());
    const int line = probe.Canvas()->TextHeight(words);
    EXPECT_LE(wrapped.top(), 4);
    EXPECT_GT(wrapped.height(), 2 * line);
    column.SetWrapKind(wkNone);
    const QRect single = Ink(Paint(column, narrow, WithText(words), 50, 80));
    EXPECT_GT(single.top(), 30);
    EXPECT_LT(single.height(), line);
}

TEST_F(Displays, TextualCellsAreFramedByTextBeforeAndAfter) {
    TComboBoxColumn column;
    column.SetAlignment(taCenter);
    column.SetTextBefore(QStringLiteral("("));
    column.SetTextAfter(QStringLiteral(") s"));
    const TRect cell = Rect(0, 0, 80, 20);
    EXPECT_EQ(Paint(column, cell, WithText(QStringLiteral("5")), 80, 20),
              Drawn(*column.Font(), QStringLiteral("(5) s"), Rect(2, 0, 78, 20), kCentred, 80, 20));
}

TEST_F(Displays, NumbersDatesAndRowNumbersShowTheirText) {
    const TRect cell = Rect(0, 0, 100, 20);
    const TRect text = Rect(2, 0, 98, 20);
    TNumericColumn numeric;
    numeric.SetAlignment(taCenter);
    numeric.SetTextAfter(QStringLiteral(" kg"));
    EXPECT_EQ(Paint(numeric, cell, WithFloat(2.5), 100, 20),
              Drawn(*numeric.Font(), QStringLiteral("2,5 kg"), text, kCentred, 100, 20));
    numeric.SetFormatMask(QStringLiteral("0.00"));
    EXPECT_EQ(Paint(numeric, cell, WithFloat(3), 100, 20),
              Drawn(*numeric.Font(), QStringLiteral("3,00 kg"), text, kCentred, 100, 20));
    // A value that is no number has its text too.
    EXPECT_EQ(Paint(numeric, cell, WithFloat(std::nan("")), 100, 20),
              Drawn(*numeric.Font(), QStringLiteral("NAN kg"), text, kCentred, 100, 20));

    // The first row is row 1.
    TIncrementColumn increment;
    increment.SetAlignment(taCenter);
    const QImage first = Paint(increment, cell, WithInt(0), 100, 20);
    EXPECT_EQ(first, Drawn(*increment.Font(), QStringLiteral("1"), text, kCentred, 100, 20));
    EXPECT_NE(first, Drawn(*increment.Font(), QStringLiteral("0"), text, kCentred, 100, 20));
    EXPECT_NO_THROW(Paint(increment, cell, WithInt(std::numeric_limits<int>::max()), 100, 20));
}

TEST_F(Displays, AnEmptyDateShowsItsCaptionOnlyWhenHidden) {
    TDateColumn column;
    column.SetAlignment(taCenter);
    column.SetEmptyCaption(QStringLiteral("yok"));
    const TRect cell = Rect(0, 0, 140, 20);
    const TRect text = Rect(2, 0, 138, 20);
    const auto date = [](double v) { return [v](TColumnDisplay& d) { d.DateValue = v; }; };
    EXPECT_EQ(Paint(column, cell, date(0), 140, 20),
              Drawn(*column.Font(), QStringLiteral("30.12.1899"), text, kCentred, 140, 20));
    column.SetHideWhenEmpty(true);
    EXPECT_EQ(Paint(column, cell, date(0), 140, 20),
              Drawn(*column.Font(), QStringLiteral("yok"), text, kCentred, 140, 20));
    EXPECT_EQ(
        Paint(column, cell, date(1.5), 140, 20),
        Drawn(*column.Font(), QStringLiteral("31.12.1899 12:00:00"), text, kCentred, 140, 20));
}

TEST_F(Displays, ADateThatCannotBeWrittenDrawsNothing) {
    TDateColumn column;
    const TRect cell = Rect(0, 0, 140, 20);
    // Exactly the values the conversion refuses draw nothing; the others
    // draw their text.
    const double values[] = {MinDateTime,
                             MinDateTime - 0.5,
                             MinDateTime - 0.999999,
                             MinDateTime - 1.0,
                             MaxDateTime,
                             MaxDateTime + 0.000000004,
                             MaxDateTime + 0.00000001,
                             2958466.0,
                             1e300,
                             -1e300,
                             std::nan(""),
                             std::numeric_limits<double>::infinity()};
    for (double v : values) {
        bool writable = true;
        try {
            DateTimeToStr(v);
        } catch (const EConvertError&) {
            writable = false;
        }
        QImage img;
        ASSERT_NO_THROW(img = Paint(
                            column, cell, [v](TColumnDisplay& d) { d.DateValue = v; }, 140, 20))
            << v;
        EXPECT_EQ(Ink(img).isEmpty(), !writable) << v;
    }
}

// ---------------------------------------------------------- note, background

TEST_F(Displays, NoteMarkAndBackground) {
    TTextualColumn column;
    TColumnDisplay* d = column.Display();
    TBitmap bmp = Surface(30, 20);
    d->Canvas = bmp.Canvas();
    d->CellRect = Rect(5, 5, 25, 15);
    d->DrawNoteMark();
    QImage img = bmp.Image();
    const QRgb red = qRgb(255, 0, 0);
    // The triangle (20, 5), (24, 5), (24, 9): its three corners and its
    // inside are red, the rest of the corner square is not.
    for (const QPoint& p : {QPoint(20, 5), QPoint(24, 5), QPoint(24, 9), QPoint(23, 6)})
        EXPECT_EQ(img.pixel(p), red) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(20, 6), QPoint(21, 8), QPoint(24, 10), QPoint(25, 5)})
        EXPECT_EQ(img.pixel(p), kWhite) << p.x() << "," << p.y();
    EXPECT_EQ(CountChangedOutside(img, Surface(30, 20).Image(), QRect(20, 5, 5, 5)), 0);

    d->FillBackground(clBlue, false);
    img = bmp.Image();
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_EQ(img.pixel(5, 5), blue);
    EXPECT_EQ(img.pixel(24, 14), blue);
    EXPECT_EQ(img.pixel(15, 5), blue);
    EXPECT_EQ(img.pixel(10, 10), kWhite);
    EXPECT_EQ(img.pixel(25, 10), kWhite);
    d->FillBackground(clBlue, true);
    img = bmp.Image();
    EXPECT_EQ(Count(img, QRect(5, 5, 20, 10), blue), 200);
    EXPECT_EQ(CountChangedOutside(img, Surface(30, 20).Image(), QRect(5, 5, 20, 10)), 0);
    d->Canvas = nullptr;
}

// ------------------------------------------------------------------ check box

TEST_F(Displays, CheckBoxIsTheThemedBoxOrThePlainOne) {
    auto* column = Add<TCheckBoxColumn>();
    column->SetAlignment(taCenter);
    column->SetVerticalAlignment(vaMiddle);
    const TRect cell = Rect(0, 0, 41, 21);
    const auto boolean = [](bool v) { return [v](TColumnDisplay& d) { d.BoolValue = v; }; };
    {
        ThemesSwitch themed(true);
        ASSERT_TRUE(ThemesActive());
        const TPoint at = TCalcProvider::AlignedPoint(13, 13, 2, cell, taCenter, vaMiddle);
        for (bool checked : {false, true}) {
            const QImage img = Paint(*column, cell, boolean(checked), 41, 21, clRed);
            TBitmap ref = Surface(41, 21, clRed);
            DrawThemed(&FGrid, ref.Canvas(), QStringLiteral("Button"), Themes::BP_CHECKBOX,
                       checked ? Themes::CBS_CHECKEDNORMAL : Themes::CBS_UNCHECKEDNORMAL,
                       Bounds(at.X, at.Y, 13, 13));
            EXPECT_EQ(img, ref.Image()) << checked;
        }
    }
    {
        ThemesSwitch classic(false);
        const QImage off = Paint(*column, cell, boolean(false), 41, 21, clRed);
        // 11 x 11, centred: (15, 5) to (26, 16).
        EXPECT_EQ(Count(off, QRect(15, 5, 11, 1), Rgb(clBtnShadow)), 11);
        EXPECT_EQ(Count(off, QRect(16, 6, 9, 9), Rgb(clWindow)), 81);
        EXPECT_EQ(CountChangedOutside(off, Surface(41, 21, clRed).Image(), QRect(15, 5, 11, 11)),
                  0);
        const QImage on = Paint(*column, cell, boolean(true), 41, 21, clRed);
        EXPECT_GT(Count(on, QRect(16, 6, 9, 9), Rgb(clWindowText)), 10);
    }
}

TEST_F(Displays, CheckBoxPlayTogglesBySpaceAndByAClickInItsBox) {
    TCheckBoxColumn column;
    column.SetAlignment(taCenter);
    column.SetVerticalAlignment(vaMiddle);
    auto* play = dynamic_cast<TCheckBoxColumnPlay*>(column.Play());
    ASSERT_NE(play, nullptr);
    std::vector<QObject*> senders;
    play->OnChange = [&](QObject* sender) { senders.push_back(sender); };
    play->CellRect = Rect(100, 40, 140, 60);

    QChar key = u'a';
    play->KeyPress(key);
    EXPECT_FALSE(play->BoolValue);
    key = u' ';
    play->KeyPress(key);
    EXPECT_TRUE(play->BoolValue);
    play->KeyPress(key);
    EXPECT_FALSE(play->BoolValue);
    EXPECT_EQ(senders, (std::vector<QObject*>{play, play}));

    senders.clear();
    {
        ThemesSwitch themed(true);
        // The cell grown by 1 is (-1, -1, 41, 21): the 13 x 13 box lies at
        // (14, 4) to (27, 17).
        EXPECT_EQ(play->CheckArea(), Rect(14, 4, 27, 17));
        play->MouseDown(mbLeft, 0, 14, 4);
        EXPECT_TRUE(play->BoolValue);
        play->MouseDown(mbLeft, 0, 26, 16);
        EXPECT_FALSE(play->BoolValue);
        for (const QPoint& p :
             {QPoint(13, 10), QPoint(27, 10), QPoint(20, 3), QPoint(20, 17), QPoint(2, 2)})
            play->MouseDown(mbLeft, 0, p.x(), p.y());
        EXPECT_FALSE(play->BoolValue);
        EXPECT_EQ(senders.size(), 2u);
    }
    {
        ThemesSwitch classic(false);
        EXPECT_EQ(play->CheckArea(), Rect(15, 5, 26, 16));
        play->MouseDown(mbLeft, 0, 14, 10);
        EXPECT_FALSE(play->BoolValue);
        play->MouseDown(mbLeft, 0, 15, 15);
        EXPECT_TRUE(play->BoolValue);
    }
    // Left and top: 2 pixels into the grown cell.
    column.SetAlignment(taLeftJustify);
    column.SetVerticalAlignment(vaTop);
    ThemesSwitch themed(true);
    EXPECT_EQ(play->CheckArea(), Rect(1, 1, 14, 14));
}

// ----------------------------------------------------------------- progress

class ProgressDisplay : public Displays {
protected:
    ProgressDisplay() {
        FColumn.SetAlignment(taLeftJustify);
        FColumn.SetColor(clWhite);
        FColumn.SetBorderColor(clBlack);
        FColumn.SetProgressColor(clBlue);
    }
    // Cell (0, 0, 130, 20) with the margin of 2: the bar (2, 2, 128, 18),
    // its inside 4 pixels in.
    QImage Paint(double value, TColor fill = clWhite) {
        return Displays::Paint(FColumn, Rect(0, 0, 130, 20), WithFloat(value), 130, 20, fill);
    }
    TProgressColumn FColumn;
};

TEST_F(ProgressDisplay, HalfFullWithItsTextBeforeTheBar) {
    const QRgb blue = qRgb(0, 0, 255);
    const QImage plain = Paint(50);
    // The frame, then half of the inside (2 + 2 .. 126: 120 wide) filled.
    EXPECT_EQ(plain.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(plain.pixel(127, 17), qRgb(0, 0, 0));
    EXPECT_EQ(Count(plain, QRect(4, 4, 122, 12), blue), 61 * 12);
    EXPECT_EQ(Count(plain, QRect(4, 4, 61, 12), blue), 61 * 12);
    EXPECT_EQ(plain.pixel(3, 3), kWhite);

    FColumn.SetShowText(true);
    const QImage shown = Paint(50);
    // The bar starts 30 pixels further right: (32, 2); its inside is 90
    // wide, half of it filled.
    EXPECT_EQ(shown.pixel(32, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(31, 10), kWhite);
    EXPECT_EQ(Count(shown, QRect(34, 4, 92, 12), blue), 46 * 12);
    EXPECT_EQ(Count(shown, QRect(34, 4, 46, 12), blue), 46 * 12);
    // "50%" on the left of the cell, as the canvas draws it.
    const QImage text =
        Drawn(*FColumn.Font(), QStringLiteral("50%"), Rect(2, 0, 128, 20),
              DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, 130, 20);
    EXPECT_EQ(shown.copy(0, 0, 32, 20), text.copy(0, 0, 32, 20));
    EXPECT_FALSE(Ink(text).isEmpty());
}

TEST_F(ProgressDisplay, StylesTransparencyAndEmptyValues) {
    FColumn.SetColor(clRed);
    FColumn.SetProgressStyle(TProgressColumn::psGradient);
    QImage img = Paint(100, clLime);
    // From the column's colour on the left towards the progress colour.
    EXPECT_EQ(img.pixel(4, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(125, 10), Rgb(TGraphicsProvider::Blend(clRed, clBlue, 121.0 / 122)));
    EXPECT_EQ(img.pixel(60, 4), img.pixel(60, 15));
    FColumn.SetProgressStyle(TProgressColumn::psCylinder);
    img = Paint(100, clLime);
    EXPECT_EQ(img.pixel(60, 4), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(60, 15), Rgb(TGraphicsProvider::Blend(clRed, clBlue, 11.0 / 12)));
    EXPECT_EQ(img.pixel(4, 10), img.pixel(125, 10));

    // Transparent: only the frame, the cell's own background shows.
    FColumn.SetProgressStyle(TProgressColumn::psSolid);
    FColumn.SetTransparent(true);
    img = Paint(25, clLime);
    EXPECT_EQ(img.pixel(2, 10), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(100, 10), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(10, 10), qRgb(0, 0, 255));

    // Nothing for 0 with HideWhenEmpty; without it an empty bar.
    FColumn.SetHideWhenEmpty(true);
    EXPECT_EQ(Paint(0, clLime), Surface(130, 20, clLime).Image());
    FColumn.SetHideWhenEmpty(false);
    EXPECT_EQ(Count(Paint(0, clLime), QRect(4, 4, 122, 12), qRgb(0, 0, 255)), 0);
}

TEST_F(ProgressDisplay, ValuesBeyondTheBarOrWithoutAMaxStayInsideIt) {
    const QRgb blue = qRgb(0, 0, 255);
    FColumn.SetShowText(true);
    const QImage zero =
        Drawn(*FColumn.Font(), QStringLiteral("0%"), Rect(2, 0, 128, 20),
              DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, 130, 20);
    // A Max of 0 and values that are no number: the frame, no fill, 0%.
    FColumn.SetMax(0);
    for (double v : {50.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        FColumn.SetMax(std::isfinite(v) ? 0 : 100);
        QImage img;
        ASSERT_NO_THROW(img = Paint(v)) << v;
        EXPECT_EQ(img.pixel(32, 2), qRgb(0, 0, 0)) << v;
        EXPECT_EQ(Count(img, QRect(34, 4, 92, 12), blue), 0) << v;
        EXPECT_EQ(img.copy(0, 0, 32, 20), zero.copy(0, 0, 32, 20)) << v;
    }
    FColumn.SetMax(100);
    FColumn.SetShowText(false);
    // Far beyond Max: the whole inside and not a pixel more; below 0: none.
    QImage img;
    ASSERT_NO_THROW(img = Paint(1e300));
    EXPECT_EQ(Count(img, QRect(4, 4, 122, 12), blue), 122 * 12);
    EXPECT_EQ(Count(img, QRect(0, 0, 130, 20), blue), 122 * 12);
    EXPECT_EQ(Count(Paint(-40), QRect(0, 0, 130, 20), blue), 0);
    // A margin no cell can hold leaves nothing to fill.
    FColumn.SetMargin(std::numeric_limits<int>::max());
    ASSERT_NO_THROW(img = Paint(50));
    EXPECT_EQ(Count(img, QRect(0, 0, 130, 20), blue), 0);
}

// ------------------------------------------------------------- marked-up text

class HtmlDisplay : public Displays {
protected:
    QImage Paint(const QString& text, int width = 200, int height = 40) {
        return Displays::Paint(FColumn, Rect(0, 0, width, height), WithText(text), width, height);
    }
    int OpenBold() const {
        return static_cast<THtmlColumnDisplay*>(FColumn.Display())
            ->OpenTags(THtmlColumnDisplay::tkB);
    }
    THtmlColumn FColumn;
};

TEST_F(HtmlDisplay, StylesLastWhileMoreTagsAreOpenedThanClosed) {
    const QImage bold = Paint(QStringLiteral("<b>WWWW</b>"));
    const QImage plain = Paint(QStringLiteral("WWWW"));
    ASSERT_NE(bold, plain);
    EXPECT_GT(Dark(bold), Dark(plain) * 5 / 4);
    EXPECT_EQ(Paint(QStringLiteral("<b><b>WW</b>WW</b>")), bold);
    EXPECT_EQ(Paint(QStringLiteral("<B>WW</b>WW")), Paint(QStringLiteral("<b>WW</b>WW")));
    EXPECT_NE(Paint(QStringLiteral("<b>WW</b>WW")), bold);
    EXPECT_EQ(OpenBold(), 0);

    // A tag with attributes counts once: its closing tag ends it.
    EXPECT_EQ(Paint(QStringLiteral("<b x=1 y=2>WW</b>WW")), Paint(QStringLiteral("<b>WW</b>WW")));
    EXPECT_EQ(Paint(QStringLiteral("<a href=x.html>WW</a>WW")),
              Paint(QStringLiteral("<a>WW</a>WW")));
    // A closing tag with none open is passed over.
    EXPECT_EQ(Paint(QStringLiteral("</b></b><b>WWWW")), bold);
    EXPECT_EQ(OpenBold(), 1);
    // The count goes on into the next cell; the next cell starts in the
    // column's font.
    EXPECT_EQ(Paint(QStringLiteral("WWWW")), plain);
    EXPECT_EQ(Paint(QStringLiteral("</b>")), Surface(200, 40).Image());
    EXPECT_EQ(OpenBold(), 0);

    // Italic and underline are styles of their own.
    EXPECT_NE(Paint(QStringLiteral("<i>WWWW</i>")), plain);
    const QImage underlined = Paint(QStringLiteral("<u>WWWW</u>"));
    EXPECT_GT(Ink(underlined).bottom(), Ink(plain).bottom());
}

TEST_F(HtmlDisplay, LinksAndFontColours) {
    const auto darkest = [](const QImage& img) {
        QRgb best = kWhite;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < qGray(best)) best = img.pixel(x, y);
        return best;
    };
    const QImage link = Paint(QStringLiteral("<a>WWWW</a>"));
    const QRgb ink = darkest(link);
    EXPECT_LT(qRed(ink), 60);
    EXPECT_LT(qGreen(ink), 60);
    EXPECT_GT(qBlue(ink), 200);
    // Underlined: ink below the letters.
    EXPECT_GT(Ink(link).bottom(), Ink(Paint(QStringLiteral("WWWW"))).bottom());
    // After the link the window text colour.
    const QImage after = Paint(QStringLiteral("<a>W</a>WWWWWW"));
    EXPECT_EQ(darkest(after.copy(40, 0, 160, 40)), Rgb(clWindowText));

    const QImage red = Paint(QStringLiteral("<font color=#FF0000>WWWW</font>"));
    EXPECT_EQ(darkest(red), qRgb(255, 0, 0));
    EXPECT_EQ(Paint(QStringLiteral("<FONT COLOR=#00ff00>W")),
              Paint(QStringLiteral("<font color=#00FF00>W")));
    // Colours that are not #RRGGBB and sizes that are not whole numbers
    // (or no size of text) leave the font as it was.
    const QImage plain = Paint(QStringLiteral("WWWW"));
    for (const char* bad :
         {"<font color=#FF00>WWWW", "<font color=FF0000>WWWW", "<font color=#FF00GG>WWWW",
          "<font color=#FF00000>WWWW", "<font size=1.5>WWWW", "<font size=abc>WWWW",
          "<font size=0>WWWW", "<font size=-3>WWWW", "<font size=99999999999>WWWW",
          "<font size>WWWW", "<font>WWWW", "<blink color=#FF0000 size=30>WWWW</blink>"})
        EXPECT_EQ(Paint(QString::fromLatin1(bad)), plain) << bad;
    EXPECT_NE(Paint(QStringLiteral("<font size=12>WWWW")), plain);
    // Two attributes of one tag both apply; a closing font tag changes nothing.
    EXPECT_EQ(Paint(QStringLiteral("<font color=#FF0000 size=12>WW</font>WW")),
              Paint(QStringLiteral("<font size=12><font color=#FF0000>WWWW")));
}

TEST_F(HtmlDisplay, ALineBreakGoesBelowTheTallestCharacter) {
    const QString big = QStringLiteral("<font size=20>W</font>");
    TBitmap probe = Surface(1, 1);
    probe.Canvas()->Font()->Assign(*FColumn.Font());
    probe.Canvas()->Font()->SetSize(20);
    const int tall = probe.Canvas()->TextHeight(QStringLiteral("W"));

    // A closing font tag changes nothing: "x" is as large as "W"; "y" is
    // of the column's font again in the next line.
    const QImage broken = Paint(big + QStringLiteral("x<br><font size=8>y"), 200, 80);
    // The same picture: the first line, then "y" alone in a cell whose top
    // is the first line's height.
    TBitmap ref = Surface(200, 80);
    Displays::Paint(FColumn, ref, Rect(0, 0, 200, 80), WithText(big + QStringLiteral("x")));
    Displays::Paint(FColumn, ref, Rect(0, tall, 200, 80),
                    WithText(QStringLiteral("<font size=8>y")));
    EXPECT_EQ(broken, ref.Image());
    // A line break starts at the cell's left edge.
    EXPECT_LE(Ink(Paint(QStringLiteral("WWWW<br>y"), 200, 80).copy(0, 14, 200, 66)).left(), 2);
    // A closing or self-closed break breaks too.
    EXPECT_EQ(Paint(QStringLiteral("WWWW<br/>y"), 200, 80),
              Paint(QStringLiteral("WWWW<br>y"), 200, 80));
}

TEST_F(HtmlDisplay, WithAnEllipsisTheTextStopsAtTheRightEdge) {
    const QString text = QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMM");
    FColumn.SetWrapKind(wkNone);
    const TRect cell = Rect(0, 0, 60, 20);
    const QImage over = Displays::Paint(FColumn, cell, WithText(text), 200, 20);
    // Drawn past the cell's right edge: nothing but the ellipsis rule cuts.
    EXPECT_GT(Ink(over).right(), 150);
    FColumn.SetWrapKind(wkEllipsis);
    const QImage cut = Displays::Paint(FColumn, cell, WithText(text), 200, 20);
    const QRect ink = Ink(cut);
    EXPECT_LE(ink.right(), 60);
    // The last few columns hold the dots: ink only near the baseline.
    const QRect tail = Ink(cut.copy(ink.right() - 1, 0, 2, 20));
    EXPECT_LE(tail.height(), 3);
    EXPECT_GE(tail.top(), ink.bottom() - 3);
}

// ------------------------------------------------------------- image, rating

TEST_F(Displays, ImageOfTheListByTheCellsNumber) {
    TImageList images;
    images.SetWidth(10);
    images.SetHeight(8);
    QImage red(10, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(10, 8, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    images.Add(red);
    images.Add(blue);
    TImageColumn column;
    column.SetAlignment(taRightJustify);
    column.SetVerticalAlignment(vaBottom);
    const TRect cell = Rect(0, 0, 40, 20);
    EXPECT_EQ(Paint(column, cell, WithInt(1), 40, 20), Surface(40, 20).Image());
    column.SetImages(&images);
    // Right and bottom with the margin of 2: (28, 10) to (38, 18).
    QImage img = Paint(column, cell, WithInt(1), 40, 20);
    EXPECT_EQ(Count(img, QRect(28, 10, 10, 8), qRgb(0, 0, 255)), 80);
    EXPECT_EQ(CountChangedOutside(img, Surface(40, 20).Image(), QRect(28, 10, 10, 8)), 0);
    for (int outside : {-1, 2, 1000})
        EXPECT_EQ(Paint(column, cell, WithInt(outside), 40, 20), Surface(40, 20).Image())
            << outside;

    // Through a mask: white shows the image, black the cell.
    column.SetMasked(true);
    EXPECT_EQ(Paint(column, cell, WithInt(0), 40, 20), Surface(40, 20).Image());
    TImageList masks;
    QImage mask(10, 8, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 5; ++x)
            mask.setPixel(x, y, kWhite);
    masks.Add(mask);
    column.SetMasks(&masks);
    img = Paint(column, cell, WithInt(0), 40, 20);
    EXPECT_EQ(Count(img, QRect(28, 10, 5, 8), qRgb(254, 0, 0)), 40);
    EXPECT_EQ(Count(img, QRect(33, 10, 5, 8), qRgb(254, 254, 254)), 40);
    // An image without a mask draws nothing.
    EXPECT_EQ(Paint(column, cell, WithInt(1), 40, 20), Surface(40, 20).Image());
}

class RateDisplay : public Displays {
protected:
    RateDisplay() {
        FColumn.SetGlyph(Surface(10, 6, clRed));
        FColumn.SetEmptyGlyph(Surface(10, 6, clBlue));
        FColumn.SetAlignment(taLeftJustify);
        FColumn.SetVerticalAlignment(vaTop);
    }
    QImage Paint(int value, int width = 80) {
        return Displays::Paint(FColumn, Rect(0, 0, width, 10), WithInt(value), width, 10);
    }
    TRateColumn FColumn;
};

TEST_F(RateDisplay, MaxStepsTheFirstOnesReached) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    QImage img = Paint(2);
    EXPECT_EQ(Count(img, QRect(0, 0, 20, 6), red), 120);
    EXPECT_EQ(Count(img, QRect(20, 0, 30, 6), blue), 180);
    EXPECT_EQ(CountChangedOutside(img, Surface(80, 10).Image(), QRect(0, 0, 50, 6)), 0);
    FColumn.SetAlignment(taRightJustify);
    FColumn.SetVerticalAlignment(vaBottom);
    img = Paint(5);
    EXPECT_EQ(Count(img, QRect(30, 4, 50, 6), red), 300);
    FColumn.SetAlignment(taCenter);
    img = Paint(0);
    EXPECT_EQ(Count(img, QRect(15, 4, 50, 6), blue), 300);

    FColumn.SetHideWhenEmpty(true);
    EXPECT_EQ(Paint(0), Surface(80, 10).Image());
    FColumn.SetHideWhenEmpty(false);
    for (int max : {0, -3}) {
        FColumn.SetMax(max);
        EXPECT_EQ(Paint(3), Surface(80, 10).Image()) << max;
    }
    // More steps than any cell holds: only those in sight are drawn.
    FColumn.SetMax(std::numeric_limits<int>::max());
    ASSERT_NO_THROW(img = Paint(std::numeric_limits<int>::max()));
    EXPECT_EQ(Count(img, QRect(0, 4, 80, 6), red), 480);
}

TEST_F(RateDisplay, TransparentAndMaskedGlyphs) {
    TBitmap glyph = Surface(10, 6, clRed);
    glyph.SetPixel(0, 5, clLime);
    glyph.SetPixel(4, 2, clLime);
    FColumn.SetGlyph(glyph);
    FColumn.SetMax(1);
    EXPECT_EQ(Paint(1).pixel(4, 2), qRgb(0, 255, 0));
    // The bottom-left pixel's colour is left out.
    FColumn.SetTransparent(true);
    QImage img = Paint(1);
    EXPECT_EQ(img.pixel(4, 2), kWhite);
    EXPECT_EQ(img.pixel(0, 5), kWhite);
    EXPECT_EQ(img.pixel(5, 2), qRgb(255, 0, 0));

    FColumn.SetMasked(true);
    TBitmap mask = Surface(10, 6, clBlack);
    mask.Canvas()->Brush.Color = clWhite;
    mask.Canvas()->FillRect(Rect(0, 0, 5, 6));
    FColumn.SetGlyphMask(mask);
    img = Paint(1);
    EXPECT_EQ(img.pixel(1, 1), qRgb(254, 0, 0));
    EXPECT_EQ(img.pixel(6, 1), qRgb(254, 254, 254));
    // A mask of another size shows nothing of its picture.
    FColumn.SetGlyphMask(Surface(9, 6, clWhite));
    ASSERT_NO_THROW(img = Paint(1));
    EXPECT_EQ(img, Surface(80, 10).Image());
}

// -------------------------------------------------------------------- graphic

TEST_F(Displays, GraphicIsScaledToFitAndCentredOrStretched) {
    TGraphicColumn column;
    column.SetBorderWidth(0);
    TBitmap picture = Surface(20, 10, clRed);
    const auto withPicture = [&](TColumnDisplay& d) { d.Graphic = &picture; };
    const QRgb red = qRgb(255, 0, 0);
    // Area (4, 4, 56, 36): scaled by 2.6 to 52 x 26 and centred vertically.
    QImage img = Paint(column, Rect(0, 0, 60, 40), withPicture, 60, 40);
    EXPECT_EQ(Count(img, QRect(4, 7, 52, 26), red), 52 * 26);
    EXPECT_EQ(CountChangedOutside(img, Surface(60, 40).Image(), QRect(4, 7, 52, 26)), 0);
    // Area (4, 4, 96, 36): scaled by 3.2 to 64 x 32 and centred across.
    img = Paint(column, Rect(0, 0, 100, 40), withPicture, 100, 40);
    EXPECT_EQ(Count(img, QRect(18, 4, 64, 32), red), 64 * 32);
    EXPECT_EQ(CountChangedOutside(img, Surface(100, 40).Image(), QRect(18, 4, 64, 32)), 0);
    column.SetStrecht(true);
    img = Paint(column, Rect(0, 0, 100, 40), withPicture, 100, 40);
    EXPECT_EQ(Count(img, QRect(4, 4, 92, 32), red), 92 * 32);

    // Frames round the area, one pixel further out each.
    column.SetStrecht(false);
    column.SetBorderWidth(2);
    const TLoad none = [](TColumnDisplay& d) { d.Graphic = nullptr; };
    img = Paint(column, Rect(0, 0, 60, 40), none, 60, 40);
    const QRgb face = Rgb(clBtnFace);
    EXPECT_EQ(img.pixel(3, 3), face);
    EXPECT_EQ(img.pixel(56, 36), face);
    EXPECT_EQ(img.pixel(2, 20), face);
    EXPECT_EQ(img.pixel(57, 20), face);
    EXPECT_EQ(img.pixel(1, 20), kWhite);
    EXPECT_EQ(img.pixel(4, 20), kWhite);
    column.Display()->Selected = true;
    img = Paint(column, Rect(0, 0, 60, 40), none, 60, 40);
    EXPECT_EQ(img.pixel(3, 3), Rgb(clHighlightText));
    column.Display()->Selected = false;

    // Widths and margins from any layout finish and stay in the cell.
    column.SetBorderWidth(std::numeric_limits<int>::max());
    img = Paint(column, Rect(10, 10, 50, 30), withPicture, 60, 40);
    EXPECT_EQ(img.pixel(0, 0), face);
    EXPECT_EQ(img.pixel(59, 39), face);
    column.SetMargin(std::numeric_limits<int>::max());
    ASSERT_NO_THROW(img = Paint(column, Rect(10, 10, 50, 30), withPicture, 60, 40));
    column.SetMargin(std::numeric_limits<int>::min());
    ASSERT_NO_THROW(img = Paint(column, Rect(10, 10, 50, 30), withPicture, 60, 40));
}

TEST_F(Displays, WithoutACanvasOrAColumnNothingBreaks) {
    TTextualColumn column;
    TColumnDisplay* d = column.Display();
    d->Canvas = nullptr;
    EXPECT_NO_THROW(d->Paint());
    EXPECT_NO_THROW(d->DrawNoteMark());
    EXPECT_NO_THROW(d->FillBackground(clRed, true));
    // A display that belongs to no column draws with the columns' defaults.
    TTextualColumnDisplay loose(nullptr);
    TBitmap bmp = Surface(60, 20);
    loose.Canvas = bmp.Canvas();
    loose.CellRect = Rect(0, 0, 60, 20);
    loose.Text = QStringLiteral("x");
    EXPECT_NO_THROW(loose.Paint());
    EXPECT_FALSE(Ink(bmp.Image()).isEmpty());
}

} // namespace
