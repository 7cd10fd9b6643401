#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

// Writes JSON straight into bytes, as QJsonDocument::Compact would write the same values (the
// caller gives each object's keys in the sorted order QJsonObject keeps), without building a
// document first: long lists cost their length, not a copy of every element on the way. Named
// apart from the records library's writer, which the service links too. The bytes go straight
// into `out`'s storage, grown by doubling; until the writer is destroyed (or finish() is called)
// `out` holds unused room past the end, so nothing else may touch it meanwhile.
class ReplyWriter
{
public:
    explicit ReplyWriter(QByteArray &out) : m_out(out), m_size(out.size()) {}
    ~ReplyWriter() { finish(); }
    ReplyWriter(const ReplyWriter &) = delete;
    ReplyWriter &operator=(const ReplyWriter &) = delete;
    // Cuts `out` to what was written.
    void finish() { m_out.truncate(m_size); }

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

    // UTF-8 text, read as QString::fromUtf8 reads it (invalid bytes replaced, a leading BOM dropped),
    // after `plain`, which needs no escaping (the site address before a site-relative one).
    void string(QByteArrayView utf8, QByteArrayView plain = {});
    void integer(qint64 value);
    void boolean(bool value);
    // Bytes that already are one JSON value.
    void raw(QByteArrayView json);
    // A list of the values `items` holds, written with commas between them and no brackets.
    void list(QByteArrayView items);

private:
    void put(const char *data, qsizetype size)
    {
        if (size == 0)
            return;
        if (m_size + size > m_out.size())
            grow(size);
        std::memcpy(m_out.data() + m_size, data, size_t(size));
        m_size += size;
    }
    void put(QByteArrayView bytes) { put(bytes.data(), bytes.size()); }
    void put(char c) { put(&c, 1); }
    void grow(qsizetype needed);
    void separate();
    void open(char bracket);
    void close(char bracket);
    void escaped(QByteArrayView utf8);

    QByteArray &m_out;
    qsizetype m_size;
    bool m_needsComma = false;
};
