#pragma once

#include "JsonCoding.h"

#include <QMetaType>
#include <QString>

#include <memory>
#include <optional>

// A member of the network: the author of posts, comments and videos, and the signed-in user.
// Decoding is lenient: only "id" is required; other keys missing or null take fixed defaults
// that differ from the constructor defaults below.
struct User
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString username MEMBER username)
    Q_PROPERTY(QString firstName MEMBER firstName)
    Q_PROPERTY(QString lastName MEMBER lastName)
    Q_PROPERTY(std::optional<QString> avatarUrl MEMBER avatarUrl)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(std::optional<QString> statusText MEMBER statusText)
    Q_PROPERTY(bool isVerified MEMBER isVerified)
    Q_PROPERTY(qint64 followersCount MEMBER followersCount)
    Q_PROPERTY(qint64 followingCount MEMBER followingCount)
    Q_PROPERTY(std::optional<QString> bio MEMBER bio)
    Q_PROPERTY(bool isOnline MEMBER isOnline)
    Q_PROPERTY(std::optional<QString> lastSeenText MEMBER lastSeenText)
    Q_PROPERTY(QString fullName READ fullName)

public:
    qint64 id = 0;
    QString username = {};
    QString firstName = {};
    QString lastName = {};
    std::optional<QString> avatarUrl = {};
    std::optional<QString> coverUrl = {};
    std::optional<QString> statusText = {};
    bool isVerified = false;
    qint64 followersCount = 0;
    qint64 followingCount = 0;
    std::optional<QString> bio = {};
    bool isOnline = false;
    std::optional<QString> lastSeenText = {};

    // First name, a space and last name, with white space trimmed from both ends.
    QString fullName() const;

    // The built-in sample user (id 1).
    static const User &demoUser();

    static User fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const User &, const User &) = default;
};

size_t qHash(const User &user, size_t seed = 0);

template <> struct JsonCoding<User> : JsonCodingEntry<User>
{
    static User decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const User &user);
};

// A User held by reference and read as a const User: the posts of one author in a reply share
// one copy instead of a 272-byte User each. Assigning a User replaces the value held.
class SharedUser
{
public:
    SharedUser() = default;
    SharedUser(const User &user) : m_user(std::make_shared<const User>(user)) {}
    explicit SharedUser(std::shared_ptr<const User> user) : m_user(std::move(user)) {}

    const User &operator*() const { return m_user ? *m_user : empty(); }
    const User *operator->() const { return &**this; }
    operator const User &() const { return **this; }

    friend bool operator==(const SharedUser &a, const SharedUser &b) { return a.m_user == b.m_user || *a == *b; }

private:
    static const User &empty();
    std::shared_ptr<const User> m_user;
};

inline size_t qHash(const SharedUser &user, size_t seed = 0)
{
    return qHash(*user, seed);
}

template <> struct JsonCoding<SharedUser> : JsonCodingEntry<SharedUser>
{
    // Equal authors in one reply are decoded once.
    static SharedUser decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const SharedUser &user) { JsonCoding<User>::encode(writer, *user); }
};
