#include "CommentsViewModel.h"
#include "FeedReplies.h"
#include "FeedTestPosts.h"
#include "FeedViewModel.h"
#include "NetworkManager.h"
#include "PostComposerModel.h"
#include "PostSearchModel.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"
#include "app/ScreenDriver.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace FeedTestPosts;
using namespace FeedReplies;
using ScreenDriver::tap;
using ScreenDriver::text;

// The feed screen driven offscreen, with its sheets: against the real service, or a scripted one
// where the number of loads is counted.
class TestFeedView : public ServiceTestCase
{
    Q_OBJECT

    struct Screen
    {
        FeedViewModel model;
        // Made before the screen, whose loading runs the event loop: every landed load counts.
        QSignalSpy loads{&model, &FeedViewModel::postsChanged};
        QmlScreen screen;
        explicit Screen(const User &user)
            : screen(QStringLiteral("FeedView.qml"),
                     {{"feedViewModel", QVariant::fromValue(&model)}, {"currentUser", QVariant::fromValue(user)}})
        {
        }
        QQuickItem *find(const QString &name) const { return screen.find(name); }
        QQuickWindow *window() const { return screen.window(); }
        int cards() const { return find(QStringLiteral("feedList"))->property("count").toInt(); }
        void search(const QString &query) const { find(QStringLiteral("searchField"))->setProperty("text", query); }
        // Scrolls the card at `row` fully into view.
        void showRow(int row) const
        {
            QMetaObject::invokeMethod(find(QStringLiteral("feedList")), "positionViewAtIndex", Q_ARG(int, row),
                                      Q_ARG(int, 4 /* ListView.Contain */));
        }
        QQuickItem *inCard(qint64 postId, const QString &name) const
        {
            QQuickItem *card = find(QStringLiteral("postCard_%1").arg(postId));
            return card ? ScreenDriver::findIn(card, name) : nullptr;
        }
    };

    static int feedLoads(const ScriptedResponder &responder)
    {
        int count = 0;
        for (const auto &request : responder.requests())
            count += request.target == "/api/feed.php" && request.method == "GET" ? 1 : 0;
        return count;
    }

private Q_SLOTS:
    void searchNarrowsTheCardsAndSegmentsChangeNothing()
    {
        Screen feed(author());
        QVERIFY2(feed.screen.isReady(), qPrintable(feed.screen.errors()));
        auto *shown = feed.screen.root()->property("searchModel").value<QAbstractItemModel *>();
        QAbstractItemModelTester tester(shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_VERIFY(feed.cards() > 3);
        const int all = feed.cards();
        QQuickItem *empty = feed.find(QStringLiteral("feedEmptyText"));
        QVERIFY(!empty->isVisible());

        // Which posts a search keeps is tabled in tst_feedviewmodel.
        feed.search(QStringLiteral("ИВАН"));
        QVERIFY(feed.cards() > 0 && feed.cards() < all);
        QCOMPARE(shown->rowCount(), feed.cards());
        feed.search(QStringLiteral("zzz"));
        QCOMPARE(feed.cards(), 0);
        QVERIFY(empty->isVisible());
        QCOMPARE(text(empty), QStringLiteral("Ничего не найдено по запросу 'zzz'"));
        feed.search(QString());

        tap(feed.window(), feed.find(QStringLiteral("segment1")));
        QCOMPARE(feed.screen.root()->property("selectedFeedSegment").toInt(), 1);
        QCOMPARE(feed.cards(), all);
    }

    void likeAndRepostChangeTheCardAtOnce()
    {
        Screen feed(author(4));
        QVERIFY2(feed.screen.isReady(), qPrintable(feed.screen.errors()));
        QTRY_VERIFY(feed.cards() > 0);
        // Both loads of the start (the model's own and the screen's first appearance) have ended,
        // so no landing reply can undo the taps below.
        QTRY_VERIFY(!feed.model.isLoading());
        const Post first = feed.model.posts().first();
        QTRY_VERIFY(feed.inCard(first.id, QStringLiteral("likeButton")));
        tap(feed.window(), feed.inCard(first.id, QStringLiteral("likeButton")));
        QCOMPARE(text(feed.inCard(first.id, QStringLiteral("likeButtonCount"))), QString::number(first.likesCount + 1));
        tap(feed.window(), feed.inCard(first.id, QStringLiteral("repostButton")));
        QCOMPARE(text(feed.inCard(first.id, QStringLiteral("repostButtonCount"))),
                 QString::number(first.repostsCount + 1));
        QVERIFY(feed.model.posts().first().isLiked && feed.model.posts().first().isReposted);
    }

    // The photo goes up at once and stays through a failed second upload; its address, and the text
    // trimmed, go out with the post, which the service's stored one replaces in place and a search
    // typed before follows.
    void composerPublishesWithAPhoto()
    {
        Screen feed(author(1));
        QVERIFY2(feed.screen.isReady(), qPrintable(feed.screen.errors()));
        QTRY_VERIFY(feed.cards() > 0);
        auto *found = feed.screen.root()->property("searchModel").value<QAbstractItemModel *>();
        QAbstractItemModelTester tester(found, QAbstractItemModelTester::FailureReportingMode::QtTest);
        feed.search(QStringLiteral("закат С ФОТО"));
        tap(feed.window(), feed.find(QStringLiteral("composerButton")));
        QTRY_VERIFY(feed.find(QStringLiteral("publishButton")));
        QQuickItem *publish = feed.find(QStringLiteral("publishButton"));
        QQuickItem *editor = feed.find(QStringLiteral("postTextEditor"));
        QQuickItem *label = feed.find(QStringLiteral("photoAttachedLabel"));
        QVERIFY(!publish->isEnabled());
        QVERIFY(!label->isVisible());
        QCOMPARE(text(feed.find(QStringLiteral("composerAuthorName"))), QStringLiteral("Иван Петров"));
        editor->setProperty("text", QStringLiteral(" \n "));
        QVERIFY(!publish->isEnabled());
        editor->setProperty("text", QStringLiteral("  Закат с фото \n"));
        QVERIFY(publish->isEnabled());

        auto *composer = feed.find(QStringLiteral("createPostView"))->property("composer").value<PostComposerModel *>();
        QVERIFY(composer);
        QImage photo(30, 20, QImage::Format_RGB32);
        photo.fill(Qt::red);
        composer->uploadImage(photo);
        QVERIFY(feed.find(QStringLiteral("uploadIndicator"))->isVisible());
        QTRY_VERIFY(label->isVisible());
        QVERIFY(!feed.find(QStringLiteral("uploadIndicator"))->isVisible());
        QCOMPARE(text(label), QStringLiteral("Фотография успешно прикреплена к посту ✓"));
        const QString uploaded = composer->imageUrl();
        QVERIFY2(uploaded.startsWith(m_service.siteUrl() + QStringLiteral("/media/")), qPrintable(uploaded));
        {
            ScriptedResponder refusing;
            refusing.reply(200, R"({"success": false, "message": "Ошибка"})");
            NetworkManager::shared().setBaseURL(refusing.baseUrl());
            composer->uploadImage(photo);
            QTRY_VERIFY(!composer->isUploadingImage());
            NetworkManager::shared().setBaseURL(m_service.baseUrl());
        }
        QCOMPARE(composer->imageUrl(), uploaded);
        QVERIFY(label->isVisible());

        const QList<Post> before = feed.model.posts();
        tap(feed.window(), publish);
        const Post temporary = feed.model.posts().first();
        QCOMPARE(temporary.text, QStringLiteral("Закат с фото"));
        QCOMPARE(temporary.attachments.size(), 1);
        QCOMPARE(temporary.attachments.first().url, uploaded);
        QTRY_VERIFY(!feed.find(QStringLiteral("createPostView")));
        QTRY_VERIFY(feed.model.posts().first().id != temporary.id);
        const Post stored = feed.model.posts().first();
        QCOMPARE(stored.text, temporary.text);
        QCOMPARE(stored.author->id, 1);
        QCOMPARE(stored.attachments.size(), 1);
        QCOMPARE(stored.attachments.first().url, uploaded);
        QCOMPARE(feed.model.posts().mid(1), before);
        QCOMPARE(feed.cards(), 1);
        QCOMPARE(found->data(found->index(0, 0), found->roleNames().key("postId")).toString(),
                 QString::number(stored.id));
        feed.search(QString());
        // Opened again, the composer starts empty.
        tap(feed.window(), feed.find(QStringLiteral("composerButton")));
        QTRY_VERIFY(feed.find(QStringLiteral("postTextEditor")));
        QCOMPARE(text(feed.find(QStringLiteral("postTextEditor"))), QString());
        QVERIFY(!feed.find(QStringLiteral("photoAttachedLabel"))->isVisible());
        tap(feed.window(), feed.find(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!feed.find(QStringLiteral("createPostView")));
    }

    void commentsSheetShowsThePostTappedAndSends()
    {
        Screen feed(author(2));
        QVERIFY2(feed.screen.isReady(), qPrintable(feed.screen.errors()));
        QTRY_VERIFY(feed.cards() > 1);

        for (int row : {0, 1}) {
            const Post post = feed.model.posts().at(row);
            feed.showRow(row);
            QTRY_VERIFY(feed.inCard(post.id, QStringLiteral("commentButton")));
            tap(feed.window(), feed.inCard(post.id, QStringLiteral("commentButton")));
            QTRY_VERIFY(feed.find(QStringLiteral("commentsModalView")));
            QTRY_COMPARE(text(feed.find(QStringLiteral("commentsPostText"))), post.text);
            QTRY_COMPARE(text(feed.find(QStringLiteral("commentsSectionTitle"))),
                         QStringLiteral("Комментарии (%1)").arg(post.commentsCount));
            QCOMPARE(feed.find(QStringLiteral("commentsEmptyText"))->isVisible(), post.commentsCount == 0);
            tap(feed.window(), feed.find(QStringLiteral("navigationTrailingButton")));
            QTRY_VERIFY(!feed.find(QStringLiteral("commentsModalView")));
            QVERIFY(feed.screen.root()->property("selectedPostForComments").isNull());
        }

        // The sheet's load and a send may overlap, and then whichever ends later writes last: a load
        // ending after the service stored the comment, and before its reply, shows it twice. So the
        // send waits for the load, which can be seen to end only when it brings comments: the post
        // sent to has some.
        const QList<Post> posts = feed.model.posts();
        const auto withComments =
            std::find_if(posts.cbegin(), posts.cend(), [](const Post &post) { return post.commentsCount > 0; });
        QVERIFY(withComments != posts.cend());
        const Post commented = *withComments;
        feed.showRow(int(withComments - posts.cbegin()));
        QTRY_VERIFY(feed.inCard(commented.id, QStringLiteral("commentButton")));
        tap(feed.window(), feed.inCard(commented.id, QStringLiteral("commentButton")));
        QTRY_VERIFY(feed.find(QStringLiteral("commentsModalView")));
        QTRY_COMPARE(text(feed.find(QStringLiteral("commentsSectionTitle"))),
                     QStringLiteral("Комментарии (%1)").arg(commented.commentsCount));
        QQuickItem *field = feed.find(QStringLiteral("commentField"));
        QQuickItem *send = feed.find(QStringLiteral("sendButton"));
        QVERIFY(!send->isEnabled());
        field->setProperty("text", QStringLiteral("  \n"));
        QVERIFY(!send->isEnabled());
        field->setProperty("text", QStringLiteral(" Согласен "));
        QVERIFY(send->isEnabled());
        tap(feed.window(), send);
        QTRY_COMPARE(text(feed.find(QStringLiteral("commentsSectionTitle"))),
                     QStringLiteral("Комментарии (%1)").arg(commented.commentsCount + 1));
        const auto *comments =
            feed.find(QStringLiteral("commentsModalView"))->property("viewModel").value<CommentsViewModel *>();
        QVERIFY(comments);
        QCOMPARE(comments->comments().last().text, QStringLiteral("Согласен"));
        QCOMPARE(text(field), QString());
        QVERIFY(!send->isEnabled());
        tap(feed.window(), feed.find(QStringLiteral("navigationTrailingButton")));
        QTRY_VERIFY(!feed.find(QStringLiteral("commentsModalView")));
        // The card's count waits for the next load.
        QCOMPARE(text(feed.inCard(commented.id, QStringLiteral("commentButtonCount"))),
                 QString::number(commented.commentsCount));
    }

    // The screen loads when it comes into view: first shown, or uncovered when a pushed profile
    // closes. Closing a sheet over it loads nothing. An empty feed says so (the texts are tabled in
    // tst_feedviewmodel).
    void reloadsOnAppearanceOnly()
    {
        ScriptedResponder responder;
        responder.reply(200, "[]");
        responder.reply(200, "[]");
        for (int i = 0; i < 20; ++i)
            responder.reply(200, list({post(5, QStringLiteral("Одна запись"))}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        Screen feed(author());
        QVERIFY2(feed.screen.isReady(), qPrintable(feed.screen.errors()));
        QTRY_COMPARE(feedLoads(responder), 2);
        QQuickItem *empty = feed.find(QStringLiteral("feedEmptyText"));
        QVERIFY(empty->isVisible());
        QCOMPARE(text(empty), PostSearchModel::emptyText(QString()));
        feed.model.loadFeed();
        QTRY_VERIFY(feed.inCard(5, QStringLiteral("postHeader")));
        QVERIFY(!empty->isVisible());

        tap(feed.window(), feed.find(QStringLiteral("composerButton")));
        QTRY_VERIFY(feed.find(QStringLiteral("createPostView")));
        tap(feed.window(), feed.find(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!feed.find(QStringLiteral("createPostView")));
        tap(feed.window(), feed.inCard(5, QStringLiteral("commentButton")));
        QTRY_VERIFY(feed.find(QStringLiteral("commentsModalView")));
        tap(feed.window(), feed.find(QStringLiteral("navigationTrailingButton")));
        QTRY_VERIFY(!feed.find(QStringLiteral("commentsModalView")));
        QTest::qWait(100);
        QCOMPARE(feedLoads(responder), 3);

        QQuickItem *stack = feed.find(QStringLiteral("navigationStackView"));
        tap(feed.window(), feed.inCard(5, QStringLiteral("postAvatar")));
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        QQuickItem *page = feed.find(QStringLiteral("feedPage"));
        QTRY_VERIFY(!page->isVisible());
        tap(feed.window(), feed.find(QStringLiteral("navigationBackButton")));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QTRY_VERIFY(page->isVisible());
        QTRY_COMPARE(feedLoads(responder), 4);
    }
};

QTEST_MAIN(TestFeedView)
#include "tst_feedview.moc"
