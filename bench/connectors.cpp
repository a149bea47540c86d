// What glued lines and a label cost a drag: one mouse move of a box in a
// document of 10,000 shapes and lines, alone (arg 0) and with 50 lines glued
// to it and its label (arg 1), through the document window's handlers; and
// the following itself (the new versions' geometry) without the repaint.
#include "benchmain.h"
#include "crowdedwindow.h"

#include "canvas/handles.h"
#include "canvas/labels.h"
#include "geometry/connectionpoints.h"
#include "geometry/lineends.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/links.h"

#include <benchmark/benchmark.h>

using geometry::point_t;
using model::item_t;

namespace {

constexpr int32_t itemCount = 10000;
constexpr int32_t gluedLines = 50;

struct linkedBox_t {
    std::unique_ptr<canvas::TSandbox> w;
    item_t* box = nullptr;
};

linkedBox_t makeDocument(bool linked)
{
    linkedBox_t d;
    d.w = benchdoc::crowdedWindow(itemCount);
    model::itemList_t& list = d.w->items();
    d.box = testdoc::addShape(list, model::typeRectangle, {{360, 460}, {460, 460}, {460, 520}, {360, 520}}, -2,
                              0xF0F0F0, 0.5);
    if (linked) {
        const std::vector<point_t> points = geometry::connectionPoints(d.box);
        const int64_t id = model::ensureLinkId(list, d.box);
        std::mt19937 rng(7);
        for (int32_t k = 0; k < gluedLines; ++k) {
            const int32_t at = k % int32_t(points.size());
            item_t* line = testdoc::addLine(list, 40 + int32_t(rng() % 700), 40 + int32_t(rng() % 900), 0, 0, 0.5, 0, 0);
            geometry::setLineEnds(line, {line->x1, line->y1}, points[size_t(at)]);
            model::setGlue(line, model::lineEnd_t::end, {id, at});
        }
        model::selectOnly(list, d.box);
        canvas::createLabel(*d.w, d.box);
    }
    model::selectOnly(list, d.box);
    d.w->repaintAll(false);
    return d;
}

void BM_dragGluedBox(benchmark::State& state)
{
    linkedBox_t d = makeDocument(state.range(0) != 0);
    point_t at{};
    for (const render::markSpot_t& m : canvas::handleSpots(d.box, canvas::handleViewOf(*d.w)))
        if (m.code == canvas::handleMove) at = m.at;
    benchdoc::dragMoveRounds(state, *d.w, QPoint(at.x, at.y));
}
BENCHMARK(BM_dragGluedBox)->ArgName("linked")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The lines and the label worked out again for one move of the box, as the
// drag does it, without drawing anything.
void BM_followOneMove(benchmark::State& state)
{
    linkedBox_t d = makeDocument(true);
    model::itemList_t& list = d.w->items();
    const std::vector<item_t*> fresh = model::beginEdit(list);
    model::linkTable_t table(list);
    int k = 0;
    for (auto _ : state) {
        ++k;
        geometry::translatePoints(fresh.front()->points, k % 40, (k * 3) % 40);
        const auto changed = model::followEdited(list, table, fresh, fresh.front()->actionId, false, nullptr);
        benchmark::DoNotOptimize(changed.data());
    }
    state.counters["followers"] = double(table.dependents(model::linkId(fresh.front())).size());
}
BENCHMARK(BM_followOneMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
