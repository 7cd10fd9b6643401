#include "FilteredVideosModel.h"

#include "VideoCatalogRules.h"
#include "VideoViewModel.h"

FilteredVideosModel::FilteredVideosModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_keys([this](int row) {
        const QList<Video> &videos = m_viewModel->videos();
        if (row >= videos.size())
            return QList<QString>();
        return QList<QString>{VideoCatalogRules::searchable(videos.at(row).title),
                              VideoCatalogRules::searchable(videos.at(row).description)};
    })
{
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &FilteredVideosModel::announceCount);
    connect(this, &QAbstractItemModel::modelReset, this, &FilteredVideosModel::announceCount);
    connect(this, &QAbstractItemModel::layoutChanged, this, &FilteredVideosModel::announceCount);
}

VideoViewModel *FilteredVideosModel::viewModel() const
{
    return m_viewModel;
}

void FilteredVideosModel::setViewModel(VideoViewModel *viewModel)
{
    if (viewModel == m_viewModel)
        return;
    m_viewModel = viewModel;
    QAbstractItemModel *source = viewModel ? viewModel->videosModel() : nullptr;
    m_keys.follow(source);
    setSourceModel(source);
    Q_EMIT viewModelChanged();
    announceCount();
}

void FilteredVideosModel::setSearchText(const QString &searchText)
{
    if (searchText == m_searchText)
        return;
    m_searchText = searchText;
    // Empty while the search is off; decided here, once per keystroke, not once per row.
    m_query = VideoCatalogRules::isSearching(searchText) ? VideoCatalogRules::searchable(searchText) : QString();
    // Filtered afresh as a whole (one layout change) rather than row range by row range: a
    // keystroke over a long list changes thousands of ranges, each a costly step for the proxy.
    invalidate();
    Q_EMIT searchTextChanged();
    // The no-match text quotes the search text, so it changes even when the count does not.
    m_lastCount = -1;
    announceCount();
}

QString FilteredVideosModel::emptyText() const
{
    return rowCount() > 0 ? QString() : VideoCatalogRules::emptyListText(m_searchText);
}

bool FilteredVideosModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid() || !m_viewModel || sourceRow >= m_viewModel->videos().size())
        return false;
    return m_query.isEmpty() || m_keys.contains(sourceRow, m_query);
}

void FilteredVideosModel::announceCount()
{
    const int now = rowCount();
    if (now == m_lastCount)
        return;
    m_lastCount = now;
    Q_EMIT countChanged();
}
