// Walks the real application window through founding, editing and posting into a channel and
// saves a picture of each form: the creation form with its pictures uploaded, the editing form
// opened from the gear, the composer with a photo, and the page with the new post on top. Run by
// tools/screenshots.sh against the demo service; a second argument points the client at another
// service address.
#include "ImagePickerModel.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A photo to pick: a sunset of two colours with a sun.
QString makePhoto(const QTemporaryDir &folder, const QString &name, QColor top, QColor bottom)
{
    QImage photo(800, 600, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(255, 220, 120));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(400, 380), 110, 110);
    painter.fillRect(QRect(0, 440, 800, 160), QColor(40, 70, 60));
    painter.end();
    const QString path = folder.filePath(name);
    photo.save(path);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    ScreenshotTour::preferGStreamer();
    QGuiApplication app(argc, argv);
    const QString out = ScreenshotTour::begin(argc, argv);
    const QTemporaryDir photos;
    const QString avatar = makePhoto(photos, QStringLiteral("avatar.png"), QColor(70, 120, 220), QColor(250, 150, 90));
    const QString picture = makePhoto(photos, QStringLiteral("post.png"), QColor(40, 40, 110), QColor(230, 90, 120));

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return qWarning("stopped at line %d", __LINE__), 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };
    const auto waitFor = [](auto condition) { return QTest::qWaitFor(condition, 10000); };
    const auto tap = [&](const char *name) {
        QQuickItem *target = nullptr;
        if (!waitFor([&] { return (target = item(name)) && target->isVisible(); })) {
            qWarning("no item %s", name);
            return false;
        }
        QTest::qWait(400); // let a sheet or page finish moving in
        ScreenDriver::tap(window, target);
        return true;
    };
    const auto typeInto = [&](const char *name, const QString &text) { ScreenDriver::type(window, item(name), text); };
    // The photo row's picker, handed the file its dialog would return, then "Выбрать".
    const auto pick = [&](const char *rowButton, const QString &path) {
        if (!tap(rowButton) || !waitFor([&] { return item("imagePicker") != nullptr; }))
            return false;
        QQuickItem *picker = item("imagePicker");
        auto *model = picker->property("model").value<ImagePickerModel *>();
        auto *dialog = picker->findChild<QObject *>(QStringLiteral("imageFileDialog"));
        if (!model || !dialog || !model->openImage(path) || !waitFor([&] { return model->hasImage(); }))
            return false;
        model->confirm();
        // The dialog's choice was handed over directly: it is closed as its own "Open" would.
        QMetaObject::invokeMethod(dialog, "close");
        return waitFor([&] { return item("imagePicker") == nullptr; });
    };
    const auto labelIs = [&](const char *name, const QString &text) {
        return waitFor([&] { return ScreenDriver::text(item(name)) == text; });
    };

    ScreenshotTour::signIn(screen);
    if (!waitFor([&] { return item("tabButton1") != nullptr; }))
        return qWarning("stopped at line %d", __LINE__), 1;
    tap("tabButton1");
    if (!waitFor([&] { return item("channelRow0") != nullptr; }))
        return qWarning("stopped at line %d", __LINE__), 1;

    tap("createChannelHeaderButton");
    typeInto("nameField", QStringLiteral("Garden notes"));
    typeInto("descriptionField", QStringLiteral("Seeds, soil and first harvests"));
    if (!pick("avatarButton", avatar) || !labelIs("avatarLabel", QStringLiteral("Аватарка выбрана ✓")))
        return qWarning("stopped at line %d", __LINE__), 1;
    if (!pick("coverButton", picture) || !labelIs("coverLabel", QStringLiteral("Обложка выбрана ✓")))
        return qWarning("stopped at line %d", __LINE__), 1;
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-create-form.png"), 900);
    tap("actionButton");
    if (!waitFor([&] { return item("nameField") == nullptr; }))
        return qWarning("stopped at line %d", __LINE__), 1;

    tap("channelRow0");
    tap("channelSettingsButton");
    if (!labelIs("avatarLabel", QStringLiteral("Аватарка изменена ✓")))
        return qWarning("stopped at line %d", __LINE__), 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-edit-form.png"), 900) && ok;
    tap("cancelButton");
    if (!waitFor([&] { return item("nameField") == nullptr; }))
        return qWarning("stopped at line %d", __LINE__), 1;

    tap("createPostButton");
    typeInto("postTextEditor", QStringLiteral("The first tomatoes are ripe. Photos from this morning!"));
    if (!pick("composerPhotoButton", picture) || !labelIs("composerPhotoLabel", QStringLiteral("Фото добавлено ✓")))
        return qWarning("stopped at line %d", __LINE__), 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-post-composer.png"), 900) && ok;
    tap("actionButton");
    if (!waitFor([&] { return item("postTextEditor") == nullptr && item("postCard0") != nullptr; }))
        return qWarning("stopped at line %d", __LINE__), 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/channel-page-new-post.png"), 900) && ok;
    return ok ? 0 : 1;
}
