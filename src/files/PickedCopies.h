#pragma once

#include <QFuture>
#include <QString>

#include <optional>

// The copies of files a user picks. The picker hands on a copy, never the user's own file; each
// copy lives in a folder of its own in the user's private temporary folder (PickedRoot), reached
// only through descriptors, and only until it has been sent: the upload slot that
// sends it removes it once the upload has ended, whatever the outcome, so that no pick leaves its
// bytes behind (what a client that was killed left goes at the next start: removeLeftovers()). A
// copy is written and removed off the GUI thread, so that a large file keeps the window drawing:
// its path is known at once, its bytes once whenCopied() says so.
namespace PickedCopies {
// Starts copying `source` into a fresh folder of its own, keeping the file name (two picks of one
// file never share a copy), and returns the copy's path at once. Nothing when `source` is no
// regular file (a FIFO or a device would block the copy for good) or the copy cannot be begun.
std::optional<QString> make(const QString &source);
// True once the copy at `path` holds every byte; false when it broke off, or was removed while it
// was being made. A path that is no copy made here (any more) is taken as it is: true.
QFuture<bool> whenCopied(const QString &path);
// A read-only descriptor of the copy at `path`, opened through its folder's descriptor: a name on
// its path swapped for a link since it was made leads nowhere. A path that is no copy made here is
// opened as it is (RegularFile). -1 when it cannot be opened, with errno saying why.
int open(const QString &path);
// Whether `path` names a copy made here that is still there to remove.
bool contains(const QString &path);
// Stops the copying of the copy at `path` when that still runs and hands the copy and its folder to
// the file pool to remove: they are gone a moment later, not yet when this returns. Any other file
// is left alone. True when `path` was such a copy.
bool remove(const QString &path);
// Removes, on the file pool, the copies that clients no longer running left behind (a client killed
// while it copied a large pick), and gives how many. The copies of running clients, stopped ones
// and this one included, stay.
QFuture<int> removeLeftovers();
} // namespace PickedCopies
