#include "ServiceProcess.h"

#include <QDeadlineTimer>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>

#ifndef VORLANE_SERVER_PATH
#error "ServiceProcess needs the vorlane-server target"
#endif

namespace {
constexpr int StartTimeoutMs = 120000;
constexpr int StopTimeoutMs = 15000;
} // namespace

ServiceProcess::ServiceProcess()
{
    m_process.setProgram(QStringLiteral(VORLANE_SERVER_PATH));
    // Its log lines go to the test's own standard error, where a failing test shows them.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Should the test die without running destructors, the service goes with it instead of
    // holding the test's output open (and CTest waiting for it).
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

ServiceProcess::~ServiceProcess()
{
    stop();
}

bool ServiceProcess::start()
{
    return launch(0);
}

bool ServiceProcess::restart()
{
    if (m_port <= 0) {
        m_errors = QStringLiteral("the service has not run yet");
        return false;
    }
    return launch(m_port);
}

bool ServiceProcess::launch(int port)
{
    if (isRunning())
        return true;
    if (!m_media.isValid() || !m_logs.isValid()) {
        m_errors = QStringLiteral("cannot make a temporary folder");
        return false;
    }
    QStringList arguments{QStringLiteral("--port"),   QString::number(port),     QStringLiteral("--db"),
                          QStringLiteral(":memory:"), QStringLiteral("--media"), m_media.path()};
    if (m_logRequests)
        arguments << QStringLiteral("--request-log") << m_logs.filePath(QStringLiteral("requests.log"));
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(StartTimeoutMs)) {
        m_errors = QStringLiteral("cannot start %1: %2").arg(m_process.program(), m_process.errorString());
        return false;
    }
    QDeadlineTimer deadline(StartTimeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired() ||
            !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            if (m_process.canReadLine())
                break;
            m_errors = QStringLiteral("the service did not report its port (exit code %1)").arg(m_process.exitCode());
            stop();
            return false;
        }
    }
    const QByteArray line = m_process.readLine().trimmed();
    bool ok = false;
    if (line.startsWith("PORT "))
        m_port = line.mid(5).toInt(&ok);
    if (!ok || m_port <= 0) {
        m_errors = QStringLiteral("unexpected first line from the service: %1").arg(QString::fromUtf8(line));
        stop();
        return false;
    }
    return true;
}

bool ServiceProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished();
        return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QStringList ServiceProcess::requests() const
{
    QFile log(m_logs.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool ServiceProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QString ServiceProcess::siteUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString ServiceProcess::baseUrl() const
{
    return siteUrl() + QStringLiteral("/api");
}

QString ServiceProcess::mediaDir() const
{
    return m_media.path();
}

QString ServiceProcess::errors() const
{
    return m_errors;
}
