#pragma once

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>

// The service started by hand on a database file and media folder of the test's choosing, for
// cases that ServiceProcess's in-memory service cannot show: restarts, kills, signals.
namespace ServiceLaunch {
constexpr int WaitMs = 60000;

inline void start(QProcess &process, const QString &db, const QString &media)
{
    process.setProgram(QStringLiteral(VORLANE_SERVER_PATH));
    process.setArguments({"--port", "0", "--db", db, "--media", media});
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start();
}

// The port the service's first line names, once it is serving; 0 when it ends without one.
inline int port(QProcess &process)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(WaitMs))
            return 0;
    }
    const QByteArray line = process.readLine().trimmed();
    return line.startsWith("PORT ") ? line.mid(5).toInt() : 0;
}

// True when the service ends by itself on `signal`, with exit code 0.
inline bool stop(QProcess &process, int signal)
{
    ::kill(pid_t(process.processId()), signal);
    return process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
} // namespace ServiceLaunch
