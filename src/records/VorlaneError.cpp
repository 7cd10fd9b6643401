#include "VorlaneError.h"

const char *VorlaneError::what() const noexcept
{
    if (m_what.isEmpty())
        m_what = localizedDescription().toUtf8();
    return m_what.constData();
}
