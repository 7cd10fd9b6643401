// Walks the real application window through the video tab and saves a picture of each step: the
// catalogue, a search without match, and the upload form with its video file and preview
// uploaded. Run by tools/screenshots.sh against the demo service (signed in as the demo account).
#include "AuthViewModel.h"
#include "DocumentPickerModel.h"
#include "ImagePickerModel.h"
#include "QmlScreen.h"
#include "ScreenshotTour.h"
#include "User.h"
#include "app/ScreenDriver.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString makePreview(const QTemporaryDir &dir)
{
    QImage image(640, 640, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 640);
    sky.setColorAt(0, QColor(QStringLiteral("#FF9A5A")));
    sky.setColorAt(1, QColor(QStringLiteral("#5A3A8C")));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(QStringLiteral("#FFE08A")));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(320, 380), 110, 110);
    painter.fillRect(0, 420, 640, 220, QColor(QStringLiteral("#27386B")));
    painter.end();
    const QString path = dir.filePath(QStringLiteral("preview.png"));
    image.save(path);
    return path;
}

QString makeClip(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("rehearsal.mp4"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(64 * 1024, '\x42'));
    return path;
}

// Types any text, Cyrillic included, as key presses carrying their characters.
void typeText(QQuickWindow *window, QQuickItem *field, const QString &text)
{
    ScreenDriver::tap(window, field);
    field->forceActiveFocus();
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QGuiApplication::sendEvent(window, &press);
        QGuiApplication::sendEvent(window, &release);
    }
}

void clearField(QQuickWindow *window, QQuickItem *field)
{
    field->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Backspace);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString out = ScreenshotTour::begin(argc, argv);
    QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"))
        .setValue(QLatin1String(AuthViewModel::sessionKey), User::demoUser().toJson());
    QTemporaryDir files;

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };

    ScreenDriver::tap(window, item("tabButton3"));
    if (!QTest::qWaitFor([&] { return item("videoCard0") != nullptr; }, 10000))
        return 1;
    QTest::qWait(1500);
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/tabs-video.png"));

    // The feed and music tabs have search fields of the same name.
    QQuickItem *search = ScreenDriver::findIn(item("videoTab"), QStringLiteral("searchField"));
    typeText(window, search, QStringLiteral("космос"));
    ok = ScreenshotTour::save(window, out + QStringLiteral("/video-search-no-match.png")) && ok;
    clearField(window, search);

    ScreenDriver::tap(window, item("uploadVideoButton"));
    QTest::qWait(600);
    typeText(window, item("titleField"), QStringLiteral("Репетиция квартета"));
    typeText(window, item("descriptionField"), QStringLiteral("Вторая часть, без звука"));

    ScreenDriver::tap(window, item("videoButton"));
    if (!QTest::qWaitFor([&] { return item("videoPicker") != nullptr; }, 5000))
        return 1;
    item("videoPicker")->property("model").value<DocumentPickerModel *>()->pick(makeClip(files));
    QTest::qWait(600);
    ScreenDriver::tap(window, item("thumbnailButton"));
    if (!QTest::qWaitFor([&] { return item("thumbnailPicker") != nullptr; }, 5000))
        return 1;
    auto *photo = item("thumbnailPicker")->property("model").value<ImagePickerModel *>();
    if (!photo->openImage(makePreview(files)) || !QTest::qWaitFor([&] { return photo->hasImage(); }, 5000))
        return 1;
    photo->confirm();
    if (!QTest::qWaitFor(
            [&] {
                return item("thumbnailButtonLabel")->property("text").toString().endsWith(u'✓') &&
                       item("videoButtonLabel")->property("text").toString().endsWith(u'✓');
            },
            10000))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/video-upload-form.png")) && ok;
    return ok ? 0 : 1;
}
