// The painter of header, footer and input cells: header backgrounds in
// every style, where the caption, glyph and sort mark go, the pressed look,
// and the colours and texts of footer and input cells. Texts are measured
// against a reference drawn with the same font, never by their shapes.

#include "ColumnsTestSupport.h"

#include "Displays.h"
#include "GridTestSupport.h"
#include "PixelTestSupport.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <optional>

namespace {

using namespace Themes;

// The surface colour: none of the painter's colours.
constexpr TColor Back = RGB(10, 20, 30);
constexpr int SurfaceW = 420;
constexpr int SurfaceH = 90;

bool HasPixel(const QImage& image, const QRect& area, TColor color) {
    return CountOther(image, area, Rgb(color)) < area.width() * area.height();
}

template <class F> bool HasPixel(const QImage& image, const QRect& area, F&& test) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y))) return true;
    return false;
}

// Header items in one flat colour per state (and the left item in its own),
// so the piece the painter asks for shows: the pinned style draws all states
// of a header item alike.
class TStateColoursStyle : public QProxyStyle {
public:
    TStateColoursStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element != CE_HeaderSection)
            return QProxyStyle::drawControl(element, option, painter, widget);
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        QColor c = Qt::blue;
        if (header && header->position == QStyleOptionHeader::Beginning)
            c = Qt::cyan;
        else if (option->state & State_Sunken)
            c = Qt::red;
        else if (option->state & State_MouseOver)
            c = Qt::green;
        painter->fillRect(option->rect, c);
    }
};

// The font the main window's grid gives its headers.
void ApplyGridFont(TFont& font) {
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-11);
}
void ApplyGridFont(TCanvas* canvas) {
    ApplyGridFont(*canvas->Font());
}

// The ink of a text drawn left-aligned at x = 0 (first) and right-aligned
// against x = 200 (last), in the grid's font.
struct TInk {
    int First, Last;
};
TInk InkOf(const QString& text) {
    const auto extent = [&text](int alignment) {
        TBitmap bmp = Surface(220, 20, clWhite);
        ApplyGridFont(bmp.Canvas());
        TGraphicsProvider::DrawTextIn(bmp.Canvas(), Rect(0, 0, 200, 20), false, text, alignment);
        return DiffBox(bmp.Image(), Surface(220, 20, clWhite).Image());
    };
    return {extent(0).left(), 200 - extent(1).right()};
}

int TextWidthOf(const QString& text) {
    TBitmap bmp = Surface(4, 4);
    ApplyGridFont(bmp.Canvas());
    return bmp.Canvas()->TextWidth(text);
}

class PartDisplay : public ColumnsFixture {
protected:
    void SetUp() override {
        ColumnsFixture::SetUp();
        FGrid.HeaderBand = Rect(0, 0, 400, 20);
        FGrid.InputBand = Rect(0, 20, 400, 40);  // the cell: 20 .. 34
        FGrid.FooterBand = Rect(0, 60, 400, 84); // the cell: 64 .. 84
        FGrid.SetHeaderStyle(hsAuto);
        FGrid.SetOptions({});
        ApplyGridFont(FGridFont);
    }

    // Paints one part of the column on a fresh surface, as the grid does.
    QImage Paint(TCustomColumn* column, int kind) {
        TBitmap bmp = Surface(SurfaceW, SurfaceH, Back);
        ApplyGridFont(bmp.Canvas());
        TColumnPartDisplay painter(Owner ? Owner : &FGrid, bmp.Canvas());
        painter.SetShowPressed(ShowPressed);
        painter.SetGridView(GridView);
        painter.SetRightToLeft(RightToLeft);
        painter.SetColumn(column);
        painter.SetState(State);
        painter.SetPartRect(PartRect ? *PartRect
                            : column ? column->GetPartRect(kind)
                                     : Rect(0, 0, 400, 20));
        painter.PaintPart(kind);
        return bmp.Image();
    }
    // The same header without its caption.
    QImage Bare(TCustomColumn* column, int kind = 1) {
        const QString caption = column->Header()->Caption();
        column->Header()->SetCaption(QString());
        QImage image = Paint(column, kind);
        column->Header()->SetCaption(caption);
        return image;
    }
    // Where the header caption's ink starts.
    int CaptionInk(TCustomColumn* column) { return DiffBox(Paint(column, 1), Bare(column)).left(); }
    QImage Themed(int state, const TRect& r) {
        TBitmap bmp = Surface(SurfaceW, SurfaceH, Back);
        DrawThemed(&FGrid, bmp.Canvas(), QStringLiteral("header"), HP_HEADERITEM, state, r);
        return bmp.Image();
    }
    // A reference: the text drawn on the image in the given font.
    static QImage WithText(const QImage& image, const TRect& r, const QString& text, int alignment,
                           bool rtl, const TFont& font) {
        TBitmap bmp(image);
        bmp.Canvas()->Font()->Assign(font);
        TGraphicsProvider::DrawTextIn(bmp.Canvas(), r, rtl, text, alignment);
        return bmp.Image().convertToFormat(image.format());
    }

    TTextualColumn* Column(const QString& caption, int width = 80) {
        auto* c = Add(width);
        c->Header()->SetCaption(caption);
        return c;
    }

    bool ShowPressed = true;
    bool RightToLeft = false;
    TPartState State;
    QWidget* Owner = nullptr;
    TCustomGridViewControl* GridView = nullptr;
    std::optional<TRect> PartRect;
    TFont FGridFont;
};

TEST_F(PartDisplay, HeaderCaptionIndentAndAlignment) {
    Column(QStringLiteral("Hat no."), 80);
    TTextualColumn* saat = Column(QStringLiteral("Saat"), 120); // from x = 80
    saat->SetAlignment(taCenter);
    const int ink = InkOf(QStringLiteral("Saat")).First;
    struct Case {
        bool Themes;
        THeaderStyle Style;
        bool ShowPressed;
        TDisplayMode Mode;
        int Start;
    } cases[] = {
        {true, hsAuto, true, dmTextOnly, 12},       {false, hsAuto, true, dmTextOnly, 3},
        {true, hsDefault, true, dmTextOnly, 3},     {true, hsOldStyle, true, dmTextOnly, 3},
        {true, hsAuto, false, dmTextOnly, 3},       {true, hsAuto, true, dmTextAndImage, 3},
        {false, hsDefault, true, dmTextAndImage, 3}};
    for (const Case& c : cases) {
        ThemesSwitch themes(c.Themes);
        FGrid.SetHeaderStyle(c.Style);
        ShowPressed = c.ShowPressed;
        saat->Header()->SetDisplayMode(c.Mode);
        // Left-aligned although the column is centred.
        EXPECT_EQ(CaptionInk(saat), 80 + c.Start + ink)
            << c.Themes << " " << c.Style << " " << c.ShowPressed << " " << c.Mode;
    }
}

TEST_F(PartDisplay, DragBoxInstanceDrawsContentOnly) {
    ThemesSwitch themes(false);
    TTextualColumn* c = Column(QStringLiteral("Saat"));
    c->SetSorted(true);
    FGrid.Pressed = c;
    ShowPressed = false;
    const QImage blank = Surface(SurfaceW, SurfaceH, Back).Image();
    const QImage image = Paint(c, 1);
    // The caption and the mark on the untouched surface: no background,
    // no inversion.
    const QRect ink = DiffBox(image, blank);
    EXPECT_EQ(ink.left(), 3 + InkOf(QStringLiteral("Saat")).First);
    EXPECT_TRUE(HasPixel(image, ink, clBtnShadow));
    EXPECT_EQ(At(image, 1, 1), Back);
    EXPECT_EQ(At(image, 79, 19), Back);
}

TEST_F(PartDisplay, SortMarkPlaceDirectionAndFit) {
    const QString caption = QStringLiteral("Arayan");
    const int mark = 2 + TextWidthOf(caption) + 19;
    for (bool on : {true, false}) {
        ThemesSwitch themes(on);
        FGrid.SetHeaderStyle(hsDefault);
        FGrid.Columns()->Clear();
        TTextualColumn* c = Column(caption, mark + 9);
        const QImage unsorted = Paint(c, 1);
        const int y = 10 - 4 + (on ? 1 : 0);
        for (TSortKind kind : {skAscending, skDescending}) {
            c->SetSortKind(kind);
            c->SetSorted(true);
            const QImage image = Paint(c, 1);
            const QRect box = DiffBox(image, unsorted);
            SCOPED_TRACE(testing::Message() << "themes " << on << " kind " << kind);
            if (on) {
                EXPECT_EQ(box, QRect(mark, y, 9, 5));
                const bool up = kind == skAscending;
                EXPECT_EQ(At(image, mark + 4, up ? y : y + 4), ColorToRGB(clGrayText));
                EXPECT_NE(At(image, mark, up ? y : y + 4), ColorToRGB(clGrayText));
            } else {
                EXPECT_EQ(box, QRect(mark, y, 8, 7));
                const int tip = kind == skAscending ? y : y + 6;
                const int base = kind == skAscending ? y + 6 : y;
                EXPECT_EQ(At(image, mark, base), ColorToRGB(clBtnShadow));
                EXPECT_EQ(At(image, mark + 3, tip), ColorToRGB(clBtnShadow));
                EXPECT_EQ(At(image, mark + 4, tip), ColorToRGB(clBtnHighlight));
                EXPECT_EQ(At(image, mark + 7, kind == skAscending ? y + 5 : y + 1),
                          ColorToRGB(clBtnHighlight));
            }
            c->SetSorted(false);
        }
        // The mark needs 8 pixels and one more before the right edge: at
        // the width above it showed, one pixel less and it is left out.
        c->SetSorted(true);
        c->SetWidth(mark + 8);
        const QImage tight = Paint(c, 1);
        c->SetSorted(false);
        EXPECT_EQ(tight, Paint(c, 1)) << "themes " << on;
    }
}

TEST_F(PartDisplay, GlyphAndSortMarkAfterIt) {
    ThemesSwitch themes(false);
    FGrid.SetHeaderStyle(hsDefault);
    TTextualColumn* c = Column(QStringLiteral("Hat"), 120);
    c->Header()->SetColor(clYellow);
    // A 6 x 4 red glyph on green, its bottom-left pixel: green is left out.
    TBitmap glyph = Surface(6, 4, clRed);
    glyph.SetPixel(0, 3, clGreen);
    glyph.SetPixel(2, 1, clGreen);
    c->Header()->SetGlyph(glyph);
    c->Header()->SetDisplayMode(dmTextAndImage);
    const QImage image = Paint(c, 1);
    // At x = 3, y = 10 - 4 / 2, without its green pixels.
    EXPECT_EQ(CountOther(image, QRect(3, 8, 6, 4), Rgb(clRed)), 2);
    EXPECT_EQ(At(image, 3, 11), clYellow);
    EXPECT_EQ(At(image, 5, 9), clYellow);
    EXPECT_EQ(At(image, 3, 7), clYellow);
    EXPECT_EQ(At(image, 9, 8), clYellow);
    EXPECT_EQ(At(image, 2, 8), clYellow);
    // The caption follows two pixels after the glyph.
    EXPECT_EQ(DiffBox(image, Bare(c)).left(), 3 + 6 + 2 + InkOf(QStringLiteral("Hat")).First);
    c->Header()->SetDisplayMode(dmImageOnly);
    EXPECT_EQ(Paint(c, 1), Bare(c));

    // The sort mark after the glyph, the caption or both.
    const int caption = TextWidthOf(QStringLiteral("Hat"));
    for (auto [mode, x] :
         {std::pair{dmImageOnly, 2 + 6 + 19}, std::pair{dmTextAndImage, 2 + 6 + caption + 21},
          std::pair{dmTextOnly, 2 + caption + 19}}) {
        c->Header()->SetDisplayMode(mode);
        const QImage unsorted = Paint(c, 1);
        c->SetSorted(true);
        EXPECT_EQ(DiffBox(Paint(c, 1), unsorted), QRect(x, 6, 8, 7)) << mode;
        c->SetSorted(false);
    }
    // Image only with an empty glyph: the background alone, and the mark
    // when sorted.
    c->Header()->SetDisplayMode(dmImageOnly);
    c->Header()->SetGlyph(TBitmap());
    EXPECT_EQ(Paint(c, 1), Bare(c));
    const QImage unsorted = Paint(c, 1);
    c->SetSorted(true);
    EXPECT_EQ(DiffBox(Paint(c, 1), unsorted), QRect(2 + 19, 6, 8, 7));
}

TEST_F(PartDisplay, PressedLookOnlyOutsideThemedAuto) {
    Column(QString(), 80);
    TTextualColumn* c = Column(QStringLiteral("Saat"), 100); // 80 .. 180
    Column(QString(), 80);
    const auto inverted = [](QImage image, const QRect& r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                image.setPixel(x, y, image.pixel(x, y) ^ 0xFFFFFF);
        return image;
    };
    struct Case {
        bool Themes;
        THeaderStyle Style;
        bool Inverts;
    } cases[] = {{false, hsAuto, true},    {false, hsDefault, true},  {true, hsDefault, true},
                 {true, hsOldStyle, true}, {false, hsOldStyle, true}, {true, hsAuto, false}};
    for (const Case& k : cases) {
        ThemesSwitch themes(k.Themes);
        FGrid.SetHeaderStyle(k.Style);
        FGrid.Pressed = nullptr;
        const QImage up = Paint(c, 1);
        FGrid.Pressed = c;
        const QImage down = Paint(c, 1);
        SCOPED_TRACE(testing::Message() << k.Themes << " " << k.Style);
        if (k.Inverts) {
            EXPECT_EQ(down, inverted(up, QRect(80, 0, 99, 19)));
        } else {
            // The theme's pressed item instead.
            EXPECT_EQ(At(down, 175, 10), At(Themed(HIS_PRESSED, Rect(80, 0, 180, 20)), 175, 10));
            EXPECT_NE(At(down, 175, 10), At(inverted(up, QRect(80, 0, 99, 19)), 175, 10));
        }
        // The drag box's instance never looks pressed.
        ShowPressed = false;
        const QImage held = Paint(c, 1);
        FGrid.Pressed = nullptr;
        EXPECT_EQ(held, Paint(c, 1));
        ShowPressed = true;
    }

    // The only visible column: grown by one at the left and the top.
    ThemesSwitch themes(false);
    FGrid.Columns()->Clear();
    FGrid.HeaderBand = Rect(5, 3, 400, 23);
    FGrid.MoveDataLeft(5);
    TTextualColumn* only = Column(QStringLiteral("Saat"), 100); // 5 .. 105
    FGrid.Pressed = nullptr;
    const QImage up = Paint(only, 1);
    FGrid.Pressed = only;
    EXPECT_EQ(Paint(only, 1), inverted(up, QRect(4, 2, 101, 21)));
}

TEST_F(PartDisplay, ThemedHeaderStates) {
    ThemesSwitch themes(true);
    TTextualColumn* c = Column(QString(), 100);
    const TRect r = Rect(0, 0, 100, 20);
    EXPECT_EQ(Paint(c, 1), Themed(HIS_NORMAL, r));

    TStateColoursStyle style;
    FGrid.setStyle(&style);
    struct Restore {
        QWidget& Widget;
        ~Restore() { Widget.setStyle(nullptr); }
    } restore{FGrid};
    const auto state = [&] { return At(Paint(c, 1), 50, 10); };
    EXPECT_EQ(state(), clBlue);
    FGrid.Hot = c;
    EXPECT_EQ(state(), clLime);
    FGrid.Pressed = c; // pressed comes before hot
    EXPECT_EQ(state(), clRed);
    FGrid.Pressed = nullptr;
    FGrid.SetComponentStateFlags(csDesigning, true); // no hot look while designed
    EXPECT_EQ(state(), clBlue);
    FGrid.SetComponentStateFlags(csDesigning, false);
    FGrid.Hot = nullptr;
    FGrid.Pressed = c;
    EXPECT_EQ(state(), clRed);

    // Pieces of no column: a normal header item, and the left item as the
    // filler.
    TBitmap bmp = Surface(SurfaceW, SurfaceH, Back);
    TColumnPartDisplay painter(&FGrid, bmp.Canvas());
    painter.DrawThemedHeaderItem(Rect(0, 0, 12, 20));
    painter.DrawThemedHeaderFiller(Rect(300, 0, 400, 20));
    EXPECT_EQ(CountOther(bmp.Image(), QRect(0, 0, 12, 20), qRgb(0, 0, 255)), 0);
    EXPECT_EQ(CountOther(bmp.Image(), QRect(300, 0, 100, 20), qRgb(0, 255, 255)), 0);
    EXPECT_EQ(CountOther(bmp.Image(), QRect(12, 0, 288, 20), Rgb(Back)), 0);
}

TEST_F(PartDisplay, DefaultHeaderButtonEdgesByPlace) {
    ThemesSwitch themes(false);
    FGrid.SetHeaderStyle(hsDefault);
    const TColor face = RGB(200, 100, 50);
    std::vector<TTextualColumn*> columns;
    for (int i = 0; i < 3; ++i) {
        columns.push_back(Column(QString(), 40)); // 0, 40, 80
        columns.back()->Header()->SetColor(face);
    }
    const TColor hi = ColorToRGB(clBtnHighlight);
    const TColor sh = ColorToRGB(clBtnShadow);
    // Left and right edges of a button from x = l to r - 1, y 0 .. 19.
    const auto check = [&](const QImage& img, int l, int r, bool squareLeft, bool squareRight) {
        EXPECT_EQ(At(img, l, 0), hi);
        EXPECT_EQ(At(img, r - 2, 0), hi);
        EXPECT_EQ(At(img, l + 1, 19), sh);
        EXPECT_EQ(At(img, r - 2, 19), sh);
        EXPECT_EQ(At(img, l + 1, 1), face);
        EXPECT_EQ(At(img, r - 2, 18), face);
        EXPECT_EQ(At(img, l, 1), squareLeft ? hi : face);
        EXPECT_EQ(At(img, l, 2), hi);
        EXPECT_EQ(At(img, l, 17), hi);
        EXPECT_EQ(At(img, l, 18), squareLeft ? hi : face);
        EXPECT_EQ(At(img, l, 19), sh);
        EXPECT_EQ(At(img, r - 1, 0), squareRight ? sh : hi);
        EXPECT_EQ(At(img, r - 1, 1), squareRight ? sh : face);
        EXPECT_EQ(At(img, r - 1, 2), sh);
        EXPECT_EQ(At(img, r - 1, 18), squareRight ? sh : face);
        EXPECT_EQ(At(img, r - 1, 19), sh);
        EXPECT_EQ(At(img, r, 10), Back);
    };
    {
        SCOPED_TRACE("first");
        check(Paint(columns[0], 1), 0, 40, true, false);
    }
    {
        SCOPED_TRACE("middle");
        check(Paint(columns[1], 1), 40, 80, false, false);
    }
    {
        SCOPED_TRACE("last");
        check(Paint(columns[2], 1), 80, 120, false, true);
    }
    // The only one: a whole frame, light top and left, dark bottom and right.
    columns[1]->SetVisible(false);
    columns[2]->SetVisible(false);
    const QImage only = Paint(columns[0], 1);
    EXPECT_EQ(At(only, 0, 1), hi);
    EXPECT_EQ(At(only, 0, 18), hi);
    EXPECT_EQ(At(only, 38, 0), hi);
    EXPECT_EQ(At(only, 39, 0), sh);
    EXPECT_EQ(At(only, 39, 1), sh);
    EXPECT_EQ(At(only, 0, 19), sh);
    EXPECT_EQ(CountOther(only, QRect(1, 1, 38, 18), Rgb(face)), 0);
    // Without themes hsAuto draws the same buttons.
    FGrid.SetHeaderStyle(hsAuto);
    EXPECT_EQ(Paint(columns[0], 1), only);
}

TEST_F(PartDisplay, OldStyleHeaderFrame) {
    ThemesSwitch themes(true); // the old style ignores themes
    FGrid.SetHeaderStyle(hsOldStyle);
    Column(QString(), 50);
    TTextualColumn* c = Column(QString(), 60); // 50 .. 110
    c->Header()->SetColor(clAqua);
    const QImage img = Paint(c, 1);
    const TColor hi = ColorToRGB(clBtnHighlight);
    const TColor frame = ColorToRGB(clWindowFrame);
    EXPECT_EQ(At(img, 50, 0), hi);
    EXPECT_EQ(At(img, 108, 0), hi);
    EXPECT_EQ(At(img, 50, 18), hi);
    EXPECT_EQ(At(img, 109, 0), frame);
    EXPECT_EQ(At(img, 109, 19), frame);
    EXPECT_EQ(At(img, 50, 19), frame);
    EXPECT_EQ(CountOther(img, QRect(51, 1, 58, 18), Rgb(clAqua)), 0);
    EXPECT_EQ(At(img, 49, 10), Back);
}

TEST_F(PartDisplay, FooterCellAndCaption) {
    ThemesSwitch themes(false);
    Column(QString(), 50);
    TTextualColumn* c = Column(QStringLiteral("Saat"), 100); // 50 .. 150, y 64 .. 84
    c->SetAlignment(taRightJustify);
    c->Footer()->SetColor(clWhite);
    c->Font()->SetName(QStringLiteral("Arial"));
    c->Font()->SetColor(clRed);
    const QImage bare = Paint(c, 0);
    c->Footer()->SetCaption(QStringLiteral("1234"));
    QImage img = Paint(c, 0);
    EXPECT_EQ(CountOther(bare, QRect(50, 64, 100, 20), Rgb(clWhite)), 0);
    EXPECT_EQ(At(bare, 50, 63), Back);
    EXPECT_EQ(At(bare, 150, 70), Back);
    // Right-aligned, one pixel clear of the right edge, in the column's font.
    const QRect text = DiffBox(img, bare);
    EXPECT_EQ(text.right(), 149 - InkOf(QStringLiteral("1234")).Last);
    EXPECT_TRUE(QRect(52, 64, 97, 19).contains(text));
    EXPECT_TRUE(HasPixel(img, text, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 128; }));
    // The header of the same column stays left-aligned.
    EXPECT_EQ(CaptionInk(c), 50 + 3 + InkOf(QStringLiteral("Saat")).First);

    // Grid lines along the bottom row and down the right column.
    FGrid.SetOptions(goGrid);
    img = Paint(c, 0);
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(At(img, 50, 83), face);
    EXPECT_EQ(At(img, 148, 83), face);
    EXPECT_EQ(At(img, 149, 64), face);
    EXPECT_EQ(At(img, 149, 83), face);
    EXPECT_EQ(At(img, 148, 82), clWhite);
    EXPECT_EQ(At(img, 50, 64), clWhite);
    EXPECT_EQ(At(img, 50, 63), Back);
}

TEST_F(PartDisplay, InputCellColours) {
    Column(QString(), 50);
    TTextualColumn* c = Column(QString(), 100); // 50 .. 150, y 20 .. 34
    c->SetColor(clYellow);
    c->SetInputValue(QStringLiteral("HiHiii"));
    c->Font()->SetName(QStringLiteral("Arial"));
    c->Font()->SetStyle(TFont::fsBold);
    c->Font()->SetColor(clBlue);
    FGrid.SetOptions(goGrid);
    FGrid.CurrentCol = 0; // the other column
    const QRect cell(50, 20, 100, 14);
    struct Case {
        const char* Name;
        TPartState State;
        bool Current, Editing;
        TColor Fill, Text;
        bool Lines;
    } cases[] = {
        {"inactive", {}, false, false, clYellow, clGrayText, false},
        {"inactive focused", psGridFocused, false, false, clYellow, clGrayText, false},
        {"active focused", psInputActive | psGridFocused, false, false, clHighlight,
         clHighlightText, true},
        {"active", psInputActive, false, false, clBtnFace, clHighlightText, true},
        {"active current", psInputActive | psGridFocused, true, false, clYellow, clGrayText, true},
        {"active editing", psInputActive, false, true, clYellow, clGrayText, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        State = k.State;
        FGrid.CurrentCol = k.Current ? c->Index() : 0;
        c->SetInputEditing(k.Editing);
        const QImage img = Paint(c, 4);
        const TColor fill = ColorToRGB(k.Fill);
        const TColor line = k.Lines ? ColorToRGB(clHighlight) : fill;
        EXPECT_EQ(At(img, 50, 20), fill);
        EXPECT_EQ(At(img, 148, 32), fill);
        EXPECT_EQ(At(img, 140, 22), k.Editing ? Back : fill); // only framed
        EXPECT_EQ(At(img, 148, 33), line);
        EXPECT_EQ(At(img, 149, 20), line);
        EXPECT_EQ(At(img, 149, 33), line);
        EXPECT_EQ(At(img, 150, 25), Back);
        EXPECT_EQ(At(img, 50, 34), Back);
        // The text in its colour, never in the column font's own.
        EXPECT_TRUE(HasPixel(img, cell, k.Text));
        EXPECT_FALSE(HasPixel(img, cell, clBlue));
    }
    c->SetInputEditing(false);
    // Plain style: the ink of the regular face.
    State = {};
    const auto ink = [&] {
        const QImage with = Paint(c, 4);
        c->SetInputValue(QString());
        const QImage without = Paint(c, 4);
        c->SetInputValue(QStringLiteral("HiHiii"));
        return DiffBox(with, without);
    };
    const QRect bold = ink();
    c->Font()->SetStyle({});
    EXPECT_EQ(bold, ink());
}

TEST_F(PartDisplay, InputCellTexts) {
    TTextualColumn* c = Column(QString(), 120); // 0 .. 120, y 20 .. 34
    c->SetAlignment(taRightJustify);
    c->Font()->SetName(QStringLiteral("Arial"));
    c->Font()->SetColor(clGrayText);
    c->SetColor(clWhite);
    const QImage bare = Paint(c, 4);
    const TRect r = Rect(2, 20, 119, 33);
    // An empty value shows the caption centred, whatever the alignment.
    c->SetInputCaption(QStringLiteral("ara"));
    EXPECT_EQ(Paint(c, 4), WithText(bare, r, QStringLiteral("ara"), 2, false, *c->Font()));
    c->SetInputValue(QStringLiteral("05321"));
    const QImage value = Paint(c, 4);
    EXPECT_EQ(value, WithText(bare, r, QStringLiteral("05321"), 1, false, *c->Font()));
}

TEST_F(PartDisplay, RightToLeftReading) {
    ThemesSwitch themes(false);
    const QString text = QStringLiteral("ab!");
    TTextualColumn* c = Column(QString(), 150);
    c->Font()->SetName(QStringLiteral("Arial"));
    c->Font()->SetColor(clGrayText);
    RightToLeft = true;
    const TRect h = c->GetPartRect(1), f = c->GetPartRect(0), i = c->GetPartRect(4);
    const auto check = [&](int kind, const TRect& t, const TFont& font, auto&& setText) {
        const QImage bare = Paint(c, kind);
        setText(text);
        const QImage rtl = Paint(c, kind);
        setText(QString());
        EXPECT_EQ(rtl, WithText(bare, t, text, 0, true, font)) << kind;
        // The direction shows: read left to right the text stands elsewhere.
        EXPECT_NE(rtl, WithText(bare, t, text, 0, false, font)) << kind;
    };
    check(1, Rect(h.Left + 3, h.Top, h.Right, h.Bottom), FGridFont,
          [&](const QString& s) { c->Header()->SetCaption(s); });
    check(0, Rect(f.Left + 2, f.Top, f.Right - 1, f.Bottom - 1), *c->Font(),
          [&](const QString& s) { c->Footer()->SetCaption(s); });
    check(4, Rect(i.Left + 2, i.Top, i.Right - 1, i.Bottom - 1), *c->Font(),
          [&](const QString& s) { c->SetInputValue(s); });
}

TEST_F(PartDisplay, FindsItsGridAndIsNullSafe) {
    ThemesSwitch themes(false);
    FGrid.SetHeaderStyle(hsOldStyle);
    TTextualColumn* c = Column(QString(), 60);
    const QImage byGrid = Paint(c, 1);
    EXPECT_EQ(At(byGrid, 59, 0), ColorToRGB(clWindowFrame));

    // Owned by a window that is no grid: the column's grid answers.
    QWidget box;
    Owner = &box;
    EXPECT_EQ(Paint(c, 1), byGrid);
    // A grid set by the owner comes first.
    TTestGridView other;
    other.SetHeaderStyle(hsDefault);
    GridView = &other;
    EXPECT_NE(Paint(c, 1), byGrid);
    EXPECT_EQ(At(Paint(c, 1), 59, 0), ColorToRGB(clBtnShadow));

    // No grid anywhere: a default grid's look (a column in no collection
    // is a middle one).
    GridView = nullptr;
    TTextualColumn loose;
    loose.Header()->SetColor(clAqua);
    PartRect = Rect(0, 0, 60, 20);
    const QImage alone = Paint(&loose, 1);
    EXPECT_EQ(At(alone, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(alone, 0, 1), clAqua);
    EXPECT_EQ(At(alone, 30, 10), clAqua);
    // No column, an empty rectangle or an unknown kind: nothing.
    const QImage blank = Surface(SurfaceW, SurfaceH, Back).Image();
    EXPECT_EQ(Paint(nullptr, 1), blank);
    PartRect = Rect(0, 0, 60, 0);
    EXPECT_EQ(Paint(c, 1), blank);
    PartRect.reset();
    Owner = nullptr;
    for (int kind : {2, 3, 5, -1})
        EXPECT_EQ(Paint(c, kind), blank) << kind;
}

} // namespace
