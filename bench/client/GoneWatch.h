#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

// Tells, on the event loop and without ever blocking it, when files and folders are gone: a name
// once it is removed from its folder, or a file once it is freed, its name gone and its last
// descriptor closed (inotify reports a file's own deletion only then). A folder's own deletion is
// no use here: a descriptor onto a file in it holds it back as well.
class GoneWatch : public QObject
{
public:
    enum Gone { NameRemoved, FileFreed };

    // `allGone` is called once every path is gone in its way; the paths must exist when watched.
    GoneWatch(const QList<std::pair<QString, Gone>> &paths, std::function<void()> allGone);
    ~GoneWatch() override;

private:
    void read();

    struct Awaited
    {
        int watch;
        QByteArray name; // empty: the watched file itself
    };

    int m_fd;
    QList<Awaited> m_awaited;
    std::function<void()> m_allGone;
    QSocketNotifier *m_notifier = nullptr;
};
