#pragma once

#include <QFuture>
#include <QString>

#include <optional>

// The copies of files a user picks. The picker hands on a copy, never the user's own file; each
// copy lives in a private temporary folder only until it has been sent: the upload slot that
// sends it removes it once the upload has ended, whatever the outcome, so that no pick leaves its
// bytes behind. A copy is written off the GUI thread, so that a large file keeps the window
// drawing: its path is known at once, its bytes once whenCopied() says so.
namespace PickedCopies {
// Starts copying `source` into a fresh folder of its own, keeping the file name (two picks of one
// file never share a copy), and returns the copy's path at once. Nothing when `source` is no
// regular file (a FIFO or a device would block the copy for good) or the copy cannot be begun.
std::optional<QString> make(const QString &source);
// True once the copy at `path` holds every byte; false when it broke off, or was removed while it
// was being made. A path that is no copy made here (any more) is taken as it is: true.
QFuture<bool> whenCopied(const QString &path);
// Whether `path` names a copy made here that is still there to remove.
bool contains(const QString &path);
// Removes the copy at `path` and its folder, stopping its copying when that still runs; any other
// file is left alone. True when removed.
bool remove(const QString &path);
} // namespace PickedCopies
