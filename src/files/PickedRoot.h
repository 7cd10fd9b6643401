#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The folder that holds the picked copies' folders: `vorlane-picked-<uid>` in the temporary folder
// ($TMPDIR, else /tmp), made with mode 0700, or taken when it exists only if it is a folder of this
// user's alone (PrivateFolder). The temporary folder is shared by every user of the machine, and
// another may hold that name first: a folder of theirs, one open to others, or a link. The client
// then neither writes into it nor reads from it, and makes a fresh folder of its own for the run,
// `vorlane-picked-<uid>.<random>`, beside it on the same disk; it holds a shared lock (flock) on that
// folder for as long as it uses it, so that the sweep of another client's start removes it only
// once it is empty and no client uses it.
class PickedRoot
{
public:
    ~PickedRoot();
    PickedRoot(const PickedRoot &) = delete;
    PickedRoot &operator=(const PickedRoot &) = delete;

    // The root for new copies, chosen at the first call and chosen again once it is no longer
    // there under its name, or no longer private; nothing when no private folder can be had.
    static std::shared_ptr<const PickedRoot> current();
    // Removes the copies that clients no longer running left in every root of this user's under
    // the temporary folder `temp` (PickedCopyFolder), and every root made for a run that no client
    // uses any more and that is empty then; returns how many copies went. Stops once the process
    // begins to end.
    static int removeLeftovers(const QString &temp);
    // Where the root lies in the temporary folder `temp` when the name there is free or already a
    // folder of this user's alone.
    static QString ownPath(const QString &temp);

    int fd() const { return m_fd; }
    QString path() const { return m_path; }

private:
    PickedRoot(int fd, const QString &path) : m_fd(fd), m_path(path) {}
    static std::shared_ptr<PickedRoot> choose(const QString &temp);
    bool stillThere() const;

    int m_fd;
    QString m_path;
};
