#include "ResponderThread.h"

#include <QEventLoop>
#include <QSemaphore>

ResponderThread::ResponderThread(const std::function<void(ScriptedResponder &)> &script)
{
    QSemaphore ready;
    m_thread.reset(QThread::create([this, script, &ready] {
        ScriptedResponder responder;
        script(responder);
        QEventLoop loop;
        m_loop = &loop;
        m_baseUrl = responder.baseUrl();
        ready.release();
        loop.exec();
        m_sent = responder.bytesSent();
    }));
    m_thread->start();
    ready.acquire();
}

ResponderThread::~ResponderThread()
{
    stop();
}

void ResponderThread::stop()
{
    if (m_thread->isFinished())
        return;
    // Queued: the loop may not have started yet, and then quits as it starts.
    QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
    m_thread->wait();
}
