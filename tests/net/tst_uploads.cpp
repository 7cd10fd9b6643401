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

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void fileGoesOutAsExactMultipart()
    {
        ScriptedResponder responder;
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        network.setAuthToken(QStringLiteral("never-sent"));
        // Bytes that look like line ends and boundaries must pass untouched.
        const QByteArray content = QByteArray("ID3\x00\x01\r\n--Boundary-\r\n\xff", 18);
        const QString path = writeFile(dir, QStringLiteral("track.mp3"), content);

        const auto outcome = runToEnd(network.uploadFile(path));
        network.setAuthToken(std::nullopt);
        QCOMPARE(outcome.errorText(), QString());
        QCOMPARE(*outcome.value, QStringLiteral("http://127.0.0.1/media/f.mp3"));

        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/upload.php"));
        QVERIFY(!request.hasHeader("Authorization"));
        const QByteArray boundary = boundaryOf(request);
        QVERIFY2(QRegularExpression(QStringLiteral("^Boundary-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                     .match(QString::fromLatin1(boundary))
                     .hasMatch(),
                 boundary.constData());
        QCOMPARE(request.body, expectedBody(boundary, "track.mp3", content));
        QCOMPARE(request.header("Content-Length").toLongLong(), request.body.size());
    }

    void emptyFileHasAnEmptyPart()
    {
        ScriptedResponder responder;
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        const QString path = writeFile(dir, QStringLiteral("empty.wav"), {});
        QVERIFY(runToEnd(network.uploadFile(path)).value);
        const auto &request = responder.requests().first();
        QCOMPARE(request.body, expectedBody(boundaryOf(request), "empty.wav", {}));
    }

    void everyUploadHasItsOwnBoundary()
    {
        ScriptedResponder responder;
        responder.reply(200, stored);
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        const QString path = writeFile(dir, QStringLiteral("twice.mp3"), "abc");
        QVERIFY(runToEnd(network.uploadFile(path)).value);
        QVERIFY(runToEnd(network.uploadFile(path)).value);
        QCOMPARE(responder.requests().size(), 2);
        QVERIFY(boundaryOf(responder.requests()[0]) != boundaryOf(responder.requests()[1]));
    }

    void fileNamesAreEscaped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("inHeader");
        QTest::newRow("double quote") << "say \"hi\".mp3" << QByteArray("say %22hi%22.mp3");
        QTest::newRow("forged header") << "a.mp3\"\r\nX-Injected: yes\r\n\r\nx"
                                       << QByteArray("a.mp3%22%0D%0AX-Injected: yes%0D%0A%0D%0Ax");
        QTest::newRow("non-ascii stays utf-8") << "Песня №1 — ёжик.mp3" << QString("Песня №1 — ёжик.mp3").toUtf8();
        QTest::newRow("percent and backslash stay") << "100% \\ done;.mp3" << QByteArray("100% \\ done;.mp3");
    }

    void fileNamesAreEscaped()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, inHeader);
        ScriptedResponder responder;
        responder.reply(200, stored);
        network.setBaseURL(responder.baseUrl());
        const QString path = writeFile(dir, name, "x");
        QVERIFY(!path.isEmpty());
        QVERIFY(runToEnd(network.uploadFile(path)).value);
        const auto &request = responder.requests().first();
        QCOMPARE(request.body, expectedBody(boundaryOf(request), inHeader, "x"));
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

    void unusablePhotoSendsNothing()
    {
        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        const auto outcome = runToEnd(network.uploadImage(QImage()));
        QCOMPARE(outcome.errorText(), QStringLiteral("Ошибка чтения данных: Ошибка сжатия изображения"));
        QCOMPARE(responder.connectionCount(), 0);
    }

    void unreadableFileSendsNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << QStringLiteral("/nonexistent/vorlane/track.mp3");
        QTest::newRow("directory") << QDir::tempPath();
    }

    void unreadableFileSendsNothing()
    {
        QFETCH(QString, path);
        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        const auto outcome = runToEnd(network.uploadFile(path));
        QVERIFY(outcome.errorAs<FileReadError>());
        QVERIFY(!outcome.errorText().isEmpty());
        QTest::qWait(20);
        QCOMPARE(responder.connectionCount(), 0);
    }

    void invalidAddressSendsNothing()
    {
        network.setBaseURL(QStringLiteral("http://127.0.0.1:99999/api"));
        const QString path = writeFile(dir, QStringLiteral("a.mp3"), "abc");
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        QCOMPARE(runToEnd(network.uploadFile(path)).errorText(), QStringLiteral("Некорректный адрес сервера"));
        QCOMPARE(runToEnd(network.uploadImage(image)).errorText(), QStringLiteral("Некорректный адрес сервера"));
    }

    void repliesAreRead_data()
    {
        QTest::addColumn<bool>("photo");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("outcome"); // "url …", "server …" or "decoding"

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
        }
    }

    void repliesAreRead()
    {
        QFETCH(bool, photo);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, outcome);
        ScriptedResponder responder;
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
        } else {
            QVERIFY2(result.errorAs<DecodingError>(), qPrintable(result.errorText()));
            QVERIFY(!result.errorAs<NetworkError>());
        }
    }

    void droppedReplyIsATransferFailure()
    {
        ScriptedResponder responder;
        responder.replyCutOff("{\"success\":true,");
        network.setBaseURL(responder.baseUrl());
        const auto outcome = runToEnd(network.uploadFile(writeFile(dir, QStringLiteral("d.mp3"), "abc")));
        const auto error = outcome.errorAs<TransferError>();
        QVERIFY(error);
        QCOMPARE(error->code(), QNetworkReply::RemoteHostClosedError);
    }
};

QTEST_MAIN(UploadsTest)
#include "tst_uploads.moc"
