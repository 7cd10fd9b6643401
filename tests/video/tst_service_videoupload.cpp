// "video_upload.php" and the video kinds of "upload.php" in the real service: a registration is
// refused with an envelope unless it carries the four strings with a title and a video address;
// an accepted one answers with a whole video record, which then heads the catalogue.
#include "DocumentPickerModel.h"
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Video.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class tst_ServiceVideoUpload : public ServiceTest
{
    Q_OBJECT

    static QJsonObject registration()
    {
        return {{"title", "Новый ролик"},
                {"description", "Описание"},
                {"video_url", "http://127.0.0.1/media/v.mp4"},
                {"thumbnail_url", "http://127.0.0.1/media/t.jpg"}};
    }

    qsizetype catalogueSize() { return QJsonDocument::fromJson(m_http->get("/api/videos.php").body).array().size(); }

private Q_SLOTS:
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const auto without = [](const char *key) {
            QJsonObject body = registration();
            body.remove(QLatin1String(key));
            return QJsonDocument(body).toJson();
        };
        const auto with = [](const char *key, const QJsonValue &value) {
            QJsonObject body = registration();
            body.insert(QLatin1String(key), value);
            return QJsonDocument(body).toJson();
        };
        const QString malformed = QStringLiteral("Некорректный запрос");
        for (const char *key : {"title", "description", "video_url", "thumbnail_url"}) {
            QTest::addRow("no %s", key) << without(key) << malformed;
            QTest::addRow("%s a number", key) << with(key, 7) << malformed;
            QTest::addRow("%s null", key) << with(key, QJsonValue::Null) << malformed;
        }
        QTest::newRow("not an object") << QByteArray("[1, 2]") << malformed;
        QTest::newRow("empty title") << with("title", "") << QStringLiteral("Введите название видео");
        QTest::newRow("empty video address") << with("video_url", "") << QStringLiteral("Видеофайл не загружен");
    }
    void refusals()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const qsizetype before = catalogueSize();
        const HttpReply reply = m_http->post("/api/video_upload.php", body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(catalogueSize(), before);
    }

    // Texts as sent (spaces and empty strings kept), the demo account as the author, nothing
    // counted yet; the same record then heads the catalogue.
    void registrationAnswersTheWholeVideoAndHeadsTheList()
    {
        QJsonObject body = registration();
        body.insert("title", "  Пробелы  ");
        body.insert("description", "");
        body.insert("thumbnail_url", "");
        const HttpReply reply = m_http->postJson("/api/video_upload.php", body);
        QCOMPARE(reply.status, 200);
        const auto envelope = decodeJson<APIResponse<Video>>(reply.body);
        QVERIFY(envelope.success);
        QVERIFY(envelope.data);
        const Video &video = *envelope.data;
        QCOMPARE(video.title, QStringLiteral("  Пробелы  "));
        QCOMPARE(video.description, QString());
        QCOMPARE(video.thumbnailUrl, QString());
        QCOMPARE(video.videoUrl, QStringLiteral("http://127.0.0.1/media/v.mp4"));
        QCOMPARE(video.author.id, 1);
        QCOMPARE(video.author.username, QStringLiteral("demo"));
        QCOMPARE(video.durationSeconds, 0);
        QCOMPARE(video.viewsCount, 0);
        QCOMPARE(video.likesCount, 0);
        QVERIFY(!video.isLiked);

        const auto list = decodeJson<QList<Video>>(m_http->get("/api/videos.php").body);
        QVERIFY(!list.isEmpty());
        QCOMPARE(list.first(), video);
    }

    // Every file kind the video picker offers is stored and served back as a video.
    void everyOfferedVideoKindIsStored_data()
    {
        QTest::addColumn<QString>("extension");
        QStringList extensions;
        for (const QString &type : {DocumentPickerModel::movie, DocumentPickerModel::video,
                                    DocumentPickerModel::quickTimeMovie, DocumentPickerModel::mpeg4Movie}) {
            for (const QString &pattern : DocumentPickerModel::patternsFor(type)) {
                if (!extensions.contains(pattern.mid(2)))
                    extensions << pattern.mid(2);
            }
        }
        for (const QString &extension : extensions)
            QTest::newRow(qPrintable(extension)) << extension;
    }
    void everyOfferedVideoKindIsStored()
    {
        QFETCH(QString, extension);
        const HttpReply reply = m_http->postFile("/api/upload.php", ("clip." + extension).toUtf8(), "frames");
        QCOMPARE(reply.object().value("success"), QJsonValue(true));
        const QString url = reply.object().value("data").toObject().value("url").toString();
        QVERIFY2(url.endsWith("." + extension), qPrintable(url));
        const HttpReply served = m_http->get(url.mid(m_service.siteUrl().size()));
        QCOMPARE(served.status, 200);
        QVERIFY2(served.contentType.startsWith("video/"), served.contentType.constData());
        QCOMPARE(served.body, QByteArray("frames"));
    }
};

QTEST_MAIN(tst_ServiceVideoUpload)
#include "tst_service_videoupload.moc"
