#pragma once

#include <QString>

#include <cstdio>
#include <mutex>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

// One line a request answered ("GET /media/demo/sleeve-2.png 200"), appended to a file, so that a
// test can tell which requests reached the service and which never did.
class RequestLog
{
public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog &) = delete;
    RequestLog &operator=(const RequestLog &) = delete;

    // Opens the file for appending; false with a reason when it cannot be written.
    bool open(const QString &path, QString &error);
    // Called by the server's threads once a request's answer is decided, before it is sent.
    void write(const httplib::Request &request, const httplib::Response &response);

private:
    std::mutex m_lock;
    std::FILE *m_file = nullptr;
};
