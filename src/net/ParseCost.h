#pragma once

#include "DecodingError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// What the JSON reader would hold to read a reply: it indexes every token and gives every value a
// slot of its own, so that a reply of bare numbers costs twelve times its size. The service's
// records cost at most about three and a half times theirs; a large reply far denser than any of
// them is refused before it is read.
class ParseCost
{
public:
    // The reader's bytes for this JSON, as the reader would count them.
    static qint64 estimate(QByteArrayView json);
    // The failure for a reply too dense to read, as the reader gives when its buffers run out;
    // none for any other reply.
    static std::optional<DecodingError> refusal(const QByteArray &body);

    // Smaller replies are read whatever their density, sparing the common ones the look: the
    // densest costs about a hundred MiB, for a moment.
    static constexpr qint64 checkedFrom = 8 * 1024 * 1024;
    // The most the reader may hold for a large reply, in multiples of its size.
    static constexpr qint64 maxFactor = 5;
};
