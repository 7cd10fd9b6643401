#include "QtPlayerBackend.h"

#include "QtPlatformPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>

std::optional<QString> QtPlayerBackend::setupAudioSession()
{
    // A desktop has no session to configure; what can fail is finding somewhere to play to.
    // GStreamer still runs its pipeline without one, so playback goes on silently.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return QStringLiteral("no audio output device is available");
    return std::nullopt;
}

std::unique_ptr<PlatformPlayer> QtPlayerBackend::createPlayer(const QUrl &url)
{
    return std::make_unique<QtPlatformPlayer>(url);
}
