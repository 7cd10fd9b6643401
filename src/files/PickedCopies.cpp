#include "PickedCopies.h"

#include "FilePool.h"
#include "PickedCopyFolder.h"
#include "PickedRoot.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct Copy
{
    std::shared_ptr<std::atomic_bool> stop;
    QFuture<bool> done;
    // The root it lies in, and its folder there with the owner lock held while the copy lives.
    std::shared_ptr<const PickedRoot> root;
    PickedCopyFolder::Made folder;
    QByteArray name;
};

// Only what this process made is ever removed, never a file that merely lies in the folder. What is
// left when the process ends (a copy still being made, or one no upload took) goes with it.
class Registry
{
public:
    // The pool is made first, and so goes last: it still takes the removals made here at exit, and
    // the process waits for them.
    Registry() { FilePool::pool(); }

    ~Registry()
    {
        const QStringList paths = [this] {
            const QMutexLocker lock(&mutex);
            return copies.keys();
        }();
        for (const QString &path : paths)
            remove(path);
    }

    bool remove(const QString &path)
    {
        Copy copy;
        {
            const QMutexLocker locker(&mutex);
            const auto found = copies.find(path);
            if (found == copies.end())
                return false;
            // The copying thread sees it at its next piece and lets go of the file it writes.
            found->stop->store(true);
            copy = *found;
            copies.erase(found);
        }
        // The name and the folder go on the pool as well: while the disk writes back a freshly
        // made copy, removing a folder took a tenth of a second. The bytes go at the last close,
        // which is on the pool too, the copying thread's or an upload's.
        FilePool::start([copy] { PickedCopyFolder::remove(copy.root->fd(), copy.folder, copy.name); },
                        FilePool::Freeing);
        return true;
    }

    QMutex mutex;
    QHash<QString, Copy> copies;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Copies piece by piece, looking between pieces whether the copy is still wanted. The kernel copies
// where it can; read and write do the rest.
bool copyBytes(int from, int to, const std::atomic_bool &stop)
{
    constexpr size_t pieceSize = 4 * 1024 * 1024;
    bool kernelCopies = true;
    std::unique_ptr<char[]> buffer;
    while (!stop.load()) {
        if (kernelCopies) {
            const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, pieceSize, 0);
            if (copied == 0)
                return true;
            if (copied > 0)
                continue;
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            kernelCopies = false;
        }
        if (!buffer)
            buffer = std::make_unique<char[]>(pieceSize);
        const ssize_t read = ::read(from, buffer.get(), pieceSize);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        if (!writeAll(to, buffer.get(), read))
            return false;
    }
    return false;
}

} // namespace

std::optional<QString> PickedCopies::make(const QString &source)
{
    const int from = RegularFile::open(source);
    if (from < 0)
        return std::nullopt;
    const std::shared_ptr<const PickedRoot> root = PickedRoot::current();
    const PickedCopyFolder::Made folder = root ? PickedCopyFolder::create(root->fd()) : PickedCopyFolder::Made();
    const QByteArray name = QFile::encodeName(QFileInfo(source).fileName());
    const int to = folder.fd >= 0 ? ::openat(folder.fd, name.constData(),
                                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                                  : -1;
    if (to < 0) {
        ::close(from);
        if (folder.fd >= 0)
            FilePool::start([root, folder] { PickedCopyFolder::remove(root->fd(), folder, {}); }, FilePool::Freeing);
        return std::nullopt;
    }

    const auto stop = std::make_shared<std::atomic_bool>(false);
    const QFuture<bool> done = FilePool::run(
        [stop, from, to] {
            const bool whole = copyBytes(from, to, *stop);
            ::close(from);
            // A full disk can show only when the bytes are flushed.
            return ::close(to) == 0 && whole && !stop->load();
        },
        FilePool::Copying);
    const QString copy = normalised(root->path() + QLatin1Char('/') + QString::fromLatin1(folder.name) +
                                    QLatin1Char('/') + QFile::decodeName(name));
    Registry &copies = registry();
    const QMutexLocker locker(&copies.mutex);
    copies.copies.insert(copy, {stop, done, root, folder, name});
    return copy;
}

int PickedCopies::open(const QString &path)
{
    {
        Registry &copies = registry();
        const QMutexLocker lock(&copies.mutex);
        const auto found = copies.copies.constFind(normalised(path));
        if (found != copies.copies.cend())
            return RegularFile::openIn(found->folder.fd, found->name);
    }
    return RegularFile::open(path);
}

QFuture<bool> PickedCopies::whenCopied(const QString &path)
{
    Registry &copies = registry();
    const QMutexLocker lock(&copies.mutex);
    const auto found = copies.copies.constFind(normalised(path));
    if (found == copies.copies.cend())
        return QtFuture::makeReadyFuture(true);
    return found->done;
}

bool PickedCopies::contains(const QString &path)
{
    Registry &copies = registry();
    const QMutexLocker lock(&copies.mutex);
    return copies.copies.contains(normalised(path));
}

bool PickedCopies::remove(const QString &path)
{
    return registry().remove(normalised(path));
}

QFuture<int> PickedCopies::removeLeftovers()
{
    return FilePool::run([temp = QDir::tempPath()] { return PickedRoot::removeLeftovers(temp); }, FilePool::Copying);
}
