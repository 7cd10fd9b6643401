#pragma once

#include <QElapsedTimer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <functional>
#include <memory>

// A window of the client's own QML whose every frame is timed: a spinner that never stops keeps the
// frames coming whatever else it shows, so the longest gap between two of them is how long the GUI
// thread was held.
class FrameGapWindow
{
public:
    using Done = std::function<void()>;
    using Work = std::function<void(const Done &done)>;

    FrameGapWindow(int width, int height);

    bool isReady() const { return m_ticker != nullptr; }
    // Made from `qml` (which imports what it needs) over the window's content; null, with the
    // reason on standard error, when it cannot be made.
    std::unique_ptr<QQuickItem> create(const char *qml);
    // The longest gap between frames, in milliseconds, while `work` runs and until it calls done. A
    // few frames drawn before the work starts, and after it ends, count as well; those the window
    // drew before do not.
    double longestGapDuring(const Work &work);

private:
    QQmlEngine m_engine;
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_ticker;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};
