#pragma once

#include <QString>
#include <optional>

class Database;
class MediaStore;

// What every script handler needs: the data, the media folder, and the address the service
// answers at, from which the absolute addresses in replies are made.
struct ServiceContext
{
    Database &db;
    MediaStore &media;
    QString siteUrl; // "http://127.0.0.1:<port>", set once the port is bound

    // Site-relative addresses ("/media/...") as absolute ones; anything else as it was stored.
    QString absolute(const QString &address) const
    {
        return address.startsWith(QLatin1Char('/')) ? siteUrl + address : address;
    }
    std::optional<QString> absolute(const std::optional<QString> &address) const
    {
        return address ? std::optional<QString>(absolute(*address)) : std::nullopt;
    }
};
