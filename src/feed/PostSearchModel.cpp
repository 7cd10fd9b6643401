#include "PostSearchModel.h"

#include "FeedViewModel.h"

PostSearchModel::PostSearchModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    for (const auto &signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &PostSearchModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &PostSearchModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &PostSearchModel::countChanged);
    connect(this, &PostSearchModel::countChanged, this, &PostSearchModel::emptyTextChanged);
}

void PostSearchModel::setFeed(FeedViewModel *feed)
{
    if (feed == m_feed)
        return;
    m_feed = feed;
    setSourceModel(feed ? feed->postsModel() : nullptr);
    Q_EMIT feedChanged();
}

void PostSearchModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    invalidateRowsFilter();
    Q_EMIT searchTextChanged();
    Q_EMIT emptyTextChanged();
}

bool PostSearchModel::matches(const Post &post, const QString &searchText)
{
    if (searchText.trimmed().isEmpty())
        return true;
    const QString query = searchText.toLower();
    return post.text.toLower().contains(query) || post.author->username.toLower().contains(query) ||
           post.author->fullName().toLower().contains(query);
}

QString PostSearchModel::emptyText(const QString &searchText)
{
    if (searchText.isEmpty())
        return QStringLiteral("В ленте пока нет публикаций. Напишите первую запись!");
    return QStringLiteral("Ничего не найдено по запросу '") + searchText + QLatin1Char('\'');
}

bool PostSearchModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid() || !m_feed)
        return false;
    const QList<Post> &posts = m_feed->posts();
    return sourceRow >= 0 && sourceRow < posts.size() && matches(posts.at(sourceRow), m_searchText);
}
