#pragma once

#include "JsonCoding.h"

#include <QString>

#include <optional>

// One attachment of a post: a picture, a video or a piece of audio. Its id is a text.
struct PostAttachment
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(AttachmentType type MEMBER type)
    Q_PROPERTY(QString url MEMBER url)
    Q_PROPERTY(std::optional<QString> title MEMBER title)
    Q_PROPERTY(std::optional<QString> subtitle MEMBER subtitle)
    Q_PROPERTY(std::optional<QString> thumbnailUrl MEMBER thumbnailUrl)

public:
    // Travels as "image", "video" or "audio", matched exactly; any other text refuses the attachment.
    enum class AttachmentType { image, video, audio };
    Q_ENUM(AttachmentType)

    QString id = {};
    AttachmentType type = AttachmentType::image;
    QString url = {};
    std::optional<QString> title = {};
    std::optional<QString> subtitle = {};
    std::optional<QString> thumbnailUrl = {};

    static PostAttachment fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const PostAttachment &, const PostAttachment &) = default;
};

size_t qHash(const PostAttachment &attachment, size_t seed = 0);

template <> struct JsonCoding<PostAttachment::AttachmentType> : JsonCodingEntry<PostAttachment::AttachmentType>
{
    static PostAttachment::AttachmentType decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, PostAttachment::AttachmentType type);
};

template <> struct JsonCoding<PostAttachment> : JsonCodingEntry<PostAttachment>
{
    static PostAttachment decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const PostAttachment &attachment);
};
