// Speed of the attribute setters: one change applied to 1,000 selected items
// of a document of 10,000, including the history step and the repaint (a
// colour, repainting the changed items' boxes; a weight, repainting them with
// the wider pen; a square-to-rectangle switch, repainting old and new boxes;
// a font weight, repainting the whole canvas; the selected items are spread
// over the page, so their boxes span most of it and each of the four repaints
// the whole canvas once, in bands), and the colour adjustments of 1,000
// pictures among 10,000 items, each drawn again with the new values.
#include "crowdedwindow.h"

#include "canvas/setters.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "samples/samplepictures.h"

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

constexpr int32_t itemCount = 10000;
constexpr int32_t selectedCount = 1000;

// Selects one item in every ten, at a place that moves along from block to
// block, so that every kind of item is among them.
void selectSpread(canvas::TSandbox& w)
{
    model::deselectAll(w.items());
    int32_t n = 0, k = 0;
    for (model::item_t* it = w.items().head; it && n < selectedCount; it = it->next) {
        if (it->kind != model::kindItem || it->hidden || !model::isStackable(it)) continue;
        const int32_t block = k / 10, place = k % 10;
        ++k;
        if (place == block % 10) {
            model::setSelected(w.items(), it, true);
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
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        // Keep the list from growing by a step per iteration.
        state.PauseTiming();
        model::undo(w->items());
        model::dropRedo(w->items());
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

// 9,000 shapes and lines and 1,000 small pictures of one shared picture
// spread among them; the pictures are selected and have been drawn once.
std::unique_ptr<canvas::TSandbox> windowWithPictures()
{
    auto w = benchdoc::crowdedWindow(itemCount - selectedCount);
    testdoc::addPictureData(w->items(), 1, model::pictureJpeg, samples::encodeJpeg(samples::samplePattern(96, 64)));
    for (int32_t i = 0; i < selectedCount; ++i) {
        const int32_t x = 20 + (i % 25) * 30, y = 20 + (i / 25) * 24;
        testdoc::addPicture(w->items(), 1, i % 3 == 0 ? model::clipRound : model::clipWhole, {0, 0, 95, 63},
                            i % 3 == 0 ? std::initializer_list<int32_t>{x + 12, y + 12, x + 24, y + 12}
                                       : std::initializer_list<int32_t>{x, y, x + 48, y + 32});
    }
    w->repaintAll(false);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    return w;
}

void selectPictures(canvas::TSandbox& w)
{
    model::deselectAll(w.items());
    for (model::item_t* it = w.items().head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->itemType == model::typePicture)
            model::setSelected(w.items(), it, true);
}

void BM_ApplyAdjustments(benchmark::State& state)
{
    auto w = windowWithPictures();
    selectPictures(*w);
    int32_t i = 0;
    for (auto _ : state) {
        canvas::applyAdjustments(*w, 32 * (1 + i % 8), -64, 128);
        ++i;
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        state.PauseTiming();
        model::undo(w->items());
        model::dropRedo(w->items());
        selectPictures(*w);
        // The pictures as the user saw them before the change.
        w->repaintAll(false);
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        state.ResumeTiming();
    }
}

// The first adjustment after the pictures were drawn: each new version of a
// picture makes its bitmap again from the stored picture (the window is made
// again, untimed, for every iteration).
void BM_ApplyAdjustmentsFirstTime(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto w = windowWithPictures();
        selectPictures(*w);
        state.ResumeTiming();
        canvas::applyAdjustments(*w, 96, -64, 128);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ApplyAdjustmentsFirstTime)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ApplyAdjustments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetLineColor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetLineWeight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SquareToRectangle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFontWeight)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }
