// The media files (demo pictures and sounds, uploads) and the site logo, served with their
// content type and streamed from disk, so that a large video never sits in memory.
#include "MediaStore.h"
#include "Reply.h"
#include "Routes.h"
#include "ServiceContext.h"

#include <QDir>
#include <QFile>
#include <httplib.h>
#include <memory>

namespace {
constexpr qint64 ChunkSize = 256 * 1024;

// httplib 0.11 applies a Range header to streamed content without checking it against the
// length: a start past the end or an end beyond it announces bytes that never come, and several
// ranges are labelled with a total of 0. One range is clamped to the file (or refused when it
// starts past the end); several get the whole file, which a server may always send instead.
bool fitRanges(httplib::Ranges &ranges, qint64 size)
{
    if (ranges.size() > 1)
        ranges.clear();
    if (ranges.empty())
        return true;
    auto &[first, last] = ranges.front();
    if (first < 0) // the last `last` bytes, which httplib clamps itself
        return last > 0 && size > 0;
    if (first >= size)
        return false;
    if (last < 0 || last >= size)
        last = ssize_t(size - 1);
    return true;
}

// The request object itself is not const: httplib hands its handlers a const view of its own.
httplib::Ranges &rangesOf(const httplib::Request &req)
{
    return const_cast<httplib::Request &>(req).ranges;
}

void refuse(const httplib::Request &req, httplib::Response &res, int status, const QString &message)
{
    rangesOf(req).clear(); // or httplib would cut the refusal by the requested range
    Reply::refuse(res, message);
    res.status = status;
}

void serveFile(const httplib::Request &req, const QString &path, httplib::Response &res)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return refuse(req, res, 404, QStringLiteral("Файл не найден"));
    if (!fitRanges(rangesOf(req), file->size())) {
        refuse(req, res, 416, QStringLiteral("Некорректный диапазон"));
        res.set_header("Content-Range", "bytes */" + std::to_string(file->size()));
        return;
    }
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Cache-Control", "public, max-age=3600");
    res.set_content_provider(size_t(file->size()), MediaStore::contentType(path).toStdString(),
                             [file](size_t offset, size_t length, httplib::DataSink &sink) {
                                 if (!file->seek(qint64(offset)))
                                     return false;
                                 QByteArray chunk = file->read(qMin(qint64(length), ChunkSize));
                                 if (chunk.isEmpty())
                                     return false;
                                 return sink.write(chunk.constData(), size_t(chunk.size()));
                             });
}
}

void Routes::addMedia(httplib::Server &server, ServiceContext &context)
{
    server.Get("/media/.*", [&context](const httplib::Request &req, httplib::Response &res) {
        const std::optional<QString> path = context.media.resolve(QString::fromStdString(req.path));
        if (!path)
            return refuse(req, res, 404, QStringLiteral("Файл не найден"));
        serveFile(req, *path, res);
    });
    server.Get("/Logo/vorlane\\.png", [&context](const httplib::Request &req, httplib::Response &res) {
        serveFile(req, QDir(context.media.demoDir()).filePath(QStringLiteral("logo.png")), res);
    });
}
