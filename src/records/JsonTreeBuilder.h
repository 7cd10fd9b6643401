#pragma once

#include "JsonTree.h"

#include <QByteArray>
#include <QJsonValue>

#include <vector>

// The nodes of a JsonTree straight from a value Qt already parsed. Texts are kept in their escaped
// JSON form, so that a lone surrogate survives, which plain UTF-8 cannot carry; a 64-bit integer
// that Qt holds exactly stays an integer.
class JsonTreeBuilder
{
public:
    static void build(const QJsonValue &value, QByteArray &bytes, std::vector<JsonTree::Node> &nodes);
};
