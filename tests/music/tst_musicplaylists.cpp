#include "MusicSamples.h"
#include "SiteAddress.h"

#include <QRegularExpression>
#include <QTest>

using namespace MusicSamples;

// Playlists of the music model: newest first, links for public ones only, a track at most once
// in each, and ids that no two playlists share.
class TestMusicPlaylists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void playlistLinksAndPrivacy_data()
    {
        QTest::addColumn<bool>("isPublic");
        QTest::addColumn<QString>("cover");
        QTest::newRow("public, with a cover") << true << "http://127.0.0.1/c.jpg";
        QTest::newRow("public, no cover") << true << "";
        QTest::newRow("private") << false << "";
    }
    void playlistLinksAndPrivacy()
    {
        QFETCH(bool, isPublic);
        QFETCH(QString, cover);
        ScriptedResponder responder;
        const auto model = loadedModel(responder, {});
        QVERIFY(model);
        model->createPlaylist("Older", "", std::nullopt, true);
        const std::optional<QString> coverUrl = cover.isEmpty() ? std::nullopt : std::optional<QString>(cover);
        model->createPlaylist(" Имя ", "Описание", coverUrl, isPublic);

        QCOMPARE(model->playlists().size(), 2);
        const Playlist newest = model->playlists().first();
        QCOMPARE(newest.name, QStringLiteral(" Имя "));
        QCOMPARE(newest.description, QStringLiteral("Описание"));
        QCOMPARE(newest.coverUrl, coverUrl);
        QCOMPARE(newest.isPublic, isPublic);
        QVERIFY(newest.tracks.isEmpty());
        QVERIFY(newest.id >= 1000 && newest.id <= 9999);
        QCOMPARE(model->playlists().at(1).name, QStringLiteral("Older"));
        if (isPublic) {
            QVERIFY(newest.shareUrl);
            const QRegularExpression link("^" + QRegularExpression::escape(SiteAddress::root()) + "/pl/[a-z0-9]{10}$");
            QVERIFY2(link.match(*newest.shareUrl).hasMatch(), qPrintable(*newest.shareUrl));
            // The site's own address, never where the server client happens to point.
            QVERIFY(!newest.shareUrl->startsWith(responder.baseUrl()));
        } else {
            QCOMPARE(newest.shareUrl, std::nullopt);
        }
        QCOMPARE(responder.requests().size(), 1);
    }

    void tracksJoinAPlaylistOnce_data()
    {
        QTest::addColumn<QList<qint64>>("added");
        QTest::addColumn<qint64>("playlistId");
        QTest::addColumn<QList<qint64>>("inFirst");
        QTest::addColumn<QList<qint64>>("inSecond");
        // Two playlists: 2000 (newer, first) and 1000, whose id the newer one's first draw repeats:
        // two playlists sharing an id would put a track meant for the older one into the newer.
        QTest::newRow("appended in order")
            << QList<qint64>{2, 1} << qint64(1000) << QList<qint64>{} << QList<qint64>{2, 1};
        QTest::newRow("the same track twice keeps one")
            << QList<qint64>{1, 1} << qint64(2000) << QList<qint64>{1} << QList<qint64>{};
        QTest::newRow("unknown playlist") << QList<qint64>{1} << qint64(3000) << QList<qint64>{} << QList<qint64>{};
    }
    void tracksJoinAPlaylistOnce()
    {
        QFETCH(QList<qint64>, added);
        QFETCH(qint64, playlistId);
        QFETCH(QList<qint64>, inFirst);
        QFETCH(QList<qint64>, inSecond);
        ScriptedResponder responder;
        const auto model = loadedModel(responder, {track(1, "a", "A"), track(2, "b", "B")});
        QVERIFY(model);
        model->setRandomDraw(scriptedIds({1000, 1000, 2000}));
        model->createPlaylist("one", "", std::nullopt, true);
        model->createPlaylist("two", "", std::nullopt, true);
        QCOMPARE(model->playlists().at(0).id, qint64(2000));
        QCOMPARE(model->playlists().at(1).id, qint64(1000));
        // The link's characters come from the same generator: all from the low end here.
        QCOMPARE(*model->playlists().at(0).shareUrl, SiteAddress::root() + "/pl/aaaaaaaaaa");
        for (const qint64 id : added)
            model->addTrackToPlaylist(model->tracks().at(id - 1), playlistId);
        QCOMPARE(idsOf(model->playlists().at(0).tracks), inFirst);
        QCOMPARE(idsOf(model->playlists().at(1).tracks), inSecond);
    }
};

QTEST_MAIN(TestMusicPlaylists)
#include "tst_musicplaylists.moc"
