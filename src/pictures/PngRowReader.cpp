#include "PngRowReader.h"

#include "RowScaler.h"

#include <QColorSpace>
#include <QIODevice>

#include <png.h>

#include <csetjmp>
#include <memory>
#include <vector>

namespace {

extern "C" void readPng(png_structp png, png_bytep data, size_t length)
{
    auto *device = static_cast<QIODevice *>(png_get_io_ptr(png));
    while (length > 0) {
        const qint64 read = device->read(reinterpret_cast<char *>(data), qint64(length));
        if (read <= 0)
            png_error(png, "cut short");
        data += read;
        length -= size_t(read);
    }
}

extern "C" void ignorePngWarning(png_structp, png_const_charp) {}

extern "C" void failPng(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

QColorSpace colorSpaceOf(png_structp png, png_infop info)
{
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && length > 0)
        return QColorSpace::fromIccProfile(QByteArray(reinterpret_cast<const char *>(profile), qsizetype(length)));
    int intent = 0;
    if (png_get_sRGB(png, info, &intent))
        return QColorSpace::SRgb;
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma) && gamma > 0)
        return QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma, float(1 / gamma));
    return {};
}

// What libpng's longjmp may skip: nothing here owns anything that needs destroying, and what
// changes after setjmp is reached through a pointer.
struct Reading
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    QSize target;
    std::unique_ptr<RowScaler> scaler;
    std::vector<png_byte> row;
    QImage whole;
    std::vector<png_bytep> rowPointers;
};

void premultiply(QRgb *pixels, int count)
{
    for (int x = 0; x < count; ++x)
        pixels[x] = qPremultiply(pixels[x]);
}

// Everything between setjmp and the last libpng call; false when libpng gave up.
bool decode(Reading *reading)
{
    png_structp png = reading->png;
    png_infop info = reading->info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const auto width = int(png_get_image_width(png, info));
    const auto height = int(png_get_image_height(png, info));
    const int colorType = png_get_color_type(png, info);
    const bool opaque = !(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS);
    // Whatever the PNG holds, libpng hands on 8-bit BGRA: QImage's 32-bit layout on this machine.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if (opaque)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4 || reading->target.width() > width ||
        reading->target.height() > height)
        return false;

    reading->scaler = std::make_unique<RowScaler>(QSize(width, height), reading->target, opaque);
    if (!reading->scaler->isReady())
        return false;
    if (passes == 1) {
        reading->row.resize(size_t(width) * 4);
        auto *pixels = reinterpret_cast<QRgb *>(reading->row.data());
        for (int y = 0; y < height; ++y) {
            png_read_row(png, reading->row.data(), nullptr);
            if (!opaque)
                premultiply(pixels, width);
            reading->scaler->addRow(pixels);
        }
        return true;
    }
    reading->whole = QImage(width, height, QImage::Format_ARGB32);
    if (reading->whole.isNull())
        return false;
    reading->rowPointers.resize(size_t(height));
    for (int y = 0; y < height; ++y)
        reading->rowPointers[size_t(y)] = reading->whole.scanLine(y);
    png_read_image(png, reading->rowPointers.data());
    for (int y = 0; y < height; ++y) {
        auto *pixels = reinterpret_cast<QRgb *>(reading->whole.scanLine(y));
        if (!opaque)
            premultiply(pixels, width);
        reading->scaler->addRow(pixels);
    }
    return true;
}

} // namespace

QImage PngRowReader::read(QIODevice &device, QSize target)
{
    Reading reading;
    reading.target = target;
    reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failPng, ignorePngWarning);
    if (!reading.png)
        return {};
    reading.info = png_create_info_struct(reading.png);
    if (!reading.info) {
        png_destroy_read_struct(&reading.png, nullptr, nullptr);
        return {};
    }
    png_set_read_fn(reading.png, &device, readPng);
    const bool decoded = decode(&reading);
    const QColorSpace colorSpace = decoded ? colorSpaceOf(reading.png, reading.info) : QColorSpace();
    png_destroy_read_struct(&reading.png, &reading.info, nullptr);
    if (!decoded)
        return {};
    QImage image = reading.scaler->take();
    image.setColorSpace(colorSpace);
    return image;
}
