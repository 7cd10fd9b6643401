#pragma once

#include "JsonCoding.h"
#include "User.h"

#include <QString>

// A catalogue video. Strict decoding: every key is required; the author is read by the lenient
// user rules.
struct Video
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString description MEMBER description)
    Q_PROPERTY(User author MEMBER author)
    Q_PROPERTY(QString thumbnailUrl MEMBER thumbnailUrl)
    Q_PROPERTY(QString videoUrl MEMBER videoUrl)
    Q_PROPERTY(qint64 durationSeconds MEMBER durationSeconds)
    Q_PROPERTY(qint64 viewsCount MEMBER viewsCount)
    Q_PROPERTY(qint64 likesCount MEMBER likesCount)
    Q_PROPERTY(bool isLiked MEMBER isLiked)
    Q_PROPERTY(QString createdAtFormatted MEMBER createdAtFormatted)
    Q_PROPERTY(QString durationFormatted READ durationFormatted)

public:
    qint64 id = 0;
    QString title = {};
    QString description = {};
    User author = {};
    QString thumbnailUrl = {};
    QString videoUrl = {};
    qint64 durationSeconds = 0;
    qint64 viewsCount = 0;
    qint64 likesCount = 0;
    bool isLiked = false;
    QString createdAtFormatted = QStringLiteral("Только что");

    // Minutes and seconds for every length, 0 included ("0:00").
    QString durationFormatted() const;

    static Video fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Video &, const Video &) = default;
};

size_t qHash(const Video &video, size_t seed = 0);

template <> struct JsonCoding<Video> : JsonCodingEntry<Video>
{
    static Video decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Video &video);
};
