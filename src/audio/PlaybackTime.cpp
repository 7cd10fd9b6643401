#include "PlaybackTime.h"

#include <algorithm>
#include <cmath>

namespace PlaybackTime {

QString formatTime(double seconds)
{
    // 2^63 is exact as a double; anything at or past it does not fit in a qint64.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(seconds) || seconds >= limit || seconds <= -limit)
        return QStringLiteral("0:00");
    const auto whole = static_cast<qint64>(seconds);
    return QString::asprintf("%lld:%02lld", static_cast<long long>(whole / 60), static_cast<long long>(whole % 60));
}

double sliderUpperBound(double playerDuration, qint64 trackDurationSeconds)
{
    if (std::isfinite(playerDuration) && playerDuration > 0)
        return playerDuration;
    return std::max(1.0, static_cast<double>(trackDurationSeconds));
}

} // namespace PlaybackTime
