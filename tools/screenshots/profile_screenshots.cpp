// Walks the real application window through the profile screens and saves a picture of each: the
// own profile, another member's profile opened from a feed card, and the editor after an avatar
// was picked and uploaded. Run by tools/screenshots.sh against the demo service (not a test).
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

namespace {

using ScreenDriver::findIn;
} // namespace

int main(int argc, char *argv[])
{
    ScreenshotTour::preferGStreamer();
    QGuiApplication app(argc, argv);
    const QString out = ScreenshotTour::begin(argc, argv);
    QTemporaryDir files;

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };

    ScreenshotTour::signIn(screen);
    if (!QTest::qWaitFor([&] { return item("feedList") && item("feedList")->property("count").toInt() > 0; }, 10000))
        return 1;

    // The own profile: the tab's root, with its wall.
    ScreenDriver::tap(window, item("tabButton4"));
    QQuickItem *own = item("ownProfile");
    if (!QTest::qWaitFor([&] { return findIn(own, QStringLiteral("wall"))->property("count").toInt() > 0; }, 10000))
        return 1;
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/profile-own.png"), 900);

    // Another member, opened from the header of a feed card.
    ScreenDriver::tap(window, item("tabButton0"));
    QTest::qWait(500);
    // Posts published by earlier tours may push his card down: bring the rows into view one by one.
    QQuickItem *other = nullptr;
    QQuickItem *feed = item("feedList");
    for (int row = 0; !other && row < feed->property("count").toInt(); ++row) {
        QMetaObject::invokeMethod(feed, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0));
        QTest::qWait(100);
        for (QQuickItem *card : feed->property("contentItem").value<QQuickItem *>()->childItems()) {
            // The list keeps rows built beyond its edges too: only one on the screen can be tapped.
            const qreal top = card->mapToScene(QPointF(0, 0)).y();
            if (card->isVisible() && top >= 0 && top + 100 < window->height() &&
                card->property("headerName").toString() == QStringLiteral("Иван Петров")) {
                other = card;
                break;
            }
        }
    }
    if (!other) {
        qWarning("no card by another member in view");
        return 1;
    }
    ScreenDriver::tap(window, findIn(other, QStringLiteral("postHeader")));
    QTest::qWait(1500);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/profile-other.png"), 900) && ok;

    // The editor after an avatar was picked and uploaded.
    ScreenDriver::tap(window, item("tabButton4"));
    QTest::qWait(500);
    ScreenDriver::tap(window, findIn(own, QStringLiteral("profileActionButton")));
    if (!QTest::qWaitFor([&] { return item("avatarPickButton") != nullptr; }, 5000))
        return 1;
    QTest::qWait(400);
    ScreenDriver::tap(window, item("avatarPickButton"));
    if (!QTest::qWaitFor([&] { return item("cropFrame") != nullptr; }, 5000))
        return 1;
    QTest::qWait(400);
    // The file dialog as a person finishes it: in the photo's folder, a tap on the photo, "Open".
    QObject *dialog = item("cropFrame")->parentItem()->findChild<QObject *>(QStringLiteral("imageFileDialog"));
    if (!dialog)
        return 1;
    const QString photo = ScreenshotTour::makePhoto(files);
    auto *dialogWindow = qobject_cast<QQuickWindow *>(dialog);
    dialog->setProperty("folder", files.path());
    QTest::qWait(800);
    QQuickItem *entry = ScreenDriver::findIn(dialogWindow->contentItem(), "fileRow_" + QFileInfo(photo).fileName());
    if (!entry) {
        qWarning("the photo is not listed");
        return 1;
    }
    ScreenDriver::tap(dialogWindow, entry);
    QTest::qWait(300);
    ScreenDriver::tap(dialogWindow,
                      ScreenDriver::findIn(dialogWindow->contentItem(), QStringLiteral("fileDialogOpenButton")));
    if (!QTest::qWaitFor([&] { return item("cropFrame") && item("cropFrame")->isVisible(); }, 5000)) {
        qWarning("the picker did not take the photo");
        return 1;
    }
    QTest::qWait(400);
    QMetaObject::invokeMethod(item("cropChooseButton"), "clicked");
    if (!QTest::qWaitFor([&] { return item("cropFrame") == nullptr && !item("avatarPickButtonProgress")->isVisible(); },
                         10000))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/profile-editor-avatar-uploaded.png"), 900) && ok;
    return ok ? 0 : 1;
}
