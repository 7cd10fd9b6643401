#pragma once

#include <QString>
#include <optional>

// The length of a RIFF/WAVE file in whole seconds, read from its "fmt " and "data" chunks, or
// nothing when the file is no WAV that says how long it plays within its first MaxChunks chunks.
namespace WavDuration {
constexpr int MaxChunks = 64;
std::optional<qint64> seconds(const QString &path);
}
