#include "AudioPlayerManager.h"
#include "AudioScreenHelpers.h"
#include "AudioTestTracks.h"
#include "FakePlayerBackend.h"
#include "PlaybackTime.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"

#include <QColor>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <limits>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {
const QString address = QStringLiteral("http://127.0.0.1:9/a.wav");
}

class TestMusicPlayerView : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakePlayerBackend::World> m_world = std::make_shared<FakePlayerBackend::World>();
    qint64 m_nextId = 500;

    AudioPlayerManager &player() { return AudioPlayerManager::shared(); }

    Track freshTrack(qint64 seconds = 200)
    {
        return makeTrack(++m_nextId, address, seconds, QStringLiteral("Сон"), QStringLiteral("Группа"));
    }

    // Plays the track and lets the fake report the given length once.
    void playAndReport(const Track &track, double itemDuration, double position = 0)
    {
        player().play(track);
        auto state = m_world->last();
        state->itemDuration = itemDuration;
        state->position = position;
        state->tick();
    }

    // The player sheet showing the track, as the mini player opens it.
    static std::unique_ptr<QmlScreen> open(const Track &track)
    {
        return std::make_unique<QmlScreen>(QStringLiteral("MusicPlayerView.qml"),
                                           QVariantMap{{QStringLiteral("track"), QVariant::fromValue(track)}});
    }

    static QString text(const QmlScreen &screen, const QString &name)
    {
        return screen.find(name)->property("text").toString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(AudioPlayerManager::useBackendForShared(std::make_unique<FakePlayerBackend>(m_world)));
    }

    // What the sheet shows of its own track; lyrics open in their own sheet, as plain text.
    void showsTheTrack_data()
    {
        QTest::addColumn<std::optional<QString>>("album");
        QTest::addColumn<QString>("albumLine"); // null: hidden
        QTest::addColumn<std::optional<QString>>("lyrics");
        QTest::addColumn<QString>("lyricsText");
        QTest::newRow("no album, no lyrics") << std::optional<QString>() << QString() << std::optional<QString>()
                                             << QStringLiteral("Текст для этой песни не добавлен.");
        QTest::newRow("empty album name, empty lyrics")
            << std::optional<QString>(QString()) << QStringLiteral("Альбом: ") << std::optional<QString>(QString())
            << QString("");
        QTest::newRow("album, lyrics with markup")
            << std::optional<QString>(QStringLiteral("Лето")) << QStringLiteral("Альбом: Лето")
            << std::optional<QString>(QStringLiteral("<b>не жирный</b>")) << QStringLiteral("<b>не жирный</b>");
    }

    void showsTheTrack()
    {
        QFETCH(std::optional<QString>, album);
        QFETCH(QString, albumLine);
        QFETCH(std::optional<QString>, lyrics);
        QFETCH(QString, lyricsText);
        Track track = freshTrack();
        track.albumName = album;
        track.lyrics = lyrics;
        track.coverUrl = QStringLiteral("::"); // not an address: the note tile stands in
        auto screen = open(track);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QCOMPARE(text(*screen, "playerTitle"), QStringLiteral("Сон"));
        QCOMPARE(text(*screen, "playerArtist"), QStringLiteral("Группа"));
        QCOMPARE(screen->find("playerAlbum")->isVisible(), !albumLine.isNull());
        if (!albumLine.isNull())
            QCOMPARE(text(*screen, "playerAlbum"), albumLine);
        QVERIFY(shownItem(*screen, "artworkPlaceholder"));
        QVERIFY(!shownItem(*screen, "artworkPicture"));
        QVERIFY(!shownItem(*screen, "coverShadow"));

        QVERIFY(!screen->find("lyricsView"));
        tapItem(*screen, screen->find("lyricsButton"));
        QTRY_VERIFY(shownItem(*screen, "lyricsView"));
        QCOMPARE(text(*screen, "lyricsHeading"), QStringLiteral("Текст песни"));
        QCOMPARE(text(*screen, "lyricsTrackTitle"), QStringLiteral("Сон"));
        QCOMPARE(text(*screen, "lyricsText"), lyricsText);
        QCOMPARE(screen->find("lyricsText")->property("textFormat").toInt(), int(Qt::PlainText));
    }

    // The slider's range comes from the player once it knows a length, else from the sheet's own track.
    void sliderRangeAndLengthLabel_data()
    {
        QTest::addColumn<qint64>("playerTrackSeconds");
        QTest::addColumn<double>("itemDuration");
        QTest::addColumn<qint64>("sheetTrackSeconds");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QString>("lengthLabel");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("player length wins") << qint64(200) << 245.3 << qint64(200) << 245.3 << "3:20";
        QTest::newRow("player length 0") << qint64(0) << nan << qint64(200) << 200.0 << "3:20";
        QTest::newRow("live") << qint64(0) << nan << qint64(0) << 1.0 << "LIVE";
    }

    void sliderRangeAndLengthLabel()
    {
        QFETCH(qint64, playerTrackSeconds);
        QFETCH(double, itemDuration);
        QFETCH(qint64, sheetTrackSeconds);
        QFETCH(double, upper);
        QFETCH(QString, lengthLabel);
        Track track = freshTrack(playerTrackSeconds);
        playAndReport(track, itemDuration, 65.7);
        track.durationSeconds = sheetTrackSeconds;
        auto screen = open(track);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QQuickItem *slider = screen->find("playerSlider");
        QCOMPARE(slider->property("from").toDouble(), 0.0);
        QCOMPARE(slider->property("to").toDouble(), upper);
        QCOMPARE(text(*screen, "playerLength"), lengthLabel);
        QCOMPARE(text(*screen, "playerElapsed"), QStringLiteral("1:05"));
    }

    void sliderSeeksAndShowsTheReportedPosition()
    {
        const Track track = freshTrack(200);
        playAndReport(track, 200, 10);
        auto screen = open(track);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QQuickItem *slider = screen->find("playerSlider");
        QCOMPARE(slider->property("value").toDouble(), 10.0);

        tapItem(*screen, slider, QPointF(slider->width() / 2, slider->height() / 2));
        auto state = m_world->last();
        QVERIFY2(state->calls.last().startsWith(QStringLiteral("seek ")), qPrintable(state->calls.join(u',')));
        QVERIFY(qAbs(state->position - 100) < 10);
        QCOMPARE(player().currentTime(), 10.0);
        QCOMPARE(text(*screen, "playerElapsed"), QStringLiteral("0:10"));

        state->tick();
        QCOMPARE(slider->property("value").toDouble(), state->position);
        QCOMPARE(text(*screen, "playerElapsed"), PlaybackTime::formatTime(state->position));
    }

    void onlyPlayPauseActs_data()
    {
        QTest::addColumn<bool>("liked");
        QTest::addColumn<QString>("heart");
        QTest::newRow("not liked") << false << QStringLiteral("heart");
        QTest::newRow("liked") << true << QStringLiteral("heart.fill");
    }

    void onlyPlayPauseActs()
    {
        QFETCH(bool, liked);
        QFETCH(QString, heart);
        Track track = freshTrack();
        track.isLiked = liked;
        player().play(track);
        auto screen = open(track);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QQuickItem *heartSymbol = screen->find("heartSymbol");
        const QColor colour = heartSymbol->property("color").value<QColor>();
        QCOMPARE(colour == QColor(QStringLiteral("#FF3B30")), liked);
        const QStringList callsBefore = m_world->last()->calls;
        for (const QString &name :
             {QStringLiteral("backwardButton"), QStringLiteral("forwardButton"), QStringLiteral("heartButton")})
            tapItem(*screen, screen->find(name));
        QCOMPARE(heartSymbol->property("symbol").toString(), heart);
        QCOMPARE(heartSymbol->property("color").value<QColor>(), colour);
        QCOMPARE(m_world->last()->calls, callsBefore);
        QVERIFY(player().isPlaying());
        QCOMPARE(player().currentTrack()->id, track.id);

        // Play and pause does act, and its symbol follows the player.
        QQuickItem *symbol = screen->find("playPauseSymbol");
        QCOMPARE(symbol->property("symbol").toString(), QStringLiteral("pause.circle.fill"));
        tapItem(*screen, screen->find("playPauseButton"));
        QCOMPARE(symbol->property("symbol").toString(), QStringLiteral("play.circle.fill"));
        QVERIFY(!player().isPlaying());
        QCOMPARE(m_world->last()->calls.last(), QStringLiteral("pause"));
    }

    // The cover is cut to the tile's rounded shape at all four corners: what shows at a corner is
    // what lies just outside the tile (the sheet and the tile's shadow), never the picture and
    // never a patch of another colour.
    void coverCornersAreRounded()
    {
        QImage red(300, 300, QImage::Format_RGB32);
        red.fill(Qt::red);
        ScriptedResponder pictures;
        Track track = freshTrack();
        track.coverUrl = pictures.servePicture(red);
        auto screen = open(track);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QTRY_VERIFY(shownItem(*screen, "artworkPicture"));
        QVERIFY(shownItem(*screen, "coverShadow"));
        QQuickItem *tile = screen->find("playerArtwork");
        const QImage shot = screen->grab();
        const auto pixel = [&](qreal x, qreal y) { return shot.pixelColor(tile->mapToScene(QPointF(x, y)).toPoint()); };
        const auto isPicture = [](const QColor &c) { return c.red() - c.green() > 200; };
        const qreal w = tile->width(), h = tile->height();

        QVERIFY(isPicture(pixel(w / 2, h / 2)));
        for (const QPointF &edge : {QPointF(w / 2, 1), QPointF(w / 2, h - 2), QPointF(1, h / 2), QPointF(w - 2, h / 2)})
            QVERIFY2(isPicture(pixel(edge.x(), edge.y())), qPrintable(pixel(edge.x(), edge.y()).name()));
        // Inside each corner's square, outside its arc, against the pixel beside the tile.
        const struct
        {
            qreal x, y, outsideX;
        } corners[] = {{2, 2, -3}, {w - 3, 2, w + 2}, {2, h - 3, -3}, {w - 3, h - 3, w + 2}};
        for (const auto &corner : corners) {
            const QColor inside = pixel(corner.x, corner.y), outside = pixel(corner.outsideX, corner.y);
            const int difference = std::max({qAbs(inside.red() - outside.red()), qAbs(inside.green() - outside.green()),
                                             qAbs(inside.blue() - outside.blue())});
            QVERIFY2(difference <= 12, qPrintable(QStringLiteral("corner (%1, %2) is %3 beside %4")
                                                      .arg(corner.x)
                                                      .arg(corner.y)
                                                      .arg(inside.name(), outside.name())));
        }
    }
};

QTEST_MAIN(TestMusicPlayerView)
#include "tst_musicplayerview.moc"
