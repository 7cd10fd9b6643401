// Walks the real application window through the music screens and saves a picture of each: the
// three segments (a public playlist with its link among the playlists), the upload form, the
// create-playlist form and the add-to-playlist sheet. Run by tools/screenshots.sh against the
// demo service.
#include "../app/ScreenDriver.h"
#include "MusicViewModel.h"
#include "PlaylistDraft.h"
#include "QmlScreen.h"
#include "UploadTrackForm.h"
#include "WavSample.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQuickStyle>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool save(QQuickWindow *window, const QString &path)
{
    QTest::qWait(900); // let pictures, sheets and animations settle
    const QImage shot = window->grabWindow();
    const bool saved = shot.save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

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
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    ScreenDriver::clearSettings();

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!screen.isReady()) {
        qWarning("%s", qPrintable(screen.errors()));
        return 1;
    }
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };
    const auto tap = [&](const char *name) { ScreenDriver::tap(window, item(name)); };

    ScreenDriver::type(window, item("loginField"), QStringLiteral("demo"));
    ScreenDriver::type(window, item("passwordField"), QStringLiteral("demo12345"));
    tap("submitButton");
    if (!QTest::qWaitFor([&] { return item("musicTab") != nullptr; }, 10000))
        return 1;
    tap("tabButton2");
    QQuickItem *music = item("musicTab");
    auto *model = music->property("viewModel").value<MusicViewModel *>();
    auto *draft = music->property("playlistDraft").value<PlaylistDraft *>();
    const auto popup = [&](const char *name) { return music->findChild<QObject *>(QString::fromLatin1(name)); };
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
    bool ok = save(window, out + QStringLiteral("/music-upload-track.png"));
    tap("sheetTrailingButton");
    (void)gone(popup("uploadSheet"));

    // The tracks, the new one first with its cover; one of them liked.
    if (QQuickItem *second = item("trackRow1"))
        ScreenDriver::tap(window, second->findChild<QQuickItem *>(QStringLiteral("likeButton")));
    ok = save(window, out + QStringLiteral("/music-tracks.png")) && ok;

    tap("segment1");
    ok = save(window, out + QStringLiteral("/music-albums.png")) && ok;

    // The create-playlist form, filled in with a cover, then two playlists: private and public.
    tap("segment2");
    draft->setName(QStringLiteral("Для пробежки"));
    draft->setDescription(QStringLiteral("Быстрые треки на утро"));
    draft->setIsPublic(false);
    tap("createPlaylistButton");
    if (!risen(popup("createPlaylistSheet")))
        return 1;
    ok = save(window, out + QStringLiteral("/music-create-playlist.png")) && ok;
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
    ok = save(window, out + QStringLiteral("/music-playlists.png")) && ok;

    // The add-to-playlist sheet for a track.
    tap("segment0");
    QTest::qWait(300);
    ScreenDriver::tap(window, item("trackRow0")->findChild<QQuickItem *>(QStringLiteral("addToPlaylistButton")));
    if (!risen(popup("addToPlaylistSheet")))
        return 1;
    ok = save(window, out + QStringLiteral("/music-add-to-playlist.png")) && ok;
    return ok ? 0 : 1;
}
