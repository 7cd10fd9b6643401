// A feed of 1,000 posts from the reference service, half of them with a picture (six different
// photos), shown by the feed screen in an offscreen window with the software renderer:
// - the time from the model's creation to the first frame that shows the visible cards'
//   pictures, and the peak resident memory (VmHWM) of the client on the way;
// - the frame times while the list scrolls past the cards: the fraction of frames that took
//   over 16.7 ms, and their median, beside a bare list of as many plain rectangles with a text, of
//   the cards' mean height and without pictures, scrolled the same way;
// - the model alone: the reply decoded into its rows;
// - at 10,000 posts (a database filled beforehand), the resident growth per post of the model and
//   the screen together once the list is shown and settled, and the peak during a reload beside
//   that settled growth: a reload of the same feed, and one after a new post.
// The posts are published through the service once, before the runs. Each round of the first
// two runs in a fresh process of this program, so that nothing (a reply, a decoded picture, a
// compiled screen) is reused across rounds; the feed's and the bare list's scroll rounds take
// turns. Figures are medians over the rounds. Timed waits run a plain event loop (PlainWait.h).
#include "APIResponse.h"
#include "BareListRound.h"
#include "FeedViewModel.h"
#include "NetworkManager.h"
#include "PlainWait.h"
#include "ProcessMemory.h"
#include "QuickBenchmarkApp.h"
#include "ScrollFrames.h"
#include "ServiceLoad.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"
#include "VorlaneQml.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int PostCount = 1000;
constexpr int FramesScrolled = 400;
constexpr qreal ScrollStep = 30; // pixels a frame: a brisk swipe at 60 frames a second
constexpr int ScrollRounds = 7;

ServiceProcess *g_service = nullptr;

bool publishPosts(ServiceProcess &service)
{
    NetworkManager &network = NetworkManager::shared();
    network.setBaseURL(service.baseUrl());
    for (int i = 0; i < PostCount; ++i) {
        const QString picture = service.siteUrl() + QStringLiteral("/media/demo/photo-%1.png").arg(1 + (i / 2) % 6);
        const QJsonObject body{
            {QStringLiteral("user_id"), 1 + i % 6},
            {QStringLiteral("text"), QStringLiteral("Запись номер %1: немного текста о городе, музыке и погоде, "
                                                    "чтобы карточка была похожа на настоящую.")
                                         .arg(i)},
            {QStringLiteral("image_url"), i % 2 ? picture : QString()},
        };
        const auto outcome =
            runToEnd(network.request<APIResponse<Post>>(QStringLiteral("feed.php"), QStringLiteral("POST"), body));
        if (!outcome.value || !outcome.value->success)
            return false;
    }
    return true;
}

using ServiceLoad::median;

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

void collectPictures(QQuickItem *item, QList<QQuickItem *> &found)
{
    if (item->inherits("RoundedImage"))
        found.append(item);
    for (QQuickItem *child : item->childItems())
        collectPictures(child, found);
}

// True once the list shows the feed and every picture on screen has arrived (or failed).
bool visiblePicturesShown(QQuickWindow &window, QQuickItem *list)
{
    if (!list || list->property("count").toInt() < PostCount)
        return false;
    QList<QQuickItem *> pictures;
    collectPictures(list, pictures);
    const QRectF screen(QPointF(0, 0), window.size());
    int shown = 0;
    for (QQuickItem *picture : std::as_const(pictures)) {
        if (!picture->isVisible() || picture->property("source").toUrl().isEmpty() ||
            !picture->mapRectToScene(picture->boundingRect()).intersects(screen))
            continue;
        if (picture->property("status").toInt() == 1) // Loading
            return false;
        ++shown;
    }
    return shown > 0;
}

QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// One round in this process: prints "<ms to the pictures' frame> <peak kB>" and, when scrolling,
// "<fraction of frames over budget> <median frame ms> <p99 frame ms> <mean card height>".
int round(const QString &baseUrl, bool scroll)
{
    NetworkManager::shared().setBaseURL(baseUrl);
    QQmlEngine engine;
    VorlaneQml::prepare(engine);
    QQmlComponent component(&engine, QUrl(QString::fromLatin1(VorlaneQml::screenUrlPrefix) + "FeedView.qml"));
    QElapsedTimer clock;
    clock.start();
    auto model = std::make_unique<FeedViewModel>();
    QQuickWindow window;
    const User reader{.id = 1, .username = ServiceProcess::demoUsername(), .firstName = QStringLiteral("Demo")};
    std::unique_ptr<QObject> screen(component.createWithInitialProperties(
        {{"feedViewModel", QVariant::fromValue(model.get())}, {"currentUser", QVariant::fromValue(reader)}}));
    auto *root = qobject_cast<QQuickItem *>(screen.get());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    window.resize(390, 844);
    root->setParentItem(window.contentItem());
    root->setSize(QSizeF(390, 844));

    bool ready = false;
    qint64 picturesFrame = -1;
    // Decided as a frame is synchronised, so that the frame swapped next is the one that shows them.
    QObject::connect(
        &window, &QQuickWindow::beforeSynchronizing, &window,
        [&] { ready = ready || visiblePicturesShown(window, findItem(root, QStringLiteral("feedList"))); },
        Qt::DirectConnection);
    QObject::connect(&window, &QQuickWindow::frameSwapped, &window, [&] {
        if (ready && picturesFrame < 0)
            picturesFrame = clock.nsecsElapsed();
    });
    window.show();
    if (!waitOnEventLoop(
            &window, &QQuickWindow::frameSwapped, [&] { return picturesFrame >= 0; }, 120000)) {
        std::fprintf(stderr, "the pictures never reached the screen\n");
        return 1;
    }
    std::printf("%f %lld\n", double(picturesFrame) / 1e6, peakResidentKb());
    if (!scroll)
        return 0;

    const auto figures =
        ScrollFrames::scroll(window, findItem(root, QStringLiteral("feedList")), FramesScrolled, ScrollStep);
    if (!figures) {
        std::fprintf(stderr, "the list stopped scrolling\n");
        return 1;
    }
    std::printf("%f %f %f %f\n", figures->overBudget, figures->medianMs, figures->p99Ms, figures->rowHeight);
    return 0;
}

// One round at 10,000 posts: prints "<settled growth kB> <posts> <same-feed reload peak growth kB>
// <changed-feed reload peak growth kB> <peak growth kB while the model's and the screen's first
// loads ran>", each growth over the resident size before the model and the screen were made.
int memoryRound(const QString &baseUrl)
{
    NetworkManager::shared().setBaseURL(baseUrl);
    QQmlEngine engine;
    VorlaneQml::prepare(engine);
    QQmlComponent component(&engine, QUrl(QString::fromLatin1(VorlaneQml::screenUrlPrefix) + "FeedView.qml"));
    QQuickWindow window;
    window.resize(390, 844);
    window.show();
    QTest::qWait(200);
    ProcessMemory::resetPeak();
    const qint64 before = ProcessMemory::kb("VmRSS");

    auto model = std::make_unique<FeedViewModel>();
    const User reader{.id = 1, .username = ServiceProcess::demoUsername(), .firstName = QStringLiteral("Demo")};
    std::unique_ptr<QObject> screen(component.createWithInitialProperties(
        {{"feedViewModel", QVariant::fromValue(model.get())}, {"currentUser", QVariant::fromValue(reader)}}));
    auto *root = qobject_cast<QQuickItem *>(screen.get());
    if (!root)
        return 1;
    root->setParentItem(window.contentItem());
    root->setSize(QSizeF(390, 844));
    const auto settle = [&] {
        return QTest::qWaitFor([&] { return !model->isLoading(); }, 120000) && (QTest::qWait(500), true);
    };
    // The model's own load and the screen's load on appearance both end.
    if (!QTest::qWaitFor([&] { return model->posts().size() >= 10000; }, 120000) || !settle())
        return 1;
    const qint64 settled = ProcessMemory::kb("VmRSS") - before;
    const qint64 launch = ProcessMemory::kb("VmHWM") - before;
    const qsizetype posts = model->posts().size();

    const auto reloadPeak = [&] {
        ProcessMemory::resetPeak();
        model->loadFeed();
        settle();
        return ProcessMemory::kb("VmHWM") - before;
    };
    const qint64 same = reloadPeak();
    const QJsonObject body{{QStringLiteral("user_id"), 1}, {QStringLiteral("text"), QStringLiteral("Новая запись")}};
    if (!runToEnd(NetworkManager::shared().request<APIResponse<Post>>(QStringLiteral("feed.php"),
                                                                      QStringLiteral("POST"), body))
             .value)
        return 1;
    const qint64 changed = reloadPeak();
    std::printf("%lld %lld %lld %lld %lld\n", settled, qint64(posts), same, changed, launch);
    return 0;
}

// Runs one round in a fresh process and returns the numbers it printed.
std::vector<double> freshRound(const QString &kind, const QString &argument)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--round"), kind, argument});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return {};
    std::vector<double> numbers;
    for (const QByteArray &word : child.readAllStandardOutput().simplified().split(' '))
        numbers.push_back(word.toDouble());
    return numbers;
}

void FeedFromServiceToPicturesFrame(benchmark::State &state)
{
    if (!g_service) {
        state.SkipWithError("the service did not start or refused the posts");
        return;
    }
    std::vector<double> times, peaks;
    for (auto _ : state) {
        const std::vector<double> numbers = freshRound(QStringLiteral("pictures"), g_service->baseUrl());
        if (numbers.size() < 2) {
            state.SkipWithError("a round failed");
            return;
        }
        state.SetIterationTime(numbers[0] / 1000);
        times.push_back(numbers[0]);
        peaks.push_back(numbers[1] / 1024);
    }
    state.counters["median_ms"] = median(times);
    state.counters["median_peak_VmHWM_MB"] = median(peaks);
}
BENCHMARK(FeedFromServiceToPicturesFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each turn a round of the feed and one of the bare list, in fresh processes, the first to go
// swapped each turn; the bare list's cards take the mean height of the feed's so far.
void FeedScrollFrames(benchmark::State &state)
{
    if (!g_service) {
        state.SkipWithError("the service did not start or refused the posts");
        return;
    }
    std::vector<double> feedOver, feedMs, feedP99, bareOver, bareMs, bareP99, cardHeights;
    const auto feedRound = [&] {
        const std::vector<double> numbers = freshRound(QStringLiteral("scroll"), g_service->baseUrl());
        if (numbers.size() < 6 || numbers[5] <= 0)
            return false;
        feedOver.push_back(numbers[2]);
        feedMs.push_back(numbers[3]);
        feedP99.push_back(numbers[4]);
        cardHeights.push_back(numbers[5]);
        return true;
    };
    const auto bareRound = [&] {
        const std::vector<double> numbers = freshRound(QStringLiteral("bare"), QString::number(median(cardHeights)));
        if (numbers.size() < 4)
            return false;
        bareOver.push_back(numbers[0]);
        bareMs.push_back(numbers[1]);
        bareP99.push_back(numbers[2]);
        return true;
    };
    for (auto _ : state) {
        const bool feedFirst = cardHeights.size() % 2 == 0;
        if (!(feedFirst ? feedRound() && bareRound() : bareRound() && feedRound())) {
            state.SkipWithError("a round failed");
            return;
        }
    }
    state.counters["feed_frames_over_16_7ms_percent"] = median(feedOver) * 100;
    state.counters["feed_median_frame_ms"] = median(feedMs);
    state.counters["feed_p99_frame_ms"] = median(feedP99);
    state.counters["bare_frames_over_16_7ms_percent"] = median(bareOver) * 100;
    state.counters["bare_median_frame_ms"] = median(bareMs);
    state.counters["bare_p99_frame_ms"] = median(bareP99);
    state.counters["card_height_px"] = median(cardHeights);
    state.counters["rounds"] = double(feedOver.size());
}
BENCHMARK(FeedScrollFrames)->Iterations(ScrollRounds)->Unit(benchmark::kMillisecond)->UseRealTime();

// The model alone: a fresh reply decoded into 1,000 rows each time.
void FeedFromServiceIntoModel(benchmark::State &state)
{
    if (!g_service) {
        state.SkipWithError("the service did not start or refused the posts");
        return;
    }
    for (auto _ : state) {
        FeedViewModel model;
        if (!waitOnEventLoop(
                &model, &LoadingModel::isLoadingChanged, [&] { return !model.isLoading(); }, 60000) ||
            model.posts().size() < PostCount) {
            state.SkipWithError("the feed did not load");
            return;
        }
    }
}
BENCHMARK(FeedFromServiceIntoModel)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void FeedMemoryPerPost10000(benchmark::State &state)
{
    ServiceLoad::RunningService service(10000);
    if (service.port() == 0) {
        state.SkipWithError("the 10,000-post service did not start");
        return;
    }
    const QString baseUrl = QStringLiteral("http://127.0.0.1:%1/api").arg(service.port());
    std::vector<double> perPost, sameRatio, changedRatio, launchRatio;
    for (auto _ : state) {
        const std::vector<double> numbers = freshRound(QStringLiteral("memory"), baseUrl);
        if (numbers.size() < 5 || numbers[0] <= 0) {
            state.SkipWithError("a round failed");
            return;
        }
        perPost.push_back(numbers[0] * 1024 / numbers[1]);
        sameRatio.push_back(numbers[2] / numbers[0]);
        changedRatio.push_back(numbers[3] / numbers[0]);
        launchRatio.push_back(numbers[4] / numbers[0]);
    }
    state.counters["median_bytes_per_post"] = median(perPost);
    state.counters["reload_same_peak_to_settled"] = median(sameRatio);
    state.counters["reload_changed_peak_to_settled"] = median(changedRatio);
    state.counters["launch_loads_peak_to_settled"] = median(launchRatio);
}
BENCHMARK(FeedMemoryPerPost10000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QuickBenchmarkApp app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--round") == 0) {
        if (qstrcmp(argv[2], "memory") == 0)
            return memoryRound(QString::fromLocal8Bit(argv[3]));
        if (qstrcmp(argv[2], "bare") == 0)
            return BareListRound::run(QByteArray(argv[3]).toDouble(), PostCount, FramesScrolled, ScrollStep);
        return round(QString::fromLocal8Bit(argv[3]), qstrcmp(argv[2], "scroll") == 0);
    }
    ServiceProcess service;
    if (service.start() && publishPosts(service))
        g_service = &service;
    return QuickBenchmarkApp::runBenchmarks(argc, argv);
}
