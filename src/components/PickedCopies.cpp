#include "PickedCopies.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPromise>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUuid>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct Copy
{
    std::shared_ptr<std::atomic_bool> stop;
    QFuture<bool> done;
};

// Only what this process made is ever removed, never a file that merely lies in the folder. What is
// left when the process ends (a copy still being made, or one no upload took) goes with it.
class Registry
{
public:
    ~Registry()
    {
        const QStringList paths = [this] {
            const QMutexLocker lock(&mutex);
            return copies.keys();
        }();
        for (const QString &path : paths)
            remove(path);
        pool.waitForDone();
    }

    bool remove(const QString &copy)
    {
        {
            const QMutexLocker lock(&mutex);
            const auto found = copies.find(copy);
            if (found == copies.end())
                return false;
            // The copying thread sees it at its next piece and lets go of the file it writes; the
            // name and the folder go now.
            found->stop->store(true);
            copies.erase(found);
        }
        // Freeing the blocks of a large file takes the kernel a good part of a second: the name and
        // the folder go at once, the bytes on a thread of the pool.
        const QFileInfo folder(QFileInfo(copy).path());
        const QString removing = folder.path() + QStringLiteral("/.removing-") + folder.fileName();
        // rename(2) itself: QFile::rename would fall back to copying the bytes.
        if (::rename(QFile::encodeName(copy).constData(), QFile::encodeName(removing).constData()) != 0) {
            const bool removed = QFile::remove(copy);
            QDir().rmdir(folder.filePath());
            return removed;
        }
        QDir().rmdir(folder.filePath());
        pool.start([removing] { QFile::remove(removing); });
        return true;
    }

    QMutex mutex;
    QHash<QString, Copy> copies;
    // Copies of their own: a long one never waits behind, or holds up, the decoding of pictures.
    QThreadPool pool;
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
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation) +
                           QStringLiteral("/vorlane-picked/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString copy = normalised(folder + QLatin1Char('/') + QFileInfo(source).fileName());
    const int to = QDir().mkpath(folder)
                       ? ::open(QFile::encodeName(copy).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                       : -1;
    if (to < 0) {
        ::close(from);
        QDir().rmdir(folder);
        return std::nullopt;
    }

    auto promise = std::make_shared<QPromise<bool>>();
    const auto stop = std::make_shared<std::atomic_bool>(false);
    promise->start();
    Registry &copies = registry();
    {
        const QMutexLocker lock(&copies.mutex);
        copies.copies.insert(copy, {stop, promise->future()});
    }
    copies.pool.start([promise, stop, from, to] {
        bool whole = copyBytes(from, to, *stop);
        ::close(from);
        // A full disk can show only when the bytes are flushed.
        whole = ::close(to) == 0 && whole && !stop->load();
        promise->addResult(whole);
        promise->finish();
    });
    return copy;
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
