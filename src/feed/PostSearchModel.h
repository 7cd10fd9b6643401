#pragma once

#include "Post.h"
#include "RecordListModel.h"
#include "SearchKeys.h"

#include <QPointer>
#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

class FeedViewModel;

// The feed as the search field narrows it, in the feed's order, with the text that an empty
// result shows.
class PostSearchModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(FeedViewModel *feed READ feed WRITE setFeed NOTIFY feedChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY emptyTextChanged)

public:
    explicit PostSearchModel(QObject *parent = nullptr);

    FeedViewModel *feed() const { return m_feed; }
    void setFeed(FeedViewModel *feed);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    int count() const { return rowCount(); }
    QString emptyText() const { return emptyText(m_searchText); }

    // A search that trims to nothing keeps every post. Otherwise the text as typed (blanks at its
    // ends included), lower-cased, must occur in the post's text, its author's user name or full
    // name, each lower-cased.
    static bool matches(const Post &post, const QString &searchText);
    // What an empty list says; it looks at the search text untrimmed.
    static QString emptyText(const QString &searchText);
    // The post's text, its author's user name and full name, as the search compares them.
    static QList<QString> searchFields(const Post &post);

Q_SIGNALS:
    void feedChanged();
    void searchTextChanged();
    void countChanged();
    void emptyTextChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QPointer<FeedViewModel> m_feed;
    QString m_searchText;
    QString m_query;
    SearchKeys m_keys;
};
