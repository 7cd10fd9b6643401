#pragma once

#include <QtGlobal>

// The highest resident memory of this process over a benchmark's rounds, and the most that one
// round added to what the process held as it began.
class MemoryPeak
{
public:
    // Starts the kernel's peak again from what the process holds now; false where it cannot.
    bool beginRound();
    void endRound();

    qint64 peakKb() const { return m_peak; }
    qint64 growthKb() const { return m_growth; }

private:
    qint64 m_before = 0;
    qint64 m_peak = 0;
    qint64 m_growth = 0;
};
