#pragma once

#include <QString>

// The private folder of one picked copy, and what clients that died left of such folders.
//
// Beside its copy, each folder holds an owner file that the process which made the copy keeps
// locked (flock) for as long as the copy lives. The kernel lets go of that lock however its
// process ends, SIGKILL included, and never while the process exists, stopped or not: a folder
// whose owner file anyone else can lock belongs to no running client, and whatever it holds is a
// leftover. The owner file is locked before it takes its name, so it is never seen unlocked; a
// folder without one (still being made, or not ours) is never touched.
//
// Removing costs as much as what is removed (a leftover can be gigabytes): remove() and
// removeLeftovers() are for a thread of the file pool, never the GUI thread.
namespace PickedCopyFolder {
// Makes `folder` (its parent may not exist yet) with its locked owner file, and returns the lock's
// descriptor; -1 when it cannot, with whatever was made handed to the file pool to remove.
int create(const QString &folder);
// Removes the copy `copy`, then its folder's owner file and the folder, and lets go of `lock`
// (when not -1). Anything else lying in the folder stays, and so does the folder then.
void remove(const QString &copy, int lock);
// Removes every folder under `root` whose owner file can be locked, with what it holds, and returns
// how many. Clients that sweep at once each take a folder they lock, never the same one twice.
int removeLeftovers(const QString &root);
} // namespace PickedCopyFolder
