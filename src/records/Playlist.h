#pragma once

#include "JsonCoding.h"
#include "Track.h"

#include <QList>
#include <QString>

#include <optional>

// A playlist made on the device. Its JSON keeps "tracks" fourth, after "description".
struct Playlist
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString description MEMBER description)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(bool isPublic MEMBER isPublic)
    Q_PROPERTY(std::optional<QString> shareUrl MEMBER shareUrl)
    Q_PROPERTY(QList<Track> tracks MEMBER tracks)

public:
    qint64 id = 0;
    QString name = {};
    QString description = {};
    std::optional<QString> coverUrl = {};
    bool isPublic = true;
    std::optional<QString> shareUrl = {};
    QList<Track> tracks = {};

    static Playlist fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Playlist &, const Playlist &) = default;
};

size_t qHash(const Playlist &playlist, size_t seed = 0);

template <> struct JsonCoding<Playlist> : JsonCodingEntry<Playlist>
{
    static Playlist decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Playlist &playlist);
};
