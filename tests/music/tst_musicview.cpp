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
    QTemporaryDir m_dir;
    QString m_wav; // a short WAV: a large file takes long to cross loopback in a sanitized build
    QString m_picture;

    static MusicViewModel *modelOf(QmlScreen &screen)
    {
        return screen.root()->property("viewModel").value<MusicViewModel *>();
    }
    static QObject *popup(QmlScreen &screen, const char *name)
    {
        return screen.root()->findChild<QObject *>(QString::fromLatin1(name));
    }
    static QQuickItem *child(QQuickItem *item, const char *name)
    {
        return item ? item->findChild<QQuickItem *>(QString::fromLatin1(name)) : nullptr;
    }
    static QString buttonText(QQuickItem *button) { return button ? button->property("text").toString() : QString(); }

    // Taps `button` and waits for `sheet` to rise fully with `content` built inside it.
    static bool openSheet(QmlScreen &screen, const char *button, QObject *sheet, const char *content)
    {
        tap(screen.window(), screen.find(QString::fromLatin1(button)));
        return QTest::qWaitFor([&] { return sheetRisen(sheet) && screen.find(QString::fromLatin1(content)); },
                               VORLANE_PATIENT_WAIT_MS);
    }

    // Opens the upload sheet over an empty library (the responder's first reply); the form once
    // the sheet has fully risen, or null.
    static UploadTrackForm *openUploadSheet(QmlScreen &screen, QObject *&sheet)
    {
        if (!screen.isReady() ||
            !QTest::qWaitFor([&] { return !modelOf(screen)->isLoading(); }, VORLANE_PATIENT_WAIT_MS))
            return nullptr;
        sheet = popup(screen, "uploadSheet");
        if (!openSheet(screen, "uploadTrackButton", sheet, "uploadTrackView"))
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
        if (!QTest::qWaitFor([&] { return screen->find("trackRow0") != nullptr; }, VORLANE_PATIENT_WAIT_MS))
            return nullptr;
        return screen;
    }

    void selectSegment(QmlScreen &screen, int segment)
    {
        tap(screen.window(), screen.find(QStringLiteral("segment%1").arg(segment)));
        QCOMPARE(screen.root()->property("selectedSegment").toInt(), segment);
    }

    // A picture handed to the image picker's own entry point in `sheet`; its dialog, which a
    // person would have used to choose it, goes away as it would after the choice.
    static bool pickImage(QmlScreen &screen, QObject *sheet, const char *picker, const QString &path)
    {
        if (!QTest::qWaitFor([&] { return sheetRisen(sheet) && screen.find(QString::fromLatin1(picker)); },
                             VORLANE_PATIENT_WAIT_MS))
            return false;
        QQuickItem *item = screen.find(QString::fromLatin1(picker));
        auto *images = item->property("model").value<ImagePickerModel *>();
        if (!images->openImage(path) || !QTest::qWaitFor([&] { return images->hasImage(); }, VORLANE_PATIENT_WAIT_MS))
            return false;
        if (QObject *dialog = item->findChild<QObject *>(QStringLiteral("imageFileDialog")))
            QMetaObject::invokeMethod(dialog, "close");
        images->confirm();
        return QTest::qWaitFor([&] { return sheetGone(sheet); }, VORLANE_PATIENT_WAIT_MS);
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
        m_wav = m_dir.filePath(QStringLiteral("take.wav"));
        QFile file(m_wav);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(wavSample(1.0)) > 0);
        m_picture = m_dir.filePath(QStringLiteral("cover.png"));
        QVERIFY(photo().save(m_picture));
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
        QCOMPARE(text(tracksText),
                 "Пока нет загруженных треков. Нажмите '+ Загрузить трек', чтобы добавить первый трек!");
        // Blanks are a search, shown as typed.
        screen.root()->setProperty("searchText", QStringLiteral("  "));
        QCOMPARE(text(tracksText), QStringLiteral("Ничего не найдено по запросу '  '"));

        selectSegment(screen, 1);
        QVERIFY(screen.find("emptyAlbumsText")->isVisible());
        QCOMPARE(text(screen.find("emptyAlbumsText")),
                 QStringLiteral("Альбомы отсутствуют. Загрузите треки с указанием названия альбома!"));
        selectSegment(screen, 2);
        QVERIFY(screen.find("emptyPlaylistsText")->isVisible());
        QCOMPARE(text(screen.find("emptyPlaylistsText")),
                 QStringLiteral("У вас пока нет созданных плейлистов. Нажмите 'Создать плейлист' выш") +
                     QLatin1Char('e') + QStringLiteral("!"));
        // Switching segments keeps the search.
        QCOMPARE(text(screen.find("searchField")), QStringLiteral("  "));
    }

    void trackRowsLikeAddToPlaylistsPlayAndSearch()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        MusicViewModel *model = modelOf(*screen);
        QAbstractItemModelTester tester(screen->root()->property("trackSearch").value<QAbstractItemModel *>(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QQuickWindow *window = screen->window();
        const Track first = model->tracks().first();
        QQuickItem *row = screen->find("trackRow0");
        QCOMPARE(row->property("title").toString(), first.title);

        // The heart likes without playing.
        tap(window, child(row, "likeButton"));
        QVERIFY(model->tracks().first().isLiked);
        QVERIFY(child(row, "likeIcon")->property("source").toString().endsWith("heart.fill.svg"));
        QVERIFY(!AudioPlayerManager::shared().hasTrack());

        // The add symbol opens the sheet for this track without playing. With no playlists yet it
        // says where to make one, and its button closes it.
        QObject *sheet = popup(*screen, "addToPlaylistSheet");
        tap(window, child(row, "addToPlaylistButton"));
        QTRY_VERIFY(sheetRisen(sheet) && screen->find("addToPlaylistView"));
        QQuickItem *view = screen->find("addToPlaylistView");
        QCOMPARE(text(findIn(view, "sheetTitle")), QStringLiteral("Добавить в плейлист"));
        QCOMPARE(text(findIn(view, "emptyPlaylistsText")),
                 QStringLiteral("У вас пока нет созданных плейлистов. Создайте плейлист во вкладке 'Плейлисты'!"));
        tap(window, findIn(view, "sheetTrailingButton"));
        QTRY_VERIFY(sheetGone(sheet));
        // Private playlists are offered too; a tap on one adds the track and closes, and a second
        // tap adds nothing more.
        model->createPlaylist("Private", "", std::nullopt, false);
        model->createPlaylist("Public", "", std::nullopt, true);
        for (int attempt = 0; attempt < 2; ++attempt) {
            tap(window, child(row, "addToPlaylistButton"));
            QTRY_VERIFY(sheetRisen(sheet) && screen->find("addToPlaylistRow1"));
            QCOMPARE(screen->root()->property("selectedTrackForPlaylist").value<Track>().id, first.id);
            QCOMPARE(text(child(screen->find("addToPlaylistRow1"), "sheetSubtitle")),
                     QStringLiteral("0 треков • Приватный 🔒"));
            tap(window, screen->find("addToPlaylistRow0"));
            QTRY_VERIFY(sheetGone(sheet));
            QVERIFY(screen->root()->property("selectedTrackForPlaylist").isNull());
            QCOMPARE(model->playlists().first().tracks, QList<Track>{model->tracks().first()});
            QVERIFY(model->playlists().at(1).tracks.isEmpty());
        }
        QVERIFY(!AudioPlayerManager::shared().hasTrack());

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
        tap(window, child(row, "likeButton"));
        QVERIFY(!row->property("isLiked").toBool());
        QCOMPARE(row->property("title").toString(), first.title);
        // Albums and playlists are not filtered.
        selectSegment(*screen, 1);
        QCOMPARE(screen->find("albumList")->property("count").toInt(), int(model->albums().size()));
        QCOMPARE(text(child(screen->find("albumRow0"), "albumSubtitle")),
                 model->albums().first().artist + " • " + QString::number(model->albums().first().tracks.size()) +
                     " треков");
        selectSegment(*screen, 2);
        QCOMPARE(text(child(screen->find("playlistRow0"), "trackCountText")), QStringLiteral("• 1 треков"));
    }

    // Once the service stored the track, the form takes no further press while its sheet slides
    // away (a save started then made a second track): the service holds the track once.
    void aStoredTrackTakesNoFurtherPress()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        MusicViewModel model;
        UploadTrackForm form;
        form.setViewModel(&model);
        form.setTitle(QStringLiteral("Единожды"));
        form.setArtist(QStringLiteral("Band"));
        form.uploadAudio(QUrl::fromLocalFile(m_wav));
        QTRY_VERIFY(!form.isUploadingAudio());
        QVERIFY(form.canSave());
        std::optional<bool> startedAgain; // by a press just as the record is stored
        connect(&form, &UploadTrackForm::saved, this, [&] {
            form.save();
            startedAgain = form.isSubmitting();
        });
        form.save();
        form.save();
        QTRY_VERIFY(startedAgain.has_value());
        QVERIFY(!*startedAgain);
        QVERIFY(!form.isSubmitting());
        QVERIFY(!form.canSave());

        MusicViewModel fresh;
        QTRY_VERIFY(!fresh.tracks().isEmpty());
        QCOMPARE(std::count_if(fresh.tracks().cbegin(), fresh.tracks().cend(),
                               [](const Track &track) { return track.title == QStringLiteral("Единожды"); }),
                 1);
    }

    void uploadFormEnablesSaveKeepsARefusedFormAndOutlivesItsSheet()
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
        form->uploadAudio(QUrl::fromLocalFile(m_wav));
        QVERIFY(form->isUploadingAudio());
        QVERIFY(screen.find("audioProgress")->isVisible());
        QTRY_VERIFY(!form->isUploadingAudio());
        QCOMPARE(form->audioUrl(), QStringLiteral("http://127.0.0.1/media/uploads/a.wav"));
        QCOMPARE(buttonText(screen.find("audioPickButton")), QStringLiteral("Аудиофайл загружен ✓"));
        QVERIFY(save->isEnabled()); // a title of blanks counts

        // A failed second upload keeps the first file.
        responder.reply(200, R"({"success":false,"message":"Недопустимый тип файла"})");
        form->uploadAudio(QUrl::fromLocalFile(m_wav));
        QTRY_VERIFY(!form->isUploadingAudio());
        QCOMPARE(buttonText(screen.find("audioPickButton")), QStringLiteral("Аудиофайл загружен ✓"));

        // Refused: the form stays as it was, and can be sent again.
        responder.reply(200, R"({"success":false,"message":"Нет"})");
        tap(window, save);
        QVERIFY(form->isSubmitting());
        QVERIFY(!save->isEnabled());
        QTRY_VERIFY(!form->isSubmitting());
        QVERIFY(sheetRisen(sheet));
        QVERIFY(save->isEnabled());
        QCOMPARE(form->title(), QStringLiteral("  "));
        QCOMPARE(form->artist(), QStringLiteral("Band"));
        QVERIFY(model->tracks().isEmpty());

        const Track stored{.id = 9, .title = "  ", .artist = "Band", .audioUrl = form->audioUrl()};
        responder.reply(200, "{\"success\":true,\"data\":" + stored.toJson() + "}");
        tap(window, save);
        QTRY_VERIFY(sheetGone(sheet));
        QCOMPARE(model->tracks(), QList<Track>{stored});
        // The sent body is the form's texts as they stand.
        const QByteArray sent = responder.requests().last().body;
        QVERIFY(sent.contains(R"("title":"  ")"));
        QVERIFY(sent.contains(R"("album_name":"")"));
        QVERIFY(sent.contains(R"("cover_url":"")"));

        // Reopened, the form starts empty; "Отмена" sends nothing.
        QVERIFY(openSheet(screen, "uploadTrackButton", sheet, "uploadTrackView"));
        auto *fresh = screen.find("uploadTrackView")->property("form").value<UploadTrackForm *>();
        QVERIFY(fresh && fresh->title().isEmpty() && fresh->audioUrl().isEmpty());
        const qsizetype requests = responder.requests().size();
        tap(window, screen.find("sheetLeadingButton"));
        QTRY_VERIFY(sheetGone(sheet));
        QCOMPARE(responder.requests().size(), requests);

        // Swiped away while its save is on the way: the form goes, the track still comes into the
        // list when the answer lands.
        QVERIFY(openSheet(screen, "uploadTrackButton", sheet, "uploadTrackView"));
        form = screen.find("uploadTrackView")->property("form").value<UploadTrackForm *>();
        type(window, screen.find("trackTitleField"), QStringLiteral("Late"));
        type(window, screen.find("trackArtistField"), QStringLiteral("Band"));
        responder.reply(200, "{\"success\":true,\"data\":{\"url\":\"http://127.0.0.1/media/uploads/b.wav\"}}");
        form->uploadAudio(QUrl::fromLocalFile(m_wav));
        QTRY_VERIFY(!form->isUploadingAudio());
        responder.replyNothing();
        tap(window, screen.find("sheetTrailingButton"));
        QVERIFY(responder.waitForRequests(int(requests) + 2));
        QQuickItem *title = screen.find("sheetTitle");
        FingerDrag::swipeAway(window, title->mapToScene(QPointF(title->width() / 2, title->height() / 2)).toPoint());
        QTRY_VERIFY(sheetGone(sheet) && !screen.find("uploadTrackView"));
        const Track late{
            .id = 12, .title = "Late", .artist = "Band", .audioUrl = "http://127.0.0.1/media/uploads/b.wav"};
        QVERIFY(responder.answerWaiting(200, "{\"success\":true,\"data\":" + late.toJson() + "}"));
        QTRY_COMPARE(model->tracks(), (QList<Track>{late, stored}));
    }

    void createPlaylistDraftOutlivesItsSheet()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        MusicViewModel *model = modelOf(*screen);
        auto *draft = screen->root()->property("playlistDraft").value<PlaylistDraft *>();
        QQuickWindow *window = screen->window();
        selectSegment(*screen, 2);
        QObject *sheet = popup(*screen, "createPlaylistSheet");
        QVERIFY(openSheet(*screen, "createPlaylistButton", sheet, "playlistNameField"));
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
        // The cover's picker rises over the form and hands the picture to the draft, which uploads it.
        tap(window, screen->find("playlistCoverButton"));
        QVERIFY(pickImage(*screen, popup(*screen, "playlistCoverPickerSheet"), "playlistCoverPicker", m_picture));
        QTRY_VERIFY(!draft->coverUrl().isEmpty() && !draft->isUploadingCover());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Обложка загружена ✓"));
        const QString cover = draft->coverUrl();
        QVERIFY(cover.startsWith(m_service.siteUrl() + "/media/uploads/") && cover.endsWith(".jpg"));

        // "Отмена" keeps everything for the next opening.
        tap(window, screen->find("sheetLeadingButton"));
        QTRY_VERIFY(sheetGone(sheet));
        QVERIFY(openSheet(*screen, "createPlaylistButton", sheet, "playlistNameField"));
        QCOMPARE(text(screen->find("playlistNameField")), QStringLiteral("   Mix"));
        QCOMPARE(text(screen->find("playlistDescriptionField")), QStringLiteral("Evening"));
        QVERIFY(!screen->find("playlistPublicSwitch")->property("checked").toBool());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Обложка загружена ✓"));

        // "Создать" makes it, clears the texts and the cover, and keeps the toggle.
        tap(window, screen->find("sheetTrailingButton"));
        QTRY_VERIFY(sheetGone(sheet));
        QCOMPARE(model->playlists().size(), 1);
        const Playlist made = model->playlists().first();
        QCOMPARE(made.name, QStringLiteral("   Mix"));
        QCOMPARE(made.description, QStringLiteral("Evening"));
        QCOMPARE(made.coverUrl, std::optional<QString>(cover));
        QVERIFY(!made.isPublic && !made.shareUrl);
        QQuickItem *row = screen->find("playlistRow0");
        QVERIFY(row);
        QCOMPARE(text(child(row, "visibilityText")), QStringLiteral("🔒 Приватный"));
        QCOMPARE(text(child(row, "trackCountText")), QStringLiteral("• 0 треков"));
        QVERIFY(!child(row, "linkStrip")->isVisible());

        QVERIFY(openSheet(*screen, "createPlaylistButton", sheet, "playlistNameField"));
        QCOMPARE(text(screen->find("playlistNameField")), QString());
        QCOMPARE(text(screen->find("playlistDescriptionField")), QString());
        QCOMPARE(buttonText(screen->find("playlistCoverButton")), QStringLiteral("Выбрать обложку с телефона"));
        QVERIFY(!screen->find("playlistPublicSwitch")->property("checked").toBool());

        // An upload that ends after "Создать" closed the sheet fills the cleared draft.
        tap(window, screen->find("playlistPublicSwitch"));
        type(window, screen->find("playlistNameField"), QStringLiteral("Open"));
        draft->uploadCover(QVariant::fromValue(photo()));
        tap(window, screen->find("sheetTrailingButton"));
        QTRY_VERIFY(sheetGone(sheet));
        QCOMPARE(model->playlists().first().coverUrl, std::nullopt);
        QTRY_VERIFY(!draft->isUploadingCover());
        QVERIFY(!draft->coverUrl().isEmpty());

        // The public one shows its link; "Копировать" puts the link alone on the clipboard.
        const Playlist open = model->playlists().first();
        QVERIFY(open.isPublic && open.shareUrl);
        row = screen->find("playlistRow0");
        QCOMPARE(text(child(row, "visibilityText")), QStringLiteral("🌐 Публичный"));
        QQuickItem *strip = child(row, "linkStrip");
        QVERIFY(strip->isVisible());
        QCOMPARE(text(child(strip, "linkText")), "Ссылка: " + *open.shareUrl);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        tap(window, child(strip, "copyLinkButton"));
        QCOMPARE(QGuiApplication::clipboard()->text(), *open.shareUrl);
    }

    // The pickers' sheets hand what was chosen to the upload form, which uploads it at once (the
    // playlist cover's picker is driven in createPlaylistDraftOutlivesItsSheet).
    void pickersFeedTheUploadForm()
    {
        const auto screen = loadedScreen();
        QVERIFY(screen);
        QQuickWindow *window = screen->window();
        QObject *uploadSheet = popup(*screen, "uploadSheet");
        QVERIFY(openSheet(*screen, "uploadTrackButton", uploadSheet, "uploadTrackView"));
        QQuickItem *view = screen->find("uploadTrackView");
        auto *form = view->property("form").value<UploadTrackForm *>();

        tap(window, screen->find("audioPickButton"));
        QObject *audioSheet = view->findChild<QObject *>(QStringLiteral("audioPickerSheet"));
        QTRY_VERIFY(sheetRisen(audioSheet) && screen->find("audioPicker"));
        QQuickItem *audioPicker = screen->find("audioPicker");
        QVERIFY(
            audioPicker->property("model").value<DocumentPickerModel *>()->pick(QUrl::fromLocalFile(m_wav).toString()));
        if (QObject *dialog = audioPicker->findChild<QObject *>(QStringLiteral("documentFileDialog")))
            QMetaObject::invokeMethod(dialog, "close");
        QTRY_VERIFY(sheetGone(audioSheet));
        QTRY_VERIFY(form->audioUrl().startsWith(m_service.siteUrl() + "/media/uploads/"));
        QVERIFY(form->audioUrl().endsWith(".wav"));

        tap(window, screen->find("coverPickButton"));
        QVERIFY(pickImage(*screen, view->findChild<QObject *>(QStringLiteral("coverPickerSheet")), "coverPicker",
                          m_picture));
        QTRY_VERIFY(form->coverUrl().endsWith(".jpg"));
        QVERIFY(sheetRisen(uploadSheet));

        // Saved, the service's record (the WAV's own length read there) heads the list with its
        // cover and album, and a tap plays it.
        type(window, screen->find("trackTitleField"), QStringLiteral("Sunset Tone"));
        type(window, screen->find("trackArtistField"), QStringLiteral("Test Band"));
        type(window, screen->find("trackAlbumField"), QStringLiteral("Field Notes"));
        const QString cover = form->coverUrl(); // the form goes with its sheet
        tap(window, screen->find("sheetTrailingButton"));
        QTRY_VERIFY(sheetGone(uploadSheet));
        MusicViewModel *model = modelOf(*screen);
        const Track uploaded = model->tracks().first();
        QCOMPARE(uploaded.title, QStringLiteral("Sunset Tone"));
        QCOMPARE(uploaded.durationSeconds, qint64(1));
        QCOMPARE(uploaded.coverUrl, std::optional<QString>(cover));
        QQuickItem *row = screen->find("trackRow0");
        QCOMPARE(row->property("coverSource").toString(), cover);
        QVERIFY(std::any_of(model->albums().cbegin(), model->albums().cend(), [&](const Album &album) {
            return album.title == QStringLiteral("Field Notes") && album.tracks == QList<Track>{uploaded};
        }));
        tap(window, row);
        QCOMPARE(AudioPlayerManager::shared().currentTrack()->id, uploaded.id);
    }
};

QTEST_MAIN(TestMusicView)
#include "tst_musicview.moc"
