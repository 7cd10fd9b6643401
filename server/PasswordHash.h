#pragma once

#include <QByteArray>
#include <QString>

// Passwords are kept as PBKDF2-HMAC-SHA256 of the password with a random salt of the user's own;
// the iteration count is stored with each hash so that it can be raised later.
struct PasswordHash
{
    QByteArray salt;
    QByteArray hash;
    int iterations = 0;

    static PasswordHash make(const QString &password);
    bool matches(const QString &password) const;
};
