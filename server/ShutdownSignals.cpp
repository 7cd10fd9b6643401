#include "ShutdownSignals.h"

#include <csignal>

namespace {
// Sent to the waiter by the destructor when the service ends for another reason.
constexpr int WakeSignal = SIGUSR1;
}

ShutdownSignals::ShutdownSignals()
{
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    sigaddset(&m_signals, WakeSignal);
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    // A client that goes away mid-reply must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
}

ShutdownSignals::~ShutdownSignals()
{
    if (m_running) {
        if (!m_finished)
            pthread_kill(m_waiter.native_handle(), WakeSignal);
        m_waiter.join();
    }
}

void ShutdownSignals::start(std::function<void()> onSignal)
{
    m_running = true;
    m_waiter = std::thread([this, onSignal = std::move(onSignal)] {
        int received = 0;
        while (sigwait(&m_signals, &received) != 0) {
        }
        m_finished = true;
        if (received != WakeSignal)
            onSignal();
    });
}
