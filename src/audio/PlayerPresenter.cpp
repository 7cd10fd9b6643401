#include "PlayerPresenter.h"

#include "AudioPlayerManager.h"
#include "PlaybackTime.h"

#include <cmath>

PlayerPresenter::PlayerPresenter(QObject *parent)
    : PlayerPresenter(&AudioPlayerManager::shared(), parent)
{
}

PlayerPresenter::PlayerPresenter(AudioPlayerManager *player, QObject *parent)
    : QObject(parent)
    , m_player(player)
{
    connectPlayer();
}

void PlayerPresenter::connectPlayer()
{
    if (!m_player)
        return;
    connect(m_player, &AudioPlayerManager::isPlayingChanged, this, &PlayerPresenter::playerChanged);
    connect(m_player, &AudioPlayerManager::currentTimeChanged, this, &PlayerPresenter::playerChanged);
    connect(m_player, &AudioPlayerManager::durationChanged, this, &PlayerPresenter::sliderRangeChanged);
}

QVariant PlayerPresenter::track() const
{
    return m_track ? QVariant::fromValue(*m_track) : QVariant();
}

void PlayerPresenter::setTrack(const QVariant &track)
{
    if (track.metaType() == QMetaType::fromType<Track>())
        m_track = track.value<Track>();
    else
        m_track.reset();
    Q_EMIT trackChanged();
    Q_EMIT sliderRangeChanged();
}

QString PlayerPresenter::title() const
{
    return m_track ? m_track->title : QString();
}

QString PlayerPresenter::artist() const
{
    return m_track ? m_track->artist : QString();
}

QUrl PlayerPresenter::coverSource() const
{
    if (!m_track || !m_track->coverUrl)
        return {};
    const QUrl url(*m_track->coverUrl, QUrl::StrictMode);
    return url.isValid() && !url.isEmpty() ? url : QUrl();
}

bool PlayerPresenter::hasAlbum() const
{
    return m_track && m_track->albumName.has_value();
}

QString PlayerPresenter::albumText() const
{
    return hasAlbum() ? QStringLiteral("Альбом: ") + *m_track->albumName : QString();
}

QString PlayerPresenter::durationText() const
{
    return m_track ? m_track->durationFormatted() : QString();
}

QString PlayerPresenter::lyricsText() const
{
    if (!m_track)
        return {};
    return m_track->lyrics.value_or(QStringLiteral("Текст для этой песни не добавлен."));
}

bool PlayerPresenter::isLiked() const
{
    return m_track && m_track->isLiked;
}

QString PlayerPresenter::heartIcon() const
{
    return isLiked() ? QStringLiteral("heart.fill") : QStringLiteral("heart");
}

bool PlayerPresenter::isPlaying() const
{
    return m_player && m_player->isPlaying();
}

QString PlayerPresenter::playIcon() const
{
    return isPlaying() ? QStringLiteral("pause.fill") : QStringLiteral("play.fill");
}

QString PlayerPresenter::playCircleIcon() const
{
    return isPlaying() ? QStringLiteral("pause.circle.fill") : QStringLiteral("play.circle.fill");
}

QString PlayerPresenter::elapsedText() const
{
    return PlaybackTime::formatTime(m_player ? m_player->currentTime() : 0.0);
}

double PlayerPresenter::sliderValue() const
{
    const double seconds = m_player ? m_player->currentTime() : 0.0;
    return std::isfinite(seconds) ? seconds : 0.0;
}

double PlayerPresenter::sliderTo() const
{
    return PlaybackTime::sliderUpperBound(m_player ? m_player->duration() : 0.0,
                                          m_track ? m_track->durationSeconds : 0);
}

void PlayerPresenter::togglePlayPause()
{
    if (m_player)
        m_player->togglePlayPause();
}

void PlayerPresenter::seek(double seconds)
{
    if (m_player)
        m_player->seek(seconds);
}
