#pragma once

#include <chrono>
#include <httplib.h>

// httplib's server with the connection loop replaced: replies leave without waiting for Nagle's
// algorithm, a request's head has a deadline, and connections are served by a pool that grows
// instead of queueing behind slow clients.
class ServiceServer final : public httplib::Server
{
public:
    // Long enough for any real client to send a request line and its headers.
    static constexpr std::chrono::seconds HeadDeadline{5};
    static constexpr size_t MaxThreads = 256;

    ServiceServer();

    // httplib listens with a backlog of 5: a burst of connections would see SYNs dropped and
    // retried a second later. Call once bound.
    void widenBacklog();

private:
    bool process_and_close_socket(socket_t sock) override;
    // Until the next request starts arriving; false when the client stays silent or the server stops.
    bool awaitRequest(socket_t sock) const;
};
