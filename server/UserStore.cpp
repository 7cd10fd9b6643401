#include "UserStore.h"

#include "Database.h"
#include "OptionalMember.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserName.h"

#include <string>

std::optional<UserStore::Login> UserStore::findLogin(const QString &login) const
{
    Statement query(m_context.db, "SELECT id, password_salt, password_hash, password_iterations FROM users "
                                  "WHERE username = ?1 OR email = ?1 ORDER BY username = ?1 DESC LIMIT 1");
    query.bind(1, login);
    if (!query.next())
        return std::nullopt;
    return Login{query.integer(0), PasswordHash{query.blob(1), query.blob(2), int(query.integer(3))}};
}

UserStore::Taken UserStore::taken(const QString &username, const QString &email) const
{
    Statement byName(m_context.db, "SELECT 1 FROM users WHERE username = ?1 OR name_key = ?2");
    if (byName.bind(1, username).bind(2, UserName::key(username)).next())
        return Taken::Username;
    Statement byEmail(m_context.db, "SELECT 1 FROM users WHERE email = ?1");
    if (byEmail.bind(1, email).next())
        return Taken::Email;
    return Taken::Nothing;
}

qint64 UserStore::create(const NewUser &user) const
{
    Statement insert(m_context.db,
                     "INSERT INTO users (username, email, password_salt, password_hash, password_iterations, "
                     "first_name, last_name, is_online, created_at, name_key) "
                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 1, ?8, ?9)");
    insert.bind(1, user.username).bind(2, user.email);
    insert.bindBlob(3, user.password.salt).bindBlob(4, user.password.hash).bind(5, qint64(user.password.iterations));
    insert.bind(6, user.firstName)
        .bind(7, user.lastName)
        .bind(8, TimeText::now())
        .bind(9, UserName::key(user.username));
    insert.run();
    return m_context.db.lastInsertId();
}

void UserStore::fillNameKeys(Database &db)
{
    QList<std::pair<qint64, QString>> missing;
    Statement query(db, "SELECT id, username FROM users WHERE name_key IS NULL");
    while (query.next())
        missing.append({query.integer(0), query.text(1)});
    Transaction transaction(db);
    for (const auto &[id, name] : missing)
        Statement(db, "UPDATE users SET name_key = ?2 WHERE id = ?1").bind(1, id).bind(2, UserName::key(name)).run();
    transaction.commit();
}

namespace {
QJsonObject userFromRow(const Statement &query, const ServiceContext &context, qint64 now)
{
    QJsonObject user{
        {QStringLiteral("id"), query.integer(0)},
        {QStringLiteral("username"), query.text(1)},
        {QStringLiteral("first_name"), query.text(2)},
        {QStringLiteral("last_name"), query.text(3)},
        {QStringLiteral("is_verified"), query.flag(7)},
        {QStringLiteral("followers_count"), query.integer(8)},
        {QStringLiteral("following_count"), query.integer(9)},
        {QStringLiteral("is_online"), query.flag(11)},
    };
    insertOptional(user, "avatar_url", context.absolute(query.optionalText(4)));
    insertOptional(user, "cover_url", context.absolute(query.optionalText(5)));
    insertOptional(user, "status_text", query.optionalText(6));
    insertOptional(user, "bio", query.optionalText(10));
    if (!query.flag(11) && !query.isNull(12))
        user.insert(QStringLiteral("last_seen_text"), TimeText::lastSeen(query.integer(12), now));
    return user;
}
} // namespace

std::optional<QJsonObject> UserStore::json(qint64 id) const
{
    static const std::string sql = std::string("SELECT ") + Columns + " FROM users WHERE id = ?1";
    Statement query(m_context.db, sql.c_str());
    query.bind(1, id);
    if (!query.next())
        return std::nullopt;
    return userFromRow(query, m_context, TimeText::now());
}
