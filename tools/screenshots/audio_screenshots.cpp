// Walks the real application window through the player screens, playing the demo service's tracks
// as a person would, and saves a picture of each: a track tapped on the music tab with the mini
// player over the tab, the player sheet opened from the mini player, its lyrics sheet, and the
// player sheet of the demo's live station. Run by tools/screenshots.sh against the demo service.
// The tunes play for real, in time, also where there is no sound card (ScreenshotTour::preferGStreamer).
#include "AudioPlayerManager.h"
#include "QmlScreen.h"
#include "RoundedImage.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"

#include <QGuiApplication>
#include <QTest>

#include <algorithm>

namespace {

constexpr int patience = 10000;

// Every picture on show has arrived: the picture is taken without a grey loading tile in it. A
// picture item hides itself until it is ready, so whether it is on show is its parent's.
bool picturesArrived(const QQuickItem *item)
{
    const auto children = item->childItems();
    return std::all_of(children.begin(), children.end(), [](const QQuickItem *child) {
        const auto *picture = qobject_cast<const RoundedImage *>(child);
        if (picture && !picture->source().isEmpty() && picture->status() != RoundedImage::Ready)
            return false;
        return !child->isVisible() || picturesArrived(child);
    });
}

// The tracks segment's row of the demo track of this title.
QQuickItem *trackRow(const QmlScreen &screen, const QString &title)
{
    for (int index = 0; QQuickItem *row = screen.find(QStringLiteral("trackRow%1").arg(index)); ++index) {
        if (row->property("title").toString() == title)
            return row;
    }
    return nullptr;
}

// Risen all the way, its dimming behind it complete.
bool risen(const QObject *sheet)
{
    return sheet && sheet->property("opened").toBool();
}

} // namespace

int main(int argc, char *argv[])
{
    ScreenshotTour::preferGStreamer();
    QGuiApplication app(argc, argv);
    const QString out = ScreenshotTour::begin(argc, argv);

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };
    const auto sheet = [&screen](const char *name) { return screen.findObject(QString::fromLatin1(name)); };
    const AudioPlayerManager &player = AudioPlayerManager::shared();
    const auto fail = [](const char *what) {
        qWarning("%s", what);
        return 1;
    };
    const auto settled = [&] { return picturesArrived(window->contentItem()); };
    // A demo tune lasts two seconds. Each picture is taken while it plays, past its start; when it
    // has ended by the time the screen is ready, the button beside it plays it again, as a
    // listener would.
    const auto sounding = [&] { return player.isPlaying() && player.currentTime() > 0; };
    const auto untilSounding = [&](const char *button) {
        for (int tries = 0; tries < 3; ++tries) {
            if (QTest::qWaitFor([&] { return sounding() || !player.isPlaying(); }, patience) && sounding())
                return true;
            ScreenDriver::tap(window, item(button));
        }
        return false;
    };
    const auto playerSheetUp = [&] { return risen(sheet("playerSheet")) && item("playPauseButton") && settled(); };

    ScreenshotTour::signIn(screen);
    if (!QTest::qWaitFor([&] { return item("tabButton2") != nullptr; }, patience))
        return fail("the tab screen did not come");
    ScreenDriver::tap(window, item("tabButton2"));
    if (!QTest::qWaitFor([&] { return trackRow(screen, QStringLiteral("Акварель")) && settled(); }, patience))
        return fail("the demo tracks did not come with their sleeves");

    // A track with a sleeve, an album and lyrics, tapped in the list; the mini player comes over the tab.
    ScreenDriver::tapWhenSettled(window, trackRow(screen, QStringLiteral("Акварель")));
    if (!QTest::qWaitFor([&] { return ScreenDriver::ifShown(item("miniPlayer")) && settled(); }, patience) ||
        !untilSounding("miniPlayerButton"))
        return fail("the track did not play under the mini player");
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/mini-player-over-tab.png"), 0);

    ScreenDriver::tapWhenSettled(window, item("miniPlayerTitle"));
    if (!QTest::qWaitFor(playerSheetUp, patience) || !untilSounding("playPauseButton"))
        return fail("the player sheet did not rise with its cover and play");
    ok = ScreenshotTour::save(window, out + QStringLiteral("/player-sheet.png"), 0) && ok;

    ScreenDriver::tap(window, item("lyricsButton"));
    if (!QTest::qWaitFor([&] { return risen(sheet("lyricsSheet")) && item("lyricsText"); }, patience))
        return fail("the lyrics sheet did not rise");
    ok = ScreenshotTour::save(window, out + QStringLiteral("/lyrics-sheet.png"), 0) && ok;

    // Both sheets left with Escape, then the demo's live station (its length is 0) from its row.
    for (const char *name : {"lyricsSheet", "playerSheet"}) {
        QTest::keyClick(window, Qt::Key_Escape);
        if (!QTest::qWaitFor([&] { return ScreenDriver::sheetGone(sheet(name)); }, patience))
            return fail("a sheet did not close on Escape");
    }
    const QString station = QStringLiteral("Радио Vorlane");
    QQuickItem *stationRow = trackRow(screen, station);
    if (!stationRow)
        return fail("the demo data has no live station");
    ScreenDriver::tapWhenSettled(window, stationRow);
    if (!QTest::qWaitFor([&] { return player.currentTrack() && player.currentTrack()->title == station; }, patience))
        return fail("the station did not start");
    ScreenDriver::tapWhenSettled(window, item("miniPlayerTitle"));
    if (!QTest::qWaitFor(playerSheetUp, patience) || !untilSounding("playPauseButton"))
        return fail("the station's player sheet did not rise with its cover and play");
    ok = ScreenshotTour::save(window, out + QStringLiteral("/player-sheet-live.png"), 0) && ok;
    return ok ? 0 : 1;
}
