#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class QTemporaryDir;

class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The service's data: one SQLite file in WAL mode, with a connection of its own for every thread
// that uses it, so that reads run side by side and never wait for a write. `handle()`, `exec()`
// and every Statement use the calling thread's connection. Writes hold `mutex()`, so that writers
// take turns instead of meeting SQLite's busy lock. ":memory:" keeps the data in a file of its own
// that is removed when the service ends (one in-memory database cannot be shared by connections).
class Database
{
public:
    explicit Database(const QString &path);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *handle() const { return connection().handle; }
    std::mutex &mutex() { return m_mutex; }

    // Counts the transactions committed through this service's connections; read before a read
    // starts, it tells whether anything the read saw may have changed since. Only meaningful
    // when `tracksChanges()`: the file is in WAL mode, where commits are seen as they land.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }
    bool tracksChanges() const { return m_tracksChanges; }
    // Tells this database from any other opened in the process, also one at the same address.
    quint64 serial() const { return m_serial; }

    // For fixed statements without parameters only (schema, transactions).
    void exec(const char *sql);
    qint64 lastInsertId() const;
    QString lastError() const;

    // The calling thread's connection, and the statements it keeps prepared, by their text.
    struct Connection
    {
        sqlite3 *handle = nullptr;
        std::unordered_map<std::string, sqlite3_stmt *> statements;
    };
    Connection &connection() const;

private:
    Connection *open() const;
    static int committed(void *database, sqlite3 *db, const char *name, int pages);

    QString m_path;
    std::unique_ptr<QTemporaryDir> m_privateDir;
    const quint64 m_serial; // tells this database from an earlier one at the same address
    std::atomic<quint64> m_generation = 0;
    bool m_tracksChanges = false;
    std::mutex m_mutex;
    mutable std::mutex m_connectionsMutex;
    mutable std::vector<std::unique_ptr<Connection>> m_connections;
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

// One consistent view of the data for a read made of several statements.
class ReadTransaction
{
public:
    explicit ReadTransaction(Database &db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    Database &m_db;
};
