#pragma once

#include "PasswordHash.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <optional>

struct ServiceContext;
class Database;

struct NewUser
{
    QString username;
    QString email;
    QString firstName;
    QString lastName;
    PasswordHash password;
};

// Members of the network. Callers that write hold the database mutex.
class UserStore
{
public:
    explicit UserStore(const ServiceContext &context)
        : m_context(context)
    {
    }

    struct Login
    {
        qint64 id = 0;
        PasswordHash password;
    };
    // The member whose user name or e-mail is `login` (letter case aside).
    std::optional<Login> findLogin(const QString &login) const;

    // A name is taken when it is, letter case aside, or when it looks like one that is (UserName::key).
    enum class Taken { Nothing, Username, Email };
    Taken taken(const QString &username, const QString &email) const;
    qint64 create(const NewUser &user) const;

    // The user record in its wire form.
    std::optional<QJsonObject> json(qint64 id) const;
    // The columns a user record is made from, in the order json() reads them (FeedList writes the
    // same record straight into its reply).
    static constexpr const char *Columns =
        "id, username, first_name, last_name, avatar_url, cover_url, status_text, is_verified, "
        "(SELECT COUNT(*) FROM follows WHERE followee_id = users.id), "
        "(SELECT COUNT(*) FROM follows WHERE follower_id = users.id), "
        "bio, is_online, last_seen_at";

    // Gives the members stored without a name key (the demo data, a file from before keys) theirs.
    static void fillNameKeys(Database &db);

private:
    const ServiceContext &m_context;
};
