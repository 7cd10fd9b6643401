#include "../app/ScreenDriver.h"
#include "MusicSamples.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"
#include "TaskOutcome.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace MusicSamples;

// The music model against the reference service (and a scripted peer where exact replies are
// needed): albums, likes and favourites, and track uploads. What the service stores of an upload
// is tst_service_music's; an upload through the screen to the service is tst_musicview's.
class TestMusicViewModel : public ServiceTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void albumRules_data()
    {
        QTest::addColumn<QList<Track>>("tracks");
        QTest::addColumn<QList<Album>>("albums");
        const QString cover = QStringLiteral("http://127.0.0.1/c.png");
        QTest::newRow("no tracks") << QList<Track>{} << QList<Album>{};
        {
            const QList<Track> t{track(1, "a", "A", "Rock"), track(2, "b", "B", "rock"), track(3, "c", "C", "Rock")};
            QTest::newRow("names differing in case")
                << t
                << QList<Album>{{.id = 1, .title = "Rock", .artist = "A", .tracks = {t[0], t[2]}},
                                {.id = 2, .title = "rock", .artist = "B", .tracks = {t[1]}}};
        }
        {
            const QList<Track> t{track(1, "a", "A", "Jazz"), track(2, "b", "B", " Jazz"), track(3, "c", "C", "Jazz\n")};
            QTest::newRow("names differing by blanks at the ends")
                << t
                << QList<Album>{{.id = 1, .title = "Jazz", .artist = "A", .tracks = {t[0]}},
                                {.id = 2, .title = " Jazz", .artist = "B", .tracks = {t[1]}},
                                {.id = 3, .title = "Jazz\n", .artist = "C", .tracks = {t[2]}}};
        }
        QTest::newRow("absent, empty and blank names give none")
            << QList<Track>{track(1, "a", "A"), track(2, "b", "B", ""), track(3, "c", "C", " \n\t ")} << QList<Album>{};
        {
            const QList<Track> t{track(1, "a", "First", "X"), track(2, "b", "Second", "X", cover),
                                 track(3, "c", "Third", "X", cover)};
            QTest::newRow("artist and cover of the first track only")
                << t << QList<Album>{{.id = 1, .title = "X", .artist = "First", .coverUrl = {}, .tracks = t}};
        }
        {
            const QList<Track> t{track(1, "a", "A", "B-side", cover), track(2, "b", "B", "A-side"),
                                 track(3, "c", "C", "B-side"), track(4, "d", "D", "C-side")};
            QTest::newRow("order of first appearance, ids 1 to n")
                << t
                << QList<Album>{{.id = 1, .title = "B-side", .artist = "A", .coverUrl = cover, .tracks = {t[0], t[2]}},
                                {.id = 2, .title = "A-side", .artist = "B", .tracks = {t[1]}},
                                {.id = 3, .title = "C-side", .artist = "D", .tracks = {t[3]}}};
        }
    }
    void albumRules()
    {
        QFETCH(QList<Track>, tracks);
        QFETCH(QList<Album>, albums);
        ScriptedResponder responder;
        const auto model = loadedModel(responder, tracks);
        QVERIFY(model);
        QCOMPARE(model->tracks(), tracks);
        QCOMPARE(model->albums(), albums);
        for (const Album &album : model->albums())
            QCOMPARE(album.releaseYear, QStringLiteral("2026"));
        sweep(model->albumsModel());
    }

    void loadsTheServiceListAndSweepsEveryList()
    {
        MusicViewModel model;
        QVERIFY(model.isLoading());
        QAbstractItemModelTester watcher(model.tracksModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // The rows are published before the busy flag is cleared.
        qsizetype rowsWhenDone = -1;
        connect(&model, &MusicViewModel::isLoadingChanged, this,
                [&] { rowsWhenDone = model.tracksModel()->rowCount(); });
        QTRY_VERIFY(!model.isLoading());
        QVERIFY(rowsWhenDone > 0);
        // Demo data marks no track liked; favourites start empty in any case.
        QVERIFY(model.favoriteTracks().isEmpty());
        // The demo library: two tracks of "Пробежка" (the newer first), one of "Скетчи", two without an
        // album. Album ids and years are read in albumRules.
        QCOMPARE(model.albums().size(), 2);
        const Album &run = model.albums().at(0);
        QCOMPARE(run.title, QStringLiteral("Пробежка"));
        QCOMPARE(run.artist, QStringLiteral("Иван Петров"));
        QCOMPARE(run.coverUrl, model.tracks().first().coverUrl);
        QCOMPARE(run.tracks.size(), 2);
        QCOMPARE(model.albums().at(1).title, QStringLiteral("Скетчи"));
        model.createPlaylist("p", "", std::nullopt, true);
        model.addTrackToPlaylist(model.tracks().first(), model.playlists().first().id);
        sweep(model.tracksModel());
        sweep(model.albumsModel());
        sweep(model.playlistsModel());
    }

    void failedLoadLeavesEverythingEmpty()
    {
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        MusicViewModel model;
        QTRY_VERIFY(!model.isLoading());
        QVERIFY(model.tracks().isEmpty() && model.albums().isEmpty());
    }

    // The five texts go as they stand; anything but a stored track is a failure that adds nothing.
    void uploadOutcomes_data()
    {
        QTest::addColumn<int>("status"); // 0: nothing listens
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("stored");
        const QByteArray sent = track(77, "Новый", "Кто-то", "Альбом").toJson();
        QTest::newRow("stored") << 200 << QByteArray("{\"success\":true,\"data\":" + sent + "}") << true;
        QTest::newRow("refused") << 200 << QByteArray(R"({"success":false,"message":"Укажите"})") << false;
        QTest::newRow("refused with a track")
            << 200 << QByteArray("{\"success\":false,\"data\":" + sent + "}") << false;
        QTest::newRow("success without data") << 200 << QByteArray(R"({"success":true,"message":"ok"})") << false;
        QTest::newRow("data that is no track") << 200 << QByteArray(R"({"success":true,"data":{"id":1}})") << false;
        QTest::newRow("not JSON") << 200 << QByteArray("<html>oops</html>") << false;
        QTest::newRow("HTTP 401") << 401 << QByteArray(R"({"success":true,"data":{}})") << false;
        QTest::newRow("nothing listens") << 0 << QByteArray() << false;
    }
    void uploadOutcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(bool, stored);
        const QList<Track> existing{track(1, "Old", "A", "Альбом")};
        ScriptedResponder responder;
        const auto model = loadedModel(responder, existing);
        QVERIFY(model);
        if (status == 0)
            NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        else
            responder.reply(status, reply);
        const TaskOutcome<bool> outcome =
            runToEnd(model->uploadNewTrack(" T ", "", "", "http://x/a.mp3", "http://x/c.jpg"));
        QCOMPARE(outcome.value, std::optional<bool>(stored));
        QCOMPARE(model->tracks().size(), existing.size() + (stored ? 1 : 0));
        QCOMPARE(model->tracks().first().id, stored ? qint64(77) : qint64(1));
        QCOMPARE(model->albums().first().tracks.size(), stored ? 2 : 1);
        QCOMPARE(model->albums().first().tracks.first().id, stored ? qint64(77) : qint64(1)); // the new one first
        if (status == 0)
            return;
        QCOMPARE(responder.requests().size(), 2);
        const ScriptedResponder::Request &request = responder.requests().at(1);
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/music_upload.php"));
        QCOMPARE(QJsonDocument::fromJson(request.body).object(), (QJsonObject{{"title", " T "},
                                                                              {"artist", ""},
                                                                              {"album_name", ""},
                                                                              {"audio_url", "http://x/a.mp3"},
                                                                              {"cover_url", "http://x/c.jpg"}}));
    }

    void likesAndFavourites_data()
    {
        QTest::addColumn<QList<qint64>>("toggles");
        QTest::addColumn<QList<bool>>("liked");
        QTest::addColumn<QList<qint64>>("favourites");
        // Track 1 arrives not liked, track 2 liked.
        QTest::newRow("nothing toggled: favourites empty though one arrived liked")
            << QList<qint64>{} << QList<bool>{false, true} << QList<qint64>{};
        QTest::newRow("liked once: one copy") << QList<qint64>{1} << QList<bool>{true, true} << QList<qint64>{1};
        QTest::newRow("liked and unliked") << QList<qint64>{1, 1} << QList<bool>{false, true} << QList<qint64>{};
        QTest::newRow("arrived liked, toggled: unliked, favourites unchanged")
            << QList<qint64>{2} << QList<bool>{false, false} << QList<qint64>{};
        QTest::newRow("arrived liked, toggled twice: one copy")
            << QList<qint64>{2, 2} << QList<bool>{false, true} << QList<qint64>{2};
        QTest::newRow("unknown id") << QList<qint64>{99} << QList<bool>{false, true} << QList<qint64>{};
        QTest::newRow("three times: one copy") << QList<qint64>{1, 1, 1} << QList<bool>{true, true} << QList<qint64>{1};
    }
    void likesAndFavourites()
    {
        QFETCH(QList<qint64>, toggles);
        QFETCH(QList<bool>, liked);
        QFETCH(QList<qint64>, favourites);
        ScriptedResponder responder;
        const auto model = loadedModel(responder, {track(1, "a", "A", "X"), track(2, "b", "B", "X", {}, true)});
        QVERIFY(model);
        model->createPlaylist("p", "", std::nullopt, false);
        model->addTrackToPlaylist(model->tracks().at(0), model->playlists().first().id);
        QAbstractItemModelTester tester(model->tracksModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        for (const qint64 id : toggles) {
            // The given track's own flag means nothing: only its id counts.
            model->toggleLike(track(id, "?", "?", {}, {}, true));
        }
        const int likedRole = model->tracksModel()->roleNames().key("isLiked");
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(model->tracks().at(row).isLiked, liked.at(row));
            QCOMPARE(model->tracksModel()->index(row, 0).data(likedRole).toBool(), liked.at(row));
        }
        QCOMPARE(idsOf(model->favoriteTracks()), favourites);
        for (const Track &favourite : model->favoriteTracks())
            QVERIFY(favourite.isLiked);
        // Copies in albums and playlists keep the flag they had.
        QCOMPARE(model->albums().first().tracks.first().isLiked, false);
        QCOMPARE(model->playlists().first().tracks.first().isLiked, false);
        // Likes and playlists live on the device: only the first load reached the peer.
        QCOMPARE(responder.requests().size(), 1);
    }
};

QTEST_MAIN(TestMusicViewModel)
#include "tst_musicviewmodel.moc"
