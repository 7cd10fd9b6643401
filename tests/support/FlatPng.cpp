#include "FlatPng.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

extern "C" void appendPng(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

extern "C" void flushPng(png_structp) {}

// Between setjmp and the last libpng call nothing needs destroying.
bool write(png_structp png, png_infop info, QByteArray *out, QSize size, int bits, bool interlaced,
           std::vector<png_byte> *row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendPng, flushPng);
    // All bytes alike: run-length coding takes a row of them to a few bytes.
    png_set_compression_strategy(png, 3 /* Z_RLE */);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(size.width()), png_uint_32(size.height()), bits, PNG_COLOR_TYPE_RGB,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    row->assign(png_get_rowbytes(png, info), 0x80);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < size.height(); ++y)
            png_write_row(png, row->data());
    }
    png_write_end(png, info);
    return true;
}

} // namespace

QByteArray FlatPng::encode(QSize size, int bitsPerChannel, bool interlaced)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    QByteArray out;
    std::vector<png_byte> row;
    const bool written = info && write(png, info, &out, size, bitsPerChannel, interlaced, &row);
    png_destroy_write_struct(&png, &info);
    return written ? out : QByteArray();
}
