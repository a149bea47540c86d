// The main function of the benchmark programs that draw without widgets:
// offscreen unless a display platform is chosen.
#pragma once

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace benchmarks {

inline int runWithGui(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace benchmarks
