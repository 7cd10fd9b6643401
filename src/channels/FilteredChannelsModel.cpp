#include "FilteredChannelsModel.h"

#include "ChannelFilter.h"
#include "ChannelTexts.h"
#include "ChannelsViewModel.h"

FilteredChannelsModel::FilteredChannelsModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_keys([this](int row) {
        const QList<Channel> &channels = m_viewModel->channels();
        return row < channels.size() ? ChannelFilter::searchFields(channels.at(row)) : QList<QString>();
    })
{
    setDynamicSortFilter(true);
    connect(this, &QAbstractItemModel::rowsInserted, this, &FilteredChannelsModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &FilteredChannelsModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &FilteredChannelsModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &FilteredChannelsModel::countChanged);
}

void FilteredChannelsModel::setViewModel(ChannelsViewModel *viewModel)
{
    if (m_viewModel == viewModel)
        return;
    m_viewModel = viewModel;
    QAbstractItemModel *source = viewModel ? viewModel->channelsModel() : nullptr;
    m_keys.follow(source);
    setSourceModel(source);
    Q_EMIT viewModelChanged();
}

QVariant FilteredChannelsModel::currentUserValue() const
{
    return m_currentUser ? QVariant::fromValue(*m_currentUser) : QVariant::fromValue(nullptr);
}

void FilteredChannelsModel::setCurrentUser(const QVariant &user)
{
    const std::optional<User> next = user.canConvert<User>() ? std::optional<User>(user.value<User>()) : std::nullopt;
    if (next == m_currentUser)
        return;
    m_currentUser = next;
    refilter();
    // Rows that stay may change owner.
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {IsOwnerRole});
    Q_EMIT currentUserChanged();
}

void FilteredChannelsModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    // Empty while the search is off; decided here, once per keystroke, not once per row.
    m_query = ChannelFilter::searchIsOff(text) ? QString() : ChannelFilter::folded(text);
    refilter();
    Q_EMIT searchTextChanged();
    Q_EMIT emptyTextChanged();
}

void FilteredChannelsModel::setSegment(int segment)
{
    if (segment == m_segment)
        return;
    m_segment = segment;
    refilter();
    Q_EMIT segmentChanged();
    Q_EMIT emptyTextChanged();
}

QString FilteredChannelsModel::headerText() const
{
    return ChannelTexts::sectionHeader(m_segment);
}

QString FilteredChannelsModel::emptyText() const
{
    return ChannelTexts::emptyList(m_segment, m_searchText);
}

void FilteredChannelsModel::refilter()
{
    // Filtered afresh as a whole (one layout change) rather than row range by row range: a
    // keystroke over a long list changes thousands of ranges, each a costly step for the proxy.
    invalidate();
}

bool FilteredChannelsModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid() || !m_viewModel || sourceRow < 0 || sourceRow >= m_viewModel->channels().size())
        return false;
    return ChannelFilter::passesSegment(m_viewModel->channels().at(sourceRow), m_segment, m_currentUser) &&
           (m_query.isEmpty() || m_keys.contains(sourceRow, m_query));
}

QVariant FilteredChannelsModel::data(const QModelIndex &index, int role) const
{
    if (role != IsOwnerRole)
        return QSortFilterProxyModel::data(index, role);
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_viewModel)
        return {};
    const int sourceRow = mapToSource(index).row();
    if (sourceRow < 0 || sourceRow >= m_viewModel->channels().size())
        return {};
    return ChannelFilter::isOwner(m_viewModel->channels().at(sourceRow), m_currentUser);
}

QHash<int, QByteArray> FilteredChannelsModel::roleNames() const
{
    QHash<int, QByteArray> names = QSortFilterProxyModel::roleNames();
    names.insert(IsOwnerRole, "isOwner");
    return names;
}
