// A client that picks the file named on its command line, says where the copy goes, and then waits
// for good: the test kills it, or stops it, while it copies. With "--sweep" instead, a client that
// starts the sweep of leftover copies as the application does at its start, and ends as the
// application does once its window closes, when a line comes on its standard input.
#include "PickedCopies.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    if (qstrcmp(argv[1], "--sweep") == 0) {
        PickedCopies::removeLeftovers();
        QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        return QCoreApplication::exec();
    }
    const std::optional<QString> copy = PickedCopies::make(QString::fromLocal8Bit(argv[1]));
    if (!copy)
        return 1;
    std::printf("%s\n", QFile::encodeName(*copy).constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
