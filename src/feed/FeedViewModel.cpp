#include "FeedViewModel.h"

#include "APIResponse.h"
#include "AvatarRules.h"
#include "NetworkManager.h"

#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <exception>

namespace {
QString countText(qint64 count)
{
    return QString::number(count);
}

// What a card shows for one attachment: "image" for a picture it can load, "audio" for a
// playable row, "none" for videos and pictures whose address does not parse.
QVariantList attachmentRows(const Post &post)
{
    QVariantList rows;
    for (qsizetype i = 0; i < post.attachments.size(); ++i) {
        const PostAttachment &attachment = post.attachments.at(i);
        QString kind = QStringLiteral("none");
        if (attachment.type == PostAttachment::AttachmentType::image && AvatarRules::isUsableAddress(attachment.url))
            kind = QStringLiteral("image");
        else if (attachment.type == PostAttachment::AttachmentType::audio)
            kind = QStringLiteral("audio");
        rows.append(QVariantMap{
            {QStringLiteral("attachmentId"), attachment.id},
            {QStringLiteral("index"), int(i)},
            {QStringLiteral("kind"), kind},
            {QStringLiteral("url"), attachment.url},
            {QStringLiteral("title"), attachment.title.value_or(QStringLiteral("Аудиозапись"))},
            {QStringLiteral("subtitle"), attachment.subtitle.value_or(QStringLiteral("Исполнитель"))},
        });
    }
    return rows;
}

std::optional<Post> postOf(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<Post>())
        return std::nullopt;
    return value.value<Post>();
}

std::optional<User> userOf(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<User>())
        return std::nullopt;
    return value.value<User>();
}
} // namespace

FeedViewModel::FeedViewModel(QObject *parent) : LoadingModel(parent), m_posts(postRoles(), this)
{
    loadFeed();
}

QList<std::pair<QByteArray, RecordListModel<Post>::Field>> FeedViewModel::postRoles()
{
    return {
        {"post", [](const Post &post) { return QVariant::fromValue(post); }},
        {"postId", [](const Post &post) { return QVariant(QString::number(post.id)); }},
        {"author", [](const Post &post) { return QVariant::fromValue(*post.author); }},
        {"authorName", [](const Post &post) { return QVariant(post.author->fullName()); }},
        // A channel's name stands in for the author's; avatar, dot, seal and link stay the author's.
        {"headerName", [](const Post &post) { return QVariant(post.channelName.value_or(post.author->fullName())); }},
        {"authorAvatarUrl", [](const Post &post) { return optionalText(post.author->avatarUrl); }},
        {"authorIsOnline", [](const Post &post) { return QVariant(post.author->isOnline); }},
        {"authorIsVerified", [](const Post &post) { return QVariant(post.author->isVerified); }},
        {"text", [](const Post &post) { return QVariant(post.text); }},
        {"createdAtFormatted", [](const Post &post) { return QVariant(post.createdAtFormatted); }},
        {"attachments", [](const Post &post) { return QVariant(attachmentRows(post)); }},
        {"likesCount", [](const Post &post) { return QVariant(countText(post.likesCount)); }},
        {"isLiked", [](const Post &post) { return QVariant(post.isLiked); }},
        {"commentsCount", [](const Post &post) { return QVariant(countText(post.commentsCount)); }},
        {"repostsCount", [](const Post &post) { return QVariant(countText(post.repostsCount)); }},
        {"isReposted", [](const Post &post) { return QVariant(post.isReposted); }},
        {"viewsCount", [](const Post &post) { return QVariant(countText(post.viewsCount)); }},
    };
}

Post FeedViewModel::temporaryPost(qint64 id, const User &author, const QString &trimmedText, const QString &imageUrl)
{
    Post post;
    post.id = id;
    post.author = author;
    post.text = trimmedText;
    if (!imageUrl.isEmpty()) {
        PostAttachment photo;
        photo.id = QStringLiteral("img_temp");
        photo.type = PostAttachment::AttachmentType::image;
        photo.url = imageUrl;
        post.attachments.append(photo);
    }
    post.viewsCount = 1;
    post.createdAtFormatted = QStringLiteral("Только что");
    return post;
}

void FeedViewModel::loadFeed()
{
    loadList(QStringLiteral("feed.php"), m_posts, [this] {
        m_pendingIds.clear();
        Q_EMIT postsChanged();
    });
}

void FeedViewModel::toggleLike(const Post &post)
{
    const bool found = m_posts.updateFirst([id = post.id](const Post &row) { return row.id == id; },
                                           [](Post &row) {
                                               row.isLiked = !row.isLiked;
                                               row.likesCount += row.isLiked ? 1 : -1;
                                           });
    if (found)
        Q_EMIT postsChanged();
}

void FeedViewModel::toggleLike(const QVariant &post)
{
    if (const std::optional<Post> value = postOf(post))
        toggleLike(*value);
}

void FeedViewModel::toggleRepost(const Post &post, const std::optional<User> &user)
{
    const bool found = m_posts.updateFirst([id = post.id](const Post &row) { return row.id == id; },
                                           [](Post &row) {
                                               row.isReposted = !row.isReposted;
                                               row.repostsCount += row.isReposted ? 1 : -1;
                                           });
    if (found)
        Q_EMIT postsChanged();
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("repost")},
        {QStringLiteral("post_id"), post.id},
        {QStringLiteral("user_id"), user ? user->id : qint64(1)},
    };
    (void)sendRepost(body);
}

void FeedViewModel::toggleRepost(const QVariant &post, const QVariant &user)
{
    if (const std::optional<Post> value = postOf(post))
        toggleRepost(*value, userOf(user));
}

QCoro::Task<> FeedViewModel::sendRepost(QJsonObject body)
{
    try {
        (void)co_await NetworkManager::shared().request<APIResponse<QMap<QString, bool>>>(QStringLiteral("feed.php"),
                                                                                          QStringLiteral("POST"), body);
    } catch (const std::exception &) {
        // The flag changed on the device stays; the next load brings the service's count.
    }
}

void FeedViewModel::createPost(const User &author, const QString &text, const QString &imageUrl)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return;
    // A temporary id equal to a listed post's would send a like on one card to the other.
    QSet<qint64> used;
    for (const Post &post : m_posts.rows())
        used.insert(post.id);
    const qint64 id = m_draw.unusedInteger(FirstTemporaryId, LastTemporaryId, used);
    m_posts.insertRow(0, temporaryPost(id, author, trimmed, imageUrl));
    m_pendingIds.insert(id);
    Q_EMIT postsChanged();
    const QJsonObject body{
        {QStringLiteral("user_id"), author.id},
        {QStringLiteral("text"), trimmed},
        {QStringLiteral("image_url"), imageUrl},
    };
    (void)publish(body, id);
}

void FeedViewModel::createPost(const QVariant &author, const QString &text, const QString &imageUrl)
{
    if (const std::optional<User> user = userOf(author))
        createPost(*user, text, imageUrl);
}

QCoro::Task<> FeedViewModel::publish(QJsonObject body, qint64 temporaryId)
{
    const QPointer<FeedViewModel> self(this);
    bool failed = false;
    try {
        const APIResponse<Post> reply = co_await NetworkManager::shared().request<APIResponse<Post>>(
            QStringLiteral("feed.php"), QStringLiteral("POST"), body);
        if (!self)
            co_return;
        if (!reply.success)
            failed = true; // a refusal stored nothing: the temporary post must not pass for published
        else if (reply.data)
            replaceTemporary(temporaryId, *reply.data);
    } catch (const std::exception &) {
        failed = true;
    }
    if (failed && self)
        self->loadFeed();
}

void FeedViewModel::replaceTemporary(qint64 temporaryId, const Post &post)
{
    if (!m_pendingIds.remove(temporaryId))
        return;
    const qsizetype row = m_posts.indexWhere([temporaryId](const Post &listed) { return listed.id == temporaryId; });
    if (m_posts.replaceRow(row, post))
        Q_EMIT postsChanged();
}
