#include "Database.h"

#include <QTemporaryDir>
#include <atomic>
#include <sqlite3.h>

namespace {
std::atomic<quint64> nextSerial = 1;

// The connections this thread holds, by the serial of their database.
thread_local std::vector<std::pair<quint64, Database::Connection *>> threadConnections;

void execOn(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string reason = message ? message : "unknown error";
        sqlite3_free(message);
        throw DatabaseError(reason);
    }
}

void close(Database::Connection &connection)
{
    for (auto &[sql, statement] : connection.statements)
        sqlite3_finalize(statement);
    connection.statements.clear();
    sqlite3_close_v2(connection.handle);
    connection.handle = nullptr;
}
}

Database::Database(const QString &path)
    : m_path(path)
    , m_serial(nextSerial++)
{
    if (path == QLatin1String(":memory:")) {
        m_privateDir = std::make_unique<QTemporaryDir>();
        if (!m_privateDir->isValid())
            throw DatabaseError("cannot create a folder for the in-memory database");
        m_path = m_privateDir->filePath(QStringLiteral("vorlane.db"));
    }
    sqlite3 *db = connection().handle;
    // Once for the file: readers and the writer no longer block each other. A commit is not
    // synced to disk at once (a power cut may lose the last ones, never the file); a private
    // file is not synced at all.
    execOn(db, "PRAGMA journal_mode = WAL");
    sqlite3_stmt *mode = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK &&
        sqlite3_step(mode) == SQLITE_ROW)
        m_tracksChanges = qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(mode, 0)), "wal") == 0;
    sqlite3_finalize(mode);
    if (m_privateDir)
        execOn(db, "PRAGMA synchronous = OFF");
}

Database::~Database()
{
    std::lock_guard lock(m_connectionsMutex);
    for (auto &connection : m_connections)
        close(*connection);
}

Database::Connection &Database::connection() const
{
    for (const auto &[serial, connection] : threadConnections) {
        if (serial == m_serial)
            return *connection;
    }
    Connection *connection = open();
    threadConnections.emplace_back(m_serial, connection);
    return *connection;
}

Database::Connection *Database::open() const
{
    const QByteArray name = m_path.toUtf8();
    auto connection = std::make_unique<Connection>();
    if (sqlite3_open_v2(name.constData(), &connection->handle,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string reason = connection->handle ? sqlite3_errmsg(connection->handle) : "out of memory";
        sqlite3_close(connection->handle);
        throw DatabaseError("cannot open database " + name.toStdString() + ": " + reason);
    }
    sqlite3 *db = connection->handle;
    sqlite3_busy_timeout(db, 5000);
    sqlite3_wal_hook(db, &Database::committed, const_cast<Database *>(this));
    try {
        execOn(db, "PRAGMA foreign_keys = ON");
        execOn(db, m_privateDir ? "PRAGMA synchronous = OFF" : "PRAGMA synchronous = NORMAL");
        // Pages come through the shared page cache of the system, not a private cache per
        // connection, of which there may be many.
        execOn(db, "PRAGMA mmap_size = 268435456");
        execOn(db, "PRAGMA cache_size = -1024");
    } catch (const DatabaseError &) {
        sqlite3_close(db);
        throw;
    }
    std::lock_guard lock(m_connectionsMutex);
    m_connections.push_back(std::move(connection));
    return m_connections.back().get();
}

int Database::committed(void *database, sqlite3 *db, const char *name, int pages)
{
    // Called once a commit has landed, so a read that starts after seeing the new count sees the commit.
    static_cast<Database *>(database)->m_generation.fetch_add(1, std::memory_order_release);
    // The hook replaces SQLite's own, which moves the log back into the file at this size.
    if (pages >= 1000)
        sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return SQLITE_OK;
}

void Database::exec(const char *sql)
{
    execOn(handle(), sql);
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(handle());
}

QString Database::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(handle()));
}

Transaction::Transaction(Database &db)
    : m_db(db)
{
    m_db.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec("ROLLBACK");
        } catch (const DatabaseError &) {
            // Nothing more can be done: SQLite already rolled back on its own.
        }
    }
}

void Transaction::commit()
{
    m_db.exec("COMMIT");
    m_done = true;
}

ReadTransaction::ReadTransaction(Database &db)
    : m_db(db)
{
    m_db.exec("BEGIN");
}

ReadTransaction::~ReadTransaction()
{
    try {
        m_db.exec("COMMIT");
    } catch (const DatabaseError &) {
        // A read leaves nothing to undo.
    }
}
