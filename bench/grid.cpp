// Speed of the grid on a crowded page: snapping one point among 500
// gridlines, committing a gridline move that carries 1,000 of 10,000 items,
// and hovering along the anchor strip.
#include "../tests/render/docbuilder.h"
#include "canvas/gridedit.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/grid.h"
#include "model/history.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdlib>
#include <random>

namespace {

constexpr int32_t gridlines = 500;

// A window with 500 gridlines in each direction every 4 pixels, snapping
// both ways, and 10,000 lines; every tenth starts on the gridline at 400.
std::unique_ptr<canvas::TSandbox> gridWindow()
{
    canvas::params().currentZoom = 1.0;
    canvas::params().lastMode = 0;
    auto w = std::make_unique<canvas::TSandbox>(nullptr);
    w->resize(1400, 1000);
    w->openDocument(1, QString());
    auto& hd = w->header()->hdr();
    hd.canvasWidth = hd.canvasHeight = 2100.0 / 96;
    geometry::computeCanvasPixels(w->header());
    hd.showGridX = hd.showGridY = hd.showAnchorsX = hd.showAnchorsY = hd.snapX = hd.snapY = 1;
    model::item_t* grid = w->grid().gridRecord();
    model::freeNodes(grid->anchorsX);
    model::freeNodes(grid->anchorsY);
    const int32_t p = model::pageOriginX(hd);
    for (int32_t k = 0; k < gridlines; ++k) {
        model::addAnchorX(grid, p + 4 * k);
        model::addAnchorY(grid, p + 4 * k);
    }
    std::mt19937 rng(7);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    for (int32_t i = 0; i < 10000; ++i) {
        const int32_t x = i % 10 == 0 ? 400 : rnd(20, 1900), y = rnd(20, 1900);
        testdoc::addLine(w->items(), x, y, x + rnd(-60, 60), y + rnd(-60, 60), 0.25, 0, 0x202020);
    }
    w->layoutView();
    w->repaintAll(false);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    return w;
}

void BM_snapOnePoint(benchmark::State& state)
{
    auto w = gridWindow();
    int32_t i = 0;
    for (auto _ : state) {
        const int32_t v = 7 + (i++ * 37) % 1900;
        benchmark::DoNotOptimize(w->snapped({v, 1900 - v}));
    }
}
BENCHMARK(BM_snapOnePoint)->Unit(benchmark::kMicrosecond);

// One commit: the items on the gridline move with it, the gridline moves,
// the canvas is repainted. Back and forth, so every commit carries 1,000.
void BM_commitGridlineMove(benchmark::State& state)
{
    auto w = gridWindow();
    const int32_t p = model::pageOriginX(w->header()->hdr());
    int32_t from = p + 400, to = p + 420;
    for (auto _ : state) {
        model::anchorNode_t* a = w->grid().gridRecord()->anchorsX.head;
        while (a && model::anchorPositionX(a) != from) a = a->next;
        if (!a) {
            state.SkipWithError("gridline lost");
            break;
        }
        a->hot = 255;
        w->grid().moveItemsWithGridline(true, from, to, false);
        w->grid().editGrid(model::gridMoveX, to);
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        std::swap(from, to);
    }
}
BENCHMARK(BM_commitGridlineMove)->Unit(benchmark::kMillisecond)->Iterations(12);

void BM_hoverAlongTheStrip(benchmark::State& state)
{
    auto w = gridWindow();
    int32_t x = 20;
    for (auto _ : state) {
        w->background1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(x, 5));
        x = x >= 1300 ? 20 : x + 1;
    }
}
BENCHMARK(BM_hoverAlongTheStrip)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
