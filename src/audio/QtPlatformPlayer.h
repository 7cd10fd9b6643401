#pragma once

#include "PlatformPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

#include <map>
#include <memory>

class QTimer;

// A QMediaPlayer playing one address through its own QAudioOutput. Each periodic observer
// is a QTimer that runs while the media plays.
class QtPlatformPlayer final : public PlatformPlayer
{
public:
    explicit QtPlatformPlayer(const QUrl &url);
    ~QtPlatformPlayer() override;

    void play() override;
    void pause() override;
    void seek(double seconds) override;
    bool hasCurrentItem() const override;
    double itemDuration() const override;
    ObserverToken addPeriodicTimeObserver(std::chrono::milliseconds interval, TimeObserver observer) override;
    void removeTimeObserver(ObserverToken token) override;

private:
    struct Observer
    {
        std::unique_ptr<QTimer> timer;
        TimeObserver callback;
    };

    double positionSeconds() const;
    bool isAtEnd() const;
    void playbackStateChanged(QMediaPlayer::PlaybackState state);
    void notifyObservers();

    // Declared before the player so that the player goes first.
    QAudioOutput m_output;
    QMediaPlayer m_player;
    std::map<ObserverToken, Observer> m_observers;
    ObserverToken m_nextToken = 1;
    // Whether play() was asked for last and the item has not ended since: a seek away from the
    // end runs the item again only then.
    bool m_wantsToPlay = false;
};
