#include "DocumentPickerModel.h"
#include "FilteredVideosModel.h"
#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"
#include "VideoCatalogRules.h"
#include "VideoSamples.h"
#include "VideoViewModel.h"
#include "app/ScreenDriver.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Sample
{
    Video video;
    QString badge;
    QString infoLine;
};

// A video by an author of id 7, with the badge and info line its card shows.
Sample sample(qint64 id, const QString &title, const char *description, const char *first, const char *last,
              qint64 seconds, qint64 views, const char *when, const char *badge, const char *infoLine)
{
    Video video{.id = id,
                .title = title,
                .description = QString::fromUtf8(description),
                .author = User{.id = 7, .firstName = QString::fromUtf8(first), .lastName = QString::fromUtf8(last)},
                .durationSeconds = seconds,
                .viewsCount = views,
                .createdAtFormatted = QString::fromUtf8(when)};
    return {video, QString::fromUtf8(badge), QString::fromUtf8(infoLine)};
}

// The catalogue of the table.
const QList<Sample> &samples()
{
    static const QList<Sample> list{
        sample(1, "Закат над заливом", "Три секунды спокойствия.", "Анна", "Петрова", 65, 1520, "3 часа назад", "1:05",
               "Анна Петрова • 1520 просмотров • 3 часа назад"),
        sample(2, "Rehearsal Notes", "квартет на сцене", "Quartet", "", 0, 0, "вчера", "0:00",
               "Quartet • 0 просмотров • вчера"),
        sample(3, "Как пользоваться каналами", "", "Поддержка", "Vorlane", 3600, 9800, "6 дней назад", "60:00",
               "Поддержка Vorlane • 9800 просмотров • 6 дней назад"),
        sample(4, QStringLiteral("Cafe\u0301 на углу"), "Утро", "Анна", "Петрова", 5, 12, "только что", "0:05",
               "Анна Петрова • 12 просмотров • только что"),
    };
    return list;
}

} // namespace

// What the catalogue shows for a search: one table over the rules and the card model, then the
// screen itself, driven offscreen against a scripted peer and the reference service.
class TestVideoCatalog : public ServiceTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void searchAndTexts_data()
    {
        QTest::addColumn<bool>("emptyCatalogue");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::addColumn<QString>("text");
        const QList<qint64> all{1, 2, 3, 4};
        const auto noMatch = [](const QString &search) {
            return QStringLiteral("Видео по запросу '") + search + QStringLiteral("' не найдены.");
        };
        QTest::newRow("no search: every card, each badge and info line") << false << "" << all << "";
        QTest::newRow("Cyrillic capitals find small letters") << false << "ЗАКАТ" << QList<qint64>{1} << "";
        QTest::newRow("Latin capitals find small letters") << false << "NOTES" << QList<qint64>{2} << "";
        QTest::newRow("small letters find capitals") << false << "rehearsal" << QList<qint64>{2} << "";
        QTest::newRow("the description when the title fails") << false << "квартет" << QList<qint64>{2} << "";
        QTest::newRow("title or description, in the catalogue's order") << false << "на" << all << "";
        QTest::newRow("the author is never searched") << false << "Петрова" << QList<qint64>{} << noMatch("Петрова");
        QTest::newRow("views are never searched") << false << "1520" << QList<qint64>{} << noMatch("1520");
        QTest::newRow("the date is never searched") << false << "вчера" << QList<qint64>{} << noMatch("вчера");
        QTest::newRow("a trailing space is part of the query")
            << false << "заливом " << QList<qint64>{} << noMatch("заливом ");
        QTest::newRow("a padded query finds the letters with their space")
            << false << " над " << QList<qint64>{1} << "";
        QTest::newRow("spaces only: every card") << false << "   " << all << "";
        QTest::newRow("spaces only, empty catalogue: no-match text with the spaces")
            << true << "   " << QList<qint64>{} << noMatch("   ");
        QTest::newRow("empty catalogue, empty search")
            << true << "" << QList<qint64>{}
            << "Видео пока не загружены. Нажмите '+ Загрузить видео', чтобы добавить первый ролик!";
        QTest::newRow("a composed letter finds its decomposed spelling")
            << false << QStringLiteral("caf\u00e9") << QList<qint64>{4} << "";
        QTest::newRow("punctuation counts") << false << "секунды." << QList<qint64>{} << noMatch("секунды.");
    }
    void searchAndTexts()
    {
        QFETCH(bool, emptyCatalogue);
        QFETCH(QString, search);
        QFETCH(QList<qint64>, shown);
        QFETCH(QString, text);

        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        VideoViewModel model;
        QList<Video> videos;
        for (const Sample &sample : samples())
            videos << sample.video;
        if (!emptyCatalogue)
            model.videosModel()->setRows(videos);
        FilteredVideosModel cards;
        QAbstractItemModelTester tester(&cards, QAbstractItemModelTester::FailureReportingMode::QtTest);
        cards.setViewModel(&model);
        cards.setSearchText(search);

        QList<qint64> ids;
        for (const Video &video : VideoCatalogRules::filtered(model.videos(), search))
            ids << video.id;
        QCOMPARE(ids, shown);
        QCOMPARE(cards.count(), int(shown.size()));
        QCOMPARE(cards.emptyText(), text);
        const auto roles = cards.roleNames();
        for (int row = 0; row < cards.rowCount(); ++row) {
            const QModelIndex index = cards.index(row, 0);
            const Sample &sample = samples().at(shown.at(row) - 1);
            QCOMPARE(index.data(roles.key("videoId")).toString(), QString::number(shown.at(row)));
            QCOMPARE(index.data(roles.key("title")).toString(), sample.video.title);
            QCOMPARE(index.data(roles.key("durationFormatted")).toString(), sample.badge);
            QCOMPARE(index.data(roles.key("infoLine")).toString(), sample.infoLine);
        }
    }

    // A new video shows as one card inserted at the top when it matches, and not at all when it
    // does not; the cards follow the model's rows without a reset.
    void newVideoFollowsTheSearch()
    {
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        VideoViewModel model;
        model.videosModel()->setRows({samples().at(0).video, samples().at(1).video});
        FilteredVideosModel cards;
        QAbstractItemModelTester tester(&cards, QAbstractItemModelTester::FailureReportingMode::QtTest);
        cards.setViewModel(&model);
        cards.setSearchText(QStringLiteral("закат"));
        QCOMPARE(cards.count(), 1);
        Video other = samples().at(2).video;
        model.videosModel()->insertRow(0, other);
        QCOMPARE(cards.count(), 1);
        Video matching = samples().at(3).video;
        matching.id = 10;
        matching.title = QStringLiteral("Второй закат");
        model.videosModel()->insertRow(0, matching);
        QCOMPARE(cards.count(), 2);
        QCOMPARE(cards.index(0, 0).data(cards.roleNames().key("title")).toString(), matching.title);
        cards.setSearchText(QString());
        QCOMPARE(cards.count(), 4);
    }

    // The screen: cards, the no-match text, the search kept, and no fetch of its own when it is
    // shown again or its upload sheet opens and closes.
    void screenSearchesAndAddsNoFetch()
    {
        ScriptedResponder responder;
        responder.reply(200, VideoSamples::list({{1, "Первое"}, {2, "Второе"}, {3, "Третье"}}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QmlScreen screen(QStringLiteral("VideoCatalogView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QQuickItem *list = screen.find("videoList");
        QTRY_COMPARE(list->property("count").toInt(), 3);
        QQuickItem *empty = screen.find("emptyListText");
        QVERIFY(!empty->isVisible());
        QTRY_VERIFY(screen.find("videoCard0"));
        QCOMPARE(screen.find("videoCard0")->property("title").toString(), QStringLiteral("Первое"));

        ScreenDriver::type(screen.window(), screen.find("searchField"), QStringLiteral("zzz"));
        QCOMPARE(list->property("count").toInt(), 0);
        QVERIFY(empty->isVisible());
        QCOMPARE(ScreenDriver::text(empty), QStringLiteral("Видео по запросу 'zzz' не найдены."));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(screen.window(), Qt::Key_Backspace);
        QCOMPARE(list->property("count").toInt(), 3);
        QVERIFY(!empty->isVisible());
        // A tap on a card changes nothing; the cleared search brings the cards back on the list's
        // next layout pass.
        QQuickItem *preview = nullptr;
        QTRY_VERIFY((preview = screen.find("videoPreview")));
        ScreenDriver::tap(screen.window(), preview);
        QCOMPARE(list->property("count").toInt(), 3);

        screen.root()->setVisible(false);
        screen.root()->setVisible(true);
        ScreenDriver::tap(screen.window(), screen.find("uploadVideoButton"));
        QTRY_VERIFY(screen.find("titleField"));
        ScreenDriver::tap(screen.window(), screen.find("cancelButton"));
        QTRY_VERIFY(!screen.find("titleField"));
        QTest::qWait(200);
        QCOMPARE(responder.requests().size(), 1);
    }

    // "Отмена" while the registration runs closes the sheet at once; the confirmed video still
    // becomes the first card behind it, as typed and without a preview.
    void cancelDuringSubmitStillPutsTheVideoFirst()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        QmlScreen screen(QStringLiteral("VideoCatalogView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QQuickItem *list = screen.find("videoList");
        QTRY_VERIFY(list->property("count").toInt() > 0);
        const int before = list->property("count").toInt();
        ScreenDriver::tap(screen.window(), screen.find("uploadVideoButton"));
        QTRY_VERIFY(screen.find("titleField"));
        QTemporaryDir dir;
        QFile clip(dir.filePath(QStringLiteral("clip.mp4")));
        QVERIFY(clip.open(QIODevice::WriteOnly) && clip.write("frames") == 6);
        clip.close();
        ScreenDriver::tapWhenSettled(screen.window(), screen.find("videoButton"));
        QQuickItem *picker = nullptr;
        QTRY_VERIFY((picker = screen.find("videoPicker")));
        QVERIFY(picker->property("model").value<DocumentPickerModel *>()->pick(clip.fileName()));
        QTRY_VERIFY(!screen.find("videoPicker"));
        QTRY_VERIFY(!ScreenDriver::text(screen.find("fileLine")).isEmpty());
        ScreenDriver::type(screen.window(), screen.find("titleField"), QStringLiteral("Gone  "));

        ScreenDriver::tap(screen.window(), screen.find("submitButton"));
        ScreenDriver::tap(screen.window(), screen.find("cancelButton"));
        QTRY_VERIFY(!screen.find("titleField"));
        QTRY_COMPARE(list->property("count").toInt(), before + 1);
        QTRY_COMPARE(screen.find("videoCard0")->property("title").toString(), QStringLiteral("Gone  "));
        const Video stored = screen.root()->property("viewModel").value<VideoViewModel *>()->videos().first();
        QCOMPARE(stored.title, QStringLiteral("Gone  "));
        QCOMPARE(stored.thumbnailUrl, QString());
    }
};

QTEST_MAIN(TestVideoCatalog)
#include "tst_videocatalog.moc"
