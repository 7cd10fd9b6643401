// Walks the real application window through the music screens and saves a picture of each: the
// three segments (a public playlist with its link among the playlists), the upload form, the
// create-playlist form and the add-to-playlist sheet. Run by tools/screenshots.sh against the
// demo service.
#include "MusicViewModel.h"
#include "PlaylistDraft.h"
#include "QmlScreen.h"
#include "ScreenshotTour.h"
#include "UploadTrackForm.h"
#include "WavSample.h"
#include "app/ScreenDriver.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool risen(QObject *sheet)
{
    return QTest::qWaitFor([&] { return sheet->property("opened").toBool() && sheet->property("y").toReal() == 10; },
                           5000);
}

bool gone(QObject *sheet)
{
    return QTest::qWaitFor([&] { return !sheet->property("visible").toBool(); }, 5000);
}

QImage coverPicture(QColor from, QColor to)
{
    QImage image(240, 240, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 240, 240);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    return image;
}

} // namespace

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
    const auto tap = [&](const char *name) { ScreenDriver::tap(window, item(name)); };

    ScreenshotTour::signIn(screen);
    // A tab's screen is made the first time the tab is shown.
    if (!QTest::qWaitFor([&] { return item("tabButton2") != nullptr; }, 10000))
        return 1;
    tap("tabButton2");
    if (!QTest::qWaitFor([&] { return item("musicTab") != nullptr; }, 10000))
        return 1;
    QQuickItem *music = item("musicTab");
    auto *model = music->property("viewModel").value<MusicViewModel *>();
    auto *draft = music->property("playlistDraft").value<PlaylistDraft *>();
    const auto popup = [&](const char *name) { return music->findChild<QObject *>(QString::fromLatin1(name)); };
    // The feed has a segmented picker of its own, with segments of the same names.
    const auto tapSegment = [&](int index) {
        ScreenDriver::tap(window, ScreenDriver::findIn(music, QStringLiteral("segment%1").arg(index)));
    };
    if (!QTest::qWaitFor([&] { return item("trackRow0") != nullptr; }, 10000))
        return 1;

    // The upload form, filled in, with its audio and cover uploaded.
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("evening.wav"));
    QFile file(wav);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(wavSample(3.0, 22050));
    file.close();
    tap("uploadTrackButton");
    if (!risen(popup("uploadSheet")) || !item("uploadTrackView"))
        return 1;
    auto *form = item("uploadTrackView")->property("form").value<UploadTrackForm *>();
    form->setTitle(QStringLiteral("Вечерний свет"));
    form->setArtist(QStringLiteral("Анна Светлова"));
    form->setAlbum(QStringLiteral("Сумерки"));
    form->uploadAudio(QUrl::fromLocalFile(wav));
    form->uploadCover(QVariant::fromValue(coverPicture(QColor(0xFF, 0x95, 0x00), QColor(0xAF, 0x52, 0xDE))));
    (void)QTest::qWaitFor([&] { return !form->audioUrl().isEmpty() && !form->coverUrl().isEmpty(); }, 10000);
    bool ok = ScreenshotTour::save(window, out + QStringLiteral("/music-upload-track.png"), 900);
    tap("sheetTrailingButton");
    (void)gone(popup("uploadSheet"));

    // The tracks, the new one first with its cover; one of them liked.
    if (QQuickItem *second = item("trackRow1"))
        ScreenDriver::tap(window, second->findChild<QQuickItem *>(QStringLiteral("likeButton")));
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-tracks.png"), 900) && ok;

    tapSegment(1);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-albums.png"), 900) && ok;

    // The create-playlist form, filled in with a cover, then two playlists: private and public.
    tapSegment(2);
    draft->setName(QStringLiteral("Для пробежки"));
    draft->setDescription(QStringLiteral("Быстрые треки на утро"));
    draft->setIsPublic(false);
    tap("createPlaylistButton");
    if (!risen(popup("createPlaylistSheet")))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-create-playlist.png"), 900) && ok;
    tap("sheetTrailingButton");
    (void)gone(popup("createPlaylistSheet"));

    draft->setName(QStringLiteral("Вечерний джаз"));
    draft->setDescription(QStringLiteral("Спокойная музыка после работы"));
    draft->setIsPublic(true);
    draft->uploadCover(QVariant::fromValue(coverPicture(QColor(0x00, 0x7A, 0xFF), QColor(0x34, 0xC7, 0x59))));
    (void)QTest::qWaitFor([&] { return !draft->isUploadingCover(); }, 10000);
    tap("createPlaylistButton");
    if (!risen(popup("createPlaylistSheet")))
        return 1;
    tap("sheetTrailingButton");
    (void)gone(popup("createPlaylistSheet"));
    for (int track = 0; track < 3 && track < model->tracks().size(); ++track)
        model->addTrackToPlaylist(model->tracks().at(track), model->playlists().first().id);
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-playlists.png"), 900) && ok;

    // The add-to-playlist sheet for a track.
    tapSegment(0);
    QTest::qWait(300);
    ScreenDriver::tap(window, item("trackRow0")->findChild<QQuickItem *>(QStringLiteral("addToPlaylistButton")));
    if (!risen(popup("addToPlaylistSheet")))
        return 1;
    ok = ScreenshotTour::save(window, out + QStringLiteral("/music-add-to-playlist.png"), 900) && ok;
    return ok ? 0 : 1;
}
