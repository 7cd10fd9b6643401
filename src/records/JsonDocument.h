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
// Most documents are parsed whole, at once, onto simdjson's tape, which checks every byte and
// which the decoders then read without further checks. What the tape refuses, what is too large
// for it and the rare number whose digits matter (see JsonNodeTape.cpp) is read from the bytes
// instead, where values are checked as they are read: the faults named and the values read are
// the same either way. A decoder on the bytes that fails early, on a value of the wrong kind, has
// not seen the rest: decode() then checks the whole document, so that bytes which are not JSON
// fail as InvalidJson wherever the fault lies, as if they had been checked first.
class JsonDocument
{
public:
    // Streamed reads every document from its bytes: the reference the tape is tested against.
    enum class Reading : quint8 { Fastest, Streamed };

    explicit JsonDocument(const QByteArray &bytes, Reading reading = Reading::Fastest);
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

    // Thrown by a node on the tape when only the bytes can tell what a value holds; the document
    // then reads them and decodes again.
    struct NeedsDigits
    {
    };

private:
    JsonNode root();
    void readBytes();
    void finish();
    // Bytes found not to be JSON stay so: simdjson gives up on a document at its first fault, and
    // reading it again would start from a reader that no longer holds its parser.
    void rememberNotJson(const DecodingError &error);

    struct Private;
    std::unique_ptr<Private> d;
};
