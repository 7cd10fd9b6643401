#include "FilePool.h"

#include <QThreadPool>

#include <atomic>
#include <unistd.h>

namespace {

// Constant-initialised and trivially destroyed: it can still be read by what static destruction
// deletes after the pool (a reply that outlived it, and with it its upload body).
std::atomic_bool poolGone{false};

struct Holder
{
    Holder() { pool.setMaxThreadCount(4); }
    ~Holder()
    {
        pool.waitForDone();
        poolGone.store(true);
    }
    QThreadPool pool;
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
    holder().pool.start(std::move(work), priority);
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
