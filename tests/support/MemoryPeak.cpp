#include "MemoryPeak.h"

#include "ProcessMemory.h"

bool MemoryPeak::beginRound()
{
    if (!ProcessMemory::resetPeak())
        return false;
    m_before = ProcessMemory::kb("VmRSS");
    return true;
}

void MemoryPeak::endRound()
{
    const qint64 hwm = ProcessMemory::kb("VmHWM");
    m_peak = qMax(m_peak, hwm);
    m_growth = qMax(m_growth, hwm - m_before);
}
