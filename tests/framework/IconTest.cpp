// The icon files: what each holds, checked both by reading the ICO structure
// directly and through Qt's reader, which is what the windows use.

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

QString Resource(const QString& relative) {
    return QStringLiteral(CALLERID_SOURCE_DIR "/resources/") + relative;
}

using SizeDepth = std::pair<int, int>; // pixels square, bits per pixel

quint16 U16(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint16>(d.constData() + at);
}
quint32 U32(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint32>(d.constData() + at);
}

// Reads the icon directory and every BMP entry's header, checking that the
// two agree and that each entry's colour rows, palette and mask fit exactly
// in the bytes the directory gives it.
std::vector<SizeDepth> ParseIco(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray d = f.readAll();
    std::vector<SizeDepth> result;
    if (d.size() < 6) {
        ADD_FAILURE() << "too short";
        return result;
    }
    EXPECT_EQ(U16(d, 0), 0);
    EXPECT_EQ(U16(d, 2), 1) << "not an icon";
    const int count = U16(d, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + 16 * i;
        if (e + 16 > d.size()) {
            ADD_FAILURE() << "directory runs past the end";
            break;
        }
        const int w = uchar(d[e]) ? uchar(d[e]) : 256, h = uchar(d[e + 1]) ? uchar(d[e + 1]) : 256;
        const int colours = uchar(d[e + 2]);
        const int bpp = U16(d, e + 6);
        const quint32 bytes = U32(d, e + 8), offset = U32(d, e + 12);
        if (qint64(offset) + bytes > d.size() || bytes < 40) {
            ADD_FAILURE() << "entry " << i << " outside the file";
            continue;
        }
        EXPECT_EQ(U32(d, offset), 40u) << "entry " << i << " is not a BMP entry";
        EXPECT_EQ(int(U32(d, offset + 4)), w);
        EXPECT_EQ(int(U32(d, offset + 8)), 2 * h) << "colour rows plus mask rows";
        EXPECT_EQ(U16(d, offset + 14), bpp);
        EXPECT_EQ(colours, bpp == 4 ? 16 : 0);
        const int palette = bpp <= 8 ? (1 << bpp) * 4 : 0;
        const int xorBytes = ((w * bpp + 31) / 32) * 4 * h;
        const int andBytes = ((w + 31) / 32) * 4 * h;
        EXPECT_EQ(bytes, quint32(40 + palette + xorBytes + andBytes)) << "entry " << i;
        EXPECT_EQ(w, h);
        result.emplace_back(w, bpp);
    }
    return result;
}

void ExpectIcon(const QString& name, std::vector<SizeDepth> expected) {
    SCOPED_TRACE(name.toStdString());
    const QString path = Resource(QStringLiteral("icons/") + name);
    std::vector<SizeDepth> found = ParseIco(path);
    std::vector<SizeDepth> inQt;

    QImageReader reader(path);
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    ASSERT_EQ(reader.imageCount(), int(expected.size()));
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << "image " << i;
        ASSERT_EQ(image.width(), image.height());
        inQt.emplace_back(image.width(), image.text(QStringLiteral("_q_icoOrigDepth")).toInt());
        // The mask must leave a visible picture with a transparent surround:
        // a mask of all ones or all zeros is a broken icon.
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        int opaque = 0, clear = 0;
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                (qAlpha(argb.pixel(x, y)) > 127 ? opaque : clear)++;
        const int all = argb.width() * argb.height();
        EXPECT_GT(opaque, all / 4) << "image " << i;
        EXPECT_GT(clear, all / 20) << "image " << i;
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    std::sort(inQt.begin(), inQt.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(inQt, expected);
}

} // namespace

TEST(Icons, ApplicationIconHoldsThreeSizesAtTwoDepths) {
    ExpectIcon(QStringLiteral("app.ico"),
               {{16, 8}, {32, 8}, {48, 8}, {16, 32}, {32, 32}, {48, 32}});
}

TEST(Icons, GuideIconIsOneSixteenColourImage) {
    ExpectIcon(QStringLiteral("guide.ico"), {{16, 4}});
}

TEST(Icons, HelpIconHoldsSevenImages) {
    ExpectIcon(QStringLiteral("help.ico"),
               {{16, 32}, {32, 32}, {48, 32}, {16, 8}, {32, 8}, {48, 8}, {16, 4}});
}

// Every file the resource list names is there, and the pictures and icons
// are all listed, so the build cannot silently ship without one.
TEST(Icons, ResourceListNamesExistingFiles) {
    QFile qrc(Resource(QStringLiteral("resources.qrc")));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&qrc);
    QStringList files;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
            files << xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(Resource(f))) << f.toStdString();
    for (const char* needed : {"pictures/guide.jpg", "pictures/settings.jpg", "icons/app.ico",
                               "icons/guide.ico", "icons/help.ico"})
        EXPECT_TRUE(files.contains(QLatin1String(needed))) << needed;
}
