#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// Scales a picture down as its rows come, one at a time, by the mean of the source pixels that fall
// in each target pixel: memory for the target and one row of sums, never the whole source. It runs
// on the calling thread alone: QImage's own smooth scaling and conversions of a large picture
// spread over Qt's global pool, on which the window's drawing waits.
class RowScaler
{
public:
    // `target` no larger than `source` on either side. Rows come as 32-bit pixels: opaque
    // (QImage::Format_RGB32) or premultiplied (QImage::Format_ARGB32_Premultiplied).
    RowScaler(QSize source, QSize target, bool opaque);

    // False when the target could not be allocated, or is larger than the source.
    bool isReady() const { return !m_image.isNull(); }
    // The next row of the source, source.width() pixels.
    void addRow(const QRgb *pixels);
    // The picture, once every row has come.
    QImage take();

    // `image`, in any format, at `target` and 32 bits a pixel; a null image when it cannot be had.
    static QImage scaled(const QImage &image, QSize target);

private:
    void flush();

    QSize m_source;
    QImage m_image;
    // For each target column, how many source columns fall in it.
    std::vector<int> m_columnWidth;
    std::vector<quint64> m_sums;
    int m_row = 0;
    int m_targetRow = 0;
    int m_rowsSummed = 0;
};
