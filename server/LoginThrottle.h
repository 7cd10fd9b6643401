#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>
#include <mutex>

// Failed sign-ins counted per key (the service keys them by account, or by the name typed when it
// is no account's): five failures within a minute close the key for a minute, whatever password
// comes next. Keys are compared without letter case, as the service finds members by name.
class LoginThrottle
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int MaxFailures = 5;
    static constexpr std::chrono::seconds Window{60};

    explicit LoginThrottle(std::function<Clock::time_point()> now = Clock::now);

    bool isBlocked(const QString &key);
    void recordFailure(const QString &key);
    void recordSuccess(const QString &key);

private:
    struct Failures
    {
        QList<Clock::time_point> recent; // within the last minute, oldest first
        Clock::time_point blockedUntil;
    };
    // Forgets names whose failures and block are both over, so the table stays small.
    void prune(Clock::time_point now);

    std::function<Clock::time_point()> m_now;
    std::mutex m_mutex;
    QHash<QString, Failures> m_failures;
    Clock::time_point m_lastPrune;
};
