// "profile.php?user_id=N": one user record, bare.
// POST "profile.php" with "user_id" and the four texts: the profile update. An empty (or absent)
// text leaves its field as it is; the reply is the envelope without data, since the client reads
// a "data" that is no map of texts as a failed save.
#include "Database.h"
#include "FeedList.h"
#include "QueryParams.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "UserStore.h"

#include <httplib.h>

#include <array>
#include <limits>

namespace {
// Addresses and texts of a profile are short; anything longer is no address or status at all.
constexpr qsizetype MaxTextLength = 4096;
constexpr qint64 BodyCap = RequestBody::capFor(4 * MaxTextLength);

// The request keys, in the order of the parameters below.
constexpr std::array<const char *, 4> Keys{"avatar_url", "cover_url", "status_text", "bio"};

// A JSON number with an integral value; QJsonValue keeps such numbers exact up to 64 bits.
std::optional<qint64> integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    constexpr qint64 NotWhole = std::numeric_limits<qint64>::min();
    const qint64 whole = value.toInteger(NotWhole);
    return whole == NotWhole ? std::nullopt : std::optional<qint64>(whole);
}

bool userExists(ServiceContext &context, qint64 id)
{
    Statement query(context.db, "SELECT 1 FROM users WHERE id = ?1");
    query.bind(1, id);
    return query.next();
}

void update(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> id = integer(body.value(QStringLiteral("user_id")));
    if (!id)
        return Reply::refuse(res, QStringLiteral("Не указан пользователь"));

    // Every value is checked before anything is written, so that a refused update changes nothing.
    std::array<QString, Keys.size()> texts;
    for (size_t i = 0; i < Keys.size(); ++i) {
        const QJsonValue value = body.value(QLatin1String(Keys[i]));
        if (value.isUndefined())
            continue;
        if (!value.isString())
            return Reply::refuse(res, QStringLiteral("Некорректный запрос"));
        texts[i] = value.toString();
        if (texts[i].size() > MaxTextLength)
            return Reply::refuse(res, QStringLiteral("Слишком длинный текст"));
    }

    std::lock_guard lock(context.db.mutex());
    if (!userExists(context, *id))
        return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
    FeedList::Change change(context);
    change.user(*id);
    // One statement: an empty text keeps its column.
    Statement statement(context.db, "UPDATE users SET avatar_url = COALESCE(NULLIF(?1, ''), avatar_url), "
                                    "cover_url = COALESCE(NULLIF(?2, ''), cover_url), "
                                    "status_text = COALESCE(NULLIF(?3, ''), status_text), "
                                    "bio = COALESCE(NULLIF(?4, ''), bio) WHERE id = ?5");
    for (size_t i = 0; i < texts.size(); ++i)
        statement.bind(int(i) + 1, texts[i]);
    statement.bind(5, *id).run();
    Reply::json(res, Reply::envelope(true, QStringLiteral("Профиль обновлён")));
}
} // namespace

void Routes::addProfile(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/profile\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        const std::optional<qint64> id = QueryParams::integer(req, QStringLiteral("user_id"));
        if (!id)
            return Reply::refuse(res, QStringLiteral("Не указан пользователь"));
        std::lock_guard lock(context.db.mutex());
        const std::optional<QJsonObject> user = UserStore(context).json(*id);
        if (!user)
            return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
        Reply::value(res, *user);
    });

    server.Post("/api/profile\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, BodyCap);
                    if (body)
                        update(*body, res, context);
                });
}
