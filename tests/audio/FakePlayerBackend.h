#pragma once

#include "PlatformPlayer.h"
#include "PlayerBackend.h"

#include <QStringList>
#include <QUrl>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <vector>

// What a scripted player was asked to do and what it reports. Outlives the player, so that a
// test can still look at a player the manager has released.
struct FakePlayerState
{
    QUrl url;
    bool alive = true;
    QStringList calls;
    double position = 0;
    double itemDuration = std::numeric_limits<double>::quiet_NaN();
    std::map<PlatformPlayer::ObserverToken, PlatformPlayer::TimeObserver> observers;
    std::vector<std::chrono::milliseconds> intervals;
    std::vector<PlatformPlayer::ObserverToken> removedTokens;
    std::vector<PlatformPlayer::ObserverToken> issuedTokens;

    // One report of the periodic observers, as the platform would make it.
    void tick();
    // The platform's own reports: the item played to its end, or it cannot be played.
    void end() { report(false); }
    void fail() { report(true); }
    // Set by the live player; reports of a released one go nowhere.
    std::function<void(bool failed)> report = [](bool) {};
    int pauses() const { return int(calls.count(QStringLiteral("pause"))); }
};

// Players that play nothing: seek moves the position, the test moves time by hand.
class FakePlayerBackend final : public PlayerBackend
{
public:
    struct World
    {
        std::vector<std::shared_ptr<FakePlayerState>> players;
        std::optional<QString> sessionFailure;
        // How the platform takes media it cannot play: not at all (every player plays), or the
        // moment the player is made or asked to play. A later failure is the test's fail().
        enum class Refusal { None, WhileMade, OnPlay } refusal = Refusal::None;
        // The playback module could not be loaded: no player is ever made.
        bool unavailable = false;
        // Tokens are unique across players, so that removing one from the wrong player shows.
        PlatformPlayer::ObserverToken nextToken = 1;

        std::shared_ptr<FakePlayerState> last() const { return players.empty() ? nullptr : players.back(); }
        int alivePlayers() const;
        int registeredObservers() const;
    };

    explicit FakePlayerBackend(std::shared_ptr<World> world) : m_world(std::move(world)) {}

    std::optional<QString> setupAudioSession() override { return m_world->sessionFailure; }
    std::unique_ptr<PlatformPlayer> createPlayer(const QUrl &url) override;

private:
    std::shared_ptr<World> m_world;
};
