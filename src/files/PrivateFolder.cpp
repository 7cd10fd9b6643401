#include "PrivateFolder.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool PrivateFolder::isPrivate(int fd)
{
    struct stat status = {};
    return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

int PrivateFolder::open(int parentFd, const QByteArray &name)
{
    const int fd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && isPrivate(fd))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

int PrivateFolder::openOrMake(int parentFd, const QByteArray &name)
{
    if (::mkdirat(parentFd, name.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    return open(parentFd, name);
}

QByteArrayList PrivateFolder::names(int fd)
{
    QByteArrayList found;
    // A descriptor of its own: closedir() closes it, and reading moves its position.
    const int own = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

bool PrivateFolder::stillNamed(int parentFd, const QByteArray &name, int fd)
{
    struct stat named = {};
    struct stat held = {};
    return ::fstatat(parentFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &held) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

bool PrivateFolder::removeIfSame(int parentFd, const QByteArray &name, int fd)
{
    return stillNamed(parentFd, name, fd) && ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0;
}
