#pragma once

#include "Video.h"

#include <QByteArray>
#include <QString>

// Videos in the service's wire form, for scripted replies.
namespace VideoSamples {

inline QByteArray json(qint64 id, const QString &title)
{
    Video video{.id = id, .title = title, .description = QStringLiteral("d"), .author = User{.id = 1}};
    video.createdAtFormatted = QStringLiteral("вчера");
    return video.toJson();
}

inline QByteArray list(std::initializer_list<std::pair<qint64, const char *>> videos)
{
    QByteArray body = "[";
    for (const auto &[id, title] : videos)
        body += (body.size() > 1 ? "," : "") + json(id, QString::fromUtf8(title));
    return body + "]";
}

inline QByteArray registered(qint64 id, const QString &title)
{
    return R"({"success": true, "message": "ok", "data": )" + json(id, title) + "}";
}

} // namespace VideoSamples
