#include "PostSearchModel.h"

#include "FeedViewModel.h"

#include <algorithm>

PostSearchModel::PostSearchModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_keys([this](int row) {
        const QList<Post> &posts = m_feed->posts();
        return row < posts.size() ? searchFields(posts.at(row)) : QList<QString>();
    })
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
    QAbstractItemModel *source = feed ? feed->postsModel() : nullptr;
    m_keys.follow(source);
    setSourceModel(source);
    Q_EMIT feedChanged();
}

void PostSearchModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    // Empty while the search is off; decided here, once per keystroke, not once per row.
    m_query = text.trimmed().isEmpty() ? QString() : text.toLower();
    // Filtered afresh as a whole (one layout change) rather than row range by row range: a
    // keystroke over a long list changes thousands of ranges, each a costly step for the proxy.
    invalidate();
    Q_EMIT searchTextChanged();
    Q_EMIT emptyTextChanged();
}

bool PostSearchModel::matches(const Post &post, const QString &searchText)
{
    if (searchText.trimmed().isEmpty())
        return true;
    const QString query = searchText.toLower();
    const QList<QString> fields = searchFields(post);
    return std::any_of(fields.cbegin(), fields.cend(), [&](const QString &field) { return field.contains(query); });
}

QList<QString> PostSearchModel::searchFields(const Post &post)
{
    return {post.text.toLower(), post.author->username.toLower(), post.author->fullName().toLower()};
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
    return m_query.isEmpty() || m_keys.contains(sourceRow, m_query);
}
