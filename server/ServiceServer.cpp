#include "ServiceServer.h"

#include "ConnectionStream.h"
#include "WorkerPool.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Set by a handler of the request this thread is serving.
thread_local bool closeRequested = false;

std::chrono::milliseconds duration(time_t seconds, time_t microseconds)
{
    return std::chrono::milliseconds(seconds * 1000 + microseconds / 1000);
}
}

ServiceServer::ServiceServer()
{
    new_task_queue = [] { return new WorkerPool(MaxThreads); };
}

void ServiceServer::closeAfterReply(httplib::Response &res)
{
    res.set_header("Connection", "close");
    closeRequested = true;
}

void ServiceServer::widenBacklog()
{
    ::listen(svr_sock_, SOMAXCONN);
}

bool ServiceServer::awaitRequest(socket_t sock) const
{
    // In short slices, so that stop() is not held up by an idle connection.
    const auto until = ConnectionStream::Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    while (svr_sock_ != INVALID_SOCKET) {
        pollfd fd{sock, POLLIN, 0};
        const int ready = ::poll(&fd, 1, 50);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
        if (ConnectionStream::Clock::now() >= until)
            return false;
    }
    return false;
}

bool ServiceServer::process_and_close_socket(socket_t sock)
{
    // Headers and body go out in separate writes; with Nagle's algorithm on, the body of every
    // reply after the first on a kept-alive connection would wait for the client's delayed ACK.
    const int yes = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));

    bool ok = false;
    for (size_t left = keep_alive_max_count_; left > 0 && awaitRequest(sock); --left) {
        // A stream per request, as httplib has it: bytes read past a request that ends the
        // connection (the rest of a refused upload) are never taken for another request.
        ConnectionStream stream(sock, duration(read_timeout_sec_, read_timeout_usec_),
                                duration(write_timeout_sec_, write_timeout_usec_));
        stream.beginHead(ConnectionStream::Clock::now() + HeadDeadline);
        bool closed = false;
        closeRequested = false;
        ok = process_request(stream, left == 1, closed, [&stream](httplib::Request &) { stream.endHead(); });
        if (!ok || closed || closeRequested)
            break;
    }
    closeGently(sock);
    return ok;
}

void ServiceServer::closeGently(socket_t sock)
{
    pollfd pending{sock, POLLIN, 0};
    if (::poll(&pending, 1, 0) > 0) {
        ::shutdown(sock, SHUT_WR);
        constexpr size_t MostDropped = 64 * 1024 * 1024; // a second's worth on loopback
        const auto until = ConnectionStream::Clock::now() + std::chrono::seconds(1);
        char dropped[16384];
        size_t total = 0;
        while (total < MostDropped) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - ConnectionStream::Clock::now());
            pollfd fd{sock, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, int(left.count())) <= 0)
                break;
            const ssize_t n = ::recv(sock, dropped, sizeof(dropped), 0);
            if (n <= 0)
                break;
            total += size_t(n);
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
}
