#include "DocumentPickerModel.h"
#include "FilePoolBlock.h"
#include "NetworkManager.h"
#include "OpenDescriptors.h"
#include "PickedCopies.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "UploadSlot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// A picked file reaches its upload as a copy in the temporary folder; once the upload has ended,
// whatever the outcome, the copy and its folder are gone and the user's own file is untouched.
class TestPickedCopies : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_dir;
    // The temporary folder of this run alone, so that what a test leaves in it is seen.
    QTemporaryDir m_temp;

    QStringList picksLeft() const
    {
        return QDir(m_temp.filePath(QStringLiteral("vorlane-picked")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // A file of `size` bytes that takes no room on disk until copied.
    QString writeSparse(const QString &name, qint64 size)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            return {};
        return file.fileName();
    }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return {};
        return file.fileName();
    }

    // Picks `original` as the video or the music form does and returns the copy handed on.
    static QString pick(const QString &original, bool video)
    {
        DocumentPickerModel picker;
        if (video)
            picker.setAllowedContentTypes({DocumentPickerModel::movie, DocumentPickerModel::video,
                                           DocumentPickerModel::quickTimeMovie, DocumentPickerModel::mpeg4Movie});
        QString copy;
        QObject::connect(&picker, &DocumentPickerModel::filePicked, [&](const QUrl &url) { copy = url.toLocalFile(); });
        picker.pick(original);
        return copy;
    }

    int storedFiles() const
    {
        int count = 0;
        for (QDirIterator it(m_service.mediaDir(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++count;
        return count;
    }

    // Sends `path` as a form's slot does; whether the service stored it.
    static bool send(const QString &path)
    {
        UploadSlot slot;
        slot.uploadFile(path);
        if (!QTest::qWaitFor([&] { return !slot.isUploading(); }, VORLANE_PATIENT_WAIT_MS))
            return false;
        return !slot.address().isEmpty();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
    }

    // Every test takes away the copies it made.
    void cleanup() { QTRY_VERIFY2(picksLeft().isEmpty(), qPrintable(picksLeft().join(QLatin1Char(' ')))); }

    // A large file is copied off the GUI thread: the event loop keeps turning, and so the window
    // keeps drawing, until every byte is there.
    void largeCopyKeepsTheEventLoopTurning()
    {
        constexpr qint64 size = 256LL * 1024 * 1024;
        const QString original = writeSparse(QStringLiteral("long take.mp4"), size);
        QVERIFY(!original.isEmpty());
        int turns = 0;
        QTimer turn;
        connect(&turn, &QTimer::timeout, this, [&] { ++turns; });
        turn.start(0);
        const QString copy = pick(original, true);
        QVERIFY(!copy.isEmpty());
        const QFuture<bool> done = PickedCopies::whenCopied(copy);
        QTRY_VERIFY(done.isFinished());
        turn.stop();
        QVERIFY(done.result());
        QVERIFY2(turns > 10, qPrintable(QString::number(turns)));
        QCOMPARE(QFileInfo(copy).size(), size);
        QVERIFY(PickedCopies::remove(copy));
    }

    // A copy stopped part-way, by its removal or by its slot going with its form, leaves nothing,
    // and the upload that waited for it sends nothing.
    void stoppedCopyLeavesNothing_data()
    {
        QTest::addColumn<bool>("slotGoes");
        QTest::newRow("removed") << false;
        QTest::newRow("its slot gone") << true;
    }
    void stoppedCopyLeavesNothing()
    {
        QFETCH(bool, slotGoes);
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        const int stored = storedFiles();
        const QString original = writeSparse(QStringLiteral("long take.mp4"), 512LL * 1024 * 1024);
        const QString copy = pick(original, true);
        QVERIFY(!copy.isEmpty());
        const QFuture<bool> done = PickedCopies::whenCopied(copy);
        auto slot = std::make_unique<UploadSlot>();
        slot->uploadFile(copy);
        QVERIFY(slot->isUploading());
        QVERIFY2(!done.isFinished(), "the copy ended before it could be stopped");
        if (slotGoes)
            slot.reset();
        else
            QVERIFY(PickedCopies::remove(copy));
        QTRY_VERIFY(!QFile::exists(copy));
        QTRY_VERIFY(!QFileInfo::exists(QFileInfo(copy).path()));
        QTRY_VERIFY(done.isFinished());
        QVERIFY(!done.result());
        if (slot) {
            QTRY_VERIFY(!slot->isUploading());
            QVERIFY(slot->address().isEmpty());
        }
        QVERIFY(!QFileInfo::exists(QFileInfo(copy).path()));
        QCOMPARE(storedFiles(), stored);
    }

    void copyGoesOnceItsUploadEnds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("stored");
        QTest::newRow("video stored") << QStringLiteral("clip.mov") << QStringLiteral("service") << true;
        QTest::newRow("audio stored (music form)") << QStringLiteral("song.mp3") << QStringLiteral("service") << true;
        QTest::newRow("refused by the service") << QStringLiteral("clip.mp4") << QStringLiteral("refusal") << false;
        QTest::newRow("reply that is no envelope") << QStringLiteral("clip.mp4") << QStringLiteral("garbage") << false;
        QTest::newRow("connection refused") << QStringLiteral("take.wav") << QStringLiteral("refused") << false;
        QTest::newRow("address that is no address")
            << QStringLiteral("clip.mkv") << QStringLiteral("bad address") << false;
    }
    void copyGoesOnceItsUploadEnds()
    {
        QFETCH(QString, name);
        QFETCH(QString, outcome);
        QFETCH(bool, stored);
        const QByteArray content(4096, 'v');
        const QString original = writeFile(name, content);
        const bool video = !name.endsWith(QLatin1String(".mp3")) && !name.endsWith(QLatin1String(".wav"));
        const QString copy = pick(original, video);
        QVERIFY(QFile::exists(copy));
        QVERIFY(PickedCopies::contains(copy));

        ScriptedResponder responder;
        NetworkManager &network = NetworkManager::shared();
        if (outcome == QLatin1String("service"))
            network.setBaseURL(m_service.baseUrl());
        else if (outcome == QLatin1String("refused"))
            network.setBaseURL(ScriptedResponder::refusingBaseUrl());
        else if (outcome == QLatin1String("bad address"))
            network.setBaseURL(QStringLiteral("http://not a host/api"));
        else
            network.setBaseURL(responder.baseUrl());
        if (outcome == QLatin1String("refusal"))
            responder.reply(200, R"({"success": false, "message": "Недопустимый тип файла"})");
        if (outcome == QLatin1String("garbage"))
            responder.reply(500, "<html>oops</html>", "text/html");

        QCOMPARE(send(copy), stored);
        QTRY_VERIFY(!QFile::exists(copy));
        QTRY_VERIFY(!QFileInfo::exists(QFileInfo(copy).path()));
        QVERIFY(!PickedCopies::contains(copy));
        QFile kept(original);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
    }

    // No rename, removal or last close of a copy runs on the GUI thread, however the copy ends: with
    // every thread of the file pool held, the copy keeps its name and its folder (and the upload
    // its descriptor onto it) while the GUI thread goes on; once the pool is let go, all of it goes.
    void removalIsLeftToTheFilePool_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("removed after its pick") << QStringLiteral("removed");
        QTest::newRow("its upload ended") << QStringLiteral("uploaded");
        QTest::newRow("its form closed mid-copy") << QStringLiteral("form closed");
    }
    void removalIsLeftToTheFilePool()
    {
        QFETCH(QString, end);
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        const bool midCopy = end == QLatin1String("form closed");
        const QByteArray content(64 * 1024, 'w');
        const QString original = midCopy ? writeSparse(QStringLiteral("long take.mp4"), 512LL * 1024 * 1024)
                                         : writeFile(QStringLiteral("clip.mp4"), content);
        const QString copy = pick(original, true);
        QVERIFY(!copy.isEmpty());
        const QString folder = QFileInfo(copy).path();
        const QFuture<bool> done = PickedCopies::whenCopied(copy);
        auto slot = std::make_unique<UploadSlot>();
        if (midCopy) {
            slot->uploadFile(copy);
            // Under way, with its first piece written: a copy still waiting for a thread would wait
            // behind the block below and never end while it holds the pool.
            QTRY_VERIFY(QFileInfo(copy).size() > 0);
            QVERIFY2(!done.isFinished(), "the copy ended before it could be stopped");
        } else {
            QTRY_VERIFY(done.isFinished());
            QVERIFY(done.result());
        }

        FilePoolBlock block;
        if (end == QLatin1String("removed")) {
            QTRY_VERIFY(block.holdsAll());
            QVERIFY(PickedCopies::remove(copy));
        } else if (end == QLatin1String("uploaded")) {
            QTRY_VERIFY(block.holdsAll());
            slot->uploadFile(copy);
            QTRY_VERIFY(!slot->isUploading());
            QVERIFY(!slot->address().isEmpty());
            // The reply, and with it the upload's body, goes now, as it would in the next turn of
            // the window's event loop.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(openDescriptorsOnto(copy), 1);
        } else {
            slot.reset();
            // The copying thread stops at its next piece, and then takes the held thread's task.
            QTRY_VERIFY(block.holdsAll());
            QVERIFY(done.isFinished() && !done.result());
        }
        QVERIFY(!PickedCopies::contains(copy));
        QVERIFY(QFile::exists(copy));
        QVERIFY(QFileInfo(folder).isDir());

        block.release();
        QTRY_VERIFY(!QFileInfo::exists(folder));
        QVERIFY(!QFile::exists(copy));
        QTRY_COMPARE(openDescriptorsOnto(copy), 0);
        if (!midCopy) {
            QFile kept(original);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), content);
        }
    }

    // Only copies the picker made are removed: a file of the user's own, even one lying in the
    // copies' folder, stays where it is after its upload.
    void otherFilesStay()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        const QString own = writeFile(QStringLiteral("own.mp4"), "own bytes");
        QVERIFY(send(own));
        QVERIFY(QFile::exists(own));

        const QString copy = pick(writeFile(QStringLiteral("twice.mp4"), "abc"), true);
        const QString neighbour = QFileInfo(copy).dir().filePath(QStringLiteral("neighbour.mp4"));
        QVERIFY(QFile::copy(copy, neighbour));
        QVERIFY(!PickedCopies::remove(neighbour));
        QVERIFY(send(neighbour));
        QVERIFY(QFile::exists(neighbour));
        // The copy itself goes once, and a second removal finds nothing to do.
        QVERIFY(PickedCopies::remove(copy));
        QVERIFY(!PickedCopies::remove(copy));
        QTRY_VERIFY(!QFile::exists(copy));
        // The neighbour kept the folder: once the removal has let go of it, it can go.
        QVERIFY(QFile::exists(neighbour));
        QVERIFY(QFile::remove(neighbour));
        const QString folder = QFileInfo(copy).path();
        QTRY_VERIFY(QDir().rmdir(folder) || !QFileInfo::exists(folder));
    }
};

QTEST_MAIN(TestPickedCopies)
#include "tst_pickedcopies.moc"
