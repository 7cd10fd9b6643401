#include "DocumentPickerModel.h"
#include "ImagePickerModel.h"
#include "PickedCopies.h"
#include "PickedRoot.h"
#include "QmlSnippet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The pickers after their file dialogs: the square crop of the photo picker and the copy that
// the document picker hands on, through their C++ entry points and through the QML components.
class TestPickers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    // The temporary folder of this run alone, so that what a test leaves in it is seen.
    QTemporaryDir m_temp;
    QString m_photo;

    QStringList picksLeft() const
    {
        return QDir(PickedRoot::ownPath(m_temp.path()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // The copy's bytes once it is whole.
    static QByteArray copied(const QString &copy)
    {
        const QFuture<bool> done = PickedCopies::whenCopied(copy);
        if (!QTest::qWaitFor([&] { return done.isFinished(); }, VORLANE_PATIENT_WAIT_MS) || !done.result())
            return {};
        QFile file(copy);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // 200 x 100: red left half, blue right half.
    QString makePhoto()
    {
        QImage image(200, 100, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.fillRect(0, 0, 100, 100, Qt::red);
        painter.fillRect(100, 0, 100, 100, Qt::blue);
        painter.end();
        const QString path = m_dir.filePath(QStringLiteral("photo.png"));
        image.save(path);
        return path;
    }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    static QStringList videoTypes()
    {
        return {DocumentPickerModel::movie, DocumentPickerModel::video, DocumentPickerModel::quickTimeMovie,
                DocumentPickerModel::mpeg4Movie};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid() && m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        m_photo = makePhoto();
    }

    // Every test takes away the copies it made.
    void cleanup() { QTRY_VERIFY2(picksLeft().isEmpty(), qPrintable(picksLeft().join(QLatin1Char(' ')))); }

    void cropFollowsPanAndZoom_data()
    {
        QTest::addColumn<qreal>("dx");
        QTest::addColumn<qreal>("zoom");
        QTest::addColumn<QRect>("crop");
        QTest::addColumn<QColor>("left");
        QTest::addColumn<QColor>("right");
        // Frame 100: the photo's height fills it, the middle square shows both halves.
        QTest::newRow("centred") << 0.0 << 1.0 << QRect(50, 0, 100, 100) << QColor(Qt::red) << QColor(Qt::blue);
        QTest::newRow("dragged right, clamped")
            << 1000.0 << 1.0 << QRect(0, 0, 100, 100) << QColor(Qt::red) << QColor(Qt::red);
        QTest::newRow("dragged left, clamped")
            << -1000.0 << 1.0 << QRect(100, 0, 100, 100) << QColor(Qt::blue) << QColor(Qt::blue);
        QTest::newRow("zoomed in twice") << 0.0 << 2.0 << QRect(75, 25, 50, 50) << QColor(Qt::red) << QColor(Qt::blue);
        QTest::newRow("zoom beyond the limit")
            << 0.0 << 100.0 << QRect(88, 38, 25, 25) << QColor(Qt::red) << QColor(Qt::blue);
        QTest::newRow("zoom below one") << 0.0 << 0.1 << QRect(50, 0, 100, 100) << QColor(Qt::red) << QColor(Qt::blue);
    }
    void cropFollowsPanAndZoom()
    {
        QFETCH(qreal, dx);
        QFETCH(qreal, zoom);
        QFETCH(QRect, crop);
        QFETCH(QColor, left);
        QFETCH(QColor, right);

        ImagePickerModel model;
        model.setFrameSize(100);
        QVERIFY(model.openImage(m_photo));
        QTRY_VERIFY(model.hasImage());
        model.setZoom(zoom);
        model.pan(dx, 0);
        QCOMPARE(model.cropRect(), crop);
        // The frame is always covered by the photo.
        const QRectF shown = model.displayRect();
        QVERIFY(shown.left() <= 0 && shown.top() <= 0 && shown.right() >= 100 && shown.bottom() >= 100);

        QSignalSpy picked(&model, &ImagePickerModel::imagePicked);
        QSignalSpy finished(&model, &ImagePickerModel::finished);
        model.confirm();
        QCOMPARE(picked.size(), 1);
        QCOMPARE(finished.size(), 1);
        const QImage image = picked.first().first().value<QImage>();
        QCOMPARE(image.size(), crop.size());
        QCOMPARE(QColor(image.pixel(1, image.height() / 2)), left);
        QCOMPARE(QColor(image.pixel(image.width() - 2, image.height() / 2)), right);
    }

    void photoNotTakenDeliversNothingAndCloses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("reads"); // a regular file: its reading begins
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("not an image") << writeFile(QStringLiteral("notes.png"), "plain text") << true << false;
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("gone.jpg")) << false << false;
        QTest::newRow("empty choice") << QString() << false << false;
        QTest::newRow("cancelled after opening") << m_photo << true << true;
    }
    void photoNotTakenDeliversNothingAndCloses()
    {
        QFETCH(QString, path);
        QFETCH(bool, reads);
        QFETCH(bool, cancelled);
        ImagePickerModel model;
        QSignalSpy picked(&model, &ImagePickerModel::imagePicked);
        QSignalSpy finished(&model, &ImagePickerModel::finished);
        QCOMPARE(model.openImage(path), reads);
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.hasImage(), cancelled);
        if (cancelled)
            model.cancel();
        QCOMPARE(picked.size(), 0);
        QCOMPARE(finished.size(), 1);
    }

    void imagePickerComponentWritesTheBindingThenCallsBackThenCloses()
    {
        QmlSnippet screen(
            "import QtQuick\nimport Vorlane\nItem { width: 390; height: 844\n"
            "property var events: []\n"
            "ImagePicker { objectName: \"picker\"; anchors.fill: parent\n"
            "  onImagePicked: image => parent.events.push(selectedImage === image ? \"picked after write\" "
            ": \"picked before write\")\n"
            "  onDismissRequested: parent.events.push(\"dismissed\") } }");
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QObject *picker = screen.find(QStringLiteral("picker"));
        QVERIFY(picker);
        auto *model = picker->property("model").value<ImagePickerModel *>();
        QVERIFY(model);
        // The file dialog hands over a file URL.
        QVERIFY(model->openImage(QUrl::fromLocalFile(m_photo).toString()));
        QTRY_VERIFY(model->hasImage());
        auto *frame = screen.find<QQuickItem>(QStringLiteral("cropFrame"));
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->width(), frame->height());
        QCOMPARE(model->frameSize(), frame->width());

        auto *choose = screen.find<QQuickItem>(QStringLiteral("cropChooseButton"));
        QVERIFY(choose);
        QMetaObject::invokeMethod(choose, "clicked");
        const QStringList events = screen.root()->property("events").toStringList();
        QCOMPARE(events, QStringList({QStringLiteral("picked after write"), QStringLiteral("dismissed")}));
        const QImage selected = picker->property("selectedImage").value<QImage>();
        QCOMPARE(selected.size(), QSize(100, 100));
    }

    void documentTypesBecomeNameFilters()
    {
        // Audio, MP3 and WAV unless the caller names others: one filter for all of them, then one each.
        DocumentPickerModel audio;
        QCOMPARE(audio.allowedContentTypes(),
                 QStringList({DocumentPickerModel::audio, DocumentPickerModel::mp3, DocumentPickerModel::wav}));
        QCOMPARE(audio.nameFilters().size(), 4);
        QVERIFY(audio.nameFilters().constFirst().contains(QLatin1String("*.mp3")));
        QVERIFY(audio.nameFilters().constFirst().contains(QLatin1String("*.wav")));
        QVERIFY(!audio.nameFilters().join(QLatin1Char(' ')).contains(QLatin1String("*.mp4")));
    }

    void pickedDocumentArrivesAsACopyBeforeClosing()
    {
        const QByteArray content("ID3 not really audio, but bytes to copy");
        const QString original = writeFile(QStringLiteral("Моя песня.mp3"), content);
        DocumentPickerModel model;
        QStringList events;
        QUrl delivered;
        connect(&model, &DocumentPickerModel::filePicked, this, [&](const QUrl &url) {
            events << QStringLiteral("picked");
            delivered = url;
        });
        connect(&model, &DocumentPickerModel::finished, this, [&] { events << QStringLiteral("finished"); });
        QVERIFY(model.pick(QUrl::fromLocalFile(original).toString()));
        QCOMPARE(events, QStringList({QStringLiteral("picked"), QStringLiteral("finished")}));
        QVERIFY(delivered.isLocalFile());
        QVERIFY(delivered.toLocalFile() != original);
        QCOMPARE(QFileInfo(delivered.toLocalFile()).fileName(), QStringLiteral("Моя песня.mp3"));
        QCOMPARE(copied(delivered.toLocalFile()), content);

        // A second pick of the same file gets its own copy.
        const QUrl first = delivered;
        QVERIFY(model.pick(original));
        QVERIFY(delivered.isValid() && delivered != first);
        QCOMPARE(copied(delivered.toLocalFile()), content);
        QVERIFY(QFile::exists(first.toLocalFile()));
        QVERIFY(PickedCopies::remove(first.toLocalFile()));
        QVERIFY(PickedCopies::remove(delivered.toLocalFile()));
    }

    // Only the offered kinds are taken; a choice of nothing leaves the picker open.
    void documentPickOutcomes_data()
    {
        QTest::addColumn<bool>("video");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<bool>("closes");
        const auto file = [this](const char *name) { return writeFile(QString::fromUtf8(name), "x"); };
        QTest::newRow("audio: mp3") << false << file("song.mp3") << true << true;
        QTest::newRow("audio: upper-case WAV") << false << file("take.WAV") << true << true;
        QTest::newRow("audio: m4a") << false << file("voice.m4a") << true << true;
        QTest::newRow("audio: mp4 refused") << false << file("clip.mp4") << false << true;
        QTest::newRow("video: mov") << true << file("clip.mov") << true << true;
        QTest::newRow("video: mp4") << true << file("clip.mp4") << true << true;
        QTest::newRow("video: mp3 refused") << true << file("song.mp3") << false << true;
        QTest::newRow("no extension") << false << file("README") << false << true;
        QTest::newRow("no file at all: stays open") << false << QString() << false << false;
        QTest::newRow("missing file") << false << m_dir.filePath(QStringLiteral("gone.mp3")) << false << true;
        QTest::newRow("a folder") << false << m_dir.path() << false << true;
    }
    void documentPickOutcomes()
    {
        QFETCH(bool, video);
        QFETCH(QString, path);
        QFETCH(bool, taken);
        QFETCH(bool, closes);
        DocumentPickerModel model;
        if (video)
            model.setAllowedContentTypes(videoTypes());
        QSignalSpy picked(&model, &DocumentPickerModel::filePicked);
        QSignalSpy finished(&model, &DocumentPickerModel::finished);
        QCOMPARE(model.pick(path), taken);
        QCOMPARE(picked.size(), taken ? 1 : 0);
        QCOMPARE(finished.size(), closes ? 1 : 0);
        if (taken) // what no upload took away
            QVERIFY(PickedCopies::remove(picked.first().first().toUrl().toLocalFile()));
    }

    void documentPickerComponentPassesTheCopyOn()
    {
        const QString original = writeFile(QStringLiteral("film.mov"), "moov");
        QmlSnippet screen("import QtQuick\nimport Vorlane\nItem { width: 390; height: 844\n"
                          "property url received\nproperty bool dismissed: false\n"
                          "DocumentPicker { objectName: \"picker\"\n"
                          "  allowedContentTypes: [\"public.movie\", \"public.video\", \"com.apple.quicktime-movie\", "
                          "\"public.mpeg-4\"]\n"
                          "  onFilePicked: fileUrl => parent.received = fileUrl\n"
                          "  onDismissRequested: parent.dismissed = true } }");
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QObject *picker = screen.find(QStringLiteral("picker"));
        auto *model = picker->property("model").value<DocumentPickerModel *>();
        QVERIFY(model);
        // The caller's later change does not reach the open picker.
        picker->setProperty("allowedContentTypes", QStringList{DocumentPickerModel::audio});
        QVERIFY(model->nameFilters().join(QLatin1Char(' ')).contains(QLatin1String("*.mov")));
        QVERIFY(model->pick(original));
        QVERIFY(screen.root()->property("dismissed").toBool());
        const QString copy = screen.root()->property("received").toUrl().toLocalFile();
        QCOMPARE(QFileInfo(copy).fileName(), QStringLiteral("film.mov"));
        QVERIFY(PickedCopies::remove(copy));
    }

    // A name that leads to a FIFO or a device is never read: reading it would wait for a writer, or
    // never end. Were it opened, this test would hang.
    void specialFilesAreNeverRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("FIFO") << QStringLiteral("pipe") << QString();
        QTest::newRow("link to a FIFO") << QStringLiteral("to-pipe") << QStringLiteral("pipe");
        QTest::newRow("link to an endless device") << QStringLiteral("to-zero") << QStringLiteral("/dev/zero");
        QTest::newRow("link to the standard input") << QStringLiteral("to-stdin") << QStringLiteral("/dev/stdin");
    }
    void specialFilesAreNeverRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600) == 0);
        // Standard input is left as it is when it is a plain file: then it is no case of this test.
        if (target == QLatin1String("/dev/stdin") && QFileInfo(target).isFile())
            QSKIP("standard input is a regular file here");
        for (const QString &suffix : {QStringLiteral(".mp3"), QStringLiteral(".png")}) {
            const QString path = dir.filePath(name + suffix);
            if (target.isEmpty())
                QVERIFY(QFile::rename(dir.filePath(QStringLiteral("pipe")), path) &&
                        ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600) == 0);
            else
                QVERIFY(QFile::link(target.startsWith(QLatin1Char('/')) ? target : dir.filePath(target), path));

            DocumentPickerModel documents;
            QSignalSpy filePicked(&documents, &DocumentPickerModel::filePicked);
            QSignalSpy documentDone(&documents, &DocumentPickerModel::finished);
            QVERIFY(!documents.pick(path));
            QCOMPARE(filePicked.size(), 0);
            QCOMPARE(documentDone.size(), 1);

            ImagePickerModel photos;
            QSignalSpy photoDone(&photos, &ImagePickerModel::finished);
            QVERIFY(!photos.openImage(QUrl::fromLocalFile(path).toString()));
            QVERIFY(!photos.hasImage());
            QCOMPARE(photoDone.size(), 1);
            QVERIFY(!PickedCopies::make(path));
        }
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
