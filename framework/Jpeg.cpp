#include "framework/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// The library's default ends the process; jump back to the decoder instead.
[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// A file that ends early is only a warning to libjpeg (it pads the rest with
// grey); a cut download must not pass for a picture, so that one is fatal.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ErrorExit(cinfo);
    if (level < 0) cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr) {}

// Runs the decoder; returns an empty string on success, else the reason.
// Only plain data lives across setjmp here, and the QImage is created
// before it, so the longjmp skips no destructor.
bool DecodeInto(const unsigned char* data, unsigned long size, QImage& image, char* why, size_t whySize)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.message[0] = 0;

    volatile bool created = false;
    if (setjmp(err.jump)) {
        std::snprintf(why, whySize, "%s", err.message[0] ? err.message : "corrupt JPEG data");
        if (created) jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    created = true;
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);

    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(kJpegMaxSide) ||
        cinfo.image_height > unsigned(kJpegMaxSide) ||
        (long long)cinfo.image_width * cinfo.image_height > kJpegMaxPixels) {
        std::snprintf(why, whySize, "JPEG image size %ux%u is not supported", cinfo.image_width, cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);

    if (image.width() != int(cinfo.output_width) || image.height() != int(cinfo.output_height)) {
        // Cannot allocate here (a longjmp could skip the QImage's release);
        // the caller allocates from the header size, which equals the output
        // size at scale 1.
        std::snprintf(why, whySize, "unexpected JPEG output size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool adobeInverted = cmyk && cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) {
            // In place: 4 bytes C M Y K become B G R X of the same width.
            unsigned char* p = row;
            for (unsigned x = 0; x < cinfo.output_width; ++x, p += 4) {
                int c = p[0], m = p[1], y = p[2], k = p[3];
                if (!adobeInverted) { c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k; }
                p[0] = (unsigned char)(y * k / 255);
                p[1] = (unsigned char)(m * k / 255);
                p[2] = (unsigned char)(c * k / 255);
                p[3] = 255;
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Reads width and height from the header alone.
bool ReadSize(const unsigned char* data, unsigned long size, unsigned& w, unsigned& h, char* why, size_t whySize)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.message[0] = 0;
    volatile bool created = false;
    if (setjmp(err.jump)) {
        std::snprintf(why, whySize, "%s", err.message[0] ? err.message : "corrupt JPEG data");
        if (created) jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    created = true;
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    w = cinfo.image_width;
    h = cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    if (bytes.size() < 4 || quint8(bytes[0]) != 0xFF || quint8(bytes[1]) != 0xD8 || quint8(bytes[2]) != 0xFF)
        throw EImageError(QStringLiteral("The data is not a JPEG image"));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = (unsigned long)bytes.size();
    char why[JMSG_LENGTH_MAX + 64] = {0};
    unsigned w = 0, h = 0;
    if (!ReadSize(data, size, w, h, why, sizeof why))
        throw EImageError(QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(why)));
    if (w == 0 || h == 0 || w > unsigned(kJpegMaxSide) || h > unsigned(kJpegMaxSide) ||
        (long long)w * h > kJpegMaxPixels)
        throw EImageError(QStringLiteral("JPEG image size %1x%2 is not supported").arg(w).arg(h));
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) throw EImageError(QStringLiteral("Not enough memory for a %1x%2 image").arg(w).arg(h));
    if (!DecodeInto(data, size, image, why, sizeof why))
        throw EImageError(QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(why)));
    return image;
}
