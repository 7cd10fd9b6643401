// Everything the service sends decodes with the client's strict decoders, and every address in
// it points at this service (on the port it really got) and serves a file of the right type.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Channel.h>
#include <Post.h>
#include <Track.h>
#include <User.h>
#include <Video.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class tst_ServiceRecords : public ServiceTest
{
    Q_OBJECT

    // The reply decoded as a T, or nothing (with the reason in the log).
    template<class T>
    std::optional<T> fetch(const QString &path)
    {
        const HttpReply reply = m_http->get(path, HttpExchange::AsClient);
        if (reply.status != 200 || !reply.contentType.startsWith("application/json")) {
            qWarning() << path << reply.status << reply.contentType;
            return std::nullopt;
        }
        try {
            return decodeJson<T>(reply.body);
        } catch (const DecodingError &error) {
            qWarning() << path << error.localizedDescription() << reply.body.left(300);
            return std::nullopt;
        }
    }

    // The address is this service's, and what it serves has the expected type.
    bool serves(const QString &address, const QByteArray &contentType)
    {
        if (!address.startsWith(m_service.siteUrl() + "/")) {
            qWarning() << "not an address of the service under test:" << address;
            return false;
        }
        const HttpReply reply = m_http->get(address.mid(m_service.siteUrl().size()));
        if (reply.status != 200 || reply.contentType != contentType || reply.body.isEmpty()) {
            qWarning() << address << reply.status << reply.contentType;
            return false;
        }
        if (contentType.startsWith("image/") && QImage::fromData(reply.body).isNull())
            return false;
        if (contentType == "audio/wav")
            return reply.body.startsWith("RIFF") && reply.body.mid(8, 4) == "WAVE";
        if (contentType == "video/x-msvideo")
            return reply.body.startsWith("RIFF") && reply.body.mid(8, 4) == "AVI ";
        return true;
    }

    bool servesUser(const User &user)
    {
        return (!user.avatarUrl || serves(*user.avatarUrl, "image/png")) && (!user.coverUrl || serves(*user.coverUrl, "image/png"));
    }

private Q_SLOTS:
    void feedDecodesAndEveryAddressServes()
    {
        const QList<Post> posts = fetch<QList<Post>>("/api/feed.php").value_or(QList<Post>());
        QVERIFY(posts.size() >= 5);
        QSet<PostAttachment::AttachmentType> kinds;
        bool fromChannel = false;
        for (const Post &post : posts) {
            QVERIFY(servesUser(post.author));
            QVERIFY(fetch<User>(QStringLiteral("/api/profile.php?user_id=%1").arg(post.author.id)) == post.author);
            for (const PostAttachment &attachment : post.attachments) {
                kinds.insert(attachment.type);
                const QByteArray type = attachment.type == PostAttachment::AttachmentType::image ? "image/png"
                    : attachment.type == PostAttachment::AttachmentType::audio                 ? "audio/wav"
                                                                                                : "video/x-msvideo";
                QVERIFY(serves(attachment.url, type));
                if (attachment.thumbnailUrl)
                    QVERIFY(serves(*attachment.thumbnailUrl, "image/png"));
            }
            if (post.channelName) {
                fromChannel = true;
                QVERIFY(post.channelAvatarUrl && serves(*post.channelAvatarUrl, "image/png"));
            }
        }
        QVERIFY(kinds.contains(PostAttachment::AttachmentType::image));
        QVERIFY(kinds.contains(PostAttachment::AttachmentType::audio));
        QVERIFY(fromChannel);
    }

    void musicDecodesAndEveryAddressServes()
    {
        const QList<Track> tracks = fetch<QList<Track>>("/api/music.php").value_or(QList<Track>());
        QVERIFY(tracks.size() >= 3);
        bool live = false;
        for (const Track &track : tracks) {
            QVERIFY(serves(track.audioUrl, "audio/wav"));
            QVERIFY(!track.coverUrl || serves(*track.coverUrl, "image/png"));
            live = live || (track.durationSeconds == 0 && track.frequencyFM);
        }
        QVERIFY(live);
    }

    void videosDecodeAndEveryAddressServes()
    {
        const QList<Video> videos = fetch<QList<Video>>("/api/videos.php").value_or(QList<Video>());
        QVERIFY(videos.size() >= 2);
        for (const Video &video : videos) {
            QVERIFY(serves(video.thumbnailUrl, "image/png"));
            QVERIFY(serves(video.videoUrl, "video/x-msvideo"));
            QVERIFY(servesUser(video.author));
        }
    }

    void channelsDecodeWithTheirOwnPosts()
    {
        const QList<Channel> channels = fetch<QList<Channel>>("/api/channels.php").value_or(QList<Channel>());
        QVERIFY(channels.size() >= 3);
        int withPosts = 0;
        for (const Channel &channel : channels) {
            QVERIFY(!channel.posts); // the catalogue leaves the posts out
            QVERIFY(channel.avatarUrl && serves(*channel.avatarUrl, "image/png"));
            const auto details = fetch<Channel>(QStringLiteral("/api/channels.php?channel_id=%1").arg(channel.id));
            QVERIFY(details);
            QCOMPARE(details->id, channel.id);
            QCOMPARE(details->subscribersCount, channel.subscribersCount);
            QVERIFY(details->posts);
            for (const ChannelPost &post : *details->posts) {
                QCOMPARE(post.channelId, channel.id);
                QVERIFY(!post.imageUrl || serves(*post.imageUrl, "image/png"));
            }
            withPosts += details->posts->isEmpty() ? 0 : 1;
        }
        QVERIFY(withPosts >= 2);
    }

    // Every text stored for a list has a cap that fits its field, so that no handful of requests
    // can swell a list past what the client reads; past it the write is refused and stores nothing.
    void refusesTextsOverTheirCaps_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QJsonObject>("body");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("message");
        const auto over = [](int most) { return QString(most + 1, QLatin1Char('x')); };
        const auto track = [](const char *key, const QString &text) {
            QJsonObject body{{"title", "t"}, {"artist", "a"}, {"album_name", ""}, {"audio_url", "http://x/a.mp3"}, {"cover_url", ""}};
            body.insert(QLatin1String(key), text);
            return body;
        };
        const auto video = [](const char *key, const QString &text) {
            QJsonObject body{{"title", "t"}, {"description", ""}, {"video_url", "http://x/v.mp4"}, {"thumbnail_url", ""}};
            body.insert(QLatin1String(key), text);
            return body;
        };
        const auto channel = [](const char *key, const QString &text) {
            QJsonObject body{{"action", "create"}, {"user_id", 1}, {"name", "n"}, {"description", ""}, {"category", ""},
                             {"avatar_url", ""}, {"cover_url", ""}};
            body.insert(QLatin1String(key), text);
            return body;
        };
        const auto channelPost = [](const char *key, const QString &text) {
            QJsonObject body{{"action", "create_post"}, {"channel_id", 1}, {"text", "t"}, {"image_url", ""}};
            body.insert(QLatin1String(key), text);
            return body;
        };
        const auto feedPost = [](const char *key, const QString &text) {
            QJsonObject body{{"user_id", 1}, {"text", "t"}, {"image_url", ""}};
            body.insert(QLatin1String(key), text);
            return body;
        };
        const QString music = "music_upload.php", videos = "video_upload.php", channels = "channels.php";
        QTest::newRow("track title") << music << track("title", over(200)) << "music.php" << "Название трека: не более 200 символов";
        QTest::newRow("track artist") << music << track("artist", over(200)) << "music.php" << "Исполнитель: не более 200 символов";
        QTest::newRow("track album") << music << track("album_name", over(200)) << "music.php" << "Название альбома: не более 200 символов";
        QTest::newRow("track audio") << music << track("audio_url", over(2048)) << "music.php" << "Адрес аудиофайла: не более 2048 символов";
        QTest::newRow("track cover") << music << track("cover_url", over(2048)) << "music.php" << "Адрес обложки: не более 2048 символов";
        QTest::newRow("video title") << videos << video("title", over(200)) << "videos.php" << "Название видео: не более 200 символов";
        QTest::newRow("video description") << videos << video("description", over(5000)) << "videos.php" << "Описание видео: не более 5000 символов";
        QTest::newRow("video file") << videos << video("video_url", over(2048)) << "videos.php" << "Адрес видеофайла: не более 2048 символов";
        QTest::newRow("video preview") << videos << video("thumbnail_url", over(2048)) << "videos.php" << "Адрес превью: не более 2048 символов";
        QTest::newRow("channel name") << channels << channel("name", over(100)) << channels << "Название канала: не более 100 символов";
        QTest::newRow("channel description") << channels << channel("description", over(5000)) << channels << "Описание канала: не более 5000 символов";
        QTest::newRow("channel category") << channels << channel("category", over(100)) << channels << "Категория канала: не более 100 символов";
        QTest::newRow("channel avatar") << channels << channel("avatar_url", over(2048)) << channels << "Адрес аватара канала: не более 2048 символов";
        QTest::newRow("channel cover") << channels << channel("cover_url", over(2048)) << channels << "Адрес обложки канала: не более 2048 символов";
        QTest::newRow("channel post") << channels << channelPost("text", over(10000)) << "channels.php?channel_id=1" << "Текст записи: не более 10000 символов";
        QTest::newRow("channel post picture") << channels << channelPost("image_url", over(2048)) << "channels.php?channel_id=1" << "Адрес картинки: не более 2048 символов";
        QTest::newRow("feed post") << "feed.php" << feedPost("text", over(10000)) << "feed.php" << "Слишком длинная запись";
        QTest::newRow("feed post picture") << "feed.php" << feedPost("image_url", over(2048)) << "feed.php" << "Слишком длинная запись";
        // Far over: the body is refused by its size alone, before it is read.
        QTest::newRow("feed post of a megabyte") << "feed.php" << feedPost("text", over(1 << 20)) << "feed.php" << "Слишком большой запрос";
    }
    void refusesTextsOverTheirCaps()
    {
        QFETCH(QString, script);
        QFETCH(QJsonObject, body);
        QFETCH(QString, list);
        QFETCH(QString, message);
        const auto count = [this, &list] {
            const QJsonDocument listed = QJsonDocument::fromJson(m_http->get("/api/" + list).body);
            return listed.isArray() ? listed.array().size() : listed.object().value("posts").toArray().size();
        };
        const qsizetype before = count();
        const HttpReply reply = m_http->postJson("/api/" + script, body);
        QVERIFY2(reply.isRefusal(message), reply.body.left(300).constData());
        QCOMPARE(count(), before);
    }

    void refusalsDecodeAsEnvelopes()
    {
        // Refusals decode as the envelope of any payload, with the message. (The sign-in envelope goes
        // through the client's decoders in the session tests, the upload's in the picked-copies tests.)
        const char *refused[] = {"/api/profile.php?user_id=999999", "/api/profile.php?user_id=abc",
                                 "/api/profile.php?user_id=1%20OR%201=1", "/api/profile.php?user_id=1;DROP%20TABLE%20users",
                                 "/api/channels.php?channel_id=999999", "/api/channels.php?channel_id=1'--",
                                 "/api/nothing.php"};
        for (const char *path : refused) {
            const auto refusal = fetch<APIResponse<User>>(path);
            QVERIFY2(refusal, path);
            QVERIFY(!refusal->success && refusal->message && !refusal->message->isEmpty() && !refusal->data);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ServiceRecords)
#include "tst_service_records.moc"
