#include "JsonWriter.h"

#include <QLocale>
#include <QString>

#include <cmath>

void JsonWriter::separate()
{
    if (m_afterKey)
        m_afterKey = false;
    else if (m_needComma)
        m_out += ',';
}

void JsonWriter::open(char bracket)
{
    separate();
    m_out += bracket;
    m_needComma = false;
}

void JsonWriter::close(char bracket)
{
    m_out += bracket;
    m_needComma = true;
}

void JsonWriter::beginObject()
{
    open('{');
}

void JsonWriter::endObject()
{
    close('}');
}

void JsonWriter::beginArray()
{
    open('[');
}

void JsonWriter::endArray()
{
    close(']');
}

void JsonWriter::key(QLatin1StringView name)
{
    key(QString(name));
}

void JsonWriter::key(QStringView name)
{
    separate();
    appendEscaped(name);
    m_out += ':';
    m_afterKey = true;
}

void JsonWriter::integer(qint64 value)
{
    separate();
    m_out += QByteArray::number(value);
    m_needComma = true;
}

void JsonWriter::boolean(bool value)
{
    separate();
    m_out += value ? "true" : "false";
    m_needComma = true;
}

void JsonWriter::number(double value)
{
    separate();
    if (value == 0 && std::signbit(value)) {
        m_out += "-0.0"; // QByteArray::number() drops the sign of zero
    } else if (std::isfinite(value)) {
        const QByteArray text = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
        m_out += text;
        if (!text.contains('.') && !text.contains('e'))
            m_out += ".0";
    } else {
        m_out += "null";
    }
    m_needComma = true;
}

void JsonWriter::string(QStringView value)
{
    separate();
    appendEscaped(value);
    m_needComma = true;
}

void JsonWriter::null()
{
    separate();
    m_out += "null";
    m_needComma = true;
}

QByteArray JsonWriter::take()
{
    m_needComma = false;
    m_afterKey = false;
    return std::exchange(m_out, {});
}

void JsonWriter::appendEscaped(QStringView text)
{
    m_out += '"';
    if (text.isValidUtf16()) {
        appendEscapedUtf8(text.toUtf8());
        m_out += '"';
        return;
    }
    // Runs of well-formed text go through UTF-8; each lone surrogate becomes \uXXXX.
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!c.isSurrogate())
            continue;
        appendEscapedUtf8(text.sliced(runStart, i - runStart).toUtf8());
        m_out += "\\u";
        m_out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
        runStart = i + 1;
    }
    appendEscapedUtf8(text.sliced(runStart).toUtf8());
    m_out += '"';
}

// The body of a string, without its quotes. Runs that need no escape are copied whole.
void JsonWriter::appendEscapedUtf8(const QByteArray &utf8)
{
    static const char hex[] = "0123456789abcdef";
    const char *run = utf8.constData();
    const char *const end = run + utf8.size();
    for (const char *p = run; p != end; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte != '"' && byte != '\\')
            continue;
        m_out.append(run, p - run);
        run = p + 1;
        switch (byte) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\b':
            m_out += "\\b";
            break;
        case '\f':
            m_out += "\\f";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default: {
            const char escape[] = {'\\', 'u', '0', '0', hex[byte >> 4], hex[byte & 0xf]};
            m_out.append(escape, sizeof escape);
        }
        }
    }
    m_out.append(run, end - run);
}
