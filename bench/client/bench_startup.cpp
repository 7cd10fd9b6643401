// Start-up of the client, paired in each iteration with a bare Qt Quick window holding one text,
// so that the ratio holds whatever the machine's load: to the sign-in screen's first frame (no
// stored session), and with a stored session (every returning user) to the tab screen's first
// frame and to the first frame that shows the feed's cards, against the reference service.
// Each start is a fresh process (startup_probe, bare_startup_probe), timed from its spawn to its
// frame, offscreen; its peak memory is the child's maximum resident set. Reported as medians.
#include "AuthViewModel.h"
#include "ServiceProcess.h"
#include "User.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Start startOnce(const std::string &probe, const std::vector<std::string> &extra = {})
{
    int out[2];
    if (pipe(out) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> arguments{const_cast<char *>(probe.c_str())};
    for (const std::string &argument : extra)
        arguments.push_back(const_cast<char *>(argument.c_str()));
    arguments.push_back(nullptr);

    const auto begin = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, probe.c_str(), &actions, nullptr, arguments.data(), environ) != 0)
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

void useFreshHome(const QTemporaryDir &home)
{
    setenv("HOME", qPrintable(home.path()), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.path()), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_QUICK_BACKEND", "software", 1);
}

// Interleaves the bare window and the client and reports both medians, their ratio and peaks.
void againstBareWindow(benchmark::State &state, const std::vector<std::string> &clientArguments)
{
    startOnce(BARE_STARTUP_PROBE); // disk caches warm for both
    startOnce(STARTUP_PROBE, clientArguments);

    std::vector<double> client, bare;
    double clientPeak = 0, barePeak = 0;
    for (auto _ : state) {
        const Start b = startOnce(BARE_STARTUP_PROBE);
        const Start c = startOnce(STARTUP_PROBE, clientArguments);
        state.SetIterationTime(c.milliseconds / 1000.0);
        client.push_back(c.milliseconds);
        bare.push_back(b.milliseconds);
        clientPeak = std::max(clientPeak, c.peakMiB);
        barePeak = std::max(barePeak, b.peakMiB);
    }
    state.counters["client_median_ms"] = median(client);
    state.counters["bare_median_ms"] = median(bare);
    state.counters["ratio"] = median(client) / median(bare);
    state.counters["client_peak_MiB"] = clientPeak;
    state.counters["bare_peak_MiB"] = barePeak;
    state.counters["peak_ratio"] = barePeak > 0 ? clientPeak / barePeak : 0;
}

void signInScreenAgainstBareWindow(benchmark::State &state)
{
    // No stored session, so the client shows its sign-in screen; nothing else of the user's.
    QTemporaryDir home;
    useFreshHome(home);
    againstBareWindow(state, {});
}

// The demo account's session stored as a returning user's is, with no picture addresses at all.
void storedSession(benchmark::State &state, const char *waitFor)
{
    ServiceProcess service;
    if (!service.start()) {
        state.SkipWithError(qPrintable(service.errors()));
        return;
    }
    QTemporaryDir home;
    useFreshHome(home);
    QSettings(home.filePath(QStringLiteral("Vorlane/Vorlane.conf")), QSettings::IniFormat)
        .setValue(QLatin1String(AuthViewModel::sessionKey),
                  User{.id = 1, .username = ServiceProcess::demoUsername(), .firstName = QStringLiteral("Demo")}.toJson());
    againstBareWindow(state, {waitFor, service.baseUrl().toStdString()});
}

void storedSessionTabScreenAgainstBareWindow(benchmark::State &state)
{
    storedSession(state, "tabs");
}

void storedSessionFeedCardsAgainstBareWindow(benchmark::State &state)
{
    storedSession(state, "cards");
}

} // namespace

BENCHMARK(signInScreenAgainstBareWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(storedSessionTabScreenAgainstBareWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(storedSessionFeedCardsAgainstBareWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
