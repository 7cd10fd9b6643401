#pragma once

#include <QtGlobal>
#include <optional>

class QQuickItem;
class QQuickWindow;

// A list in a shown window scrolled by a fixed step each frame, each step taken as the frame
// before it is swapped, on a plain event loop; frames are timed from swap to swap.
namespace ScrollFrames {
constexpr double FrameBudgetMs = 1000.0 / 60;

struct Figures
{
    double overBudget = 0; // the fraction of frames that took longer than FrameBudgetMs
    double medianMs = 0;
    double p99Ms = 0;
    double rowHeight = 0; // the mean height of the rows scrolled past
};

// Scrolls `list` (a ListView) `frames` times by `step` pixels; nothing when it stops short.
std::optional<Figures> scroll(QQuickWindow &window, QQuickItem *list, int frames, qreal step);
} // namespace ScrollFrames
