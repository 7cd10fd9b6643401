#include "ProfileViewModel.h"

#include "FeedViewModel.h"
#include "NetworkManager.h"

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
            if (post.author.id == user.id)
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
