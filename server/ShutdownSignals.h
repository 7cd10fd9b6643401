#pragma once

#include <atomic>
#include <functional>
#include <pthread.h>
#include <thread>

// Turns SIGINT and SIGTERM into a call of `onSignal` on an ordinary thread, where stopping the
// HTTP server is allowed (nothing of it is async-signal-safe). Construct it before any other
// thread starts, so that every thread inherits the blocked signal mask.
class ShutdownSignals
{
public:
    ShutdownSignals();
    ~ShutdownSignals();
    ShutdownSignals(const ShutdownSignals &) = delete;
    ShutdownSignals &operator=(const ShutdownSignals &) = delete;

    void start(std::function<void()> onSignal);

private:
    sigset_t m_signals;
    std::thread m_waiter;
    bool m_running = false;
    std::atomic<bool> m_finished = false;
};
