#pragma once

#include <QString>

// Texts and ranges the player screens show for positions and lengths.
namespace PlaybackTime {

// "%d:%02d" of whole minutes and seconds, truncated toward zero; no hour field (3725 gives
// "62:05"). A value that is not finite, or beyond what a 64-bit count of seconds holds, gives "0:00".
QString formatTime(double seconds);

// The upper end of the progress slider: the player's length once it is known and positive,
// otherwise the track's own length, and never less than 1 so that the range is never empty.
double sliderUpperBound(double playerDuration, qint64 trackDurationSeconds);

} // namespace PlaybackTime
