#include "FilePoolBlock.h"
#include "MultipartFileBody.h"
#include "NetworkManager.h"
#include "OpenDescriptors.h"
#include "ProcessMemory.h"
#include "ScriptedResponder.h"
#include "TaskOutcome.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <algorithm>
#include <fcntl.h>

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

} // namespace

class UploadStreamingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Qt may rewind an upload body and send it again (a connection dropped before the reply), and
    // reads it in pieces of its own choosing, taking what is there and waiting for readyRead() when
    // nothing is: every position must give the same bytes.
    void bodyReadsTheSameBytesFromAnyPosition()
    {
        QTemporaryFile source;
        QVERIFY(source.open());
        QByteArray content;
        for (int i = 0; i < 5000; ++i)
            content += char(i % 251);
        source.write(content);
        source.flush();

        const int fd = ::open(QFile::encodeName(source.fileName()).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        MultipartFileBody body(fd, QStringLiteral("a.bin"), QStringLiteral("B"));
        const QByteArray whole = MultipartFileBody::head(QStringLiteral("a.bin"), QStringLiteral("B")) + content
                                 + MultipartFileBody::tail(QStringLiteral("B"));
        QCOMPARE(body.size(), whole.size());
        const auto readUpTo = [&body](qint64 size, qint64 piece) {
            QByteArray read;
            (void)QTest::qWaitFor([&] {
                for (QByteArray more; read.size() < size;) {
                    if ((more = body.read(std::min(piece, size - read.size()))).isEmpty())
                        break;
                    read += more;
                }
                return read.size() == size || body.atEnd();
            });
            return read;
        };

        QCOMPARE(readUpTo(whole.size(), 7), whole);
        const QList<qint64> positions{0, 3, whole.size() - content.size() - 20, whole.size() - 30, whole.size() - 1};
        for (const qint64 position : positions) {
            QVERIFY(body.seek(position));
            QCOMPARE(readUpTo(4096, 4096), whole.mid(position, 4096));
        }
        QVERIFY(body.reset());
        QCOMPARE(readUpTo(whole.size(), whole.size()), whole);
        QVERIFY(!body.seek(whole.size() + 1));
    }

    // The body's descriptor is closed on the file pool, never by the GUI thread that deletes the body
    // with its reply: the file is often a picked copy whose name is gone by then, and that last
    // close frees every block of it. With the pool held, the descriptor stays open whatever the GUI
    // thread does; once it is let go, it is closed, on every way an upload ends.
    void lastCloseIsLeftToTheFilePool_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("body deleted") << QStringLiteral("deleted");
        QTest::newRow("upload stored") << QStringLiteral("stored");
        QTest::newRow("upload with no address to go to") << QStringLiteral("no address");
    }
    void lastCloseIsLeftToTheFilePool()
    {
        QFETCH(QString, end);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("take.mov"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(256 * 1024, 'm')) > 0);
        file.close();
        ScriptedResponder responder;
        responder.reply(200, R"({"success":true,"data":{"url":"stored.mov"}})");
        NetworkManager &network = NetworkManager::shared();
        network.setBaseURL(end == QLatin1String("no address") ? QStringLiteral("http://not a host/api")
                                                              : responder.baseUrl());

        FilePoolBlock block;
        QTRY_VERIFY(block.holdsAll());
        if (end == QLatin1String("deleted")) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(fd >= 0);
            auto body = std::make_unique<MultipartFileBody>(fd, QStringLiteral("take.mov"), QStringLiteral("B"));
            QVERIFY(QFile::remove(path));
            body.reset();
        } else {
            const auto outcome = runToEnd(network.uploadFile(path));
            QCOMPARE(outcome.value.has_value(), end == QLatin1String("stored"));
            QVERIFY(QFile::remove(path));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(openDescriptorsOnto(path), 1);
        block.release();
        QTRY_COMPARE(openDescriptorsOnto(path), 0);
    }

    // A 64 MB file reaches the wire whole and unchanged while the client's peak resident
    // memory grows by far less than the file: it is streamed, not held.
    void largeFileIsStreamed()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("resident memory means nothing under AddressSanitizer");
#endif

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("big.mov"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray chunk(mebibyte, Qt::Uninitialized);
            for (qint64 i = 0; i < 64; ++i) {
                for (qint64 j = 0; j < chunk.size(); ++j)
                    chunk[j] = char((i * 131 + j * 7) & 0xff);
                QCOMPARE(file.write(chunk), chunk.size());
            }
        }

        ScriptedResponder responder;
        responder.setKeepBodies(false);
        responder.reply(200, R"({"success":true,"data":{"url":"stored.mov"}})");
        responder.reply(200, R"({"success":true,"data":{"url":"stored.mov"}})");
        NetworkManager &network = NetworkManager::shared();
        network.setBaseURL(responder.baseUrl());

        // A first small upload loads whatever Qt loads once, so that only the big one is measured.
        QFile small(dir.filePath(QStringLiteral("small.mov")));
        QVERIFY(small.open(QIODevice::WriteOnly) && small.write("x") == 1);
        small.close();
        QVERIFY(runToEnd(network.uploadFile(small.fileName())).value);

        // Without a reset the growth is measured against the earlier peak.
        const bool reset = ProcessMemory::resetPeak();
        const qint64 before = ProcessMemory::kb("VmHWM") * 1024;
        const auto outcome = runToEnd(network.uploadFile(path));
        const qint64 after = ProcessMemory::kb("VmHWM") * 1024;
        QCOMPARE(outcome.value.value_or(outcome.errorText()), QStringLiteral("stored.mov"));

        // The same bytes on the wire as the whole body built in memory would have had.
        const auto &request = responder.requests().last();
        const QString boundary = QString::fromLatin1(request.header("Content-Type").split('=').last());
        QCryptographicHash wire(QCryptographicHash::Sha256);
        wire.addData(MultipartFileBody::head(QStringLiteral("big.mov"), boundary));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(wire.addData(&file));
        wire.addData(MultipartFileBody::tail(boundary));
        QCOMPARE(request.bodySha256, wire.result());
        QCOMPARE(request.bodySize, file.size() + MultipartFileBody::head(QStringLiteral("big.mov"), boundary).size()
                                       + MultipartFileBody::tail(boundary).size());

        const qint64 added = after - before;
        qInfo("64 MB upload: peak resident memory grew by %.1f MB (peak %s)", double(added) / mebibyte,
              reset ? "reset before the upload" : "not resettable");
        QVERIFY2(added < 16 * mebibyte, qPrintable(QStringLiteral("grew by %1 bytes").arg(added)));
    }
};

QTEST_GUILESS_MAIN(UploadStreamingTest)
#include "tst_uploadstreaming.moc"
