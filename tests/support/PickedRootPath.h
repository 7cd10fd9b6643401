#pragma once

#include <QString>

#include <unistd.h>

// Where a client whose temporary folder is `temp` puts the folders of its picked copies, when the
// name there is free or already a folder of this user's alone.
inline QString pickedRootPath(const QString &temp)
{
    return temp + QStringLiteral("/vorlane-picked-") + QString::number(::geteuid());
}
