// Tracks, albums, playlists and radio stations: display values, strict decoding against the
// constructor defaults, and the key order of the device-built records.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "Album.h"
#include "Playlist.h"
#include "RadioStation.h"
#include "Track.h"

#include <QTest>

namespace {

Track sampleTrack()
{
    return decodeJson<Track>(RecordSamples::track);
}

QByteArray without(QByteArray json, const QByteArray &member)
{
    const qsizetype before = json.size();
    json.replace(member, "");
    if (json.size() == before)
        qFatal("no %s in %s", member.constData(), json.constData());
    return json;
}

} // namespace

class TestMusicRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trackDuration_data();
    void trackDuration();
    void trackOptionalFieldsMayBeMissingOrNull();
    void constructorDefaultsDoNotApplyToDecoding_data();
    void constructorDefaultsDoNotApplyToDecoding();
    void oneBadTrackRefusesTheList();
    void trackEncodingLeavesAbsentFieldsOut();
    void albumAndPlaylistConstructorDefaults();
    void tracksComeFourth();
    void encodeThenDecode();
    void radioStation_data();
    void radioStation();
    void radioStationKeysAreCamelCase();
    void equalityCoversFlags();
};

void TestMusicRecords::trackDuration_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("live stream") << qint64(0) << QStringLiteral("LIVE");
    QTest::newRow("59") << qint64(59) << QStringLiteral("0:59");
    QTest::newRow("60") << qint64(60) << QStringLiteral("1:00");
    QTest::newRow("61") << qint64(61) << QStringLiteral("1:01");
    QTest::newRow("600") << qint64(600) << QStringLiteral("10:00");
    QTest::newRow("no hours") << qint64(3725) << QStringLiteral("62:05");
    QTest::newRow("negative") << qint64(-75) << QStringLiteral("-1:-15");
    QTest::newRow("negative under a minute") << qint64(-30) << QStringLiteral("0:-30");
    QTest::newRow("huge") << qint64(6000000000) << QStringLiteral("100000000:00");
}

void TestMusicRecords::trackDuration()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    Track track = sampleTrack();
    track.durationSeconds = seconds;
    QCOMPARE(track.durationFormatted(), text);
}

void TestMusicRecords::trackOptionalFieldsMayBeMissingOrNull()
{
    const QByteArray minimal = R"({"id":3,"title":"t","artist":"a","duration_seconds":0,"audio_url":"u",)"
                               R"("is_liked":false,"explicit":false})";
    const QByteArray nulls = R"({"id":3,"title":"t","artist":"a","duration_seconds":0,"audio_url":"u",)"
                             R"("is_liked":false,"explicit":false,"cover_url":null,"lyrics":null,)"
                             R"("album_name":null,"frequency_fm":null})";
    const Track track = decodeJson<Track>(minimal);
    QVERIFY(!track.coverUrl && !track.lyrics && !track.albumName && !track.frequencyFM);
    QCOMPARE(decodeJson<Track>(nulls), track);
}

void TestMusicRecords::constructorDefaultsDoNotApplyToDecoding_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    const int missing = int(DecodingError::Kind::Missing);
    const int wrongType = int(DecodingError::Kind::WrongType);
    const QByteArray track = RecordSamples::track;
    const QByteArray albumTracks = R"("tracks":[)" + track + "],";
    QTest::newRow("track without is_liked")
        << "Track" << without(track, R"("is_liked":false,)") << QStringLiteral("is_liked") << missing;
    QTest::newRow("track without explicit")
        << "Track" << without(track, R"("explicit":true,)") << QStringLiteral("explicit") << missing;
    QTest::newRow("explicit as 0") << "Track" << QByteArray(track).replace(R"("explicit":true)", R"("explicit":0)")
                                   << QStringLiteral("explicit") << wrongType;
    QTest::newRow("duration as text") << "Track"
                                      << QByteArray(track).replace(R"("duration_seconds":215)",
                                                                   R"("duration_seconds":"215")")
                                      << QStringLiteral("duration_seconds") << wrongType;
    QTest::newRow("album without release_year") << "Album" << without(RecordSamples::album, R"(,"release_year":"2025")")
                                                << QStringLiteral("release_year") << missing;
    QTest::newRow("album without tracks")
        << "Album" << without(RecordSamples::album, albumTracks) << QStringLiteral("tracks") << missing;
    QTest::newRow("playlist without is_public")
        << "Playlist" << without(RecordSamples::playlist, R"("is_public":false,)") << QStringLiteral("is_public")
        << missing;
    QTest::newRow("playlist without tracks")
        << "Playlist" << without(RecordSamples::playlist, albumTracks) << QStringLiteral("tracks") << missing;
    QTest::newRow("a bad track refuses its album")
        << "Album" << QByteArray(RecordSamples::album).replace(R"("explicit":true)", R"("explicit":"yes")")
        << QStringLiteral("tracks[0].explicit") << wrongType;
}

void TestMusicRecords::constructorDefaultsDoNotApplyToDecoding()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, json);
    QFETCH(QString, path);
    QFETCH(int, kind);
    const auto failure = record == QLatin1StringView("Album")      ? failureOf<Album>(json)
                         : record == QLatin1StringView("Playlist") ? failureOf<Playlist>(json)
                                                                   : failureOf<Track>(json);
    QVERIFY(failure);
    QCOMPARE(failure->path(), path);
    QCOMPARE(int(failure->kind()), kind);
}

void TestMusicRecords::oneBadTrackRefusesTheList()
{
    const QByteArray bad =
        QByteArray(RecordSamples::track).replace(R"("duration_seconds":215)", R"("duration_seconds":"3:35")");
    const auto failure = failureOf<QList<Track>>("[" + RecordSamples::track + "," + bad + "]");
    QVERIFY(failure);
    QCOMPARE(failure->path(), QStringLiteral("[1].duration_seconds"));
}

void TestMusicRecords::trackEncodingLeavesAbsentFieldsOut()
{
    Track track = sampleTrack();
    track.lyrics.reset();
    track.frequencyFM.reset();
    const QByteArray json = track.toJson();
    QVERIFY(!json.contains("lyrics"));
    QVERIFY(!json.contains("frequency_fm"));
    QVERIFY(!json.contains("null"));
    QCOMPARE(decodeJson<Track>(json), track);
}

void TestMusicRecords::albumAndPlaylistConstructorDefaults()
{
    const Album album{.id = 1, .title = QStringLiteral("A"), .artist = QStringLiteral("B"), .coverUrl = std::nullopt};
    QCOMPARE(album.releaseYear, QStringLiteral("2026"));
    QVERIFY(album.tracks.isEmpty());

    const Playlist playlist{.id = 1000,
                            .name = QStringLiteral("P"),
                            .description = QString(),
                            .coverUrl = std::nullopt,
                            .shareUrl = QStringLiteral("https://example.org/playlist/abcdefghij")};
    QVERIFY(playlist.isPublic);
    QVERIFY(playlist.tracks.isEmpty());

    const Track track{.id = 1,
                      .title = QStringLiteral("t"),
                      .artist = QStringLiteral("a"),
                      .durationSeconds = 5,
                      .coverUrl = std::nullopt,
                      .audioUrl = QStringLiteral("u")};
    QVERIFY(!track.isLiked && !track.isExplicit);
    QVERIFY(!track.lyrics && !track.albumName && !track.frequencyFM);
}

void TestMusicRecords::tracksComeFourth()
{
    const Album album{.id = 1,
                      .title = QStringLiteral("A"),
                      .artist = QStringLiteral("B"),
                      .coverUrl = QStringLiteral("c"),
                      .releaseYear = QStringLiteral("2026"),
                      .tracks = {}};
    QCOMPARE(album.toJson(),
             QByteArray(R"({"id":1,"title":"A","artist":"B","tracks":[],"cover_url":"c","release_year":"2026"})"));
    const Playlist playlist{.id = 2,
                            .name = QStringLiteral("P"),
                            .description = QStringLiteral("D"),
                            .coverUrl = std::nullopt,
                            .isPublic = false,
                            .shareUrl = std::nullopt,
                            .tracks = {sampleTrack()}};
    QCOMPARE(playlist.toJson(),
             R"({"id":2,"name":"P","description":"D","tracks":[)" + RecordSamples::track + R"(],"is_public":false})");
}

void TestMusicRecords::encodeThenDecode()
{
    Track live = sampleTrack();
    live.durationSeconds = 0;
    live.coverUrl.reset();
    const Album album{.id = 5,
                      .title = QStringLiteral("Альбом"),
                      .artist = QStringLiteral("Группа"),
                      .coverUrl = QString(),
                      .tracks = {sampleTrack(), live}};
    QCOMPARE(decodeJson<Album>(album.toJson()), album);
    const Playlist playlist{.id = 5,
                            .name = QStringLiteral("\"P\""),
                            .description = QStringLiteral("\\"),
                            .coverUrl = std::nullopt,
                            .shareUrl = std::nullopt,
                            .tracks = {live, live}};
    QCOMPARE(decodeJson<Playlist>(playlist.toJson()), playlist);
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

void TestMusicRecords::radioStationKeysAreCamelCase()
{
    const RadioStation station = decodeJson<RadioStation>(
        R"({"id":1,"name":"R","frequency":88,"genre":"G","streamUrl":"s","coverUrl":"c","stream_url":"x"})");
    QCOMPARE(station.frequency, 88.0);
    QCOMPARE(station.streamUrl, QStringLiteral("s"));
    QCOMPARE(station.toJson(),
             QByteArray(R"({"id":1,"name":"R","frequency":88.0,"genre":"G","streamUrl":"s","coverUrl":"c"})"));
    const auto snakeCase =
        failureOf<RadioStation>(R"({"id":1,"name":"R","frequency":88,"genre":"G","stream_url":"s"})");
    QVERIFY(snakeCase);
    QCOMPARE(snakeCase->path(), QStringLiteral("streamUrl"));
}

void TestMusicRecords::equalityCoversFlags()
{
    const Track track = sampleTrack();
    Track liked = track;
    liked.isLiked = !track.isLiked;
    QVERIFY(liked != track);
    QCOMPARE(liked.id, track.id); // the player still takes it for the same track
    QVERIFY(qHash(liked) != qHash(track));

    Playlist playlist{.id = 1,
                      .name = QStringLiteral("p"),
                      .description = QString(),
                      .coverUrl = std::nullopt,
                      .shareUrl = std::nullopt};
    Playlist longer = playlist;
    longer.tracks.append(track);
    QVERIFY(longer != playlist);
    QVERIFY(qHash(longer) != qHash(playlist));

    const RadioStation a{.id = 1, .name = QStringLiteral("r"), .frequency = 100.1};
    RadioStation b = a;
    b.frequency = 100.2;
    QVERIFY(a != b);
}

QTEST_GUILESS_MAIN(TestMusicRecords)
#include "tst_musicrecords.moc"
