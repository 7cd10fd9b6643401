// What a channel page decides from the channel alone: which cover and post photos are worth
// loading, the texts of its counts and buttons, and its post rows.
#include "ChannelDetailPresenter.h"

#include <QAbstractItemModelTester>
#include <QTest>

class TestChannelDetailPresenter : public QObject
{
    Q_OBJECT

    static QString photoOf(ChannelDetailPresenter &presenter, int row)
    {
        QAbstractItemModel *posts = presenter.postsModel();
        return posts->data(posts->index(row, 0), posts->roleNames().key("imageSource")).toString();
    }

private Q_SLOTS:
    void addresses_data()
    {
        QTest::addColumn<std::optional<QString>>("address");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << std::optional<QString>() << QString();
        QTest::newRow("empty") << std::optional<QString>(QString()) << QString();
        QTest::newRow("spaces inside") << std::optional<QString>(QStringLiteral("http://x/a b.png")) << QString();
        QTest::newRow("no address at all") << std::optional<QString>(QStringLiteral("::")) << QString();
        QTest::newRow("usable") << std::optional<QString>(QStringLiteral("http://127.0.0.1:9/c.png"))
                                << QStringLiteral("http://127.0.0.1:9/c.png");
    }
    void addresses()
    {
        QFETCH(std::optional<QString>, address);
        QFETCH(QString, shown);
        ChannelDetailPresenter presenter;
        QAbstractItemModelTester tester(presenter.postsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        Channel channel{.id = 3, .coverUrl = address};
        channel.posts =
            QList<ChannelPost>{ChannelPost{.id = 1, .channelId = 3, .text = QStringLiteral("a"), .imageUrl = address}};
        presenter.setChannel(QVariant::fromValue(channel));
        QCOMPARE(presenter.coverSource(), shown);
        QCOMPARE(photoOf(presenter, 0), shown);
    }

    void textsOfTheChannel()
    {
        ChannelDetailPresenter presenter;
        QAbstractItemModelTester tester(presenter.postsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        Channel channel{.id = 3, .userId = 4, .subscribersCount = 1234567, .isSubscribed = true};
        channel.category = QStringLiteral("Фото");
        channel.posts =
            QList<ChannelPost>{ChannelPost{.id = 1, .viewsCount = 0, .createdAtFormatted = QStringLiteral("вчера")},
                               ChannelPost{.id = 2, .viewsCount = 9876543210}};
        presenter.setChannel(QVariant::fromValue(channel));
        QCOMPARE(presenter.categoryLine(), QStringLiteral("Фото • 1234567 подписчиков"));
        QCOMPARE(presenter.subscribeButtonText(), QStringLiteral("Вы подписаны"));
        QVERIFY(presenter.hasPosts());
        QAbstractItemModel *posts = presenter.postsModel();
        const int views = posts->roleNames().key("viewsText");
        QCOMPARE(posts->data(posts->index(0, 0), views).toString(), QStringLiteral("0"));
        QCOMPARE(posts->data(posts->index(1, 0), views).toString(), QStringLiteral("9876543210"));

        // Someone else's channel: the visitor's text; the owner: the creator's.
        QVERIFY(!presenter.isCreator());
        QCOMPARE(presenter.noPostsText(), QStringLiteral("В этом канале пока нет публикаций."));
        presenter.setCurrentUser(QVariant::fromValue(User{.id = 4}));
        QVERIFY(presenter.isCreator());
        QCOMPARE(presenter.noPostsText(),
                 QStringLiteral("В вашем канале пока нет публикаций. Напишите первую запись вышe!"));
        QCOMPARE(presenter.property("currentUser").value<User>().id, 4);
        // Signed out (QML's null): a visitor again. An empty list is no posts.
        presenter.setCurrentUser(QVariant::fromValue(nullptr));
        QVERIFY(!presenter.isCreator());
        QCOMPARE(presenter.property("currentUser").metaType(), QMetaType::fromType<std::nullptr_t>());
        presenter.setCurrentUser(QVariant::fromValue(User{.id = 4}));
        channel.posts = QList<ChannelPost>();
        presenter.setChannel(QVariant::fromValue(channel));
        QVERIFY(!presenter.hasPosts());

        // A channel of no owner has no creator, and a list that is absent is no posts.
        channel.userId = std::nullopt;
        channel.posts = std::nullopt;
        channel.subscribersCount = 0;
        channel.isSubscribed = false;
        presenter.setChannel(QVariant::fromValue(channel));
        QVERIFY(!presenter.isCreator());
        QVERIFY(!presenter.hasPosts());
        QCOMPARE(posts->rowCount(), 0);
        QCOMPARE(presenter.categoryLine(), QStringLiteral("Фото • 0 подписчиков"));
        QCOMPARE(presenter.subscribeButtonText(), QStringLiteral("Подписаться"));
    }
};

QTEST_MAIN(TestChannelDetailPresenter)
#include "tst_channeldetailpresenter.moc"
