#pragma once

#include "PasswordHash.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <optional>

struct ServiceContext;

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

    enum class Taken { Nothing, Username, Email };
    Taken taken(const QString &username, const QString &email) const;
    qint64 create(const NewUser &user) const;

    // The user record in its wire form.
    std::optional<QJsonObject> json(qint64 id) const;
    // The records of every author of a post, by id, in one query; `now` is what "last seen" counts from.
    QHash<qint64, QJsonObject> postAuthors(qint64 now) const;

private:
    const ServiceContext &m_context;
};
