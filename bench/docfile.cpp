// Writing and reading a document of 100,000 records (lines, five-point
// shapes, two-line texts), and newItem 100,000 times on one list.
#include "model/docfile.h"
#include "model/itemlist.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

// Heap bytes in use and their peak, counted for every operator new.
static std::atomic<size_t> heapInUse{0};
static std::atomic<size_t> heapPeak{0};

void* operator new(size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    const size_t now = heapInUse += malloc_usable_size(p);
    size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void operator delete(void* p) noexcept
{
    if (!p) return;
    heapInUse -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

using namespace model;

constexpr int recordCount = 100000;

struct yes : docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

void buildDocument(itemList_t& l, int count = recordCount)
{
    item_t* h = newItem(l, typeHeader);
    h->kind = kindHeader;
    h->hdr().zoom = 1.0;
    h->hdr().unit = 2;
    newItem(l, typeGrid);
    invalidateIds(l);
    for (int i = 2; i < count; ++i) {
        item_t* it;
        switch (i % 3) {
        case 0:
            it = newItem(l, typeLine);
            break;
        case 1:
            it = newItem(l, typeStar);
            for (int k = 0; k < 5; ++k) addPoint(it, i + k, i - k);
            break;
        default:
            it = newItem(l, typeText);
            setText(it, u"First line\u07ECsecond line");
            break;
        }
        it->x1 = i % 800;
        it->y1 = i % 1100;
        it->x2 = it->x1 + 40;
        it->y2 = it->y1 + 30;
        it->zOrder = i;
        computeMeasure(it);
        recomputePixels(it);
    }
}

std::string benchFile()
{
    return (std::filesystem::temp_directory_path() / "lumora-bench-docfile.lmra").string();
}

void BM_WriteDocument(benchmark::State& state)
{
    itemList_t l;
    buildDocument(l);
    const std::string name = benchFile();
    for (auto _ : state) {
        if (!writeDocument(name, l)) state.SkipWithError("write failed");
    }
    state.counters["fileMB"] = double(std::filesystem::file_size(name)) / 1e6;
    state.SetItemsProcessed(state.iterations() * recordCount);
    freeList(l);
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadDocument(benchmark::State& state)
{
    const std::string name = benchFile();
    size_t recordsBytes = 0;
    {
        const size_t before = heapInUse;
        itemList_t l;
        buildDocument(l);
        recordsBytes = heapInUse - before;
        writeDocument(name, l);
        freeList(l);
    }
    yes q;
    size_t peak = 0;
    for (auto _ : state) {
        itemList_t l;
        const size_t base = heapInUse;
        heapPeak = base;
        if (!readDocument(name, l, q)) state.SkipWithError("read failed");
        peak = std::max(peak, heapPeak - base);
        state.PauseTiming();
        freeList(l);
        state.ResumeTiming();
    }
    state.counters["recordsMB"] = double(recordsBytes) / 1e6;
    state.counters["peakMB"] = double(peak) / 1e6;
    state.counters["peakRatio"] = double(peak) / double(recordsBytes);
    state.SetItemsProcessed(state.iterations() * recordCount);
    std::filesystem::remove(name);
}
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_NewItem100k(benchmark::State& state)
{
    for (auto _ : state) {
        itemList_t l;
        for (int i = 0; i < recordCount; ++i) benchmark::DoNotOptimize(newItem(l, typeLine));
        state.PauseTiming();
        freeList(l);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * recordCount);
}
BENCHMARK(BM_NewItem100k)->Unit(benchmark::kMillisecond);

// A recovery snapshot's share of the GUI thread: the document encoded in
// memory (the worker then writes it).
void BM_SnapshotEncode(benchmark::State& state)
{
    itemList_t l;
    buildDocument(l, int(state.range(0)));
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        if (!encodeDocument(l, bytes)) state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["MB"] = double(bytes.size()) / 1e6;
    freeList(l);
}
BENCHMARK(BM_SnapshotEncode)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// While the worker writes a 100,000-record snapshot, the longest pause
// between two short slices of work on the GUI thread (what typing or
// dragging would feel).
void BM_SnapshotLongestGuiGap(benchmark::State& state)
{
    itemList_t l;
    buildDocument(l);
    std::vector<uint8_t> bytes;
    encodeDocument(l, bytes);
    const std::string name = benchFile() + ".snapshot";
    double longest = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread writer([&] {
            writeBytesToFile(name, bytes);
            done = true;
        });
        auto last = std::chrono::steady_clock::now();
        while (!done) {
            volatile double x = 0;
            for (int k = 0; k < 20000; ++k) x = x + k;  // a slice of GUI work
            const auto now = std::chrono::steady_clock::now();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        writer.join();
    }
    state.counters["longestGapMs"] = longest;
    std::filesystem::remove(name);
    freeList(l);
}
BENCHMARK(BM_SnapshotLongestGuiGap)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
