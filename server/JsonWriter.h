#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Writes JSON straight into bytes, as QJsonDocument::Compact would write the same values (the
// caller gives each object's keys in the sorted order QJsonObject keeps), without building a
// document first: long lists cost their length, not a copy of every element on the way.
class JsonWriter
{
public:
    explicit JsonWriter(QByteArray &out)
        : m_out(out)
    {
    }

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(const char *name);

    // UTF-8 text, read as QString::fromUtf8 reads it (invalid bytes replaced, a leading BOM dropped).
    void string(QByteArrayView utf8);
    void integer(qint64 value);
    void boolean(bool value);
    // Bytes that already are one JSON value.
    void raw(QByteArrayView json);

private:
    void separate();
    void open(char bracket);
    void close(char bracket);
    void escaped(QByteArrayView utf8);

    QByteArray &m_out;
    bool m_needsComma = false;
};
