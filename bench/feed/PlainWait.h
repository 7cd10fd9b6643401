#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

// Runs a plain event loop until `done` holds, looked at each time `sender` emits `signal`, or until
// `timeoutMs` have passed; returns `done()`. QTest's polling waits sleep up to 10 ms between their
// passes over the events, so that what a benchmark timed under them would be partly that sleep;
// here every event is handled as it comes.
template <typename Sender, typename Signal, typename Done>
bool waitOnEventLoop(const Sender *sender, Signal signal, Done done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    loop.exec();
    return done();
}
