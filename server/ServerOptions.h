#pragma once

#include <QString>
#include <optional>

// What the command line asks for: `vorlane-server --port N --db FILE --media DIR [--request-log FILE]`.
struct ServerOptions
{
    int port = VORLANE_DEMO_PORT;
    QString databasePath;
    QString mediaDir;
    // Empty: no log of the requests.
    QString requestLog;

    // Fills the options from argv, or returns nothing after writing the reason and the usage to `error`.
    static std::optional<ServerOptions> parse(int argc, char **argv, QString &error);
    static QString usage();
};
