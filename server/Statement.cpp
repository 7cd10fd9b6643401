#include "Statement.h"

#include <sqlite3.h>

Statement::Statement(Database &db, const char *sql)
    : m_db(db)
    , m_connection(db.connection())
    , m_sql(sql)
{
    // Taken out while in use: the same text used twice at once gets a second statement.
    const auto kept = m_connection.statements.find(m_sql);
    if (kept != m_connection.statements.end()) {
        m_stmt = kept->second;
        m_connection.statements.erase(kept);
        return;
    }
    if (sqlite3_prepare_v3(m_connection.handle, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        throw DatabaseError("cannot prepare statement: " + db.lastError().toStdString());
    }
}

Statement::~Statement()
{
    // Reset ends the statement's read of the data, so that it holds no old view of it.
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (!m_stmt || !m_connection.statements.emplace(std::move(m_sql), m_stmt).second)
        sqlite3_finalize(m_stmt);
}

Statement &Statement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        throw DatabaseError("cannot bind parameter: " + m_db.lastError().toStdString());
    return *this;
}

Statement &Statement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw DatabaseError("cannot bind parameter: " + m_db.lastError().toStdString());
    return *this;
}

Statement &Statement::bind(int index, const std::optional<QString> &value)
{
    if (value)
        return bind(index, *value);
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        throw DatabaseError("cannot bind parameter: " + m_db.lastError().toStdString());
    return *this;
}

Statement &Statement::bindBlob(int index, const QByteArray &value)
{
    if (sqlite3_bind_blob(m_stmt, index, value.constData(), int(value.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw DatabaseError("cannot bind parameter: " + m_db.lastError().toStdString());
    return *this;
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const std::string reason = m_db.lastError().toStdString();
    if ((rc & 0xff) == SQLITE_CONSTRAINT)
        throw ConstraintError(reason);
    throw DatabaseError(reason);
}

void Statement::run()
{
    while (next()) {
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
}

QByteArrayView Statement::utf8(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_stmt, column));
}

std::optional<QString> Statement::optionalText(int column) const
{
    if (isNull(column))
        return std::nullopt;
    return text(column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QByteArray Statement::blob(int column) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}
