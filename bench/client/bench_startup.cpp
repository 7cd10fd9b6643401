// Start-up of the client to the first frame of its sign-in screen, paired in each iteration with a
// bare Qt Quick window holding one text, so that the ratio holds whatever the machine's load.
// Each start is a fresh process (startup_probe, bare_startup_probe), timed from its spawn to its first frame,
// offscreen; its peak memory is the child's maximum resident set.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Start
{
    double milliseconds = 0;
    double peakMiB = 0;
};

Start startOnce(const std::string &probe)
{
    int out[2];
    if (pipe(out) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char *arguments[] = {const_cast<char *>(probe.c_str()), nullptr};

    const auto begin = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, probe.c_str(), &actions, nullptr, arguments, environ) != 0)
        std::abort();
    close(out[1]);
    char line[16] = {};
    const ssize_t got = read(out[0], line, sizeof line - 1);
    const auto frame = std::chrono::steady_clock::now();
    close(out[0]);
    posix_spawn_file_actions_destroy(&actions);

    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got <= 0 || std::string(line).rfind("frame", 0) != 0)
        std::abort(); // no first frame: the probe failed
    return Start{std::chrono::duration<double, std::milli>(frame - begin).count(), usage.ru_maxrss / 1024.0};
}

void signInScreenAgainstBareWindow(benchmark::State &state)
{
    // No stored session, so the client shows its sign-in screen; nothing else of the user's.
    QTemporaryDir home;
    setenv("HOME", qPrintable(home.path()), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.path()), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_QUICK_BACKEND", "software", 1);
    startOnce(BARE_STARTUP_PROBE); // disk caches warm for both
    startOnce(STARTUP_PROBE);

    double client = 0, bare = 0, clientPeak = 0, barePeak = 0;
    for (auto _ : state) {
        const Start b = startOnce(BARE_STARTUP_PROBE);
        const Start c = startOnce(STARTUP_PROBE);
        state.SetIterationTime(c.milliseconds / 1000.0);
        client += c.milliseconds;
        bare += b.milliseconds;
        clientPeak = std::max(clientPeak, c.peakMiB);
        barePeak = std::max(barePeak, b.peakMiB);
    }
    const double n = double(state.iterations());
    state.counters["client_ms"] = client / n;
    state.counters["bare_ms"] = bare / n;
    state.counters["ratio"] = client / bare;
    state.counters["client_peak_MiB"] = clientPeak;
    state.counters["bare_peak_MiB"] = barePeak;
}

} // namespace

BENCHMARK(signInScreenAgainstBareWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
