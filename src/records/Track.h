#pragma once

#include "JsonCoding.h"

#include <QString>

#include <optional>

// A playable piece of audio. Strict decoding: the constructor defaults do not apply to JSON.
// The explicit-content flag travels as "explicit"; `explicit` being a C++ keyword, the field is
// `isExplicit`.
struct Track
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString artist MEMBER artist)
    Q_PROPERTY(qint64 durationSeconds MEMBER durationSeconds)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(QString audioUrl MEMBER audioUrl)
    Q_PROPERTY(bool isLiked MEMBER isLiked)
    Q_PROPERTY(bool isExplicit MEMBER isExplicit)
    Q_PROPERTY(std::optional<QString> lyrics MEMBER lyrics)
    Q_PROPERTY(std::optional<QString> albumName MEMBER albumName)
    Q_PROPERTY(std::optional<QString> frequencyFM MEMBER frequencyFM)
    Q_PROPERTY(QString durationFormatted READ durationFormatted)

public:
    qint64 id = 0;
    QString title = {};
    QString artist = {};
    qint64 durationSeconds = 0;
    std::optional<QString> coverUrl = {};
    QString audioUrl = {};
    bool isLiked = false;
    bool isExplicit = false;
    std::optional<QString> lyrics = {};
    std::optional<QString> albumName = {};
    std::optional<QString> frequencyFM = {};

    // "LIVE" for a length of 0 (a live stream), otherwise minutes and seconds ("62:05").
    QString durationFormatted() const;

    static Track fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Track &, const Track &) = default;
};

size_t qHash(const Track &track, size_t seed = 0);

template <> struct JsonCoding<Track> : JsonCodingEntry<Track>
{
    static Track decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Track &track);
};
