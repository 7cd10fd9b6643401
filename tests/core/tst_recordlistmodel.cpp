#include "RecordListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Item
{
    qint64 id = 0;
    QString name;
    bool operator==(const Item &) const = default;
};

QList<std::pair<QByteArray, RecordListModel<Item>::Field>> roles()
{
    return {{"itemId", [](const Item &item) { return QVariant(item.id); }},
            {"name", [](const Item &item) { return QVariant(item.name); }}};
}

QStringList names(const RecordListModel<Item> &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row), Qt::UserRole + 1).toString();
    return out;
}
}

// Row-level edits: a like, a new post or an upload changes one row and never resets the list,
// so a view keeps its scroll position.
class TestRecordListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowEditsKeepTheRestOfTheList()
    {
        RecordListModel<Item> model(roles());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.setRows({{1, "a"}, {2, "b"}});
        model.insertRow(0, {3, "c"});
        model.insertRow(99, {4, "d"}); // past the end: appended
        model.insertRow(-5, {5, "e"}); // before the start: first
        QCOMPARE(names(model), (QStringList{"e", "c", "a", "b", "d"}));

        changed.clear();
        QVERIFY(model.updateFirst([](const Item &item) { return item.id == 2; }, [](Item &item) { item.name = "B"; }));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 3);
        QVERIFY(!model.updateFirst([](const Item &item) { return item.id == 42; }, [](Item &) {}));

        changed.clear();
        QVERIFY(model.replaceRow(1, {3, "c"})); // the same record: nothing to announce
        QCOMPARE(changed.size(), 0);
        QVERIFY(!model.replaceRow(5, {9, "x"}));
        QVERIFY(!model.replaceRow(-1, {9, "x"}));

        QVERIFY(model.removeRowAt(0));
        QVERIFY(!model.removeRowAt(4));
        QCOMPARE(names(model), (QStringList{"c", "a", "B", "d"}));
        QCOMPARE(model.indexWhere([](const Item &item) { return item.id == 4; }), 3);
        QCOMPARE(resets.size(), 0);
    }

    void firstMatchOnlyWhenIdsRepeat()
    {
        RecordListModel<Item> model(roles());
        model.setRows({{7, "first"}, {7, "second"}});
        model.updateFirst([](const Item &item) { return item.id == 7; }, [](Item &item) { item.name = "changed"; });
        QCOMPARE(names(model), (QStringList{"changed", "second"}));
    }
};

QTEST_GUILESS_MAIN(TestRecordListModel)
#include "tst_recordlistmodel.moc"
