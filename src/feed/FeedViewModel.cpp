#include "FeedViewModel.h"

FeedViewModel::FeedViewModel(QObject *parent) : LoadingModel(parent), m_posts(postRoles(), this)
{
    loadFeed();
}

QList<std::pair<QByteArray, RecordListModel<Post>::Field>> FeedViewModel::postRoles()
{
    return {{"postId", [](const Post &post) { return QVariant(QString::number(post.id)); }},
            {"authorName", [](const Post &post) { return QVariant(post.author.fullName()); }},
            {"authorAvatarUrl", [](const Post &post) { return optionalText(post.author.avatarUrl); }},
            {"authorIsOnline", [](const Post &post) { return QVariant(post.author.isOnline); }},
            {"text", [](const Post &post) { return QVariant(post.text); }},
            {"createdAtFormatted", [](const Post &post) { return QVariant(post.createdAtFormatted); }},
            {"likesCount", [](const Post &post) { return QVariant(QString::number(post.likesCount)); }},
            {"commentsCount", [](const Post &post) { return QVariant(QString::number(post.commentsCount)); }}};
}

void FeedViewModel::loadFeed()
{
    loadList(QStringLiteral("feed.php"), m_posts, [this] { Q_EMIT postsChanged(); });
}
