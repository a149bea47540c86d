// Speed of the attribute setters: one change applied to 1,000 selected items
// of a document of 10,000, including the history step and the repaint (a
// colour, repainting the changed items' boxes; a weight, repainting them with
// the wider pen; a square-to-rectangle switch, repainting old and new boxes;
// a font weight, repainting the whole canvas).
#include "crowdedwindow.h"

#include "canvas/setters.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

constexpr int32_t itemCount = 10000;
constexpr int32_t selectedCount = 1000;

// Selects one item in every ten, at a place that moves along from block to
// block, so that every kind of item is among them.
void selectSpread(canvas::TSandbox& w)
{
    model::deselectAll(w.items);
    int32_t n = 0, k = 0;
    for (model::item_t* it = w.items.head; it && n < selectedCount; it = it->next) {
        if (it->kind != model::kindItem || it->hidden || !model::isStackable(it)) continue;
        const int32_t block = k / 10, place = k % 10;
        ++k;
        if (place == block % 10) {
            model::setSelected(w.items, it, true);
            ++n;
        }
    }
}

template <class Call>
void runSetter(benchmark::State& state, Call call)
{
    auto w = benchdoc::crowdedWindow(itemCount);
    selectSpread(*w);
    int32_t i = 0;
    for (auto _ : state) {
        call(*w, i++);
        w->Timer3.stop();
        // Keep the list from growing by a step per iteration.
        state.PauseTiming();
        model::undo(w->items);
        model::dropRedo(w->items);
        selectSpread(*w);
        state.ResumeTiming();
    }
}

void BM_SetLineColor(benchmark::State& state)
{
    runSetter(state, [](canvas::TSandbox& w, int32_t i) { canvas::setLineColor(w, 0x100 * (i % 200)); });
}

void BM_SetLineWeight(benchmark::State& state)
{
    runSetter(state, [](canvas::TSandbox& w, int32_t i) { canvas::setLineWeight(w, 0.25 * (1 + i % 4)); });
}

void BM_SquareToRectangle(benchmark::State& state)
{
    runSetter(state, [](canvas::TSandbox& w, int32_t) { canvas::setSquareOrRectangle(w, model::typeSquare); });
}

// A font change outside text editing repaints the whole canvas.
void BM_SetFontWeight(benchmark::State& state)
{
    runSetter(state, [](canvas::TSandbox& w, int32_t i) { canvas::setFontWeight(w, i % 2 ? 700 : 400); });
}

} // namespace

BENCHMARK(BM_SetLineColor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetLineWeight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SquareToRectangle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFontWeight)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }
