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

void serveFile(const QString &path, httplib::Response &res)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        Reply::refuse(res, QStringLiteral("Файл не найден"));
        res.status = 404;
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
        if (!path) {
            Reply::refuse(res, QStringLiteral("Файл не найден"));
            res.status = 404;
            return;
        }
        serveFile(*path, res);
    });
    server.Get("/Logo/vorlane\\.png", [&context](const httplib::Request &, httplib::Response &res) {
        serveFile(QDir(context.media.demoDir()).filePath(QStringLiteral("logo.png")), res);
    });
}
