#include "Jpeg.h"

#include "Exceptions.h"

#include <QFile>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return.
// We leave it with longjmp back into the stage that called libjpeg. A longjmp
// that jumps over a C++ object with a destructor is undefined behaviour, so
// the stages that set the jump point (StartDecode, ReadPixels) hold nothing
// but plain data, and every C++ object stays in DecodeJpeg, whose frame the
// jump never crosses.

namespace {

// A progressive file may hold any number of scans and each one costs a full
// pass over the picture; a few hundred is far more than any real encoder
// writes, and the cap stops a small file from tying the decoder up for
// minutes.
constexpr int kMaxScans = 500;
// Working memory libjpeg may hold at once (progressive coefficient buffers
// and the like); beyond it decoding fails instead of swapping.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

struct JpegErrorManager {
    jpeg_error_mgr pub; // first member: libjpeg passes us a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct DecodeState {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    jpeg_progress_mgr progress;
    int cmykInverted; // Adobe writers store CMYK inverted
};

JpegErrorManager* ErrorManager(j_common_ptr cinfo) {
    return reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void Fail(j_common_ptr cinfo) {
    JpegErrorManager* err = ErrorManager(cinfo);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void ErrorExit(j_common_ptr cinfo) {
    Fail(cinfo);
}

// Warnings (level -1) mostly mean corrupt data that libjpeg would paper over
// with grey blocks (a truncated file, a damaged Huffman code). A picture the
// tool shows should be whole, so those count as errors; only the warnings
// about harmless header oddities are let through. Trace messages (level >= 0)
// are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    switch (cinfo->err->msg_code) {
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC:
        return;
    default:
        Fail(cinfo);
    }
}

void OutputMessage(j_common_ptr) {}

void CheckProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxScans) {
        JpegErrorManager* err = ErrorManager(cinfo);
        std::snprintf(err->message, sizeof err->message, "More than %d scans", kMaxScans);
        std::longjmp(err->jump, 1);
    }
}

enum StartResult { srStarted, srFailed };

// Creates the decoder, reads the header, checks the picture's size and starts
// decompression. Only plain data in this frame (see above).
StartResult StartDecode(DecodeState* s, const unsigned char* data, unsigned long size) {
    if (setjmp(s->err.jump)) return srFailed;

    jpeg_create_decompress(&s->cinfo);
    // jpeg_create_decompress clears everything but the error manager.
    s->progress.progress_monitor = CheckProgress;
    s->cinfo.progress = &s->progress;
    s->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;

    jpeg_mem_src(&s->cinfo, data, size);
    jpeg_read_header(&s->cinfo, TRUE);

    const JDIMENSION width = s->cinfo.image_width;
    const JDIMENSION height = s->cinfo.image_height;
    if (width > static_cast<JDIMENSION>(kMaxJpegSide) ||
        height > static_cast<JDIMENSION>(kMaxJpegSide) ||
        static_cast<long long>(width) * height > kMaxJpegPixels) {
        std::snprintf(s->err.message, sizeof s->err.message,
                      "Picture of %u x %u pixels is too large", static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        return srFailed;
    }

    switch (s->cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        s->cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        s->cinfo.out_color_space = JCS_CMYK;
        s->cmykInverted = s->cinfo.saw_Adobe_marker ? 1 : 0;
        break;
    default:
        s->cinfo.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&s->cinfo);
    return srStarted;
}

inline QRgb CmykToRgb(int c, int m, int y, int k, int inverted) {
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

// Reads every scan line into the image bits (RGB32 rows of bytesPerLine) and
// finishes decompression. Only plain data in this frame (see above).
bool ReadPixels(DecodeState* s, unsigned char* bits, long long bytesPerLine) {
    if (setjmp(s->err.jump)) return false;

    j_decompress_ptr c = &s->cinfo;
    const JDIMENSION width = c->output_width;
    const int components = c->output_components;
    // The row buffer belongs to libjpeg's image pool and goes with the decoder.
    JSAMPARRAY row = (*c->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE,
                                             width * static_cast<JDIMENSION>(components), 1);
    while (c->output_scanline < c->output_height) {
        const JDIMENSION y = c->output_scanline;
        if (jpeg_read_scanlines(c, row, 1) != 1) {
            // A memory source never suspends; be safe rather than loop forever.
            std::snprintf(s->err.message, sizeof s->err.message, "Unexpected end of data");
            return false;
        }
        const JSAMPLE* in = row[0];
        QRgb* out = reinterpret_cast<QRgb*>(bits + static_cast<long long>(y) * bytesPerLine);
        switch (components) {
        case 1:
            for (JDIMENSION x = 0; x < width; ++x)
                out[x] = qRgb(in[x], in[x], in[x]);
            break;
        case 3:
            for (JDIMENSION x = 0; x < width; ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
            break;
        case 4:
            for (JDIMENSION x = 0; x < width; ++x, in += 4)
                out[x] = CmykToRgb(in[0], in[1], in[2], in[3], s->cmykInverted);
            break;
        default:
            std::snprintf(s->err.message, sizeof s->err.message, "Unsupported colour layout");
            return false;
        }
    }
    jpeg_finish_decompress(c);
    return true;
}

// Frees the decoder however DecodeJpeg is left. jpeg_destroy_decompress copes
// with a decoder whose creation failed half-way (its memory manager is null).
class DecoderGuard {
public:
    explicit DecoderGuard(DecodeState& state) : FState(state) {}
    ~DecoderGuard() { jpeg_destroy_decompress(&FState.cinfo); }
    DecoderGuard(const DecoderGuard&) = delete;
    DecoderGuard& operator=(const DecoderGuard&) = delete;

private:
    DecodeState& FState;
};

[[noreturn]] void RaiseJpegError(const char* message) {
    throw EReadError(QStringLiteral("JPEG error: %1").arg(QString::fromLatin1(message)));
}

} // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (static_cast<unsigned long long>(data.size()) > ULONG_MAX) RaiseJpegError("File too large");

    DecodeState state;
    std::memset(&state, 0, sizeof state);
    state.cinfo.err = jpeg_std_error(&state.err.pub);
    state.err.pub.error_exit = ErrorExit;
    state.err.pub.emit_message = EmitMessage;
    state.err.pub.output_message = OutputMessage;
    DecoderGuard guard(state);

    if (StartDecode(&state, reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size())) != srStarted)
        RaiseJpegError(state.err.message);

    const int width = static_cast<int>(state.cinfo.output_width);
    const int height = static_cast<int>(state.cinfo.output_height);
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) RaiseJpegError("Not enough memory for the picture");

    if (!ReadPixels(&state, image.bits(), image.bytesPerLine())) RaiseJpegError(state.err.message);
    return image;
}

QImage LoadJpegResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(path));
    const QByteArray data = file.readAll();
    try {
        return DecodeJpeg(data);
    } catch (const EReadError& e) {
        throw EReadError(QStringLiteral("%1 (%2)").arg(e.Message(), path));
    }
}
