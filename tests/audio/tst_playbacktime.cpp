#include "PlaybackTime.h"

#include <QTest>

#include <limits>

class TestPlaybackTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("zero") << 0.0 << "0:00";
        QTest::newRow("just under ten") << 9.99 << "0:09";
        QTest::newRow("just under a minute") << 59.9 << "0:59";
        QTest::newRow("a minute") << 60.0 << "1:00";
        QTest::newRow("truncated") << 65.7 << "1:05";
        QTest::newRow("no hour field") << 3725.0 << "62:05";
        QTest::newRow("negative keeps its sign in both parts") << -75.0 << "-1:-15";
        QTest::newRow("small negative") << -0.5 << "0:00";
        QTest::newRow("largest exact") << 9223372036854774784.0 << "153722867280912913:04";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "0:00";
        QTest::newRow("+inf") << inf << "0:00";
        QTest::newRow("-inf") << -inf << "0:00";
        QTest::newRow("2^63") << 9223372036854775808.0 << "0:00";
        QTest::newRow("-2^63") << -9223372036854775808.0 << "0:00";
        QTest::newRow("1e300") << 1e300 << "0:00";
    }

    void formatTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(PlaybackTime::formatTime(seconds), expected);
    }

    void sliderUpperBound_data()
    {
        QTest::addColumn<double>("playerDuration");
        QTest::addColumn<qint64>("trackSeconds");
        QTest::addColumn<double>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("player length wins") << 245.3 << qint64(200) << 245.3;
        QTest::newRow("nothing loaded yet") << 0.0 << qint64(200) << 200.0;
        QTest::newRow("player length nan") << nan << qint64(200) << 200.0;
        QTest::newRow("player length infinite") << std::numeric_limits<double>::infinity() << qint64(200) << 200.0;
        QTest::newRow("negative player length") << -3.0 << qint64(200) << 200.0;
        QTest::newRow("live track") << 0.0 << qint64(0) << 1.0;
        QTest::newRow("negative track") << nan << qint64(-30) << 1.0;
    }

    void sliderUpperBound()
    {
        QFETCH(double, playerDuration);
        QFETCH(qint64, trackSeconds);
        QFETCH(double, expected);
        QCOMPARE(PlaybackTime::sliderUpperBound(playerDuration, trackSeconds), expected);
    }
};

QTEST_APPLESS_MAIN(TestPlaybackTime)
#include "tst_playbacktime.moc"
