#pragma once

#include "Track.h"

#include <optional>

// Tracks for the player tests, built field by field so that only what a test cares about shows.
inline Track makeTrack(qint64 id, const QString &audioUrl, qint64 durationSeconds = 180,
                       const QString &title = QStringLiteral("Песня"), const QString &artist = QStringLiteral("Исполнитель"))
{
    Track track;
    track.id = id;
    track.title = title;
    track.artist = artist;
    track.durationSeconds = durationSeconds;
    track.audioUrl = audioUrl;
    return track;
}
