#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QtGlobal>

class QIODevice;

// What a picture's own header says about decoding it, read before a byte of it is decoded: its
// format (from the content, never a name), its size, and what the decoder will allocate to give it
// at a smaller size. Qt's readers cannot tell that themselves: a GIF's reader reports its first
// frame's size and allocates its whole screen, and libjpeg keeps a full-size coefficient buffer
// for a multi-scan JPEG, whatever size it decodes to. Only formats whose cost the header bounds are
// known: PNG, JPEG, GIF and BMP.
class PictureHeader
{
public:
    enum class Format { Unknown, Png, Jpeg, Gif, Bmp };

    // Reads the header from the device's current position, and leaves the device there again.
    static PictureHeader read(QIODevice &device);

    bool isValid() const { return m_format != Format::Unknown; }
    Format format() const { return m_format; }
    // The stored size, before any orientation tag turns it.
    QSize size() const { return m_size; }
    // For a JPEG: the eighths of its size it decodes at for `target` (the nearest at or above it);
    // its Exif orientation (1 to 8), and its colour profile (empty when it has none).
    int eighthsFor(QSize target) const;
    int orientation() const { return m_orientation; }
    QByteArray colorProfile() const { return m_colorProfile; }
    // The most that decoding to `target` allocates at once, in bytes.
    qint64 decodeBytes(QSize target) const;

private:
    struct Component
    {
        int h = 1;
        int v = 1;
    };

    static PictureHeader readPng(QIODevice &device);
    static PictureHeader readJpeg(QIODevice &device);
    static PictureHeader readGif(QIODevice &device);
    static PictureHeader readBmp(QIODevice &device);
    qint64 coefficientBytes() const;

    Format m_format = Format::Unknown;
    QSize m_size;
    // PNG: decoded whole before it is scaled.
    bool m_interlaced = false;
    // JPEG: every scan's coefficients are kept until the last one.
    bool m_multiScan = false;
    QList<Component> m_components;
    int m_orientation = 0;
    QByteArray m_colorProfile;
    // BMP: bytes a decoded pixel takes.
    int m_pixelBytes = 4;
};
