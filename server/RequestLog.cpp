#include "RequestLog.h"

#include <QFile>

#include <httplib.h>

RequestLog::~RequestLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool RequestLog::open(const QString &path, QString &error)
{
    m_file = std::fopen(QFile::encodeName(path).constData(), "a");
    if (!m_file) {
        error = QStringLiteral("cannot write the request log %1").arg(path);
        return false;
    }
    return true;
}

void RequestLog::write(const httplib::Request &request, const httplib::Response &response)
{
    const std::lock_guard guard(m_lock);
    if (!m_file)
        return;
    // Flushed at once: the reader looks while the service runs, and a killed service loses nothing.
    std::fprintf(m_file, "%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
    std::fflush(m_file);
}
