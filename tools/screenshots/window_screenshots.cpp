// The file dialog as the composer opens it, the photo picker's editing step with a photo scaled up,
// and the music tab (its tracks and its playlists) and the channels tab in a window 360 px wide, from
// the real window against the demo service (tools/screenshots.sh).
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
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
    ScreenshotTour::signIn(screen);
    if (!QTest::qWaitFor([&] { return item("composerButton") != nullptr; }, 10000))
        return 1;
    QTest::qWait(1000);
    ScreenDriver::tap(window, item("composerButton"));
    QTest::qWait(600);
    ScreenDriver::tap(window, item("pickPhotoButton"));
    QQuickWindow *dialog = nullptr;
    (void)QTest::qWaitFor([&] {
        for (QWindow *top : QGuiApplication::topLevelWindows())
            if (top->isVisible() && top->objectName() == QLatin1String("imageFileDialog"))
                dialog = qobject_cast<QQuickWindow *>(top);
        return dialog != nullptr;
    });
    if (!dialog)
        return 1;
    // A folder with pictures in it, as a user's own would have, one of them chosen.
    dialog->setProperty("folder", QDir::current().absoluteFilePath(QStringLiteral("docs/screenshots")));
    QTest::qWait(300);
    QTest::keyClick(dialog, Qt::Key_Down);
    QTest::keyClick(dialog, Qt::Key_Down);
    bool ok = ScreenshotTour::save(dialog, out + QStringLiteral("/file-dialog-composer.png"));

    // The editing step, its photo scaled up past the frame: Enter in the dialog opens the photo.
    QTemporaryDir files;
    const QString photo = ScreenshotTour::makePhoto(files);
    dialog->setProperty("folder", files.path());
    QTest::qWait(500);
    QTest::keyClick(dialog, Qt::Key_Down);
    QTest::keyClick(dialog, Qt::Key_Return);
    if (!QTest::qWaitFor([&] { return item("cropFrame") && item("cropFrame")->isVisible(); }, 5000)) {
        qWarning("the picker did not take %s", qPrintable(photo));
        return 1;
    }
    QTest::qWait(500);
    QQuickItem *slider = item("zoomSlider");
    const QPointF zoomed = slider->mapToScene(QPointF(slider->width() * 0.6, slider->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, zoomed.toPoint());
    ok = ScreenshotTour::save(window, out + QStringLiteral("/crop-step.png")) && ok;
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::qWait(400);
    QTest::keyClick(window, Qt::Key_Escape);

    window->resize(360, 780);
    (void)QTest::qWaitFor([&] { return window->width() == 360 && window->contentItem()->height() == 780; }, 5000);
    QTest::qWait(500);
    const QList<std::pair<const char *, QString>> tabs{{"tabButton2", QStringLiteral("/music-360.png")},
                                                       {"tabButton1", QStringLiteral("/channels-360.png")}};
    for (const auto &[button, file] : tabs) {
        ScreenDriver::tap(window, item(button));
        ok = ScreenshotTour::save(window, out + file, 1500) && ok;
    }
    // The playlists segment, whose header holds the widest button of the music tab.
    ScreenDriver::tap(window, item("tabButton2"));
    QTest::qWait(500);
    ScreenDriver::tap(window, item("segment2"));
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-playlists-360.png"), 1500) && ok;
    return ok ? 0 : 1;
}
