// The service's peak resident memory (VmHWM) while it receives a 200 MB file as multipart form
// data. The file is sent from a plain socket in pieces, so that only the service's memory is
// looked at; the peak is reset right before the upload, so start-up does not count.
#include "ProcessMemory.h"
#include "ServiceProcess.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr qint64 FileSize = 200LL * 1024 * 1024;
constexpr qint64 PieceSize = 1024 * 1024;

bool sendAll(int socket, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size_t(size), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

// Uploads FileSize bytes as "big.mp4" and returns the reply body.
QByteArray upload(int port)
{
    const QByteArray boundary = "Boundary-0B0E5A7C-3F1D-4C55-9E27-6A1F0D2C8B41";
    const QByteArray head = "--" + boundary +
                            "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"big.mp4\"\r\n"
                            "Content-Type: application/octet-stream\r\n\r\n";
    const QByteArray tail = "\r\n--" + boundary + "--\r\n";
    const QByteArray request =
        "POST /api/upload.php HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
        "Content-Type: multipart/form-data; boundary=" +
        boundary + "\r\nContent-Length: " + QByteArray::number(head.size() + FileSize + tail.size()) + "\r\n\r\n";

    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray reply;
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0) {
        QByteArray piece(PieceSize, Qt::Uninitialized);
        for (qsizetype i = 0; i < piece.size(); ++i)
            piece[i] = char((i * 131) & 0xff);
        bool ok =
            sendAll(socket, request.constData(), request.size()) && sendAll(socket, head.constData(), head.size());
        for (qint64 sent = 0; ok && sent < FileSize; sent += PieceSize)
            ok = sendAll(socket, piece.constData(), PieceSize);
        ok = ok && sendAll(socket, tail.constData(), tail.size());
        char buffer[4096];
        for (ssize_t n; ok && (n = ::recv(socket, buffer, sizeof(buffer), 0)) > 0;)
            reply.append(buffer, n);
    }
    ::close(socket);
    return reply.mid(reply.indexOf("\r\n\r\n") + 4);
}

void ServiceUpload200MB(benchmark::State &state)
{
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    const qint64 idleRss = ProcessMemory::kb("VmRSS", service.processId());
    qint64 peak = 0;
    for (auto _ : state) {
        if (!ProcessMemory::resetPeak(service.processId())) {
            state.SkipWithError("cannot reset the service's peak memory (/proc/<pid>/clear_refs)");
            return;
        }
        const QJsonObject reply = QJsonDocument::fromJson(upload(service.port())).object();
        if (reply.value(QStringLiteral("success")) != QJsonValue(true)) {
            state.SkipWithError("the upload was refused");
            return;
        }
        peak = qMax(peak, ProcessMemory::kb("VmHWM", service.processId()));
        QDir uploads(service.mediaDir() + QStringLiteral("/uploads"));
        const QFileInfoList stored = uploads.entryInfoList(QDir::Files);
        if (stored.size() != 1 || stored.first().size() != FileSize) {
            state.SkipWithError("the stored file is not the one sent");
            return;
        }
        uploads.remove(stored.first().fileName());
    }
    state.counters["service_idle_RSS_MB"] = double(idleRss) / 1024;
    state.counters["service_peak_VmHWM_MB"] = double(peak) / 1024;
    state.counters["upload_MB"] = double(FileSize) / (1024 * 1024);
    state.SetBytesProcessed(state.iterations() * FileSize);
}
BENCHMARK(ServiceUpload200MB)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
