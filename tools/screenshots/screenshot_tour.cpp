// Walks the real application window through the screens shown in the README and saves a
// picture of each: the sign-in screen, registration with an error banner, the feed, the music
// tab with the mini player, and the other tabs. Run by tools/screenshots.sh against the demo
// service.
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"

#include <QGuiApplication>
#include <QTest>

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

    (void)QTest::qWaitFor([&] { return item("logoImage")->property("status").toInt() == 1; }, 5000);
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/sign-in.png"));

    ScreenDriver::tap(window, item("modeToggle"));
    ScreenDriver::type(window, item("firstNameField"), QStringLiteral("Maria"));
    ScreenDriver::type(window, item("usernameField"), QStringLiteral("maria_k"));
    ScreenDriver::tap(window, item("submitButton"));
    (void)QTest::qWaitFor([&] { return item("errorBanner")->isVisible(); }, 5000);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/registration-error.png")) && ok;

    ScreenDriver::tap(window, item("modeToggle"));
    ScreenshotTour::signIn(screen);
    if (!QTest::qWaitFor([&] { return item("feedList") && item("feedList")->property("count").toInt() > 0; }, 10000))
        return 1;
    QTest::qWait(1500);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/tabs-feed.png")) && ok;

    ScreenDriver::tap(window, item("tabButton2"));
    (void)QTest::qWaitFor([&] { return item("trackList")->property("count").toInt() > 0; }, 10000);
    QTest::qWait(500); // the rows settle into place after the tab switch
    if (QQuickItem *firstRow = item("trackRow0"))
        ScreenDriver::tap(window, firstRow);
    (void)QTest::qWaitFor([&] { return item("miniPlayer") && item("miniPlayer")->isVisible(); }, 5000);
    QTest::qWait(1000);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/tabs-music.png")) && ok;

    const QList<std::pair<const char *, QString>> others{{"tabButton1", QStringLiteral("/tabs-channels.png")},
                                                         {"tabButton3", QStringLiteral("/tabs-video.png")},
                                                         {"tabButton4", QStringLiteral("/tabs-profile.png")}};
    for (const auto &[button, file] : others) {
        ScreenDriver::tap(window, item(button));
        QTest::qWait(1500);
        ok = ScreenshotTour::save(window, out + file) && ok;
    }
    ScreenDriver::tap(window, item("followersButton"));
    // The sample member's avatar comes from the service: the picture shows it, not its placeholder.
    (void)QTest::qWaitFor(
        [&] {
            QQuickItem *row = item("userRow0");
            auto *avatar = row ? row->findChild<QQuickItem *>(QStringLiteral("avatarImage")) : nullptr;
            return avatar && avatar->isVisible();
        },
        5000);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/followers-sheet.png")) && ok;
    return ok ? 0 : 1;
}
