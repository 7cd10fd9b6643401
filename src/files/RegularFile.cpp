#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// `fd` when it is a regular file, made blocking again; -1 otherwise, with errno saying why.
int checked(int fd)
{
    if (fd < 0)
        return -1;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    // Reads of a regular file never block anyway; the flag goes so that readers see the usual mode.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// Without O_NONBLOCK, opening a FIFO for reading waits until someone opens it for writing.
constexpr int readFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

} // namespace

int RegularFile::open(const QString &path)
{
    if (path.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    return checked(::open(QFile::encodeName(path).constData(), readFlags));
}

int RegularFile::openIn(int folderFd, const QByteArray &name)
{
    return checked(::openat(folderFd, name.constData(), readFlags | O_NOFOLLOW));
}
