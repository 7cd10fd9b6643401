#include "FeedViewModel.h"
#include "MusicViewModel.h"
#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "VideoViewModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

// The tab screens' models against the reference service, each list swept by the model tester.
class TestTabModels : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;

    static void sweep(QAbstractItemModel *model)
    {
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model->rowCount() > 0);
        const auto roles = model->roleNames();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (auto role = roles.cbegin(); role != roles.cend(); ++role)
                (void)model->data(model->index(row, 0), role.key());
        }
    }

    static QVariant field(QAbstractItemModel *model, int row, const QByteArray &role)
    {
        return model->data(model->index(row, 0), model->roleNames().key(role));
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenDriver::clearSettings();
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
    }

    void everyModelLoadsAtOnceAndKeepsAConsistentList()
    {
        FeedViewModel feed;
        MusicViewModel music;
        VideoViewModel videos;
        // Each constructor has already started its load.
        QVERIFY(feed.isLoading() && music.isLoading());
        // A tester watching while the rows arrive.
        QAbstractItemModelTester watcher(feed.postsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // The rows are published before the busy flag is cleared.
        qsizetype rowsWhenDone = -1;
        connect(&feed, &FeedViewModel::isLoadingChanged, this, [&] {
            if (!feed.isLoading())
                rowsWhenDone = feed.postsModel()->rowCount();
        });
        QTRY_VERIFY(!feed.isLoading() && !music.isLoading());
        // The video model keeps no busy flag: its rows are the sign that the fetch ended.
        QTRY_VERIFY(videos.videosModel()->rowCount() > 0);
        QVERIFY(rowsWhenDone > 0);
        sweep(feed.postsModel());
        sweep(music.tracksModel());
        sweep(videos.videosModel());
        QCOMPARE(field(music.tracksModel(), 0, "title").toString(), music.tracks().first().title);
        QCOMPARE(field(music.tracksModel(), 0, "artist").toString(), music.tracks().first().artist);

        // A reload with the same rows leaves the list as it is.
        const QList<Post> before = feed.posts();
        feed.loadFeed();
        QTRY_VERIFY(!feed.isLoading());
        QCOMPARE(feed.posts(), before);
    }

    void failedLoadOnlyEndsTheBusyState()
    {
        ScriptedResponder responder;
        responder.reply(200, "{\"not\": \"a list\"}");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        FeedViewModel feed;
        QTRY_VERIFY(!feed.isLoading());
        QVERIFY(feed.posts().isEmpty());
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
    }

    void profileModelBuildsTheWallFromTheFeed()
    {
        FeedViewModel feed;
        QTRY_VERIFY(!feed.isLoading());
        QVERIFY(!feed.posts().isEmpty());
        const User author = feed.posts().first().author;

        ProfileViewModel profile(User{.id = author.id});
        QVERIFY(profile.isLoading());
        QTRY_VERIFY(!profile.isLoading());
        QCOMPARE(profile.user().id, author.id);
        QCOMPARE(profile.user().username, author.username);
        QList<Post> expected;
        for (const Post &post : feed.posts()) {
            if (post.author.id == author.id)
                expected << post;
        }
        QCOMPARE(profile.userPosts(), expected);
        sweep(profile.userPostsModel());
    }

    void profileKeepsItsUserWhenTheLoadFails()
    {
        ProfileViewModel profile(User{.id = 987654, .username = QStringLiteral("nobody")});
        QTRY_VERIFY(!profile.isLoading());
        QCOMPARE(profile.user().username, QStringLiteral("nobody"));
        QVERIFY(profile.userPosts().isEmpty());
    }

    // The profile is fetched first and the wall after it: a screen closed in between asks for no wall.
    void profileModelGoneBeforeItsUserArrivesAsksForNoWall()
    {
        ScriptedResponder responder;
        responder.reply(200, R"({"id": 5, "username": "gone"})");
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        delete new ProfileViewModel(User{.id = 5});
        QVERIFY(responder.waitForRequests(1));
        QTest::qWait(200);
        QCOMPARE(responder.requests().size(), 1);
        QCOMPARE(responder.requests().first().target, QByteArray("/api/profile.php?user_id=5"));
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
    }

    void ownProfileRule_data()
    {
        QTest::addColumn<QVariant>("shown");
        QTest::addColumn<QVariant>("current");
        QTest::addColumn<bool>("own");
        const QVariant shown = QVariant::fromValue(User{.id = 5, .username = QStringLiteral("a")});
        QTest::newRow("same id") << shown << QVariant::fromValue(User{.id = 5, .username = QStringLiteral("b")})
                                 << true;
        QTest::newRow("other id") << shown << QVariant::fromValue(User{.id = 6}) << false;
        QTest::newRow("no current user") << shown << QVariant() << false;
        QTest::newRow("null current user") << shown << QVariant::fromValue(nullptr) << false;
    }
    void ownProfileRule()
    {
        QFETCH(QVariant, shown);
        QFETCH(QVariant, current);
        QFETCH(bool, own);
        QCOMPARE(ProfileViewModel::isOwnProfile(shown, current), own);
    }

    void profileScreenShowsEditOrSubscribe_data()
    {
        QTest::addColumn<bool>("withCurrentUser");
        QTest::addColumn<QString>("label");
        QTest::newRow("own profile") << true << QStringLiteral("Редактировать");
        QTest::newRow("no current user") << false << QStringLiteral("Подписаться");
    }
    void profileScreenShowsEditOrSubscribe()
    {
        QFETCH(bool, withCurrentUser);
        QFETCH(QString, label);
        const QVariant demo = QVariant::fromValue(User::demoUser());
        QmlScreen screen(QStringLiteral("ProfileView.qml"),
                         {{QStringLiteral("user"), demo},
                          {QStringLiteral("currentUser"), withCurrentUser ? demo : QVariant::fromValue(nullptr)}});
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QQuickItem *button = screen.find(QStringLiteral("profileActionButton"));
        QCOMPARE(ScreenDriver::text(button), label);
        // The follower count opens a sheet listing the sample user, whatever the profile says.
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("followersButton")));
        QQuickItem *list = nullptr;
        QTRY_VERIFY((list = screen.find(QStringLiteral("userList"))) && list->isVisible());
        QTRY_COMPARE(list->property("count").toInt(), 1);
        QCOMPARE(ScreenDriver::text(screen.find(QStringLiteral("navigationTitle"))), QStringLiteral("Подписчики"));
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("navigationTrailingButton")));
        QTRY_VERIFY(!screen.find(QStringLiteral("userList")) || !screen.find(QStringLiteral("userList"))->isVisible());
        if (!withCurrentUser) {
            ScreenDriver::tap(screen.window(), button);
            QCOMPARE(ScreenDriver::text(button), QStringLiteral("Вы подписаны"));
            ScreenDriver::tap(screen.window(), button);
            QCOMPARE(ScreenDriver::text(button), QStringLiteral("Подписаться"));
        }
    }
};

QTEST_MAIN(TestTabModels)
#include "tst_tabmodels.moc"
