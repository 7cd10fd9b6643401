#include "ScrollFrames.h"

#include "PlainWait.h"
#include "ServiceLoad.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickWindow>

#include <algorithm>
#include <vector>

namespace {
// The row at this height of the list's content; -1 when none is.
int rowAt(QQuickItem *list, qreal contentY)
{
    int row = -1;
    QMetaObject::invokeMethod(list, "indexAt", Q_RETURN_ARG(int, row), Q_ARG(qreal, list->width() / 2),
                              Q_ARG(qreal, contentY));
    return row;
}
} // namespace

std::optional<ScrollFrames::Figures> ScrollFrames::scroll(QQuickWindow &window, QQuickItem *list, int frames,
                                                          qreal step)
{
    const auto contentY = [list] { return list->property("contentY").toReal(); };
    // Taken at mid-height, clear of the list's header at the top.
    const qreal middle = list->height() / 2;
    const qreal startY = contentY();
    const int startRow = rowAt(list, startY + middle);

    std::vector<double> times;
    QElapsedTimer frameClock;
    frameClock.start();
    const QMetaObject::Connection stepper = QObject::connect(&window, &QQuickWindow::frameSwapped, list, [&] {
        times.push_back(double(frameClock.nsecsElapsed()) / 1e6);
        frameClock.restart();
        if (int(times.size()) <= frames)
            list->setProperty("contentY", contentY() + step);
    });
    list->setProperty("contentY", contentY() + step);
    const bool scrolled = waitOnEventLoop(
        &window, &QQuickWindow::frameSwapped, [&] { return int(times.size()) > frames; }, 300000);
    QObject::disconnect(stepper);
    if (!scrolled)
        return std::nullopt;

    times.erase(times.begin()); // the wait before the first step
    Figures figures;
    figures.overBudget =
        double(std::count_if(times.begin(), times.end(), [](double ms) { return ms > FrameBudgetMs; })) /
        double(times.size());
    figures.medianMs = ServiceLoad::median(times);
    std::sort(times.begin(), times.end());
    figures.p99Ms = times[std::min(times.size() - 1, times.size() * 99 / 100)];
    const int rows = rowAt(list, contentY() + middle) - startRow;
    figures.rowHeight = startRow >= 0 && rows > 0 ? (contentY() - startY) / rows : 0;
    return figures;
}
