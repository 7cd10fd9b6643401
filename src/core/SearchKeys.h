#pragma once

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractItemModel;

// The folded texts a search compares, a fixed number per row of a list. They are made once, on
// the first search after the list changes, so that a keystroke only compares: folding every
// field of every row at each keystroke cost tens of milliseconds on long lists.
class SearchKeys
{
public:
    // The folded fields of one source row; every row gives `fieldsPerRow` of them.
    using Fields = std::function<QList<QString>(int row)>;

    SearchKeys(int fieldsPerRow, Fields fields);
    ~SearchKeys();
    SearchKeys(const SearchKeys &) = delete;
    SearchKeys &operator=(const SearchKeys &) = delete;

    // Forgets the keys whenever `source` is about to change. Call before a proxy takes the
    // source, so that the keys are dropped before the proxy filters the changed rows.
    void follow(QAbstractItemModel *source);
    // Whether one of the row's folded fields holds `foldedQuery`.
    bool contains(int row, const QString &foldedQuery) const;

private:
    void forget() { m_keys.clear(); }

    int m_fieldsPerRow;
    Fields m_fields;
    QPointer<QAbstractItemModel> m_source;
    QList<QMetaObject::Connection> m_connections;
    mutable QList<QString> m_keys;
};
