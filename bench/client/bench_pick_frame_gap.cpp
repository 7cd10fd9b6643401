// The longest gap between two frames of a window showing the form's spinner while a 2 GiB file is
// picked as a track (the document picker's copy, made whole), beside the same window's longest gap
// over the same span with nothing picked, measured in the same run. For reference, the gap while
// the same file is copied on the GUI thread, as the picker once did.
#include "DocumentPickerModel.h"
#include "PickedCopies.h"
#include "QuickBenchmarkApp.h"
#include "VorlaneQml.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
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

    // The longest gap between frames, in milliseconds, while `work` runs and until `done` is called.
    double longestGapDuring(const std::function<void(const std::function<void()> &done)> &work)
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

void PickTrack2GiB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("long take.mp3"));
    // Written out in full, as a user's own file is: a sparse one the GUI thread's copy skips through.
    if (!dir.isValid() || !writeFile(original)) {
        state.SkipWithError("no file to pick");
        return;
    }
    SpinnerWindow window;
    if (!window.isReady()) {
        state.SkipWithError("no spinner");
        return;
    }
    double pickGap = 0;
    double floorGap = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        QElapsedTimer span;
        pickGap = std::max(pickGap, window.longestGapDuring([&](const std::function<void()> &done) {
            span.start();
            DocumentPickerModel picker;
            QString copy;
            QObject::connect(&picker, &DocumentPickerModel::filePicked,
                             [&](const QUrl &url) { copy = url.toLocalFile(); });
            picker.pick(original);
            auto *watcher = new QFutureWatcher<bool>;
            QObject::connect(watcher, &QFutureWatcher<bool>::finished, [watcher, copy, done, &span, &copySeconds] {
                copySeconds = std::max(copySeconds, double(span.nsecsElapsed()) / 1e9);
                if (!watcher->result())
                    std::fprintf(stderr, "the copy broke off\n");
                PickedCopies::remove(copy);
                watcher->deleteLater();
                done();
            });
            watcher->setFuture(PickedCopies::whenCopied(copy));
        }));
        const qint64 idle = qint64(copySeconds * 1000);
        floorGap = std::max(floorGap, window.longestGapDuring([idle](const std::function<void()> &done) {
            QTimer::singleShot(std::chrono::milliseconds(idle), done);
        }));
    }
    const double guiThreadGap = window.longestGapDuring([&](const std::function<void()> &done) {
        const QString copy = dir.filePath(QStringLiteral("on the GUI thread.mp3"));
        if (!QFile::copy(original, copy))
            std::fprintf(stderr, "the copy on the GUI thread failed\n");
        QFile::remove(copy);
        done();
    });
    state.counters["pick_longest_frame_gap_ms"] = pickGap;
    state.counters["floor_longest_frame_gap_ms"] = floorGap;
    state.counters["copy_s"] = copySeconds;
    state.counters["gui_thread_copy_longest_gap_ms"] = guiThreadGap;
}
BENCHMARK(PickTrack2GiB)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QuickBenchmarkApp app(argc, argv);
    return QuickBenchmarkApp::runBenchmarks(argc, argv);
}
