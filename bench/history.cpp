// Undo, redo, beginEdit, dropRedo and clearHistory on a document of 100,000
// records built by 20,000 actions of 5 items each.
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <benchmark/benchmark.h>

using namespace model;

namespace {

constexpr int actions = 20000;
constexpr int perAction = 5;

// Header, grid, then 20,000 actions: every fourth one creates five items, the
// others edit five of the items shown (five new versions, five hidden ones).
void buildDocument(itemList_t& doc)
{
    item_t* h = newItem(doc, typeHeader);
    h->kind = kindHeader;
    newItem(doc, typeGrid)->undoState = stateCommitted;
    invalidateIds(doc);
    std::vector<item_t*> shown;
    for (int a = 0; a < actions; ++a) {
        if (a % 4 == 0 || shown.size() < size_t(perAction)) {
            const int32_t action = nextActionId(doc);
            for (int i = 0; i < perAction; ++i) {
                item_t* it = newItem(doc, i % 2 ? typeLine : typeRectangle);
                it->x1 = a % 700;
                it->y1 = i * 30;
                it->x2 = it->x1 + 40;
                it->y2 = it->y1 + 20;
                it->actionId = action;
                it->zOrder = maxZOrder(doc) + 1;
                noteIds(doc, it);
                shown.push_back(it);
            }
        } else {
            deselectAll(doc);
            const size_t from = (size_t(a) * 7919) % (shown.size() - perAction + 1);
            for (int i = 0; i < perAction; ++i) setSelected(doc, shown[from + i], true);
            auto vs = beginEdit(doc);
            for (int i = 0; i < perAction; ++i) {
                vs[i]->x1 += 3;
                shown[from + i] = vs[i];
            }
        }
    }
    deselectAll(doc);
}

itemList_t& document()
{
    static itemList_t doc;
    if (!doc.head) buildDocument(doc);
    return doc;
}

// The last action is one new item.
void lastActionIsOneItem(itemList_t& doc)
{
    item_t* it = newItem(doc, typeLine);
    recordNew(doc, it);
}

void BM_UndoOneItemAction(benchmark::State& st)
{
    itemList_t& doc = document();
    lastActionIsOneItem(doc);
    for (auto _ : st) {
        undo(doc);
        st.PauseTiming();
        redo(doc);
        st.ResumeTiming();
    }
    st.counters["records"] = double(countItems(doc));
}

void BM_RedoOneItemAction(benchmark::State& st)
{
    itemList_t& doc = document();
    lastActionIsOneItem(doc);
    for (auto _ : st) {
        st.PauseTiming();
        undo(doc);
        st.ResumeTiming();
        redo(doc);
    }
}

void BM_UndoRedoFiveItemAction(benchmark::State& st)
{
    itemList_t& doc = document();
    deselectAll(doc);
    int n = 0;
    for (item_t* it = doc.tail; it && n < perAction; it = it->prev)
        if (!it->hidden && it->kind == kindItem && isStackable(it)) {
            setSelected(doc, it, true);
            ++n;
        }
    beginEdit(doc);
    for (auto _ : st) {
        undo(doc);
        redo(doc);
    }
}

// beginEdit of one selected item; each new version is undone again outside
// the timing, so the next beginEdit also drops a one-record redo branch.
void BM_BeginEditOneSelected(benchmark::State& st)
{
    itemList_t& doc = document();
    item_t* target = doc.tail;
    while (target && (target->hidden || target->kind != kindItem || !isStackable(target))) target = target->prev;
    for (auto _ : st) {
        st.PauseTiming();
        deselectAll(doc);
        setSelected(doc, target, true);
        st.ResumeTiming();
        auto vs = beginEdit(doc);
        benchmark::DoNotOptimize(vs.data());
        st.PauseTiming();
        undo(doc);
        st.ResumeTiming();
    }
}

// Stacking moves walk the list once per item moved (and once per repair).
void BM_SendToBackAndUndo(benchmark::State& st)
{
    itemList_t& doc = document();
    item_t* target = doc.tail;
    while (target && (target->hidden || target->kind != kindItem || !isStackable(target))) target = target->prev;
    for (auto _ : st) {
        deselectAll(doc);
        setSelected(doc, target, true);
        sendToBack(doc);
        undo(doc);
    }
}

// A fresh document each time: these change it for good.
void BM_DropRedoOf1000Records(benchmark::State& st)
{
    for (auto _ : st) {
        st.PauseTiming();
        itemList_t doc;
        buildDocument(doc);
        while (canUndo(doc)) {
            undo(doc);
            if (historyIndex(doc).byState[stateUndone].size() >= 1000) break;
        }
        st.ResumeTiming();
        dropRedo(doc);
        st.PauseTiming();
        freeList(doc);
        st.ResumeTiming();
    }
}

void BM_ClearHistory(benchmark::State& st)
{
    for (auto _ : st) {
        st.PauseTiming();
        itemList_t doc;
        buildDocument(doc);
        st.ResumeTiming();
        clearHistory(doc);
        st.PauseTiming();
        freeList(doc);
        st.ResumeTiming();
    }
}

void BM_BuildDocument(benchmark::State& st)
{
    for (auto _ : st) {
        itemList_t doc;
        buildDocument(doc);
        benchmark::DoNotOptimize(doc.tail);
        st.PauseTiming();
        freeList(doc);
        st.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_UndoOneItemAction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoOneItemAction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoFiveItemAction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BeginEditOneSelected)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SendToBackAndUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropRedoOf1000Records)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ClearHistory)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuildDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
