#include "MultipartFileBody.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "TaskOutcome.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

// Peak resident memory of this process (VmHWM), in bytes; -1 when it cannot be read.
qint64 peakResident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// Lets the peak start again from the present resident size.
bool resetPeakResident()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

bool sanitized()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

} // namespace

class UploadStreamingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A 64 MB file reaches the wire whole and unchanged while the client's peak resident
    // memory grows by far less than the file: it is streamed, not held.
    void largeFileIsStreamed()
    {
        if (sanitized())
            QSKIP("resident memory means nothing under AddressSanitizer");

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

        const bool reset = resetPeakResident();
        const qint64 before = reset ? peakResident() : peakResident();
        const auto outcome = runToEnd(network.uploadFile(path));
        const qint64 after = peakResident();
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
