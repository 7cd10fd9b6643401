#pragma once

#include "LoadingModel.h"
#include "Post.h"
#include "RandomDraw.h"
#include "User.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QSet>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The news feed: the list of posts loaded from the service. Made once by the main screen at
// launch; the first load starts in the constructor, before anybody has signed in. Likes stay on
// the device; reposts are sent and never confirmed; a new post shows at once under a temporary
// id until the service's copy replaces it.
class FeedViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *posts READ postsModel CONSTANT)

public:
    static constexpr qint64 FirstTemporaryId = 10000;
    static constexpr qint64 LastTemporaryId = 99999;

    explicit FeedViewModel(QObject *parent = nullptr);

    // The post rows as the feed and the profile wall show them: every field a post card reads.
    static QList<std::pair<QByteArray, RecordListModel<Post>::Field>> postRoles();
    // The post that stands in for a new one until the service answers.
    static Post temporaryPost(qint64 id, const User &author, const QString &trimmedText, const QString &imageUrl);

    const QList<Post> &posts() const { return m_posts.rows(); }
    QAbstractItemModel *postsModel() { return &m_posts; }

    // Temporary ids come from here; tests hand in a generator that collides.
    void setRandomDraw(RandomDraw draw) { m_draw = std::move(draw); }

    // Sets the busy flag at once and fetches "feed.php"; a failed fetch only clears the flag.
    Q_INVOKABLE void loadFeed();

    // Flips the like of the listed post with this post's id; nothing is sent.
    void toggleLike(const Post &post);
    Q_INVOKABLE void toggleLike(const QVariant &post);

    // Flips the repost of the listed post with this post's id, then sends the repost for `user`
    // (the demo account when none is given). The reply is not looked at.
    void toggleRepost(const Post &post, const std::optional<User> &user);
    Q_INVOKABLE void toggleRepost(const QVariant &post, const QVariant &user);

    // Shows the post on top at once and sends it. Blank text does nothing.
    void createPost(const User &author, const QString &text, const QString &imageUrl = {});
    Q_INVOKABLE void createPost(const QVariant &author, const QString &text, const QString &imageUrl);

Q_SIGNALS:
    void postsChanged();

private:
    QCoro::Task<> publish(QJsonObject body, qint64 temporaryId);
    static QCoro::Task<> sendRepost(QJsonObject body);
    void replaceTemporary(qint64 temporaryId, const Post &post);

    RecordListModel<Post> m_posts;
    RandomDraw m_draw;
    // Temporary posts still waiting for their reply. A load replaces the list, and with it every
    // temporary post: a reply then has nothing left to replace, even if the load brought a post
    // with the same id.
    QSet<qint64> m_pendingIds;
};
