// The longest gap between two frames of the photo picker's window while a 48-megapixel camera photo
// opens in it (from the pick to the editing step showing the picture), and while the chosen square is
// encoded and uploaded to the reference service; each beside the same window's longest gap over as
// long a span with nothing happening, measured in the same run, worst of five rounds. For reference,
// the gaps of the same work done on the GUI thread, as the picker and the upload once did it.
#include "CameraPhoto.h"
#include "FrameGapWindow.h"
#include "ImagePickerModel.h"
#include "NetworkManager.h"
#include "QuickBenchmarkApp.h"
#include "ServiceProcess.h"

#include <QBuffer>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using Work = FrameGapWindow::Work;

// The picker over a phone-sized window whose every frame is timed.
class PickerWindow : public FrameGapWindow
{
public:
    PickerWindow() : FrameGapWindow(390, 844) {}

    // A fresh picker with its file dialog closed, as the dialog leaves it after a pick.
    ImagePickerModel *freshPicker()
    {
        m_picker.reset();
        m_picker = create("import QtQuick\nimport Vorlane\nImagePicker { width: 390; height: 844 }");
        if (!m_picker)
            return nullptr;
        if (QObject *dialog = m_picker->findChild<QObject *>(QStringLiteral("imageFileDialog")))
            QMetaObject::invokeMethod(dialog, "dismiss");
        return m_picker->property("model").value<ImagePickerModel *>();
    }
    QQuickItem *pickerItem(const char *name) const
    {
        return m_picker ? m_picker->findChild<QQuickItem *>(QLatin1String(name)) : nullptr;
    }

private:
    std::unique_ptr<QQuickItem> m_picker;
};

// Calls done once `item`'s status is Ready; polled, since the status signal is Qt Quick's private.
void whenReady(QQuickItem *item, const std::function<void()> &done)
{
    auto *poll = new QTimer;
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, [poll, item, done] {
        if (item->property("status").toInt() != 1) // Image.Ready
            return;
        poll->deleteLater();
        done();
    });
    poll->start();
}

QCoro::Task<> upload(QImage square, std::function<void()> done)
{
    try {
        (void)co_await NetworkManager::shared().uploadImage(square);
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "upload failed: %s\n", failure.what());
    }
    done();
}

// How long `work` takes, done once in a window drawing nothing else.
Work timed(double &seconds, const Work &work)
{
    return [&seconds, work](const std::function<void()> &done) {
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        work([clock, &seconds, done] {
            seconds = std::max(seconds, double(clock->nsecsElapsed()) / 1e9);
            done();
        });
    };
}

Work idleFor(double seconds)
{
    return [seconds](const std::function<void()> &done) {
        QTimer::singleShot(std::chrono::milliseconds(qint64(seconds * 1000)), done);
    };
}

void PhotoOpensAndUploads48MP(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("camera-48mp.jpg"));
    if (!dir.isValid() || !CameraPhoto::write(photo, CameraPhoto::jpeg(CameraPhoto::draw({8000, 6000})))) {
        state.SkipWithError("no photo to pick");
        return;
    }
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    NetworkManager::shared().setBaseURL(service.baseUrl());
    PickerWindow window;
    if (!window.isReady() || !window.freshPicker()) {
        state.SkipWithError("no picker");
        return;
    }
    double openGap = 0, openFloor = 0, openSeconds = 0;
    double uploadGap = 0, uploadFloor = 0, uploadSeconds = 0;
    QImage square;
    for (auto _ : state) {
        ImagePickerModel *picker = window.freshPicker();
        openGap = std::max(openGap, window.longestGapDuring(timed(openSeconds, [&](const auto &done) {
            picker->openImage(photo);
            whenReady(window.pickerItem("cropImage"), done);
        })));
        uploadGap = std::max(uploadGap, window.longestGapDuring(timed(uploadSeconds, [&](const auto &done) {
            QObject::connect(picker, &ImagePickerModel::imagePicked, picker, [&square, done](const QImage &picked) {
                square = picked;
                (void)upload(picked, done);
            });
            picker->confirm();
        })));
        window.freshPicker();
        openFloor = std::max(openFloor, window.longestGapDuring(idleFor(openSeconds)));
        uploadFloor = std::max(uploadFloor, window.longestGapDuring(idleFor(uploadSeconds)));
    }
    // The same work on the GUI thread: the photo decoded there at the size the picker reads it (Qt
    // refuses it whole, 183 MiB), as openImage once did, and the square encoded there as uploadImage
    // did.
    const double guiDecodeGap = window.longestGapDuring([&](const auto &done) {
        QImageReader reader(photo);
        reader.setAutoTransform(true);
        reader.setScaledSize(QSize(4096, 3072));
        if (reader.read().isNull())
            std::fprintf(stderr, "the GUI thread's decode failed\n");
        done();
    });
    const double guiEncodeGap = window.longestGapDuring([&](const auto &done) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        square.save(&buffer, "JPG", 70);
        const QJsonObject body{{QStringLiteral("base64_data"), QString::fromLatin1(jpeg.toBase64())},
                               {QStringLiteral("extension"), QStringLiteral("jpg")}};
        benchmark::DoNotOptimize(QJsonDocument(body).toJson(QJsonDocument::Compact));
        done();
    });
    state.counters["open_longest_frame_gap_ms"] = openGap;
    state.counters["open_floor_longest_frame_gap_ms"] = openFloor;
    state.counters["open_s"] = openSeconds;
    state.counters["upload_longest_frame_gap_ms"] = uploadGap;
    state.counters["upload_floor_longest_frame_gap_ms"] = uploadFloor;
    state.counters["upload_s"] = uploadSeconds;
    state.counters["square_side_px"] = square.width();
    state.counters["gui_thread_decode_longest_gap_ms"] = guiDecodeGap;
    state.counters["gui_thread_encode_longest_gap_ms"] = guiEncodeGap;
}
BENCHMARK(PhotoOpensAndUploads48MP)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QuickBenchmarkApp app(argc, argv);
    return QuickBenchmarkApp::runBenchmarks(argc, argv);
}
