// Two limits end a request whose reply does not come: the idle time-out, for a transfer silent too
// long, and the deadline, for a reply that trickles without end. The deadline lies well beyond the
// idle time-out, so that it never ends a reply the idle time-out lets through. Both are scaled down
// here in the proportion they have in use.
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "TaskOutcome.h"
#include "TransferError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

constexpr auto idle = 2s;
constexpr auto deadline = NetworkManager::deadlineFactor * idle;

// Answers the first request `silence` after it arrived whole (an upload's body included).
void answerAfter(ScriptedResponder &responder, std::chrono::milliseconds silence, const QByteArray &body)
{
    auto *watch = new QTimer(&responder);
    QObject::connect(watch, &QTimer::timeout, &responder, [&responder, watch, silence, body] {
        if (responder.requests().isEmpty())
            return;
        watch->stop();
        QTimer::singleShot(silence, &responder, [&responder, body] { responder.answerWaiting(200, body); });
    });
    watch->start(5);
}

} // namespace

class ReplyDeadlineTest : public QObject
{
    Q_OBJECT

    NetworkManager &network = NetworkManager::shared();
    QTemporaryDir dir;

    // Runs one request of the kind to its end: the address or value it gave, or its failure.
    QString outcomeOf(const QString &kind)
    {
        if (kind == QLatin1String("GET")) {
            const auto outcome = runToEnd(network.request<QList<qint64>>(QStringLiteral("feed.php")));
            return outcome.value ? QStringLiteral("list of %1").arg(outcome.value->size()) : outcome.errorText();
        }
        if (kind == QLatin1String("POST JSON")) {
            const QJsonObject body{{QStringLiteral("user_id"), 1}, {QStringLiteral("text"), QStringLiteral("Привет")}};
            const auto outcome = runToEnd(
                network.request<APIResponse<qint64>>(QStringLiteral("feed.php"), QStringLiteral("POST"), body));
            return outcome.value ? QStringLiteral("post %1").arg(outcome.value->data.value_or(-1))
                                 : outcome.errorText();
        }
        TaskOutcome<QString> outcome;
        if (kind == QLatin1String("photo upload")) {
            QImage photo(16, 16, QImage::Format_RGB32);
            photo.fill(Qt::darkCyan);
            outcome = runToEnd(network.uploadImage(photo));
        } else {
            QFile file(dir.filePath(QStringLiteral("track.mp3")));
            if (!file.open(QIODevice::WriteOnly) || file.write("ID3") != 3)
                return QStringLiteral("no file to upload");
            file.close();
            outcome = runToEnd(network.uploadFile(file.fileName()));
        }
        return outcome.value ? QStringLiteral("stored at ") + *outcome.value : outcome.errorText();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void cleanup()
    {
        network.setTimeoutOverride(0ms);
        network.setDeadlineOverride(0ms);
    }

    void limitsOfEveryKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reply"); // "silent <ms>", or "trickling"
        QTest::addColumn<QString>("outcome");
        const QString late = QStringLiteral("Сервер не ответил вовремя");
        const QList<QPair<const char *, QString>> kinds = {
            {"GET", QStringLiteral("list of 2")},
            {"POST JSON", QStringLiteral("post 5")},
            {"photo upload", QStringLiteral("stored at http://127.0.0.1/media/p.jpg")},
            {"file upload", QStringLiteral("stored at http://127.0.0.1/media/p.jpg")},
        };
        for (const auto &[kind, answered] : kinds) {
            // Four fifths of the idle time-out: a margin that holds on a loaded machine, where the
            // request takes its time to arrive and the answer to be read.
            QTest::addRow("%s: silent for most of the idle time-out, then whole", kind)
                << QString::fromLatin1(kind) << "silent 1600" << answered;
            QTest::addRow("%s: silent past the idle time-out", kind)
                << QString::fromLatin1(kind) << "silent 3000" << late;
            // A byte a second keeps the idle time-out from firing; the deadline ends the request.
            QTest::addRow("%s: trickling a byte a second", kind) << QString::fromLatin1(kind) << "trickling" << late;
        }
    }

    void limitsOfEveryKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reply);
        QFETCH(QString, outcome);
        network.setTimeoutOverride(idle);
        network.setDeadlineOverride(deadline);
        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        // Padded with spaces to outlast the deadline when it trickles.
        const QByteArray body =
            (kind == QLatin1String("GET") ? QByteArray("[1,2]")
             : kind == QLatin1String("POST JSON")
                 ? QByteArray(R"({"success":true,"data":5})")
                 : QByteArray(R"({"success":true,"data":{"url":"http:\/\/127.0.0.1\/media\/p.jpg"}})"))
                .leftJustified(60, ' ');
        if (reply == QLatin1String("trickling")) {
            // The head at once: Qt's idle time-out counts body bytes only.
            const QByteArray head =
                "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
            responder.replyTrickling(head + body, 1000, head.size());
        } else {
            responder.replyNothing();
            answerAfter(responder, std::chrono::milliseconds(reply.section(QLatin1Char(' '), 1).toInt()), body);
        }

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(outcomeOf(kind), outcome);
        if (reply == QLatin1String("trickling")) {
            // Not a moment before the deadline: the idle time-out, five times shorter, never fired.
            QVERIFY2(clock.elapsed() >= std::chrono::milliseconds(deadline).count(),
                     qPrintable(QString::number(clock.elapsed())));
        }
    }
};

QTEST_GUILESS_MAIN(ReplyDeadlineTest)
#include "tst_replydeadline.moc"
