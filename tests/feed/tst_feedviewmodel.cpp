#include "FeedReplies.h"
#include "FeedTestPosts.h"
#include "FeedViewModel.h"
#include "NetworkManager.h"
#include "PostSearchModel.h"
#include "ScriptedResponder.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace FeedTestPosts;
using namespace FeedReplies;

// The feed model against a scripted service: exact replies, and their order. The real service's
// publish is driven through the screen (tst_feedview).
class TestFeedViewModel : public QObject
{
    Q_OBJECT

    // A model whose first load brought `posts`, watched by the model tester from the start.
    struct Loaded
    {
        FeedViewModel model;
        QAbstractItemModelTester tester{model.postsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
    };

    static std::unique_ptr<Loaded> loaded(ScriptedResponder &responder, const QList<Post> &posts)
    {
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        responder.reply(200, list(posts));
        auto feed = std::make_unique<Loaded>();
        if (!QTest::qWaitFor([&] { return !feed->model.isLoading(); }, VORLANE_PATIENT_WAIT_MS))
            return nullptr;
        return feed;
    }

    static Post liked(Post post, bool isLiked, qint64 likes)
    {
        post.isLiked = isLiked;
        post.likesCount = likes;
        return post;
    }

private Q_SLOTS:
    void likesStayOnTheDevice_data()
    {
        QTest::addColumn<Post>("listed");
        QTest::addColumn<int>("taps");
        QTest::addColumn<bool>("isLiked");
        QTest::addColumn<qint64>("likes");
        const Post plain = post(1, QStringLiteral("a"));
        QTest::newRow("like") << plain << 1 << true << qint64(4);
        QTest::newRow("like and unlike") << plain << 2 << false << qint64(3);
        QTest::newRow("liked with no count, unliked") << liked(plain, true, 0) << 1 << false << qint64(-1);
    }
    void likesStayOnTheDevice()
    {
        QFETCH(Post, listed);
        QFETCH(int, taps);
        QFETCH(bool, isLiked);
        QFETCH(qint64, likes);
        ScriptedResponder responder;
        const Post other = post(2, QStringLiteral("b"));
        auto feed = loaded(responder, {listed, other});
        QVERIFY(feed);
        for (int tap = 0; tap < taps; ++tap)
            feed->model.toggleLike(listed);
        // A post that is not listed changes nothing.
        feed->model.toggleLike(post(99, QString()));
        QTest::qWait(100);
        QCOMPARE(feed->model.posts(), (QList<Post>{liked(listed, isLiked, likes), other}));
        QCOMPARE(responder.requests().size(), 1);
        // The author's whole name is a role of its own, for views that do not build it.
        const QAbstractItemModel *rows = feed->model.postsModel();
        QCOMPARE(rows->index(0, 0).data(rows->roleNames().key("authorName")).toString(), listed.author->fullName());
    }

    // Overlapping loads (the model's own and the screen's at launch): the latest publishes, the
    // earlier reply is never decoded beside it, and stands in only when the latest fails.
    void overlappingLoadsPublishTheLatest_data()
    {
        QTest::addColumn<bool>("latestFirst");
        QTest::addColumn<int>("latestStatus");
        QTest::addColumn<qint64>("shown");
        QTest::newRow("earlier reply first") << false << 200 << qint64(2);
        QTest::newRow("latest reply first") << true << 200 << qint64(2);
        QTest::newRow("latest fails") << false << 500 << qint64(1);
    }
    void overlappingLoadsPublishTheLatest()
    {
        QFETCH(bool, latestFirst);
        QFETCH(int, latestStatus);
        QFETCH(qint64, shown);
        const QByteArray earlier = list({post(1, QStringLiteral("a"))});
        const QByteArray latest = latestStatus == 200 ? list({post(2, QStringLiteral("b"))}) : QByteArray("{}");
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        responder.replyNothing();
        if (latestFirst)
            responder.reply(latestStatus, latest);
        else
            responder.replyNothing();
        Loaded feed;
        feed.model.loadFeed();
        QVERIFY(responder.waitForRequests(2));
        if (latestFirst)
            QTRY_VERIFY(!feed.model.isLoading());
        QVERIFY(responder.answerWaiting(200, earlier));
        QTest::qWait(100);
        // An earlier reply alone publishes nothing while the latest is awaited.
        QCOMPARE(feed.model.isLoading(), !latestFirst);
        if (!latestFirst)
            QVERIFY(feed.model.posts().isEmpty() && responder.answerWaiting(latestStatus, latest));
        QTRY_VERIFY(!feed.model.isLoading());
        QCOMPARE(feed.model.posts().size(), 1);
        QCOMPARE(feed.model.posts().first().id, shown);
    }

    void repostChangesTheCardAndSendsItsBody_data()
    {
        QTest::addColumn<qint64>("postId");
        QTest::addColumn<std::optional<User>>("user");
        QTest::addColumn<qint64>("sentUserId");
        QTest::newRow("signed-in user") << qint64(1) << std::optional<User>(author(7)) << qint64(7);
        QTest::newRow("no user: the demo account") << qint64(1) << std::optional<User>() << qint64(1);
        QTest::newRow("post not listed is sent all the same")
            << qint64(55) << std::optional<User>(author(7)) << qint64(7);
    }
    void repostChangesTheCardAndSendsItsBody()
    {
        QFETCH(qint64, postId);
        QFETCH(std::optional<User>, user);
        QFETCH(qint64, sentUserId);
        ScriptedResponder responder;
        const Post listed = post(1, QStringLiteral("a"));
        auto feed = loaded(responder, {listed});
        QVERIFY(feed);
        responder.reply(200, R"({"success": false, "message": "ignored"})");
        feed->model.toggleRepost(post(postId, QString()), user);
        Post expected = listed;
        if (postId == listed.id) {
            expected.isReposted = true;
            expected.repostsCount += 1;
        }
        // At once, before any reply.
        QCOMPARE(feed->model.posts(), QList<Post>{expected});
        QVERIFY(responder.waitForRequests(2));
        const auto &request = responder.requests().at(1);
        QCOMPARE(request.method + ' ' + request.target, QByteArray("POST /api/feed.php"));
        QCOMPARE(body(request.body), (QJsonObject{{"action", "repost"}, {"post_id", postId}, {"user_id", sentUserId}}));
        // Neither the refusal nor anything else rolls the change back.
        QTest::qWait(100);
        QCOMPARE(feed->model.posts(), QList<Post>{expected});
        QCOMPARE(responder.requests().size(), 2);
    }

    // The temporary post shows at once and the trimmed text goes out. "success" true without a post
    // leaves it where it is and asks for nothing more; a refusal stored nothing, so it must not stay
    // as if published: the feed is loaded again, as after a failed call.
    void publishShowsATemporaryPostUntilTheReply_data()
    {
        QTest::addColumn<QString>("imageUrl");
        QTest::addColumn<int>("status"); // 0: the body is cut off
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("reloads");
        const QByteArray accepted = R"({"success": true})";
        QTest::newRow("accepted, no photo") << QString() << 200 << accepted << false;
        QTest::newRow("accepted, a blank is an address") << QStringLiteral(" ") << 200 << accepted << false;
        QTest::newRow("refused") << QString() << 200
                                 << QByteArray(R"({"success": false, "message": "Пользователь не найден"})") << true;
        QTest::newRow("unauthorized") << QString() << 401 << QByteArray("{}") << true;
        QTest::newRow("undecodable") << QStringLiteral("http://h/p.jpg") << 200 << QByteArray("<html>") << true;
        QTest::newRow("cut off") << QString() << 0 << QByteArray("{\"succ") << true;
    }
    void publishShowsATemporaryPostUntilTheReply()
    {
        QFETCH(QString, imageUrl);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(bool, reloads);
        ScriptedResponder responder;
        const Post listed = post(1, QStringLiteral("a"));
        const Post stored = post(2, QStringLiteral("b"));
        auto feed = loaded(responder, {listed});
        QVERIFY(feed);
        status ? responder.reply(status, reply) : responder.replyCutOff(reply);
        responder.reply(200, list({stored, listed}));
        // Blank text changes nothing and sends nothing.
        feed->model.createPost(author(3), QStringLiteral(" \n\t "), imageUrl);
        QCOMPARE(feed->model.posts().size(), 1);
        feed->model.createPost(author(3), QStringLiteral("  Слово \n"), imageUrl);
        const Post temporary = feed->model.posts().first();
        QVERIFY(temporary.id >= 10000 && temporary.id <= 99999);
        Post expected{.id = temporary.id,
                      .author = author(3),
                      .text = QStringLiteral("Слово"),
                      .viewsCount = 1,
                      .createdAtFormatted = QStringLiteral("Только что")};
        if (!imageUrl.isEmpty())
            expected.attachments = {
                attachment(QStringLiteral("img_temp"), PostAttachment::AttachmentType::image, imageUrl)};
        QCOMPARE(temporary, expected);
        QVERIFY(responder.waitForRequests(2));
        QCOMPARE(body(responder.requests().at(1).body),
                 (QJsonObject{{"user_id", 3}, {"text", QStringLiteral("Слово")}, {"image_url", imageUrl}}));
        if (reloads) {
            QTRY_COMPARE(feed->model.posts(), (QList<Post>{stored, listed}));
            QCOMPARE(responder.requests().at(2).method + ' ' + responder.requests().at(2).target, "GET /api/feed.php");
        } else {
            QTest::qWait(100);
            QCOMPARE(feed->model.posts(), (QList<Post>{temporary, listed}));
        }
        QCOMPARE(responder.requests().size(), reloads ? 3 : 2);
    }

    void replyReplacesItsOwnTemporaryPostInPlace()
    {
        ScriptedResponder responder;
        const Post listed = post(1, QStringLiteral("a"));
        auto feed = loaded(responder, {listed});
        QVERIFY(feed);
        responder.replyNothing();
        responder.replyNothing();
        feed->model.createPost(author(), QStringLiteral("первый"));
        feed->model.createPost(author(), QStringLiteral("второй"));
        const Post second = feed->model.posts().at(0);
        const Post first = feed->model.posts().at(1);
        QVERIFY(responder.waitForRequests(3));
        // The replies land in the order the posts were sent; the first one's card sits below.
        const Post storedFirst = post(501, QStringLiteral("первый"));
        const Post storedSecond = post(502, QStringLiteral("второй"));
        const bool firstSentFirst = body(responder.requests().at(1).body).value("text") == QStringLiteral("первый");
        QVERIFY(responder.answerWaiting(200, published(firstSentFirst ? storedFirst : storedSecond)));
        QTRY_COMPARE(feed->model.posts(), firstSentFirst ? (QList<Post>{second, storedFirst, listed})
                                                         : (QList<Post>{storedSecond, first, listed}));
        QVERIFY(responder.answerWaiting(200, published(firstSentFirst ? storedSecond : storedFirst)));
        QTRY_COMPARE(feed->model.posts(), (QList<Post>{storedSecond, storedFirst, listed}));
    }

    // The temporary id is drawn again while it equals a listed post's: otherwise a like on the new
    // card would land on the older one. A load that lands before the publish reply takes the
    // temporary post away; the reply must not then replace a post of that load with the same id.
    void temporaryIdNeverStandsForAnotherPost()
    {
        ScriptedResponder responder;
        const QList<Post> listed = {post(10000, QStringLiteral("a")), post(10001, QStringLiteral("b"))};
        auto feed = loaded(responder, listed);
        QVERIFY(feed);
        QList<qint64> draws = {10000, 10001, 10000, 10002};
        feed->model.setRandomDraw(RandomDraw([&draws](qint64, qint64) { return draws.takeFirst(); }));
        responder.replyNothing();
        feed->model.createPost(author(), QStringLiteral("новый"));
        QCOMPARE(feed->model.posts().first().id, 10002);
        feed->model.toggleLike(feed->model.posts().first());
        QVERIFY(feed->model.posts().first().isLiked);
        QCOMPARE(feed->model.posts().mid(1), listed);

        QVERIFY(responder.waitForRequests(2));
        const QList<Post> reloaded = {post(10002, QStringLiteral("чужой")), listed.first()};
        responder.reply(200, list(reloaded));
        feed->model.loadFeed();
        QTRY_VERIFY(!feed->model.isLoading());
        QCOMPARE(feed->model.posts(), reloaded);
        QVERIFY(responder.answerWaiting(200, published(post(600, QStringLiteral("новый")))));
        QTest::qWait(150);
        QCOMPARE(feed->model.posts(), reloaded);
    }

    // Which posts a search keeps, and what the empty list then says.
    void search_data()
    {
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::addColumn<QString>("emptyText");
        const auto none = [](const char *query) {
            return QStringLiteral("Ничего не найдено по запросу '%1'").arg(QString::fromUtf8(query));
        };
        QTest::newRow("empty: all") << QString() << QList<qint64>{1, 2, 3}
                                    << QStringLiteral("В ленте пока нет публикаций. Напишите первую запись!");
        QTest::newRow("blanks: all, yet a search") << QStringLiteral("   ") << QList<qint64>{1, 2, 3} << none("   ");
        QTest::newRow("text, any case") << QStringLiteral("ГОРОД") << QList<qint64>{1} << none("ГОРОД");
        QTest::newRow("user name") << QStringLiteral("mar") << QList<qint64>{2} << none("mar");
        QTest::newRow("first name in capitals") << QStringLiteral("ИВАН") << QList<qint64>{1, 3} << none("ИВАН");
        QTest::newRow("blank after a word matches a full name")
            << QStringLiteral("иван ") << QList<qint64>{1, 3} << none("иван ");
        QTest::newRow("blank after a word misses a text ending in it, typed as is")
            << QStringLiteral("город ") << QList<qint64>{} << none("город ");
        QTest::newRow("nothing else is searched") << QStringLiteral("минут") << QList<qint64>{} << none("минут");
    }
    void search()
    {
        QFETCH(QString, searchText);
        QFETCH(QList<qint64>, shown);
        QFETCH(QString, emptyText);
        User maria = author(2);
        maria.username = QStringLiteral("maria");
        maria.firstName = QStringLiteral("Мария");
        const QList<Post> posts = {post(1, QStringLiteral("Вечерний город")), post(2, QStringLiteral("Эскиз"), maria),
                                   post(3, QString())};
        QList<qint64> kept;
        for (const Post &item : posts) {
            if (PostSearchModel::matches(item, searchText))
                kept << item.id;
        }
        QCOMPARE(kept, shown);
        QCOMPARE(PostSearchModel::emptyText(searchText), emptyText);
    }
};

QTEST_MAIN(TestFeedViewModel)
#include "tst_feedviewmodel.moc"
