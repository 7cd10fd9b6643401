// "upload.php" of the real service: photos as base64 JSON and files as multipart form data,
// stored under names of the service's own making, served back with their content type; names,
// extensions and sizes that must not be stored are refused with an envelope and leave nothing.
#include "ProcessMemory.h"
#include "ServiceTest.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray jpegBytes()
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(0x34, 0xC7, 0x59));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 70);
    return bytes;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QByteArray rawPost(const QByteArray &script, const QByteArray &headers, const QByteArray &body)
{
    return "POST /api/" + script + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n\r\n" + body;
}
}

class tst_ServiceUpload : public ServiceTest
{
    Q_OBJECT

    QStringList storedFiles() const
    {
        return QDir(m_service.mediaDir() + "/uploads").entryList(QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void cleanup()
    {
        QDir uploads(m_service.mediaDir() + "/uploads");
        for (const QString &name : uploads.entryList(QDir::Files | QDir::Hidden))
            uploads.remove(name);
    }

    // A null file name sends the content as a base64 JSON photo, with `extension` unless it is null.
    void storesAndServesItBack_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("contentType");
        const QByteArray jpeg = jpegBytes();
        const QByteArray photo;
        const QByteArray image = "image/jpeg";
        QTest::newRow("photo: jpg") << photo << "jpg" << jpeg << "jpg" << image;
        QTest::newRow("photo: upper-case extension") << photo << "JPEG" << jpeg << "jpeg" << image;
        QTest::newRow("photo: no extension given") << photo << QString() << jpeg << "jpg" << image;
        const QString none;
        QTest::newRow("file: audio") << QByteArray("song.mp3") << none << QByteArray("ID3 not really audio") << "mp3"
                                     << QByteArray("audio/mpeg");
        QTest::newRow("file: non-ASCII name, upper-case extension")
            << QByteArray("Клип «лето».MP4") << none << QByteArray("\x00\x00\x00\x18" "ftypmp42", 12) << "mp4"
            << QByteArray("video/mp4");
        QTest::newRow("file: escaped quote in the name")
            << QByteArray("a%22b.wav") << none << QByteArray("RIFF") << "wav" << QByteArray("audio/wav");
        QTest::newRow("file: empty") << QByteArray("silence.wav") << none << QByteArray("") << "wav"
                                     << QByteArray("audio/wav");
        // Bytes that look like the multipart framing must arrive unchanged.
        const QByteArray framing = "a\r\n--Boundary-6F9619FF-8B86-D011-B42D-00CF4FC964F\r\n\r\n--Boundary-\r\n--";
        QTest::newRow("file: framing inside the content") << QByteArray("tricky.mov") << none << framing + randomBytes(3 << 20)
                                                          << "mov" << QByteArray("video/quicktime");
        QTest::newRow("file: parent folders in the name") << QByteArray("../../../../tmp/escape.m4a") << none
                                                          << QByteArray("m4a") << "m4a" << QByteArray("audio/mp4");
    }
    void storesAndServesItBack()
    {
        QFETCH(QByteArray, fileName);
        QFETCH(QString, extension);
        QFETCH(QByteArray, content);
        QFETCH(QString, stored);
        QFETCH(QByteArray, contentType);
        QJsonObject photo{{"base64_data", QString::fromLatin1(content.toBase64())}};
        if (!extension.isNull())
            photo.insert("extension", extension);
        const HttpReply reply = fileName.isNull() ? m_http->postJson("/api/upload.php", photo)
                                                  : m_http->postFile("/api/upload.php", fileName, content);
        // The address is one of the service's own making, with the stored extension.
        QVERIFY2(reply.status == 200 && reply.object().value("success") == QJsonValue(true), reply.body.constData());
        const QString url = reply.object().value("data").toObject().value("url").toString();
        const QString prefix = m_service.siteUrl() + "/media/uploads/";
        const QRegularExpression ownName("^[0-9a-f]{32}\\." + stored + "$");
        QVERIFY2(url.startsWith(prefix) && ownName.match(url.mid(prefix.size())).hasMatch(), qPrintable(url));
        const HttpReply served = m_http->get(url.mid(m_service.siteUrl().size()));
        QCOMPARE(served.status, 200);
        QCOMPARE(served.contentType, contentType);
        QCOMPARE(served.body.size(), content.size());
        QVERIFY(served.body == content);
        // Only the stored file, under its own name, and nothing where the client's name points.
        QCOMPARE(storedFiles().size(), 1);
        QVERIFY(!QFile::exists("/tmp/escape.m4a"));
        QVERIFY(!QFile::exists(m_service.mediaDir() + "/escape.m4a"));
    }

    void refusesWhatItMustNotStore_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QByteArray multipart = "multipart/form-data; boundary=B";
        const QByteArray json = "application/json";
        auto file = [](const QByteArray &name) { return HttpExchange::multipart("B", name, "payload"); };
        auto photo = [](const QString &extension, const QString &data = "aGVsbG8=") {
            return QJsonDocument(QJsonObject{{"base64_data", data}, {"extension", extension}}).toJson();
        };
        const QString badType = "Недопустимый тип файла";
        QTest::newRow("file: script up the tree") << multipart << file("../../evil.php") << badType;
        QTest::newRow("file: extension with a path") << multipart << file("x.jpg/../../a") << badType;
        QTest::newRow("file: Windows path") << multipart << file("..\\..\\x.exe") << badType;
        QTest::newRow("file: no extension") << multipart << file("README") << badType;
        QTest::newRow("file: dot file") << multipart << file(".htaccess") << badType;
        QTest::newRow("file: allowed type before the real one") << multipart << file("song.mp3.php") << badType;
        QTest::newRow("file: page") << multipart << file("index.html") << badType;
        QTest::newRow("file: no file part")
            << multipart << QByteArray("--B\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhi\r\n--B--\r\n")
            << "Файл не получен";
        QTest::newRow("file: part without a file name")
            << multipart << QByteArray("--B\r\nContent-Disposition: form-data; name=\"file\"\r\n\r\nhi\r\n--B--\r\n")
            << badType;
        QTest::newRow("file: no boundary") << QByteArray("multipart/form-data") << file("song.mp3") << "Некорректный запрос";
        QTest::newRow("file: body cut short") << multipart << file("song.mp3").left(60) << "Некорректный запрос";
        QTest::newRow("photo: parent folders") << json << photo("../../x") << badType;
        QTest::newRow("photo: extension with a path") << json << photo("jpg/../../etc") << badType;
        QTest::newRow("photo: script") << json << photo("php") << badType;
        QTest::newRow("photo: not a picture type") << json << photo("mp3") << badType;
        QTest::newRow("photo: empty extension") << json << photo("") << badType;
        QTest::newRow("photo: extension not a text")
            << json << QByteArray("{\"base64_data\":\"aGVsbG8=\",\"extension\":7}") << badType;
        QTest::newRow("photo: not base64") << json << photo("jpg", "**not base64**")
                                           << "Некорректные данные изображения";
        QTest::newRow("photo: no data") << json << photo("jpg", "") << "Файл не получен";
        QTest::newRow("photo: not JSON") << json << QByteArray("base64_data=aGVsbG8=")
                                         << "Некорректный запрос";
    }
    void refusesWhatItMustNotStore()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const HttpReply reply = m_http->post("/api/upload.php", body, contentType);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QVERIFY(storedFiles().isEmpty());
        QVERIFY(!QFile::exists(m_service.mediaDir() + "/evil.php"));
    }

    // A file goes to disk as it arrives, and a part header is held only up to a small limit:
    // 64 MB of either leave the service's peak memory nearly where it was. (Sanitizer builds
    // keep freed memory in quarantine, so they cannot tell.)
    void boundsMemoryWhileReceiving_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("stored"); // empty: refused (the reply may be lost to the reset)
        const QByteArray content = randomBytes(64 << 20);
        QTest::newRow("a file") << HttpExchange::multipart("B", "large.mp4", content) << content;
        QTest::newRow("a part header without end")
            << QByteArray("--B\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a.mp4\"\r\nX-Pad: ")
                   + QByteArray(64 << 20, 'a')
            << QByteArray();
    }
    void boundsMemoryWhileReceiving()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("peak memory is not meaningful under AddressSanitizer");
#endif
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, stored);
        if (!ProcessMemory::resetPeak(m_service.processId()))
            QSKIP("this kernel cannot reset a process's peak memory");
        const qint64 before = ProcessMemory::kb("VmHWM", m_service.processId());

        const QByteArray reply = HttpExchange::raw(
            m_service.port(), rawPost("upload.php",
                                      "Connection: close\r\nContent-Type: multipart/form-data; boundary=B\r\n"
                                      "Content-Length: " + QByteArray::number(body.size()),
                                      body));
        const qint64 growth = ProcessMemory::kb("VmHWM", m_service.processId()) - before;
        QVERIFY2(growth < 16 * 1024, qPrintable(QStringLiteral("peak grew by %1 kB").arg(growth)));
        QCOMPARE(m_http->get("/api/music.php").status, 200);
        if (stored.isEmpty()) {
            QVERIFY(storedFiles().isEmpty());
            return;
        }
        QVERIFY2(reply.contains("\"success\":true"), reply.left(300).constData());
        const QStringList files = storedFiles();
        QCOMPARE(files.size(), 1);
        QFile file(m_service.mediaDir() + "/uploads/" + files.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == stored);
    }
};

QTEST_GUILESS_MAIN(tst_ServiceUpload)
#include "tst_service_upload.moc"
