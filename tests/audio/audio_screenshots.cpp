// Draws the mini player over a tab and the player sheet in a real window and saves what the
// window shows, for looking at the screens by eye. Not a test: run it by hand, at three pixels a
// point as on a phone:
//   QT_SCALE_FACTOR=3 xvfb-run -a -s "-screen 0 1200x2600x24" build/tests/audio/audio_screenshots docs/screenshots

#include "AudioPlayerManager.h"
#include "AudioTestTracks.h"
#include "FakePlayerBackend.h"
#include "ScreenshotTour.h"
#include "ScriptedResponder.h"
#include "VorlaneQml.h"
#include "app/ScreenDriver.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>

namespace {

// A stand-in for a tab with its tab bar, so that the bar is seen where it lives.
const char *scene = R"(
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

Window {
    width: 390
    height: 844
    color: Theme.groupedBackground

    Column {
        anchors.fill: parent
        anchors.topMargin: 54
        Text {
            x: 16
            text: "Музыка"
            font.family: Theme.fontFamily
            font.pixelSize: Theme.largeTitle
            font.bold: true
        }
        Item { width: 1; height: 12 }
        Repeater {
            model: ["Ночной город", "Северный ветер", "Полночь", "Дорога домой", "Старый парк", "Тихая гавань", "Рассвет", "Снег в апреле"]
            Rectangle {
                required property string modelData
                required property int index
                width: parent.width
                height: 64
                color: Theme.secondaryGroupedBackground
                Rectangle { x: 16; y: 11; width: 42; height: 42; radius: 6; color: Qt.rgba(0, 0.48, 1, 0.2) }
                Column {
                    x: 70; y: 13; spacing: 2
                    Text { text: modelData; font.family: Theme.fontFamily; font.pixelSize: 16 }
                    Text { text: "Исполнитель " + (index + 1); font.family: Theme.fontFamily; font.pixelSize: 13; color: Theme.secondaryLabel }
                }
                Rectangle { x: 70; width: parent.width - 70; height: 1; anchors.bottom: parent.bottom; color: Theme.separator }
            }
        }
    }

    // A desktop tab bar: no home indicator below it.
    Rectangle {
        id: tabBar
        anchors.bottom: parent.bottom
        width: parent.width
        height: 49
        color: "#F9F9F9"
        Rectangle { width: parent.width; height: 1; color: Theme.separator }
        Row {
            anchors.verticalCenter: parent.verticalCenter
            Repeater {
                model: ["Лента", "Музыка", "Видео", "Каналы", "Профиль"]
                Column {
                    required property string modelData
                    width: 78
                    spacing: 2
                    Rectangle {
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: 22; height: 22; radius: 6
                        color: modelData === "Музыка" ? Theme.blue : Theme.gray2
                    }
                    Text {
                        width: parent.width
                        horizontalAlignment: Text.AlignHCenter
                        text: modelData
                        font.family: Theme.fontFamily
                        font.pixelSize: 10
                        color: modelData === "Музыка" ? Theme.blue : Theme.gray
                    }
                }
            }
        }
    }

    MiniPlayerView {
        objectName: "miniPlayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
    }
}
)";

void tap(QQuickWindow *window, const QString &objectName)
{
    if (QQuickItem *item = ScreenDriver::findIn(window->contentItem(), objectName))
        QTest::mouseClick(window, Qt::LeftButton, {},
                          item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
    QTest::qWait(600);
}

// A cover picture made on the spot and served over loopback: only web pictures load.
QString makeCover(ScriptedResponder &pictures)
{
    QImage image(600, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 600, 600);
    gradient.setColorAt(0, QColor(QStringLiteral("#1D2B64")));
    gradient.setColorAt(1, QColor(QStringLiteral("#F8CDDA")));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(QColor(255, 214, 102));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(400, 190), 90, 90);
    painter.end();
    return pictures.servePicture(image);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(outDir);

    auto world = std::make_shared<FakePlayerBackend::World>();
    AudioPlayerManager::useBackendForShared(std::make_unique<FakePlayerBackend>(world));

    QQmlEngine engine;
    VorlaneQml::prepare(engine);
    QQmlComponent component(&engine);
    component.setData(scene, QUrl(QStringLiteral("qrc:/Vorlane/AudioScreenshotScene.qml")));
    std::unique_ptr<QQuickWindow> window(qobject_cast<QQuickWindow *>(component.create()));
    if (!window) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;

    Track track = makeTrack(1, QStringLiteral("http://127.0.0.1:9/night-city.wav"), 215, QStringLiteral("Ночной город"),
                            QStringLiteral("Лунный свет"));
    track.albumName = QStringLiteral("Огни");
    ScriptedResponder pictures;
    track.coverUrl = makeCover(pictures);
    track.lyrics = QStringLiteral("Город спит, и только фонари\nПишут свет на мокрой мостовой\n\n"
                                  "Я иду до самой до зари\nИ несу мелодию с собой");
    AudioPlayerManager::shared().play(track);
    world->last()->itemDuration = 215.4;
    world->last()->position = 83.2;
    world->last()->tick();

    bool ok = ScreenshotTour::save(window.get(), outDir + QStringLiteral("/mini-player-over-tab.png"), 400);

    tap(window.get(), QStringLiteral("miniPlayerTitle"));
    ok = ScreenshotTour::save(window.get(), outDir + QStringLiteral("/player-sheet.png"), 400) && ok;

    tap(window.get(), QStringLiteral("lyricsButton"));
    ok = ScreenshotTour::save(window.get(), outDir + QStringLiteral("/lyrics-sheet.png"), 400) && ok;

    // Dismiss both sheets, then show a track without a cover and with a live length.
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::qWait(600);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::qWait(600);
    AudioPlayerManager::shared().play(makeTrack(2, QStringLiteral("http://127.0.0.1:9/radio"), 0,
                                                QStringLiteral("Радио «Волна»"), QStringLiteral("Прямой эфир")));
    world->last()->position = 12.6;
    world->last()->tick();
    tap(window.get(), QStringLiteral("miniPlayerTitle"));
    ok = ScreenshotTour::save(window.get(), outDir + QStringLiteral("/player-sheet-live-without-cover.png"), 400) && ok;
    return ok ? 0 : 1;
}
