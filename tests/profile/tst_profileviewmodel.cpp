// The profile model: the profile first and the feed after it, the wall cut from the feed, and the
// update it sends, against the reference service and, where order or failure must be exact, a
// scripted responder.
#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "QmlSnippet.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"
#include "TaskOutcome.h"
#include "feed/FeedReplies.h"
#include "feed/FeedTestPosts.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

using FeedTestPosts::author;
using FeedTestPosts::post;

// Beyond a double's exact integers: an id the update must carry digit for digit.
constexpr qint64 BigId = 9007199254740993;

User someone(qint64 id = 7)
{
    return User{.id = id,
                .username = QStringLiteral("kate"),
                .firstName = QStringLiteral("Катя"),
                .avatarUrl = QStringLiteral("http://127.0.0.1:1/old-avatar.jpg"),
                .coverUrl = std::nullopt,
                .statusText = QStringLiteral("Старый статус"),
                .bio = QStringLiteral("Старое био")};
}

bool update(ProfileViewModel &model, const QString &avatar, const QString &cover, const QString &status,
            const QString &bio)
{
    return runToEnd(model.updateProfile(avatar, cover, status, bio)).value.value_or(false);
}

} // namespace

class TestProfileViewModel : public ServiceTestCase
{
    Q_OBJECT

    void useResponder(ScriptedResponder &responder) { NetworkManager::shared().setBaseURL(responder.baseUrl()); }

    // A model of someone() whose first load has ended: the service has no such member, so it keeps
    // the record it was made with.
    std::unique_ptr<ProfileViewModel> settledModel(qint64 id = 7)
    {
        auto profile = std::make_unique<ProfileViewModel>(someone(id));
        if (!QTest::qWaitFor([&] { return !profile->isLoading(); }, VORLANE_PATIENT_WAIT_MS) ||
            profile->user() != someone(id))
            qFatal("the model of an unknown member did not settle");
        return profile;
    }

private Q_SLOTS:
    // The wall is cut from the feed by the id of the record the service returned, in feed order.
    void loadsTheProfileThenTheWall()
    {
        ScriptedResponder responder;
        responder.reply(200, R"({"id": 9, "username": "other", "first_name": "Другой"})");
        const QList<Post> feed = {post(1, "a", author(9)), post(2, "b", author(7)), post(3, "c", author(9)),
                                  post(4, "d", author(8))};
        responder.reply(200, FeedReplies::list(feed));
        useResponder(responder);

        ProfileViewModel profile(User{.id = 7, .username = QStringLiteral("asked")});
        QAbstractItemModelTester tester(profile.userPostsModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(profile.isLoading());
        QTRY_VERIFY(!profile.isLoading());

        QCOMPARE(responder.requests().size(), 2);
        QCOMPARE(responder.requests()[0].method + ' ' + responder.requests()[0].target,
                 QByteArray("GET /api/profile.php?user_id=7"));
        QCOMPARE(responder.requests()[1].target, QByteArray("/api/feed.php"));
        QCOMPARE(profile.user().id, 9);
        QCOMPARE(profile.user().username, QStringLiteral("other"));
        QCOMPARE(profile.userPosts(), (QList<Post>{feed[0], feed[2]}));
        QCOMPARE(profile.userPostsModel()->rowCount(), 2);
    }

    // Made from QML without a user: the sample user at once, and its profile asked for.
    void aModelWithoutAUserShowsTheSampleUser()
    {
        ScriptedResponder responder;
        responder.reply(404, "");
        useResponder(responder);
        QmlSnippet scene("import QtQuick\nimport Vorlane\nItem { ProfileViewModel { objectName: \"model\" } }");
        QVERIFY2(scene.isReady(), qPrintable(scene.errors()));
        auto *profile = scene.find<ProfileViewModel>(QStringLiteral("model"));
        QVERIFY(profile);
        QCOMPARE(profile->user(), User::demoUser());
        QVERIFY(responder.waitForRequests(1));
        QCOMPARE(responder.requests().first().target, QByteArray("/api/profile.php?user_id=1"));
        QTRY_VERIFY(!profile->isLoading());
        QCOMPARE(profile->user(), User::demoUser());
    }

    // A failed profile asks for no wall; a failed wall does not publish the profile fetched before it.
    void aFailedLoadKeepsWhatWasShown_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("wall");
        QTest::addColumn<int>("requests");
        const QByteArray wall = FeedReplies::list({post(1, "a", author(7))});
        QTest::newRow("refusal envelope") << 200 << QByteArray(R"({"success": false, "message": "Нет"})") << wall << 1;
        QTest::newRow("HTTP 500") << 500 << QByteArray() << wall << 1;
        QTest::newRow("HTTP 401") << 401 << QByteArray("{}") << wall << 1;
        QTest::newRow("not JSON") << 200 << QByteArray("hello") << wall << 1;
        QTest::newRow("the wall not a list")
            << 200 << QByteArray(R"({"id": 7, "username": "renamed"})") << QByteArray(R"({"not": "a list"})") << 2;
    }
    void aFailedLoadKeepsWhatWasShown()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, wall);
        QFETCH(int, requests);
        ScriptedResponder responder;
        responder.reply(status, body);
        responder.reply(200, wall);
        useResponder(responder);

        ProfileViewModel profile(someone());
        QTRY_VERIFY(!profile.isLoading());
        QTest::qWait(100); // room for a wrongly sent second request to arrive
        QCOMPARE(responder.requests().size(), requests);
        QCOMPARE(profile.user(), someone());
        QVERIFY(profile.userPosts().isEmpty());
    }

    // A screen closed while its user loads asks for no wall.
    void aModelGoneBeforeItsUserArrivesAsksForNoWall()
    {
        ScriptedResponder responder;
        responder.reply(200, R"({"id": 5, "username": "gone"})");
        responder.reply(200, "[]");
        useResponder(responder);
        delete new ProfileViewModel(User{.id = 5});
        QVERIFY(responder.waitForRequests(1));
        QTest::qWait(200);
        QCOMPARE(responder.requests().size(), 1);
    }

    // The update carries the four texts as typed; the model then takes each one that is not empty.
    void aSaveSendsTheTextsAndKeepsTheNonEmptyOnes_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<User>("expected");
        const User before = someone(BigId);
        User all = before;
        all.avatarUrl = QStringLiteral("http://h/a.jpg");
        all.coverUrl = QStringLiteral("http://h/c.jpg");
        all.statusText = QStringLiteral("Статус \"в кавычках\"");
        all.bio = QStringLiteral("Био\nв две строки");
        QTest::newRow("all four") << QStringList{*all.avatarUrl, *all.coverUrl, *all.statusText, *all.bio} << all;
        User coverOnly = before;
        coverOnly.coverUrl = QStringLiteral("http://h/c.jpg");
        QTest::newRow("a cover where there was none") << QStringList{"", "http://h/c.jpg", "", ""} << coverOnly;
        QTest::newRow("cleared fields keep their old values") << QStringList{"", "", "", ""} << before;
        User blank = before;
        blank.statusText = QStringLiteral(" ");
        QTest::newRow("a blank is a text") << QStringList{"", "", " ", ""} << blank;
    }
    void aSaveSendsTheTextsAndKeepsTheNonEmptyOnes()
    {
        QFETCH(QStringList, texts);
        QFETCH(User, expected);
        const auto profile = settledModel(BigId);
        ScriptedResponder responder;
        responder.reply(200, R"({"success": true, "message": "ok", "data": {"note": "text"}})");
        useResponder(responder);

        QVERIFY(update(*profile, texts[0], texts[1], texts[2], texts[3]));
        QCOMPARE(profile->user(), expected);
        const ScriptedResponder::Request &sent = responder.requests().last();
        QCOMPARE(sent.method + ' ' + sent.target, QByteArray("POST /api/profile.php"));
        QCOMPARE(sent.header("Content-Type"), QByteArray("application/json"));
        QVERIFY2(sent.body.contains("\"user_id\":9007199254740993"), sent.body.constData());
        const QJsonObject body = QJsonDocument::fromJson(sent.body).object();
        QCOMPARE(body.keys(), QStringList({"avatar_url", "bio", "cover_url", "status_text", "user_id"}));
        QCOMPARE(body["avatar_url"], QJsonValue(texts[0]));
        QCOMPARE(body["cover_url"], QJsonValue(texts[1]));
        QCOMPARE(body["status_text"], QJsonValue(texts[2]));
        QCOMPARE(body["bio"], QJsonValue(texts[3]));
    }

    // A refusal, whatever its status, a reply that is no envelope of texts, and a save that cannot
    // be sent save nothing.
    void aRefusedSaveChangesNothing_data()
    {
        QTest::addColumn<int>("status"); // 0: the body is cut off; -1: nothing listens
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("success false, HTTP 500") << 500 << QByteArray(R"({"success": false, "message": "Ошибка"})");
        QTest::newRow("success false, HTTP 200") << 200 << QByteArray(R"({"success": false})");
        QTest::newRow("a user record in data") << 200 << QByteArray(R"({"success": true, "data": {"id": 7}})");
        QTest::newRow("HTTP 401") << 401 << QByteArray(R"({"success": true})");
        QTest::newRow("not JSON") << 200 << QByteArray("<html>");
        QTest::newRow("cut off") << 0 << QByteArray("{\"succ");
        QTest::newRow("cannot be sent") << -1 << QByteArray();
    }
    void aRefusedSaveChangesNothing()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        const auto profile = settledModel();
        ScriptedResponder responder;
        if (status > 0)
            responder.reply(status, reply);
        else if (status == 0)
            responder.replyCutOff(reply);
        NetworkManager::shared().setBaseURL(status < 0 ? ScriptedResponder::refusingBaseUrl() : responder.baseUrl());

        QVERIFY(!update(*profile, "http://h/a.jpg", "http://h/c.jpg", "Новый", "Новое"));
        QCOMPARE(profile->user(), someone());
    }
};

QTEST_MAIN(TestProfileViewModel)
#include "tst_profileviewmodel.moc"
