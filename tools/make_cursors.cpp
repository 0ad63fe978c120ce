// Generator of the grid's reversed-arrow cursor: the arrow pointer mirrored,
// its tip at the top right corner of a 32 x 32 picture, black with a white
// edge on a transparent ground.
//   make_cursors <source dir>/resources

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cstdio>

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
    // The outline of the common arrow pointer, tip at (0, 0), pointing up
    // and to the left.
    const QPoint arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 18}, {9, 17}, {6, 11}, {11, 11}};
    constexpr int size = 32;
    QPolygon mirrored;
    for (const QPoint& p : arrow)
        mirrored << QPoint(size - 1 - p.x(), p.y());

    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::black);
        painter.drawPolygon(mirrored);
    }
    const QString path = out.filePath(QStringLiteral("cursors/REVERSEDARROW.png"));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
