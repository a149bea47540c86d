// Speed of the pointer on a document of 10,000 items (and 100,000 for
// picking): a click that picks an item (the pick, the marks off and on), the
// pick alone, an area selection step, and one mouse move while 100 selected
// items are dragged (background put back, items moved from their reference,
// area saved, items drawn) — with the 100 items close together and spread
// over the whole page.
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <QApplication>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include "benchmain.h"
#include "crowdedwindow.h"

#include <cstdlib>
#include <memory>

namespace {

using geometry::point_t;
using model::item_t;

constexpr int itemCount = 10000;

item_t* finish(model::itemList_t& l, item_t* it)
{
    geometry::itemBounds(it, 8, 8);
    model::recordNew(l, it);
    return it;
}

// One of five kinds of item at a place on the page; `k` chooses the kind.
item_t* addItem(model::itemList_t& l, int k, point_t at)
{
    switch (k % 5) {
    case 0: {
        item_t* it = model::newItem(l, model::typeRectangle);
        it->shapeVariant = 2;
        geometry::buildRectangle(at, {at.x + 40, at.y}, {at.x + 40, at.y - 25}, it->points);
        return finish(l, it);
    }
    case 1: {
        item_t* it = model::newItem(l, model::typeTriangle);
        it->shapeVariant = 2;
        geometry::buildTriangle(at, {at.x + 30, at.y}, {at.x + 15, at.y - 26}, it->points);
        return finish(l, it);
    }
    case 2: {
        item_t* it = model::newItem(l, model::typeLine);
        it->x1 = at.x;
        it->y1 = at.y;
        it->x2 = at.x + 45;
        it->y2 = at.y - 20;
        geometry::lineGeometry(it);
        model::recordNew(l, it);
        return it;
    }
    case 3: {
        item_t* it = model::newItem(l, model::typeCircle);
        it->fillColor = -1;
        geometry::buildCircle(at, {at.x + 15, at.y}, it->points);
        return finish(l, it);
    }
    default: {
        item_t* it = model::newItem(l, model::typeEllipse);
        it->fillColor = -1;
        geometry::buildEllipse(at, {at.x + 22, at.y}, {at.x, at.y - 11}, it->points);
        return finish(l, it);
    }
    }
}

struct document_t {
    std::unique_ptr<canvas::TSandbox> w;
    std::vector<item_t*> items;
};

// A window with `count` items scattered over a Letter page.
document_t makeDocument(int count = itemCount)
{
    canvas::params().currentZoom = 1.0;
    document_t d;
    d.w = std::make_unique<canvas::TSandbox>(nullptr);
    d.w->resize(1000, 1200);
    d.w->openDocument(1, QString());
    d.w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    uint32_t seed = 12345;
    auto next = [&seed](int mod) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(mod));
    };
    for (int k = 0; k < count; ++k) d.items.push_back(addItem(d.w->items(), k, {20 + next(740), 40 + next(980)}));
    d.w->repaintAll(false);
    d.w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    return d;
}

void BM_pickWalk(benchmark::State& state)
{
    const int count = int(state.range(0));
    document_t d = makeDocument(count);
    const item_t* target = d.items[size_t(count / 2)];
    const point_t on{target->x1, target->y1};
    for (auto _ : state) benchmark::DoNotOptimize(canvas::pickItem(d.w->items(), on, false, 8));
}
BENCHMARK(BM_pickWalk)->Arg(itemCount)->Arg(100000)->Unit(benchmark::kMillisecond);

// Ctrl-drag over a tenth of the page: one step of the area selection.
void BM_areaSelectionStep(benchmark::State& state)
{
    document_t d = makeDocument(int(state.range(0)));
    canvas::areaSelection_t none;
    int k = 0;
    for (auto _ : state) {
        const int32_t x = 100 + (k++ % 7) * 40;
        benchmark::DoNotOptimize(canvas::selectInArea(d.w->items(), {x, 300, x + 240, 620}, false, none));
    }
}
BENCHMARK(BM_areaSelectionStep)->Arg(itemCount)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_clickThatPicks(benchmark::State& state)
{
    const int count = int(state.range(0));
    document_t d = makeDocument(count);
    // Two lines far apart: every click picks the other one.
    item_t* a = d.items[2];
    item_t* b = d.items[size_t(count - 3)];
    int k = 0;
    for (auto _ : state) {
        const item_t* it = (k++ % 2) ? a : b;
        const point_t s = d.w->toScreen({(it->x1 + it->x2) / 2, (it->y1 + it->y2) / 2});
        d.w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(s.x, s.y));
        d.w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(s.x, s.y));
        d.w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    }
    // The page is crowded: the click may pick a neighbour, but it picks.
    if (model::collectSelected(d.w->items()).empty()) state.SkipWithError("nothing was picked");
}
BENCHMARK(BM_clickThatPicks)->Arg(itemCount)->Arg(100000)->Unit(benchmark::kMillisecond);

// Arg 0: the 100 items lie in one corner of the page; arg 1: all over it.
void BM_dragMove100(benchmark::State& state)
{
    document_t d = makeDocument();
    const bool spread = state.range(0) != 0;
    model::deselectAll(d.w->items());
    std::vector<item_t*> chosen;
    for (int k = 0; k < itemCount && chosen.size() < 100; ++k) {
        item_t* it = d.items[k];
        if (spread ? k % 97 == 0 : (it->x1 < 250 && it->y1 < 330)) chosen.push_back(it);
    }
    for (item_t* it : chosen) model::setSelected(d.w->items(), it, true);
    // A corner of the first rectangle: the mixed selection moves as a whole.
    item_t* grab = nullptr;
    for (item_t* it : chosen)
        if (it->itemType == model::typeRectangle) grab = it;
    if (!grab) {
        state.SkipWithError("no rectangle chosen");
        return;
    }
    const point_t at = d.w->toScreen(geometry::pointAt(grab->points, 1));
    benchdoc::dragMoveRounds(state, *d.w, QPoint(at.x, at.y));
    state.counters["selected"] = double(chosen.size());
}
BENCHMARK(BM_dragMove100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One mouse move while 100 items spread over the page are reshaped. Arg 0:
// 100 rectangles stretched by a corner; arg 1: a group of 100 items turned
// by its rotation dot.
void BM_reshapeMove100(benchmark::State& state)
{
    document_t d = makeDocument();
    const bool rotate = state.range(0) != 0;
    model::deselectAll(d.w->items());
    std::vector<item_t*> chosen;
    for (int k = 0; k < itemCount && chosen.size() < 100; ++k)
        if (k % (rotate ? 37 : 7) == 0 && (rotate || d.items[k]->itemType == model::typeRectangle))
            chosen.push_back(d.items[k]);
    for (item_t* it : chosen) model::setSelected(d.w->items(), it, true);
    point_t at;
    if (rotate) {
        const item_t* handle = model::joinItems(d.w->items());
        if (!handle) {
            state.SkipWithError("no group");
            return;
        }
        d.w->repaintAll(false);
        d.w->deferredTimerTimeout();
        for (const render::markSpot_t& m : canvas::handleSpots(handle, canvas::handleViewOf(*d.w)))
            if (m.code == canvas::handleGroupRotate) at = m.at;
    } else {
        at = d.w->toScreen(geometry::pointAt(chosen.front()->points, 1));
    }
    d.w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    const int32_t wanted = rotate ? canvas::modeGroupRotation : canvas::modeShapeHandle;
    if (d.w->mode() != wanted) {
        state.SkipWithError("the press did not start the drag");
        return;
    }
    int k = 0;
    for (auto _ : state) {
        ++k;
        d.w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(at.x + k % 40, at.y + (k * 3) % 40));
    }
    d.w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    state.counters["selected"] = double(model::collectSelected(d.w->items()).size());
}
BENCHMARK(BM_reshapeMove100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Align (arg 0: tops) or distribute (arg 1: across) 1,000 selected items of
// 10,000, the repaint of the canvas included; each round is one step, which
// the next round's undo takes back so that the items move every time.
void BM_arrange1000(benchmark::State& state)
{
    document_t d = makeDocument();
    const bool distribute = state.range(0) != 0;
    auto chooseSelection = [&] {
        model::deselectAll(d.w->items());
        int n = 0;
        for (item_t* it = d.w->items().head; it && n < 1000; it = it->next)
            if (canvas::isPickable(it)) {
                model::setSelected(d.w->items(), it, true);
                ++n;
            }
    };
    for (auto _ : state) {
        chooseSelection();
        const bool moved = distribute ? d.w->distributeSelection(true) : d.w->alignSelection(canvas::alignEdge_t::top);
        if (!moved) {
            state.SkipWithError("nothing moved");
            return;
        }
        state.PauseTiming();
        model::undo(d.w->items());
        d.w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_arrange1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One Ctrl+wheel step (in or out in turn) about a point of a 10,000-item page:
// the new zoom, the layout about the mouse and the quick repaint.
void BM_wheelZoomStep(benchmark::State& state)
{
    document_t d = makeDocument();
    QWidget* panel = d.w->findChild<QWidget*>(QStringLiteral("viewPanel"));
    const QPoint at = panel->mapTo(d.w.get(), QPoint(300, 250));
    int k = 0;
    for (auto _ : state) {
        const int delta = (k++ % 4) < 2 ? 120 : -120;
        QWheelEvent e(at, d.w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(d.w.get(), &e);
        d.w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    }
    state.counters["zoom%"] = d.w->zoomFactor() * 100;
}
BENCHMARK(BM_wheelZoomStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
