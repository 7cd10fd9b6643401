#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVariant>

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

    void setRows(const QList<Record> &rows)
    {
        const qsizetype common = std::min(rows.size(), m_rows.size());
        if (rows.size() < m_rows.size()) {
            beginRemoveRows({}, int(rows.size()), int(m_rows.size() - 1));
            m_rows.resize(rows.size());
            endRemoveRows();
        }
        for (qsizetype row = 0; row < common; ++row) {
            if (!(m_rows.at(row) == rows.at(row))) {
                m_rows[row] = rows.at(row);
                Q_EMIT dataChanged(index(int(row)), index(int(row)));
            }
        }
        if (rows.size() > m_rows.size()) {
            beginInsertRows({}, int(m_rows.size()), int(rows.size() - 1));
            m_rows.append(rows.mid(m_rows.size()));
            endInsertRows();
        }
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
};
