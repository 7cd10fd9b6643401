#include "FilePool.h"

#include <QThreadPool>

#include <atomic>
#include <unistd.h>

namespace {

// Constant-initialised and trivially destroyed: they can still be read by what static destruction
// deletes after the pool (a reply that outlived it, and with it its upload body).
std::atomic_bool poolClosing{false};
std::atomic_bool poolGone{false};

struct Holder
{
    Holder()
    {
        pool.setMaxThreadCount(4);
        // Each upload reads ahead one piece at a time.
        reading.setMaxThreadCount(2);
    }
    ~Holder()
    {
        poolClosing.store(true);
        reading.waitForDone();
        pool.waitForDone();
        poolGone.store(true);
    }
    QThreadPool pool;
    QThreadPool reading;
};

Holder &holder()
{
    static Holder instance;
    return instance;
}

} // namespace

void FilePool::start(std::function<void()> work, Priority priority)
{
    if (poolGone.load()) {
        work();
        return;
    }
    poolFor(priority).start(std::move(work), priority);
}

QThreadPool &FilePool::poolFor(Priority priority)
{
    return priority == Reading ? holder().reading : holder().pool;
}

void FilePool::close(int fd)
{
    if (fd >= 0)
        start([fd] { ::close(fd); }, Freeing);
}

QThreadPool &FilePool::pool()
{
    return holder().pool;
}

QThreadPool &FilePool::readingPool()
{
    return holder().reading;
}

bool FilePool::closing()
{
    return poolClosing.load();
}
