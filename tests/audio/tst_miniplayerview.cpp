#include "AudioPlayerManager.h"
#include "AudioTestTracks.h"
#include "FakePlayerBackend.h"
#include "FingerDrag.h"
#include "QmlScreen.h"
#include "app/ScreenDriver.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QString>)

class TestMiniPlayerView : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakePlayerBackend::World> m_world = std::make_shared<FakePlayerBackend::World>();
    std::unique_ptr<QmlScreen> m_screen;
    qint64 m_nextId = 100;

    AudioPlayerManager &player() { return AudioPlayerManager::shared(); }
    QQuickItem *bar() { return m_screen->find(QStringLiteral("miniPlayerBar")); }
    QString text(const QString &name) { return m_screen->find(name)->property("text").toString(); }
    QString buttonSymbol()
    {
        return m_screen->find(QStringLiteral("miniPlayerButtonSymbol"))->property("symbol").toString();
    }
    QObject *sheet() { return m_screen->root()->findChild<QObject *>(QStringLiteral("playerSheet")); }

    void playNew(Track track)
    {
        track.id = ++m_nextId;
        player().play(track);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(AudioPlayerManager::useBackendForShared(std::make_unique<FakePlayerBackend>(m_world)));
        m_screen = std::make_unique<QmlScreen>(QStringLiteral("MiniPlayerView.qml"));
        QVERIFY2(m_screen->isReady(), qPrintable(m_screen->errors()));
        // The tab screen lets the bar size itself; the test window had stretched it.
        m_screen->root()->resetHeight();
    }

    void cleanup()
    {
        m_world->refusal = FakePlayerBackend::World::Refusal::None;
        if (sheet() && sheet()->property("visible").toBool()) {
            QMetaObject::invokeMethod(sheet(), "close");
            QTRY_VERIFY(!sheet()->property("visible").toBool());
        }
    }

    void absentBeforeTheFirstTrack()
    {
        QCOMPARE(m_screen->root()->height(), 0.0);
        QVERIFY(!m_screen->root()->isVisible());
        QTest::mouseClick(m_screen->window(), Qt::LeftButton, {}, QPoint(195, 30));
        QTest::qWait(100);
        QVERIFY(!sheet()->property("visible").toBool());
    }

    // Nothing can play it, so the bar never offers a pause over silence.
    void unusableFirstTrackShowsPlayAndTheButtonChangesNothing()
    {
        playNew(makeTrack(0, QString(), 200, QStringLiteral("Без звука"), QStringLiteral("Никто")));
        QTRY_VERIFY(m_screen->root()->isVisible());
        QCOMPARE(text(QStringLiteral("miniPlayerTitle")), QStringLiteral("Без звука"));
        QCOMPARE(buttonSymbol(), QStringLiteral("play.fill"));
        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerButton")));
        QCOMPARE(buttonSymbol(), QStringLiteral("play.fill"));
        QVERIFY(!player().isPlaying());
        QVERIFY(!sheet()->property("visible").toBool());
    }

    // Media the platform refuses: each tap on the button tries it again with a new player, and
    // each try ends on "play".
    void refusedMediaEndsOnPlayAtEveryTap()
    {
        m_world->refusal = FakePlayerBackend::World::Refusal::OnPlay;
        playNew(makeTrack(0, QStringLiteral("http://127.0.0.1:9/garbage.mp3")));
        QCOMPARE(buttonSymbol(), QStringLiteral("play.fill"));
        const size_t players = m_world->players.size();
        for (int tap = 1; tap <= 3; ++tap) {
            ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerButton")));
            QCOMPARE(buttonSymbol(), QStringLiteral("play.fill"));
            QCOMPARE(m_world->players.size(), players + size_t(tap));
        }
        QVERIFY(!sheet()->property("visible").toBool());
    }

    void showsTitleAndArtistOnOneLineEach()
    {
        const QString longTitle =
            QStringLiteral("Очень длинное название песни, которое никак не помещается в одну строку");
        const QString longArtist = QStringLiteral("Исполнитель с не менее длинным именем и ещё двумя соавторами");
        playNew(makeTrack(0, QStringLiteral("http://127.0.0.1:9/a.wav"), 200, longTitle, longArtist));
        QCOMPARE(text(QStringLiteral("miniPlayerTitle")), longTitle);
        QCOMPARE(text(QStringLiteral("miniPlayerArtist")), longArtist);
        for (const QString &name : {QStringLiteral("miniPlayerTitle"), QStringLiteral("miniPlayerArtist")}) {
            QQuickItem *label = m_screen->find(name);
            QCOMPARE(label->property("lineCount").toInt(), 1);
            QVERIFY(label->property("truncated").toBool());
        }
        // The bar sits 60 above the bottom of its own height, which is what lifts it over the tabs.
        QCOMPARE(m_screen->root()->height(), bar()->height() + 60);
        QVERIFY(bar()->height() >= 42 + 16);
        QCOMPARE(bar()->width(), m_screen->root()->width() - 24);
    }

    void artwork_data()
    {
        QTest::addColumn<std::optional<QString>>("cover");
        QTest::addColumn<bool>("placeholder");
        QTest::newRow("no cover") << std::optional<QString>() << true;
        QTest::newRow("empty cover") << std::optional<QString>(QString()) << true;
        QTest::newRow("not an address") << std::optional<QString>(QStringLiteral("http://a b/c.jpg")) << true;
        QTest::newRow("cover address") << std::optional<QString>(QStringLiteral("http://127.0.0.1:9/c.jpg")) << false;
    }

    void artwork()
    {
        QFETCH(std::optional<QString>, cover);
        QFETCH(bool, placeholder);
        Track track = makeTrack(0, QStringLiteral("http://127.0.0.1:9/a.wav"));
        track.coverUrl = cover;
        playNew(track);
        QCOMPARE(m_screen->find(QStringLiteral("artworkPlaceholder"))->isVisible(), placeholder);
    }

    void buttonTogglesWithoutOpeningTheSheet()
    {
        playNew(makeTrack(0, QStringLiteral("http://127.0.0.1:9/a.wav")));
        QCOMPARE(buttonSymbol(), QStringLiteral("pause.fill"));
        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerButton")));
        QCOMPARE(buttonSymbol(), QStringLiteral("play.fill"));
        QVERIFY(!player().isPlaying());
        QCOMPARE(m_world->last()->calls.last(), QStringLiteral("pause"));
        QTest::qWait(100);
        QVERIFY(!sheet()->property("visible").toBool());
        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerButton")));
        QCOMPARE(buttonSymbol(), QStringLiteral("pause.fill"));
    }

    // A tap beside the button opens the sheet for the track shown; only a swipe down closes it,
    // and the next opening starts without the lyrics sheet.
    void tapElsewhereOpensTheSheetUntilItIsSwipedAway()
    {
        playNew(makeTrack(0, QStringLiteral("http://127.0.0.1:9/a.wav"), 200, QStringLiteral("Открой меня"),
                          QStringLiteral("Артист")));
        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerTitle")));
        QTRY_VERIFY(sheet()->property("opened").toBool());
        QQuickItem *view = ScreenDriver::ifShown(m_screen->find(QStringLiteral("musicPlayerView")));
        QVERIFY(view);
        QCOMPARE(text(QStringLiteral("playerTitle")), QStringLiteral("Открой меня"));
        QCOMPARE(text(QStringLiteral("playerArtist")), QStringLiteral("Артист"));
        QVERIFY(player().isPlaying());
        // A tap on the dimmed strip above it does not close it.
        QTest::mouseClick(m_screen->window(), Qt::LeftButton, {}, QPoint(195, 20));
        QTest::qWait(100);
        QVERIFY(sheet()->property("opened").toBool());

        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("lyricsButton")));
        QTRY_VERIFY(ScreenDriver::ifShown(m_screen->find(QStringLiteral("lyricsView"))));
        QObject *lyricsSheet = view->findChild<QObject *>(QStringLiteral("lyricsSheet"));
        QVERIFY(lyricsSheet);
        QMetaObject::invokeMethod(lyricsSheet, "close");
        QTRY_VERIFY(!lyricsSheet->property("visible").toBool());

        // Drag the player sheet down by its top, as a finger would.
        FingerDrag::down(m_screen->window(), view->mapToScene(QPointF(view->width() / 2, 30)).toPoint(), 600, 20, 16);
        QTRY_VERIFY(!sheet()->property("visible").toBool());
        QVERIFY(player().isPlaying());

        ScreenDriver::tap(m_screen->window(), m_screen->find(QStringLiteral("miniPlayerTitle")));
        QTRY_VERIFY(sheet()->property("opened").toBool());
        QVERIFY(!ScreenDriver::ifShown(m_screen->find(QStringLiteral("lyricsView"))));
    }
};

QTEST_MAIN(TestMiniPlayerView)
#include "tst_miniplayerview.moc"
