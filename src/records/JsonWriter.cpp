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

void JsonWriter::beginObject()
{
    separate();
    m_out += '{';
    m_needComma = false;
}

void JsonWriter::endObject()
{
    m_out += '}';
    m_needComma = true;
}

void JsonWriter::beginArray()
{
    separate();
    m_out += '[';
    m_needComma = false;
}

void JsonWriter::endArray()
{
    m_out += ']';
    m_needComma = true;
}

void JsonWriter::key(QLatin1StringView name)
{
    key(QString(name));
}

void JsonWriter::key(QStringView name)
{
    separate();
    appendEscaped(name.toUtf8());
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
    if (std::isfinite(value))
        m_out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    else
        m_out += "null";
    m_needComma = true;
}

void JsonWriter::string(QStringView value)
{
    separate();
    appendEscaped(value.toUtf8());
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

void JsonWriter::appendEscaped(const QByteArray &utf8)
{
    static const char hex[] = "0123456789abcdef";
    m_out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
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
        default:
            if (byte < 0x20) {
                m_out += "\\u00";
                m_out += hex[byte >> 4];
                m_out += hex[byte & 0xf];
            } else {
                m_out += c;
            }
        }
    }
    m_out += '"';
}
