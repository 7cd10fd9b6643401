#include "ConnectionStream.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {
void describe(const sockaddr_storage &address, std::string &ip, int &port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto *v4 = reinterpret_cast<const sockaddr_in *>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof(text));
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto *v6 = reinterpret_cast<const sockaddr_in6 *>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof(text));
        port = ntohs(v6->sin6_port);
    }
    ip = text;
}
}

ConnectionStream::ConnectionStream(int socket, std::chrono::milliseconds readTimeout,
                                   std::chrono::milliseconds writeTimeout)
    : m_socket(socket), m_readTimeout(readTimeout), m_writeTimeout(writeTimeout)
{
}

void ConnectionStream::endHead()
{
    m_headDeadline.reset();
    m_bodyStart = Clock::now();
    m_bodyReceived = 0;
}

ConnectionStream::Clock::time_point ConnectionStream::bodyDeadline() const
{
    const auto earned = std::chrono::milliseconds(m_bodyReceived * 1000 / FloorBytesPerSecond);
    return *m_bodyStart + BodyGrace + earned;
}

bool ConnectionStream::wait(short events, std::chrono::milliseconds timeout) const
{
    auto until = Clock::now() + timeout;
    if (m_headDeadline && *m_headDeadline < until)
        until = *m_headDeadline;
    if (events == POLLIN && m_bodyStart && bodyDeadline() < until)
        until = bodyDeadline();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fd{m_socket, events, 0};
        const int ready = ::poll(&fd, 1, int(left.count()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool ConnectionStream::is_readable() const
{
    return hasBufferedInput() || wait(POLLIN, m_readTimeout);
}

bool ConnectionStream::is_writable() const
{
    return wait(POLLOUT, m_writeTimeout);
}

ssize_t ConnectionStream::read(char *ptr, size_t size)
{
    if (!hasBufferedInput()) {
        if (!wait(POLLIN, m_readTimeout))
            return -1;
        ssize_t received;
        do {
            received = ::recv(m_socket, m_buffer, sizeof(m_buffer), 0);
        } while (received < 0 && errno == EINTR);
        if (received <= 0)
            return received;
        m_bufferOffset = 0;
        m_bufferSize = size_t(received);
        m_bodyReceived += received;
    }
    const size_t n = std::min(size, m_bufferSize - m_bufferOffset);
    std::memcpy(ptr, m_buffer + m_bufferOffset, n);
    m_bufferOffset += n;
    return ssize_t(n);
}

ssize_t ConnectionStream::write(const char *ptr, size_t size)
{
    if (!is_writable())
        return -1;
    ssize_t sent;
    do {
        sent = ::send(m_socket, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

void ConnectionStream::get_remote_ip_and_port(std::string &ip, int &port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::getpeername(m_socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        describe(address, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string &ip, int &port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        describe(address, ip, port);
}
