#pragma once

#include "Database.h"

#include <QByteArrayView>
#include <QString>
#include <optional>
#include <string>

struct sqlite3_stmt;

// A prepared statement: every value from outside reaches SQL through bind(), never through the
// statement text. Parameters are numbered from 1, result columns from 0. Statements are prepared
// once per connection and kept: a Statement takes its text's prepared form from the calling
// thread's connection and hands it back, reset, when it goes.
class Statement
{
public:
    Statement(Database &db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, qint64(value)); }
    Statement &bind(int index, bool value) { return bind(index, qint64(value ? 1 : 0)); }
    Statement &bind(int index, const QString &value);
    Statement &bind(int index, const std::optional<QString> &value);
    Statement &bind(int index, const char *value) { return bind(index, QString::fromUtf8(value)); }
    Statement &bindBlob(int index, const QByteArray &value);

    // Moves to the next row; false once the statement is done.
    bool next();
    // Runs a statement that returns no rows. Throws ConstraintError on a UNIQUE or CHECK violation.
    void run();

    qint64 integer(int column) const;
    bool flag(int column) const { return integer(column) != 0; }
    QString text(int column) const;
    // The column's text as SQLite holds it, valid until the next call on this statement.
    QByteArrayView utf8(int column) const;
    std::optional<QString> optionalText(int column) const;
    QByteArray blob(int column) const;
    bool isNull(int column) const;

private:
    Database &m_db;
    Database::Connection &m_connection;
    std::string m_sql;
    sqlite3_stmt *m_stmt = nullptr;
};

class ConstraintError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};
