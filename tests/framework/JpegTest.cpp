#include "Jpeg.h"
#include "Exceptions.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <vector>

namespace {

QString Resource(const char* relative) {
    return QStringLiteral(CALLERID_SOURCE_DIR "/resources/") + QLatin1String(relative);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

QByteArray EncodeWithQt(const QImage& image, int quality = 95) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

// Four flat quadrants in colours that differ in every channel, so that a
// swapped or dropped channel shows.
QImage Quadrants() {
    QImage image(64, 48, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 32, 24, QColor(220, 30, 40));
    p.fillRect(32, 0, 32, 24, QColor(30, 200, 60));
    p.fillRect(0, 24, 32, 24, QColor(40, 60, 210));
    p.fillRect(32, 24, 32, 24, QColor(250, 240, 120));
    return image;
}

::testing::AssertionResult Near(QRgb actual, QRgb expected, int tolerance = 12) {
    const int d = std::max({std::abs(qRed(actual) - qRed(expected)),
                            std::abs(qGreen(actual) - qGreen(expected)),
                            std::abs(qBlue(actual) - qBlue(expected))});
    if (d <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << qRed(actual) << "," << qGreen(actual) << "," << qBlue(actual) << " want "
           << qRed(expected) << "," << qGreen(expected) << "," << qBlue(expected);
}

void ExpectReadError(const QByteArray& data, const char* what) {
    try {
        DecodeJpeg(data);
        ADD_FAILURE() << what << ": decoded without error";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().startsWith(QLatin1String("JPEG error: ")))
            << what << ": " << e.Message().toStdString();
    }
}

// Patches the picture size in the frame header (SOF0..SOF2) of a JPEG file.
QByteArray WithFrameSize(QByteArray data, int width, int height) {
    for (qsizetype i = 2; i + 9 < data.size(); ++i) {
        const auto marker = static_cast<unsigned char>(data[i + 1]);
        if (static_cast<unsigned char>(data[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2) {
            data[i + 5] = char(height >> 8);
            data[i + 6] = char(height & 0xFF);
            data[i + 7] = char(width >> 8);
            data[i + 8] = char(width & 0xFF);
            return data;
        }
    }
    ADD_FAILURE() << "no frame header";
    return data;
}

// A CMYK file as print software writes it: inverted samples and an Adobe
// marker. Qt cannot write one, so libjpeg is called directly.
QByteArray EncodeInvertedCmyk(const unsigned char cmyk[4], int width, int height) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(width) * 4);
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c)
            row[size_t(x) * 4 + size_t(c)] = 255 - cmyk[c];
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray result(reinterpret_cast<const char*>(out), qsizetype(outSize));
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return result;
}

} // namespace

TEST(Jpeg, ShippedPicturesDecodeAtTheirSizes) {
    const QImage guide = DecodeJpeg(ReadAll(Resource("pictures/guide.jpg")));
    EXPECT_EQ(guide.size(), QSize(1024, 785));
    EXPECT_EQ(guide.format(), QImage::Format_RGB32);
    const QImage settings = LoadJpegResource(Resource("pictures/settings.jpg"));
    EXPECT_EQ(settings.size(), QSize(980, 936));
    EXPECT_EQ(settings.format(), QImage::Format_RGB32);
    // Our decoder and Qt's own agree on every picture, pixel for pixel within
    // rounding of the two upsampling paths.
    for (const char* name : {"pictures/guide.jpg", "pictures/settings.jpg"}) {
        const QImage ours = LoadJpegResource(Resource(name));
        const QImage qt = QImage(Resource(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(ours.size(), qt.size());
        int worst = 0;
        for (int y = 0; y < ours.height(); y += 7)
            for (int x = 0; x < ours.width(); x += 5) {
                const QRgb a = ours.pixel(x, y), b = qt.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, 4) << name;
    }
}

TEST(Jpeg, ColourAndGreyPicturesRoundTrip) {
    const QImage colour = DecodeJpeg(EncodeWithQt(Quadrants()));
    ASSERT_EQ(colour.size(), QSize(64, 48));
    EXPECT_EQ(colour.format(), QImage::Format_RGB32);
    EXPECT_TRUE(Near(colour.pixel(12, 10), qRgb(220, 30, 40)));
    EXPECT_TRUE(Near(colour.pixel(50, 10), qRgb(30, 200, 60)));
    EXPECT_TRUE(Near(colour.pixel(12, 38), qRgb(40, 60, 210)));
    EXPECT_TRUE(Near(colour.pixel(50, 38), qRgb(250, 240, 120)));
    EXPECT_EQ(qAlpha(colour.pixel(0, 0)), 255);

    // An odd size and a one-component file.
    QImage grey(37, 21, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar(x < 18 ? 40 : 200);
    const QByteArray greyFile = EncodeWithQt(grey);
    QBuffer buffer;
    buffer.setData(greyFile);
    ASSERT_EQ(QImageReader(&buffer, "jpg").read().format(), QImage::Format_Grayscale8)
        << "the writer did not make a one-component file";
    const QImage decoded = DecodeJpeg(greyFile);
    ASSERT_EQ(decoded.size(), QSize(37, 21));
    EXPECT_TRUE(Near(decoded.pixel(5, 10), qRgb(40, 40, 40)));
    EXPECT_TRUE(Near(decoded.pixel(32, 10), qRgb(200, 200, 200)));
}

TEST(Jpeg, InvertedCmykBecomesRgb) {
    const unsigned char cyan[4] = {255, 0, 0, 0};
    const QImage a = DecodeJpeg(EncodeInvertedCmyk(cyan, 16, 16));
    EXPECT_TRUE(Near(a.pixel(8, 8), qRgb(0, 255, 255)));
    const unsigned char darkRed[4] = {0, 255, 255, 128};
    const QImage b = DecodeJpeg(EncodeInvertedCmyk(darkRed, 16, 16));
    EXPECT_TRUE(Near(b.pixel(8, 8), qRgb(127, 0, 0)));
}

TEST(Jpeg, DamagedFilesRaiseReadError) {
    const QByteArray guide = ReadAll(Resource("pictures/guide.jpg"));
    ASSERT_GT(guide.size(), 1000);
    // Cut in the middle of the picture data: libjpeg would pad with grey and
    // only warn; the decoder must refuse.
    ExpectReadError(guide.left(guide.size() / 2), "half a file");
    ExpectReadError(guide.left(guide.size() - 2), "file without its end marker");
    ExpectReadError(guide.left(300), "header only");
    ExpectReadError(QByteArray(), "empty");
    ExpectReadError(QByteArray("GIF89a this is not a JPEG file at all"), "garbage");
    ExpectReadError(QByteArray::fromHex("ffd8ffd9"), "start and end markers only");
    // Start of a file followed by noise.
    QByteArray noise = QByteArray::fromHex("ffd8ffe0");
    for (int i = 0; i < 4000; ++i)
        noise.append(char((i * 7919 + 13) & 0xFF));
    ExpectReadError(noise, "noise");
}

TEST(Jpeg, OversizedHeadersAreRefusedBeforeDecoding) {
    const QByteArray small = EncodeWithQt(Quadrants());
    for (const QSize size : {QSize(20000, 10), QSize(10, 16385), QSize(16384, 16384)}) {
        try {
            DecodeJpeg(WithFrameSize(small, size.width(), size.height()));
            ADD_FAILURE() << size.width() << "x" << size.height() << " decoded";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String("too large"))) << e.what();
        }
    }
    // Within the limits the size is accepted and the missing data is what fails.
    try {
        DecodeJpeg(WithFrameSize(small, 4000, 3000));
        ADD_FAILURE() << "decoded a file whose data does not fill its size";
    } catch (const EReadError& e) {
        EXPECT_FALSE(e.Message().contains(QLatin1String("too large"))) << e.what();
    }
}

TEST(Jpeg, LoadingReportsMissingFilesAndNamesBadOnes) {
    EXPECT_THROW(LoadJpegResource(Resource("pictures/no-such-picture.jpg")), EResNotFound);
    EXPECT_THROW(LoadJpegResource(QStringLiteral(":/no/such/resource.jpg")), EResNotFound);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bad = dir.filePath(QStringLiteral("bad.jpg"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ReadAll(Resource("pictures/settings.jpg")).left(5000));
    f.close();
    try {
        LoadJpegResource(bad);
        ADD_FAILURE() << "a truncated file loaded";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().startsWith(QLatin1String("JPEG error: ")));
        EXPECT_TRUE(e.Message().contains(bad)) << e.what();
    }
}
