// The longest gap between two frames of a window showing the form's spinner while a 2 GiB file
// goes the whole way of a pick: picked as a track, copied, uploaded to the reference service
// through the form's upload slot, and removed once the upload has ended (its name, its folder and
// its blocks, freed by the last close of the upload's descriptor). The reference service takes
// files of at most 1 GiB: it answers this upload at once, from its announced length, with HTTP 200
// and its refusal {"message":"Файл слишком большой: не более 1 ГБ","success":false}, and closes
// the connection; the upload ends there, and the copy goes while its pages are still being written
// back. Each round starts right after the file to pick has been written anew, its page cache
// dirty, and is followed by its floor: the same window over the same span with nothing picked.
// The worst round of each is reported, side by side.
//
// For contrast, measured in the same run: the same pick with the copy held open on the GUI thread,
// as an upload holds it, and closed there once the copy has been removed, as uploads once did; and
// a copy made on the GUI thread, as the picker once did.
#include "DocumentPickerModel.h"
#include "FrameGapWindow.h"
#include "GoneWatch.h"
#include "NetworkManager.h"
#include "PickedCopies.h"
#include "QuickBenchmarkApp.h"
#include "ServiceProcess.h"
#include "UploadSlot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr qint64 FileSize = 2LL * 1024 * 1024 * 1024;

bool writeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray piece(4 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < piece.size(); ++i)
        piece[i] = char((i * 131) & 0xff);
    for (qint64 written = 0; written < FileSize; written += piece.size()) {
        if (file.write(piece) != piece.size())
            return false;
    }
    return true;
}

using Done = FrameGapWindow::Done;

// One pick as the track form makes it: the picked copy goes to the form's upload slot. Done once
// the upload has ended and the copy and its folder are gone for good.
struct PickRound
{
    DocumentPickerModel picker;
    UploadSlot slot;
    std::unique_ptr<GoneWatch> gone;
    bool uploaded = false;
    bool removed = false;

    void start(const QString &original, const Done &done)
    {
        const auto finish = [this, done] {
            if (uploaded && removed)
                done();
        };
        QObject::connect(&picker, &DocumentPickerModel::filePicked, &slot, [this, finish](const QUrl &url) {
            const QString copy = url.toLocalFile();
            const QList<std::pair<QString, GoneWatch::Gone>> paths{{copy, GoneWatch::FileFreed},
                                                                   {QFileInfo(copy).path(), GoneWatch::NameRemoved}};
            gone = std::make_unique<GoneWatch>(paths, [this, finish] {
                removed = true;
                finish();
            });
            slot.uploadFile(url);
        });
        QObject::connect(&slot, &UploadSlot::uploadingChanged, &slot, [this, finish] {
            if (!slot.isUploading()) {
                uploaded = true;
                finish();
            }
        });
        if (!picker.pick(original)) {
            std::fprintf(stderr, "the pick failed\n");
            done();
        }
    }
};

// The same path up to the upload, whose descriptor onto the copy is then closed on the GUI thread
// after the copy has been removed: that close frees the copy's blocks.
struct ClosingOnTheGuiThread
{
    DocumentPickerModel picker;
    QFutureWatcher<bool> copied;
    QFile held;
    std::unique_ptr<GoneWatch> folderGone;

    void start(const QString &original, const Done &done)
    {
        QObject::connect(&picker, &DocumentPickerModel::filePicked, &copied, [this, done](const QUrl &url) {
            const QString copy = url.toLocalFile();
            QObject::connect(&copied, &QFutureWatcher<bool>::finished, &copied, [this, copy, done] {
                held.setFileName(copy);
                if (!held.open(QIODevice::ReadOnly))
                    std::fprintf(stderr, "the copy could not be opened\n");
                const QList<std::pair<QString, GoneWatch::Gone>> folder{
                    {QFileInfo(copy).path(), GoneWatch::NameRemoved}};
                folderGone = std::make_unique<GoneWatch>(folder, [this, done] {
                    held.close();
                    done();
                });
                PickedCopies::remove(copy);
            });
            copied.setFuture(PickedCopies::whenCopied(copy));
        });
        if (!picker.pick(original)) {
            std::fprintf(stderr, "the pick failed\n");
            done();
        }
    }
};

void PickUploadRemove2GiB(benchmark::State &state)
{
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    NetworkManager::shared().setBaseURL(service.baseUrl());
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("long take.mp3"));
    // The form's spinner in a window of its own.
    FrameGapWindow window(56, 56);
    if (!dir.isValid() || !window.isReady()) {
        state.SkipWithError("no folder or no spinner");
        return;
    }
    double pathGap = 0;
    double floorGap = 0;
    double closeGap = 0;
    double roundSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        // Written out in full, as a user's own file is, right before the pick: a sparse file would
        // be copied through its holes, and a file at rest would have nothing left to write back.
        if (!writeFile(original)) {
            state.SkipWithError("no file to pick");
            return;
        }
        QElapsedTimer span;
        PickRound pick;
        const double gap = window.longestGapDuring([&](const Done &done) {
            span.start();
            pick.start(original, [&span, &roundSeconds, done] {
                roundSeconds = std::max(roundSeconds, double(span.nsecsElapsed()) / 1e9);
                done();
            });
        });
        const qint64 idle = span.elapsed();
        const double floor = window.longestGapDuring(
            [idle](const Done &done) { QTimer::singleShot(std::chrono::milliseconds(idle), done); });

        if (!writeFile(original)) {
            state.SkipWithError("no file to pick");
            return;
        }
        ClosingOnTheGuiThread contrast;
        const double close = window.longestGapDuring([&](const Done &done) { contrast.start(original, done); });

        std::fprintf(stderr, "round %d: %.1f ms, floor %.1f ms; last close on the GUI thread %.1f ms (%.1f s)\n",
                     ++round, gap, floor, close, double(idle) / 1e3);
        pathGap = std::max(pathGap, gap);
        floorGap = std::max(floorGap, floor);
        closeGap = std::max(closeGap, close);
    }
    const double copyGap = window.longestGapDuring([&](const Done &done) {
        const QString copy = dir.filePath(QStringLiteral("on the GUI thread.mp3"));
        if (!QFile::copy(original, copy))
            std::fprintf(stderr, "the copy on the GUI thread failed\n");
        QFile::remove(copy);
        done();
    });
    state.counters["path_worst_frame_gap_ms"] = pathGap;
    state.counters["floor_worst_frame_gap_ms"] = floorGap;
    state.counters["path_s"] = roundSeconds;
    state.counters["gui_thread_last_close_worst_gap_ms"] = closeGap;
    state.counters["gui_thread_copy_gap_ms"] = copyGap;
}
BENCHMARK(PickUploadRemove2GiB)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QuickBenchmarkApp app(argc, argv);
    return QuickBenchmarkApp::runBenchmarks(argc, argv);
}
