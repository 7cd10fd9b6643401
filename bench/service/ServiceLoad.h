#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// What the load benchmarks share: the service as a process on a database file filled to a given
// number of posts, and clients hammering an address on loopback.
namespace ServiceLoad {

// The service binary: VORLANE_BENCH_SERVER when set (to measure another build), else this tree's.
QString serverPath();

// A service on a database file in a folder of its own, with the demo data and `posts` posts in all.
class RunningService
{
public:
    explicit RunningService(int posts);
    ~RunningService();
    int port() const { return m_port; }

private:
    bool start();
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

struct LoadFigures
{
    double requestsPerSecond = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    qint64 completed = 0;
    qint64 failed = 0;
};

// The middle value (the mean of the two middle ones for an even count); 0 for none.
double median(std::vector<double> values);
// Each figure's median over the samples; the failures of all of them.
LoadFigures medianOf(const std::vector<LoadFigures> &samples);

// `clients` threads, each on kept-alive connections of its own, send `request` until `duration` is
// over or `maxRequests` have been sent in all; a reply counts when `accept` takes it.
LoadFigures drive(int port, int clients, std::chrono::milliseconds duration, qint64 maxRequests,
                  const std::function<bool(class HttpConnection &)> &request);

// A small HTTP/1.1 client over one socket, reconnecting when the server closes.
class HttpConnection
{
public:
    explicit HttpConnection(int port, int timeoutMs = 60000);
    ~HttpConnection();
    // Sends and reads the whole reply; the status, or 0 when the exchange failed.
    int exchange(const QByteArray &request, QByteArray &body);

private:
    bool ensureConnected();
    void close();
    int m_port;
    int m_timeoutMs;
    int m_socket = -1;
    QByteArray m_pending;
};

QByteArray get(const QByteArray &path);
QByteArray postJson(const QByteArray &path, const QByteArray &json);

// `count` connections that each send a request slowly, opened anew whenever the service cuts one,
// until destroyed: Heads send their head a line every second and never end it; Bodies send a whole
// head announcing a 1,000-byte body, then one byte of it every 10 s.
class SlowClients
{
public:
    enum Kind { Heads, Bodies };
    SlowClients(int port, Kind kind, int count);
    ~SlowClients();
    qint64 reconnects() const { return m_reconnects; }

private:
    void run();
    int open();
    int m_port;
    Kind m_kind;
    int m_count;
    std::atomic<bool> m_stop = false;
    std::atomic<qint64> m_reconnects = 0;
    std::thread m_thread;
};
} // namespace ServiceLoad
