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

User author(const char *first, const char *last)
{
    return User{.id = 7, .firstName = QString::fromUtf8(first), .lastName = QString::fromUtf8(last)};
}

// The catalogue of the table, with what each card shows besides its title.
const QList<Sample> &samples()
{
    static const QList<Sample> list{
        {Video{.id = 1,
               .title = "Закат над заливом",
               .description = "Три секунды спокойствия.",
               .author = author("Анна", "Петрова"),
               .durationSeconds = 65,
               .viewsCount = 1520,
               .createdAtFormatted = "3 часа назад"},
         "1:05", "Анна Петрова • 1520 просмотров • 3 часа назад"},
        {Video{.id = 2,
               .title = "Rehearsal Notes",
               .description = "квартет на сцене",
               .author = author("Quartet", ""),
               .durationSeconds = 0,
               .viewsCount = 0,
               .createdAtFormatted = "вчера"},
         "0:00", "Quartet • 0 просмотров • вчера"},
        {Video{.id = 3,
               .title = "Как пользоваться каналами",
               .description = "",
               .author = author("Поддержка", "Vorlane"),
               .durationSeconds = 3600,
               .viewsCount = 9800,
               .createdAtFormatted = "6 дней назад"},
         "60:00", "Поддержка Vorlane • 9800 просмотров • 6 дней назад"},
        {Video{.id = 4,
               .title = QStringLiteral("Cafe\u0301 на углу"),
               .description = "Утро",
               .author = author("Анна", "Петрова"),
               .durationSeconds = 5,
               .viewsCount = 12,
               .createdAtFormatted = "только что"},
         "0:05", "Анна Петрова • 12 просмотров • только что"},
    };
    return list;
}

} // namespace

// What the catalogue shows for a search: one table over the rules and the card model, then the
// screen itself, driven offscreen against the reference service.
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

    // The screen against the service: cards, the no-match text, the search kept, and no fetch of
    // its own when it is shown again or its sheet closes.
    void screenSearchesTheCatalogue()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        QmlScreen screen(QStringLiteral("VideoCatalogView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QQuickItem *list = screen.find(QStringLiteral("videoList"));
        QTRY_COMPARE(list->property("count").toInt(), 3);
        QQuickItem *empty = screen.find(QStringLiteral("emptyListText"));
        QVERIFY(!empty->isVisible());
        QTRY_VERIFY(screen.find(QStringLiteral("videoCard0")));
        auto *model = screen.root()->property("viewModel").value<VideoViewModel *>();
        QCOMPARE(screen.find(QStringLiteral("videoCard0"))->property("title").toString(),
                 model->videos().first().title);

        ScreenDriver::type(screen.window(), screen.find(QStringLiteral("searchField")), QStringLiteral("zzz"));
        QCOMPARE(list->property("count").toInt(), 0);
        QVERIFY(empty->isVisible());
        QCOMPARE(ScreenDriver::text(empty), QStringLiteral("Видео по запросу 'zzz' не найдены."));
        QTest::keyClick(screen.window(), Qt::Key_Backspace);
        QTest::keyClick(screen.window(), Qt::Key_Backspace);
        QTest::keyClick(screen.window(), Qt::Key_Backspace);
        QCOMPARE(list->property("count").toInt(), 3);
        QVERIFY(!empty->isVisible());
        // A tap on a card changes nothing.
        // The cleared search brings the cards back on the list's next layout pass.
        QQuickItem *preview = nullptr;
        QTRY_VERIFY((preview = screen.find(QStringLiteral("videoPreview"))));
        ScreenDriver::tap(screen.window(), preview);
        QCOMPARE(list->property("count").toInt(), 3);
    }

    void screenAddsNoFetch()
    {
        ScriptedResponder responder;
        responder.reply(200, VideoSamples::list({{1, "Первое"}}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        QmlScreen screen(QStringLiteral("VideoCatalogView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QTRY_COMPARE(screen.find(QStringLiteral("videoList"))->property("count").toInt(), 1);
        screen.root()->setVisible(false);
        screen.root()->setVisible(true);
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("uploadVideoButton")));
        QTRY_VERIFY(screen.find(QStringLiteral("titleField")));
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!screen.find(QStringLiteral("titleField")));
        QTest::qWait(200);
        QCOMPARE(responder.requests().size(), 1);
    }

    // "Отмена" while the registration runs closes the sheet at once; the confirmed video still
    // becomes the first card behind it.
    void cancelDuringSubmitStillPutsTheVideoFirst()
    {
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        QmlScreen screen(QStringLiteral("VideoCatalogView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QQuickItem *list = screen.find(QStringLiteral("videoList"));
        QTRY_VERIFY(list->property("count").toInt() > 0);
        const int before = list->property("count").toInt();
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("uploadVideoButton")));
        QTRY_VERIFY(screen.find(QStringLiteral("titleField")));
        QTemporaryDir dir;
        QFile clip(dir.filePath(QStringLiteral("clip.mp4")));
        QVERIFY(clip.open(QIODevice::WriteOnly) && clip.write("frames") == 6);
        clip.close();
        ScreenDriver::tapWhenSettled(screen.window(), screen.find(QStringLiteral("videoButton")));
        QQuickItem *picker = nullptr;
        QTRY_VERIFY((picker = screen.find(QStringLiteral("videoPicker"))));
        QVERIFY(picker->property("model").value<DocumentPickerModel *>()->pick(clip.fileName()));
        QTRY_VERIFY(!screen.find(QStringLiteral("videoPicker")));
        QTRY_VERIFY(!ScreenDriver::text(screen.find(QStringLiteral("fileLine"))).isEmpty());
        ScreenDriver::type(screen.window(), screen.find(QStringLiteral("titleField")),
                           QStringLiteral("From the sheet"));

        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("submitButton")));
        ScreenDriver::tap(screen.window(), screen.find(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!screen.find(QStringLiteral("titleField")));
        QTRY_COMPARE(list->property("count").toInt(), before + 1);
        QTRY_COMPARE(screen.find(QStringLiteral("videoCard0"))->property("title").toString(),
                     QStringLiteral("From the sheet"));
    }
};

QTEST_MAIN(TestVideoCatalog)
#include "tst_videocatalog.moc"
