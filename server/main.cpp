#include "ServerOptions.h"
#include "ShutdownSignals.h"
#include "VorlaneService.h"

#include <cstdio>
#include <malloc.h>

int main(int argc, char **argv)
{
    // Before any thread starts, so that all of them leave SIGINT and SIGTERM to the waiter.
    ShutdownSignals shutdownSignals;
    // Without TZ, the C library checks the zone file again at every local-time conversion, under
    // a lock: a long feed (a date for every post) would read one post at a time across threads.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    // Request bodies of megabytes come and go on many threads at once. Left to itself, the C library
    // raises the size it maps separately after each such free, and each thread's arena then keeps
    // the freed megabytes: a fixed threshold gives every large block back to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);

    QString error;
    const std::optional<ServerOptions> options = ServerOptions::parse(argc, argv, error);
    if (!options) {
        std::fputs(error.toLocal8Bit().constData(), stderr);
        return 2;
    }

    VorlaneService service(*options);
    if (!service.prepare(error)) {
        std::fprintf(stderr, "vorlane-server: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    shutdownSignals.start([&service] { service.stop(); });

    std::printf("PORT %d\n", service.port());
    std::fflush(stdout);
    std::fprintf(stderr, "vorlane-server: serving http://127.0.0.1:%d/api (data: %s, media: %s)\n", service.port(),
                 options->databasePath.toLocal8Bit().constData(), options->mediaDir.toLocal8Bit().constData());

    const bool ok = service.run();
    std::fprintf(stderr, "vorlane-server: stopped\n");
    return ok ? 0 : 1;
}
