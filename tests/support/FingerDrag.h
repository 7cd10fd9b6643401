#pragma once

#include <QPoint>
#include <QQuickWindow>
#include <QTest>

// A finger dragged straight down a window: pressed at `from`, moved `distance` pixels in `steps`
// even moves `stepMs` apart by the events' timestamps, then lifted where it stopped.
namespace FingerDrag {

inline void down(QQuickWindow *window, QPoint from, int distance, int steps, int stepMs)
{
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QPoint point = from;
    for (int step = 1; step <= steps; ++step) {
        point.setY(from.y() + distance * step / steps);
        QTest::mouseMove(window, point, stepMs);
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, point);
}

// A slow swipe of most of a phone's height: past any closing threshold, with no flick in it.
inline void swipeAway(QQuickWindow *window, QPoint from)
{
    down(window, from, 400, 16, 40);
}

} // namespace FingerDrag
