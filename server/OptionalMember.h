#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// A NULL column is left out of a reply rather than sent as null.
inline void insertOptional(QJsonObject &object, const char *key, const std::optional<QString> &value)
{
    if (value)
        object.insert(QLatin1String(key), *value);
}
