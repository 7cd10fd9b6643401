#pragma once

#include <QAnyStringView>
#include <QString>

// Where a decoder stands inside a JSON value. Decoders build it on the stack as they descend and
// turn it into text only when they fail, so a successful decode never builds path strings.
class JsonPath
{
public:
    explicit JsonPath(const QString &root) : m_root(&root) {}
    JsonPath(const JsonPath &parent, QAnyStringView key) : m_parent(&parent), m_key(key) {}
    JsonPath(const JsonPath &parent, qsizetype index) : m_parent(&parent), m_index(index) {}

    JsonPath(const JsonPath &) = delete;
    JsonPath &operator=(const JsonPath &) = delete;

    // "data[3].author.id"; the empty text for the top-level value.
    QString toString() const;

private:
    void appendTo(QString &out) const;

    const JsonPath *m_parent = nullptr;
    const QString *m_root = nullptr;
    QAnyStringView m_key;
    qsizetype m_index = -1;
};
