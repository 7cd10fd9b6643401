#include "SearchKeys.h"

#include <QAbstractItemModel>

#include <algorithm>

SearchKeys::SearchKeys(Fields fields) : m_fields(std::move(fields)) {}

SearchKeys::~SearchKeys()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
}

void SearchKeys::follow(QAbstractItemModel *source)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    forget();
    m_source = source;
    if (!source)
        return;
    const auto drop = [this] { forget(); };
    m_connections = {
        QObject::connect(source, &QAbstractItemModel::rowsAboutToBeInserted, drop),
        QObject::connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, drop),
        QObject::connect(source, &QAbstractItemModel::rowsAboutToBeMoved, drop),
        QObject::connect(source, &QAbstractItemModel::modelAboutToBeReset, drop),
        QObject::connect(source, &QAbstractItemModel::layoutAboutToBeChanged, drop),
        QObject::connect(source, &QAbstractItemModel::dataChanged, drop),
    };
}

void SearchKeys::forget()
{
    m_matchedQuery.clear();
    m_matches.clear();
    m_text.clear();
    m_text.squeeze();
    m_starts.clear();
    m_starts.squeeze();
}

void SearchKeys::build() const
{
    const int rows = m_source->rowCount();
    m_starts.reserve(rows + 1);
    for (int row = 0; row < rows; ++row) {
        m_starts.append(m_text.size());
        const QList<QString> fields = m_fields(row);
        for (const QString &field : fields) {
            m_text.append(field);
            m_text.append(Separator);
        }
    }
    m_starts.append(m_text.size());
}

void SearchKeys::match(const QString &query) const
{
    m_matchedQuery = query;
    const qsizetype rows = m_starts.size() - 1;
    m_matches.fill(false, rows);
    const QStringView text(m_text);
    // A query that holds the separator itself (nobody types one) is looked for in each field
    // apart, so that it never spans two.
    if (query.contains(Separator)) {
        for (qsizetype row = 0; row < rows; ++row) {
            const auto fields = text.sliced(m_starts.at(row), m_starts.at(row + 1) - m_starts.at(row)).split(Separator);
            m_matches[row] = std::any_of(fields.cbegin(), fields.cend(),
                                         [&](QStringView field) { return field.contains(query); });
        }
        return;
    }
    // Otherwise one pass over every row at once: a vectorised scan for the query's first
    // character, a comparison at each hit, and on a match a jump to the next row. A match never
    // spans two fields or rows, as each ends with the separator.
    const QChar first = query.front();
    const qsizetype last = text.size() - query.size();
    qsizetype row = 0;
    for (qsizetype from = 0; from <= last;) {
        const qsizetype at = text.indexOf(first, from);
        if (at < 0 || at > last)
            break;
        // The second character first: most hits of the first end there, without a call.
        if ((query.size() > 1 && text[at + 1] != query[1]) || text.sliced(at, query.size()) != query) {
            from = at + 1;
            continue;
        }
        while (m_starts.at(row + 1) <= at)
            ++row;
        m_matches[row] = true;
        from = m_starts.at(row + 1);
    }
}

bool SearchKeys::contains(int row, const QString &foldedQuery) const
{
    if (!m_source || row < 0 || foldedQuery.isEmpty())
        return false;
    if (m_starts.isEmpty())
        build();
    if (!m_matchedQuery.isSharedWith(foldedQuery) && m_matchedQuery != foldedQuery)
        match(foldedQuery);
    return row < m_matches.size() && m_matches.at(row);
}
