// "auth.php": sign-in by user name or e-mail, and registration. Both answer with the user record
// in the envelope; every refusal is an envelope with a message the sign-in screen shows as it is.
#include "Database.h"
#include "FeedList.h"
#include "LoginThrottle.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "UserName.h"
#include "UserStore.h"

#include <QRegularExpression>
#include <memory>
#include <httplib.h>

namespace {
constexpr qsizetype MaxNameLength = 64;
constexpr qsizetype MaxEmailLength = 254;
constexpr qsizetype MaxPasswordLength = 1024;
constexpr qint64 BodyCap = RequestBody::capFor(3 * MaxNameLength + MaxEmailLength + MaxPasswordLength);

QString field(const QJsonObject &body, const char *key)
{
    return RequestBody::text(body, QLatin1String(key)).value_or(QString()).trimmed();
}

bool isValidUsername(const QString &username)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\s@/\\\\\\p{Cc}]"));
    return !username.isEmpty() && username.size() <= MaxNameLength && !forbidden.match(username).hasMatch();
}

bool isValidEmail(const QString &email)
{
    static const QRegularExpression pattern(QStringLiteral("^[^\\s@\\p{Cc}]+@[^\\s@\\p{Cc}]+$"));
    return email.size() <= MaxEmailLength && pattern.match(email).hasMatch();
}

void login(const QJsonObject &body, httplib::Response &res, ServiceContext &context, LoginThrottle &throttle)
{
    // The client sends the same text under both keys; either one alone is enough.
    QString name = field(body, "username");
    if (name.isEmpty())
        name = field(body, "email");
    const QString password = RequestBody::text(body, QStringLiteral("password")).value_or(QString());
    if (name.isEmpty() || password.isEmpty())
        return Reply::refuse(res, QStringLiteral("Заполните логин и пароль"));
    std::optional<UserStore::Login> found;
    {
        std::lock_guard lock(context.db.mutex());
        found = UserStore(context).findLogin(name);
    }
    // Failures count against the account, whichever of its name or e-mail was typed; a name that
    // is no account's keeps its own count, so that guessing it costs the same as guessing a real one.
    const QString who = found ? QStringLiteral("id:%1").arg(found->id) : QStringLiteral("name:") + name;
    // Refused before any hashing: guessing a password must cost the guesser, not the service.
    if (throttle.isBlocked(who))
        return Reply::refuse(res, QStringLiteral("Слишком много неудачных попыток входа. Попробуйте через минуту"));

    // The hash is checked outside the lock: it is slow on purpose. An unknown name costs the same
    // as a wrong password, so that the answer time does not tell which names exist.
    bool matches = false;
    if (found && password.size() <= MaxPasswordLength)
        matches = found->password.matches(password);
    else
        PasswordHash::make(password.left(MaxPasswordLength));
    if (!matches) {
        throttle.recordFailure(who);
        return Reply::refuse(res, QStringLiteral("Неверный логин или пароль"));
    }
    throttle.recordSuccess(who);

    std::lock_guard lock(context.db.mutex());
    const std::optional<QJsonObject> user = UserStore(context).json(found->id);
    if (!user)
        return Reply::refuse(res, QStringLiteral("Неверный логин или пароль"));
    Reply::success(res, QStringLiteral("Вход выполнен"), *user);
}

void registerUser(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    NewUser user{field(body, "username"), field(body, "email"), field(body, "first_name"), field(body, "last_name"), {}};
    const QString password = RequestBody::text(body, QStringLiteral("password")).value_or(QString());
    if (user.username.isEmpty() || password.trimmed().isEmpty())
        return Reply::refuse(res, QStringLiteral("Введите логин и пароль"));
    if (!isValidUsername(user.username))
        return Reply::refuse(res, QStringLiteral("Логин может содержать до 64 символов без пробелов, «@», «/» и «\\»"));
    if (UserName::hasInvisible(user.username))
        return Reply::refuse(res, QStringLiteral("Логин не может содержать невидимые и управляющие символы"));
    if (UserName::mixesScripts(user.username))
        return Reply::refuse(res, QStringLiteral("Логин не может смешивать буквы разных алфавитов"));
    if (!isValidEmail(user.email))
        return Reply::refuse(res, QStringLiteral("Некорректный адрес электронной почты"));
    if (password.size() > MaxPasswordLength)
        return Reply::refuse(res, QStringLiteral("Слишком длинный пароль"));
    if (user.firstName.isEmpty())
        user.firstName = user.username;
    if (user.firstName.size() > MaxNameLength || user.lastName.size() > MaxNameLength)
        return Reply::refuse(res, QStringLiteral("Имя и фамилия могут содержать до 64 символов"));
    user.password = PasswordHash::make(password);

    std::lock_guard lock(context.db.mutex());
    UserStore store(context);
    switch (store.taken(user.username, user.email)) {
    case UserStore::Taken::Username:
        return Reply::refuse(res, QStringLiteral("Пользователь с таким логином уже существует"));
    case UserStore::Taken::Email:
        return Reply::refuse(res, QStringLiteral("Пользователь с такой почтой уже существует"));
    case UserStore::Taken::Nothing:
        break;
    }
    FeedList::Change change(context);
    const qint64 id = store.create(user);
    // Mostly without posts; read anyway, in case posts of a member long gone name the same id.
    change.user(id);
    Reply::success(res, QStringLiteral("Регистрация прошла успешно"), *store.json(id));
}
}

void Routes::addAuth(httplib::Server &server, ServiceContext &context)
{
    auto throttle = std::make_shared<LoginThrottle>();
    server.Post("/api/auth\\.php", [&context, throttle](const httplib::Request &req, httplib::Response &res,
                                                        const httplib::ContentReader &reader) {
        const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, BodyCap);
        if (!body)
            return;
        const QString action = RequestBody::text(*body, QStringLiteral("action")).value_or(QString());
        if (action == QLatin1String("login"))
            return login(*body, res, context, *throttle);
        if (action == QLatin1String("register"))
            return registerUser(*body, res, context);
        Reply::refuse(res, QStringLiteral("Неизвестное действие"));
    });
}
