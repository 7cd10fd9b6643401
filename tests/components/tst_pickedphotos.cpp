#include "CameraPhoto.h"
#include "ImagePickerModel.h"
#include "NetworkManager.h"
#include "PickedImageProvider.h"
#include "PickedPhotoReader.h"
#include "PicturePool.h"
#include "QmlSnippet.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QQuickItem>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <memory>

// A picked photo as the editing step receives it: read once, off the GUI thread, at most 4,096
// pixels along its longer side and upright, whatever camera took it; what the picker shows and takes
// while the photo is read; files that hold no photo, or only part of one.
class TestPickedPhotos : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_photo48;

    QString writePhoto(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        return CameraPhoto::write(path, bytes) ? path : QString();
    }

    // Whatever the pool was reading has been handed to the GUI thread, and the GUI thread has seen it.
    static void letReadingsEnd()
    {
        PicturePool::pool().waitForDone();
        QCoreApplication::processEvents();
    }

    static bool isRed(const QColor &colour) { return colour.red() > 200 && colour.green() < 80 && colour.blue() < 80; }

    // Just inside a corner: Qt::Corner's first bit is the right side, its second the bottom.
    static QColor nearCorner(const QImage &image, int corner)
    {
        return image.pixelColor(corner & 1 ? image.width() - 3 : 2, corner & 2 ? image.height() - 3 : 2);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_photo48 = writePhoto(QStringLiteral("camera-48mp.jpg"), CameraPhoto::jpeg(CameraPhoto::draw({8000, 6000})));
        QVERIFY(!m_photo48.isEmpty());
    }

    void photoKeepsAtMostItsLongestSide_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<Qt::Corner>("mark"); // where the red corner of the stored picture shows
        const auto jpeg = [this](const char *name, QSize size, quint16 orientation = 0) {
            const QByteArray bytes = CameraPhoto::jpeg(CameraPhoto::draw(size));
            return writePhoto(QLatin1String(name),
                              orientation ? CameraPhoto::withOrientation(bytes, orientation) : bytes);
        };
        const auto png = [this](const char *name, QSize size, QImage::Format format = QImage::Format_RGB32) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            CameraPhoto::draw(size, false).convertToFormat(format).save(&buffer, "PNG");
            return writePhoto(QLatin1String(name), bytes);
        };
        QTest::newRow("small, kept as it is") << jpeg("small.jpg", {640, 480}) << QSize(640, 480) << Qt::TopLeftCorner;
        QTest::newRow("longest side 4,096, kept as it is")
            << jpeg("edge.jpg", {4096, 1024}) << QSize(4096, 1024) << Qt::TopLeftCorner;
        QTest::newRow("one pixel past the bound")
            << jpeg("past.jpg", {4097, 2000}) << QSize(4096, 1999) << Qt::TopLeftCorner;
        QTest::newRow("portrait") << jpeg("portrait.jpg", {3000, 6000}) << QSize(2048, 4096) << Qt::TopLeftCorner;
        QTest::newRow("48 MP landscape") << m_photo48 << QSize(4096, 3072) << Qt::TopLeftCorner;
        QTest::newRow("Exif: a quarter turn clockwise")
            << jpeg("turned.jpg", {800, 600}, 6) << QSize(600, 800) << Qt::TopRightCorner;
        QTest::newRow("Exif: upside down")
            << jpeg("upside-down.jpg", {800, 600}, 3) << QSize(800, 600) << Qt::BottomRightCorner;
        QTest::newRow("48 MP, Exif: a quarter turn anticlockwise")
            << writePhoto(QStringLiteral("camera-48mp-turned.jpg"),
                          CameraPhoto::withOrientation(CameraPhoto::jpeg(CameraPhoto::draw({8000, 6000})), 8))
            << QSize(3072, 4096) << Qt::BottomLeftCorner;
        QTest::newRow("100 MP") << jpeg("camera-100mp.jpg", {12000, 8400}) << QSize(4096, 2867) << Qt::TopLeftCorner;
        // Read row by row, as every plain PNG is.
        QTest::newRow("PNG of 36 MP") << png("scan.png", {6000, 6000}) << QSize(4096, 4096) << Qt::TopLeftCorner;
        // 806 MB were it decoded whole.
        QTest::newRow("100 MP PNG, 16 bits a channel")
            << png("scan-16bit.png", {12000, 8400}, QImage::Format_RGBX64) << QSize(4096, 2867) << Qt::TopLeftCorner;
        QTest::newRow("PNG named .jpg") << png("scan-named.jpg", {5000, 200}) << QSize(4096, 163) << Qt::TopLeftCorner;
    }
    void photoKeepsAtMostItsLongestSide()
    {
        QFETCH(QString, file);
        QFETCH(QSize, shown);
        QFETCH(Qt::Corner, mark);
        QVERIFY(!file.isEmpty());
        ImagePickerModel model;
        QSignalSpy finished(&model, &ImagePickerModel::finished);
        QVERIFY(model.openImage(file));
        QVERIFY(model.isLoading());
        QVERIFY(!model.hasImage());
        QTRY_VERIFY(!model.isLoading());
        QVERIFY(model.hasImage());
        QCOMPARE(finished.size(), 0);
        const QImage image = model.image();
        QCOMPARE(image.size(), shown);
        QCOMPARE(image.depth(), 32);
        for (int corner = Qt::TopLeftCorner; corner <= Qt::BottomRightCorner; ++corner)
            QVERIFY2(isRed(nearCorner(image, corner)) == (corner == mark), qPrintable(QString::number(corner)));
    }

    // A file that holds no picture, or no pixels of one, ends the picker with nothing. A picture cut
    // off after its pixels began shows what came: a JPEG the rest grey (a progressive one whole, only
    // coarser), a BMP the rest black, never what the memory held before; a cut PNG does not open.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QPoint>("keptRed");
        QTest::addColumn<QPoint>("lostAt");
        QTest::addColumn<QString>("lost");
        const QImage photo = CameraPhoto::draw({1200, 900});
        const QByteArray whole = CameraPhoto::jpeg(photo);
        const qsizetype scan = whole.indexOf("\xff\xda");
        const auto encoded = [](const QImage &image, const char *format, bool progressive = false) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, format);
            writer.setProgressiveScanWrite(progressive);
            return writer.write(image) ? bytes : QByteArray();
        };
        const QByteArray progressive = encoded(photo, "jpeg", true);
        const QByteArray png = encoded(CameraPhoto::draw({1200, 900}, false), "png");
        // A BMP keeps its rows bottom first: the mark goes to the bottom, which comes first.
        const QByteArray bmp = encoded(photo.mirrored(false, true), "bmp");
        const QPoint top(2, 2);
        const QPoint bottomRight(1190, 890);
        QTest::newRow("empty file") << QByteArray() << false << QPoint() << QPoint() << QString();
        QTest::newRow("text") << QByteArray("not a picture at all\n") << false << QPoint() << QPoint() << QString();
        QTest::newRow("JPEG cut before its pixels") << whole.left(scan) << false << QPoint() << QPoint() << QString();
        QTest::newRow("JPEG cut halfway") << whole.left(whole.size() / 2) << true << top << bottomRight << "grey";
        QTest::newRow("progressive JPEG cut halfway")
            << progressive.left(progressive.size() / 2) << true << top << bottomRight << "photo";
        QTest::newRow("BMP cut halfway") << bmp.left(bmp.size() / 2) << true << QPoint(2, 897) << QPoint(1190, 10)
                                         << "black";
        QTest::newRow("PNG cut after its header")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) << false << QPoint() << QPoint() << QString();
        QTest::newRow("PNG cut halfway") << png.left(png.size() / 2) << false << QPoint() << QPoint() << QString();
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        QFETCH(QPoint, keptRed);
        QFETCH(QPoint, lostAt);
        QFETCH(QString, lost);
        const QString path = m_dir.filePath(QStringLiteral("damaged.jpg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        file.close();
        ImagePickerModel model;
        QSignalSpy picked(&model, &ImagePickerModel::imagePicked);
        QSignalSpy finished(&model, &ImagePickerModel::finished);
        QVERIFY(model.openImage(path));
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.hasImage(), opens);
        QCOMPARE(finished.size(), opens ? 0 : 1);
        if (opens) {
            QCOMPARE(model.image().size(), QSize(1200, 900));
            QVERIFY(isRed(model.image().pixelColor(keptRed)));
            const QColor shown = model.image().pixelColor(lostAt);
            const QColor drawn = CameraPhoto::draw({1200, 900}).pixelColor(lostAt);
            const auto near = [](const QColor &a, const QColor &b, int by) {
                return qAbs(a.red() - b.red()) < by && qAbs(a.green() - b.green()) < by && qAbs(a.blue() - b.blue()) < by;
            };
            const bool expected = lost == QLatin1String("grey")    ? near(shown, QColor(128, 128, 128), 24)
                                  : lost == QLatin1String("black") ? near(shown, Qt::black, 16)
                                                                   : near(shown, drawn, 48);
            QVERIFY2(expected, qPrintable(shown.name() + QLatin1String(" where the photo has ") + drawn.name()));
        }
        QCOMPARE(picked.size(), 0);
    }

    // Escape while the photo is read ends the picker at once, and the photo, when it comes, is
    // dropped; Enter waits for it; a picker that goes meanwhile is never reached.
    void answersWhileReading_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel") << QStringLiteral("cancel");
        QTest::newRow("confirm") << QStringLiteral("confirm");
        QTest::newRow("picker gone") << QStringLiteral("gone");
    }
    void answersWhileReading()
    {
        QFETCH(QString, answer);
        auto model = std::make_unique<ImagePickerModel>();
        QSignalSpy picked(model.get(), &ImagePickerModel::imagePicked);
        QSignalSpy finished(model.get(), &ImagePickerModel::finished);
        QVERIFY(model->openImage(m_photo48));
        // Nothing of the reading reaches the model before the event loop runs.
        QVERIFY(model->isLoading());
        if (answer == QLatin1String("cancel")) {
            model->cancel();
            QCOMPARE(finished.size(), 1);
            QVERIFY(!model->isLoading());
            letReadingsEnd();
            QVERIFY(!model->hasImage());
            model->confirm();
        } else if (answer == QLatin1String("confirm")) {
            model->confirm();
            QCOMPARE(finished.size(), 0);
            QTRY_VERIFY(model->hasImage());
            model->confirm();
            QCOMPARE(picked.size(), 1);
        } else {
            model.reset();
            letReadingsEnd();
            return;
        }
        QCOMPARE(finished.size(), 1);
        QCOMPARE(picked.size(), int(answer == QLatin1String("confirm")));
    }

    // The square handed on shares the photo's pixels and keeps them: it stays whole after the picker
    // that cut it has gone.
    void pickedSquareOutlivesThePicker()
    {
        auto model = std::make_unique<ImagePickerModel>();
        model->setFrameSize(100);
        QVERIFY(model->openImage(
            writePhoto(QStringLiteral("square.jpg"), CameraPhoto::jpeg(CameraPhoto::draw({800, 600})))));
        QTRY_VERIFY(model->hasImage());
        model->pan(1000, 0);
        QSignalSpy picked(model.get(), &ImagePickerModel::imagePicked);
        model->confirm();
        QCOMPARE(picked.size(), 1);
        model.reset();
        const QImage square = picked.first().first().value<QImage>();
        QCOMPARE(square.size(), QSize(600, 600));
        QVERIFY(isRed(square.pixelColor(2, 2)));
        QVERIFY(!isRed(square.pixelColor(597, 2)));
    }

    // The largest square the picker hands on, 4,096 pixels a side, is stored by the reference
    // service even when it is all noise, JPEG's worst: its body stays under the 16 MiB the service
    // takes for a photo.
    void theLargestSquareFitsTheServicesPhotoCap()
    {
        ServiceProcess service;
        QVERIFY2(service.start(), qPrintable(service.errors()));
        NetworkManager::shared().setBaseURL(service.baseUrl());
        QImage noise(PickedPhotoReader::maxSide, PickedPhotoReader::maxSide, QImage::Format_RGB32);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.bits()), noise.sizeInBytes() / 4);
        const auto outcome = runToEnd(NetworkManager::shared().uploadImage(noise));
        QVERIFY2(outcome.value, qPrintable(outcome.errorText()));
        QDirIterator files(service.mediaDir(), {QUrl(*outcome.value).fileName()}, QDir::Files,
                           QDirIterator::Subdirectories);
        QVERIFY2(files.hasNext(), qPrintable(*outcome.value));
        QCOMPARE(QImageReader(files.next()).size(), noise.size());
    }

    // The editing step is drawn from the model's own picture, at most the size it asks for, never
    // larger than the picture, for as long as the model holds it.
    void editingStepIsServedTheDecodedPhoto_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("served");
        QTest::newRow("the editing step's 2048") << QSize(2048, 2048) << QSize(2048, 1536);
        QTest::newRow("no size asked") << QSize() << QSize(4096, 3072);
        QTest::newRow("larger than the photo") << QSize(8000, 8000) << QSize(4096, 3072);
        QTest::newRow("width only") << QSize(1024, 0) << QSize(1024, 768);
    }
    void editingStepIsServedTheDecodedPhoto()
    {
        QFETCH(QSize, requested);
        QFETCH(QSize, served);
        auto model = std::make_unique<ImagePickerModel>();
        QVERIFY(model->openImage(m_photo48));
        QTRY_VERIFY(model->hasImage());
        const QUrl address = model->imageUrl();
        QCOMPARE(address.scheme(), QStringLiteral("image"));
        QCOMPARE(address.host(), QLatin1String(PickedImageProvider::providerId));
        const QString id = address.path().mid(1);
        PickedImageProvider provider;
        QSize size;
        const QImage image = provider.requestImage(id, &size, requested);
        QCOMPARE(size, QSize(4096, 3072));
        QCOMPARE(image.size(), served);
        QVERIFY(isRed(image.pixelColor(2, 2)));
        model.reset();
        QVERIFY(provider.requestImage(id, &size, requested).isNull());
    }

    // Picked from its dialog, the photo's step shows at once, black, with its spinner and a
    // «Выбрать» that waits; «Отменить» there ends the picker, which then delivers nothing.
    void pickerShowsItIsWorkingWhileReading_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("read to the end") << false;
        QTest::newRow("«Отменить» while reading") << true;
    }
    void pickerShowsItIsWorkingWhileReading()
    {
        QFETCH(bool, cancelled);
        QmlSnippet screen("import QtQuick\nimport Vorlane\nItem { width: 390; height: 844\n"
                          "property int picked: 0\nproperty bool dismissed: false\n"
                          "ImagePicker { objectName: \"picker\"; anchors.fill: parent\n"
                          "  onImagePicked: parent.picked++\n"
                          "  onDismissRequested: parent.dismissed = true } }");
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QObject *picker = screen.find(QStringLiteral("picker"));
        auto *model = picker->property("model").value<ImagePickerModel *>();
        QVERIFY(model->openImage(QUrl::fromLocalFile(m_photo48).toString()));
        const auto shown = [&screen](const char *name) {
            auto *item = screen.find<QQuickItem>(QLatin1String(name));
            return item && item->isVisible();
        };
        QVERIFY(shown("cropSpinner"));
        QVERIFY(shown("cropTitleBar"));
        QVERIFY(shown("cropCancelButton"));
        QVERIFY(!shown("cropFrame"));
        QCOMPARE(picker->property("color").value<QColor>(), QColor(Qt::black));
        auto *choose = screen.find<QQuickItem>(QStringLiteral("cropChooseButton"));
        QVERIFY(!choose->isEnabled());
        if (cancelled) {
            QMetaObject::invokeMethod(screen.find(QStringLiteral("cropCancelButton")), "clicked");
            QTRY_VERIFY(screen.root()->property("dismissed").toBool());
            letReadingsEnd();
            QVERIFY(!model->hasImage());
        } else {
            auto *image = screen.find<QQuickItem>(QStringLiteral("cropImage"));
            QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
            QVERIFY(!shown("cropSpinner"));
            QVERIFY(shown("cropFrame"));
            QVERIFY(choose->isEnabled());
            // The step asked for 2048 at most and was served the decoded photo scaled to it.
            QCOMPARE(QSizeF(image->implicitWidth(), image->implicitHeight()), QSizeF(2048, 1536));
            QMetaObject::invokeMethod(choose, "clicked");
            QTRY_VERIFY(screen.root()->property("dismissed").toBool());
        }
        QCOMPARE(screen.root()->property("picked").toInt(), cancelled ? 0 : 1);
    }
};

QTEST_MAIN(TestPickedPhotos)
#include "tst_pickedphotos.moc"
