#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <string>

// multipart/form-data read as it arrives, with bounded memory: a part's header block may not
// grow past a small limit, and content goes on in pieces while only a boundary's length of it
// is held back. (httplib's own parser holds a header line whole, however long it grows.)
class MultipartStream
{
public:
    struct Part
    {
        QByteArray name;
        QByteArray fileName; // empty when the part has none
    };
    // Both return false to stop reading.
    using PartStart = std::function<bool(const Part &)>;
    using PartData = std::function<bool(const char *, size_t)>;

    static constexpr qsizetype MaxHeaderBytes = 16 * 1024;

    MultipartStream(const QByteArray &boundary, PartStart onPart, PartData onData);

    // The boundary named in a Content-Type header, or nothing.
    static std::optional<QByteArray> boundaryOf(const std::string &contentType);

    // Takes the next bytes; false once the body is malformed or a callback stopped.
    bool feed(const char *data, size_t size);
    // The closing boundary has arrived.
    bool isComplete() const { return m_state == State::Done; }

private:
    enum class State { Preamble, AfterBoundary, Headers, Content, Done, Failed };
    // Moves on as far as the buffer allows; false on failure.
    bool advance();
    bool startPart(const QByteArray &headers);

    QByteArray m_first;     // "--" boundary
    QByteArray m_delimiter; // CRLF "--" boundary
    PartStart m_onPart;
    PartData m_onData;
    QByteArray m_buffer;
    State m_state = State::Preamble;
};
