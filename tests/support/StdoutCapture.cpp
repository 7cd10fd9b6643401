#include "StdoutCapture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char name[] = "/tmp/vorlane-stdout-XXXXXX";
    m_file = mkstemp(name);
    if (m_file < 0)
        return;
    unlink(name);
    m_saved = dup(STDOUT_FILENO);
    dup2(m_file, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    finish();
}

QByteArray StdoutCapture::finish()
{
    if (m_saved < 0)
        return m_captured;
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
    m_saved = -1;
    lseek(m_file, 0, SEEK_SET);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(m_file, buffer, sizeof buffer)) > 0)
        m_captured.append(buffer, count);
    close(m_file);
    m_file = -1;
    return m_captured;
}
