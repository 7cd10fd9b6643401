#include "LoginThrottle.h"

LoginThrottle::LoginThrottle(std::function<Clock::time_point()> now)
    : m_now(std::move(now))
    , m_lastPrune(m_now())
{
}

bool LoginThrottle::isBlocked(const QString &key)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_failures.constFind(key.toCaseFolded());
    return found != m_failures.cend() && m_now() < found->blockedUntil;
}

void LoginThrottle::recordFailure(const QString &key)
{
    std::lock_guard lock(m_mutex);
    const Clock::time_point now = m_now();
    prune(now);
    Failures &failures = m_failures[key.toCaseFolded()];
    failures.recent.removeIf([now](Clock::time_point at) { return now - at >= Window; });
    failures.recent.append(now);
    if (failures.recent.size() >= MaxFailures) {
        failures.blockedUntil = now + Window;
        failures.recent.clear();
    }
}

void LoginThrottle::recordSuccess(const QString &key)
{
    std::lock_guard lock(m_mutex);
    m_failures.remove(key.toCaseFolded());
}

void LoginThrottle::prune(Clock::time_point now)
{
    if (now - m_lastPrune < Window)
        return;
    m_lastPrune = now;
    m_failures.removeIf([now](const QHash<QString, Failures>::iterator &entry) {
        return (entry->recent.isEmpty() || now - entry->recent.last() >= Window) && now >= entry->blockedUntil;
    });
}
