#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

// An optional text as QML sees it: the text, or null when absent.
inline QVariant optionalText(const std::optional<QString> &text)
{
    return text ? QVariant(*text) : QVariant::fromValue(nullptr);
}

// A list of records shown by a QML list view, one role a field. Replacing the list updates
// the rows in place and inserts or removes only the difference, so a view keeps its scroll
// position when a reload brings the same rows back.
template <class Record> class RecordListModel : public QAbstractListModel
{
public:
    using Field = std::function<QVariant(const Record &)>;

    RecordListModel(QList<std::pair<QByteArray, Field>> roles, QObject *parent = nullptr)
        : QAbstractListModel(parent), m_roles(std::move(roles))
    {
    }

    const QList<Record> &rows() const { return m_rows; }
    // What the rows were last set from (see setRows), or empty once they changed in any other way.
    const QByteArray &sourceDigest() const { return m_sourceDigest; }

    // Replaces the list. A list handed over whole (moved in) gives up its records rather than
    // having them copied, so that a large list never stands twice in memory. `sourceDigest`
    // names what the rows came from, for a caller that can then skip bringing the same again.
    void setRows(QList<Record> rows, QByteArray sourceDigest = {})
    {
        const bool own = rows.isDetached();
        const auto take = [&](qsizetype row) -> Record {
            if (own)
                return std::move(rows[row]);
            return rows.at(row);
        };
        if (m_rows.isEmpty() && !rows.isEmpty()) {
            beginInsertRows({}, 0, int(rows.size() - 1));
            m_rows = std::move(rows);
            endInsertRows();
            m_sourceDigest = std::move(sourceDigest);
            return;
        }
        const qsizetype common = std::min(rows.size(), m_rows.size());
        if (rows.size() < m_rows.size()) {
            beginRemoveRows({}, int(rows.size()), int(m_rows.size() - 1));
            m_rows.resize(rows.size());
            endRemoveRows();
        }
        for (qsizetype row = 0; row < common; ++row) {
            if (!(m_rows.at(row) == rows.at(row))) {
                m_rows[row] = take(row);
                Q_EMIT dataChanged(index(int(row)), index(int(row)));
            }
        }
        if (rows.size() > m_rows.size()) {
            beginInsertRows({}, int(m_rows.size()), int(rows.size() - 1));
            m_rows.reserve(rows.size());
            for (qsizetype row = m_rows.size(); row < rows.size(); ++row)
                m_rows.append(take(row));
            endInsertRows();
        }
        m_sourceDigest = std::move(sourceDigest);
    }

    // Puts `record` at `row` (clamped to the list), moving the rows below it down by one.
    void insertRow(qsizetype row, const Record &record)
    {
        row = std::clamp<qsizetype>(row, 0, m_rows.size());
        m_sourceDigest.clear();
        beginInsertRows({}, int(row), int(row));
        m_rows.insert(row, record);
        endInsertRows();
    }

    // Replaces the record at `row`; a row outside the list is left alone.
    bool replaceRow(qsizetype row, const Record &record)
    {
        if (row < 0 || row >= m_rows.size())
            return false;
        if (!(m_rows.at(row) == record)) {
            m_sourceDigest.clear();
            m_rows[row] = record;
            Q_EMIT dataChanged(index(int(row)), index(int(row)));
        }
        return true;
    }

    bool removeRowAt(qsizetype row)
    {
        if (row < 0 || row >= m_rows.size())
            return false;
        m_sourceDigest.clear();
        beginRemoveRows({}, int(row), int(row));
        m_rows.removeAt(row);
        endRemoveRows();
        return true;
    }

    // The first row whose record satisfies `matches`, or -1.
    template <class Predicate> qsizetype indexWhere(Predicate matches) const
    {
        for (qsizetype row = 0; row < m_rows.size(); ++row) {
            if (matches(m_rows.at(row)))
                return row;
        }
        return -1;
    }

    // Changes the first record that satisfies `matches` through `change`; returns whether one
    // was found. Only that row is announced.
    template <class Predicate, class Change> bool updateFirst(Predicate matches, Change change)
    {
        const qsizetype row = indexWhere(matches);
        if (row < 0)
            return false;
        Record record = m_rows.at(row);
        change(record);
        return replaceRow(row, record);
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
            return {};
        const qsizetype field = role - Qt::UserRole;
        if (field < 0 || field >= m_roles.size())
            return {};
        return m_roles.at(field).second(m_rows.at(index.row()));
    }

    QHash<int, QByteArray> roleNames() const override
    {
        QHash<int, QByteArray> names;
        for (qsizetype i = 0; i < m_roles.size(); ++i)
            names.insert(Qt::UserRole + int(i), m_roles.at(i).first);
        return names;
    }

private:
    QList<std::pair<QByteArray, Field>> m_roles;
    QList<Record> m_rows;
    QByteArray m_sourceDigest;
};
