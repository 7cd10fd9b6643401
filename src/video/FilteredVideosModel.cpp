#include "FilteredVideosModel.h"

#include "VideoCatalogRules.h"
#include "VideoViewModel.h"

FilteredVideosModel::FilteredVideosModel(QObject *parent) : QSortFilterProxyModel(parent)
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
    setSourceModel(viewModel ? viewModel->videosModel() : nullptr);
    Q_EMIT viewModelChanged();
    announceCount();
}

void FilteredVideosModel::setSearchText(const QString &searchText)
{
    if (searchText == m_searchText)
        return;
    m_searchText = searchText;
    invalidateFilter();
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
    return VideoCatalogRules::matches(m_viewModel->videos().at(sourceRow), m_searchText);
}

void FilteredVideosModel::announceCount()
{
    const int now = rowCount();
    if (now == m_lastCount)
        return;
    m_lastCount = now;
    Q_EMIT countChanged();
}
