#include "SearchKeys.h"

#include <QAbstractItemModel>

SearchKeys::SearchKeys(int fieldsPerRow, Fields fields) : m_fieldsPerRow(fieldsPerRow), m_fields(std::move(fields)) {}

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

bool SearchKeys::contains(int row, const QString &foldedQuery) const
{
    if (!m_source || row < 0)
        return false;
    if (m_keys.isEmpty()) {
        const int rows = m_source->rowCount();
        m_keys.reserve(qsizetype(rows) * m_fieldsPerRow);
        for (int each = 0; each < rows; ++each) {
            QList<QString> fields = m_fields(each);
            fields.resize(m_fieldsPerRow);
            m_keys.append(std::move(fields));
        }
    }
    const qsizetype first = qsizetype(row) * m_fieldsPerRow;
    if (first + m_fieldsPerRow > m_keys.size())
        return false;
    for (qsizetype field = first; field < first + m_fieldsPerRow; ++field) {
        if (m_keys.at(field).contains(foldedQuery))
            return true;
    }
    return false;
}
