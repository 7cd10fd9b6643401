#include "CameraPhoto.h"
#include "PicturePool.h"
#include "WindowTest.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QTest>
#include <QThreadPool>

// Camera photos through the whole window: a 48- and a 100-megapixel JPEG picked in the composer's
// file dialog as a person picks them, shown at the editing step, their square chosen with Enter and
// stored by the reference service as a square JPEG of at most 4,096 pixels a side. Escape while a
// photo is still being read drops it.
class TestWindowPhotos : public WindowTest
{
    Q_OBJECT

    // The composer's photo picker with `file` chosen in its dialog: a tap on its row, then «Открыть».
    bool pick(const QString &file)
    {
        if (!tapAll({"tabButton0", "composerButton", "pickPhotoButton"}))
            return false;
        QQuickWindow *dialog = nullptr;
        return QTest::qWaitFor([&] { return (dialog = shownDialog()) != nullptr; }, VORLANE_PATIENT_WAIT_MS) &&
               choose(dialog, file);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(startService());
        for (const auto &[name, size] :
             {std::pair{"camera-48mp.jpg", QSize(8000, 6000)}, std::pair{"camera-100mp.jpg", QSize(12000, 8400)}}) {
            const QByteArray jpeg = CameraPhoto::jpeg(CameraPhoto::draw(size));
            QVERIFY2(jpeg.size() > 4 * 1024 * 1024, name); // a camera's, not a flat picture's
            QVERIFY(writeFile(QLatin1String(name), jpeg));
        }
    }
    void init() { QVERIFY(openApp()); }
    void cleanup() { closeApp(); }

    void cameraPhotoIsChosenAndStored_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("side"); // the shorter side, once the longer is at most 4,096
        QTest::newRow("48 MP") << "camera-48mp.jpg" << 3072;
        QTest::newRow("100 MP") << "camera-100mp.jpg" << 2867;
    }
    void cameraPhotoIsChosenAndStored()
    {
        QFETCH(QString, file);
        QFETCH(int, side);
        const QSet<QString> before = storedPaths();
        QVERIFY(pick(file));
        QQuickItem *image = waitFor(QStringLiteral("cropImage"));
        QVERIFY(image);
        QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
        QVERIFY(!item(QStringLiteral("cropSpinner")));
        QTRY_VERIFY(m_app->findObject(QStringLiteral("photoPickerSheet"))->property("opened").toBool());
        QTRY_VERIFY(window()->isActive());
        key(Qt::Key_Return);
        QTRY_VERIFY(!isOpen("photoPickerSheet"));
        QTRY_VERIFY(item(QStringLiteral("photoAttachedLabel")));

        const QSet<QString> added = storedPaths() - before;
        QCOMPARE(added.size(), 1);
        QImageReader reader(*added.begin());
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage square = reader.read();
        QVERIFY2(!square.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(square.width(), square.height());
        QCOMPARE(square.width(), side);
        QVERIFY(square.width() <= 4096);
    }

    void escapeWhileReadingDropsThePhoto()
    {
        const int before = storedFiles();
        QVERIFY(pick(QStringLiteral("camera-100mp.jpg")));
        // The step shows at once, black, its spinner turning; the photo takes a while to come.
        QVERIFY(item(QStringLiteral("cropSpinner")));
        QVERIFY(!item(QStringLiteral("cropFrame")));
        QTRY_VERIFY(window()->isActive());
        key(Qt::Key_Escape);
        QTRY_VERIFY(!isOpen("photoPickerSheet"));
        QVERIFY(isOpen("composerSheet"));
        // The photo, read to its end after all, reaches nothing.
        PicturePool::pool().waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!item(QStringLiteral("photoAttachedLabel")));
        QVERIFY(!item(QStringLiteral("cropFrame")));
        QCOMPARE(storedFiles(), before);
    }
};

QTEST_MAIN(TestWindowPhotos)
#include "tst_window_photos.moc"
