#pragma once

#include <QString>

#include <optional>

// The copies of files a user picks. The picker hands on a copy, never the user's own file; each
// copy lives in a private temporary folder only until it has been sent: the upload slot that
// sends it removes it once the upload has ended, whatever the outcome, so that no pick leaves its
// bytes behind.
namespace PickedCopies {
// Copies `source` into a fresh folder of its own, keeping the file name (two picks of one file
// never share a copy). The copy's path, or nothing when it could not be made.
std::optional<QString> make(const QString &source);
// Whether `path` names a copy made here that is still there to remove.
bool contains(const QString &path);
// Removes the copy at `path` and its folder; any other file is left alone. True when removed.
bool remove(const QString &path);
} // namespace PickedCopies
