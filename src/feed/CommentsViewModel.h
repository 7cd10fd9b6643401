#pragma once

#include "Comment.h"
#include "Post.h"
#include "RecordListModel.h"
#include "User.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The comments sheet's state: its own copy of the post, the comments loaded for it and the text
// being written. It talks to the service directly and never to the feed model, so a sent comment
// leaves the feed's count as it was. It lives as long as its sheet; a load or send that ends
// after the sheet closed is dropped.
class CommentsViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant post READ postValue WRITE setPost NOTIFY postChanged)
    Q_PROPERTY(QVariant currentUser READ currentUserValue WRITE setCurrentUser NOTIFY currentUserChanged)
    Q_PROPERTY(QString postText READ postText NOTIFY postChanged)
    Q_PROPERTY(QString commentText READ commentText WRITE setCommentText NOTIFY commentTextChanged)
    Q_PROPERTY(bool canSend READ canSend NOTIFY commentTextChanged)
    Q_PROPERTY(QAbstractItemModel *comments READ commentsModel CONSTANT)
    Q_PROPERTY(QString sectionTitle READ sectionTitle NOTIFY commentsChanged)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY commentsChanged)

public:
    explicit CommentsViewModel(QObject *parent = nullptr);

    const Post &post() const { return m_post; }
    void setPost(const Post &post);
    QString postText() const { return m_post.text; }
    void setCurrentUser(const User &user) { m_currentUser = user; }
    QString commentText() const { return m_commentText; }
    void setCommentText(const QString &text);
    bool canSend() const { return !m_commentText.trimmed().isEmpty(); }
    const QList<Comment> &comments() const { return m_comments.rows(); }
    QAbstractItemModel *commentsModel() { return &m_comments; }
    QString sectionTitle() const;
    bool isEmpty() const { return m_comments.rows().isEmpty(); }

    // The endpoint of a post's comments.
    static QString commentsEndpoint(qint64 postId);

    // Fetches the post's comments and shows them in the order received; a failure keeps the list.
    Q_INVOKABLE void loadComments();
    // Sends the trimmed text as the current user's comment. On the service's comment the list
    // gains it at the end and the field empties; any other outcome keeps both as they are. A press
    // while a comment is on its way sends nothing: the field still holds the text it carries.
    Q_INVOKABLE void sendComment();

Q_SIGNALS:
    void postChanged();
    void currentUserChanged();
    void commentTextChanged();
    void commentsChanged();

private:
    QVariant postValue() const { return QVariant::fromValue(m_post); }
    void setPost(const QVariant &post);
    QVariant currentUserValue() const;
    void setCurrentUser(const QVariant &user);
    QCoro::Task<> fetch(qint64 postId);
    QCoro::Task<> send(QJsonObject body);

    Post m_post;
    std::optional<User> m_currentUser;
    QString m_commentText;
    RecordListModel<Comment> m_comments;
    bool m_isSending = false;
};
