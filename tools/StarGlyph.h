#pragma once
// The five-pointed star the rating columns of the sample tools show.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>

inline QImage StarGlyph(QColor fill, QColor back = Qt::white) {
    QImage image(14, 14, QImage::Format_RGB32);
    image.fill(back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(fill.darker(140));
    p.setBrush(fill);
    const QPointF points[] = {{7, 0.5},  {8.8, 5}, {13.5, 5.2}, {9.8, 8.2}, {11, 13},
                              {7, 10.3}, {3, 13},  {4.2, 8.2},  {0.5, 5.2}, {5.2, 5}};
    p.drawPolygon(points, 10);
    return image;
}
