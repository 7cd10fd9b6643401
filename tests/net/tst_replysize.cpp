// Replies are held whole in memory, so their size is bounded: a body past the limit stops the
// transfer, whether it announces its length or streams without end, and memory stays near the
// limit meanwhile. A huge undecodable reply costs a few times its size and one short console line.
#include "NetworkManager.h"
#include "ProcessMemory.h"
#include "ScriptedResponder.h"
#include "StdoutCapture.h"
#include "TaskOutcome.h"
#include "TransferError.h"

#include <QTest>

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

} // namespace

class ReplySizeTest : public QObject
{
    Q_OBJECT

    NetworkManager &network = NetworkManager::shared();

private Q_SLOTS:
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
        // Qt stopped reading soon after the limit instead of queueing whatever was offered.
        QVERIFY2(responder.bytesSent() < NetworkManager::maxReplySize + 16 * mebibyte,
                 qPrintable(QString::number(responder.bytesSent())));
        qInfo("endless reply: peak grew by %.1f MiB", double(grown) / mebibyte);
        QVERIFY2(grown < NetworkManager::maxReplySize + 16 * mebibyte, qPrintable(QString::number(grown)));
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
