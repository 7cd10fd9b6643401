// The channel creation and editing forms and the post composer, driven on screen inside their
// sheets as the channels screen and the channel page present them.
#include "ChannelForm.h"
#include "ChannelPostDraft.h"
#include "ChannelsViewModel.h"
#include "CreateChannelForm.h"
#include "EditChannelForm.h"
#include "FingerDrag.h"
#include "ImagePickerModel.h"
#include "NetworkManager.h"
#include "QmlSnippet.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "app/ScreenDriver.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QByteArray Harness = R"(
import QtQuick
import Vorlane
Item {
    id: harness
    width: 390; height: 844
    property ChannelsViewModel viewModel
    property var currentUser: null
    property var channel: null
    ChannelPostDraft { id: pageDraft; objectName: "draft"; viewModel: harness.viewModel; channel: harness.channel }
    Sheet {
        id: createSheet; objectName: "createSheet"
        content: CreateChannelView {
            objectName: "createView"; viewModel: harness.viewModel; currentUser: harness.currentUser
            onCloseRequested: createSheet.close()
        }
    }
    Sheet {
        id: editSheet; objectName: "editSheet"
        content: EditChannelView {
            objectName: "editView"; viewModel: harness.viewModel; channel: harness.channel
            onCloseRequested: editSheet.close()
        }
    }
    Sheet {
        id: composerSheet; objectName: "composerSheet"
        content: ChannelPostComposerView {
            objectName: "composerView"; draft: pageDraft
            onCloseRequested: composerSheet.close()
        }
    }
}
)";

Channel channelWith(qint64 id, const QString &name, bool pictures)
{
    Channel channel;
    channel.id = id;
    channel.name = name;
    channel.description = QStringLiteral("Про всё: новости, обзоры, разговоры с гостями и ответы на вопросы");
    channel.category = QStringLiteral("Игры");
    if (pictures) {
        channel.avatarUrl = QStringLiteral("http://127.0.0.1:1/media/a.png");
        channel.coverUrl = QStringLiteral("http://127.0.0.1:1/media/c.png");
    }
    return channel;
}

const QByteArray PostedEnvelope = R"({"success":true,"data":{"id":70,"channel_id":1,"text":"Hello","likes_count":0,
"views_count":0,"created_at_formatted":"только что"}})";
const QByteArray UploadedEnvelope = R"({"success":true,"data":{"url":"http://127.0.0.1:1/media/late.jpg"}})";
} // namespace

class tst_ChannelForms : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_files;
    QString m_photo;
    std::unique_ptr<ChannelsViewModel> m_model;
    std::unique_ptr<QmlSnippet> m_screen;

    // The harness with a fresh model, whose first load has landed: the client says when a read is
    // answered, which tells it also of an empty catalogue, where the list shows no change.
    void makeScreen(const QVariant &currentUser = {}, const QVariant &channel = {})
    {
        m_screen.reset();
        QSignalSpy answered(&NetworkManager::shared(), &NetworkManager::readAnswered);
        m_model = std::make_unique<ChannelsViewModel>();
        m_screen = std::make_unique<QmlSnippet>(Harness);
        QVERIFY2(m_screen->isReady(), qPrintable(m_screen->errors()));
        m_screen->root()->setProperty("viewModel", QVariant::fromValue(m_model.get()));
        m_screen->root()->setProperty("currentUser", currentUser);
        m_screen->root()->setProperty("channel", channel);
        QTRY_VERIFY(!answered.isEmpty());
    }

    // The page of channel 1, "Канал", for a visitor.
    void makeChannelPage() { makeScreen({}, QVariant::fromValue(channelWith(1, QStringLiteral("Канал"), false))); }

    // The page against a scripted peer, which answers the catalogue's first load with no channels.
    void makeScriptedChannelPage(ScriptedResponder &responder)
    {
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        responder.reply(200, "[]");
        makeChannelPage();
    }

    // The scripted page once its first load has landed, with "Hello" typed in the composer.
    bool startScriptedPost(ScriptedResponder &responder)
    {
        makeScriptedChannelPage(responder);
        if (QTest::currentTestFailed() || !open("composer"))
            return false;
        ScreenDriver::type(m_screen->window(), item("postTextEditor"), QStringLiteral("Hello"));
        return true;
    }

    QObject *sheet(const QString &name) const { return m_screen->find(name); }
    QQuickItem *item(const QString &name) const { return m_screen->find<QQuickItem>(name); }

    // Opens the "create", "edit" or "composer" sheet and returns its form once it stands.
    QQuickItem *open(const QString &which)
    {
        QMetaObject::invokeMethod(sheet(which + "Sheet"), "open");
        if (!QTest::qWaitFor([&] { return isOpen(which) && item(which + "View"); }, VORLANE_PATIENT_WAIT_MS))
            return nullptr;
        return item(which + "View");
    }

    bool isOpen(const QString &which) const { return sheet(which + "Sheet")->property("opened").toBool(); }
    // Closed, and done moving, so that the next tap lands on what is under it.
    bool isGone(const QString &which) const { return !sheet(which + "Sheet")->property("visible").toBool(); }

    static ChannelForm *formOf(QQuickItem *view)
    {
        return qobject_cast<ChannelForm *>(view->property("form").value<QObject *>());
    }
    ChannelPostDraft *draft() const
    {
        return qobject_cast<ChannelPostDraft *>(m_screen->find(QStringLiteral("draft")));
    }

    void tap(const QString &name) { ScreenDriver::tap(m_screen->window(), item(name)); }

    // Leaves a form as the user may, by its "Отмена" or by swiping its sheet down by the title bar,
    // and waits until the form is gone.
    bool leave(bool swipe, const QString &which)
    {
        QQuickItem *view = item(which + "View");
        if (!swipe)
            tap("cancelButton");
        else
            FingerDrag::swipeAway(m_screen->window(), view->mapToScene(QPointF(view->width() / 2, 20)).toPoint());
        return QTest::qWaitFor([&] { return !isOpen(which) && !item(which + "View"); }, VORLANE_PATIENT_WAIT_MS);
    }

    static void addLeavingRows()
    {
        QTest::addColumn<bool>("swipe");
        QTest::newRow("cancel") << false;
        QTest::newRow("swipe down") << true;
    }

    void retype(const char *name, const QString &text)
    {
        QQuickItem *field = item(name);
        ScreenDriver::tap(m_screen->window(), field);
        field->forceActiveFocus();
        QMetaObject::invokeMethod(field, "selectAll");
        QTest::keyClick(m_screen->window(), Qt::Key_Backspace);
        for (const QChar ch : text)
            QTest::keyClick(m_screen->window(), ch.toLatin1());
    }

    // Picks the test photo through the picker that a photo row opens: the file dialog's choice is
    // handed to the picker as the dialog would, then the crop's "Выбрать"; the picker closes itself.
    bool pickPhoto(const QString &rowButton)
    {
        tap(rowButton);
        QQuickItem *picker = nullptr;
        if (!QTest::qWaitFor([&] { return (picker = item("imagePicker")) != nullptr; }, VORLANE_PATIENT_WAIT_MS))
            return false;
        QObject *dialog = picker->findChild<QObject *>(QStringLiteral("imageFileDialog"));
        auto *model = picker->property("model").value<ImagePickerModel *>();
        if (!dialog || !model || !model->openImage(QUrl::fromLocalFile(m_photo).toString()) ||
            !QTest::qWaitFor([&] { return model->hasImage(); }, VORLANE_PATIENT_WAIT_MS))
            return false;
        QQuickItem *choose = item("cropChooseButton");
        if (!choose || !choose->isVisible())
            return false;
        QMetaObject::invokeMethod(choose, "clicked");
        // The choice was handed over directly: the dialog is closed as its own "Open" would.
        QMetaObject::invokeMethod(dialog, "close");
        return QTest::qWaitFor([&] { return item("imagePicker") == nullptr; }, VORLANE_PATIENT_WAIT_MS);
    }

    bool stackBusy() const
    {
        auto *navigation = m_screen->root()->property("navigation").value<QQuickItem *>();
        return navigation->property("stack").value<QObject *>()->property("busy").toBool();
    }

    QString text(const QString &name) const { return ScreenDriver::text(item(name)); }
    bool actionEnabled() const { return item("actionButton")->isEnabled(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
        QVERIFY(m_files.isValid());
        m_photo = m_files.filePath(QStringLiteral("photo.png"));
        QImage photo(120, 80, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        QVERIFY(photo.save(m_photo));
    }

    void init() { NetworkManager::shared().setBaseURL(m_service.baseUrl()); }

    void cleanup()
    {
        m_screen.reset();
        m_model.reset();
    }

    // A form opens with its own texts and the channel's fields, empty but the category for a new
    // channel; the editing form takes the channel once, as its sheet opens.
    void formsOpenWithTheirTexts_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<QStringList>("texts"); // the title, then the placeholders of the three fields
        QTest::addColumn<QString>("avatarLabel");
        QTest::addColumn<QString>("coverLabel");
        const QStringList create{"Создать канал", "Название канала / паблика", "Категория (новости, игры, музыка)",
                                 "Описание канала"};
        const QStringList edit{"Редактировать канал", "Название канала", "Категория", "Описание"};
        const QString chooseAvatar = QStringLiteral("Выбрать аватарку с телефона");
        const QString chooseCover = QStringLiteral("Выбрать обложку с телефона");
        QTest::newRow("create") << "create" << false << create << chooseAvatar << chooseCover;
        QTest::newRow("edit with pictures")
            << "edit" << true << edit << QStringLiteral("Аватарка изменена ✓") << QStringLiteral("Обложка изменена ✓");
        QTest::newRow("edit without pictures") << "edit" << false << edit << chooseAvatar << chooseCover;
    }

    void formsOpenWithTheirTexts()
    {
        QFETCH(QString, sheet);
        QFETCH(bool, pictures);
        QFETCH(QStringList, texts);
        QFETCH(QString, avatarLabel);
        QFETCH(QString, coverLabel);
        const Channel channel = channelWith(3, QStringLiteral("Старое имя"), pictures);
        makeScreen({}, QVariant::fromValue(channel));
        QQuickItem *view = open(sheet);
        QVERIFY(view);
        const bool edit = sheet == QLatin1String("edit");
        QStringList shown{text("sheetTitle")};
        for (const char *field : {"nameField", "categoryField", "descriptionField"})
            shown << item(field)->property("placeholderText").toString();
        QCOMPARE(shown, texts);
        QCOMPARE(text("nameField"), edit ? channel.name : QString());
        QCOMPARE(text("categoryField"), edit ? channel.category : QStringLiteral("Паблик"));
        QCOMPARE(text("descriptionField"), edit ? channel.description : QString());
        QCOMPARE(text("avatarLabel"), avatarLabel);
        QCOMPARE(text("coverLabel"), coverLabel);
        QVERIFY(!item("avatarSpinner")->isVisible() && !item("coverSpinner")->isVisible());
        QCOMPARE(actionEnabled(), edit);
        if (!edit)
            return;
        // A text longer than its row reads from its start, as it would before anyone touched it.
        QRectF start;
        QMetaObject::invokeMethod(item("descriptionField"), "positionToRectangle", Q_RETURN_ARG(QRectF, start),
                                  Q_ARG(int, 0));
        QVERIFY2(start.x() >= 0, qPrintable(QString::number(start.x())));

        // The page's details landing while the form is open change nothing in it.
        m_screen->root()->setProperty("channel",
                                      QVariant::fromValue(channelWith(3, QStringLiteral("Новое"), !pictures)));
        QCOMPARE(text("nameField"), channel.name);
        QCOMPARE(text("avatarLabel"), avatarLabel);
        QCOMPARE(formOf(view)->avatarUrl(), channel.avatarUrl.value_or(QString()));
    }

    // A form's button follows its name, and is off while an upload runs only when the name is empty;
    // the composer's follows its text with spaces and line breaks trimmed.
    void submitFollowsTheText_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("uploading");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char *name, const char *sheet, const char *typed, bool uploading, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(sheet) << QString::fromLatin1(typed) << uploading << enabled;
        };
        row("create: nothing typed", "create", "", false, false);
        row("create: one space", "create", " ", false, true);
        row("create: a name, upload running", "create", "News", true, true);
        row("edit: name cleared", "edit", "", false, false);
        row("edit: spaces", "edit", "   ", false, true);
        row("edit: cleared, upload running", "edit", "", true, false);
        row("composer: empty", "composer", "", false, false);
        row("composer: spaces and line breaks", "composer", " \n\t \n", false, false);
        row("composer: words with spaces around", "composer", "  hi \n", false, true);
    }

    void submitFollowsTheText()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, typed);
        QFETCH(bool, uploading);
        QFETCH(bool, enabled);
        makeChannelPage();
        QQuickItem *view = open(sheet);
        QVERIFY(view);
        if (sheet == QLatin1String("composer")) {
            // Tabs and line breaks would move the focus if typed.
            item("postTextEditor")->setProperty("text", typed);
            QCOMPARE(draft()->text(), typed);
        } else {
            retype("nameField", typed);
            QCOMPARE(formOf(view)->name(), typed);
        }

        ScriptedResponder responder;
        if (uploading) {
            NetworkManager::shared().setBaseURL(responder.baseUrl());
            responder.replyNothing();
            QVERIFY(pickPhoto("avatarButton"));
            QVERIFY(responder.waitForRequests(1));
            QVERIFY(item("avatarSpinner")->isVisible());
        }
        QCOMPARE(actionEnabled(), enabled);
    }

    void photoRowsAfterUploads_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("label");
        // The avatar rows run the same upload slot; their labels are read in createEditAndPostEndToEnd.
        QTest::newRow("create cover") << "create" << QStringLiteral("cover") << QStringLiteral("Обложка выбрана ✓");
        QTest::newRow("edit cover") << "edit" << QStringLiteral("cover") << QStringLiteral("Обложка изменена ✓");
    }

    void photoRowsAfterUploads()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, row);
        QFETCH(QString, label);
        makeChannelPage();
        QQuickItem *view = open(sheet);
        QVERIFY(view);
        const auto address = [&] {
            return row == QLatin1String("avatar") ? formOf(view)->avatarUrl() : formOf(view)->coverUrl();
        };

        QVERIFY(pickPhoto(row + "Button"));
        QTRY_COMPARE(text(row + "Label"), label);
        QTRY_VERIFY(!item(row + "Spinner")->isVisible());
        const QString stored = address();
        QVERIFY(stored.startsWith(m_service.siteUrl() + QStringLiteral("/media/")));

        // A failed upload keeps the address and the label; the spinner goes.
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        QVERIFY(pickPhoto(row + "Button"));
        QTRY_VERIFY(!item(row + "Spinner")->isVisible());
        QCOMPARE(text(row + "Label"), label);
        QCOMPARE(address(), stored);
    }

    // A refusal keeps the sheet open with what was typed, ready to send again (a success closes
    // it in createEditAndPostEndToEnd).
    void aRefusalKeepsTheForm_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<qint64>("id"); // the current user's for a creation, the channel's for an edit
        QTest::newRow("creation refused (unknown owner)") << "create" << qint64(424242);
        QTest::newRow("save refused (unknown channel)") << "edit" << qint64(987654);
    }

    void aRefusalKeepsTheForm()
    {
        QFETCH(QString, sheet);
        QFETCH(qint64, id);
        User user = User::demoUser();
        user.id = id;
        makeScreen(QVariant::fromValue(user), QVariant::fromValue(channelWith(id, QStringLiteral("Demo"), false)));
        QTRY_VERIFY(!m_model->channels().isEmpty());
        QVERIFY(open(sheet));
        retype("nameField", QStringLiteral("Nature"));
        retype("descriptionField", QStringLiteral(" trees "));

        tap("actionButton");
        QTRY_VERIFY(!formOf(item(sheet + "View"))->isSubmitting());
        QVERIFY(isOpen(sheet));
        QCOMPARE(text("nameField"), QStringLiteral("Nature"));
        QCOMPARE(text("descriptionField"), QStringLiteral(" trees "));
        QVERIFY(actionEnabled());
    }

    // Once the service took the channel, the form takes no further press while its sheet slides
    // away; the service's catalogue holds the channel once.
    void aSucceededFormTakesNoFurtherPress_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::newRow("create") << false;
        QTest::newRow("edit") << true;
    }
    void aSucceededFormTakesNoFurtherPress()
    {
        QFETCH(bool, edit);
        ChannelsViewModel model;
        QTRY_VERIFY(!model.channels().isEmpty());
        const QString name = edit ? QStringLiteral("Переименован однажды") : QStringLiteral("Основан однажды");
        std::unique_ptr<ChannelForm> form;
        if (edit) {
            auto editing = std::make_unique<EditChannelForm>();
            editing->setChannel(QVariant::fromValue(model.channels().constFirst()));
            form = std::move(editing);
        } else {
            form = std::make_unique<CreateChannelForm>();
        }
        form->setViewModel(&model);
        form->setName(name);
        std::optional<bool> startedAgain; // by a press just as the record is stored
        connect(form.get(), &ChannelForm::closeRequested, this, [&] {
            form->submit();
            startedAgain = form->isSubmitting();
        });
        form->submit();
        form->submit();
        QTRY_VERIFY(startedAgain.has_value());
        QVERIFY(!*startedAgain);
        QVERIFY(!form->isSubmitting());
        QVERIFY(!form->canSubmit());

        ChannelsViewModel fresh;
        QTRY_VERIFY(!fresh.channels().isEmpty());
        QCOMPARE(std::count_if(fresh.channels().cbegin(), fresh.channels().cend(),
                               [&](const Channel &channel) { return channel.name == name; }),
                 1);
    }

    // A creation and an upload still running when the sheet is closed end into nothing, and the
    // model still takes the channel.
    void aCreationEndingAfterItsSheetClosedStillReachesTheModel_data() { addLeavingRows(); }
    void aCreationEndingAfterItsSheetClosedStillReachesTheModel()
    {
        QFETCH(bool, swipe);
        ScriptedResponder responder;
        makeScriptedChannelPage(responder);
        QVERIFY(responder.waitForRequests(1));
        QVERIFY(open("create"));
        retype("nameField", QStringLiteral("Late"));
        responder.replyNothing();
        QVERIFY(pickPhoto("coverButton"));
        responder.replyNothing();
        tap("actionButton");
        QVERIFY(responder.waitForRequests(3));
        QVERIFY(leave(swipe, "create"));

        QVERIFY(responder.answerWaiting(200, UploadedEnvelope));
        QVERIFY(responder.answerWaiting(200, R"({"success":true,"data":{"id":40,"user_id":1,"name":"Late",
            "description":"","subscribers_count":0,"is_subscribed":false,"is_verified":false,"category":"Паблик"}})"));
        QTRY_COMPARE(m_model->channels().size(), 1);
        QCOMPARE(m_model->channels().constFirst().name, QStringLiteral("Late"));
    }

    // "Отмена" or a swipe keeps the unsent text and photo with the page for the next opening.
    void theComposerDraftOutlivesTheSheet_data() { addLeavingRows(); }
    void theComposerDraftOutlivesTheSheet()
    {
        QFETCH(bool, swipe);
        makeChannelPage();
        QVERIFY(open("composer"));
        QCOMPARE(text("sheetTitle"), QStringLiteral("Пост в канал"));
        QCOMPARE(text("composerPhotoLabel"), QStringLiteral("Выбрать фото с телефона"));
        ScreenDriver::type(m_screen->window(), item("postTextEditor"), QStringLiteral("Hello"));
        QVERIFY(pickPhoto("composerPhotoButton"));
        QTRY_COMPARE(text("composerPhotoLabel"), QStringLiteral("Фото добавлено ✓"));
        QVERIFY(leave(swipe, "composer"));

        QVERIFY(open("composer"));
        QCOMPARE(text("postTextEditor"), QStringLiteral("Hello"));
        QCOMPARE(text("composerPhotoLabel"), QStringLiteral("Фото добавлено ✓"));
        QVERIFY(actionEnabled());
    }

    // A second tap while the first publish waits sends nothing more.
    void aDoubleTapPublishesOnce()
    {
        ScriptedResponder responder;
        QVERIFY(startScriptedPost(responder));
        responder.replyNothing();
        tap("actionButton");
        tap("actionButton");
        QVERIFY(responder.waitForRequests(2));
        QVERIFY(responder.answerWaiting(200, PostedEnvelope));
        QTRY_VERIFY(!isOpen("composer"));
        QCOMPARE(draft()->text(), QString());

        responder.reply(200, "[]");
        m_model->loadChannels();
        QVERIFY(responder.waitForRequests(3));
        QCOMPARE(responder.requests().at(2).target, QByteArray("/api/channels.php"));
        QCOMPARE(responder.requests().at(2).method, QByteArray("GET"));
    }

    // A publish still waiting when the page (and its draft) goes away still puts the post first.
    void aPublishEndingAfterThePageWentStillReachesTheModel()
    {
        ScriptedResponder responder;
        makeScriptedChannelPage(responder);
        responder.reply(200, R"({"id":1,"name":"Канал","description":"","subscribers_count":0,"is_subscribed":false,
            "is_verified":false,"category":"Паблик"})");
        m_model->fetchChannelDetails(1);
        QTRY_VERIFY(m_model->selectedChannelDetails().has_value());
        draft()->setText(QStringLiteral("Hello"));
        responder.replyNothing();
        draft()->publish();
        QVERIFY(responder.waitForRequests(3));
        m_screen.reset();

        QVERIFY(responder.answerWaiting(200, PostedEnvelope));
        QTRY_VERIFY(m_model->selectedChannelDetails()->posts.has_value());
        QCOMPARE(m_model->selectedChannelDetails()->posts->constFirst().text, QStringLiteral("Hello"));
    }

    // A photo still uploading when its post went out belongs to that post: it is not kept for the next.
    void anUploadEndingAfterThePublishAddsNothing()
    {
        ScriptedResponder responder;
        QVERIFY(startScriptedPost(responder));
        responder.replyNothing();
        QVERIFY(pickPhoto("composerPhotoButton"));
        QVERIFY(responder.waitForRequests(2));
        responder.reply(200, PostedEnvelope);
        tap("actionButton");
        QTRY_VERIFY(!isOpen("composer"));
        QCOMPARE(QJsonDocument::fromJson(responder.requests().at(2).body).object().value("image_url").toString(),
                 QString());

        QVERIFY(responder.answerWaiting(200, UploadedEnvelope));
        QTRY_VERIFY(!draft()->isUploadingImage());
        QCOMPARE(draft()->imageUrl(), QString());
        QVERIFY(open("composer"));
        QCOMPARE(text("composerPhotoLabel"), QStringLiteral("Выбрать фото с телефона"));
        QCOMPARE(text("postTextEditor"), QString());
    }

    // The whole road on the channels tab against the service: found a channel with an avatar, open
    // it, rename it through the gear, and post into it with a photo.
    void createEditAndPostEndToEnd()
    {
        m_screen =
            std::make_unique<QmlSnippet>("import QtQuick\nimport Vorlane\nChannelsView { width: 390; height: 844 }");
        QVERIFY2(m_screen->isReady(), qPrintable(m_screen->errors()));
        m_screen->root()->setProperty("currentUser", QVariant::fromValue(User::demoUser()));
        QTRY_VERIFY(item("channelRow0"));
        auto *model = m_screen->root()->property("viewModel").value<ChannelsViewModel *>();
        const qsizetype before = model->channels().size();

        tap("createChannelHeaderButton");
        QTRY_VERIFY(isOpen("createChannel") && item("nameField"));
        retype("nameField", QStringLiteral("Garden"));
        QVERIFY(pickPhoto("avatarButton"));
        QTRY_COMPARE(text("avatarLabel"), QStringLiteral("Аватарка выбрана ✓"));
        tap("actionButton");
        QTRY_VERIFY(isGone("createChannel"));

        QCOMPARE(model->channels().size(), before + 1);
        const Channel made = model->channels().constFirst();
        QVERIFY(made.avatarUrl && made.avatarUrl->startsWith(m_service.siteUrl()));
        const auto inRow = [this](const char *name) { return item("channelRow0")->findChild<QQuickItem *>(name); };
        QCOMPARE(ScreenDriver::text(inRow("channelName")), QStringLiteral("Garden"));
        QVERIFY(inRow("ownerMark")->isVisible());

        ScreenDriver::tap(m_screen->window(), inRow("channelName"));
        QTRY_COMPARE(text("navigationTitle"), QStringLiteral("Garden"));
        QTRY_VERIFY(item("channelSettingsButton") && item("channelSettingsButton")->isVisible());
        QTRY_VERIFY(!stackBusy());
        tap("channelSettingsButton");
        QTRY_VERIFY(isOpen("editChannel") && item("nameField"));
        QCOMPARE(text("nameField"), QStringLiteral("Garden"));
        QCOMPARE(text("avatarLabel"), QStringLiteral("Аватарка изменена ✓"));
        retype("nameField", QStringLiteral("Orchard"));
        tap("actionButton");
        QTRY_VERIFY(isGone("editChannel"));
        QTRY_COMPARE(text("navigationTitle"), QStringLiteral("Orchard"));

        tap("createPostButton");
        QTRY_VERIFY(isOpen("postComposer") && item("postTextEditor"));
        ScreenDriver::type(m_screen->window(), item("postTextEditor"), QStringLiteral("First post"));
        QVERIFY(pickPhoto("composerPhotoButton"));
        QTRY_COMPARE(text("composerPhotoLabel"), QStringLiteral("Фото добавлено ✓"));
        tap("actionButton");
        QTRY_VERIFY(isGone("postComposer"));
        QTRY_VERIFY(item("postCard0"));
        QCOMPARE(ScreenDriver::text(item("postCard0")->findChild<QQuickItem *>("postText")),
                 QStringLiteral("First post"));
        QVERIFY(item("postCard0")->findChild<QQuickItem *>("postPhoto")->isVisible());
        QVERIFY(!item("noPostsText")->isVisible());
    }
};

QTEST_MAIN(tst_ChannelForms)
#include "tst_channelforms.moc"
