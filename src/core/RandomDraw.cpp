#include "RandomDraw.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace {
qint64 systemDraw(qint64 low, qint64 high)
{
    if (low >= high)
        return low;
    // bounded() takes an exclusive upper bound; the full 64-bit span needs the raw draw.
    const quint64 span = quint64(high) - quint64(low);
    if (span == std::numeric_limits<quint64>::max())
        return qint64(QRandomGenerator::global()->generate64());
    return qint64(quint64(low) + QRandomGenerator::global()->bounded(span + 1));
}
}

RandomDraw::RandomDraw() : m_generator(systemDraw) {}

RandomDraw::RandomDraw(Generator generator) : m_generator(std::move(generator)) {}

RandomDraw &RandomDraw::shared()
{
    static RandomDraw drawer;
    return drawer;
}

qint64 RandomDraw::integer(qint64 low, qint64 high) const
{
    return std::clamp(m_generator(low, high), low, high);
}

qint64 RandomDraw::unusedInteger(qint64 low, qint64 high, const QSet<qint64> &used) const
{
    qint64 inRange = 0;
    for (const qint64 id : used)
        inRange += (id >= low && id <= high) ? 1 : 0;
    const bool allTaken = high >= low && quint64(inRange) > quint64(high) - quint64(low);
    qint64 value = integer(low, high);
    while (!allTaken && used.contains(value))
        value = integer(low, high);
    return value;
}

QString RandomDraw::text(const QString &alphabet, int length) const
{
    QString out;
    if (alphabet.isEmpty())
        return out;
    out.reserve(length);
    for (int i = 0; i < length; ++i)
        out.append(alphabet.at(qsizetype(integer(0, alphabet.size() - 1))));
    return out;
}

QString RandomDraw::lowerAlphanumerics()
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
}
