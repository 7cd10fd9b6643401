#include "RowScaler.h"

#include <QColorSpace>

#include <algorithm>

RowScaler::RowScaler(QSize source, QSize target, bool opaque)
    : m_source(source), m_image(target, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied)
{
    if (source.width() < target.width() || source.height() < target.height()) {
        m_image = QImage();
        return;
    }
    if (m_image.isNull())
        return;
    m_columnWidth.assign(size_t(target.width()), 0);
    for (int x = 0; x < source.width(); ++x)
        ++m_columnWidth[size_t(qint64(x) * target.width() / source.width())];
    m_sums.assign(size_t(target.width()) * 4, 0);
}

void RowScaler::addRow(const QRgb *pixels)
{
    if (m_image.isNull() || m_row >= m_source.height())
        return;
    const int targetRow = int(qint64(m_row) * m_image.height() / m_source.height());
    if (targetRow != m_targetRow)
        flush();
    m_targetRow = targetRow;
    // Each target column takes a run of source columns that follow one another.
    const QRgb *pixel = pixels;
    quint64 *sum = m_sums.data();
    for (const int width : m_columnWidth) {
        quint64 alpha = 0, red = 0, green = 0, blue = 0;
        for (const QRgb *end = pixel + width; pixel < end; ++pixel) {
            alpha += qAlpha(*pixel);
            red += qRed(*pixel);
            green += qGreen(*pixel);
            blue += qBlue(*pixel);
        }
        sum[0] += alpha;
        sum[1] += red;
        sum[2] += green;
        sum[3] += blue;
        sum += 4;
    }
    ++m_rowsSummed;
    ++m_row;
}

void RowScaler::flush()
{
    if (m_rowsSummed == 0)
        return;
    auto *out = reinterpret_cast<QRgb *>(m_image.scanLine(m_targetRow));
    for (int x = 0; x < m_image.width(); ++x) {
        quint64 *sum = &m_sums[size_t(x) * 4];
        const quint64 count = quint64(m_columnWidth[size_t(x)]) * quint64(m_rowsSummed);
        const auto mean = [count](quint64 total) { return int((total + count / 2) / count); };
        out[x] = qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
        std::fill(sum, sum + 4, 0);
    }
    m_rowsSummed = 0;
}

QImage RowScaler::take()
{
    flush();
    if (m_row < m_source.height())
        return {};
    return std::move(m_image);
}

QImage RowScaler::scaled(const QImage &image, QSize target)
{
    if (image.isNull() || target.isEmpty())
        return {};
    const bool opaque = !image.hasAlphaChannel();
    const QImage::Format format = opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    if (image.format() == format && image.size() == target)
        return image;
    RowScaler scaler(image.size(), target, opaque);
    if (!scaler.isReady())
        return {};
    for (int y = 0; y < image.height(); ++y) {
        if (image.format() == format) {
            scaler.addRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)));
            continue;
        }
        // One row at a time: a conversion this small stays on this thread.
        QImage row(image.constScanLine(y), image.width(), 1, image.bytesPerLine(), image.format());
        row.setColorTable(image.colorTable());
        row.convertTo(format);
        scaler.addRow(reinterpret_cast<const QRgb *>(row.constScanLine(0)));
    }
    QImage result = scaler.take();
    result.setColorSpace(image.colorSpace());
    return result;
}
