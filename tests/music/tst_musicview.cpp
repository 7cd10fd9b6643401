#include "../app/ScreenDriver.h"
#include "../audio/FakePlayerBackend.h"
#include "AudioPlayerManager.h"
#include "DocumentPickerModel.h"
#include "FingerDrag.h"
#include "ImagePickerModel.h"
#include "MusicViewModel.h"
#include "NetworkManager.h"
#include "PlaylistDraft.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "UploadTrackForm.h"
#include "WavSample.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ScreenDriver;

// The music screen offscreen: its segments and their empty texts, the track rows, the upload
// form, the create-playlist form with its draft, the link strip and the add-to-playlist sheet.
class TestMusicView : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakePlayerBackend::World> m_world = std::make_shared<FakePlayerBackend::World>();
    ServiceProcess m_service;

    static MusicViewModel *modelOf(QmlScreen &screen)
    {
        return screen.root()->property("viewModel").value<MusicViewModel *>();
    }
    static QObject *popup(QmlScreen &screen, const char *name)
    {
        return screen.root()->findChild<QObject *>(QString::fromLatin1(name));
    }
    // Fully risen: taps before that land where the sheet is still on its way up.
    static bool isOpen(QObject *sheet)
    {
        return sheet && sheet->property("opened").toBool() && sheet->property("y").toReal() == 10;
    }
    static bool isClosed(QObject *sheet) { return sheet && !sheet->property("visible").toBool(); }
    static QString buttonText(QQuickItem *button) { return button ? button->property("text").toString() : QString(); }

    // A short WAV in `dir`: a large file takes long to cross loopback in a sanitized build.
    static QString writeWav(const QTemporaryDir &dir, const QString &name, double seconds)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(wavSample(seconds)) <= 0)
            return {};
        return file.fileName();
    }

    // Opens the upload sheet over an empty library (the responder's first reply); the form once
    // the sheet has fully risen, or null.
    static UploadTrackForm *openUploadSheet(QmlScreen &screen, QObject *&sheet)
    {
        if (!screen.isReady() || !QTest::qWaitFor([&] { return !modelOf(screen)->isLoading(); }, 30000))
            return nullptr;
        tap(screen.window(), screen.find("uploadTrackButton"));
        sheet = popup(screen, "uploadSheet");
        if (!QTest::qWaitFor([&] { return isOpen(sheet) && screen.find("uploadTrackView"); }, 30000))
            return nullptr;
        return screen.find("uploadTrackView")->property("form").value<UploadTrackForm *>();
    }

    // The screen against the reference service, its track list arrived.
    std::unique_ptr<QmlScreen> loadedScreen()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        auto screen = std::make_unique<QmlScreen>(QStringLiteral("MusicView.qml"));
        if (!screen->isReady()) {
            qWarning("%s", qPrintable(screen->errors()));
            return nullptr;
        }
        if (!QTest::qWaitFor([&] { return screen->find(QStringLiteral("trackRow0")) != nullptr; }, 10000))
            return nullptr;
        return screen;
    }

    void selectSegment(QmlScreen &screen, int segment)
    {
        tap(screen.window(), screen.find(QStringLiteral("segment%1").arg(segment)));
        QCOMPARE(screen.root()->property("selectedSegment").toInt(), segment);
    }

    // The file is handed to the picker's own entry point; its dialog, which a person would have
    // used to choose it, goes away as it would after the choice.
    static void closeDialog(QQuickItem *picker, const char *name)
    {
        if (QObject *dialog = picker ? picker->findChild<QObject *>(QString::fromLatin1(name)) : nullptr)
            QMetaObject::invokeMethod(dialog, "close");
    }

    static QImage photo()
    {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

private Q_SLOTS:
    void initTestCase()
    {
        clearSettings();
        QVERIFY(AudioPlayerManager::useBackendForShared(std::make_unique<FakePlayerBackend>(m_world)));
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
    }

    // Before the first load ends (and after a failed one) the segments read as an empty library.
    void emptyTextsOfEverySegment()
    {
        ScriptedResponder responder;
        responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QmlScreen screen(QStringLiteral("MusicView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QVERIFY(modelOf(screen)->isLoading());
        QCOMPARE(text(screen.find("navigationLargeTitle")), QStringLiteral("Музыка"));
        QCOMPARE(screen.find("searchField")->property("placeholderText").toString(),
                 QStringLiteral("Поиск трека или исполнителя..."));

        QQuickItem *tracksText = screen.find("emptyTracksText");
        QVERIFY(tracksText->isVisible());
        QCOMPARE(
            text(tracksText),
            QStringLiteral("Пока нет загруженных треков. Нажмите '+ Загрузить трек', чтобы добавить первый трек!"));
        screen.root()->setProperty("searchText", QStringLiteral("  "));
        QCOMPARE(text(tracksText), QStringLiteral("Ничего не найдено по запросу '  '"));

        selectSegment(screen, 1);
        QVERIFY(screen.find("emptyAlbumsText")->isVisible());
        QCOMPARE(text(screen.find("emptyAlbumsText")),
                 QStringLiteral("Альбомы отсутствуют. Загрузите треки с указанием названия альбома!"));
        selectSegment(screen, 2);
        QQuickItem *playlistsText = screen.find("emptyPlaylistsText");
        QVERIFY(playlistsText->isVisible());
        QCOMPARE(text(playlistsText),
                 QStringLiteral("У вас пока нет созданных плейлистов. Нажмите 'Создать плейлист' выш") +
                     QLatin1Char('e') + QStringLiteral("!"));
        // Switching segments keeps the search.
        QCOMPARE(text(screen.find("searchField")), QStringLiteral("  "));

        MusicViewModel model;
        QmlScreen sheet(
            QStringLiteral("AddToPlaylistModalView.qml"),
            {{"track", QVariant::fromValue(Track{.id = 1})}, {"viewModel", QVariant::fromValue<QObject *>(&model)}});
        QVERIFY2(sheet.isReady(), qPrintable(sheet.errors()));
        QCOMPARE(text(sheet.find("emptyPlaylistsText")),
                 QStringLiteral("У вас пока нет созданных плейлистов. Создайте плейлист во вкладке 'Плейлисты'!"));
        QCOMPARE(text(sheet.find("sheetTitle")), QStringLiteral("Добавить в плейлист"));
        QSignalSpy dismissed(sheet.root(), SIGNAL(dismissRequested()));
        tap(sheet.window(), sheet.find("sheetTrailingButton"));
        QCOMPARE(dismissed.size(), 1);
    }

    void trackRowsPlayLikeAndSearch()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        MusicViewModel *model = modelOf(*screen);
        QAbstractItemModelTester tester(screen->root()->property("trackSearch").value<QAbstractItemModel *>(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QQuickWindow *window = screen->window();
        const Track first = model->tracks().first();
        QCOMPARE(screen->find("trackRow0")->property("title").toString(), first.title);

        // The heart likes without playing.
        QQuickItem *row = screen->find("trackRow0");
        tap(window, row->findChild<QQuickItem *>("likeButton"));
        QVERIFY(model->tracks().first().isLiked);
        QVERIFY(row->findChild<QQuickItem *>("likeIcon")->property("source").toString().endsWith("heart.fill.svg"));
        QVERIFY(!AudioPlayerManager::shared().hasTrack());

        // The add symbol opens the sheet for this track without playing.
        tap(window, row->findChild<QQuickItem *>("addToPlaylistButton"));
        QObject *sheet = popup(*screen, "addToPlaylistSheet");
        QTRY_VERIFY(isOpen(sheet));
        QCOMPARE(screen->root()->property("selectedTrackForPlaylist").value<Track>().id, first.id);
        QVERIFY(!AudioPlayerManager::shared().hasTrack());
        QMetaObject::invokeMethod(sheet, "close");
        QTRY_VERIFY(isClosed(sheet));
        QVERIFY(screen->root()->property("selectedTrackForPlaylist").isNull());

        // A tap elsewhere plays; again pauses; again resumes.
        tap(window, row);
        QCOMPARE(AudioPlayerManager::shared().currentTrack()->id, first.id);
        QVERIFY(AudioPlayerManager::shared().isPlaying());
        tap(window, row);
        QVERIFY(!AudioPlayerManager::shared().isPlaying());
        tap(window, row);
        QVERIFY(AudioPlayerManager::shared().isPlaying());

        // A search keeps the liked row and its heart; unliking turns it grey again.
        const QString query = first.title.left(4).toUpper();
        screen->root()->setProperty("searchText", query);
        QQuickItem *list = screen->find("trackList");
        QTRY_VERIFY(list->property("count").toInt() < int(model->tracks().size()));
        row = screen->find("trackRow0");
        QCOMPARE(row->property("title").toString(), first.title);
        QVERIFY(row->property("isLiked").toBool());
        tap(window, row->findChild<QQuickItem *>("likeButton"));
        QVERIFY(!row->property("isLiked").toBool());
        QCOMPARE(row->property("title").toString(), first.title);
        // Albums and playlists are not filtered.
        selectSegment(*screen, 1);
        QCOMPARE(screen->find("albumList")->property("count").toInt(), int(model->albums().size()));
        QCOMPARE(text(screen->find("albumRow0")->findChild<QQuickItem *>("albumSubtitle")),
                 model->albums().first().artist + " • " + QString::number(model->albums().first().tracks.size()) +
                     " треков");
    }

    void uploadFormEnablesSaveAndKeepsARefusedForm()
    {
        QTemporaryDir dir;
        const QString wav = writeWav(dir, QStringLiteral("take.wav"), 1.0);
        QVERIFY(!wav.isEmpty());
        ScriptedResponder responder;
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QmlScreen screen(QStringLiteral("MusicView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QObject *sheet = nullptr;
        UploadTrackForm *form = openUploadSheet(screen, sheet);
        QVERIFY(form);
        MusicViewModel *model = modelOf(screen);
        QQuickWindow *window = screen.window();
        QCOMPARE(text(screen.find("sheetTitle")), QStringLiteral("Загрузить трек"));
        QQuickItem *save = screen.find("sheetTrailingButton");
        QCOMPARE(buttonText(save), QStringLiteral("Сохранить"));
        QCOMPARE(buttonText(screen.find("audioPickButton")), QStringLiteral("Выбрать аудиофайл с телефона"));
        QCOMPARE(buttonText(screen.find("coverPickButton")), QStringLiteral("Выбрать обложку с телефона"));
        QVERIFY(!save->isEnabled());

        type(window, screen.find("trackTitleField"), QStringLiteral("  "));
        type(window, screen.find("trackArtistField"), QStringLiteral("Band"));
        QCOMPARE(form->title(), QStringLiteral("  "));
        QVERIFY(!save->isEnabled()); // no audio yet

        responder.reply(200, "{\"success\":true,\"data\":{\"url\":\"http://127.0.0.1/media/uploads/a.wav\"}}");
        form->uploadAudio(QUrl::fromLocalFile(wav));
        QVERIFY(form->isUploadingAudio());
        QVERIFY(screen.find("audioProgress")->isVisible());
        QTRY_VERIFY(!form->isUploadingAudio());
        QCOMPARE(form->audioUrl(), QStringLiteral("http://127.0.0.1/media/uploads/a.wav"));
        QCOMPARE(buttonText(screen.find("audioPickButton")), QStringLiteral("Аудиофайл загружен ✓"));
        QVERIFY(save->isEnabled()); // a title of blanks counts

        // A failed second upload keeps the first file.
        responder.reply(200, R"({"success":false,"message":"Недопустимый тип файла"})");
        form->uploadAudio(QUrl::fromLocalFile(wav));
        QTRY_VERIFY(!form->isUploadingAudio());
        QCOMPARE(buttonText(screen.find("audioPickButton")), QStringLiteral("Аудиофайл загружен ✓"));

        // Refused: the form stays as it was, and can be sent again.
        responder.reply(200, R"({"success":false,"message":"Нет"})");
        tap(window, save);
        QVERIFY(form->isSubmitting());
        QVERIFY(!save->isEnabled());
        QTRY_VERIFY(!form->isSubmitting());
        QVERIFY(isOpen(sheet));
        QVERIFY(save->isEnabled());
        QCOMPARE(form->title(), QStringLiteral("  "));
        QCOMPARE(form->artist(), QStringLiteral("Band"));
        QVERIFY(model->tracks().isEmpty());

        const Track stored{.id = 9, .title = "  ", .artist = "Band", .audioUrl = form->audioUrl()};
        responder.reply(200, "{\"success\":true,\"data\":" + stored.toJson() + "}");
        tap(window, save);
        QTRY_VERIFY(isClosed(sheet));
        QCOMPARE(model->tracks(), QList<Track>{stored});
        // The sent body is the form's texts as they stand.
        const QByteArray sent = responder.requests().last().body;
        QVERIFY(sent.contains(R"("title":"  ")"));
        QVERIFY(sent.contains(R"("album_name":"")"));
        QVERIFY(sent.contains(R"("cover_url":"")"));

        // Reopened, the form starts empty; "Отмена" sends nothing.
        tap(window, screen.find("uploadTrackButton"));
        QTRY_VERIFY(isOpen(sheet));
        QTRY_VERIFY(screen.find("uploadTrackView"));
        auto *fresh = screen.find("uploadTrackView")->property("form").value<UploadTrackForm *>();
        QVERIFY(fresh && fresh->title().isEmpty() && fresh->audioUrl().isEmpty());
        const qsizetype requests = responder.requests().size();
        tap(window, screen.find("sheetLeadingButton"));
        QTRY_VERIFY(isClosed(sheet));
        QCOMPARE(responder.requests().size(), requests);
    }

    // The upload sheet swiped away while its save is on the way: the form goes, the track still
    // comes into the list when the answer lands.
    void aSaveWhoseSheetWasSwipedAwayStillAddsTheTrack()
    {
        ScriptedResponder responder;
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QmlScreen screen(QStringLiteral("MusicView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QObject *sheet = nullptr;
        UploadTrackForm *form = openUploadSheet(screen, sheet);
        QVERIFY(form);
        MusicViewModel *model = modelOf(screen);
        QQuickWindow *window = screen.window();
        type(window, screen.find("trackTitleField"), QStringLiteral("Late"));
        type(window, screen.find("trackArtistField"), QStringLiteral("Band"));
        QTemporaryDir dir;
        const QString wav = writeWav(dir, QStringLiteral("late.wav"), 0.5);
        QVERIFY(!wav.isEmpty());
        responder.reply(200, "{\"success\":true,\"data\":{\"url\":\"http://127.0.0.1/media/uploads/a.wav\"}}");
        form->uploadAudio(QUrl::fromLocalFile(wav));
        QTRY_VERIFY(!form->isUploadingAudio());
        const qsizetype before = responder.requests().size();
        responder.replyNothing();
        QVERIFY(screen.find("sheetTrailingButton")->isEnabled());
        tap(window, screen.find("sheetTrailingButton"));
        QVERIFY(responder.waitForRequests(int(before) + 1));

        QQuickItem *title = screen.find("sheetTitle");
        FingerDrag::swipeAway(window, title->mapToScene(QPointF(title->width() / 2, title->height() / 2)).toPoint());
        QTRY_VERIFY(isClosed(sheet));
        QTRY_VERIFY(!screen.find("uploadTrackView"));

        const Track stored{
            .id = 12, .title = "Late", .artist = "Band", .audioUrl = "http://127.0.0.1/media/uploads/a.wav"};
        QVERIFY(responder.answerWaiting(200, "{\"success\":true,\"data\":" + stored.toJson() + "}"));
        QTRY_COMPARE(model->tracks().size(), 1);
        QCOMPARE(model->tracks().constFirst().title, QStringLiteral("Late"));
    }

    void createPlaylistDraftOutlivesItsSheet()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        MusicViewModel *model = modelOf(*screen);
        auto *draft = screen->root()->property("playlistDraft").value<PlaylistDraft *>();
        QQuickWindow *window = screen->window();
        selectSegment(*screen, 2);
        tap(window, screen->find("createPlaylistButton"));
        QObject *sheet = popup(*screen, "createPlaylistSheet");
        QTRY_VERIFY(isOpen(sheet));
        QTRY_VERIFY(screen->find("playlistNameField"));
        QCOMPARE(text(screen->find("sheetTitle")), QStringLiteral("Новый плейлист"));
        QQuickItem *create = screen->find("sheetTrailingButton");
        QCOMPARE(buttonText(create), QStringLiteral("Создать"));
        QVERIFY(!create->isEnabled());
        QVERIFY(screen->find("playlistPublicSwitch")->property("checked").toBool());

        type(window, screen->find("playlistNameField"), QStringLiteral("   "));
        QVERIFY(create->isEnabled()); // blanks are a name
        type(window, screen->find("playlistNameField"), QStringLiteral("Mix"));
        type(window, screen->find("playlistDescriptionField"), QStringLiteral("Evening"));
        tap(window, screen->find("playlistPublicSwitch"));
        QVERIFY(!draft->isPublic());
        draft->uploadCover(QVariant::fromValue(photo()));
        QTRY_VERIFY(!draft->isUploadingCover());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Обложка загружена ✓"));
        const QString cover = draft->coverUrl();
        QVERIFY(cover.startsWith(m_service.siteUrl()));

        // "Отмена" keeps everything for the next opening.
        tap(window, screen->find("sheetLeadingButton"));
        QTRY_VERIFY(isClosed(sheet));
        tap(window, screen->find("createPlaylistButton"));
        QTRY_VERIFY(isOpen(sheet));
        QTRY_VERIFY(screen->find("playlistNameField"));
        QCOMPARE(text(screen->find("playlistNameField")), QStringLiteral("   Mix"));
        QCOMPARE(text(screen->find("playlistDescriptionField")), QStringLiteral("Evening"));
        QVERIFY(!screen->find("playlistPublicSwitch")->property("checked").toBool());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Обложка загружена ✓"));

        // "Создать" makes it, clears the texts and the cover, and keeps the toggle.
        tap(window, screen->find("sheetTrailingButton"));
        QTRY_VERIFY(isClosed(sheet));
        QCOMPARE(model->playlists().size(), 1);
        const Playlist made = model->playlists().first();
        QCOMPARE(made.name, QStringLiteral("   Mix"));
        QCOMPARE(made.description, QStringLiteral("Evening"));
        QCOMPARE(made.coverUrl, std::optional<QString>(cover));
        QVERIFY(!made.isPublic && !made.shareUrl);
        QQuickItem *row = screen->find("playlistRow0");
        QVERIFY(row);
        QCOMPARE(text(row->findChild<QQuickItem *>("visibilityText")), QStringLiteral("🔒 Приватный"));
        QCOMPARE(text(row->findChild<QQuickItem *>("trackCountText")), QStringLiteral("• 0 треков"));
        QVERIFY(!row->findChild<QQuickItem *>("linkStrip")->isVisible());

        tap(window, screen->find("createPlaylistButton"));
        QTRY_VERIFY(isOpen(sheet));
        QTRY_VERIFY(screen->find("playlistNameField"));
        QCOMPARE(text(screen->find("playlistNameField")), QString());
        QCOMPARE(text(screen->find("playlistDescriptionField")), QString());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Выбрать обложку с телефона"));
        QVERIFY(!screen->find("playlistPublicSwitch")->property("checked").toBool());

        // An upload that ends after "Создать" closed the sheet fills the cleared draft.
        tap(window, screen->find("playlistPublicSwitch"));
        type(window, screen->find("playlistNameField"), QStringLiteral("Open"));
        draft->uploadCover(QVariant::fromValue(photo()));
        tap(window, screen->find("sheetTrailingButton"));
        QTRY_VERIFY(isClosed(sheet));
        QCOMPARE(model->playlists().first().coverUrl, std::nullopt);
        QTRY_VERIFY(!draft->isUploadingCover());
        QVERIFY(!draft->coverUrl().isEmpty());

        // The public one shows its link; "Копировать" puts the link alone on the clipboard.
        const Playlist open = model->playlists().first();
        QVERIFY(open.isPublic && open.shareUrl);
        row = screen->find("playlistRow0");
        QCOMPARE(text(row->findChild<QQuickItem *>("visibilityText")), QStringLiteral("🌐 Публичный"));
        QQuickItem *strip = row->findChild<QQuickItem *>("linkStrip");
        QVERIFY(strip->isVisible());
        QCOMPARE(text(strip->findChild<QQuickItem *>("linkText")), "Ссылка: " + *open.shareUrl);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        tap(window, strip->findChild<QQuickItem *>("copyLinkButton"));
        QCOMPARE(QGuiApplication::clipboard()->text(), *open.shareUrl);
    }

    // The pickers' sheets hand what was chosen to the forms, which upload it at once.
    void pickersFeedTheForms()
    {
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("take.wav"));
        const QString picture = dir.filePath(QStringLiteral("cover.png"));
        QFile file(wav);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(wavSample(1.0));
        file.close();
        QVERIFY(photo().save(picture));

        const auto screen = loadedScreen();
        QVERIFY(screen);
        QQuickWindow *window = screen->window();
        tap(window, screen->find("uploadTrackButton"));
        QTRY_VERIFY(isOpen(popup(*screen, "uploadSheet")));
        QTRY_VERIFY(screen->find("uploadTrackView"));
        QQuickItem *view = screen->find("uploadTrackView");
        auto *form = view->property("form").value<UploadTrackForm *>();

        tap(window, screen->find("audioPickButton"));
        QObject *audioSheet = view->findChild<QObject *>(QStringLiteral("audioPickerSheet"));
        QTRY_VERIFY(isOpen(audioSheet));
        QTRY_VERIFY(screen->find("audioPicker"));
        auto *documents = screen->find("audioPicker")->property("model").value<DocumentPickerModel *>();
        QVERIFY(documents->pick(QUrl::fromLocalFile(wav).toString()));
        closeDialog(screen->find("audioPicker"), "documentFileDialog");
        QTRY_VERIFY(isClosed(audioSheet));
        QTRY_VERIFY(form->audioUrl().startsWith(m_service.siteUrl() + "/media/uploads/"));
        QVERIFY(form->audioUrl().endsWith(".wav"));

        tap(window, screen->find("coverPickButton"));
        QObject *coverSheet = view->findChild<QObject *>(QStringLiteral("coverPickerSheet"));
        QTRY_VERIFY(isOpen(coverSheet));
        QTRY_VERIFY(screen->find("coverPicker"));
        auto *images = screen->find("coverPicker")->property("model").value<ImagePickerModel *>();
        QVERIFY(images->openImage(picture));
        closeDialog(screen->find("coverPicker"), "imageFileDialog");
        images->confirm();
        QTRY_VERIFY(isClosed(coverSheet));
        QTRY_VERIFY(form->coverUrl().endsWith(".jpg"));
        QVERIFY(isOpen(popup(*screen, "uploadSheet")));
        tap(window, screen->find("sheetLeadingButton"));
        QTRY_VERIFY(isClosed(popup(*screen, "uploadSheet")));

        // The playlist cover's picker rises over the create-playlist form.
        auto *draft = screen->root()->property("playlistDraft").value<PlaylistDraft *>();
        selectSegment(*screen, 2);
        tap(window, screen->find("createPlaylistButton"));
        QTRY_VERIFY(isOpen(popup(*screen, "createPlaylistSheet")));
        QTRY_VERIFY(screen->find("playlistCoverButton"));
        tap(window, screen->find("playlistCoverButton"));
        QObject *playlistCoverSheet = popup(*screen, "playlistCoverPickerSheet");
        QTRY_VERIFY(isOpen(playlistCoverSheet));
        QTRY_VERIFY(screen->find("playlistCoverPicker"));
        images = screen->find("playlistCoverPicker")->property("model").value<ImagePickerModel *>();
        QVERIFY(images->openImage(picture));
        closeDialog(screen->find("playlistCoverPicker"), "imageFileDialog");
        images->confirm();
        QTRY_VERIFY(isClosed(playlistCoverSheet));
        QTRY_VERIFY(draft->coverUrl().endsWith(".jpg"));
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Обложка загружена ✓"));
    }

    void addToPlaylistTapAddsAndCloses()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        MusicViewModel *model = modelOf(*screen);
        model->createPlaylist("Private", "", std::nullopt, false);
        model->createPlaylist("Public", "", std::nullopt, true);
        QQuickWindow *window = screen->window();
        QObject *sheet = popup(*screen, "addToPlaylistSheet");
        const Track first = model->tracks().first();

        for (int attempt = 0; attempt < 2; ++attempt) {
            tap(window, screen->find("trackRow0")->findChild<QQuickItem *>("addToPlaylistButton"));
            QTRY_VERIFY(isOpen(sheet));
            QTRY_VERIFY(screen->find("addToPlaylistRow1"));
            // Private playlists are offered too.
            QCOMPARE(text(screen->find("addToPlaylistRow1")->findChild<QQuickItem *>("sheetSubtitle")),
                     QStringLiteral("0 треков • Приватный 🔒"));
            tap(window, screen->find("addToPlaylistRow0"));
            QTRY_VERIFY(isClosed(sheet));
            // A second tap on the same playlist still closes and adds nothing.
            QCOMPARE(model->playlists().first().tracks, QList<Track>{first});
            QVERIFY(model->playlists().at(1).tracks.isEmpty());
        }
        selectSegment(*screen, 2);
        QCOMPARE(text(screen->find("playlistRow0")->findChild<QQuickItem *>("trackCountText")),
                 QStringLiteral("• 1 треков"));
    }
};

QTEST_MAIN(TestMusicView)
#include "tst_musicview.moc"
