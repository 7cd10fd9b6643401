#pragma once

#include <QString>

// "%d:%02d" of whole minutes and the remaining seconds, both from division truncated toward
// zero: 3725 gives "62:05", -75 gives "-1:-15" (no hours field).
QString minutesSecondsText(qint64 seconds);
