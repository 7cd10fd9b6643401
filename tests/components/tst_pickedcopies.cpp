#include "DocumentPickerModel.h"
#include "FilePoolBlock.h"
#include "NetworkManager.h"
#include "OpenDescriptors.h"
#include "PickedCopies.h"
#include "PickedRoot.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "UploadSlot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// A picked file reaches its upload as a copy in the temporary folder; once the upload has ended,
// whatever the outcome, the copy and its folder are gone and the user's own file is untouched.
class TestPickedCopies : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_dir;
    // The temporary folder of this run alone, so that what a test leaves in it is seen.
    QTemporaryDir m_temp;

    // What lies in this user's folders of copies: the own one, and any made for a run.
    QStringList picksLeft() const
    {
        const QString own = QFileInfo(PickedRoot::ownPath(m_temp.path())).fileName();
        QStringList left;
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QFileInfo &root :
             QDir(m_temp.path()).entryInfoList({own, own + QStringLiteral(".*")}, QDir::Dirs | QDir::NoSymLinks))
            left += QDir(root.filePath()).entryList(all);
        return left;
    }

    // What a removal through a link, or a sweep of a folder that is not the user's alone, would
    // take: a file named as the pick, an owner file, and a copy's folder that no client holds.
    bool plantCanaries(const QString &folder)
    {
        const QString leftover = folder + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces);
        return (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir()) &&
               ::mkdir(QFile::encodeName(leftover).constData(), 0700) == 0 &&
               !writeFile(folder + QStringLiteral("/song.mp3"), "canary").isEmpty() &&
               !writeFile(folder + QStringLiteral("/.owner"), {}).isEmpty() &&
               !writeFile(leftover + QStringLiteral("/song.mp3"), "canary").isEmpty() &&
               !writeFile(leftover + QStringLiteral("/.owner"), {}).isEmpty();
    }

    // Every name under `folder`, with the bytes of each file.
    static QMap<QString, QByteArray> snapshot(const QString &folder)
    {
        QMap<QString, QByteArray> found;
        for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            found.insert(QDir(folder).relativeFilePath(file.fileName()),
                         file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
        }
        return found;
    }

    // A file of `size` bytes that takes no room on disk until copied.
    QString writeSparse(const QString &name, qint64 size)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            return {};
        return file.fileName();
    }

    // `name` in the test's folder, or a path of its own.
    QString writeFile(const QString &name, const QByteArray &content)
    {
        QFile file(QDir(m_dir.path()).filePath(name));
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

    // A folder of copies that is not the user's alone, or a copy's folder swapped for a link while
    // the copy or its upload runs, redirects no write, no read and no removal: the canaries, in a
    // folder outside or in the folder not the user's alone, stay as they were, and the pick still
    // reaches the service whole. Such a root is neither written into nor swept: the copies go to a
    // fresh folder of the user's own.
    void hostileLayoutsRedirectNothing_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("root a link to another folder") << QStringLiteral("root link");
        QTest::newRow("root owned by another user") << QStringLiteral("root foreign");
        QTest::newRow("root with mode 0777") << QStringLiteral("root 0777");
        QTest::newRow("copy's folder swapped for a link while it copies") << QStringLiteral("swap copying");
        QTest::newRow("copy's folder swapped for a link while it uploads") << QStringLiteral("swap uploading");
    }
    void hostileLayoutsRedirectNothing()
    {
        QFETCH(QString, layout);
        if (layout == QLatin1String("root foreign") && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user (chown) here");
        const QString root = PickedRoot::ownPath(m_temp.path());
        const bool rootRow = layout.startsWith(QLatin1String("root"));
        const QString canaries = layout == QLatin1String("root 0777") || layout == QLatin1String("root foreign")
                                     ? root
                                     : m_dir.filePath(QStringLiteral("canaries"));
        // The copy's folder as it was named, and where a swap moves it.
        QString folder;
        QString moved;
        const auto restore = qScopeGuard([&] {
            for (const QString &path : {root, folder}) {
                if (QFileInfo(path).isSymLink())
                    QFile::remove(path);
            }
            // Never an empty path: QDir takes it for the working folder.
            for (const QString &path : {root, moved, m_dir.filePath(QStringLiteral("canaries"))}) {
                if (!path.isEmpty())
                    QDir(path).removeRecursively();
            }
        });
        QVERIFY(QDir(root).removeRecursively());
        QVERIFY(plantCanaries(canaries));
        if (layout == QLatin1String("root link"))
            QVERIFY(QFile::link(canaries, root));
        else if (layout == QLatin1String("root foreign"))
            QVERIFY(::chown(QFile::encodeName(root).constData(), 65534, 65534) == 0);
        else if (layout == QLatin1String("root 0777"))
            QVERIFY(::chmod(QFile::encodeName(root).constData(), 0777) == 0);
        const QMap<QString, QByteArray> planted = snapshot(canaries);

        const QByteArray content(256 * 1024, 'p');
        const QString original = writeFile(QStringLiteral("song.mp3"), content);
        ScriptedResponder responder;
        responder.reply(200, R"({"success":true,"data":{"url":"stored.mp3"}})");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        std::unique_ptr<FilePoolBlock> copying;
        if (layout == QLatin1String("swap copying")) {
            copying = std::make_unique<FilePoolBlock>();
            QTRY_VERIFY(copying->holdsAll());
        }
        const QString copy = pick(original, false);
        QVERIFY(!copy.isEmpty());
        folder = QFileInfo(copy).path();
        moved = folder + QStringLiteral("-moved");
        const auto swap = [&] { return QDir().rename(folder, moved) && QFile::link(canaries, folder); };
        UploadSlot slot;
        if (rootRow) {
            // A folder of the user's own beside the root that is not.
            struct stat own = {};
            QVERIFY2(!copy.startsWith(root + QLatin1Char('/')), qPrintable(copy));
            QVERIFY(::lstat(QFile::encodeName(QFileInfo(folder).path()).constData(), &own) == 0 &&
                    S_ISDIR(own.st_mode) && own.st_uid == ::geteuid() && (own.st_mode & 077) == 0);
            slot.uploadFile(copy);
        } else if (copying) {
            QVERIFY(swap());
            copying.reset();
            slot.uploadFile(copy);
        } else {
            const QFuture<bool> done = PickedCopies::whenCopied(copy);
            QTRY_VERIFY(done.isFinished() && done.result());
            FilePoolBlock reading(FilePool::readingPool());
            QTRY_VERIFY(reading.holdsAll());
            slot.uploadFile(copy);
            QTRY_COMPARE(openDescriptorsOnto(copy), 1);
            // Its bytes come through the held threads: the upload cannot have ended.
            QVERIFY(slot.isUploading());
            QVERIFY(swap());
        }
        QTRY_VERIFY(!slot.isUploading());
        QCOMPARE(slot.address(), QStringLiteral("stored.mp3"));
        QCOMPARE(responder.requests().size(), 1);
        QVERIFY(responder.requests().first().body.contains(content));
        QVERIFY(!responder.requests().first().body.contains("canary"));
        if (rootRow) {
            QTRY_VERIFY(!QFileInfo::exists(folder));
        } else {
            // The copy and its owner file went from the folder itself, wherever it was moved; the
            // link in its place stays, and so does the folder, now that its name leads elsewhere.
            QTRY_VERIFY(QDir(moved).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
            QVERIFY(QFileInfo(folder).isSymLink());
        }
        const QFuture<int> sweep = PickedCopies::removeLeftovers();
        QTRY_VERIFY(sweep.isFinished());
        QCOMPARE(snapshot(canaries), planted);
    }
};

QTEST_MAIN(TestPickedCopies)
#include "tst_pickedcopies.moc"
