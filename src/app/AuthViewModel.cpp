#include "AuthViewModel.h"

#include "APIResponse.h"
#include "NetworkManager.h"
#include "SessionStore.h"
#include "VorlaneError.h"

#include <QPointer>

AuthViewModel::AuthViewModel(QObject *parent) : QObject(parent)
{
    restoreSession();
}

void AuthViewModel::restoreSession()
{
    // An entry that is no user means signed out.
    const std::optional<User> user = SessionStore::restore();
    if (!user)
        return;
    setCurrentUser(*user);
    setIsAuthenticated(true);
}

void AuthViewModel::logout()
{
    SessionStore::clear();
    setCurrentUser(std::nullopt);
    setIsAuthenticated(false);
}

QCoro::Task<bool> AuthViewModel::login(QString emailOrUsername, QString password)
{
    const QString login = emailOrUsername.trimmed();
    const QString secret = password.trimmed();
    if (login.isEmpty() || secret.isEmpty()) {
        setErrorMessage(QStringLiteral("Заполните логин и пароль"));
        co_return false;
    }
    const QJsonObject body{{QStringLiteral("action"), QStringLiteral("login")},
                           {QStringLiteral("email"), login},
                           {QStringLiteral("username"), login},
                           {QStringLiteral("password"), secret}};
    co_return co_await submit(body, QStringLiteral("Ошибка авторизации"));
}

QCoro::Task<bool> AuthViewModel::registerUser(QString username, QString email, QString password, QString firstName,
                                              QString lastName)
{
    const QString name = username.trimmed();
    const QString secret = password.trimmed();
    if (name.isEmpty() || secret.isEmpty()) {
        setErrorMessage(QStringLiteral("Введите логин и пароль"));
        co_return false;
    }
    const QString mail = email.trimmed();
    const QString first = firstName.trimmed();
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("register")},
        {QStringLiteral("username"), name},
        {QStringLiteral("email"), mail.isEmpty() ? name + QLatin1Char('@') + QLatin1String(fallbackMailDomain) : mail},
        {QStringLiteral("password"), secret},
        {QStringLiteral("first_name"), first.isEmpty() ? name : first},
        {QStringLiteral("last_name"), lastName.trimmed()}};
    co_return co_await submit(body, QStringLiteral("Ошибка регистрации"));
}

QCoro::Task<bool> AuthViewModel::submit(QJsonObject body, QString refusalFallback)
{
    setIsLoading(true);
    setErrorMessage(std::nullopt);

    // The screen may go away while the request is under way.
    const QPointer<AuthViewModel> self(this);
    std::optional<APIResponse<User>> reply;
    QString failure;
    try {
        reply = co_await NetworkManager::shared().request<APIResponse<User>>(QStringLiteral("auth.php"),
                                                                             QStringLiteral("POST"), body);
    } catch (const VorlaneError &error) {
        failure = error.localizedDescription();
    }
    if (!self)
        co_return false;

    if (reply && reply->success && reply->data) {
        SessionStore::save(*reply->data);
        setCurrentUser(*reply->data);
        setIsAuthenticated(true);
        setIsLoading(false);
        co_return true;
    }
    setErrorMessage(reply ? reply->message.value_or(refusalFallback) : failure);
    setIsLoading(false);
    co_return false;
}

void AuthViewModel::startLogin(const QString &emailOrUsername, const QString &password)
{
    if (m_isLoading)
        return;
    // The task runs on by itself; its outcome shows in the properties.
    (void)login(emailOrUsername, password);
}

void AuthViewModel::startRegistration(const QString &username, const QString &email, const QString &password,
                                      const QString &firstName, const QString &lastName)
{
    if (m_isLoading)
        return;
    (void)registerUser(username, email, password, firstName, lastName);
}

QVariant AuthViewModel::currentUserValue() const
{
    return m_currentUser ? QVariant::fromValue(*m_currentUser) : QVariant();
}

void AuthViewModel::setIsAuthenticated(bool value)
{
    m_isAuthenticated = value;
    Q_EMIT isAuthenticatedChanged();
}

void AuthViewModel::setCurrentUser(const std::optional<User> &user)
{
    m_currentUser = user;
    Q_EMIT currentUserChanged();
}

void AuthViewModel::setErrorMessage(const std::optional<QString> &message)
{
    m_errorMessage = message;
    Q_EMIT errorMessageChanged();
}

void AuthViewModel::setIsLoading(bool value)
{
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}
