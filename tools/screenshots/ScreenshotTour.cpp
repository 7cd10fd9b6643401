#include "ScreenshotTour.h"

#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
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
    // Even a wait of 0 runs the event loop, which may change what was waited for.
    if (settleMs > 0)
        QTest::qWait(settleMs);
    const bool saved = window->grabWindow().save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

QString makePhoto(const QTemporaryDir &folder)
{
    QImage photo(600, 600, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(0xFF, 0x9F, 0x43));
    sky.setColorAt(1, QColor(0xEE, 0x52, 0x53));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(0xFF, 0xE0, 0x8A));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(300, 330), 110, 110);
    painter.setBrush(QColor(0x2D, 0x34, 0x36));
    painter.drawEllipse(QPoint(300, 760), 480, 330);
    painter.end();
    const QString path = folder.filePath(QStringLiteral("sunset.jpg"));
    photo.save(path);
    return path;
}

void signIn(const QmlScreen &screen)
{
    QQuickWindow *window = screen.window();
    ScreenDriver::type(window, screen.find(QStringLiteral("loginField")), QStringLiteral("demo"));
    ScreenDriver::type(window, screen.find(QStringLiteral("passwordField")), QStringLiteral("demo12345"));
    ScreenDriver::tap(window, screen.find(QStringLiteral("submitButton")));
}

} // namespace ScreenshotTour
