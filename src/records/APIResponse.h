#pragma once

#include "JsonCoding.h"
#include "JsonFields.h"

#include <QString>

#include <optional>

// The reply envelope of write operations. Its keys are the field names; "success" is required,
// "message" and "data" are absent when missing or null. A "data" that is not a T refuses the
// whole envelope.
template <class T> struct APIResponse
{
    bool success = false;
    std::optional<QString> message = {};
    std::optional<T> data = {};
};

namespace APIResponseKeys {
enum Key { Success, Message, Data, KeyCount };
inline constexpr JsonKeys<KeyCount> keys = {
    QLatin1StringView("success"),
    QLatin1StringView("message"),
    QLatin1StringView("data"),
};
} // namespace APIResponseKeys

template <class T> struct JsonCoding<APIResponse<T>> : JsonCodingEntry<APIResponse<T>>
{
    static APIResponse<T> decodeAt(JsonNode value, const JsonPath &path)
    {
        using namespace APIResponseKeys;
        JsonFields<bool, QString, T> fields(value, path, keys);
        return APIResponse<T>{
            .success = fields.template required<Success>(),
            .message = fields.template optional<Message>(),
            .data = fields.template optional<Data>(),
        };
    }

    static void encode(JsonWriter &writer, const APIResponse<T> &response)
    {
        using namespace APIResponseKeys;
        writer.beginObject();
        JsonWrite::field(writer, keys[Success], response.success);
        JsonWrite::field(writer, keys[Message], response.message);
        JsonWrite::field(writer, keys[Data], response.data);
        writer.endObject();
    }
};
