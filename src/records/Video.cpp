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

constexpr JsonFields<FieldCount>::Keys keys = {
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
    const JsonFields<FieldCount> fields(value, path, keys);
    return Video{
        .id = fields.required<qint64>(Id),
        .title = fields.required<QString>(Title),
        .description = fields.required<QString>(Description),
        .author = fields.required<User>(Author),
        .thumbnailUrl = fields.required<QString>(ThumbnailUrl),
        .videoUrl = fields.required<QString>(VideoUrl),
        .durationSeconds = fields.required<qint64>(DurationSeconds),
        .viewsCount = fields.required<qint64>(ViewsCount),
        .likesCount = fields.required<qint64>(LikesCount),
        .isLiked = fields.required<bool>(IsLiked),
        .createdAtFormatted = fields.required<QString>(CreatedAtFormatted),
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
