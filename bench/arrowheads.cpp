// What arrowheads cost a repaint: repaintAll of 1,000 and 10,000 lines, open
// splines and arcs, bare and with a head at each end (kinds and sizes
// mixed), at 100 % and 300 %.
#include "guimain.h"
#include "../tests/render/docbuilder.h"
#include "model/arrowheads.h"
#include "render/renderpass.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <random>

using namespace render;

namespace {

constexpr int32_t pageSide = 1500;

void buildPaths(model::itemList_t& doc, int32_t n, bool heads)
{
    testdoc::addHeader(doc, pageSide, pageSide, 1.0, 1);
    std::mt19937 rng(4242);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1)); };
    const double weights[] = {0.0, 0.25, 0.5, 1.0};
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = rnd(60, pageSide - 120), y = rnd(60, pageSide - 120), s = rnd(20, 70);
        const double w = weights[i % 4];
        model::item_t* it = nullptr;
        switch (i % 3) {
        case 0: it = testdoc::addLine(doc, x, y, x + rnd(-80, 80), y + rnd(-80, 80), w); break;
        case 1: it = testdoc::addShape(doc, model::typeSpline, {{x, y}, {x + s, y + s / 2}, {x + s / 2, y + s}}, -1, 0, w, 0); break;
        default: it = testdoc::addShape(doc, model::typeArc, {{x, y}, {x + s / 2, y}, {x - s / 2, y + 1}}, -1, 0, w); break;
        }
        if (heads)
            model::setHeads(it, {model::headKindOf(1 + i % 5), model::headKindOf(1 + (i / 5) % 5), model::headSizeOf(i % 3)});
    }
}

void BM_repaintPaths(benchmark::State& state)
{
    model::itemList_t doc;
    buildPaths(doc, static_cast<int32_t>(state.range(0)), state.range(2) != 0);
    model::item_t* h = model::findHeader(doc);
    h->hdr().zoom = state.range(1) / 100.0;
    geometry::computeCanvasPixels(h);
    renderView_t view;
    view.items = &doc;
    const QSize s = canvasImageSize(h);
    view.Image1 = newCanvasImage(s.width(), s.height());
    for (auto _ : state) {
        repaintAll(view, false);
        benchmark::DoNotOptimize(view.Image1.constBits());
    }
    model::freeList(doc);
}

BENCHMARK(BM_repaintPaths)
    ->ArgNames({"items", "zoom", "heads"})
    ->Args({1000, 100, 0})->Args({1000, 100, 1})->Args({10000, 100, 0})->Args({10000, 100, 1})
    ->Args({10000, 300, 0})->Args({10000, 300, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithGui(argc, argv);
}
