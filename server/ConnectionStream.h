#pragma once

#include <QtGlobal>
#include <chrono>
#include <httplib.h>
#include <optional>

// One client connection as httplib reads and writes it, with limits httplib lacks: the head of a
// request (request line and headers) must arrive whole before a deadline, however slowly its bytes
// trickle in, and its body must keep coming after it: within a grace period, plus as long as
// its bytes so far take at a floor rate, so that a large upload has the time it needs and one that
// stalls does not hold its thread. Each read and write still has its own timeout.
class ConnectionStream final : public httplib::Stream
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds BodyGrace{10};
    static constexpr qint64 FloorBytesPerSecond = 64 * 1024;

    ConnectionStream(int socket, std::chrono::milliseconds readTimeout, std::chrono::milliseconds writeTimeout);

    // A new request starts: its head must be complete by `deadline`.
    void beginHead(Clock::time_point deadline) { m_headDeadline = deadline; }
    // The head is in: from now on its body runs against the grace period and the floor rate.
    void endHead();
    bool hasBufferedInput() const { return m_bufferOffset < m_bufferSize; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char *ptr, size_t size) override;
    ssize_t write(const char *ptr, size_t size) override;
    void get_remote_ip_and_port(std::string &ip, int &port) const override;
    void get_local_ip_and_port(std::string &ip, int &port) const override;
    socket_t socket() const override { return m_socket; }

private:
    // Waits for `events` up to the read or write timeout, cut short by the head deadline.
    bool wait(short events, std::chrono::milliseconds timeout) const;

    int m_socket;
    std::chrono::milliseconds m_readTimeout;
    std::chrono::milliseconds m_writeTimeout;
    // The latest the next byte of the body may arrive.
    Clock::time_point bodyDeadline() const;

    std::optional<Clock::time_point> m_headDeadline;
    std::optional<Clock::time_point> m_bodyStart;
    qint64 m_bodyReceived = 0;
    char m_buffer[4096];
    size_t m_bufferOffset = 0;
    size_t m_bufferSize = 0;
};
