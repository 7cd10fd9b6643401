#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <climits>
#include <unistd.h>

// How many of this process's descriptors are open onto the file `path`, also once its name is gone
// (the kernel then shows the name followed by " (deleted)").
inline int openDescriptorsOnto(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int count = 0;
    const QStringList fds =
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : fds) {
        char target[PATH_MAX + 16];
        const ssize_t length =
            ::readlink(QFile::encodeName(QStringLiteral("/proc/self/fd/") + fd).constData(), target, sizeof target);
        if (length <= 0)
            continue;
        const QByteArray link(target, length);
        if (link == name || link == name + " (deleted)")
            ++count;
    }
    return count;
}
