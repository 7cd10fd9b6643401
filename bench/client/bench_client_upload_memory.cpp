// The client's peak resident memory (VmHWM) while it uploads a large file to the reference
// service: 200 MB through NetworkManager::uploadFile, and 300 MB the way the video upload form
// does it (picked through the document picker, then uploaded by the form, whose copy goes
// afterwards). The peak is reset right before each upload, so start-up and the making of the
// file do not count; the growth is measured against the resident size at that moment. The
// network stack's first use (its libraries, buffers and first connection) is a small upload of
// its own, reported apart, so the large uploads' growth is theirs alone. Their throughput stands
// beside curl's, sending the same file to the same service in turns within the same run.
#include "DocumentPickerModel.h"
#include "GoneWatch.h"
#include "MemoryPeak.h"
#include "NetworkManager.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"
#include "UploadVideoForm.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
constexpr qint64 FileSize = 200LL * 1024 * 1024;
constexpr qint64 FormFileSize = 300LL * 1024 * 1024;
constexpr qint64 PieceSize = 1024 * 1024;
// How long the upload's copy may take to go once the upload has ended.
constexpr int RemovalWaitMs = 10000;

bool makeFile(const QString &path, qint64 size = FileSize)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray piece(PieceSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < piece.size(); ++i)
        piece[i] = char((i * 131) & 0xff);
    for (qint64 written = 0; written < size; written += PieceSize) {
        if (file.write(piece) != PieceSize)
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// curl's own average upload speed in MB/s for the same multipart upload, or 0 when it failed.
double curlMegabytesPerSecond(const QString &baseUrl, const QString &path)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-sS"), QStringLiteral("--fail"), QStringLiteral("-o"),
                                        QStringLiteral("/dev/null"), QStringLiteral("-w"),
                                        QStringLiteral("%{speed_upload}"), QStringLiteral("-F"),
                                        QStringLiteral("file=@") + path, baseUrl + QStringLiteral("/upload.php")});
    if (!curl.waitForFinished(600000) || curl.exitCode() != 0)
        return 0;
    return curl.readAllStandardOutput().trimmed().toDouble() / (1024 * 1024);
}

void ClientUpload200MB(benchmark::State &state)
{
    ServiceProcess service;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.mp4"));
    const QString small = dir.filePath(QStringLiteral("small.mp4"));
    if (!service.start() || !dir.isValid() || !makeFile(path) || !makeFile(small, PieceSize)) {
        state.SkipWithError(qPrintable(QStringLiteral("no service or no file: ") + service.errors()));
        return;
    }
    NetworkManager &network = NetworkManager::shared();
    network.setBaseURL(service.baseUrl());

    MemoryPeak firstUse;
    if (!firstUse.beginRound() || !runToEnd(network.uploadFile(small)).value) {
        state.SkipWithError("the first, small upload failed");
        return;
    }
    firstUse.endRound();

    MemoryPeak memory;
    std::vector<double> client, curl;
    for (auto _ : state) {
        if (!memory.beginRound()) {
            state.SkipWithError("cannot reset the peak memory (/proc/self/clear_refs)");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        const auto outcome = runToEnd(network.uploadFile(path));
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        if (!outcome.value) {
            state.SkipWithError(qPrintable(QStringLiteral("upload failed: ") + outcome.errorText()));
            return;
        }
        memory.endRound();
        client.push_back(double(FileSize) / (1024 * 1024) / seconds);
        state.PauseTiming();
        curl.push_back(curlMegabytesPerSecond(service.baseUrl(), path));
        state.ResumeTiming();
    }
    state.counters["first_use_growth_MB"] = double(firstUse.growthKb()) / 1024;
    state.counters["client_peak_VmHWM_MB"] = double(memory.peakKb()) / 1024;
    state.counters["upload_growth_MB"] = double(memory.growthKb()) / 1024;
    state.counters["upload_MB"] = double(FileSize) / (1024 * 1024);
    state.counters["client_median_MBps"] = median(client);
    state.counters["curl_median_MBps"] = median(curl);
    state.counters["client_to_curl"] = median(curl) > 0 ? median(client) / median(curl) : 0;
}
BENCHMARK(ClientUpload200MB)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void VideoFormUpload300MB(benchmark::State &state)
{
    ServiceProcess service;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("film.mp4"));
    if (!service.start() || !dir.isValid() || !makeFile(path, FormFileSize)) {
        state.SkipWithError(qPrintable(QStringLiteral("no service or no file: ") + service.errors()));
        return;
    }
    NetworkManager::shared().setBaseURL(service.baseUrl());

    MemoryPeak memory;
    for (auto _ : state) {
        UploadVideoForm form;
        DocumentPickerModel picker;
        picker.setAllowedContentTypes(UploadVideoForm::videoContentTypes());
        QString copy;
        bool removed = false;
        QEventLoop removal;
        std::unique_ptr<GoneWatch> gone;
        QObject::connect(&picker, &DocumentPickerModel::filePicked, &form, [&](const QUrl &url) {
            copy = url.toLocalFile();
            // Watched from before the upload, so that a removal however soon after it is seen.
            const QList<std::pair<QString, GoneWatch::Gone>> watched{{copy, GoneWatch::NameRemoved}};
            gone = std::make_unique<GoneWatch>(watched, [&] {
                removed = true;
                removal.quit();
            });
            form.uploadVideoFile(url);
        });
        QEventLoop loop;
        QObject::connect(&form, &UploadVideoForm::isUploadingVideoChanged, &loop, [&] {
            if (!form.isUploadingVideo())
                loop.quit();
        });
        if (!memory.beginRound()) {
            state.SkipWithError("cannot reset the peak memory (/proc/self/clear_refs)");
            return;
        }
        if (!picker.pick(path)) {
            state.SkipWithError("the picker delivered nothing");
            return;
        }
        if (form.isUploadingVideo())
            loop.exec();
        memory.endRound();
        if (form.videoUrl().isEmpty()) {
            state.SkipWithError("the upload failed");
            return;
        }
        // The copy is removed on the file pool once the upload has ended, a moment later: a user's
        // next look finds it gone. Waited for on the event loop, within a bound.
        state.PauseTiming();
        if (!removed) {
            QTimer::singleShot(RemovalWaitMs, &removal, &QEventLoop::quit);
            removal.exec();
        }
        state.ResumeTiming();
        if (QFile::exists(copy)) {
            state.SkipWithError("the upload's copy stayed behind");
            return;
        }
    }
    state.counters["client_peak_VmHWM_MB"] = double(memory.peakKb()) / 1024;
    state.counters["client_peak_growth_MB"] = double(memory.growthKb()) / 1024;
    state.counters["upload_MB"] = double(FormFileSize) / (1024 * 1024);
    state.SetBytesProcessed(state.iterations() * FormFileSize);
}
BENCHMARK(VideoFormUpload300MB)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
