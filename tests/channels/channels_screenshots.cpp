// Walks the real application window through the channels tab and saves a picture of each step:
// the catalogue, the own-channels segment, a channel page as its creator and as a visitor, and
// the subscribers sheet. Run by tools/screenshots.sh against the demo service; a second argument
// points the client at another service address.
#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickStyle>
#include <QTest>

namespace {

bool save(QQuickWindow *window, const QString &path)
{
    QTest::qWait(900); // let pictures and animations settle
    const bool saved = window->grabWindow().save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    if (argc > 2)
        NetworkManager::shared().setBaseURL(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out);
    ScreenDriver::clearSettings();

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!screen.isReady()) {
        qWarning("%s", qPrintable(screen.errors()));
        return 1;
    }
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

    ScreenDriver::type(window, item("loginField"), QStringLiteral("demo"));
    ScreenDriver::type(window, item("passwordField"), QStringLiteral("demo12345"));
    tap("submitButton");
    if (!waitFor([&] { return item("tabButton1") != nullptr; }))
        return 1;

    tap("tabButton1");
    if (!waitFor([&] { return item("channelList") && item("channelList")->property("count").toInt() > 2; }))
        return 1;
    bool ok = save(window, out + QStringLiteral("/tabs-channels.png"));

    tap("segment1");
    ok = save(window, out + QStringLiteral("/channels-own.png")) && ok;
    tap("segment0");
    QTest::qWait(300);

    // The demo account owns the second channel of the catalogue and not the first.
    tap("channelRow1");
    if (!waitFor([&] { return item("postCard0") != nullptr; }))
        return 1;
    ok = save(window, out + QStringLiteral("/channel-page-creator.png")) && ok;
    tap("navigationBackButton");
    QTest::qWait(500);

    tap("channelRow0");
    if (!waitFor([&] { return item("postCard0") != nullptr; }))
        return 1;
    ok = save(window, out + QStringLiteral("/channel-page-visitor.png")) && ok;

    tap("subscribersButton");
    (void)waitFor([&] { return item("userList") && item("userList")->property("count").toInt() > 0; });
    ok = save(window, out + QStringLiteral("/channel-subscribers-sheet.png")) && ok;
    return ok ? 0 : 1;
}
