#pragma once

#include <QByteArray>
#include <QString>

// Opening a picked path for reading. A path that names, or links to, a FIFO or a device can block
// the reader for good, or never reach an end; only a regular file is opened. The check is made on
// the opened descriptor itself, so a file swapped for something else after the dialog listed it
// cannot slip by, and the opening itself never waits for a writer.
namespace RegularFile {
// A read-only descriptor of `path`, or -1 when it cannot be opened or is no regular file, with errno
// saying why (EISDIR for a folder, EINVAL for anything else that is no regular file).
int open(const QString &path);
// The same for `name` in the folder open as `folderFd`, never through a link.
int openIn(int folderFd, const QByteArray &name);
} // namespace RegularFile
