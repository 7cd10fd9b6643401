#include "CommentsViewModel.h"

#include "APIResponse.h"
#include "NetworkManager.h"

#include <QJsonObject>
#include <QPointer>

#include <exception>

namespace {
QList<std::pair<QByteArray, RecordListModel<Comment>::Field>> commentRoles()
{
    return {
        {"commentId", [](const Comment &comment) { return QVariant(QString::number(comment.id)); }},
        {"authorName", [](const Comment &comment) { return QVariant(comment.author.fullName()); }},
        {"authorAvatarUrl", [](const Comment &comment) { return optionalText(comment.author.avatarUrl); }},
        {"text", [](const Comment &comment) { return QVariant(comment.text); }},
        {"createdAtFormatted", [](const Comment &comment) { return QVariant(comment.createdAtFormatted); }},
    };
}
} // namespace

CommentsViewModel::CommentsViewModel(QObject *parent) : QObject(parent), m_comments(commentRoles(), this)
{
    for (const auto &signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_comments, signal, this, &CommentsViewModel::commentsChanged);
}

void CommentsViewModel::setPost(const Post &post)
{
    m_post = post;
    Q_EMIT postChanged();
}

void CommentsViewModel::setPost(const QVariant &post)
{
    if (post.metaType() == QMetaType::fromType<Post>())
        setPost(post.value<Post>());
}

QVariant CommentsViewModel::currentUserValue() const
{
    return m_currentUser ? QVariant::fromValue(*m_currentUser) : QVariant();
}

void CommentsViewModel::setCurrentUser(const QVariant &user)
{
    if (user.metaType() == QMetaType::fromType<User>())
        m_currentUser = user.value<User>();
    else
        m_currentUser.reset();
    Q_EMIT currentUserChanged();
}

void CommentsViewModel::setCommentText(const QString &text)
{
    if (text == m_commentText)
        return;
    m_commentText = text;
    Q_EMIT commentTextChanged();
}

QString CommentsViewModel::sectionTitle() const
{
    return QStringLiteral("Комментарии (") + QString::number(m_comments.rows().size()) + QLatin1Char(')');
}

QString CommentsViewModel::commentsEndpoint(qint64 postId)
{
    return QStringLiteral("feed.php?action=comments&post_id=") + QString::number(postId);
}

void CommentsViewModel::loadComments()
{
    (void)fetch(m_post.id);
}

QCoro::Task<> CommentsViewModel::fetch(qint64 postId)
{
    const QPointer<CommentsViewModel> self(this);
    try {
        const QList<Comment> list = co_await NetworkManager::shared().request<QList<Comment>>(commentsEndpoint(postId));
        if (self)
            self->m_comments.setRows(list);
    } catch (const std::exception &) {
        // A failed load keeps what is shown.
    }
}

void CommentsViewModel::sendComment()
{
    const QString trimmed = m_commentText.trimmed();
    if (trimmed.isEmpty() || m_isSending)
        return;
    // The screen always has a signed-in user; without one the comment goes out as the demo account's.
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("comment")},
        {QStringLiteral("post_id"), m_post.id},
        {QStringLiteral("user_id"), m_currentUser ? m_currentUser->id : qint64(1)},
        {QStringLiteral("text"), trimmed},
    };
    (void)send(body);
}

QCoro::Task<> CommentsViewModel::send(QJsonObject body)
{
    const QPointer<CommentsViewModel> self(this);
    m_isSending = true;
    try {
        const APIResponse<Comment> reply = co_await NetworkManager::shared().request<APIResponse<Comment>>(
            QStringLiteral("feed.php"), QStringLiteral("POST"), body);
        if (self && reply.success && reply.data) {
            self->m_comments.insertRow(self->m_comments.rows().size(), *reply.data);
            self->setCommentText(QString());
        }
    } catch (const std::exception &) {
        // The typed text stays for another try.
    }
    if (self)
        self->m_isSending = false;
}
