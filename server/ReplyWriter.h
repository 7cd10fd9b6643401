#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Writes JSON straight into bytes, as QJsonDocument::Compact would write the same values (the
// caller gives each object's keys in the sorted order QJsonObject keeps), without building a
// document first: long lists cost their length, not a copy of every element on the way. Named
// apart from the records library's writer, which the service links too.
class ReplyWriter
{
public:
    explicit ReplyWriter(QByteArray &out)
        : m_out(out)
    {
    }

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(const char *name);
    // A key and its text, an integer, a flag, in one call.
    void member(const char *name, QByteArrayView utf8)
    {
        key(name);
        string(utf8);
    }
    void member(const char *name, qint64 value)
    {
        key(name);
        integer(value);
    }
    void flag(const char *name, bool value)
    {
        key(name);
        boolean(value);
    }

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
