// What the channels screen lists and says: the segment's owner rule, the search over name,
// description and category, the section header and the empty-list texts, as one table over the
// screen's filtered list.
#include "ChannelJson.h"
#include "ChannelsViewModel.h"
#include "FilteredChannelsModel.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <memory>

using ChannelJson::Spec;

class TestChannelFilter : public QObject
{
    Q_OBJECT

    std::unique_ptr<ChannelsViewModel> m_full;
    std::unique_ptr<ChannelsViewModel> m_empty;
    FilteredChannelsModel m_filtered;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    // Ids of the listed rows, and of those the user owns, in list order.
    QString listed(bool ownersOnly) const
    {
        QStringList ids;
        for (int row = 0; row < m_filtered.rowCount(); ++row) {
            const QModelIndex index = m_filtered.index(row, 0);
            if (ownersOnly && !m_filtered.data(index, FilteredChannelsModel::IsOwnerRole).toBool())
                continue;
            const Channel channel = m_filtered.data(index, m_filtered.roleNames().key("channel")).value<Channel>();
            ids << QString::number(channel.id);
        }
        return ids.join(QLatin1Char(' '));
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScriptedResponder responder;
        responder.reply(
            200,
            ChannelJson::list(
                {{.id = 1, .owner = 1, .name = "Daily news", .description = "Every morning", .category = "Новости"},
                 {.id = 2, .owner = 2, .name = "news", .description = "short", .category = "Пресса"},
                 {.id = 3, .name = "Закаты и города", .description = "Фото городов", .category = "Фото"},
                 {.id = 4, .owner = 1, .name = "Кухня", .description = "Рецепты на каждый день", .category = "Еда"},
                 {.id = 5, .owner = 3, .name = "Вечер", .description = "", .category = "Джаз"},
                 {.id = 6, .owner = 2, .name = "Йога", .description = "Утро", .category = "Спорт"}}));
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        m_full = std::make_unique<ChannelsViewModel>();
        QTRY_COMPARE(m_full->channels().size(), 6);
        m_empty = std::make_unique<ChannelsViewModel>();
        QVERIFY(responder.waitForRequests(2));
        QTest::qWait(100);
        m_tester = std::make_unique<QAbstractItemModelTester>(&m_filtered,
                                                              QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void listAndTexts_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("segment");
        QTest::addColumn<QVariant>("user");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("owned");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("emptyText");

        const QVariant me = QVariant::fromValue(User{.id = 1});
        const QVariant other = QVariant::fromValue(User{.id = 2});
        const QVariant nobody = QVariant::fromValue(nullptr);
        const QString catalogue = QStringLiteral("Каналы & Паблики");
        const QString mine = QStringLiteral("Мои Каналы");
        const QString noneYet = QStringLiteral("Каналы пока не созданы.");
        const QString noOwn = QStringLiteral("У вас пока нет созданных каналов.");
        const auto notFound = [](const QString &search) {
            return QStringLiteral("Каналы не найдены по запросу '") + search + QLatin1Char('\'');
        };

        // The full catalogue unless "empty"; then the segment, the user, the search; then the ids
        // listed, those of them the user owns, the header and the empty-list text.
        const auto row = [](const char *name, bool empty, int segment, const QVariant &user, const QString &search,
                            const char *ids, const char *owned, const QString &header, const QString &emptyText) {
            QTest::newRow(name) << empty << segment << user << search << QString::fromLatin1(ids)
                                << QString::fromLatin1(owned) << header << emptyText;
        };
        row("catalogue", false, 0, me, "", "1 2 3 4 5 6", "1 4", catalogue, noneYet);
        row("own channels", false, 1, me, "", "1 4", "1 4", mine, noOwn);
        row("own channels of another user", false, 1, other, "", "2 6", "2 6", mine, noOwn);
        row("own channels without a user list everything", false, 1, nobody, "", "1 2 3 4 5 6", "", mine, noOwn);
        row("no own channel", false, 1, QVariant::fromValue(User{.id = 99}), "", "", "", mine, noOwn);
        row("own channels, none matching", false, 1, me, "Закат", "", "", mine, noOwn);
        // A search over the whole catalogue, which quotes the search as typed when nothing matches.
        const auto search = [&](const char *name, const QString &text, const char *ids, const char *owned) {
            row(name, false, 0, me, text, ids, owned, catalogue, notFound(text));
        };
        search("name", "кухн", "4", "4");
        search("description", "рецепт", "4", "4");
        search("category only", "джаз", "5", "");
        search("Cyrillic capitals", "ЗАКАТЫ", "3", "");
        search("Latin capitals", "DAILY", "1", "1");
        search("leading space", " news", "1", "1");
        search("trailing space", "news ", "", "");
        search("padded capitals quoted as typed", "  NEWS  ", "", "");
        search("spaces only", "   ", "1 2 3 4 5 6", "1 4");
        search("tab and line break only", "\t\n", "1 2 3 4 5 6", "1 4");
        search("decomposed letter finds the composed one", QStringLiteral("и\u0306"), "4 6", "4");
        row("empty catalogue", true, 0, me, "", "", "", catalogue, noneYet);
        row("empty catalogue, spaces", true, 0, me, "  ", "", "", catalogue, notFound("  "));
        row("empty catalogue, own", true, 1, me, "x", "", "", mine, noOwn);
    }

    void listAndTexts()
    {
        QFETCH(bool, empty);
        QFETCH(int, segment);
        QFETCH(QVariant, user);
        QFETCH(QString, search);
        QFETCH(QString, ids);
        QFETCH(QString, owned);
        QFETCH(QString, header);
        QFETCH(QString, emptyText);

        m_filtered.setViewModel(empty ? m_empty.get() : m_full.get());
        m_filtered.setCurrentUser(user);
        m_filtered.setSegment(segment);
        m_filtered.setSearchText(search);
        QCOMPARE(listed(false), ids);
        QCOMPARE(listed(true), owned);
        QCOMPARE(m_filtered.count(), ids.isEmpty() ? 0 : int(ids.split(QLatin1Char(' ')).size()));
        QCOMPARE(m_filtered.headerText(), header);
        QCOMPARE(m_filtered.emptyText(), emptyText);
    }

    // A toggle reaches the listed row at once, in either segment.
    void toggleReachesTheFilteredRow()
    {
        m_filtered.setViewModel(m_full.get());
        m_filtered.setCurrentUser(QVariant::fromValue(User{.id = 1}));
        m_filtered.setSegment(1);
        m_filtered.setSearchText(QString());
        const int textRole = m_filtered.roleNames().key("subscribersText");
        const int labelRole = m_filtered.roleNames().key("subscribeButtonText");
        QCOMPARE(m_filtered.data(m_filtered.index(1, 0), textRole).toString(), QStringLiteral("0 подписчиков"));
        m_full->toggleSubscribe(m_full->channels().at(3));
        QCOMPARE(m_filtered.data(m_filtered.index(1, 0), textRole).toString(), QStringLiteral("1 подписчиков"));
        QCOMPARE(m_filtered.data(m_filtered.index(1, 0), labelRole).toString(), QStringLiteral("Вы подписаны"));
        m_full->toggleSubscribe(m_full->channels().at(3));
        QCOMPARE(m_filtered.data(m_filtered.index(1, 0), labelRole).toString(), QStringLiteral("Подписаться"));
    }
};

QTEST_MAIN(TestChannelFilter)
#include "tst_channelfilter.moc"
