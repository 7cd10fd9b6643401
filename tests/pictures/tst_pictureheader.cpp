#include "BoundedPictureReader.h"
#include "CameraPhoto.h"
#include "CraftedPictures.h"
#include "PictureHeader.h"

#include <QBuffer>
#include <QColorSpace>
#include <QTest>
#include <QtEndian>

namespace {

constexpr qint64 MiB = 1024 * 1024;
const BoundedPictureReader::Limits network{.maxBytes = 128 * MiB, .maxShorterSide = 512};

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(value, bytes.data());
    return bytes;
}

// No more of a PNG than its signature and header.
QByteArray pngHeader(int side, char depth, char colour, bool interlaced)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(quint32(side)) + be32(quint32(side)) + depth +
           colour + QByteArray(2, '\0') + char(interlaced) + be32(0);
}

QByteArray bmpHeader(int side, int bits)
{
    QByteArray info(40, '\0');
    qToLittleEndian<qint32>(40, info.data());
    qToLittleEndian<qint32>(side, info.data() + 4);
    qToLittleEndian<qint32>(-side, info.data() + 8);
    qToLittleEndian<quint16>(1, info.data() + 12);
    qToLittleEndian<quint16>(quint16(bits), info.data() + 14);
    return "BM" + QByteArray(12, '\0') + info;
}

} // namespace

// What a picture's header tells before anything is decoded: its format by content, its size, and
// what decoding it as a network picture (its shorter side at most 512) costs. The cost is never
// below what reading the same file was measured to take here, with Qt 6.4.2, libjpeg-turbo 2.1.5
// and libpng 1.6.39 (the growth of the peak resident memory while BoundedPictureReader read it
// with its bound lifted; for the 16,000-pixel GIF, which Qt's own limit then still refused, while
// QImageReader read it with Qt's limit raised), and not far above it.
class TestPictureHeader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void costIsReadFromTheHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");         // empty: not a picture it takes
        QTest::addColumn<double>("measuredMiB"); // what Qt allocated; 0 where no Qt reader is used
        QTest::addColumn<bool>("refused");       // by the network's bound of 128 MiB
        QTest::newRow("GIF: 35 bytes, 16000 screen, 1x1 frame")
            << CraftedPictures::gif(16000, 0) << QSize(16000, 16000) << 977.0 << true;
        QTest::newRow("GIF: empty screen, frame reaching 4000")
            << CraftedPictures::gif(0, 3999) << QSize(4000, 4000) << 62.2 << false;
        QTest::newRow("progressive JPEG, 4:4:4, 8000")
            << CraftedPictures::jpeg(8000, true, 0x11) << QSize(8000, 8000) << 367.6 << true;
        QTest::newRow("progressive JPEG, 4:2:0, 8000")
            << CraftedPictures::jpeg(8000, true) << QSize(8000, 8000) << 184.5 << true;
        QTest::newRow("progressive JPEG, 20000, a few hundred bytes")
            << CraftedPictures::jpeg(20000, true, 0x11) << QSize(20000, 20000) << 0.0 << true;
        QTest::newRow("baseline JPEG, first scan one component")
            << CraftedPictures::jpeg(8000, false, 0, true) << QSize(8000, 8000) << 184.6 << true;
        QTest::newRow("baseline JPEG, 8000") << CraftedPictures::jpeg(8000, false) << QSize(8000, 8000) << 1.5 << false;
        QTest::newRow("arithmetic JPEG, 8000")
            << CraftedPictures::jpeg(8000, false, 0, false, char(0xc9)) << QSize(8000, 8000) << 1.5 << false;
        QTest::newRow("lossless JPEG") << CraftedPictures::jpeg(800, false, 0, false, char(0xc3)) << QSize() << 0.0
                                       << true;
        QTest::newRow("JPEG after an Exif block")
            << CameraPhoto::withOrientation(CraftedPictures::jpeg(3000, false), 6) << QSize(3000, 3000) << 0.0 << false;
        QTest::newRow("BMP, 8 bits, 4000") << bmpHeader(4000, 8) << QSize(4000, 4000) << 16.6 << false;
        QTest::newRow("BMP, 24 bits, 8000") << bmpHeader(8000, 24) << QSize(8000, 8000) << 0.0 << true;
        QTest::newRow("interlaced PNG, 6000") << pngHeader(6000, 8, 2, true) << QSize(6000, 6000) << 138.6 << true;
        QTest::newRow("plain 16-bit PNG, 20000")
            << pngHeader(20000, 16, 6, false) << QSize(20000, 20000) << 0.0 << false;
        QTest::newRow("PNG cut in its header") << pngHeader(6000, 8, 2, false).left(20) << QSize() << 0.0 << true;
        QTest::newRow("ICO") << QByteArray("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) << QSize() << 0.0 << true;
        QTest::newRow("SVG") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\"/>") << QSize() << 0.0
                             << true;
    }
    void costIsReadFromTheHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(double, measuredMiB);
        QFETCH(bool, refused);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const PictureHeader header = PictureHeader::read(buffer);
        QCOMPARE(buffer.pos(), 0);
        QCOMPARE(header.isValid(), !size.isEmpty());
        if (!header.isValid())
            return;
        QCOMPARE(header.size(), size);
        const qint64 cost = header.decodeBytes(BoundedPictureReader::fitted(size, network));
        QCOMPARE(cost > network.maxBytes, refused);
        if (measuredMiB > 0) {
            QVERIFY2(cost >= measuredMiB * MiB && cost <= 2 * measuredMiB * MiB + 8 * MiB,
                     qPrintable(QString::number(double(cost) / MiB)));
        }
    }

    // A GIF whose frame reaches past its screen is bounded by the frame, but Qt decodes the screen
    // alone: what comes is handed on at the size it came, never stretched.
    void aPictureDecodedSmallerThanItsHeaderSaysIsHandedOnAsItCame()
    {
        QByteArray bytes = CraftedPictures::gif(100, 3999);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(BoundedPictureReader::read(buffer, network).size(), QSize(100, 100));
    }

    // A JPEG's orientation and colour profile come from its header, where libjpeg keeps none.
    void jpegOrientationAndProfileAreRead()
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setColorSpace(QColorSpace::DisplayP3);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadWrite) && image.save(&buffer, "JPG"));
        bytes = CameraPhoto::withOrientation(bytes, 8);
        QBuffer read(&bytes);
        QVERIFY(read.open(QIODevice::ReadOnly));
        const PictureHeader header = PictureHeader::read(read);
        QCOMPARE(header.orientation(), 8);
        QCOMPARE(QColorSpace::fromIccProfile(header.colorProfile()), QColorSpace(QColorSpace::DisplayP3));
    }
};

QTEST_GUILESS_MAIN(TestPictureHeader)
#include "tst_pictureheader.moc"
