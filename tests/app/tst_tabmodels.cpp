#include "FeedViewModel.h"
#include "MusicViewModel.h"
#include "NetworkManager.h"
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
};

QTEST_MAIN(TestTabModels)
#include "tst_tabmodels.moc"
