// Tracks, albums, playlists and radio stations: display values (with the video's duration, which
// shares the track's format but not its "LIVE") and nested refusal.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "Album.h"
#include "Playlist.h"
#include "RadioStation.h"
#include "Track.h"
#include "Video.h"

#include <QTest>

#include <limits>

namespace {

Track sampleTrack()
{
    return decodeJson<Track>(RecordSamples::track);
}

} // namespace

class TestMusicRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void durations_data();
    void durations();
    void badTrackRefusesItsAlbum();
    void radioStation_data();
    void radioStation();
};

void TestMusicRecords::durations_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("track");
    QTest::addColumn<QString>("video");
    QTest::newRow("zero: live for a track only") << qint64(0) << QStringLiteral("LIVE") << QStringLiteral("0:00");
    QTest::newRow("5") << qint64(5) << QStringLiteral("0:05") << QStringLiteral("0:05");
    QTest::newRow("59") << qint64(59) << QStringLiteral("0:59") << QStringLiteral("0:59");
    QTest::newRow("60") << qint64(60) << QStringLiteral("1:00") << QStringLiteral("1:00");
    QTest::newRow("61") << qint64(61) << QStringLiteral("1:01") << QStringLiteral("1:01");
    QTest::newRow("600") << qint64(600) << QStringLiteral("10:00") << QStringLiteral("10:00");
    QTest::newRow("an hour") << qint64(3600) << QStringLiteral("60:00") << QStringLiteral("60:00");
    QTest::newRow("no hours") << qint64(3725) << QStringLiteral("62:05") << QStringLiteral("62:05");
    QTest::newRow("negative") << qint64(-75) << QStringLiteral("-1:-15") << QStringLiteral("-1:-15");
    QTest::newRow("negative under a minute") << qint64(-30) << QStringLiteral("0:-30") << QStringLiteral("0:-30");
    QTest::newRow("huge") << qint64(6000000000) << QStringLiteral("100000000:00") << QStringLiteral("100000000:00");
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << QStringLiteral("-153722867280912930:-8")
                              << QStringLiteral("-153722867280912930:-8");
}

void TestMusicRecords::durations()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, track);
    QFETCH(QString, video);
    Track t = sampleTrack();
    t.durationSeconds = seconds;
    QCOMPARE(t.durationFormatted(), track);
    Video v = decodeJson<Video>(RecordSamples::video);
    v.durationSeconds = seconds;
    QCOMPARE(v.durationFormatted(), video);
}

void TestMusicRecords::badTrackRefusesItsAlbum()
{
    const auto album =
        failureOf<Album>(QByteArray(RecordSamples::album).replace(R"("explicit":true)", R"("explicit":"yes")"));
    QVERIFY(album);
    QCOMPARE(album->path(), QStringLiteral("tracks[0].explicit"));
}



void TestMusicRecords::radioStation_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<QString>("text");
    QTest::newRow("101.7") << 101.7 << QStringLiteral("101.7 FM");
    QTest::newRow("whole") << 88.0 << QStringLiteral("88.0 FM");
    QTest::newRow("rounded up") << 99.96 << QStringLiteral("100.0 FM");
    QTest::newRow("rounded down") << 87.54 << QStringLiteral("87.5 FM");
}

void TestMusicRecords::radioStation()
{
    QFETCH(double, frequency);
    QFETCH(QString, text);
    const RadioStation station{.id = 1,
                               .name = QStringLiteral("Радио"),
                               .frequency = frequency,
                               .genre = QStringLiteral("Поп"),
                               .streamUrl = QStringLiteral("u")};
    QCOMPARE(station.frequencyText(), text);
    QCOMPARE(decodeJson<RadioStation>(station.toJson()), station);
}



QTEST_GUILESS_MAIN(TestMusicRecords)
#include "tst_musicrecords.moc"
