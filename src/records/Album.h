#pragma once

#include "JsonCoding.h"
#include "Track.h"

#include <QList>
#include <QString>

#include <optional>

// Tracks grouped by album name, built on the device. Its JSON keeps "tracks" fourth, before
// "cover_url" and "release_year".
struct Album
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString artist MEMBER artist)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(QString releaseYear MEMBER releaseYear)
    Q_PROPERTY(QList<Track> tracks MEMBER tracks)

public:
    qint64 id = 0;
    QString title = {};
    QString artist = {};
    std::optional<QString> coverUrl = {};
    QString releaseYear = QStringLiteral("2026");
    QList<Track> tracks = {};

    static Album fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Album &, const Album &) = default;
};

size_t qHash(const Album &album, size_t seed = 0);

template <> struct JsonCoding<Album> : JsonCodingEntry<Album>
{
    static Album decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Album &album);
};
