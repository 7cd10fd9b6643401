#pragma once

#include "ChannelsViewModel.h"
#include "SearchKeys.h"
#include "User.h"

#include <QPointer>
#include <QSortFilterProxyModel>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The rows of the channels screen: the model's catalogue, in its order, through the segment and
// the search. Each row also says whether the signed-in user owns it. The section header and the
// empty-list text follow the same inputs.
class FilteredChannelsModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ChannelsViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    // A User record, or null.
    Q_PROPERTY(QVariant currentUser READ currentUserValue WRITE setCurrentUser NOTIFY currentUserChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    // 0 the whole catalogue, 1 the user's own channels.
    Q_PROPERTY(int segment READ segment WRITE setSegment NOTIFY segmentChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QString headerText READ headerText NOTIFY segmentChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY emptyTextChanged)

public:
    enum { IsOwnerRole = Qt::UserRole + 1000 };

    explicit FilteredChannelsModel(QObject *parent = nullptr);

    ChannelsViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(ChannelsViewModel *viewModel);
    QVariant currentUserValue() const;
    void setCurrentUser(const QVariant &user);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    int segment() const { return m_segment; }
    void setSegment(int segment);
    int count() const { return rowCount(); }
    QString headerText() const;
    QString emptyText() const;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void viewModelChanged();
    void currentUserChanged();
    void searchTextChanged();
    void segmentChanged();
    void countChanged();
    void emptyTextChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void refilter();

    QPointer<ChannelsViewModel> m_viewModel;
    std::optional<User> m_currentUser;
    QString m_searchText;
    QString m_query;
    SearchKeys m_keys;
    int m_segment = 0;
};
