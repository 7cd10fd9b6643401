#pragma once

#include "SearchKeys.h"

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

// The track list as the search leaves it, in the source's order. It follows the source row by
// row (an upload or a like does not rebuild it) and filters afresh at every change of the text.
class TrackSearchModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY searchTextChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit TrackSearchModel(QObject *parent = nullptr);

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    QString emptyText() const;
    int count() const { return rowCount(); }
    void setSourceModel(QAbstractItemModel *source) override;

Q_SIGNALS:
    void searchTextChanged();
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_searchText;
    QString m_query;
    int m_titleRole = -1;
    int m_artistRole = -1;
    SearchKeys m_keys;
};
