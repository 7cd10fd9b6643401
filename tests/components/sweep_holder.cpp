// A client that starts the sweep of leftover copies as the application does at its start, and ends
// as the application does once its window closes, when a line comes on its standard input.
#include "PickedCopies.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    PickedCopies::removeLeftovers();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
