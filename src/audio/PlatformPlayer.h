#pragma once

#include <QtGlobal>

#include <chrono>
#include <functional>

// One platform player with the item it was made for. The audio player manager drives it
// through this interface only, so that its rules can be exercised without an audio device.
class PlatformPlayer
{
public:
    using ObserverToken = quint64;
    // Called with the player's position in seconds.
    using TimeObserver = std::function<void(double seconds)>;

    virtual ~PlatformPlayer() = default;

    virtual void play() = 0;
    virtual void pause() = 0;
    // A finite position in seconds; the player clamps it to its item.
    virtual void seek(double seconds) = 0;

    virtual bool hasCurrentItem() const = 0;
    // The item's length in seconds, NaN while it is not known (and for a stream of unknown length).
    virtual double itemDuration() const = 0;

    // The observer runs on the GUI thread every interval while time advances, and once when
    // playback starts, stops or jumps. The token removes it again, from this player only.
    virtual ObserverToken addPeriodicTimeObserver(std::chrono::milliseconds interval, TimeObserver observer) = 0;
    virtual void removeTimeObserver(ObserverToken token) = 0;

    // Runs on the GUI thread when the item has played to its end, and when the platform reports
    // that it cannot play it (no output, an address it cannot reach or media it cannot decode).
    void setStoppedHandler(std::function<void()> handler) { m_stopped = std::move(handler); }
    // A player the platform gave up on never plays again, whatever it is asked; the failure may
    // come before any handler is set (while the player is being made).
    bool hasFailed() const { return m_failed; }

protected:
    void reportEnded()
    {
        if (m_stopped)
            m_stopped();
    }
    void reportFailed()
    {
        m_failed = true;
        if (m_stopped)
            m_stopped();
    }

private:
    std::function<void()> m_stopped;
    bool m_failed = false;
};
