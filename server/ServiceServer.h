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
    // Each connection holds a thread while its head or body arrives (within the deadlines above and
    // in ConnectionStream), so that several hundred slow clients still leave threads for everybody
    // else; an idle thread costs little more than the pages of stack it touched.
    static constexpr size_t MaxThreads = 1024;

    ServiceServer();

    // httplib listens with a backlog of 5: a burst of connections would see SYNs dropped and
    // retried a second later. Call once bound.
    void widenBacklog();

    // Ends the connection once this reply is sent, for a handler that left part of its request
    // unread: what follows would otherwise be taken for the next request. (httplib only honours
    // the client's "Connection: close".) Call from the handler's own thread.
    static void closeAfterReply(httplib::Response &res);

private:
    bool process_and_close_socket(socket_t sock) override;
    // Until the next request starts arriving; false when the client stays silent or the server stops.
    bool awaitRequest(socket_t sock) const;
    // Closes a connection whose client may still be sending (a body refused before its end): the
    // reply is finished first, and a little of what comes is read and dropped, so that the client
    // sees the reply instead of a reset.
    static void closeGently(socket_t sock);
};
