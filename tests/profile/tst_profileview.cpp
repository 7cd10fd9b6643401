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

    QQuickItem *open(const QVariant &user, const QVariant &current)
    {
        QVariant pushed;
        QMetaObject::invokeMethod(m_screen->root(), "open", Q_RETURN_ARG(QVariant, pushed), Q_ARG(QVariant, user),
                                  Q_ARG(QVariant, current));
        return pushed.value<QQuickItem *>();
    }

    // Opens a profile and waits for its loads to end (or fail).
    QQuickItem *openLoaded(const QVariant &user, const QVariant &current)
    {
        QQuickItem *profile = open(user, current);
        auto *model = profile->property("viewModel").value<ProfileViewModel *>();
        if (!QTest::qWaitFor([&] { return !model->isLoading(); }))
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

    void ownProfileEditsOthersSubscribe_data()
    {
        QTest::addColumn<QVariant>("current");
        QTest::addColumn<QString>("label");
        QTest::newRow("signed-in user") << userValue(User{.id = 1}) << QStringLiteral("Редактировать");
        QTest::newRow("another signed-in user") << userValue(User{.id = 2}) << QStringLiteral("Подписаться");
        QTest::newRow("no current user") << noUser << QStringLiteral("Подписаться");
    }
    void ownProfileEditsOthersSubscribe()
    {
        QFETCH(QVariant, current);
        QFETCH(QString, label);
        QQuickItem *profile = openLoaded(userValue(User{.id = 1}), current);
        QCOMPARE(profile->property("title").toString(), QStringLiteral("Анна Смирнова"));
        QCOMPARE(ScreenDriver::text(findIn(profile, "profileActionButton")), label);
        QCOMPARE(ScreenDriver::text(m_screen->find<QQuickItem>("navigationTitle")), QStringLiteral("Анна Смирнова"));
    }

    // A post card's header opens its author with no current user: also the own profile subscribes.
    void aWallHeaderPushesTheAuthorsProfileWithoutCurrentUser()
    {
        QQuickItem *own = openLoaded(userValue(User{.id = 1}), userValue(User{.id = 1}));
        QCOMPARE(ScreenDriver::text(findIn(own, "profileActionButton")), QStringLiteral("Редактировать"));
        const QList<Post> wall = modelOf(own)->userPosts();
        QVERIFY(!wall.isEmpty());
        QQuickItem *card = findIn(own, QStringLiteral("wallCard%1").arg(wall.first().id));
        QVERIFY(card);
        // The card lies below the header; bring it into view before tapping.
        auto *scroll = findIn(own, "profileScroll");
        scroll->setProperty("contentY",
                            card->mapToItem(scroll->property("contentItem").value<QQuickItem *>(), {0, 0}).y());
        QTest::qWait(30);
        tap(findIn(card, "postHeader"));
        QTRY_COMPARE(depth(), 2);
        QQuickItem *pushed = stack()->property("currentItem").value<QQuickItem *>();
        QTRY_VERIFY(!modelOf(pushed)->isLoading());
        QCOMPARE(modelOf(pushed)->user().id, 1);
        QCOMPARE(ScreenDriver::text(findIn(pushed, "profileActionButton")), QStringLiteral("Подписаться"));
        QTRY_VERIFY(!modelOf(pushed)->userPosts().isEmpty());
    }

    // The subscription lives on the screen: labels and colours change, nothing is sent or counted.
    void theSubscribeButtonTogglesWithoutARequest()
    {
        QQuickItem *profile = openLoaded(userValue(User{.id = 2}), noUser);
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

    void theCoverFallsBackToTheGradient_data()
    {
        QTest::addColumn<std::optional<QString>>("cover");
        QTest::addColumn<bool>("picture");
        QTest::newRow("no cover") << std::optional<QString>() << false;
        QTest::newRow("empty") << std::optional<QString>(QString()) << false;
        QTest::newRow("not an address") << std::optional<QString>(QStringLiteral("cover picture.png")) << false;
        QTest::newRow("a picture that is not there") << std::optional<QString>("/media/demo/none.png") << false;
        QTest::newRow("a picture") << std::optional<QString>("/media/demo/cover-2.png") << true;
    }
    void theCoverFallsBackToTheGradient()
    {
        QFETCH(std::optional<QString>, cover);
        QFETCH(bool, picture);
        User user = plainUser(78);
        if (cover && cover->startsWith('/'))
            cover = m_service.siteUrl() + *cover;
        user.coverUrl = cover;
        QQuickItem *profile = openAsGiven(user, noUser);
        QQuickItem *frame = findIn(profile, "profileCover");
        QQuickItem *gradient = findIn(profile, "coverGradient");
        QQuickItem *image = findIn(profile, "coverImage");
        QCOMPARE(frame->height(), 160.0);
        QCOMPARE(frame->width(), profile->width());
        QVERIFY(gradient->isVisible());
        // A picture that loads covers the gradient; one that fails leaves it.
        QTRY_VERIFY(image->property("status").toInt() != 2 /* Loading */);
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
    }

    void statusBioAndSealShowOnlyWhenSet_data()
    {
        QTest::addColumn<std::optional<QString>>("status");
        QTest::addColumn<std::optional<QString>>("bio");
        QTest::addColumn<bool>("verified");
        QTest::newRow("all set") << std::optional<QString>("Статус") << std::optional<QString>("Био") << true;
        QTest::newRow("absent") << std::optional<QString>() << std::optional<QString>() << false;
        QTest::newRow("empty") << std::optional<QString>("") << std::optional<QString>("") << false;
        QTest::newRow("blank is shown") << std::optional<QString>(" ") << std::optional<QString>("") << true;
    }
    void statusBioAndSealShowOnlyWhenSet()
    {
        QFETCH(std::optional<QString>, status);
        QFETCH(std::optional<QString>, bio);
        QFETCH(bool, verified);
        User user = plainUser(79);
        user.statusText = status;
        user.bio = bio;
        user.isVerified = verified;
        QQuickItem *profile = openAsGiven(user, noUser);
        QQuickItem *statusLine = findIn(profile, "statusLine");
        QQuickItem *bioLine = findIn(profile, "bioLine");
        QCOMPARE(statusLine->isVisible(), !status.value_or(QString()).isEmpty());
        QCOMPARE(bioLine->isVisible(), !bio.value_or(QString()).isEmpty());
        if (statusLine->isVisible())
            QCOMPARE(ScreenDriver::text(statusLine), *status);
        if (bioLine->isVisible())
            QCOMPARE(ScreenDriver::text(bioLine), *bio);
        QCOMPARE(findIn(profile, "profileSeal")->isVisible(), verified);
        QCOMPARE(ScreenDriver::text(findIn(profile, "profileName")), QStringLiteral("Простой Человек"));
    }

    void aUserWithoutPostsShowsTheEmptyWallText()
    {
        QQuickItem *empty = openAsGiven(plainUser(80), noUser);
        QQuickItem *text = findIn(empty, "emptyWallText");
        QVERIFY(text->isVisible());
        QCOMPARE(ScreenDriver::text(text), QStringLiteral("Публикаций пока нет."));
        QQuickItem *full = openLoaded(userValue(User{.id = 1}), noUser);
        QVERIFY(!findIn(full, "emptyWallText")->isVisible());
    }

    // The wall hands its cards no actions: like, comment and repost (button and menu) change nothing.
    void wallCardsActionsChangeNothing()
    {
        QQuickItem *profile = openLoaded(userValue(User{.id = 1}), noUser);
        ProfileViewModel *model = modelOf(profile);
        const QList<Post> before = model->userPosts();
        QVERIFY(!before.isEmpty());
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QQuickItem *card = findIn(profile, QStringLiteral("wallCard%1").arg(before.first().id));
        auto *scroll = findIn(profile, "profileScroll");
        scroll->setProperty("contentY",
                            card->mapToItem(scroll->property("contentItem").value<QQuickItem *>(), {0, 0}).y());
        QTest::qWait(30);
        const QString likes = ScreenDriver::text(findIn(card, "likeButtonCount"));
        for (const char *name : {"likeButton", "commentButton", "repostButton"})
            tap(findIn(card, QLatin1String(name)));
        QObject *repostItem = m_screen->find("repostMenuItem");
        QVERIFY(repostItem);
        QMetaObject::invokeMethod(repostItem, "triggered");
        QTest::qWait(100);
        QCOMPARE(model->userPosts(), before);
        QCOMPARE(ScreenDriver::text(findIn(card, "likeButtonCount")), likes);
        QCOMPARE(depth(), 1);
        QCOMPARE(responder.requests().size(), 0);
    }

    // The editor's labels at opening, and after a picture is picked and uploaded.
    void theEditorLabelsFollowTheUploads()
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
        QMetaObject::invokeMethod(overlayItem("cropChooseButton"), "clicked");
        // The picker closes itself after the pick; the editor shows again.
        QTRY_VERIFY(!overlayItem("cropFrame"));
        QTRY_COMPARE(ScreenDriver::text(overlayItem("avatarPickButton")), QStringLiteral("Аватарка загружена ✓"));
        QTRY_VERIFY(!overlayItem("avatarPickButtonProgress")->isVisible());
        QVERIFY(sheetOpen("editSheet"));
        // Nothing is saved until "Сохранить".
        QVERIFY(!modelOf(profile)->user().avatarUrl);
        tap(overlayItem("editCancelButton"));
        QTRY_VERIFY(!sheetOpen("editSheet"));
    }

    void cancelSendsNothing()
    {
        QQuickItem *profile = openAsGiven(plainUser(82), userValue(plainUser(82)));
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        tap(findIn(profile, "profileActionButton"));
        QTRY_VERIFY(sheetOpen("editSheet"));
        ScreenDriver::type(m_screen->window(), overlayItem("statusField"), QStringLiteral("draft"));
        tap(overlayItem("editCancelButton"));
        QTRY_VERIFY(!sheetOpen("editSheet"));
        QTest::qWait(100);
        QCOMPARE(responder.requests().size(), 0);
        QVERIFY(!findIn(profile, "statusLine")->isVisible());
    }

    // A refused save keeps the editor open and the screen as it was; an accepted one closes it and
    // shows the new status at once, and the stored session carries it.
    void aSaveClosesTheEditorOnlyWhenAccepted()
    {
        ScreenDriver::clearSettings();
        QQuickItem *profile = openLoaded(userValue(User{.id = 3}), userValue(User{.id = 3}));
        const User before = modelOf(profile)->user();
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
        QVERIFY(!SessionStore::restore());

        // A second tap sends again.
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        tap(overlayItem("editSaveButton"));
        QTRY_VERIFY(!sheetOpen("editSheet"));
        QCOMPARE(ScreenDriver::text(findIn(profile, "statusLine")), QStringLiteral("saved"));
        QCOMPARE(SessionStore::restore()->statusText, QStringLiteral("saved"));
        QCOMPARE(SessionStore::restore()->id, 3);
    }
};

QTEST_MAIN(TestProfileView)
#include "tst_profileview.moc"
