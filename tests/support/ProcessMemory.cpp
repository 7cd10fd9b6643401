#include "ProcessMemory.h"

#include <QFile>

namespace {
QString procFile(qint64 pid, const char *name)
{
    return pid == 0 ? QStringLiteral("/proc/self/%1").arg(QLatin1String(name))
                    : QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name));
}
} // namespace

qint64 ProcessMemory::kb(const QByteArray &field, qint64 pid)
{
    QFile status(procFile(pid, "status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ":"))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

bool ProcessMemory::resetPeak(qint64 pid)
{
    QFile clearRefs(procFile(pid, "clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}
