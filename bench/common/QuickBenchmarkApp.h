#pragma once

#include <QGuiApplication>
#include <QQuickStyle>
#include <benchmark/benchmark.h>

// The application of a benchmark that draws Qt Quick frames: offscreen and in software unless the
// environment says otherwise, as the tests draw them, and in the client's own plain style.
class QuickBenchmarkApp : public QGuiApplication
{
public:
    QuickBenchmarkApp(int &argc, char **argv) : QGuiApplication((preferOffscreen(), argc), argv)
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
    }

    // Runs the benchmarks registered in this program.
    static int runBenchmarks(int &argc, char **argv)
    {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }

private:
    static void preferOffscreen()
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
            qputenv("QT_QUICK_BACKEND", "software");
    }
};
