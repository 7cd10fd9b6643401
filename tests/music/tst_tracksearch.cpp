#include "MusicRows.h"
#include "MusicSamples.h"
#include "RecordListModel.h"
#include "TrackSearch.h"
#include "TrackSearchModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace MusicSamples;

namespace {
const QList<Track> library{
    track(1, "Утренний ритм", "Иван Петров", "Пробежка"),
    track(2, "Night Drive", "The Rockets", "Roads"),
    track(3, "Ритм ночи", "DJ Ёж", "Скетчи"),
    track(4, "Тишина", "Мария", "Тайный альбом"),
};
} // namespace

// The track search: which tracks stay for a text, and the filtered list model following its
// source row by row. The empty-list texts are read on the music screen itself.
class TestTrackSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::newRow("empty: everything") << "" << QList<qint64>{1, 2, 3, 4};
        QTest::newRow("blanks only: everything") << "  \n " << QList<qint64>{1, 2, 3, 4};
        QTest::newRow("Cyrillic, any case") << "РиТм" << QList<qint64>{1, 3};
        QTest::newRow("Latin, any case") << "ROCK" << QList<qint64>{2};
        QTest::newRow("artist") << "иван" << QList<qint64>{1};
        QTest::newRow("Ё is its own letter") << "ёж" << QList<qint64>{3};
        QTest::newRow("blank at the start kept") << " ритм" << QList<qint64>{1};
        QTest::newRow("blank at the end kept") << "ритм " << QList<qint64>{3};
        QTest::newRow("album names are not searched") << "тайный" << QList<qint64>{};
        QTest::newRow("nothing") << "zzz" << QList<qint64>{};
    }
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(QList<qint64>, shown);
        QCOMPARE(idsOf(TrackSearch::filtered(library, text)), shown);

        RecordListModel<Track> source(MusicRows::trackRoles());
        source.setRows(library);
        TrackSearchModel search;
        QAbstractItemModelTester tester(&search, QAbstractItemModelTester::FailureReportingMode::QtTest);
        search.setSourceModel(&source);
        search.setSearchText(text);
        QCOMPARE(search.count(), shown.size());
        const int idRole = search.roleNames().key("trackId");
        for (int row = 0; row < search.rowCount(); ++row)
            QCOMPARE(search.index(row, 0).data(idRole).toString(), QString::number(shown.at(row)));
    }

    void followsItsSourceRowByRow()
    {
        RecordListModel<Track> source(MusicRows::trackRoles());
        source.setRows(library);
        TrackSearchModel search;
        search.setSourceModel(&source);
        QAbstractItemModelTester tester(&search, QAbstractItemModelTester::FailureReportingMode::QtTest);
        search.setSearchText(QStringLiteral("ритм"));
        QCOMPARE(search.count(), 2);

        // A new matching track at the top shows first; one that does not match stays hidden.
        source.insertRow(0, track(9, "Новый ритм", "X"));
        source.insertRow(0, track(10, "Другое", "Y"));
        QCOMPARE(search.count(), 3);
        QCOMPARE(search.index(0, 0).data(search.roleNames().key("title")).toString(), QStringLiteral("Новый ритм"));

        // A like keeps the row where it is.
        QVERIFY(source.updateFirst([](const Track &t) { return t.id == 3; }, [](Track &t) { t.isLiked = true; }));
        QCOMPARE(search.count(), 3);
        QVERIFY(search.index(2, 0).data(search.roleNames().key("isLiked")).toBool());

        search.setSearchText(QString());
        QCOMPARE(search.count(), 6);
    }
};

QTEST_GUILESS_MAIN(TestTrackSearch)
#include "tst_tracksearch.moc"
