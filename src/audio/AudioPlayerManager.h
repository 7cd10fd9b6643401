#pragma once

#include "PlatformPlayer.h"
#include "Track.h"

#include <QObject>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <memory>
#include <optional>

class PlayerBackend;
class QQmlEngine;
class QJSEngine;

// The application's one audio player: plays one track at a time and publishes the current
// track, whether it plays, and the position and length that its observer reports twice a second.
class AudioPlayerManager : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QVariant currentTrack READ currentTrackValue NOTIFY currentTrackChanged)
    Q_PROPERTY(bool hasTrack READ hasTrack NOTIFY currentTrackChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(double currentTime READ currentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(double duration READ duration NOTIFY durationChanged)

public:
    static constexpr std::chrono::milliseconds observerInterval{500};

    // Only shared() and tests make one; the application uses the shared instance throughout.
    // Without a backend, the playback module's is loaded on first playback.
    explicit AudioPlayerManager(std::unique_ptr<PlayerBackend> backend, QObject *parent = nullptr);
    ~AudioPlayerManager() override;

    // Made on first use and kept for the life of the process; its QtMultimedia backend comes
    // with the first playback.
    static AudioPlayerManager &shared();
    // Chooses the backend of the shared instance; only before its first use (returns false after).
    static bool useBackendForShared(std::unique_ptr<PlayerBackend> backend);
    // QML sees the shared instance; the engine never owns it.
    static AudioPlayerManager *create(QQmlEngine *qmlEngine, QJSEngine *jsEngine);

    const std::optional<Track> &currentTrack() const { return m_currentTrack; }
    QVariant currentTrackValue() const;
    bool hasTrack() const { return m_currentTrack.has_value(); }
    bool isPlaying() const { return m_isPlaying; }
    double currentTime() const { return m_currentTime; }
    double duration() const { return m_duration; }
    bool hasPlayer() const { return m_player != nullptr; }

    // Starts the track, or toggles play and pause when it has the current track's id. A track
    // that has ended shows as paused, and play starts it over. Every attempt that cannot play (an
    // address that does not parse, media the platform cannot play) ends showing as paused; play
    // tries such media again with a new player.
    void play(const Track &track);
    // The same for a Track held in a QVariant (from QML); anything else is ignored.
    Q_INVOKABLE void play(const QVariant &track);
    Q_INVOKABLE void togglePlayPause();
    // Moves the player; the position shown follows with the observer's next report.
    // A position that is not finite is ignored.
    Q_INVOKABLE void seek(double seconds);

Q_SIGNALS:
    void currentTrackChanged();
    void isPlayingChanged();
    void currentTimeChanged();
    void durationChanged();

private:
    PlayerBackend &backend();
    void setupAudioSession();
    void startPlayer(const QUrl &url);
    // Releases the player, its observer and the position it reported.
    void dropPlayer();
    void setupTimeObserver();
    void removeTimeObserver();
    void observe(double seconds);
    void playerStopped();
    void setCurrentTrack(const Track &track);
    void setIsPlaying(bool playing);
    void setCurrentTime(double seconds);
    void setDuration(double seconds);

    std::unique_ptr<PlayerBackend> m_backend;
    std::optional<Track> m_currentTrack;
    bool m_isPlaying = false;
    double m_currentTime = 0;
    double m_duration = 0;
    std::unique_ptr<PlatformPlayer> m_player;
    std::optional<PlatformPlayer::ObserverToken> m_timeObserver;
};
