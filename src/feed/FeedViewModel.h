#pragma once

#include "LoadingModel.h"
#include "Post.h"

#include <QtQml/qqmlregistration.h>

// The news feed: the list of posts loaded from the service. Made once by the main screen at
// launch; the first load starts in the constructor, before anybody has signed in.
class FeedViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *posts READ postsModel CONSTANT)

public:
    explicit FeedViewModel(QObject *parent = nullptr);

    // The post rows as the feed and the profile wall show them.
    static QList<std::pair<QByteArray, RecordListModel<Post>::Field>> postRoles();

    const QList<Post> &posts() const { return m_posts.rows(); }
    QAbstractItemModel *postsModel() { return &m_posts; }

    // Sets the busy flag at once and fetches "feed.php"; a failed fetch only clears the flag.
    Q_INVOKABLE void loadFeed();

Q_SIGNALS:
    void postsChanged();

private:
    RecordListModel<Post> m_posts;
};
