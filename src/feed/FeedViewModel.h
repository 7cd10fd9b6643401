#pragma once

#include "Post.h"
#include "RecordListModel.h"

#include <QCoroTask>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The news feed: the list of posts loaded from the service. Made once by the main screen at
// launch; the first load starts in the constructor, before anybody has signed in.
class FeedViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *posts READ postsModel CONSTANT)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    explicit FeedViewModel(QObject *parent = nullptr);

    const QList<Post> &posts() const { return m_posts.rows(); }
    QAbstractItemModel *postsModel() { return &m_posts; }
    bool isLoading() const { return m_isLoading; }

    // Sets the busy flag at once and fetches "feed.php"; a failed fetch only clears the flag.
    Q_INVOKABLE void loadFeed();

Q_SIGNALS:
    void postsChanged();
    void isLoadingChanged();

private:
    QCoro::Task<> fetchFeed();
    void setIsLoading(bool value);

    RecordListModel<Post> m_posts;
    bool m_isLoading = false;
};
