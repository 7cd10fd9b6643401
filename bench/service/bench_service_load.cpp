// The service under load on loopback, each figure bounded in time and in requests:
// - feed.php from the reply cache with 8 and 64 clients on 1,000- and 10,000-post databases,
//   beside a bare server sending the same bytes from memory, without copying them, with the
//   service's own socket settings and pool (requests per second, p50, p99, and the ratios);
// - the uncached path: every client writes (a comment) and then reads, beside the bare floor;
// - what one reply costs to make: a write before each read, one client, beside sending the same
//   bytes from memory;
// - sign-ins per second; a one-user reply on a kept-alive connection (what Nagle would delay);
// - reads while 300 connections send their head slowly, or their body slowly, reconnecting
//   whenever the service cuts them.
// A figure set beside its floor is the median of several samples taken in turn with the floor's,
// the order swapped each time, so that both see the same load on a shared machine; the ratios are
// medians of each sample's own ratio.
// VORLANE_BENCH_SERVER=/path/to/vorlane-server measures another build of the service.
#include "ServiceLoad.h"

#include "ServiceServer.h"
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
constexpr int Samples = 5;

RunningService &service(int posts)
{
    static std::map<int, std::unique_ptr<RunningService>> services;
    auto &slot = services[posts];
    if (!slot)
        slot = std::make_unique<RunningService>(posts);
    return *slot;
}

// The least a server can do for the same reply: send bytes it holds, straight from where they
// are, with the service's own connection loop (no Nagle, the same pool).
class BareServer
{
public:
    explicit BareServer(const QByteArray &body) : m_body(std::make_shared<const std::string>(body.toStdString()))
    {
        m_server.Get("/api/feed.php", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(m_body->size(), "application/json; charset=utf-8",
                                     [body = m_body](size_t offset, size_t length, httplib::DataSink &sink) {
                                         return sink.write(body->data() + offset, length);
                                     });
        });
        m_server.set_keep_alive_timeout(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_server.widenBacklog();
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
    std::shared_ptr<const std::string> m_body;
    ServiceServer m_server;
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

// `measure` and `floor` each take a sample, in turn, `Samples` times, the first to go swapped
// each time.
template <typename Measure, typename Floor> void interleave(Measure measure, Floor floor)
{
    for (int i = 0; i < Samples; ++i) {
        if (i % 2 == 0) {
            measure();
            floor();
        } else {
            floor();
            measure();
        }
    }
}

// The median of `numerator / denominator` over paired samples; a pair with a zero denominator is left out.
double medianRatio(const std::vector<double> &numerator, const std::vector<double> &denominator)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(numerator.size(), denominator.size()); ++i) {
        if (denominator[i] > 0)
            ratios.push_back(numerator[i] / denominator[i]);
    }
    return median(ratios);
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
        std::vector<LoadFigures> feed, memory;
        interleave([&] { feed.push_back(drive(port, clients, LoadDuration, MaxRequests, read)); },
                   [&] { memory.push_back(drive(bare.port(), clients, LoadDuration, MaxRequests, read)); });
        std::vector<double> feedP50, bareP50, feedRate, bareRate;
        for (int i = 0; i < Samples; ++i) {
            feedP50.push_back(feed[i].p50Ms);
            bareP50.push_back(memory[i].p50Ms);
            feedRate.push_back(feed[i].requestsPerSecond);
            bareRate.push_back(memory[i].requestsPerSecond);
        }
        report(state, "feed_", medianOf(feed));
        report(state, "bare_", medianOf(memory));
        state.counters["reply_kB"] = double(body.size()) / 1024;
        state.counters["samples"] = Samples;
        state.counters["x_slower_p50"] = medianRatio(feedP50, bareP50);
        state.counters["x_fewer_req/s"] = medianRatio(bareRate, feedRate);
    }
}

QByteArray comment(int postId)
{
    return postJson("/api/feed.php", R"({"action":"comment","post_id":)" + QByteArray::number(postId) +
                                         R"(,"user_id":1,"text":"Читаю ленту"})");
}

// The feed as it is now, the first post's id in it, and a bare server holding those bytes.
bool readFeed(int port, QByteArray &body, int &postId)
{
    if (port <= 0 || HttpConnection(port).exchange(get("/api/feed.php"), body) != 200)
        return false;
    const qsizetype at = body.indexOf("\"id\":", body.indexOf("\"created_at_formatted\""));
    postId = at < 0 ? 0 : body.mid(at + 5, 12).split(',').first().toInt();
    return postId > 0;
}

// Every client writes, then reads the feed: no read can be served from the reply cache.
void feedWriteThenRead(benchmark::State &state)
{
    const int posts = int(state.range(0));
    const int clients = int(state.range(1));
    const int port = service(posts).port();
    QByteArray body;
    int postId = 0;
    if (!readFeed(port, body, postId)) {
        state.SkipWithError("the service did not answer");
        return;
    }
    BareServer bare(body);
    const QByteArray write = comment(postId);
    const QByteArray read = get("/api/feed.php");
    // Only the read is timed; the write before it is what makes the read miss the cache.
    std::mutex mutex;
    std::vector<double> readMs;
    auto writeThenRead = [&](HttpConnection &connection) {
        QByteArray reply;
        if (connection.exchange(write, reply) != 200 || !reply.contains("\"success\":true"))
            return false;
        const auto sent = std::chrono::steady_clock::now();
        const bool ok = connection.exchange(read, reply) == 200 && reply.startsWith('[');
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
        std::lock_guard lock(mutex);
        readMs.push_back(ms);
        return ok;
    };
    auto bareRead = [&read](HttpConnection &connection) {
        QByteArray reply;
        return connection.exchange(read, reply) == 200 && reply.startsWith('[');
    };
    for (auto _ : state) {
        std::vector<LoadFigures> fed, memory;
        std::vector<double> readP50, readP99, bareP50, readRate, bareRate;
        interleave(
            [&] {
                readMs.clear();
                fed.push_back(drive(port, clients, LoadDuration, MaxRequests / 4, writeThenRead));
                std::sort(readMs.begin(), readMs.end());
                readP50.push_back(readMs.empty() ? 0 : readMs[readMs.size() / 2]);
                readP99.push_back(readMs.empty() ? 0 : readMs[std::min(readMs.size() - 1, readMs.size() * 99 / 100)]);
                readRate.push_back(fed.back().requestsPerSecond);
            },
            [&] {
                memory.push_back(drive(bare.port(), clients, LoadDuration, MaxRequests, bareRead));
                bareP50.push_back(memory.back().p50Ms);
                bareRate.push_back(memory.back().requestsPerSecond);
            });
        const LoadFigures reads = medianOf(fed);
        state.counters["reads/s"] = reads.requestsPerSecond;
        state.counters["read_p50_ms"] = median(readP50);
        state.counters["read_p99_ms"] = median(readP99);
        state.counters["failed"] = double(reads.failed);
        report(state, "bare_", medianOf(memory));
        state.counters["reply_kB"] = double(body.size()) / 1024;
        state.counters["samples"] = Samples;
        state.counters["x_fewer_reads/s"] = medianRatio(bareRate, readRate);
        state.counters["x_slower_p50"] = medianRatio(readP50, bareP50);
    }
}

// One client, a write before each read, so that each reply is made anew: what making one costs,
// beside one client reading the same bytes from a bare server.
void feedMadeAnew(benchmark::State &state)
{
    const int posts = int(state.range(0));
    const int port = service(posts).port();
    QByteArray body;
    int postId = 0;
    if (!readFeed(port, body, postId)) {
        state.SkipWithError("the service did not answer");
        return;
    }
    BareServer bare(body);
    const QByteArray write = comment(postId);
    const QByteArray read = get("/api/feed.php");
    HttpConnection connection(port);
    HttpConnection floor(bare.port());
    std::vector<double> made, sent;
    auto timed = [&read](HttpConnection &to, std::vector<double> &into) {
        QByteArray reply;
        const auto at = std::chrono::steady_clock::now();
        if (to.exchange(read, reply) == 200)
            into.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - at).count());
    };
    for (auto _ : state) {
        // Interleaved, so that both see the same load on a shared machine.
        for (int i = 0; i < 40; ++i) {
            QByteArray reply;
            connection.exchange(write, reply);
            timed(connection, made);
            timed(floor, sent);
        }
    }
    std::sort(made.begin(), made.end());
    std::sort(sent.begin(), sent.end());
    const double madeP50 = made.empty() ? 0 : made[made.size() / 2];
    const double sentP50 = sent.empty() ? 0 : sent[sent.size() / 2];
    state.counters["made_p50_ms"] = madeP50;
    state.counters["bare_p50_ms"] = sentP50;
    state.counters["x_bare"] = sentP50 > 0 ? madeP50 / sentP50 : 0;
    state.counters["reply_kB"] = double(body.size()) / 1024;
}

// `take` once per sample, and each figure's median.
template <typename Take> LoadFigures sampled(Take take)
{
    std::vector<LoadFigures> samples;
    for (int i = 0; i < Samples; ++i)
        samples.push_back(take());
    return medianOf(samples);
}

void signIns(benchmark::State &state)
{
    const int port = service(1000).port();
    const QByteArray request =
        postJson("/api/auth.php", R"({"action":"login","username":"demo","email":"demo","password":"demo12345"})");
    for (auto _ : state) {
        const LoadFigures figures = sampled([&] {
            return drive(port, int(state.range(0)), LoadDuration, MaxRequests, [&request](HttpConnection &connection) {
                QByteArray reply;
                return connection.exchange(request, reply) == 200 && reply.contains("\"success\":true");
            });
        });
        state.counters["sign-ins/s"] = figures.requestsPerSecond;
        state.counters["p50_ms"] = figures.p50Ms;
        state.counters["p99_ms"] = figures.p99Ms;
        state.counters["failed"] = double(figures.failed);
        state.counters["samples"] = Samples;
    }
}

void keptAliveOneUser(benchmark::State &state)
{
    const int port = service(1000).port();
    const QByteArray request = get("/api/profile.php?user_id=1");
    for (auto _ : state) {
        const LoadFigures figures = sampled([&] {
            return drive(port, 1, LoadDuration, 300, [&request](HttpConnection &connection) {
                QByteArray reply;
                return connection.exchange(request, reply) == 200;
            });
        });
        state.counters["p50_ms"] = figures.p50Ms;
        state.counters["p99_ms"] = figures.p99Ms;
        state.counters["samples"] = Samples;
    }
}

// A read of a one-user reply every 100 ms on a new connection for 12 s, while 300 slow clients hold
// on (they are cut and come back): how long a read waits, at worst.
void readsBesideSlowClients(benchmark::State &state)
{
    const int port = service(1000).port();
    const auto kind = SlowClients::Kind(state.range(0));
    for (auto _ : state) {
        SlowClients slow(port, kind, 300);
        std::this_thread::sleep_for(std::chrono::seconds(1)); // all of them connected
        std::vector<double> ms;
        int unanswered = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(12);
        while (std::chrono::steady_clock::now() < end) {
            HttpConnection connection(port, 10000);
            QByteArray reply;
            const auto sent = std::chrono::steady_clock::now();
            if (connection.exchange(get("/api/profile.php?user_id=1"), reply) == 200)
                ms.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
            else
                ++unanswered; // not within the 10 s the reader waits
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::sort(ms.begin(), ms.end());
        state.counters["reads"] = double(ms.size());
        state.counters["unanswered"] = unanswered;
        state.counters["p50_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
        state.counters["max_ms"] = ms.empty() ? 0 : ms.back();
        state.counters["slow_reconnects"] = double(slow.reconnects());
    }
}
} // namespace

BENCHMARK(feedBesideBareServer)
    ->ArgsProduct({{1000, 10000}, {8, 64}})
    ->ArgNames({"posts", "clients"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(feedWriteThenRead)
    ->ArgsProduct({{1000, 10000}, {8, 64}})
    ->ArgNames({"posts", "clients"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(feedMadeAnew)->Arg(1000)->Arg(10000)->ArgName("posts")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(signIns)->Arg(8)->Arg(32)->ArgName("clients")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(keptAliveOneUser)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readsBesideSlowClients)
    ->Arg(SlowClients::Heads)
    ->Arg(SlowClients::Bodies)
    ->ArgName("slow_bodies")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
