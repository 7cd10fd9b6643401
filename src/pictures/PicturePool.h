#pragma once

#include <QtConcurrent/qtconcurrenttask.h>

class QThreadPool;

// The threads that decode and encode pictures: network pictures, the photo the user picked, and the
// chosen square's JPEG. Not Qt's global pool, which the software renderer's parallel fills wait on:
// a decode there would hold the window's next frame.
namespace PicturePool {

QThreadPool &pool();
// Runs `work` on the pool, with its result in the future.
template <class Work> auto run(Work work)
{
    return QtConcurrent::task(std::move(work)).onThreadPool(pool()).spawn();
}

} // namespace PicturePool
