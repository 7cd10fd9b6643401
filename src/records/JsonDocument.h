#pragma once

#include "DecodingError.h"
#include "JsonNode.h"

#include <QByteArray>

#include <memory>
#include <optional>

// JSON bytes indexed once by simdjson, ready to be read by the records' decoders, as many times as
// a caller needs: the reply decoder reads one reply first as an envelope and then as the bare value.
//
// The grammar is RFC 8259: any value may stand at the top; a leading byte-order mark is skipped
// (a PHP file saved with one puts it before every reply, and JSON readers may ignore it); invalid
// UTF-8, raw control characters in texts, unknown escapes and escapes of lone surrogates (which
// no Unicode text can hold) are refused, as are numbers beyond the double range and containers
// nested deeper than 512.
//
// Values are checked as they are read. A decoder that fails early, on a value of the wrong kind,
// has not seen the rest: decode() then checks the whole document, so that bytes which are not JSON
// fail as InvalidJson wherever the fault lies, as if they had been checked first.
class JsonDocument
{
public:
    explicit JsonDocument(const QByteArray &bytes);
    ~JsonDocument();
    JsonDocument(const JsonDocument &) = delete;
    JsonDocument &operator=(const JsonDocument &) = delete;

    // Throws DecodingError; kind InvalidJson for bytes that are not JSON.
    template <class T> T decode(const QString &path = {});

    // As decode(), but a failure is the decoder's own, even when the bytes turn out not to be
    // JSON further on; ask notJson() before reporting it. A success has read every byte.
    template <class T> T decodeUnchecked(const QString &path = {});

    // The InvalidJson failure for bytes that are not one JSON value; none for JSON.
    std::optional<DecodingError> notJson();

private:
    JsonNode root();
    void finish();
    // Bytes found not to be JSON stay so: simdjson gives up on a document at its first fault, and
    // reading it again would start from a reader that no longer holds its parser.
    void rememberNotJson(const DecodingError &error);

    struct Private;
    std::unique_ptr<Private> d;
};
