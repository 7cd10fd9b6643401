#pragma once

#include "JsonCoding.h"

#include <QString>

#include <optional>

// A radio station. Unlike the other records its JSON keys are its field names, in camel case.
struct RadioStation
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(double frequency MEMBER frequency)
    Q_PROPERTY(QString genre MEMBER genre)
    Q_PROPERTY(QString streamUrl MEMBER streamUrl)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(QString frequencyText READ frequencyText)

public:
    qint64 id = 0;
    QString name = {};
    double frequency = 0.0;
    QString genre = {};
    QString streamUrl = {};
    std::optional<QString> coverUrl = {};

    // One decimal, rounded: "101.7 FM", "88.0 FM".
    QString frequencyText() const;

    static RadioStation fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const RadioStation &, const RadioStation &) = default;
};

size_t qHash(const RadioStation &station, size_t seed = 0);

template <> struct JsonCoding<RadioStation> : JsonCodingEntry<RadioStation>
{
    static RadioStation decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const RadioStation &station);
};
