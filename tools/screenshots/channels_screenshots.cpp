// Walks the real application window through the channels tab and saves a picture of each step:
// the catalogue, the own-channels segment, a channel page as its creator and as a visitor, and
// the subscribers sheet. Run by tools/screenshots.sh against the demo service; a second argument
// points the client at another service address.
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
    const auto tap = [&](const char *name) {
        QQuickItem *target = item(name);
        if (!target) {
            qWarning("no item %s", name);
            return false;
        }
        ScreenDriver::tap(window, target);
        return true;
    };
    const auto waitFor = [](auto condition) { return QTest::qWaitFor(condition, 10000); };

    ScreenshotTour::signIn(screen);
    if (!waitFor([&] { return item("tabButton1") != nullptr; }))
        return 1;

    tap("tabButton1");
    if (!waitFor([&] { return item("channelList") && item("channelList")->property("count").toInt() > 2; }))
        return 1;
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/tabs-channels.png"), 900);

    tap("segment1");
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channels-own.png"), 900) && ok;
    tap("segment0");
    QTest::qWait(300);

    // The demo account owns the second channel of the catalogue and not the first.
    tap("channelRow1");
    if (!waitFor([&] { return item("postCard0") != nullptr; }))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-page-creator.png"), 900) && ok;
    tap("navigationBackButton");
    QTest::qWait(500);

    tap("channelRow0");
    if (!waitFor([&] { return item("postCard0") != nullptr; }))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-page-visitor.png"), 900) && ok;

    tap("subscribersButton");
    (void)waitFor([&] { return item("userList") && item("userList")->property("count").toInt() > 0; });
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-subscribers-sheet.png"), 900) && ok;
    return ok ? 0 : 1;
}
