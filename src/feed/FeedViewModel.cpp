#include "FeedViewModel.h"

#include "NetworkManager.h"
#include <exception>

#include <QPointer>

FeedViewModel::FeedViewModel(QObject *parent)
    : QObject(parent),
      m_posts({{"postId", [](const Post &post) { return QVariant(QString::number(post.id)); }},
               {"authorName", [](const Post &post) { return QVariant(post.author.fullName()); }},
               {"authorAvatarUrl", [](const Post &post) { return optionalText(post.author.avatarUrl); }},
               {"authorIsOnline", [](const Post &post) { return QVariant(post.author.isOnline); }},
               {"text", [](const Post &post) { return QVariant(post.text); }},
               {"createdAtFormatted", [](const Post &post) { return QVariant(post.createdAtFormatted); }},
               {"likesCount", [](const Post &post) { return QVariant(QString::number(post.likesCount)); }},
               {"commentsCount", [](const Post &post) { return QVariant(QString::number(post.commentsCount)); }}},
              this)
{
    loadFeed();
}

void FeedViewModel::loadFeed()
{
    setIsLoading(true);
    (void)fetchFeed();
}

QCoro::Task<> FeedViewModel::fetchFeed()
{
    const QPointer<FeedViewModel> self(this);
    try {
        const QList<Post> posts = co_await NetworkManager::shared().request<QList<Post>>(QStringLiteral("feed.php"));
        if (!self)
            co_return;
        m_posts.setRows(posts);
        Q_EMIT postsChanged();
    } catch (const std::exception &) {
        // A failed load keeps what is shown.
    }
    if (self)
        setIsLoading(false);
}

void FeedViewModel::setIsLoading(bool value)
{
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}
