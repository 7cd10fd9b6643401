#include "AudioPlayerManager.h"
#include "AudioTestTracks.h"
#include "QtPlayerBackend.h"
#include "WavHttpServer.h"

#include <QSignalSpy>
#include <QTest>

// The shared player's own backend, GStreamer through QtMultimedia, playing real audio over HTTP.
class TestRealAudioPlayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void playsAServedWavToItsEndAndStaysThere()
    {
        WavHttpServer server(WavHttpServer::makeWav(1500));
        QVERIFY(server.listen());
        AudioPlayerManager player(std::make_unique<QtPlayerBackend>());

        QList<double> reported;
        connect(&player, &AudioPlayerManager::currentTimeChanged, this,
                [&] { reported.append(player.currentTime()); });

        // The track claims 7 s; the item's own 1.5 s must take over once it is known.
        player.play(makeTrack(1, server.url(QStringLiteral("/demo.wav")).toString(), 7));
        QVERIFY(player.hasPlayer());
        QVERIFY(player.isPlaying());

        QTRY_VERIFY_WITH_TIMEOUT(qAbs(player.duration() - 1.5) < 0.05, 15000);
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() >= 1.45, qPrintable(QString::number(player.currentTime())), 15000);
        QVERIFY(player.isPlaying());

        // The position advanced through the track rather than jumping straight to the end.
        QList<double> during;
        for (double seconds : reported) {
            if (seconds > 0 && seconds < 1.45)
                during.append(seconds);
        }
        QVERIFY2(!during.isEmpty(), qPrintable(QStringLiteral("%1 reports").arg(reported.size())));
        QVERIFY(std::is_sorted(reported.begin(), reported.end()));

        // Pausing and playing again at the end does not start the track over.
        const double end = player.currentTime();
        player.togglePlayPause();
        QVERIFY(!player.isPlaying());
        player.togglePlayPause();
        QVERIFY(player.isPlaying());
        QTest::qWait(1200);
        QVERIFY2(player.currentTime() >= end - 0.05, qPrintable(QString::number(player.currentTime())));

        // A seek back runs the audio again, to the end.
        player.seek(0.3);
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() < 1.2, qPrintable(QString::number(player.currentTime())), 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(player.currentTime() >= 1.45, qPrintable(QString::number(player.currentTime())), 15000);
        QVERIFY(player.isPlaying());
    }
};

QTEST_MAIN(TestRealAudioPlayer)
#include "tst_realaudioplayer.moc"
