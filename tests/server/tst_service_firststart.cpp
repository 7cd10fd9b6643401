// A first start cut short by kill -9 at several moments: the next start completes the demo media
// and data, and they are the same as those of a start that was never interrupted.
#include "HttpExchange.h"
#include "ServiceLaunch.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
using ServiceLaunch::WaitMs;

void launch(QProcess &process, const QString &dir)
{
    ServiceLaunch::start(process, QDir(dir).filePath("vorlane.db"), QDir(dir).filePath("media"));
}

// Every file under the media folder, by its path in there, with its bytes.
QMap<QString, QByteArray> mediaFiles(const QString &dir)
{
    const QDir media(QDir(dir).filePath("media"));
    QMap<QString, QByteArray> files;
    QDirIterator it(media.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(media.relativeFilePath(file.fileName()), file.readAll());
    }
    return files;
}

int demoFileCount(const QString &dir)
{
    return int(QDir(QDir(dir).filePath("media/demo")).entryList(QDir::Files | QDir::Hidden).size());
}

struct Served
{
    QMap<QString, QByteArray> media;
    int posts = -1;
    bool signsIn = false;
};

// Starts the service on `dir` to its end, reads what it serves and stops it.
Served serve(const QString &dir)
{
    QProcess process;
    launch(process, dir);
    const int port = ServiceLaunch::port(process);
    Served served;
    if (port <= 0)
        return served;
    HttpExchange http(QStringLiteral("http://127.0.0.1:%1").arg(port));
    served.posts = int(QJsonDocument::fromJson(http.get("/api/feed.php").body).array().size());
    served.signsIn =
        http.postJson("/api/auth.php",
                      {{"action", "login"}, {"username", "demo"}, {"email", "demo"}, {"password", "demo12345"}})
            .object()
            .value("success")
            .toBool();
    ServiceLaunch::stop(process, SIGTERM);
    served.media = mediaFiles(dir);
    return served;
}
}

class tst_ServiceFirstStart : public QObject
{
    Q_OBJECT

    Served m_clean;
    int m_demoFiles = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QTemporaryDir dir;
        m_clean = serve(dir.path());
        m_demoFiles = demoFileCount(dir.path());
        QVERIFY(m_clean.posts > 0);
        QVERIFY(m_clean.signsIn);
        QVERIFY(m_demoFiles > 10);
    }

    void completesAfterAKilledFirstStart_data()
    {
        QTest::addColumn<int>("demoFilesSeen");
        QTest::addColumn<bool>("afterThePort");
        QTest::newRow("before any file") << 0 << false;
        QTest::newRow("a few files written") << 3 << false;
        QTest::newRow("half of the files written") << -2 << false;
        QTest::newRow("every file written") << -1 << false;
        QTest::newRow("serving") << -1 << true;
    }
    void completesAfterAKilledFirstStart()
    {
        QFETCH(int, demoFilesSeen);
        QFETCH(bool, afterThePort);
        const int wanted = demoFilesSeen == -1 ? m_demoFiles : demoFilesSeen == -2 ? m_demoFiles / 2 : demoFilesSeen;
        QTemporaryDir dir;
        {
            QProcess first;
            launch(first, dir.path());
            QVERIFY(first.waitForStarted(WaitMs));
            if (afterThePort) {
                QVERIFY(ServiceLaunch::port(first) > 0);
            } else {
                QElapsedTimer waited;
                waited.start();
                while (demoFileCount(dir.path()) < wanted && first.state() == QProcess::Running &&
                       waited.elapsed() < WaitMs)
                    QThread::usleep(200);
            }
            ::kill(pid_t(first.processId()), SIGKILL);
            QVERIFY(first.waitForFinished(WaitMs));
        }
        const Served again = serve(dir.path());
        QCOMPARE(again.posts, m_clean.posts);
        QVERIFY(again.signsIn);
        QCOMPARE(again.media.keys(), m_clean.media.keys());
        for (auto it = m_clean.media.cbegin(); it != m_clean.media.cend(); ++it)
            QVERIFY2(again.media.value(it.key()) == it.value(), qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(tst_ServiceFirstStart)
#include "tst_service_firststart.moc"
