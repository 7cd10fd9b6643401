#pragma once

#include <QByteArray>

// Sends what the process writes to standard output into a temporary file until finish(), which
// hands back those bytes and restores the real output.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    QByteArray finish();

private:
    int m_saved = -1;
    int m_file = -1;
    QByteArray m_captured;
};
