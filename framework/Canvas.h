#pragma once
// A drawing surface with the classic device-context semantics over QPainter:
// a current pen, brush and font, lines drawn without their end point,
// rectangles that exclude their right and bottom edges, clip regions that
// narrow (never widen) the area the system lets us paint, text formatting
// with the DT_ flags, and raster operations that invert what is already on
// the surface. A canvas draws only while it holds a painter: a control's
// canvas during its paint pass, a bitmap's canvas whenever it is used.

#include "Graphics.h"
#include "Types.h"

#include <QImage>
#include <QRegion>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// pmNot inverts whatever lies under the pen; pmXor and pmNotXor combine the
// pen colour with it bit by bit, so drawing twice restores the surface.
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Text format flags of DrawText.
enum : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
};

class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont* Font() const { return FFont.get(); }
    TPoint PenPos;

    // Binds the canvas to a painter for one paint pass. `systemClip` is the
    // area the pass may touch (the invalid region); clip regions set later
    // only narrow it.
    void BeginPaint(QPainter* painter, const QRegion& systemClip);
    void EndPaint();
    // True while the canvas has a painter to draw with (a bitmap's canvas
    // acquires one on demand).
    bool HandleAllocated();
    // The painter, for drawing the canvas does not wrap (styles); null
    // outside a paint pass. The painter's state is the caller's to restore.
    QPainter* Painter();

    void MoveTo(int x, int y);
    // A line from PenPos to (x, y) without its end point; PenPos moves there.
    void LineTo(int x, int y);
    // Connected lines; the last point is not drawn.
    void Polyline(const std::vector<TPoint>& points);
    // Filled with the brush, outlined with the pen (every vertex drawn).
    void Polygon(const std::vector<TPoint>& points);
    // Pen outline on the rectangle's edge, brush inside; without a pen the
    // brush covers the rectangle less its last column and row.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // The rectangle in the brush colour (nothing for a clear brush).
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour (nothing for a clear brush).
    void FrameRect(const TRect& r);
    // Inverts every pixel of the rectangle.
    void InvertRect(const TRect& r);
    // The dotted focus frame: every other pixel of the one-pixel frame is
    // inverted, so drawing the same rectangle twice removes it.
    void DrawFocusRect(const TRect& r);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Text with its top-left corner at (x, y), on the brush colour unless the
    // brush is clear; PenPos moves to the end of the text.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    // Formats text into the rectangle by the DT_ flags and answers the height
    // of the text. With DT_CALCRECT nothing is drawn and the rectangle's
    // right and bottom edges are set to fit the text.
    int DrawText(const QString& text, TRect& rect, unsigned flags);

    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& rect, const TBitmap& bitmap);
    void Draw(int x, int y, const QImage& image);
    // Copies the source canvas's rectangle `source` into `dest`.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // What the surface shows inside the rectangle, as an RGB32 image; areas
    // outside the surface come back black.
    QImage GrabRect(const TRect& r);

    // Clipping: the user clip narrows the system clip; ClipRect is the
    // bounding box of what can be painted now.
    void SetClipRect(const TRect& r);
    void SetClipRegion(const QRegion& region);
    void ExcludeClipRect(const TRect& r);
    void IntersectClipRect(const TRect& r);
    void ClearClip();
    bool HasClip() const { return FUserClip.has_value(); }
    TRect ClipRect();
    QRegion ClipRegion();

protected:
    // A canvas that owns its surface (a bitmap's) starts a painter here.
    virtual bool CreateHandle() { return false; }
    // The system clip a canvas of its own surface uses.
    void SetSystemClip(const QRegion& region, bool enforce);
    void ApplyClip();
    QPainter* FPainter = nullptr;

private:
    QPainter* Handle();
    const QFont& CurrentFont();
    void SetPenMode(QPainter* p, TPenMode mode);
    QColor MixColor(TColor color) const;
    void LinePixels(int x0, int y0, int x1, int y1, std::vector<QPoint>& out, bool lastPoint);
    void PlotPenPixels(const std::vector<QPoint>& pixels);
    void StrokeLine(int x0, int y0, int x1, int y1, bool lastPoint);

    std::unique_ptr<TFont> FFont;
    std::optional<QFont> FQFont;
    // The values of Font that FQFont was resolved from.
    struct TFontKey {
        QString Name;
        int Height = 0;
        TFont::TFontStyles Style;
    } FQFontKey;
    std::optional<QRegion> FUserClip;
    QRegion FSystemClip;
    bool FEnforceSystemClip = false;
};

// A picture in memory with a canvas of its own. 24-bit bitmaps are opaque;
// 32-bit ones carry an alpha channel (not premultiplied).
class TBitmap {
public:
    enum TPixelFormat { pfDevice, pf24bit, pf32bit };

    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    explicit TBitmap(const QImage& image);
    ~TBitmap();
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    bool Empty() const { return FImage.isNull(); }
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    TPixelFormat PixelFormat() const { return FFormat; }
    void SetPixelFormat(TPixelFormat format);

    TCanvas* Canvas() const;
    // The picture itself; drawing on the canvas is finished first.
    const QImage& Image() const;
    void SetImage(const QImage& image);
    bool LoadFromFile(const QString& path);

    TColor Pixel(int x, int y) const;
    int Alpha(int x, int y) const;
    void SetPixel(int x, int y, TColor color, int alpha = 255);

    // A transparent bitmap is meant to be drawn without its pixels of
    // TransparentColor; the painters that honour it test these.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { FTransparent = value; }
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor value) { FTransparentColor = value; }

    // Runs after the picture was replaced, resized, converted or loaded
    // (not after drawing on the canvas or setting single pixels). A copy
    // does not take the handler over.
    std::function<void()> OnChange;

private:
    class TBitmapCanvas;
    static QImage::Format QtFormat(TPixelFormat format);
    void FinishDrawing() const;

    void Changed() const {
        if (OnChange) OnChange();
    }

    QImage FImage;
    TPixelFormat FFormat = pfDevice;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    mutable std::unique_ptr<TBitmapCanvas> FCanvas;
};
