#pragma once

#include "JsonCoding.h"
#include "User.h"

#include <QString>

// A comment on a post. Decoding is lenient: only "id" and "author" are required.
struct Comment
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(qint64 postId MEMBER postId)
    Q_PROPERTY(User author MEMBER author)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(qint64 likesCount MEMBER likesCount)
    Q_PROPERTY(bool isLiked MEMBER isLiked)
    Q_PROPERTY(QString createdAtFormatted MEMBER createdAtFormatted)

public:
    qint64 id = 0;
    qint64 postId = 0;
    User author = {};
    QString text = {};
    qint64 likesCount = 0;
    bool isLiked = false;
    QString createdAtFormatted = QStringLiteral("Только что");

    static Comment fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Comment &, const Comment &) = default;
};

size_t qHash(const Comment &comment, size_t seed = 0);

template <> struct JsonCoding<Comment> : JsonCodingEntry<Comment>
{
    static Comment decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Comment &comment);
};
