#pragma once

#include <QString>
#include <mutex>
#include <stdexcept>

struct sqlite3;

class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One SQLite connection shared by the request threads. Every use holds `mutex()`, so the
// connection and its statements are never touched by two threads at once.
class Database
{
public:
    explicit Database(const QString &path);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *handle() const { return m_db; }
    std::mutex &mutex() { return m_mutex; }

    // For fixed statements without parameters only (schema, transactions).
    void exec(const char *sql);
    qint64 lastInsertId() const;
    QString lastError() const;

private:
    sqlite3 *m_db = nullptr;
    std::mutex m_mutex;
};

// Commits at `commit()`, rolls back when left without it (an exception on the way).
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};
