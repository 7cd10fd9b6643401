#include "JsonTree.h"

#include "JsonNode.h"
#include "JsonParser.h"
#include "JsonTreeBuilder.h"

JsonTree JsonTree::parse(const QByteArray &bytes)
{
    JsonTree tree;
    tree.m_bytes = bytes;
    // About one node per eight bytes of a typical reply: reserve to avoid regrowing.
    tree.m_nodes.reserve(static_cast<std::size_t>(bytes.size() / 8 + 4));
    JsonParser::parse(tree.m_bytes, tree.m_nodes);
    return tree;
}

JsonTree JsonTree::fromJsonValue(const QJsonValue &value)
{
    JsonTree tree;
    JsonTreeBuilder::build(value, tree.m_bytes, tree.m_nodes);
    return tree;
}

JsonNode JsonTree::root() const
{
    return JsonNode(this, 0);
}
