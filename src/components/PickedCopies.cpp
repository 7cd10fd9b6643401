#include "PickedCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>

namespace {

QMutex &guard()
{
    static QMutex mutex;
    return mutex;
}

// Only what this process made is ever removed, never a file that merely lies in the folder.
QSet<QString> &made()
{
    static QSet<QString> paths;
    return paths;
}

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

std::optional<QString> PickedCopies::make(const QString &source)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation) +
                           QStringLiteral("/vorlane-picked/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString copy = normalised(folder + QLatin1Char('/') + QFileInfo(source).fileName());
    if (!QDir().mkpath(folder) || !QFile::copy(source, copy)) {
        // A copy that broke off (a full disk) leaves nothing behind either.
        QFile::remove(copy);
        QDir().rmdir(folder);
        return std::nullopt;
    }
    const QMutexLocker lock(&guard());
    made().insert(copy);
    return copy;
}

bool PickedCopies::contains(const QString &path)
{
    const QMutexLocker lock(&guard());
    return made().contains(normalised(path));
}

bool PickedCopies::remove(const QString &path)
{
    const QString copy = normalised(path);
    {
        const QMutexLocker lock(&guard());
        if (!made().remove(copy))
            return false;
    }
    const bool removed = QFile::remove(copy);
    QDir().rmdir(QFileInfo(copy).path());
    return removed;
}
