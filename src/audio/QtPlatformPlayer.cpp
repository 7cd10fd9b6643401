#include "QtPlatformPlayer.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Far beyond any real item, and far inside the range of a millisecond count.
constexpr double maxSeekSeconds = 1e12;
} // namespace

QtPlatformPlayer::QtPlatformPlayer(const QUrl &url)
{
    m_player.setAudioOutput(&m_output);
    QObject::connect(&m_player, &QMediaPlayer::playbackStateChanged, &m_player,
                     [this](QMediaPlayer::PlaybackState state) { playbackStateChanged(state); });
    // A jump while nothing plays (a seek while paused) is reported at once; while playing the
    // timers report it on their next round.
    QObject::connect(&m_player, &QMediaPlayer::positionChanged, &m_player, [this] {
        if (m_player.playbackState() != QMediaPlayer::PlayingState)
            notifyObservers();
    });
    QObject::connect(&m_player, &QMediaPlayer::mediaStatusChanged, &m_player, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia) {
            m_wantsToPlay = false;
            reportEnded();
        } else if (status == QMediaPlayer::InvalidMedia) {
            reportFailed();
        }
    });
    QObject::connect(&m_player, &QMediaPlayer::errorOccurred, &m_player, [this] { reportFailed(); });
    m_player.setSource(url);
}

QtPlatformPlayer::~QtPlatformPlayer()
{
    // The timers must not fire into a half-destroyed player.
    m_observers.clear();
    QObject::disconnect(&m_player, nullptr, &m_player, nullptr);
}

void QtPlatformPlayer::play()
{
    // At the end of the item QMediaPlayer starts it over from the beginning, as a replay should.
    m_wantsToPlay = true;
    m_player.play();
}

void QtPlatformPlayer::pause()
{
    m_wantsToPlay = false;
    // Pausing at the end would also rewind; a finished item is still already.
    if (isAtEnd())
        return;
    m_player.pause();
}

void QtPlatformPlayer::seek(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    const double clamped = std::clamp(seconds, 0.0, maxSeekSeconds);
    const auto milliseconds = static_cast<qint64>(std::llround(clamped * 1000.0));
    if (isAtEnd()) {
        // Leaving the end state is where QMediaPlayer rewinds; do that first, then move to the
        // position asked for, running or not as last requested.
        if (m_wantsToPlay)
            m_player.play();
        else
            m_player.pause();
    }
    m_player.setPosition(milliseconds);
}

bool QtPlatformPlayer::isAtEnd() const
{
    return m_player.mediaStatus() == QMediaPlayer::EndOfMedia;
}

bool QtPlatformPlayer::hasCurrentItem() const
{
    return !m_player.source().isEmpty();
}

double QtPlatformPlayer::itemDuration() const
{
    const qint64 ms = m_player.duration();
    return ms > 0 ? static_cast<double>(ms) / 1000.0 : std::numeric_limits<double>::quiet_NaN();
}

PlatformPlayer::ObserverToken QtPlatformPlayer::addPeriodicTimeObserver(std::chrono::milliseconds interval,
                                                                        TimeObserver observer)
{
    const ObserverToken token = m_nextToken++;
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(interval);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this, token] {
        auto it = m_observers.find(token);
        if (it != m_observers.end())
            it->second.callback(positionSeconds());
    });
    if (m_player.playbackState() == QMediaPlayer::PlayingState)
        timer->start();
    m_observers.emplace(token, Observer{std::move(timer), std::move(observer)});
    return token;
}

void QtPlatformPlayer::removeTimeObserver(ObserverToken token)
{
    m_observers.erase(token);
}

double QtPlatformPlayer::positionSeconds() const
{
    return static_cast<double>(m_player.position()) / 1000.0;
}

void QtPlatformPlayer::playbackStateChanged(QMediaPlayer::PlaybackState state)
{
    for (auto &[token, observer] : m_observers) {
        Q_UNUSED(token);
        if (state == QMediaPlayer::PlayingState)
            observer.timer->start();
        else
            observer.timer->stop();
    }
    notifyObservers();
}

void QtPlatformPlayer::notifyObservers()
{
    const double seconds = positionSeconds();
    // Copy the callbacks: an observer may remove itself.
    std::vector<TimeObserver> callbacks;
    for (const auto &[token, observer] : m_observers) {
        Q_UNUSED(token);
        callbacks.push_back(observer.callback);
    }
    for (const auto &callback : callbacks)
        callback(seconds);
}
