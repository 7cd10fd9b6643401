#include "ProfileViewModel.h"

#include "APIResponse.h"
#include "AvatarRules.h"
#include "FeedViewModel.h"
#include "NetworkManager.h"

#include <QJsonObject>
#include <QPointer>
#include <exception>

ProfileViewModel::ProfileViewModel(QObject *parent)
    : LoadingModel(parent), m_userPosts(FeedViewModel::postRoles(), this)
{
}

ProfileViewModel::ProfileViewModel(const User &user, QObject *parent)
    : LoadingModel(parent), m_user(user), m_userPosts(FeedViewModel::postRoles(), this)
{
    m_started = true;
    loadUserProfile();
}

void ProfileViewModel::setInitialUser(const QVariant &user)
{
    if (m_started || !user.canConvert<User>())
        return;
    m_user = user.value<User>();
    Q_EMIT userChanged();
}

void ProfileViewModel::componentComplete()
{
    if (m_started)
        return;
    m_started = true;
    loadUserProfile();
}

bool ProfileViewModel::isOwnProfile(const QVariant &shownUser, const QVariant &currentUser)
{
    if (!currentUser.canConvert<User>() || !shownUser.canConvert<User>())
        return false;
    return currentUser.value<User>().id == shownUser.value<User>().id;
}

QUrl ProfileViewModel::coverSource() const
{
    if (!m_user.coverUrl || !AvatarRules::isUsableAddress(*m_user.coverUrl))
        return {};
    return QUrl(*m_user.coverUrl, QUrl::StrictMode);
}

QVariantList ProfileViewModel::sheetUsers()
{
    return {QVariant::fromValue(User::demoUser())};
}

void ProfileViewModel::loadUserProfile()
{
    setIsLoading(true);
    (void)fetchProfile(m_user.id);
}

QCoro::Task<> ProfileViewModel::fetchProfile(qint64 userId)
{
    const QPointer<ProfileViewModel> self(this);
    try {
        NetworkManager &network = NetworkManager::shared();
        const User user =
            co_await network.request<User>(QStringLiteral("profile.php?user_id=") + QString::number(userId));
        // A screen that has gone away asks for nothing more.
        if (!self)
            co_return;
        const QList<Post> feed = co_await network.request<QList<Post>>(QStringLiteral("feed.php"));
        if (!self)
            co_return;
        QList<Post> wall;
        for (const Post &post : feed) {
            if (post.author->id == user.id)
                wall.append(post);
        }
        m_user = user;
        Q_EMIT userChanged();
        m_userPosts.setRows(wall);
        Q_EMIT userPostsChanged();
    } catch (const std::exception &) {
        // A failed load keeps the shown user and wall.
    }
    if (self)
        setIsLoading(false);
}

QCoro::Task<bool> ProfileViewModel::updateProfile(QString avatarUrl, QString coverUrl, QString statusText, QString bio)
{
    const QPointer<ProfileViewModel> self(this);
    const QJsonObject body{{QStringLiteral("user_id"), m_user.id},
                           {QStringLiteral("avatar_url"), avatarUrl},
                           {QStringLiteral("cover_url"), coverUrl},
                           {QStringLiteral("status_text"), statusText},
                           {QStringLiteral("bio"), bio}};
    std::optional<APIResponse<QMap<QString, QString>>> reply;
    try {
        reply = co_await NetworkManager::shared().request<APIResponse<QMap<QString, QString>>>(
            QStringLiteral("profile.php"), QStringLiteral("POST"), body);
    } catch (const std::exception &) {
        co_return false;
    }
    // A refusal saved nothing: showing the texts (and storing them as the session) would claim
    // a profile the service does not have.
    if (!self || !reply->success)
        co_return false;
    const auto replaceWith = [](std::optional<QString> &field, const QString &text) {
        if (!text.isEmpty())
            field = text;
    };
    replaceWith(m_user.avatarUrl, avatarUrl);
    replaceWith(m_user.coverUrl, coverUrl);
    replaceWith(m_user.statusText, statusText);
    replaceWith(m_user.bio, bio);
    Q_EMIT userChanged();
    co_return true;
}
