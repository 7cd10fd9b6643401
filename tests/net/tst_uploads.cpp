#include "DecodingError.h"
#include "FileReadError.h"
#include "NetworkError.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "StdoutCapture.h"
#include "TaskOutcome.h"
#include "TransferError.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// JSON spells the slashes of addresses escaped here: moc reads "//" inside a raw string as a comment.
const QByteArray stored = R"({"success":true,"data":{"url":"http:\/\/127.0.0.1/media/f.mp3"}})";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return file.fileName();
}

// The boundary announced in the request's Content-Type.
QByteArray boundaryOf(const ScriptedResponder::Request &request)
{
    const QByteArray type = request.header("Content-Type");
    const QByteArray prefix = "multipart/form-data; boundary=";
    return type.startsWith(prefix) ? type.mid(prefix.size()) : QByteArray();
}

QByteArray expectedBody(const QByteArray &boundary, const QByteArray &headerName, const QByteArray &content)
{
    return "--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"file\"; filename=\"" + headerName
           + "\"\r\n" + "Content-Type: application/octet-stream\r\n" + "\r\n" + content + "\r\n--" + boundary
           + "--\r\n";
}

} // namespace

class UploadsTest : public QObject
{
    Q_OBJECT

private:
    NetworkManager &network = NetworkManager::shared();
    QTemporaryDir dir;
    QSet<QByteArray> m_boundaries;

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // The whole body byte for byte: a boundary no other upload had, part headers with the escaped
    // name, the file's bytes untouched (also those that look like line ends and boundaries), the
    // closing boundary.
    void fileGoesOutAsExactMultipart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("inHeader");
        const QByteArray framing("ID3\x00\x01\r\n--Boundary-\r\n\xff", 18);
        QTest::newRow("plain name") << "track.mp3" << framing << QByteArray("track.mp3");
        QTest::newRow("empty file") << "empty.wav" << QByteArray() << QByteArray("empty.wav");
        QTest::newRow("double quote") << "say \"hi\".mp3" << QByteArray("x") << QByteArray("say %22hi%22.mp3");
        QTest::newRow("forged header") << "a.mp3\"\r\nX-Injected: yes\r\n\r\nx" << QByteArray("x")
                                       << QByteArray("a.mp3%22%0D%0AX-Injected: yes%0D%0A%0D%0Ax");
        QTest::newRow("non-ascii stays utf-8") << "Песня №1 — ёжик.mp3" << QByteArray("x")
                                               << QString("Песня №1 — ёжик.mp3").toUtf8();
        QTest::newRow("percent and backslash stay") << "100% \\ done;.mp3" << QByteArray("x")
                                                    << QByteArray("100% \\ done;.mp3");
    }

    void fileGoesOutAsExactMultipart()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, inHeader);
        ScriptedResponder responder;
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        network.setAuthToken(QStringLiteral("never-sent"));
        const QString path = writeFile(dir, name, content);
        QVERIFY(!path.isEmpty());

        const auto outcome = runToEnd(network.uploadFile(path));
        network.setAuthToken(std::nullopt);
        QCOMPARE(outcome.value.value_or(outcome.errorText()), QStringLiteral("http://127.0.0.1/media/f.mp3"));

        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/upload.php"));
        QVERIFY(!request.hasHeader("Authorization"));
        const QByteArray boundary = boundaryOf(request);
        QVERIFY2(QRegularExpression(QStringLiteral("^Boundary-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                     .match(QString::fromLatin1(boundary))
                     .hasMatch(),
                 boundary.constData());
        QVERIFY2(!m_boundaries.contains(boundary), "every upload has a boundary of its own");
        m_boundaries.insert(boundary);
        QCOMPARE(request.body, expectedBody(boundary, inHeader, content));
        QCOMPARE(request.header("Content-Length").toLongLong(), request.body.size());
    }

    void photoGoesOutAsBase64Jpeg()
    {
        ScriptedResponder responder;
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 30));

        QVERIFY(runToEnd(network.uploadImage(image)).value);
        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/upload.php"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        const QJsonObject body = QJsonDocument::fromJson(request.body).object();
        QCOMPARE(body.keys(), QStringList({QStringLiteral("base64_data"), QStringLiteral("extension")}));
        QCOMPARE(body.value(QStringLiteral("extension")).toString(), QStringLiteral("jpg"));
        const QByteArray encoded = body.value(QStringLiteral("base64_data")).toString().toLatin1();
        QVERIFY(!encoded.contains('\n'));
        const auto decodedBase64 = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
        QVERIFY(decodedBase64);
        const QByteArray jpeg = *decodedBase64;
        QVERIFY(jpeg.startsWith("\xff\xd8") && jpeg.endsWith("\xff\xd9"));
        const QImage decoded = QImage::fromData(jpeg, "JPG");
        QCOMPARE(decoded.size(), QSize(40, 30));
        QVERIFY(qAbs(decoded.pixelColor(20, 15).red() - 200) < 8);
    }

    void failuresBeforeSendingSendNothing_data()
    {
        QTest::addColumn<QString>("what"); // "photo" or a file's path
        QTest::addColumn<QString>("base"); // empty: the responder's
        QTest::addColumn<QString>("error"); // empty: the file's own read failure
        const QString badAddress = QStringLiteral("http://127.0.0.1:99999/api");
        QTest::newRow("photo without JPEG bytes") << "null photo" << "" << "Ошибка чтения данных: Ошибка сжатия изображения";
        QTest::newRow("photo, invalid address") << "photo" << badAddress << "Некорректный адрес сервера";
        QTest::newRow("file, invalid address") << "a.mp3" << badAddress << "Некорректный адрес сервера";
        QTest::newRow("missing file") << "/nonexistent/vorlane/track.mp3" << "" << "";
        QTest::newRow("directory") << QDir::tempPath() << "" << "";
    }

    void failuresBeforeSendingSendNothing()
    {
        QFETCH(QString, what);
        QFETCH(QString, base);
        QFETCH(QString, error);
        ScriptedResponder responder;
        network.setBaseURL(base.isEmpty() ? responder.baseUrl() : base);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        TaskOutcome<QString> outcome;
        if (what.endsWith(QLatin1String("photo")))
            outcome = runToEnd(network.uploadImage(what == QLatin1String("photo") ? image : QImage()));
        else
            outcome = runToEnd(network.uploadFile(what.startsWith(QLatin1Char('/')) ? what : writeFile(dir, what, "abc")));

        if (error.isEmpty())
            QVERIFY(outcome.errorAs<FileReadError>() && !outcome.errorText().isEmpty());
        else
            QCOMPARE(outcome.errorText(), error);
        QTest::qWait(20);
        QCOMPARE(responder.connectionCount(), 0);
    }

    void repliesAreRead_data()
    {
        QTest::addColumn<bool>("photo");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("outcome"); // "url …", "server …", "decoding" or "transfer …"

        for (const bool photo : {true, false}) {
            const char *kind = photo ? "photo" : "file";
            const QString fallback = photo ? QStringLiteral("Ошибка загрузки фото") : QStringLiteral("Ошибка загрузки файла");
            const auto row = [&](const char *name) -> QTestData & { return QTest::addRow("%s: %s", kind, name); };
            row("stored") << photo << 200 << stored << "url http://127.0.0.1/media/f.mp3";
            row("stored, status 401") << photo << 401 << stored << "url http://127.0.0.1/media/f.mp3";
            row("stored, status 500") << photo << 500 << stored << "url http://127.0.0.1/media/f.mp3";
            row("no url, no message") << photo << 200 << QByteArray(R"({"success":true,"data":{"name":"f"}})")
                                      << "server " + fallback;
            row("no url, a message") << photo << 200
                                     << QByteArray(R"({"success":true,"message":"Файл слишком большой","data":{}})")
                                     << "server Файл слишком большой";
            row("empty url") << photo << 200 << QByteArray(R"({"success":true,"data":{"url":""}})")
                             << "server " + fallback;
            row("no data") << photo << 200 << QByteArray(R"({"success":true})") << "server " + fallback;
            row("refused") << photo << 200 << QByteArray(R"({"success":false,"message":"Недопустимый тип файла"})")
                           << "server Недопустимый тип файла";
            row("url not a text") << photo << 200 << QByteArray(R"({"success":true,"data":{"url":5}})") << "decoding";
            row("not an envelope") << photo << 200 << QByteArray(R"({"url":"http:\/\/x/y"})") << "decoding";
            row("html page") << photo << 502 << QByteArray("<html>Bad Gateway</html>") << "decoding";
            row("cut off after 200") << photo << 0 << QByteArray("{\"success\":true,")
                                     << "transfer Соединение с сервером прервано";
            // Once the body is sent, a reply a byte a second still ends at the deadline.
            row("trickling past the deadline") << photo << -1 << QByteArray("{\"success\":true}")
                                               << "transfer Сервер не ответил вовремя";
        }
    }

    void repliesAreRead()
    {
        QFETCH(bool, photo);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, outcome);
        ScriptedResponder responder;
        network.setDeadlineOverride(std::chrono::seconds(status < 0 ? 2 : 0));
        if (status == 0)
            responder.replyCutOff(reply);
        else if (status < 0)
            responder.replyTrickling("HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n" + reply, 1000);
        else
            responder.reply(status, reply);
        network.setBaseURL(responder.baseUrl());
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QString path = writeFile(dir, QStringLiteral("r.mp3"), "abc");

        StdoutCapture capture;
        const auto result = runToEnd(photo ? network.uploadImage(image) : network.uploadFile(path));
        // Upload replies are never written to the console.
        QCOMPARE(capture.finish(), QByteArray());

        if (outcome.startsWith(QLatin1String("url "))) {
            QCOMPARE(result.value.value_or(QStringLiteral("error ") + result.errorText()), outcome.mid(4));
        } else if (outcome.startsWith(QLatin1String("server "))) {
            const auto error = result.errorAs<NetworkError>();
            QVERIFY2(error && error->kind() == NetworkError::Kind::ServerError, qPrintable(result.errorText()));
            QCOMPARE(error->localizedDescription(), outcome.mid(7));
        } else if (outcome.startsWith(QLatin1String("transfer "))) {
            QVERIFY2(result.errorAs<TransferError>(), qPrintable(result.errorText()));
            QCOMPARE(result.errorText(), outcome.mid(9));
        } else {
            QVERIFY2(result.errorAs<DecodingError>(), qPrintable(result.errorText()));
            QVERIFY(!result.errorAs<NetworkError>());
        }
    }
};

QTEST_MAIN(UploadsTest)
#include "tst_uploads.moc"
