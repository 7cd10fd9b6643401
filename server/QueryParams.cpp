#include "QueryParams.h"

#include <QUrlQuery>
#include <httplib.h>

std::optional<QString> QueryParams::value(const httplib::Request &req, const QString &key)
{
    const std::string &target = req.target;
    const size_t question = target.find('?');
    if (question == std::string::npos)
        return std::nullopt;
    const QUrlQuery query(QString::fromUtf8(target.substr(question + 1)));
    if (!query.hasQueryItem(key))
        return std::nullopt;
    return query.queryItemValue(key, QUrl::FullyDecoded);
}

std::optional<qint64> QueryParams::integer(const httplib::Request &req, const QString &key)
{
    const std::optional<QString> text = value(req, key);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 number = text->toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}
