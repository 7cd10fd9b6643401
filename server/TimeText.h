#pragma once

#include <QString>

// Display times as the service sends them ("created_at_formatted", "last_seen_text"): the client
// shows these texts as they come and never computes a time itself.
namespace TimeText {
QString ago(qint64 secondsSinceEpoch, qint64 now);
QString lastSeen(qint64 secondsSinceEpoch, qint64 now);
qint64 now();
}
