#include "AudioPlayerManager.h"

#include "PlaybackModule.h"
#include "PlayerBackend.h"

#include <QJSEngine>
#include <QPointer>
#include <QUrl>

#include <cmath>
#include <cstdio>

namespace {

std::unique_ptr<PlayerBackend> &pendingSharedBackend()
{
    static std::unique_ptr<PlayerBackend> backend;
    return backend;
}

bool &sharedCreated()
{
    static bool created = false;
    return created;
}

QUrl parseAudioAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.isEmpty() ? url : QUrl();
}

} // namespace

AudioPlayerManager::AudioPlayerManager(std::unique_ptr<PlayerBackend> backend, QObject *parent)
    : QObject(parent), m_backend(std::move(backend))
{
    if (m_backend)
        setupAudioSession();
}

AudioPlayerManager::~AudioPlayerManager()
{
    removeTimeObserver();
}

AudioPlayerManager &AudioPlayerManager::shared()
{
    // Never destroyed: the player outlives every screen and must not be torn down after the
    // application object is gone.
    // Without a chosen backend the playback module is loaded on first playback, not here: the
    // mini player refers to this instance on every tab screen, from the first frame on.
    static AudioPlayerManager *const instance = [] {
        sharedCreated() = true;
        return new AudioPlayerManager(std::move(pendingSharedBackend()));
    }();
    return *instance;
}

bool AudioPlayerManager::useBackendForShared(std::unique_ptr<PlayerBackend> backend)
{
    if (sharedCreated())
        return false;
    pendingSharedBackend() = std::move(backend);
    return true;
}

AudioPlayerManager *AudioPlayerManager::create(QQmlEngine *, QJSEngine *)
{
    AudioPlayerManager *instance = &shared();
    QJSEngine::setObjectOwnership(instance, QJSEngine::CppOwnership);
    return instance;
}

QVariant AudioPlayerManager::currentTrackValue() const
{
    return m_currentTrack ? QVariant::fromValue(*m_currentTrack) : QVariant();
}

PlayerBackend &AudioPlayerManager::backend()
{
    if (!m_backend) {
        m_backend = PlaybackModule::loadBackend();
        setupAudioSession();
    }
    return *m_backend;
}

void AudioPlayerManager::setupAudioSession()
{
    if (const std::optional<QString> failure = m_backend->setupAudioSession()) {
        const QByteArray line = (QStringLiteral("Ошибка настройки фонового аудиосеанса: ") + *failure + u'\n').toUtf8();
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
        std::fflush(stdout);
    }
}

void AudioPlayerManager::play(const Track &track)
{
    if (m_currentTrack && m_currentTrack->id == track.id) {
        togglePlayPause();
        return;
    }
    setCurrentTrack(track);
    const QUrl url = parseAudioAddress(track.audioUrl);
    if (url.isEmpty()) {
        // Nothing can play this track, so nothing else may go on playing under its title, and
        // the button must not offer a pause over silence.
        dropPlayer();
        setIsPlaying(false);
        return;
    }
    setIsPlaying(true);
    startPlayer(url);
}

void AudioPlayerManager::startPlayer(const QUrl &url)
{
    std::unique_ptr<PlatformPlayer> player = backend().createPlayer(url);
    if (!player) {
        dropPlayer();
        setIsPlaying(false);
        return;
    }
    removeTimeObserver();
    m_player = std::move(player);
    QPointer<AudioPlayerManager> self(this);
    m_player->setStoppedHandler([self, stopped = m_player.get()] {
        if (self && self->m_player.get() == stopped)
            self->playerStopped();
    });
    m_player->play();
    setupTimeObserver();
    // The platform may refuse the media while the player is being made, before any handler.
    if (m_player->hasFailed())
        playerStopped();
}

void AudioPlayerManager::dropPlayer()
{
    removeTimeObserver();
    m_player.reset();
    setCurrentTime(0);
    setDuration(0);
}

void AudioPlayerManager::play(const QVariant &track)
{
    if (track.metaType() == QMetaType::fromType<Track>())
        play(track.value<Track>());
}

void AudioPlayerManager::togglePlayPause()
{
    if (!m_player)
        return;
    if (m_isPlaying) {
        m_player->pause();
        setIsPlaying(false);
    } else if (m_player->hasFailed()) {
        // The platform never plays a player it gave up on: each try is a new player, which ends
        // showing "play" again if the media still cannot play.
        setIsPlaying(true);
        startPlayer(parseAudioAddress(m_currentTrack->audioUrl));
    } else {
        m_player->play();
        setIsPlaying(true);
    }
}

void AudioPlayerManager::seek(double seconds)
{
    if (!std::isfinite(seconds) || !m_player)
        return;
    m_player->seek(seconds);
}

void AudioPlayerManager::setupTimeObserver()
{
    if (!m_player) {
        m_timeObserver.reset();
        return;
    }
    QPointer<AudioPlayerManager> self(this);
    m_timeObserver = m_player->addPeriodicTimeObserver(observerInterval, [self](double seconds) {
        if (self)
            self->observe(seconds);
    });
}

void AudioPlayerManager::removeTimeObserver()
{
    // The token belongs to the player that issued it.
    if (m_timeObserver && m_player)
        m_player->removeTimeObserver(*m_timeObserver);
    m_timeObserver.reset();
}

void AudioPlayerManager::observe(double seconds)
{
    if (!m_player || !m_player->hasCurrentItem())
        return;
    setCurrentTime(seconds);
    const double itemDuration = m_player->itemDuration();
    if (std::isfinite(itemDuration))
        setDuration(itemDuration);
    else
        setDuration(m_currentTrack ? static_cast<double>(m_currentTrack->durationSeconds) : 0.0);
}

void AudioPlayerManager::playerStopped()
{
    if (m_isPlaying)
        setIsPlaying(false);
}

// Every write notifies, also when the value is unchanged, so that observers redraw on every report.

void AudioPlayerManager::setCurrentTrack(const Track &track)
{
    m_currentTrack = track;
    Q_EMIT currentTrackChanged();
}

void AudioPlayerManager::setIsPlaying(bool playing)
{
    m_isPlaying = playing;
    Q_EMIT isPlayingChanged();
}

void AudioPlayerManager::setCurrentTime(double seconds)
{
    m_currentTime = seconds;
    Q_EMIT currentTimeChanged();
}

void AudioPlayerManager::setDuration(double seconds)
{
    m_duration = seconds;
    Q_EMIT durationChanged();
}
