#include "PickedCopyFolder.h"

#include "FilePool.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char ownerName[] = ".owner";
// The owner file until it is locked.
constexpr char freshOwnerName[] = ".owner.new";

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// The names in the folder open as `dirFd`, read before anything in it changes.
QByteArrayList names(int dirFd)
{
    QByteArrayList found;
    const int own = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = own >= 0 ? ::fdopendir(own) : nullptr;
    if (!dir) {
        if (own >= 0)
            ::close(own);
        return found;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            found << name;
    }
    ::closedir(dir);
    return found;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Empties and removes the folder `name` under `rootFd` when its owner is gone. Nothing here
// follows a link: a link planted among the folders, or in place of an owner file, leads nowhere.
bool removeIfOrphaned(int rootFd, const QByteArray &name)
{
    const int dirFd = ::openat(rootFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    bool removed = false;
    struct stat folder = {};
    // O_NONBLOCK: an owner file that is a FIFO must not hold the sweep until someone writes to it.
    const int lock = ::fstat(dirFd, &folder) == 0 && folder.st_uid == ::geteuid()
                         ? ::openat(dirFd, ownerName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                         : -1;
    if (lock >= 0) {
        struct stat locked = {};
        struct stat named = {};
        // Locked, and still the owner file of the folder: a client sweeping at the same time may
        // have removed the folder between our opening of the file and our lock.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0 && ::fstat(lock, &locked) == 0 && S_ISREG(locked.st_mode) &&
            ::fstatat(dirFd, ownerName, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(locked, named)) {
            for (const QByteArray &entry : names(dirFd)) {
                if (entry != ownerName)
                    ::unlinkat(dirFd, entry.constData(), 0);
            }
            // The owner file last: while it is there, no one else takes the folder for unowned.
            ::unlinkat(dirFd, ownerName, 0);
            removed = ::unlinkat(rootFd, name.constData(), AT_REMOVEDIR) == 0;
        }
        ::close(lock);
    }
    ::close(dirFd);
    return removed;
}

} // namespace

int PickedCopyFolder::create(const QString &folder)
{
    if (!QDir().mkpath(QFileInfo(folder).path()) || ::mkdir(encoded(folder).constData(), 0700) != 0)
        return -1;
    const QByteArray fresh = encoded(folder + QLatin1Char('/') + QLatin1String(freshOwnerName));
    const int lock = ::open(fresh.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0 &&
        ::rename(fresh.constData(), encoded(folder + QLatin1Char('/') + QLatin1String(ownerName)).constData()) == 0)
        return lock;
    FilePool::start(
        [fresh, folder = encoded(folder), lock] {
            ::unlink(fresh.constData());
            ::rmdir(folder.constData());
            if (lock >= 0)
                ::close(lock);
        },
        FilePool::Freeing);
    return -1;
}

void PickedCopyFolder::remove(const QString &copy, int lock)
{
    const QString folder = QFileInfo(copy).path();
    ::unlink(encoded(copy).constData());
    ::unlink(encoded(folder + QLatin1Char('/') + QLatin1String(ownerName)).constData());
    ::rmdir(encoded(folder).constData());
    // Held until the folder is gone: a client sweeping meanwhile finds it owned, or not at all.
    if (lock >= 0)
        ::close(lock);
}

int PickedCopyFolder::removeLeftovers(const QString &root)
{
    const int rootFd = ::open(encoded(root).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (rootFd < 0)
        return 0;
    int removed = 0;
    for (const QByteArray &name : names(rootFd)) {
        // Each copy's folder is named by a UUID; nothing else among them is a copy's.
        if (!name.startsWith('.') && removeIfOrphaned(rootFd, name))
            ++removed;
    }
    ::close(rootFd);
    return removed;
}
