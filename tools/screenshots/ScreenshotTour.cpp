#include "ScreenshotTour.h"

#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"

#include <QDir>
#include <QImage>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>

namespace ScreenshotTour {

void preferGStreamer()
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

QString begin(int argc, char *argv[])
{
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    if (argc > 2)
        NetworkManager::shared().setBaseURL(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out);
    ScreenDriver::clearSettings();
    return out;
}

bool isLoaded(const QmlScreen &screen)
{
    if (!screen.isReady())
        qWarning("%s", qPrintable(screen.errors()));
    return screen.isReady();
}

bool save(QQuickWindow *window, const QString &path, int settleMs)
{
    QTest::qWait(settleMs);
    const bool saved = window->grabWindow().save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

void signIn(const QmlScreen &screen)
{
    QQuickWindow *window = screen.window();
    ScreenDriver::type(window, screen.find(QStringLiteral("loginField")), QStringLiteral("demo"));
    ScreenDriver::type(window, screen.find(QStringLiteral("passwordField")), QStringLiteral("demo12345"));
    ScreenDriver::tap(window, screen.find(QStringLiteral("submitButton")));
}

} // namespace ScreenshotTour
