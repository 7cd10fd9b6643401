// The channels model's writes: what each sends, what it returns for every kind of reply, and what
// it changes or fetches again before and after returning.
#include "ChannelsViewModel.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

namespace {
const QByteArray Catalogue = R"([{"id":1,"user_id":1,"name":"Первый","description":"","subscribers_count":3,
"is_subscribed":false,"is_verified":false,"category":"Паблик"},{"id":2,"name":"Второй","description":"о нём",
"subscribers_count":0,"is_subscribed":true,"is_verified":true,"category":"Игры"}])";
const QByteArray NewChannel = R"({"id":9,"user_id":4,"name":"Новый","description":"","subscribers_count":0,
"is_subscribed":false,"is_verified":false,"category":"Паблик"})";
const QByteArray NewPost = R"({"id":70,"channel_id":5,"text":" Привет ","likes_count":0,"views_count":0,
"created_at_formatted":"только что","image_url":"http://127.0.0.1/p.jpg"})";
// The selected channel, once with a post and once without the "posts" key at all.
const QByteArray DetailsWithPost = R"({"id":5,"user_id":1,"name":"Пятый","description":"","subscribers_count":1,
"is_subscribed":false,"is_verified":false,"category":"Паблик","posts":[{"id":60,"channel_id":5,"text":"старый",
"likes_count":2,"views_count":8,"created_at_formatted":"вчера"}]})";
const QByteArray DetailsWithoutPosts = R"({"id":5,"user_id":1,"name":"Пятый","description":"","subscribers_count":1,
"is_subscribed":false,"is_verified":false,"category":"Паблик"})";
const QByteArray OtherDetails = R"({"id":6,"name":"Шестой","description":"","subscribers_count":1,
"is_subscribed":false,"is_verified":false,"category":"Паблик","posts":[]})";

QByteArray ok(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

const QByteArray Unauthorized = "HTTP/1.1 401 Unauthorized\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}";
const QByteArray CutOff = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 90\r\n\r\n{\"succ";

QList<Channel> channelsOf(const QByteArray &json)
{
    return decodeJson<QList<Channel>>(json);
}
} // namespace

class tst_ChannelWrites : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedResponder> m_responder;
    std::unique_ptr<ChannelsViewModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    // A model whose first load brought the two-channel catalogue, and optionally selected details.
    void makeModel(const QByteArray &details)
    {
        m_responder = std::make_unique<ScriptedResponder>();
        NetworkManager::shared().setBaseURL(m_responder->baseUrl());
        m_responder->reply(ok(Catalogue));
        m_model = std::make_unique<ChannelsViewModel>();
        m_tester = std::make_unique<QAbstractItemModelTester>(m_model->channelsModel());
        QTRY_COMPARE(m_model->channels().size(), 2);
        if (!details.isEmpty()) {
            m_responder->reply(ok(details));
            m_model->fetchChannelDetails(details.contains("\"id\":5") ? 5 : 6);
            QTRY_VERIFY(m_model->selectedChannelDetails().has_value());
        }
    }

    // The targets of the requests after the first `skip`, sorted: follow-ups have no fixed order.
    QStringList targetsAfter(qsizetype skip) const
    {
        QStringList targets;
        for (qsizetype i = skip; i < m_responder->requests().size(); ++i) {
            const auto &request = m_responder->requests().at(i);
            targets.append(QString::fromLatin1(request.method + ' ' + request.target));
        }
        targets.sort();
        return targets;
    }

private Q_SLOTS:
    void outcomes_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("details");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("fetchedAgain");
        // What the model holds when the result is returned: "catalogue" and "details" unchanged,
        // "inserted" the new channel first, "prepended" the new post first in the details.
        QTest::addColumn<QString>("effect");

        const QStringList none;
        const QStringList reload{QStringLiteral("GET /api/channels.php")};
        const QStringList refetch{QStringLiteral("GET /api/channels.php"),
                                  QStringLiteral("GET /api/channels.php?channel_id=5")};
        const QByteArray refused = ok(R"({"success":false,"message":"Нельзя"})");
        const QByteArray posted = ok(R"({"success":true,"data":)" + NewPost + "}");
        const auto row = [](const char *name, const QByteArray &details, const QByteArray &reply, bool result,
                            const QStringList &fetchedAgain, const char *effect) {
            const QString operation = QString::fromLatin1(name).section(QLatin1Char(':'), 0, 0);
            QTest::newRow(name) << operation << details << reply << result << fetchedAgain
                                << QString::fromLatin1(effect);
        };

        row("create: channel returned", {}, ok(R"({"success":true,"data":)" + NewChannel + "}"), true, none,
            "inserted");
        row("create: success without channel", {}, ok(R"({"success":true,"message":"ok"})"), true, reload, "catalogue");
        row("create: success with null data", {}, ok(R"({"success":true,"data":null})"), true, reload, "catalogue");
        row("create: refused", {}, refused, false, reload, "catalogue");
        row("create: data no channel", {}, ok(R"({"success":true,"data":{"id":9}})"), false, reload, "catalogue");
        row("create: unauthorized", {}, Unauthorized, false, reload, "catalogue");
        row("create: cut off", {}, CutOff, false, reload, "catalogue");

        row("edit: success", {}, ok(R"({"success":true,"message":"ok"})"), true, refetch, "catalogue");
        row("edit: success, null data", {}, ok(R"({"success":true,"data":null})"), true, refetch, "catalogue");
        row("edit: success, text data", {}, ok(R"({"success":true,"data":"готово"})"), true, refetch, "catalogue");
        row("edit: refused", {}, refused, false, refetch, "catalogue");
        row("edit: data no text", {}, ok(R"({"success":true,"data":{"a":1}})"), false, none, "catalogue");
        row("edit: unauthorized", {}, Unauthorized, false, none, "catalogue");
        row("edit: cut off", {}, CutOff, false, none, "catalogue");

        row("post: selected channel", DetailsWithPost, posted, true, none, "prepended");
        row("post: selected without posts", DetailsWithoutPosts, posted, true, none, "prepended");
        row("post: other channel selected", OtherDetails, posted, true, none, "details");
        row("post: nothing selected", {}, posted, true, none, "catalogue");
        row("post: success without post", DetailsWithPost, ok(R"({"success":true})"), false, none, "details");
        row("post: refused", DetailsWithPost, refused, false, none, "details");
        row("post: data no post", DetailsWithPost, ok(R"({"success":true,"data":"x"})"), false, none, "details");
        row("post: cut off", DetailsWithPost, CutOff, false, none, "details");
    }

    void outcomes()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, details);
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(QStringList, fetchedAgain);
        QFETCH(QString, effect);

        makeModel(details);
        const std::optional<Channel> detailsBefore = m_model->selectedChannelDetails();
        const qsizetype before = m_responder->requests().size();
        m_responder->reply(reply);
        // Every follow-up and the closing probe get the catalogue; a details fetch cannot decode it.
        for (int i = 0; i < 3; ++i)
            m_responder->reply(ok(Catalogue));

        QJsonObject expectedBody;
        TaskOutcome<bool> outcome;
        if (operation == QLatin1String("create")) {
            outcome = runToEnd(m_model->createChannel(QStringLiteral(" Новый "), QString(), QStringLiteral("Паблик"),
                                                      QString(), QStringLiteral("http://h/c.jpg"), 4));
            expectedBody = {{"action", "create"},   {"name", " Новый "}, {"description", ""},
                            {"category", "Паблик"}, {"avatar_url", ""},  {"cover_url", "http://h/c.jpg"},
                            {"user_id", 4}};
        } else if (operation == QLatin1String("edit")) {
            outcome = runToEnd(m_model->editChannel(5, QStringLiteral("Имя"), QStringLiteral("о\nнём"), QString(),
                                                    QStringLiteral("http://h/a.jpg"), QString()));
            expectedBody = {{"action", "edit"},        {"channel_id", 5}, {"name", "Имя"},
                            {"description", "о\nнём"}, {"category", ""},  {"avatar_url", "http://h/a.jpg"},
                            {"cover_url", ""}};
        } else {
            outcome = runToEnd(m_model->createChannelPost(5, QStringLiteral(" Привет "), QString()));
            expectedBody = {{"action", "create_post"}, {"channel_id", 5}, {"text", " Привет "}, {"image_url", ""}};
        }
        QVERIFY(!outcome.error);
        QCOMPARE(*outcome.value, result);

        // Read at the moment the result arrives, before anything fetched again can land.
        QList<Channel> catalogue = channelsOf(Catalogue);
        if (effect == QLatin1String("inserted"))
            catalogue.prepend(decodeJson<Channel>(NewChannel));
        QCOMPARE(m_model->channels(), catalogue);
        std::optional<Channel> expectedDetails = detailsBefore;
        if (effect == QLatin1String("prepended")) {
            QList<ChannelPost> posts = expectedDetails->posts.value_or(QList<ChannelPost>());
            posts.prepend(decodeJson<ChannelPost>(NewPost));
            expectedDetails->posts = posts;
        }
        QCOMPARE(m_model->selectedChannelDetails(), expectedDetails);

        const auto &post = m_responder->requests().at(before);
        QCOMPARE(post.method, QByteArray("POST"));
        QCOMPARE(post.target, QByteArray("/api/channels.php"));
        QCOMPARE(QJsonDocument::fromJson(post.body).object(), expectedBody);

        // A probe sent now arrives after anything the operation started.
        QVERIFY(!runToEnd(NetworkManager::shared().request<QList<Channel>>(QStringLiteral("probe"))).error);
        QVERIFY(m_responder->waitForRequests(int(before + 2 + fetchedAgain.size())));
        fetchedAgain.append(QStringLiteral("GET /api/probe"));
        fetchedAgain.sort();
        QCOMPARE(targetsAfter(before + 1), fetchedAgain);
    }

    // A channel made while the first load is still on its way is inserted, then that load's list
    // replaces it, as the catalogue on the service would.
    void aLoadLandingAfterACreationReplacesTheList()
    {
        m_responder = std::make_unique<ScriptedResponder>();
        NetworkManager::shared().setBaseURL(m_responder->baseUrl());
        m_responder->replyNothing();
        m_model = std::make_unique<ChannelsViewModel>();
        QVERIFY(m_responder->waitForRequests(1));
        m_responder->reply(ok(R"({"success":true,"data":)" + NewChannel + "}"));
        QCOMPARE(*runToEnd(m_model->createChannel(QStringLiteral("Новый"), {}, {}, {}, {})).value, true);
        QCOMPARE(m_model->channels().size(), 1);
        QVERIFY(m_responder->answerWaiting(200, Catalogue));
        QTRY_COMPARE(m_model->channels(), channelsOf(Catalogue));
    }

    // A write whose model is gone by the time the reply lands reports its result and touches nothing.
    void aModelGoneBeforeTheReplyIsLeftAlone()
    {
        makeModel(DetailsWithPost);
        m_responder->replyNothing();
        auto task = m_model->createChannelPost(5, QStringLiteral("x"), QString());
        QVERIFY(m_responder->waitForRequests(3));
        m_tester.reset();
        m_model.reset();
        QVERIFY(m_responder->answerWaiting(200, R"({"success":true,"data":)" + NewPost + "}"));
        QCOMPARE(*runToEnd(std::move(task)).value, true);
    }

    // The real service keeps what was sent: texts as typed, empty addresses as none, the owner.
    void theServiceStoresWhatWasSent()
    {
        ServiceProcess service;
        QVERIFY2(service.start(), qPrintable(service.errors()));
        NetworkManager::shared().setBaseURL(service.baseUrl());
        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel());
        QTRY_VERIFY(!model.channels().isEmpty());
        const qsizetype count = model.channels().size();

        const QString avatar = service.siteUrl() + QStringLiteral("/media/a.jpg");
        QVERIFY(*runToEnd(model.createChannel(QStringLiteral(" "), QString(), QString(), avatar, QString())).value);
        QCOMPARE(model.channels().size(), count + 1);
        const Channel made = model.channels().constFirst();
        QCOMPARE(made.name, QStringLiteral(" "));
        QCOMPARE(made.userId, std::optional<qint64>(1));
        QCOMPARE(made.avatarUrl, std::optional<QString>(avatar));
        QVERIFY(!made.coverUrl);
        QCOMPARE(made.subscribersCount, qint64(0));

        QVERIFY(*runToEnd(model.editChannel(made.id, QStringLiteral("Канал"), QStringLiteral(" о нём\n"),
                                            QStringLiteral("Игры"), QString(), avatar))
                     .value);
        QTRY_VERIFY(model.selectedChannelDetails() && model.selectedChannelDetails()->id == made.id);
        Channel edited = *model.selectedChannelDetails();
        QCOMPARE(edited.name, QStringLiteral("Канал"));
        QCOMPARE(edited.description, QStringLiteral(" о нём\n"));
        QCOMPARE(edited.category, QStringLiteral("Игры"));
        QVERIFY(!edited.avatarUrl);
        QCOMPARE(edited.coverUrl, std::optional<QString>(avatar));
        QCOMPARE(edited.userId, std::optional<qint64>(1));
        // The catalogue entry keeps the owner and the addresses too: the editing form starts from it.
        const auto listed = [&] {
            for (const Channel &channel : model.channels())
                if (channel.id == made.id)
                    return channel;
            return Channel();
        };
        QTRY_COMPARE(listed().name, QStringLiteral("Канал"));
        QCOMPARE(listed().userId, std::optional<qint64>(1));
        QCOMPARE(listed().coverUrl, std::optional<QString>(avatar));
        QVERIFY(!listed().avatarUrl);

        QVERIFY(*runToEnd(model.createChannelPost(made.id, QStringLiteral("\n первый "), QString())).value);
        QVERIFY(*runToEnd(model.createChannelPost(made.id, QStringLiteral("второй"), avatar)).value);
        const QList<ChannelPost> shown = model.selectedChannelDetails()->posts.value();
        ChannelsViewModel reader;
        reader.fetchChannelDetails(made.id);
        QTRY_VERIFY(reader.selectedChannelDetails().has_value());
        const QList<ChannelPost> stored = reader.selectedChannelDetails()->posts.value();
        QCOMPARE(shown, stored);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0).text, QStringLiteral("второй"));
        QCOMPARE(stored.at(0).imageUrl, std::optional<QString>(avatar));
        QCOMPARE(stored.at(1).text, QStringLiteral("\n первый "));
        QVERIFY(!stored.at(1).imageUrl);
    }
};

QTEST_MAIN(tst_ChannelWrites)
#include "tst_channelwrites.moc"
