#include "User.h"

#include "JsonFields.h"
#include "JsonValueCache.h"
#include "RecordHash.h"

namespace {

enum Field {
    Id,
    Username,
    FirstName,
    LastName,
    AvatarUrl,
    CoverUrl,
    StatusText,
    IsVerified,
    FollowersCount,
    FollowingCount,
    Bio,
    IsOnline,
    LastSeenText,
    FieldCount
};

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),
    QLatin1StringView("username"),
    QLatin1StringView("first_name"),
    QLatin1StringView("last_name"),
    QLatin1StringView("avatar_url"),
    QLatin1StringView("cover_url"),
    QLatin1StringView("status_text"),
    QLatin1StringView("is_verified"),
    QLatin1StringView("followers_count"),
    QLatin1StringView("following_count"),
    QLatin1StringView("bio"),
    QLatin1StringView("is_online"),
    QLatin1StringView("last_seen_text"),
};

// QChar::isSpace() covers the Unicode space separators, tab, line feed, vertical tab, form feed,
// carriage return, next line and the line and paragraph separators: the set the name is trimmed by.
QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).isSpace())
        ++begin;
    while (end > begin && text.at(end - 1).isSpace())
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString User::fullName() const
{
    return trimmed(firstName + u' ' + lastName);
}

const User &User::demoUser()
{
    static const User user{
        .id = 1,
        .username = QStringLiteral("user"),
        .firstName = QStringLiteral("Пользователь"),
        .lastName = QString(),
        // The site's own sample pictures: nothing of the sample user comes from another host.
        .avatarUrl = QStringLiteral(VORLANE_SITE_URL "/media/demo/avatar-1.png"),
        .coverUrl = QStringLiteral(VORLANE_SITE_URL "/media/demo/cover-1.png"),
        .statusText = QStringLiteral("Свобода общения и музыка 🚀"),
        .isVerified = true,
        .followersCount = 0,
        .followingCount = 0,
        .bio = QStringLiteral("Пользователь сети Vorlane"),
        .isOnline = true,
        .lastSeenText = std::nullopt,
    };
    return user;
}

User User::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<User>::decode(value, path);
}

QByteArray User::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const User &user, size_t seed)
{
    seed = qHashMulti(seed, user.id, user.username, user.firstName, user.lastName);
    seed = qHashOptional(user.avatarUrl, seed);
    seed = qHashOptional(user.coverUrl, seed);
    seed = qHashOptional(user.statusText, seed);
    seed = qHashMulti(seed, user.isVerified, user.followersCount, user.followingCount);
    seed = qHashOptional(user.bio, seed);
    seed = qHashMulti(seed, user.isOnline);
    return qHashOptional(user.lastSeenText, seed);
}

User JsonCoding<User>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, QString, QString, QString, QString, QString, bool, qint64, qint64, QString, bool,
               QString>
        fields(value, path, keys);
    return User{
        .id = fields.required<Id>(),
        .username = fields.valueOr<Username>(QStringLiteral("user")),
        .firstName = fields.valueOr<FirstName>(QStringLiteral("Пользователь")),
        .lastName = fields.valueOr<LastName>(QString()),
        .avatarUrl = fields.optional<AvatarUrl>(),
        .coverUrl = fields.optional<CoverUrl>(),
        .statusText = fields.optional<StatusText>(),
        .isVerified = fields.valueOr<IsVerified>(false),
        .followersCount = fields.valueOr<FollowersCount>(0),
        .followingCount = fields.valueOr<FollowingCount>(0),
        .bio = fields.optional<Bio>(),
        .isOnline = fields.valueOr<IsOnline>(true),
        .lastSeenText = fields.optional<LastSeenText>(),
    };
}

const User &SharedUser::empty()
{
    static const User user;
    return user;
}

SharedUser JsonCoding<SharedUser>::decodeAt(JsonNode value, const JsonPath &path)
{
    return SharedUser(value.values().value<User>(
        value, [&path](const JsonNode &node) { return JsonCoding<User>::decodeAt(node, path); }));
}

void JsonCoding<User>::encode(JsonWriter &writer, const User &user)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], user.id);
    JsonWrite::field(writer, keys[Username], user.username);
    JsonWrite::field(writer, keys[FirstName], user.firstName);
    JsonWrite::field(writer, keys[LastName], user.lastName);
    JsonWrite::field(writer, keys[AvatarUrl], user.avatarUrl);
    JsonWrite::field(writer, keys[CoverUrl], user.coverUrl);
    JsonWrite::field(writer, keys[StatusText], user.statusText);
    JsonWrite::field(writer, keys[IsVerified], user.isVerified);
    JsonWrite::field(writer, keys[FollowersCount], user.followersCount);
    JsonWrite::field(writer, keys[FollowingCount], user.followingCount);
    JsonWrite::field(writer, keys[Bio], user.bio);
    JsonWrite::field(writer, keys[IsOnline], user.isOnline);
    JsonWrite::field(writer, keys[LastSeenText], user.lastSeenText);
    writer.endObject();
}
