// A client that picks the file named on its command line, says where the copy goes, and then waits
// for good: the test kills it, or stops it, while it copies.
#include "PickedCopies.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const std::optional<QString> copy = PickedCopies::make(QString::fromLocal8Bit(argv[1]));
    if (!copy)
        return 1;
    std::printf("%s\n", QFile::encodeName(*copy).constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
