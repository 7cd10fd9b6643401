#pragma once

#include "PlatformPlayer.h"
#include "PlayerBackend.h"

#include <QStringList>
#include <QUrl>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <vector>

// What a scripted player was asked to do and what it reports. Outlives the player, so that a
// test can still look at a player the manager has released.
struct FakePlayerState {
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
    int pauses() const { return int(calls.count(QStringLiteral("pause"))); }
};

// Players that play nothing: seek moves the position, the test moves time by hand.
class FakePlayerBackend final : public PlayerBackend
{
public:
    struct World {
        std::vector<std::shared_ptr<FakePlayerState>> players;
        std::optional<QString> sessionFailure;
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
