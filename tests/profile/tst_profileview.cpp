// The profile screen and its editor, offscreen inside a navigation stack as the profile tab and
// the post cards show them, against the reference service (a scripted responder where a test
// must see that nothing is sent or that a save is refused).
#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "QmlSnippet.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "SessionStore.h"

#include <QColor>
#include <QImage>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>

namespace {

using ScreenDriver::findIn;

constexpr const char *Scene = R"(
import QtQuick
import QtQuick.Controls
import Vorlane
NavigationStack {
    id: navigation
    width: 390
    height: 844
    Component {
        id: profileScreen
        ProfileView {}
    }
    function open(user, current) {
        return navigation.stack.push(profileScreen, { user: user, currentUser: current })
    }
}
)";

QVariant userValue(const User &user)
{
    return QVariant::fromValue(user);
}

const QVariant noUser = QVariant::fromValue(nullptr);

} // namespace

class TestProfileView : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_files;
    std::unique_ptr<QmlSnippet> m_screen;

    // Opens a profile and waits for its loads to end (or fail).
    QQuickItem *openLoaded(const QVariant &user, const QVariant &current)
    {
        QVariant pushed;
        QMetaObject::invokeMethod(m_screen->root(), "open", Q_RETURN_ARG(QVariant, pushed), Q_ARG(QVariant, user),
                                  Q_ARG(QVariant, current));
        auto *profile = pushed.value<QQuickItem *>();
        if (!QTest::qWaitFor([&] { return !modelOf(profile)->isLoading(); }, VORLANE_PATIENT_WAIT_MS))
            qWarning("the profile kept loading");
        QTest::qWait(30);
        return profile;
    }

    // A profile that the service cannot load keeps the record it was given, field for field.
    QQuickItem *openAsGiven(const User &user, const QVariant &current)
    {
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        QQuickItem *profile = openLoaded(userValue(user), current);
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        return profile;
    }

    static ProfileViewModel *modelOf(QQuickItem *profile)
    {
        return profile->property("viewModel").value<ProfileViewModel *>();
    }

    QQuickItem *stack() const { return m_screen->find<QQuickItem>(QStringLiteral("navigationStackView")); }
    int depth() const { return stack()->property("depth").toInt(); }
    QQuickItem *overlayItem(const QString &name) const { return m_screen->find<QQuickItem>(name); }

    void tap(QQuickItem *item) { ScreenDriver::tap(m_screen->window(), item); }

    bool sheetOpen(const QString &name) const
    {
        QObject *sheet = m_screen->find(name);
        return sheet && sheet->property("opened").toBool();
    }

    static User plainUser(qint64 id)
    {
        return User{.id = id,
                    .username = QStringLiteral("plain"),
                    .firstName = QStringLiteral("Простой"),
                    .lastName = QStringLiteral("Человек")};
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenDriver::clearSettings();
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkMagenta);
        QVERIFY(picture.save(m_files.filePath(QStringLiteral("photo.png"))));
        m_screen = std::make_unique<QmlSnippet>(Scene);
        QVERIFY2(m_screen->isReady(), qPrintable(m_screen->errors()));
    }

    void init() { NetworkManager::shared().setBaseURL(m_service.baseUrl()); }

    void cleanup()
    {
        QMetaObject::invokeMethod(stack(), "clear");
        QTest::qWait(30);
    }

    // The wall hands its cards no actions: like, comment and repost (button and menu) change nothing
    // and send nothing. A card's header opens its author with no current user: also the own profile
    // then subscribes.
    void wallCardsOnlyOpenTheirAuthor()
    {
        QQuickItem *own = openLoaded(userValue(User{.id = 1}), userValue(User{.id = 1}));
        QCOMPARE(own->property("title").toString(), QStringLiteral("Анна Смирнова"));
        QCOMPARE(ScreenDriver::text(m_screen->find<QQuickItem>("navigationTitle")), QStringLiteral("Анна Смирнова"));
        QCOMPARE(ScreenDriver::text(findIn(own, "profileActionButton")), QStringLiteral("Редактировать"));
        ProfileViewModel *model = modelOf(own);
        const QList<Post> wall = model->userPosts();
        QVERIFY(!wall.isEmpty());
        QVERIFY(!findIn(own, "emptyWallText")->isVisible());
        QQuickItem *card = findIn(own, QStringLiteral("wallCard%1").arg(wall.first().id));
        QVERIFY(card);
        // The card lies below the header; bring it into view before tapping.
        auto *scroll = findIn(own, "profileScroll");
        scroll->setProperty("contentY",
                            card->mapToItem(scroll->property("contentItem").value<QQuickItem *>(), {0, 0}).y());
        QTest::qWait(30);

        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        const QString likes = ScreenDriver::text(findIn(card, "likeButtonCount"));
        for (const char *name : {"likeButton", "commentButton", "repostButton"})
            tap(findIn(card, QLatin1String(name)));
        QObject *repostItem = m_screen->find("repostMenuItem");
        QVERIFY(repostItem);
        QMetaObject::invokeMethod(repostItem, "triggered");
        QTest::qWait(100);
        QCOMPARE(model->userPosts(), wall);
        QCOMPARE(ScreenDriver::text(findIn(card, "likeButtonCount")), likes);
        QCOMPARE(depth(), 1);
        QCOMPARE(responder.requests().size(), 0);

        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        tap(findIn(card, "postHeader"));
        QTRY_COMPARE(depth(), 2);
        QQuickItem *pushed = stack()->property("currentItem").value<QQuickItem *>();
        QTRY_VERIFY(!modelOf(pushed)->isLoading());
        QCOMPARE(modelOf(pushed)->user().id, 1);
        QCOMPARE(ScreenDriver::text(findIn(pushed, "profileActionButton")), QStringLiteral("Подписаться"));
        QTRY_VERIFY(!modelOf(pushed)->userPosts().isEmpty());
    }

    // Another member's profile offers the subscription, which lives on the screen: labels and
    // colours change, nothing is sent or counted.
    void theSubscribeButtonTogglesWithoutARequest()
    {
        QQuickItem *profile = openLoaded(userValue(User{.id = 2}), userValue(User{.id = 1}));
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QQuickItem *button = findIn(profile, "profileActionButton");
        QQuickItem *background = findIn(profile, "profileActionBackground");
        QQuickItem *label = findIn(profile, "profileActionLabel");
        QQuickItem *followers = findIn(profile, "followersButton");
        const QString followerCount = ScreenDriver::text(findIn(followers, "countText"));

        const struct
        {
            QString text;
            QColor background;
            QColor label;
        } states[] = {{QStringLiteral("Вы подписаны"), QColor("#F2F2F7"), QColor("#000000")},
                      {QStringLiteral("Подписаться"), QColor("#007AFF"), QColor("white")}};
        QCOMPARE(background->property("color").value<QColor>(), states[1].background);
        for (const auto &state : states) {
            tap(button);
            QCOMPARE(ScreenDriver::text(button), state.text);
            QCOMPARE(background->property("color").value<QColor>(), state.background);
            QCOMPARE(label->property("color").value<QColor>(), state.label);
            QCOMPARE(ScreenDriver::text(findIn(followers, "countText")), followerCount);
        }
        QTest::qWait(100);
        QCOMPARE(responder.requests().size(), 0);
    }

    void theCountsOpenTheirSheets_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("followers") << QStringLiteral("followersButton") << QStringLiteral("Подписчики");
        QTest::newRow("following") << QStringLiteral("followingButton") << QStringLiteral("Подписки");
    }
    void theCountsOpenTheirSheets()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        // Zero counts still list exactly the sample user.
        QQuickItem *profile = openAsGiven(plainUser(77), noUser);
        QCOMPARE(ScreenDriver::text(findIn(findIn(profile, "followersButton"), "countText")), QStringLiteral("0"));
        QCOMPARE(ScreenDriver::text(findIn(findIn(profile, "followingButton"), "nounText")),
                 QStringLiteral("подписок"));
        tap(findIn(profile, button));
        QQuickItem *list = nullptr;
        QTRY_VERIFY((list = overlayItem("userList")) && list->isVisible());
        QTRY_COMPARE(list->property("count").toInt(), 1);
        // The sheet's own bar, not the screen's.
        QQuickItem *sheetTitle = nullptr;
        for (QQuickItem *item = list; item; item = item->parentItem()) {
            if ((sheetTitle = findIn(item, "navigationTitle")) && ScreenDriver::text(sheetTitle) == title)
                break;
        }
        QCOMPARE(ScreenDriver::text(sheetTitle), title);
        QQuickItem *row = overlayItem("userRow0");
        QVERIFY(row);
        QCOMPARE(row->property("fullName").toString(), User::demoUser().fullName());
        QCOMPARE(row->property("handle").toString(), QStringLiteral("@user"));
        // Closed by its own button.
        tap(overlayItem("navigationTrailingButton"));
        QTRY_VERIFY(!overlayItem("userList") || !overlayItem("userList")->isVisible());
    }

    // A record the service cannot load, shown as given: the cover falls back to the gradient unless
    // its picture loads; status, biography and seal show only when set; there are no posts.
    void theHeaderShowsWhatTheRecordHolds_data()
    {
        using Text = std::optional<QString>;
        QTest::addColumn<Text>("cover");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<Text>("status");
        QTest::addColumn<Text>("bio");
        QTest::addColumn<bool>("verified");
        QTest::newRow("nothing set") << Text() << false << Text() << Text() << false;
        QTest::newRow("empty texts") << Text("") << false << Text("") << Text("") << false;
        QTest::newRow("cover not an address, all else set")
            << Text("cover picture.png") << false << Text("Статус") << Text("Био") << true;
        QTest::newRow("a cover picture that is not there, a blank status is shown")
            << Text("/media/demo/none.png") << false << Text(" ") << Text("") << true;
        QTest::newRow("a cover picture") << Text("/media/demo/cover-2.png") << true << Text() << Text("Био") << false;
    }
    void theHeaderShowsWhatTheRecordHolds()
    {
        QFETCH(std::optional<QString>, cover);
        QFETCH(bool, picture);
        QFETCH(std::optional<QString>, status);
        QFETCH(std::optional<QString>, bio);
        QFETCH(bool, verified);
        User user = plainUser(78);
        if (cover && cover->startsWith('/'))
            cover = m_service.siteUrl() + *cover;
        user.coverUrl = cover;
        user.statusText = status;
        user.bio = bio;
        user.isVerified = verified;
        QQuickItem *profile = openAsGiven(user, noUser);
        QQuickItem *frame = findIn(profile, "profileCover");
        QQuickItem *image = findIn(profile, "coverImage");
        QCOMPARE(frame->height(), 160.0);
        QCOMPARE(frame->width(), profile->width());
        QVERIFY(findIn(profile, "coverGradient")->isVisible());
        // A picture that loads covers the gradient; one that fails leaves it.
        QTRY_VERIFY(image->property("status").toInt() != 1 /* RoundedImage.Loading */);
        QCOMPARE(image->isVisible(), picture);
        // The gradient runs from blue at the top leading corner to purple at the bottom trailing one.
        const QImage shot = m_screen->window()->grabWindow();
        const QPointF topLeft = frame->mapToScene({2, 2});
        const QPointF bottomRight = frame->mapToScene({frame->width() - 3, frame->height() - 3});
        const auto near = [](QRgb pixel, QColor expected) {
            const QColor seen(pixel);
            return qAbs(seen.red() - expected.red()) <= 8 && qAbs(seen.green() - expected.green()) <= 8 &&
                   qAbs(seen.blue() - expected.blue()) <= 8;
        };
        if (!picture) {
            QVERIFY(near(shot.pixel(topLeft.toPoint()), QColor("#007AFF")));
            QVERIFY(near(shot.pixel(bottomRight.toPoint()), QColor("#AF52DE")));
        }
        // The avatar overhangs the cover's lower edge by 40.
        QQuickItem *avatar = findIn(profile, "profileAvatar");
        QCOMPARE(avatar->mapToItem(frame, {0, avatar->height()}).y(), 160.0 + 40);
        QCOMPARE(avatar->width(), 84.0);

        QCOMPARE(ScreenDriver::text(findIn(profile, "profileName")), QStringLiteral("Простой Человек"));
        QQuickItem *statusLine = findIn(profile, "statusLine");
        QQuickItem *bioLine = findIn(profile, "bioLine");
        QCOMPARE(statusLine->isVisible(), !status.value_or(QString()).isEmpty());
        QCOMPARE(bioLine->isVisible(), !bio.value_or(QString()).isEmpty());
        if (statusLine->isVisible())
            QCOMPARE(ScreenDriver::text(statusLine), *status);
        if (bioLine->isVisible())
            QCOMPARE(ScreenDriver::text(bioLine), *bio);
        QCOMPARE(findIn(profile, "profileSeal")->isVisible(), verified);
        QVERIFY(findIn(profile, "emptyWallText")->isVisible());
        QCOMPARE(ScreenDriver::text(findIn(profile, "emptyWallText")), QStringLiteral("Публикаций пока нет."));
    }

    // The editor's labels at opening, and after a picture is picked and uploaded; nothing of it is
    // saved, or sent, until "Сохранить".
    void theEditorLabelsFollowTheUploadsAndCancelSendsNothing()
    {
        User user = plainUser(81);
        user.coverUrl = QStringLiteral("http://127.0.0.1:1/cover.png");
        QQuickItem *profile = openAsGiven(user, userValue(user));
        tap(findIn(profile, "profileActionButton"));
        QTRY_VERIFY(sheetOpen("editSheet"));
        QQuickItem *avatarButton = overlayItem("avatarPickButton");
        QCOMPARE(ScreenDriver::text(avatarButton), QStringLiteral("Выбрать аватарку с телефона"));
        QCOMPARE(ScreenDriver::text(overlayItem("coverPickButton")), QStringLiteral("Обложка загружена ✓"));
        QCOMPARE(ScreenDriver::text(overlayItem("editTitle")), QStringLiteral("Редактировать профиль"));

        tap(avatarButton);
        QQuickItem *frame = nullptr;
        QTRY_VERIFY((frame = overlayItem("cropFrame")));
        auto *picker = frame->parentItem()->property("model").value<QObject *>();
        QVERIFY(picker);
        bool opened = false;
        QMetaObject::invokeMethod(picker, "openImage", Q_RETURN_ARG(bool, opened),
                                  Q_ARG(QString, m_files.filePath(QStringLiteral("photo.png"))));
        QVERIFY(opened);
        QTRY_VERIFY(picker->property("hasImage").toBool());
        QMetaObject::invokeMethod(overlayItem("cropChooseButton"), "clicked");
        // The picker closes itself after the pick; the editor shows again.
        QTRY_VERIFY(!overlayItem("cropFrame"));
        QTRY_COMPARE(ScreenDriver::text(overlayItem("avatarPickButton")), QStringLiteral("Аватарка загружена ✓"));
        QTRY_VERIFY(!overlayItem("avatarPickButtonProgress")->isVisible());
        QVERIFY(sheetOpen("editSheet"));
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        ScreenDriver::type(m_screen->window(), overlayItem("statusField"), QStringLiteral("draft"));
        tap(overlayItem("editCancelButton"));
        QTRY_VERIFY(!sheetOpen("editSheet"));
        QTest::qWait(100);
        QCOMPARE(responder.requests().size(), 0);
        QVERIFY(!modelOf(profile)->user().avatarUrl);
        QVERIFY(!findIn(profile, "statusLine")->isVisible());
    }

    // A refused save keeps the editor open, the typed texts, the screen and the stored session as
    // they were; an accepted one closes it and shows the new status at once, and the stored session
    // carries it.
    void aSaveClosesTheEditorOnlyWhenAccepted()
    {
        ScreenDriver::clearSettings();
        QQuickItem *profile = openLoaded(userValue(User{.id = 3}), userValue(User{.id = 3}));
        const User before = modelOf(profile)->user();
        SessionStore::save(before);
        tap(findIn(profile, "profileActionButton"));
        QTRY_VERIFY(sheetOpen("editSheet"));
        QQuickItem *status = overlayItem("statusField");
        QCOMPARE(ScreenDriver::text(status), before.statusText.value_or(QString()));
        status->setProperty("text", QString());
        ScreenDriver::type(m_screen->window(), status, QStringLiteral("saved"));

        ScriptedResponder responder;
        responder.reply(500, R"({"success": false, "message": "Сбой"})");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        tap(overlayItem("editSaveButton"));
        QVERIFY(responder.waitForRequests(1));
        QTest::qWait(100);
        QVERIFY(sheetOpen("editSheet"));
        QCOMPARE(modelOf(profile)->user(), before);
        QCOMPARE(ScreenDriver::text(findIn(profile, "statusLine")), before.statusText.value_or(QString()));
        QCOMPARE(ScreenDriver::text(status), QStringLiteral("saved"));
        QCOMPARE(SessionStore::restore(), std::optional<User>(before));

        // A second tap sends again.
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        tap(overlayItem("editSaveButton"));
        QTRY_VERIFY(!sheetOpen("editSheet"));
        QCOMPARE(ScreenDriver::text(findIn(profile, "statusLine")), QStringLiteral("saved"));
        QCOMPARE(SessionStore::restore()->statusText, QStringLiteral("saved"));
        QCOMPARE(SessionStore::restore()->id, 3);
    }

    // Two taps on "Сохранить" while the first save still waits for its reply send two updates:
    // the same texts twice, which make no second record. The sheet closes once one is accepted.
    void everyTapOnSaveSendsAnUpdate()
    {
        ScreenDriver::clearSettings();
        QQuickItem *profile = openLoaded(userValue(User{.id = 3}), userValue(User{.id = 3}));
        tap(findIn(profile, "profileActionButton"));
        QTRY_VERIFY(sheetOpen("editSheet"));
        QQuickItem *status = overlayItem("statusField");
        status->setProperty("text", QString());
        ScreenDriver::type(m_screen->window(), status, QStringLiteral("twice"));

        ScriptedResponder responder;
        responder.replyNothing();
        responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        tap(overlayItem("editSaveButton"));
        // The second tap comes while the first save is at the service, its reply held back.
        QVERIFY(responder.waitForRequests(1));
        QVERIFY(sheetOpen("editSheet"));
        tap(overlayItem("editSaveButton"));
        QVERIFY(responder.waitForRequests(2));
        QCOMPARE(responder.requests().at(0).target, QByteArray("/api/profile.php"));
        QCOMPARE(responder.requests().at(1).body, responder.requests().at(0).body);
        QVERIFY(responder.requests().at(0).body.contains("twice"));

        const QByteArray accepted(R"({"success": true, "message": "Профиль обновлён"})");
        QVERIFY(responder.answerWaiting(200, accepted));
        QTRY_VERIFY(!sheetOpen("editSheet"));
        QVERIFY(responder.answerWaiting(200, accepted));
        QTRY_COMPARE(SessionStore::restore()->statusText, QStringLiteral("twice"));
        QCOMPARE(ScreenDriver::text(findIn(profile, "statusLine")), QStringLiteral("twice"));
        QCOMPARE(responder.requests().size(), 2);
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
    }
};

QTEST_MAIN(TestProfileView)
#include "tst_profileview.moc"
