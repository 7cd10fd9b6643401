#include "TrackSearchModel.h"

#include "TrackSearch.h"

TrackSearchModel::TrackSearchModel(QObject *parent) : QSortFilterProxyModel(parent)
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
    invalidateRowsFilter();
    Q_EMIT searchTextChanged();
}

QString TrackSearchModel::emptyText() const
{
    return TrackSearch::emptyText(m_searchText);
}

bool TrackSearchModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (TrackSearch::showsEverything(m_searchText))
        return true;
    const QAbstractItemModel *source = sourceModel();
    const int trackRole = source->roleNames().key(QByteArrayLiteral("track"), -1);
    const QVariant track = source->data(source->index(sourceRow, 0, sourceParent), trackRole);
    return track.canConvert<Track>() && TrackSearch::matches(track.value<Track>(), m_searchText);
}
