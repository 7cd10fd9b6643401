#pragma once

#include <chrono>
#include <httplib.h>
#include <optional>

// One client connection as httplib reads and writes it, with a limit httplib lacks: the head of a
// request (request line and headers) must arrive whole before a deadline, however slowly its bytes
// trickle in. Each read and write still has its own timeout.
class ConnectionStream final : public httplib::Stream
{
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int socket, std::chrono::milliseconds readTimeout, std::chrono::milliseconds writeTimeout);

    // A new request starts: its head must be complete by `deadline`.
    void beginHead(Clock::time_point deadline) { m_headDeadline = deadline; }
    // The head is in; the body is read with the plain timeouts.
    void endHead() { m_headDeadline.reset(); }
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
    std::optional<Clock::time_point> m_headDeadline;
    char m_buffer[4096];
    size_t m_bufferOffset = 0;
    size_t m_bufferSize = 0;
};
