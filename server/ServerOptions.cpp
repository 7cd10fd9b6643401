#include "ServerOptions.h"

QString ServerOptions::usage()
{
    return QStringLiteral("usage: vorlane-server [--port N] --db FILE --media DIR [--request-log FILE]\n"
                          "  --port N      TCP port on 127.0.0.1 (0: any free port; default %1)\n"
                          "  --db FILE     SQLite database file, or :memory:\n"
                          "  --media DIR   folder for demo media and uploaded files\n"
                          "  --request-log FILE  appends a line for each request answered\n"
                          "The first line on standard output is \"PORT <n>\" once the port is bound.\n")
        .arg(VORLANE_DEMO_PORT);
}

std::optional<ServerOptions> ServerOptions::parse(int argc, char **argv, QString &error)
{
    ServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            error = usage();
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = QStringLiteral("missing value after %1\n").arg(name) + usage();
            return std::nullopt;
        }
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (name == QLatin1String("--port")) {
            bool ok = false;
            const int port = value.toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                error = QStringLiteral("not a port number: %1\n").arg(value) + usage();
                return std::nullopt;
            }
            options.port = port;
        } else if (name == QLatin1String("--db")) {
            options.databasePath = value;
        } else if (name == QLatin1String("--media")) {
            options.mediaDir = value;
        } else if (name == QLatin1String("--request-log")) {
            options.requestLog = value;
        } else {
            error = QStringLiteral("unknown option: %1\n").arg(name) + usage();
            return std::nullopt;
        }
    }
    if (options.databasePath.isEmpty() || options.mediaDir.isEmpty()) {
        error = QStringLiteral("--db and --media are required\n") + usage();
        return std::nullopt;
    }
    return options;
}
