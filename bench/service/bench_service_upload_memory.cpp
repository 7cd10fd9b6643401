// The service's peak resident memory (VmHWM) while it receives a 200 MB file as multipart form
// data, and while 32 clients at once send it the costliest JSON bodies it may be sent. The file is sent from a plain
// socket in pieces, so that only the service's memory is looked at; the peak is reset right before the upload, so
// start-up does not count.
#include "ProcessMemory.h"
#include "ServiceProcess.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <arpa/inet.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

int connectTo(int port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
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
// 16 MiB bodies, the most any JSON script took: a dense list (the costliest to parse) to each
// script, and a photo of that size as base64 to upload.php.
QByteArray worstBody(int kind)
{
    constexpr qsizetype Size = 16 * 1024 * 1024 - 64;
    if (kind == 2) {
        QByteArray photo = R"({"extension":"png","base64_data":")";
        photo += QByteArray(Size - photo.size() - 2, 'A');
        return photo + "\"}";
    }
    QByteArray list(Size, ',');
    list[0] = '[';
    for (qsizetype i = 1; i < Size - 1; i += 2)
        list[i] = '0';
    list[Size - 1] = ']';
    return list;
}

void ServiceWorstBodies32(benchmark::State &state)
{
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    const int kind = int(state.range(0));
    const QByteArray path = kind == 0 ? "/api/auth.php" : "/api/upload.php";
    const QByteArray body = worstBody(kind);
    const QByteArray request = "POST " + path +
                               " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                               "Content-Type: application/json\r\nContent-Length: " +
                               QByteArray::number(body.size()) + "\r\n\r\n" + body;
    qint64 peak = 0;
    int answered = 0;
    for (auto _ : state) {
        ProcessMemory::resetPeak(service.processId());
        std::vector<std::thread> clients;
        std::atomic<int> replies = 0;
        for (int i = 0; i < 32; ++i) {
            clients.emplace_back([&] {
                const int socket = connectTo(service.port());
                if (socket < 0)
                    return;
                sendAll(socket, request.constData(), request.size());
                char buffer[4096];
                QByteArray reply;
                for (ssize_t n; (n = ::recv(socket, buffer, sizeof(buffer), 0)) > 0;)
                    reply.append(buffer, n);
                replies += reply.startsWith("HTTP/1.1 200") ? 1 : 0;
                ::close(socket);
            });
        }
        for (std::thread &client : clients)
            client.join();
        answered = replies;
        peak = qMax(peak, ProcessMemory::kb("VmHWM", service.processId()));
    }
    state.counters["service_peak_VmHWM_MB"] = double(peak) / 1024;
    state.counters["answered"] = answered;
}
BENCHMARK(ServiceWorstBodies32)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("auth_list_upload_list_upload_photo")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(ServiceUpload200MB)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
