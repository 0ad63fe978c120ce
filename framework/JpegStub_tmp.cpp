#include <QImage>
#include <QString>
QImage LoadJpegResource(const QString& path) {
    return QImage(path);
}
