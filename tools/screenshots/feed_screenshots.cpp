// Walks the real application window through the news feed and saves what it shows: the feed
// with picture and audio posts, the composer with an uploaded photo, and the comments sheet.
// Not a test: run by tools/screenshots.sh against the demo service.
#include "PostComposerModel.h"
#include "QmlScreen.h"
#include "ScreenshotTour.h"
#include "app/ScreenDriver.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A sunset over water, to pick as the post's photo.
QString makePhoto(const QTemporaryDir &folder)
{
    QImage image(1200, 900, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 560);
    sky.setColorAt(0, QColor(0x2b, 0x3a, 0x8c));
    sky.setColorAt(1, QColor(0xff, 0x9a, 0x5a));
    painter.fillRect(0, 0, 1200, 560, sky);
    painter.setBrush(QColor(0xff, 0xd2, 0x6b));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(600, 560), 120, 120);
    QLinearGradient sea(0, 560, 0, 900);
    sea.setColorAt(0, QColor(0x35, 0x4f, 0x8f));
    sea.setColorAt(1, QColor(0x10, 0x1c, 0x3c));
    painter.fillRect(0, 560, 1200, 340, sea);
    painter.end();
    const QString path = folder.filePath(QStringLiteral("sunset.jpg"));
    image.save(path, "JPG", 90);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    ScreenshotTour::preferGStreamer();
    QGuiApplication app(argc, argv);
    const QString out = ScreenshotTour::begin(argc, argv);
    const QTemporaryDir folder;

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };
    const auto waitFor = [&item](const char *name) { return QTest::qWaitFor([&] { return item(name); }, 10000); };

    ScreenshotTour::signIn(screen);
    if (!QTest::qWaitFor([&] { return item("feedList") && item("feedList")->property("count").toInt() > 0; }, 10000))
        return 1;
    QTest::qWait(1500);
    // The first cards: a picture post and an audio post.
    QMetaObject::invokeMethod(item("feedList"), "positionViewAtIndex", Q_ARG(int, 0), Q_ARG(int, 0));
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/feed-picture-and-audio.png"));
    QMetaObject::invokeMethod(item("feedList"), "positionViewAtBeginning");

    ScreenDriver::tap(window, item("composerButton"));
    if (!waitFor("postTextEditor"))
        return 1;
    QTest::qWait(500);
    item("postTextEditor")->setProperty("text", QStringLiteral("Закат над заливом сегодня был особенно тёплым 🌅"));
    // The picked photo as the picker hands it over after its file dialog and editing step.
    auto *composer = item("createPostView")->property("composer").value<PostComposerModel *>();
    if (!composer)
        return 1;
    composer->uploadImage(QImage(makePhoto(folder)));
    (void)QTest::qWaitFor([&] { return item("photoAttachedLabel")->isVisible(); }, 10000);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/feed-composer-with-photo.png")) && ok;
    ScreenDriver::tap(window, item("publishButton"));
    (void)QTest::qWaitFor([&] { return !item("createPostView"); }, 5000);
    QTest::qWait(1500);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/feed-published-post.png")) && ok;

    // The comments of the newest demo post, now second in the list, which has some.
    QMetaObject::invokeMethod(item("feedList"), "positionViewAtIndex", Q_ARG(int, 1), Q_ARG(int, 0));
    QTest::qWait(300);
    QQuickItem *card = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            card = item("postCard_1");
            return card != nullptr;
        },
        5000);
    if (!card)
        return 1;
    for (QQuickItem *child : card->findChildren<QQuickItem *>()) {
        if (child->objectName() == QLatin1String("commentButton")) {
            ScreenDriver::tap(window, child);
            break;
        }
    }
    if (!QTest::qWaitFor([&] { return item("commentRow1"); }, 5000))
        return 1;
    item("commentField")->setProperty("text", QStringLiteral("Очень красиво!"));
    ok = ScreenshotTour::save(window, out + QStringLiteral("/feed-comments-sheet.png")) && ok;
    return ok ? 0 : 1;
}
