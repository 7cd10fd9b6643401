#include "ServiceLoad.h"

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ServiceLoad {
namespace {
constexpr int WaitMs = 120000;
constexpr int ExtraUsers = 200;

void exec(sqlite3 *db, const char *sql)
{
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// Members, follows, posts with attachments, likes, reposts and comments, drawn from a fixed seed
// so that every run reads the same feed.
bool fill(const QString &path, int posts)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    QRandomGenerator random(20261206);
    exec(db, "BEGIN");
    sqlite3_stmt *user = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO users (username, email, password_salt, password_hash, password_iterations, "
                       "first_name, last_name, avatar_url, status_text, is_online, last_seen_at, created_at) "
                       "VALUES (?1, ?1 || '@example.org', x'00', x'00', 1, 'Участник', ?2, '/media/demo/avatar-3.png', "
                       "'Пишу в ленту', ?3, strftime('%s', 'now') - 7200, strftime('%s', 'now') - 86400)",
                       -1, &user, nullptr);
    for (int i = 0; i < ExtraUsers; ++i) {
        const QByteArray name = "member" + QByteArray::number(i);
        sqlite3_bind_text(user, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(user, 2, ("Номер " + QByteArray::number(i)).constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(user, 3, i % 3 == 0);
        sqlite3_step(user);
        sqlite3_reset(user);
    }
    sqlite3_finalize(user);
    const int users = ExtraUsers + 6;
    exec(db, "INSERT OR IGNORE INTO follows (follower_id, followee_id) "
             "SELECT a.id, b.id FROM users a, users b WHERE a.id != b.id AND (a.id * 7 + b.id * 13) % 20 = 0");

    sqlite3_stmt *count = nullptr;
    sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM posts", -1, &count, nullptr);
    sqlite3_step(count);
    const int existing = sqlite3_column_int(count, 0);
    sqlite3_finalize(count);

    sqlite3_stmt *post = nullptr, *attachment = nullptr, *like = nullptr, *repost = nullptr, *comment = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO posts (author_id, channel_id, text, views_count, created_at) "
                       "VALUES (?1, ?2, ?3, ?4, strftime('%s', 'now') - ?5)",
                       -1, &post, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO post_attachments (post_id, kind, url, title, subtitle, thumbnail_url) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                       -1, &attachment, nullptr);
    sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO post_likes (post_id, user_id) VALUES (?1, ?2)", -1, &like, nullptr);
    sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO reposts (post_id, user_id) VALUES (?1, ?2)", -1, &repost, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO comments (post_id, author_id, text, created_at) "
                       "VALUES (?1, ?2, 'Отличный пост!', strftime('%s', 'now') - 60)",
                       -1, &comment, nullptr);
    auto run = [](sqlite3_stmt *statement) {
        sqlite3_step(statement);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    };
    for (int i = existing; i < posts; ++i) {
        sqlite3_bind_int(post, 1, 1 + int(random.bounded(users)));
        if (i % 10 == 0)
            sqlite3_bind_int(post, 2, 1);
        const QByteArray text = "Запись номер " + QByteArray::number(i) + ": город, музыка и немного новостей.";
        sqlite3_bind_text(post, 3, text.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(post, 4, int(random.bounded(10000)));
        sqlite3_bind_int(post, 5, 600 + i * 37);
        run(post);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        if (i % 3 == 0) {
            sqlite3_bind_int64(attachment, 1, id);
            sqlite3_bind_text(attachment, 2, "image", -1, SQLITE_STATIC);
            sqlite3_bind_text(attachment, 3, "/media/demo/photo-2.png", -1, SQLITE_STATIC);
            run(attachment);
        }
        if (i % 7 == 0) {
            sqlite3_bind_int64(attachment, 1, id);
            sqlite3_bind_text(attachment, 2, "audio", -1, SQLITE_STATIC);
            sqlite3_bind_text(attachment, 3, "/media/demo/tune-1.wav", -1, SQLITE_STATIC);
            sqlite3_bind_text(attachment, 4, "Мелодия", -1, SQLITE_STATIC);
            sqlite3_bind_text(attachment, 5, "Исполнитель", -1, SQLITE_STATIC);
            sqlite3_bind_text(attachment, 6, "/media/demo/sleeve-1.png", -1, SQLITE_STATIC);
            run(attachment);
        }
        for (int n = int(random.bounded(6)); n > 0; --n) {
            sqlite3_bind_int64(like, 1, id);
            sqlite3_bind_int(like, 2, 1 + int(random.bounded(users)));
            run(like);
        }
        if (i % 4 == 0) {
            sqlite3_bind_int64(repost, 1, id);
            sqlite3_bind_int(repost, 2, 1 + int(random.bounded(users)));
            run(repost);
        }
        for (int n = int(random.bounded(3)); n > 0; --n) {
            sqlite3_bind_int64(comment, 1, id);
            sqlite3_bind_int(comment, 2, 1 + int(random.bounded(users)));
            run(comment);
        }
    }
    for (sqlite3_stmt *statement : {post, attachment, like, repost, comment})
        sqlite3_finalize(statement);
    exec(db, "COMMIT");
    return sqlite3_close(db) == SQLITE_OK;
}

double percentile(std::vector<double> &sorted, double p)
{
    if (sorted.empty())
        return 0;
    const size_t index = std::min(sorted.size() - 1, size_t(p * double(sorted.size())));
    return sorted[index];
}
} // namespace

QString serverPath()
{
    const QByteArray chosen = qgetenv("VORLANE_BENCH_SERVER");
    return chosen.isEmpty() ? QStringLiteral(VORLANE_SERVER_PATH) : QString::fromLocal8Bit(chosen);
}

RunningService::RunningService(int posts)
{
    // Once to create the schema and the demo data, then filled, then for good.
    if (!start())
        return;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    m_process.waitForFinished(WaitMs);
    m_port = 0;
    if (fill(m_dir.filePath("vorlane.db"), posts))
        start();
}

RunningService::~RunningService()
{
    if (m_process.state() != QProcess::NotRunning) {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        m_process.waitForFinished(WaitMs);
    }
}

bool RunningService::start()
{
    m_process.setProgram(serverPath());
    m_process.setArguments({"--port", "0", "--db", m_dir.filePath("vorlane.db"), "--media", m_dir.filePath("media")});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start();
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(WaitMs))
            return false;
    }
    const QByteArray line = m_process.readLine().trimmed();
    m_port = line.startsWith("PORT ") ? line.mid(5).toInt() : 0;
    return m_port > 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

LoadFigures medianOf(const std::vector<LoadFigures> &samples)
{
    const auto of = [&samples](auto field) {
        std::vector<double> values;
        for (const LoadFigures &sample : samples)
            values.push_back(double(sample.*field));
        return median(values);
    };
    LoadFigures figures;
    figures.requestsPerSecond = of(&LoadFigures::requestsPerSecond);
    figures.p50Ms = of(&LoadFigures::p50Ms);
    figures.p99Ms = of(&LoadFigures::p99Ms);
    figures.completed = qint64(of(&LoadFigures::completed));
    for (const LoadFigures &sample : samples)
        figures.failed += sample.failed;
    return figures;
}

LoadFigures drive(int port, int clients, std::chrono::milliseconds duration, qint64 maxRequests,
                  const std::function<bool(HttpConnection &)> &request)
{
    using Clock = std::chrono::steady_clock;
    std::atomic<qint64> started = 0;
    std::atomic<qint64> failed = 0;
    std::mutex mutex;
    std::vector<double> latencies;
    const auto begin = Clock::now();
    const auto end = begin + duration;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            HttpConnection connection(port);
            std::vector<double> mine;
            while (Clock::now() < end && started++ < maxRequests) {
                const auto sent = Clock::now();
                const bool ok = request(connection);
                const auto answered = Clock::now();
                if (ok)
                    mine.push_back(std::chrono::duration<double, std::milli>(answered - sent).count());
                else
                    ++failed;
            }
            std::lock_guard lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::sort(latencies.begin(), latencies.end());
    LoadFigures figures;
    figures.completed = qint64(latencies.size());
    figures.failed = failed;
    figures.requestsPerSecond = double(latencies.size()) / seconds;
    figures.p50Ms = percentile(latencies, 0.50);
    figures.p99Ms = percentile(latencies, 0.99);
    return figures;
}

HttpConnection::HttpConnection(int port, int timeoutMs) : m_port(port), m_timeoutMs(timeoutMs) {}

HttpConnection::~HttpConnection()
{
    close();
}

void HttpConnection::close()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    m_pending.clear();
}

bool HttpConnection::ensureConnected()
{
    if (m_socket >= 0)
        return true;
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval timeout{m_timeoutMs / 1000, (m_timeoutMs % 1000) * 1000};
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        close();
        return false;
    }
    return true;
}

int HttpConnection::exchange(const QByteArray &request, QByteArray &body)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = m_socket >= 0;
        if (!ensureConnected())
            return 0;
        qsizetype offset = 0;
        while (offset < request.size()) {
            const ssize_t sent =
                ::send(m_socket, request.constData() + offset, size_t(request.size() - offset), MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            offset += sent;
        }
        char buffer[65536];
        qsizetype headEnd = -1;
        while (offset == request.size() && (headEnd = m_pending.indexOf("\r\n\r\n")) < 0) {
            const ssize_t n = ::recv(m_socket, buffer, sizeof(buffer), 0);
            if (n <= 0)
                break;
            m_pending.append(buffer, n);
        }
        if (headEnd < 0) {
            close();
            if (reused)
                continue; // the server closed the kept-alive connection meanwhile
            return 0;
        }
        const QByteArray head = m_pending.left(headEnd).toLower();
        const int status = head.mid(9, 3).toInt();
        const qsizetype lengthAt = head.indexOf("content-length:");
        const qsizetype length =
            lengthAt < 0
                ? 0
                : head.mid(lengthAt + 15, head.indexOf("\r\n", lengthAt) - lengthAt - 15).trimmed().toLongLong();
        const bool closing = head.contains("connection: close");
        m_pending.remove(0, headEnd + 4);
        while (m_pending.size() < length) {
            const ssize_t n = ::recv(m_socket, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                close();
                return 0;
            }
            m_pending.append(buffer, n);
        }
        body = m_pending.left(length);
        m_pending.remove(0, length);
        if (closing)
            close();
        return status;
    }
    return 0;
}

QByteArray get(const QByteArray &path)
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n\r\n";
}

QByteArray postJson(const QByteArray &path, const QByteArray &json)
{
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\nContent-Length: " +
           QByteArray::number(json.size()) + "\r\n\r\n" + json;
}

SlowClients::SlowClients(int port, Kind kind, int count) : m_port(port), m_kind(kind), m_count(count)
{
    m_thread = std::thread([this] { run(); });
}

SlowClients::~SlowClients()
{
    m_stop = true;
    m_thread.join();
}

int SlowClients::open()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof(address));
    return socket;
}

void SlowClients::run()
{
    using Clock = std::chrono::steady_clock;
    struct Slow
    {
        int socket;
        int step;
        Clock::time_point next;
    };
    std::vector<Slow> slow;
    for (int i = 0; i < m_count; ++i)
        slow.push_back({open(), 0, Clock::now()});
    while (!m_stop) {
        const auto now = Clock::now();
        for (Slow &client : slow) {
            char ignored[4096];
            // A closed connection reads as 0: the service cut it, so it is opened again.
            if (::recv(client.socket, ignored, sizeof(ignored), MSG_DONTWAIT) == 0) {
                ::close(client.socket);
                client = {open(), 0, now};
                ++m_reconnects;
                continue;
            }
            if (now < client.next)
                continue;
            QByteArray piece;
            if (m_kind == Heads)
                piece = client.step == 0 ? QByteArray("GET /api/music.php HTTP/1.1\r\n")
                                         : "X-Slow-" + QByteArray::number(client.step) + ": 1\r\n";
            else
                piece = client.step == 0 ? QByteArray("POST /api/feed.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                      "Content-Type: application/json\r\nContent-Length: 1000\r\n\r\n{")
                                         : QByteArray(" ");
            if (::send(client.socket, piece.constData(), size_t(piece.size()), MSG_NOSIGNAL | MSG_DONTWAIT) > 0)
                ++client.step;
            client.next = now + std::chrono::seconds(m_kind == Heads ? 1 : 10);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const Slow &client : slow)
        ::close(client.socket);
}
} // namespace ServiceLoad
