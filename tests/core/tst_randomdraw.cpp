#include "RandomDraw.h"

#include <QTest>

#include <deque>

namespace {
// Hands out the scripted values in order, then the low bound.
RandomDraw::Generator scripted(std::deque<qint64> values)
{
    return [values = std::move(values)](qint64 low, qint64) mutable {
        if (values.empty())
            return low;
        const qint64 value = values.front();
        values.pop_front();
        return value;
    };
}
}

class TestRandomDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unusedInteger_data()
    {
        QTest::addColumn<QList<qint64>>("draws");
        QTest::addColumn<QList<qint64>>("used");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("free at once") << QList<qint64>{3} << QList<qint64>{1, 2} << qint64(3);
        QTest::newRow("redrawn past two taken") << QList<qint64>{1, 2, 3} << QList<qint64>{1, 2} << qint64(3);
        QTest::newRow("ids outside the range do not count")
            << QList<qint64>{1, 3} << QList<qint64>{1, 2, 99, -4} << qint64(3);
        QTest::newRow("every id taken: the plain draw")
            << QList<qint64>{2} << QList<qint64>{1, 2, 3} << qint64(2);
        QTest::newRow("a draw outside the range is clamped") << QList<qint64>{50} << QList<qint64>{} << qint64(3);
    }

    void unusedInteger()
    {
        QFETCH(QList<qint64>, draws);
        QFETCH(QList<qint64>, used);
        QFETCH(qint64, expected);
        const RandomDraw draw(scripted({draws.begin(), draws.end()}));
        QCOMPARE(draw.unusedInteger(1, 3, QSet<qint64>(used.begin(), used.end())), expected);
    }

    void systemDrawsStayInRange()
    {
        const RandomDraw &draw = RandomDraw::shared();
        for (int i = 0; i < 200; ++i) {
            const qint64 value = draw.integer(1000, 9999);
            QVERIFY(value >= 1000 && value <= 9999);
        }
        QCOMPARE(draw.integer(7, 7), qint64(7));
        (void)draw.integer(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    }

    void textTakesOnlyItsAlphabet()
    {
        const QString link = RandomDraw::shared().text(RandomDraw::lowerAlphanumerics(), 10);
        QCOMPARE(link.size(), 10);
        for (const QChar c : link)
            QVERIFY(RandomDraw::lowerAlphanumerics().contains(c));
        QCOMPARE(RandomDraw(scripted({0, 35, 1})).text(RandomDraw::lowerAlphanumerics(), 3), QStringLiteral("a9b"));
        QCOMPARE(RandomDraw().text(QString(), 4), QString());
    }
};

QTEST_GUILESS_MAIN(TestRandomDraw)
#include "tst_randomdraw.moc"
