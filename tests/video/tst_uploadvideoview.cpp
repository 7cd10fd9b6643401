#include "DocumentPickerModel.h"
#include "ImagePickerModel.h"
#include "NetworkManager.h"
#include "PickedCopies.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "UploadVideoForm.h"
#include "VideoViewModel.h"
#include "app/ScreenDriver.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ScreenDriver;

// The upload form driven offscreen as a person would, through both pickers, against the
// reference service; scripted replies stand in for failures the service never gives.
class TestUploadVideoView : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_dir;
    QString m_photo;
    int m_files = 0;

    static std::unique_ptr<QmlScreen> openForm(VideoViewModel &model)
    {
        return std::make_unique<QmlScreen>(QStringLiteral("UploadVideoView.qml"),
                                           QVariantMap{{QStringLiteral("viewModel"), QVariant::fromValue(&model)}});
    }

    QString newClip()
    {
        QFile file(m_dir.filePath(QStringLiteral("clip-%1.mp4").arg(++m_files)));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(QByteArray(2048, char('a' + m_files % 26)));
        return file.fileName();
    }

    static UploadVideoForm *form(QmlScreen &screen)
    {
        return qobject_cast<UploadVideoForm *>(screen.root()->property("form").value<QObject *>());
    }
    static QString label(QmlScreen &screen, const char *name) { return text(screen.find(QString::fromLatin1(name))); }
    static bool submitEnabled(QmlScreen &screen) { return screen.find("submitButton")->isEnabled(); }

    // Taps `button` and waits for the picker it opens; null when none comes.
    static QQuickItem *openPicker(QmlScreen &screen, const char *button, const char *picker)
    {
        tap(screen.window(), screen.find(QString::fromLatin1(button)));
        QQuickItem *found = nullptr;
        return QTest::qWaitFor([&] { return (found = screen.find(QString::fromLatin1(picker))) != nullptr; },
                               VORLANE_PATIENT_WAIT_MS)
                   ? found
                   : nullptr;
    }

    // Through the file button and the document picker; returns once the upload has started.
    static bool pickVideo(QmlScreen &screen, const QString &path)
    {
        QQuickItem *picker = openPicker(screen, "videoButton", "videoPicker");
        return picker && picker->property("model").value<DocumentPickerModel *>()->pick(path) &&
               pickerClosed(screen, "videoPicker");
    }

    // A closing sheet still catches taps until it is gone.
    static bool pickerClosed(QmlScreen &screen, const char *name)
    {
        return QTest::qWaitFor([&] { return screen.find(QString::fromLatin1(name)) == nullptr; },
                               VORLANE_PATIENT_WAIT_MS);
    }

    bool pickPreview(QmlScreen &screen)
    {
        QQuickItem *picker = openPicker(screen, "thumbnailButton", "thumbnailPicker");
        if (!picker)
            return false;
        auto *model = picker->property("model").value<ImagePickerModel *>();
        if (!model->openImage(m_photo) || !QTest::qWaitFor([&] { return model->hasImage(); }, VORLANE_PATIENT_WAIT_MS))
            return false;
        model->confirm();
        return pickerClosed(screen, "thumbnailPicker");
    }

    static bool uploadsDone(QmlScreen &screen)
    {
        return QTest::qWaitFor(
            [&] {
                return !form(screen)->property("isUploadingVideo").toBool() &&
                       !form(screen)->property("isUploadingThumbnail").toBool();
            },
            VORLANE_PATIENT_WAIT_MS);
    }

private Q_SLOTS:
    void initTestCase()
    {
        clearSettings();
        QVERIFY(m_dir.isValid());
        QImage photo(120, 80, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        m_photo = m_dir.filePath(QStringLiteral("preview.png"));
        QVERIFY(photo.save(m_photo));
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
    }
    void init() { NetworkManager::shared().setBaseURL(m_service.baseUrl()); }

    // "Загрузить" needs the raw title and the video address, nothing else.
    void submitEnablingRule_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("video");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("title only") << "Title" << false << true << false;
        QTest::newRow("video only") << "" << true << true << false;
        QTest::newRow("a title of spaces counts") << "   " << true << false << true;
        QTest::newRow("title and video, no preview") << "Title" << true << false << true;
    }
    void submitEnablingRule()
    {
        QFETCH(QString, title);
        QFETCH(bool, video);
        QFETCH(bool, preview);
        QFETCH(bool, enabled);
        VideoViewModel model;
        const auto screen = openForm(model);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QVERIFY(!submitEnabled(*screen)); // nothing given yet
        if (!title.isEmpty())
            type(screen->window(), screen->find("titleField"), title);
        if (video)
            QVERIFY(pickVideo(*screen, newClip()));
        if (preview)
            QVERIFY(pickPreview(*screen));
        QVERIFY(uploadsDone(*screen));
        QCOMPARE(submitEnabled(*screen), enabled);
    }

    // Once the service registered the video, the form takes no further press while its sheet
    // slides away: the service holds the video once.
    void aRegisteredVideoTakesNoFurtherPress()
    {
        VideoViewModel model;
        QTRY_VERIFY(!model.videos().isEmpty());
        UploadVideoForm form;
        form.setViewModel(&model);
        form.setTitle(QStringLiteral("Единожды"));
        form.uploadVideoFile(newClip());
        QTRY_VERIFY(!form.isUploadingVideo());
        QVERIFY(form.canSubmit());
        std::optional<bool> startedAgain; // by a press just as the record is stored
        connect(&form, &UploadVideoForm::closeRequested, this, [&] {
            form.submit();
            startedAgain = form.isSubmitting();
        });
        form.submit();
        form.submit();
        QTRY_VERIFY(startedAgain.has_value());
        QVERIFY(!*startedAgain);
        QVERIFY(!form.isSubmitting());
        QVERIFY(!form.canSubmit());

        VideoViewModel fresh;
        QTRY_VERIFY(!fresh.videos().isEmpty());
        QCOMPARE(std::count_if(fresh.videos().cbegin(), fresh.videos().cend(),
                               [](const Video &video) { return video.title == QStringLiteral("Единожды"); }),
                 1);
    }

    // The labels and the "Файл: " line follow the stored addresses; running uploads disable
    // nothing; a failed second upload keeps the first file's address and label; and a refused
    // registration leaves the form open with every input as it was, ready to submit again.
    void labelsFollowTheUploadsAndARefusalKeepsEveryInput()
    {
        VideoViewModel model;
        QTRY_VERIFY(!model.videos().isEmpty());
        const QList<Video> before = model.videos();
        const auto screen = openForm(model);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QSignalSpy closed(screen->root(), SIGNAL(closeRequested()));
        QCOMPARE(label(*screen, "videoButtonLabel"), QStringLiteral("Выбрать видеофайл с телефона"));
        QCOMPARE(label(*screen, "thumbnailButtonLabel"), QStringLiteral("Выбрать превью с телефона"));
        QVERIFY(!screen->find("fileLine")->isVisible());
        QVERIFY(!screen->find("videoButtonSpinner")->isVisible());

        // What the row shows while each upload runs, read the moment it starts.
        bool spinnerShown = false;
        bool submitEnabledMeanwhile = false;
        UploadVideoForm *state = form(*screen);
        const auto watch = [&](bool running, const char *spinner) {
            if (!running)
                return;
            spinnerShown = screen->find(QString::fromLatin1(spinner))->isVisible();
            submitEnabledMeanwhile = submitEnabled(*screen);
        };
        connect(state, &UploadVideoForm::isUploadingVideoChanged, this,
                [&] { watch(state->isUploadingVideo(), "videoButtonSpinner"); });
        connect(state, &UploadVideoForm::isUploadingThumbnailChanged, this,
                [&] { watch(state->isUploadingThumbnail(), "thumbnailButtonSpinner"); });
        type(screen->window(), screen->find("titleField"), QStringLiteral(" Title "));
        type(screen->window(), screen->find("descriptionField"), QStringLiteral("About"));
        QVERIFY(pickVideo(*screen, newClip()));
        QVERIFY(spinnerShown);
        QVERIFY(uploadsDone(*screen));
        QVERIFY(!screen->find("videoButtonSpinner")->isVisible());
        const QString address = form(*screen)->property("videoUrl").toString();
        QVERIFY2(address.startsWith(m_service.siteUrl() + "/media/uploads/") && address.endsWith(".mp4"),
                 qPrintable(address));
        QCOMPARE(label(*screen, "videoButtonLabel"), QStringLiteral("Видеофайл загружен ✓"));
        QVERIFY(screen->find("fileLine")->isVisible());
        QCOMPARE(label(*screen, "fileLine"), QStringLiteral("Файл: ") + address);
        QCOMPARE(label(*screen, "thumbnailButtonLabel"), QStringLiteral("Выбрать превью с телефона"));

        spinnerShown = false;
        QVERIFY(pickPreview(*screen));
        QVERIFY(spinnerShown);
        QVERIFY(uploadsDone(*screen));
        const QString preview = form(*screen)->property("thumbnailUrl").toString();
        QVERIFY(preview.startsWith(m_service.siteUrl() + "/media/uploads/") && preview.endsWith(".jpg"));
        QCOMPARE(label(*screen, "thumbnailButtonLabel"), QStringLiteral("Превью загружено ✓"));

        // Second uploads that fail, while running disabling nothing.
        submitEnabledMeanwhile = false;
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        QVERIFY(pickVideo(*screen, newClip()));
        QVERIFY(submitEnabledMeanwhile);
        QVERIFY(pickPreview(*screen));
        QVERIFY(submitEnabled(*screen));
        QVERIFY(uploadsDone(*screen));

        ScriptedResponder responder;
        responder.reply(200, R"({"success": false, "message": "Видео отклонено"})");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        tap(screen->window(), screen->find("submitButton"));
        QVERIFY(!submitEnabled(*screen));
        QTRY_VERIFY(submitEnabled(*screen));
        QCOMPARE(
            QJsonDocument::fromJson(responder.requests().first().body).object(),
            QJsonObject(
                {{"title", " Title "}, {"description", "About"}, {"video_url", address}, {"thumbnail_url", preview}}));
        QVERIFY(closed.isEmpty());
        QCOMPARE(text(screen->find("titleField")), QStringLiteral(" Title "));
        QCOMPARE(text(screen->find("descriptionField")), QStringLiteral("About"));
        QCOMPARE(label(*screen, "fileLine"), QStringLiteral("Файл: ") + address);
        QCOMPARE(label(*screen, "videoButtonLabel"), QStringLiteral("Видеофайл загружен ✓"));
        QCOMPARE(label(*screen, "thumbnailButtonLabel"), QStringLiteral("Превью загружено ✓"));
        QCOMPARE(model.videos(), before);
    }

    // An upload that ends after the form closed writes into nothing, and its copy still goes.
    void uploadEndingAfterTheFormClosed()
    {
        VideoViewModel model;
        auto screen = openForm(model);
        QVERIFY2(screen->isReady(), qPrintable(screen->errors()));
        QString copy;
        QQuickItem *picker = openPicker(*screen, "videoButton", "videoPicker");
        QVERIFY(picker);
        auto *documents = picker->property("model").value<DocumentPickerModel *>();
        connect(documents, &DocumentPickerModel::filePicked, this, [&](const QUrl &url) { copy = url.toLocalFile(); });
        QVERIFY(documents->pick(newClip()));
        QVERIFY(PickedCopies::contains(copy));
        QVERIFY(pickerClosed(*screen, "videoPicker"));
        QVERIFY(pickPreview(*screen));
        screen.reset();
        QTRY_VERIFY(!QFile::exists(copy));
        QTest::qWait(200);
    }
};

QTEST_MAIN(TestUploadVideoView)
#include "tst_uploadvideoview.moc"
