#include "CommentsViewModel.h"
#include "FeedReplies.h"
#include "FeedTestPosts.h"
#include "FeedViewModel.h"
#include "NetworkManager.h"
#include "PostComposerModel.h"
#include "ScriptedResponder.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QTest>

using namespace FeedTestPosts;
using namespace FeedReplies;

// The composer's and the comments sheet's models: what they send and keep, against a scripted
// service. The real service's comments are sent through the screen (tst_feedview).
class TestFeedForms : public QObject
{
    Q_OBJECT

    static QImage photo()
    {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        return image;
    }

    static QByteArray commentJson(qint64 id, const QString &text)
    {
        Comment comment;
        comment.id = id;
        comment.postId = 1;
        comment.author = author(7);
        comment.text = text;
        return comment.toJson();
    }

private Q_SLOTS:
    // Publishing while the first upload still runs sends no photo; an upload that ends after the
    // composer is gone touches nothing.
    void publishDuringAnUploadSendsNoPhotoAndTheLateUploadIsDropped()
    {
        ScriptedResponder responder;
        responder.reply(200, "[]");
        responder.replyNothing();
        responder.reply(200, R"({"success": true})");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        FeedViewModel feed;
        QTRY_VERIFY(!feed.isLoading());
        auto composer = std::make_unique<PostComposerModel>();
        composer->uploadImage(photo());
        QVERIFY(responder.waitForRequests(2));
        composer->setTextInput(QStringLiteral("Без фото"));
        composer->publish(&feed, QVariant::fromValue(author(1)));
        QVERIFY(responder.waitForRequests(3));
        QCOMPARE(body(responder.requests().at(2).body).value("image_url"), QJsonValue(QString()));
        composer.reset();
        QVERIFY(
            responder.answerWaiting(200, "{\"success\": true, \"data\": {\"url\": \"http://127.0.0.1:9/late.jpg\"}}"));
        QTest::qWait(100);
        QVERIFY(feed.posts().first().attachments.isEmpty());
    }

    void sendKeepsTheTextUnlessTheServiceReturnsTheComment_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("appended");
        QTest::newRow("comment returned")
            << QByteArray(R"({"success": true, "data": )" + commentJson(9, "Да") + "}") << true;
        QTest::newRow("success without data") << QByteArray(R"({"success": true})") << false;
        QTest::newRow("refused") << QByteArray(R"({"success": false, "message": "Нет"})") << false;
        QTest::newRow("undecodable") << QByteArray("<html>") << false;
    }
    void sendKeepsTheTextUnlessTheServiceReturnsTheComment()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, appended);
        ScriptedResponder responder;
        responder.reply(200, "[" + commentJson(1, QStringLiteral("Первый")) + "]");
        responder.reply(200, reply);
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        CommentsViewModel comments;
        QAbstractItemModelTester tester(comments.commentsModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        comments.setPost(post(-3, QStringLiteral("Запись")));
        comments.setCurrentUser(author(7));
        comments.loadComments();
        QTRY_COMPARE(comments.comments().size(), 1);
        QCOMPARE(responder.requests().at(0).target, QByteArray("/api/feed.php?action=comments&post_id=-3"));
        comments.setCommentText(QStringLiteral(" Да "));
        comments.sendComment();
        QVERIFY(responder.waitForRequests(2));
        const auto &request = responder.requests().at(1);
        QCOMPARE(request.method + ' ' + request.target, QByteArray("POST /api/feed.php"));
        QCOMPARE(body(request.body),
                 (QJsonObject{{"action", "comment"}, {"post_id", -3}, {"user_id", 7}, {"text", QStringLiteral("Да")}}));
        if (appended)
            QTRY_COMPARE(comments.comments().size(), 2);
        else
            QTest::qWait(100);
        QCOMPARE(comments.comments().size(), appended ? 2 : 1);
        QCOMPARE(comments.commentText(), appended ? QString() : QStringLiteral(" Да "));
    }

    // The composer's sheet closes at the first press; a second one reaching it while it slides
    // away posts nothing more.
    void theComposerPublishesOnce()
    {
        ScriptedResponder responder;
        responder.reply(200, "[]");
        responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        FeedViewModel feed;
        QTRY_VERIFY(!feed.isLoading());
        PostComposerModel composer;
        composer.setTextInput(QStringLiteral("Один раз"));
        composer.publish(&feed, QVariant::fromValue(author(1)));
        composer.publish(&feed, QVariant::fromValue(author(1)));
        QCOMPARE(feed.posts().size(), 1);
        QVERIFY(responder.waitForRequests(2));

        responder.reply(200, "[]");
        feed.loadFeed();
        QVERIFY(responder.waitForRequests(3));
        QCOMPARE(responder.requests().at(2).method, QByteArray("GET"));
    }

    // A press while a comment is on its way sends nothing; the next comment, typed after the
    // first landed, goes out.
    void aCommentOnItsWayTakesNoSecondPress()
    {
        ScriptedResponder responder;
        responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        CommentsViewModel comments;
        comments.setPost(post(1, QString()));
        comments.setCommentText(QStringLiteral("Первый"));
        comments.sendComment();
        comments.sendComment();
        QVERIFY(responder.waitForRequests(1));
        QVERIFY(responder.answerWaiting(200, R"({"success": true, "data": )" + commentJson(9, "Первый") + "}"));
        QTRY_COMPARE(comments.comments().size(), 1);
        comments.sendComment(); // the field is empty now

        responder.reply(200, R"({"success": true, "data": )" + commentJson(10, "Второй") + "}");
        comments.setCommentText(QStringLiteral("Второй"));
        comments.sendComment();
        QTRY_COMPARE(comments.comments().size(), 2);
        QCOMPARE(responder.requests().size(), 2);
        QCOMPARE(body(responder.requests().at(1).body).value("text"), QJsonValue(QStringLiteral("Второй")));
    }

    void sendEndingAfterTheSheetClosedTouchesNothing()
    {
        ScriptedResponder responder;
        responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        auto comments = std::make_unique<CommentsViewModel>();
        comments->setPost(post(1, QString()));
        comments->setCommentText(QStringLiteral("Поздно"));
        comments->sendComment();
        QVERIFY(responder.waitForRequests(1));
        comments.reset();
        QVERIFY(responder.answerWaiting(200, R"({"success": true, "data": )" + commentJson(9, "Поздно") + "}"));
        QTest::qWait(100);
    }
};

QTEST_MAIN(TestFeedForms)
#include "tst_feedforms.moc"
