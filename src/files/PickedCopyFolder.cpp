#include "PickedCopyFolder.h"

#include "FilePool.h"
#include "PrivateFolder.h"

#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char ownerName[] = ".owner";
// The owner file until it is locked.
constexpr char freshOwnerName[] = ".owner.new";

// Empties and removes the folder `name` under `rootFd` when its owner is gone. Nothing here
// follows a link: a link planted among the folders, or in place of an owner file, leads nowhere.
bool removeIfOrphaned(int rootFd, const QByteArray &name)
{
    const int dirFd = PrivateFolder::open(rootFd, name);
    if (dirFd < 0)
        return false;
    bool removed = false;
    // O_NONBLOCK: an owner file that is a FIFO must not hold the sweep until someone writes to it.
    const int lock = ::openat(dirFd, ownerName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (lock >= 0) {
        struct stat locked = {};
        // Locked, and still the owner file of the folder: a client sweeping at the same time may
        // have removed the folder between our opening of the file and our lock.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0 && ::fstat(lock, &locked) == 0 && S_ISREG(locked.st_mode) &&
            PrivateFolder::stillNamed(dirFd, ownerName, lock)) {
            for (const QByteArray &entry : PrivateFolder::names(dirFd)) {
                if (entry != ownerName)
                    ::unlinkat(dirFd, entry.constData(), 0);
            }
            // The owner file last: while it is there, no one else takes the folder for unowned.
            ::unlinkat(dirFd, ownerName, 0);
            removed = PrivateFolder::removeIfSame(rootFd, name, dirFd);
        }
        ::close(lock);
    }
    ::close(dirFd);
    return removed;
}

} // namespace

PickedCopyFolder::Made PickedCopyFolder::create(int rootFd)
{
    Made made;
    made.name = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    if (::mkdirat(rootFd, made.name.constData(), 0700) != 0 || (made.fd = PrivateFolder::open(rootFd, made.name)) < 0)
        return {};
    made.lock = ::openat(made.fd, freshOwnerName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made.lock >= 0 && ::flock(made.lock, LOCK_EX | LOCK_NB) == 0 &&
        ::renameat(made.fd, freshOwnerName, made.fd, ownerName) == 0)
        return made;
    // The root may go before this work is done: the work holds a descriptor of its own onto it.
    FilePool::start(
        [rootFd = ::fcntl(rootFd, F_DUPFD_CLOEXEC, 0), made] {
            remove(rootFd, made, freshOwnerName);
            if (rootFd >= 0)
                ::close(rootFd);
        },
        FilePool::Freeing);
    return {};
}

void PickedCopyFolder::remove(int rootFd, const Made &folder, const QByteArray &copy)
{
    if (!copy.isEmpty())
        ::unlinkat(folder.fd, copy.constData(), 0);
    ::unlinkat(folder.fd, ownerName, 0);
    PrivateFolder::removeIfSame(rootFd, folder.name, folder.fd);
    // Held until the folder is gone: a client sweeping meanwhile finds it owned, or not at all.
    if (folder.lock >= 0)
        ::close(folder.lock);
    ::close(folder.fd);
}

int PickedCopyFolder::removeLeftovers(int rootFd)
{
    int removed = 0;
    for (const QByteArray &name : PrivateFolder::names(rootFd)) {
        if (FilePool::closing())
            break;
        // Each copy's folder is named by a UUID; nothing else among them is a copy's.
        if (!name.startsWith('.') && removeIfOrphaned(rootFd, name))
            ++removed;
    }
    return removed;
}
