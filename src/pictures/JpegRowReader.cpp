#include "JpegRowReader.h"

#include "PictureHeader.h"
#include "RowScaler.h"

#include <QColorSpace>
#include <QIODevice>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr size_t bufferSize = 4096;

struct Source : jpeg_source_mgr
{
    QIODevice *device = nullptr;
    JOCTET buffer[bufferSize];
};

struct Errors : jpeg_error_mgr
{
    std::jmp_buf jump;
};

// Everything libjpeg's longjmp may leave behind, owned outside the frame that calls setjmp.
struct Reading
{
    jpeg_decompress_struct info{};
    Errors errors{};
    Source source{};
    std::unique_ptr<RowScaler> scaler;
    std::vector<JSAMPLE> row;
};

extern "C" void initJpegSource(j_decompress_ptr) {}
extern "C" void termJpegSource(j_decompress_ptr) {}

extern "C" boolean fillJpegInput(j_decompress_ptr info)
{
    auto *source = static_cast<Source *>(info->src);
    const qint64 read = source->device->read(reinterpret_cast<char *>(source->buffer), qint64(bufferSize));
    if (read <= 0) {
        // A file cut short ends as if its end had come: libjpeg fills the rest of the picture.
        source->buffer[0] = 0xff;
        source->buffer[1] = JPEG_EOI;
        source->bytes_in_buffer = 2;
    } else {
        source->bytes_in_buffer = size_t(read);
    }
    source->next_input_byte = source->buffer;
    return TRUE;
}

extern "C" void skipJpegInput(j_decompress_ptr info, long count)
{
    auto *source = static_cast<Source *>(info->src);
    while (count > long(source->bytes_in_buffer)) {
        count -= long(source->bytes_in_buffer);
        fillJpegInput(info);
    }
    if (count > 0) {
        source->next_input_byte += count;
        source->bytes_in_buffer -= size_t(count);
    }
}

extern "C" void failJpeg(j_common_ptr info)
{
    std::longjmp(static_cast<Errors *>(info->err)->jump, 1);
}

extern "C" void ignoreJpegMessage(j_common_ptr) {}
extern "C" void ignoreJpegWarning(j_common_ptr, int) {}

// Exif's eight orientations, as Qt's own reader applies them: a mirror, a flip, then a quarter
// turn clockwise; or three quarters.
QImage upright(QImage image, int orientation)
{
    if (orientation == 8)
        return image.transformed(QTransform().rotate(270));
    const bool mirror = orientation == 2 || orientation == 3 || orientation == 7;
    const bool flip = orientation == 3 || orientation == 4 || orientation == 5;
    if (mirror || flip)
        image = std::move(image).mirrored(mirror, flip);
    if (orientation >= 5 && orientation <= 7)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// libjpeg from setjmp on; false when it gave up.
bool decode(Reading *reading, int eighths, QSize target, qint64 maxBytes)
{
    j_decompress_ptr info = &reading->info;
    if (setjmp(reading->errors.jump))
        return false;
    jpeg_create_decompress(info);
    // Whatever the header said, libjpeg fails rather than take more.
    info->mem->max_memory_to_use = long(maxBytes);
    info->src = &reading->source;
    jpeg_read_header(info, TRUE);
    info->scale_num = unsigned(eighths);
    info->scale_denom = 8;
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    // Four bytes a pixel either way: BGRX is QImage's 32-bit layout on this machine.
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(info);
    const QSize decoded(int(info->output_width), int(info->output_height));
    if (info->output_components != 4 || decoded.width() < target.width() || decoded.height() < target.height())
        return false;
    reading->scaler = std::make_unique<RowScaler>(decoded, target, true);
    if (!reading->scaler->isReady())
        return false;
    reading->row.resize(size_t(decoded.width()) * 4);
    JSAMPROW row = reading->row.data();
    auto *pixels = reinterpret_cast<QRgb *>(row);
    while (info->output_scanline < info->output_height) {
        jpeg_read_scanlines(info, &row, 1);
        for (int x = 0; cmyk && x < decoded.width(); ++x) {
            // As Qt's reader takes CMYK: inverted, as Adobe writes it.
            const JSAMPLE *in = row + 4 * x;
            const int k = in[3];
            pixels[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
        }
        reading->scaler->addRow(pixels);
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

QImage JpegRowReader::read(QIODevice &device, const PictureHeader &header, QSize target, qint64 maxBytes)
{
    auto reading = std::make_unique<Reading>();
    reading->info.err = jpeg_std_error(&reading->errors);
    reading->errors.error_exit = failJpeg;
    reading->errors.output_message = ignoreJpegMessage;
    reading->errors.emit_message = ignoreJpegWarning;
    reading->source.device = &device;
    reading->source.init_source = initJpegSource;
    reading->source.fill_input_buffer = fillJpegInput;
    reading->source.skip_input_data = skipJpegInput;
    reading->source.resync_to_restart = jpeg_resync_to_restart;
    reading->source.term_source = termJpegSource;
    const bool decoded = decode(reading.get(), header.eighthsFor(target), target, maxBytes);
    jpeg_destroy_decompress(&reading->info);
    if (!decoded)
        return {};
    QImage image = reading->scaler->take();
    if (!header.colorProfile().isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(header.colorProfile()));
    return upright(std::move(image), header.orientation());
}
