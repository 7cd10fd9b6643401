// The client's peak resident memory (VmHWM) while it uploads a 200 MB file to the reference
// service through NetworkManager::uploadFile. The peak is reset right before each upload, so
// start-up and the making of the file do not count; the growth is measured against the resident
// size at that moment.
#include "NetworkManager.h"
#include "ProcessMemory.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
constexpr qint64 FileSize = 200LL * 1024 * 1024;
constexpr qint64 PieceSize = 1024 * 1024;

bool makeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray piece(PieceSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < piece.size(); ++i)
        piece[i] = char((i * 131) & 0xff);
    for (qint64 written = 0; written < FileSize; written += PieceSize) {
        if (file.write(piece) != PieceSize)
            return false;
    }
    return true;
}

void ClientUpload200MB(benchmark::State &state)
{
    ServiceProcess service;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.mp4"));
    if (!service.start() || !dir.isValid() || !makeFile(path)) {
        state.SkipWithError(qPrintable(QStringLiteral("no service or no file: ") + service.errors()));
        return;
    }
    NetworkManager &network = NetworkManager::shared();
    network.setBaseURL(service.baseUrl());

    qint64 peak = 0;
    qint64 growth = 0;
    for (auto _ : state) {
        if (!ProcessMemory::resetPeak()) {
            state.SkipWithError("cannot reset the peak memory (/proc/self/clear_refs)");
            return;
        }
        const qint64 before = ProcessMemory::kb("VmRSS");
        const auto outcome = runToEnd(network.uploadFile(path));
        if (!outcome.value) {
            state.SkipWithError(qPrintable(QStringLiteral("upload failed: ") + outcome.errorText()));
            return;
        }
        const qint64 hwm = ProcessMemory::kb("VmHWM");
        peak = qMax(peak, hwm);
        growth = qMax(growth, hwm - before);
    }
    state.counters["client_peak_VmHWM_MB"] = double(peak) / 1024;
    state.counters["client_peak_growth_MB"] = double(growth) / 1024;
    state.counters["upload_MB"] = double(FileSize) / (1024 * 1024);
    state.SetBytesProcessed(state.iterations() * FileSize);
}
BENCHMARK(ClientUpload200MB)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
