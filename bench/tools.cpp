// Speed of a tool's preview: one mouse move while a shape is being placed on
// a canvas of 10,000 items redraws only the preview's rectangle (restore the
// save-under, save the new area, draw the preview).
#include "crowdedwindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdlib>

namespace {

void moveLoop(benchmark::State& state, canvas::TSandbox& w, int32_t x0, int32_t y0)
{
    int32_t i = 0;
    for (auto _ : state) {
        const int32_t d = 40 + (i++ % 40);
        w.Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(x0 + d, y0 + d / 2));
    }
}

void click(canvas::TSandbox& w, int32_t x, int32_t y)
{
    w.Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    w.Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

void BM_previewMove(benchmark::State& state)
{
    const int32_t tool = int32_t(state.range(0));
    auto w = benchdoc::crowdedWindow(10000);
    w->selectTool(tool);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    click(*w, 300, 300);
    if (tool == 100 || tool == 109) click(*w, 360, 260);
    moveLoop(state, *w, 300, 300);
}
BENCHMARK(BM_previewMove)
    ->Arg(1)     // line
    ->Arg(100)   // triangle
    ->Arg(103)   // circle
    ->Arg(105)   // star
    ->Arg(109)   // spline
    ->Unit(benchmark::kMicrosecond);

// A curve with 30 placed points: the preview grows with the shape.
void BM_curvePreviewMove30(benchmark::State& state)
{
    auto w = benchdoc::crowdedWindow(10000);
    w->selectTool(111);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    for (int32_t k = 0; k < 30; ++k) click(*w, 100 + 20 * k, 300 + (k % 2) * 40);
    moveLoop(state, *w, 700, 400);
}
BENCHMARK(BM_curvePreviewMove30)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
