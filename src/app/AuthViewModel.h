#pragma once

#include "SessionStore.h"
#include "User.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Owns the signed-in session: restores the stored user at construction without any request,
// signs in or registers against "auth.php", and keeps the signed-in user in the SessionStore.
// Every write of a property notifies, in the order the sign-in screen relies on: the busy flag
// with the cleared error, then the stored record, the user, the signed-in flag and the cleared
// busy flag; on failure the error text and the cleared busy flag.
class AuthViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool isAuthenticated READ isAuthenticated NOTIFY isAuthenticatedChanged)
    // The signed-in User (a gadget), or undefined when signed out.
    Q_PROPERTY(QVariant currentUser READ currentUserValue NOTIFY currentUserChanged)
    Q_PROPERTY(bool isSignedIn READ isSignedIn NOTIFY currentUserChanged)
    // The banner text; empty while there is none (hasErrorMessage tells an empty message apart).
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(bool hasErrorMessage READ hasErrorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    static constexpr const char *sessionKey = SessionStore::key;

    explicit AuthViewModel(QObject *parent = nullptr);

    bool isAuthenticated() const { return m_isAuthenticated; }
    const std::optional<User> &currentUser() const { return m_currentUser; }
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    bool isLoading() const { return m_isLoading; }

    void setErrorMessage(const std::optional<QString> &message);
    // The screen clears the banner when it switches between sign-in and registration.
    Q_INVOKABLE void clearErrorMessage() { setErrorMessage(std::nullopt); }

    // True only when the service signed the user in (or created the account and returned it).
    // Never throws: failures end up in errorMessage.
    QCoro::Task<bool> login(QString emailOrUsername, QString password);
    QCoro::Task<bool> registerUser(QString username, QString email, QString password, QString firstName,
                                   QString lastName);
    // For the screen, which follows the outcome through the properties. A press while a request is
    // under way starts nothing, so that one press sequence makes one request.
    Q_INVOKABLE void startLogin(const QString &emailOrUsername, const QString &password);
    Q_INVOKABLE void startRegistration(const QString &username, const QString &email, const QString &password,
                                       const QString &firstName, const QString &lastName);

    // Forgets the stored session and signs out.
    void logout();

    // The e-mail registration sends when the user gives none: the user name at this domain.
    static constexpr const char *fallbackMailDomain = "vorlane.local";

Q_SIGNALS:
    void isAuthenticatedChanged();
    void currentUserChanged();
    void errorMessageChanged();
    void isLoadingChanged();

private:
    QVariant currentUserValue() const;
    bool isSignedIn() const { return m_currentUser.has_value(); }
    QString errorMessageText() const { return m_errorMessage.value_or(QString()); }
    bool hasErrorMessage() const { return m_errorMessage.has_value(); }

    void setIsAuthenticated(bool value);
    void setCurrentUser(const std::optional<User> &user);
    void setIsLoading(bool value);

    void restoreSession();
    QCoro::Task<bool> submit(QJsonObject body, QString refusalFallback);

    bool m_isAuthenticated = false;
    std::optional<User> m_currentUser;
    std::optional<QString> m_errorMessage;
    bool m_isLoading = false;
};
