// Replies are held whole in memory, so their size is bounded: a body past the limit stops the
// transfer, whether it announces its length or streams without end, and memory stays near the
// limit meanwhile, whatever the request's method. A huge undecodable reply costs a few times its
// size and one short console line.
#include "NetworkManager.h"
#include "ParseCost.h"
#include "ProcessMemory.h"
#include "ResponderThread.h"
#include "ScriptedResponder.h"
#include "StdoutCapture.h"
#include "TaskOutcome.h"
#include "TransferError.h"
#include "records/RecordSamples.h"

#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <thread>

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

// The growth of the process's peak resident memory while run() goes, in bytes; -1 where the
// kernel cannot restart the peak or the sanitizer's allocator makes the figure meaningless.
template <class F> qint64 peakGrowth(F run)
{
#if defined(__SANITIZE_ADDRESS__)
    run();
    return -1;
#else
    const bool reset = ProcessMemory::resetPeak();
    const qint64 before = ProcessMemory::kb("VmHWM") * 1024;
    run();
    return reset ? ProcessMemory::kb("VmHWM") * 1024 - before : -1;
#endif
}

// The most of one connection's bytes that the kernel holds on this machine: its largest receive
// buffer (the last field of net.ipv4.tcp_rmem), to which TCP grows it under a peer this fast, twice
// (Qt's socket takes in at one read what that buffer held, and the buffer fills again), and its
// largest send buffer. Debian's defaults come to 16 MiB; a machine tuned for throughput allows more.
qint64 kernelBuffers()
{
    const auto largest = [](const char *path, qint64 fallback) {
        QFile file(QString::fromLatin1(path));
        bool read = false;
        const qint64 value =
            file.open(QIODevice::ReadOnly) ? file.readAll().simplified().split(' ').value(2).toLongLong(&read) : 0;
        return read ? value : fallback;
    };
    return 2 * largest("/proc/sys/net/ipv4/tcp_rmem", 6 * mebibyte) +
           largest("/proc/sys/net/ipv4/tcp_wmem", 4 * mebibyte);
}

} // namespace

class ReplySizeTest : public QObject
{
    Q_OBJECT

    NetworkManager &network = NetworkManager::shared();
    QTemporaryDir dir;

    // The request of one kind, run to its end; its failure's text, or empty.
    QString failureOf(const QString &kind)
    {
        if (kind == QLatin1String("GET"))
            return runToEnd(network.request<QList<qint64>>(QStringLiteral("feed.php"))).errorText();
        if (kind == QLatin1String("POST JSON")) {
            const QJsonObject body{{QStringLiteral("user_id"), 1}, {QStringLiteral("text"), QStringLiteral("Привет")}};
            return runToEnd(
                       network.request<APIResponse<qint64>>(QStringLiteral("feed.php"), QStringLiteral("POST"), body))
                .errorText();
        }
        if (kind == QLatin1String("photo upload")) {
            QImage photo(16, 16, QImage::Format_RGB32);
            photo.fill(Qt::darkCyan);
            return runToEnd(network.uploadImage(photo)).errorText();
        }
        QFile file(dir.filePath(QStringLiteral("track.mp3")));
        if (!file.open(QIODevice::WriteOnly) || file.write("ID3") != 3)
            return QStringLiteral("no file to upload");
        file.close();
        return runToEnd(network.uploadFile(file.fileName())).errorText();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Every method is read as a GET is, from a peer that sends as fast as the kernel takes the
    // bytes while the client's thread is busy most of the time, as it is drawing a window. A reply
    // that cannot be read costs at most three times its size, whatever it holds.
    void everyMethodIsBounded_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reply");
        for (const char *kind : {"GET", "POST JSON", "photo upload", "file upload"}) {
            QTest::addRow("%s, endless reply", kind) << QString::fromLatin1(kind) << "endless";
            QTest::addRow("%s, 63 MiB that are no JSON", kind) << QString::fromLatin1(kind) << "not JSON";
            // As many values as the bytes allow: the reader would hold twelve times the reply.
            QTest::addRow("%s, 63 MiB of bare numbers", kind) << QString::fromLatin1(kind) << "numbers";
        }
    }

    void everyMethodIsBounded()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reply);
        const qint64 size = reply == QLatin1String("endless") ? -1 : 63 * mebibyte;
        const QByteArray head = size < 0
                                    ? QByteArray("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                                                 "Connection: close\r\n\r\n")
                                    : "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(size) + "\r\n\r\n";
        // Made before the peak is measured and held to the end, so that neither making nor
        // freeing the peer's copy of the reply counts as the client's.
        QByteArray whole;
        if (reply == QLatin1String("numbers")) {
            // "[0,0,…,0 ]": the body's size is even.
            whole = head + "[" + QByteArray("0,").repeated((size - 4) / 2) + "0 ]";
        }
        ResponderThread responder([&](ScriptedResponder &scripted) {
            if (whole.isEmpty())
                scripted.replyStreamed(head, size);
            else
                scripted.reply(whole);
        });
        network.setBaseURL(responder.baseUrl());
        QTimer busy;
        QObject::connect(&busy, &QTimer::timeout, [] { std::this_thread::sleep_for(std::chrono::milliseconds(15)); });
        busy.start(20);

        QString failure;
        const qint64 grown = peakGrowth([&] {
            StdoutCapture capture;
            failure = failureOf(kind);
        });
        busy.stop();
        responder.stop();
        // The peer's own buffers (its 4 MiB lead, a 1 MiB chunk) are in this process too.
        const double cap = size < 0 ? double(NetworkManager::maxReplySize + 32 * mebibyte) : double(3 * size);
        qInfo("%s, %s: peak grew by %.1f MiB (bound %.0f MiB); the peer sent %.1f MiB", qPrintable(kind),
              qPrintable(reply), double(grown) / mebibyte, cap / mebibyte, double(responder.bytesSent()) / mebibyte);
        if (size < 0) {
            QCOMPARE(failure, QStringLiteral("Ответ сервера слишком большой: больше 64 МиБ"));
            // Qt stopped taking bytes soon after the limit: beyond it only the responder's 4 MiB
            // lead and 1 MiB chunk, Qt's 1 MiB read-ahead and what the kernel's buffers hold.
            const qint64 beyond = std::max(24 * mebibyte, 6 * mebibyte + kernelBuffers());
            QVERIFY2(
                responder.bytesSent() < NetworkManager::maxReplySize + beyond,
                qPrintable(
                    QStringLiteral("%1 bytes, %2 allowed beyond the limit").arg(responder.bytesSent()).arg(beyond)));
        } else if (reply == QLatin1String("numbers")) {
            QVERIFY2(
                failure.endsWith(QStringLiteral("данные не являются корректным JSON (слишком большой объём данных)")),
                qPrintable(failure));
        } else {
            QVERIFY2(failure.contains(QStringLiteral("данные не являются корректным JSON")), qPrintable(failure));
        }
        QVERIFY2(grown < cap, qPrintable(QString::number(grown)));
    }

    // Large replies as dense as the service's records are read; far denser ones are refused before
    // the reader holds many times their size. Small ones are read whatever they hold.
    void denseRepliesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        const qint64 large = ParseCost::checkedFrom;
        QTest::newRow("posts") << RecordSamples::post << large << true;
        QTest::newRow("comments") << RecordSamples::comment << large << true;
        QTest::newRow("tracks") << RecordSamples::track << large << true;
        QTest::newRow("channels") << RecordSamples::channel << large << true;
        QTest::newRow("users with every text empty")
            << QByteArray(R"({"id":1,"username":"a","first_name":"","last_name":"","is_verified":false,)"
                          R"("followers_count":0,"following_count":0,"is_online":true})")
            << large << true;
        QTest::newRow("one long text") << QByteArray("\"a \\\" b\"").repeated(1000) << large << true;
        QTest::newRow("bare numbers") << QByteArray("0") << large << false;
        QTest::newRow("fractions") << QByteArray("1.5") << large << false;
        QTest::newRow("empty texts") << QByteArray("\"\"") << large << false;
        QTest::newRow("empty arrays") << QByteArray("[]") << large << false;
        QTest::newRow("keys of one letter") << QByteArray("{\"a\":1,\"b\":true}") << large << false;
        QTest::newRow("bare numbers, small reply") << QByteArray("0") << ParseCost::checkedFrom - 1 << true;
    }

    void denseRepliesAreRefused()
    {
        QFETCH(QByteArray, element);
        QFETCH(qint64, size);
        QFETCH(bool, read);
        // As many elements as fit with the closing bracket, the rest blanks. Made in one piece: an
        // element at a time costs minutes under the sanitizers, one allocation an element.
        const qint64 more = std::max<qint64>(0, (size - element.size() - 2) / (element.size() + 1));
        QByteArray list = "[" + element + ("," + element).repeated(more);
        list = list.leftJustified(size - 1, ' ') + "]";
        QCOMPARE(list.size(), size);
        const std::optional<DecodingError> refusal = ParseCost::refusal(list);
        QCOMPARE(!refusal, read);
        if (refusal)
            QCOMPARE(refusal->localizedDescription(),
                     QStringLiteral("данные не являются корректным JSON (слишком большой объём данных)"));
    }

    void endlessBodyStopsAtTheLimit()
    {
        ScriptedResponder responder;
        responder.replyStreamed("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n");
        network.setBaseURL(responder.baseUrl());
        TaskOutcome<QList<qint64>> outcome;
        const qint64 grown = peakGrowth([&] { outcome = runToEnd(network.request<QList<qint64>>("feed.php")); });
        const auto error = outcome.errorAs<TransferError>();
        QVERIFY2(error, qPrintable(outcome.errorText()));
        QCOMPARE(error->localizedDescription(), QStringLiteral("Ответ сервера слишком большой: больше 64 МиБ"));
        // Qt stopped reading soon after the limit instead of queueing whatever was offered: beyond
        // it, only the responder's 4 MiB lead, the kernel's loopback buffers and Qt's 1 MiB.
        QVERIFY2(responder.bytesSent() < NetworkManager::maxReplySize + 24 * mebibyte,
                 qPrintable(QString::number(responder.bytesSent())));
        qInfo("endless reply: peak grew by %.1f MiB", double(grown) / mebibyte);
        QVERIFY2(grown < NetworkManager::maxReplySize + 24 * mebibyte, qPrintable(QString::number(grown)));
    }

    void bodyUpToTheLimitIsRead_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the limit") << NetworkManager::maxReplySize << true;
        QTest::newRow("one byte more") << NetworkManager::maxReplySize + 1 << false;
    }

    void bodyUpToTheLimitIsRead()
    {
        QFETCH(qint64, size);
        QFETCH(bool, read);
        ScriptedResponder responder;
        responder.reply(200, QByteArray(size - 2, 'a').prepend('"').append('"'));
        network.setBaseURL(responder.baseUrl());
        const auto outcome = runToEnd(network.request<QString>(QStringLiteral("feed.php")));
        if (read) {
            QVERIFY2(outcome.value, qPrintable(outcome.errorText()));
            QCOMPARE(outcome.value->size(), size - 2);
        } else {
            QVERIFY(!outcome.value);
            QVERIFY(outcome.errorAs<TransferError>());
        }
    }

    // 50 MiB that no stage can read: the failure costs at most three times the reply, and the
    // console line shows the first 64 KiB and counts the rest.
    void hugeUndecodableReply()
    {
        const qint64 size = 50 * mebibyte;
        ScriptedResponder responder;
        responder.replyStreamed("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(size) + "\r\n\r\n", size);
        network.setBaseURL(responder.baseUrl());
        QByteArray console;
        TaskOutcome<QList<qint64>> outcome;
        const qint64 grown = peakGrowth([&] {
            StdoutCapture capture;
            outcome = runToEnd(network.request<QList<qint64>>(QStringLiteral("feed.php")));
            console = capture.finish();
        });
        QVERIFY(outcome.errorText().startsWith(QStringLiteral("Ошибка чтения данных: ")));
        const QByteArray tail = " … (" + QByteArray::number(size - 64 * 1024) + " more bytes not shown)\n";
        QVERIFY2(console.endsWith(QByteArray(64 * 1024, 'x') + tail), console.right(200).constData());
        QVERIFY2(console.size() < 65 * 1024, qPrintable(QString::number(console.size())));
        qInfo("50 MiB undecodable reply: peak grew by %.1f MiB", double(grown) / mebibyte);
        QVERIFY2(grown < 3 * size, qPrintable(QString::number(grown)));
    }
};

QTEST_GUILESS_MAIN(ReplySizeTest)
#include "tst_replysize.moc"
