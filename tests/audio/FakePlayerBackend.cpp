#include "FakePlayerBackend.h"

namespace {

class FakePlayer final : public PlatformPlayer
{
public:
    FakePlayer(std::shared_ptr<FakePlayerState> state, std::shared_ptr<FakePlayerBackend::World> world)
        : m_state(std::move(state)), m_world(std::move(world))
    {
        m_state->report = [this](bool failed) { failed ? reportFailed() : reportEnded(); };
        if (m_world->refusal == FakePlayerBackend::World::Refusal::WhileMade)
            reportFailed();
    }
    ~FakePlayer() override
    {
        m_state->alive = false;
        m_state->report = [](bool) {};
    }

    void play() override
    {
        m_state->calls << QStringLiteral("play");
        if (m_world->refusal == FakePlayerBackend::World::Refusal::OnPlay)
            reportFailed();
    }
    void pause() override { m_state->calls << QStringLiteral("pause"); }
    void seek(double seconds) override
    {
        m_state->calls << QStringLiteral("seek %1").arg(seconds);
        m_state->position = seconds;
    }
    bool hasCurrentItem() const override { return true; }
    double itemDuration() const override { return m_state->itemDuration; }

    ObserverToken addPeriodicTimeObserver(std::chrono::milliseconds interval, TimeObserver observer) override
    {
        const ObserverToken token = m_world->nextToken++;
        m_state->observers.emplace(token, std::move(observer));
        m_state->intervals.push_back(interval);
        m_state->issuedTokens.push_back(token);
        return token;
    }

    void removeTimeObserver(ObserverToken token) override
    {
        m_state->removedTokens.push_back(token);
        m_state->observers.erase(token);
    }

private:
    std::shared_ptr<FakePlayerState> m_state;
    std::shared_ptr<FakePlayerBackend::World> m_world;
};

} // namespace

void FakePlayerState::tick()
{
    if (!alive)
        return;
    auto copy = observers;
    for (auto &[token, observer] : copy) {
        Q_UNUSED(token);
        observer(position);
    }
}

int FakePlayerBackend::World::alivePlayers() const
{
    int count = 0;
    for (const auto &player : players)
        count += player->alive ? 1 : 0;
    return count;
}

int FakePlayerBackend::World::registeredObservers() const
{
    int count = 0;
    for (const auto &player : players)
        count += player->alive ? int(player->observers.size()) : 0;
    return count;
}

std::unique_ptr<PlatformPlayer> FakePlayerBackend::createPlayer(const QUrl &url)
{
    if (m_world->unavailable)
        return nullptr;
    auto state = std::make_shared<FakePlayerState>();
    state->url = url;
    m_world->players.push_back(state);
    return std::make_unique<FakePlayer>(state, m_world);
}
