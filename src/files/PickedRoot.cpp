#include "PickedRoot.h"

#include "FilePool.h"
#include "PickedCopyFolder.h"
#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ownName()
{
    return "vorlane-picked-" + QByteArray::number(::geteuid());
}

// A folder made for one run: the own name, a dot and a random part.
QByteArray runPrefix()
{
    return ownName() + '.';
}

} // namespace

PickedRoot::~PickedRoot()
{
    ::close(m_fd);
}

bool PickedRoot::stillThere() const
{
    return PrivateFolder::stillNamed(AT_FDCWD, QFile::encodeName(m_path), m_fd) && PrivateFolder::isPrivate(m_fd);
}

QString PickedRoot::ownPath(const QString &temp)
{
    return temp + QLatin1Char('/') + QString::fromLocal8Bit(ownName());
}

std::shared_ptr<PickedRoot> PickedRoot::choose(const QString &temp)
{
    const int tempFd = ::open(QFile::encodeName(temp).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tempFd < 0)
        return nullptr;
    std::shared_ptr<PickedRoot> chosen;
    const int own = PrivateFolder::openOrMake(tempFd, ownName());
    if (own >= 0)
        chosen.reset(new PickedRoot(own, ownPath(temp)));
    // The own name is not ours alone: a fresh folder for this run, never one another client made.
    for (int attempt = 0; !chosen && attempt < 8; ++attempt) {
        const QByteArray name = runPrefix() + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        if (::mkdirat(tempFd, name.constData(), 0700) != 0)
            continue;
        const int fd = PrivateFolder::open(tempFd, name);
        if (fd < 0)
            continue;
        // Locked, and still there: a sweep may have taken the empty folder before the lock.
        struct stat status = {};
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0 && ::fstat(fd, &status) == 0 && status.st_nlink > 0)
            chosen.reset(new PickedRoot(fd, temp + QLatin1Char('/') + QString::fromLocal8Bit(name)));
        else
            ::close(fd);
    }
    ::close(tempFd);
    return chosen;
}

std::shared_ptr<const PickedRoot> PickedRoot::current()
{
    static QMutex mutex;
    static std::shared_ptr<PickedRoot> chosen;
    const QMutexLocker lock(&mutex);
    const QString temp = QDir::tempPath();
    if (!chosen || !chosen->m_path.startsWith(temp + QLatin1Char('/')) || !chosen->stillThere())
        chosen = choose(temp);
    return chosen;
}

int PickedRoot::removeLeftovers(const QString &temp)
{
    const int tempFd = ::open(QFile::encodeName(temp).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tempFd < 0)
        return 0;
    int removed = 0;
    for (const QByteArray &name : PrivateFolder::names(tempFd)) {
        const bool forRun = name.startsWith(runPrefix());
        if ((name != ownName() && !forRun) || FilePool::closing())
            continue;
        const int fd = PrivateFolder::open(tempFd, name);
        if (fd < 0)
            continue;
        removed += PickedCopyFolder::removeLeftovers(fd);
        // A client that uses it holds a shared lock on it; a client that makes it locks it first.
        if (forRun && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            PrivateFolder::removeIfSame(tempFd, name, fd);
        ::close(fd);
    }
    ::close(tempFd);
    return removed;
}
