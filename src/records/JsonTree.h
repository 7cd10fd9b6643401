#pragma once

#include <QByteArray>
#include <QJsonValue>

#include <vector>

class JsonNode;

// A JSON text parsed into one flat array of nodes that point into the original bytes. Texts stay
// UTF-8 until a decoder asks for them, and object keys are compared against a record's key table
// as bytes, so decoding a whole reply into records costs less than QJsonDocument::fromJson alone
// (whose objects would also make every key lookup a scan, or a QString per member).
//
// The grammar is RFC 8259, stricter than QJsonDocument: raw control characters in strings,
// unknown escapes, "1." and ".5" are refused; a leading byte-order mark is skipped. Any value may stand at the top,
// numbers out of the double range are refused, and of duplicate keys the last one counts. A number whose exact value is
// whole and inside 64 bits is an Integer however it is written ("5.0", "1e2"); every number also carries its nearest
// double.
class JsonTree
{
public:
    enum class Type : quint8 { Undefined, Null, False, True, Integer, Double, String, Array, Object };

    struct Node
    {
        Type type = Type::Undefined;
        bool escaped = false; // a string holding backslash escapes
        quint32 begin = 0;    // a string's bytes, inside the quotes
        quint32 length = 0;   // a string's byte count; an array's elements or an object's members
        quint32 end = 0;      // index of the node after this value (and its children)
        qint64 integer = 0;
        double number = 0.0;
    };

    // Throws DecodingError (InvalidJson) for bytes that are not one JSON value.
    static JsonTree parse(const QByteArray &bytes);
    // The same tree for a value that Qt already parsed; an undefined value becomes a missing one.
    static JsonTree fromJsonValue(const QJsonValue &value);

    JsonNode root() const;

    // For the parser and the builder, which lay the nodes out in document order: a new node of
    // `type` at the end, by index, and its `end` set once its children are in.
    static quint32 appendNode(std::vector<Node> &nodes, Type type)
    {
        Node node;
        node.type = type;
        nodes.push_back(node);
        return static_cast<quint32>(nodes.size() - 1);
    }
    static void closeNode(std::vector<Node> &nodes, quint32 index)
    {
        nodes[index].end = static_cast<quint32>(nodes.size());
    }

    const Node &node(quint32 index) const { return m_nodes[index]; }
    const char *bytes() const { return m_bytes.constData(); }

private:
    QByteArray m_bytes;
    std::vector<Node> m_nodes;
};
