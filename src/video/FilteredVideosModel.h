#pragma once

#include "SearchKeys.h"

#include <QPointer>
#include <QSortFilterProxyModel>
#include <QString>
#include <QtQml/qqmlregistration.h>

class VideoViewModel;
Q_MOC_INCLUDE("VideoViewModel.h")

// The catalogue's cards: the model's videos that the search text keeps, in the model's order,
// and the text that stands in their place when none is kept. Follows every change of the list
// row by row, so that a new video appears as one inserted card.
class FilteredVideosModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(VideoViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // Empty while cards are shown.
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY countChanged)

public:
    explicit FilteredVideosModel(QObject *parent = nullptr);

    VideoViewModel *viewModel() const;
    void setViewModel(VideoViewModel *viewModel);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &searchText);
    int count() const { return rowCount(); }
    QString emptyText() const;

Q_SIGNALS:
    void viewModelChanged();
    void searchTextChanged();
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void announceCount();

    QPointer<VideoViewModel> m_viewModel;
    QString m_searchText;
    QString m_query;
    SearchKeys m_keys;
    int m_lastCount = -1;
};
