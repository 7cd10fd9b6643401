#include "JsonTreeBuilder.h"

#include "JsonWriter.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <cstring>

namespace {

class Builder
{
public:
    Builder(QByteArray &bytes, std::vector<JsonTree::Node> &nodes) : m_bytes(bytes), m_nodes(nodes) {}

    void value(const QJsonValue &value)
    {
        switch (value.type()) {
        case QJsonValue::Null:
            finish(add(JsonTree::Type::Null));
            return;
        case QJsonValue::Bool:
            finish(add(value.toBool() ? JsonTree::Type::True : JsonTree::Type::False));
            return;
        case QJsonValue::Double: {
            // Qt keeps a 64-bit integer exact underneath; a double with a whole value inside 64
            // bits (5.0) is an integer too, as the parser makes it.
            const QCborValue number = QCborValue::fromJsonValue(value);
            const double real = number.toDouble();
            const bool wholeDouble = real >= -0x1p63 && real < 0x1p63 && std::trunc(real) == real;
            const quint32 index =
                add(number.isInteger() || wholeDouble ? JsonTree::Type::Integer : JsonTree::Type::Double);
            JsonTree::Node &node = m_nodes[index];
            node.number = real;
            node.integer = number.isInteger() ? number.toInteger() : wholeDouble ? static_cast<qint64>(real) : 0;
            finish(index);
            return;
        }
        case QJsonValue::String:
            string(value.toString());
            return;
        case QJsonValue::Array: {
            const QJsonArray array = value.toArray();
            const quint32 index = add(JsonTree::Type::Array);
            for (const QJsonValue element : array)
                this->value(element);
            m_nodes[index].length = static_cast<quint32>(array.size());
            finish(index);
            return;
        }
        case QJsonValue::Object: {
            const QJsonObject object = value.toObject();
            const quint32 index = add(JsonTree::Type::Object);
            for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
                string(it.key());
                this->value(it.value());
            }
            m_nodes[index].length = static_cast<quint32>(object.size());
            finish(index);
            return;
        }
        default:
            finish(add(JsonTree::Type::Undefined));
        }
    }

    void finishBytes() { m_bytes = m_writer.take(); }

private:
    quint32 add(JsonTree::Type type) { return JsonTree::appendNode(m_nodes, type); }
    void finish(quint32 index) { JsonTree::closeNode(m_nodes, index); }

    // Every text goes into one writer, whose output becomes the tree's bytes at the end (the
    // commas it puts between them lie outside every node).
    void string(const QString &text)
    {
        const qsizetype before = m_writer.data().size();
        m_writer.string(text);
        const QByteArray &written = m_writer.data();
        const qsizetype quote = written.indexOf('"', before);
        const quint32 index = add(JsonTree::Type::String);
        JsonTree::Node &node = m_nodes[index];
        node.begin = static_cast<quint32>(quote + 1);
        node.length = static_cast<quint32>(written.size() - quote - 2);
        node.escaped = std::memchr(written.constData() + node.begin, '\\', node.length) != nullptr;
        finish(index);
    }

    QByteArray &m_bytes;
    std::vector<JsonTree::Node> &m_nodes;
    JsonWriter m_writer;
};

} // namespace

void JsonTreeBuilder::build(const QJsonValue &value, QByteArray &bytes, std::vector<JsonTree::Node> &nodes)
{
    Builder builder(bytes, nodes);
    builder.value(value);
    builder.finishBytes();
}
