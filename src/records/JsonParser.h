#pragma once

#include "JsonTree.h"

#include <QByteArray>

#include <vector>

// The RFC 8259 grammar over bytes, into the flat nodes of a JsonTree.
class JsonParser
{
public:
    // Throws DecodingError (InvalidJson) for bytes that are not one JSON value.
    static void parse(const QByteArray &bytes, std::vector<JsonTree::Node> &nodes);
};
