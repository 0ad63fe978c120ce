#include "Canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <array>
#include <cstdlib>

namespace {

// Dash patterns of one-pixel pens, in pixels on and off, as the classic
// cosmetic pens draw them.
const std::vector<int>& DashPattern(TPenStyle style) {
    static const std::vector<int> solid;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case psDash:
        return dash;
    case psDot:
        return dot;
    case psDashDot:
        return dashDot;
    case psDashDotDot:
        return dashDotDot;
    default:
        return solid;
    }
}

// Removes the prefix marks of a text: "&&" becomes "&", a single "&" goes.
QString StripPrefix(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace

// ------------------------------------------------------------------ TCanvas

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()) {
    // A font given the values it already has (the grid hands every cell its
    // column's font) keeps the font it resolved to.
    FFont->OnChange = [this] {
        if (FQFont && (FQFontKey.Name != FFont->Name() || FQFontKey.Height != FFont->Height() ||
                       FQFontKey.Style != FFont->Style()))
            FQFont.reset();
    };
}

TCanvas::~TCanvas() = default;

void TCanvas::BeginPaint(QPainter* painter, const QRegion& systemClip) {
    FPainter = painter;
    FSystemClip = systemClip;
    FEnforceSystemClip = true;
    FUserClip.reset();
    if (FPainter) {
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        ApplyClip();
    }
}

void TCanvas::EndPaint() {
    FPainter = nullptr;
    FUserClip.reset();
    FSystemClip = QRegion();
}

void TCanvas::SetSystemClip(const QRegion& region, bool enforce) {
    FSystemClip = region;
    FEnforceSystemClip = enforce;
}

QPainter* TCanvas::Handle() {
    if (!FPainter) CreateHandle();
    return FPainter;
}

bool TCanvas::HandleAllocated() {
    return Handle() != nullptr;
}

QPainter* TCanvas::Painter() {
    return Handle();
}

const QFont& TCanvas::CurrentFont() {
    if (!FQFont) {
        FQFont = FFont->ToQFont();
        FQFontKey = {FFont->Name(), FFont->Height(), FFont->Style()};
    }
    return *FQFont;
}

// The colour a figure's pen or brush lays down under the current pen mode:
// pmNot ignores the colour and inverts, which difference with white does.
QColor TCanvas::MixColor(TColor color) const {
    return Pen.Mode == pmNot ? QColor(Qt::white) : ToQColor(color);
}

void TCanvas::SetPenMode(QPainter* p, TPenMode mode) {
    switch (mode) {
    case pmCopy:
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case pmNot:
        // White under difference inverts every channel and keeps alpha.
        p->setCompositionMode(QPainter::CompositionMode_Difference);
        break;
    case pmXor:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case pmNotXor:
        p->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        break;
    }
}

// ----------------------------------------------------------------- clipping

void TCanvas::ApplyClip() {
    if (!FPainter) return;
    if (FUserClip)
        FPainter->setClipRegion(FEnforceSystemClip ? (*FUserClip & FSystemClip) : *FUserClip);
    else if (FEnforceSystemClip)
        FPainter->setClipRegion(FSystemClip);
    else
        FPainter->setClipping(false);
}

void TCanvas::SetClipRect(const TRect& r) {
    SetClipRegion(QRegion(r.ToQRect()));
}

void TCanvas::SetClipRegion(const QRegion& region) {
    FUserClip = region;
    ApplyClip();
}

void TCanvas::ExcludeClipRect(const TRect& r) {
    FUserClip = ClipRegion() - QRegion(r.ToQRect());
    ApplyClip();
}

void TCanvas::IntersectClipRect(const TRect& r) {
    FUserClip = ClipRegion() & QRegion(r.ToQRect());
    ApplyClip();
}

void TCanvas::ClearClip() {
    FUserClip.reset();
    ApplyClip();
}

QRegion TCanvas::ClipRegion() {
    Handle();
    return FUserClip ? (*FUserClip & FSystemClip) : FSystemClip;
}

TRect TCanvas::ClipRect() {
    return TRect::FromQRect(ClipRegion().boundingRect());
}

// -------------------------------------------------------------------- lines

// Bresenham's line from (x0, y0) towards (x1, y1); the end point only when
// asked for, as a polyline leaves it to the next segment.
void TCanvas::LinePixels(int x0, int y0, int x1, int y1, std::vector<QPoint>& out, bool lastPoint) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (true) {
        if (x == x1 && y == y1) {
            if (lastPoint) out.emplace_back(x, y);
            break;
        }
        out.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::PlotPenPixels(const std::vector<QPoint>& pixels) {
    QPainter* p = Handle();
    if (!p || pixels.empty()) return;
    p->save();
    SetPenMode(p, Pen.Mode);
    QPen pen(MixColor(Pen.Color));
    pen.setWidth(1);
    pen.setCosmetic(true);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    p->drawPoints(pixels.data(), int(pixels.size()));
    p->restore();
}

void TCanvas::StrokeLine(int x0, int y0, int x1, int y1, bool lastPoint) {
    if (Pen.Style == psClear) return;
    QPainter* p = Handle();
    if (!p) return;
    if (Pen.Width > 1) {
        p->save();
        SetPenMode(p, Pen.Mode);
        QPen pen(MixColor(Pen.Color), Pen.Width);
        pen.setCapStyle(Qt::RoundCap);
        p->setPen(pen);
        p->drawLine(x0, y0, x1, y1);
        p->restore();
        return;
    }
    const std::vector<int>& pattern = DashPattern(Pen.Style);
    if (pattern.empty() && (x0 == x1) != (y0 == y1)) {
        // Straight solid lines are one rectangle.
        int bx = x1;
        int by = y1;
        if (!lastPoint) {
            bx += (x0 > x1) - (x0 < x1);
            by += (y0 > y1) - (y0 < y1);
        }
        const QRect r(QPoint(std::min(x0, bx), std::min(y0, by)),
                      QPoint(std::max(x0, bx), std::max(y0, by)));
        p->save();
        SetPenMode(p, Pen.Mode);
        p->fillRect(r, MixColor(Pen.Color));
        p->restore();
        return;
    }
    std::vector<QPoint> pixels;
    LinePixels(x0, y0, x1, y1, pixels, lastPoint);
    if (!pattern.empty()) {
        std::vector<QPoint> dashed;
        std::size_t slot = 0;
        int left = pattern[0];
        for (const QPoint& pt : pixels) {
            if (slot % 2 == 0) dashed.push_back(pt);
            if (--left == 0) {
                slot = (slot + 1) % pattern.size();
                left = pattern[slot];
            }
        }
        pixels.swap(dashed);
    }
    PlotPenPixels(pixels);
}

void TCanvas::MoveTo(int x, int y) {
    PenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    StrokeLine(PenPos.X, PenPos.Y, x, y, false);
    PenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    QPainter* p = Handle();
    if (!p || points.empty()) return;
    if (Brush.Style != bsClear) {
        QPolygon poly;
        for (const TPoint& pt : points)
            poly << pt.ToQPoint();
        p->save();
        SetPenMode(p, Pen.Mode);
        p->setPen(Qt::NoPen);
        p->setBrush(MixColor(Brush.Color));
        p->drawPolygon(poly, Qt::OddEvenFill);
        p->restore();
    }
    // Closing the figure draws every vertex once.
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[(i + 1) % points.size()];
        if (points.size() == 1)
            StrokeLine(a.X, a.Y, a.X, a.Y, true);
        else
            StrokeLine(a.X, a.Y, b.X, b.Y, false);
    }
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    QPainter* p = Handle();
    if (!p || right <= left || bottom <= top) return;
    const bool pen = Pen.Style != psClear;
    const int inset = pen ? std::max(1, Pen.Width) : 0;
    if (Brush.Style != bsClear) {
        const QRect inner = pen ? QRect(QPoint(left + inset, top + inset),
                                        QPoint(right - 1 - inset, bottom - 1 - inset))
                                : QRect(QPoint(left, top), QPoint(right - 2, bottom - 2));
        if (inner.isValid()) {
            p->save();
            SetPenMode(p, Pen.Mode);
            p->fillRect(inner, MixColor(Brush.Color));
            p->restore();
        }
    }
    if (!pen) return;
    const bool dashed = !DashPattern(Pen.Style).empty();
    // A wide pen lies inside the rectangle, one frame per pixel of width.
    for (int i = 0; i < inset; ++i) {
        const int l = left + i, t = top + i, r = right - 1 - i, b = bottom - 1 - i;
        if (r < l || b < t) break;
        if (dashed) {
            // The dashes run on round the rectangle.
            const int width = Pen.Width;
            Pen.Width = 1;
            StrokeLine(l, t, r, t, false);
            StrokeLine(r, t, r, b, false);
            StrokeLine(r, b, l, b, false);
            StrokeLine(l, b, l, t, false);
            Pen.Width = width;
            continue;
        }
        std::vector<QPoint> pixels;
        LinePixels(l, t, r, t, pixels, true);
        if (b > t) LinePixels(l, b, r, b, pixels, true);
        for (int y = t + 1; y < b; ++y) {
            pixels.emplace_back(l, y);
            if (r > l) pixels.emplace_back(r, y);
        }
        PlotPenPixels(pixels);
    }
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    QPainter* p = Handle();
    if (!p || right <= left || bottom <= top) return;
    p->save();
    SetPenMode(p, Pen.Mode);
    if (Pen.Style == psClear)
        p->setPen(Qt::NoPen);
    else {
        QPen pen(MixColor(Pen.Color));
        pen.setWidth(std::max(1, Pen.Width));
        p->setPen(pen);
    }
    if (Brush.Style == bsClear)
        p->setBrush(Qt::NoBrush);
    else
        p->setBrush(MixColor(Brush.Color));
    p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    p->restore();
}

// ------------------------------------------------------------- rectangles

void TCanvas::FillRect(const TRect& r) {
    QPainter* p = Handle();
    if (!p || r.IsEmpty() || Brush.Style == bsClear) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(r.ToQRect(), ToQColor(Brush.Color));
    p->restore();
}

void TCanvas::FrameRect(const TRect& r) {
    QPainter* p = Handle();
    if (!p || r.IsEmpty() || Brush.Style == bsClear) return;
    const QColor c = ToQColor(Brush.Color);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
    p->restore();
}

void TCanvas::InvertRect(const TRect& r) {
    QPainter* p = Handle();
    if (!p || r.IsEmpty()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_Difference);
    p->fillRect(r.ToQRect(), Qt::white);
    p->restore();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (r.IsEmpty()) return;
    // Every pixel of the frame once, corners included, then the dotted
    // half of them inverted.
    std::vector<QPoint> frame;
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    for (int x = r.Left; x <= right; ++x) {
        frame.emplace_back(x, r.Top);
        if (bottom > r.Top) frame.emplace_back(x, bottom);
    }
    for (int y = r.Top + 1; y < bottom; ++y) {
        frame.emplace_back(r.Left, y);
        if (right > r.Left) frame.emplace_back(right, y);
    }
    std::vector<QPoint> dots;
    for (const QPoint& pt : frame)
        if (((pt.x() + pt.y()) & 1) == 0) dots.push_back(pt);
    const TPen saved = Pen;
    Pen.Mode = pmNot;
    Pen.Style = psSolid;
    Pen.Width = 1;
    PlotPenPixels(dots);
    Pen = saved;
}

TColor TCanvas::Pixel(int x, int y) {
    const QImage img = GrabRect(Rect(x, y, x + 1, y + 1));
    return FromQColor(QColor::fromRgb(img.pixel(0, 0)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    QPainter* p = Handle();
    if (!p) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    p->restore();
}

// --------------------------------------------------------------------- text

int TCanvas::TextWidth(const QString& text) {
    return QFontMetrics(CurrentFont()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) {
    (void)text;
    return QFontMetrics(CurrentFont()).height();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    QPainter* p = Handle();
    const int w = TextWidth(text);
    if (p) {
        const QFontMetrics fm(CurrentFont());
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (Brush.Style != bsClear) p->fillRect(QRect(x, y, w, fm.height()), ToQColor(Brush.Color));
        p->setFont(CurrentFont());
        p->setPen(ToQColor(FFont->Color()));
        p->drawText(QPoint(x, y + fm.ascent()), text);
        p->restore();
    }
    PenPos = {x + w, y};
}

int TCanvas::DrawText(const QString& text, TRect& rect, unsigned flags) {
    const QFont& font = CurrentFont();
    const QFontMetrics fm(font);
    const int lineHeight = (flags & DT_EXTERNALLEADING) ? fm.lineSpacing() : fm.height();
    const bool prefix = !(flags & DT_NOPREFIX);
    const bool single = (flags & DT_SINGLELINE) ||
                        (!(flags & DT_WORDBREAK) && !text.contains(u'\n') && !text.contains(u'\r'));
    QPainter* p = (flags & DT_CALCRECT) ? nullptr : Handle();

    if (single) {
        QString source = text;
        if ((flags & DT_SINGLELINE) && (text.contains(u'\n') || text.contains(u'\r'))) {
            source.replace(QLatin1String("\r\n"), QLatin1String(" "));
            source.replace(u'\n', u' ');
            source.replace(u'\r', u' ');
        }
        QString shown = prefix && source.contains(u'&') ? StripPrefix(source) : source;
        const int fullWidth = fm.horizontalAdvance(shown);
        if (flags & DT_CALCRECT) {
            rect.Right = rect.Left + fullWidth;
            rect.Bottom = rect.Top + lineHeight;
            return lineHeight;
        }
        bool elided = false;
        const int avail = rect.Width();
        if ((flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) &&
            fullWidth > avail) {
            const Qt::TextElideMode mode =
                (flags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
            shown = fm.elidedText(shown, mode, std::max(0, avail));
            elided = true;
        }
        const int w = elided ? fm.horizontalAdvance(shown) : fullWidth;
        int x = rect.Left;
        if (flags & DT_CENTER)
            x = (rect.Left + rect.Right - w) / 2;
        else if (flags & DT_RIGHT)
            x = rect.Right - w;
        int y = rect.Top;
        if (flags & DT_SINGLELINE) {
            if (flags & DT_VCENTER)
                y = (rect.Top + rect.Bottom - lineHeight) / 2;
            else if (flags & DT_BOTTOM)
                y = rect.Bottom - lineHeight;
        }
        if (p) {
            p->save();
            p->setCompositionMode(QPainter::CompositionMode_SourceOver);
            if (!(flags & DT_NOCLIP)) p->setClipRect(rect.ToQRect(), Qt::IntersectClip);
            if (Brush.Style != bsClear)
                p->fillRect(QRect(x, y, w, lineHeight), ToQColor(Brush.Color));
            p->setFont(font);
            p->setPen(ToQColor(FFont->Color()));
            if (flags & DT_RTLREADING) p->setLayoutDirection(Qt::RightToLeft);
            if (prefix && !elided && source.contains(u'&')) {
                // The mnemonic underline is Qt's to draw.
                p->drawText(QRect(x, y, w + 1, lineHeight),
                            Qt::AlignLeft | Qt::AlignTop | Qt::AlignAbsolute |
                                Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine,
                            source);
            } else {
                p->drawText(QPoint(x, y + fm.ascent()), shown);
            }
            p->restore();
        }
        return lineHeight;
    }

    int qflags = Qt::AlignTop | Qt::AlignAbsolute;
    if (flags & DT_CENTER)
        qflags |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qflags |= Qt::AlignRight;
    else
        qflags |= Qt::AlignLeft;
    if (flags & DT_WORDBREAK) qflags |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS) qflags |= Qt::TextExpandTabs;
    if (prefix) qflags |= Qt::TextShowMnemonic;
    if (flags & DT_NOCLIP) qflags |= Qt::TextDontClip;
    const QRect bound = fm.boundingRect(rect.ToQRect(), qflags, text);
    const int height = bound.height();
    if (flags & DT_CALCRECT) {
        rect.Right = rect.Left + bound.width();
        rect.Bottom = rect.Top + height;
        return height;
    }
    if (p) {
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!(flags & DT_NOCLIP)) p->setClipRect(rect.ToQRect(), Qt::IntersectClip);
        if (Brush.Style != bsClear) p->fillRect(bound, ToQColor(Brush.Color));
        p->setFont(font);
        p->setPen(ToQColor(FFont->Color()));
        if (flags & DT_RTLREADING) p->setLayoutDirection(Qt::RightToLeft);
        p->drawText(rect.ToQRect(), qflags, text);
        p->restore();
    }
    return height;
}

// ---------------------------------------------------------------- pictures

void TCanvas::Draw(int x, int y, const QImage& image) {
    QPainter* p = Handle();
    if (!p || image.isNull()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // A plain copy: an alpha channel is not blended here.
    if (image.hasAlphaChannel())
        p->drawImage(QPoint(x, y), image.convertToFormat(QImage::Format_RGB32));
    else
        p->drawImage(QPoint(x, y), image);
    p->restore();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    Draw(x, y, bitmap.Image());
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
    QPainter* p = Handle();
    const QImage& image = bitmap.Image();
    if (!p || image.isNull() || rect.IsEmpty()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->drawImage(rect.ToQRect(),
                 image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image);
    p->restore();
}

QImage TCanvas::GrabRect(const TRect& r) {
    QImage result(std::max(0, r.Width()), std::max(0, r.Height()), QImage::Format_RGB32);
    result.fill(Qt::black);
    QPainter* p = Handle();
    if (!p || r.IsEmpty()) return result;
    // The painter may be redirected (a widget paints into its window's
    // backing store); the device transform finds our rectangle there.
    QPaintEngine* engine = p->paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return result;
    const auto* surface = static_cast<const QImage*>(device);
    const QRect source = p->deviceTransform().mapRect(r.ToQRect());
    QImage part = surface->copy(source).convertToFormat(QImage::Format_RGB32);
    if (part.size() != result.size()) part = part.scaled(result.size());
    // Pixels beyond the surface are black, not transparent.
    const QRect inside = source & surface->rect();
    if (inside != source) {
        QImage clean = result;
        QPainter cp(&clean);
        const QRect within = inside.translated(-source.topLeft());
        cp.drawImage(within.topLeft(), part.copy(within));
        cp.end();
        return clean;
    }
    return part;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    const QImage img = source.GrabRect(sourceRect);
    QPainter* p = Handle();
    if (!p || dest.IsEmpty()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(dest.ToQRect(), img);
    p->restore();
}

// ------------------------------------------------------------------ TBitmap

class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner) {}
    ~TBitmapCanvas() override { Release(); }
    void Release() {
        if (!FOwnPainter) return;
        FOwnPainter->end();
        FOwnPainter.reset();
        FPainter = nullptr;
    }

protected:
    bool CreateHandle() override {
        if (FOwner->FImage.isNull()) return false;
        FOwnPainter = std::make_unique<QPainter>(&FOwner->FImage);
        FPainter = FOwnPainter.get();
        // The clip set earlier is kept across the painters of one bitmap.
        SetSystemClip(QRegion(FOwner->FImage.rect()), false);
        ApplyClip();
        return true;
    }

private:
    TBitmap* FOwner;
    std::unique_ptr<QPainter> FOwnPainter;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : FFormat(format) {
    SetSize(width, height);
}

TBitmap::TBitmap(const QImage& image) {
    SetImage(image);
}

TBitmap::~TBitmap() = default;

TBitmap::TBitmap(const TBitmap& other)
    : FImage(other.Image()), FFormat(other.FFormat), FTransparent(other.FTransparent),
      FTransparentColor(other.FTransparentColor) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        FinishDrawing();
        FImage = other.Image();
        FFormat = other.FFormat;
        FTransparent = other.FTransparent;
        FTransparentColor = other.FTransparentColor;
        Changed();
    }
    return *this;
}

QImage::Format TBitmap::QtFormat(TPixelFormat format) {
    return format == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

void TBitmap::FinishDrawing() const {
    if (FCanvas) FCanvas->Release();
}

void TBitmap::SetSize(int width, int height) {
    FinishDrawing();
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == 0 || height == 0) {
        const bool had = !FImage.isNull();
        FImage = QImage();
        if (had) Changed();
        return;
    }
    if (width == FImage.width() && height == FImage.height()) return;
    QImage image(width, height, QtFormat(FFormat));
    image.fill(0);
    if (!FImage.isNull()) {
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), FImage);
    }
    FImage = image;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    FinishDrawing();
    FFormat = format;
    if (!FImage.isNull()) FImage = FImage.convertToFormat(QtFormat(format));
    Changed();
}

TCanvas* TBitmap::Canvas() const {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(const_cast<TBitmap*>(this));
    return FCanvas.get();
}

const QImage& TBitmap::Image() const {
    FinishDrawing();
    return FImage;
}

void TBitmap::SetImage(const QImage& image) {
    FinishDrawing();
    FFormat = image.hasAlphaChannel() ? pf32bit : pf24bit;
    FImage = image.isNull() ? QImage() : image.convertToFormat(QtFormat(FFormat));
    Changed();
}

bool TBitmap::LoadFromFile(const QString& path) {
    QImage image;
    if (!image.load(path)) return false;
    SetImage(image);
    return true;
}

TColor TBitmap::Pixel(int x, int y) const {
    if (!FImage.valid(x, y)) return clNone;
    return FromQColor(QColor::fromRgb(FImage.pixel(x, y)));
}

int TBitmap::Alpha(int x, int y) const {
    if (!FImage.valid(x, y)) return 0;
    return FFormat == pf32bit ? qAlpha(FImage.pixel(x, y)) : 255;
}

void TBitmap::SetPixel(int x, int y, TColor color, int alpha) {
    FinishDrawing();
    if (!FImage.valid(x, y)) return;
    const TColor rgb = ColorToRGB(color);
    FImage.setPixel(x, y,
                    qRgba(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb),
                          FFormat == pf32bit ? std::clamp(alpha, 0, 255) : 255));
}
