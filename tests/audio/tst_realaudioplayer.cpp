#include "AudioPlayerManager.h"
#include "JsonCoding.h"
#include "PlaybackModule.h"
#include "ServiceProcess.h"
#include "Track.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

#include <algorithm>

// The shared player's own backend, GStreamer through QtMultimedia, playing the reference
// service's demo audio over real HTTP.
class TestRealAudioPlayer : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;

    // A demo track as the service lists it, so that its address is the one the client gets.
    std::optional<Track> demoTrack(const QString &title)
    {
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(m_service.baseUrl() + "/music.php"))));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, VORLANE_PATIENT_WAIT_MS) ||
            reply->error() != QNetworkReply::NoError)
            return std::nullopt;
        const auto tracks = decodeJson<QList<Track>>(reply->readAll());
        const auto found = std::find_if(tracks.begin(), tracks.end(), [&](const Track &t) { return t.title == title; });
        return found == tracks.end() ? std::nullopt : std::optional<Track>(*found);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_service.start(), qPrintable(m_service.errors())); }

    void playsTheDemoTuneToItsEndAndStaysThere()
    {
        std::optional<Track> track = demoTrack(QStringLiteral("Утренний ритм"));
        QVERIFY(track);
        // The tune lasts 2 s; a track that claims 7 s shows that the item's own length takes over.
        track->durationSeconds = 7;
        AudioPlayerManager player(PlaybackModule::loadBackend());

        QList<double> reported;
        connect(&player, &AudioPlayerManager::currentTimeChanged, this, [&] { reported.append(player.currentTime()); });

        player.play(*track);
        QVERIFY(player.hasPlayer());
        QVERIFY(player.isPlaying());

        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(player.duration() - 2.0) < 0.05, qPrintable(QString::number(player.duration())),
                                  VORLANE_PATIENT_WAIT_MS);
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() >= 1.95, qPrintable(QString::number(player.currentTime())),
                                  VORLANE_PATIENT_WAIT_MS);
        QVERIFY(player.isPlaying());

        // The position advanced through the tune rather than jumping straight to the end.
        const bool passedThrough =
            std::any_of(reported.begin(), reported.end(), [](double seconds) { return seconds > 0 && seconds < 1.95; });
        QVERIFY2(passedThrough, qPrintable(QStringLiteral("%1 reports").arg(reported.size())));
        QVERIFY(std::is_sorted(reported.begin(), reported.end()));

        // Pausing and playing again at the end does not start the tune over.
        const double end = player.currentTime();
        player.togglePlayPause();
        QVERIFY(!player.isPlaying());
        player.togglePlayPause();
        QVERIFY(player.isPlaying());
        QTest::qWait(1200);
        QVERIFY2(player.currentTime() >= end - 0.05, qPrintable(QString::number(player.currentTime())));

        // A seek back runs the audio again, to the end.
        player.seek(0.3);
        // Well below the end, though a loaded machine may have played on for a while before we look.
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() < 1.9, qPrintable(QString::number(player.currentTime())),
                                  VORLANE_PATIENT_WAIT_MS);
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() >= 1.95, qPrintable(QString::number(player.currentTime())),
                                  VORLANE_PATIENT_WAIT_MS);
        QVERIFY(player.isPlaying());
    }
};

QTEST_MAIN(TestRealAudioPlayer)
#include "tst_realaudioplayer.moc"
