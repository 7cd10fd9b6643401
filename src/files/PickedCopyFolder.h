#pragma once

#include <QByteArray>

// The private folder of one picked copy, and what clients that died left of such folders, all
// under the copies' root (PickedRoot) and reached only through descriptors: the root's, and each
// folder's own once made or opened. A name in the root swapped for a link, or for another folder,
// redirects no write, read or removal.
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
struct Made
{
    QByteArray name;
    // The folder's descriptor and its owner lock; -1 when it could not be made.
    int fd = -1;
    int lock = -1;
};

// Makes a fresh folder under the root open as `rootFd`, with its locked owner file. Nothing made
// is left when it fails: what was made is handed to the file pool to remove.
Made create(int rootFd);
// Removes `copy` (when not empty) from the folder, then its owner file, then the folder itself when
// its name in the root still leads to it; lets go of the lock and closes the folder's descriptor.
// Anything else lying in the folder stays, and so does the folder then.
void remove(int rootFd, const Made &folder, const QByteArray &copy);
// Removes every folder under the root whose owner file can be locked, with what it holds, and
// returns how many. Clients that sweep at once each take a folder they lock, never the same one
// twice. Stops at the next folder once the process begins to end.
int removeLeftovers(int rootFd);
} // namespace PickedCopyFolder
