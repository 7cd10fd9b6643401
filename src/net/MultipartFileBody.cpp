#include "MultipartFileBody.h"

#include <QUuid>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

qint64 fileSize(int fd)
{
    struct stat status = {};
    return ::fstat(fd, &status) == 0 ? qint64(status.st_size) : 0;
}

} // namespace

MultipartFileBody::MultipartFileBody(int fd, const QString &fileName, const QString &boundary)
    : m_head(head(fileName, boundary))
    // The reader goes before this object (a member), and so never calls into a body half gone.
    , m_file(fd, fileSize(fd),
             [this] { QMetaObject::invokeMethod(this, [this] { Q_EMIT readyRead(); }, Qt::QueuedConnection); })
    , m_tail(tail(boundary))
{
    // Unbuffered: QIODevice then asks readData() at the logical position, as QBuffer does.
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

QString MultipartFileBody::newBoundary()
{
    return QStringLiteral("Boundary-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QByteArray MultipartFileBody::escapedFileName(const QString &fileName)
{
    QByteArray escaped;
    const QByteArray utf8 = fileName.toUtf8();
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '"')
            escaped += "%22";
        else if (c == '\r')
            escaped += "%0D";
        else if (c == '\n')
            escaped += "%0A";
        else
            escaped += c;
    }
    return escaped;
}

QByteArray MultipartFileBody::head(const QString &fileName, const QString &boundary)
{
    return "--" + boundary.toUtf8() + "\r\n"
           + "Content-Disposition: form-data; name=\"file\"; filename=\"" + escapedFileName(fileName) + "\"\r\n"
           + "Content-Type: application/octet-stream\r\n\r\n";
}

QByteArray MultipartFileBody::tail(const QString &boundary)
{
    return "\r\n--" + boundary.toUtf8() + "--\r\n";
}

qint64 MultipartFileBody::size() const
{
    return m_head.size() + m_file.size() + m_tail.size();
}

bool MultipartFileBody::seek(qint64 position)
{
    if (position < 0 || position > size())
        return false;
    return QIODevice::seek(position);
}

qint64 MultipartFileBody::readData(char *data, qint64 maxSize)
{
    qint64 position = pos();
    qint64 done = 0;
    while (done < maxSize && position < size()) {
        qint64 count = 0;
        if (position < m_head.size()) {
            count = std::min<qint64>(maxSize - done, m_head.size() - position);
            std::memcpy(data + done, m_head.constData() + position, size_t(count));
        } else if (position < m_head.size() + m_file.size()) {
            count = m_file.read(position - m_head.size(), data + done, maxSize - done);
            // A file that shrank or failed under us cannot give the length already announced.
            if (count < 0)
                return -1;
            // The rest is still on its way from the disk.
            if (count == 0)
                break;
        } else {
            const qint64 inTail = position - m_head.size() - m_file.size();
            count = std::min<qint64>(maxSize - done, m_tail.size() - inTail);
            std::memcpy(data + done, m_tail.constData() + inTail, size_t(count));
        }
        done += count;
        position += count;
    }
    return done;
}

qint64 MultipartFileBody::writeData(const char *, qint64)
{
    return -1;
}
