#pragma once

#include <QtGlobal>

// The floor of the feed's scroll: a ListView of `rows` plain rectangles of `cardHeight`, each with
// a text like a post's and no picture, in a window of the feed screen's size, scrolled as the feed
// is. Prints "<fraction of frames over budget> <median frame ms> <p99 frame ms> <mean row height>";
// returns the process's exit code.
namespace BareListRound {
int run(qreal cardHeight, int rows, int frames, qreal step);
}
