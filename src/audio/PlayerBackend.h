#pragma once

#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class PlatformPlayer;

// Makes platform players. The shared audio player uses the QtMultimedia one; tests put a
// scripted one in its place.
class PlayerBackend
{
public:
    virtual ~PlayerBackend() = default;

    // Prepares audio output once. Returns the platform's description of a failure, or nothing.
    virtual std::optional<QString> setupAudioSession() = 0;
    virtual std::unique_ptr<PlatformPlayer> createPlayer(const QUrl &url) = 0;
};
