#include "WorkerPool.h"

WorkerPool::WorkerPool(size_t maxThreads)
    : m_maxThreads(maxThreads)
{
}

WorkerPool::~WorkerPool()
{
    shutdown();
}

void WorkerPool::enqueue(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        // Jobs already waiting count against the idle threads that will take them.
        if (m_jobs.size() > m_idle && m_threads.size() < m_maxThreads)
            m_threads.emplace_back([this] { work(); });
    }
    m_wake.notify_one();
}

void WorkerPool::shutdown()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        m_shuttingDown = true;
        threads.swap(m_threads);
    }
    m_wake.notify_all();
    for (std::thread &thread : threads)
        thread.join();
}

void WorkerPool::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_wake.wait(lock, [this] { return !m_jobs.empty() || m_shuttingDown; });
        --m_idle;
        if (m_jobs.empty())
            return; // shutting down with nothing left to do
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}
