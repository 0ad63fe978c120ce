// Draws the pictures and icons the tool ships with and writes them into
// resources/: the connection guide and the recommended-settings picture as
// JPEG, the application, guide and help icons as .ico files.
//
//   make_pictures <resources dir> [preview dir]
//
// With a preview dir it also writes every icon image enlarged as PNG, to look
// at them without an icon viewer.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// ICO writing

struct IconImage {
    QImage image; // ARGB32, the drawn picture
    int bpp;      // 4, 8 or 32
};

void PutU16(QByteArray& out, int v) {
    const quint16 le = qToLittleEndian(static_cast<quint16>(v));
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void PutU32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

// The sixteen colours of the classic 4-bit icon palette.
const std::array<QRgb, 16> kVgaPalette = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

int Distance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c, int from) {
    int best = from;
    for (int i = from; i < int(palette.size()); ++i)
        if (Distance(palette[i], c) < Distance(palette[best], c)) best = i;
    return best;
}

bool Opaque(QRgb c) {
    return qAlpha(c) >= 128;
}

// A palette of at most `count` colours for the opaque pixels, by median cut.
// Entry 0 is black: transparent pixels point at it, so that the AND mask
// leaves the background untouched.
std::vector<QRgb> MedianCutPalette(const QImage& image, int count) {
    std::vector<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (Opaque(c)) colours.push_back(qRgb(qRed(c), qGreen(c), qBlue(c)));
        }
    std::vector<QRgb> palette{qRgb(0, 0, 0)};
    std::vector<QRgb> unique = colours;
    std::sort(unique.begin(), unique.end());
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    if (int(unique.size()) < count) {
        palette.insert(palette.end(), unique.begin(), unique.end());
        return palette;
    }
    using Box = std::vector<QRgb>;
    std::vector<Box> boxes{colours};
    while (int(boxes.size()) < count - 1) {
        // Split the box with the widest channel range at its median.
        int bestBox = -1, bestChannel = 0, bestRange = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            if (boxes[b].size() < 2) continue;
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0;
                for (QRgb c : boxes[b]) {
                    const int v = ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                if (hi - lo > bestRange) {
                    bestRange = hi - lo;
                    bestBox = b;
                    bestChannel = ch;
                }
            }
        }
        if (bestBox < 0) break;
        Box& box = boxes[bestBox];
        const auto key = [bestChannel](QRgb c) {
            return bestChannel == 0 ? qRed(c) : bestChannel == 1 ? qGreen(c) : qBlue(c);
        };
        std::sort(box.begin(), box.end(), [&](QRgb a, QRgb b) { return key(a) < key(b); });
        Box upper(box.begin() + box.size() / 2, box.end());
        box.resize(box.size() / 2);
        boxes.push_back(std::move(upper));
    }
    for (const Box& box : boxes) {
        long r = 0, g = 0, b = 0;
        for (QRgb c : box)
            r += qRed(c), g += qGreen(c), b += qBlue(c);
        const long n = long(box.size());
        palette.push_back(qRgb(int(r / n), int(g / n), int(b / n)));
    }
    return palette;
}

// One icon image as a BMP entry: header, palette, colour rows and the AND
// mask, both bottom-up with rows padded to four bytes.
QByteArray EncodeBmpEntry(const QImage& source, int bpp) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    std::vector<QRgb> palette;
    if (bpp == 4)
        palette.assign(kVgaPalette.begin(), kVgaPalette.end());
    else if (bpp == 8)
        palette = MedianCutPalette(image, 256);
    const int paletteSize = bpp <= 8 ? 1 << bpp : 0;
    palette.resize(paletteSize, qRgb(0, 0, 0));

    const int xorStride = ((w * bpp + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;
    QByteArray out;
    PutU32(out, 40);
    PutU32(out, quint32(w));
    PutU32(out, quint32(2 * h)); // colour rows and mask rows
    PutU16(out, 1);
    PutU16(out, bpp);
    PutU32(out, 0); // BI_RGB
    PutU32(out, quint32((xorStride + andStride) * h));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, quint32(paletteSize));
    PutU32(out, 0);
    for (QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (bpp == 32) {
                row[4 * x] = char(qBlue(c));
                row[4 * x + 1] = char(qGreen(c));
                row[4 * x + 2] = char(qRed(c));
                row[4 * x + 3] = char(qAlpha(c));
                continue;
            }
            const int index = Opaque(c) ? Nearest(palette, c, bpp == 8 ? 1 : 0) : 0;
            if (bpp == 8)
                row[x] = char(index);
            else
                row[x / 2] = char(row[x / 2] | (x % 2 ? index : index << 4));
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (!Opaque(image.pixel(x, y))) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray EncodeIco(const std::vector<IconImage>& images) {
    std::vector<QByteArray> entries;
    for (const IconImage& i : images)
        entries.push_back(EncodeBmpEntry(i.image, i.bpp));
    QByteArray out;
    PutU16(out, 0);
    PutU16(out, 1); // icon, not cursor
    PutU16(out, int(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (size_t n = 0; n < images.size(); ++n) {
        const QImage& img = images[n].image;
        out.append(char(img.width() >= 256 ? 0 : img.width()));
        out.append(char(img.height() >= 256 ? 0 : img.height()));
        out.append(char(images[n].bpp == 4 ? 16 : 0));
        out.append(char(0));
        PutU16(out, 1);
        PutU16(out, images[n].bpp);
        PutU32(out, quint32(entries[n].size()));
        PutU32(out, offset);
        offset += quint32(entries[n].size());
    }
    for (const QByteArray& e : entries)
        out.append(e);
    return out;
}

// ---------------------------------------------------------------------------
// Drawing helpers

const QColor kInk(0x23, 0x2b, 0x36);
const QColor kMuted(0x5b, 0x66, 0x75);
const QColor kAccent(0x1f, 0x5f, 0xa8);
const QColor kLineCable(0x4a, 0x4f, 0x57);
const QColor kUsbCable(0x1d, 0x6f, 0xd6);
const QColor kBadge(0xe8, 0x7d, 0x1e);
const QColor kGood(0x2e, 0x9d, 0x4f);

QFont Font(int px, bool bold = false, bool italic = false) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void Text(QPainter& p, const QRectF& r, int flags, const QString& text, const QFont& font,
          const QColor& colour) {
    p.save();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, flags, text);
    p.restore();
}

void Shadow(QPainter& p, const QRectF& r, qreal radius, int strength = 1) {
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 7 * strength));
        p.drawRoundedRect(r.adjusted(-i + 2, -i + 4, i + 2, i + 5), radius + i, radius + i);
    }
    p.restore();
}

void Panel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& border, bool shadow = true) {
    if (shadow) Shadow(p, r, radius);
    p.save();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(border, 1.5));
    p.drawRoundedRect(r, radius, radius);
    p.restore();
}

// A cable through the given points with rounded corners: a dark outline and a
// lighter core, so it reads as a cable rather than a line.
void Cable(QPainter& p, const std::vector<QPointF>& pts, const QColor& colour) {
    QPainterPath path(pts.front());
    const qreal r = 16;
    for (size_t i = 1; i + 1 < pts.size(); ++i) {
        const QPointF a = pts[i - 1], b = pts[i], c = pts[i + 1];
        const QLineF in(b, a), out(b, c);
        const qreal ri = std::min(r, in.length() / 2), ro = std::min(r, out.length() / 2);
        path.lineTo(in.pointAt(ri / in.length()));
        path.quadTo(b, out.pointAt(ro / out.length()));
    }
    path.lineTo(pts.back());
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour.darker(150), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(colour.lighter(160), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.translate(-1, -1);
    p.drawPath(path);
    p.restore();
}

// A telephone jack (RJ11) seen from the front, centred on c.
void Jack(QPainter& p, const QPointF& c, qreal scale = 1) {
    p.save();
    p.translate(c);
    p.scale(scale, scale);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    p.setBrush(QColor(0x3c, 0x3f, 0x44));
    p.drawRoundedRect(QRectF(-11, -9, 22, 18), 2, 2);
    p.setBrush(QColor(0x18, 0x19, 0x1b));
    p.drawRect(QRectF(-7, -5, 14, 11));
    p.setPen(QPen(QColor(0xd4, 0xa0, 0x30), 1.2));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(-4.5 + 3 * i, -4), QPointF(-4.5 + 3 * i, -1));
    p.restore();
}

// A plug end where a cable meets a port.
void Plug(QPainter& p, const QPointF& c, bool vertical, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour.darker(170), 1.2));
    QLinearGradient g(c - QPointF(8, 8), c + QPointF(8, 8));
    g.setColorAt(0, QColor(0xf2, 0xf2, 0xf2));
    g.setColorAt(1, QColor(0xbd, 0xc3, 0xc9));
    p.setBrush(g);
    const QRectF r =
        vertical ? QRectF(c.x() - 8, c.y() - 11, 16, 22) : QRectF(c.x() - 11, c.y() - 8, 22, 16);
    p.drawRoundedRect(r, 3, 3);
    p.restore();
}

void Badge(QPainter& p, const QPointF& c, int n) {
    p.save();
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(kBadge);
    p.drawEllipse(c, 15, 15);
    Text(p, QRectF(c.x() - 15, c.y() - 15, 30, 30), Qt::AlignCenter, QString::number(n),
         Font(17, true), Qt::white);
    p.restore();
}

void CheckMark(QPainter& p, const QRectF& r, const QColor& colour, qreal width) {
    p.save();
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path(QPointF(r.left() + r.width() * 0.18, r.top() + r.height() * 0.55));
    path.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.78);
    path.lineTo(r.left() + r.width() * 0.84, r.top() + r.height() * 0.24);
    p.drawPath(path);
    p.restore();
}

// ---------------------------------------------------------------------------
// Devices of the wiring picture

void DrawWallSocket(QPainter& p, const QRectF& r) {
    // A strip of wall with the socket plate on it.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe3, 0xe0, 0xd8));
    const QRectF wall(r.left() - 22, r.top() - 40, 30, r.height() + 80);
    p.drawRect(wall);
    p.setPen(QPen(QColor(0xc4, 0xbf, 0xb2), 1.5));
    p.setClipRect(wall);
    for (qreal y = wall.top() - 40; y < wall.bottom(); y += 12)
        p.drawLine(QPointF(wall.left(), y + 30), QPointF(wall.right(), y));
    p.restore();
    Panel(p, r, 12, QColor(0xff, 0xff, 0xff), QColor(0xe6, 0xe8, 0xeb), QColor(0xa8, 0xae, 0xb5));
    const QRectF inner = r.adjusted(16, 16, -16, -16);
    p.save();
    p.setPen(QPen(QColor(0xc9, 0xcd, 0xd2), 1.2));
    p.setBrush(QColor(0xf4, 0xf5, 0xf6));
    p.drawRoundedRect(inner, 8, 8);
    p.restore();
    Jack(p, inner.center(), 1.6);
}

void DrawSplitter(QPainter& p, const QRectF& r) {
    Panel(p, r, 14, QColor(0xfb, 0xfc, 0xfd), QColor(0xdc, 0xe1, 0xe7), QColor(0x8d, 0x97, 0xa3));
    const QRectF stripe(r.left() + 1, r.top() + 1, r.width() - 2, 36);
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r.adjusted(1, 1, -1, -1), 13, 13);
    p.setClipPath(clip);
    p.fillRect(stripe, kAccent);
    p.restore();
    Text(p, stripe, Qt::AlignCenter, QStringLiteral("ADSL Splitter"), Font(18, true), Qt::white);
    // A little filter symbol in the middle: a low-pass curve.
    p.save();
    const QRectF sym(r.center().x() - 28, r.top() + 58, 56, 34);
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sym, 5, 5);
    QPainterPath curve(QPointF(sym.left() + 7, sym.top() + 11));
    curve.lineTo(sym.left() + 26, sym.top() + 11);
    curve.cubicTo(sym.left() + 36, sym.top() + 11, sym.left() + 38, sym.bottom() - 8,
                  sym.right() - 7, sym.bottom() - 7);
    p.setPen(QPen(kAccent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.restore();
}

void DrawModem(QPainter& p, const QRectF& r) {
    // Two antennas behind the box.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x3e, 0x45));
    p.drawRoundedRect(QRectF(r.left() + 30, r.top() - 46, 9, 56), 4, 4);
    p.drawRoundedRect(QRectF(r.right() - 39, r.top() - 46, 9, 56), 4, 4);
    p.restore();
    Panel(p, r, 12, QColor(0x5b, 0x61, 0x6b), QColor(0x2d, 0x31, 0x37), QColor(0x22, 0x25, 0x2a));
    const QStringList leds = {QStringLiteral("PWR"), QStringLiteral("DSL"), QStringLiteral("NET"),
                              QStringLiteral("LAN")};
    for (int i = 0; i < leds.size(); ++i) {
        const qreal x = r.left() + 28 + i * (r.width() - 56) / 3;
        const QPointF c(x, r.bottom() - 40);
        p.save();
        QRadialGradient glow(c, 9);
        glow.setColorAt(0, QColor(0x7d, 0xff, 0x9a));
        glow.setColorAt(0.45, QColor(0x2e, 0xd0, 0x5c));
        glow.setColorAt(1, QColor(0x2e, 0xd0, 0x5c, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, 9, 9);
        p.restore();
        Text(p, QRectF(x - 24, r.bottom() - 28, 48, 16), Qt::AlignCenter, leds[i], Font(10, true),
             QColor(0xc9, 0xcf, 0xd6));
    }
    Text(p, QRectF(r.left(), r.top() + 12, r.width(), 24), Qt::AlignCenter,
         QStringLiteral("ADSL  •  İnternet"), Font(16, true), QColor(0xe8, 0xec, 0xf0));
}

void DrawDeskPhone(QPainter& p, const QRectF& r) {
    const QColor body(0xc6, 0x37, 0x2e), dark(0x8f, 0x22, 0x1b);
    p.save();
    const qreal w = r.width(), h = r.height();
    const qreal x = r.left(), y = r.top();
    // Body: a trapezoid with rounded corners.
    QPainterPath base;
    base.moveTo(x + w * 0.22, y + h * 0.36);
    base.lineTo(x + w * 0.78, y + h * 0.36);
    base.quadTo(x + w * 0.86, y + h * 0.36, x + w * 0.90, y + h * 0.50);
    base.lineTo(x + w * 0.99, y + h * 0.88);
    base.quadTo(x + w, y + h, x + w * 0.90, y + h);
    base.lineTo(x + w * 0.10, y + h);
    base.quadTo(x, y + h, x + w * 0.01, y + h * 0.88);
    base.lineTo(x + w * 0.10, y + h * 0.50);
    base.quadTo(x + w * 0.14, y + h * 0.36, x + w * 0.22, y + h * 0.36);
    Shadow(p, QRectF(x + w * 0.02, y + h * 0.4, w * 0.96, h * 0.6), 12);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, body.lighter(115));
    g.setColorAt(1, body.darker(115));
    p.setPen(QPen(dark, 1.5));
    p.setBrush(g);
    p.drawPath(base);
    // Keypad: three by four keys.
    const QRectF pad(x + w * 0.33, y + h * 0.48, w * 0.34, h * 0.44);
    p.setBrush(QColor(0xf5, 0xf0, 0xee));
    p.setPen(QPen(dark, 1));
    p.drawRoundedRect(pad, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6a, 0x6f, 0x77));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(pad.left() + 6 + col * (pad.width() - 12) / 3,
                                     pad.top() + 5 + row * (pad.height() - 10) / 4,
                                     (pad.width() - 12) / 3 - 4, (pad.height() - 10) / 4 - 3),
                              2, 2);
    // Handset resting on top.
    QPainterPath handset;
    handset.moveTo(x + w * 0.04, y + h * 0.30);
    handset.quadTo(x + w * 0.02, y + h * 0.06, x + w * 0.20, y + h * 0.04);
    handset.lineTo(x + w * 0.80, y + h * 0.04);
    handset.quadTo(x + w * 0.98, y + h * 0.06, x + w * 0.96, y + h * 0.30);
    handset.lineTo(x + w * 0.74, y + h * 0.30);
    handset.quadTo(x + w * 0.72, y + h * 0.19, x + w * 0.64, y + h * 0.18);
    handset.lineTo(x + w * 0.36, y + h * 0.18);
    handset.quadTo(x + w * 0.28, y + h * 0.19, x + w * 0.26, y + h * 0.30);
    handset.closeSubpath();
    QLinearGradient hg(r.topLeft(), QPointF(x, y + h * 0.3));
    hg.setColorAt(0, body.lighter(125));
    hg.setColorAt(1, body.darker(110));
    p.setPen(QPen(dark, 1.5));
    p.setBrush(hg);
    p.drawPath(handset);
    p.restore();
}

void DrawCallerIdDevice(QPainter& p, const QRectF& r) {
    Panel(p, r, 16, QColor(0x2f, 0x6d, 0xb5), QColor(0x1b, 0x45, 0x7a), QColor(0x14, 0x35, 0x5e));
    const QRectF face = r.adjusted(14, 52, -14, -14);
    p.save();
    p.setPen(QPen(QColor(0x14, 0x35, 0x5e), 1));
    p.setBrush(QColor(0x16, 0x3c, 0x6b));
    p.drawRoundedRect(face, 8, 8);
    p.restore();
    Text(p, face.adjusted(16, 8, -14, 0), Qt::AlignLeft | Qt::AlignTop,
         QStringLiteral("Caller ID Cihazı"), Font(22, true), Qt::white);
    Text(p, face.adjusted(16, 38, -14, 0), Qt::AlignLeft | Qt::AlignTop,
         QStringLiteral("4 hat  •  USB bağlantılı"), Font(14), QColor(0xc4, 0xd7, 0xee));
    // One LED per line; line 1 lit.
    for (int i = 0; i < 4; ++i) {
        const QPointF c(face.right() - 122 + i * 32, face.top() + 26);
        p.save();
        p.setPen(QPen(QColor(0x0e, 0x25, 0x42), 1));
        p.setBrush(i == 0 ? QColor(0x4c, 0xe0, 0x78) : QColor(0x2a, 0x5a, 0x8f));
        p.drawEllipse(c, 6, 6);
        p.restore();
        Text(p, QRectF(c.x() - 15, c.y() + 10, 30, 16), Qt::AlignCenter, QString::number(i + 1),
             Font(12, true), QColor(0xc4, 0xd7, 0xee));
    }
}

void DrawComputer(QPainter& p, const QRectF& r) {
    // Monitor.
    const QRectF monitor(r.left(), r.top(), r.width(), r.height() * 0.74);
    Panel(p, monitor, 10, QColor(0x44, 0x48, 0x50), QColor(0x26, 0x29, 0x2e),
          QColor(0x1c, 0x1e, 0x22));
    const QRectF screen = monitor.adjusted(10, 10, -10, -22);
    QLinearGradient sg(screen.topLeft(), screen.bottomRight());
    sg.setColorAt(0, QColor(0x3f, 0x8e, 0xd8));
    sg.setColorAt(1, QColor(0x1c, 0x4f, 0x8f));
    p.fillRect(screen, sg);
    // The test tool's window on the screen, with its call list.
    const QRectF win = screen.adjusted(18, 14, -18, -14);
    p.save();
    p.setPen(QPen(QColor(0x9a, 0xa3, 0xae), 1));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRect(win);
    p.fillRect(QRectF(win.left(), win.top(), win.width(), 12), QColor(0x2a, 0x5c, 0x9a));
    p.setPen(QPen(QColor(0xb8, 0xbe, 0xc6), 1));
    for (int i = 0; i < 5; ++i) {
        const qreal y = win.top() + 20 + i * 9;
        p.fillRect(QRectF(win.left() + 5, y, win.width() - 10, 7),
                   i == 0 ? QColor(0xd6, 0xdb, 0xe1) : QColor(0xff, 0xff, 0xff));
    }
    p.fillRect(QRectF(win.left() + 5, win.bottom() - 14, win.width() * 0.45, 9),
               QColor(0xde, 0xe2, 0xe6));
    p.restore();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7a, 0x80, 0x88));
    p.drawEllipse(QPointF(monitor.center().x(), monitor.bottom() - 11), 3, 3);
    // Stand and foot.
    QLinearGradient fg(QPointF(0, monitor.bottom()), QPointF(0, r.bottom()));
    fg.setColorAt(0, QColor(0x55, 0x5a, 0x62));
    fg.setColorAt(1, QColor(0x30, 0x33, 0x38));
    p.setBrush(fg);
    p.drawRect(QRectF(monitor.center().x() - 14, monitor.bottom(), 28, r.height() * 0.17));
    p.drawRoundedRect(
        QRectF(monitor.center().x() - 62, r.bottom() - r.height() * 0.09, 124, r.height() * 0.09),
        6, 6);
    p.restore();
}

// ---------------------------------------------------------------------------
// The connection guide: 1024 x 785

QImage DrawGuide() {
    QImage img(1024, 785, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(img.rect(), QColor(0xf6, 0xf8, 0xfb));

    // Title band.
    QLinearGradient band(0, 0, 1024, 0);
    band.setColorAt(0, QColor(0x17, 0x3f, 0x6e));
    band.setColorAt(1, QColor(0x2d, 0x6c, 0xb0));
    p.fillRect(QRectF(0, 0, 1024, 66), band);
    Text(p, QRectF(32, 0, 700, 66), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Caller ID Cihazı Bağlantı Şekli"), Font(28, true), Qt::white);
    Text(p, QRectF(600, 0, 392, 66), Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("Telefon hattı → Splitter → Cihaz → Bilgisayar"), Font(15),
         QColor(0xd5, 0xe4, 0xf5));

    // Geometry of the parts.
    const QRectF socket(58, 150, 124, 130);
    const QRectF splitter(290, 136, 280, 160);
    const QRectF modem(742, 156, 184, 118);
    const QRectF phone(752, 318, 168, 100);
    const QRectF device(340, 536, 380, 140);
    const QRectF computer(790, 548, 196, 150);
    const QPointF linePort(splitter.left(), socket.center().y());
    const QPointF modemPort(splitter.right(), socket.center().y());
    const QPointF phonePort(splitter.center().x(), splitter.bottom());
    const QPointF junction(phonePort.x(), 384);
    std::array<QPointF, 4> hatPorts;
    for (int i = 0; i < 4; ++i)
        hatPorts[i] = QPointF(junction.x() + 80 * i, device.top());
    const QPointF usbPort(device.right(), 630);

    DrawWallSocket(p, socket);
    // Cables next; the other devices are drawn over their ends.
    Cable(p, {socket.center(), linePort}, kLineCable);
    Cable(p, {modemPort, QPointF(modem.left(), modemPort.y())}, kLineCable);
    Cable(p, {phonePort, junction}, kLineCable);
    Cable(p, {junction, QPointF(phone.left() + 8, junction.y())}, kLineCable);
    Cable(p, {junction, hatPorts[0]}, kLineCable);
    Cable(p, {usbPort, QPointF(computer.left(), usbPort.y())}, kUsbCable);

    DrawSplitter(p, splitter);
    DrawModem(p, modem);
    DrawDeskPhone(p, phone);
    DrawCallerIdDevice(p, device);
    DrawComputer(p, computer);

    // Ports and plugs.
    Plug(p, socket.center(), false, kLineCable);
    Jack(p, linePort + QPointF(16, 0));
    Jack(p, modemPort - QPointF(16, 0));
    Jack(p, phonePort - QPointF(0, 15));
    Plug(p, linePort - QPointF(8, 0), false, kLineCable);
    Plug(p, modemPort + QPointF(8, 0), false, kLineCable);
    Plug(p, phonePort + QPointF(0, 8), true, kLineCable);
    Plug(p, QPointF(modem.left() - 8, modemPort.y()), false, kLineCable);
    Text(p, QRectF(linePort.x() + 32, linePort.y() - 11, 80, 22), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("LINE"), Font(15, true), kInk);
    Text(p, QRectF(modemPort.x() - 112, modemPort.y() - 11, 80, 22),
         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("MODEM"), Font(15, true), kInk);
    Text(p, QRectF(phonePort.x() - 50, phonePort.y() - 52, 100, 20), Qt::AlignCenter,
         QStringLiteral("PHONE"), Font(15, true), kInk);

    // Junction: the phone port feeds the telephone and the device in parallel.
    p.save();
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(kLineCable.darker(130));
    p.drawEllipse(junction, 8, 8);
    p.restore();

    for (int i = 0; i < 4; ++i) {
        const QPointF c = hatPorts[i];
        Jack(p, c + QPointF(0, 12), 1.0);
        if (i == 0) Plug(p, c - QPointF(0, 2), true, kLineCable);
        Text(p, QRectF(c.x() - 40, c.y() + 26, 80, 20), Qt::AlignCenter,
             QStringLiteral("Hat %1").arg(i + 1), Font(15, true), Qt::white);
    }
    Text(p, QRectF(hatPorts[1].x() - 30, device.top() - 38, 260, 20), Qt::AlignLeft,
         QStringLiteral("Hat 2 – 4: diğer telefon hatları"), Font(14, false, true), kMuted);
    Plug(p, usbPort + QPointF(8, 0), false, kUsbCable);
    Plug(p, QPointF(computer.left() - 8, usbPort.y()), false, kUsbCable);

    // Labels of the parts.
    const auto label = [&](const QRectF& r, qreal y, const QString& title, const QString& sub) {
        Text(p, QRectF(r.center().x() - 130, y, 260, 24), Qt::AlignCenter, title, Font(19, true),
             kInk);
        Text(p, QRectF(r.center().x() - 130, y + 24, 260, 20), Qt::AlignCenter, sub, Font(14),
             kMuted);
    };
    label(socket, socket.bottom() + 10, QStringLiteral("Telefon hattı"),
          QStringLiteral("(duvar prizi)"));
    label(modem, modem.bottom() + 8, QStringLiteral("Modem"), QString());
    label(phone, phone.bottom() + 10, QStringLiteral("Telefon"),
          QStringLiteral("(telefon makinesi)"));
    label(computer, computer.top() - 60, QStringLiteral("Bilgisayar (USB)"),
          QStringLiteral("Caller ID Test programı"));
    Text(p, QRectF(device.left(), device.bottom() + 8, device.width(), 22), Qt::AlignCenter,
         QStringLiteral("Caller ID Cihazı"), Font(19, true), kInk);

    // Step badges on the cables.
    Badge(p, QPointF((socket.right() + linePort.x()) / 2, linePort.y() - 34), 1);
    Badge(p, QPointF((modemPort.x() + modem.left()) / 2, modemPort.y() - 34), 2);
    Badge(p, QPointF(junction.x() - 36, (phonePort.y() + junction.y()) / 2), 3);
    Badge(p, QPointF((usbPort.x() + computer.left()) / 2, usbPort.y() - 36), 4);

    // Steps, bottom left.
    const QRectF steps(30, 340, 290, 342);
    Panel(p, steps, 12, Qt::white, QColor(0xf3, 0xf6, 0xfa), QColor(0xc9, 0xd2, 0xdd));
    Text(p, steps.adjusted(18, 14, -14, 0), Qt::AlignLeft | Qt::AlignTop,
         QStringLiteral("Bağlantı adımları"), Font(19, true), kAccent);
    const QStringList texts = {
        QStringLiteral("Telefon hattını (duvar prizi) splitter'ın LINE girişine takın."),
        QStringLiteral("Modemi splitter'ın MODEM çıkışına takın."),
        QStringLiteral("Telefon makinesini ve cihazın Hat 1 girişini splitter'ın PHONE "
                       "çıkışına takın."),
        QStringLiteral("Cihazı USB kablosu ile bilgisayara bağlayın."),
    };
    qreal y = steps.top() + 54;
    for (int i = 0; i < texts.size(); ++i) {
        Badge(p, QPointF(steps.left() + 32, y + 12), i + 1);
        const QRectF tr(steps.left() + 58, y, steps.width() - 72, 80);
        QRectF used;
        p.setFont(Font(15));
        p.setPen(kInk);
        p.drawText(tr, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, texts[i], &used);
        y += std::max<qreal>(used.height(), 26) + 18;
    }

    // Footer: legend and the usual wiring fault.
    p.fillRect(QRectF(0, 728, 1024, 57), QColor(0xe8, 0xee, 0xf5));
    p.setPen(QPen(QColor(0xc9, 0xd2, 0xdd), 1));
    p.drawLine(QPointF(0, 728), QPointF(1024, 728));
    Cable(p, {QPointF(34, 748), QPointF(80, 748)}, kLineCable);
    Text(p, QRectF(92, 738, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Telefon kablosu (RJ11)"), Font(14), kInk);
    Cable(p, {QPointF(34, 770), QPointF(80, 770)}, kUsbCable);
    Text(p, QRectF(92, 760, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("USB kablosu"), Font(14), kInk);
    Text(p, QRectF(300, 734, 700, 46), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
         QStringLiteral("Splitter kullanılmazsa veya ters bağlanırsa (LINE ile PHONE yer "
                        "değiştirirse) sinyal göstergeleri sürekli yüksek görünür."),
         Font(14, false, true), QColor(0x8a, 0x3b, 0x12));
    return img;
}

// ---------------------------------------------------------------------------
// The recommended settings: 980 x 936

void Combo(QPainter& p, const QRectF& r, const QString& text) {
    p.save();
    p.setPen(QPen(QColor(0x9c, 0xa6, 0xb2), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 4, 4);
    const QRectF button(r.right() - 30, r.top() + 1, 29, r.height() - 2);
    QLinearGradient g(button.topLeft(), button.bottomLeft());
    g.setColorAt(0, QColor(0xf4, 0xf6, 0xf8));
    g.setColorAt(1, QColor(0xdd, 0xe2, 0xe8));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(button, 3, 3);
    p.setPen(QPen(QColor(0xb4, 0xbc, 0xc6), 1));
    p.drawLine(QPointF(button.left(), button.top() + 4),
               QPointF(button.left(), button.bottom() - 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const QPointF c = button.center();
    p.drawPolygon(QPolygonF({c + QPointF(-6, -3), c + QPointF(6, -3), c + QPointF(0, 4)}));
    p.restore();
    Text(p, r.adjusted(12, 0, -36, 0), Qt::AlignLeft | Qt::AlignVCenter, text, Font(17), kInk);
}

void CheckBox(QPainter& p, const QPointF& at, const QString& text, bool checked) {
    const QRectF box(at.x(), at.y(), 22, 22);
    p.save();
    p.setPen(QPen(checked ? kAccent : QColor(0x9c, 0xa6, 0xb2), 1.5));
    p.setBrush(checked ? kAccent : Qt::white);
    p.drawRoundedRect(box, 4, 4);
    p.restore();
    if (checked) CheckMark(p, box.adjusted(2, 2, -2, -2), Qt::white, 2.6);
    Text(p, QRectF(at.x() + 34, at.y() - 4, 560, 30), Qt::AlignLeft | Qt::AlignVCenter, text,
         Font(17), kInk);
}

void Radio(QPainter& p, const QPointF& at, const QString& text, bool on) {
    p.save();
    p.setPen(QPen(on ? kAccent : QColor(0x9c, 0xa6, 0xb2), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(at.x(), at.y(), 22, 22));
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QRectF(at.x() + 6, at.y() + 6, 10, 10));
    }
    p.restore();
    Text(p, QRectF(at.x() + 32, at.y() - 4, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, text,
         Font(17, on), on ? kInk : kMuted);
}

// The green "Önerilen" tag at the end of a recommended row.
void Recommended(QPainter& p, const QPointF& at) {
    const QRectF r(at.x(), at.y(), 118, 28);
    p.save();
    p.setPen(QPen(QColor(0x9f, 0xd9, 0xb1), 1));
    p.setBrush(QColor(0xe3, 0xf5, 0xe9));
    p.drawRoundedRect(r, 14, 14);
    p.restore();
    CheckMark(p, QRectF(r.left() + 8, r.top() + 5, 18, 18), kGood, 2.6);
    Text(p, r.adjusted(30, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Önerilen"),
         Font(15, true), kGood.darker(120));
}

void Group(QPainter& p, const QRectF& r, const QString& title) {
    p.save();
    p.setPen(QPen(QColor(0xc9, 0xd2, 0xdd), 1.2));
    p.setBrush(QColor(0xfb, 0xfc, 0xfe));
    p.drawRoundedRect(r, 8, 8);
    p.restore();
    const QFont f = Font(18, true);
    const int w = QFontMetrics(f).horizontalAdvance(title);
    // The caption interrupts the frame: window colour above it, group colour below.
    p.fillRect(QRectF(r.left() + 16, r.top() - 12, w + 16, 12), QColor(0xf0, 0xf0, 0xf0));
    p.fillRect(QRectF(r.left() + 16, r.top(), w + 16, 12), QColor(0xfb, 0xfc, 0xfe));
    Text(p, QRectF(r.left() + 24, r.top() - 12, w + 4, 24), Qt::AlignLeft | Qt::AlignVCenter, title,
         f, kAccent);
}

void Button(QPainter& p, const QRectF& r, const QString& text, bool isDefault) {
    p.save();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, isDefault ? QColor(0x3b, 0x7d, 0xc8) : QColor(0xfb, 0xfb, 0xfc));
    g.setColorAt(1, isDefault ? QColor(0x25, 0x5f, 0xa3) : QColor(0xdf, 0xe3, 0xe8));
    p.setPen(QPen(isDefault ? QColor(0x1d, 0x4c, 0x85) : QColor(0x9c, 0xa6, 0xb2), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    p.restore();
    Text(p, r, Qt::AlignCenter, text, Font(17, isDefault), isDefault ? Qt::white : kInk);
}

QImage DrawSettings() {
    QImage img(980, 936, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, 936);
    bg.setColorAt(0, QColor(0xdf, 0xe7, 0xf0));
    bg.setColorAt(1, QColor(0xc9, 0xd5, 0xe3));
    p.fillRect(img.rect(), bg);

    // The dialog window.
    const QRectF window(36, 30, 908, 876);
    Shadow(p, window, 8, 3);
    p.save();
    p.setPen(QPen(QColor(0x6f, 0x7d, 0x8c), 1));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRoundedRect(window, 8, 8);
    QPainterPath top;
    top.addRoundedRect(window, 8, 8);
    p.setClipPath(top);
    QLinearGradient tg(window.topLeft(), window.topLeft() + QPointF(0, 40));
    tg.setColorAt(0, QColor(0x2d, 0x6c, 0xb0));
    tg.setColorAt(1, QColor(0x1f, 0x55, 0x92));
    p.fillRect(QRectF(window.left(), window.top(), window.width(), 40), tg);
    p.restore();
    Text(p, QRectF(window.left() + 18, window.top(), 500, 40), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Önerilen ayar"), Font(17, true), Qt::white);
    // Caption buttons.
    for (int i = 0; i < 3; ++i) {
        const QRectF b(window.right() - 40 - i * 36, window.top() + 9, 26, 22);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(0xd9, 0x4b, 0x3f) : QColor(0x4a, 0x80, 0xc0));
        p.drawRoundedRect(b, 4, 4);
        p.setPen(QPen(Qt::white, 2));
        const QPointF c = b.center();
        if (i == 0) {
            p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
            p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
        } else if (i == 1) {
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
        } else {
            p.drawLine(c + QPointF(-5, 4), c + QPointF(5, 4));
        }
        p.restore();
    }

    const qreal left = window.left() + 34, right = window.right() - 34;
    Text(p, QRectF(left, 92, 800, 34), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Caller ID Cihazı – Önerilen Ayarlar"), Font(27, true), kInk);
    Text(p, QRectF(left, 128, 840, 26), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Cihazın dört hatta da doğru çalışması için aşağıdaki ayarları "
                        "kullanın."),
         Font(17), kMuted);

    const qreal labelW = 250, fieldX = left + 24 + labelW, tagX = right - 138;
    const auto rowLabel = [&](qreal y, const QString& text) {
        Text(p, QRectF(left + 24, y, labelW, 36), Qt::AlignLeft | Qt::AlignVCenter, text,
             Font(17, true), kInk);
    };

    // Device settings.
    Group(p, QRectF(left, 184, right - left, 184), QStringLiteral("Cihaz ayarları"));
    rowLabel(208, QStringLiteral("Hat sayısı:"));
    Combo(p, QRectF(fieldX, 208, 300, 36), QStringLiteral("4"));
    Recommended(p, QPointF(tagX, 212));
    rowLabel(258, QStringLiteral("Arayan numara biçimi:"));
    Combo(p, QRectF(fieldX, 258, 300, 36), QStringLiteral("FSK / DTMF (otomatik)"));
    Recommended(p, QPointF(tagX, 262));
    rowLabel(308, QStringLiteral("Bağlantı:"));
    Combo(p, QRectF(fieldX, 308, 300, 36), QStringLiteral("USB"));
    Recommended(p, QPointF(tagX, 312));

    // Telephone line.
    Group(p, QRectF(left, 398, right - left, 196), QStringLiteral("Telefon hattı"));
    rowLabel(420, QStringLiteral("Numara gösterme:"));
    Radio(p, QPointF(fieldX, 427), QStringLiteral("Açık"), true);
    Radio(p, QPointF(fieldX + 110, 427), QStringLiteral("Kapalı"), false);
    Recommended(p, QPointF(tagX, 424));
    Text(p, QRectF(left + 24, 456, 640, 24), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Kapalıysa telefon idaresinden açtırılmalıdır."), Font(15, false, true),
         kMuted);
    CheckBox(p, QPointF(left + 24, 500), QStringLiteral("ADSL Splitter kullanılıyor"), true);
    Recommended(p, QPointF(tagX, 497));
    CheckBox(p, QPointF(left + 24, 546),
             QStringLiteral("Cihaz ve telefon, splitter'ın PHONE çıkışına bağlı"), true);
    Recommended(p, QPointF(tagX, 543));

    // Signal levels at rest.
    const QRectF sig(left, 624, right - left, 210);
    Group(p, sig, QStringLiteral("Sinyal göstergeleri (telefon kapalı, zil çalmıyor)"));
    const std::array<int, 4> levels = {1, 0, 2, 1};
    const qreal barX = left + 150, barW = 360;
    for (int i = 0; i < 4; ++i) {
        const qreal y = 648 + i * 40;
        Text(p, QRectF(left + 24, y, 120, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Telefon %1").arg(i + 1), Font(17), kInk);
        const QRectF bar(barX, y + 4, barW, 20);
        p.save();
        p.setPen(QPen(QColor(0xa8, 0xb1, 0xbc), 1));
        p.setBrush(Qt::white);
        p.drawRect(bar);
        // The calm band 0..2 of the 0..30 scale, shaded.
        p.fillRect(QRectF(bar.left() + 1, bar.top() + 1, (barW - 2) * 2 / 30, bar.height() - 1),
                   QColor(0xd5, 0xf0, 0xdc));
        p.fillRect(
            QRectF(bar.left() + 1, bar.top() + 1, (barW - 2) * levels[i] / 30, bar.height() - 1),
            QColor(0x2e, 0xa0, 0x52));
        p.restore();
        Text(p, QRectF(bar.right() + 14, y, 40, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QString::number(levels[i]), Font(17, true), kInk);
    }
    // Scale under the bars.
    for (int v : {0, 2, 10, 20, 30}) {
        const qreal x = barX + (barW - 1) * v / 30;
        p.save();
        p.setPen(QPen(QColor(0xa8, 0xb1, 0xbc), 1));
        p.drawLine(QPointF(x, 808), QPointF(x, 813));
        p.restore();
        Text(p, QRectF(x - 20, 812, 40, 16), Qt::AlignCenter, QString::number(v), Font(12), kMuted);
    }
    const QRectF note(barX + barW + 70, 650, right - (barX + barW + 70) - 20, 150);
    p.save();
    p.setPen(QPen(QColor(0x9f, 0xd9, 0xb1), 1));
    p.setBrush(QColor(0xe9, 0xf7, 0xed));
    p.drawRoundedRect(note, 8, 8);
    p.restore();
    Text(p, note.adjusted(14, 10, -10, 0), Qt::AlignLeft | Qt::AlignTop,
         QStringLiteral("Normal: 0..2"), Font(20, true), kGood.darker(125));
    Text(p, note.adjusted(14, 44, -12, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
         QStringLiteral("Zil çalarken veya konuşma sırasında yükselmesi normaldir. "
                        "Sürekli yüksekse splitter yok ya da ters bağlı olabilir."),
         Font(15), kInk);

    // Buttons.
    Button(p, QRectF(right - 250, 852, 116, 38), QStringLiteral("Tamam"), true);
    Button(p, QRectF(right - 120, 852, 116, 38), QStringLiteral("Kapat"), false);
    Text(p, QRectF(left, 852, 420, 38), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Ayrıntılar: Yardım → Bağlantı kılavuzu"), Font(15), kMuted);
    return img;
}

// ---------------------------------------------------------------------------
// Icons

// The application icon: a desk telephone sending a signal. Drawn on a 48-unit
// grid; the small sizes get thicker strokes and fewer waves.
QImage DrawAppIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    const bool tiny = size <= 16;
    const QColor body(0xd2, 0x3a, 0x2f), dark(0x86, 0x1d, 0x16);

    // Signal waves to the upper right.
    const QColor wave(0x1f, 0x8f, 0xe0);
    p.setBrush(Qt::NoBrush);
    const int waves = tiny ? 2 : 3;
    for (int i = 0; i < waves; ++i) {
        const qreal r = tiny ? 7 + i * 8 : 5 + i * 5.5;
        p.setPen(QPen(wave, tiny ? 4.5 : 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(31 - r, 17 - r, 2 * r, 2 * r), 15 * 16, 60 * 16);
    }
    // Body.
    QPainterPath base;
    base.moveTo(11, 24);
    base.lineTo(29, 24);
    base.quadTo(33, 24, 34, 28);
    base.lineTo(37, 42);
    base.quadTo(38, 46, 34, 46);
    base.lineTo(6, 46);
    base.quadTo(2, 46, 3, 42);
    base.lineTo(6, 28);
    base.quadTo(7, 24, 11, 24);
    QLinearGradient g(0, 22, 0, 46);
    g.setColorAt(0, body.lighter(118));
    g.setColorAt(1, body.darker(112));
    p.setPen(QPen(dark, tiny ? 2.4 : 1.4));
    p.setBrush(g);
    p.drawPath(base);
    // Dial.
    p.setPen(QPen(dark, tiny ? 2 : 1.2));
    p.setBrush(QColor(0xfb, 0xf4, 0xf2));
    p.drawEllipse(QPointF(20, 35.5), tiny ? 6 : 6.5, tiny ? 6 : 6.5);
    if (!tiny) {
        p.setBrush(QColor(0x70, 0x74, 0x7a));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(20, 35.5), 2.2, 2.2);
    }
    // Handset.
    QPainterPath handset;
    handset.moveTo(1.5, 22);
    handset.quadTo(0.5, 13, 8, 12.5);
    handset.lineTo(32, 12.5);
    handset.quadTo(39.5, 13, 38.5, 22);
    handset.lineTo(30.5, 22);
    handset.quadTo(30, 18.5, 27, 18.5);
    handset.lineTo(13, 18.5);
    handset.quadTo(10, 18.5, 9.5, 22);
    handset.closeSubpath();
    QLinearGradient hg(0, 12, 0, 22);
    hg.setColorAt(0, body.lighter(128));
    hg.setColorAt(1, body.darker(108));
    p.setPen(QPen(dark, tiny ? 2.4 : 1.4));
    p.setBrush(hg);
    p.drawPath(handset);
    return img;
}

// The help icon: a blue disc with a white question mark. The 16-colour image
// is drawn flat in palette colours, since a gradient would only quantise to mud.
QImage DrawHelpIcon(int size, bool flat = false) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, !flat);
    p.setRenderHint(QPainter::TextAntialiasing, !flat);
    const qreal s = size;
    if (flat) {
        p.setPen(QColor(kVgaPalette[4]));
        p.setBrush(QColor(kVgaPalette[12]));
        p.drawEllipse(QRectF(0, 0, s - 1, s - 1));
    } else {
        QRadialGradient g(QPointF(s * 0.38, s * 0.3), s * 0.75);
        g.setColorAt(0, QColor(0x6c, 0xb4, 0xf5));
        g.setColorAt(1, QColor(0x16, 0x5c, 0xb8));
        p.setPen(QPen(QColor(0x0f, 0x45, 0x8e), std::max(1.0, s / 24)));
        p.setBrush(g);
        p.drawEllipse(QRectF(0.5 + s * 0.02, 0.5 + s * 0.02, s * 0.96 - 1, s * 0.96 - 1));
    }
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(int(s * 0.74));
    if (flat) f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, s, s * 1.02), Qt::AlignCenter, QStringLiteral("?"));
    return img;
}

// The guide window's icon, 16 x 16 in the sixteen basic colours: a telephone
// wall socket with a cable plugged in, drawn pixel by pixel.
QImage DrawGuideIcon() {
    static const char* const rows[16] = {
        // . transparent, k black, g grey, s silver, w white, y yellow, c teal, C cyan
        "................", //
        ".gggggggggggg...", //
        ".gwwwwwwwwwwsg..", //
        ".gwssssssssssg..", //
        ".gwsskkkkkkssg..", //
        ".gwsskyyyyks.g..", //
        ".gwsskkkkkkssg..", //
        ".gwsswkkkkwssg..", //
        ".gwsssswwsssgg..", //
        ".gwsssscCsssgg..", //
        ".gssgggcCgggsg..", //
        ".ggggggcCggggg..", //
        ".......cC.......", //
        ".......cCcccccc.", //
        "........CCCCCCC.", //
        "................", //
    };
    QImage img(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QRgb c = qRgba(0, 0, 0, 0);
            switch (rows[y][x]) {
            case 'k':
                c = kVgaPalette[0];
                break;
            case 'g':
                c = kVgaPalette[8];
                break;
            case 's':
                c = kVgaPalette[7];
                break;
            case 'w':
                c = kVgaPalette[15];
                break;
            case 'y':
                c = kVgaPalette[11];
                break;
            case 'c':
                c = kVgaPalette[6];
                break;
            case 'C':
                c = kVgaPalette[14];
                break;
            default:
                break;
            }
            img.setPixel(x, y, c);
        }
    return img;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool WriteJpeg(const QString& path, const QImage& image) {
    QImageWriter writer(path, "jpg");
    writer.setQuality(85);
    writer.setOptimizedWrite(true);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

// What a paletted entry will look like once quantised, enlarged for viewing.
QImage Preview(const std::vector<IconImage>& images) {
    const int scale = 4;
    int width = 0, height = 0;
    for (const IconImage& i : images) {
        width += i.image.width() * scale + 8;
        height = std::max(height, i.image.height() * scale);
    }
    QImage out(width, height, QImage::Format_ARGB32);
    out.fill(QColor(0xe0, 0xe0, 0xe0));
    QPainter p(&out);
    int x = 0;
    for (const IconImage& i : images) {
        QByteArray ico = EncodeIco({i});
        QImage back = QImage::fromData(ico, "ico");
        p.drawImage(QRect(x, 0, i.image.width() * scale, i.image.height() * scale), back);
        x += i.image.width() * scale + 8;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_pictures <resources dir> [preview dir]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("pictures")) || !out.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "cannot create folders under %s\n", argv[1]);
        return 1;
    }

    const std::vector<IconImage> appIcon = {
        {DrawAppIcon(16), 8},  {DrawAppIcon(32), 8},  {DrawAppIcon(48), 8},
        {DrawAppIcon(16), 32}, {DrawAppIcon(32), 32}, {DrawAppIcon(48), 32},
    };
    const std::vector<IconImage> guideIcon = {{DrawGuideIcon(), 4}};
    const std::vector<IconImage> helpIcon = {
        {DrawHelpIcon(16), 32},      {DrawHelpIcon(32), 32}, {DrawHelpIcon(48), 32},
        {DrawHelpIcon(16), 8},       {DrawHelpIcon(32), 8},  {DrawHelpIcon(48), 8},
        {DrawHelpIcon(16, true), 4},
    };

    bool ok = WriteJpeg(out.filePath(QStringLiteral("pictures/guide.jpg")), DrawGuide()) &&
              WriteJpeg(out.filePath(QStringLiteral("pictures/settings.jpg")), DrawSettings()) &&
              WriteFile(out.filePath(QStringLiteral("icons/app.ico")), EncodeIco(appIcon)) &&
              WriteFile(out.filePath(QStringLiteral("icons/guide.ico")), EncodeIco(guideIcon)) &&
              WriteFile(out.filePath(QStringLiteral("icons/help.ico")), EncodeIco(helpIcon));

    if (ok && argc > 2) {
        const QDir preview(QString::fromLocal8Bit(argv[2]));
        preview.mkpath(QStringLiteral("."));
        ok = Preview(appIcon).save(preview.filePath(QStringLiteral("app.png"))) &&
             Preview(guideIcon).save(preview.filePath(QStringLiteral("guide.png"))) &&
             Preview(helpIcon).save(preview.filePath(QStringLiteral("help.png")));
    }
    return ok ? 0 : 1;
}
