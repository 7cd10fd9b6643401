#include "TrackSearchModel.h"

#include "TrackSearch.h"

TrackSearchModel::TrackSearchModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_keys([this](int row) {
        const QModelIndex index = sourceModel()->index(row, 0);
        return QList<QString>{TrackSearch::folded(index.data(m_titleRole).toString()),
                              TrackSearch::folded(index.data(m_artistRole).toString())};
    })
{
    setDynamicSortFilter(true);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &TrackSearchModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &TrackSearchModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &TrackSearchModel::countChanged);
}

void TrackSearchModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    // Empty while the search is off; decided here, once per keystroke, not once per row.
    m_query = TrackSearch::showsEverything(text) ? QString() : TrackSearch::folded(text);
    // Filtered afresh as a whole (one layout change) rather than row range by row range: a
    // keystroke over a long list changes thousands of ranges, each a costly step for the proxy.
    invalidate();
    Q_EMIT searchTextChanged();
}

QString TrackSearchModel::emptyText() const
{
    return TrackSearch::emptyText(m_searchText);
}

void TrackSearchModel::setSourceModel(QAbstractItemModel *source)
{
    m_keys.follow(source);
    const QHash<int, QByteArray> roles = source ? source->roleNames() : QHash<int, QByteArray>();
    m_titleRole = roles.key(QByteArrayLiteral("title"), -1);
    m_artistRole = roles.key(QByteArrayLiteral("artist"), -1);
    QSortFilterProxyModel::setSourceModel(source);
}

bool TrackSearchModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_query.isEmpty())
        return true;
    return !sourceParent.isValid() && m_keys.contains(sourceRow, m_query);
}
