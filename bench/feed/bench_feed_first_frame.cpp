// A feed of 1,000 posts from the reference service, loaded into the feed model and shown by the
// feed screen in an offscreen window: the time from the model's creation to the first frame that
// shows the posts, and the peak resident memory (VmHWM) of the client while it gets there. The
// posts are published through the service once, before the runs; half of them carry a picture.
#include "APIResponse.h"
#include "FeedViewModel.h"
#include "MemoryPeak.h"
#include "NetworkManager.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"
#include "VorlaneQml.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int PostCount = 1000;

ServiceProcess *g_service = nullptr;
int g_listed = 0;

bool publishPosts(ServiceProcess &service)
{
    NetworkManager &network = NetworkManager::shared();
    network.setBaseURL(service.baseUrl());
    const QString picture = service.siteUrl() + QStringLiteral("/media/demo/photo-2.png");
    for (int i = 0; i < PostCount; ++i) {
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

void FeedFromServiceToFirstFrame(benchmark::State &state)
{
    if (!g_service) {
        state.SkipWithError("the service did not start or refused the posts");
        return;
    }
    MemoryPeak memory;
    for (auto _ : state) {
        if (!memory.beginRound()) {
            state.SkipWithError("cannot reset the peak memory (/proc/self/clear_refs)");
            return;
        }
        QQmlEngine engine;
        VorlaneQml::prepare(engine);
        QQmlComponent component(&engine, QUrl(QString::fromLatin1(VorlaneQml::screenUrlPrefix) + "FeedView.qml"));
        QElapsedTimer clock;
        clock.start();
        auto model = std::make_unique<FeedViewModel>();
        QQuickWindow window;
        qint64 firstFrame = -1;
        QObject::connect(&window, &QQuickWindow::frameSwapped, &window, [&] {
            if (firstFrame < 0 && model->posts().size() >= PostCount)
                firstFrame = clock.nsecsElapsed();
        });
        std::unique_ptr<QObject> screen(
            component.createWithInitialProperties({{"feedViewModel", QVariant::fromValue(model.get())},
                                                   {"currentUser", QVariant::fromValue(User::demoUser())}}));
        auto *root = qobject_cast<QQuickItem *>(screen.get());
        if (!root) {
            state.SkipWithError(qPrintable(component.errorString()));
            return;
        }
        window.resize(390, 844);
        root->setParentItem(window.contentItem());
        root->setSize(QSizeF(390, 844));
        window.show();
        if (!QTest::qWaitFor([&] { return firstFrame >= 0; }, 60000)) {
            state.SkipWithError("the posts never reached the screen");
            return;
        }
        state.SetIterationTime(double(firstFrame) / 1e9);
        g_listed = int(model->posts().size());
        memory.endRound();
        screen.reset();
        model.reset();
    }
    state.counters["posts"] = g_listed;
    state.counters["peak_VmHWM_MB"] = double(memory.peakKb()) / 1024;
    state.counters["peak_growth_MB"] = double(memory.growthKb()) / 1024;
}
BENCHMARK(FeedFromServiceToFirstFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The model alone: the reply parsed into 1,000 rows.
void FeedFromServiceIntoModel(benchmark::State &state)
{
    if (!g_service) {
        state.SkipWithError("the service did not start or refused the posts");
        return;
    }
    for (auto _ : state) {
        FeedViewModel model;
        if (!QTest::qWaitFor([&] { return !model.isLoading(); }, 60000) || model.posts().size() < PostCount) {
            state.SkipWithError("the feed did not load");
            return;
        }
    }
}
BENCHMARK(FeedFromServiceIntoModel)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    ServiceProcess service;
    if (service.start() && publishPosts(service))
        g_service = &service;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
