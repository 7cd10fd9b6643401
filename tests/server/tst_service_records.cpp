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
            QVERIFY(fetch<User>(QStringLiteral("/api/profile.php?user_id=%1").arg(post.author->id)) == *post.author);
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
