// A document window crowded with shapes and lines for the benchmarks of
// what the canvas does while items are placed or typed.
#pragma once

#include "../tests/render/docbuilder.h"
#include "canvas/handles.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace benchdoc {

// A window whose document holds `n` shapes and lines spread over the page.
inline std::unique_ptr<canvas::TSandbox> crowdedWindow(int32_t n)
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
        case 0: testdoc::addLine(w->items(), x, y, x + rnd(-60, 60), y + rnd(-60, 60), 0.5, 0, 0x202020); break;
        case 1: testdoc::addShape(w->items(), model::typeTriangle, {{x, y + s}, {x + s, y + s}, {x + s / 2, y}}, -1, 0x3050A0, 0.25); break;
        case 2: testdoc::addShape(w->items(), model::typeCircle, {{x, y}, {x + s / 2, y}}, 0xC0FFC0, 0x206020, 0.0); break;
        default: testdoc::addShape(w->items(), model::typeRectangle, {{x, y}, {x + s, y}, {x + s, y + s / 2}, {x, y + s / 2}}, -2, 0x802020, 0.0); break;
        }
    }
    w->repaintAll(false);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    return w;
}

// Presses the move handle at `at`, then moves the mouse once per benchmark
// round (a small wandering path) and releases; an error when the press did not
// start a move.
inline void dragMoveRounds(benchmark::State& state, canvas::TSandbox& w, QPoint at)
{
    w.Image1MouseDown(Qt::LeftButton, Qt::NoModifier, at);
    if (w.handleCode() != canvas::handleMove) {
        state.SkipWithError("the press did not start a move");
        return;
    }
    int k = 0;
    for (auto _ : state) {
        ++k;
        w.Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(at.x() + k % 40, at.y() + (k * 3) % 40));
    }
    w.Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace benchdoc
