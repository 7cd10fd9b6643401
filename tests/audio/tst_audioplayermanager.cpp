#include "AudioPlayerManager.h"
#include "AudioTestTracks.h"
#include "FakePlayerBackend.h"
#include "StdoutCapture.h"

#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(FakePlayerBackend::World::Refusal)

namespace {

const QString addressA = QStringLiteral("http://127.0.0.1:9/a.wav");
const QString addressB = QStringLiteral("http://127.0.0.1:9/b.wav");
const QString addressC = QStringLiteral("http://127.0.0.1:9/c.wav");
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

class TestAudioPlayerManager : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakePlayerBackend::World> m_world;
    std::unique_ptr<AudioPlayerManager> m_player;

    AudioPlayerManager &player() { return *m_player; }

private Q_SLOTS:
    void init()
    {
        m_world = std::make_shared<FakePlayerBackend::World>();
        m_player = std::make_unique<AudioPlayerManager>(std::make_unique<FakePlayerBackend>(m_world));
    }

    void cleanup() { m_player.reset(); }

    void sameIdToggles_data()
    {
        QTest::addColumn<int>("plays");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QStringList>("calls");
        const QString play = QStringLiteral("play"), pause = QStringLiteral("pause");
        QTest::newRow("once") << 1 << true << QStringList{play};
        QTest::newRow("twice pauses") << 2 << false << QStringList{play, pause};
        QTest::newRow("three times resumes") << 3 << true << QStringList{play, pause, play};
    }

    void sameIdToggles()
    {
        QFETCH(int, plays);
        QFETCH(bool, playing);
        QFETCH(QStringList, calls);
        // Only the id counts: later values with the same id leave the stored track as it was.
        for (int i = 0; i < plays; ++i)
            player().play(makeTrack(7, i == 0 ? addressA : addressB, 180 + i, QStringLiteral("Название %1").arg(i)));
        QCOMPARE(player().currentTrack()->title, QStringLiteral("Название 0"));
        QCOMPARE(player().currentTrack()->audioUrl, addressA);
        QCOMPARE(player().isPlaying(), playing);
        // One player, with the one observer it got when the track started.
        QCOMPARE(m_world->players.size(), size_t(1));
        const auto state = m_world->last();
        QCOMPARE(state->url, QUrl(addressA));
        QCOMPARE(state->calls, calls);
        QCOMPARE(state->observers.size(), size_t(1));
        QCOMPARE(state->intervals, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(500)});
    }

    // The first two share an address, as the feed's tracks made afresh on each tap do: a new id
    // still means a new player from the start.
    void switchingLeavesOneObserverOnTheNewestPlayer()
    {
        player().play(makeTrack(1, addressA));
        m_world->last()->position = 42;
        player().play(makeTrack(2, addressA));
        QCOMPARE(m_world->last()->position, 0.0);
        player().play(makeTrack(3, addressC));

        QCOMPARE(player().currentTrack()->id, 3);
        QVERIFY(player().isPlaying());
        QCOMPARE(m_world->players.size(), size_t(3));
        QCOMPARE(m_world->alivePlayers(), 1);
        QCOMPARE(m_world->registeredObservers(), 1);
        QVERIFY(m_world->players[2]->alive);
        QCOMPARE(m_world->players[2]->observers.size(), size_t(1));
        // Each earlier observer was taken off the player that issued it, and only that one.
        for (size_t i = 0; i < 2; ++i) {
            QCOMPARE(m_world->players[i]->removedTokens, m_world->players[i]->issuedTokens);
            QVERIFY(m_world->players[i]->observers.empty());
        }
        QVERIFY(m_world->players[2]->removedTokens.empty());
    }

    void unusableAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("afterATrack");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("space in host") << QStringLiteral("http://exa mple.com/a.mp3") << false;
        QTest::newRow("bad port") << QStringLiteral("http://host:99999/a.mp3") << false;
        QTest::newRow("broken escape") << QStringLiteral("http://%zz/a.mp3") << false;
        QTest::newRow("empty, after a playing track") << QString() << true;
    }

    // A track nothing can play shows "play" with nothing to toggle or move, and must not leave the
    // previous audio running under its title; a valid track afterwards plays as usual.
    void unusableAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, afterATrack);
        // Before any track nothing toggles or moves.
        player().togglePlayPause();
        player().seek(30);
        QVERIFY(!player().hasTrack());
        QVERIFY(!player().isPlaying());
        std::shared_ptr<FakePlayerState> previous;
        if (afterATrack) {
            player().play(makeTrack(1, addressA, 100));
            previous = m_world->last();
            previous->position = 12;
            previous->itemDuration = 100;
            previous->tick();
        }

        player().play(makeTrack(5, address, 200));
        QCOMPARE(player().currentTrack()->id, 5);
        QVERIFY(!player().isPlaying());
        QVERIFY(!player().hasPlayer());
        QCOMPARE(m_world->alivePlayers(), 0);
        QCOMPARE(m_world->registeredObservers(), 0);
        player().togglePlayPause();
        player().seek(30);
        QVERIFY(!player().isPlaying());
        QCOMPARE(player().currentTime(), 0.0);
        QCOMPARE(player().duration(), 0.0);
        QCOMPARE(m_world->players.size(), size_t(afterATrack ? 1 : 0));
        if (previous) {
            QCOMPARE(previous->removedTokens, previous->issuedTokens);
            QCOMPARE(previous->calls, QStringList{QStringLiteral("play")});
        }

        player().play(makeTrack(3, addressC));
        QVERIFY(player().hasPlayer());
        QVERIFY(player().isPlaying());
        QCOMPARE(m_world->registeredObservers(), 1);
    }

    void attemptsThatCannotPlayEndShowingPlay_data()
    {
        using Refusal = FakePlayerBackend::World::Refusal;
        QTest::addColumn<QString>("address");
        QTest::addColumn<Refusal>("refusal");
        QTest::addColumn<bool>("failsLater");
        QTest::addColumn<bool>("unavailable");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("players");
        QTest::newRow("undecodable, reported while playing") << addressA << Refusal::None << true << false << 3 << 3;
        QTest::newRow("undecodable, refused on play") << addressA << Refusal::OnPlay << false << false << 3 << 3;
        QTest::newRow("undecodable, refused while made") << addressA << Refusal::WhileMade << false << false << 3 << 3;
        QTest::newRow("address that does not parse")
            << QStringLiteral("http://exa mple.com/a.mp3") << Refusal::None << false << false << 3 << 0;
        QTest::newRow("no playback module") << addressA << Refusal::None << false << true << 3 << 0;
    }

    // However often it is tried, and whatever the reason, an attempt that cannot play ends showing
    // "play": each try of refused media is a new player, never a pause over silence.
    void attemptsThatCannotPlayEndShowingPlay()
    {
        QFETCH(QString, address);
        QFETCH(FakePlayerBackend::World::Refusal, refusal);
        QFETCH(bool, failsLater);
        QFETCH(bool, unavailable);
        QFETCH(int, attempts);
        QFETCH(int, players);
        m_world->refusal = refusal;
        m_world->unavailable = unavailable;
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            player().play(makeTrack(4, address, 200));
            if (failsLater) {
                QVERIFY(player().isPlaying());
                m_world->last()->fail();
            }
            QVERIFY2(!player().isPlaying(), qPrintable(QStringLiteral("attempt %1").arg(attempt)));
            QCOMPARE(player().currentTrack()->id, 4);
            QVERIFY(m_world->alivePlayers() <= 1);
            QVERIFY(m_world->registeredObservers() <= 1);
        }
        QCOMPARE(int(m_world->players.size()), players);
        for (const auto &state : m_world->players)
            QCOMPARE(state->url, QUrl(address));
        // The next track that can play plays.
        m_world->refusal = FakePlayerBackend::World::Refusal::None;
        m_world->unavailable = false;
        player().play(makeTrack(5, addressB));
        QVERIFY(player().isPlaying());
        QCOMPARE(m_world->last()->url, QUrl(addressB));
        QCOMPARE(m_world->alivePlayers(), 1);
    }

    void stoppedPlayerShowsPlayUntilPlayedAgain_data()
    {
        QTest::addColumn<bool>("failed");
        QTest::addColumn<bool>("pausedFirst");
        QTest::addColumn<int>("players");
        QTest::newRow("ended: the same player starts over") << false << false << 1;
        QTest::newRow("failed: a new player tries again") << true << false << 2;
        QTest::newRow("failed while paused: a new player tries again") << true << true << 2;
    }

    void stoppedPlayerShowsPlayUntilPlayedAgain()
    {
        QFETCH(bool, failed);
        QFETCH(bool, pausedFirst);
        QFETCH(int, players);
        const Track track = makeTrack(6, addressA);
        player().play(track);
        auto first = m_world->last();
        if (pausedFirst)
            player().play(track);
        failed ? first->fail() : first->end();
        QVERIFY(!player().isPlaying());

        // The playing track's id still toggles: play, then pause.
        player().play(track);
        QVERIFY(player().isPlaying());
        QCOMPARE(int(m_world->players.size()), players);
        QCOMPARE(m_world->alivePlayers(), 1);
        QCOMPARE(m_world->registeredObservers(), 1);
        QCOMPARE(m_world->last()->calls.last(), QStringLiteral("play"));
        player().play(track);
        QVERIFY(!player().isPlaying());
        QCOMPARE(m_world->last()->calls.last(), QStringLiteral("pause"));
    }

    void lengthFallsBackToTheTrack_data()
    {
        QTest::addColumn<qint64>("trackSeconds");
        QTest::addColumn<double>("itemDuration");
        QTest::addColumn<double>("expected");
        QTest::newRow("unknown length") << qint64(200) << notANumber << 200.0;
        QTest::newRow("unknown length, live track") << qint64(0) << notANumber << 0.0;
        QTest::newRow("infinite length counts as unknown") << qint64(200) << infinity << 200.0;
    }

    void lengthFallsBackToTheTrack()
    {
        QFETCH(qint64, trackSeconds);
        QFETCH(double, itemDuration);
        QFETCH(double, expected);
        player().play(makeTrack(1, addressA, trackSeconds));
        auto state = m_world->last();
        state->itemDuration = itemDuration;
        state->position = 1.5;
        state->tick();
        QCOMPARE(player().currentTime(), 1.5);
        QCOMPARE(player().duration(), expected);

        // Once the item knows its length, that length takes over.
        state->itemDuration = 198.25;
        state->tick();
        QCOMPARE(player().duration(), 198.25);
    }

    void seekShowsWithTheNextReport_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<double>("shown");
        const QString play = QStringLiteral("play");
        QTest::newRow("30 s") << 30.0 << QStringList{play, QStringLiteral("seek 30")} << 30.0;
        // A time that is not finite is ignored.
        QTest::newRow("nan") << notANumber << QStringList{play} << 4.0;
        QTest::newRow("+inf") << infinity << QStringList{play} << 4.0;
        QTest::newRow("-inf") << -infinity << QStringList{play} << 4.0;
    }

    void seekShowsWithTheNextReport()
    {
        QFETCH(double, seconds);
        QFETCH(QStringList, calls);
        QFETCH(double, shown);
        player().play(makeTrack(1, addressA));
        auto state = m_world->last();
        state->position = 4;
        state->tick();
        player().seek(seconds);
        QCOMPARE(state->calls, calls);
        QCOMPARE(player().currentTime(), 4.0);
        QVERIFY(player().isPlaying());
        state->tick();
        QCOMPARE(player().currentTime(), shown);
    }

    void endOfTrackKeepsPlayingStateAndNeverRewinds()
    {
        player().play(makeTrack(1, addressA, 3));
        auto state = m_world->last();
        state->itemDuration = 3.0;
        state->position = 3.0;
        state->tick();
        QVERIFY(player().isPlaying());
        QCOMPARE(player().currentTime(), 3.0);

        player().togglePlayPause();
        QVERIFY(!player().isPlaying());
        player().togglePlayPause();
        QVERIFY(player().isPlaying());
        QCOMPARE(state->calls, (QStringList{QStringLiteral("play"), QStringLiteral("pause"), QStringLiteral("play")}));
        QCOMPARE(state->position, 3.0);
        QCOMPARE(player().currentTime(), 3.0);
        QCOMPARE(player().duration(), 3.0);
    }

    void observerOfAGonePlayerManagerDoesNothing()
    {
        player().play(makeTrack(1, addressA));
        const PlatformPlayer::TimeObserver observer = m_world->last()->observers.begin()->second;
        m_player.reset();
        observer(12.0);
    }

    void qmlPlayTakesOnlyTracks()
    {
        player().play(QVariant(QStringLiteral("not a track")));
        QVERIFY(!player().hasTrack());
        player().play(QVariant::fromValue(makeTrack(9, addressA)));
        QCOMPARE(player().currentTrack()->id, 9);
    }

    void audioSetupFailureWritesOneLine_data()
    {
        QTest::addColumn<std::optional<QString>>("failure");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ready") << std::optional<QString>() << QByteArray();
        QTest::newRow("no output") << std::optional<QString>(QStringLiteral("нет устройства"))
                                   << QByteArray("Ошибка настройки фонового аудиосеанса: нет устройства\n");
    }

    void audioSetupFailureWritesOneLine()
    {
        QFETCH(std::optional<QString>, failure);
        QFETCH(QByteArray, expected);
        auto world = std::make_shared<FakePlayerBackend::World>();
        world->sessionFailure = failure;
        StdoutCapture capture;
        auto manager = std::make_unique<AudioPlayerManager>(std::make_unique<FakePlayerBackend>(world));
        QCOMPARE(capture.finish(), expected);
        manager->play(makeTrack(1, addressA));
        QVERIFY(manager->hasPlayer());
        QVERIFY(manager->isPlaying());
    }
};

QTEST_GUILESS_MAIN(TestAudioPlayerManager)
#include "tst_audioplayermanager.moc"
