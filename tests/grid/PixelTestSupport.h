#pragma once
// Helpers of the tests that look at drawn pixels: themes switched for one
// scope, the colour of a pixel, and where two pictures differ.

#include "ThemesSupport.h"
#include "Types.h"

#include <QColor>
#include <QImage>
#include <QRect>

// Themes on or off until the end of the scope, then as they were.
class ThemesSwitch {
public:
    explicit ThemesSwitch(bool on) : FWas(ThemesEnabled()) { SetThemesEnabled(on); }
    ~ThemesSwitch() { SetThemesEnabled(FWas); }
    ThemesSwitch(const ThemesSwitch&) = delete;
    ThemesSwitch& operator=(const ThemesSwitch&) = delete;

private:
    bool FWas;
};

inline TColor At(const QImage& image, int x, int y) {
    return FromQColor(QColor(image.pixel(x, y)));
}

// The smallest rectangle holding every pixel in which the two images differ.
inline QRect DiffBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    return box;
}
