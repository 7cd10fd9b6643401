#include "Video.h"

#include "DurationText.h"
#include "JsonFields.h"

namespace {

enum Field {
    Id,
    Title,
    Description,
    Author,
    ThumbnailUrl,
    VideoUrl,
    DurationSeconds,
    ViewsCount,
    LikesCount,
    IsLiked,
    CreatedAtFormatted,
    FieldCount
};

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),
    QLatin1StringView("title"),
    QLatin1StringView("description"),
    QLatin1StringView("author"),
    QLatin1StringView("thumbnail_url"),
    QLatin1StringView("video_url"),
    QLatin1StringView("duration_seconds"),
    QLatin1StringView("views_count"),
    QLatin1StringView("likes_count"),
    QLatin1StringView("is_liked"),
    QLatin1StringView("created_at_formatted"),
};

} // namespace

QString Video::durationFormatted() const
{
    return minutesSecondsText(durationSeconds);
}

Video Video::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Video>::decode(value, path);
}

QByteArray Video::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Video &video, size_t seed)
{
    return qHashMulti(seed, video.id, video.title, video.description, video.author, video.thumbnailUrl, video.videoUrl,
                      video.durationSeconds, video.viewsCount, video.likesCount, video.isLiked,
                      video.createdAtFormatted);
}

Video JsonCoding<Video>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, QString, User, QString, QString, qint64, qint64, qint64, bool, QString> fields(
        value, path, keys);
    return Video{
        .id = fields.required<Id>(),
        .title = fields.required<Title>(),
        .description = fields.required<Description>(),
        .author = fields.required<Author>(),
        .thumbnailUrl = fields.required<ThumbnailUrl>(),
        .videoUrl = fields.required<VideoUrl>(),
        .durationSeconds = fields.required<DurationSeconds>(),
        .viewsCount = fields.required<ViewsCount>(),
        .likesCount = fields.required<LikesCount>(),
        .isLiked = fields.required<IsLiked>(),
        .createdAtFormatted = fields.required<CreatedAtFormatted>(),
    };
}

void JsonCoding<Video>::encode(JsonWriter &writer, const Video &video)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], video.id);
    JsonWrite::field(writer, keys[Title], video.title);
    JsonWrite::field(writer, keys[Description], video.description);
    JsonWrite::field(writer, keys[Author], video.author);
    JsonWrite::field(writer, keys[ThumbnailUrl], video.thumbnailUrl);
    JsonWrite::field(writer, keys[VideoUrl], video.videoUrl);
    JsonWrite::field(writer, keys[DurationSeconds], video.durationSeconds);
    JsonWrite::field(writer, keys[ViewsCount], video.viewsCount);
    JsonWrite::field(writer, keys[LikesCount], video.likesCount);
    JsonWrite::field(writer, keys[IsLiked], video.isLiked);
    JsonWrite::field(writer, keys[CreatedAtFormatted], video.createdAtFormatted);
    writer.endObject();
}
