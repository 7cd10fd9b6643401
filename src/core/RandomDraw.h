#pragma once

#include <QSet>
#include <QString>

#include <functional>

// Random ids and texts for things the device makes itself (temporary posts, attachments,
// share links, playlists). The generator can be replaced, so that tests can force the draws
// that collide.
class RandomDraw
{
public:
    // Returns a uniformly drawn integer in [low, high]; both bounds included.
    using Generator = std::function<qint64(qint64 low, qint64 high)>;

    RandomDraw();
    explicit RandomDraw(Generator generator);

    // The process-wide drawer every model uses unless it is handed another.
    static RandomDraw &shared();

    qint64 integer(qint64 low, qint64 high) const;

    // An integer in [low, high] that `used` does not hold, redrawn until one is found. When
    // every value of the range is taken there is nothing to avoid, and a plain draw is returned.
    qint64 unusedInteger(qint64 low, qint64 high, const QSet<qint64> &used) const;

    // `length` characters, each drawn from `alphabet`.
    QString text(const QString &alphabet, int length) const;

    // The lower-case letters and digits that share links are made of.
    static QString lowerAlphanumerics();

    void setGenerator(Generator generator) { m_generator = std::move(generator); }

private:
    Generator m_generator;
};
