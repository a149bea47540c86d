// Speed of a tool's preview: one mouse move while a shape is being placed on
// a canvas of 10,000 items redraws only the preview's rectangle (restore the
// save-under, save the new area, draw the preview).
#include "../tests/render/docbuilder.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

// A window whose document holds `n` shapes and lines spread over the page.
std::unique_ptr<canvas::TSandbox> crowdedWindow(int32_t n)
{
    canvas::params().currentZoom = 1.0;
    canvas::params().lastMode = 0;
    auto w = std::make_unique<canvas::TSandbox>(nullptr);
    w->resize(1400, 1000);
    w->openDocument(1, QString());
    std::mt19937 rng(99);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = rnd(20, 760), y = rnd(20, 1000), s = rnd(10, 60);
        switch (i % 4) {
        case 0: testdoc::addLine(w->items, x, y, x + rnd(-60, 60), y + rnd(-60, 60), 0.5, 0, 0x202020); break;
        case 1: testdoc::addShape(w->items, model::typeTriangle, {{x, y + s}, {x + s, y + s}, {x + s / 2, y}}, -1, 0x3050A0, 0.25); break;
        case 2: testdoc::addShape(w->items, model::typeCircle, {{x, y}, {x + s / 2, y}}, 0xC0FFC0, 0x206020, 0.0); break;
        default: testdoc::addShape(w->items, model::typeRectangle, {{x, y}, {x + s, y}, {x + s, y + s / 2}, {x, y + s / 2}}, -2, 0x802020, 0.0); break;
        }
    }
    w->repaintAll(false);
    w->Timer3.stop();
    return w;
}

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
    auto w = crowdedWindow(10000);
    w->selectTool(tool);
    w->Timer3.stop();
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
    auto w = crowdedWindow(10000);
    w->selectTool(111);
    w->Timer3.stop();
    for (int32_t k = 0; k < 30; ++k) click(*w, 100 + 20 * k, 300 + (k % 2) * 40);
    moveLoop(state, *w, 700, 400);
}
BENCHMARK(BM_curvePreviewMove30)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
