#pragma once

#include <QByteArray>
#include <QtGlobal>

// Memory figures of a running process, read from /proc.
namespace ProcessMemory {
// A field of /proc/<pid>/status in kB ("VmRSS", "VmHWM"), or -1; pid 0 is this process.
qint64 kb(const QByteArray &field, qint64 pid = 0);
// Starts the peak ("VmHWM") again from what the process holds now; false where the kernel cannot.
bool resetPeak(qint64 pid = 0);
} // namespace ProcessMemory
