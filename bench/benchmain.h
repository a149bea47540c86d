// The main function of the benchmark programs that need a widget
// application: offscreen unless a display platform is chosen.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace benchmarks {

inline int runWithWidgets(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace benchmarks
