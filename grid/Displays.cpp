#include "Displays.h"

#include "ColumnClasses.h"
#include "Columns.h"
#include "CustomGridViewControl.h"
#include "ImgList.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr unsigned DT_TOP = 0;

// Geometry from stored settings (margins, border widths, picture counts)
// is worked out in 64 bits and brought back within reach of the canvas:
// a layout may hold any number.
constexpr std::int64_t kCoordLimit = INT_MAX / 4;

int Coord(std::int64_t v) {
    return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

TRect Inset(const TRect& r, std::int64_t by) {
    return {Coord(std::int64_t(r.Left) + by), Coord(std::int64_t(r.Top) + by),
            Coord(std::int64_t(r.Right) - by), Coord(std::int64_t(r.Bottom) - by)};
}

// Rounded down, also for negative numerators.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool Intersects(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TAlignment AlignmentOf(const TCustomColumn* c) {
    return c ? c->Alignment() : taLeftJustify;
}

TVerticalAlignment VerticalAlignmentOf(const TCustomColumn* c) {
    return c ? c->VerticalAlignment() : vaMiddle;
}

// The dates the conversions can write: from 1 January 0001 to the last
// millisecond of 31 December 9999.
bool IsShowableDate(TDateTime v) {
    return std::isfinite(v) && v > MinDateTime - 1.0 && v <= MaxDateTime;
}

// A picture drawn over the canvas through its own alpha channel.
void DrawBlended(TCanvas* Canvas, int X, int Y, const QImage& Image) {
    QPainter* p = Canvas->Painter();
    if (!p || Image.isNull()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QPoint(X, Y), Image);
    p->restore();
}

void DrawBlended(TCanvas* Canvas, int X, int Y, const QPixmap& Pixmap) {
    QPainter* p = Canvas->Painter();
    if (!p || Pixmap.isNull()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawPixmap(QPoint(X, Y), Pixmap);
    p->restore();
}

} // namespace

// ----------------------------------------------------------- TColumnDisplay

TRect TColumnDisplay::GetTextRect() const {
    return {CellRect.Left + 2, CellRect.Top, CellRect.Right - 2, CellRect.Bottom};
}

void TColumnDisplay::DrawCellText(const QString& Value, const TRect& Rect) {
    if (!Canvas) return;
    unsigned flags = DT_NOPREFIX;
    switch (AlignmentOf(Column)) {
    case taRightJustify:
        flags |= DT_RIGHT;
        break;
    case taCenter:
        flags |= DT_CENTER;
        break;
    default:
        flags |= DT_LEFT;
        break;
    }
    switch (VerticalAlignmentOf(Column)) {
    case vaMiddle:
        flags |= DT_VCENTER;
        break;
    case vaBottom:
        flags |= DT_BOTTOM;
        break;
    default:
        flags |= DT_TOP;
        break;
    }
    switch (Column ? Column->WrapKind() : wkEllipsis) {
    case wkNone:
        flags |= DT_SINGLELINE;
        break;
    case wkWordWrap:
        // Lines broken at words start at the top whatever the vertical
        // alignment: only single lines are placed vertically.
        flags |= DT_WORDBREAK;
        break;
    default:
        flags |= DT_SINGLELINE | DT_END_ELLIPSIS;
        break;
    }
    if (RightToLeft) flags |= DT_RTLREADING;
    TRect r = Rect;
    Canvas->Brush.Style = bsClear;
    Canvas->DrawText(Value, r, flags);
    Canvas->Brush.Style = bsSolid;
}

void TColumnDisplay::DrawNoteMark() {
    if (!Canvas) return;
    const int r = CellRect.Right;
    const int t = CellRect.Top;
    Canvas->Pen = TPen{clRed, 1, psSolid, pmCopy};
    Canvas->Brush = TBrush{clRed, bsSolid};
    Canvas->Polygon({{r - 5, t}, {r - 1, t}, {r - 1, t + 4}});
}

void TColumnDisplay::FillBackground(TColor Color, bool Fill) {
    if (!Canvas) return;
    Canvas->Brush = TBrush{Color, bsSolid};
    if (Fill)
        Canvas->FillRect(CellRect);
    else
        Canvas->FrameRect(CellRect);
}

QWidget* TColumnDisplay::Window() const {
    if (!Column || !Column->Columns()) return nullptr;
    return Column->Columns()->Grid();
}

// ------------------------------------------------------------ text displays

void TTextualColumnDisplay::Paint() {
    const auto* column = qobject_cast<const TTextualColumn*>(Column);
    if (!column || (column->TextBefore().isEmpty() && column->TextAfter().isEmpty())) {
        DrawCellText(Text, GetTextRect());
        return;
    }
    DrawCellText(column->TextBefore() + Text + column->TextAfter(), GetTextRect());
}

void TNumericColumnDisplay::Paint() {
    const auto* column = qobject_cast<const TNumericColumn*>(Column);
    QString text = column && !column->FormatMask().isEmpty()
                       ? FormatFloat(column->FormatMask(), FloatValue)
                       : FloatToStr(FloatValue);
    if (column) text += column->TextAfter();
    DrawCellText(text, GetTextRect());
}

void TDateColumnDisplay::Paint() {
    const auto* column = qobject_cast<const TDateColumn*>(Column);
    if (DateValue == 0 && column && column->HideWhenEmpty()) {
        DrawCellText(column->EmptyCaption(), GetTextRect());
        return;
    }
    if (!IsShowableDate(DateValue)) return;
    DrawCellText(DateTimeToStr(DateValue), GetTextRect());
}

void TIncrementColumnDisplay::Paint() {
    DrawCellText(IntToStr(std::int64_t(IntValue) + 1), GetTextRect());
}

// ------------------------------------------------------------------ check box

void TCheckBoxColumnDisplay::Paint() {
    if (!Canvas) return;
    TGraphicsProvider::CheckBox(Canvas, Window(), CellRect, AlignmentOf(Column),
                                VerticalAlignmentOf(Column), BoolValue, false, false);
}

// ------------------------------------------------------------- marked-up text

namespace {

// Sizes beyond this are no text size; they would only make the glyph cache
// rasterise giant characters.
constexpr int kMaxFontPoints = 1000;

bool SameName(const QString& a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// #RRGGBB, nothing else.
bool ParseHtmlColor(const QString& Value, TColor& Color) {
    if (Value.size() != 7 || Value[0] != u'#') return false;
    int c[6];
    for (int i = 0; i < 6; ++i)
        if ((c[i] = HexDigit(Value[i + 1])) < 0) return false;
    Color = RGB(c[0] * 16 + c[1], c[2] * 16 + c[3], c[4] * 16 + c[5]);
    return true;
}

} // namespace

// The tag being read: its name, the attribute being read and its value.
struct THtmlColumnDisplay::TTag {
    enum TPart { tpName, tpAttrName, tpAttrValue };
    QString Name;
    QString AttrName;
    QString AttrValue;
    TPart Part = tpName;
    bool Closing = false;
    // The tag's own effect (a counter step, a line break) has been taken;
    // later attributes of the same tag apply only themselves.
    bool Acted = false;

    void Start() {
        Name.clear();
        AttrName.clear();
        AttrValue.clear();
        Part = tpName;
        Closing = false;
        Acted = false;
    }
};

// The pen position and the height of the line so far.
struct THtmlColumnDisplay::TFlow {
    std::int64_t X = 0;
    std::int64_t Y = 0;
    int LineHeight = 0;
};

void THtmlColumnDisplay::UpdateStyle(TTagKind Kind) {
    TFont* font = Canvas->Font();
    const TFont::TFontStyles own = Column ? Column->Font()->Style() : TFont::TFontStyles();
    TFont::TFontStyles style = font->Style();
    const auto set = [&](TFont::TFontStyle flag, bool on) {
        style.setFlag(flag, on || own.testFlag(flag));
    };
    switch (Kind) {
    case tkB:
        set(TFont::fsBold, FOpenTags[tkB] > 0);
        break;
    case tkI:
        set(TFont::fsItalic, FOpenTags[tkI] > 0);
        break;
    case tkU:
    case tkA:
        set(TFont::fsUnderline, FOpenTags[tkU] > 0 || FOpenTags[tkA] > 0);
        break;
    }
    if (style != font->Style()) font->SetStyle(style);
    if (Kind == tkA) font->SetColor(FOpenTags[tkA] > 0 ? clBlue : clWindowText);
}

void THtmlColumnDisplay::ApplyFontAttribute(const QString& Name, const QString& Value) {
    TFont* font = Canvas->Font();
    if (SameName(Name, u"color")) {
        TColor color;
        if (ParseHtmlColor(Value, color)) font->SetColor(color);
    } else if (SameName(Name, u"name")) {
        font->SetName(Value);
    } else if (SameName(Name, u"size")) {
        int points = 0;
        if (TryStrToInt(Value, points) && points >= 1 && points <= kMaxFontPoints)
            font->SetSize(points);
    }
}

void THtmlColumnDisplay::ApplyTag(TTag& Tag, TFlow& Flow) {
    int kind = -1;
    if (SameName(Tag.Name, u"a"))
        kind = tkA;
    else if (SameName(Tag.Name, u"b"))
        kind = tkB;
    else if (SameName(Tag.Name, u"i"))
        kind = tkI;
    else if (SameName(Tag.Name, u"u"))
        kind = tkU;
    if (kind >= 0) {
        // One step per tag, however many attributes it has; a closing tag
        // without an open one is passed over.
        if (Tag.Acted) return;
        Tag.Acted = true;
        int& open = FOpenTags[std::size_t(kind)];
        if (Tag.Closing)
            open = std::max(0, open - 1);
        else if (open < INT_MAX)
            ++open;
        UpdateStyle(TTagKind(kind));
        return;
    }
    if (SameName(Tag.Name, u"br")) {
        if (Tag.Acted) return;
        Tag.Acted = true;
        Flow.X = CellRect.Left;
        Flow.Y += Flow.LineHeight;
        Flow.LineHeight = 0;
        return;
    }
    if (SameName(Tag.Name, u"font") && !Tag.Closing && Tag.Part != TTag::tpName)
        ApplyFontAttribute(Tag.AttrName, Tag.AttrValue);
}

void THtmlColumnDisplay::Paint() {
    if (!Canvas) return;
    TCanvas* c = Canvas;
    if (Column) c->Font()->Assign(*Column->Font());
    FText = Text;
    const bool ellipsis = Column && Column->WrapKind() == wkEllipsis;
    // Characters wholly outside what may be painted are measured, not drawn.
    const TRect clip = c->ClipRect();
    TFlow flow{CellRect.Left, CellRect.Top, 0};
    TTag tag;
    bool inTag = false;
    c->Brush.Style = bsClear;
    const qsizetype n = FText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = FText.at(i);
        if (inTag) {
            if (ch == u'>') {
                ApplyTag(tag, flow);
                inTag = false;
            } else if (ch == u' ') {
                ApplyTag(tag, flow);
                tag.Part = TTag::tpAttrName;
                tag.AttrName.clear();
                tag.AttrValue.clear();
            } else if (tag.Part == TTag::tpAttrValue) {
                tag.AttrValue += ch;
            } else if (ch == u'=') {
                tag.Part = TTag::tpAttrValue;
            } else if (ch == u'/') {
                tag.Closing = true;
            } else if (tag.Part == TTag::tpName) {
                tag.Name += ch;
            } else {
                tag.AttrName += ch;
            }
            continue;
        }
        if (ch == u'<') {
            inTag = true;
            tag.Start();
            continue;
        }
        // A surrogate pair is one character.
        const qsizetype length =
            (ch.isHighSurrogate() && i + 1 < n && FText.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString piece = QString::fromRawData(FText.constData() + i, length);
        i += length - 1;
        const int width = c->TextWidth(piece);
        if (ellipsis && flow.X + width + 8 >= CellRect.Right) {
            const QString dots = QStringLiteral("...");
            const TRect box =
                Bounds(Coord(flow.X), Coord(flow.Y), c->TextWidth(dots), c->TextHeight(dots));
            if (Intersects(box, clip)) c->TextOut(box.Left, box.Top, dots);
            break;
        }
        const int height = c->TextHeight(piece);
        const TRect box =
            Rect(Coord(flow.X), Coord(flow.Y), Coord(flow.X + width), Coord(flow.Y + height));
        if (Intersects(box, clip)) c->TextOut(box.Left, box.Top, piece);
        flow.LineHeight = std::max(flow.LineHeight, height);
        flow.X = std::min<std::int64_t>(flow.X + width, kCoordLimit);
        flow.Y = std::min<std::int64_t>(flow.Y, kCoordLimit);
    }
    c->Brush.Style = bsSolid;
}

// ---------------------------------------------------------------------- image

void TImageColumnDisplay::Paint() {
    if (!Canvas) return;
    const auto* column = qobject_cast<const TImageColumn*>(Column);
    if (!column || !column->Images()) return;
    const TCustomImageList* images = column->Images();
    const int w = images->Width();
    const int h = images->Height();
    // No list of pictures is wider or taller than this; larger sizes are
    // settings gone wrong and would only allocate.
    constexpr int kMaxSide = 1 << 14;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return;
    if (IntValue < 0 || IntValue >= images->Count()) return;
    const TPoint at = TCalcProvider::AlignedPoint(w, h, 2, CellRect, column->Alignment(),
                                                  column->VerticalAlignment());
    const QPixmap picture = images->GetIcon(IntValue).pixmap(QSize(w, h));
    if (!column->Masked()) {
        DrawBlended(Canvas, at.X, at.Y, picture);
        return;
    }
    const TCustomImageList* masks = column->Masks();
    if (!masks || IntValue >= masks->Count()) return;
    // The picture and its mask taken out at the list's size, as far as
    // they can be seen.
    const TRect clip = Canvas->ClipRect();
    const TRect box = Bounds(at.X, at.Y, w, h);
    const TRect part = Rect(std::max(box.Left, clip.Left), std::max(box.Top, clip.Top),
                            std::min(box.Right, clip.Right), std::min(box.Bottom, clip.Bottom));
    if (part.IsEmpty()) return;
    const auto takeOut = [&](const QPixmap& pixmap) {
        QImage out(part.Width(), part.Height(), QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter p(&out);
        p.drawPixmap(QPoint(box.Left - part.Left, box.Top - part.Top), pixmap);
        p.end();
        return TBitmap(out);
    };
    const TBitmap image = takeOut(picture);
    const TBitmap mask = takeOut(masks->GetIcon(IntValue).pixmap(QSize(w, h)));
    TMaskProvider::DrawMasked(Canvas, part.Left, part.Top, image, mask);
}

// ------------------------------------------------------------------- progress

void TProgressColumnDisplay::Paint() {
    if (!Canvas) return;
    const auto* column = qobject_cast<const TProgressColumn*>(Column);
    if (!column) return;
    if (FloatValue == 0 && column->HideWhenEmpty()) return;
    // Nothing to measure against (Max 0) or nothing to measure (a value
    // that is no number) is an empty bar.
    double percent = TCalcProvider::Percent(column->Max(), FloatValue);
    if (!std::isfinite(percent)) percent = 0;

    TRect bar = Inset(CellRect, column->Margin());
    if (column->ShowText()) {
        DrawCellText(FormatFloat(QStringLiteral("0"), percent) + u'%', GetTextRect());
        bar.Left = Coord(std::int64_t(bar.Left) + 30);
    }
    if (column->Transparent()) {
        Canvas->Brush = TBrush{column->BorderColor(), bsSolid};
        Canvas->FrameRect(bar);
    } else {
        Canvas->Pen = TPen{column->BorderColor(), 1, psSolid, pmCopy};
        Canvas->Brush = TBrush{column->Color(), bsSolid};
        Canvas->Rectangle(bar);
    }

    const TRect inner = Inset(bar, 2);
    if (inner.IsEmpty()) return;
    // Worked out before rounding, so no value can leave the bar.
    const double width = std::clamp(inner.Width() * percent / 100.0, 0.0, double(inner.Width()));
    const TRect filled = Rect(inner.Left, inner.Top, inner.Left + Round(width), inner.Bottom);
    if (filled.IsEmpty()) return;
    switch (column->ProgressStyle()) {
    case TProgressColumn::psGradient:
        TGraphicsProvider::HorzGradient(Canvas, filled, column->Color(), column->ProgressColor());
        break;
    case TProgressColumn::psCylinder:
        TGraphicsProvider::VertGradient(Canvas, filled, column->Color(), column->ProgressColor());
        break;
    default:
        Canvas->Brush = TBrush{column->ProgressColor(), bsSolid};
        Canvas->FillRect(filled);
        break;
    }
}

// --------------------------------------------------------------------- rating

const QImage& TRateColumnDisplay::Keyed(const TBitmap& Glyph, TKeyed& Cache) {
    const QImage& source = Glyph.Image();
    if (Cache.Key == source.cacheKey() && !Cache.Image.isNull()) return Cache.Image;
    QImage keyed = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1) & 0xFFFFFF;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
            else
                line[x] |= 0xFF000000u;
        }
    }
    Cache.Key = source.cacheKey();
    Cache.Image = keyed;
    return Cache.Image;
}

void TRateColumnDisplay::DrawStep(int X, int Y, const TBitmap& Glyph, const TBitmap& Mask,
                                  TKeyed& Cache) {
    if (Glyph.Empty()) return;
    const auto* column = static_cast<const TRateColumn*>(Column);
    if (column->Masked()) {
        // A mask that does not fit its picture shows nothing of it.
        if (Mask.Width() == Glyph.Width() && Mask.Height() == Glyph.Height())
            TMaskProvider::DrawMasked(Canvas, X, Y, Glyph, Mask);
        return;
    }
    if (column->Transparent())
        DrawBlended(Canvas, X, Y, Keyed(Glyph, Cache));
    else
        Canvas->Draw(X, Y, Glyph);
}

void TRateColumnDisplay::Paint() {
    if (!Canvas) return;
    const auto* column = qobject_cast<const TRateColumn*>(Column);
    if (!column) return;
    if (IntValue == 0 && column->HideWhenEmpty()) return;
    const int steps = column->Max();
    if (steps < 1) return;
    const TBitmap& glyph = *column->Glyph();
    const int w = glyph.Width();
    const int h = glyph.Height();
    if (w <= 0 || h <= 0) return;

    // The strip of all steps placed with no margin, as AlignedPoint places a
    // box (in 64 bits: the strip may be wider than any screen).
    const std::int64_t strip = std::int64_t(steps) * w;
    std::int64_t left = CellRect.Left;
    if (column->Alignment() == taRightJustify)
        left = std::int64_t(CellRect.Right) - strip;
    else if (column->Alignment() == taCenter)
        left = (std::int64_t(CellRect.Left) + CellRect.Right) / 2 - strip / 2;
    const int top =
        TCalcProvider::AlignedPoint(w, h, 0, CellRect, taLeftJustify, column->VerticalAlignment())
            .Y;

    // Only the steps that lie where the canvas may paint.
    const TRect clip = Canvas->ClipRect();
    if (clip.IsEmpty()) return;
    const std::int64_t first = std::max<std::int64_t>(1, FloorDiv(clip.Left - left, w) + 1);
    const std::int64_t last =
        std::min<std::int64_t>(steps, FloorDiv(std::int64_t(clip.Right) - 1 - left, w) + 1);
    for (std::int64_t i = first; i <= last; ++i) {
        const int x = Coord(left + (i - 1) * w);
        if (i <= IntValue)
            DrawStep(x, top, glyph, *column->GlyphMask(), FGlyphKeyed);
        else
            DrawStep(x, top, *column->EmptyGlyph(), *column->EmptyGlyphMask(), FEmptyKeyed);
    }
}

// -------------------------------------------------------------------- graphic

void TGraphicColumnDisplay::Paint() {
    if (!Canvas) return;
    const auto* column = qobject_cast<const TGraphicColumn*>(Column);
    const TRect area = Inset(CellRect, column ? column->Margin() : 0);
    const int border = column ? column->BorderWidth() : 0;
    if (border > 0) {
        // Frame k lies k pixels outside the area. Frames that are still
        // inside out draw nothing, and once one lies wholly beyond what may
        // be painted so do all further ones.
        const TRect clip = Canvas->ClipRect();
        const std::int64_t from =
            std::max<std::int64_t>(1, FloorDiv(std::max(-area.Width(), -area.Height()), 2) + 1);
        const std::int64_t beyond =
            std::max({std::int64_t(area.Left) - clip.Left, std::int64_t(area.Top) - clip.Top,
                      std::int64_t(clip.Right) - area.Right,
                      std::int64_t(clip.Bottom) - area.Bottom}) +
            1;
        const std::int64_t to = std::min<std::int64_t>(border, beyond);
        Canvas->Brush = TBrush{Selected ? clHighlightText : clBtnFace, bsSolid};
        for (std::int64_t k = from; k <= to; ++k)
            Canvas->FrameRect(Inset(area, -k));
    }
    if (!Graphic || Graphic->Empty() || area.IsEmpty()) return;
    if (column && column->Strecht()) {
        Canvas->StretchDraw(area, *Graphic);
        return;
    }
    const int aw = area.Width();
    const int ah = area.Height();
    const double sx = double(aw) / Graphic->Width();
    const double sy = double(ah) / Graphic->Height();
    const double s = std::min(sx, sy);
    const int w = Round(Graphic->Width() * s);
    const int h = Round(Graphic->Height() * s);
    if (sx > sy)
        Canvas->StretchDraw(Bounds(area.Left + aw / 2 - w / 2, area.Top, w, h), *Graphic);
    else
        Canvas->StretchDraw(Bounds(area.Left, area.Top + ah / 2 - h / 2, w, h), *Graphic);
}

// ------------------------------------------------------------------ the plays

void TColumnPlay::Change() {
    OnChange(this);
}

TRect TCheckBoxColumnPlay::CheckArea() const {
    const int size = ThemesActive() ? 13 : 11;
    const TRect cell = Rect(-1, -1, CellRect.Width() + 1, CellRect.Height() + 1);
    const TPoint at = TCalcProvider::AlignedPoint(size, size, 2, cell, AlignmentOf(Column),
                                                  VerticalAlignmentOf(Column));
    return Bounds(at.X, at.Y, size, size);
}

void TCheckBoxColumnPlay::KeyPress(QChar& Key) {
    if (Key != u' ') return;
    BoolValue = !BoolValue;
    Change();
}

void TCheckBoxColumnPlay::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Button;
    (void)Shift;
    if (!CheckArea().Contains(Point(X, Y))) return;
    BoolValue = !BoolValue;
    Change();
}
