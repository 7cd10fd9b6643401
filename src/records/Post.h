#pragma once

#include "JsonCoding.h"
#include "PostAttachment.h"
#include "User.h"

#include <QList>
#include <QString>

#include <optional>

// A feed post. Decoding is strict: every key but the two channel keys is required; the author
// is read by the lenient user rules.
struct Post
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(User author READ authorUser)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(QList<PostAttachment> attachments MEMBER attachments)
    Q_PROPERTY(qint64 likesCount MEMBER likesCount)
    Q_PROPERTY(bool isLiked MEMBER isLiked)
    Q_PROPERTY(qint64 repostsCount MEMBER repostsCount)
    Q_PROPERTY(bool isReposted MEMBER isReposted)
    Q_PROPERTY(qint64 commentsCount MEMBER commentsCount)
    Q_PROPERTY(qint64 viewsCount MEMBER viewsCount)
    Q_PROPERTY(QString createdAtFormatted MEMBER createdAtFormatted)
    Q_PROPERTY(std::optional<QString> channelName MEMBER channelName)
    Q_PROPERTY(std::optional<QString> channelAvatarUrl MEMBER channelAvatarUrl)

public:
    qint64 id = 0;
    SharedUser author = {};
    QString text = {};
    QList<PostAttachment> attachments = {};
    qint64 likesCount = 0;
    bool isLiked = false;
    qint64 repostsCount = 0;
    bool isReposted = false;
    qint64 commentsCount = 0;
    qint64 viewsCount = 0;
    QString createdAtFormatted = QStringLiteral("Только что");
    std::optional<QString> channelName = {};
    std::optional<QString> channelAvatarUrl = {};

    const User &authorUser() const { return *author; }

    static Post fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Post &, const Post &) = default;
};

size_t qHash(const Post &post, size_t seed = 0);

template <> struct JsonCoding<Post> : JsonCodingEntry<Post>
{
    static Post decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Post &post);
};
