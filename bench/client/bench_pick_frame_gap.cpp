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
#include "GoneWatch.h"
#include "NetworkManager.h"
#include "PickedCopies.h"
#include "QuickBenchmarkApp.h"
#include "ServiceProcess.h"
#include "UploadSlot.h"
#include "VorlaneQml.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
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

using Done = std::function<void()>;

// The form's spinner in a window of its own; every frame it draws is timed.
class SpinnerWindow
{
public:
    SpinnerWindow()
    {
        VorlaneQml::prepare(m_engine);
        QQmlComponent component(&m_engine);
        component.setData("import QtQuick\nimport Vorlane\nActivityIndicator { width: 40; height: 40 }", QUrl());
        m_root.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!m_root)
            return;
        m_root->setParentItem(m_window.contentItem());
        m_window.resize(80, 80);
        QObject::connect(&m_window, &QQuickWindow::frameSwapped, &m_window, [this] {
            if (m_clock.isValid())
                m_longest = std::max(m_longest, m_clock.nsecsElapsed());
            m_clock.start();
        });
        m_window.show();
    }
    bool isReady() const { return m_root != nullptr; }

    // The longest gap between frames, in milliseconds, while `work` runs and until it calls `done`.
    double longestGapDuring(const std::function<void(const Done &done)> &work)
    {
        QEventLoop loop;
        settle(loop);
        m_longest = 0;
        m_clock.start();
        // A few frames drawn before the work starts, and after it ends, count as well.
        QTimer::singleShot(100, &loop, [&] { work([&] { QTimer::singleShot(100, &loop, &QEventLoop::quit); }); });
        loop.exec();
        return double(m_longest) / 1e6;
    }

private:
    // A few frames first, so that the window's first frames do not count.
    static void settle(QEventLoop &loop)
    {
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QQmlEngine m_engine;
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_root;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

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
    SpinnerWindow window;
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
