#pragma once

#include "JsonTree.h"

#include <QLatin1StringView>
#include <QString>

// One value inside a JsonTree; cheap to copy, valid while the tree lives.
class JsonNode
{
public:
    using Type = JsonTree::Type;

    JsonNode(const JsonTree *tree, quint32 index) : m_tree(tree), m_index(index) {}

    Type type() const { return data().type; }
    bool isUndefined() const { return type() == Type::Undefined; }
    bool isNull() const { return type() == Type::Null; }
    bool isBool() const { return type() == Type::True || type() == Type::False; }
    bool isTrue() const { return type() == Type::True; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isDouble() const { return type() == Type::Double; }
    bool isString() const { return type() == Type::String; }
    bool isArray() const { return type() == Type::Array; }
    bool isObject() const { return type() == Type::Object; }

    qint64 toInteger() const { return data().integer; }
    // A number as a double: the nearest one to the text, also for an integer.
    double toDouble() const { return data().number; }
    QString toString() const;
    // For a string: whether it is exactly `text`.
    bool equals(QLatin1StringView text) const;

    // Elements of an array, members of an object.
    qsizetype size() const { return data().length; }
    // The first element, or an object's first key (its value follows it).
    JsonNode firstChild() const { return JsonNode(m_tree, m_index + 1); }
    // The value after this one and everything inside it.
    JsonNode next() const { return JsonNode(m_tree, data().end); }

private:
    const JsonTree::Node &data() const { return m_tree->node(m_index); }

    const JsonTree *m_tree;
    quint32 m_index;
};
