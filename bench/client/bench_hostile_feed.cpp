// The peak resident growth of the client while a feed of four hostile pictures loads (each a few
// hundred bytes whose header claims a decode of gigabytes: a GIF's screen, a progressive and a
// multi-scan JPEG, an interlaced PNG), beside the same feed with four ordinary camera photos, from
// the reference service; worst of five rounds each, taken in turn, every round at fresh addresses
// so that nothing comes from the loader's cache.
#include "CameraPhoto.h"
#include "CraftedPictures.h"
#include "FlatPng.h"
#include "FrameGapWindow.h"
#include "MemoryPeak.h"
#include "QuickBenchmarkApp.h"
#include "ServiceProcess.h"

#include <QDir>
#include <QFile>
#include <QQuickItem>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

// Each picture with the suffix it is stored under: the service serves only names it knows the type of.
using Feed = std::array<std::pair<QByteArray, const char *>, 4>;

// Four post pictures, as the feed shows them, over one window.
const char feedQml[] = "import QtQuick\nimport Vorlane\nColumn {\n"
                       "  property var sources: []\n"
                       "  Repeater { model: 4; RoundedImage { width: 358; height: 200; radius: 12;"
                       " source: parent.sources[index] || \"\" } } }";

bool allSettled(QQuickItem *feed)
{
    int settled = 0;
    for (QQuickItem *picture : feed->childItems()) {
        const int status = picture->property("status").toInt();
        settled += status == 2 || status == 3; // RoundedImage.Ready, RoundedImage.Error
    }
    return settled == 4;
}

// The peak growth, in MiB, while `feed` loads from addresses never asked for before.
double loadRound(FrameGapWindow &window, ServiceProcess &service, const Feed &feed, int round, int *shown)
{
    QStringList sources;
    const QDir uploads(service.mediaDir() + QStringLiteral("/uploads"));
    uploads.mkpath(QStringLiteral("."));
    for (int i = 0; i < 4; ++i) {
        const auto &[bytes, suffix] = feed[size_t(i)];
        const QString name = QStringLiteral("round%1-%2.%3").arg(round).arg(i).arg(QLatin1String(suffix));
        QFile file(uploads.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return -1;
        sources << service.siteUrl() + QStringLiteral("/media/uploads/") + name;
    }
    MemoryPeak peak;
    if (!peak.beginRound())
        return -1;
    std::unique_ptr<QQuickItem> items = window.create(feedQml);
    items->setProperty("sources", sources);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (allSettled(items.get()))
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    peak.endRound();
    *shown = 0;
    for (QQuickItem *picture : items->childItems())
        *shown += picture->property("status").toInt() == 2;
    return double(peak.growthKb()) / 1024;
}

void HostileFeedBesideOrdinary(benchmark::State &state)
{
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    FrameGapWindow window(390, 900);
    const Feed hostile{{{CraftedPictures::gif(16000), "gif"},
                        {CraftedPictures::jpeg(20000, true, 0x11), "jpg"},
                        {CraftedPictures::jpeg(20000, false, 0, true), "jpg"},
                        {FlatPng::encode({9000, 9000}, 8, true), "png"}}};
    const std::pair<QByteArray, const char *> photo{CameraPhoto::jpeg(CameraPhoto::draw({3000, 2000})), "jpg"};
    const Feed ordinary{{photo, photo, photo, photo}};
    double hostilePeak = 0;
    double ordinaryPeak = 0;
    int hostileShown = 0;
    int ordinaryShown = 0;
    int round = 0;
    for (auto _ : state) {
        hostilePeak = std::max(hostilePeak, loadRound(window, service, hostile, ++round, &hostileShown));
        ordinaryPeak = std::max(ordinaryPeak, loadRound(window, service, ordinary, ++round, &ordinaryShown));
    }
    state.counters["hostile_feed_peak_growth_mib"] = hostilePeak;
    state.counters["ordinary_feed_peak_growth_mib"] = ordinaryPeak;
    state.counters["hostile_over_ordinary"] = ordinaryPeak > 0 ? hostilePeak / ordinaryPeak : 0;
    state.counters["hostile_shown"] = hostileShown;
    state.counters["ordinary_shown"] = ordinaryShown;
}
BENCHMARK(HostileFeedBesideOrdinary)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QuickBenchmarkApp app(argc, argv);
    return QuickBenchmarkApp::runBenchmarks(argc, argv);
}
