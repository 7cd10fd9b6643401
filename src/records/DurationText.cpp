#include "DurationText.h"

QString minutesSecondsText(qint64 seconds)
{
    return QString::asprintf("%lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}
