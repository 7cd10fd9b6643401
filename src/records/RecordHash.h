#pragma once

#include <QHashFunctions>

#include <optional>

// Hash of an optional field: absent and present hash apart, so that a record hashes over every
// stored field as its equality compares them.
template <class T> size_t qHashOptional(const std::optional<T> &value, size_t seed)
{
    return value ? qHash(*value, qHashMulti(seed, true)) : qHash(false, seed);
}
