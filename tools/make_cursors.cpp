// Generator of the grid's own cursors, each a 32 x 32 picture, black with a
// white edge on a transparent ground:
//   REVERSEDARROW    the arrow pointer mirrored, its tip at the top right
//                    corner (hot spot 31, 0);
//   HORZSPLIT        two upright bars with an arrow head left and right,
//                    over a column edge in the header (hot spot 15, 15);
//   COLUMNNODRAG     the arrow pointer with a crossed-out circle, for a
//                    dragged column where it cannot go (hot spot 0, 0);
//   INDICATORSELECT  a thick arrow pointing right, over the row indicator
//                    (hot spot 21, 15, its tip).
//   make_cursors <source dir>/resources

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cstdio>
#include <functional>

namespace {

constexpr int kSize = 32;

// The outline of the common arrow pointer, tip at (0, 0), pointing up and
// to the left.
QPolygon ArrowPointer() {
    return QPolygon({{0, 0}, {0, 16}, {4, 12}, {7, 18}, {9, 17}, {6, 11}, {11, 11}});
}

QImage Blank() {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage ReversedArrow() {
    QPolygon mirrored;
    for (const QPoint& p : ArrowPointer())
        mirrored << QPoint(kSize - 1 - p.x(), p.y());
    QImage image = Blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(mirrored);
    return image;
}

// Draws a figure twice: wide in white for the edge, then in black.
void Edged(QPainter& painter, const std::function<void(QPainter&)>& figure) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::white);
    figure(painter);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::black);
    figure(painter);
}

QImage HorzSplit() {
    QImage image = Blank();
    QPainter painter(&image);
    Edged(painter, [](QPainter& p) {
        p.drawLine(13, 7, 13, 23);
        p.drawLine(17, 7, 17, 23);
        p.drawLine(7, 15, 12, 15);
        p.drawLine(18, 15, 23, 15);
        p.drawPolygon(QPolygon({{3, 15}, {7, 11}, {7, 19}}));
        p.drawPolygon(QPolygon({{27, 15}, {23, 11}, {23, 19}}));
    });
    return image;
}

QImage ColumnNoDrag() {
    QImage image = Blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(ArrowPointer());
    Edged(painter, [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPoint(21, 22), 6, 6);
        p.drawEllipse(QPoint(21, 22), 5, 5);
        p.drawLine(17, 18, 25, 26);
    });
    return image;
}

QImage IndicatorSelect() {
    QImage image = Blank();
    QPainter painter(&image);
    Edged(painter, [](QPainter& p) {
        p.drawPolygon(
            QPolygon({{6, 13}, {15, 13}, {15, 9}, {21, 15}, {15, 21}, {15, 17}, {6, 17}}));
    });
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_cursors <resources dir>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("cursors"))) {
        std::fprintf(stderr, "cannot create %s/cursors\n", argv[1]);
        return 1;
    }
    const struct {
        const char* Name;
        QImage (*Make)();
    } cursors[] = {{"REVERSEDARROW", ReversedArrow},
                   {"HORZSPLIT", HorzSplit},
                   {"COLUMNNODRAG", ColumnNoDrag},
                   {"INDICATORSELECT", IndicatorSelect}};
    for (const auto& c : cursors) {
        const QString path =
            out.filePath(QStringLiteral("cursors/%1.png").arg(QString::fromLatin1(c.Name)));
        if (!c.Make().save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
