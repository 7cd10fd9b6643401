#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"
#include "VideoSamples.h"
#include "VideoViewModel.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// The catalogue's model against the reference service, and against scripted replies for what the
// service never answers.
class TestVideoViewModel : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;

    static QStringList titles(const VideoViewModel &model)
    {
        QStringList list;
        for (const Video &video : model.videos())
            list << video.title;
        return list;
    }

    // Runs a registration and notes the model's first video at the moment the result comes back.
    static bool registerVideo(VideoViewModel &model, const QString &title,
                              std::optional<Video> *firstAtResult = nullptr,
                              const QString &description = QStringLiteral("d"), const QString &thumbnailUrl = {})
    {
        auto run = [&]() -> QCoro::Task<bool> {
            const bool result = co_await model.uploadNewVideo(
                title, description, QStringLiteral("http://127.0.0.1/media/v.mp4"), thumbnailUrl);
            if (firstAtResult && !model.videos().isEmpty())
                *firstAtResult = model.videos().first();
            co_return result;
        };
        return runToEnd(run()).value.value_or(false);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_service.start(), qPrintable(m_service.errors())); }
    void init() { NetworkManager::shared().setBaseURL(m_service.baseUrl()); }

    // The list comes once, when the model is made: a registration, which sends the four strings
    // exactly as given, asks for no list afterwards.
    void fetchesOnceWhenMade()
    {
        ScriptedResponder responder;
        responder.reply(200, VideoSamples::list({{1, "Первое"}, {2, "Второе"}}));
        responder.reply(200, VideoSamples::registered(3, QStringLiteral(" ")));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        VideoViewModel model;
        QTRY_COMPARE(model.videos().size(), 2);
        QVERIFY(registerVideo(model, QStringLiteral(" "), nullptr, QString(), QString()));
        QTest::qWait(200);
        QCOMPARE(responder.requests().size(), 2);
        QCOMPARE(responder.requests().at(0).method, QByteArray("GET"));
        QCOMPARE(responder.requests().at(0).target, QByteArray("/api/videos.php"));
        const ScriptedResponder::Request &sent = responder.requests().at(1);
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.target, QByteArray("/api/video_upload.php"));
        QCOMPARE(sent.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(QJsonDocument::fromJson(sent.body).object(),
                 QJsonObject({{"title", " "},
                              {"description", ""},
                              {"video_url", "http://127.0.0.1/media/v.mp4"},
                              {"thumbnail_url", ""}}));
        QCOMPARE(titles(model), QStringList({" ", "Первое", "Второе"}));
    }

    // A reply that is not what was asked for leaves the list exactly as it was; a registration so
    // answered is a failure.
    void badRepliesChangeNothing_data()
    {
        QTest::addColumn<bool>("registering");
        QTest::addColumn<int>("status"); // 0: nothing listens
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("fetch: not a list") << false << 200 << QByteArray(R"({"videos": []})");
        QTest::newRow("fetch: a video without a key") << false << 200 << QByteArray(R"([{"id": 1, "title": "x"}])");
        QTest::newRow("fetch: refusal") << false << 200 << QByteArray(R"({"success": false, "message": "Нет"})");
        QTest::newRow("fetch: unauthorised") << false << 401 << QByteArray("{}");
        QTest::newRow("success without data") << true << 200 << QByteArray(R"({"success": true, "message": "ok"})");
        QTest::newRow("refusal with a message")
            << true << 200 << QByteArray(R"({"success": false, "message": "Запрещено"})");
        QTest::newRow("refusal with a video")
            << true << 200 << VideoSamples::registered(5, "x").replace("true", "false");
        QTest::newRow("data that is no video") << true << 200 << QByteArray(R"({"success": true, "data": {"id": 5}})");
        QTest::newRow("not json") << true << 200 << QByteArray("<html>502</html>");
        QTest::newRow("unauthorised") << true << 401 << VideoSamples::registered(5, "x");
        QTest::newRow("connection refused") << true << 0 << QByteArray();
    }
    void badRepliesChangeNothing()
    {
        QFETCH(bool, registering);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        ScriptedResponder responder;
        responder.reply(200, VideoSamples::list({{1, "Первое"}, {2, "Второе"}}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        VideoViewModel model;
        QTRY_COMPARE(model.videos().size(), 2);
        const QList<Video> before = model.videos();
        QAbstractItemModelTester tester(model.videosModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (status == 0)
            NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        else
            responder.reply(status, reply);
        if (registering) {
            QVERIFY(!registerVideo(model, QStringLiteral("x")));
        } else {
            model.loadVideos();
            QVERIFY(responder.waitForRequests(2));
            QTest::qWait(100);
        }
        QCOMPARE(model.videos(), before);
    }

    // Two registrations in a row: the later one first, each put there before its true comes back,
    // as one inserted row that a model tester follows. What the service stores is read in
    // tst_service_videoupload.
    void registrationsGoFirstInOrder()
    {
        VideoViewModel model;
        QTRY_VERIFY(!model.videos().isEmpty());
        const QStringList before = titles(model);
        QAbstractItemModelTester tester(model.videosModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        int resets = 0;
        connect(model.videosModel(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });

        std::optional<Video> first;
        QVERIFY(registerVideo(model, QStringLiteral("  Как есть "), &first, QString(), QString()));
        QCOMPARE(first->title, QStringLiteral("  Как есть "));
        QVERIFY(registerVideo(model, QStringLiteral("Вторая"), &first));
        QCOMPARE(first->title, QStringLiteral("Вторая"));
        QCOMPARE(titles(model), QStringList({"Вторая", "  Как есть "}) + before);
        QCOMPARE(resets, 0);
        const QModelIndex top = model.videosModel()->index(0);
        QCOMPARE(top.data(model.videosModel()->roleNames().key("title")).toString(), QStringLiteral("Вторая"));
        QCOMPARE(top.data(model.videosModel()->roleNames().key("videoId")).toString(),
                 QString::number(model.videos().first().id));
    }

    // A model gone before its registration is confirmed: the video is stored, nothing is touched.
    void modelGoneBeforeTheReply()
    {
        auto *model = new VideoViewModel;
        QTRY_VERIFY(!model->videos().isEmpty());
        auto task = model->uploadNewVideo(QStringLiteral("Без экрана"), {}, QStringLiteral("http://x/v.mp4"), {});
        delete model;
        QVERIFY(!runToEnd(std::move(task)).value.value_or(true));
        VideoViewModel fresh;
        QTRY_VERIFY(!fresh.videos().isEmpty());
        QCOMPARE(fresh.videos().first().title, QStringLiteral("Без экрана"));
    }
};

QTEST_MAIN(TestVideoViewModel)
#include "tst_videoviewmodel.moc"
