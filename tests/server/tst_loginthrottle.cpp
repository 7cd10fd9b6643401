// The count of failed sign-ins per key, on a clock the test moves by hand.
#include "LoginThrottle.h"

#include <QTest>

using namespace std::chrono_literals;

using Steps = QList<std::pair<int, char>>;

class tst_LoginThrottle : public QObject
{
    Q_OBJECT

    LoginThrottle::Clock::time_point m_now{};

    LoginThrottle throttle()
    {
        m_now = LoginThrottle::Clock::time_point{} + 1000h;
        return LoginThrottle([this] { return m_now; });
    }

private Q_SLOTS:
    // Steps: seconds to wait, then "F" a failure or "S" a success; the name is blocked at the end or not.
    void blocksAfterFiveFailuresWithinAMinute_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("four failures") << Steps{{0, 'F'}, {1, 'F'}, {1, 'F'}, {1, 'F'}} << false;
        QTest::newRow("five failures") << Steps{{0, 'F'}, {1, 'F'}, {1, 'F'}, {1, 'F'}, {1, 'F'}} << true;
        QTest::newRow("five failures, the first a minute before the last")
            << Steps{{0, 'F'}, {15, 'F'}, {15, 'F'}, {15, 'F'}, {15, 'F'}} << false;
        QTest::newRow("five within a minute after an older one")
            << Steps{{0, 'F'}, {50, 'F'}, {11, 'F'}, {1, 'F'}, {1, 'F'}, {1, 'F'}} << true;
        QTest::newRow("a success in between starts the count again")
            << Steps{{0, 'F'}, {1, 'F'}, {1, 'F'}, {1, 'S'}, {1, 'F'}, {1, 'F'}} << false;
        QTest::newRow("blocked 59 s after the fifth failure")
            << Steps{{0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {59, ' '}} << true;
        QTest::newRow("free again a minute after the fifth failure")
            << Steps{{0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {60, ' '}} << false;
        QTest::newRow("after the block, one failure is not five")
            << Steps{{0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {0, 'F'}, {60, 'F'}} << false;
    }
    void blocksAfterFiveFailuresWithinAMinute()
    {
        QFETCH(Steps, steps);
        QFETCH(bool, blocked);
        LoginThrottle t = throttle();
        for (const auto &[seconds, what] : steps) {
            m_now += std::chrono::seconds(seconds);
            if (what == 'F')
                t.recordFailure("ivan");
            else if (what == 'S')
                t.recordSuccess("ivan");
        }
        QCOMPARE(t.isBlocked("ivan"), blocked);
    }

    // Names that failed long ago are forgotten, also when many others fail later.
    void forgetsOldNames()
    {
        LoginThrottle t = throttle();
        for (int i = 0; i < 5; ++i)
            t.recordFailure("old");
        m_now += 2min;
        for (int i = 0; i < 1000; ++i)
            t.recordFailure(QStringLiteral("name-%1").arg(i));
        QVERIFY(!t.isBlocked("old"));
        t.recordFailure("old");
        QVERIFY(!t.isBlocked("old"));
    }
};

QTEST_GUILESS_MAIN(tst_LoginThrottle)
#include "tst_loginthrottle.moc"
