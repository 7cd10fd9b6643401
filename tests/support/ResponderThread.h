#pragma once

#include "ScriptedResponder.h"

#include <QString>
#include <QThread>

#include <functional>
#include <memory>

class QEventLoop;

// A ScriptedResponder on a thread of its own, which sends as fast as the kernel takes the bytes
// whatever the client's thread is doing, as a remote service does. A responder on the test's own
// thread sends only when the client's event loop lets it, and so hides a client that takes in
// more than it reads.
class ResponderThread
{
public:
    // `script` runs on the new thread with the responder, before any request can arrive.
    explicit ResponderThread(const std::function<void(ScriptedResponder &)> &script);
    ~ResponderThread();
    ResponderThread(const ResponderThread &) = delete;
    ResponderThread &operator=(const ResponderThread &) = delete;

    QString baseUrl() const { return m_baseUrl; }
    // Ends the responder, closing its connections; then bytesSent() holds.
    void stop();
    qint64 bytesSent() const { return m_sent; }

private:
    std::unique_ptr<QThread> m_thread;
    QEventLoop *m_loop = nullptr;
    QString m_baseUrl;
    qint64 m_sent = 0;
};
