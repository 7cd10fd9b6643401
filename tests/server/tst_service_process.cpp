// The service as a process: its command line, its port line, stopping on signals, the data
// kept in a database file, the logo, and what it answers outside its scripts.
#include "HttpExchange.h"
#include "ServiceLaunch.h"
#include "ServiceProcess.h"

#include <QImage>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {
// Starts the service with the given database file; returns the port, or 0.
int startWith(QProcess &process, const QString &db, const QString &media)
{
    ServiceLaunch::start(process, db, media);
    return ServiceLaunch::port(process);
}
}

class tst_ServiceProcess : public QObject
{
    Q_OBJECT

    // One service for the cases that need no process of their own, still standing at the end.
    ServiceProcess m_service;
    QTemporaryDir m_media;

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_service.start(), qPrintable(m_service.errors())); }
    void cleanupTestCase() { QVERIFY(m_service.stop()); }

    void servesTheLogo()
    {
        HttpExchange http(m_service.siteUrl());
        const HttpReply logo = http.get("/Logo/vorlane.png");
        QCOMPARE(logo.status, 200);
        QCOMPARE(logo.contentType, QByteArray("image/png"));
        QImage image;
        QVERIFY(image.loadFromData(logo.body, "PNG"));

        // A range reaching past the end is the rest of the file, announced with its real length.
        const QByteArray ranged = HttpExchange::raw(
            m_service.port(),
            "GET /Logo/vorlane.png HTTP/1.1\r\nHost: x\r\nConnection: close\r\nRange: bytes=10-99999999\r\n\r\n");
        QVERIFY2(ranged.startsWith("HTTP/1.1 206 "), ranged.left(200).constData());
        const qsizetype size = logo.body.size();
        QVERIFY(ranged.contains(QStringLiteral("Content-Range: bytes 10-%1/%2\r\n").arg(size - 1).arg(size).toLatin1()));
        QCOMPARE(ranged.mid(ranged.indexOf("\r\n\r\n") + 4), logo.body.mid(10));
    }

    void stopsCleanlyOnSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("idleConnectionOpen");
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGTERM with a kept-alive connection") << int(SIGTERM) << true;
    }
    void stopsCleanlyOnSignal()
    {
        QFETCH(int, signal);
        QFETCH(bool, idleConnectionOpen);
        QProcess process;
        const int port = startWith(process, ":memory:", m_media.path());
        QVERIFY(port > 0);
        HttpExchange http(QStringLiteral("http://127.0.0.1:%1").arg(port));
        if (idleConnectionOpen)
            QCOMPARE(http.get("/api/music.php").status, 200);
        QVERIFY(ServiceLaunch::stop(process, signal));
        QVERIFY(process.readAllStandardOutput().isEmpty()); // nothing after the port line
    }

    // A command line it cannot use ends it with code 2 and the usage; a port it cannot bind, with 1.
    void refusesToStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("port not a number") << QStringList{"--port", "abc", "--db", ":memory:", "--media", "m"} << 2;
        QTest::newRow("port out of range") << QStringList{"--port", "70000", "--db", ":memory:", "--media", "m"} << 2;
        QTest::newRow("no database") << QStringList{"--port", "0", "--media", "m"} << 2;
        QTest::newRow("no media folder") << QStringList{"--port", "0", "--db", ":memory:"} << 2;
        QTest::newRow("unknown option") << QStringList{"--db", ":memory:", "--media", "m", "--verbose", "1"} << 2;
        QTest::newRow("value missing") << QStringList{"--db", ":memory:", "--media"} << 2;
        QTest::newRow("port taken") << QStringList{"--port", QString::number(m_service.port()), "--db", ":memory:",
                                                   "--media", m_media.path()}
                                    << 1;
        QTest::newRow("request log it cannot write")
            << QStringList{"--port", "0", "--db", ":memory:", "--media", m_media.path(), "--request-log",
                           m_media.filePath(QStringLiteral("no such folder/requests.log"))}
            << 1;
    }
    void refusesToStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QProcess process;
        process.start(QStringLiteral(VORLANE_SERVER_PATH), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QCOMPARE(process.readAllStandardError().contains("usage: vorlane-server"), exitCode == 2);
    }

    // Stopped and started again, as after an outage, the service answers on the same port, and its
    // request log tells what reached it on either side of the gap. Each line is there as soon as its
    // reply has arrived, so a test reads the log right after a reply without waiting.
    void restartsOnItsPortAndLogsEachRequest()
    {
        ServiceProcess service;
        service.logRequests();
        QVERIFY2(service.start(), qPrintable(service.errors()));
        const int port = service.port();
        QStringList expected;
        const auto ask = [&](const char *path, int status) {
            QCOMPARE(HttpExchange(service.siteUrl()).get(path).status, status);
            expected << QStringLiteral("GET %1 %2").arg(QLatin1String(path)).arg(status);
            QCOMPARE(service.requests(), expected);
        };
        ask("/Logo/vorlane.png", 200);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(service.stop());
        QVERIFY(!service.isRunning());
        QVERIFY2(service.restart(), qPrintable(service.errors()));
        QCOMPARE(service.port(), port);
        for (int round = 0; round < 20 && !QTest::currentTestFailed(); ++round) {
            ask("/nothing-here", 404);
            ask("/Logo/vorlane.png", 200);
        }
    }

    // Data written through the scripts outlives a restart; passwords are stored only as salted hashes.
    void keepsAccountsInItsDatabaseFileAsSaltedHashes()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("vorlane.db");
        const QString password = "Correct-Horse-Battery-Staple";
        {
            QProcess process;
            const int port = startWith(process, db, dir.filePath("media"));
            QVERIFY(port > 0);
            HttpExchange http(QStringLiteral("http://127.0.0.1:%1").arg(port));
            for (const char *name : {"first", "second"}) {
                const HttpReply reply = http.postJson("/api/auth.php", {{"action", "register"}, {"username", name},
                                                                        {"email", QString(name) + "@example.org"},
                                                                        {"password", password}, {"first_name", ""},
                                                                        {"last_name", ""}});
                QCOMPARE(reply.object().value("success"), QJsonValue(true));
            }
            QVERIFY(ServiceLaunch::stop(process, SIGTERM));
        }

        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(password.toUtf8()));
        file.close();

        sqlite3 *handle = nullptr;
        QCOMPARE(sqlite3_open_v2(qPrintable(db), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt *query = nullptr;
        QCOMPARE(sqlite3_prepare_v2(handle, "SELECT password_salt, password_hash FROM users WHERE username IN "
                                            "('first', 'second') ORDER BY username", -1, &query, nullptr),
                 SQLITE_OK);
        const auto blob = [&query](int column) {
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(query, column));
            return QByteArray(bytes, sqlite3_column_bytes(query, column));
        };
        QList<QByteArray> salts, hashes;
        while (sqlite3_step(query) == SQLITE_ROW) {
            salts << blob(0);
            hashes << blob(1);
        }
        sqlite3_finalize(query);
        sqlite3_close(handle);
        QCOMPARE(salts.size(), 2);
        QVERIFY(salts[0] != salts[1]);   // the same password, each with a salt of its own
        QVERIFY(hashes[0] != hashes[1]); // so the stored hashes differ too

        QProcess again;
        const int port = startWith(again, db, dir.filePath("media"));
        QVERIFY(port > 0);
        HttpExchange http(QStringLiteral("http://127.0.0.1:%1").arg(port));
        const HttpReply login = http.postJson("/api/auth.php", {{"action", "login"}, {"username", "second"},
                                                                {"email", "second"}, {"password", password}});
        QCOMPARE(login.object().value("success"), QJsonValue(true));
        QVERIFY(ServiceLaunch::stop(again, SIGTERM));
    }

    void answersOutsideItsScriptsWithAnEnvelope_data()
    {
        QTest::addColumn<QByteArray>("requestLine");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown script") << QByteArray("GET /api/nothing.php") << QByteArray() << 200
                                        << "Неизвестный запрос";
        QTest::newRow("read-only script posted to")
            << QByteArray("POST /api/music.php") << QByteArray("Content-Length: 2\r\n\r\n{}") << 200
            << "Неизвестный запрос";
        QTest::newRow("media outside its folder")
            << QByteArray("GET /media/../demo/logo.png") << QByteArray() << 404 << "Файл не найден";
        QTest::newRow("encoded parent folder")
            << QByteArray("GET /media/demo/..%2F..%2Fetc%2Fpasswd") << QByteArray() << 404 << "Файл не найден";
        QTest::newRow("half-received upload")
            << QByteArray("GET /media/uploads/.incoming-0") << QByteArray() << 404 << "Файл не найден";
        QTest::newRow("missing media file, a range asked for")
            << QByteArray("GET /media/uploads/0123456789abcdef.png") << QByteArray("Range: bytes=100-200\r\n\r\n")
            << 404 << "Файл не найден";
        QTest::newRow("range starting past the end")
            << QByteArray("GET /Logo/vorlane.png") << QByteArray("Range: bytes=999999999-\r\n\r\n") << 416
            << "Некорректный диапазон";
        // Bodies that httplib would read whole into memory, or wait for until its time-out.
        QTest::newRow("read with a body over the JSON cap")
            << QByteArray("GET /api/feed.php") << QByteArray("Content-Length: 2147483648\r\n\r\n{") << 200
            << "Слишком большой запрос";
        QTest::newRow("read with a chunked body")
            << QByteArray("GET /api/feed.php") << QByteArray("Transfer-Encoding: chunked\r\n\r\n1\r\n{\r\n") << 200
            << "Слишком большой запрос";
        QTest::newRow("no script, a body over the JSON cap")
            << QByteArray("POST /api/nothing.php") << QByteArray("Content-Length: 2147483648\r\n\r\n{") << 200
            << "Слишком большой запрос";
        // Over its cap a body is refused with the envelope: by its announced length before it is
        // read, or where it passes the cap when it announces none.
        const QByteArray json = "Content-Type: application/json\r\n";
        const QByteArray photo = "{\"base64_data\":\"" + QByteArray(64 * 1024, 'A') + "\",\"extension\":\"jpg\"}";
        QByteArray chunked;
        for (qsizetype at = 0; at < photo.size(); at += 4096)
            chunked += QByteArray::number(photo.mid(at, 4096).size(), 16) + "\r\n" + photo.mid(at, 4096) + "\r\n";
        const QString tooLarge = "Слишком большой запрос";
        QTest::newRow("JSON photo over 16 MB")
            << QByteArray("POST /api/upload.php") << json + "Content-Length: 16777217\r\n\r\n{" << 200 << tooLarge;
        QTest::newRow("sign-in over its cap")
            << QByteArray("POST /api/auth.php") << json + "Content-Length: 65572\r\n\r\n" + photo << 200 << tooLarge;
        QTest::newRow("sign-in over its cap, chunked")
            << QByteArray("POST /api/auth.php") << json + "Transfer-Encoding: chunked\r\n\r\n" + chunked + "0\r\n\r\n"
            << 200 << tooLarge;
        QTest::newRow("file announcing 2 GB")
            << QByteArray("POST /api/upload.php")
            << "Content-Type: multipart/form-data; boundary=B\r\nContent-Length: 2147483648\r\n\r\n" +
                   HttpExchange::multipart("B", "big.mp4", "start of a long file")
            << 200 << "Файл слишком большой: не более 1 ГБ";
        QTest::newRow("negative Content-Length")
            << QByteArray("POST /api/auth.php") << QByteArray("Content-Length: -5\r\n\r\n{}") << 200
            << "Некорректный запрос";
        QTest::newRow("Content-Length beyond 64 bits")
            << QByteArray("POST /api/upload.php") << QByteArray("Content-Length: 99999999999999999999999\r\n\r\n{}")
            << 200 << "Некорректный запрос";
    }
    void answersOutsideItsScriptsWithAnEnvelope()
    {
        QFETCH(QByteArray, requestLine);
        QFETCH(QByteArray, rest);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QByteArray request = requestLine + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
            + (rest.isEmpty() ? QByteArray("\r\n") : rest);
        const QByteArray reply = HttpExchange::raw(m_service.port(), request);
        QVERIFY2(reply.startsWith(QStringLiteral("HTTP/1.1 %1 ").arg(status).toLatin1()), reply.constData());
        const QByteArray body = reply.mid(reply.indexOf("\r\n\r\n") + 4);
        const QJsonObject envelope = QJsonDocument::fromJson(body).object();
        QCOMPARE(envelope.value("success"), QJsonValue(false));
        QCOMPARE(envelope.value("message").toString(), message);
        QCOMPARE(HttpExchange(m_service.siteUrl()).get("/api/music.php").status, 200);
    }
};

QTEST_GUILESS_MAIN(tst_ServiceProcess)
#include "tst_service_process.moc"
