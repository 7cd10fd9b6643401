// The channels screen and the channel page, loaded offscreen and driven by taps: the rows and
// their subscribe buttons, the page as creator and as visitor, a page never showing another
// channel's details or subscribers, the refetch each time the page comes back into view, and the
// creation buttons. Which texts a list or a page shows is decided, and tabled, in
// tst_channelfilter and tst_channeldetailpresenter.
#include "ChannelJson.h"
#include "ChannelsViewModel.h"
#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QTest>

namespace {

using ScreenDriver::findIn;

QString textOf(QQuickItem *root, const char *name)
{
    return ScreenDriver::text(findIn(root, QString::fromLatin1(name)));
}

bool shown(QQuickItem *root, const char *name)
{
    QQuickItem *item = findIn(root, QString::fromLatin1(name));
    return item && item->isVisible();
}

// Whether the service itself has the demo account subscribed to the channel: toggles are sent
// without waiting, so a test that flips and restores waits for this before the next one reads.
bool serviceHasSubscription(qint64 channelId, bool subscribed)
{
    ChannelsViewModel reader;
    reader.fetchChannelDetails(channelId);
    if (!QTest::qWaitFor([&] { return reader.selectedChannelDetails().has_value(); }, VORLANE_PATIENT_WAIT_MS))
        return false;
    return reader.selectedChannelDetails()->isSubscribed == subscribed;
}

QVariant demoUser()
{
    return QVariant::fromValue(User::demoUser());
}

// The channels screen loaded with a user, against whatever the network manager points at.
struct ChannelsScreen
{
    QmlScreen screen;

    explicit ChannelsScreen(const QVariant &user)
        : screen(QStringLiteral("ChannelsView.qml"), {{QStringLiteral("currentUser"), user}})
    {
    }

    ChannelsViewModel *model() const { return screen.root()->property("viewModel").value<ChannelsViewModel *>(); }
    QObject *stack() const
    {
        return screen.root()->property("navigation").value<QQuickItem *>()->property("stack").value<QObject *>();
    }
    // The depth once the stack has finished moving, so that taps land where the page rests.
    int depth() const { return stack()->property("busy").toBool() ? -1 : stack()->property("depth").toInt(); }
    QQuickItem *page() const { return stack()->property("currentItem").value<QQuickItem *>(); }
    QObject *presenter() const { return page()->property("presenter").value<QObject *>(); }
    QQuickItem *row(int index) const { return screen.find(QStringLiteral("channelRow%1").arg(index)); }
    QQuickItem *find(const char *name) const { return screen.find(QLatin1String(name)); }
    QString text(const char *name) const { return ScreenDriver::text(find(name)); }
    // Taps the item of this name under `root`, else anywhere on the screen.
    void tap(const char *name, QQuickItem *root = nullptr)
    {
        ScreenDriver::tap(screen.window(), root ? findIn(root, QLatin1String(name)) : find(name));
    }

    // Taps the row by its name, away from its button.
    void openRow(int index) { tap("channelName", row(index)); }
    void back() { tap("navigationBackButton"); }
    // Closes the page's subscribers sheet and waits until it has gone, dimmed background and all.
    void closeSheet()
    {
        tap("navigationTrailingButton");
        QObject *sheet = page()->findChild<QObject *>(QStringLiteral("subscribersSheet"));
        QVERIFY(sheet);
        QTRY_VERIFY(!sheet->property("visible").toBool());
    }
};

} // namespace

class TestChannelScreens : public ServiceTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void rowsAndTheirSubscribeButtons()
    {
        ChannelsScreen s(demoUser());
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QAbstractItemModelTester tester(s.model()->channelsModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_COMPARE(s.find("channelList")->property("count").toInt(), 3);
        // Newest first: the oldest channel stands last.
        QQuickItem *first = s.row(2);
        QCOMPARE(textOf(first, "channelName"), QStringLiteral("Vorlane Новости"));
        QCOMPARE(textOf(first, "channelCount"), QStringLiteral("5 подписчиков"));
        QVERIFY(shown(first, "channelSeal"));
        QCOMPARE(textOf(first, "rowSubscribeButton"), QStringLiteral("Вы подписаны"));
        // The demo account's own channel carries the mark instead of the button.
        QVERIFY(shown(s.row(1), "ownerMark"));
        QVERIFY(!shown(s.row(1), "rowSubscribeButton"));
        QVERIFY(!shown(s.row(1), "channelSeal"));
        QVERIFY(shown(s.row(0), "rowSubscribeButton"));

        // The button flips at once, opens nothing and reaches the service; a second tap restores its record.
        s.tap("rowSubscribeButton", first);
        QCOMPARE(textOf(first, "rowSubscribeButton"), QStringLiteral("Подписаться"));
        QCOMPARE(textOf(first, "channelCount"), QStringLiteral("4 подписчиков"));
        QCOMPARE(s.depth(), 1);
        QTRY_VERIFY(serviceHasSubscription(1, false));
        s.tap("rowSubscribeButton", first);
        QCOMPARE(textOf(first, "rowSubscribeButton"), QStringLiteral("Вы подписаны"));
        QTRY_VERIFY(serviceHasSubscription(1, true));

        // Typing filters; the own segment keeps the search.
        ScreenDriver::type(s.screen.window(), s.find("channelSearchField"), QStringLiteral("zz"));
        QTRY_COMPARE(s.find("channelList")->property("count").toInt(), 0);
        QCOMPARE(s.text("channelsEmptyText"), QStringLiteral("Каналы не найдены по запросу 'zz'"));
        s.tap("segment1");
        QCOMPARE(s.screen.root()->property("searchText").toString(), QStringLiteral("zz"));
    }

    void pageAsCreatorOrVisitor_data()
    {
        QTest::addColumn<QVariant>("user");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("creator");
        QTest::newRow("creator") << demoUser() << 1 << true;
        QTest::newRow("another user") << QVariant::fromValue(User{.id = 2}) << 1 << false;
    }
    void pageAsCreatorOrVisitor()
    {
        QFETCH(QVariant, user);
        QFETCH(int, row);
        QFETCH(bool, creator);
        ChannelsScreen s(user);
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QTRY_VERIFY(s.row(row));
        const QString name = textOf(s.row(row), "channelName");
        s.openRow(row);
        QTRY_COMPARE(s.depth(), 2);
        QQuickItem *page = s.page();
        QAbstractItemModelTester tester(s.presenter()->property("posts").value<QAbstractItemModel *>(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(page->property("title").toString(), name);
        QCOMPARE(textOf(page, "channelPageName"), name);
        // The catalogue copy has no posts; the details bring them.
        QTRY_VERIFY(findIn(page, QStringLiteral("postCard0")));
        QVERIFY(!shown(page, "noPostsText"));
        QCOMPARE(shown(page, "channelSettingsButton"), creator);
        QCOMPARE(shown(page, "creatorBadge"), creator);
        QCOMPARE(shown(page, "pageSubscribeButton"), !creator);
        QVERIFY(textOf(page, "subscribersButton").endsWith(QStringLiteral(" подписчиков")));
        QVERIFY(!textOf(findIn(page, QStringLiteral("postCard0")), "postViews").isEmpty());
        if (creator)
            return;

        // With the details in, a tap changes the page and the catalogue at once; a second restores both.
        const bool subscribed = s.model()->selectedChannelDetails()->isSubscribed;
        const QString label = textOf(page, "pageSubscribeButton");
        const QString line = textOf(page, "subscribersButton");
        s.tap("pageSubscribeButton", page);
        QVERIFY(textOf(page, "pageSubscribeButton") != label);
        QVERIFY(textOf(page, "subscribersButton") != line);
        QCOMPARE(s.model()->channels().at(row).isSubscribed, s.model()->selectedChannelDetails()->isSubscribed);
        QCOMPARE(s.model()->channels().at(row).subscribersCount, s.model()->selectedChannelDetails()->subscribersCount);
        s.tap("pageSubscribeButton", page);
        QCOMPARE(textOf(page, "pageSubscribeButton"), label);
        QCOMPARE(textOf(page, "subscribersButton"), line);
        QTRY_VERIFY(serviceHasSubscription(s.model()->selectedChannelDetails()->id, subscribed));
    }

    // Channel B opened after A shows B's catalogue copy and never A's details or subscribers, also
    // when B's own fetches never land or fail; its buttons act on B.
    void secondChannelShowsOnlyItsOwn()
    {
        ScriptedResponder responder;
        responder.reply(200, ChannelJson::list({{.id = 1, .owner = 5, .name = QStringLiteral("Канал A"), .count = 1},
                                                {.id = 2, .owner = 5, .name = QStringLiteral("Канал B"), .count = 2}}));
        responder.reply(200,
                        ChannelJson::one({.id = 1,
                                          .owner = 5,
                                          .name = QStringLiteral("Канал A свежий"),
                                          .count = 10,
                                          .posts = QJsonArray{ChannelJson::post(11, 1, QStringLiteral("пост A"))}}));
        responder.reply(200, R"([{"id":2,"username":"ivan"},{"id":3,"username":"maria"}])");
        responder.replyNothing(); // B's details never arrive
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsScreen s(demoUser());
        QTRY_VERIFY(s.row(1));
        s.openRow(0);
        QTRY_COMPARE(s.depth(), 2);
        QTRY_COMPARE(textOf(s.page(), "channelPageName"), QStringLiteral("Канал A свежий"));
        QCOMPARE(textOf(findIn(s.page(), QStringLiteral("postCard0")), "postText"), QStringLiteral("пост A"));
        s.tap("subscribersButton", s.page());
        QQuickItem *list = nullptr;
        QTRY_VERIFY((list = s.find("userList")) && list->property("count").toInt() == 2);
        QCOMPARE(s.text("navigationTitle"), QStringLiteral("Подписчики канала"));
        s.closeSheet();
        s.back();
        QTRY_COMPARE(s.depth(), 1);

        s.openRow(1);
        QTRY_COMPARE(s.depth(), 2);
        QQuickItem *page = s.page();
        QCOMPARE(page->property("title").toString(), QStringLiteral("Канал B"));
        QCOMPARE(textOf(page, "subscribersButton"), QStringLiteral("Паблик • 2 подписчиков"));
        QVERIFY(!findIn(page, QStringLiteral("postCard0")));
        QVERIFY(shown(page, "noPostsText"));
        QCOMPARE(s.model()->selectedChannelDetails()->id, 1); // A's details are still the model's

        // The sheet opens empty, not with A's list, and stays empty when B's list fails.
        s.tap("subscribersButton", page);
        QCOMPARE(s.presenter()->property("subscribers").toList().size(), 0);
        QVERIFY(responder.waitForRequests(5));
        QTRY_VERIFY((list = s.find("userList")) && list->isVisible());
        QTest::qWait(150);
        QCOMPARE(list->property("count").toInt(), 0);
        QCOMPARE(responder.requests().at(4).target, QByteArray("/api/channels.php?action=subscribers&channel_id=2"));
        s.closeSheet();

        // The button acts on B: B's catalogue entry flips, A's entry and A's details stay. (Until B's
        // details arrive the page goes on showing the copy it was opened with.)
        s.tap("pageSubscribeButton", page);
        QCOMPARE(s.model()->channels().at(1).isSubscribed, true);
        QCOMPARE(s.model()->channels().at(1).subscribersCount, 3);
        QCOMPARE(s.model()->channels().at(0).isSubscribed, false);
        QCOMPARE(s.model()->selectedChannelDetails()->isSubscribed, false);
    }

    // The page asks for its channel when pushed and again each time the tab shows it again.
    void pageRefetchesWhenItComesBack()
    {
        ScriptedResponder responder;
        responder.reply(200, ChannelJson::list({{.id = 1, .name = QStringLiteral("Канал"), .count = 1}}));
        responder.reply(200, ChannelJson::one({.id = 1, .name = QStringLiteral("Канал"), .count = 10}));
        responder.reply(200, ChannelJson::one({.id = 1, .name = QStringLiteral("Канал"), .count = 11}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsScreen s(demoUser());
        QTRY_VERIFY(s.row(0));
        s.openRow(0);
        QTRY_COMPARE(textOf(s.page(), "subscribersButton"), QStringLiteral("Паблик • 10 подписчиков"));
        QCOMPARE(responder.requests().size(), 2);

        // Another tab is shown, then this one again.
        s.screen.root()->setVisible(false);
        s.screen.root()->setVisible(true);
        QVERIFY(responder.waitForRequests(3));
        QCOMPARE(responder.requests().at(2).target, QByteArray("/api/channels.php?channel_id=1"));
        QTRY_COMPARE(textOf(s.page(), "subscribersButton"), QStringLiteral("Паблик • 11 подписчиков"));
    }

    void emptyCatalogueAndTheFormButtons()
    {
        ScriptedResponder responder;
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsScreen s(demoUser());
        QVERIFY(responder.waitForRequests(1));
        QTRY_VERIFY(shown(s.screen.root(), "createChannelEmptyButton"));
        QCOMPARE(s.text("channelsEmptyText"), QStringLiteral("Каналы пока не созданы."));
        // Each button opens the creation form; the form's sheet is closed between the taps.
        // The sheet moves under the window's overlay once the screen is in its window; look in both.
        QObject *sheet = nullptr;
        QTRY_VERIFY((sheet = s.screen.findObject(QStringLiteral("createChannelSheet"))));
        for (const char *button : {"createChannelEmptyButton", "createChannelHeaderButton"}) {
            s.tap(button);
            QTRY_VERIFY(sheet->property("opened").toBool() && s.find("nameField"));
            QMetaObject::invokeMethod(sheet, "close");
            QTRY_VERIFY(!sheet->property("visible").toBool());
        }
    }
};

QTEST_MAIN(TestChannelScreens)
#include "tst_channelscreens.moc"
