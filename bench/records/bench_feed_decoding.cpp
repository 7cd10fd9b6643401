// The service's own feed reply (feed.php on a database of 1,000 or 10,000 posts by 206 members,
// with pictures, sounds, likes and comments) decoded through the client's reply path, against
// QJsonDocument::fromJson alone on the same bytes. The reply path should take at most half as
// long as Qt's parser, for any size, also for the first reply on a thread, which pays for the
// parser's buffers. Report ratios of medians from one run (--benchmark_repetitions).
#include "Post.h"
#include "ReplyDecoder.h"
#include "ServiceLoad.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>
#include <map>
#include <thread>

namespace {

const QByteArray &feedReply(int posts)
{
    static std::map<int, QByteArray> replies;
    QByteArray &reply = replies[posts];
    if (reply.isEmpty()) {
        ServiceLoad::RunningService service(posts);
        if (service.port() <= 0 ||
            ServiceLoad::HttpConnection(service.port()).exchange(ServiceLoad::get("/api/feed.php"), reply) != 200)
            reply.clear();
    }
    return reply;
}

template <class Run> void measure(benchmark::State &state, Run run)
{
    const QByteArray &bytes = feedReply(int(state.range(0)));
    if (bytes.isEmpty()) {
        state.SkipWithError("the service gave no feed");
        return;
    }
    for (auto _ : state)
        run(bytes);
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["bytes"] = double(bytes.size());
}

void qtParse(const QByteArray &bytes)
{
    QJsonDocument document = QJsonDocument::fromJson(bytes);
    benchmark::DoNotOptimize(document);
}

void replyPath(const QByteArray &bytes)
{
    QList<Post> posts = ReplyDecoder::decode<QList<Post>>(bytes);
    benchmark::DoNotOptimize(posts);
}

void QJsonDocumentFromJson(benchmark::State &state)
{
    measure(state, qtParse);
}

void DecodeFeedReply(benchmark::State &state)
{
    measure(state, replyPath);
    // What the decoded posts hold on the heap, each: the model keeps the list as it comes.
    const QByteArray &bytes = feedReply(int(state.range(0)));
    const auto heap = [] {
        const struct mallinfo2 info = mallinfo2();
        return double(info.uordblks + info.hblkhd);
    };
    const double before = heap();
    const QList<Post> posts = ReplyDecoder::decode<QList<Post>>(bytes);
    state.counters["heap_per_post"] = (heap() - before) / double(posts.size());
}

double residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return 0;
}

// Each iteration on a thread of its own, timed inside it: nothing is left from an earlier reply.
// What stays resident once the reply and its result are gone (the thread's parser buffers, and
// what the allocator keeps) is reported as kept_kib.
template <void (*Run)(const QByteArray &)> void OnAFreshThread(benchmark::State &state)
{
    const QByteArray &bytes = feedReply(int(state.range(0)));
    if (bytes.isEmpty()) {
        state.SkipWithError("the service gave no feed");
        return;
    }
    double kept = 0;
    for (auto _ : state) {
        double seconds = 0;
        std::thread([&] {
            const double before = residentKiB();
            const auto start = std::chrono::steady_clock::now();
            Run(bytes);
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            kept = residentKiB() - before;
        }).join();
        state.SetIterationTime(seconds);
    }
    state.counters["kept_kib"] = kept;
}

void encodeFeed(benchmark::State &state)
{
    const QList<Post> posts = decodeJson<QList<Post>>(feedReply(int(state.range(0))));
    for (auto _ : state) {
        QByteArray bytes = encodeJson(posts);
        benchmark::DoNotOptimize(bytes);
    }
}

} // namespace

BENCHMARK(QJsonDocumentFromJson)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeFeedReply)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(OnAFreshThread<qtParse>)->Name("QJsonDocumentFromJsonOnAFreshThread")->Arg(1000)->Arg(10000)
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OnAFreshThread<replyPath>)->Name("DecodeFeedReplyOnAFreshThread")->Arg(1000)->Arg(10000)
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(encodeFeed)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
