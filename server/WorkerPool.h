#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <thread>
#include <vector>

// The threads that serve connections. httplib's own pool is fixed at about one thread per core, so
// a few connections that send nothing (or sign-ins waiting their turn to hash) keep everybody else
// waiting. This one starts another thread whenever every thread is busy, up to `maxThreads`;
// only past that do connections queue.
class WorkerPool final : public httplib::TaskQueue
{
public:
    explicit WorkerPool(size_t maxThreads);
    ~WorkerPool() override;

    void enqueue(std::function<void()> job) override;
    void shutdown() override;

private:
    void work();

    const size_t m_maxThreads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    size_t m_idle = 0;
    bool m_shuttingDown = false;
};
