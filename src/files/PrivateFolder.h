#pragma once

#include <QByteArray>
#include <QByteArrayList>

// A folder that belongs to this user alone: a real folder, not a link, owned by the effective user,
// with no access for group or others. In a folder that other users share (the temporary folder),
// the client writes and reads only in such a folder, and reaches what lies in it only through the
// folder's descriptor: no one else can then add, swap or remove anything in it, and a name swapped
// for a link on the way leads the client nowhere.
namespace PrivateFolder {
// Whether the folder open as `fd` is such a folder (now: its owner may still change its mode).
bool isPrivate(int fd);
// The descriptor of `name` under the folder open as `parentFd` (AT_FDCWD: the working folder) when
// it is such a folder; -1 when it is not, or cannot be opened. Never follows a link.
int open(int parentFd, const QByteArray &name);
// The same, making the folder first when the name is free.
int openOrMake(int parentFd, const QByteArray &name);
// The names in the folder open as `fd` (without "." and ".."), read at once.
QByteArrayList names(int fd);
// Whether `name` under `parentFd` (AT_FDCWD: a path) still leads to what is open as `fd`.
bool stillNamed(int parentFd, const QByteArray &name, int fd);
// Removes the empty folder `name` under `parentFd` when that name still leads to the folder open
// as `fd`: a folder put in its place, empty or not, stays.
bool removeIfSame(int parentFd, const QByteArray &name, int fd);
} // namespace PrivateFolder
