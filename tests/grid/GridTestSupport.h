#pragma once
// Helpers of the grid tests: a white drawing surface and pixel checks.

#include "Canvas.h"

#include <QImage>
#include <QString>

// A bitmap of the given size filled with one colour.
inline TBitmap Surface(int width, int height, TColor fill = clWhite) {
    TBitmap bmp(width, height, TBitmap::pf24bit);
    bmp.Canvas()->Brush = TBrush{fill, bsSolid};
    bmp.Canvas()->FillRect(Rect(0, 0, width, height));
    return bmp;
}

// Number of pixels of the image in the rectangle that differ from `color`.
inline int CountOther(const QImage& image, const QRect& area, QRgb color) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF)) ++n;
    return n;
}

// Number of pixels that differ between two images outside a rectangle.
inline int CountChangedOutside(const QImage& a, const QImage& b, const QRect& inside) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!inside.contains(x, y) && a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
}

inline QRgb Rgb(TColor c) {
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}
