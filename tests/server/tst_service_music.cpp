// "music_upload.php" of the real service: a track made from uploaded addresses, stored as
// received, answered with the track as "music.php" lists it (first), its length read from a
// stored WAV; every refusal an envelope that stores nothing. And "upload.php" taking every
// audio kind the client's document picker offers.
#include "DocumentPickerModel.h"
#include "ServiceTest.h"
#include "WavSample.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class tst_ServiceMusic : public ServiceTest
{
    Q_OBJECT

    QJsonArray listed() { return QJsonDocument::fromJson(m_http->get("/api/music.php").body).array(); }

    QString storedFile(const QByteArray &name, const QByteArray &content)
    {
        const HttpReply reply = m_http->postFile("/api/upload.php", name, content);
        return reply.object().value("data").toObject().value("url").toString();
    }

    static QJsonObject body(const QString &title, const QString &artist, const QString &album, const QString &audio,
                            const QString &cover)
    {
        return {
            {"title", title}, {"artist", artist}, {"album_name", album}, {"audio_url", audio}, {"cover_url", cover}};
    }

private Q_SLOTS:
    void storesTheTrackAsReceivedAndListsItFirst_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("cover");
        QTest::newRow("every text") << "Песня" << "Автор" << "Альбом" << "http://127.0.0.1/c.jpg";
        QTest::newRow("empty album and cover left out") << "Песня" << "Автор" << "" << "";
        QTest::newRow("blanks kept") << "  Песня " << " Автор" << "  " << " ";
    }
    void storesTheTrackAsReceivedAndListsItFirst()
    {
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, cover);
        const QString audio = storedFile("tone.wav", wavSample(3.0));
        QVERIFY(!audio.isEmpty());
        const qsizetype before = listed().size();

        const HttpReply reply = m_http->postJson("/api/music_upload.php", body(title, artist, album, audio, cover));
        QCOMPARE(reply.status, 200);
        const QJsonObject envelope = reply.object();
        QCOMPARE(envelope.value("success"), QJsonValue(true));
        const QJsonObject track = envelope.value("data").toObject();
        QVERIFY(track.value("id").isDouble());
        QCOMPARE(track.value("title").toString(), title);
        QCOMPARE(track.value("artist").toString(), artist);
        QCOMPARE(track.value("audio_url").toString(), audio);
        QCOMPARE(track.value("duration_seconds"), QJsonValue(3));
        QCOMPARE(track.value("is_liked"), QJsonValue(false));
        QCOMPARE(track.value("explicit"), QJsonValue(false));
        QCOMPARE(track.contains("album_name"), !album.isEmpty());
        QCOMPARE(track.contains("cover_url"), !cover.isEmpty());
        QCOMPARE(track.value("album_name").toString(), album);
        QCOMPARE(track.value("cover_url").toString(), cover);
        QVERIFY(!track.contains("success"));

        const QJsonArray after = listed();
        QCOMPARE(after.size(), before + 1);
        QCOMPARE(after.first().toObject(), track);
    }

    void lengthComesOnlyFromAStoredWav_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("elsewhere");
        QTest::addColumn<int>("seconds");
        QTest::newRow("WAV of 2.4 s") << QByteArray("a.wav") << wavSample(2.4) << false << 2;
        QTest::newRow("WAV shorter than half a second") << QByteArray("a.wav") << wavSample(0.2) << false << 1;
        QTest::newRow("WAV whose data size was never written")
            << QByteArray("a.wav") << wavSample(2.0, 8000, 0xFFFFFFFF) << false << 2;
        // Empty chunks before the sound: a few are read past, a file of countless ones is not walked.
        const auto behindEmptyChunks = [](int count) {
            return wavSample(2.0).insert(36, QByteArray("JUNK\0\0\0\0", 8).repeated(count));
        };
        QTest::newRow("WAV with its sound behind 60 empty chunks")
            << QByteArray("a.wav") << behindEmptyChunks(60) << false << 2;
        QTest::newRow("WAV with its sound behind 100 empty chunks")
            << QByteArray("a.wav") << behindEmptyChunks(100) << false << 0;
        QTest::newRow("WAV cut inside its header") << QByteArray("a.wav") << wavSample(2.0).left(30) << false << 0;
        QTest::newRow("not a WAV inside") << QByteArray("a.wav") << QByteArray("ID3 and more") << false << 0;
        QTest::newRow("MP3") << QByteArray("a.mp3") << QByteArray("ID3 and more") << false << 0;
        QTest::newRow("address elsewhere") << QByteArray() << QByteArray() << true << 0;
    }
    void lengthComesOnlyFromAStoredWav()
    {
        QFETCH(QByteArray, fileName);
        QFETCH(QByteArray, content);
        QFETCH(bool, elsewhere);
        QFETCH(int, seconds);
        const QString audio =
            elsewhere ? QStringLiteral("https://example.org/media/uploads/x.wav") : storedFile(fileName, content);
        QVERIFY(!audio.isEmpty());
        const HttpReply reply = m_http->postJson("/api/music_upload.php", body("t", "a", "", audio, ""));
        QCOMPARE(reply.object().value("data").toObject().value("duration_seconds"), QJsonValue(seconds));
    }

    void refusesAndStoresNothing_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("message");
        const QString badData = QStringLiteral("Некорректные данные трека");
        const QString missing = QStringLiteral("Укажите название, исполнителя и аудиофайл");
        const auto json = [](QJsonObject object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); };
        const QJsonObject full = body("t", "a", "al", "http://x/a.mp3", "");
        for (const char *key : {"title", "artist", "album_name", "audio_url", "cover_url"}) {
            QJsonObject without = full;
            without.remove(key);
            QTest::addRow("no %s", key) << json(without) << badData;
            QJsonObject number = full;
            number.insert(key, 5);
            QTest::addRow("%s not a text", key) << json(number) << badData;
            QJsonObject null = full;
            null.insert(key, QJsonValue::Null);
            QTest::addRow("%s null", key) << json(null) << badData;
        }
        for (const char *key : {"title", "artist", "audio_url"}) {
            QJsonObject empty = full;
            empty.insert(key, "");
            QTest::addRow("empty %s", key) << json(empty) << missing;
        }
        QTest::newRow("not JSON") << QByteArray("title=t") << "Некорректный запрос";
        QTest::newRow("a list") << QByteArray("[]") << "Некорректный запрос";
    }
    void refusesAndStoresNothing()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, message);
        const qsizetype before = listed().size();
        const HttpReply reply = m_http->post("/api/music_upload.php", request);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(listed().size(), before);
    }

    // What the document picker offers for audio must be storable.
    void uploadTakesEveryOfferedAudioKind_data()
    {
        QTest::addColumn<QString>("pattern");
        QStringList patterns;
        for (const QString &type : DocumentPickerModel().allowedContentTypes()) {
            for (const QString &pattern : DocumentPickerModel::patternsFor(type)) {
                if (!patterns.contains(pattern))
                    patterns << pattern;
            }
        }
        QVERIFY(patterns.contains("*.caf"));
        for (const QString &pattern : patterns)
            QTest::newRow(qPrintable(pattern)) << pattern;
    }
    void uploadTakesEveryOfferedAudioKind()
    {
        QFETCH(QString, pattern);
        const QByteArray name = "sound" + pattern.mid(1).toUtf8();
        const HttpReply reply = m_http->postFile("/api/upload.php", name, "audio bytes");
        QCOMPARE(reply.object().value("success"), QJsonValue(true));
        const QString url = reply.object().value("data").toObject().value("url").toString();
        QVERIFY(url.endsWith(pattern.mid(1)));
        const HttpReply served = m_http->get(url.mid(m_service.siteUrl().size()));
        QCOMPARE(served.status, 200);
        QVERIFY(served.contentType.startsWith("audio/"));
    }
};

QTEST_GUILESS_MAIN(tst_ServiceMusic)
#include "tst_service_music.moc"
