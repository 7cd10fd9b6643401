#pragma once

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractItemModel;

// The folded texts a search compares, for each row of a list. They are made once, on the first
// search after the list changes, so that a keystroke only compares: folding every field of every
// row at each keystroke cost tens of milliseconds on long lists. Each field is kept followed by a
// character nobody types, the rows end to end in one block, and a new query is looked for in the
// whole block in one pass, so that the proxy's question for each row is a lookup.
class SearchKeys
{
public:
    // The folded fields of one source row.
    using Fields = std::function<QList<QString>(int row)>;

    explicit SearchKeys(Fields fields);
    ~SearchKeys();
    SearchKeys(const SearchKeys &) = delete;
    SearchKeys &operator=(const SearchKeys &) = delete;

    // Forgets the keys whenever `source` is about to change. Call before a proxy takes the
    // source, so that the keys are dropped before the proxy filters the changed rows.
    void follow(QAbstractItemModel *source);
    // Whether one of the row's folded fields holds `foldedQuery`.
    bool contains(int row, const QString &foldedQuery) const;

private:
    void forget();
    void build() const;
    void match(const QString &query) const;

    static constexpr QChar Separator{0};

    Fields m_fields;
    QPointer<QAbstractItemModel> m_source;
    QList<QMetaObject::Connection> m_connections;
    // Every row's text, one after the other, and where each begins (with the end after the last).
    mutable QString m_text;
    mutable QList<qsizetype> m_starts;
    // Which rows hold the last query asked about: a keystroke's whole filter is one pass.
    mutable QString m_matchedQuery;
    mutable QList<bool> m_matches;
};
