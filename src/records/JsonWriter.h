#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>

// Compact UTF-8 JSON written in call order. Texts are escaped where JSON needs it (quotes,
// backslash, control characters); a lone UTF-16 surrogate, which UTF-8 cannot carry, is written
// as a \u escape so that it reads back unchanged. QJsonObject sorts its keys, while the records must be
// written in the order of their key tables, hence this small writer. Commas are placed by the
// writer; callers only open, name and close.
class JsonWriter
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // Names the next value inside an object.
    void key(QLatin1StringView name);
    void key(QStringView name);

    void integer(qint64 value);
    void boolean(bool value);
    // The shortest text that reads back as the same double, always with a fraction or an exponent
    // ("88.0", "-0.0") so that it reads back as a double. JSON has no NaN or infinity: those are
    // written as null.
    void number(double value);
    void string(QStringView value);
    void null();

    const QByteArray &data() const { return m_out; }
    QByteArray take();

private:
    void separate();
    void open(char bracket);
    void close(char bracket);
    void appendEscaped(QStringView text);
    void appendEscapedUtf8(const QByteArray &utf8);

    QByteArray m_out;
    bool m_needComma = false;
    bool m_afterKey = false;
};
