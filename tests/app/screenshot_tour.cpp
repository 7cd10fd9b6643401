// Walks the real application window through the screens shown in the README and saves a
// picture of each: the sign-in screen, registration with an error banner, the feed, the music
// tab with the mini player, and the other tabs. Run by tools/screenshots.sh against the demo
// service.
#include "QmlScreen.h"
#include "ScreenDriver.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickStyle>
#include <QTest>

namespace {

bool save(QQuickWindow *window, const QString &path)
{
    QTest::qWait(700); // let pictures and animations settle
    const QImage shot = window->grabWindow();
    const bool saved = shot.save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    // The GStreamer backend plays without a sound card; the FFmpeg one fails without an output.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    ScreenDriver::clearSettings();

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!screen.isReady()) {
        qWarning("%s", qPrintable(screen.errors()));
        return 1;
    }
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };

    (void)QTest::qWaitFor([&] { return item("logoImage")->property("status").toInt() == 1; }, 5000);
    bool ok = save(window, out + QStringLiteral("/sign-in.png"));

    ScreenDriver::tap(window, item("modeToggle"));
    ScreenDriver::type(window, item("firstNameField"), QStringLiteral("Maria"));
    ScreenDriver::type(window, item("usernameField"), QStringLiteral("maria_k"));
    ScreenDriver::tap(window, item("submitButton"));
    (void)QTest::qWaitFor([&] { return item("errorBanner")->isVisible(); }, 5000);
    ok = save(window, out + QStringLiteral("/registration-error.png")) && ok;

    ScreenDriver::tap(window, item("modeToggle"));
    ScreenDriver::type(window, item("loginField"), QStringLiteral("demo"));
    ScreenDriver::type(window, item("passwordField"), QStringLiteral("demo12345"));
    ScreenDriver::tap(window, item("submitButton"));
    if (!QTest::qWaitFor([&] { return item("feedList") && item("feedList")->property("count").toInt() > 0; }, 10000))
        return 1;
    QTest::qWait(1500);
    ok = save(window, out + QStringLiteral("/tabs-feed.png")) && ok;

    ScreenDriver::tap(window, item("tabButton2"));
    (void)QTest::qWaitFor([&] { return item("trackList")->property("count").toInt() > 0; }, 10000);
    QTest::qWait(500); // the rows settle into place after the tab switch
    if (QQuickItem *firstRow = item("trackRow0"))
        ScreenDriver::tap(window, firstRow);
    (void)QTest::qWaitFor([&] { return item("miniPlayer") && item("miniPlayer")->isVisible(); }, 5000);
    QTest::qWait(1000);
    ok = save(window, out + QStringLiteral("/tabs-music.png")) && ok;

    const QList<std::pair<const char *, QString>> others{{"tabButton1", QStringLiteral("/tabs-channels.png")},
                                                         {"tabButton3", QStringLiteral("/tabs-video.png")},
                                                         {"tabButton4", QStringLiteral("/tabs-profile.png")}};
    for (const auto &[button, file] : others) {
        ScreenDriver::tap(window, item(button));
        QTest::qWait(1500);
        ok = save(window, out + file) && ok;
    }
    ScreenDriver::tap(window, item("followersButton"));
    ok = save(window, out + QStringLiteral("/followers-sheet.png")) && ok;
    return ok ? 0 : 1;
}
