// The service under load on loopback, each figure bounded in time and in requests:
// - feed.php with 8 and 64 clients on 1,000- and 10,000-post databases, beside a bare cpp-httplib
//   server answering the same bytes from memory in the same run (requests per second, p50, p99,
//   and how many times slower the service is);
// - one reply made anew after a commit, on each database (what a reply costs, apart from reuse);
// - sign-ins per second;
// - a one-user reply on a kept-alive connection (what Nagle's algorithm would delay);
// - a feed read on a new connection while 64 connections send their request head slowly.
// VORLANE_BENCH_SERVER=/path/to/vorlane-server measures another build of the service.
#include "ServiceLoad.h"

#include <algorithm>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace ServiceLoad;

namespace {
constexpr std::chrono::seconds LoadDuration{3};
constexpr qint64 MaxRequests = 50000;

RunningService &service(int posts)
{
    static std::map<int, std::unique_ptr<RunningService>> services;
    auto &slot = services[posts];
    if (!slot)
        slot = std::make_unique<RunningService>(posts);
    return *slot;
}

// The least a server can do for the same reply: hand out bytes it holds.
class BareServer
{
public:
    explicit BareServer(const QByteArray &body)
        : m_body(body.toStdString())
    {
        m_server.Get("/api/feed.php", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(m_body, "application/json; charset=utf-8");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~BareServer()
    {
        m_server.stop();
        m_thread.join();
    }
    int port() const { return m_port; }

private:
    std::string m_body;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

void report(benchmark::State &state, const std::string &prefix, const LoadFigures &figures)
{
    state.counters[prefix + "req/s"] = figures.requestsPerSecond;
    state.counters[prefix + "p50_ms"] = figures.p50Ms;
    state.counters[prefix + "p99_ms"] = figures.p99Ms;
    state.counters[prefix + "failed"] = double(figures.failed);
}

void feedBesideBareServer(benchmark::State &state)
{
    const int posts = int(state.range(0));
    const int clients = int(state.range(1));
    const int port = service(posts).port();
    QByteArray body;
    if (port <= 0 || HttpConnection(port).exchange(get("/api/feed.php"), body) != 200) {
        state.SkipWithError("the service did not answer");
        return;
    }
    BareServer bare(body);
    const QByteArray request = get("/api/feed.php");
    auto read = [&request](HttpConnection &connection) {
        QByteArray reply;
        return connection.exchange(request, reply) == 200 && reply.startsWith('[');
    };
    for (auto _ : state) {
        const LoadFigures feed = drive(port, clients, LoadDuration, MaxRequests, read);
        const LoadFigures memory = drive(bare.port(), clients, LoadDuration, MaxRequests, read);
        report(state, "feed_", feed);
        report(state, "bare_", memory);
        state.counters["reply_kB"] = double(body.size()) / 1024;
        state.counters["x_slower_p50"] = memory.p50Ms > 0 ? feed.p50Ms / memory.p50Ms : 0;
        state.counters["x_fewer_req/s"] =
            feed.requestsPerSecond > 0 ? memory.requestsPerSecond / feed.requestsPerSecond : 0;
    }
}

// A read right after a commit, so that the reply is made anew, one client at a time: what one
// reply costs to make, whatever the service keeps between reads.
void feedMadeAnew(benchmark::State &state)
{
    const int posts = int(state.range(0));
    const int port = service(posts).port();
    static int registered = 0;
    HttpConnection connection(port);
    std::vector<double> latencies;
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i) {
            const QByteArray name = "bench" + QByteArray::number(++registered);
            QByteArray reply;
            connection.exchange(postJson("/api/auth.php", R"({"action":"register","username":")" + name +
                                                              R"(","email":")" + name +
                                                              R"(@example.org","password":"p"})"),
                                reply);
            const auto sent = std::chrono::steady_clock::now();
            if (connection.exchange(get("/api/feed.php"), reply) == 200)
                latencies.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
        }
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = latencies.empty() ? 0 : latencies[latencies.size() / 2];
    state.counters["min_ms"] = latencies.empty() ? 0 : latencies.front();
}

void signIns(benchmark::State &state)
{
    const int port = service(1000).port();
    const QByteArray request =
        postJson("/api/auth.php", R"({"action":"login","username":"demo","email":"demo","password":"demo12345"})");
    for (auto _ : state) {
        const LoadFigures figures =
            drive(port, int(state.range(0)), LoadDuration, MaxRequests, [&request](HttpConnection &connection) {
                QByteArray reply;
                return connection.exchange(request, reply) == 200 && reply.contains("\"success\":true");
            });
        state.counters["sign-ins/s"] = figures.requestsPerSecond;
        state.counters["p50_ms"] = figures.p50Ms;
        state.counters["p99_ms"] = figures.p99Ms;
        state.counters["failed"] = double(figures.failed);
    }
}

void keptAliveOneUser(benchmark::State &state)
{
    const int port = service(1000).port();
    const QByteArray request = get("/api/profile.php?user_id=1");
    for (auto _ : state) {
        const LoadFigures figures = drive(port, 1, LoadDuration, 300, [&request](HttpConnection &connection) {
            QByteArray reply;
            return connection.exchange(request, reply) == 200;
        });
        state.counters["p50_ms"] = figures.p50Ms;
        state.counters["p99_ms"] = figures.p99Ms;
    }
}

int openSlowly(int port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0) {
        const char line[] = "GET /api/music.php HTTP/1.1\r\n";
        ::send(socket, line, sizeof(line) - 1, MSG_NOSIGNAL);
    }
    return socket;
}

void feedBesideSlowClients(benchmark::State &state)
{
    const int port = service(1000).port();
    for (auto _ : state) {
        std::vector<int> slow;
        for (int i = 0; i < 64; ++i)
            slow.push_back(openSlowly(port));
        HttpConnection connection(port, 10000);
        QByteArray reply;
        const auto sent = std::chrono::steady_clock::now();
        const int status = connection.exchange(get("/api/feed.php"), reply);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
        for (int socket : slow)
            ::close(socket);
        state.counters["answered"] = status == 200 ? 1 : 0;
        state.counters["feed_ms"] = ms; // up to the 10 s the client waits
    }
}
}

BENCHMARK(feedBesideBareServer)
    ->ArgsProduct({{1000, 10000}, {8, 64}})
    ->ArgNames({"posts", "clients"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(feedMadeAnew)->Arg(1000)->Arg(10000)->ArgName("posts")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(signIns)->Arg(8)->Arg(32)->ArgName("clients")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(keptAliveOneUser)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(feedBesideSlowClients)->Iterations(1)->Unit(benchmark::kMillisecond);
