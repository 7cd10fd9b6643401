#include "MultipartStream.h"

#include <QRegularExpression>

MultipartStream::MultipartStream(const QByteArray &boundary, PartStart onPart, PartData onData)
    : m_first("--" + boundary)
    , m_delimiter("\r\n--" + boundary)
    , m_onPart(std::move(onPart))
    , m_onData(std::move(onData))
{
}

std::optional<QByteArray> MultipartStream::boundaryOf(const std::string &contentType)
{
    static const QRegularExpression pattern(
        QStringLiteral("^multipart/form-data\\s*;.*\\bboundary=(\"([^\"]+)\"|([^\\s;\"]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromStdString(contentType));
    if (!match.hasMatch())
        return std::nullopt;
    const QByteArray boundary = (match.hasCaptured(2) ? match.captured(2) : match.captured(3)).toUtf8();
    if (boundary.isEmpty() || boundary.size() > 200)
        return std::nullopt;
    return boundary;
}

bool MultipartStream::feed(const char *data, size_t size)
{
    if (m_state == State::Failed)
        return false;
    if (m_state == State::Done)
        return true; // the epilogue is dropped
    m_buffer.append(data, qsizetype(size));
    if (!advance()) {
        m_state = State::Failed;
        m_buffer.clear();
        return false;
    }
    return true;
}

bool MultipartStream::advance()
{
    for (;;) {
        switch (m_state) {
        case State::Preamble: {
            const qsizetype at = m_buffer.indexOf(m_first);
            if (at < 0) {
                // Anything before the first boundary is dropped, all but what may begin it.
                m_buffer.remove(0, qMax<qsizetype>(0, m_buffer.size() - m_first.size() + 1));
                return true;
            }
            m_buffer.remove(0, at + m_first.size());
            m_state = State::AfterBoundary;
            break;
        }
        case State::AfterBoundary:
            if (m_buffer.size() < 2)
                return true;
            if (m_buffer.startsWith("--")) {
                m_state = State::Done;
                m_buffer.clear();
                return true;
            }
            if (!m_buffer.startsWith("\r\n"))
                return false;
            m_buffer.remove(0, 2);
            m_state = State::Headers;
            break;
        case State::Headers: {
            // The block ends at an empty line; it may itself be empty.
            const qsizetype end = m_buffer.startsWith("\r\n") ? 0 : m_buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return m_buffer.size() <= MaxHeaderBytes;
            if (end > MaxHeaderBytes || !startPart(m_buffer.left(end)))
                return false;
            m_buffer.remove(0, end == 0 ? 2 : end + 4);
            m_state = State::Content;
            break;
        }
        case State::Content: {
            const qsizetype at = m_buffer.indexOf(m_delimiter);
            // Without a delimiter, hold back only what may be the start of one.
            const qsizetype ready = at >= 0 ? at : qMax<qsizetype>(0, m_buffer.size() - m_delimiter.size() + 1);
            if (ready > 0 && !m_onData(m_buffer.constData(), size_t(ready)))
                return false;
            if (at < 0) {
                m_buffer.remove(0, ready);
                return true;
            }
            m_buffer.remove(0, at + m_delimiter.size());
            m_state = State::AfterBoundary;
            break;
        }
        case State::Done:
        case State::Failed:
            return m_state == State::Done;
        }
    }
}

bool MultipartStream::startPart(const QByteArray &headers)
{
    static const QRegularExpression disposition(QStringLiteral("^content-disposition:\\s*form-data\\s*;(.*)$"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression name(QStringLiteral("(?:^|;)\\s*name=\"([^\"]*)\""));
    static const QRegularExpression fileName(QStringLiteral(";\\s*filename=\"([^\"]*)\""));
    Part part;
    for (const QByteArray &line : headers.split('\n')) {
        const QRegularExpressionMatch match = disposition.match(QString::fromUtf8(line.trimmed()));
        if (!match.hasMatch())
            continue;
        const QString parameters = match.captured(1);
        part.name = name.match(parameters).captured(1).toUtf8();
        part.fileName = fileName.match(parameters).captured(1).toUtf8();
    }
    return m_onPart(part);
}
