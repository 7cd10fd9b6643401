#pragma once

#include <QtConcurrent/qtconcurrenttask.h>

#include <functional>

class QThreadPool;

// The threads that do the work on picked files whose cost grows with the file: copying it,
// removing it, reading it ahead of its upload, and closing the last descriptor onto a removed one
// (that close is what frees its blocks, a good part of a second for a large file on a busy disk).
// Apart from the picture pool that decodes pictures, so that neither waits behind the other, and
// small, since the work waits on the disk, not on a processor. The process waits for it at exit, so
// that no copy is left half removed; what is handed to it after that runs at once on the caller's
// thread.
namespace FilePool {
// Freeing goes first: a removal or a close never waits behind copies that have not yet started.
// Reading has threads of its own: an upload never waits behind a copy or a removal.
enum Priority { Copying = 0, Freeing = 1, Reading = 2 };

void start(std::function<void()> work, Priority priority);
// The pool that copies and frees, and the one that reads, for a test that must see what waits for
// them.
QThreadPool &pool();
QThreadPool &readingPool();
// The pool that runs work of `priority`.
QThreadPool &poolFor(Priority priority);
// Runs `work` on the pool while the process runs, with its result in the future.
template<class Work>
auto run(Work work, Priority priority)
{
    return QtConcurrent::task(std::move(work)).onThreadPool(poolFor(priority)).withPriority(priority).spawn();
}
// Closes `fd` on the pool.
void close(int fd);
// True once the process has begun to end: work that may go on for long (the sweep of leftovers)
// stops at its next step instead of holding up the exit, and leaves the rest to the next start.
bool closing();
} // namespace FilePool
