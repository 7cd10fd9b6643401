#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Writes frames as a Motion-JPEG AVI file, the simplest video container that common players
// open; used for the demo clips.
namespace MjpegAvi {
bool write(const QString &path, const QList<QImage> &frames, int framesPerSecond);
}
