// Feeds arbitrary bytes to the JPEG decoder: it must return a picture or raise
// EReadError, and never crash, hang, leak or touch memory it does not own.

#include "Exceptions.h"
#include "Jpeg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage image = DecodeJpeg(bytes);
        // A picture that decodes must be what the caller was promised.
        if (image.isNull() || image.format() != QImage::Format_RGB32 ||
            image.width() > kMaxJpegSide || image.height() > kMaxJpegSide)
            std::abort();
    } catch (const EReadError&) {
    }
    return 0;
}
