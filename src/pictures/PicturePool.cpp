#include "PicturePool.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace {

struct Holder
{
    // Half the cores at most: decoding leaves processors to the window and to what it waits for.
    Holder() { pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() / 2, 1, 4)); }
    // A decode still running at exit ends before what it uses is torn down.
    ~Holder() { pool.waitForDone(); }
    QThreadPool pool;
};

} // namespace

QThreadPool &PicturePool::pool()
{
    static Holder holder;
    return holder.pool;
}
