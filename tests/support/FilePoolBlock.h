#pragma once

#include "FilePool.h"

#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

#include <climits>
#include <memory>

// Holds every thread of the file pool (or of its reading threads) until release() (or its end), so
// that a test sees what the GUI thread leaves to the pool: none of it happens meanwhile. Its tasks
// go before anything else queued, so that a thread freed by a task that ends (a copy that stops)
// takes one of them, never the work the test watches.
class FilePoolBlock
{
public:
    explicit FilePoolBlock(QThreadPool &pool = FilePool::pool())
        : m_state(std::make_shared<State>()), m_threads(pool.maxThreadCount())
    {
        for (int i = 0; i < m_threads; ++i) {
            // One at a time: a task handed to an idle thread is queued by Qt at the lowest priority,
            // and one queued behind it at the highest would be taken first, leaving the first behind
            // the work the test watches. Once every thread is busy, the rest wait at the head of the
            // queue.
            const bool full = pool.activeThreadCount() >= m_threads;
            pool.start(
                [state = m_state] {
                    state->held.release();
                    state->go.acquire();
                },
                INT_MAX);
            if (!full)
                (void)QTest::qWaitFor([&] { return m_state->held.available() > i; }, VORLANE_PATIENT_WAIT_MS);
        }
    }
    ~FilePoolBlock() { release(); }
    FilePoolBlock(const FilePoolBlock &) = delete;
    FilePoolBlock &operator=(const FilePoolBlock &) = delete;

    // Whether every thread of the pool is held by now.
    bool holdsAll() const { return m_state->held.available() == m_threads; }
    void release()
    {
        if (!m_released)
            m_state->go.release(m_threads);
        m_released = true;
    }

private:
    // Shared with the tasks, which may still be leaving acquire() when the block goes.
    struct State
    {
        QSemaphore held;
        QSemaphore go;
    };
    std::shared_ptr<State> m_state;
    int m_threads;
    bool m_released = false;
};
