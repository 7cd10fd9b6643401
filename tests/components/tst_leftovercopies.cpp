#include "PickedCopies.h"
#include "PickedRoot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <memory>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sparse, so that it costs no room until copied; large enough that no copy of it ends before its
// client is stopped or killed.
constexpr qint64 largeSize = 4LL * 1024 * 1024 * 1024;

bool isStopped(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    // "pid (name) state ...": the name may hold spaces and parentheses, the state follows the last ')'.
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) == "T";
}

} // namespace

// What a client that dies mid-copy leaves of its pick, and what the next client to start does with
// it: the copies of clients no longer running go, those of running clients, stopped ones included,
// stay. The clients are separate processes sharing this test's temporary folder: a small one that
// picks (pick_holder) and the application itself.
class TestLeftoverCopies : public QObject
{
    Q_OBJECT

    QTemporaryDir m_files;
    // The temporary folder of this test and of every client it starts.
    QTemporaryDir m_temp;
    QString m_large;
    std::vector<std::unique_ptr<QProcess>> m_clients;

    struct Holder
    {
        QProcess *process = nullptr;
        QString copy;
    };

    QString root() const { return PickedRoot::ownPath(m_temp.path()); }
    QStringList folders() const
    {
        return QDir(root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QProcess *startClient(const QString &program, const QStringList &arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, arguments);
        m_clients.push_back(std::move(process));
        return m_clients.back().get();
    }

    // A client that picks the large file; once the path of its copy is known and its first bytes
    // are written, the copy is under way.
    Holder startPicking()
    {
        Holder holder{startClient(QStringLiteral(PICK_HOLDER), {m_large}), {}};
        const auto saidOrEnded = [&] {
            return holder.process->canReadLine() || holder.process->state() == QProcess::NotRunning;
        };
        if (!holder.process->waitForStarted(VORLANE_PATIENT_WAIT_MS) ||
            !QTest::qWaitFor(saidOrEnded, VORLANE_PATIENT_WAIT_MS))
            return holder;
        const QString copy = QString::fromLocal8Bit(holder.process->readLine()).chopped(1);
        if (QTest::qWaitFor([&] { return QFileInfo(copy).size() > 0; }, VORLANE_PATIENT_WAIT_MS))
            holder.copy = copy;
        return holder;
    }

    static bool kill(QProcess *process)
    {
        process->kill();
        return process->waitForFinished(VORLANE_PATIENT_WAIT_MS);
    }

    static bool stop(QProcess *process)
    {
        return ::kill(pid_t(process->processId()), SIGSTOP) == 0 &&
               QTest::qWaitFor([&] { return isStopped(process->processId()); }, VORLANE_PATIENT_WAIT_MS);
    }

    // A folder as a client killed after its copy was made leaves it: its owner file, nobody's lock
    // on it any more, and the copy (or none, when it was killed before its first byte).
    QString makeLeftover(bool withCopy = true)
    {
        const QString folder = root() + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces);
        if ((::mkdir(QFile::encodeName(root()).constData(), 0700) != 0 && errno != EEXIST) ||
            ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 ||
            !writeFile(folder + QStringLiteral("/.owner"), {}) ||
            (withCopy && !writeFile(folder + QStringLiteral("/take.wav"), QByteArray(4096, 'w'))))
            return {};
        return folder;
    }

    static bool writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    static int sweep()
    {
        const QFuture<int> done = PickedCopies::removeLeftovers();
        return QTest::qWaitFor([&] { return done.isFinished(); }, VORLANE_PATIENT_WAIT_MS) ? done.result() : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid() && m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QFile large(m_files.filePath(QStringLiteral("long take.wav")));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(largeSize));
        m_large = large.fileName();
    }

    // Every client goes; what they leave goes with the next sweep, and nothing else is left.
    void cleanup()
    {
        for (const auto &client : m_clients)
            QVERIFY(client->state() == QProcess::NotRunning || kill(client.get()));
        m_clients.clear();
        QVERIFY(sweep() >= 0);
        QVERIFY2(folders().isEmpty(), qPrintable(folders().join(QLatin1Char(' '))));
    }

    void onlyCopiesOfEndedClientsGo_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<bool>("removed");
        QTest::newRow("killed mid-copy") << QStringLiteral("killed") << true;
        QTest::newRow("stopped mid-copy") << QStringLiteral("stopped") << false;
        QTest::newRow("running") << QStringLiteral("running") << false;
    }
    void onlyCopiesOfEndedClientsGo()
    {
        QFETCH(QString, client);
        QFETCH(bool, removed);
        const Holder holder = startPicking();
        QVERIFY(!holder.copy.isEmpty());
        if (client == QLatin1String("killed")) {
            QVERIFY(kill(holder.process));
            QVERIFY2(QFileInfo(holder.copy).size() < largeSize, "the copy ended before its client was killed");
        } else if (client == QLatin1String("stopped")) {
            QVERIFY(stop(holder.process));
        }
        QCOMPARE(sweep(), removed ? 1 : 0);
        QCOMPARE(QFile::exists(holder.copy), !removed);
        QCOMPARE(QFileInfo::exists(QFileInfo(holder.copy).path()), !removed);
        QCOMPARE(folders().size(), removed ? 0 : 1);
        QVERIFY(QFile::exists(m_large));
    }

    // Only a folder whose owner file is an unlocked regular file of its own is taken; a sweep never
    // follows a link, never waits on a FIFO, and leaves alone a folder whose owner file is not yet
    // named (its client is still making it).
    void sweepTakesOnlyUnownedFolders_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("removed");
        QTest::newRow("owner file unlocked") << QStringLiteral("unlocked") << true;
        QTest::newRow("owner file locked in this process") << QStringLiteral("locked") << false;
        QTest::newRow("no owner file") << QStringLiteral("none") << false;
        QTest::newRow("owner file not yet named") << QStringLiteral("fresh") << false;
        QTest::newRow("owner file a link to an unlocked file") << QStringLiteral("owner link") << false;
        QTest::newRow("owner file a FIFO") << QStringLiteral("owner FIFO") << false;
        QTest::newRow("a link to a folder elsewhere") << QStringLiteral("folder link") << false;
    }
    void sweepTakesOnlyUnownedFolders()
    {
        QFETCH(QString, shape);
        QFETCH(bool, removed);
        QString folder = makeLeftover();
        QVERIFY(!folder.isEmpty());
        const QString owner = folder + QStringLiteral("/.owner");
        const QString elsewhere = m_files.filePath(QStringLiteral("elsewhere"));
        int lock = -1;
        if (shape == QLatin1String("locked")) {
            lock = ::open(QFile::encodeName(owner).constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0);
        } else if (shape == QLatin1String("none")) {
            QVERIFY(QFile::remove(owner));
        } else if (shape == QLatin1String("fresh")) {
            QVERIFY(QFile::rename(owner, folder + QStringLiteral("/.owner.new")));
        } else if (shape == QLatin1String("owner link")) {
            QVERIFY(QFile::rename(owner, m_files.filePath(QStringLiteral("unlocked"))));
            QVERIFY(QFile::link(m_files.filePath(QStringLiteral("unlocked")), owner));
        } else if (shape == QLatin1String("owner FIFO")) {
            QVERIFY(QFile::remove(owner));
            QVERIFY(::mkfifo(QFile::encodeName(owner).constData(), 0600) == 0);
        } else if (shape == QLatin1String("folder link")) {
            QVERIFY(QDir().rename(folder, elsewhere));
            QVERIFY(QFile::link(elsewhere, folder));
            folder = elsewhere;
        }

        QCOMPARE(sweep(), removed ? 1 : 0);
        QCOMPARE(QFile::exists(folder + QStringLiteral("/take.wav")), !removed);
        if (lock >= 0)
            ::close(lock);
        // What was kept was never a client's copy: the test takes it away itself.
        QVERIFY(QDir(root()).removeRecursively());
        if (QFileInfo::exists(elsewhere))
            QVERIFY(QDir(elsewhere).removeRecursively());
    }

    // Clients that start at once sweep at once: each leftover is removed by one of them, once.
    void simultaneousSweepsShareTheWork()
    {
        constexpr int leftovers = 200;
        for (int i = 0; i < leftovers; ++i)
            QVERIFY(!makeLeftover().isEmpty());
        const QFuture<int> first = PickedCopies::removeLeftovers();
        const QFuture<int> second = PickedCopies::removeLeftovers();
        QTRY_VERIFY(first.isFinished() && second.isFinished());
        QCOMPARE(first.result() + second.result(), leftovers);
        QVERIFY(folders().isEmpty());
    }

    // The application removes, as it starts, the copy of a client killed mid-copy, with other
    // leftovers, and keeps the copy of a stopped one; two applications starting at once do it
    // together, and both keep running.
    void applicationRemovesLeftoversAtItsStart_data()
    {
        QTest::addColumn<int>("applications");
        QTest::newRow("one application") << 1;
        QTest::newRow("two applications at once") << 2;
    }
    void applicationRemovesLeftoversAtItsStart()
    {
        QFETCH(int, applications);
        const Holder killed = startPicking();
        QVERIFY(!killed.copy.isEmpty());
        QVERIFY(kill(killed.process));
        for (int i = 0; i < 20; ++i)
            QVERIFY(!makeLeftover().isEmpty());
        const Holder stopped = startPicking();
        QVERIFY(!stopped.copy.isEmpty());
        QVERIFY(stop(stopped.process));
        const QString kept = QFileInfo(QFileInfo(stopped.copy).path()).fileName();

        std::vector<QProcess *> started;
        for (int i = 0; i < applications; ++i)
            started.push_back(startClient(QStringLiteral(VORLANE_CLIENT), {}));
        QTRY_COMPARE(folders(), QStringList{kept});
        for (QProcess *application : started)
            QCOMPARE(application->state(), QProcess::Running);
        QVERIFY(QFile::exists(stopped.copy));
    }

    // A client closed while its start-up sweep has many leftovers still to go ends within moments,
    // not once the sweep is done, and what the sweep did not reach goes at the next start.
    void closingDuringTheSweepEndsTheClientAtOnce()
    {
        constexpr int leftovers = 2000;
        for (int i = 0; i < leftovers; ++i)
            QVERIFY(!makeLeftover(false).isEmpty());
        // Closed as soon as the sweep has removed its first folder.
        QFileSystemWatcher watcher({root()});
        QElapsedTimer closing;
        QProcess *client = nullptr;
        connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [&] {
            if (client && !closing.isValid()) {
                closing.start();
                client->write("close\n");
                client->waitForBytesWritten();
            }
        });
        QEventLoop running;
        client = startClient(QStringLiteral(PICK_HOLDER), {QStringLiteral("--sweep")});
        connect(client, &QProcess::finished, &running, &QEventLoop::quit);
        // Waits for events, not in steps: the close goes out the moment the first folder has gone.
        QTimer::singleShot(VORLANE_PATIENT_WAIT_MS, &running, &QEventLoop::quit);
        running.exec();
        QCOMPARE(client->state(), QProcess::NotRunning);
        QVERIFY(closing.isValid());
        const qint64 took = closing.elapsed();
        QCOMPARE(client->exitStatus(), QProcess::NormalExit);
        QCOMPARE(client->exitCode(), 0);
        const qsizetype left = folders().size();
        qInfo("the client ended %lld ms after it was closed, with %lld of %d leftovers not reached", took,
              qint64(left), leftovers);
        QVERIFY2(took < 5000, qPrintable(QStringLiteral("the client took %1 ms to end").arg(took)));
        QVERIFY2(left > 0, "the sweep went on to its end after the client was closed");
        QCOMPARE(sweep(), left);
    }
};

QTEST_GUILESS_MAIN(TestLeftoverCopies)
#include "tst_leftovercopies.moc"
