#pragma once

#include "DecodingError.h"
#include "JsonNode.h"

#include <QByteArray>

#include <memory>
#include <optional>

// JSON bytes parsed and checked whole by simdjson, ready to be read by the records' decoders as
// many times as a caller needs: the reply decoder reads one reply first as an envelope and then as
// the bare value.
//
// The grammar is RFC 8259: any value may stand at the top; a leading byte-order mark is skipped
// (a PHP file saved with one puts it before every reply, and JSON readers may ignore it); invalid
// UTF-8, raw control characters in texts, unknown escapes and escapes of lone surrogates (which
// no Unicode text can hold) are refused, as are numbers beyond the double range and containers
// nested deeper than 512. A number below the double range is read as the nearest double, zero.
// Bytes that are not JSON fail as InvalidJson before any decoder looks at them, wherever the fault.
class JsonDocument
{
public:
    explicit JsonDocument(const QByteArray &bytes);
    ~JsonDocument();
    JsonDocument(const JsonDocument &) = delete;
    JsonDocument &operator=(const JsonDocument &) = delete;

    // Throws DecodingError; kind InvalidJson for bytes that are not JSON.
    template <class T> T decode(const QString &path = {});
    // The bytes are checked before any decoding: the same as decode().
    template <class T> T decodeUnchecked(const QString &path = {}) { return decode<T>(path); }

    // The InvalidJson failure for bytes that are not one JSON value; none for JSON.
    std::optional<DecodingError> notJson() const;

    // Thrown by a node when only the number's digits can tell what it holds; the document then
    // finds them and decodes again.
    struct NeedsDigits
    {
    };

private:
    JsonNode root() const;
    void readDigits();

    struct Private;
    std::unique_ptr<Private> d;
};
