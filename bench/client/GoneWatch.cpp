#include "GoneWatch.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>
#include <utility>

GoneWatch::GoneWatch(const QList<std::pair<QString, Gone>> &paths, std::function<void()> allGone)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_allGone(std::move(allGone))
{
    for (const auto &[path, gone] : paths) {
        const QFileInfo info(path);
        const bool freed = gone == FileFreed;
        const QByteArray watched = QFile::encodeName(freed ? path : info.path());
        const int watch =
            m_fd >= 0 ? ::inotify_add_watch(m_fd, watched.constData(), freed ? IN_DELETE_SELF : IN_DELETE) : -1;
        if (watch >= 0)
            m_awaited.append({watch, freed ? QByteArray() : QFile::encodeName(info.fileName())});
    }
    if (m_awaited.isEmpty()) {
        // Nothing to watch (no inotify): said on the next turn, as an event would be.
        QMetaObject::invokeMethod(this, &GoneWatch::read, Qt::QueuedConnection);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &GoneWatch::read);
}

GoneWatch::~GoneWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void GoneWatch::read()
{
    alignas(inotify_event) char buffer[4096];
    while (m_fd >= 0) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            const QByteArray name = event->len > 0 ? QByteArray(event->name) : QByteArray();
            m_awaited.removeIf([&](const Awaited &awaited) {
                return awaited.watch == event->wd &&
                       (awaited.name.isEmpty() ? (event->mask & IN_DELETE_SELF) != 0 : awaited.name == name);
            });
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    if (m_awaited.isEmpty() && m_allGone)
        std::exchange(m_allGone, nullptr)();
}
